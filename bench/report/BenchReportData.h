// What the report benchmarks share: the report they run and the folder where
// their databases are made once and kept ($BENCH_REPORT_DIR, default /tmp).
#pragma once

#include <QDir>
#include <QString>

namespace BenchReportData {

inline const QString kCode = QStringLiteral("XEV017");

inline QString dataDir()
{
    const QString d = qEnvironmentVariable("BENCH_REPORT_DIR", QStringLiteral("/tmp"));
    QDir().mkpath(d);
    return d;
}

} // namespace BenchReportData
