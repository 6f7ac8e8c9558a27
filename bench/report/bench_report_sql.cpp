// The XEV017 standard report over SQLite cost tables of 100,000 and
// 1,000,000 rows of the demo products (a few hundred printed rows): the whole
// run (parameters event, queries, layout, PDF written) against the same
// statements with the same values run by the sqlite3 command-line shell on
// the same file, its output thrown away. What the runner adds to the database
// work must stay small (target: at most 1.3 times the shell).
//
// The databases are made once in $BENCH_REPORT_DIR (default /tmp) and kept.
#include "BenchReportData.h"
#include "appdata/dtmDBGeral.h"
#include "core/HostUi.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportLibrary.h"
#include "ui/ScriptedHostUi.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>

namespace {

using BenchReportData::dataDir;
using BenchReportData::kCode;

// The demo database with `rows` cost rows for branch 0101, made when missing.
QString database(int rows)
{
    const QString path = QStringLiteral("%1/bench_report_costs_%2.sqlite").arg(dataDir()).arg(rows);
    if (QFileInfo::exists(path))
        return path;
    DemoSizes sizes;
    sizes.costRows = rows;
    const QString part = path + QStringLiteral(".making");
    QFile::remove(part);
    TdtmDBGeral::createSqliteFile(part, sizes);
    QFile::rename(part, path);
    return path;
}

struct Value {
    const char *name;
    QVariant value;
    QString literal; // the same value for the shell's .parameter set
};

QList<Value> values(const QString &services)
{
    const QString year0 = QStringLiteral("'2026-01-01'"), year1 = QStringLiteral("'2026-12-31'");
    return {
        {"P_CDFILCENTXEV", QStringLiteral("0100"), QStringLiteral("'0100'")},
        {"P_CDFILIAL", QStringLiteral("0101"), QStringLiteral("'0101'")},
        {"P_NMCUSTO", QStringLiteral("Custo Médio"), QStringLiteral("'Custo Médio'")},
        {"P_NRTIPOCUSTO", 1, QStringLiteral("1")},
        {"P_CDSERVFILI", services, QLatin1Char('\'') + services + QLatin1Char('\'')},
        {"P_CDPRODUTOINI", QStringLiteral("0"), QStringLiteral("'0'")},
        {"P_CDPRODUTOFIN", QStringLiteral("zzzzzzzz"), QStringLiteral("'zzzzzzzz'")},
        {"P_DTINICIAL", QDate(2026, 1, 1).startOfDay(), year0},
        {"P_DTFINAL", QDate(2026, 12, 31).startOfDay(), year1},
        {"P_DTPERIINIC", QStringLiteral("01/01/2026"), QStringLiteral("'01/01/2026'")},
        {"P_DTPERIFINA", QStringLiteral("31/12/2026"), QStringLiteral("'31/12/2026'")},
        {"P_DTMESINIC", QDate(2026, 1, 1).startOfDay(), year0},
        {"P_DTMESFINA", QDate(2026, 12, 31).startOfDay(), year1},
        {"P_IDESTOCAVEIS", QStringLiteral("S"), QStringLiteral("'S'")},
        {"P_IDNESTOCAVEIS", QStringLiteral("S"), QStringLiteral("'S'")},
        {"P_NRTAMACNIVEL", 4, QStringLiteral("4")},
        {"P_NRTAMCODIGO", 8, QStringLiteral("8")},
    };
}

QString branchServices(const QString &path)
{
    QString out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("services"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(QStringLiteral("SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = '0101' ORDER BY 1"), db);
        QStringList codes;
        while (q.next())
            codes << q.value(0).toString();
        out = codes.join(QLatin1Char('_'));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("services"));
    return out;
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

QString standardDefinition() { return ReportLibrary::list(kCode).first().path; }

void BM_ReportRunner(benchmark::State &state)
{
    const QString path = database(int(state.range(0)));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(path);
        db.open();
    }
    HostUi::install(std::make_unique<ScriptedHostUi>());
    {
        TReportDesignerDialog rpdd;
        rpdd.setReportCode(kCode);
        Filler filler;
        filler.answers = values(branchServices(path));
        QObject::connect(&rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &filler, &Filler::fill);
        const QString pdf = dataDir() + QStringLiteral("/bench_report_sql.pdf");
        int pages = 0;
        for (auto _ : state)
            if (!rpdd.WritePdf(standardDefinition(), pdf, {}, &pages))
                state.SkipWithError("report failed");
        state.counters["pages"] = pages;
    }
    HostUi::uninstall();
    QSqlDatabase::database().close();
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
}

void BM_Sqlite3Shell(benchmark::State &state)
{
    const QString path = database(int(state.range(0)));
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty()) {
        state.SkipWithError("sqlite3 not installed");
        return;
    }
    QString script = QStringLiteral(".parameter init\n");
    for (const Value &v : values(branchServices(path)))
        script += QStringLiteral(".parameter set :%1 \"%2\"\n").arg(QLatin1String(v.name), v.literal);
    script += QStringLiteral(".output /dev/null\n");
    // The shell lacks the program's collation PTBR; NOCASE, also a function
    // called per comparison, stands in for it (the codes decide the order here).
    for (const ReportQuery &q : DefinitionParser::parseFile(standardDefinition()).queries)
        script += QString(q.sql[ReportQuery::Default]).replace(QLatin1String("COLLATE PTBR"), QLatin1String("COLLATE NOCASE"))
            + QStringLiteral(";\n");
    for (auto _ : state) {
        QProcess p;
        p.start(sqlite3, {QStringLiteral("-batch"), QStringLiteral("-bail"), path});
        p.write(script.toUtf8());
        p.closeWriteChannel();
        if (!p.waitForFinished(600000) || p.exitCode() != 0)
            state.SkipWithError(p.readAllStandardError().constData());
    }
}

} // namespace

BENCHMARK(BM_Sqlite3Shell)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ReportRunner)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
