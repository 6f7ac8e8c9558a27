// A Firebird database, embedded or on a server, of data sizes a test chooses
// (EngineDatabases' per-engine suites share one size), opened through the
// shell's data module, with a SQLite copy of the same demo rows on a
// connection of its own ("sqlite-ref"), and the XEV017 rows of both as CSV.
#pragma once

#include "ParamFiller.h"
#include "appdata/dtmDBGeral.h"
#include "core/HostUi.h"
#include "data/HostDatabase.h"
#include "data/engines/SqlDialect.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportLibrary.h"
#include "ui/ScriptedHostUi.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class FirebirdReportCase {
public:
    static DemoSizes sizes()
    {
        DemoSizes s;
        s.costRows = 3000;
        return s;
    }

    ~FirebirdReportCase()
    {
        if (dm)
            close();
    }

    // Makes the SQLite reference and the Firebird database at location,
    // with the same data, then opens the latter as the shell does.
    void open(const QTemporaryDir &dir, const QString &location, const DemoSizes &data = sizes())
    {
        m_dir = dir.path();
        const QString sqlite = dir.filePath(QStringLiteral("reference.sqlite"));
        TdtmDBGeral::createSqliteFile(sqlite, data);
        QSqlDatabase ref = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sqlite-ref"));
        ref.setDatabaseName(sqlite);
        QVERIFY(ref.open());
        const DatabaseLocation where = DatabaseLocation::parse(location);
        TdtmDBGeral::openConnection({where, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"),
                                     QStringLiteral("create"), true, DemoData::filler(data)});
        TdtmDBGeral::closeConnection(QStringLiteral("create"));
        dm = std::make_unique<TdtmDBGeral>();
        ShellConfig c;
        c.database = where.toString();
        dm->open(c);
        QCOMPARE(HostDatabase::instance().dialect().statementProperty(), QStringLiteral("SQL_IB"));
        ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        answerStandard();
        filler.set(QStringLiteral("P_CDSERVFILI"), ParamFiller::Value::String,
                   QStringLiteral("00001_00002_00003_00004_00005_00006_00007_00008_00009_00010"));
    }

    // The runner's parameter event answered with the standard values over
    // every product.
    void answerStandard()
    {
        rpdd.setReportCode(QStringLiteral("XEV017"));
        QObject::connect(&rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &filler, &ParamFiller::fill);
        filler.standardValues();
        filler.set(QStringLiteral("P_CDPRODUTOINI"), ParamFiller::Value::String, QStringLiteral("0"));
        filler.set(QStringLiteral("P_CDPRODUTOFIN"), ParamFiller::Value::String, QStringLiteral("zzzzzzzz"));
    }

    void close()
    {
        dm.reset();
        QSqlDatabase::database(QStringLiteral("sqlite-ref")).close();
        QSqlDatabase::removeDatabase(QStringLiteral("sqlite-ref"));
        HostUi::uninstall();
    }

    // The rows of definition `which` as CSV, from Firebird or the reference.
    QString csv(int which, bool reference)
    {
        rpdd.setDefaultDatabaseName(reference ? QStringLiteral("sqlite-ref") : QString());
        const QString out = m_dir + QStringLiteral("/out.csv");
        QFile::remove(out);
        ui->clear();
        if (!rpdd.WriteCsv(ReportLibrary::list(QStringLiteral("XEV017"))[which].path, out, {}))
            return QStringLiteral("failed: ") + ui->messageTexts().join(QLatin1Char('|'));
        QFile f(out);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    void sameRowsAsOnSqlite(int which, int level)
    {
        filler.set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, level);
        const QString firebird = csv(which, false);
        const QString sqlite = csv(which, true);
        QVERIFY2(sqlite.count(QLatin1Char('\n')) > 1, qPrintable(sqlite));
        QCOMPARE(firebird, sqlite);
    }

    std::unique_ptr<TdtmDBGeral> dm;
    ScriptedHostUi *ui = nullptr;
    TReportDesignerDialog rpdd;
    ParamFiller filler;

private:
    QString m_dir;
};
