#include "TMessages.h"
#include "ComponentRegistry.h"

REGISTER_COMPONENT(TMessages)

TMessages::TMessages(QObject *parent) : QObject(parent) {}

QString TMessages::Msg(const QString &key) const
{
    for (const QString &line : m_lines) {
        const int bar = line.indexOf(QLatin1Char('|'));
        if (bar < 0)
            continue;
        if (QStringView(line).left(bar).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(bar + 1);
    }
    return QString();
}
