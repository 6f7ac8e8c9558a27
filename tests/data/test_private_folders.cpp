// The folders the program and its Firebird client keep at run time are this
// user's alone: a folder another user made first (here as "nobody", with a
// plugins.conf naming a library of theirs) is never used, and nothing found
// in the user's own folder is trusted: the configuration is made again.
// Kept out of theirs, the user falls back to one folder, start after start.
// The embedded database is opened by a child process (this program with
// --open-embedded), whose environment the test sets: the Firebird client
// reads its configuration once per process.
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "core/PrivateFolder.h"
#include "data/engines/firebird/FirebirdSharing.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// Run as a child: the Firebird client's folders, then an embedded database.
int openEmbedded(const QString &path)
{
    QString why;
    if (!FirebirdSharing::prepare(&why)) {
        std::printf("FAILED %s\n", qPrintable(why));
        return 1;
    }
    std::printf("FIREBIRD=%s\nFIREBIRD_LOCK=%s\n", qPrintable(qEnvironmentVariable("FIREBIRD")),
                qPrintable(qEnvironmentVariable("FIREBIRD_LOCK")));
    try {
        ConnectionDescription d{DatabaseLocation::parse(QStringLiteral("firebird:") + path), QStringLiteral("SYSDBA"),
                                QStringLiteral("masterkey"), QStringLiteral("child"), true, {}};
        TdtmDBGeral::openConnection(d);
    } catch (const EHostError &e) {
        std::printf("FAILED %s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("OPENED\n");
    return 0;
}

QString mode(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("missing");
    return QString::number(st.st_mode & 07777, 8) + QLatin1Char(' ') + QString::number(st.st_uid);
}

} // namespace

class TestPrivateFolders : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;     // the children's TMPDIR, writable by everyone as /tmp is
    QTemporaryDir m_scratch; // databases and markers

    QString marker() const { return m_scratch.filePath(QStringLiteral("marker")); }
    QString ownBase() const { return m_tmp.filePath(QStringLiteral("merenda-%1").arg(::geteuid())); }

    static QByteArray plantedConf()
    {
        return QByteArray("Plugin = Engine12 {\n\tModule = ") + PLANTED_PLUGIN + "\n}\n";
    }

    // Runs the child on a new database; its output.
    QString child(const QString &name)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), m_tmp.path());
        env.insert(QStringLiteral("PLANTED_MARKER"), marker());
        for (const char *v : {"XDG_RUNTIME_DIR", "FIREBIRD", "FIREBIRD_LOCK"})
            env.remove(QLatin1String(v));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--open-embedded"), m_scratch.filePath(name)});
        if (!p.waitForFinished(120000))
            p.kill();
        return QString::fromLocal8Bit(p.readAll());
    }

    static QString valueOf(const QString &output, const QString &key)
    {
        for (const QString &line : output.split(QLatin1Char('\n')))
            if (line.startsWith(key + QLatin1Char('=')))
                return line.mid(key.size() + 1);
        return QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid() && m_scratch.isValid());
        QVERIFY(::chmod(QFile::encodeName(m_tmp.path()).constData(), 01777) == 0);
    }

    void init()
    {
        QFile::remove(marker());
        const QDir tmp(m_tmp.path());
        for (const QString &name : tmp.entryList({QStringLiteral("merenda-%1*").arg(::geteuid())}, QDir::Dirs))
            QDir(tmp.filePath(name)).removeRecursively();
    }

    void onlyTheUsersOwnClosedFoldersArePrivate()
    {
        const QString own = m_scratch.filePath(QStringLiteral("own"));
        QVERIFY(QDir().mkdir(own));
        QVERIFY(::chmod(QFile::encodeName(own).constData(), 0700) == 0);
        QVERIFY(PrivateFolder::isPrivate(own));
        QVERIFY(::chmod(QFile::encodeName(own).constData(), 0755) == 0);
        QVERIFY(!PrivateFolder::isPrivate(own));
        QVERIFY(::chmod(QFile::encodeName(own).constData(), 0700) == 0);
        const QString link = m_scratch.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(own, link));
        QVERIFY(!PrivateFolder::isPrivate(link));
        QVERIFY(!PrivateFolder::isPrivate(m_scratch.filePath(QStringLiteral("missing"))));
    }

    // A base folder that is open to others, or a link, is left for a new one.
    void anOpenOrLinkedBaseIsNotUsed()
    {
        qputenv("TMPDIR", QFile::encodeName(m_tmp.path()));
        qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(QDir().mkdir(ownBase()));
        QVERIFY(::chmod(QFile::encodeName(ownBase()).constData(), 0755) == 0);
        QString made = PrivateFolder::make(QStringLiteral("firebird"));
        QVERIFY2(!made.startsWith(ownBase() + QLatin1Char('/')), qPrintable(made));
        QVERIFY(PrivateFolder::isPrivate(made));
        QVERIFY(PrivateFolder::isPrivate(QFileInfo(made).absolutePath()));
        QVERIFY(QDir(ownBase()).removeRecursively());
        const QString elsewhere = m_scratch.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkdir(elsewhere) && ::chmod(QFile::encodeName(elsewhere).constData(), 0700) == 0);
        QVERIFY(QFile::link(elsewhere, ownBase()));
        made = PrivateFolder::make(QStringLiteral("firebird"));
        QVERIFY2(!made.startsWith(ownBase() + QLatin1Char('/')), qPrintable(made));
        QVERIFY(!QFileInfo::exists(QDir(elsewhere).filePath(QStringLiteral("firebird"))));
        QFile::remove(ownBase());
        // The user's own closed folder is used, the same for every process.
        QCOMPARE(PrivateFolder::make(QStringLiteral("firebird")), ownBase() + QStringLiteral("/firebird"));
        QCOMPARE(mode(ownBase() + QStringLiteral("/firebird")), QStringLiteral("700 %1").arg(::geteuid()));
    }

    void aFolderAnotherUserMadeIsNotUsed()
    {
        if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("needs root and setpriv to act as another user");
        const QString planted = ownBase() + QStringLiteral("/firebird");
        const QString script = QStringLiteral("mkdir -m 777 -p '%1' && printf '%2' > '%1/plugins.conf' && "
                                              "printf 'ServerMode = Super\\n' > '%1/firebird.conf'")
                                   .arg(planted, QString::fromLatin1(plantedConf()).replace(QLatin1String("\n"), QLatin1String("\\n")).replace(QLatin1String("\t"), QLatin1String("\\t")));
        QProcess as;
        as.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                             QStringLiteral("--clear-groups"), QStringLiteral("sh"), QStringLiteral("-c"), script});
        QVERIFY(as.waitForFinished(10000));
        QCOMPARE(as.exitCode(), 0);
        QVERIFY(mode(ownBase()).endsWith(QLatin1String(" 65534")));
        const QByteArray plantedText = plantedConf();

        const QString out = child(QStringLiteral("planted.fdb"));
        QVERIFY2(out.contains(QLatin1String("OPENED")), qPrintable(out));
        const QString root = valueOf(out, QStringLiteral("FIREBIRD"));
        QVERIFY2(!root.startsWith(ownBase() + QLatin1Char('/')), qPrintable(root));
        QVERIFY2(mode(root).startsWith(QLatin1String("700 0")), qPrintable(mode(root)));
        QVERIFY2(!valueOf(out, QStringLiteral("FIREBIRD_LOCK")).startsWith(ownBase() + QLatin1Char('/')), qPrintable(out));
        QVERIFY2(!QFile::exists(marker()), "the planted library was loaded");
        // Left as its owner made it.
        QFile conf(planted + QStringLiteral("/plugins.conf"));
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QCOMPARE(conf.readAll(), plantedText);
    }

    // Another user holds the name: every start (three children, each
    // opening an embedded database) uses the same folder instead, and the
    // one-process folders earlier starts left are removed, unless a running
    // process holds one.
    void theFallbackIsReusedAndLeftoversRemoved()
    {
        if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("needs root and setpriv to act as another user");
        QProcess as;
        as.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                             QStringLiteral("--clear-groups"), QStringLiteral("mkdir"),
                                             QStringLiteral("-m"), QStringLiteral("777"), ownBase()});
        QVERIFY(as.waitForFinished(10000) && as.exitCode() == 0);
        const QString left = ownBase() + QStringLiteral("-Ab12Cd"), held = ownBase() + QStringLiteral("-Zz99Yy");
        for (const QString &leftover : {left, held}) {
            QVERIFY(QDir().mkpath(leftover + QStringLiteral("/firebird-lock")));
            QVERIFY(::chmod(QFile::encodeName(leftover).constData(), 0700) == 0);
            const timeval old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
            QVERIFY(::utimes(QFile::encodeName(leftover).constData(), old) == 0);
        }
        const int holder = ::open(QFile::encodeName(held).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(holder >= 0 && ::flock(holder, LOCK_SH) == 0);

        QStringList roots;
        for (int start = 0; start < 3; ++start) {
            const QString out = child(QStringLiteral("fallback-%1.fdb").arg(start));
            QVERIFY2(out.contains(QLatin1String("OPENED")), qPrintable(out));
            roots << valueOf(out, QStringLiteral("FIREBIRD")) + QLatin1Char(' ') + valueOf(out, QStringLiteral("FIREBIRD_LOCK"));
        }
        ::close(holder);
        const QString expected = QStringLiteral("%1-2/firebird %1-2/firebird-lock").arg(ownBase());
        QCOMPARE(roots, QStringList({expected, expected, expected}));
        const QStringList names = QDir(m_tmp.path()).entryList({QStringLiteral("merenda-%1*").arg(::geteuid())}, QDir::Dirs);
        const QString uid = QString::number(::geteuid());
        QCOMPARE(names, QStringList({QStringLiteral("merenda-%1").arg(uid), QStringLiteral("merenda-%1-2").arg(uid),
                                     QStringLiteral("merenda-%1-Zz99Yy").arg(uid)}));
    }

    void theUsersOwnFolderIsMadeAgain()
    {
        const QString root = ownBase() + QStringLiteral("/firebird");
        QVERIFY(QDir().mkpath(root));
        QVERIFY(::chmod(QFile::encodeName(ownBase()).constData(), 0700) == 0);
        QVERIFY(::chmod(QFile::encodeName(root).constData(), 0700) == 0);
        QFile conf(root + QStringLiteral("/plugins.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write(plantedConf());
        conf.close();
        QVERIFY(QDir().mkpath(root + QStringLiteral("/plugins")));
        QFile stray(root + QStringLiteral("/stray.conf"));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.close();

        const QString out = child(QStringLiteral("own.fdb"));
        QVERIFY2(out.contains(QLatin1String("OPENED")), qPrintable(out));
        QCOMPARE(valueOf(out, QStringLiteral("FIREBIRD")), root);
        QVERIFY2(!QFile::exists(marker()), "the library named in the old plugins.conf was loaded");
        QVERIFY(QFileInfo(root + QStringLiteral("/plugins.conf")).isSymLink());
        QVERIFY(QFileInfo(root + QStringLiteral("/plugins")).isSymLink());
        QVERIFY(!QFileInfo::exists(root + QStringLiteral("/stray.conf")));
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--open-embedded") == 0) {
        QCoreApplication app(argc, argv);
        return openEmbedded(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestPrivateFolders test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_private_folders.moc"
