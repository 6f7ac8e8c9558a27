#include "SuiteServers.h"

#include <QFileInfo>
#include <QSettings>

namespace SuiteServers {

std::optional<Server> find(const QString &kind)
{
    const QString path = qEnvironmentVariable(Variable);
    if (path.isEmpty())
        return std::nullopt;
    Server server;
    if (!QFileInfo(path).isReadable()) {
        server.error = QStringLiteral("the suite's servers are described in %1, which cannot be read: "
                                      "run the test through ctest, or unset %2 to start servers of its own")
                           .arg(path, QLatin1String(Variable));
        return server;
    }
    QSettings description(path, QSettings::IniFormat);
    description.beginGroup(kind);
    server.port = description.value(QStringLiteral("port")).toInt();
    server.error = description.value(QStringLiteral("error")).toString();
    if (server.port <= 0 && server.error.isEmpty())
        server.error = QStringLiteral("%1 names no %2 server").arg(path, kind);
    return server;
}

bool write(const QString &path, const Server &firebird, const Server &postgres)
{
    QSettings description(path, QSettings::IniFormat);
    description.clear();
    const auto put = [&](const QString &kind, const Server &s) {
        description.beginGroup(kind);
        if (s.error.isEmpty())
            description.setValue(QStringLiteral("port"), s.port);
        else
            description.setValue(QStringLiteral("error"), s.error);
        description.endGroup();
    };
    put(QStringLiteral("firebird"), firebird);
    put(QStringLiteral("postgresql"), postgres);
    description.sync();
    return description.status() == QSettings::NoError;
}

} // namespace SuiteServers
