// Exports a report as a CSV file (RFC 4180) that a spreadsheet set up for
// Brazil opens without asking anything and that any program reads as plain
// data: UTF-8 with a byte-order mark, ';' between fields, CRLF line ends.
//
// Every line has the same fields: the line's kind ("Relatório", "Parâmetro",
// "Grupo", "Linha", "Subtotal", "Total"), its description (the title, a
// header item, a group's header, a subtotal's or the total's caption; empty
// on a detail line), then the sheet's columns. The first line holds the
// captions ("Tipo", "Descrição", ...). Numbers have a decimal comma and no
// thousands separator (the column's decimals, the value as printed, exact
// however large); dates dd/mm/yyyy (date-times dd/mm/yyyy hh:mm:ss); text
// and codes as they are, never wrapped in a formula.
//
// Safe to open: a text field that begins with '=', '+', '-', '@', a tab or a
// carriage return gets a leading apostrophe, so that no spreadsheet reads it
// as a formula (numbers are not text fields: -0,50 stays a number).
//
// Codes::SpreadsheetText, for people who open the file in a spreadsheet: a
// code made only of digits and the marks . - / and blanks (which a
// spreadsheet would read as a number and drop its zeros, or as a date) is
// written ="01.01.0001", which it reads as that text; such a formula holds a
// text literal and nothing else, so it cannot evaluate a name or a
// function. Any other code is written plainly, as other text. A field
// is quoted (inner quotes doubled) when it holds ';', '"', a line break or
// starts or ends with blanks. Written through SafeFile.
#pragma once

#include "ReportRowSink.h"

#include <memory>

class SafeFile;

class CsvExportWriter : public ReportRowSink {
public:
    enum class Codes { Plain, SpreadsheetText };
    explicit CsvExportWriter(const QString &path, Codes codes = Codes::Plain);
    ~CsvExportWriter() override;

    void begin(const ExportSheet &sheet) override;
    void row(const ExportRow &row) override;
    void commit() override;
    void abort() override;

    // One value as it is written, before quoting and neutralising.
    static QString cell(const ReportColumn &column, const QVariant &value);
    // A text that a spreadsheet would take for a formula, made inert.
    static QString neutralised(const QString &text);
    // A field quoted when it must be.
    static QString quoted(const QString &field);
    // One value as the line holds it.
    static QString field(const ReportColumn &column, const QVariant &value, Codes codes = Codes::Plain);

private:
    void writeLine(const QString &kind, const QString &description, const QStringList &fields);
    void flush();

    QString m_path;
    Codes m_codes;
    std::unique_ptr<SafeFile> m_file;
    QList<ReportColumn> m_columns;
    QByteArray m_buffer;
};
