// Test fixture: a demo database in a temporary folder, opened through the
// shell's data module, and the six queries of the screen's own definition.
#pragma once

#include "appdata/DemoData.h"
#include "appdata/dtmDBGeral.h"
#include "support/ScreenQueries.h"
#include "widgets/FormReader.h"
#include "widgets/TForm.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace DemoDatabase {

// Creates (demo rows, costs as sizes say) and opens a SQLite database.
inline std::unique_ptr<TdtmDBGeral> openSqlite(const QTemporaryDir &dir, const DemoSizes &sizes = DemoSizes(),
                                               const QString &file = QStringLiteral("demo.sqlite"))
{
    const QString path = dir.filePath(file);
    if (!QFileInfo::exists(path))
        TdtmDBGeral::createSqliteFile(path, sizes);
    auto dm = std::make_unique<TdtmDBGeral>();
    ShellConfig config;
    config.database = QStringLiteral("sqlite:") + path;
    config.branch = QStringLiteral("0101");
    dm->open(config);
    return dm;
}

// Small demo data: the reference rows and products, no cost rows.
inline DemoSizes small()
{
    DemoSizes s;
    s.costRows = 0;
    return s;
}

// A form holding the screen's queries and data sources.
inline std::unique_ptr<TForm> queriesForm() { return ScreenQueries::form(); }

} // namespace DemoDatabase
