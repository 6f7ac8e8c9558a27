// The in-memory form of a report definition file (format: DefinitionParser.h).
//
// A definition has a title, the parameters it declares, its queries (the
// first one gives the report's rows, the others one-row look-ups for the page
// header) and its layout: columns, groups with subtotals, a grand total, page
// header lines, a footer and an optional bar chart after the grand total.
// The plain structs below only exist as parts of a ReportDefinition.
#pragma once

#include "data/TParam.h"

#include <QPageSize>

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>

struct ReportParamDecl {
    QString name;
    TParam::DataType type = TParam::DataType::String;
    QString label;         // shown in the page header when not empty
    QString format;        // date/number pattern for the header, optional
    QVariant defaultValue; // null when the definition gives none
    int line = 0;
};

struct ReportQuery {
    enum Dialect { Default = 0, Oracle = 1, MsSql = 2, InterBase = 3 };
    static constexpr int DialectCount = 4;
    // "SQL", "SQL_ORACLE", "SQL_MSSQL", "SQL_IB".
    static QString dialectKeyword(int d);
    static int dialectFromKeyword(const QString &word); // -1 when unknown

    QString name;
    // What people call it (the report editor's tab), "Serviços"; empty: its name.
    QString label;
    std::array<QString, DialectCount> sql;
    std::array<int, DialectCount> sqlLine{}; // file line of each text's first line
    int line = 0;

    // The text that runs in a dialect: its own, or SQL when it has none;
    // by the dialect's keyword ("SQL_IB") too, SQL when it names none.
    QString textFor(int dialect) const;
    QString textFor(const QString &keyword) const { return textFor(dialectFromKeyword(keyword)); }
};

struct ReportColumn {
    enum class Align { Left, Center, Right };
    // Code: a code shown through the definition's code picture (01.01.0003).
    enum class Format { Text, Integer, Number, Date, DateTime, Code };

    QString field;
    QString caption;
    double widthMm = 0;
    Align align = Align::Left;
    Format format = Format::Text;
    int decimals = 2;   // Number
    QString pattern;    // Date / DateTime, e.g. "dd/MM/yyyy"
    bool sum = false;   // summed in subtotals and grand total
    int line = 0;
};

struct ReportGroup {
    QString field;          // a group ends when this field's value changes
    QString headerTemplate; // "{FIELD} - {OTHER}" printed when a group starts
    QString subtotalCaption;// empty: no subtotal line
    // Rows whose value is empty belong to no group of this level: no header
    // and no subtotal (a level-0 grouping would only repeat the grand total).
    bool skipEmpty = false;
    int line = 0;
};

// A bar chart after the grand total: the sum of valueField per value of
// keyField, one bar each in the order of the keys, labelled by a template
// expanded on the first row of each key.
struct ReportChart {
    QString title;
    QString valueField;
    QString keyField;
    QString labelTemplate;
    int line = 0;

    bool isSet() const { return !valueField.isEmpty(); }
};

class ReportDefinition {
public:
    enum class Orientation { Portrait, Landscape };

    // What one definition may hold, so that a file made by mistake (or on
    // purpose) cannot tie up the machine: reading it stops with a message.
    static constexpr qsizetype MaxTextBytes = 1024 * 1024;
    static constexpr int MaxGroups = 64;
    static constexpr int MaxParams = 256;
    static constexpr int MaxQueries = 32;
    static constexpr int MaxColumns = 128;

    QString title;
    Orientation orientation = Orientation::Portrait;
    // The paper the run is laid out for; the file does not store it (A4
    // unless the print dialog chose another before the run).
    QPageSize pageSize = QPageSize(QPageSize::A4);
    QString fontFamily = QStringLiteral("DejaVu Sans");
    double fontSize = 8;
    QList<ReportParamDecl> params;
    QList<ReportQuery> queries;
    QList<ReportColumn> columns;
    QList<ReportGroup> groups;
    QString totalCaption;        // empty: no grand total line
    QStringList headerLines;     // templates under the title
    QString footerTemplate = QStringLiteral("Página {page} de {pages}");
    ReportChart chart;
    // The code picture (its type, as DBPictObj takes it) that columns of
    // format code and the template filter |picture use; -1: none.
    int pictureType = -1;

    // Where it was read from (empty for a definition built in memory).
    QString sourcePath;

    const ReportParamDecl *findParam(const QString &name) const;
    const ReportQuery *findQuery(const QString &name) const;
    // Width of the printable area in millimetres (the paper in the
    // orientation, 10 mm margins).
    double printableWidthMm() const;
    double totalColumnWidthMm() const;
};
