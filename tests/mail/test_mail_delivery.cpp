// E-mail delivery (MailDelivery) against a real SMTP server on 127.0.0.1:
// the message arrives whole, with its attachments byte for byte, over plain
// SMTP and over STARTTLS with a login; each way it can fail is named in
// Portuguese with the server's words: a refused login, a refused recipient,
// a server without STARTTLS, an untrusted certificate, a server that
// accepts the connection and never answers.
#include "SmtpServer.h"
#include "core/PasswordKeyring.h"
#include "remote/MailDelivery.h"
#include "support/SilentServer.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// A file of every byte value, as a PDF or spreadsheet holds them.
QString binaryFile(const QTemporaryDir &dir, const QString &name, int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(QRandomGenerator::global()->bounded(256));
    bytes.replace(0, 4, "%PDF");
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

MailSettings settingsFor(quint16 port, MailSettings::Security security = MailSettings::Security::None)
{
    MailSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port;
    s.from = QStringLiteral("merenda@prefeitura.example.gov.br");
    s.security = security;
    s.timeoutSeconds = 3;
    return s;
}

// The text of the EMailError send() throws; empty when it sent.
QString failureOf(const MailSettings &s, const QString &password, const MailMessage &m)
{
    try {
        MailDelivery::send(s, password, m);
    } catch (const EMailError &e) {
        return e.text();
    }
    return QString();
}

class MapKeyring : public PasswordKeyring {
public:
    QMap<QString, QString> kept;
    QString read(const QString &account, QString *) override { return kept.value(account); }
    bool save(const QString &account, const QString &password, QString *) override
    {
        kept[account] = password;
        return true;
    }
};

} // namespace

class TestMailDelivery : public QObject {
    Q_OBJECT

    QTemporaryDir m_files;
    MailMessage reportMail(const QStringList &to)
    {
        const QStringList files{binaryFile(m_files, QStringLiteral("custo-realizado-0101-2026-03.pdf"), 300000),
                                binaryFile(m_files, QStringLiteral("custo-realizado-0101-2026-03.xlsx"), 70001)};
        return MailDelivery::reportMessage(QStringLiteral("Custo Realizado Global do Período"), QStringLiteral("0101"),
                                           QStringLiteral("01/03/2026 a 31/03/2026"), files, to);
    }

private slots:
    void arrivesWithAttachmentsIntact()
    {
        SmtpServer server;
        QString why;
        QVERIFY2(server.start({}, &why), qPrintable(why));
        const QStringList to{QStringLiteral("nutricionista@escola.example.gov.br"),
                             QStringLiteral("conselho.cae@example.gov.br")};
        const MailMessage m = reportMail(to);
        QCOMPARE(failureOf(settingsFor(server.port()), QString(), m), QString());
        const QJsonObject got = server.message(1);
        QCOMPARE(got.value(QStringLiteral("recipients")).toVariant().toStringList(), to);
        QCOMPARE(got.value(QStringLiteral("subject")).toString(),
                 QStringLiteral("Custo Realizado Global do Período - filial 0101 - 01/03/2026 a 31/03/2026"));
        const QString body = got.value(QStringLiteral("body")).toString();
        QVERIFY2(body.contains(QStringLiteral("relatório \"Custo Realizado Global do Período\" da filial 0101, "
                                              "período de 01/03/2026 a 31/03/2026")), qPrintable(body));
        for (const QString &file : m.attachments)
            QVERIFY2(server.attachment(1, QFileInfo(file).fileName()) == bytesOf(file), qPrintable(file));
    }

