// Reads an exported CSV or XLSX file with other programs' readers (python3's
// csv module, openpyxl; tests/report/read_export.py) and returns what they
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

inline QJsonObject csv(const QString &path) { return read(QStringLiteral("csv"), path); }
inline QJsonObject xlsx(const QString &path) { return read(QStringLiteral("xlsx"), path); }

} // namespace ExportReader
