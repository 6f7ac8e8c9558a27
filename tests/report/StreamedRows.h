// A run's rows collected through ReportRunner::stream, as a report run reads
// them, so that tests can check the values the layout would get.
#pragma once

#include "report/query/ReportRunner.h"

#include <QList>
#include <QVector>

struct StreamedRows {
    QStringList fields;
    QList<QVector<QVariant>> rows;
    QHash<QString, QVariant> lookups;
    TParams params; // as bound

    int fieldIndex(const QString &name) const
    {
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }

    // The layout's fields of every row of def run with params on db.
    static StreamedRows read(const ReportDefinition &def, const TParams &params, const QSqlDatabase &db)
    {
        StreamedRows out;
        out.params = ReportRunner::boundParams(def, params);
        ReportRunner::Sink sink;
        sink.begin = [&out](const QStringList &names, const QHash<QString, QVariant> &found) {
            out.fields = names;
            out.lookups = found;
        };
        sink.row = [&out](const QVector<QVariant> &row) { out.rows.append(row); };
        ReportRunner::stream(def, params, db, ReportRunner::layoutFields(def), sink);
        return out;
    }
};
