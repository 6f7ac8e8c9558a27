// The error of a report definition that cannot be read: names the file, the
// line and the column (both from 1) where reading stopped.
#pragma once

#include "toolkit/Dispatch.h"

class ReportParseError : public EHostError {
public:
    ReportParseError(const QString &file, int line, int column, const QString &message);

    QString file() const { return m_file; }
    int line() const { return m_line; }
    int column() const { return m_column; }
    QString message() const { return m_message; }

private:
    QString m_file;
    int m_line;
    int m_column;
    QString m_message;
};
