// The Portuguese texts of a program's command line: the help listing and
// the message for a command line that QCommandLineParser refused (its own
// texts are English). Neither needs an application object.
#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;

namespace CommandLineText {
// "Uso: PROGRAM [opções]", the description, every option with its value
// name and description, then the footer (its lines are paragraphs); all
// wrapped to 79 columns.
QString help(const QString &program, const QString &description, const QList<QCommandLineOption> &options,
             const QString &footer = QString());
// Why parser.parse(arguments) failed: an unknown option, a missing value,
// a value given to an option that takes none, or an unexpected argument.
QString parseError(const QCommandLineParser &parser, const QStringList &arguments,
                   const QList<QCommandLineOption> &options);
}
