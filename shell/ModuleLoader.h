// Loads screen modules by file name, reads what each says of itself
// (ModuleDescription), runs their start-up once, opens their screen through
// the exported IniProc, and at the end runs their shut-down and unloads them.
#pragma once

#include "core/ModuleDescription.h"

#include <QList>
#include <QString>
#include <map>
#include <memory>

class QLibrary;

class ModuleLoader {
public:
    explicit ModuleLoader(const QString &moduleDir);
    ~ModuleLoader();

    // "XEV01700" -> <moduleDir>/PKG_XEV01700.so
    QString fileFor(const QString &moduleCode) const;
    // The modules of the folder that describe themselves, by code. Each is
    // loaded to be read, not started; a file that does not load or does not
    // describe itself is left out (opening it says why).
    QList<ModuleDescription> describeAll();
    // The description of a loaded module; nullptr when not loaded or it has none.
    const ModuleDescription *description(const QString &moduleCode) const;
    // Loads (once), starts (once) and calls IniProc. Throws EHostError with a clear text.
    void open(const QString &moduleCode);
    // Runs every started module's shut-down and unloads every module.
    void unloadAll();
    // The variables the loaded modules let the shell read (ModuleDescription).
    QList<const QObject *> variables() const;
    bool isLoaded(const QString &moduleCode) const { return m_modules.count(moduleCode.toUpper()) > 0; }

private:
    struct Module {
        std::unique_ptr<QLibrary> library;
        void (*initialize)() = nullptr;
        void (*iniProc)() = nullptr;
        void (*finalize)() = nullptr;
        const ModuleDescription *description = nullptr;
        bool started = false;
    };
    Module &load(const QString &moduleCode);
    QString m_dir;
    std::map<QString, Module> m_modules;
};
