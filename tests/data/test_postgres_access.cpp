// Who reaches a PostgreSQL database, as an office names and guards it: user
// and database names with ";@/?=" and blanks written percent-encoded in
// --db, made and opened by an ordinary role; --create-database as that role
// quiet; a ~/.pgpass that others can read named in Portuguese with its fix,
// libpq's English warning never shown. Against a cluster this test starts
// on 127.0.0.1 (PostgresCluster), through the shell program where the user
// would see it.
#include "appdata/DemoData.h"
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "data/engines/DatabaseEngine.h"
#include "support/PostgresCluster.h"
#include "support/ProcessRun.h"

#include <QSqlQuery>
#include <QtTest>

namespace {
// An ordinary role (no superuser, no CREATEDB) and the database it owns.
const QString kRole = QStringLiteral("ana; maria@escola/sede?");
const QString kDatabase = QStringLiteral("merenda =@/?; 2026");
const QString kRolePassword = QStringLiteral("senha da ana");

QString identifier(const QString &name) { return QLatin1Char('"') + name + QLatin1Char('"'); }
} // namespace

class TestPostgresAccess : public QObject {
    Q_OBJECT

    PostgresCluster m_cluster;
    QTemporaryDir m_home;
    QString m_skip;

    QString location() const
    {
        return QStringLiteral("postgresql://") + QString::fromLatin1(QUrl::toPercentEncoding(kRole))
            + QStringLiteral("@127.0.0.1:") + QString::number(m_cluster.port()) + QLatin1Char('/')
            + QString::fromLatin1(QUrl::toPercentEncoding(kDatabase));
    }

    // The shell, on the role's database, running a script; env adds to a clean environment.
    ProcessRun::Result shell(const QStringList &more, const QMap<QString, QString> &env = {})
    {
        QProcessEnvironment e = ProcessRun::noDisplay(m_home.filePath(QStringLiteral("config")));
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        e.insert(QStringLiteral("LC_ALL"), QStringLiteral("pt_BR.UTF-8"));
        e.insert(QStringLiteral("HOME"), m_home.path());
        e.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
        e.remove(QStringLiteral("PGPASSWORD"));
        e.insert(QStringLiteral("PGPASSFILE"), m_home.filePath(QStringLiteral("none")));
        for (auto it = env.cbegin(); it != env.cend(); ++it)
            e.insert(it.key(), it.value());
        return ProcessRun::run(QStringLiteral(SHELL_PROGRAM),
                               QStringList{QStringLiteral("--db"), location(), QStringLiteral("--script"), QStringLiteral("-"),
                                           QStringLiteral("--out"), m_home.filePath(QStringLiteral("out"))} + more,
                               e, 180000, QStringLiteral("get lblStatusFilial\n"));
    }

#define NEEDS_CLUSTER()                                                                                                \
    do {                                                                                                               \
        if (!m_skip.isEmpty())                                                                                         \
            QSKIP(qPrintable(m_skip));                                                                                 \
    } while (false)

private slots:
    void initTestCase()
    {
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", QFile::encodeName(m_home.filePath(QStringLiteral("none"))));
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            m_skip = QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not installed");
        else if (QString why; !m_cluster.start(&why))
            m_skip = why;
        else if (m_cluster.psql(QStringLiteral("postgres"),
                                {QStringLiteral("-c"), QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2'")
                                                           .arg(identifier(kRole), kRolePassword),
                                 QStringLiteral("-c"), QStringLiteral("CREATE DATABASE %1 OWNER %2")
                                                           .arg(identifier(kDatabase), identifier(kRole))})
                 != 0)
            m_skip = QStringLiteral("could not make the role and its database");
    }

