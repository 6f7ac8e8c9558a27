#include "ComponentRegistry.h"

#include <QHash>

namespace ComponentRegistry {
namespace {
QHash<QString, Entry> &table()
{
    static QHash<QString, Entry> t;
    return t;
}
}

bool add(const QString &className, Entry entry)
{
    table().insert(className, std::move(entry));
    return true;
}

const Entry *find(const QString &className)
{
    auto it = table().constFind(className);
    return it == table().constEnd() ? nullptr : &it.value();
}

} // namespace ComponentRegistry
