#include "ReportAccess.h"
#include "DatabaseEngine.h"

#include <QHash>
#include <QMutex>
#include <QSqlQuery>

namespace {

struct Access {
    std::optional<ReportAccess::Login> login;
    QString warning;
};

QMutex &guard()
{
    static QMutex mutex;
    return mutex;
}

QHash<QString, Access> &known()
{
    static QHash<QString, Access> byConnection;
    return byConnection;
}

std::optional<ReportAccess::Login> storedLogin(const QSqlDatabase &db)
{
    // A database made before the report role, or one whose user may not read
    // the table, has none: reports then run as that user.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT USUARIO, SENHA FROM ACESSO_RELATORIO")) || !q.next())
        return std::nullopt;
    ReportAccess::Login login{q.value(0).toString().trimmed(), q.value(1).toString().trimmed()};
    if (login.user.isEmpty())
        return std::nullopt;
    return login;
}

} // namespace

void ReportAccess::learn(const QSqlDatabase &db, const DatabaseEngine &engine)
{
    Access access;
    access.login = storedLogin(db);
    if (!access.login) {
        const QString who = engine.privilegeOf(db);
        if (!who.isEmpty())
            access.warning = QStringLiteral("Aviso: os relatórios deste banco rodam como %1, com direitos de "
                                            "administração: a consulta de um relatório poderia alterar dados ou "
                                            "ler o que o servidor guarda. Peça ao administrador que crie o usuário "
                                            "de relatórios (db/%2/report-role.sql), para que rodem só com leitura.")
                                 .arg(who, engine.scriptFolder());
    }
    QMutexLocker lock(&guard());
    known().insert(db.connectionName(), access);
}

void ReportAccess::forget(const QString &connectionName)
{
    QMutexLocker lock(&guard());
    known().remove(connectionName);
}

std::optional<ReportAccess::Login> ReportAccess::loginFor(const QString &connectionName)
{
    QMutexLocker lock(&guard());
    return known().value(connectionName).login;
}

QString ReportAccess::warning(const QString &connectionName)
{
    QMutexLocker lock(&guard());
    return known().value(connectionName).warning;
}
