// Test fixture: the demo SQLite database opened through the shell's data
// module, and the screen's search queries read from the screen's own
// definition.
#pragma once

#include "appdata/dtmDBGeral.h"
#include "support/ScreenQueries.h"
#include "widgets/TForm.h"

#include <QTemporaryDir>
#include <memory>

namespace SearchDatabase {

inline std::unique_ptr<TdtmDBGeral> open(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("demo.sqlite"));
    DemoSizes sizes;
    sizes.costRows = 0;
    TdtmDBGeral::createSqliteFile(path, sizes);
    auto dm = std::make_unique<TdtmDBGeral>();
    ShellConfig config;
    config.database = QStringLiteral("sqlite:") + path;
    dm->open(config);
    return dm;
}

inline std::unique_ptr<TForm> queries() { return ScreenQueries::form(); }

} // namespace SearchDatabase
