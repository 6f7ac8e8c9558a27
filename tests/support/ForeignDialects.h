// Dialects of engines that do not run here, registered by the tests.
//
// OracleTexts and MsSqlTexts write what the data layer would write on those
// engines (paging, filters without accents, long-text casts, Oracle's limit
// on a bound text), so that the statements around the screen's texts can be
// checked as texts. TextsOn runs another dialect's statement texts
// (SQL_ORACLE, SQL_MSSQL, SQL_IB on SQLite; SQL on Firebird), with stand-ins
// on SQLite for the routines those texts call (NVL, ISNULL, CHARINDEX, LEN):
// put in a connection's place with SqlDialect::use (ForeignDialects::runOn).
#pragma once

#include "data/engines/SqlDialect.h"

#include <QSqlDatabase>

class OracleTexts : public SqlDialect {
public:
    static constexpr int kMaxTextBytes = 4000;
    QString name() const override { return QStringLiteral("Oracle"); }
    QString statementProperty() const override { return QStringLiteral("SQL_ORACLE"); }
    QString page(const QString &ordered, bool outerOrder, const QString &limit, const QString &offset) const override;
    QString firstRows(const QString &ordered, const QString &rows) const override;
    QString filterTerm(const QString &column, const QString &param, bool prefix, bool castToText) const override;
    QString filterValue(const QString &text, bool prefix) const override;
    void checkText(const QString &name, const QString &text, Markers kind) const override;
};

class MsSqlTexts : public SqlDialect {
public:
    // Qt's ODBC driver sends a longer text as ntext, which CHARINDEX refuses.
    static constexpr int kShortText = 127;
    QString name() const override { return QStringLiteral("SQL Server"); }
    QString statementProperty() const override { return QStringLiteral("SQL_MSSQL"); }
    QString marker(const TParam *param, Markers kind) const override;
    QString orderedInside(const QString &body, const QStringList &items, const QString &text) const override;
    QString page(const QString &ordered, bool outerOrder, const QString &limit, const QString &offset) const override;
    QString filterTerm(const QString &column, const QString &param, bool prefix, bool castToText) const override;
    QString filterValue(const QString &text, bool prefix) const override;
};

// An engine's own dialect running another dialect's statement texts: all
// but the texts is the engine's.
class TextsOn : public SqlDialect {
public:
    // property: "SQL", "SQL_ORACLE", "SQL_MSSQL", "SQL_IB".
    TextsOn(const SqlDialect &engine, const QString &property) : m_engine(engine), m_property(property) {}
    QString name() const override { return m_engine.name() + QStringLiteral(" (") + m_property + QLatin1Char(')'); }
    QString statementProperty() const override { return m_property; }
    // ISNULL is an operator keyword on SQLite: a call is written "ISNULL"(.
    QString finalText(const QString &text) const override;
    // On SQLite: stand-ins for NVL, ISNULL, CHARINDEX and LEN.
    void attach(const QSqlDatabase &db) const override;

    bool has(Feature f) const override { return m_engine.has(f); }
    QString marker(const TParam *p, Markers k) const override { return m_engine.marker(p, k); }
    QString typedMarker(const TParam *p) const override { return m_engine.typedMarker(p); }
    bool wantsTypedMarkers(const QSqlError &e) const override { return m_engine.wantsTypedMarkers(e); }
    QString orderedInside(const QString &b, const QStringList &i, const QString &t) const override
    {
        return m_engine.orderedInside(b, i, t);
    }
    QString page(const QString &o, bool outer, const QString &l, const QString &off) const override
    {
        return m_engine.page(o, outer, l, off);
    }
    QString firstRows(const QString &o, const QString &r) const override { return m_engine.firstRows(o, r); }
    QString filterTerm(const QString &c, const QString &p, bool prefix, bool cast) const override
    {
        return m_engine.filterTerm(c, p, prefix, cast);
    }
    QString filterValue(const QString &t, bool prefix) const override { return m_engine.filterValue(t, prefix); }
    QString tableExistsQuery(const QString &t) const override { return m_engine.tableExistsQuery(t); }
    QString searchIndexValue(const QString &t, const QStringList &c) const override
    {
        return m_engine.searchIndexValue(t, c);
    }
    QString searchIndexTerm(const QString &k, const QString &t, const QString &m) const override
    {
        return m_engine.searchIndexTerm(k, t, m);
    }
    QString leadingIndexQuery(const QString &c) const override { return m_engine.leadingIndexQuery(c); }
    void checkText(const QString &n, const QString &t, Markers k) const override { m_engine.checkText(n, t, k); }
    QVariant dateValue(const QDate &d) const override { return m_engine.dateValue(d); }
    QVariant dateTimeValue(const QDateTime &d) const override { return m_engine.dateTimeValue(d); }
    QVariant nullValue(TParam::DataType t) const override { return m_engine.nullValue(t); }
    DatabaseFailure failure(const QSqlDatabase &db, const QSqlError &e) const override { return m_engine.failure(db, e); }
    int valuesPerInsert() const override { return m_engine.valuesPerInsert(); }
    QString insertRows(const QString &t, const QStringList &c, int r) const override { return m_engine.insertRows(t, c, r); }

private:
    const SqlDialect &m_engine;
    QString m_property;
};

namespace ForeignDialects {

// Puts in the place of the connection's own dialect one that runs the texts
// of property ("SQL", "SQL_ORACLE", "SQL_MSSQL", "SQL_IB"); the engine's own
// again when they are its own.
void runOn(const QSqlDatabase &db, const QString &property);

} // namespace ForeignDialects
