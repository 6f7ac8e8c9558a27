// A SQLite database, made in a test's own folder, whose XEV017 detailed
// report over 2026 (every service, products 01 to 10) prints `rows` product
// rows with office-shaped money (the benchmarks' PrintedRows data), and the
// scripted session that chooses that period and those products.
#pragma once

#include "../../bench/data/PrintedRows.h"
#include "appdata/dtmDBGeral.h"

#include <QFile>
#include <QString>

namespace LongReportDatabase {

// Makes the database at path (replacing any); throws EHostError.
inline void make(const QString &path, int rows)
{
    QFile::remove(path);
    DemoSizes sizes;
    sizes.products = rows;
    sizes.costRows = 0;
    TdtmDBGeral::createSqliteFile(path, sizes);
    const QString connection = QStringLiteral("long-report-data");
    {
        const QSqlDatabase db = TdtmDBGeral::openConnection({DatabaseLocation::parse(QStringLiteral("sqlite:") + path), QString(), QString(), connection, false});
        PrintedRows::fill(db, sizes.branch, sizes.year, 2);
    }
    TdtmDBGeral::closeConnection(connection);
}

// The screen's choices for the whole report, then the given commands.
inline QString script(const QStringList &commands)
{
    // Cost type 1 ("Custo Médio", the second of the list) is the one the rows have.
    QString s = QStringLiteral("open XEV01700\nselect cbbTipoCusto 1\n"
                               "focus depDataInic\nkey SelectAll\ntype 01012026\nkey Tab\n"
                               "focus depDataFina\nkey SelectAll\ntype 31122026\nkey Tab\n"
                               "focus medCdProdInic\ntype 01\nfocus medCdProdFina\ntype 10\n");
    for (const QString &c : commands)
        s += c + QLatin1Char('\n');
    return s;
}

} // namespace LongReportDatabase
