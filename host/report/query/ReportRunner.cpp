#include "ReportRunner.h"
#include "core/Errors.h"
#include "data/FailureText.h"
#include "data/engines/SqlDialect.h"
#include "data/SqlStatement.h"
#include "data/engines/DatabaseEngine.h"
#include "data/engines/StatementWatch.h"
#include "report/model/ReportFormat.h"
#include "report/model/ReportSqlText.h"
#include "report/model/ReportTemplate.h"

#include <QSqlDriver>
#include <cmath>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QRegularExpression>

namespace {

EHostError badValue(const ReportParamDecl &decl, const QVariant &v)
{
    return EHostError(QStringLiteral("O valor \"%1\" do parâmetro %2 não é do tipo %3.")
                          .arg(v.toString().left(100), decl.name, TParam::typeName(decl.type)));
}

} // namespace

TParams ReportRunner::declaredParams(const ReportDefinition &def)
{
    TParams params;
    for (const ReportParamDecl &d : def.params) {
        TParam &p = params.add(d.name, d.type);
        if (!d.defaultValue.isNull()) {
            p.SetAsVariant(d.defaultValue);
            p.setDataType(d.type);
        }
    }
    return params;
}

TParam ReportRunner::typedValue(const ReportParamDecl &decl, const TParam &param)
{
    TParam typed(decl.name, decl.type);
    typed.SetAsVariant(convertedValue(decl, param));
    typed.setDataType(decl.type);
    return typed;
}

QVariant ReportRunner::boundValue(const ReportParamDecl &decl, const TParam &param, const SqlDialect &dialect)
{
    const TParam typed = typedValue(decl, param);
    return dialect.bind(&typed, SqlDialect::Markers::Plain);
}

QVariant ReportRunner::convertedValue(const ReportParamDecl &decl, const TParam &param)
{
    const QVariant v = param.Value();
    switch (decl.type) {
    case TParam::DataType::Integer: {
        if (v.isNull())
            return QVariant(QMetaType::fromType<qlonglong>());
        bool ok = false;
        const qlonglong n = v.typeId() == QMetaType::QString ? v.toString().trimmed().toLongLong(&ok) : v.toLongLong(&ok);
        if (!ok)
            throw badValue(decl, v);
        return n;
    }
    case TParam::DataType::Float: {
        if (v.isNull())
            return QVariant(QMetaType::fromType<double>());
        bool ok = false;
        const double n = v.typeId() == QMetaType::QString ? v.toString().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok)
                                                          : v.toDouble(&ok);
        if (!ok)
            throw badValue(decl, v);
        return n;
    }
    case TParam::DataType::Date: {
        if (v.isNull())
            return QVariant(QMetaType::fromType<QDate>());
        const QDateTime dt = ReportFormat::toDateTime(v);
        if (!dt.isValid())
            throw badValue(decl, v);
        return dt.date();
    }
    case TParam::DataType::DateTime: {
        if (v.isNull())
            return QVariant(QMetaType::fromType<QDateTime>());
        const QDateTime dt = ReportFormat::toDateTime(v);
        if (!dt.isValid())
            throw badValue(decl, v);
        return dt;
    }
    default:
        if (v.isNull())
            return QVariant(QMetaType::fromType<QString>());
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
        if (v.typeId() == QMetaType::QDateTime) {
            const QDateTime dt = v.toDateTime();
            return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd/MM/yyyy"))
                                            : dt.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
        }
        return v.toString();
    }
}

QStringList ReportRunner::layoutFields(const ReportDefinition &def)
{
    QStringList out;
    auto add = [&out](const QString &f) {
        for (const QString &o : std::as_const(out))
            if (o.compare(f, Qt::CaseInsensitive) == 0)
                return;
        out << f;
    };
    for (const auto &c : def.columns)
        add(c.field);
    for (const auto &g : def.groups) {
        add(g.field);
        for (const QString &n : ReportTemplate::names(g.headerTemplate) + ReportTemplate::names(g.subtotalCaption))
            if (ReportTemplate::isRowField(n))
                add(n);
    }
    if (def.chart.isSet()) {
        add(def.chart.valueField);
        if (!def.chart.keyField.isEmpty())
            add(def.chart.keyField);
        for (const QString &n : ReportTemplate::names(def.chart.labelTemplate))
            if (ReportTemplate::isRowField(n))
                add(n);
    }
    return out;
}

