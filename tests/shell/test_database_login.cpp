// A person's database password: asked for when the server refuses the
// login, kept in the desktop's keyring with "Lembrar a senha" and taken
// from it at the next start, asked again when the saved one stops working;
// a script is never asked and never touches the keyring. Against a
// PostgreSQL cluster, a Firebird server and a keyring (GNOME Keyring's
// Secret Service on a D-Bus session) this test starts. The dialog itself: the password hidden,
// the box off when there is no keyring.
#include "shell/DatabaseLogin.h"
#include "shell/PasswordKeyring.h"
#include "shell/PasswordPrompt.h"
#include "appdata/DemoData.h"
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "support/FirebirdServer.h"
#include "support/PostgresCluster.h"
#include "support/SecretService.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

namespace {
// A person at the prompt: gives the answers queued, in order, and keeps what each prompt said.
struct Person {
    QList<std::optional<PasswordPrompt::Answer>> answers;
    QStringList reasons;
    DatabaseLogin::Prompt prompt()
    {
        return [this](const QString &reason, const QString &, bool canRemember) -> std::optional<PasswordPrompt::Answer> {
            reasons << reason + (canRemember ? QString() : QStringLiteral(" <no keyring>"));
            return answers.isEmpty() ? std::nullopt : answers.takeFirst();
        };
    }
};
} // namespace

class TestDatabaseLogin : public QObject {
    Q_OBJECT

    SecretService m_secrets;
    PostgresCluster m_cluster;
    QTemporaryDir m_home;
    QString m_skip;
    const QString m_right = QLatin1String(PostgresCluster::Password);

    ShellConfig config() const
    {
        ShellConfig c;
        c.database = m_cluster.location(QStringLiteral("demo"));
        c.branch = QString();
        return c;
    }

    // Logs in; the error text, empty when the database opened.
    static QString logIn(DatabaseLogin &login, const ShellConfig &c)
    {
        TdtmDBGeral data;
        try {
            login.open(data, c);
        } catch (const EHostError &e) {
            return e.text();
        }
        return data.isOpen() ? QString() : QStringLiteral("<not open>");
    }

private slots:
    void initTestCase()
    {
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", QFile::encodeName(m_home.filePath(QStringLiteral("none"))));
        QString why;
        if (!m_secrets.start(&why) || !m_cluster.start(&why)) {
            m_skip = why;
            return;
        }
        // The keyring takes a password once its collection is unlocked.
        DesktopKeyring keyring;
        QVERIFY(QTest::qWaitFor([&] { return keyring.save(QStringLiteral("probe"), QStringLiteral("x"), &why); }, 30000));
        DemoData::Sizes sizes;
        sizes.costRows = 0;
        ConnectionDescription d{DatabaseLocation::parse(m_cluster.location(QStringLiteral("demo"))), QString(), m_right,
                                QStringLiteral("made"), true, DemoData::filler(sizes)};
        TdtmDBGeral::openConnection(d);
        TdtmDBGeral::closeConnection(d.name);
    }

    void aPasswordTypedAndRememberedIsTakenNextTime()
    {
        if (!m_skip.isEmpty())
            QSKIP(qPrintable(m_skip));
        DesktopKeyring keyring;
        Person person;
        person.answers = {PasswordPrompt::Answer{QStringLiteral("errada"), true},
                          PasswordPrompt::Answer{m_right, true}};
        DatabaseLogin first(&keyring, person.prompt());
        QCOMPARE(logIn(first, config()), QString());
        QCOMPARE(person.reasons.size(), 2);
        for (const QString &reason : person.reasons)
            QVERIFY2(reason.contains(QStringLiteral("recusou o acesso do usuário merenda")), qPrintable(reason));
        QVERIFY(first.keyringProblem().isEmpty());
        QString error;
        QCOMPARE(keyring.read(DatabaseLogin::account(config()), &error), m_right);

        // The next start: from the keyring, no one asked.
        Person away;
        DatabaseLogin next(&keyring, away.prompt());
        QCOMPARE(logIn(next, config()), QString());
        QVERIFY2(away.reasons.isEmpty(), qPrintable(away.reasons.join(QLatin1Char('\n'))));

        // The password changed on the server: the saved one is refused, the
        // person asked, and the new one kept.
        QVERIFY(keyring.save(DatabaseLogin::account(config()), QStringLiteral("antiga"), &error));
        Person back;
        back.answers = {PasswordPrompt::Answer{m_right, true}};
        DatabaseLogin changed(&keyring, back.prompt());
        QCOMPARE(logIn(changed, config()), QString());
        QCOMPARE(back.reasons.size(), 1);
        QCOMPARE(keyring.read(DatabaseLogin::account(config()), &error), m_right);
    }

