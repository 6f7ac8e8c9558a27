// Test fixture of the monthly routine: people (each a HOME of their own,
// optionally another login) running scripted sessions of the shell and
// merenda-report as processes on one database, with one costs server.
#pragma once

#include "support/ProcessRun.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QTemporaryDir>

class CostsServerProcess;

class RoutineOffice {
public:
    RoutineOffice();
    ~RoutineOffice();

    // Starts the costs server on location (the database's location text);
    // false with *why when it cannot.
    bool start(const QString &location, QString *why);
    QString folder() const { return m_dir.path(); }
    // A person's HOME (made on first use, open to every login).
    QString home(const QString &person);
    // Extra environment of every run (PGPASSWORD; an empty value removes
    // the variable) and a --config file.
    void setEnvironment(const QString &name, const QString &value) { m_extra.insert(name, value); }
    void setConfig(const QString &file) { m_config = file; }
    // The database login the costs server uses (before start()).
    void setCredentials(const QString &user, const QString &password) { m_user = user; m_password = password; }
    // Runs a scripted session as person; asLogin runs it under that login
    // (setpriv) instead of the test's.
    ProcessRun::Result session(const QString &person, const QString &script, const QString &asLogin = QString());
    // The texts of the message events of a session's output.
    static QStringList messages(const QString &out);
    // The value events of a session's output, by control.
    static QList<QPair<QString, QString>> values(const QString &out);
    // Runs merenda-report as person with args (--db and --costs added).
    ProcessRun::Result report(const QString &person, const QStringList &args);
    // Its JSON line; empty when there is none.
    static QJsonObject summary(const ProcessRun::Result &r);

private:
    QProcessEnvironment environment(const QString &person);
    QStringList common() const;

    QTemporaryDir m_dir;
    QString m_location, m_costs, m_config, m_user, m_password;
    QProcessEnvironment m_extra;
    CostsServerProcess *m_server = nullptr;
};
