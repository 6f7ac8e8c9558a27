#include "SqliteRoutines.h"
#include "toolkit/Errors.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>
#include <sqlite3.h>

#include <cstring>

namespace {

sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        throw EHostError(QStringLiteral("O banco de dados SQLite não está aberto."));
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || std::strcmp(v.typeName(), "sqlite3*") != 0)
        throw EHostError(QStringLiteral("A conexão não é de um banco de dados SQLite."));
    sqlite3 *handle = *static_cast<sqlite3 *const *>(v.constData());
    if (!handle)
        throw EHostError(QStringLiteral("O banco de dados SQLite não está aberto."));
    return handle;
}

QString textOf(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    const QByteArray utf8 = s.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// --- scalar functions ------------------------------------------------------

void nvlFunc(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[1] : argv[0]);
}

void instrAt(sqlite3_context *ctx, sqlite3_value *text, sqlite3_value *part)
{
    if (sqlite3_value_type(text) == SQLITE_NULL || sqlite3_value_type(part) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, textOf(text).indexOf(textOf(part)) + 1);
}

void instrFunc(sqlite3_context *ctx, int, sqlite3_value **argv) { instrAt(ctx, argv[0], argv[1]); }
void charindexFunc(sqlite3_context *ctx, int, sqlite3_value **argv) { instrAt(ctx, argv[1], argv[0]); }

// SQL Server's LEN: characters without the trailing blanks.
void lenFunc(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    QString s = textOf(argv[0]);
    while (!s.isEmpty() && s.back() == QLatin1Char(' '))
        s.chop(1);
    sqlite3_result_int64(ctx, s.size());
}

void upperFunc(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        sqlite3_result_null(ctx);
    else
        resultText(ctx, textOf(argv[0]).toUpper());
}

void lowerFunc(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        sqlite3_result_null(ctx);
    else
        resultText(ctx, textOf(argv[0]).toLower());
}

// --- PARAM table-valued function --------------------------------------------

struct ParamCursor {
    sqlite3_vtab_cursor base;
    sqlite3_value *value = nullptr;
    bool eof = true;
};

int paramConnect(sqlite3 *db, void *, int, const char *const *, sqlite3_vtab **out, char **)
{
    const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(PARAM, VALOR HIDDEN)");
    if (rc != SQLITE_OK)
        return rc;
    auto *tab = static_cast<sqlite3_vtab *>(sqlite3_malloc(sizeof(sqlite3_vtab)));
    if (!tab)
        return SQLITE_NOMEM;
    std::memset(tab, 0, sizeof(*tab));
    *out = tab;
    return SQLITE_OK;
}

int paramDisconnect(sqlite3_vtab *tab)
{
    sqlite3_free(tab);
    return SQLITE_OK;
}

int paramBestIndex(sqlite3_vtab *, sqlite3_index_info *info)
{
    // The argument arrives as an equality constraint on the hidden column.
    // When it is there but not usable yet (it depends on a table joined
    // later), this plan cannot run.
    bool unusable = false;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &c = info->aConstraint[i];
        if (c.iColumn != 1 || c.op != SQLITE_INDEX_CONSTRAINT_EQ)
            continue;
        if (!c.usable) {
            unusable = true;
            continue;
        }
        info->aConstraintUsage[i].argvIndex = 1;
        info->aConstraintUsage[i].omit = 1; // a NULL argument must not be compared
        info->idxNum = 1;
        info->estimatedCost = 1;
        info->estimatedRows = 1;
        return SQLITE_OK;
    }
    if (unusable)
        return SQLITE_CONSTRAINT;
    info->idxNum = 0; // PARAM without argument: one row holding NULL
    info->estimatedCost = 1;
    info->estimatedRows = 1;
    return SQLITE_OK;
}

int paramOpen(sqlite3_vtab *, sqlite3_vtab_cursor **out)
{
    auto *cur = new (std::nothrow) ParamCursor;
    if (!cur)
        return SQLITE_NOMEM;
    std::memset(&cur->base, 0, sizeof(cur->base));
    *out = &cur->base;
    return SQLITE_OK;
}

int paramClose(sqlite3_vtab_cursor *base)
{
    auto *cur = reinterpret_cast<ParamCursor *>(base);
    sqlite3_value_free(cur->value);
    delete cur;
    return SQLITE_OK;
}

int paramFilter(sqlite3_vtab_cursor *base, int idxNum, const char *, int argc, sqlite3_value **argv)
{
    auto *cur = reinterpret_cast<ParamCursor *>(base);
    sqlite3_value_free(cur->value);
    cur->value = nullptr;
    if (idxNum == 1 && argc >= 1) {
        cur->value = sqlite3_value_dup(argv[0]);
        if (!cur->value)
            return SQLITE_NOMEM;
    }
    cur->eof = false;
    return SQLITE_OK;
}

int paramNext(sqlite3_vtab_cursor *base)
{
    reinterpret_cast<ParamCursor *>(base)->eof = true;
    return SQLITE_OK;
}

int paramEof(sqlite3_vtab_cursor *base) { return reinterpret_cast<ParamCursor *>(base)->eof; }

int paramColumn(sqlite3_vtab_cursor *base, sqlite3_context *ctx, int)
{
    auto *cur = reinterpret_cast<ParamCursor *>(base);
    if (cur->value)
        sqlite3_result_value(ctx, cur->value);
    else
        sqlite3_result_null(ctx);
    return SQLITE_OK;
}

int paramRowid(sqlite3_vtab_cursor *, sqlite_int64 *rowid)
{
    *rowid = 1;
    return SQLITE_OK;
}

const sqlite3_module paramModule = {
    0,               // iVersion
    nullptr,         // xCreate: eponymous only
    paramConnect,    // xConnect
    paramBestIndex,  // xBestIndex
    paramDisconnect, // xDisconnect
    nullptr,         // xDestroy
    paramOpen,       // xOpen
    paramClose,      // xClose
    paramFilter,     // xFilter
    paramNext,       // xNext
    paramEof,        // xEof
    paramColumn,     // xColumn
    paramRowid,      // xRowid
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

void check(sqlite3 *db, int rc, const char *what)
{
    if (rc != SQLITE_OK)
        throw EHostError(QStringLiteral("Não foi possível registrar %1 no SQLite: %2")
                             .arg(QLatin1String(what), QString::fromUtf8(sqlite3_errmsg(db))));
}

void addFunction(sqlite3 *db, const char *name, int args,
                 void (*fn)(sqlite3_context *, int, sqlite3_value **))
{
    check(db, sqlite3_create_function_v2(db, name, args, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                         fn, nullptr, nullptr, nullptr),
          name);
}

} // namespace

namespace SqliteRoutines {

void install(const QSqlDatabase &qdb)
{
    sqlite3 *db = handleOf(qdb);
    check(db, sqlite3_create_module_v2(db, "PARAM", &paramModule, nullptr, nullptr), "PARAM");
    addFunction(db, "NVLSTR", 2, nvlFunc);
    addFunction(db, "INSTR", 2, instrFunc);
    addFunction(db, "UPPER", 1, upperFunc);
    addFunction(db, "LOWER", 1, lowerFunc);
}

void installForeign(const QSqlDatabase &qdb)
{
    sqlite3 *db = handleOf(qdb);
    addFunction(db, "NVL", 2, nvlFunc);
    addFunction(db, "ISNULL", 2, nvlFunc);
    addFunction(db, "CHARINDEX", 2, charindexFunc);
    addFunction(db, "LEN", 1, lenFunc);
}

} // namespace SqliteRoutines