namespace {

// A text longer than the statement takes, said in Portuguese naming the
// parameter, when one of that length was bound.
QString truncationText(const ReportQuery &q, const DatabaseFailure &f, const TParams &params)
{
    for (int i = 0; f.is(DatabaseFailure::Kind::TextTooLong) && i < params.Count(); ++i) {
        const TParam &p = params.at(i);
        if (!p.IsNull() && p.Value().toString().size() == f.actualLength)
            return QStringLiteral("O valor do parâmetro %1 tem %2 caracteres, e a consulta '%3' do "
                                  "relatório aceita no máximo %4 neste banco de dados. Escolha menos "
                                  "itens ou ajuste a consulta.")
                .arg(p.Name().left(100))
                .arg(f.actualLength)
                .arg(q.name.left(100))
                .arg(f.expectedLength);
    }
    return QString();
}

// A report's query, watched while the engine works on it (StatementWatch).
struct WatchedQuery {
    explicit WatchedQuery(const QSqlDatabase &db) : query(db), running(db) {}
    bool next()
    {
        const StatementWatch::Running::Call call(running);
        return query.next();
    }
    QSqlQuery query;
    StatementWatch::Running running;
};

// What went wrong, in the user's words: a server that did not answer or a
// connection that is gone says so (the next action reconnects), a failure
// the engine explains its own way, any other a sentence by its kind with the
// engine's words after it (FailureText).
EHostError queryError(const ReportQuery &q, const QSqlDatabase &db, const WatchedQuery &w, const TParams &params)
{
    const QSqlError e = w.query.lastError();
    const DatabaseEngine *engine = DatabaseEngine::find(db);
    const QString where = engine ? engine->where(db) : db.databaseName();
    if (w.running.timedOut())
        return EHostError(QStringLiteral("O servidor do banco de dados %1 não respondeu em %2 s enquanto o relatório "
                                         "lia a consulta '%3'. Confira se o servidor está no ar e funcionando e "
                                         "execute o relatório de novo; a próxima ação conecta outra vez.")
                              .arg(where)
                              .arg(w.running.secondsWaited())
                              .arg(q.name.left(100)));
    const DatabaseFailure failure = SqlDialect::of(db).failure(db, e);
    const QString cut = truncationText(q, failure, params);
    if (!cut.isEmpty())
        return EHostError(cut);
    if (failure.is(DatabaseFailure::Kind::ConnectionLost))
        return EHostError(QStringLiteral("A conexão com o banco de dados %1 caiu enquanto o relatório lia a consulta "
                                         "'%2'. Confira se o servidor de banco de dados está no ar e execute o "
                                         "relatório de novo; a próxima ação conecta outra vez.")
                              .arg(where, q.name.left(100)));
    const QString what = QStringLiteral("a consulta '%1' do relatório").arg(q.name.left(100));
    if (!failure.advice.isEmpty()) // the engine's explanation, with the query it stopped
        return EHostError(QStringLiteral("O banco de dados não executou %1. %2").arg(what, failure.advice));
    return EHostError(FailureText::sentence(failure, what));
}

// An engine that infers a parameter's type from where it stands, where
// nothing tells (":P IS NULL", a bare item of the select list), gets the
// statement again with every marker cast to the type the definition declares.
bool prepareTyped(QSqlQuery &query, const ReportDefinition &def, const ReportQuery &q, const TParams &params,
                  const SqlDialect &dialect)
{
    if (!dialect.has(SqlDialect::Feature::TypedMarkersOnRetry) || !dialect.wantsTypedMarkers(query.lastError()))
        return false;
    QStringList names;
    const QString typed = ReportSqlText::positional(q.textFor(dialect.statementProperty()), names, [&](const QString &name) {
        const ReportParamDecl *decl = def.findParam(name);
        const TParam *given = params.FindParam(name);
        if (!decl || !given)
            return QStringLiteral("?");
        const TParam value = ReportRunner::typedValue(*decl, *given);
        return dialect.typedMarker(&value);
    });
    return query.prepare(dialect.finalText(typed));
}

// Prepares, binds and runs one query, forward only.
void execute(WatchedQuery &w, const QSqlDatabase &db, const ReportDefinition &def, const ReportQuery &q,
             const TParams &params)
{
    QSqlQuery &query = w.query;
    const StatementWatch::Running::Call call(w.running);
    const SqlDialect &dialect = SqlDialect::of(db);
    QStringList names;
    const QString text = ReportRunner::statementText(q, params, dialect, names);
    // Asked of the engine before anything runs: a definition made past the
    // parser's check still cannot change the database.
    const DatabaseEngine *engine = DatabaseEngine::find(db);
    if (engine && !engine->onlyReads(db, text))
        throw EHostError(QStringLiteral("A consulta '%1' do relatório não foi executada: ela alteraria o banco de "
                                        "dados, e um relatório só pode consultar (SELECT ou WITH). Corrija o texto "
                                        "da consulta na definição do relatório.")
                             .arg(q.name.left(100)));
    query.setForwardOnly(true);
    if (!query.prepare(text) && !prepareTyped(query, def, q, params, dialect))
        throw queryError(q, db, w, params);
    for (const QString &name : std::as_const(names)) {
        const ReportParamDecl *decl = def.findParam(name);
        if (!decl)
            throw EHostError(QStringLiteral("O parâmetro :%1 da consulta '%2' não está declarado.").arg(name, q.name));
        query.addBindValue(ReportRunner::boundValue(*decl, *params.FindParam(name), dialect));
    }
    if (!query.exec())
        throw queryError(q, db, w, params);
}

// The positions in the record of the fields wanted (all when none are).
QList<int> positions(const ReportQuery &q, const QSqlRecord &rec, const QStringList &wanted, QStringList &fields)
{
    QStringList names = wanted;
    if (names.isEmpty())
        for (int i = 0; i < rec.count(); ++i)
            names << rec.fieldName(i);
    QList<int> idx;
    for (const QString &f : std::as_const(names)) {
        const int i = rec.indexOf(f);
        if (i < 0)
            throw EHostError(QStringLiteral("A consulta '%1' do relatório não retorna o campo %2.").arg(q.name, f));
        idx << i;
        fields << f;
    }
    return idx;
}

} // namespace

