#include "TADOIBDataSet.h"
#include "engines/SqlDialect.h"
#include "HostDatabase.h"
#include "LookupSql.h"
#include "NamedSql.h"
#include "SearchIndexes.h"
#include "SqlStatement.h"
#include "TADOIBQuery.h"
#include "TADOIBStringField.h"
#include "core/Errors.h"

#include <QRegularExpression>

namespace {

const QString kFilter = QStringLiteral("FILTRO__");
const QString kLimit = QStringLiteral("LIMITE__");
const QString kOffset = QStringLiteral("DESLOC__");
const QString kKey = QStringLiteral("CHAVE__");
const QString kMatch = QStringLiteral("PESQ__");
const QString kProbe = QStringLiteral("AMOSTRA__");
const QString kColumn = QStringLiteral("COLUNA__");
int g_probeRows = 20000;

} // namespace

TADOIBDataSet::TADOIBDataSet(TADOIBQuery *query) : QObject(query) {}

TADOIBQuery *TADOIBDataSet::query() const { return static_cast<TADOIBQuery *>(parent()); }

bool TADOIBDataSet::Active() const { return query()->Active(); }
void TADOIBDataSet::Open() { query()->Open(); }
void TADOIBDataSet::Close() { query()->Close(); }
void TADOIBDataSet::First() { query()->First(); }
void TADOIBDataSet::Next() { query()->Next(); }
bool TADOIBDataSet::GetEOF() const { return query()->GetEOF(); }
bool TADOIBDataSet::IsEmpty() const { return query()->IsEmpty(); }
TADOIBStringField *TADOIBDataSet::FieldByName(const QString &name) { return query()->FieldByName(name); }

QString TADOIBDataSet::ExecutedSql() const { return query()->currentStatementText(); }

QVariantMap TADOIBDataSet::BoundValues() const
{
    QVariantMap out;
    const TParams &params = query()->runParams();
    for (const QString &name : NamedSql::parse(ExecutedSql()).distinctNames()) {
        const TParam *p = params.FindParam(name);
        out.insert(name, p ? p->Value() : QVariant());
    }
    return out;
}

QString TADOIBDataSet::innerText() const
{
    QString text = ExecutedSql();
    // A trailing ';' would end the derived table's text early.
    while (!text.isEmpty() && (text.back().isSpace() || text.back() == QLatin1Char(';')))
        text.chop(1);
    return text;
}

QStringList TADOIBDataSet::ColumnNames()
{
    if (query()->Active())
        return query()->columnNames();
    // The columns of a text do not change with its values: asked once.
    const QString text = innerText();
    if (text == m_columnsOf)
        return m_columns;
    SqlStatement stmt(HostDatabase::instance().database());
    stmt.exec(LookupSql(text, stmt.dialect()).unordered(QStringLiteral("1 = 0")), query()->runParams());
    QStringList out;
    const QSqlRecord rec = stmt.record();
    for (int i = 0; i < rec.count(); ++i)
        out << rec.fieldName(i);
    m_columnsOf = text;
    m_columns = out;
    return out;
}

QList<TADOIBStringField *> TADOIBDataSet::Fields()
{
    QList<TADOIBStringField *> fields = query()->persistentFields();
    if (!fields.isEmpty())
        return fields;
    for (const QString &column : ColumnNames())
        fields << query()->transientField(column);
    return fields;
}

QList<TADOIBStringField *> TADOIBDataSet::VisibleFields()
{
    QList<TADOIBStringField *> out;
    for (TADOIBStringField *f : Fields())
        if (f->Visible())
            out << f;
    return out;
}

QString TADOIBDataSet::checkedColumn(const QString &name, const QStringList &columns) const
{
    static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]*$"));
    if (ident.match(name).hasMatch())
        for (const QString &c : columns)
            if (c.compare(name, Qt::CaseInsensitive) == 0)
                return c;
    throw EHostError(QStringLiteral("%1: campo '%2' não encontrado.").arg(query()->objectName(), name));
}

