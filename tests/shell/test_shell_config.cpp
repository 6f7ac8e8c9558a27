// The shell's configuration file and options: what is read, and the
// message for every kind of bad file, key and value (it names the value,
// the key, the file and the line).
#include "appdata/CommandLineText.h"
#include "appdata/EConfigError.h"
#include "appdata/IniFile.h"
#include "appdata/ShellConfig.h"

#include <QCommandLineParser>
#include <QTemporaryDir>
#include <QTest>

class TestShellConfig : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString write(const QByteArray &text)
    {
        const QString path = m_dir.filePath(QStringLiteral("c%1.ini").arg(++m_files));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        f.write(text);
        // Only its owner may read it: it may hold a password.
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    // The text of the error reading the file, empty when there is none.
    static QString errorOf(const QString &path)
    {
        try {
            ShellConfig c;
            c.readIni(path);
        } catch (const EConfigError &e) {
            return e.text();
        }
        return QString();
    }

    static QString errorOfArguments(const QStringList &args)
    {
        try {
            ShellConfig::fromArguments(QStringList{QStringLiteral("shell")} + args);
        } catch (const EConfigError &e) {
            return e.text();
        }
        return QString();
    }

private slots:
    void readsTheKeysAsPeopleWriteThem()
    {
        const QString path = write("\xef\xbb\xbf; the office's settings, saved with a byte-order mark\n"
                                   "[Database]\n"
                                   "Location = firebird://db.escola:3051/dados/merenda.fdb\n"
                                   "user=ALUNO\n"
                                   "password=\"  com brancos ; e ponto e vírgula \"\n"
                                   "create=sim\n"
                                   "\n"
                                   "# the working branch\n"
                                   "[shell]\r\n"
                                   "branch=0102\r\n"
                                   "[costs]\n"
                                   "host=127.0.0.1\n"
                                   "port=7000\n");
        ShellConfig c;
        c.readIni(path);
        QCOMPARE(c.database, QStringLiteral("firebird://db.escola:3051/dados/merenda.fdb"));
        QCOMPARE(c.user, QStringLiteral("ALUNO"));
        QCOMPARE(c.password, QStringLiteral("  com brancos ; e ponto e vírgula "));
        QVERIFY(c.createDatabase);
        QCOMPARE(c.branch, QStringLiteral("0102"));
        QCOMPARE(c.costsHost, QStringLiteral("127.0.0.1"));
        QCOMPARE(c.costsPort, 7000);
    }

    void readsTheMailAndHistorySections()
    {
        ShellConfig c;
        c.readIni(write("[mail]\nhost=smtp.example.gov.br\nport=587\nfrom=merenda@example.gov.br\nuser=planejamento\n"
                        "security=TLS\ntimeout=12\n[history]\nmonths=6\nruns=200\n"));
        QCOMPARE(c.mail.host, QStringLiteral("smtp.example.gov.br"));
        QCOMPARE(c.mail.effectivePort(), 587);
        QCOMPARE(c.mail.security, MailSettings::Security::Tls);
        QCOMPARE(c.mail.timeoutSeconds, 12);
        QCOMPARE(c.historyMonths, 6);
        QCOMPARE(c.historyRuns, 200);
        QVERIFY(errorOf(write("[mail]\nsecurity=ssl\n")).contains(QStringLiteral("use none, starttls ou tls")));
        QVERIFY(errorOf(write("[history]\nruns=0\n")).contains(QStringLiteral("use um número de 10 a 100000")));
        // The mail password never sits in the file: the key does not exist.
        QVERIFY(errorOf(write("[mail]\npassword=segredo\n")).contains(QStringLiteral("chave desconhecida \"[mail] password\"")));
    }

    void badFilesAreNamedWithTheirLine_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("port abc") << QByteArray("[costs]\nport=abc\n") << QStringList{"linha 2", "[costs] port", "\"abc\""};
        QTest::newRow("port 70000") << QByteArray("[costs]\nhost=x\nport=70000\n")
                                    << QStringList{"linha 3", "\"70000\""};
        QTest::newRow("negative port") << QByteArray("[costs]\nport=-1\n") << QStringList{"\"-1\""};
        QTest::newRow("unknown key") << QByteArray("[costs]\nportt=7000\n")
                                     << QStringList{"linha 2", "chave desconhecida", "[costs] portt", "[costs] host, port"};
        QTest::newRow("unknown section") << QByteArray("[database]\nlocation=sqlite:/x\n[shel]\nbranch=0101\n")
                                         << QStringList{"linha 4", "[shel] branch", "[shell] branch"};
        QTest::newRow("not INI") << QByteArray("[shell]\nbranch 0101\n")
                                 << QStringList{"linha 2", "\"branch 0101\"", "[seção]"};
        QTest::newRow("broken section") << QByteArray("[shell\nbranch=0101\n") << QStringList{"linha 1", "[shell"};
        QTest::newRow("outside a section") << QByteArray("branch=0101\n")
                                           << QStringList{"linha 1", "fora de uma seção", "branch"};
        QTest::newRow("twice") << QByteArray("[shell]\nbranch=0101\nBranch=0102\n")
                               << QStringList{"linha 3", "linha 2", "\"Branch\"", "[shell]"};
        QTest::newRow("bad boolean") << QByteArray("[database]\ncreate=talvez\n") << QStringList{"\"talvez\""};
        QTest::newRow("bad location") << QByteArray("[database]\nlocation=mysql:/x\n")
                                      << QStringList{"linha 2", "mysql:/x"};
        QTest::newRow("empty branch") << QByteArray("[shell]\nbranch=\n") << QStringList{"linha 2", "filial"};
        QTest::newRow("not UTF-8") << QByteArray("[shell]\nbranch=S\xe3o\n") << QStringList{"UTF-8"};
    }

    void badFilesAreNamedWithTheirLine()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, named);
        const QString path = write(text);
        const QString error = errorOf(path);
        QVERIFY2(error.contains(path), qPrintable(error));
        for (const QString &part : named)
            QVERIFY2(error.contains(part), qPrintable(QStringLiteral("'%1' not in: %2").arg(part, error)));
    }

    void aMissingFileIsAnError()
    {
        const QString path = m_dir.filePath(QStringLiteral("none.ini"));
        const QString error = errorOf(path);
        QVERIFY2(error.contains(path) && error.contains(QStringLiteral("não existe")), qPrintable(error));
        QVERIFY(errorOf(m_dir.path()).contains(QLatin1String("pasta")));
        const QString viaOption = errorOfArguments({QStringLiteral("--config"), path});
        QVERIFY2(viaOption.contains(path), qPrintable(viaOption));
    }

    void badOptionsAreNamed_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("port abc") << QStringList{"--costs-port", "abc"} << QStringList{"--costs-port", "\"abc\""};
        QTest::newRow("port 70000") << QStringList{"--costs-port=70000"} << QStringList{"\"70000\""};
        QTest::newRow("unknown option") << QStringList{"--nada"} << QStringList{"Opção desconhecida: --nada"};
        QTest::newRow("unknown short option") << QStringList{"-z"} << QStringList{"Opção desconhecida: -z"};
        QTest::newRow("missing value") << QStringList{"--branch"} << QStringList{"Falta o valor", "--branch"};
        QTest::newRow("value to a flag") << QStringList{"--create-database=sim"}
                                         << QStringList{"não leva valor", "--create-database"};
        QTest::newRow("bad database") << QStringList{"--database", "oracle:x"} << QStringList{"--database", "oracle:x"};
        QTest::newRow("empty branch") << QStringList{"--branch", ""} << QStringList{"--branch", "filial"};
    }

    void badOptionsAreNamed()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, named);
        const QString error = errorOfArguments(args);
        QVERIFY2(!error.isEmpty(), "no error");
        for (const QString &part : named)
            QVERIFY2(error.contains(part), qPrintable(QStringLiteral("'%1' not in: %2").arg(part, error)));
    }

    void optionsWinOverTheFile()
    {
        const QString path = write("[shell]\nbranch=0201\n[costs]\nport=7000\n");
        const ShellConfig c = ShellConfig::fromArguments({QStringLiteral("shell"), QStringLiteral("--costs-port"),
                                                          QStringLiteral("7100"), QStringLiteral("--config"), path});
        QCOMPARE(c.costsPort, 7100);
        QCOMPARE(c.branch, QStringLiteral("0201"));
    }

    void theDefaultFileIsInTheUsersConfigurationFolder()
    {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        QCoreApplication::setOrganizationName(QStringLiteral("merenda"));
        QCoreApplication::setApplicationName(QStringLiteral("shell"));
        QCOMPARE(ShellConfig::userConfigFile(), home.filePath(QStringLiteral("merenda/shell/shell.ini")));
        QCOMPARE(ShellConfig::defaultConfigFile(), QString());
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("merenda/shell"))));
        QFile f(ShellConfig::userConfigFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(ShellConfig::defaultConfigFile(), ShellConfig::userConfigFile());
    }

    void helpListsEveryOptionInPortuguese()
    {
        const QString text = CommandLineText::help(QStringLiteral("shell"), QStringLiteral("Descrição."),
                                                   ShellConfig::options(), QStringLiteral("Rodapé."));
        QVERIFY(text.startsWith(QStringLiteral("Uso: shell [opções]\nDescrição.\n\nOpções:\n")));
        for (const QCommandLineOption &o : ShellConfig::options())
            QVERIFY2(text.contains(QStringLiteral("--") + o.names().first()), qPrintable(o.names().first()));
        QVERIFY(text.contains(QLatin1String("--costs-port PORTA")));
        QVERIFY(text.endsWith(QStringLiteral("\nRodapé.\n")));
        for (const QString &line : text.split(QLatin1Char('\n')))
            QVERIFY2(line.size() <= 79, qPrintable(line));
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestShellConfig)
#include "test_shell_config.moc"
