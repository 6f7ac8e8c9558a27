#include "ReportParseError.h"

ReportParseError::ReportParseError(const QString &file, int line, int column, const QString &message)
    : EHostError(QStringLiteral("Definição de relatório \"%1\", linha %2, coluna %3: %4")
                     .arg(file).arg(line).arg(column).arg(message)),
      m_file(file), m_line(line), m_column(column), m_message(message)
{
}