    void startTlsWithLoginAndItsRefusal()
    {
        SmtpServer server;
        QString why;
        QVERIFY2(server.start({QStringLiteral("planejamento"), QStringLiteral("s3nh@ç"), true, {}}, &why), qPrintable(why));
        MailSettings s = settingsFor(server.port(), MailSettings::Security::StartTls);
        s.user = QStringLiteral("planejamento");
        s.caFile = server.certificate();
        const MailMessage m = reportMail({QStringLiteral("secretaria@example.gov.br")});
        QCOMPARE(failureOf(s, QStringLiteral("s3nh@ç"), m), QString());
        QCOMPARE(server.attachment(1, QStringLiteral("custo-realizado-0101-2026-03.pdf")), bytesOf(m.attachments[0]));

        const QString refused = failureOf(s, QStringLiteral("errada"), m);
        QVERIFY2(refused.contains(QStringLiteral("recusou o login do usuário \"planejamento\"")), qPrintable(refused));
        QVERIFY2(refused.contains(QStringLiteral("O servidor respondeu: \"535")), qPrintable(refused));
        QVERIFY(server.message(2).isEmpty());

        // The same server without its authority is not trusted, and nothing goes in clear.
        s.caFile.clear();
        const QString untrusted = failureOf(s, QStringLiteral("s3nh@ç"), m);
        QVERIFY2(untrusted.contains(QStringLiteral("não é confiável")), qPrintable(untrusted));
    }

    void startTlsAskedOfAServerWithoutIt()
    {
        SmtpServer server;
        QString why;
        QVERIFY2(server.start({}, &why), qPrintable(why));
        const QString text = failureOf(settingsFor(server.port(), MailSettings::Security::StartTls), QString(),
                                       reportMail({QStringLiteral("a@example.gov.br")}));
        QVERIFY2(text.contains(QStringLiteral("não oferece STARTTLS")), qPrintable(text));
        QVERIFY(server.message(1).isEmpty());
    }

    void refusedRecipientIsNamed()
    {
        SmtpServer server;
        QString why;
        QVERIFY2(server.start({{}, {}, false, {QStringLiteral("ninguem@example.gov.br")}}, &why), qPrintable(why));
        const QString text = failureOf(settingsFor(server.port()), QString(),
                                       reportMail({QStringLiteral("a@example.gov.br"), QStringLiteral("ninguem@example.gov.br")}));
        QVERIFY2(text.contains(QStringLiteral("recusou o destinatário \"ninguem@example.gov.br\"")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("550 5.1.1")), qPrintable(text));
        QVERIFY(server.message(1).isEmpty());
    }

    void silentServerIsNamedWithinTheLimit()
    {
        SilentServer silent;
        QVERIFY(silent.port() != 0);
        // Silent before the greeting, and silent in the middle of a TLS handshake.
        for (const auto security : {MailSettings::Security::None, MailSettings::Security::Tls}) {
            MailSettings s = settingsFor(silent.port(), security);
            s.timeoutSeconds = 2;
            const QString text = failureOf(s, QString(), reportMail({QStringLiteral("a@example.gov.br")}));
            QVERIFY2(text.contains(QStringLiteral("não respondeu em 2 segundos")), qPrintable(text));
        }
    }

    void unsafeAddressesAndMissingFilesSendNothing()
    {
        MailSettings s = settingsFor(1);
        MailMessage m = reportMail({QStringLiteral("a@example.gov.br>\r\nRCPT TO:<b@example.gov.br")});
        QVERIFY(failureOf(s, QString(), m).contains(QStringLiteral("não é válido")));
        m.recipients = QStringList{QStringLiteral("a@example.gov.br")};
        m.attachments << m_files.filePath(QStringLiteral("sumiu.pdf"));
        QVERIFY(failureOf(s, QString(), m).contains(QStringLiteral("sumiu.pdf\" não pode ser lido")));
    }

    void passwordFromEnvironmentThenKeyring()
    {
        MailSettings s = settingsFor(25);
        s.user = QStringLiteral("planejamento");
        MapKeyring keyring;
        qunsetenv("MERENDA_SMTP_PASSWORD");
        try {
            MailDelivery::mailPassword(s, &keyring);
            QFAIL("no password anywhere must be an error");
        } catch (const EMailError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("smtp:planejamento@127.0.0.1")), qPrintable(e.text()));
        }
        keyring.kept[s.keyringAccount()] = QStringLiteral("do-chaveiro");
        QCOMPARE(MailDelivery::mailPassword(s, &keyring), QStringLiteral("do-chaveiro"));
        qputenv("MERENDA_SMTP_PASSWORD", "do-ambiente");
        QCOMPARE(MailDelivery::mailPassword(s, &keyring), QStringLiteral("do-ambiente"));
        qunsetenv("MERENDA_SMTP_PASSWORD");
    }
};

QTEST_GUILESS_MAIN(TestMailDelivery)
#include "test_mail_delivery.moc"
