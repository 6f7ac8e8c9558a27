#include "ShellNotices.h"

ShellNotices &ShellNotices::instance()
{
    static ShellNotices *notices = new ShellNotices; // lives as long as the process
    return *notices;
}
