// A configuration or command-line value the program cannot use: a file that
// does not exist, a line that is not INI, an unknown key, a bad port... The
// text names the value (and the file and line when it comes from a file).
// Programs end with exit code 2 on it, before opening anything.
#pragma once

#include "core/Errors.h"

class EConfigError : public EHostError {
public:
    using EHostError::EHostError;
};
