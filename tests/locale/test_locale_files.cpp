// The same session of the shell, and the same request to the costs server,
// under LC_ALL=C.UTF-8 and under LC_ALL=pt_BR.UTF-8 write the same bytes:
// the CSV and XLSX exports (the workbook's parts but its creation time), the
// text of the printed PDF, the saved report definition, the INI files of the
// user's settings, what the session prints, and the server's replies.
#include "appdata/dtmDBGeral.h"
#include "remote/RemoteProtocol.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QStringList kLocales = {QStringLiteral("C.UTF-8"), QStringLiteral("pt_BR.UTF-8")};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray runOutput(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return "failed: " + program.toUtf8() + " " + p.readAllStandardError();
    return p.readAllStandardOutput();
}

// What a file holds for the comparison: its bytes, the text of a PDF (its
// bytes carry the time it was made, and its pages the minute it was printed,
// which two sessions in a row may not share), the parts of a workbook but
// docProps/core.xml, the runs of the history but their times and process.
QByteArray comparable(const QString &path)
{
    if (path.endsWith(QLatin1String(".pdf"))) {
        static const QRegularExpression printedAt(QStringLiteral("\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d"));
        return QString::fromUtf8(runOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}))
            .replace(printedAt, QStringLiteral("<printed at>"))
            .toUtf8();
    }
    if (path.endsWith(QLatin1String(".xlsx")))
        return runOutput(QStringLiteral(SYSTEM_PYTHON3),
                         {QStringLiteral("-c"),
                          QStringLiteral("import sys, zipfile\n"
                                         "z = zipfile.ZipFile(sys.argv[1])\n"
                                         "for n in sorted(z.namelist()):\n"
                                         "    if n != 'docProps/core.xml':\n"
                                         "        sys.stdout.buffer.write(n.encode() + b'\\n' + z.read(n) + b'\\n')\n"),
                          path});
    if (path.endsWith(QLatin1String("historico-execucoes.sqlite")))
        return runOutput(QStringLiteral("sqlite3"),
                         {path, QStringLiteral("SELECT login, origin, screen, report, command, set_name, choices, outcome, "
                                               "reason, rows_read, files, mailed_to FROM runs ORDER BY id")});
    return readAll(path);
}

// Every file under root, by its path below root.
QMap<QString, QByteArray> filesUnder(const QString &root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        // Paths the session keeps (the folder last saved to) name its own root.
        out.insert(QDir(root).relativeFilePath(path), comparable(path).replace(root.toUtf8(), "<root>"));
    }
    return out;
}

struct Session {
    QByteArray printed;
    QMap<QString, QByteArray> files;
};
} // namespace

class TestLocaleFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_database;

    QProcessEnvironment environment(const QString &locale, const QString &home) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), locale);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/files/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/files/config"));
        return env;
    }

    Session runShell(const QString &locale)
    {
        const QString home = m_dir.filePath(locale);
        QProcess shell;
        shell.setProcessEnvironment(environment(locale, home));
        shell.start(QStringLiteral(SHELL_PROGRAM),
                    {QStringLiteral("--script"), QStringLiteral(LOCALE_TEST_DIR "/files.script"), QStringLiteral("--db"),
                     QStringLiteral("sqlite:") + m_database, QStringLiteral("--out"), home + QStringLiteral("/files/out")});
        Session s;
        if (!shell.waitForFinished(120000) || shell.exitCode() != 0) {
            s.printed = "the session failed: " + shell.readAllStandardError();
            return s;
        }
        s.printed = shell.readAllStandardOutput();
        s.files = filesUnder(home + QStringLiteral("/files"));
        return s;
    }

    // The costs server's replies to Open and ListaTipoCusto.
    QByteArray costsReplies(const QString &locale)
    {
        QProcess server;
        server.setProcessEnvironment(environment(locale, m_dir.filePath(locale)));
        server.start(QStringLiteral(COSTS_PROGRAM), {QStringLiteral("--db"), QStringLiteral("sqlite:") + m_database});
        if (!server.waitForReadyRead(20000))
            return "the server did not start";
        const QStringList listening = QString::fromUtf8(server.readLine()).split(QLatin1Char(' '));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(listening.value(2).trimmed().toUInt()));
        QByteArray replies;
        if (socket.waitForConnected(5000)) {
            int id = 0;
            for (const char *method : {"Open", "ListaTipoCusto"}) {
                socket.write(RemoteProtocol::frame(RemoteProtocol::request(++id, QStringLiteral("Vbr.rdmCustProd"),
                                                                           QString::fromLatin1(method), {})));
                replies += readReply(socket) + '\n';
            }
        }
        server.terminate();
        server.waitForFinished(5000);
        return replies;
    }

    static QByteArray readReply(QTcpSocket &socket)
    {
        RemoteProtocol::FrameReader reader{RemoteProtocol::kMaxReply};
        QByteArray body;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            reader.append(socket.readAll());
            if (reader.next(body) == RemoteProtocol::FrameReader::Ready)
                return body;
            socket.waitForReadyRead(200);
        }
        return "no reply";
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_database = m_dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(m_database);
    }

    void aSessionWritesTheSameFilesUnderEveryLocale()
    {
        const Session c = runShell(kLocales[0]);
        const Session brazil = runShell(kLocales[1]);
        QVERIFY2(!c.printed.startsWith("the session failed"), c.printed.constData());
        QVERIFY2(!brazil.printed.startsWith("the session failed"), brazil.printed.constData());
        QCOMPARE(brazil.printed, c.printed);
        // What the comparison covers: exports, the printed report, a definition, settings.
        const QStringList names = c.files.keys();
        for (const QString &pattern : {QStringLiteral("^out/export-\\d+\\.csv$"), QStringLiteral("^out/export-\\d+\\.xlsx$"),
                                       QStringLiteral("^out/print-\\d+\\.pdf$"), QStringLiteral("\\.rel$"),
                                       QStringLiteral("\\.ini$")})
            QVERIFY2(!names.filter(QRegularExpression(pattern)).isEmpty(), qPrintable(pattern + names.join(' ')));
        QCOMPARE(brazil.files.keys(), names);
        for (const QString &name : names)
            QVERIFY2(brazil.files[name] == c.files[name],
                     qPrintable(QStringLiteral("%1 differs:\n--- C.UTF-8\n%2\n--- pt_BR.UTF-8\n%3")
                                    .arg(name, QString::fromUtf8(c.files[name].left(3000)),
                                         QString::fromUtf8(brazil.files[name].left(3000)))));
        // A number with decimals went through each writer.
        QVERIFY(c.files.value(names.filter(QRegularExpression(QStringLiteral("\\.rel$"))).value(0)).contains("7.5"));
    }

    void theCostsServerAnswersTheSameUnderEveryLocale()
    {
        const QByteArray c = costsReplies(kLocales[0]);
        QVERIFY2(c.contains("\"ok\":true") && c.count('\n') == 2, c.constData());
        QCOMPARE(costsReplies(kLocales[1]), c);
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestLocaleFiles)
#include "test_locale_files.moc"
