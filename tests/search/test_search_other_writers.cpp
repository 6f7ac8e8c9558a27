// Other programs write a SQLite database the shell searches: the sqlite3
// shell inserts, renames and deletes products while the shell has the
// database open, and an accent-free search through the products' search
// index then finds exactly the rows the table holds (checked against the
// same rule applied in memory to every row). A database made with the older
// triggers, which called FOLD and so refused every other program's write,
// is changed when the shell opens it, and writes from the sqlite3 shell go
// through from then on.
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

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
            QSKIP("the sqlite3 shell is not installed");
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
