// merenda-report's command line: the set, the formats, the folder and the
// recipients, beside the shell's database and configuration options
// (ShellConfig, --db and --costs as short forms). Parsing needs no
// application object, so --help and --version work anywhere.
#pragma once

#include "appdata/ShellConfig.h"
#include "report/output/ExportFormat.h"

#include <QList>
#include <QString>
#include <QStringList>

class RoutineOptions {
public:
    // False when the program should end at once: --help or --version
    // printed on standard output (exit code 0), or a bad option named on
    // standard error (exit code 2).
    bool parse(const QStringList &arguments);
    int exitCode() const { return m_exitCode; }
    static QString helpText(const QString &program);

    QString setName() const { return m_set; }
    // --due: every scheduled set that is due instead of one --set.
    bool due() const { return m_due; }
    bool pdf() const { return m_pdf; }
    // The export formats asked for, in the order given.
    QList<ExportFormat::Id> exports() const { return m_exports; }
    QString outDir() const { return m_out; }
    // Every --mail address (an option may list several, separated by commas).
    QStringList recipients() const { return m_mail; }
    QString moduleDir() const { return m_moduleDir; }
    const ShellConfig &config() const { return m_config; }

private:
    void read(const class QCommandLineParser &p);
    void readFormats(const QString &text);
    int m_exitCode = 0;
    QString m_set, m_out, m_moduleDir;
    bool m_pdf = false, m_due = false;
    QList<ExportFormat::Id> m_exports;
    QStringList m_mail;
    ShellConfig m_config;
};
