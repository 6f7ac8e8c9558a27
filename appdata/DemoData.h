// Fills a new database with the demo data: the schema script of its engine,
// the reference rows of demo/demo-data.sql, a product tree and a year of
// realised costs. The same code makes the large data sets of the benchmarks
// (bench/data/gendata): sizes are arguments, rows are deterministic (the same
// sizes always give the same rows).
//
// Product tree: picture 2,2,4 (type 0). The demo tree has 8 groups, 29
// subgroups and 279 products; a generated tree of N products has 10 groups of
// 20 subgroups each, the products spread evenly below them (N <= 1,979,802).
// Stockable (IDESTOCAVEL 'S'): products outside groups 05 (Hortaliças) and 06
// (Frutas), and the fruit pulps (0603); the group and subgroup rows are 'N'.
// Realised costs (CUSTREAL): by default, for every aggregated branch with
// services, each weekday of the year gets three (service, product) pairs, each
// under every cost type; with costRows >= 0, that many rows for one branch,
// spread over the year's days, its services, the products and the cost types.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <functional>

// Sizes of the data made; the defaults give the demo database.
struct DemoSizes {
    int products = 0;           // 0: the demo tree; N: a generated tree of N products
    int services = 0;           // 0: the demo services; N: N services replace those of branch
    qint64 costRows = -1;       // -1: the demo year of costs; N: N rows for branch
    QString branch = QStringLiteral("0101");
    int year = 2026;
};

class DemoData {
public:
    using Sizes = DemoSizes;
    using Progress = std::function<void(const QString &)>;

    // Runs the engine's schema script on an empty database, then fills it,
    // then makes its report role (db/<engine>/report-role.sql) when the
    // engine has one and the user may: a user who may not is told so when
    // the database opens (ReportAccess::warning), the database is made all
    // the same.
    static void create(const QSqlDatabase &db, const Sizes &sizes = Sizes(), const Progress &progress = {});
    // What fills a database made for a connection description
    // (ConnectionDescription::fill): create() with these sizes.
    static std::function<void(const QSqlDatabase &)> filler(const Sizes &sizes = Sizes());
    // The schema script of the engine of db (from the embedded db/ files).
    static QString schemaScript(const QSqlDatabase &db);
    static QString referenceScript();
    // The report role of the engine's report-role.sql, when it has one and
    // the user may make it; nothing is thrown.
    static void makeReportRole(const QSqlDatabase &db);

    // Brings a database made by an older schema script up to the present
    // one (DatabaseEngine::upgrade). Needs the right to change the schema;
    // without it the database stays as it is.
    static void addMissingRoutines(const QSqlDatabase &db);

    // SQLite: the rows the triggers noted folded into the search indexes.
    static void catchUpSearchIndexes(const QSqlDatabase &db);

    static void fillProducts(const QSqlDatabase &db, int count);
    static void fillServices(const QSqlDatabase &db, const QString &branch, int count);
    static void fillCosts(const QSqlDatabase &db, const Sizes &sizes);
};
