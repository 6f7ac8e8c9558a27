// The SMTP password a person keeps in the desktop's keyring (a GNOME Keyring
// of the test's own, on a private D-Bus) reaches a server that asks for a
// login; the environment's wins over it; with neither, the message names
// the keyring's account to fill.
#include "SmtpServer.h"
#include "remote/MailDelivery.h"
#include "shell/PasswordKeyring.h"
#include "support/SecretService.h"

#include <QtTest>

class TestMailKeyring : public QObject {
    Q_OBJECT
    SecretService m_secrets;
    QString m_skip;
    QTemporaryDir m_files;

private slots:
    void initTestCase()
    {
        qunsetenv("MERENDA_SMTP_PASSWORD");
        if (!m_secrets.start(&m_skip))
            return;
        DesktopKeyring keyring;
        QString why;
        QVERIFY(QTest::qWaitFor([&] { return keyring.save(QStringLiteral("probe"), QStringLiteral("x"), &why); }, 30000));
    }

    void thePasswordOfTheKeyringLogsIn()
    {
        if (!m_skip.isEmpty())
            QSKIP(qPrintable(m_skip));
        SmtpServer server;
        QString why;
        QVERIFY2(server.start({QStringLiteral("planejamento"), QStringLiteral("Conceição 2026"), true, {}}, &why),
                 qPrintable(why));
        MailSettings s;
        s.host = QStringLiteral("127.0.0.1");
        s.port = server.port();
        s.from = QStringLiteral("merenda@example.gov.br");
        s.user = QStringLiteral("planejamento");
        s.caFile = server.certificate();
        DesktopKeyring keyring;
        try {
            MailDelivery::mailPassword(s, &keyring);
            QFAIL("an empty keyring must be named");
        } catch (const EMailError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("conta \"smtp:planejamento@127.0.0.1\"")), qPrintable(e.text()));
        }
        QVERIFY(keyring.save(s.keyringAccount(), QStringLiteral("Conceição 2026"), &why));
        QFile file(m_files.filePath(QStringLiteral("custo.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Filial;Valor\r\n0101;1.234,56\r\n");
        file.close();
        MailDelivery::send(s, MailDelivery::mailPassword(s, &keyring),
                           MailDelivery::reportMessage(QStringLiteral("Custo"), QStringLiteral("0101"),
                                                       QStringLiteral("03/2026"), {file.fileName()},
                                                       {QStringLiteral("cae@example.gov.br")}));
        QCOMPARE(server.attachment(1, QStringLiteral("custo.csv")), QByteArray("Filial;Valor\r\n0101;1.234,56\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestMailKeyring)
#include "test_mail_keyring.moc"
