// What a report run fetched: the rows of the first query (only the fields the
// layout uses), the first row of each look-up query and the parameters.
#pragma once

#include "data/TParam.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <QVector>

struct ReportData {
    QStringList fields;               // names of the values in each row
    QList<QVector<QVariant>> rows;
    QHash<QString, QVariant> lookups; // "QUERY.FIELD" (upper case) -> value; "QUERY.FIELD*" -> every row's (ReportRunner)
    TParams params;

    int fieldIndex(const QString &name) const
    {
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
};
