// Fuzzes the costs protocol's decoder (RemoteProtocol::FrameReader and
// parseObject), as both sides use it.
//
// Input: one byte choosing how the stream is cut into reads, one byte
// choosing the size limit (the server's, the client's or a small one), then
// the bytes of the stream. Checks: reading the stream in one piece and in
// random pieces gives the same frames and the same final state; every frame
// taken is non-empty, within the limit, and its header and body are exactly
// the next bytes of the stream; what is left pending is the rest of the
// stream; a body that parses as an object is framed and parsed back equal.
#include "remote/RemoteProtocol.h"

#include <QList>
#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using RemoteProtocol::FrameReader;

namespace {

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "remote_frames: %s\n", what);
        std::abort();
    }
}

struct Outcome {
    QList<QByteArray> frames;
    FrameReader::Status last = FrameReader::Incomplete;
    qsizetype pending = 0;
};

// Takes every frame ready; false once the stream is out of step.
bool drain(FrameReader &reader, Outcome &out)
{
    for (;;) {
        QByteArray body;
        out.last = reader.next(body);
        if (out.last != FrameReader::Ready)
            return out.last == FrameReader::Incomplete;
        out.frames << body;
    }
}

Outcome readInPieces(const QByteArray &stream, quint32 limit, uint8_t pieceKey)
{
    FrameReader reader(limit);
    Outcome out;
    quint32 state = pieceKey * 2654435761u + 1;
    for (qsizetype at = 0; at < stream.size();) {
        state = state * 1103515245u + 12345u;
        const qsizetype piece = qMin<qsizetype>(stream.size() - at, 1 + (state >> 16) % 23);
        reader.append(stream.mid(at, piece));
        at += piece;
        if (!drain(reader, out))
            break;
    }
    out.pending = reader.pending();
    return out;
}

void checkFrames(const Outcome &out, const QByteArray &stream, quint32 limit)
{
    qsizetype at = 0;
    for (const QByteArray &body : out.frames) {
        require(!body.isEmpty() && quint32(body.size()) <= limit, "a frame outside the limits was taken");
        require(stream.size() - at >= 4 + body.size(), "a frame longer than the stream was taken");
        require(qFromBigEndian<quint32>(stream.constData() + at) == quint32(body.size()),
                "a frame's size is not the one announced");
        require(stream.mid(at + 4, body.size()) == body, "a frame's body is not the stream's next bytes");
        at += 4 + body.size();
        QJsonObject object;
        if (!RemoteProtocol::parseObject(body, object))
            continue;
        const QByteArray again = RemoteProtocol::frame(object);
        QJsonObject back;
        require(RemoteProtocol::parseObject(again.mid(4), back) && back == object,
                "an object does not survive framing");
    }
    if (out.last == FrameReader::Incomplete)
        require(out.pending == stream.size() - at, "pending bytes are not the rest of the stream");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    static const quint32 limits[] = {RemoteProtocol::kMaxRequest, RemoteProtocol::kMaxReply, 16};
    const quint32 limit = limits[data[1] % 3];
    const QByteArray stream(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));

    FrameReader whole(limit);
    whole.append(stream);
    Outcome once;
    drain(whole, once);
    once.pending = whole.pending();
    if (whole.pending() >= 4)
        require(whole.announced() == qFromBigEndian<quint32>(stream.constData() + stream.size() - whole.pending()),
                "the announced size is not the pending frame's header");

    const Outcome pieces = readInPieces(stream, limit, data[0]);
    require(pieces.frames == once.frames, "the frames depend on how the stream is cut");
    require(pieces.last == once.last, "the final state depends on how the stream is cut");
    require(once.last != FrameReader::Incomplete || pieces.pending == once.pending,
            "the pending bytes depend on how the stream is cut");
    checkFrames(once, stream, limit);
    return 0;
}
