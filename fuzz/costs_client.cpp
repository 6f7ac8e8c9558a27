// Fuzzes the client's side of the costs protocol: TNetConnection connecting
// to a server object and the cost-type list (ListaTipoCusto) read through it.
//
// Input: a first byte, then the server's answers. With the byte odd, the
// rest holds two lines, the bodies of the answers to "Open" and to
// "ListaTipoCusto", which the harness frames; with it even, the rest is the
// raw stream, cut into the two answers where the second byte says (in 256ths).
// A thread on 127.0.0.1 plays the server:
// it sends each answer once the request it answers has come in, and the rest
// at once when an answer holds no whole frame. Checks: nothing but EHostError
// escapes; a failed connect leaves the connection off with a reason; a
// failed call gives an empty list; no crash, hang or sanitizer report.
#include "LoopbackPeer.h"
#include "core/Errors.h"
#include "remote/CostTypes.h"
#include "remote/RemoteProtocol.h"
#include "remote/TNetConnection.h"

#include <QCoreApplication>
#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

int g_listener = -1;
uint16_t g_port = 0;

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "costs_client: %s\n", what);
        std::abort();
    }
}

bool holdsFrame(const QByteArray &answer)
{
    RemoteProtocol::FrameReader reader(RemoteProtocol::kMaxReply);
    reader.append(answer);
    QByteArray body;
    return reader.next(body) == RemoteProtocol::FrameReader::Ready;
}

// The server's side of one connection: an answer per request received.
void serve(QList<QByteArray> answers)
{
    const int fd = LoopbackPeer::acceptOne(g_listener);
    if (fd < 0)
        return;
    while (!answers.isEmpty() && LoopbackPeer::readFrame(fd)) {
        const QByteArray answer = answers.takeFirst();
        LoopbackPeer::writeAll(fd, answer);
        if (!holdsFrame(answer)) {
            // The client waits for the rest of a frame: give it everything.
            LoopbackPeer::writeAll(fd, answers.join());
            break;
        }
    }
    LoopbackPeer::finish(fd);
    LoopbackPeer::closeHard(fd);
}

void runClient()
{
    TNetConnection connection;
    connection.setHost(QStringLiteral("127.0.0.1"));
    connection.setPort(g_port);
    connection.setServerName(QStringLiteral("Vbr.rdmCustProd"));
    connection.setTimeout(3000);
    try {
        connection.Open();
    } catch (const EHostError &e) {
        require(!connection.Connected(), "a failed connect left the connection on");
        require(!e.text().isEmpty() && e.text() == connection.LastError(), "a failed connect gave no reason");
        require(ListaTipoCusto(&connection).isEmpty(), "a list came through a failed connection");
        return;
    }
    const QStringList names = ListaTipoCusto(&connection);
    require(NumeroTipoCusto(int(names.size())) == -1, "a number past the end of the list");
    if (names.isEmpty())
        return;
    require(connection.Connected(), "a list came through a dropped connection");
}

QList<QByteArray> answers(const uint8_t *data, size_t size)
{
    const QByteArray rest(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    if (data[0] % 2 == 0) {
        const qsizetype cut = rest.size() * data[1] / 256;
        return {rest.left(cut), rest.mid(cut)};
    }
    QList<QByteArray> out;
    for (const QByteArray &line : (QByteArray(1, char(data[1])) + rest).split('\n').mid(0, 2)) {
        QByteArray framed(4, '\0');
        qToBigEndian<quint32>(quint32(line.size()), framed.data());
        out << framed + line;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    g_listener = LoopbackPeer::listenAny(&g_port);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    std::thread server(serve, answers(data, size));
    runClient();
    server.join();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
