#include "dtmDBGeral.h"
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/engines/DatabaseEngine.h"
#include "session/LocalCache.h"
#include "session/ShellContext.h"

#include <QFileInfo>
#include <QUuid>

namespace {

TdtmDBGeral *g_instance = nullptr;

// The location the shell uses when none is given: the only one where the demo
// database is made without being asked for.
bool isDefaultLocation(const DatabaseLocation &location)
{
    const DatabaseLocation def = DatabaseLocation::parse(ShellConfig::defaultDatabase());
    return location.scheme == def.scheme && !location.isServer()
        && QFileInfo(location.path).absoluteFilePath() == QFileInfo(def.path).absoluteFilePath();
}

} // namespace

TdtmDBGeral *dtmDBGeral() { return g_instance; }

TdtmDBGeral::TdtmDBGeral(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("dtmDBGeral"));
    for (const char *name : {"adcGeral", "dtbGeral", "ibtGeral"})
        (new QObject(this))->setObjectName(QLatin1String(name));
    if (!g_instance)
        g_instance = this;
}

TdtmDBGeral::~TdtmDBGeral()
{
    close();
    if (g_instance == this)
        g_instance = nullptr;
}

void TdtmDBGeral::open(const ShellConfig &config)
{
    close();
    // One shared connection: a second data module must not take it from the first.
    if (QSqlDatabase::contains(QLatin1String(ConnectionName)))
        throw EHostError(QStringLiteral("O banco de dados do shell já está aberto por outro módulo de dados."));
    ConnectionDescription description;
    description.location = config.databaseLocation();
    description.user = config.user;
    description.password = config.password;
    description.name = QLatin1String(ConnectionName);
    description.create = config.createDatabase;
    openConnection(description);
    m_config = config;
    m_open = true;
    HostDatabase::instance().install(QLatin1String(ConnectionName));
    ShellContext &ctx = ShellContext::instance();
    ctx.branch = config.branch;
    ctx.webHost = config.costsHost;
    ctx.webPort = config.costsPort;
    ctx.costsToken = config.costsToken;
    LocalCache::instance().clear();
}

void TdtmDBGeral::close()
{
    if (!m_open)
        return;
    if (HostDatabase::instance().connectionName() == QLatin1String(ConnectionName))
        HostDatabase::instance().uninstall();
    LocalCache::instance().clear();
    closeConnection(QLatin1String(ConnectionName));
    m_open = false;
}

QSqlDatabase TdtmDBGeral::database() const
{
    if (!m_open)
        throw EHostError(QStringLiteral("O banco de dados não está aberto."));
    return QSqlDatabase::database(QLatin1String(ConnectionName), false);
}

void TdtmDBGeral::closeConnection(const QString &connectionName) { DatabaseEngine::close(connectionName); }

QSqlDatabase TdtmDBGeral::openConnection(ConnectionDescription description)
{
    if (!description.fill)
        description.fill = DemoData::filler();
    // Made unasked only where the shell looks when told nothing.
    if (isDefaultLocation(description.location) && !QFileInfo::exists(description.location.path))
        description.create = true;
    QSqlDatabase db = description.location.engine().open(description);
    // A database made before a routine was added to the schema gets it now.
    DemoData::addMissingRoutines(db);
    return db;
}

void TdtmDBGeral::createSqliteFile(const QString &path, const DemoData::Sizes &sizes)
{
    ConnectionDescription description;
    description.location = DatabaseLocation::parse(QStringLiteral("sqlite:") + path);
    description.name = QStringLiteral("dtmDBGeral-create-") + QUuid::createUuid().toString(QUuid::Id128);
    description.create = true;
    description.fill = DemoData::filler(sizes);
    description.location.engine().open(description);
    DatabaseEngine::close(description.name);
}
