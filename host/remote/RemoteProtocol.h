// Wire format between TNetConnection and the costs server (costs/).
//
// Framing: every message is a 4-byte unsigned big-endian length N followed
// by N bytes of UTF-8 JSON holding one object. N = 0 is malformed.
// Limits: a request may hold at most kMaxRequest bytes, a reply at most
// kMaxReply. A frame that announces more is refused before its body is read:
// the server answers "too-large" and closes the connection; the client fails
// the call and drops the connection (the stream can no longer be trusted).
//
// Request:  {"id": 7, "object": "Vbr.rdmCustProd", "method": "ListaTipoCusto", "params": {}}
// Reply:    {"id": 7, "ok": true, "result": ...}
//       or  {"id": 7, "ok": false, "error": {"code": "...", "message": "..."}}
// A reply carries the id of its request (0 when the request had none).
// Error codes: "bad-request" (not a JSON object, fields missing or of the
// wrong kind), "too-large", "unknown-object", "unknown-method",
// "unauthorized" (the server asks for a token and the client did not give the
// right one; after repeated wrong ones from an address, the server answers
// that address's next attempts only after a growing wait), "server-error" (the database could not be read; the message
// says why). An error message quotes at most kMaxQuoted characters of what
// the client sent (clip).
//
// Methods every server object answers:
//   "Open"  params {} or {"token": "..."} -> result {"object": <its name>}.
//           The client's connect step: an unknown object name is refused
//           here, so a connection is only ever "connected" to an object that
//           exists. A server with a token refuses "Open" without it (and
//           every other method before a good "Open") with "unauthorized",
//           then closes the connection.
// Objects and their own methods are listed by the server (costs/CostsServer.h).
//
// Timeouts and bounds: the server drops a connection that sends no whole
// request within its first-request timeout (10 s by default) of connecting,
// one whose frame does not arrive whole within its read timeout (10 s) from
// its first byte, one that stays idle longer than its idle timeout (5 min),
// and one that does not read its replies once more than its unsent bound
// (1 MB) waits for it. The client bounds connecting and every call by
// TNetConnection::Timeout.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

namespace RemoteProtocol {

constexpr quint32 kMaxRequest = 64 * 1024;
constexpr quint32 kMaxReply = 1024 * 1024;
constexpr int kMaxQuoted = 100;
// The longest token (in UTF-8 bytes) a server may ask for and a client may
// be configured with: one that fits a request with room to spare.
constexpr int kMaxToken = 4096;

// text as an error message may quote it: at most kMaxQuoted characters
// ("…" in place of the rest), control characters escaped (QuotedText).
QString clip(const QString &text);

// One message, framed.
QByteArray frame(const QJsonObject &message);

QJsonObject request(qint64 id, const QString &object, const QString &method,
                    const QJsonObject &params = {});
QJsonObject okReply(qint64 id, const QJsonValue &result);
QJsonObject errorReply(qint64 id, const QString &code, const QString &message);

// Reassembles frames from the bytes of a stream.
class FrameReader {
public:
    enum Status { Incomplete, Ready, TooLarge, Empty };

    explicit FrameReader(quint32 limit) : m_limit(limit) {}
    void append(const QByteArray &bytes) { m_buffer += bytes; }
    // Takes the next whole frame into body (Ready). TooLarge and Empty are
    // final: the stream is out of step from then on.
    Status next(QByteArray &body);
    // Bytes held of a frame not yet complete.
    qsizetype pending() const { return m_buffer.size(); }
    // The length announced by the frame in progress, 0 when not yet known.
    quint32 announced() const;

private:
    quint32 m_limit;
    QByteArray m_buffer;
};

// Parses a frame body into a JSON object; false when it is not one.
bool parseObject(const QByteArray &body, QJsonObject &out);

} // namespace RemoteProtocol
