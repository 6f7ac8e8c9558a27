// The shell's shared data module: opens the database that the configuration
// names, with the routines its statements call, and hands it to the host
// (HostDatabase) and the shell context (branch, costs server).
//
// Opening:
//  - sqlite:PATH: PATH must be a database. The demo database (schema and
//    demo data, DemoData) is made only where it is asked for: at the default
//    location (ShellConfig::defaultDatabase) when the file is missing, or
//    with create (--create-database) when it is missing or empty. It is
//    built in PATH.part and renamed to PATH only when complete, so an
//    interrupted first run leaves no half database behind. Otherwise a
//    missing PATH (folder included) or an empty (0-byte) file throws
//    EHostError naming the path and what to do; nothing is created there.
//    PARAM, NVLSTR, INSTR (and UPPER, LOWER) are registered on the
//    connection (SqliteRoutines).
//  - firebird:PATH (embedded, no server) and firebird://HOST:PORT/PATH: the
//    file must exist unless create is set; the schema script holds PARAM,
//    NVLSTR, INSTR and ITENS_LISTA. Connection character set UTF8 (Qt's),
//    database WIN1252. A database this call made and could not fill is
//    dropped, so no half-made file stays behind.
//    FirebirdSharing::prepare() runs first: a server that accepts the
//    connection and never answers is given up after
//    FirebirdSharing::kConnectTimeoutSeconds, with a text that says so
//    (host, port, seconds waited).
//  - a database that cannot be opened, is not a database, or lacks the
//    system's tables throws EHostError with a clear text and the driver's own
//    message; nothing stays half open.
// The components adcGeral, dtbGeral and ibtGeral are children of this object
// by name, for the definitions that refer to them; all three stand for the
// one connection ConnectionName.
#pragma once

#include "DemoData.h"
#include "ShellConfig.h"
#include "data/SqlDialect.h"

#include <QObject>
#include <QSqlDatabase>

class TdtmDBGeral : public QObject {
    Q_OBJECT
public:
    static constexpr const char *ConnectionName = "dtmDBGeral";

    // The first one alive is the instance dtmDBGeral() returns until it is destroyed.
    explicit TdtmDBGeral(QObject *parent = nullptr);
    ~TdtmDBGeral() override;

    void open(const ShellConfig &config);
    void close();
    bool isOpen() const { return m_open; }
    QSqlDatabase database() const;
    SqlEngine engine() const;
    const ShellConfig &config() const { return m_config; }

    // Opens a connection of its own on a database (tests, the costs server,
    // tools), creating it as open() would (create: as --create-database);
    // sizes shape the demo data of a new one. Throws EHostError, leaving no
    // connection of that name behind.
    static QSqlDatabase openConnection(const DatabaseLocation &location, const QString &user, const QString &password,
                                       const QString &connectionName, bool create = false,
                                       const DemoData::Sizes &sizes = DemoData::Sizes());
    static void closeConnection(const QString &connectionName);
    // An empty Firebird database (no tables yet), through the client library.
    static void createFirebirdFile(const DatabaseLocation &location, const QString &user, const QString &password);
    // Drops a Firebird database (file included); false when it cannot be
    // attached or dropped. Nothing may be connected to it.
    static bool dropFirebirdFile(const DatabaseLocation &location, const QString &user, const QString &password);
    // A SQLite file with schema and demo data (built aside, then renamed;
    // its folder is made when missing). For tools and tests: no questions.
    static void createSqliteFile(const QString &path, const DemoData::Sizes &sizes = DemoData::Sizes());

private:
    ShellConfig m_config;
    bool m_open = false;
};

// The shell's data module; nullptr before the shell created it.
TdtmDBGeral *dtmDBGeral();
