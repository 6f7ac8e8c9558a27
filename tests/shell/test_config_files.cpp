// The configuration files of the shell and of the costs server, read alike:
// UTF-8 whatever the locale (C or pt_BR.UTF-8), accented values and commas
// kept, a file in another encoding refused by both; a long value or a
// control character quoted clipped and escaped, never flooding or cutting
// the message; a token longer than a request can carry refused by both, and
// the longest allowed one working end to end; a password or token that
// other users could read refused by both, one on the command line hidden
// from them and warned of.
#include "appdata/dtmDBGeral.h"
#include "support/ProcessRun.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>

using ProcessRun::describe;
using Run = ProcessRun::Result;

namespace {
bool localeInstalled(const char *name)
{
    const QByteArray saved = std::setlocale(LC_ALL, nullptr);
    const bool ok = std::setlocale(LC_ALL, name) != nullptr;
    std::setlocale(LC_ALL, saved.constData());
    return ok;
}

QString valueOf(const Run &r, const QString &control)
{
    for (const QString &line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (o.value("event").toString() == QLatin1String("value") && o.value("control").toString() == control)
            return o.value("value").toString();
    }
    return QStringLiteral("<no value>");
}
} // namespace

class TestConfigFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db; // in a folder with accents and a comma

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        f.write(bytes);
        // Only its owner may read it: it may hold a token.
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    QProcessEnvironment environment(const QString &locale) const
    {
        QProcessEnvironment env = ProcessRun::noDisplay(m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        env.remove(QStringLiteral("COSTS_TOKEN"));
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LC_ALL"), locale);
        env.insert(QStringLiteral("LANG"), locale);
        return env;
    }

    // The shell on a configuration file, running a short script.
    Run shell(const QString &ini, const QString &script, const QString &locale = QStringLiteral("C"))
    {
        return ProcessRun::run(QStringLiteral(SHELL_PROGRAM),
                               {QStringLiteral("--config"), ini, QStringLiteral("--script"), QStringLiteral("-"),
                                QStringLiteral("--out"), m_dir.filePath(QStringLiteral("out"))},
                               environment(locale), 120000, script);
    }

    // The costs server on a configuration file: exit code 0 and its
    // LISTENING line when it started (it is stopped at once), else how it
    // refused.
    Run costs(const QString &ini, const QString &locale = QStringLiteral("C"), const QStringList &more = {})
    {
        QProcess p;
        p.setProcessEnvironment(environment(locale));
        p.start(QStringLiteral(COSTS_PROGRAM), QStringList{QStringLiteral("--config"), ini} + more);
        Run r;
        if (!p.waitForStarted())
            return r;
        QTest::qWaitFor([&] { return p.canReadLine() || p.state() == QProcess::NotRunning; }, 30000);
        if (p.canReadLine()) {
            r.out = QString::fromUtf8(p.readLine());
            p.terminate();
        }
        r.finished = p.state() == QProcess::NotRunning || p.waitForFinished(30000);
        r.status = p.exitStatus();
        r.code = p.exitCode();
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString folder = m_dir.filePath(QStringLiteral("Relatórios, março"));
        QVERIFY(QDir().mkpath(folder));
        m_db = QDir(folder).filePath(QStringLiteral("cardápio.sqlite"));
        TdtmDBGeral::createSqliteFile(m_db);
    }

    void accentedValuesAreReadAlike_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C") << QStringLiteral("C");
        QTest::newRow("pt_BR.UTF-8") << QStringLiteral("pt_BR.UTF-8");
    }
    void accentedValuesAreReadAlike()
    {
        QFETCH(QString, locale);
        if (locale != QLatin1String("C") && !localeInstalled(qPrintable(locale)))
            QSKIP("the pt_BR.UTF-8 locale is not installed (scripts/setup makes it)");
        const QString shellIni = write(QStringLiteral("shell.ini"),
                                       "# configuração do shell\n[database]\nlocation=sqlite:" + m_db.toUtf8() + "\n");
        const Run s = shell(shellIni, QStringLiteral("open XEV01700\nget lblStatusBanco\nget cbbTipoCusto\n"), locale);
        QVERIFY2(s.finished && s.code == 0, qPrintable(describe(s)));
        QCOMPARE(valueOf(s, QStringLiteral("lblStatusBanco")), QStringLiteral("Banco: sqlite:") + m_db);
        QCOMPARE(valueOf(s, QStringLiteral("cbbTipoCusto")), QStringLiteral("Custo de Reposição"));

        const QString costsIni = write(QStringLiteral("costs.ini"),
                                       "# configuração do servidor de custos\n[costs]\ndb=sqlite:" + m_db.toUtf8()
                                           + "\nuser=\"João, o técnico\"\n");
        const Run c = costs(costsIni, locale);
        QVERIFY2(c.out.startsWith(QStringLiteral("LISTENING 127.0.0.1 ")), qPrintable(describe(c)));
        QCOMPARE(c.code, 0);
    }

    void aFileInAnotherEncodingIsRefusedAlike_data() { accentedValuesAreReadAlike_data(); }
    void aFileInAnotherEncodingIsRefusedAlike()
    {
        QFETCH(QString, locale);
        if (locale != QLatin1String("C") && !localeInstalled(qPrintable(locale)))
            QSKIP("the pt_BR.UTF-8 locale is not installed (scripts/setup makes it)");
        QStringEncoder latin1(QStringEncoder::Latin1);
        const QString shellIni = write(QStringLiteral("latin1-shell.ini"),
                                       latin1(QStringLiteral("[shell]\nbranch=Filial São Paulo\n")));
        const QString costsIni = write(QStringLiteral("latin1-costs.ini"),
                                       latin1(QStringLiteral("[costs]\ndb=sqlite:") + m_db + QStringLiteral("\n")));
        const Run s = shell(shellIni, QStringLiteral("get lblStatusFilial\n"), locale);
        const Run c = costs(costsIni, locale);
        for (const Run &r : {s, c}) {
            QVERIFY2(r.finished && r.code == 2, qPrintable(describe(r)));
            QVERIFY2(r.err.contains(QStringLiteral("não está em UTF-8")), qPrintable(describe(r)));
        }
    }

    void longValuesAndControlsAreQuotedClipped_data()
    {
        QTest::addColumn<bool>("ofShell");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("where");
        const QByteArray huge(500 * 1000, '9');
        QTest::newRow("shell, long port") << true << "[costs]\nport=" + huge + "\n" << "porta inválida" << "linha 2";
        QTest::newRow("costs, long workers") << false << "[costs]\nworkers=" + huge + "\n" << "valor inválido"
                                             << "linha 2";
        const QByteArray tenMegabytes(10 * 1000 * 1000, 'x');
        QTest::newRow("shell, 10 MB value") << true << "[shell]\nbranch=" + tenMegabytes + "\n" << "passa de 1024 KB"
                                            << "bad.ini";
        QTest::newRow("costs, 10 MB value") << false << "[costs]\nuser=" + tenMegabytes + "\n" << "passa de 1024 KB"
                                            << "bad.ini";
        const QByteArray nul(1, '\0');
        QTest::newRow("shell, NUL") << true << "[shell]\nbranch=01" + nul + "01\n" << "branch=01\\001" << "linha 2";
        QTest::newRow("costs, NUL") << false << "[costs]\nuser=ana" + nul + "maria\n" << "user=ana\\0maria"
                                    << "linha 2";
        QTest::newRow("costs, escape") << false << QByteArray("[costs]\nlisten=\x1b[2J1.2.3.4\n") << "\\x1B[2J"
                                       << "linha 2";
    }
    void longValuesAndControlsAreQuotedClipped()
    {
        QFETCH(bool, ofShell);
        QFETCH(QByteArray, text);
        QFETCH(QString, told);
        QFETCH(QString, where);
        const QString ini = write(QStringLiteral("bad.ini"), text);
        const Run r = ofShell ? shell(ini, QStringLiteral("get lblStatusFilial\n"))
                              : costs(ini, QStringLiteral("C"), {QStringLiteral("--db"), QStringLiteral("sqlite:x")});
        QVERIFY2(r.finished && r.code == 2, qPrintable(describe(r).left(2000)));
        QVERIFY2(r.err.size() < 1000, qPrintable(r.err.left(2000)));
        QVERIFY2(r.err.contains(told) && r.err.contains(where), qPrintable(r.err));
        // Whole: the message goes on after the value, to its last sentence.
        QVERIFY2(r.err.trimmed().endsWith(QLatin1Char('.')) || r.err.trimmed().endsWith(QLatin1Char(')')),
                 qPrintable(r.err));
        QVERIFY(!r.err.contains(QChar(0)) && !r.err.contains(QChar(0x1b)));
    }

    void tokensAreBoundedAlike()
    {
        const QByteArray tooLong(4097, 'k');
        const Run s = shell(write(QStringLiteral("long-token.ini"), "[costs]\ntoken=" + tooLong + "\n"),
                            QStringLiteral("get lblStatusFilial\n"));
        const Run c = costs(write(QStringLiteral("long-token-costs.ini"),
                                  "[costs]\ndb=sqlite:" + m_db.toUtf8() + "\ntoken=" + tooLong + "\n"));
        for (const Run &r : {s, c}) {
            QVERIFY2(r.finished && r.code == 2, qPrintable(describe(r).left(2000)));
            QVERIFY2(r.err.contains(QStringLiteral("4097 bytes; o limite é 4096")), qPrintable(r.err.left(2000)));
            QVERIFY(!r.err.contains(QStringLiteral("kkkk")));
        }
        // The longest allowed goes to the shell's own server and back.
        const QString ini = write(QStringLiteral("token.ini"), "[database]\nlocation=sqlite:" + m_db.toUtf8()
                                                                   + "\n[costs]\ntoken=" + QByteArray(4096, 'k') + "\n");
        const Run ok = shell(ini, QStringLiteral("open XEV01700\nget cbbTipoCusto\n"));
        QVERIFY2(ok.finished && ok.code == 0, qPrintable(describe(ok)));
        QCOMPARE(valueOf(ok, QStringLiteral("cbbTipoCusto")), QStringLiteral("Custo de Reposição"));
    }

    // A password or token in a file that other users may read is refused by
    // both programs, naming the file and the fix, before anything opens;
    // the same file without the secret, or closed to others, is read.
    void secretsOthersCanReadAreRefused()
    {
        const QByteArray db = "[database]\nlocation=sqlite:" + m_db.toUtf8() + "\n";
        const QString shellIni = write(QStringLiteral("open-password.ini"), db + "password=segredo-da-escola\n");
        const QString costsIni = write(QStringLiteral("open-token.ini"), "[costs]\ndb=sqlite:" + m_db.toUtf8()
                                                                              + "\ntoken=segredo-da-escola\n");
        for (const QString &path : {shellIni, costsIni})
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        const Run s = shell(shellIni, QStringLiteral("get lblStatusFilial\n"), QStringLiteral("pt_BR.UTF-8"));
        const Run c = costs(costsIni);
        const QStringList told = {QStringLiteral("senha ([database] password=, linha 3)"),
                                  QStringLiteral("chave de acesso ([costs] token=, linha 3)")};
        const QStringList files = {shellIni, costsIni};
        for (int i = 0; i < 2; ++i) {
            const Run &r = i == 0 ? s : c;
            QVERIFY2(r.finished && r.code == 2, qPrintable(describe(r).left(2000)));
            QVERIFY2(r.err.contains(told[i]) && r.err.contains(QStringLiteral("(permissões 0644)"))
                         && r.err.contains(QStringLiteral("chmod 600 ") + files[i]),
                     qPrintable(r.err));
            QVERIFY(!r.err.contains(QStringLiteral("segredo")));
        }
        const QString openIni = write(QStringLiteral("open.ini"), db);
        QVERIFY(QFile::setPermissions(openIni, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const Run noSecret = shell(openIni, QStringLiteral("get lblStatusFilial\n"));
        QVERIFY2(noSecret.finished && noSecret.code == 0, qPrintable(describe(noSecret)));
        QVERIFY(QFile::setPermissions(shellIni, QFile::ReadOwner | QFile::WriteOwner));
        const Run closed = shell(shellIni, QStringLiteral("get lblStatusFilial\n"));
        QVERIFY2(closed.finished && closed.code == 0, qPrintable(describe(closed)));
    }

    // A password on the command line still works, is warned of, and is no
    // longer in the process's command line (/proc/PID/cmdline, which every
    // user may read) once the program has read it.
    void aPasswordOnTheCommandLineIsHiddenAndWarnedOf()
    {
        QProcess p;
        p.setProcessEnvironment(environment(QStringLiteral("pt_BR.UTF-8")));
        p.start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db,
                                                QStringLiteral("--db-password=segredo-da-escola"), QStringLiteral("--script"),
                                                QStringLiteral("-")});
        QVERIFY(p.waitForStarted());
        QString err;
        QVERIFY(QTest::qWaitFor([&] {
            p.waitForReadyRead(50);
            err += QString::fromUtf8(p.readAllStandardError());
            return err.contains(QLatin1Char('\n')) || p.state() == QProcess::NotRunning;
        }, 60000));
        QVERIFY2(err.startsWith(QStringLiteral("Aviso: a senha dada em --db-password fica à vista de todos os usuários")),
                 qPrintable(err));
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(p.processId()));
        QVERIFY(cmdline.open(QIODevice::ReadOnly));
        const QByteArray seen = cmdline.readAll();
        QVERIFY2(!seen.contains("segredo") && seen.contains("--db-password=*****************"), seen.constData());
        p.write("get lblStatusFilial\n");
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAllStandardOutput().contains("Filial: 0101"));
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestConfigFiles)
#include "test_config_files.moc"
