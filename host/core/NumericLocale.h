// Numbers written by the C library stay in the C locale's form ("1.5"),
// whatever the user's locale.
//
// On Unix, QCoreApplication's constructor calls setlocale(LC_ALL, ""), so
// under LC_ALL=pt_BR.UTF-8 every printf-style conversion in the process
// writes "1,5": libxlsxwriter's numbers and column widths ("%.16g", "%g")
// become XML that spreadsheets refuse, and any other library that formats
// or reads numbers with the C library (strtod, snprintf) changes its bytes.
// What the users see is formatted by Qt (QLocale), which never reads the C
// library's locale, so nothing shown changes.
//
// Every program that links the host gets this when its Q*Application is
// constructed (a start-up routine of this library): LC_NUMERIC goes back to
// "C" for the whole process; the other categories (messages, character
// types, collation) keep the user's choice.
#pragma once

#include <clocale>

namespace NumericLocale {

// Sets LC_NUMERIC to "C" for the process. Not thread-safe (setlocale is
// not): call it before threads start; the start-up routine does.
void keepCForProcess();

// Whether the process's LC_NUMERIC is "C" (or "POSIX") right now.
bool processIsC();

// For code that calls a printf-style library from a thread of its own: C
// numbers on this thread while the object lives, whatever the process's
// locale, restored after.
class ScopedC {
public:
    ScopedC();
    ~ScopedC();
    ScopedC(const ScopedC &) = delete;
    ScopedC &operator=(const ScopedC &) = delete;

private:
    locale_t m_previous;
};

} // namespace NumericLocale
