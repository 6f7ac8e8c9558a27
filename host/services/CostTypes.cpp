#include "CostTypes.h"
#include "TNetConnection.h"

#include <QJsonArray>
#include <QList>

namespace {
QList<int> g_numbers;
}

QStringList ListaTipoCusto(TNetConnection *connection, QObject *)
{
    g_numbers.clear();
    if (!connection || !connection->Connected())
        return {};
    QJsonValue result;
    if (!connection->call(QStringLiteral("ListaTipoCusto"), {}, result) || !result.isArray())
        return {};
    QStringList names;
    QList<int> numbers;
    for (const QJsonValue &v : result.toArray()) {
        const QJsonValue nome = v.toObject().value(QStringLiteral("nome"));
        const QJsonValue numero = v.toObject().value(QStringLiteral("numero"));
        if (!v.isObject() || !nome.isString() || !numero.isDouble())
            return {};
        const double n = numero.toDouble();
        // The range first: converting a value out of it is undefined.
        if (!(n >= INT_MIN && n <= INT_MAX) || n != double(int(n)))
            return {};
        names << nome.toString();
        numbers << int(n);
    }
    g_numbers = numbers;
    return names;
}

int NumeroTipoCusto(int index)
{
    return index >= 0 && index < g_numbers.size() ? g_numbers.at(index) : -1;
}
