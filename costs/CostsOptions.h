// Options of the costs server, from its command line and an optional INI
// file (--config). The command line wins over the file.
//
// INI keys, all in section [costs]: db, listen, user, password,
// read_timeout_ms, idle_timeout_ms, max_clients.
#pragma once

#include "appdata/ShellConfig.h"

#include <QHostAddress>
#include <QStringList>

struct CostsOptions {
    QString database;   // the option as given (sqlite:..., firebird:...)
    DatabaseLocation db;    // parsed as the shell parses it
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 0;
    QString user;
    QString password;
    int readTimeoutMs = 10000;
    int idleTimeoutMs = 300000;
    int maxClients = 256;
    bool exitWithStdin = false;

    bool help = false;
    QString helpText;

    // False with error set when the options are unusable.
    bool parse(const QStringList &arguments, QString &error);
    // "HOST:PORT" -> address and port; false when malformed.
    static bool parseListen(const QString &text, QHostAddress &address, quint16 &port);
};
