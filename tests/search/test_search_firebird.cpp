// Look-ups on Firebird: how a filtered list is read (the table's index
// walked, the rows sorted, or the search index read) gives the same rows as
// the rule in memory (TextFold); the schema's FOLD folds every WIN1252
// character as the program does; the search index follows products another
// program (isql-fb, on a server) inserts, renames and deletes.
#include "data/HostDatabase.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TextFold.h"
#include "support/EngineDatabases.h"
#include "support/FirebirdServer.h"
#include "SearchLists.h"

#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSqlQuery>
#include <QtTest>

using SearchLists::expected;
using SearchLists::filtered;
using SearchLists::kAllProducts;

class TestSearchFirebird : public QObject {
    Q_OBJECT

    EngineDatabases m_engines{SearchLists::productsOnly(3000)};
    QObject m_owner;

    // Runs script with isql-fb against the server's database, as another
    // program would; its error text, empty when it ran.
    QString isql(const QString &script)
    {
        static const QRegularExpression at(QStringLiteral("^firebird://([^:/]+):([0-9]+)(/.*)$"));
        const auto m = at.match(m_engines.location(QStringLiteral("firebird-server")));
        if (!m.hasMatch())
            return QStringLiteral("no server location");
        QProcess p;
        p.start(QStringLiteral("isql-fb"),
                {QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-ch"), QStringLiteral("UTF8"),
                 QStringLiteral("-user"), QLatin1String(FirebirdServer::User), QStringLiteral("-password"),
                 QLatin1String(FirebirdServer::Password),
                 QStringLiteral("%1/%2:%3").arg(m.captured(1), m.captured(2), m.captured(3))});
        p.write((script + QStringLiteral("\nCOMMIT;\nQUIT;\n")).toUtf8());
        p.closeWriteChannel();
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return QString::fromLocal8Bit(p.readAllStandardError()) + QStringLiteral(" (isql-fb failed)");
        return QString();
    }

    // Keys a keyed filter gives, and whether the search index gave them.
    QStringList searched(const QString &text, bool *throughIndex)
    {
        RowFilter f;
        f.text = text;
        f.columns = QStringList{QStringLiteral("CDARVPROD"), QStringLiteral("NMPRODUTO")};
        f.keyColumn = QStringLiteral("CDARVPROD");
        TADOIBQuery *q = SearchLists::products(&m_owner);
        const auto scan = q->dataSet()->OpenScan(f);
        *throughIndex = scan->preparedText().contains(QLatin1String("FROM PESQ_PRODUTO P__"));
        QStringList keys;
        while (scan->next())
            keys << scan->value(0).toString();
        return keys;
    }

private slots:
    void cleanup() { qDeleteAll(m_owner.children()); }

