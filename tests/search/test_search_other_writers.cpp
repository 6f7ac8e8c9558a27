// Other programs write a SQLite database the shell searches: the sqlite3
// shell inserts, renames and deletes products while the shell has the
// database open, and an accent-free search through the products' search
// index then finds exactly the rows the table holds (checked against the
// same rule applied in memory to every row). A database made with the older
// triggers, which called FOLD and so refused every other program's write,
// is changed when the shell opens it, and writes from the sqlite3 shell go
// through from then on. Every conflict clause a writer may give (upserts,
// INSERT OR ..., UPDATE OR ...) passes through the triggers: the write is
// done, or refused by the table's own key with nothing changed, and the
// search then finds exactly what the table holds.
#include "appdata/dtmDBGeral.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TextFold.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestSearchOtherWriters : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QObject m_owner;

    // Runs sql through the sqlite3 shell; its standard error, "" when it went through.
    static QString cli(const QString &path, const QString &sql)
    {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), path});
        if (!p.waitForStarted())
            return QStringLiteral("sqlite3 did not start");
        p.write(sql.toUtf8());
        p.closeWriteChannel();
        p.waitForFinished(30000);
        const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        return p.exitCode() == 0 && err.isEmpty() ? QString() : QStringLiteral("exit %1: %2").arg(p.exitCode()).arg(err);
    }

    std::unique_ptr<TdtmDBGeral> open(const QString &path)
    {
        auto dm = std::make_unique<TdtmDBGeral>();
        ShellConfig c;
        c.database = QStringLiteral("sqlite:") + path;
        dm->open(c);
        return dm;
    }

    TADOIBQuery *products()
    {
        auto *q = new TADOIBQuery(&m_owner);
        q->setSQL({QStringLiteral("SELECT CDARVPROD, NMPRODUTO FROM PRODUTO ORDER BY CDARVPROD")});
        for (const char *name : {"CDARVPROD", "NMPRODUTO"}) {
            auto *f = new TADOIBStringField(q);
            f->setFieldName(QLatin1String(name));
        }
        return q;
    }

    // The keys the search finds through the index, in code order.
    QStringList searched(const QString &text)
    {
        TADOIBQuery *q = products();
        q->Open();
        RowFilter f;
        f.text = text;
        f.columns = QStringList{QStringLiteral("CDARVPROD"), QStringLiteral("NMPRODUTO")};
        f.keyColumn = QStringLiteral("CDARVPROD");
        const auto scan = q->dataSet()->OpenScan(f);
        if (!scan->preparedText().contains(QLatin1String("PRODUTO_PESQ MATCH"))) {
            delete q;
            return {QStringLiteral("<the search index was not used>")};
        }
        QStringList keys;
        while (scan->next())
            keys << scan->value(0).toString();
        // A list left open would keep the database as it was when it opened.
        delete q;
        return keys;
    }

    // The keys of the table's rows that the rule in memory matches.
    static QStringList expected(const QString &text)
    {
        QSqlQuery q(HostDatabase::instance().database());
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT CDARVPROD, NMPRODUTO FROM PRODUTO ORDER BY CDARVPROD"));
        const QString needle = TextFold::fold(text);
        QStringList out;
        while (q.next())
            if (TextFold::containsFolded(q.value(0).toString(), needle)
                || TextFold::containsFolded(q.value(1).toString(), needle))
                out << q.value(0).toString();
        return out;
    }

    static QString writes()
    {
        return QStringLiteral(
            "INSERT INTO PRODUTO VALUES ('99990001', 'Pão de Queijo Mineiro', '3', 'S');\n"
            "INSERT INTO PRODUTO VALUES ('99990002', 'Açaí na Tigela', '3', 'S');\n"
            "INSERT INTO PRODUTO VALUES ('99990003', 'Canjica Branca', '3', 'S');\n"
            "UPDATE PRODUTO SET NMPRODUTO = 'Biscoito de Polvilho Azedo' WHERE CDARVPROD = '99990002';\n"
            "DELETE FROM PRODUTO WHERE CDARVPROD = '99990003';\n");
    }

    void searchesFindWhatTheTableHolds()
    {
        const QStringList none;
        QCOMPARE(searched(QStringLiteral("QUEIJO MINEIRO")), QStringList{"99990001"});
        QCOMPARE(searched(QStringLiteral("polvilho azedo")), QStringList{"99990002"});
        QCOMPARE(searched(QStringLiteral("acai na tig")), none);
        QCOMPARE(searched(QStringLiteral("canjica branca")), none);
        for (const char *text : {"pao", "açúcar", "9999", "biscoito"}) {
            const QStringList found = searched(QString::fromUtf8(text)), want = expected(QString::fromUtf8(text));
            QVERIFY2(found == want, qPrintable(QStringLiteral("%1: %2 / %3").arg(QString::fromUtf8(text),
                                                                                    found.join(QLatin1Char(',')),
                                                                                    want.join(QLatin1Char(',')))));
        }
    }

    // What the table holds, as one text, to tell that a refused write changed nothing.
    static QString tableText(const QString &path)
    {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {path, QStringLiteral("SELECT group_concat(CDARVPROD || '=' || NMPRODUTO, '|') "
                                                              "FROM (SELECT * FROM PRODUTO ORDER BY CDARVPROD)")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // Two products of this test's own names, so that a stale index entry shows.
    QString m_base;

    // After a search (which folds the noted rows in): the index holds one
    // entry per row of the table, of that row's key, and no other.
    void indexMirrorsTheTable(const QString &path)
    {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {path, QStringLiteral(
            "SELECT (SELECT count(*) FROM PRODUTO_PESQ), (SELECT count(*) FROM PRODUTO), "
            "(SELECT count(*) FROM PRODUTO_PESQ I JOIN PRODUTO T ON T.rowid = I.rowid AND T.CDARVPROD = I.CHAVE)")});
        p.waitForFinished(30000);
        const QStringList counts = QString::fromUtf8(p.readAllStandardOutput()).trimmed().split(QLatin1Char('|'));
        QCOMPARE(counts.size(), 3);
        QCOMPARE(counts[0], counts[1]);
        QCOMPARE(counts[2], counts[1]);
    }

    void searchesAgreeWithTheTable()
    {
        for (const char *text : {"canjica", "pamonha", "curau", "9999", "milho"}) {
            const QStringList found = searched(QString::fromUtf8(text)), want = expected(QString::fromUtf8(text));
            QVERIFY2(found == want, qPrintable(QStringLiteral("%1: %2 / %3").arg(QString::fromUtf8(text),
                                                                                    found.join(QLatin1Char(',')),
                                                                                    want.join(QLatin1Char(',')))));
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
            QSKIP("the sqlite3 shell is not installed");
        m_base = m_dir.filePath(QStringLiteral("base.sqlite"));
        TdtmDBGeral::createSqliteFile(m_base);
        const QString err = cli(m_base, QStringLiteral("INSERT INTO PRODUTO VALUES ('99990001', 'Canjica Branca', '3', 'S');"
                                                      "INSERT INTO PRODUTO VALUES ('99990002', 'Pamonha Doce', '3', 'S');"));
        QVERIFY2(err.isEmpty(), qPrintable(err));
    }

    void conflictClausesPassThroughTheTriggers_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("refusal"); // part of sqlite3's message; empty: the write goes through
        const QString upsert = QStringLiteral("INSERT INTO PRODUTO VALUES ('99990001', 'Curau de Milho', '3', 'S') "
                                              "ON CONFLICT(CDARVPROD) DO UPDATE SET NMPRODUTO = excluded.NMPRODUTO");
        QTest::newRow("upsert") << upsert << QString();
        QTest::newRow("upsert of a new row") << QString(upsert).replace(QLatin1String("99990001"), QLatin1String("99990009"))
                                             << QString();
        QTest::newRow("upsert doing nothing") << QStringLiteral("INSERT INTO PRODUTO VALUES ('99990001', 'Curau', '3', 'S') "
                                                                "ON CONFLICT DO NOTHING") << QString();
        for (const char *clause : {"ABORT", "FAIL", "ROLLBACK", "REPLACE", "IGNORE"}) {
            const QString c = QLatin1String(clause);
            QTest::addRow("update or %s", clause)
                << QStringLiteral("UPDATE OR %1 PRODUTO SET NMPRODUTO = 'Curau de Milho' WHERE CDARVPROD = '99990001'").arg(c)
                << QString();
            QTest::addRow("insert or %s", clause)
                << QStringLiteral("INSERT OR %1 INTO PRODUTO VALUES ('99990003', 'Curau de Milho', '3', 'S')").arg(c)
                << QString();
            // The key taken by another row: REPLACE removes that row, IGNORE
            // skips, the others refuse the whole statement.
            const bool refused = c != QLatin1String("REPLACE") && c != QLatin1String("IGNORE");
            const QString taken = refused ? QStringLiteral("UNIQUE constraint failed: PRODUTO.CDARVPROD") : QString();
            QTest::addRow("update or %s onto a taken key", clause)
                << QStringLiteral("UPDATE OR %1 PRODUTO SET CDARVPROD = '99990002', NMPRODUTO = 'Curau de Milho' "
                                  "WHERE CDARVPROD = '99990001'").arg(c) << taken;
            QTest::addRow("insert or %s of a taken key", clause)
                << QStringLiteral("INSERT OR %1 INTO PRODUTO VALUES ('99990002', 'Curau de Milho', '3', 'S')").arg(c) << taken;
        }
    }

    void conflictClausesPassThroughTheTriggers()
    {
        QFETCH(QString, sql);
        QFETCH(QString, refusal);
        const QString path = m_dir.filePath(QStringLiteral("conflito.sqlite"));
        QFile::remove(path);
        QVERIFY(QFile::copy(m_base, path));
        const auto dm = open(path);
        searchesAgreeWithTheTable();
        const QString before = tableText(path);
        const QString err = cli(path, sql + QLatin1Char(';'));
        if (refusal.isEmpty()) {
            QVERIFY2(err.isEmpty(), qPrintable(err));
        } else {
            QVERIFY2(err.contains(refusal), qPrintable(err));
            QCOMPARE(tableText(path), before);
        }
        searchesAgreeWithTheTable();
        indexMirrorsTheTable(path);
    }

    void orIgnoreTriggersAreReplacedWhenOpened()
    {
        const QString path = m_dir.filePath(QStringLiteral("ignorar.sqlite"));
        QFile::remove(path);
        QVERIFY(QFile::copy(m_base, path));
        // The triggers as the previous program made them.
        QString err = cli(path, QStringLiteral(
            "DROP TRIGGER PRODUTO_PESQ_BI; DROP TRIGGER PRODUTO_PESQ_BU; DROP TRIGGER PRODUTO_PESQ_AU;"
            "CREATE TRIGGER PRODUTO_PESQ_AU AFTER UPDATE ON PRODUTO BEGIN "
            "INSERT OR IGNORE INTO PESQPENDENTE (NMINDICE, NRLINHA) VALUES ('PRODUTO_PESQ', old.rowid); "
            "INSERT OR IGNORE INTO PESQPENDENTE (NMINDICE, NRLINHA) VALUES ('PRODUTO_PESQ', new.rowid); END;"));
        QVERIFY2(err.isEmpty(), qPrintable(err));
        const QString update = QStringLiteral("UPDATE OR FAIL PRODUTO SET NMPRODUTO = 'Curau de Milho' WHERE CDARVPROD = '99990001';");
        QVERIFY(cli(path, update).contains(QLatin1String("PESQPENDENTE")));
        const auto dm = open(path);
        err = cli(path, update);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QCOMPARE(searched(QStringLiteral("curau de milho")), QStringList{"99990001"});
    }

    void writesOfTheSqliteShellAreSearched()
    {
        const QString path = m_dir.filePath(QStringLiteral("escritorio.sqlite"));
        TdtmDBGeral::createSqliteFile(path);
        const auto dm = open(path);
        QCOMPARE(searched(QStringLiteral("polvilho azedo")), QStringList());
        // While the shell has the database open.
        const QString err = cli(path, writes());
        QVERIFY2(err.isEmpty(), qPrintable(err));
        searchesFindWhatTheTableHolds();
    }

    void olderTriggersAreReplacedWhenOpened()
    {
        const QString path = m_dir.filePath(QStringLiteral("antigo.sqlite"));
        TdtmDBGeral::createSqliteFile(path);
        {
            // The schema as an older program made it: triggers that call FOLD.
            const auto dm = open(path);
            QSqlQuery q(HostDatabase::instance().database());
            for (const char *sql :
                 {"DROP TRIGGER PRODUTO_PESQ_AI", "DROP TRIGGER PRODUTO_PESQ_AD", "DROP TRIGGER PRODUTO_PESQ_AU",
                  "DROP TRIGGER PRODUTO_PESQ_BI", "DROP TRIGGER PRODUTO_PESQ_BU",
                  "DROP TABLE PESQPENDENTE", "ALTER TABLE INDICEPESQ DROP COLUMN NMTABELA",
                  "CREATE TRIGGER PRODUTO_PESQ_AI AFTER INSERT ON PRODUTO BEGIN INSERT INTO PRODUTO_PESQ (rowid, CHAVE, "
                  "CDARVPROD, NMPRODUTO) VALUES (new.rowid, new.CDARVPROD, FOLD(new.CDARVPROD), FOLD(new.NMPRODUTO)); END",
                  "CREATE TRIGGER PRODUTO_PESQ_AD AFTER DELETE ON PRODUTO BEGIN DELETE FROM PRODUTO_PESQ WHERE rowid = "
                  "old.rowid; END",
                  "CREATE TRIGGER PRODUTO_PESQ_AU AFTER UPDATE ON PRODUTO BEGIN DELETE FROM PRODUTO_PESQ WHERE rowid = "
                  "old.rowid; INSERT INTO PRODUTO_PESQ (rowid, CHAVE, CDARVPROD, NMPRODUTO) VALUES (new.rowid, "
                  "new.CDARVPROD, FOLD(new.CDARVPROD), FOLD(new.NMPRODUTO)); END"})
                QVERIFY2(q.exec(QLatin1String(sql)), qPrintable(SqlStatement::errorText(q.lastError())));
        }
        QVERIFY(cli(path, writes()).contains(QLatin1String("no such function: FOLD")));
        const auto dm = open(path);
        const QString err = cli(path, writes());
        QVERIFY2(err.isEmpty(), qPrintable(err));
        searchesFindWhatTheTableHolds();
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestSearchOtherWriters)
#include "test_search_other_writers.moc"
