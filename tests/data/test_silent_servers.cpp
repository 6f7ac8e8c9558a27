// A database server that stops answering with the shell connected to it
// (every process held with SIGSTOP: the system still accepts connections,
// nothing answers): a statement, the rows of a look-up and a report's query
// end with a message naming the server within seconds instead of waiting
// for good, and once the server goes on the next action works without a
// restart. Firebird on a server and PostgreSQL (EngineDatabases).
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "report/model/DefinitionParser.h"
#include "report/query/ReportConnection.h"
#include "report/query/ReportRunner.h"
#include "support/EngineDatabases.h"
#include "support/PostgresCluster.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// While it lives the engine's server is held still; should the code under
// test never return, the server is let go after a minute, so that the
// test fails on its checks instead of hanging.
class SilentServer {
public:
    SilentServer(EngineDatabases &engines, const QString &engine) : m_engines(engines), m_engine(engine)
    {
        m_engines.pauseServer(m_engine, true);
        m_rescue = std::thread([this] {
            std::unique_lock<std::mutex> hold(m_lock);
            if (!m_done.wait_for(hold, std::chrono::seconds(60), [this] { return m_over; }))
                m_engines.pauseServer(m_engine, false);
        });
    }
    ~SilentServer()
    {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_over = true;
        }
        m_done.notify_one();
        m_rescue.join();
        m_engines.pauseServer(m_engine, false);
    }

private:
    EngineDatabases &m_engines;
    QString m_engine;
    std::mutex m_lock;
    std::condition_variable m_done;
    bool m_over = false;
    std::thread m_rescue;
};

QString failureOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EHostError &e) {
        return e.text();
    }
    return QStringLiteral("<no error: the server answered>");
}

qint64 branches()
{
    SqlStatement s(HostDatabase::instance().database());
    s.exec(QStringLiteral("SELECT COUNT(*) FROM FILIAL"));
    return s.next() ? s.value(0).toLongLong() : -1;
}

// The shell on the engine's database, acting as a person would through a
// scripted session fed line by line (--script -), so that the server can
// be held still between two actions.
class ShellSession {
public:
    ShellSession(const QString &location, const QString &password)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("PGPASSWORD"), password);
        m_shell.setProcessEnvironment(env);
        m_shell.start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--script"), QStringLiteral("-"), QStringLiteral("--db"),
                                                       location, QStringLiteral("--branch"), QStringLiteral("0101"),
                                                       QStringLiteral("--out"), m_dir.path()});
        m_shell.waitForStarted();
    }
    ~ShellSession()
    {
        m_shell.closeWriteChannel();
        if (!m_shell.waitForFinished(30000))
            m_shell.kill();
    }

    // Runs one action; the events it printed, up to the focus event that
    // closes every action (empty when the shell gave none within a minute).
    QStringList act(const QString &line)
    {
        m_shell.write(line.toUtf8() + '\n');
        m_shell.waitForBytesWritten(5000);
        QStringList events;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 60000) {
            if (!m_shell.canReadLine() && !m_shell.waitForReadyRead(1000))
                continue;
            while (m_shell.canReadLine()) {
                const QString event = QString::fromUtf8(m_shell.readLine()).trimmed();
                events << event;
                if (event.contains(QLatin1String("\"event\":\"focus\"")))
                    return events;
            }
        }
        return events << QStringLiteral("<no answer: ") + QString::fromUtf8(m_shell.readAllStandardError());
    }

private:
    QTemporaryDir m_dir;
    QProcess m_shell;
};

} // namespace

class TestSilentServers : public QObject {
    Q_OBJECT

    EngineDatabases m_engines;

