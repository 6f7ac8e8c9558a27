// Realised costs that make the XEV017 detailed report print a given number of
// rows: after DemoData made a tree of N products (and no costs), every product
// gets `perProduct` rows of one branch and cost type 1, on weekdays of the
// year, across the branch's services. Then a run over the whole year, all
// services, all products and both kinds prints exactly N product rows. Rows
// are written day after day, as a real cost table fills up. Deterministic:
// the same sizes give the same rows. Used by gendata (--printed-rows) and the
// report benchmark.
#pragma once

#include "appdata/BatchInserter.h"
#include "core/Errors.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace PrintedRows {

inline QStringList column(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        throw EHostError(q.lastError().text());
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

// Returns the number of cost rows written.
inline qint64 fill(const QSqlDatabase &db, const QString &branch, int year, int perProduct)
{
    const QStringList products = column(db, QStringLiteral("SELECT CDARVPROD FROM PRODUTO WHERE CDNVPRODUTO = '3' ORDER BY CDARVPROD"));
    const QStringList services = column(db, QStringLiteral("SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = ? ORDER BY CDSERVFILI"), {branch});
    if (services.isEmpty())
        throw EHostError(QStringLiteral("A filial %1 não tem serviços.").arg(branch));
    QList<QVariant> days;
    for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1))
        if (d.dayOfWeek() <= 5)
            days << QVariant(d); // the inserter binds them as the engine keeps dates
    BatchInserter ins(db, QStringLiteral("CUSTREAL"),
                      {"CDFILIAL", "CDSERVFILI", "CDARVPROD", "NRTIPOCUSTO", "DTMOVIMENTO", "QTREAL", "VRCUSTREAL"});
    // Row n is row n % perProduct of product n / perProduct, on day (n * 31) % days.
    const qint64 total = qint64(products.size()) * perProduct;
    auto dayOf = [&days](qint64 n) { return int((n * 31) % days.size()); };
    QVector<qint64> start(days.size() + 1, 0);
    for (qint64 n = 0; n < total; ++n)
        ++start[dayOf(n) + 1];
    for (int d = 0; d < days.size(); ++d)
        start[d + 1] += start[d];
    QVector<qint64> byDay(total);
    for (qint64 n = 0; n < total; ++n)
        byDay[start[dayOf(n)]++] = n;
    for (const qint64 n : std::as_const(byDay)) {
        const int p = int(n / perProduct);
        const double qty = double(1 + (n * 7919) % 200000) / 1000.0;
        ins.add({branch, services[int(n % services.size())], products[p], 1, days[dayOf(n)], qty,
                 qRound64(qty * (1.5 + double(p % 400) / 10.0) * 100.0) / 100.0});
    }
    ins.finish();
    return ins.written();
}

} // namespace PrintedRows
