#include "RemoteProtocol.h"
#include "core/QuotedText.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QtEndian>

namespace RemoteProtocol {

QByteArray frame(const QJsonObject &message)
{
    const QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(body.size()), out.data());
    out += body;
    return out;
}

QJsonObject request(qint64 id, const QString &object, const QString &method, const QJsonObject &params)
{
    return {{QStringLiteral("id"), id},
            {QStringLiteral("object"), object},
            {QStringLiteral("method"), method},
            {QStringLiteral("params"), params}};
}

QJsonObject okReply(qint64 id, const QJsonValue &result)
{
    return {{QStringLiteral("id"), id}, {QStringLiteral("ok"), true}, {QStringLiteral("result"), result}};
}

QJsonObject errorReply(qint64 id, const QString &code, const QString &message)
{
    return {{QStringLiteral("id"), id},
            {QStringLiteral("ok"), false},
            {QStringLiteral("error"),
             QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("message"), message}}}};
}

quint32 FrameReader::announced() const
{
    if (m_buffer.size() < 4)
        return 0;
    return qFromBigEndian<quint32>(m_buffer.constData());
}

FrameReader::Status FrameReader::next(QByteArray &body)
{
    if (m_buffer.size() < 4)
        return Incomplete;
    const quint32 len = announced();
    if (len == 0)
        return Empty;
    if (len > m_limit)
        return TooLarge;
    if (quint64(m_buffer.size()) < quint64(len) + 4)
        return Incomplete;
    body = m_buffer.mid(4, len);
    m_buffer.remove(0, qsizetype(len) + 4);
    return Ready;
}

QString clip(const QString &text) { return QuotedText::clip(text, kMaxQuoted); }

bool parseObject(const QByteArray &body, QJsonObject &out)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    out = doc.object();
    return true;
}

} // namespace RemoteProtocol
