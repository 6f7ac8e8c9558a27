#include "ModuleState.h"

ModuleState &moduleState()
{
    static ModuleState state;
    return state;
}
