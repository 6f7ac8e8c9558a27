// Test fixture: a desktop keyring of its own, as a person's session has
// one. Starts a private D-Bus session bus and GNOME Keyring's Secret Service
// on it (its keyrings in a temporary folder, unlocked with a test password)
// and points this process at that bus (DBUS_SESSION_BUS_ADDRESS), so it must
// start before the process first talks to D-Bus. Both are stopped when the
// fixture goes. Needs dbus-daemon and gnome-keyring-daemon.
#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QStandardPaths>
#include <QTemporaryDir>

class SecretService {
public:
    ~SecretService()
    {
        for (QProcess *p : {&m_keyring, &m_bus}) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
            p->waitForFinished();
        }
    }

    // False with *why set when either program is missing or does not start.
    bool start(QString *why)
    {
        const QString bus = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        const QString keyring = QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon"));
        if (bus.isEmpty() || keyring.isEmpty() || !m_home.isValid()) {
            *why = QStringLiteral("needs dbus-daemon and gnome-keyring-daemon (scripts/setup installs them)");
            return false;
        }
        // The bus, and whatever it starts on demand, live in the temporary home.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
        m_bus.setProcessEnvironment(env);
        m_bus.start(bus, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                          QStringLiteral("--print-address=1")});
        if (!m_bus.waitForReadyRead(10000)) {
            *why = QStringLiteral("dbus-daemon did not start: ") + QString::fromLocal8Bit(m_bus.readAllStandardError());
            return false;
        }
        const QByteArray address = m_bus.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(address));
        // The keyring's password on its standard input, whole before the end of it.
        QFile unlock(m_home.filePath(QStringLiteral("unlock")));
        if (!unlock.open(QIODevice::WriteOnly) || unlock.write("senha-do-chaveiro") < 0) {
            *why = QStringLiteral("cannot write ") + unlock.fileName();
            return false;
        }
        unlock.close();
        m_keyring.setProcessEnvironment(env);
        m_keyring.setStandardInputFile(unlock.fileName());
        m_keyring.start(keyring, {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                                  QStringLiteral("--components=secrets")});
        if (!m_keyring.waitForStarted(10000)) {
            *why = QStringLiteral("gnome-keyring-daemon did not start");
            return false;
        }
        // Ready once the service's name is on the bus (seconds on a busy machine).
        for (QDeadlineTimer deadline(30000); !deadline.hasExpired(); QThread::msleep(100))
            if (serviceOnTheBus())
                return true;
        *why = QStringLiteral("the Secret Service did not appear on the D-Bus session");
        return false;
    }

private:
    static bool serviceOnTheBus()
    {
        QProcess ask;
        ask.start(QStringLiteral("dbus-send"),
                  {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.freedesktop.DBus"),
                   QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                   QStringLiteral("string:org.freedesktop.secrets")});
        return ask.waitForFinished(5000) && ask.readAllStandardOutput().contains("boolean true");
    }

    QTemporaryDir m_home;
    QProcess m_bus;
    QProcess m_keyring;
};
