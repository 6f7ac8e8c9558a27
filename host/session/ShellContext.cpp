#include "ShellContext.h"

ShellContext &ShellContext::instance()
{
    static ShellContext context;
    return context;
}
