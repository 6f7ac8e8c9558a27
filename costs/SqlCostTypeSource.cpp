#include "SqlCostTypeSource.h"
#include "data/SqlStatement.h"
#include "data/engines/DatabaseEngine.h"
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

const char *const SqlCostTypeSource::kStatement =
    "SELECT NRTIPOCUSTO, NMTIPOCUSTO FROM TIPOCUSTO ORDER BY NRORDEM, NRTIPOCUSTO";

namespace {
QAtomicInt g_serial;
}

SqlCostTypeSource::SqlCostTypeSource(const DatabaseLocation &location, const QString &user, const QString &password)
    : m_location(location), m_user(user), m_password(password),
      m_connection(QStringLiteral("costs-%1").arg(g_serial.fetchAndAddRelaxed(1)))
{
}

SqlCostTypeSource::~SqlCostTypeSource() { close(); }

bool SqlCostTypeSource::open(QString &error)
{
    if (m_open)
        return true;
    if (m_location.engine().isLocalFile(m_location) && !QFileInfo(m_location.path).isFile()) {
        error = QStringLiteral("Banco de dados não encontrado: %1").arg(m_location.path);
        return false;
    }
    try {
        ConnectionDescription description;
        description.location = m_location;
        description.user = m_user;
        description.password = m_password;
        description.name = m_connection;
        TdtmDBGeral::openConnection(description);
    } catch (const EHostError &e) {
        error = e.text();
        return false;
    }
    m_open = true;
    return true;
}

void SqlCostTypeSource::close()
{
    if (!m_open)
        return;
    m_open = false;
    TdtmDBGeral::closeConnection(m_connection);
}

bool SqlCostTypeSource::read(QList<CostType> &out, QString &error)
{
    if (!open(error))
        return false;
    // Through SqlStatement: a database server that stops answering is named
    // within seconds, not waited for by the worker (and its client) for good.
    try {
        SqlStatement q(QSqlDatabase::database(m_connection, false));
        q.exec(QString::fromLatin1(kStatement));
        QList<CostType> rows;
        while (q.next())
            rows.append({q.value(0).toInt(), q.value(1).toString().trimmed()});
        out = rows;
        return true;
    } catch (const EHostError &e) {
        error = QStringLiteral("Erro ao ler os tipos de custo: %1").arg(e.text());
    }
    // The next request connects again.
    close();
    return false;
}
