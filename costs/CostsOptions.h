// Options of the costs server, from its command line, an optional INI file
// (--config) and its environment. The command line wins over the file.
//
// The INI file is read as the shell reads its own (IniFile: UTF-8, quotes,
// comments, a key given twice refused). Keys, all in section [costs]: db,
// listen, user, password, token, workers, first_request_timeout_ms,
// read_timeout_ms, idle_timeout_ms, max_clients, max_unsent_bytes; any other
// key there is refused, other sections are left to their programs.
// Environment: ISC_USER and ISC_PASSWORD (the Firebird user and password),
// COSTS_TOKEN (the token, when the file sets none): how a starting program
// hands them over without putting them on a command line that every user of
// the machine can read.
//
// Bounds, refused with a message: a token longer than
// RemoteProtocol::kMaxToken bytes (no request could carry it), and more
// workers than the open-file limit (RLIMIT_NOFILE) leaves room for beside
// max_clients connections (workersAllowed). Every value quoted in a message
// is clipped (QuotedText).
#pragma once

#include "CostsServer.h"
#include "appdata/IniFile.h"
#include "appdata/ShellConfig.h"

#include <QHash>
#include <QHostAddress>
#include <QStringList>

class QCommandLineParser;

struct CostsOptions {
    QString database;   // the option as given (sqlite:..., firebird:...)
    DatabaseLocation db;    // parsed as the shell parses it
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 0;
    QString user;
    QString password;
    QString token;      // empty: clients need none
    int workers = CostsServer::kDefaultWorkers;
    int firstRequestTimeoutMs = CostsServer::Limits().firstRequestTimeoutMs;
    int readTimeoutMs = CostsServer::Limits().readTimeoutMs;
    int idleTimeoutMs = CostsServer::Limits().idleTimeoutMs;
    int maxClients = CostsServer::Limits().maxClients;
    qint64 maxUnsentBytes = CostsServer::Limits().maxUnsentBytes;
    bool exitWithStdin = false;

    bool help = false;
    QString helpText;

    // False with error set when the options are unusable.
    bool parse(const QStringList &arguments, QString &error);
    CostsServer::Limits limits() const;
    // "HOST:PORT" -> address and port; false when malformed.
    static bool parseListen(const QString &text, QHostAddress &address, quint16 &port);
    // This process's limit of open files (soft RLIMIT_NOFILE); -1: none.
    static qint64 openFileLimit();
    // The most workers that fit in fileLimit open files (-1: no limit) beside
    // clients connections; 0 when the connections alone do not fit.
    static int workersAllowed(qint64 fileLimit, int clients);

private:
    using Values = QHash<QString, IniFile::Entry>; // [costs] entries by key
    bool readIni(const QString &file, QString &db, QString &listen, QString &error);
    bool readNumbers(const Values &values, const QString &file, QString &error);
    bool finish(const QString &db, const QString &listen, QString &error);
    bool checkBounds(QString &error) const;
};
