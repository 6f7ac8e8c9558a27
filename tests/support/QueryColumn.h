// One field of every row of an open query, as text, from its first row.
#pragma once

#include "data/TADOIBQuery.h"

#include <QStringList>

inline QStringList queryColumn(TADOIBQuery *q, const char *field)
{
    QStringList out;
    for (q->First(); !q->GetEOF(); q->Next())
        out << q->FieldByName(QLatin1String(field))->AsString();
    return out;
}
