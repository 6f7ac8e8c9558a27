// Reads an exported CSV or XLSX file with other programs' readers (python3's
// csv module, pandas, Gnumeric, openpyxl; tests/report/read_export.py) and returns what they
// found as JSON, so that the tests check the files as a spreadsheet sees them.
#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtTest>

namespace ExportReader {

inline QJsonObject read(const QString &kind, const QString &path)
{
    QProcess p;
    p.start(QStringLiteral(SYSTEM_PYTHON3), {QStringLiteral(REPORT_TEST_DIR "/read_export.py"), kind, path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("read_export.py failed: %s", p.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// The file's bytes; empty when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The cells of a row the readers returned, as texts.
inline QStringList strings(const QJsonValue &row)
{
    QStringList out;
    for (const QJsonValue &v : row.toArray())
        out << v.toString();
    return out;
}

// The text of a workbook's first sheet, as stored.
inline QString sheetXml(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral(SYSTEM_PYTHON3),
            {QStringLiteral("-c"), QStringLiteral("import sys, zipfile\n"
                                                  "sys.stdout.write(zipfile.ZipFile(sys.argv[1]).read("
                                                  "'xl/worksheets/sheet1.xml').decode())\n"),
             path});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QJsonObject csv(const QString &path) { return read(QStringLiteral("csv"), path); }
inline QJsonObject xlsx(const QString &path) { return read(QStringLiteral("xlsx"), path); }
// The CSV as pandas reads it, every column as text.
inline QJsonObject pandas(const QString &path) { return read(QStringLiteral("pandas"), path); }
// The CSV as Gnumeric shows it under pt_BR (formulas evaluated).
inline QJsonObject gnumeric(const QString &path) { return read(QStringLiteral("gnumeric"), path); }

} // namespace ExportReader
