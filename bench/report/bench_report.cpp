// The standard XEV017 report over SQLite cost tables of 100,000 and
// 1,000,000 rows: the whole run (parameters event, queries, layout, PDF
// written) against the bare statement run by the sqlite3 command-line shell
// on the same file with the same parameter values. Counters: rows printed,
// and the process's peak resident memory after each size (sizes run in
// increasing order, so a peak that stays put means memory does not grow
// with the rows scanned).
//
// The databases are made once in $BENCH_REPORT_DIR (default /tmp) and kept.
#include "data/TParam.h"
#include "report/ReportLibrary.h"
#include "report/ReportParser.h"
#include "report/ReportRunner.h"
#include "report/TReportDesignerDialog.h"
#include "toolkit/HostUi.h"
#include "ui/ScriptedHostUi.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <sys/resource.h>

namespace {

const QString kCode = QStringLiteral("XEV017");

QString dataDir()
{
    const QString d = qEnvironmentVariable("BENCH_REPORT_DIR", QStringLiteral("/tmp"));
    QDir().mkpath(d);
    return d;
}

void exec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

// 400 products in a 2/2/4 tree, 5 services, 2 branches of one central;
// 90 % of the rows belong to the reported branch and cost type.
QString database(int rows)
{
    const QString path = QStringLiteral("%1/bench_report_%2.db").arg(dataDir()).arg(rows);
    const QString name = QStringLiteral("gen%1").arg(rows);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        QSqlQuery count(db);
        if (count.exec(QStringLiteral("SELECT COUNT(*) FROM CUSTREAL")) && count.next() && count.value(0).toInt() == rows) {
            db.close();
        } else {
            for (const char *t : {"CUSTREAL", "PRODUTO", "FILIAL", "SERVICO"})
                exec(db, QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(t)));
            exec(db, QStringLiteral("CREATE TABLE FILIAL (CDFILIAL VARCHAR(4) PRIMARY KEY, NMFILIAL VARCHAR(30), "
                                    "IDCNTRRESC CHAR(1), IDFILCENTXEV CHAR(1), CDFILCENTXEV VARCHAR(4))"));
            exec(db, QStringLiteral("CREATE TABLE SERVICO (CDFILIAL VARCHAR(4), CDSERVFILI VARCHAR(5), NMSERVICO VARCHAR(40), "
                                    "CDGRUPSERV VARCHAR(3), PRIMARY KEY (CDFILIAL, CDSERVFILI))"));
            exec(db, QStringLiteral("CREATE TABLE PRODUTO (CDARVPROD VARCHAR(20) PRIMARY KEY, NMPRODUTO VARCHAR(40), "
                                    "CDNVPRODUTO INTEGER, IDESTOCAVEL CHAR(1))"));
            exec(db, QStringLiteral("CREATE TABLE CUSTREAL (CDFILIAL VARCHAR(4) NOT NULL, CDSERVFILI VARCHAR(5) NOT NULL, "
                                    "CDARVPROD VARCHAR(20) NOT NULL, NRTIPOCUSTO INTEGER NOT NULL, DTMOVIMENTO DATE NOT NULL, "
                                    "QTREAL NUMERIC(15,3) NOT NULL, VRCUSTREAL NUMERIC(15,2) NOT NULL)"));
            exec(db, QStringLiteral("CREATE INDEX IX_CUSTREAL_FILIAL ON CUSTREAL (CDFILIAL, NRTIPOCUSTO, DTMOVIMENTO)"));
            exec(db, QStringLiteral("INSERT INTO FILIAL VALUES ('0100','Central','N','S','0100'),"
                                    "('0101','Escola Um','N','N','0100'),('0102','Escola Dois','N','N','0100')"));
            db.transaction();
            QSqlQuery ins(db);
            ins.prepare(QStringLiteral("INSERT INTO PRODUTO VALUES (?, ?, ?, ?)"));
            QStringList leaves;
            for (int a = 1; a <= 4; ++a) {
                const QString l1 = QStringLiteral("%1").arg(a, 2, 10, QLatin1Char('0'));
                ins.addBindValue(l1), ins.addBindValue(QStringLiteral("Grupo %1").arg(l1)), ins.addBindValue(1),
                    ins.addBindValue(QStringLiteral("S")), ins.exec();
                for (int b = 1; b <= 10; ++b) {
                    const QString l2 = l1 + QStringLiteral("%1").arg(b, 2, 10, QLatin1Char('0'));
                    ins.addBindValue(l2), ins.addBindValue(QStringLiteral("Subgrupo %1").arg(l2)), ins.addBindValue(2),
                        ins.addBindValue(QStringLiteral("S")), ins.exec();
                    for (int c = 1; c <= 10; ++c) {
                        const QString l3 = l2 + QStringLiteral("%1").arg(c, 4, 10, QLatin1Char('0'));
                        ins.addBindValue(l3), ins.addBindValue(QStringLiteral("Produto %1").arg(l3)), ins.addBindValue(3),
                            ins.addBindValue(c % 3 ? QStringLiteral("S") : QStringLiteral("N")), ins.exec();
                        leaves << l3;
                    }
                }
            }
            ins.prepare(QStringLiteral("INSERT INTO CUSTREAL VALUES (?, ?, ?, ?, ?, ?, ?)"));
            QRandomGenerator rnd(17);
            const QDate first(2026, 1, 1);
            for (int i = 0; i < rows; ++i) {
                const bool main = rnd.bounded(10) != 0;
                ins.addBindValue(main ? QStringLiteral("0101") : QStringLiteral("0102"));
                ins.addBindValue(QStringLiteral("0000%1").arg(1 + rnd.bounded(5)));
                ins.addBindValue(leaves[rnd.bounded(int(leaves.size()))]);
                ins.addBindValue(main ? 1 : 2);
                ins.addBindValue(first.addDays(rnd.bounded(365)).toString(Qt::ISODate));
                const double qt = 1 + rnd.bounded(1000) / 10.0;
                ins.addBindValue(qt);
                ins.addBindValue(std::round(qt * (1 + rnd.bounded(500) / 100.0) * 100) / 100);
                if (!ins.exec())
                    qFatal("%s", qPrintable(ins.lastError().text()));
            }
            db.commit();
            exec(db, QStringLiteral("ANALYZE"));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return path;
}

struct Value {
    const char *name;
    QVariant value;
    const char *cli; // the same value as an SQL literal for the shell
};

const QList<Value> &values()
{
    static const QList<Value> v = {
        {"P_CDFILCENTXEV", QStringLiteral("0100"), "'0100'"},
        {"P_CDFILIAL", QStringLiteral("0101"), "'0101'"},
        {"P_NMCUSTO", QStringLiteral("Custo Médio"), "'Custo Médio'"},
        {"P_NRTIPOCUSTO", 1, "1"},
        {"P_CDSERVFILI", QStringLiteral("00001_00002_00003_00004_00005"), "'00001_00002_00003_00004_00005'"},
        {"P_CDPRODUTOINI", QStringLiteral("01"), "'01'"},
        {"P_CDPRODUTOFIN", QStringLiteral("04zzzzzz"), "'04zzzzzz'"},
        {"P_DTINICIAL", QDate(2026, 1, 1).startOfDay(), "'2026-01-01'"},
        {"P_DTFINAL", QDate(2026, 12, 31).startOfDay(), "'2026-12-31'"},
        {"P_DTPERIINIC", QStringLiteral("01/01/2026"), "'01/01/2026'"},
        {"P_DTPERIFINA", QStringLiteral("31/12/2026"), "'31/12/2026'"},
        {"P_DTMESINIC", QDate(2026, 1, 1).startOfDay(), "'2026-01-01'"},
        {"P_DTMESFINA", QDate(2026, 12, 31).startOfDay(), "'2026-12-31'"},
        {"P_IDESTOCAVEIS", QStringLiteral("S"), "'S'"},
        {"P_IDNESTOCAVEIS", QStringLiteral("S"), "'S'"},
        {"P_NRTAMACNIVEL", 4, "4"},
        {"P_NRTAMCODIGO", 8, "8"},
    };
    return v;
}

class Filler : public QObject {
public:
    void fill(TParams *params, bool *)
    {
        for (const Value &v : values())
            if (ExistParam(*params, QLatin1String(v.name)))
                params->ParamByName(QLatin1String(v.name)).SetAsVariant(v.value);
    }
};

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

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
    TReportDesignerDialog rpdd;
    rpdd.setReportCode(kCode);
    Filler filler;
    QObject::connect(&rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &filler, &Filler::fill);
    const QString def = standardDefinition();
    const QString pdf = dataDir() + QStringLiteral("/bench_report.pdf");
    int pages = 0;
    for (auto _ : state) {
        if (!rpdd.WritePdf(def, pdf, {}, &pages))
            state.SkipWithError("report failed");
    }
    // Rows printed, for the memory reading.
    TParams params = ReportRunner::declaredParams(ReportParser::parseFile(def));
    bool flag = true;
    filler.fill(&params, &flag);
    const ReportDefinition d = ReportParser::parseFile(def);
    const ReportData data = ReportRunner::run(d, params, QSqlDatabase::database(), ReportRunner::layoutFields(d));
    state.counters["rows_printed"] = double(data.rows.size());
    state.counters["pages"] = pages;
    state.counters["peak_rss_MB"] = peakRssKb() / 1024.0;
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
    const ReportDefinition d = ReportParser::parseFile(standardDefinition());
    QString script = QStringLiteral(".parameter init\n");
    for (const Value &v : values())
        script += QStringLiteral(".parameter set :%1 \"%2\"\n").arg(QLatin1String(v.name), QString::fromUtf8(v.cli));
    script += QStringLiteral(".output /dev/null\n");
    for (const ReportQuery &q : d.queries)
        script += q.sql[ReportQuery::Default] + QStringLiteral(";\n");
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
