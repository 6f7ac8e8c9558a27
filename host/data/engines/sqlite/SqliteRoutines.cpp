#include "SqliteRoutines.h"
#include "SqliteCollation.h"
#include "SqliteDecimalSum.h"
#include "SqliteEngine.h"
#include "data/TextFold.h"
#include "data/Utf8Search.h"
#include "core/Errors.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <sqlite3.h>

#include <cstring>
#include <map>
#include <memory>

namespace {

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

// Searched in the UTF-8 bytes, without converting the text. A long text
// that stays the same for the whole statement (a bound list of service
// codes, searched once per cost row) is indexed once per part length and
// kept with the statement (auxiliary data of that argument).
struct InstrIndexes {
    std::map<qsizetype, std::unique_ptr<Utf8Search::Index>> byLength;
};
constexpr int kIndexedTextBytes = 4096;
constexpr int kIndexedPartBytes = 64;

void instrAt(sqlite3_context *ctx, sqlite3_value *text, sqlite3_value *part, int textArgument)
{
    if (sqlite3_value_type(text) == SQLITE_NULL || sqlite3_value_type(part) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *hay = reinterpret_cast<const char *>(sqlite3_value_text(text));
    const int hayBytes = sqlite3_value_bytes(text);
    const auto *needle = reinterpret_cast<const char *>(sqlite3_value_text(part));
    const int needleBytes = sqlite3_value_bytes(part);
    if (hayBytes < kIndexedTextBytes || needleBytes == 0 || needleBytes > kIndexedPartBytes) {
        sqlite3_result_int64(ctx, Utf8Search::position(hay, hayBytes, needle, needleBytes));
        return;
    }
    auto *indexes = static_cast<InstrIndexes *>(sqlite3_get_auxdata(ctx, textArgument));
    if (!indexes) {
        // SQLite keeps the data only for a text constant over the statement:
        // found again at the next call, it says the text is worth indexing.
        sqlite3_result_int64(ctx, Utf8Search::position(hay, hayBytes, needle, needleBytes));
        sqlite3_set_auxdata(ctx, textArgument, new InstrIndexes, [](void *p) { delete static_cast<InstrIndexes *>(p); });
        return;
    }
    auto &index = indexes->byLength[needleBytes];
    if (!index)
        index = std::make_unique<Utf8Search::Index>(hay, hayBytes, needleBytes);
    sqlite3_result_int64(ctx, index->position(needle, needleBytes));
}

void instrFunc(sqlite3_context *ctx, int, sqlite3_value **argv) { instrAt(ctx, argv[0], argv[1], 0); }
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

// FOLD(s): s folded (TextFold), as UTF-8; NULL stays NULL.
void foldFunc(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, TextFold::fold(textOf(argv[0])));
}

// The value as UTF-8, folded (text first, then its length: SQLite's order).
void foldValue(sqlite3_value *v, std::u16string &out)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(v));
    TextFold::foldUtf8(text, sqlite3_value_bytes(v), out);
}

// The needle of FOLD_INSTR folded once per statement: SQLite keeps it with
// the constant argument (auxiliary data) and frees it with the statement.
struct Needle {
    std::u16string folded;
    std::string ascii; // the folded needle when it is ASCII only
    bool isAscii = true;
};

void freeNeedle(void *p) { delete static_cast<Needle *>(p); }

void foldNeedle(sqlite3_value *part, Needle &n)
{
    foldValue(part, n.folded);
    n.ascii.clear();
    n.isAscii = true;
    for (char16_t c : n.folded) {
        n.isAscii = n.isAscii && c < 0x80;
        n.ascii.push_back(char(c));
    }
}

const Needle *keptNeedle(sqlite3_context *ctx, sqlite3_value *part)
{
    if (auto *kept = static_cast<Needle *>(sqlite3_get_auxdata(ctx, 1)))
        return kept;
    auto *n = new Needle;
    foldNeedle(part, *n);
    sqlite3_set_auxdata(ctx, 1, n, freeNeedle);
    // SQLite may have freed it at once (a value that is not constant).
    return static_cast<Needle *>(sqlite3_get_auxdata(ctx, 1));
}

// FOLD_INSTR(text, part): 1-based position of part in text, both folded;
// 0 when absent, NULL when either is NULL. Runs once per row of a filtered
// list, so it folds on the fly into buffers kept between calls.
void foldInstrFunc(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    thread_local Needle scratch;
    thread_local std::u16string hay;
    thread_local std::string hayBytes;
    const Needle *needle = keptNeedle(ctx, argv[1]);
    if (!needle) {
        foldNeedle(argv[1], scratch);
        needle = &scratch;
    }
    if (needle->isAscii) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        sqlite3_result_int64(ctx, TextFold::indexOfAscii(text, sqlite3_value_bytes(argv[0]), needle->ascii, hayBytes));
        return;
    }
    foldValue(argv[0], hay);
    sqlite3_result_int64(ctx, TextFold::indexOf(hay, needle->folded));
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
    sqlite3 *db = SqliteEngine::handle(qdb);
    check(db, sqlite3_create_module_v2(db, "PARAM", &paramModule, nullptr, nullptr), "PARAM");
    addFunction(db, "NVLSTR", 2, nvlFunc);
    addFunction(db, "INSTR", 2, instrFunc);
    addFunction(db, "UPPER", 1, upperFunc);
    addFunction(db, "LOWER", 1, lowerFunc);
    addFunction(db, "FOLD", 1, foldFunc);
    addFunction(db, "FOLD_INSTR", 2, foldInstrFunc);
    check(db, SqliteDecimalSum::install(db), "DECIMAL_SUM");
    check(db, SqliteCollation::install(db) ? SQLITE_OK : SQLITE_ERROR, SqliteCollation::Name);
}

} // namespace SqliteRoutines
