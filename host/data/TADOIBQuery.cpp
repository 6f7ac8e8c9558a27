#include "TADOIBQuery.h"
#include "HostDatabase.h"
#include "engines/SqlDialect.h"
#include "NamedSql.h"
#include "SqlStatement.h"
#include "TADOIBDataSet.h"
#include "TADOIBStringField.h"
#include "core/ComponentRegistry.h"
#include "core/Errors.h"

REGISTER_COMPONENT(TADOIBQuery)

TADOIBQuery::TADOIBQuery(QObject *parent) : QObject(parent)
{
    m_dataSet = new TADOIBDataSet(this);
    m_transientFields = new QObject(this);
    connect(&HostDatabase::instance(), &HostDatabase::closing, this, &TADOIBQuery::Close);
}

TADOIBQuery::~TADOIBQuery() = default;

QString TADOIBQuery::label() const
{
    return objectName().isEmpty() ? QStringLiteral("TADOIBQuery") : objectName();
}

void TADOIBQuery::setSQL(const QStringList &v)
{
    Close();
    m_sql = v;
}

void TADOIBQuery::setSQL_ORACLE(const QStringList &v)
{
    Close();
    m_sqlOracle = v;
}

void TADOIBQuery::setSQL_MSSQL(const QStringList &v)
{
    Close();
    m_sqlMssql = v;
}

void TADOIBQuery::setSQL_IB(const QStringList &v)
{
    Close();
    m_sqlIb = v;
}

QVariantList TADOIBQuery::ParamsList() const
{
    QVariantList out;
    for (int i = 0; i < m_params.Count(); ++i) {
        const TParam &p = m_params.at(i);
        QVariantMap item;
        item.insert(QStringLiteral("Name"), p.Name());
        item.insert(QStringLiteral("DataType"), QStringLiteral("ft") + [&] {
            QString t = TParam::typeName(p.dataType());
            t[0] = t[0].toUpper();
            return t;
        }());
        item.insert(QStringLiteral("ParamType"), p.ParamType());
        out << item;
    }
    return out;
}

void TADOIBQuery::setParamsList(const QVariantList &items)
{
    m_params.clear();
    for (const QVariant &v : items) {
        const QVariantMap item = v.toMap();
        const QString name = item.value(QStringLiteral("Name")).toString();
        if (name.isEmpty())
            throw EHostError(QStringLiteral("%1: parâmetro sem nome.").arg(label()));
        TParam &p = m_params.add(name, TParam::typeFromName(item.value(QStringLiteral("DataType")).toString()));
        if (item.contains(QStringLiteral("ParamType")))
            p.setParamType(item.value(QStringLiteral("ParamType")).toString());
    }
}

void TADOIBQuery::setActive(bool v)
{
    if (v)
        Open();
    else
        Close();
}

QObject *TADOIBQuery::Query() const { return m_dataSet; }

QString TADOIBQuery::statementText(const QString &property) const
{
    // The texts are the properties SQL, SQL_ORACLE, SQL_MSSQL and SQL_IB.
    QString text = this->property(property.toLatin1().constData()).toStringList().join(QLatin1Char('\n'));
    if (text.trimmed().isEmpty())
        text = m_sql.join(QLatin1Char('\n'));
    if (text.trimmed().isEmpty())
        throw EHostError(QStringLiteral("A consulta %1 não tem instrução SQL.").arg(label()));
    return text;
}

QString TADOIBQuery::currentStatementText() const
{
    return statementText(HostDatabase::instance().dialect().statementProperty());
}

TParam &TADOIBQuery::ParamByName(const QString &name)
{
    if (TParam *p = m_params.FindParam(name))
        return *p;
    if (m_paramCheck) {
        for (const QStringList *lines : {&m_sql, &m_sqlOracle, &m_sqlMssql, &m_sqlIb}) {
            const QStringList used = NamedSql::parse(lines->join(QLatin1Char('\n'))).distinctNames();
            for (const QString &u : used)
                if (u.compare(name, Qt::CaseInsensitive) == 0)
                    return m_params.add(u);
        }
    }
    throw EHostError(QStringLiteral("%1: parâmetro '%2' não encontrado.").arg(label(), name));
}

void TADOIBQuery::Open()
{
    if (m_active)
        return;
    openWith(currentStatementText(), m_params);
}