QString TADOIBDataSet::filterClause(const RowFilter &filter, TParams &params)
{
    if (filter.text.isEmpty() || filter.columns.isEmpty())
        return QString();
    const QStringList result = ColumnNames();
    QStringList columns;
    for (const QString &c : filter.columns)
        columns << checkedColumn(c, result);
    const SqlDialect &dialect = HostDatabase::instance().dialect();
    QStringList terms;
    for (const QString &c : columns)
        terms << dialect.filterTerm(c, kFilter, filter.prefix, m_castFilterFor == innerText());
    params.add(kFilter).SetAsString(dialect.filterValue(filter.text, filter.prefix));
    QString where = QLatin1Char('(') + terms.join(QLatin1String(" OR ")) + QLatin1Char(')');
    if (!dialect.has(SqlDialect::Feature::SearchIndexNarrowing))
        return where;
    // The index narrows the rows; the terms above keep the rule exact.
    QString key;
    const SearchIndexes::Index index = servingIndex(filter, &key);
    const QString match = index.table.isEmpty() ? QString() : dialect.searchIndexValue(filter.text, index.columns);
    if (match.isEmpty())
        return where;
    params.add(kMatch).SetAsString(match);
    return dialect.searchIndexTerm(key, index.table, kMatch) + QStringLiteral(" AND ") + where;
}

SearchIndexes::Index TADOIBDataSet::servingIndex(const RowFilter &filter, QString *key)
{
    if (filter.keyColumn.isEmpty())
        return {};
    const QStringList result = ColumnNames();
    QStringList columns;
    for (const QString &c : filter.columns)
        columns << checkedColumn(c, result);
    *key = checkedColumn(filter.keyColumn, result);
    return SearchIndexes::find(HostDatabase::instance().database(), *key, columns);
}

std::unique_ptr<SqlStatement> TADOIBDataSet::execFiltered(const RowFilter &filter,
                                                         const std::function<QString(const QString &)> &text,
                                                         const TParams *more)
{
    for (;;) {
        TParams params = query()->runParams().clone();
        const QString where = filterClause(filter, params);
        for (int i = 0; more && i < more->Count(); ++i)
            params.add(more->at(i).Name()).SetAsVariant(more->at(i).Value());
        auto stmt = std::make_unique<SqlStatement>(HostDatabase::instance().database());
        try {
            stmt->exec(text(where), params);
            return stmt;
        } catch (const EHostError &) {
            // A column that is no WIN1252 text refuses the bare collation:
            // this text's filters cast their columns from then on.
            const QString inner = innerText();
            if (!stmt->dialect().has(SqlDialect::Feature::FilterNeedsTextCast) || where.isEmpty()
                || m_castFilterFor == inner)
                throw;
            m_castFilterFor = inner;
        }
    }
}

qint64 TADOIBDataSet::CountRows(const RowFilter &filter)
{
    const auto stmt = execFiltered(filter, [&](const QString &where) {
        // SELECT * of the rows becomes SELECT COUNT(*).
        return LookupSql(innerText(), HostDatabase::instance().dialect()).unordered(where).replace(0, 8, QStringLiteral("SELECT COUNT(*)"));
    });
    return stmt->next() ? stmt->value(0).toLongLong() : 0;
}

QList<QVariantList> TADOIBDataSet::FetchPage(const RowFilter &filter, qint64 offset, int limit)
{
    QList<QVariantList> rows;
    if (limit <= 0)
        return rows;
    TParams paging;
    paging.add(kLimit).SetAsVariant(qlonglong(qMin(limit, MaxPageRows)));
    paging.add(kOffset).SetAsVariant(qlonglong(qMax<qint64>(0, offset)));
    const auto stmt = execFiltered(
        filter,
        [&](const QString &where) {
            return LookupSql(innerText(), HostDatabase::instance().dialect()).page(where, ColumnNames(), kLimit, kOffset);
        },
        &paging);
    const int columns = stmt->record().count();
    while (stmt->next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << stmt->value(i);
        rows << row;
    }
    return rows;
}

