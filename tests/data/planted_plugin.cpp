// A library "planted" in a folder of the Firebird client's configuration by
// another user: when the client loads it, it leaves a file where
// PLANTED_MARKER says, so the test sees that it was loaded.
#include <cstdio>
#include <cstdlib>

__attribute__((constructor)) static void leaveMarker()
{
    if (const char *marker = std::getenv("PLANTED_MARKER"))
        if (std::FILE *f = std::fopen(marker, "w")) {
            std::fputs("loaded\n", f);
            std::fclose(f);
        }
}
