// Search filters in the database ignore case and accents on every engine
// (EngineDatabases: SQLite through FOLD, FOLD_INSTR and the products' search
// index; Firebird through the WIN_PTBR collation); codes match with or
// without their mask's dots; one run of the query gives the first rows and
// then the count, a slice at a time. Each engine's results are checked
// against the same rule applied in memory (TextFold) to every row of the
// table. SQLite's own routines and search index are checked on SQLite.
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/engines/SqlDialect.h"
#include "data/SqlStatement.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TextFold.h"
#include "lookup/SearchDataSetSource.h"
#include "support/EngineDatabases.h"
#include "SearchLists.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using SearchLists::expected;
using SearchLists::filtered;
using SearchLists::kAllProducts;
using SearchLists::keysOf;

class TestSearchFolding : public QObject {
    Q_OBJECT

    // Enough products for the count to read past the rows it keeps ahead.
    EngineDatabases m_engines{SearchLists::productsOnly(3 * SearchDataSetSource::kAheadRows / 2)};
    QObject m_owner;

    TADOIBQuery *listQuery(const QString &sql, const QStringList &fields)
    {
        return SearchLists::listQuery(&m_owner, sql, fields);
    }
    TADOIBQuery *products() { return SearchLists::products(&m_owner); }

    void exec(const QString &sql)
    {
        QSqlQuery q(HostDatabase::instance().database());
        QVERIFY2(q.exec(sql), qPrintable(SqlStatement::errorText(q.lastError())));
    }

private slots:
    void cleanup() { qDeleteAll(m_owner.children()); }

