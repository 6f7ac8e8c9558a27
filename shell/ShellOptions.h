// The shell's command line: its own options and the configuration's
// (ShellConfig), with --db and --costs HOST:PORT as short forms. Parsing
// needs no application object, so --help and --version work without a
// display.
#pragma once

#include "appdata/ShellConfig.h"

#include <QString>
#include <QStringList>

class ShellOptions {
public:
    // False when the program should end at once: --help or --version printed
    // on standard output (exit code 0), or a bad option or configuration
    // value named on standard error (exit code 2). Without --config it reads
    // ShellConfig::defaultConfigFile() when there is one.
    bool parse(const QStringList &arguments);
    int exitCode() const { return m_exitCode; }
    // The help text (Portuguese) and the version line.
    static QString helpText(const QString &program);
    static QString versionText(const QString &program);

    QStringList openModules() const { return m_open; }
    QString screenshotFile() const { return m_screenshot; }
    // Empty: beside the shell program.
    QString moduleDir() const { return m_moduleDir; }
    // The configuration file's values with the options applied over them.
    const ShellConfig &config() const { return m_shellConfig; }
    QString scriptFile() const { return m_script; }
    QString outDir() const { return m_out; }

private:
    void read(const class QCommandLineParser &p);
    int m_exitCode = 0;
    QStringList m_open;
    QString m_screenshot, m_moduleDir, m_script, m_out;
    ShellConfig m_shellConfig;
};
