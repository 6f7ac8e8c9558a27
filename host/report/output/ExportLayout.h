// The columns of an exported report and the values of each row in them:
// first one column per group whose field is not a column (outer group
// first), holding the group's header as printed ("01 - Hortifrutigranjeiros";
// the field's value when the group has no header template; empty when the
// field is empty), then the report's columns in their order.
//
// Built from a definition and the names of the values in each fetched row;
// a field the rows lack gives empty cells. Template names that are not row
// fields (parameters, look-ups) are asked of the context function.
#pragma once

#include "ReportRowSink.h"

#include <QStringList>
#include <functional>

class ExportLayout {
public:
    using Context = std::function<QString(const QString &name)>;

    ExportLayout(const ReportDefinition &def, const QStringList &fields, Context context = {});
    // A group's header as the printed report expands it (filters, the code
    // picture); without one, the templates' plain fields and the context.
    using HeaderText = std::function<QString(const QString &tpl, const QVector<QVariant> &row)>;
    void setHeaderText(HeaderText headerText) { m_headerText = std::move(headerText); }

    const ExportSheet &sheet() const { return m_sheet; }
    QVector<QVariant> shape(const QVector<QVariant> &fetched) const;

private:
    struct Source {
        int field = -1;         // index in the fetched row
        bool group = false;     // a group column: its header text
        QString headerTemplate;
    };
    QString groupText(const Source &s, const QVector<QVariant> &fetched) const;

    ExportSheet m_sheet;
    QList<Source> m_sources;
    QStringList m_fields;
    Context m_context;
    HeaderText m_headerText;
};