    void filterIgnoresCaseAndAccents_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("text");
        for (const QString &engine : EngineDatabases::names())
            for (const char *t : {"FEIJAO", "feijão", "Feijao Preto", "MACARRAO", "acucar", "ÇÃ", "pao de"})
                QTest::addRow("%s %s", qPrintable(engine), t) << engine << QString::fromUtf8(t);
    }
    void filterIgnoresCaseAndAccents()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, text);
        const QStringList want = expected(kAllProducts, text);
        QVERIFY(!want.isEmpty());
        QCOMPARE(filtered(products(), text), want);
    }

    void sqliteRoutines()
    {
        QString why;
        QVERIFY2(m_engines.use(QStringLiteral("sqlite"), &why), qPrintable(why));
        // Through SqlStatement, as the queries run (it quotes ISNULL, a word of SQLite's).
        auto value = [](const QString &sql) {
            try {
                SqlStatement q(HostDatabase::instance().database());
                q.exec(sql);
                return q.next() ? q.value(0) : QVariant(QStringLiteral("<no row>"));
            } catch (const EHostError &e) {
                return QVariant(e.text());
            }
        };
        QCOMPARE(value(QStringLiteral("SELECT FOLD('Conceição ÁGUA Ñandu')")).toString(), QStringLiteral("conceicao agua nandu"));
        QVERIFY(value(QStringLiteral("SELECT FOLD(NULL)")).isNull());
        // An ASCII needle, and one that keeps a letter without a plain form.
        QCOMPARE(value(QStringLiteral("SELECT FOLD_INSTR('Escola Conceição', 'CAO')")).toInt(), 14);
        QCOMPARE(value(QStringLiteral("SELECT FOLD_INSTR('Smørrebrød Ærø', 'RØD')")).toInt(), 8);
        QCOMPARE(value(QStringLiteral("SELECT FOLD_INSTR('Smørrebrød', 'rod')")).toInt(), 0);
        // Characters of three and four bytes keep their UTF-16 positions.
        QCOMPARE(value(QStringLiteral("SELECT FOLD_INSTR('€ 😀 Pão', 'pao')")).toInt(), 6);
        QCOMPARE(value(QStringLiteral("SELECT FOLD_INSTR('€ 😀 Pão', '😀')")).toInt(), 3);
        QCOMPARE(value(QStringLiteral("SELECT FOLD_INSTR('abc', '')")).toInt(), 1);
        QVERIFY(value(QStringLiteral("SELECT FOLD_INSTR(NULL, 'a')")).isNull());
        QVERIFY(value(QStringLiteral("SELECT FOLD_INSTR('a', NULL)")).isNull());
        // A needle that changes from row to row.
        QCOMPARE(value(QStringLiteral("SELECT group_concat(FOLD_INSTR(NMFILIAL, n), ',') FROM FILIAL, "
                                      "(SELECT 'SAO' AS n UNION ALL SELECT 'ção') WHERE CDFILIAL = '0104'")).toString(),
                 QStringLiteral("0,23"));
        // Unicode case mapping (SQLite's own maps ASCII only).
        QCOMPARE(value(QStringLiteral("SELECT UPPER('ação é')")).toString(), QStringLiteral("AÇÃO É"));
        QCOMPARE(value(QStringLiteral("SELECT LOWER('AÇÃO')")).toString(), QStringLiteral("ação"));
        QVERIFY(value(QStringLiteral("SELECT UPPER(NULL)")).isNull());
    }

    void branchNamesToo_data() { EngineDatabases::addColumn(); }
    void branchNamesToo()
    {
        USE_ENGINE(m_engines);
        TADOIBQuery *q = listQuery(QStringLiteral("SELECT CDFILIAL, NMFILIAL FROM FILIAL ORDER BY CDFILIAL"),
                                   {QStringLiteral("CDFILIAL"), QStringLiteral("NMFILIAL")});
        QCOMPARE(filtered(q, QStringLiteral("conceicao")), QStringList{"0104"});
        QCOMPARE(filtered(q, QStringLiteral("SAO JOAO")), QStringList{"0101"});
        QCOMPARE(filtered(q, QStringLiteral("ab12")), QStringList{"AB12"});
        // % and _ are plain characters, not patterns.
        QCOMPARE(filtered(q, QStringLiteral("Escola%Conceição")), QStringList());
        QCOMPARE(filtered(q, QStringLiteral("0_04")), QStringList());
    }

    void codesWithOrWithoutTheirDots_data() { EngineDatabases::addColumn(); }
    void codesWithOrWithoutTheirDots()
    {
        USE_ENGINE(m_engines);
        TADOIBQuery *q = products();
        q->FieldByName(QStringLiteral("CDARVPROD"))->setEditMask(QStringLiteral("99.99.9999;0; "));
        const QStringList bare = filtered(q, QStringLiteral("0102"));
        QVERIFY(!bare.isEmpty());
        QCOMPARE(bare, expected(kAllProducts,
                                QStringLiteral("0102")));
        QCOMPARE(filtered(q, QStringLiteral("01.02")), bare);
        QCOMPARE(filtered(q, QStringLiteral("01.02.0001")), QStringList{"01020001"});
    }

    void countFollowsTheRowsOfTheSameRun_data() { EngineDatabases::addColumn(); }
    void countFollowsTheRowsOfTheSameRun()
    {
        USE_ENGINE(m_engines);
        const QString text = QStringLiteral("a");
        const QStringList want = expected(kAllProducts, text);
        QVERIFY(want.size() > 200);
        TADOIBQuery *q = products();
        q->Open();
        SearchDataSetSource source(q->dataSet(), {});
        source.setFilter(text);
        QList<QStringList> first;
        QCOMPARE(source.fetch(100, first), 100);
        QCOMPARE(source.counted(), qint64(100));
        // A slice of no time still reads a row, and only one.
        QVERIFY(!source.countMore(0));
        QCOMPARE(source.counted(), qint64(101));
        int slices = 0;
        while (!source.countMore(5))
            ++slices;
        QCOMPARE(source.counted(), qint64(want.size()));
        qInfo("%lld rows counted in %d slices after the first page", source.counted(), slices + 1);
        // The rest of the rows, those kept ahead and those read again.
        QStringList keys;
        for (const QStringList &r : first)
            keys << r.at(source.keyColumn());
        keys += keysOf(source);
        QCOMPARE(keys, want);
        QVERIFY(source.atEnd());
    }

    void indexKeptInStepWithTheTable()
    {
        QString why;
        QVERIFY2(m_engines.use(QStringLiteral("sqlite"), &why), qPrintable(why));
        TADOIBQuery *q = products();
        exec(QStringLiteral("INSERT INTO PRODUTO VALUES ('99990001', 'Pão de Queijo Mineiro', '3', 'S')"));
        QCOMPARE(filtered(q, QStringLiteral("PAO DE QUEIJO MIN")), QStringList{"99990001"});
        exec(QStringLiteral("UPDATE PRODUTO SET NMPRODUTO = 'Biscoito de Polvilho' WHERE CDARVPROD = '99990001'"));
        QCOMPARE(filtered(q, QStringLiteral("queijo mineiro")), QStringList());
        QCOMPARE(filtered(q, QStringLiteral("polvilho")), QStringList{"99990001"});
        exec(QStringLiteral("DELETE FROM PRODUTO WHERE CDARVPROD = '99990001'"));
        QCOMPARE(filtered(q, QStringLiteral("polvilho")), QStringList());
    }

    void indexServesLongTextsAndAgreesWithTheScan_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("indexed");
        QTest::newRow("two characters") << QStringLiteral("ao") << false;
        QTest::newRow("three") << QStringLiteral("jão") << true;
        QTest::newRow("with a quote") << QStringLiteral("a\" OR \"b") << true;
        QTest::newRow("number") << QStringLiteral("nº 1234") << true;
    }
    void indexServesLongTextsAndAgreesWithTheScan()
    {
        QString why;
        QVERIFY2(m_engines.use(QStringLiteral("sqlite"), &why), qPrintable(why));
        QFETCH(QString, text);
        QFETCH(bool, indexed);
        TADOIBQuery *q = products();
        q->Open();
        RowFilter f;
        f.text = text;
        f.columns = QStringList{QStringLiteral("CDARVPROD"), QStringLiteral("NMPRODUTO")};
        f.keyColumn = QStringLiteral("CDARVPROD");
        const auto scan = q->dataSet()->OpenScan(f);
        QCOMPARE(scan->preparedText().contains(QLatin1String("PRODUTO_PESQ MATCH")), indexed);
        QStringList viaIndex;
        while (scan->next())
            viaIndex << scan->value(0).toString();
        QCOMPARE(viaIndex, expected(kAllProducts, text));
        f.keyColumn.clear(); // no key: no index
        const auto plain = q->dataSet()->OpenScan(f);
        QVERIFY(!plain->preparedText().contains(QLatin1String("MATCH")));
    }

    // The list's own ORDER BY is written after the derived table, not inside
    // it (SQL Server refuses one there), and still orders the rows.
    void theOrderStaysOutsideTheDerivedTable_data() { EngineDatabases::addColumn(); }
    void theOrderStaysOutsideTheDerivedTable()
    {
        USE_ENGINE(m_engines);
        TADOIBQuery *q = listQuery(QStringLiteral("SELECT F.CDFILIAL, F.NMFILIAL FROM FILIAL F ORDER BY F.CDFILIAL DESC"),
                                   {QStringLiteral("CDFILIAL"), QStringLiteral("NMFILIAL")});
        RowFilter f;
        f.text = QStringLiteral("escola");
        f.columns = QStringList{QStringLiteral("NMFILIAL")};
        const auto scan = q->dataSet()->OpenScan(f);
        const QString text = scan->preparedText();
        QVERIFY2(text.lastIndexOf(QLatin1String("ORDER BY")) > text.lastIndexOf(QLatin1String(") Q__")), qPrintable(text));
        QStringList codes;
        while (scan->next())
            codes << scan->value(0).toString();
        QStringList descending = expected(QStringLiteral("SELECT CDFILIAL, NMFILIAL FROM FILIAL"), f.text);
        std::sort(descending.begin(), descending.end(), std::greater<QString>());
        QVERIFY(codes.size() >= 3);
        QCOMPARE(codes, descending);
    }

    // A number, or a text of another character set, searched like any text
    // (on Firebird the collation does not apply to them as they are).
    void columnsOfOtherTypesAreSearchedToo_data() { EngineDatabases::addColumn(); }
    void columnsOfOtherTypesAreSearchedToo()
    {
        USE_ENGINE(m_engines);
        const bool firebird = HostDatabase::instance().dialect().name() == QLatin1String("Firebird");
        TADOIBQuery *q = listQuery(QStringLiteral("SELECT NRTIPOCUSTO, NMTIPOCUSTO, %1 AS X FROM TIPOCUSTO ORDER BY NRTIPOCUSTO")
                                       .arg(firebird ? QStringLiteral("_UTF8 'Pão'") : QStringLiteral("'Pão'")),
                                   {QStringLiteral("NRTIPOCUSTO"), QStringLiteral("NMTIPOCUSTO"), QStringLiteral("X")});
        RowFilter f;
        f.text = QStringLiteral("2");
        f.columns = QStringList{QStringLiteral("NRTIPOCUSTO")};
        const auto byNumber = q->dataSet()->FetchPage(f, 0, 10);
        QCOMPARE(byNumber.size(), 1);
        QCOMPARE(byNumber.first().at(1).toString(), QStringLiteral("Custo de Reposição"));
        f.text = QStringLiteral("PAO");
        f.columns = QStringList{QStringLiteral("X")};
        QCOMPARE(q->dataSet()->CountRows(f), qint64(4));
        // Text columns of the database's own character set, by the same list.
        f.text = QStringLiteral("reposicao");
        f.columns = QStringList{QStringLiteral("NMTIPOCUSTO")};
        QCOMPARE(q->dataSet()->FetchPage(f, 0, 10).size(), 1);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestSearchFolding)
#include "test_search_folding.moc"
