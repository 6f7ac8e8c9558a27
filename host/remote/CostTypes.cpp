#include "CostTypes.h"
#include "TNetConnection.h"
#include "session/ShellNotices.h"

#include <QJsonArray>
#include <QList>

namespace {
QList<int> g_numbers;

QStringList failed(TNetConnection *connection, QString cause)
{
    if (connection->ServerClosed()) {
        ShellNotices::instance().post(connection->LastError()
                                      + QStringLiteral(" Até lá, a lista de tipos de custo fica vazia."));
        return {};
    }
    if (cause.isEmpty())
        cause = QStringLiteral("sem conexão");
    while (cause.endsWith(QLatin1Char('.')))
        cause.chop(1);
    ShellNotices::instance().post(QStringLiteral("Servidor de custos %1: %2. A lista de tipos de custo ficou vazia.")
                                      .arg(connection->address(), cause));
    return {};
}

bool isOverride(char16_t c)
{
    // Embeddings, overrides and isolates: they would turn the text around.
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}
} // namespace

QString CleanCostTypeName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            out += QLatin1Char(' ');
        else if (c.category() != QChar::Other_Control && !isOverride(c.unicode()))
            out += c;
    }
    return out.simplified();
}

QStringList ListaTipoCusto(TNetConnection *connection, QObject *)
{
    g_numbers.clear();
    if (!connection)
        return {};
    if (!connection->Connected())
        return failed(connection, connection->LastCause());
    QJsonValue result;
    if (!connection->call(QStringLiteral("ListaTipoCusto"), {}, result))
        return failed(connection, connection->LastCause());
    if (!result.isArray())
        return failed(connection, QStringLiteral("a resposta não é uma lista de tipos de custo"));
    QStringList names;
    QList<int> numbers;
    for (const QJsonValue &v : result.toArray()) {
        const QJsonValue nome = v.toObject().value(QStringLiteral("nome"));
        const QJsonValue numero = v.toObject().value(QStringLiteral("numero"));
        const double n = numero.toDouble();
        // The range before the conversion: converting a value out of it is undefined.
        if (!v.isObject() || !nome.isString() || !numero.isDouble() || !(n >= INT_MIN && n <= INT_MAX)
            || n != double(int(n)))
            return failed(connection, QStringLiteral("a lista de tipos de custo veio malformada"));
        names << CleanCostTypeName(nome.toString());
        numbers << int(n);
    }
    g_numbers = numbers;
    return names;
}

int NumeroTipoCusto(int index)
{
    return index >= 0 && index < g_numbers.size() ? g_numbers.at(index) : -1;
}
