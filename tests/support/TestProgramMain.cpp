// The main of a test program that holds an area's Qt Test classes
// (TestPrograms.h): runs the one its first argument names.
#include "support/TestPrograms.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    const auto &tests = TestPrograms::registry();
    const auto test = argc > 1 ? tests.find(argv[1]) : tests.end();
    if (test == tests.end()) {
        std::fprintf(stderr, "usage: %s TEST [Qt Test options]\nTEST is one of:\n", argv[0]);
        for (const auto &entry : tests)
            std::fprintf(stderr, "  %s\n", entry.first.c_str());
        return 2;
    }
    // The test's name stands where the program's was: Qt names the
    // application after it and Qt Test reads the options after it.
    return test->second(argc - 1, argv + 1);
}