    void cancelledOrScriptedTheRefusalStands()
    {
        if (!m_skip.isEmpty())
            QSKIP(qPrintable(m_skip));
        DesktopKeyring keyring;
        QString error;
        QVERIFY(keyring.save(DatabaseLogin::account(config()), QStringLiteral("antiga"), &error));
        Person cancels; // no answer: Cancelar
        DatabaseLogin login(&keyring, cancels.prompt());
        QVERIFY2(logIn(login, config()).contains(QStringLiteral("recusou o acesso")), "cancelled");
        QCOMPARE(cancels.reasons.size(), 1);
        // A script: no keyring, no prompt; what it has is refused.
        DatabaseLogin script(nullptr, DatabaseLogin::Prompt());
        QVERIFY(logIn(script, config()).contains(QStringLiteral("PGPASSWORD ou ~/.pgpass")));
        ShellConfig given = config();
        given.password = m_right;
        QCOMPARE(logIn(script, given), QString());
        QCOMPARE(keyring.read(DatabaseLogin::account(config()), &error), QStringLiteral("antiga"));
    }

    // The same on a Firebird server: a wrong password in the configuration
    // is refused in Portuguese, and the one typed at the prompt lets in.
    void aFirebirdServerRefusalIsAskedAbout()
    {
        FirebirdServer server;
        QString why;
        if (!server.start(&why))
            QSKIP(qPrintable(why));
        ShellConfig c;
        c.database = QStringLiteral("firebird://127.0.0.1:%1/%2").arg(server.port()).arg(m_home.filePath(QStringLiteral("login.fdb")));
        c.user = QLatin1String(FirebirdServer::User);
        DemoData::Sizes sizes;
        sizes.costRows = 0;
        ConnectionDescription d{c.databaseLocation(), c.user, QLatin1String(FirebirdServer::Password),
                                QStringLiteral("made-fb"), true, DemoData::filler(sizes)};
        TdtmDBGeral::openConnection(d);
        TdtmDBGeral::closeConnection(d.name);
        c.password = QStringLiteral("errada");
        Person person;
        person.answers = {PasswordPrompt::Answer{QLatin1String(FirebirdServer::Password), false}};
        DatabaseLogin login(nullptr, person.prompt());
        QCOMPARE(logIn(login, c), QString());
        QCOMPARE(person.reasons.size(), 1);
        QVERIFY2(person.reasons[0].startsWith(QStringLiteral("O servidor Firebird em 127.0.0.1:%1 recusou o acesso do "
                                                             "usuário SYSDBA").arg(server.port())),
                 qPrintable(person.reasons[0]));
    }

    void thePromptHidesThePassword()
    {
        PasswordPrompt prompt(QStringLiteral("O servidor recusou o acesso."), QStringLiteral("ana@postgresql://h/db"), false);
        prompt.show();
        prompt.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&prompt));
        auto *password = prompt.findChild<QLineEdit *>();
        auto *remember = prompt.findChild<QCheckBox *>();
        QVERIFY(password && remember);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(remember->text(), QStringLiteral("Lembrar a senha"));
        QVERIFY(!remember->isEnabled()); // no keyring to keep it
        QTest::keyClicks(password, QStringLiteral("s3nha secreta"));
        QTest::keyClick(password, Qt::Key_Return);
        QCOMPARE(prompt.result(), int(QDialog::Accepted));
        QCOMPARE(prompt.answer().password, QStringLiteral("s3nha secreta"));
        QVERIFY(!prompt.answer().remember);
    }
};

QTEST_MAIN(TestDatabaseLogin)
#include "test_database_login.moc"
