// gendata: makes a database with the demo's reference rows and data sets of
// the sizes given, for benchmarks and trials:
//   gendata --database sqlite:/tmp/big.sqlite --products 1000000 \
//           --services 100000 --cost-rows 1000000 [--branch 0101] [--replace]
//   gendata --database sqlite:/tmp/long.sqlite --printed-rows 1000000
// --printed-rows N makes N products, each with cost rows of the branch and
// cost type 1 (--rows-per-product, default 2), so that the XEV017 detailed
// report over the year 2026, all services and products prints N rows
// (PrintedRows.h).
// Firebird databases (firebird:PATH, firebird://HOST:PORT/PATH) are made
// through the client library (--user, --password), committed in batches.
// Rows are deterministic: the same sizes always give the same database. A
// run that fails leaves no database behind: an embedded one is built as
// PATH.part and renamed, one made on a server is dropped.
#include "PrintedRows.h"
#include "appdata/DemoData.h"
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "data/engines/DatabaseEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <cstdio>

namespace {

qint64 count(const QSqlDatabase &db, const char *table)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)));
    return q.next() ? q.value(0).toLongLong() : -1;
}

struct Target {
    DatabaseLocation location;
    QString user, password;
    DemoSizes sizes;
    int printed = 0, perProduct = 2;
};

const QString kConnection = QStringLiteral("gendata");

ConnectionDescription describe(const Target &t, bool create)
{
    return {t.location, t.user, t.password, kConnection, create, DemoData::filler(t.sizes)};
}

// Makes a missing Firebird database (schema and data), opens any, and adds
// the printed rows asked for.
void fill(const Target &t)
{
    try {
        const QSqlDatabase db = TdtmDBGeral::openConnection(describe(t, true));
        if (t.printed > 0 && count(db, "CUSTREAL") == 0)
            PrintedRows::fill(db, t.sizes.branch, t.sizes.year, t.perProduct);
    } catch (...) {
        TdtmDBGeral::closeConnection(kConnection);
        throw;
    }
    TdtmDBGeral::closeConnection(kConnection);
}

// Built under a temporary name beside the target and renamed when complete:
// a failure, or gendata killed, never leaves a part under the target's name.
void makeEmbedded(const Target &t)
{
    const QString path = t.location.path;
    if (QFile::exists(path))
        throw EHostError(QStringLiteral("%1 already exists.").arg(path));
    Target part = t;
    part.location.path = path + QStringLiteral(".part");
    QFile::remove(part.location.path);
    try {
        fill(part);
    } catch (...) {
        QFile::remove(part.location.path);
        throw;
    }
    if (!QFile::rename(part.location.path, path)) {
        QFile::remove(part.location.path);
        throw EHostError(QStringLiteral("cannot rename %1 to %2.").arg(part.location.path, path));
    }
}

// A database on a server cannot be renamed from here: one made by this run
// is dropped when the run fails; one that was there is only opened.
void makeOnServer(const Target &t)
{
    bool existed = false;
    try {
        TdtmDBGeral::openConnection(describe(t, false));
        existed = true;
    } catch (const EHostError &) {
    }
    TdtmDBGeral::closeConnection(kConnection);
    try {
        fill(t);
    } catch (...) {
        if (!existed)
            t.location.engine().drop(describe(t, false));
        throw;
    }
}

void report(const Target &t)
{
    {
        const QSqlDatabase db = TdtmDBGeral::openConnection(describe(t, false));
        for (const char *table : {"FILIAL", "GRUPSERV", "SERVICO", "PRODUTO", "CUSTREAL"})
            std::printf("%-9s %lld\n", table, count(db, table));
    }
    TdtmDBGeral::closeConnection(kConnection);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Makes a database of demo data with the sizes given."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("database"), QStringLiteral("sqlite:PATH, firebird:PATH, firebird://HOST:PORT/PATH or postgresql://USER@HOST:PORT/DATABASE."),
                      QStringLiteral("location")});
    parser.addOption({QStringLiteral("products"), QStringLiteral("Products in a generated tree (0: the demo tree)."),
                      QStringLiteral("n"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("services"), QStringLiteral("Services of the branch (0: the demo services, at most 100000)."),
                      QStringLiteral("n"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("cost-rows"), QStringLiteral("Realised-cost rows of the branch (-1: the demo year for every branch)."),
                      QStringLiteral("n"), QStringLiteral("-1")});
    parser.addOption({QStringLiteral("branch"), QStringLiteral("Branch of the generated services and costs."),
                      QStringLiteral("code"), QStringLiteral("0101")});
    parser.addOption({QStringLiteral("user"), QStringLiteral("Database user (Firebird: SYSDBA when not given)."), QStringLiteral("name")});
    parser.addOption({QStringLiteral("password"), QStringLiteral("Database password (Firebird: masterkey when not given; PostgreSQL: also PGPASSWORD, ~/.pgpass)."), QStringLiteral("text")});
    parser.addOption({QStringLiteral("replace"), QStringLiteral("Replace an existing database file.")});
    parser.addOption({QStringLiteral("printed-rows"),
                      QStringLiteral("Products whose costs the XEV017 detailed report prints (replaces --products and --cost-rows)."),
                      QStringLiteral("n"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("rows-per-product"), QStringLiteral("Cost rows of each product with --printed-rows."),
                      QStringLiteral("n"), QStringLiteral("2")});
    parser.process(app);

    if (!parser.isSet(QStringLiteral("database"))) {
        std::fprintf(stderr, "gendata: --database is required (see --help)\n");
        return 2;
    }
    DemoSizes sizes;
    bool ok1, ok2, ok3;
    sizes.products = parser.value(QStringLiteral("products")).toInt(&ok1);
    sizes.services = parser.value(QStringLiteral("services")).toInt(&ok2);
    sizes.costRows = parser.value(QStringLiteral("cost-rows")).toLongLong(&ok3);
    sizes.branch = parser.value(QStringLiteral("branch"));
    bool ok4, ok5;
    const int printed = parser.value(QStringLiteral("printed-rows")).toInt(&ok4);
    const int perProduct = parser.value(QStringLiteral("rows-per-product")).toInt(&ok5);
    if (!ok1 || !ok2 || !ok3 || !ok4 || !ok5 || sizes.products < 0 || sizes.services < 0 || printed < 0 || perProduct < 1) {
        std::fprintf(stderr, "gendata: sizes must be whole numbers\n");
        return 2;
    }
    if (printed > 0) {
        sizes.products = printed;
        sizes.costRows = 0;
    }

    try {
        const DatabaseLocation location = DatabaseLocation::parse(parser.value(QStringLiteral("database")));
        Target target{location, parser.value(QStringLiteral("user")), parser.value(QStringLiteral("password")), sizes,
                      printed, perProduct};
        QElapsedTimer timer;
        timer.start();
        if (location.engine().isLocalFile(location)) {
            if (QFile::exists(location.path)) {
                if (!parser.isSet(QStringLiteral("replace")))
                    throw EHostError(QStringLiteral("%1 already exists (use --replace).").arg(location.path));
                QFile::remove(location.path);
            }
            makeEmbedded(target);
        } else {
            makeOnServer(target);
        }
        std::printf("made in %.1f s\n", timer.elapsed() / 1000.0);
        report(target);
    } catch (const EHostError &e) {
        std::fprintf(stderr, "gendata: %s\n", e.text().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