QString ReportRunner::statementText(const ReportQuery &q, const TParams &params, const SqlDialect &dialect,
                                    QStringList &names)
{
    return dialect.finalText(ReportSqlText::positional(q.textFor(dialect.statementProperty()), names,
                                                       [&](const QString &name) {
                                                           return dialect.marker(params.FindParam(name),
                                                                                 SqlDialect::Markers::Plain);
                                                       }));
}

void ReportRunner::checkLimits(const TParams &bound, const SqlDialect &dialect)
{
    for (int i = 0; i < bound.Count(); ++i) {
        const TParam &p = bound.at(i);
        if (!p.IsNull() && p.Value().typeId() == QMetaType::QString)
            dialect.checkText(p.Name(), p.Value().toString(), SqlDialect::Markers::Plain);
    }
}

TParams ReportRunner::boundParams(const ReportDefinition &def, const TParams &given)
{
    TParams out;
    for (const ReportParamDecl &d : def.params) {
        TParam &p = out.add(d.name, d.type);
        if (const TParam *g = given.FindParam(d.name))
            p = *g;
    }
    return out;
}

QHash<QString, QVariant> ReportRunner::lookups(const ReportDefinition &def, const TParams &params, const QSqlDatabase &db)
{
    QHash<QString, QVariant> out;
    for (int qi = 1; qi < def.queries.size(); ++qi) {
        const ReportQuery &q = def.queries[qi];
        WatchedQuery w(db);
        execute(w, db, def, q, params);
        const QSqlQuery &query = w.query;
        const QSqlRecord rec = query.record();
        QList<QStringList> all(rec.count());
        for (int n = 0; w.next(); ++n) {
            for (int i = 0; i < rec.count(); ++i) {
                if (n == 0)
                    out.insert(q.name.toUpper() + QLatin1Char('.') + rec.fieldName(i).toUpper(), query.value(i));
                if (n < LookupListMax)
                    all[i] << ReportFormat::plain(query.value(i));
                else if (n == LookupListMax)
                    all[i] << QStringLiteral("…");
            }
        }
        if (query.lastError().isValid() || w.running.timedOut())
            throw queryError(q, db, w, params);
        for (int i = 0; i < rec.count(); ++i)
            out.insert(q.name.toUpper() + QLatin1Char('.') + rec.fieldName(i).toUpper() + QLatin1Char('*'), all[i]);
    }
    return out;
}

void ReportRunner::stream(const ReportDefinition &def, const TParams &params, const QSqlDatabase &db,
                          const QStringList &fields, const Sink &sink)
{
    if (!db.isValid() || !db.isOpen())
        throw EHostError(QStringLiteral("Não há conexão aberta com o banco de dados para executar o relatório."));
    const TParams bound = boundParams(def, params);
    checkLimits(bound, SqlDialect::of(db));
    const QHash<QString, QVariant> found = lookups(def, bound, db);
    const ReportQuery &q = def.queries.first();
    WatchedQuery w(db);
    execute(w, db, def, q, bound);
    const QSqlQuery &query = w.query;
    QStringList names;
    const QList<int> idx = positions(q, query.record(), fields, names);
    sink.begin(names, found);
    QVector<QVariant> row(idx.size());
    while (w.next()) {
        for (int i = 0; i < idx.size(); ++i)
            row[i] = query.value(idx[i]);
        sink.row(row);
    }
    if (query.lastError().isValid() || w.running.timedOut())
        throw queryError(q, db, w, bound);
}
