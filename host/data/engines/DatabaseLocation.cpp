#include "DatabaseLocation.h"
#include "core/Errors.h"
#include "core/QuotedText.h"

#include <QStringDecoder>
#include <cctype>

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

// A user or database name of a PostgreSQL location, "%XX" decoded as UTF-8
// bytes (as libpq reads a URI); false on a "%" not followed by two hex
// digits, or on bytes that are not UTF-8.
bool percentDecoded(const QString &text, QString &out)
{
    QByteArray bytes;
    const QByteArray raw = text.toUtf8();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '%') {
            bytes += raw[i];
            continue;
        }
        if (i + 2 >= raw.size() || !std::isxdigit(uchar(raw[i + 1])) || !std::isxdigit(uchar(raw[i + 2])))
            return false;
        bytes += char(raw.mid(i + 1, 2).toInt(nullptr, 16));
        i += 2;
    }
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    out = decoder.decode(bytes);
    return !decoder.hasError() && !out.contains(QChar(0));
}

// Encodes what percentDecoded() decodes, and the characters that would end
// the name where it stands; letters, digits and "-._~" stay as they are.
QString percentEncoded(const QString &name)
{
    return QString::fromLatin1(name.toUtf8().toPercentEncoding());
}

// "[USER@]HOST[:PORT]/DATABASE" of a PostgreSQL location; false when malformed.
// The user is what comes before the last "@" of the part before the first
// "/"; a "/", "@", "?", ";", "%" or blank in a name is written "%XX".
bool readPostgres(const QString &rest, DatabaseLocation &s)
{
    const int slash = int(rest.indexOf(QLatin1Char('/')));
    if (slash <= 0)
        return false;
    QString authority = rest.left(slash);
    const int at = int(authority.lastIndexOf(QLatin1Char('@')));
    if (at >= 0) {
        if (!percentDecoded(authority.left(at), s.user) || s.user.isEmpty())
            return false;
        authority = authority.mid(at + 1);
    }
    s.port = 5432;
    const QString database = rest.mid(slash + 1);
    return readHostPort(authority, s) && !database.contains(QLatin1Char('/'))
        && !database.contains(QLatin1Char('?')) && percentDecoded(database, s.path);
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
            throw EHostError(badLocation(location).text()
                             + QStringLiteral(" No usuário e no banco, escreva %40 por @, %2F por /, %3F por ?, %3B "
                                              "por ;, %25 por % e %20 por espaço."));
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
        // Read back by parse(): names encoded as they were given.
        // Joined, not arg()-ed: the encoded names hold "%2F" and the like.
        return QStringLiteral("postgresql://") + (user.isEmpty() ? QString() : percentEncoded(user) + QLatin1Char('@'))
            + host + QLatin1Char(':') + QString::number(port) + QLatin1Char('/') + percentEncoded(path);
    }
    return QString();
}
