#include "TADOIBDataSet.h"
#include "HostDatabase.h"
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

QString likePattern(const QString &text, bool prefix)
{
    QString escaped;
    for (const QChar c : text.toUpper()) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return (prefix ? QString() : QStringLiteral("%")) + escaped + QStringLiteral("%");
}

QString derived(const QString &inner, const QString &where)
{
    QString s = QStringLiteral("SELECT * FROM (\n") + inner + QStringLiteral("\n) Q__");
    if (!where.isEmpty())
        s += QStringLiteral("\nWHERE ") + where;
    return s;
}

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
    SqlStatement stmt(HostDatabase::instance().database());
    stmt.exec(derived(innerText(), QStringLiteral("1 = 0")), query()->runParams());
    QStringList out;
    const QSqlRecord rec = stmt.record();
    for (int i = 0; i < rec.count(); ++i)
        out << rec.fieldName(i);
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
    const SqlEngine engine = HostDatabase::instance().engine();
    QStringList terms;
    for (const QString &c : columns) {
        switch (engine) {
        case SqlEngine::SQLite:
            terms << QStringLiteral("FOLD_INSTR(Q__.%1, :%2) %3").arg(c, kFilter, filter.prefix ? QLatin1String("= 1") : QLatin1String("> 0"));
            break;
        case SqlEngine::Firebird:
            terms << QStringLiteral("CAST(Q__.%1 AS VARCHAR(8191) CHARACTER SET WIN1252) COLLATE WIN_PTBR "
                                    "LIKE :%2 ESCAPE '\\'").arg(c, kFilter);
            break;
        case SqlEngine::PostgreSql:
            // The form of the schema's trigram indexes, so that they serve.
            terms << QStringLiteral("FOLD(CAST(Q__.%1 AS TEXT)) LIKE FOLD(:%2) ESCAPE '\\'").arg(c, kFilter);
            break;
        default:
            terms << QStringLiteral("UPPER(Q__.%1) LIKE :%2 ESCAPE '\\'").arg(c, kFilter);
            break;
        }
    }
    params.add(kFilter).SetAsString(engine == SqlEngine::SQLite ? filter.text : likePattern(filter.text, filter.prefix));
    QString where = QLatin1Char('(') + terms.join(QLatin1String(" OR ")) + QLatin1Char(')');
    if (engine != SqlEngine::SQLite || filter.keyColumn.isEmpty())
        return where;
    // The index narrows the rows; the terms above keep the rule exact.
    const QString key = checkedColumn(filter.keyColumn, result);
    const SearchIndexes::Index index = SearchIndexes::find(HostDatabase::instance().database(), key, columns);
    const QString match = index.table.isEmpty() ? QString() : SearchIndexes::matchQuery(filter.text, index.columns);
    if (match.isEmpty())
        return where;
    params.add(kMatch).SetAsString(match);
    return QStringLiteral("Q__.%1 IN (SELECT CHAVE FROM %2 WHERE %2 MATCH :%3) AND ").arg(key, index.table, kMatch)
        + where;
}

qint64 TADOIBDataSet::CountRows(const RowFilter &filter)
{
    TParams params = query()->runParams().clone();
    const QString where = filterClause(filter, params);
    SqlStatement stmt(HostDatabase::instance().database());
    stmt.exec(QStringLiteral("SELECT COUNT(*) FROM (\n") + innerText() + QStringLiteral("\n) Q__")
                  + (where.isEmpty() ? QString() : QStringLiteral("\nWHERE ") + where),
              params);
    return stmt.next() ? stmt.value(0).toLongLong() : 0;
}

QList<QVariantList> TADOIBDataSet::FetchPage(const RowFilter &filter, qint64 offset, int limit)
{
    QList<QVariantList> rows;
    if (limit <= 0)
        return rows;
    limit = qMin(limit, MaxPageRows);
    offset = qMax<qint64>(0, offset);
    TParams params = query()->runParams().clone();
    const QString where = filterClause(filter, params);
    params.add(kLimit).SetAsVariant(qlonglong(limit));
    params.add(kOffset).SetAsVariant(qlonglong(offset));

    const QString inner = innerText();
    QString text;
    switch (HostDatabase::instance().engine()) {
    case SqlEngine::Firebird:
        text = derived(inner, where);
        text.replace(0, 6, QStringLiteral("SELECT FIRST (:%1) SKIP (:%2)").arg(kLimit, kOffset));
        break;
    case SqlEngine::Oracle:
        text = derived(inner, where)
            + QStringLiteral("\nOFFSET :%1 ROWS FETCH NEXT :%2 ROWS ONLY").arg(kOffset, kLimit);
        break;
    case SqlEngine::MsSql:
        text = derived(inner, where)
            + QStringLiteral("\nORDER BY (SELECT NULL) OFFSET :%1 ROWS FETCH NEXT :%2 ROWS ONLY").arg(kOffset, kLimit);
        break;
    default:
        text = derived(inner, where) + QStringLiteral("\nLIMIT :%1 OFFSET :%2").arg(kLimit, kOffset);
        break;
    }
    SqlStatement stmt(HostDatabase::instance().database());
    stmt.exec(text, params);
    const int columns = stmt.record().count();
    while (stmt.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << stmt.value(i);
        rows << row;
    }
    return rows;
}

std::unique_ptr<SqlStatement> TADOIBDataSet::OpenScan(const RowFilter &filter)
{
    TParams params = query()->runParams().clone();
    const QString where = filterClause(filter, params);
    auto stmt = std::make_unique<SqlStatement>(HostDatabase::instance().database());
    stmt->exec(derived(innerText(), where), params);
    return stmt;
}

bool TADOIBDataSet::OpenOnKey(const QString &keyField, const QVariant &value)
{
    const QString column = checkedColumn(keyField, ColumnNames());
    TParams params = query()->runParams().clone();
    params.add(kKey).SetAsVariant(value);
    query()->openWith(derived(innerText(), QStringLiteral("Q__.%1 = :%2").arg(column, kKey)), params);
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
