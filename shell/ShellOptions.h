// The shell's command line: its own options and the configuration's
// (ShellConfig), with --db and --costs HOST:PORT as short forms.
#pragma once

#include "appdata/ShellConfig.h"

#include <QString>
#include <QStringList>

class ShellOptions {
public:
    // False when the program should end at once (help shown, bad option).
    bool parse(const QStringList &arguments);
    int exitCode() const { return m_exitCode; }

    QStringList openModules() const { return m_open; }
    QString screenshotFile() const { return m_screenshot; }
    QString moduleDir() const { return m_moduleDir; }
    // The configuration file's values with the options applied over them.
    const ShellConfig &config() const { return m_shellConfig; }
    QString scriptFile() const { return m_script; }
    QString outDir() const { return m_out; }

private:
    int m_exitCode = 0;
    QStringList m_open;
    QString m_screenshot, m_moduleDir, m_script, m_out;
    ShellConfig m_shellConfig;
};
