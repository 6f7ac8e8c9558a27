#include "ShellFunctions.h"
#include "LocalCache.h"
#include "ShellContext.h"
#include "core/StringFunctions.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"

QString FiliProc() { return ShellContext::instance().branch; }

QString NomeFiliProc()
{
    const QString branch = FiliProc();
    if (branch.isEmpty())
        return QString();
    return LocalCache::instance().find(QStringLiteral("FILIAL"), QStringLiteral("CDFILIAL"), branch)
        .value(QStringLiteral("NMFILIAL")).toString();
}

QDate DataProc(const QString &branch)
{
    const QString code = EmptyString(branch) ? FiliProc() : branch;
    TParams params;
    params.add(QStringLiteral("P_CDFILIAL"), TParam::DataType::String).SetAsString(code);
    SqlStatement stmt(HostDatabase::instance().database());
    stmt.exec(QStringLiteral("SELECT DTPROCESSO FROM PROCFILIAL WHERE CDFILIAL = :P_CDFILIAL"), params);
    if (stmt.next()) {
        const QVariant v = stmt.value(0);
        QDate d = v.typeId() == QMetaType::QDate ? v.toDate()
                  : v.typeId() == QMetaType::QDateTime ? v.toDateTime().date()
                                                        : QDate::fromString(v.toString().left(10), Qt::ISODate);
        if (d.isValid())
            return d;
    }
    return QDate::currentDate();
}

QString ModuFili(const QString &branch, bool flag)
{
    const QString module = ShellContext::instance().module;
    if (EmptyString(branch))
        return QStringLiteral("E0001Filial não informada para o módulo %1.").arg(module);
    QString status;
    QString message;
    bool found = false;
    if (flag) {
        TParams params;
        params.add(QStringLiteral("P_CDFILIAL")).SetAsString(branch);
        params.add(QStringLiteral("P_CDMODULO")).SetAsString(module);
        SqlStatement stmt(HostDatabase::instance().database());
        stmt.exec(QStringLiteral("SELECT IDSITUACAO, DSMENSAGEM FROM MODUFILIAL "
                                 "WHERE CDFILIAL = :P_CDFILIAL AND CDMODULO = :P_CDMODULO"),
                  params);
        if (stmt.next()) {
            found = true;
            status = stmt.value(0).toString();
            message = stmt.value(1).toString();
        }
    } else {
        for (const LocalCache::Row &row : LocalCache::instance().rows(QStringLiteral("MODUFILIAL"))) {
            if (row.value(QStringLiteral("CDFILIAL")).toString() == branch
                && row.value(QStringLiteral("CDMODULO")).toString() == module) {
                found = true;
                status = row.value(QStringLiteral("IDSITUACAO")).toString();
                message = row.value(QStringLiteral("DSMENSAGEM")).toString();
                break;
            }
        }
    }
    if (!found)
        return QStringLiteral("E0001Módulo %1 não está liberado para a filial %2.").arg(module, branch);
    if (status == QLatin1String("F") || status == QLatin1String("M"))
        return status;
    if (EmptyString(message))
        message = QStringLiteral("Módulo %1 bloqueado para a filial %2.").arg(module, branch);
    return QStringLiteral("E0002") + message;
}

QString WebURL()
{
    ShellContext &ctx = ShellContext::instance();
    if (ctx.confirmCostsServer)
        ctx.confirmCostsServer();
    return ctx.webHost;
}

int WebPort()
{
    ShellContext &ctx = ShellContext::instance();
    if (ctx.confirmCostsServer)
        ctx.confirmCostsServer();
    return ctx.webPort;
}
