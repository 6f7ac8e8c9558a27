// What a run prints besides the rows' own cells: the values that templates
// name (parameters, look-up fields, fields of a row, page numbers, the time
// of printing) with their filters (ReportTemplate.h), and cells through their
// column's format, codes through the definition's code picture.
//
// Built on the GUI thread before a run and only read afterwards, so threads
// may share one.
#pragma once

#include "core/EditMask.h"
#include "data/TParam.h"
#include "report/model/ReportDefinition.h"
#include "session/TDBPicture.h"

#include <QDateTime>
#include <QHash>
#include <QVariant>
#include <memory>

class ReportValues {
public:
    ReportValues() = default;
    ReportValues(const ReportDefinition &def, const TParams &params, std::shared_ptr<const TDBPicture> picture,
                 const QDateTime &printedAt);

    // The row's fields, in the order the rows hold them.
    void setFields(const QStringList &fields) { m_fields = fields; }
    const QStringList &fields() const { return m_fields; }
    int fieldIndex(const QString &name) const;
    void setLookups(const QHash<QString, QVariant> &lookups) { m_lookups = lookups; }
    const QHash<QString, QVariant> &lookups() const { return m_lookups; }
    const TParams &params() const { return m_params; }
    QDateTime printedAt() const { return m_printedAt; }

    // A template field as written ("NAME|filter") for a row (may be null).
    QString field(const QString &field, const QVector<QVariant> *row, int page = 0, int pages = 0) const;
    QString expand(const QString &tpl, const QVector<QVariant> *row, int page = 0, int pages = 0) const;
    // A cell as the page shows it.
    QString cell(const ReportColumn &col, const QVariant &v) const;
    // A code through the picture: its filled positions only ("0101" ->
    // "01.01"); characters the mask refuses are left out; without a picture,
    // or for a code the mask cannot hold, the code itself.
    QString code(const QString &code) const;
    // The level of an accumulated code length (0 for 0); without a picture,
    // the length itself.
    int level(int length) const;

private:
    QString raw(const QString &name, const QVector<QVariant> *row, int page, int pages) const;

    const ReportDefinition *m_def = nullptr;
    TParams m_params;
    QHash<QString, QVariant> m_lookups;
    QStringList m_fields;
    std::shared_ptr<const TDBPicture> m_picture;
    EditMask m_mask;
    QDateTime m_printedAt;
};
