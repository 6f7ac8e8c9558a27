// The shell's configuration: an INI file (IniFile), then the command-line
// options, which win over the file.
//
// INI file (every key optional; any other key is refused):
//   [database]
//   location=sqlite:/path/file.sqlite      or firebird:/path/file.fdb (embedded)
//                                      or firebird://HOST:PORT/path/file.fdb
//   user=SYSDBA                        database user and password (Firebird:
//   password=masterkey                 SYSDBA/masterkey when not given;
//                                      PostgreSQL: the location's user, the
//                                      password from PGPASSWORD or ~/.pgpass)
//   create=false                       create the database with schema and
//                                      demo data when missing (SQLite: also
//                                      when the file is empty)
//   [shell]
//   branch=0101                        working branch (FiliProc)
//   [costs]
//   host=127.0.0.1                     costs server (WebURL, WebPort);
//   port=0                             port 0: none configured
//   token=                             shared secret the costs server asks
//                                      for in "Open" (empty: none; at most
//                                      RemoteProtocol::kMaxToken bytes)
//   [mail]                             e-mail of report runs (MailDelivery):
//   host=smtp.example.gov.br           server, port (25, or 465 with tls),
//   port=587                           sender, login user (the password
//   from=merenda@example.gov.br        from MERENDA_SMTP_PASSWORD or the
//   user=planejamento                  keyring, never this file), security
//   security=starttls                  none|starttls|tls, cafile (a CA of
//   cafile=/etc/ssl/office-ca.pem      the office's own), timeout seconds
//   timeout=30                         for each answer of the server
//   [history]                          the history of report runs keeps
//   months=12                          runs of the last months and at most
//   runs=1000                          this many runs
// Options: --config FILE, --database DATABASE, --branch CODE, --db-user NAME,
// --db-password TEXT, --create-database, --costs-host HOST, --costs-port N.
// Without --config the shell reads defaultConfigFile() when there is one.
// Defaults: the demo SQLite file in the user's data folder
// (QStandardPaths::AppLocalDataLocation, "xev-demo.sqlite"), branch 0101,
// no user or password (the engine's defaults), no costs server.
// The demo database is made without asking only at the default location; any
// other location must exist unless create is set (TdtmDBGeral::open).
// Every bad file, key or value throws EConfigError naming it; the value is
// quoted clipped (QuotedText), a token never.
#pragma once

#include "data/engines/DatabaseLocation.h"
#include "remote/MailDelivery.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;

class ShellConfig {
public:
    QString database;   // location text
    QString user;       // empty: the engine's default
    QString password;
    bool createDatabase = false;
    QString branch = QStringLiteral("0101");
    QString costsHost;
    int costsPort = 0;
    QString costsToken;
    MailSettings mail;
    int historyMonths = 12;
    int historyRuns = 1000;

    ShellConfig();

    static QString defaultDatabase();
    // The file read when --config is not given: shell.ini in the user's
    // configuration folder (QStandardPaths::AppConfigLocation, on Linux
    // ~/.config/merenda/shell/shell.ini), else in the system's
    // (/etc/xdg/merenda/shell/shell.ini); empty when there is none.
    static QString defaultConfigFile();
    // Where the user's own file goes (whether it exists or not).
    static QString userConfigFile();
    // Reads every key of the INI file. Throws EConfigError when the file does
    // not exist or is not INI, a key is unknown or a value is bad.
    void readIni(const QString &path);
    // The options above, with their Portuguese descriptions.
    static QList<QCommandLineOption> options();
    // Adds the options above to a parser (the shell adds its own beside them).
    static void addOptions(QCommandLineParser &parser);
    // Reads --config first, then every other option given. Throws EConfigError.
    void applyOptions(const QCommandLineParser &parser);
    // Convenience for programs without options of their own: parses args
    // (args[0] is the program) with addOptions and applies them. Throws
    // EConfigError for an unknown option too.
    static ShellConfig fromArguments(const QStringList &args);
    // "7000" -> 7000; -1 unless a whole number from 1 (0 with allowZero) to 65535.
    static int parsePort(const QString &text, bool allowZero);

    DatabaseLocation databaseLocation() const { return DatabaseLocation::parse(database); }
};
