#include "DatabaseLocation.h"
#include "core/Errors.h"
#include "core/QuotedText.h"

namespace {

EHostError badLocation(const QString &location)
{
    return EHostError(QStringLiteral("Banco de dados inválido: '%1'. Use sqlite:ARQUIVO, firebird:ARQUIVO "
                                     "firebird://SERVIDOR:PORTA/ARQUIVO ou postgresql://USUARIO@SERVIDOR:PORTA/BANCO.")
                          .arg(QuotedText::clip(location)));
}

// "HOST[:PORT]" into the location; false when the port is not one.
bool readHostPort(const QString &hostPort, DatabaseLocation &s)
{
    const int colon = int(hostPort.lastIndexOf(QLatin1Char(':')));
    if (colon < 0) {
        s.host = hostPort;
        return !s.host.isEmpty();
    }
    bool ok = false;
    s.port = hostPort.mid(colon + 1).toInt(&ok);
    s.host = hostPort.left(colon);
    return ok && s.port > 0 && s.port <= 65535 && !s.host.isEmpty();
}

// "[USER@]HOST[:PORT]/DATABASE" of a PostgreSQL location; false when malformed.
bool readPostgres(const QString &rest, DatabaseLocation &s)
{
    const int slash = int(rest.indexOf(QLatin1Char('/')));
    if (slash <= 0)
        return false;
    QString authority = rest.left(slash);
    const int at = int(authority.lastIndexOf(QLatin1Char('@')));
    if (at >= 0) {
        s.user = authority.left(at);
        authority = authority.mid(at + 1);
        if (s.user.isEmpty())
            return false;
    }
    s.port = 5432;
    s.path = rest.mid(slash + 1);
    return readHostPort(authority, s) && !s.path.contains(QLatin1Char('/'));
}

} // namespace

DatabaseLocation DatabaseLocation::parse(const QString &location)
{
    DatabaseLocation s;
    const QString text = location.trimmed();
    if (text.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        s.kind = Sqlite;
        s.path = text.mid(7);
    } else if (text.startsWith(QLatin1String("firebird://"), Qt::CaseInsensitive)) {
        s.kind = FirebirdServer;
        const QString rest = text.mid(11);
        const int slash = int(rest.indexOf(QLatin1Char('/')));
        if (slash <= 0 || !readHostPort(rest.left(slash), s))
            throw badLocation(location);
        QString path = rest.mid(slash);              // starts with '/'
        if (path.startsWith(QLatin1String("//")))
            path = path.mid(1);
        else if (!path.mid(1).contains(QLatin1Char('/')))
            path = path.mid(1);                      // an alias
        s.path = path;
    } else if (text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
               || text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive)) {
        s.kind = PostgreSql;
        if (!readPostgres(text.mid(text.indexOf(QLatin1String("//")) + 2), s))
            throw badLocation(location);
    } else if (text.startsWith(QLatin1String("firebird:"), Qt::CaseInsensitive)) {
        s.kind = FirebirdEmbedded;
        s.path = text.mid(9);
    } else {
        throw badLocation(location);
    }
    if (s.path.isEmpty())
        throw badLocation(location);
    return s;
}

QString DatabaseLocation::toString() const
{
    switch (kind) {
    case Sqlite: return QStringLiteral("sqlite:") + path;
    case FirebirdEmbedded: return QStringLiteral("firebird:") + path;
    case FirebirdServer:
        // An absolute path keeps its own slash after the separating one.
        return QStringLiteral("firebird://%1:%2/%3").arg(host).arg(port).arg(path);
    case PostgreSql:
        return QStringLiteral("postgresql://%1%2:%3/%4")
            .arg(user.isEmpty() ? QString() : user + QLatin1Char('@'), host)
            .arg(port)
            .arg(path);
    }
    return QString();
}
