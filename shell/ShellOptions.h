// The shell's command line.
#pragma once

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
    QString configFile() const { return m_config; }
    QString database() const { return m_database; }
    QString branch() const { return m_branch; }
    QString costs() const { return m_costs; }
    QString scriptFile() const { return m_script; }
    QString outDir() const { return m_out; }

private:
    int m_exitCode = 0;
    QStringList m_open;
    QString m_screenshot, m_moduleDir, m_config, m_database, m_branch, m_costs, m_script, m_out;
};
