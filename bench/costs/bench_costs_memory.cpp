// The costs server's memory while one client pipelines requests without ever
// reading a reply: the server answers until the client's unsent replies pass
// its bound (1 MB), then cuts it off. Measured on the costs_server program
// itself (its resident set from /proc), side by side with the same server
// idle, against the limit of 64 MB. Two kinds of request: "Open", answered
// at once, and "ListaTipoCusto", each a database read on a worker.
//
// Prints, per kind: requests sent before the cut-off, seconds taken, the
// server's peak resident memory (VmHWM) and its ratio to the 64 MB limit.
#include "appdata/CostsServerProcess.h"
#include "appdata/dtmDBGeral.h"
#include "remote/RemoteProtocol.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr double kLimitMb = 64.0;

// A field of /proc/PID/status in MB ("VmRSS", "VmHWM").
double statusMb(qint64 pid, const char *field)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

struct Run {
    qint64 requests = 0;
    double seconds = 0;
    bool cutOff = false;
};

// Sends method requests without reading, until the server hangs up or
// maxSeconds pass.
Run pipeline(quint16 port, const char *method, int maxSeconds)
{
    QTcpSocket s;
    // Qt would read the replies into a buffer of its own: keep it tiny, so
    // that they stay with the system and then with the server.
    s.setReadBufferSize(1024);
    s.connectToHost(QHostAddress::LocalHost, port);
    if (!s.waitForConnected(3000))
        qFatal("cannot connect to the costs server");
    s.write(RemoteProtocol::frame(RemoteProtocol::request(0, "Vbr.rdmCustProd", "Open")));
    QByteArray chunk;
    for (int i = 0; i < 500; ++i)
        chunk += RemoteProtocol::frame(RemoteProtocol::request(i + 1, "Vbr.rdmCustProd", QLatin1String(method)));
    Run r;
    QElapsedTimer t;
    t.start();
    while (s.state() == QAbstractSocket::ConnectedState && t.elapsed() < maxSeconds * 1000) {
        // Keep the client's own buffer small: write only what the system takes.
        if (s.bytesToWrite() < 4 * chunk.size()) {
            s.write(chunk);
            r.requests += 500;
        }
        s.waitForBytesWritten(20);
    }
    r.seconds = t.elapsed() / 1000.0;
    r.cutOff = s.state() != QAbstractSocket::ConnectedState;
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("bench.sqlite"));
    DemoSizes sizes;
    sizes.costRows = 0;
    TdtmDBGeral::createSqliteFile(db, sizes);

    std::printf("%-16s %10s %8s %8s %12s %12s %10s\n", "requests", "sent", "seconds", "cut off", "idle MB",
                "peak MB", "peak/64MB");
    for (const char *method : {"Open", "ListaTipoCusto"}) {
        CostsServerProcess server;
        server.setProgram(QStringLiteral(COSTS_SERVER_PATH));
        QString why;
        if (!server.start(QStringLiteral("sqlite:") + db, {}, 10000, &why))
            qFatal("costs server: %s", qPrintable(why));
        const double idle = statusMb(server.processId(), "VmRSS");
        const Run r = pipeline(quint16(server.port()), method, 120);
        const double peak = statusMb(server.processId(), "VmHWM");
        std::printf("%-16s %10lld %8.1f %8s %12.1f %12.1f %10.2f\n", method, r.requests, r.seconds,
                    r.cutOff ? "yes" : "NO", idle, peak, peak / kLimitMb);
        server.stop();
    }
    return 0;
}
