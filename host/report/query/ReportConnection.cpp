#include "ReportConnection.h"
#include "core/Errors.h"
#include "data/SqlDialect.h"
#include "data/SqliteRoutines.h"
#include "data/SqlStatement.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QUuid>
#include <ibase.h>
#include <sqlite3.h>

bool ReportConnection::canOpenAgain(const QSqlDatabase &db)
{
    if (db.driverName() != QLatin1String("QSQLITE"))
        return true;
    const QString name = db.databaseName();
    return !name.isEmpty() && name != QLatin1String(":memory:") && !name.contains(QLatin1String("mode=memory"))
        && !db.connectOptions().contains(QLatin1String("QSQLITE_OPEN_URI"));
}

ReportConnection::ReportConnection(const QString &source, bool foreignRoutines)
    : m_name(QStringLiteral("report-") + QUuid::createUuid().toString(QUuid::Id128))
{
    QSqlDatabase db = QSqlDatabase::cloneDatabase(source, m_name);
    if (!db.isValid())
        throw EHostError(QStringLiteral("Não há conexão aberta com o banco de dados para executar o relatório."));
    if (!db.open()) {
        const QString text = SqlStatement::errorText(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw EHostError(QStringLiteral("Não foi possível abrir o banco de dados para o relatório: %1").arg(text));
    }
    if (db.driverName() == QLatin1String("QSQLITE")) {
        SqliteRoutines::install(db);
        if (foreignRoutines)
            SqliteRoutines::installForeign(db);
    }
}

ReportConnection::~ReportConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase ReportConnection::database() const { return QSqlDatabase::database(m_name, false); }

std::function<void()> ReportConnection::interrupter() const
{
    const QSqlDatabase db = database();
    const QVariant handle = db.driver()->handle();
    if (db.driverName() == QLatin1String("QSQLITE") && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        sqlite3 *h = *static_cast<sqlite3 *const *>(handle.data());
        return [h] { sqlite3_interrupt(h); };
    }
    // The Firebird driver's handle is an isc_db_handle, which Qt knows as uint.
    if (db.driverName() == QLatin1String("QIBASE") && handle.metaType().sizeOf() == int(sizeof(isc_db_handle))
        && (handle.typeId() == QMetaType::UInt || qstrcmp(handle.typeName(), "isc_db_handle") == 0)) {
        isc_db_handle h = *static_cast<const isc_db_handle *>(handle.data());
        return [h]() mutable {
            ISC_STATUS_ARRAY status = {};
            fb_cancel_operation(status, &h, fb_cancel_raise);
        };
    }
    return {};
}
