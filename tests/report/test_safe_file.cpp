// SafeFile: the target is the old file or the whole new one. A writer
// killed in mid-write, or one that runs out of room (child processes of this
// test: one killed with SIGKILL, one under a file-size limit, which the
// system enforces as it does a full disk: a short write, then a failure),
// leaves the old file untouched.
#include "core/Errors.h"
#include "core/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The child: writes into the target for ever, saying when it has begun.
int writeForever(const QString &target)
{
    SafeFile f(target);
    const QByteArray chunk(64 * 1024, 'n');
    f.write(chunk);
    std::printf("writing\n");
    std::fflush(stdout);
    for (;;) {
        f.write(chunk);
        QThread::msleep(5);
    }
}
// The child: writes size bytes where no file may grow past limit bytes.
int writeLimited(const QString &target, qint64 size, rlim_t limit)
{
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
    const rlimit l{limit, limit};
    setrlimit(RLIMIT_FSIZE, &l);
    try {
        SafeFile::writeAll(target, QByteArray(size, 'n'));
        std::printf("committed\n");
    } catch (const EHostError &e) {
        std::printf("%s\n", e.text().toUtf8().constData());
    }
    return 0;
}
} // namespace

class TestSafeFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QStringList files(const QString &dir) const { return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

private slots:
    void commitReplacesTheWholeFile()
    {
        const QString target = path(QStringLiteral("pasta/nova/alvo.txt"));
        SafeFile::writeAll(target, "primeiro");
        QCOMPARE(readAll(target), QByteArray("primeiro"));
        SafeFile f(target);
        f.write("segundo, ");
        f.write("mais longo");
        QCOMPARE(readAll(target), QByteArray("primeiro")); // nothing shows before the commit
        f.commit();
        QCOMPARE(readAll(target), QByteArray("segundo, mais longo"));
        QCOMPARE(files(path(QStringLiteral("pasta/nova"))), QStringList{QStringLiteral("alvo.txt")});
    }

    void droppingOrDiscardingLeavesTheOldFile()
    {
        const QString target = path(QStringLiteral("velho.txt"));
        SafeFile::writeAll(target, "velho");
        {
            SafeFile f(target);
            f.write("novo");
        }
        SafeFile g(target);
        g.write("novo");
        g.discard();
        QVERIFY_THROWS_EXCEPTION(EHostError, g.commit());
        QCOMPARE(readAll(target), QByteArray("velho"));
        const QString fresh = path(QStringLiteral("nunca.txt"));
        {
            SafeFile f(fresh);
            f.write("x");
        }
        QVERIFY(!QFile::exists(fresh));
        QCOMPARE(files(m_dir.path()), QStringList{QStringLiteral("velho.txt")});
    }

    void aFolderThatCannotBeMadeIsNamed()
    {
        SafeFile::writeAll(path(QStringLiteral("comum")), "sou um arquivo");
        const QString target = path(QStringLiteral("comum/dentro/x.csv"));
        try {
            SafeFile f(target);
            QFAIL("a file inside a file was opened");
        } catch (const EHostError &e) {
            QVERIFY2(e.text().startsWith(QStringLiteral("Não foi possível gravar o arquivo \"%1\": a pasta").arg(target)),
                     qPrintable(e.text()));
        }
    }

    void aWriterOutOfRoomFailsAndLeavesTheOldFile_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addRow("buffered, fails on commit") << qint64(6250);
        QTest::addRow("written at once") << qint64(100000);
        QTest::addRow("many writes") << qint64(3000000);
    }

    void aWriterOutOfRoomFailsAndLeavesTheOldFile()
    {
        QFETCH(qint64, size);
        const QString target = path(QStringLiteral("cheio/alvo.bin"));
        SafeFile::writeAll(target, "conteúdo anterior");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--write-limited"), target, QString::number(size), QStringLiteral("4096")});
        QVERIFY(child.waitForFinished(30000));
        const QString said = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        QVERIFY2(said.startsWith(QStringLiteral("Não foi possível gravar o arquivo \"%1\"").arg(target)), qPrintable(said));
        QCOMPARE(readAll(target), QByteArray("conteúdo anterior"));
        // Within the limit the same child writes it whole.
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--write-limited"), target, QStringLiteral("4000"), QStringLiteral("4096")});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("committed"));
        QCOMPARE(readAll(target).size(), 4000);
    }

    void aWriterKilledMidWriteLeavesTheOldFile()
    {
        const QString target = path(QStringLiteral("morto/alvo.bin"));
        SafeFile::writeAll(target, "conteúdo anterior");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--write-forever"), target});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("writing"));
        QThread::msleep(100);
        child.kill(); // SIGKILL: no destructor, no clean-up runs
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(readAll(target), QByteArray("conteúdo anterior"));
        // The next write succeeds and replaces it whole.
        SafeFile::writeAll(target, "depois");
        QCOMPARE(readAll(target), QByteArray("depois"));
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--write-forever") == 0)
        return writeForever(QString::fromLocal8Bit(argv[2]));
    if (argc == 5 && qstrcmp(argv[1], "--write-limited") == 0)
        return writeLimited(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong(), rlim_t(QByteArray(argv[4]).toLongLong()));
    QCoreApplication app(argc, argv);
    TestSafeFile t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_safe_file.moc"
