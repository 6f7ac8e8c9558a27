// What the XEV017 reports must do on a Firebird database, embedded or on a
// server: give the rows the same demo data gives on SQLite, write a PDF, and
// stop a statement that would never end when the run is cancelled. The
// tests open their Firebird database through the shell's data module and a
// SQLite copy of the same demo rows on a connection of its own.
#pragma once

#include "ParamFiller.h"
#include "appdata/dtmDBGeral.h"
#include "core/HostUi.h"
#include "data/HostDatabase.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/DefinitionWriter.h"
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
        TdtmDBGeral::openConnection(where, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"), QStringLiteral("create"),
                                    true, data);
        TdtmDBGeral::closeConnection(QStringLiteral("create"));
        dm = std::make_unique<TdtmDBGeral>();
        ShellConfig c;
        c.database = where.toString();
        dm->open(c);
        QCOMPARE(HostDatabase::instance().dialect(), SqlDialect::InterBase);
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

    void aPdf()
    {
        rpdd.setDefaultDatabaseName(QString());
        int pages = 0;
        QVERIFY(rpdd.WritePdf(ReportLibrary::list(QStringLiteral("XEV017"))[0].path, m_dir + QStringLiteral("/fb.pdf"), {},
                              &pages));
        QVERIFY(pages >= 1);
        QVERIFY(ui->works.last().total == pages);
    }

    // A cross join of the system tables with itself counts for hours.
    void cancelStopsTheStatement()
    {
        const QString def = m_dir + QStringLiteral("/endless/sem-fim.rel");
        DefinitionWriter::save(DefinitionParser::parseText(
                               QStringLiteral("title \"Sem fim\"\nquery q\nSQL <<E\nSELECT COUNT(*) AS A FROM RDB$FIELDS A1, "
                                              "RDB$FIELDS A2, RDB$FIELDS A3, RDB$FIELDS A4, RDB$FIELDS A5\nE\n"
                                              "column A \"A\" width 40\n"),
                               QStringLiteral("sem-fim.rel")),
                           def);
        rpdd.setDefaultDatabaseName(QString());
        ui->clear();
        ui->cancelAfterMs = 500;
        const QString pdf = m_dir + QStringLiteral("/endless.pdf");
        QVERIFY(!rpdd.WritePdf(def, pdf, {}));
        QVERIFY(ui->works.last().cancelled);
        QVERIFY2(ui->works.last().stopped, "the statement went on after Cancel");
        QVERIFY(!QFile::exists(pdf));
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->messageTexts().join(QLatin1Char('|'))));
        // The connection is fine afterwards.
        sameRowsAsOnSqlite(1, 4);
    }

    // Works in dir, on the shell's connection already opened by someone else.
    void useDir(const QString &dir) { m_dir = dir; }

    std::unique_ptr<TdtmDBGeral> dm;
    ScriptedHostUi *ui = nullptr;
    TReportDesignerDialog rpdd;
    ParamFiller filler;

private:
    QString m_dir;
};
