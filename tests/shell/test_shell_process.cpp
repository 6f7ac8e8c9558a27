// The shell and the costs server run as processes, as an operator starts
// them: bad options and configuration values end with exit code 2 and a
// message naming the value; --help and --version need no display; a
// screenshot whose start-up shows a message ends non-zero in seconds with
// the message on standard error; an unknown working branch is refused
// before any screen opens. None of them may abort.
#include "appdata/dtmDBGeral.h"
#include "support/ProcessRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using ProcessRun::describe;
using ProcessRun::noDisplay;
using Run = ProcessRun::Result;

class TestShellProcess : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;
    QString m_configHome;

    QString write(const QString &name, const QByteArray &text)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        f.write(text);
        return path;
    }

    Run shell(const QStringList &args, QProcessEnvironment env = QProcessEnvironment(), int timeoutMs = 60000)
    {
        if (env.isEmpty())
            env = noDisplay(m_configHome);
        return ProcessRun::run(QStringLiteral(SHELL_PROGRAM), args, env, timeoutMs);
    }

    QProcessEnvironment offscreen() const
    {
        QProcessEnvironment env = noDisplay(m_configHome);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        return env;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(m_db);
        m_configHome = m_dir.filePath(QStringLiteral("config"));
    }

    void cleanup()
    {
        // Each case writes the default configuration file it needs.
        QFile::remove(m_dir.filePath(QStringLiteral("config/merenda/shell/shell.ini")));
    }

    void badValuesEndWithCodeTwo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("named");
        QTest::newRow("--costs-port abc") << QStringList{"--costs-port", "abc"} << QByteArray() << "\"abc\"";
        QTest::newRow("--costs-port 70000") << QStringList{"--costs-port", "70000"} << QByteArray() << "\"70000\"";
        QTest::newRow("--costs HOST:abc") << QStringList{"--costs", "127.0.0.1:abc"} << QByteArray() << "127.0.0.1:abc";
        QTest::newRow("--costs without port") << QStringList{"--costs", "servidor"} << QByteArray() << "servidor";
        QTest::newRow("--db") << QStringList{"--db", "postgres:x"} << QByteArray() << "postgres:x";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << QByteArray() << "--frobnicate";
        QTest::newRow("missing --script") << QStringList{"--script", "/nao/existe.script"} << QByteArray()
                                          << "/nao/existe.script";
        QTest::newRow("stray argument") << QStringList{"XEV01700"} << QByteArray() << "XEV01700";
        QTest::newRow("missing --config") << QStringList{"--config", "/nao/existe.ini"} << QByteArray()
                                          << "/nao/existe.ini";
        QTest::newRow("port in INI") << QStringList{"--config", "@ini"} << QByteArray("[costs]\nport=70000\n")
                                     << "\"70000\"";
        QTest::newRow("malformed INI") << QStringList{"--config", "@ini"} << QByteArray("[costs\nport=1\n")
                                       << "linha 1";
        QTest::newRow("unknown key") << QStringList{"--config", "@ini"} << QByteArray("[shell]\nfilial=0101\n")
                                     << "[shell] filial";
    }

    void badValuesEndWithCodeTwo()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, ini);
        QFETCH(QString, named);
        if (!ini.isEmpty())
            args.replace(args.indexOf(QStringLiteral("@ini")), write(QStringLiteral("bad.ini"), ini));
        // No display either: the value is refused before anything starts.
        const Run r = shell(QStringList{QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db} + args);
        QVERIFY2(r.finished && r.status == QProcess::NormalExit, qPrintable(describe(r)));
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(named), qPrintable(describe(r)));
        QVERIFY2(r.out.isEmpty(), qPrintable(describe(r)));
        QVERIFY2(!r.err.contains(QLatin1String("Usage")), qPrintable(describe(r)));
    }

    void helpAndVersionNeedNoDisplay()
    {
        Run r = shell({QStringLiteral("--help")});
        QVERIFY2(r.finished && r.status == QProcess::NormalExit && r.code == 0, qPrintable(describe(r)));
        QVERIFY2(r.out.startsWith(QStringLiteral("Uso: shell [opções]")), qPrintable(r.out));
        for (const char *option : {"--version", "--screenshot ARQUIVO", "--config ARQUIVO", "--branch CÓDIGO",
                                   "Códigos de saída"})
            QVERIFY2(r.out.contains(QString::fromUtf8(option)), option);
        r = shell({QStringLiteral("-h")});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith(QLatin1String("Uso:")));
        r = shell({QStringLiteral("--version")});
        QVERIFY2(r.finished && r.status == QProcess::NormalExit && r.code == 0, qPrintable(describe(r)));
        QCOMPARE(r.out, QStringLiteral("shell (Merenda Escolar) " PROJECT_VERSION_TEXT "\n"));
        QVERIFY(r.err.isEmpty());
    }

    void aPersonsRunWithoutDisplayEndsWithAMessage()
    {
        const Run r = shell({QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db});
        QVERIFY2(r.finished && r.status == QProcess::NormalExit, qPrintable(describe(r)));
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QLatin1String("DISPLAY")), qPrintable(describe(r)));
        // A display that is not there: Qt's fatal message, then exit code 1, not an abort.
        QProcessEnvironment env = noDisplay(m_configHome);
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":7391"));
        const Run gone = shell({QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db}, env);
        QVERIFY2(gone.finished && gone.status == QProcess::NormalExit && gone.code == 1, qPrintable(describe(gone)));
        QVERIFY2(gone.err.contains(QStringLiteral("A interface gráfica não pôde ser iniciada")), qPrintable(describe(gone)));
    }

    void theDefaultConfigurationFileIsRead()
    {
        const QString path = write(QStringLiteral("config/merenda/shell/shell.ini"), "[costs]\nporta=7000\n");
        Run r = shell({QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(path) && r.err.contains(QLatin1String("[costs] porta")), qPrintable(describe(r)));
        // With --config the default file is not read.
        const QString other = write(QStringLiteral("other.ini"), "[costs]\nport=abc\n");
        r = shell({QStringLiteral("--config"), other});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(other) && !r.err.contains(path), qPrintable(describe(r)));
        // A branch from the default file reaches the start-up check.
        write(QStringLiteral("config/merenda/shell/shell.ini"), "[shell]\nbranch=QQQQ\n");
        r = shell({QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db, QStringLiteral("--screenshot"),
                   m_dir.filePath(QStringLiteral("default.png"))}, offscreen());
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QLatin1String("\"QQQQ\"")), qPrintable(describe(r)));
    }

    void aScreenshotAfterAStartUpMessageEndsInSeconds()
    {
        const QString picture = m_dir.filePath(QStringLiteral("refused.png"));
        // No display at all: a screenshot needs none.
        const Run r = shell({QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db, QStringLiteral("--branch"),
                             QStringLiteral("0301"), QStringLiteral("--open"), QStringLiteral("XEV01700"),
                             QStringLiteral("--screenshot"), picture},
                            noDisplay(m_configHome), 10000);
        QVERIFY2(r.finished, qPrintable(describe(r)));
        QVERIFY2(r.status == QProcess::NormalExit && r.code != 0, qPrintable(describe(r)));
        QVERIFY2(r.err.contains(QStringLiteral("Módulo de merenda bloqueado para a Central de Merenda Leste: "
                                               "contrato de fornecimento suspenso.")),
                 qPrintable(describe(r)));
        // Without a message the same run succeeds.
        const Run fine = shell({QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db, QStringLiteral("--open"),
                                QStringLiteral("XEV01700"), QStringLiteral("--screenshot"), picture},
                               noDisplay(m_configHome), 10000);
        QVERIFY2(fine.finished && fine.code == 0, qPrintable(describe(fine)));
        QVERIFY(QFileInfo(picture).size() > 0);
        // A module that is not there is a start-up message too.
        const Run missing = shell({QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db, QStringLiteral("--open"),
                                   QStringLiteral("NADA"), QStringLiteral("--screenshot"), picture},
                                  noDisplay(m_configHome), 10000);
        QVERIFY2(missing.finished && missing.status == QProcess::NormalExit && missing.code == 1,
                 qPrintable(describe(missing)));
        QVERIFY2(missing.err.contains(QStringLiteral("O módulo NADA não foi encontrado")), qPrintable(describe(missing)));
    }

    void anUnknownBranchIsRefusedBeforeAnyScreen()
    {
        const QString picture = m_dir.filePath(QStringLiteral("unknown.png"));
        Run r = shell({QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db, QStringLiteral("--branch"),
                       QStringLiteral("ZZZZ"), QStringLiteral("--open"), QStringLiteral("XEV01700"),
                       QStringLiteral("--screenshot"), picture}, offscreen(), 10000);
        QVERIFY2(r.finished && r.status == QProcess::NormalExit, qPrintable(describe(r)));
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QLatin1String("\"ZZZZ\"")), qPrintable(describe(r)));
        // Only the refusal: the screen never said a branch is not linked to a central.
        QVERIFY2(!r.err.contains(QLatin1String("central")), qPrintable(describe(r)));
        QVERIFY(!QFileInfo::exists(picture));

        const QString script = write(QStringLiteral("open.script"), "open XEV01700\nget medCentral\n");
        r = shell({QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db, QStringLiteral("--branch"),
                   QStringLiteral("ZZZZ"), QStringLiteral("--script"), script}, offscreen());
        QCOMPARE(r.code, 2);
        QVERIFY2(r.out.isEmpty(), qPrintable(describe(r)));
        QVERIFY2(r.err.contains(QLatin1String("\"ZZZZ\"")), qPrintable(describe(r)));
    }

    void theCostsServerRefusesBadOptionsWithCodeTwo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named");
        QTest::newRow("port abc") << QStringList{"--listen", "127.0.0.1:abc"} << "127.0.0.1:abc";
        QTest::newRow("port 70000") << QStringList{"--listen", "127.0.0.1:70000"} << "127.0.0.1:70000";
        QTest::newRow("missing --config") << QStringList{"--config", "/nao/existe.ini"} << "/nao/existe.ini";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << "frobnicate";
    }

    void theCostsServerRefusesBadOptionsWithCodeTwo()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        const Run r = ProcessRun::run(QStringLiteral(COSTS_PROGRAM), args << QStringLiteral("--db") << QStringLiteral("sqlite:") + m_db,
                          noDisplay(m_configHome));
        QVERIFY2(r.finished && r.status == QProcess::NormalExit, qPrintable(describe(r)));
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(named), qPrintable(describe(r)));
    }

    void theCostsServerHelpNeedsNoDisplay()
    {
        const Run r = ProcessRun::run(QStringLiteral(COSTS_PROGRAM), {QStringLiteral("--help")}, noDisplay(m_configHome));
        QVERIFY2(r.finished && r.status == QProcess::NormalExit && r.code == 0, qPrintable(describe(r)));
        QVERIFY(r.out.contains(QLatin1String("--listen")));
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestShellProcess)
#include "test_shell_process.moc"
