#include "WorkingBranch.h"
#include "core/Errors.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace WorkingBranch {

QString nameOf(const QSqlDatabase &db, const QString &code)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = ?")))
        throw EHostError(QStringLiteral("Não foi possível ler as filiais: %1").arg(q.lastError().text()));
    q.addBindValue(code);
    if (!q.exec())
        throw EHostError(QStringLiteral("Não foi possível ler as filiais: %1").arg(q.lastError().text()));
    return q.next() ? q.value(0).toString().trimmed() : QString();
}

QString unknownText(const QString &code, const QString &database)
{
    return QStringLiteral("A filial de trabalho \"%1\" não está cadastrada no banco de dados %2. "
                          "Informe uma filial cadastrada com --branch ou em [shell] branch= no arquivo de "
                          "configuração.").arg(code, database);
}
}
