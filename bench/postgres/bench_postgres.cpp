// PostgreSQL against psql on a cluster of its own (PostgresCluster, on
// 127.0.0.1), each figure beside its limit measured in the same run,
// medians of interleaved rounds:
// - the XEV017 standard report over 1,000,000 cost rows (whole run: queries,
//   layout, PDF written) against psql running the same statements with the
//   same values, output thrown away (target: at most 1.2 times psql);
// - the look-up filter on 1,000,000 products, first page and count, against
//   one bare psql scan of the table with LIKE (target: at most 1.2 times;
//   the first page through the trigram index under 100 ms).
// The databases are made with the demo data generator (gendata's), which
// takes a few minutes.
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "data/HostDatabase.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportLibrary.h"
#include "support/PostgresCluster.h"
#include "ui/ScriptedHostUi.h"

#include <QApplication>
#include <QDate>
#include <QSqlQuery>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRounds = 5;
constexpr int kCostRows = 1000000;
constexpr int kProducts = 1000000;
const char *const kFilterText = "grao-de-bico nº 99999";

struct Value {
    const char *name;
    QVariant value;
    QString literal; // the same value as psql's variable: an SQL literal
};

// The report's parameters: the whole year of branch 0101, all its services.
QList<Value> values(const QSqlDatabase &db)
{
    QSqlQuery q(QStringLiteral("SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = '0101' ORDER BY 1"), db);
    QStringList codes;
    while (q.next())
        codes << q.value(0).toString();
    const QString services = codes.join(QLatin1Char('_'));
    const QString year0 = QStringLiteral("'2026-01-01'"), year1 = QStringLiteral("'2026-12-31'");
    return {
        {"P_CDFILCENTXEV", QStringLiteral("0100"), QStringLiteral("'0100'")},
        {"P_CDFILIAL", QStringLiteral("0101"), QStringLiteral("'0101'")},
        {"P_NMCUSTO", QStringLiteral("Custo Médio"), QStringLiteral("'Custo Médio'")},
        {"P_NRTIPOCUSTO", 1, QStringLiteral("1")},
        {"P_CDSERVFILI", services, QLatin1Char('\'') + services + QLatin1Char('\'')},
        {"P_CDPRODUTOINI", QStringLiteral("0"), QStringLiteral("'0'")},
        {"P_CDPRODUTOFIN", QStringLiteral("zzzzzzzz"), QStringLiteral("'zzzzzzzz'")},
        {"P_DTINICIAL", QDate(2026, 1, 1), year0},
        {"P_DTFINAL", QDate(2026, 12, 31), year1},
        {"P_DTPERIINIC", QStringLiteral("01/01/2026"), QStringLiteral("'01/01/2026'")},
        {"P_DTPERIFINA", QStringLiteral("31/12/2026"), QStringLiteral("'31/12/2026'")},
        {"P_DTMESINIC", QDate(2026, 1, 1), year0},
        {"P_DTMESFINA", QDate(2026, 12, 31), year1},
        {"P_IDESTOCAVEIS", QStringLiteral("S"), QStringLiteral("'S'")},
        {"P_IDNESTOCAVEIS", QStringLiteral("S"), QStringLiteral("'S'")},
        {"P_NRTAMACNIVEL", 4, QStringLiteral("4")},
        {"P_NRTAMCODIGO", 8, QStringLiteral("8")},
    };
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

double ms(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

void makeDatabase(PostgresCluster &cluster, const QString &name, const DemoSizes &sizes)
{
    QElapsedTimer t;
    t.start();
    ConnectionDescription d;
    d.location = DatabaseLocation::parse(cluster.location(name));
    d.password = QLatin1String(PostgresCluster::Password);
    d.name = name;
    d.create = true;
    d.fill = DemoData::filler(sizes);
    TdtmDBGeral::openConnection(d);
    std::printf("%s made in %.0f s\n", qPrintable(name), ms(t) / 1000);
    std::fflush(stdout);
}

class Filler : public QObject {
public:
    QList<Value> answers;
    void fill(TParams *params, bool *)
    {
        for (const Value &v : answers)
            if (ExistParam(*params, QLatin1String(v.name)))
                params->ParamByName(QLatin1String(v.name)).SetAsVariant(v.value);
    }
};

double psqlRound(PostgresCluster &cluster, const QString &database, const QStringList &arguments)
{
    QElapsedTimer t;
    t.start();
    QString out;
    if (cluster.psql(database, arguments, &out) != 0)
        std::printf("psql failed\n");
    return ms(t);
}

void standardReport(PostgresCluster &cluster, const QTemporaryDir &dir)
{
    HostDatabase::instance().install(QStringLiteral("costs"));
    const QString definition = ReportLibrary::list(QStringLiteral("XEV017")).first().path;
    const QList<Value> answers = values(QSqlDatabase::database(QStringLiteral("costs")));
    // psql: the same statements, the values as its variables (SQL literals).
    QFile script(dir.filePath(QStringLiteral("report.sql")));
    script.open(QIODevice::WriteOnly);
    for (const ReportQuery &q : DefinitionParser::parseFile(definition).queries)
        script.write((q.sql[ReportQuery::Default] + QStringLiteral(";\n")).toUtf8());
    script.close();
    QStringList arguments{QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-f"), script.fileName()};
    for (const Value &v : answers)
        arguments << QStringLiteral("-v") << QStringLiteral("%1=%2").arg(QLatin1String(v.name), v.literal);

    HostUi::install(std::make_unique<ScriptedHostUi>());
    QList<double> runner, psql;
    int pages = 0;
    {
        TReportDesignerDialog rpdd;
        rpdd.setReportCode(QStringLiteral("XEV017"));
        Filler filler;
        filler.answers = answers;
        QObject::connect(&rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &filler, &Filler::fill);
        for (int i = 0; i < kRounds; ++i) {
            QElapsedTimer t;
            t.start();
            if (!rpdd.WritePdf(definition, dir.filePath(QStringLiteral("report.pdf")), {}, &pages))
                std::printf("report failed\n");
            runner << ms(t);
            psql << psqlRound(cluster, QStringLiteral("costs"), arguments);
        }
    }
    HostUi::uninstall();
    HostDatabase::instance().uninstall();
    std::printf("\nStandard report over %d cost rows, medians of %d interleaved rounds:\n", kCostRows, kRounds);
    std::printf("  psql, the same statements:             %8.1f ms (the limit)\n", median(psql));
    std::printf("  report run to PDF (%d pages):           %8.1f ms  ratio %.3f  (target 1.2)\n", pages, median(runner),
                median(runner) / median(psql));
}

void lookupFilter(PostgresCluster &cluster)
{
    HostDatabase::instance().install(QStringLiteral("products"));
    TADOIBQuery query;
    query.setSQL({QStringLiteral("SELECT CDARVPROD, NMPRODUTO, CDNVPRODUTO FROM PRODUTO ORDER BY CDARVPROD")});
    query.Open();
    RowFilter filter;
    filter.text = QString::fromUtf8(kFilterText);
    filter.columns = QStringList{QStringLiteral("CDARVPROD"), QStringLiteral("NMPRODUTO")};
    filter.keyColumn = QStringLiteral("CDARVPROD");
    const QString bare = QStringLiteral("SELECT CDARVPROD, NMPRODUTO FROM PRODUTO WHERE NMPRODUTO LIKE '%Grão-de-Bico nº 99999%'");
    QList<double> page, count, psql;
    int rows = 0;
    qint64 total = 0;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer t;
        t.start();
        rows = int(query.dataSet()->FetchPage(filter, 0, 100).size());
        page << ms(t);
        std::printf("ROUND lookup-first-page-pg %.3f 0\n", page.last());
        t.restart();
        total = query.dataSet()->CountRows(filter);
        count << ms(t);
        psql << psqlRound(cluster, QStringLiteral("products"), {QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                                                QStringLiteral("-c"), bare});
    }
    query.Close();
    HostDatabase::instance().uninstall();
    std::printf("\nFilter \"%s\" on %d products, medians of %d interleaved rounds:\n", kFilterText, kProducts, kRounds);
    std::printf("  psql, one bare LIKE scan:              %8.1f ms (the limit)\n", median(psql));
    std::printf("  first page (trigram index):            %8.1f ms  ratio %.3f  (%d rows; target 1.2, stretch 100 ms)\n",
                median(page), median(page) / median(psql), rows);
    std::printf("  count of the matching rows:            %8.1f ms  ratio %.3f  (%lld rows)\n", median(count),
                median(count) / median(psql), total);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PostgresCluster cluster;
    QString why;
    if (!cluster.start(&why)) {
        std::printf("no PostgreSQL cluster: %s\n", qPrintable(why));
        return 1;
    }
    QTemporaryDir dir;
    try {
        DemoSizes costs;
        costs.costRows = kCostRows;
        makeDatabase(cluster, QStringLiteral("costs"), costs);
        DemoSizes products;
        products.products = kProducts;
        products.costRows = 0;
        makeDatabase(cluster, QStringLiteral("products"), products);
        standardReport(cluster, dir);
        lookupFilter(cluster);
    } catch (const EHostError &e) {
        std::printf("failed: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
