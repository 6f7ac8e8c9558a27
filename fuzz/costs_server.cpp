// Fuzzes the server's side of the costs protocol: CostsServer and its
// client sessions reading what a client sends.
//
// Input: a first byte, then what one client sends on one connection: with
// the byte odd, lines that the harness frames one by one (the bodies of
// requests); with it even, the raw stream. Checks: the server
// answers every whole frame exactly once with the request's id (0 when it has
// none), plus one last answer to a frame that is empty or over the limit;
// every answer is a whole frame within the reply limit holding a reply
// object ("ok" and a "result", or an "error" with code and message); once the
// client goes, its session ends; no crash, hang or sanitizer report.
#include "CostsServer.h"
#include "CostTypeSource.h"
#include "LoopbackPeer.h"
#include "remote/RemoteProtocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonObject>
#include <QHostAddress>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>

using RemoteProtocol::FrameReader;

namespace {

class FixedCostTypes : public CostTypeSource {
public:
    bool read(QList<CostType> &out, QString &) override
    {
        out = {{1, QStringLiteral("Gêneros")}, {2, QStringLiteral("Mão de obra")}, {7, QStringLiteral("Gás")}};
        return true;
    }
};

CostsServer *g_server = nullptr;
int g_accepted = 0; // connections the server has taken on so far

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "costs_server: %s\n", what);
        std::abort();
    }
}

// The ids the answers must carry, in order, as the server reads the stream.
QList<qint64> expectedIds(const QByteArray &stream)
{
    FrameReader reader(RemoteProtocol::kMaxRequest);
    reader.append(stream);
    QList<qint64> ids;
    for (;;) {
        QByteArray body;
        const auto status = reader.next(body);
        if (status == FrameReader::Incomplete)
            return ids;
        QJsonObject request;
        const bool object = status == FrameReader::Ready && RemoteProtocol::parseObject(body, request);
        const QJsonValue id = request.value(QStringLiteral("id"));
        ids << (object && id.isDouble() ? id.toInteger(0) : 0);
        if (status != FrameReader::Ready)
            return ids;
    }
}

qint64 checkReply(const QByteArray &body)
{
    QJsonObject reply;
    require(RemoteProtocol::parseObject(body, reply), "an answer is not a JSON object");
    require(reply.value(QStringLiteral("id")).isDouble(), "an answer has no id");
    const QJsonValue ok = reply.value(QStringLiteral("ok"));
    require(ok.isBool(), "an answer has no \"ok\"");
    if (ok.toBool()) {
        require(reply.contains(QStringLiteral("result")), "a good answer has no result");
    } else {
        const QJsonObject error = reply.value(QStringLiteral("error")).toObject();
        require(error.value(QStringLiteral("code")).isString() && error.value(QStringLiteral("message")).isString(),
                "an error answer has no code and message");
    }
    return reply.value(QStringLiteral("id")).toInteger(-1);
}

// Sends the stream while the server runs, and collects the answers until
// there are `wanted` of them or the server closes.
QList<qint64> exchange(int fd, const QByteArray &stream, qsizetype wanted)
{
    FrameReader answers(RemoteProtocol::kMaxReply);
    QList<qint64> ids;
    QByteArray received;
    qsizetype sent = 0;
    const QDeadlineTimer deadline(10000);
    while (ids.size() < wanted) {
        if (sent < stream.size()) {
            const ssize_t n = ::send(fd, stream.constData() + sent, size_t(stream.size() - sent),
                                     MSG_DONTWAIT | MSG_NOSIGNAL);
            sent += n > 0 ? n : 0;
        }
        QCoreApplication::processEvents();
        const bool open = LoopbackPeer::readSome(fd, received, 1);
        answers.append(std::exchange(received, {}));
        QByteArray body;
        FrameReader::Status status;
        while ((status = answers.next(body)) == FrameReader::Ready)
            ids << checkReply(body);
        require(status == FrameReader::Incomplete, "an answer's frame is empty or over the limit");
        if (!open)
            break;
        require(!deadline.hasExpired(), "the server neither answered nor closed within 10 s");
    }
    return ids;
}

QByteArray clientStream(const uint8_t *data, size_t size)
{
    const QByteArray rest(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    if (data[0] % 2 == 0)
        return rest;
    QByteArray out;
    for (const QByteArray &line : rest.split('\n')) {
        QByteArray framed(4, '\0');
        qToBigEndian<quint32>(quint32(line.size()), framed.data());
        out += framed + line;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    g_server = new CostsServer(std::make_unique<FixedCostTypes>(), &app);
    QString error;
    require(g_server->listen(QHostAddress::LocalHost, 0, &error), "the server cannot listen on 127.0.0.1");
    QObject::connect(g_server, &CostsServer::clientCountChanged, [](int count) {
        static int last = 0;
        g_accepted += count > last ? count - last : 0;
        last = count;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray stream = clientStream(data, size);
    QList<qint64> wanted = expectedIds(stream);
    const int acceptedBefore = g_accepted;
    const int fd = LoopbackPeer::connectTo(g_server->port());
    QList<qint64> got = exchange(fd, stream, wanted.size());
    LoopbackPeer::closeHard(fd);
    std::sort(wanted.begin(), wanted.end());
    std::sort(got.begin(), got.end());
    require(got == wanted, "the answers do not match the requests one for one");

    const QDeadlineTimer deadline(10000);
    while (g_accepted == acceptedBefore || g_server->clientCount() > 0) {
        require(!deadline.hasExpired(), "a session outlived its client by 10 s");
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
