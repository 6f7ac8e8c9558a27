// Test fixture: a real SMTP server (smtp_server.py, aiosmtpd) on a free port
// of 127.0.0.1, optionally with a login and STARTTLS with a self-signed
// certificate made here by openssl. Every message it receives is parsed
// into folder()/N/ (message.json and the attachments' bytes). Stopped when
// the fixture goes.
#pragma once

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

class SmtpServer {
public:
    struct Options {
        QString user, password;
        bool startTls = false;
        QStringList refused;   // recipients answered with 550
    };

    ~SmtpServer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }

    // False with *why set when the server did not start.
    bool start(const Options &options, QString *why)
    {
        if (options.startTls && !makeCertificate(why))
            return false;
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        m_port = probe.serverPort();
        probe.close();
        QStringList args{QStringLiteral(SMTP_SERVER_SCRIPT), QString::number(m_port), m_dir.path()};
        if (!options.user.isEmpty())
            args << QStringLiteral("--user") << options.user << QStringLiteral("--password") << options.password;
        if (options.startTls)
            args << QStringLiteral("--starttls") << certificate() << m_dir.filePath(QStringLiteral("key.pem"));
        for (const QString &r : options.refused)
            args << QStringLiteral("--refuse") << r;
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"), args);
        if (!m_process.waitForReadyRead(20000) || !m_process.readLine().startsWith("ready")) {
            *why = QStringLiteral("smtp_server.py did not start (python3-aiosmtpd missing?)");
            return false;
        }
        return true;
    }

    quint16 port() const { return m_port; }
    QString certificate() const { return m_dir.filePath(QStringLiteral("cert.pem")); }
    // The n-th message received (from 1): its message.json; empty when none.
    QJsonObject message(int n) const
    {
        QFile f(QDir(m_dir.path()).filePath(QStringLiteral("%1/message.json").arg(n)));
        return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
    }
    QByteArray attachment(int n, const QString &name) const
    {
        QFile f(QDir(m_dir.path()).filePath(QStringLiteral("%1/%2").arg(n).arg(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    bool makeCertificate(QString *why)
    {
        QProcess openssl;
        openssl.setStandardOutputFile(QProcess::nullDevice());
        openssl.setStandardErrorFile(QProcess::nullDevice());
        openssl.start(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
             QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
             QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
             QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"), certificate()});
        const int code = openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit ? openssl.exitCode() : -1;
        if (code != 0)
            *why = QStringLiteral("openssl could not make a certificate");
        return code == 0;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};