std::unique_ptr<SqlStatement> TADOIBDataSet::sortedScan(const RowFilter &filter, const LookupSql &sql,
                                                       const QString &column)
{
    QString key;
    const SearchIndexes::Index index = servingIndex(filter, &key);
    const QString pattern =
        index.table.isEmpty() ? QString() : HostDatabase::instance().dialect().searchIndexValue(filter.text, index.columns);
    if (pattern.isEmpty())
        return execFiltered(filter, [&](const QString &where) { return sql.sortedOrdered(where, column); });
    TParams match;
    match.add(kMatch).SetAsString(pattern);
    return execFiltered(
        filter,
        [&](const QString &where) { return sql.sortedThroughIndex(where, column, index.table, key, kMatch); },
        &match);
}

int TADOIBDataSet::probeRows() { return g_probeRows; }
void TADOIBDataSet::setProbeRows(int rows) { g_probeRows = qMax(1, rows); }

QString TADOIBDataSet::indexedOrderColumn(const LookupSql &sql)
{
    const QString text = innerText();
    if (text == m_orderIndexOf)
        return m_orderIndex;
    const QString column = sql.orderColumn(ColumnNames());
    bool indexed = false;
    if (!column.isEmpty()) {
        // By name: a column of that name that leads an active ascending index
        // of some table. A wrong guess costs time, never rows.
        SqlStatement stmt(HostDatabase::instance().database());
        TParams params;
        params.add(kColumn).SetAsString(column.toUpper());
        stmt.exec(stmt.dialect().leadingIndexQuery(kColumn), params);
        indexed = stmt.next();
    }
    m_orderIndexOf = text;
    m_orderIndex = indexed ? column : QString();
    return m_orderIndex;
}

bool TADOIBDataSet::fewMatchFirstRows(const RowFilter &filter, const LookupSql &sql, const QString &column)
{
    TParams probe;
    probe.add(kProbe).SetAsVariant(qlonglong(g_probeRows));
    const auto stmt = execFiltered(
        filter, [&](const QString &where) { return sql.firstRowsMatching(where, column, kProbe); }, &probe);
    return stmt->next() && stmt->value(0).toLongLong() < DenseRows;
}

std::unique_ptr<SqlStatement> TADOIBDataSet::OpenScan(const RowFilter &filter)
{
    const SqlDialect &dialect = HostDatabase::instance().dialect();
    const LookupSql sql(innerText(), dialect);
    if (dialect.has(SqlDialect::Feature::SortedScanForSparseFilters) && !filter.text.isEmpty()) {
        const QString column = indexedOrderColumn(sql);
        if (!column.isEmpty() && fewMatchFirstRows(filter, sql, column))
            return sortedScan(filter, sql, column);
    }
    return execFiltered(filter, [&](const QString &where) { return sql.ordered(where, ColumnNames()); });
}

bool TADOIBDataSet::OpenOnKey(const QString &keyField, const QVariant &value)
{
    const QString column = checkedColumn(keyField, ColumnNames());
    TParams params = query()->runParams().clone();
    params.add(kKey).SetAsVariant(value);
    query()->openWith(LookupSql(innerText(), HostDatabase::instance().dialect())
                          .unordered(QStringLiteral("Q__.%1 = :%2").arg(column, kKey)),
                      params);
    return !query()->IsEmpty();
}

bool TADOIBDataSet::Locate(const QString &field, const QVariant &value)
{
    TADOIBQuery *q = query();
    if (!q->Active())
        q->Open();
    q->First();
    const QString wanted = value.toString();
    TADOIBStringField *f = q->FieldByName(field);
    for (; !q->GetEOF(); q->Next())
        if (f->AsString() == wanted)
            return true;
    q->First();
    return false;
}
