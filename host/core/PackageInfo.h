// What a loadable module tells the shell's loader: its unit table, each unit
// with an initialisation and a finalisation routine, run in order at start-up
// and in reverse at shut-down.
#pragma once

extern "C" {
struct PackageUnitInfo {
    const char *name;
    void (*initialize)();
    void (*finalize)();
};

struct PackageInfoTable {
    int unitCount;
    const PackageUnitInfo *units;
};
}