void TADOIBQuery::openWith(const QString &namedText, const TParams &params)
{
    Close();
    m_runText = namedText;
    m_runParams = params.clone();
    try {
        run();
    } catch (...) {
        Close();
        throw;
    }
}

void TADOIBQuery::run()
{
    auto stmt = std::make_unique<SqlStatement>(HostDatabase::instance().database());
    stmt->exec(m_runText, m_runParams);
    const QSqlRecord rec = stmt->record();
    m_columns.clear();
    m_columnIndex.clear();
    for (int i = 0; i < rec.count(); ++i) {
        m_columns << rec.fieldName(i);
        m_columnIndex.insert(rec.fieldName(i).toUpper(), i);
    }
    for (TADOIBStringField *f : persistentFields())
        if (!m_columnIndex.contains(f->FieldName().toUpper()))
            throw EHostError(QStringLiteral("%1: campo '%2' não encontrado no resultado.")
                                 .arg(label(), f->FieldName()));
    m_stmt = std::move(stmt);
    m_active = true;
    m_hasAhead = readAhead();
    m_empty = !fetch();
    m_eof = m_empty;
    m_rowNo = m_empty ? -1 : 0;
}

bool TADOIBQuery::readAhead()
{
    if (!m_stmt)
        return false;
    if (!m_stmt->next()) {
        // The last row is read: the statement lets go of the database now,
        // not when the query closes.
        m_stmt.reset();
        return false;
    }
    m_ahead.resize(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i)
        m_ahead[i] = m_stmt->value(i);
    return true;
}

bool TADOIBQuery::fetch()
{
    if (!m_hasAhead) {
        m_row.clear();
        return false;
    }
    m_row.swap(m_ahead);
    m_hasAhead = readAhead();
    return true;
}

void TADOIBQuery::Close()
{
    m_stmt.reset();
    m_ahead.clear();
    m_hasAhead = false;
    m_active = false;
    m_row.clear();
    m_columns.clear();
    m_columnIndex.clear();
    m_runText.clear();
    m_eof = true;
    m_empty = true;
    m_rowNo = -1;
}

void TADOIBQuery::requireActive(const char *operation) const
{
    if (!m_active)
        throw EHostError(QStringLiteral("%1: %2 com a consulta fechada.").arg(label(), QLatin1String(operation)));
}

void TADOIBQuery::First()
{
    requireActive("First");
    if (m_rowNo <= 0)
        return;
    try {
        run();
    } catch (...) {
        Close();
        throw;
    }
}

void TADOIBQuery::Next()
{
    requireActive("Next");
    if (m_eof)
        return;
    try {
        if (fetch())
            ++m_rowNo;
        else
            m_eof = true;
    } catch (...) {
        Close();
        throw;
    }
}

bool TADOIBQuery::GetEOF() const { return !m_active || m_eof; }

bool TADOIBQuery::IsEmpty() const { return !m_active || m_empty; }

QList<TADOIBStringField *> TADOIBQuery::persistentFields() const
{
    QList<TADOIBStringField *> out;
    for (QObject *child : children())
        if (auto *f = qobject_cast<TADOIBStringField *>(child))
            out << f;
    return out;
}

TADOIBStringField *TADOIBQuery::FieldByName(const QString &name)
{
    for (TADOIBStringField *f : persistentFields())
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f;
    if (!m_active || !m_columnIndex.contains(name.toUpper()))
        throw EHostError(QStringLiteral("%1: campo '%2' não encontrado.").arg(label(), name));
    return transientField(m_columns.at(m_columnIndex.value(name.toUpper())));
}

TADOIBStringField *TADOIBQuery::transientField(const QString &column)
{
    for (QObject *child : m_transientFields->children()) {
        auto *f = static_cast<TADOIBStringField *>(child);
        if (f->FieldName().compare(column, Qt::CaseInsensitive) == 0)
            return f;
    }
    auto *f = new TADOIBStringField(m_transientFields);
    f->setFieldName(column);
    f->setTransient(true);
    return f;
}

QVariant TADOIBQuery::currentValue(const QString &column) const
{
    requireActive("leitura de campo");
    const auto it = m_columnIndex.constFind(column.toUpper());
    if (it == m_columnIndex.constEnd())
        throw EHostError(QStringLiteral("%1: campo '%2' não encontrado.").arg(label(), column));
    if (m_eof || *it >= m_row.size())
        return QVariant();
    return m_row.at(*it);
}
