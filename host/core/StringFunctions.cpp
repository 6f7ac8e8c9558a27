#include "StringFunctions.h"
#include "Errors.h"

#include <algorithm>

bool EmptyString(const QString &s)
{
    return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.isSpace(); });
}

QString AllTrim(const QString &s) { return s.trimmed(); }

QString Replicate(const QString &s, int n)
{
    if (n <= 0 || s.isEmpty())
        return QString();
    if (qint64(s.size()) * n > 100000000)
        throw EHostError(QStringLiteral("Texto longo demais para ser repetido %1 vezes.").arg(n));
    return s.repeated(n);
}

QString Ajusta(const QString &s, int n)
{
    const QString code = s.trimmed();
    if (n <= 0 || code.isEmpty() || code.size() > n)
        return s;
    const bool digits = std::all_of(code.cbegin(), code.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    return digits ? code.rightJustified(n, QLatin1Char('0')) : code.leftJustified(n, QLatin1Char(' '));
}

QString NomeSemana(const QDate &date)
{
    static const char *const names[] = {"Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado", "Domingo"};
    if (!date.isValid())
        return QString();
    return QString::fromUtf8(names[date.dayOfWeek() - 1]);
}
