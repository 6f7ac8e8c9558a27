#include "SqlStatement.h"
#include "HostDatabase.h"
#include "NamedSql.h"
#include "core/Errors.h"
#include "engines/DatabaseEngine.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>

SqlStatement::SqlStatement(const QSqlDatabase &db)
    : m_db(db), m_engine(SqlDialects::engineOf(db)), m_query(db)
{
    m_query.setForwardOnly(true);
}

QString SqlStatement::errorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    // SQLite's text for a failure of Qt's own (a second statement in the text) says nothing.
    if (text.isEmpty() || text.compare(QLatin1String("not an error"), Qt::CaseInsensitive) == 0)
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Erro desconhecido no banco de dados.");
    return text;
}

QString SqlStatement::firebirdType(const TParam *param)
{
    TParam::DataType type = param ? param->dataType() : TParam::DataType::Unknown;
    if (type == TParam::DataType::Unknown && param && !param->IsNull()) {
        TParam probe;
        probe.SetAsVariant(param->Value());
        type = probe.dataType();
    }
    switch (type) {
    case TParam::DataType::Integer: return QStringLiteral("BIGINT");
    case TParam::DataType::Float: return QStringLiteral("DOUBLE PRECISION");
    case TParam::DataType::DateTime: return QStringLiteral("TIMESTAMP");
    case TParam::DataType::Date: return QStringLiteral("DATE");
    default: break;
    }
    return QStringLiteral("VARCHAR(%1)").arg(MaxFirebirdText);
}

QString SqlStatement::castType(const TParam *param, SqlEngine engine)
{
    if (engine == SqlEngine::Firebird)
        return firebirdType(param);
    if (engine == SqlEngine::MsSql && param && !param->IsNull() && param->Value().typeId() == QMetaType::QString
        && param->Value().toString().size() > MsSqlShortText)
        return QStringLiteral("NVARCHAR(MAX)");
    return QString();
}

void SqlStatement::checkTextLength(const QString &name, const QString &text, SqlEngine engine)
{
    if (engine == SqlEngine::Firebird && text.size() > MaxFirebirdText)
        throw EHostError(QStringLiteral("O valor do parâmetro %1 tem %2 caracteres; o limite deste banco de dados é %3.")
                             .arg(name)
                             .arg(text.size())
                             .arg(MaxFirebirdText));
    if (engine == SqlEngine::Oracle && text.toUtf8().size() > MaxOracleTextBytes)
        throw EHostError(QStringLiteral("O valor do parâmetro %1 tem %2 caracteres, e o Oracle aceita no máximo %3 bytes "
                                        "num texto passado a uma consulta. Escolha menos itens (por exemplo, menos "
                                        "serviços) e tente de novo.")
                             .arg(name)
                             .arg(text.size())
                             .arg(MaxOracleTextBytes));
}

namespace {

QMetaType nullType(TParam::DataType type)
{
    switch (type) {
    case TParam::DataType::Integer: return QMetaType(QMetaType::LongLong);
    case TParam::DataType::Float: return QMetaType(QMetaType::Double);
    case TParam::DataType::DateTime: return QMetaType(QMetaType::QDateTime);
    case TParam::DataType::Date: return QMetaType(QMetaType::QDate);
    default: return QMetaType(QMetaType::QString);
    }
}

QString sqliteDateTime(const QDateTime &dt)
{
    const QTime t = dt.time();
    if (t == QTime(0, 0))
        return dt.date().toString(Qt::ISODate);
    return dt.toString(t.msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

QVariant SqlStatement::bindValue(const TParam *param, SqlEngine engine)
{
    if (!param || param->IsNull()) {
        const auto type = param ? param->dataType() : TParam::DataType::Unknown;
        if (engine == SqlEngine::SQLite && (type == TParam::DataType::Date || type == TParam::DataType::DateTime))
            return QVariant(QMetaType(QMetaType::QString));
        return QVariant(nullType(type));
    }
    QVariant v = param->Value();
    switch (v.typeId()) {
    case QMetaType::QString:
        if (v.toString().isNull())
            v = QString(QLatin1String(""));
        break;
    case QMetaType::Bool:
        v = v.toBool() ? 1 : 0;
        break;
    case QMetaType::QDate:
        if (engine == SqlEngine::SQLite)
            v = v.toDate().toString(Qt::ISODate);
        break;
    case QMetaType::QDateTime:
        if (engine == SqlEngine::SQLite)
            v = sqliteDateTime(v.toDateTime());
        break;
    default:
        break;
    }
    if (v.typeId() == QMetaType::QString)
        checkTextLength(param->Name(), v.toString(), engine);
    return v;
}

void SqlStatement::exec(const QString &namedText, const TParams &params)
{
    if (!m_db.isOpen())
        throw EHostError(QStringLiteral("O banco de dados não está aberto."));
    const NamedSql sql = NamedSql::parse(namedText);
    m_prepared = sql.positional(m_engine, [&](const QString &name) {
        return castType(params.FindParam(name), m_engine);
    });
    m_bound.clear();
    for (const QString &name : sql.names())
        m_bound << bindValue(params.FindParam(name), m_engine);

    m_query.finish();
    if (!m_query.prepare(m_prepared) && !prepareTyped(sql, params))
        fail(m_query.lastError());
    for (int i = 0; i < m_bound.size(); ++i)
        m_query.bindValue(i, m_bound.at(i));
    if (!m_query.exec())
        fail(m_query.lastError());
}

bool SqlStatement::prepareTyped(const NamedSql &sql, const TParams &params)
{
    // PostgreSQL infers a parameter's type from where it stands; where nothing
    // tells (":P IS NULL", a bare item of the select list) the statement is
    // prepared again with every parameter cast to its value's type.
    if (m_engine != SqlEngine::PostgreSql || m_query.lastError().nativeErrorCode() != QLatin1String("42P18"))
        return false;
    const QString typed = sql.positional(SqlEngine::Firebird, [&](const QString &name) {
        const QString type = firebirdType(params.FindParam(name));
        return type.startsWith(QLatin1String("VARCHAR")) ? QStringLiteral("TEXT") : type;
    });
    if (!m_query.prepare(typed))
        return false;
    m_prepared = typed;
    return true;
}

bool SqlStatement::next()
{
    if (m_query.next())
        return true;
    // Some errors (a value too long for its column, a failed conversion) only
    // show when the row is fetched.
    if (m_query.lastError().isValid())
        fail(m_query.lastError());
    // Read to the end: the statement lets go of the database (a SQLite
    // reader's lock) now, not when it is destroyed.
    m_query.finish();
    return false;
}

void SqlStatement::fail(const QSqlError &error)
{
    QString text = errorText(error);
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (HostDatabase::instance().noteFailure(m_db, error))
        throw EHostError(QStringLiteral("A conexão com o banco de dados %1 caiu: %2. Confira se o servidor de banco de "
                                        "dados está no ar; a próxima ação conecta de novo.")
                             .arg(HostDatabase::where(m_db), text));
    if (const DatabaseEngine *engine = DatabaseEngine::find(m_db)) {
        const QString known = engine->failureText(m_db, error);
        if (!known.isEmpty())
            throw EHostError(known);
    }
    throw EHostError(errorText(error));
}
