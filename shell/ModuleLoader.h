// Loads screen modules by file name, runs their start-up once, opens their
// screen through the exported IniProc, and at the end runs their shut-down
// and unloads them.
#pragma once

#include <map>
#include <QString>
#include <memory>

class QLibrary;

class ModuleLoader {
public:
    explicit ModuleLoader(const QString &moduleDir);
    ~ModuleLoader();

    // "XEV01700" -> <moduleDir>/PKG_XEV01700.so
    QString fileFor(const QString &moduleCode) const;
    // Loads (once) and calls IniProc. Throws EHostError with a clear text.
    void open(const QString &moduleCode);
    // Runs every module's shut-down and unloads it.
    void unloadAll();
    // A symbol of a loaded module; nullptr when not loaded or not there.
    QFunctionPointer resolve(const QString &moduleCode, const char *symbol) const;
    bool isLoaded(const QString &moduleCode) const { return m_modules.count(moduleCode.toUpper()) > 0; }

private:
    struct Module {
        std::unique_ptr<QLibrary> library;
        void (*iniProc)() = nullptr;
        void (*finalize)() = nullptr;
    };
    Module &load(const QString &moduleCode);
    QString m_dir;
    std::map<QString, Module> m_modules;
};
