// The shell's shared data module: opens the database that the configuration
// names, with the routines its statements call, and hands it to the host
// (HostDatabase) and the shell context (branch, costs server).
//
// Opening (DatabaseEngine::open, engine by engine: SqliteEngine,
// FirebirdEngine): the database must exist; the demo database (schema and
// demo data, DemoData) is made only where it is asked for: with create
// (--create-database), or at the default location (ShellConfig::
// defaultDatabase) when the file is missing. A database that cannot be
// opened, is not a database, or lacks the system's tables throws EHostError
// with a clear text and the driver's own message; nothing stays half open,
// and a database the call made but could not fill is dropped. A Firebird
// database made before ITENS_LISTA was in its schema gets it when opened.
// The components adcGeral, dtbGeral and ibtGeral are children of this object
// by name, for the definitions that refer to them; all three stand for the
// one connection ConnectionName.
#pragma once

#include "DemoData.h"
#include "ShellConfig.h"
#include "data/engines/ConnectionDescription.h"

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
    const ShellConfig &config() const { return m_config; }

    // Opens a connection of its own on a database (tests, the costs server,
    // tools) as open() would; a database made for it is filled by
    // description.fill, the demo data when none is given
    // (DemoData::filler(sizes) shapes it). Throws EHostError, leaving no
    // connection of that name behind.
    static QSqlDatabase openConnection(ConnectionDescription description);
    static void closeConnection(const QString &connectionName);
    // A SQLite file with schema and demo data (built aside, then renamed;
    // its folder is made when missing); an existing database is left as it
    // is. For tools and tests: no questions.
    static void createSqliteFile(const QString &path, const DemoData::Sizes &sizes = DemoData::Sizes());

private:
    ShellConfig m_config;
    bool m_open = false;
};

// The shell's data module; nullptr before the shell created it.
TdtmDBGeral *dtmDBGeral();
