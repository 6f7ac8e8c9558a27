#include "FirebirdDialect.h"
#include "core/Errors.h"
#include "data/TextFold.h"

#include <QRegularExpression>
#include <QSqlError>

bool FirebirdDialect::has(Feature feature) const
{
    return feature == Feature::SortedScanForSparseFilters || feature == Feature::FilterNeedsTextCast
        || feature == Feature::TypedMarkersOnRetry;
}

bool FirebirdDialect::wantsTypedMarkers(const QSqlError &error) const
{
    // SQLCODE -804 "Data type unknown": a bare marker where nothing tells its type.
    return error.databaseText().contains(QLatin1String("Data type unknown"), Qt::CaseInsensitive);
}

QString FirebirdDialect::castType(const TParam *param)
{
    switch (valueType(param)) {
    case TParam::DataType::Integer: return QStringLiteral("BIGINT");
    case TParam::DataType::Float: return QStringLiteral("DOUBLE PRECISION");
    case TParam::DataType::DateTime: return QStringLiteral("TIMESTAMP");
    case TParam::DataType::Date: return QStringLiteral("DATE");
    default: break;
    }
    return QStringLiteral("VARCHAR(%1)").arg(kMaxTypedText);
}

QString FirebirdDialect::marker(const TParam *param, Markers kind) const
{
    if (kind == Markers::Plain)
        return QStringLiteral("?");
    return QStringLiteral("CAST(? AS %1)").arg(castType(param));
}

QString FirebirdDialect::typedMarker(const TParam *param) const { return marker(param, Markers::Typed); }

QString FirebirdDialect::page(const QString &ordered, bool, const QString &limit, const QString &offset) const
{
    QString s = ordered;
    return s.replace(0, 6, QStringLiteral("SELECT FIRST (:%1) SKIP (:%2)").arg(limit, offset));
}

QString FirebirdDialect::firstRows(const QString &ordered, const QString &rows) const
{
    QString s = ordered;
    return s.replace(0, 6, QStringLiteral("SELECT FIRST (:%1)").arg(rows));
}

QString FirebirdDialect::filterTerm(const QString &column, const QString &param, bool prefix, bool castToText) const
{
    // CONTAINING and STARTING WITH follow the collation and take the text as
    // it is; LIKE under WIN_PTBR is twice as slow.
    return QStringLiteral("%1 COLLATE WIN_PTBR %2 :%3")
        .arg(castToText ? QStringLiteral("CAST(Q__.%1 AS VARCHAR(8191) CHARACTER SET WIN1252)").arg(column)
                        : QStringLiteral("Q__.") + column,
             prefix ? QLatin1String("STARTING WITH") : QLatin1String("CONTAINING"), param);
}

QString FirebirdDialect::filterValue(const QString &text, bool) const { return text; }

QString FirebirdDialect::tableExistsQuery(const QString &table) const
{
    return QStringLiteral("SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = '%1'").arg(table.toUpper());
}

QString FirebirdDialect::searchIndexValue(const QString &text, const QStringList &) const
{
    const QString folded = TextFold::fold(text);
    QString pattern = QStringLiteral("%");
    for (const QChar c : folded) {
        // The table holds WIN1252 text, its columns joined by the character 1.
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0) || c.unicode() > 0xFF)
            return {};
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return folded.isEmpty() ? QString() : pattern + QLatin1Char('%');
}

QString FirebirdDialect::leadingIndexQuery(const QString &column) const
{
    return QStringLiteral("SELECT FIRST 1 1 FROM RDB$INDEX_SEGMENTS S JOIN RDB$INDICES I "
                          "ON I.RDB$INDEX_NAME = S.RDB$INDEX_NAME WHERE S.RDB$FIELD_NAME = :%1 "
                          "AND S.RDB$FIELD_POSITION = 0 AND COALESCE(I.RDB$INDEX_INACTIVE, 0) = 0 "
                          "AND COALESCE(I.RDB$INDEX_TYPE, 0) = 0")
        .arg(column);
}

void FirebirdDialect::checkText(const QString &name, const QString &text, Markers kind) const
{
    if (kind == Markers::Typed && text.size() > kMaxTypedText)
        throw EHostError(textTooLong(name, int(text.size()), kMaxTypedText, false));
}

DatabaseFailure FirebirdDialect::failure(const QSqlDatabase &db, const QSqlError &error) const
{
    DatabaseFailure f = SqlDialect::failure(db, error);
    // The client says so in these words (its messages are not translated).
    static const char *const kLoss[] = {
        "Error reading data from the connection", "Error writing data to the connection",
        "connection shutdown",                    "connection lost",
        "Unable to complete network request",     "connection rejected by remote interface",
        "database shutdown",
    };
    const QString text = error.databaseText() + QLatin1Char(' ') + error.driverText();
    for (const char *words : kLoss)
        if (text.contains(QLatin1String(words), Qt::CaseInsensitive))
            f.kind = DatabaseFailure::Kind::ConnectionLost;
    static const QRegularExpression cut(QStringLiteral("string right truncation.*expected length (\\d+), actual (\\d+)"));
    if (const auto m = cut.match(error.databaseText()); m.hasMatch()) {
        f.kind = DatabaseFailure::Kind::TextTooLong;
        f.expectedLength = m.captured(1).toInt();
        f.actualLength = m.captured(2).toInt();
    } else if (text.contains(QLatin1String("no permission for"), Qt::CaseInsensitive)) {
        f.kind = DatabaseFailure::Kind::Permission;
    } else if (text.contains(QLatin1String("Dynamic SQL Error"), Qt::CaseInsensitive)
               && f.kind == DatabaseFailure::Kind::Other) {
        f.kind = DatabaseFailure::Kind::BadStatement;
    }
    return f;
}

QString FirebirdDialect::insertRows(const QString &table, const QStringList &columns, int rows) const
{
    const QString list = columns.join(QLatin1String(", "));
    QStringList inputs, inserts;
    for (int r = 0; r < rows; ++r) {
        QStringList names;
        for (int c = 0; c < columns.size(); ++c) {
            const QString name = QStringLiteral("P%1_%2").arg(r).arg(c);
            inputs << QStringLiteral("%1 TYPE OF COLUMN %2.%3 = ?").arg(name, table, columns.at(c));
            names << QLatin1Char(':') + name;
        }
        inserts << QStringLiteral("INSERT INTO %1 (%2) VALUES (%3);").arg(table, list, names.join(QLatin1String(", ")));
    }
    return QStringLiteral("EXECUTE BLOCK (%1) AS BEGIN %2 END")
        .arg(inputs.join(QLatin1String(", ")), inserts.join(QLatin1Char(' ')));
}
