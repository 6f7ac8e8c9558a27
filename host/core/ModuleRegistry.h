// The shell runtime's list of loaded modules, with the language resource
// each one uses (a translator beside the module file, or the module itself).
#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

namespace ModuleRegistry {
void add(const QString &moduleFile, QTranslator *languageResource);
// Forgets the module and returns its language resource (nullptr: the module itself).
QTranslator *remove(const QString &moduleFile);
QStringList modules();
}
