// The error of a report definition that cannot be read: names the file, the
// line and the column (both from 1) where reading stopped.
#pragma once

#include "core/Errors.h"

class ReportParseError : public DefinitionError {
public:
    ReportParseError(const QString &file, int line, int column, const QString &message);
};
