// merenda-report on a Firebird server and on PostgreSQL: on a database made
// before shared sets (its CONJPARAM table dropped), a shared set saved by one
// person and run unattended from another home gives the same rows as on SQLite.
#include "RoutineOffice.h"
#include "support/EngineDatabases.h"
#include "support/FirebirdServer.h"
#include "support/PostgresCluster.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

class TestRoutineEngines : public QObject {
    Q_OBJECT

    EngineDatabases m_engines;

    static qint64 rowsOn(RoutineOffice &office)
    {
        const auto saved = office.session(QStringLiteral("ana"),
            QStringLiteral("open XEV01700\nfocus medCdProdInic\ntype 01\nfocus medCdProdFina\ntype 08\nkey Tab\n"
                           "save params \"Mensal Norte\" shared \"mês anterior\"\n"));
        if (!RoutineOffice::messages(saved.out).isEmpty() || saved.code != 0) {
            qWarning().noquote() << saved.out << saved.err;
            return -1;
        }
        const QString out = QDir(office.home(QStringLiteral("bruno"))).filePath(QStringLiteral("saida"));
        QDir().mkpath(out);
        const auto r = office.report(QStringLiteral("bruno"), {QStringLiteral("--set"), QStringLiteral("Mensal Norte"),
                                                               QStringLiteral("--format"), QStringLiteral("pdf,csv"),
                                                               QStringLiteral("--out"), out});
        if (r.code != 0 || QDir(out).entryList(QDir::Files).size() != 2) {
            qWarning().noquote() << r.out << r.err;
            return -1;
        }
        return RoutineOffice::summary(r).value(QStringLiteral("rows")).toInteger();
    }

private slots:
    void sameRunOnEveryEngine_data() { EngineDatabases::addColumn({"sqlite", "firebird-server", "postgresql"}); }

    void sameRunOnEveryEngine()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        RoutineOffice office;
        if (engine == QLatin1String("postgresql"))
            office.setEnvironment(QStringLiteral("PGPASSWORD"), QLatin1String(PostgresCluster::Password));
        if (engine == QLatin1String("firebird-server")) {
            // The password in a configuration file only its owner reads.
            const QString ini = QDir(office.folder()).filePath(QStringLiteral("merenda.ini"));
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QStringLiteral("[database]\nuser=%1\npassword=%2\n").arg(FirebirdServer::User, FirebirdServer::Password).toUtf8());
            f.close();
            QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            office.setConfig(ini);
            office.setCredentials(QLatin1String(FirebirdServer::User), QLatin1String(FirebirdServer::Password));
        }
        if (engine == QLatin1String("postgresql")) {
            office.setCredentials(QString(), QLatin1String(PostgresCluster::Password));
        }
        // A database made before shared sets: the shell's upgrade adds the table.
        {
            QSqlQuery drop(m_engines.database(engine));
            QVERIFY2(drop.exec(QStringLiteral("DROP TABLE CONJPARAM")), qPrintable(drop.lastError().text()));
        }
        QString why;
        QVERIFY2(office.start(m_engines.location(engine), &why), qPrintable(why));
        const qint64 rows = rowsOn(office);
        QVERIFY(rows > 0);
        static qint64 onSqlite = -1;
        if (engine == QLatin1String("sqlite"))
            onSqlite = rows;
        else if (onSqlite >= 0)
            QCOMPARE(rows, onSqlite);
    }
};

QTEST_GUILESS_MAIN(TestRoutineEngines)
#include "test_routine_engines.moc"