    void saysTheServerIsSilent(const QString &failure)
    {
        const QString where = HostDatabase::where(QSqlDatabase::database(HostDatabase::instance().connectionName(), false));
        QVERIFY2(failure.contains(QStringLiteral("não respondeu")) && failure.contains(where), qPrintable(failure));
    }

private slots:
    void aStatementIsNamedAndTheNextActionWorks_data() { EngineDatabases::addColumn(EngineDatabases::servers()); }
    void aStatementIsNamedAndTheNextActionWorks()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        const qint64 before = branches();
        QVERIFY(before > 0);
        QString failure;
        {
            SilentServer silent(m_engines, engine);
            failure = failureOf([] { branches(); });
        }
        saysTheServerIsSilent(failure);
        // Back: the next action connects again by itself.
        QCOMPARE(branches(), before);
    }

    // A cursor stopped between rows: the fetch that waits is the one named.
    void aFetchIsNamedToo_data() { EngineDatabases::addColumn(EngineDatabases::servers()); }
    void aFetchIsNamedToo()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        SqlStatement s(HostDatabase::instance().database());
        s.exec(QStringLiteral("SELECT A.CDARVPROD FROM PRODUTO A, PRODUTO B, PRODUTO C"));
        QVERIFY(s.next());
        QString failure;
        {
            SilentServer silent(m_engines, engine);
            failure = failureOf([&] {
                while (s.next()) {
                }
            });
        }
        QVERIFY2(failure.contains(QStringLiteral("não respondeu")), qPrintable(failure));
        QVERIFY(branches() > 0);
    }

    // A report reads on a connection of its own: its query is named too.
    void aReportQueryIsNamed_data() { EngineDatabases::addColumn(EngineDatabases::servers()); }
    void aReportQueryIsNamed()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        const ReportDefinition def = DefinitionParser::parseText(
            QStringLiteral("title \"Filiais\"\nquery filiais\nSQL <<E\nSELECT CDFILIAL FROM FILIAL\nE\n"
                           "column CDFILIAL \"Filial\" width 20\n"),
            QStringLiteral("filiais.rel"));
        const auto run = [&] {
            ReportConnection own(HostDatabase::instance().connectionName());
            ReportRunner::Sink sink{[](const QStringList &, const QHash<QString, QVariant> &) {},
                                    [](const QVector<QVariant> &) {}};
            ReportRunner::stream(def, TParams(), own.database(), {}, sink);
        };
        run();
        QString failure;
        {
            // Connected first: the silence meets the query, not the login.
            ReportConnection own(HostDatabase::instance().connectionName());
            SilentServer silent(m_engines, engine);
            failure = failureOf([&] {
                ReportRunner::Sink sink{[](const QStringList &, const QHash<QString, QVariant> &) {},
                                        [](const QVector<QVariant> &) {}};
                ReportRunner::stream(def, TParams(), own.database(), {}, sink);
            });
        }
        QVERIFY2(failure.contains(QStringLiteral("não respondeu")) && failure.contains(QLatin1String("filiais")),
                 qPrintable(failure));
        // A report started while the server is silent says so at its login.
        {
            SilentServer silent(m_engines, engine);
            failure = failureOf(run);
        }
        QVERIFY2(failure.contains(QStringLiteral("não respondeu")), qPrintable(failure));
        run();
    }

    // The screen as a person uses it: a field's check on leaving it, the
    // look-up's list (F9), a preview and an export each name the silent
    // server instead of freezing the window, and all work once it is back.
    void theScreenNamesTheSilentServer_data() { EngineDatabases::addColumn(EngineDatabases::servers()); }
    void theScreenNamesTheSilentServer()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        ShellSession shell(m_engines.location(engine), QLatin1String(PostgresCluster::Password));
        QVERIFY(shell.act(QStringLiteral("open XEV01700")).join(QLatin1Char('\n')).contains(QLatin1String("focus")));
        const QString silence = QStringLiteral("respondeu");
        const auto says = [&](const QStringList &events, const QString &what) {
            return events.join(QLatin1Char('\n')).contains(what);
        };
        {
            SilentServer silent(m_engines, engine);
            // A code typed anew: its name is looked up on leaving the field.
            shell.act(QStringLiteral("focus medCdProdInic"));
            shell.act(QStringLiteral("key SelectAll"));
            shell.act(QStringLiteral("key Delete"));
            shell.act(QStringLiteral("type 01020001"));
            const QStringList check = shell.act(QStringLiteral("key Tab"));
            QVERIFY2(says(check, silence), qPrintable(check.join(QLatin1Char('\n'))));
            shell.act(QStringLiteral("answer"));
            const QStringList lookUp = shell.act(QStringLiteral("key F9"));
            QVERIFY2(says(lookUp, silence), qPrintable(lookUp.join(QLatin1Char('\n'))));
            const QStringList preview = shell.act(QStringLiteral("command preview"));
            QVERIFY2(says(preview, silence), qPrintable(preview.join(QLatin1Char('\n'))));
        }
        // Back: the same actions work without a restart.
        for (const char *field : {"medCdProdInic", "medCdProdFina"}) {
            shell.act(QStringLiteral("focus ") + QLatin1String(field));
            shell.act(QStringLiteral("key SelectAll"));
            shell.act(QStringLiteral("key Delete"));
            shell.act(QStringLiteral("type 01010001"));
            const QStringList check = shell.act(QStringLiteral("key Tab"));
            QVERIFY2(!says(check, QStringLiteral("\"event\":\"message\"")), qPrintable(check.join(QLatin1Char('\n'))));
        }
        const QStringList exported = shell.act(QStringLiteral("command exportcsv"));
        QVERIFY2(says(exported, QStringLiteral("\"event\":\"params\"")) && !says(exported, QStringLiteral("\"event\":\"message\"")),
                 qPrintable(exported.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestSilentServers)
#include "test_silent_servers.moc"
