// The PDF and CSV a run writes are written safely: a process killed while it
// writes leaves the file as it was before, or no file, never a part of one
// (and no part file beside it either).
#include "report/model/DefinitionParser.h"
#include "report/model/DefinitionWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Enough rows that writing them takes seconds.
QString definition(int rows)
{
    return QStringLiteral("title \"Longo\"\nquery q\nSQL <<E\n"
                          "WITH RECURSIVE N(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM N WHERE X < %1)\n"
                          "SELECT 'Linha ' || X AS A, X * 1.5 AS V FROM N\nE\n"
                          "column A \"A\" width 40\ncolumn V \"V\" width 40 align right format number 2 sum\n")
        .arg(rows);
}
} // namespace

class TestReportSafeFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    // Starts the child writing `target` and kills it (SIGKILL) once it has
    // written `enough` pages or rows; false when it ended first.
    bool killWhileWriting(const QString &def, const QString &target, qint64 enough)
    {
        QProcess child;
        child.start(QStringLiteral(CHILD_PROGRAM), {m_db, def, target});
        if (!child.waitForStarted())
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 120000 && (child.state() == QProcess::Running || child.canReadLine())) {
            if (!child.canReadLine() && !child.waitForReadyRead(100))
                continue;
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("written ") && line.mid(8).toLongLong() >= enough) {
                child.kill();
                child.waitForFinished();
                return child.exitStatus() == QProcess::CrashExit;
            }
        }
        child.waitForFinished();
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("empty.db"));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
        db.setDatabaseName(m_db);
        QVERIFY(db.open());
        QVERIFY(db.tables().isEmpty());
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("make"));
    }

    void aKilledWriterLeavesTheOldFileOrNone_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("enough"); // pages or rows written when it is killed
        QTest::addColumn<bool>("old");
        QTest::addRow("pdf over an old one") << QStringLiteral("a.pdf") << 100000 << 20 << true;
        QTest::addRow("new pdf") << QStringLiteral("b.pdf") << 100000 << 20 << false;
        QTest::addRow("csv over an old one") << QStringLiteral("c.csv") << 2000000 << 50000 << true;
        QTest::addRow("new csv") << QStringLiteral("d.csv") << 2000000 << 50000 << false;
    }

    void aKilledWriterLeavesTheOldFileOrNone()
    {
        QFETCH(QString, name);
        QFETCH(int, rows);
        QFETCH(int, enough);
        QFETCH(bool, old);
        const QString def = m_dir.filePath(QStringLiteral("def-") + name + QStringLiteral(".rel"));
        DefinitionWriter::save(DefinitionParser::parseText(definition(rows), QStringLiteral("longo.rel")), def);
        const QString target = m_dir.filePath(name);
        if (old) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("the file before");
        }
        QVERIFY2(killWhileWriting(def, target, enough), "the writer ended before it could be killed");
        if (old) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("the file before"));
        } else {
            QVERIFY(!QFileInfo::exists(target));
        }
        const QStringList left = QDir(m_dir.path()).entryList({name + QStringLiteral("*")}, QDir::Files | QDir::Hidden);
        QCOMPARE(left, old ? QStringList{name} : QStringList());
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestReportSafeFiles)
#include "test_report_safe_files.moc"
