// Test programs that hold the Qt Test classes of one area, one class per
// source file, so that an area links the host once instead of once per class.
//
// A source ends with REGISTER_TEST(Class) where a program of its own would
// say QTEST_MAIN(Class) (a widgets application), or REGISTER_GUILESS_TEST
// where it would say QTEST_GUILESS_MAIN. The class is recorded under its
// file's name ("test_report_runner"); the program's main
// (TestProgramMain.cpp) runs the class its first argument names, with the
// arguments after it, which Qt Test reads as it would a program's own:
//
//   build/bin/tests_report test_report_runner -functions
//
// The class runs as the program named after it would have: the
// application's name is the test's name (so the folders QStandardPaths gives
// it are its own), and only that class's static objects are built. Classes
// of one program must not share a name, nor define different helpers of the
// same name outside an unnamed namespace (the linker would keep one).
#pragma once

#include <QApplication>
#include <QtTest>
#include <cstring>
#include <map>
#include <string>

namespace TestPrograms {

using Run = int (*)(int argc, char *argv[]);

inline std::map<std::string, Run> &registry()
{
    static std::map<std::string, Run> tests;
    return tests;
}

// The test's name: its file's name without folder and extension.
inline std::string nameOf(const char *file)
{
    const char *slash = std::strrchr(file, '/');
    std::string name = slash ? slash + 1 : file;
    return name.substr(0, name.rfind('.'));
}

inline bool add(const char *file, Run run)
{
    registry().emplace(nameOf(file), run);
    return true;
}

} // namespace TestPrograms

#define REGISTER_TEST_WITH_APP_(TestObject, ...)                                                                        \
    namespace {                                                                                                        \
    int runRegisteredTest(int argc, char *argv[])                                                                      \
    {                                                                                                                  \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>();                                             \
        __VA_ARGS__                                                                                                    \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }                                                                                                                  \
    const bool registeredTest = TestPrograms::add(__FILE__, runRegisteredTest);                                        \
    }

// As QTEST_MAIN: a QApplication at 96 dpi.
#define REGISTER_TEST(TestObject)                                                                                      \
    REGISTER_TEST_WITH_APP_(TestObject, QApplication app(argc, argv); app.setAttribute(Qt::AA_Use96Dpi, true);)
// As QTEST_GUILESS_MAIN: a QCoreApplication.
#define REGISTER_GUILESS_TEST(TestObject) REGISTER_TEST_WITH_APP_(TestObject, QCoreApplication app(argc, argv);)