    // A filter that few of the first rows of the list's order match is read
    // in storage order and sorted, through the search index when the list's
    // key and columns are its own; one that many match walks the table's
    // index (its first page is near). Every way gives the rows of the rule,
    // in order, past the first page too; a list ordered by a column no index
    // leads is not probed at all.
    void firebirdSortsWhatFewOfTheFirstRowsMatch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("keyed");
        for (const char *t : {"a", "nº 14", "nº 2999", "0102", "feijão preto", "nada disto", "50%", "a_b", "ÇÃO 1"})
            for (bool keyed : {false, true})
                QTest::addRow("%s%s", t, keyed ? " keyed" : "") << QString::fromUtf8(t) << keyed;
    }
    void firebirdSortsWhatFewOfTheFirstRowsMatch()
    {
        QString why;
        QVERIFY2(m_engines.use(QStringLiteral("firebird"), &why), qPrintable(why));
        QFETCH(QString, text);
        QFETCH(bool, keyed);
        const int probe = 500;
        const int before = TADOIBDataSet::probeRows();
        TADOIBDataSet::setProbeRows(probe);
        const auto restore = qScopeGuard([&] { TADOIBDataSet::setProbeRows(before); });
        const QStringList want = expected(kAllProducts, text);
        // How many of the first rows match, found here by the rule in memory.
        QSqlQuery all(QStringLiteral("SELECT CDARVPROD FROM PRODUTO ORDER BY 1"), HostDatabase::instance().database());
        QSet<QString> firstRows;
        while (firstRows.size() < probe && all.next())
            firstRows.insert(all.value(0).toString());
        int matchingFirst = 0;
        for (const QString &k : want)
            matchingFirst += firstRows.contains(k) ? 1 : 0;
        const bool sorted = matchingFirst < TADOIBDataSet::DenseRows;

        RowFilter f;
        f.text = text;
        f.columns = QStringList{QStringLiteral("CDARVPROD"), QStringLiteral("NMPRODUTO")};
        if (keyed)
            f.keyColumn = QStringLiteral("CDARVPROD");
        TADOIBQuery *q = SearchLists::products(&m_owner);
        const auto scan = q->dataSet()->OpenScan(f);
        QCOMPARE(scan->preparedText().contains(QLatin1String("ORDER BY COALESCE(Q__.CDARVPROD")), sorted);
        QCOMPARE(scan->preparedText().contains(QLatin1String("FROM PESQ_PRODUTO P__")), sorted && keyed);
        QStringList keys;
        while (scan->next())
            keys << scan->value(0).toString();
        QCOMPARE(keys, want);
        QCOMPARE(filtered(q, text), want);

        TADOIBQuery *byName =
            SearchLists::listQuery(&m_owner, QStringLiteral("SELECT NMPRODUTO, CDARVPROD FROM PRODUTO ORDER BY NMPRODUTO"),
                                   {QStringLiteral("NMPRODUTO"), QStringLiteral("CDARVPROD")});
        const auto unprobed = byName->dataSet()->OpenScan(f);
        QVERIFY(!unprobed->preparedText().contains(QLatin1String("COALESCE")));
    }

    // Every character of WIN1252, folded by the database and by the program:
    // the same, except where the program's fold leaves WIN1252 (µ becomes
    // Greek mu), which the search index is never asked for.
    void theDatabasesFoldIsTheProgramsFold()
    {
        QString why;
        QVERIFY2(m_engines.use(QStringLiteral("firebird"), &why), qPrintable(why));
        QString all = QStringLiteral("AZaz09 -%_\\'\"");
        all += QString::fromUtf8("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ");
        for (char16_t c = 0xA0; c <= 0xFF; ++c)
            all += QChar(c);
        QSqlQuery q(HostDatabase::instance().database());
        QVERIFY(q.prepare(QStringLiteral("SELECT FOLD(CAST(? AS VARCHAR(400) CHARACTER SET UTF8)) FROM RDB$DATABASE")));
        q.addBindValue(all);
        QVERIFY2(q.exec() && q.next(), qPrintable(q.lastError().text()));
        const QString byDatabase = q.value(0).toString();
        QCOMPARE(byDatabase.size(), all.size());
        for (int i = 0; i < all.size(); ++i) {
            const QChar mine(TextFold::foldChar(all.at(i).unicode()));
            if (mine.unicode() > 0xFF && !all.contains(mine))
                continue;
            QVERIFY2(byDatabase.at(i) == mine, qPrintable(QStringLiteral("%1 folds to %2 in the database, %3 here")
                                                              .arg(all.at(i), byDatabase.at(i), mine)));
        }
        q.finish();
        QVERIFY2(q.exec(QStringLiteral("SELECT FOLD(NULL) FROM RDB$DATABASE")), qPrintable(q.lastError().text()));
        QVERIFY(q.next());
        QVERIFY(q.value(0).isNull());
    }

    void anotherProgramsProductsAreFound()
    {
        QString why;
        QVERIFY2(m_engines.use(QStringLiteral("firebird-server"), &why), qPrintable(why));
        bool throughIndex = false;
        QCOMPARE(isql(QString::fromUtf8("INSERT INTO PRODUTO VALUES ('99990001', 'Pão de Queijo Mineiro', '3', 'S');")),
                 QString());
        QCOMPARE(searched(QStringLiteral("PAO DE QUEIJO MIN"), &throughIndex), QStringList{"99990001"});
        QVERIFY(throughIndex);
        QCOMPARE(isql(QStringLiteral("UPDATE PRODUTO SET NMPRODUTO = 'Biscoito de Polvilho' WHERE CDARVPROD = '99990001';")),
                 QString());
        QCOMPARE(searched(QStringLiteral("queijo mineiro"), &throughIndex), QStringList());
        QCOMPARE(searched(QStringLiteral("polvilho"), &throughIndex), QStringList{"99990001"});
        QVERIFY(throughIndex);
        QCOMPARE(isql(QStringLiteral("DELETE FROM PRODUTO WHERE CDARVPROD = '99990001';")), QString());
        QCOMPARE(searched(QStringLiteral("polvilho"), &throughIndex), QStringList());
        QCOMPARE(filtered(SearchLists::products(&m_owner), QStringLiteral("polvilho")), QStringList());
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestSearchFirebird)
#include "test_search_firebird.moc"
