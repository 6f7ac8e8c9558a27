// What the XEV017 reports must do on every engine: give the rows the same
// demo data gives on SQLite, write a PDF, and stop a statement that would
// never end when the run is cancelled. The engine's database and SQLite's
// come from EngineDatabases (the same demo rows on each); the runner reads
// the host's database, switched to the engine under test, and SQLite's by
// its connection name for the reference.
#pragma once

#include "ParamFiller.h"
#include "core/HostUi.h"
#include "data/HostDatabase.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/DefinitionWriter.h"
#include "report/model/ReportLibrary.h"
#include "support/EngineDatabases.h"
#include "ui/ScriptedHostUi.h"

#include <QtTest>
#include <memory>

class EngineReportCase {
public:
    static DemoSizes sizes()
    {
        DemoSizes s;
        s.costRows = 3000;
        return s;
    }

    // Servers of its own: a test kills them mid-report.
    EngineDatabases engines{sizes(), SuiteServers::Sharing::Private};

    // The scripted dialogs and the runner's standard answers over every
    // product and the first ten services.
    void open()
    {
        ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        rpdd.setReportCode(QStringLiteral("XEV017"));
        QObject::connect(&rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &filler, &ParamFiller::fill);
        filler.standardValues();
        filler.set(QStringLiteral("P_CDPRODUTOINI"), ParamFiller::Value::String, QStringLiteral("0"));
        filler.set(QStringLiteral("P_CDPRODUTOFIN"), ParamFiller::Value::String, QStringLiteral("zzzzzzzz"));
        filler.set(QStringLiteral("P_CDSERVFILI"), ParamFiller::Value::String,
                   QStringLiteral("00001_00002_00003_00004_00005_00006_00007_00008_00009_00010"));
    }

    void close() { HostUi::uninstall(); }

    // SQLite's connection, made on first use.
    QString reference()
    {
        const QSqlDatabase db = engines.database(QStringLiteral("sqlite"));
        return db.isValid() ? db.connectionName() : QStringLiteral("<no SQLite database>");
    }
    QString path(int which) const { return ReportLibrary::list(QStringLiteral("XEV017"))[which].path; }
    QString file(const QString &name) const { return QDir(engines.folder()).filePath(name); }

    // The rows of definition `which` as CSV, from the host's database or SQLite's.
    QString csv(int which, bool fromReference)
    {
        rpdd.setDefaultDatabaseName(fromReference ? reference() : QString());
        const QString out = file(QStringLiteral("out.csv"));
        QFile::remove(out);
        ui->clear();
        if (!rpdd.WriteCsv(path(which), out, {}))
            return QStringLiteral("failed: ") + ui->messageTexts().join(QLatin1Char('|'));
        QFile f(out);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    void sameRowsAsOnSqlite(int which)
    {
        const QString engine = csv(which, false);
        const QString sqlite = csv(which, true);
        QVERIFY2(sqlite.count(QLatin1Char('\n')) > 3, qPrintable(sqlite));
        QCOMPARE(engine, sqlite);
    }

    void aPdf()
    {
        rpdd.setDefaultDatabaseName(QString());
        ui->clear();
        int pages = 0;
        QVERIFY(rpdd.WritePdf(path(0), file(QStringLiteral("engine.pdf")), {}, &pages));
        QVERIFY(pages >= 1);
        QVERIFY(ui->works.last().total == pages);
    }

    // A statement that counts for hours, cancelled after half a second.
    void cancelStopsTheStatement()
    {
        const QString def = file(QStringLiteral("endless/sem-fim.rel"));
        const QString sql = EngineDatabases::endlessQuery(HostDatabase::instance().database());
        DefinitionWriter::save(DefinitionParser::parseText(QStringLiteral("title \"Sem fim\"\nquery q\nSQL <<E\n") + sql
                                                               + QStringLiteral("\nE\ncolumn A \"A\" width 40\n"),
                                                           QStringLiteral("sem-fim.rel")),
                               def);
        rpdd.setDefaultDatabaseName(QString());
        ui->clear();
        ui->cancelAfterMs = 500;
        const QString pdf = file(QStringLiteral("endless.pdf"));
        QVERIFY(!rpdd.WritePdf(def, pdf, {}));
        ui->cancelAfterMs = -1;
        QVERIFY(ui->works.last().cancelled);
        QVERIFY2(ui->works.last().stopped, "the statement went on after Cancel");
        QVERIFY(!QFile::exists(pdf));
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->messageTexts().join(QLatin1Char('|'))));
        // The connection is fine afterwards.
        sameRowsAsOnSqlite(1);
    }

    ScriptedHostUi *ui = nullptr;
    TReportDesignerDialog rpdd;
    ParamFiller filler;
};