    void namesAreWrittenPercentEncoded()
    {
        const DatabaseLocation s = DatabaseLocation::parse(
            QStringLiteral("postgresql://ana%3B%20maria%40escola%2Fsede%3F@db:5433/merenda%20%3D%40%2F%3F%3B%202026"));
        QCOMPARE(s.user, kRole);
        QCOMPARE(s.path, kDatabase);
        QCOMPARE(s.host, QStringLiteral("db"));
        QCOMPARE(DatabaseLocation::parse(s.toString()).user, kRole);
        QCOMPARE(DatabaseLocation::parse(s.toString()).path, kDatabase);
        QCOMPARE(DatabaseLocation::parse(QStringLiteral("postgresql://jos%C3%A9@h/caf%C3%A9")).user, QStringLiteral("josé"));
        // A "%" not followed by two hex digits, a byte that is not UTF-8, a
        // raw "?" (a URI's query): refused, not guessed at.
        for (const char *bad : {"postgresql://ana%2@h/db", "postgresql://ana@h/db%zz", "postgresql://ana@h/db%",
                                "postgresql://ana%FF@h/db", "postgresql://ana@h/db?sslmode=disable",
                                "postgresql://ana%00@h/db"})
            QVERIFY_THROWS_EXCEPTION(EHostError, DatabaseLocation::parse(QLatin1String(bad)));
    }

    // An ordinary role makes the database's schema and data, quietly: the
    // engine's notices stay in the engine.
    void anOrdinaryRoleCreatesItQuietlyAndOpensIt()
    {
        NEEDS_CLUSTER();
        const ProcessRun::Result made = shell({QStringLiteral("--create-database"), QStringLiteral("--db-password"),
                                               kRolePassword});
        QVERIFY2(made.finished && made.code == 0, qPrintable(made.err + made.out));
        QVERIFY2(made.out.contains(QStringLiteral("Filial: 0101")), qPrintable(made.out));
        // The role may not make the report role: its reports run as the
        // tables' owner, and the session is warned of it, in one event.
        QCOMPARE(made.out.count(QLatin1String("\"event\":\"warning\"")), 1);
        QVERIFY2(made.out.contains(QStringLiteral("rodam como %1, dono das tabelas do banco").arg(kRole)), qPrintable(made.out));
        // Of the engine, not a word (Qt's offscreen plugin may say its own);
        // of the program, the warning about the password on the command line.
        QVERIFY2(!made.err.contains(QLatin1String("WARNING")) && !made.err.contains(QLatin1String("NOTICE")),
                 qPrintable(made.err.left(2000)));
        QVERIFY2(made.err.startsWith(QStringLiteral("Aviso: a senha dada em --db-password fica à vista de todos")),
                 qPrintable(made.err));
        QString owner;
        // psql reads a name with "=" as connection settings: given as one.
        QCOMPARE(m_cluster.psql(QStringLiteral("dbname='%1'").arg(kDatabase), {QStringLiteral("-Atc"), QStringLiteral("SELECT tableowner FROM pg_tables WHERE tablename = 'filial'")}, &owner), 0);
        QCOMPARE(owner.trimmed(), kRole);
    }

    // A right password in a password file that others can read: libpq
    // would pass over it with an English warning and the login would fail
    // as "wrong password"; the user reads the file's name and the fix.
    void aPasswordFileOthersCanReadIsNamed()
    {
        NEEDS_CLUSTER();
        const QString pgpass = m_home.filePath(QStringLiteral("pgpass"));
        QFile f(pgpass);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // ":" and "\" are escaped in the file; the rest is as the server knows it.
        f.write(QStringLiteral("127.0.0.1:%1:*:%2:%3\n").arg(m_cluster.port()).arg(kRole, kRolePassword).toUtf8());
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        const ProcessRun::Result loose = shell({}, {{QStringLiteral("PGPASSFILE"), pgpass}});
        QVERIFY2(loose.finished && loose.code == 1, qPrintable(loose.err + loose.out));
        QVERIFY2(loose.err.contains(QStringLiteral("o arquivo de senhas %1 pode ser lido por outros usuários").arg(pgpass))
                     && loose.err.contains(QStringLiteral("chmod 600 ") + pgpass),
                 qPrintable(loose.err));
        QVERIFY2(!loose.err.contains(QLatin1String("WARNING")) && !loose.err.contains(QLatin1String("password file")),
                 qPrintable(loose.err));
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        const ProcessRun::Result closed = shell({}, {{QStringLiteral("PGPASSFILE"), pgpass}});
        QVERIFY2(closed.finished && closed.code == 0 && !closed.err.contains(QLatin1String("WARNING")),
                 qPrintable(closed.err + closed.out));
    }
};

QTEST_GUILESS_MAIN(TestPostgresAccess)
#include "test_postgres_access.moc"
