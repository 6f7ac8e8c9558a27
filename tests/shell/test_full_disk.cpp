// The shell on a disk that is really full: a small tmpfs, mounted in a mount
// namespace of the session's own through unshare(1) (as root, or through a
// user namespace), holds one of the session's folders.
//  - The configuration folder, filled up: "Repetir últimos parâmetros"
//    cannot keep the new parameters; the report runs all the same, a notice
//    in Portuguese says they were not kept and what to do, and the
//    parameters kept before stay byte for byte.
//  - The temporary folder (TMPDIR), too small for a workbook: the XLSX
//    export says the temporary folder is full, names it and says what to
//    do, instead of a library's "Zip generic error".
// Where no mount namespace can be made the test is skipped with the reason.
#include "support/LongReportDatabase.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {
const QByteArray kKept = "[XEV01700]\nfilial=\"0101\"\ndataInicial=\"2026-02-01\"\ndataFinal=\"2026-02-28\"\n"
                         "produtoInicial=\"01\"\nprodutoFinal=\"02\"\nnivel=\"2\"\n";

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no file)");
}

struct Run {
    QString out, err;
    int code = -1;
};
} // namespace

class TestFullDisk : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Runs the shell on script with a tmpfs of sizeKb at $MNT; before it,
    // prepare runs in the namespace (sh), after it the kept parameters are
    // copied out to out/depois.ini. Skips when no namespace can be made.
    Run inNamespace(int sizeKb, const QString &prepare, const QString &script, const QString &database,
                    const QProcessEnvironment &extra)
    {
        for (const char *d : {"mnt", "out", "data"}) {
            QDir(path(QLatin1String(d))).removeRecursively();
            QDir().mkpath(path(QLatin1String(d)));
        }
        const QString steps = QStringLiteral(
            "set -e; mount -t tmpfs -o size=%1k tmpfs \"$MNT\"; %2; echo mounted >&2; set +e; "
            "\"$PROGRAM\" --script - --db \"sqlite:$DB\" --create-database --out \"$OUT\"; rc=$?; "
            "cp \"$MNT/merenda/shell/ultimos-parametros.ini\" \"$OUT/depois.ini\" 2>/dev/null; exit $rc")
                                  .arg(sizeKb).arg(prepare);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MNT"), path(QStringLiteral("mnt")));
        env.insert(QStringLiteral("PROGRAM"), QStringLiteral(SHELL_PROGRAM));
        env.insert(QStringLiteral("DB"), database);
        env.insert(QStringLiteral("OUT"), path(QStringLiteral("out")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const QString &k : extra.keys())
            env.insert(k, extra.value(k));
        QProcess session;
        session.setProcessEnvironment(env);
        const QStringList unshare = ::geteuid() == 0
                                        ? QStringList{QStringLiteral("-m"), QStringLiteral("--propagation"), QStringLiteral("private")}
                                        : QStringList{QStringLiteral("-Urm")};
        session.start(QStringLiteral("unshare"), unshare + QStringList{QStringLiteral("sh"), QStringLiteral("-c"), steps});
        session.write(script.toUtf8());
        session.closeWriteChannel();
        Run r;
        if (!session.waitForFinished(300000))
            return r;
        r.out = QString::fromUtf8(session.readAllStandardOutput());
        r.err = QString::fromUtf8(session.readAllStandardError());
        r.code = session.exitCode();
        return r;
    }

private slots:
    void theKeptParametersSurviveAFullDisk()
    {
        QFile kept(path(QStringLiteral("kept.ini")));
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.write(kKept);
        kept.close();
        QProcessEnvironment env;
        env.insert(QStringLiteral("KEPT"), kept.fileName());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("mnt")));
        // The kept parameters in the configuration folder, the rest filled.
        const Run r = inNamespace(512,
                                  QStringLiteral("mkdir -p \"$MNT/merenda/shell\"; cp \"$KEPT\" \"$MNT/merenda/shell/ultimos-parametros.ini\"; "
                                                 "dd if=/dev/zero of=\"$MNT/enche\" bs=4096 2>/dev/null || true"),
                                  QStringLiteral("open XEV01700\nfocus medCdProdInic\ntype 01\nfocus medCdProdFina\ntype 0203\n"
                                                 "command preview\nclose\n"),
                                  path(QStringLiteral("demo.sqlite")), env);
        if (!r.err.contains(QLatin1String("mounted")))
            QSKIP(qPrintable(QStringLiteral("no mount namespace with a tmpfs can be made here: ") + r.err.trimmed()));
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains(QLatin1String("\"event\":\"params\"")), qPrintable(r.out)); // the report ran
        QVERIFY2(r.err.contains(QStringLiteral("não foram guardados")) && r.err.contains(QStringLiteral("não há espaço livre no disco")),
                 qPrintable(r.err));
        QCOMPARE(readAll(path(QStringLiteral("out/depois.ini"))), kKept);
    }

    void aFullTemporaryFolderIsNamedByTheExport()
    {
        const QString database = path(QStringLiteral("longo.sqlite"));
        LongReportDatabase::make(database, 20000);
        QProcessEnvironment env;
        env.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("mnt")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        // Room for the run's rows, not for the workbook being made.
        const Run r = inNamespace(3072, QStringLiteral("true"),
                                  LongReportDatabase::script({QStringLiteral("command exportxlsx"), QStringLiteral("close")}),
                                  database, env);
        if (!r.err.contains(QLatin1String("mounted")))
            QSKIP(qPrintable(QStringLiteral("no mount namespace with a tmpfs can be made here: ") + r.err.trimmed()));
        const QString full = QStringLiteral("A pasta temporária \\\"%1\\\" ficou cheia").arg(path(QStringLiteral("mnt")));
        const QString listing = QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char(' '));
        QVERIFY2(r.out.contains(QLatin1String("\"event\":\"message\"")) && r.out.contains(full),
                 qPrintable(listing + QLatin1Char('\n') + r.out.right(500) + r.err));
        QVERIFY2(r.out.contains(QStringLiteral("Libere espaço nela")), qPrintable(r.out));
        QVERIFY2(!r.out.contains(QLatin1String("ZIP")) && !r.out.contains(QLatin1String("Zip")), qPrintable(r.out));
        QCOMPARE(QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestFullDisk)
#include "test_full_disk.moc"
