#include "ReportParseError.h"

ReportParseError::ReportParseError(const QString &file, int line, int column, const QString &message)
    : DefinitionError(QStringLiteral("Definição de relatório \"%1\", linha %2, coluna %3: %4")
                          .arg(file).arg(line).arg(column).arg(message),
                      file, line, column, message)
{
}
