// Report runs off the GUI thread, on SQLite: Cancel stops a statement that
// would never end and nothing is written, the next run works; a second
// command while one runs is refused with a message; the GUI thread goes on
// with its events meanwhile; progress goes from rows to pages; a database
// only one connection can see (SQLite in memory) is read on the GUI thread;
// a screen closed while its report runs stops the run and then closes.
#include "ReportRunnerCase.h"
#include "core/HostUi.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/DefinitionWriter.h"
#include "report/model/ReportLibrary.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TLabel.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kCode = QStringLiteral("XEV017");

// A statement that counts without end: only an interrupt stops it.
const char *kEndless = "title \"Sem fim\"\nquery q\nSQL <<E\n"
                       "WITH RECURSIVE N(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM N) SELECT COUNT(*) AS A FROM N\n"
                       "E\ncolumn A \"A\" width 40\n";
} // namespace

class TestReportJobs : public ReportRunnerCase {
    Q_OBJECT

    QString m_detailed, m_endless;

private slots:
    void initTestCase()
    {
        openDatabase();
        m_detailed = ReportLibrary::list(kCode).first().path;
        m_endless = m_dir.filePath(QStringLiteral("endless/XEV017/01-sem-fim.rel"));
        DefinitionWriter::save(DefinitionParser::parseText(QString::fromLatin1(kEndless), QStringLiteral("sem-fim.rel")), m_endless);
    }

    void init() { startRunner(); }

    void cleanup() { endRunner(); }

    void cleanupTestCase() { closeDatabase(); }

    void cancelStopsTheStatementAndWritesNothing()
    {
        for (const QString &name : {QStringLiteral("c.pdf"), QStringLiteral("c.csv")}) {
            m_ui->cancelAfterMs = 300;
            const bool done = name.endsWith(QLatin1String(".pdf")) ? m_rpdd->WritePdf(m_endless, out(name), {})
                                                                   : m_rpdd->WriteCsv(m_endless, out(name), {});
            QVERIFY(!done);
            QVERIFY(!QFile::exists(out(name)));
            QVERIFY(m_ui->works.last().cancelled);
            QVERIFY2(m_ui->works.last().stopped, "the statement went on after Cancel");
        }
        QVERIFY(m_ui->messages.isEmpty()); // a cancel is no error
        // The next run works.
        int pages = 0;
        QVERIFY(m_rpdd->WritePdf(m_detailed, out(QStringLiteral("next.pdf")), {}, &pages));
        QVERIFY(QFile::exists(out(QStringLiteral("next.pdf"))));
        QVERIFY(!m_rpdd->isRunning());
        // Its progress went from the rows to the pages.
        const ScriptedHostUi::WaitSeen &w = m_ui->works.last();
        QVERIFY(!w.cancelled);
        QCOMPARE(w.done, qint64(pages));
        QCOMPARE(w.total, qint64(pages));
        QVERIFY2(w.status.contains(QStringLiteral("páginas")), qPrintable(w.status));
    }

    void theParameterEventRunsOnTheGuiThread()
    {
        QList<QThread *> threads;
        connect(m_rpdd, &TReportDesignerDialog::BeforeGetQueryParams, this,
                [&threads](TParams *, bool *) { threads << QThread::currentThread(); });
        QVERIFY(m_rpdd->WriteCsv(m_detailed, out(QStringLiteral("t.csv")), {}));
        QCOMPARE(threads, QList<QThread *>{qApp->thread()});
    }

    void aSecondCommandWhileOneRunsIsRefused()
    {
        bool refused = false;
        QTimer::singleShot(200, this, [&] {
            refused = !m_rpdd->WriteCsv(m_detailed, out(QStringLiteral("second.csv")), {});
            m_rpdd->cancelRun();
        });
        QVERIFY(!m_rpdd->WritePdf(m_endless, out(QStringLiteral("first.pdf")), {}));
        QVERIFY2(refused, qPrintable(m_ui->messageTexts().join(QLatin1Char('|'))));
        QVERIFY(!QFile::exists(out(QStringLiteral("second.csv"))));
        QVERIFY(!QFile::exists(out(QStringLiteral("first.pdf"))));
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY2(m_ui->messages[0].text.contains(QStringLiteral("ainda está sendo gerado")), qPrintable(m_ui->messages[0].text));
        QCOMPARE(m_filler->calls.size(), 1); // the refused command asked for no parameters
    }

    void theGuiThreadGoesOnWhileTheStatementRuns()
    {
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(10);
        m_ui->cancelAfterMs = 500;
        QVERIFY(!m_rpdd->WritePdf(m_endless, out(QStringLiteral("g.pdf")), {}));
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QVERIFY(m_ui->works.last().stopped);
    }

    void aDatabaseInMemoryIsReadOnTheGuiThread()
    {
        {
            QSqlDatabase mem = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mem"));
            mem.setDatabaseName(QStringLiteral(":memory:"));
            QVERIFY(mem.open());
            ReportFixture::exec(mem, QStringLiteral("CREATE TABLE T (A VARCHAR(10))"));
            ReportFixture::exec(mem, QStringLiteral("INSERT INTO T VALUES ('um'), ('dois')"));
        }
        const QString def = out(QStringLiteral("mem/t.rel"));
        DefinitionWriter::save(DefinitionParser::parseText(QStringLiteral("title \"M\"\nquery q\nSQL <<E\nSELECT A FROM T\nE\n"
                                                                  "column A \"A\" width 40\n"),
                                                   QStringLiteral("t.rel")),
                           def);
        m_rpdd->setDefaultDatabaseName(QStringLiteral("mem"));
        QVERIFY(m_rpdd->WriteCsv(def, out(QStringLiteral("mem.csv")), {}));
        QFile f(out(QStringLiteral("mem.csv")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("A\r\num\r\ndois\r\n"));
        QSqlDatabase::database(QStringLiteral("mem")).close();
        QSqlDatabase::removeDatabase(QStringLiteral("mem"));
    }

    void aScreenClosedWhileItsReportRunsStopsItAndCloses()
    {
        ReportLibrary::setStandardRoot(m_dir.filePath(QStringLiteral("endless")));
        QPointer<TfrmDadosGerRel> form = new TfrmDadosGerRel;
        form->Create();
        form->component<TLabel>(QStringLiteral("lblCodRel"))->setCaption(kCode);
        form->show();
        const QString pdf = out(QStringLiteral("closed.pdf"));
        m_ui->printerAnswers.enqueue(pdf);
        QTimer::singleShot(200, form, [form] { form->close(); });
        form->run(ReportCommand::Id::Print);
        QVERIFY(form);            // still there while its command ran
        QTRY_VERIFY(!form || form->isClosed());
        QTRY_VERIFY(!form);       // then gone, as its close action says
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(m_ui->messages.isEmpty());
        ReportLibrary::setStandardRoot(QString());
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportJobs)
#include "test_report_jobs.moc"
