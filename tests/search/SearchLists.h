// What the search tests build and read on any engine: a list query with its
// fields, the keys a filter gives through a search source, and the keys the
// rule in memory (TextFold) gives for the same rows.
#pragma once

#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TextFold.h"
#include "lookup/SearchDataSetSource.h"
#include "support/EngineDatabases.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace SearchLists {

// Key, then the columns searched; one row per product in code order.
inline const QString kAllProducts = QStringLiteral("SELECT CDARVPROD AS CHAVE_, CDARVPROD, NMPRODUTO FROM PRODUTO ORDER BY 1");

// Demo databases of this many products and no cost rows.
inline DemoSizes productsOnly(int products)
{
    DemoSizes s;
    s.costRows = 0;
    s.products = products;
    return s;
}

inline TADOIBQuery *listQuery(QObject *owner, const QString &sql, const QStringList &fields)
{
    auto *q = new TADOIBQuery(owner);
    q->setSQL({sql});
    for (const QString &name : fields) {
        auto *f = new TADOIBStringField(q);
        f->setFieldName(name);
    }
    return q;
}

inline TADOIBQuery *products(QObject *owner)
{
    return listQuery(owner, QStringLiteral("SELECT CDARVPROD, NMPRODUTO FROM PRODUTO ORDER BY CDARVPROD"),
                     {QStringLiteral("CDARVPROD"), QStringLiteral("NMPRODUTO")});
}

// Keys of the rows of sql (key, then the searched columns) that the rule in
// memory matches, in the order of sql.
inline QStringList expected(const QString &sql, const QString &text)
{
    QSqlQuery q(HostDatabase::instance().database());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        qWarning("%s", qPrintable(SqlStatement::errorText(q.lastError())));
    const QString needle = TextFold::fold(text);
    QStringList out;
    while (q.next()) {
        bool hit = false;
        for (int c = 1; c < q.record().count(); ++c)
            hit = hit || TextFold::containsFolded(q.value(c).toString(), needle);
        if (hit)
            out << q.value(0).toString();
    }
    return out;
}

inline QStringList keysOf(SearchDataSetSource &source, int max = 1000000)
{
    QList<QStringList> rows;
    while (!source.atEnd() && rows.size() < max)
        if (source.fetch(qMin(100, max - int(rows.size())), rows) == 0)
            break;
    QStringList keys;
    for (const QStringList &r : rows)
        keys << r.at(source.keyColumn());
    return keys;
}

// The keys a list shows for a filter, read to its end.
inline QStringList filtered(TADOIBQuery *q, const QString &text)
{
    q->Open();
    SearchDataSetSource source(q->dataSet(), {});
    source.setFilter(text);
    return keysOf(source);
}

} // namespace SearchLists
