// merenda-report on a Firebird server and on PostgreSQL: on a database made
// before shared sets (its CONJPARAM table dropped), a shared set saved by one
// person and run unattended from another home gives the same rows as on
// SQLite, and its files reach a real SMTP server on 127.0.0.1 unchanged.
#include "RoutineOffice.h"
#include "mail/SmtpServer.h"
#include "session/RunHistory.h"
#include "support/EngineDatabases.h"
#include "support/FirebirdServer.h"
#include "support/PostgresCluster.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

class TestRoutineEngines : public QObject {
    Q_OBJECT

    EngineDatabases m_engines;

    // The message the run sent: to the address asked, naming the period,
    // with every file written attached byte for byte.
    static bool delivered(const SmtpServer &smtp, const QString &out)
    {
        const QJsonObject message = smtp.message(1);
        const QStringList files = QDir(out).entryList(QDir::Files);
        bool same = !files.isEmpty() && message.value(QStringLiteral("recipients")).toVariant().toStringList()
                                            == QStringList{QStringLiteral("nutricionista@example.org")};
        for (const QString &name : files) {
            QFile f(QDir(out).filePath(name));
            same = same && f.open(QIODevice::ReadOnly) && f.readAll() == smtp.attachment(1, name);
        }
        if (!same)
            qWarning().noquote() << "message:" << QJsonDocument(message).toJson() << "files:" << files;
        return same;
    }

    // The run in the person's history, as the shell's "Relatórios recentes" lists it.
    static bool recorded(RoutineOffice &office, const QString &person)
    {
        const QString file = QStringLiteral(".local/share/merenda/shell/historico-execucoes.sqlite");
        RunHistory history(QDir(office.home(person)).filePath(file));
        const QList<RunRecord> runs = history.recent();
        const bool kept = runs.size() == 1 && runs.first().origin == QLatin1String("merenda-report")
                          && runs.first().setName == QLatin1String("Mensal Norte")
                          && runs.first().outcome == RunRecord::Outcome::Done && runs.first().files.size() == 2
                          && runs.first().mailedTo == QStringList{QStringLiteral("nutricionista@example.org")};
        if (!kept)
            qWarning() << "history:" << (runs.isEmpty() ? QString() : runs.first().searchText());
        return kept;
    }

    static qint64 rowsOn(RoutineOffice &office, const SmtpServer &smtp)
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
                                                               QStringLiteral("--out"), out,
                                                               QStringLiteral("--mail"),
                                                               QStringLiteral("nutricionista@example.org")});
        if (r.code != 0 || QDir(out).entryList(QDir::Files).size() != 2 || !delivered(smtp, out)
            || !recorded(office, QStringLiteral("bruno"))) {
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
        SmtpServer smtp;
        QString why;
        QVERIFY2(smtp.start({}, &why), qPrintable(why));
        // The office's mail server, and on Firebird the password, in a
        // configuration file only its owner reads.
        QString settings = QStringLiteral("[mail]\nhost=127.0.0.1\nport=%1\nsecurity=none\nfrom=merenda@example.org\n")
                               .arg(smtp.port());
        if (engine == QLatin1String("firebird-server")) {
            settings += QStringLiteral("[database]\nuser=%1\npassword=%2\n").arg(FirebirdServer::User, FirebirdServer::Password);
            office.setCredentials(QLatin1String(FirebirdServer::User), QLatin1String(FirebirdServer::Password));
        }
        const QString ini = QDir(office.folder()).filePath(QStringLiteral("merenda.ini"));
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(settings.toUtf8());
        f.close();
        QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        office.setConfig(ini);
        if (engine == QLatin1String("postgresql")) {
            office.setCredentials(QString(), QLatin1String(PostgresCluster::Password));
        }
        // A database made before shared sets: the shell's upgrade adds the table.
        {
            QSqlQuery drop(m_engines.database(engine));
            QVERIFY2(drop.exec(QStringLiteral("DROP TABLE CONJPARAM")), qPrintable(drop.lastError().text()));
        }
        QVERIFY2(office.start(m_engines.location(engine), &why), qPrintable(why));
        const qint64 rows = rowsOn(office, smtp);
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
