// Reads an exported CSV or XLSX file with other programs' readers (python3's
// csv module, openpyxl; tests/report/read_export.py) and returns what they
// found as JSON, so that the tests check the files as a spreadsheet sees them.
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
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

inline QJsonObject csv(const QString &path) { return read(QStringLiteral("csv"), path); }
inline QJsonObject xlsx(const QString &path) { return read(QStringLiteral("xlsx"), path); }

} // namespace ExportReader
