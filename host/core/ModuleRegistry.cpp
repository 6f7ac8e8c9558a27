#include "ModuleRegistry.h"

#include <QHash>
#include <QTranslator>

namespace ModuleRegistry {
namespace {
QHash<QString, QTranslator *> &table()
{
    static QHash<QString, QTranslator *> t;
    return t;
}
}

void add(const QString &moduleFile, QTranslator *languageResource) { table().insert(moduleFile, languageResource); }

QTranslator *remove(const QString &moduleFile) { return table().take(moduleFile); }

QStringList modules() { return table().keys(); }
}
