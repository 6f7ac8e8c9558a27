// A program that keeps its data module for its whole life (a static, as
// bench_search's fixture does) closes the database while the process exits,
// after other statics are gone. The search index cache hears that close: it
// must still be there, or the exit writes into freed memory (seen as
// "corrupted double-linked list" aborts at the end of a run).
//
// The program runs itself as a child that searches through the index and
// exits with its database open; under valgrind when the build has no
// AddressSanitizer, so that the freed memory is seen on every run.
#include "data/HostDatabase.h"
#include "data/SearchIndexes.h"
#include "support/SearchDatabase.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <cstdio>
#include <cstring>

namespace {

const char *const kChildFlag = "--exit-with-database-open";

int childMain(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    // Made before the cache is first used, so destroyed after it.
    static std::unique_ptr<TdtmDBGeral> dm = SearchDatabase::open(dir);
    const SearchIndexes::Index index = SearchIndexes::find(
        HostDatabase::instance().database(), QStringLiteral("CDARVPROD"),
        {QStringLiteral("CDARVPROD"), QStringLiteral("NMPRODUTO")});
    std::printf("index %s\n", qPrintable(index.table));
    return index.table.isEmpty() ? 3 : 0;
}

} // namespace

class TestSearchExit : public QObject {
    Q_OBJECT

private slots:
    void exitWithTheDatabaseOpenLeavesTheHeapWhole()
    {
        QString program = QCoreApplication::applicationFilePath();
        QStringList args{QString::fromLatin1(kChildFlag)};
#ifndef __SANITIZE_ADDRESS__
        const QString valgrind = QStandardPaths::findExecutable(QStringLiteral("valgrind"));
        if (!valgrind.isEmpty()) {
            args.prepend(program);
            args = QStringList{QStringLiteral("--quiet"), QStringLiteral("--error-exitcode=99"),
                               QStringLiteral("--show-leak-kinds=none"),
                               QStringLiteral("--undef-value-errors=no")} + args;
            program = valgrind;
        }
#endif
        QProcess p;
        p.start(program, args);
        QVERIFY(p.waitForFinished(240000));
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == 0, err.constData());
        QVERIFY2(!err.contains("Invalid") && !err.contains("AddressSanitizer"), err.constData());
        QVERIFY(p.readAllStandardOutput().startsWith("index "));
    }
};

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], kChildFlag) == 0)
            return childMain(argc, argv);
    QCoreApplication app(argc, argv);
    TestSearchExit t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_search_exit.moc"
