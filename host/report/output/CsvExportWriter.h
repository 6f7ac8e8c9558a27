// Exports rows as a CSV file that a spreadsheet set up for Brazil opens
// without asking anything: UTF-8 with a byte-order mark, ';' between fields,
// CRLF line ends, the captions as the first line; numbers with a decimal
// comma and no thousands separator (the column's decimals, the value as the
// report prints it), dates as dd/mm/yyyy (date-times dd/mm/yyyy hh:mm:ss),
// text as it is. Codes are written as ="0101", which spreadsheets read as
// the text 0101 (a plain 0101 would become the number 101). A field is
// quoted (RFC 4180, inner quotes doubled) when it holds ';', '"', a line
// break or starts or ends with blanks. Written through SafeFile.
#pragma once

#include "ReportRowSink.h"

#include <memory>

class SafeFile;

class CsvExportWriter : public ReportRowSink {
public:
    explicit CsvExportWriter(const QString &path);
    ~CsvExportWriter() override;

    void begin(const ExportSheet &sheet) override;
    void row(const QVector<QVariant> &values) override;
    void commit() override;
    void abort() override;

    // One value as it is written, before quoting.
    static QString cell(const ReportColumn &column, const QVariant &value);
    // A field quoted when it must be.
    static QString quoted(const QString &field);
    // One value as the line holds it: quoted, or a code as ="0101".
    static QString field(const ReportColumn &column, const QVariant &value);

private:
    void writeLine(const QStringList &fields);
    void flush();

    QString m_path;
    std::unique_ptr<SafeFile> m_file;
    QList<ReportColumn> m_columns;
    QByteArray m_buffer;
};
