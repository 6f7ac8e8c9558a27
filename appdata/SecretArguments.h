// A password given on the command line is in /proc/PID/cmdline, which every
// user of the machine can read while the program runs. hide() blanks its
// value in the process's own argument memory (after the options were read),
// so it shows only while the program starts, and gives the warning that
// the user must read all the same (the value was on view, and stays in the
// shell's history).
#pragma once

#include <QString>

namespace SecretArguments {
// Overwrites with '*' the value of every "--NAME VALUE" and "--NAME=VALUE"
// (also "-NAME") in argv; the warning text for it (naming the option and
// what to use instead), empty when it was not given.
QString hide(int argc, char **argv, const char *name);
}
