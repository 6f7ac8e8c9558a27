// The screen among other programs on one SQLite file: while another program
// (the sqlite3 shell) writes every 200 ms, scripted sessions of the shell
// open the screen and run report checks at once; every session ends with
// its own parameter sets and no message, and every write of the other
// program reaches the file.
#include "appdata/CostsServerProcess.h"
#include "appdata/dtmDBGeral.h"
#include "support/LoadScript.h"
#include "support/NeighbourWriter.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

class TestSqliteNeighbours : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    std::unique_ptr<QProcess> session(const QString &database, const QString &costs, int k, int checks)
    {
        const QString dir = m_dir.filePath(QStringLiteral("s%1").arg(k));
        QDir().mkpath(dir);
        QFile script(QDir(dir).filePath(QStringLiteral("s.script")));
        if (!script.open(QIODevice::WriteOnly) || script.write(LoadScript::script(k, checks).toUtf8()) < 0)
            return nullptr;
        script.close();
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), QDir(dir).filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(dir).filePath(QStringLiteral("config")));
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--script"), script.fileName(), QStringLiteral("--db"),
                                                 QStringLiteral("sqlite:") + database, QStringLiteral("--costs"), costs});
        return p;
    }

private slots:
    void sessionsAndAWriterSideBySide()
    {
        QVERIFY(m_dir.isValid());
        const QString database = m_dir.filePath(QStringLiteral("escritorio.sqlite"));
        TdtmDBGeral::createSqliteFile(database);
        CostsServerProcess costs;
        costs.setProgram(QStringLiteral(COSTS_SERVER_PATH));
        QString why;
        QVERIFY2(costs.start(QStringLiteral("sqlite:") + database, {}, 20000, &why), qPrintable(why));
        const QString costsAt = QStringLiteral("%1:%2").arg(costs.host()).arg(costs.port());

        // The other program waits 2 s for the file at most, as a tool that
        // gives up would; the sessions last longer than that.
        NeighbourWriter writer;
        if (!writer.start(database, 200, 2000, &why))
            QSKIP(qPrintable(why));
        const int sessions = 5, checks = 20;
        std::vector<std::unique_ptr<QProcess>> running;
        for (int k = 0; k < sessions; ++k) {
            running.push_back(session(database, costsAt, k, checks));
            QVERIFY(running.back());
        }
        for (int k = 0; k < sessions; ++k) {
            QProcess &p = *running[k];
            QTRY_VERIFY_WITH_TIMEOUT(p.state() == QProcess::NotRunning, 240000);
            const QStringList problems = LoadScript::check(k, checks, QString::fromUtf8(p.readAllStandardOutput()));
            QVERIFY2(problems.isEmpty() && p.exitCode() == 0,
                     qPrintable(QStringLiteral("session %1 (exit %2): %3 %4")
                                    .arg(k)
                                    .arg(p.exitCode())
                                    .arg(problems.join(QLatin1Char('|')), QString::fromUtf8(p.readAllStandardError()))));
        }
        const NeighbourWriter::Result r = writer.stop();
        qInfo("%d writes sent, %d in the table", r.sent, r.written);
        QVERIFY2(r.ok(), qPrintable(QStringLiteral("%1 of %2 writes: %3").arg(r.written).arg(r.sent).arg(r.complaints)));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestSqliteNeighbours)
#include "test_sqlite_neighbours.moc"
