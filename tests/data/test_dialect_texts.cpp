// The statement texts written around a query's own for each engine's
// dialect, those this machine does not run (SQL Server, Oracle: the tests'
// own dialects) included, checked as texts: the look-up
// wrapper never leaves an ORDER BY inside its derived table, pages with each
// engine's own row limit, filters without accents; long texts reach SQL
// Server's CHARINDEX as NVARCHAR(MAX); Oracle's text limit is said in
// Portuguese before a statement runs. SQLite and Firebird run these
// statements in test_query_component, test_search_folding and test_firebird.
#include "core/Errors.h"
#include "data/LookupSql.h"
#include "data/NamedSql.h"
#include "data/TextFold.h"
#include "data/engines/DatabaseEngine.h"
#include "support/ForeignDialects.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

const OracleTexts kOracle;
const MsSqlTexts kMsSql;

const SqlDialect &engine(const char *scheme) { return DatabaseEngine::forScheme(QLatin1String(scheme))->dialect(); }
const SqlDialect &kFirebird = engine("firebird");
const SqlDialect &kSqlite = engine("sqlite");
const SqlDialect &kPostgres = engine("postgresql");

const QStringList kColumns = {"CDFILIAL", "NMFILIAL", "CDFILCENTXEV"};

// The text of a derived table: between "FROM (" and its closing ") Q__".
QString derivedPart(const QString &text)
{
    const int start = int(text.indexOf(QLatin1String("FROM (")));
    const int end = int(text.lastIndexOf(QLatin1String(") Q__")));
    return start < 0 || end < 0 ? QString() : text.mid(start + 6, end - start - 6);
}

// What the database makes of TRANSLATE(LOWER(value), FROM, TO), with the two
// lists the term carries.
QString translated(const QString &term, const QString &value)
{
    static const QRegularExpression lists(QStringLiteral("TRANSLATE\\(.*, '([^']*)', '([^']*)'\\)"));
    const auto m = lists.match(term);
    if (!m.hasMatch() || m.captured(1).size() != m.captured(2).size())
        return QStringLiteral("<no lists>");
    QString out = value.toLower();
    for (QChar &c : out) {
        const int i = int(m.captured(1).indexOf(c));
        if (i >= 0)
            c = m.captured(2).at(i);
    }
    return out;
}

} // namespace

class TestDialectTexts : public QObject {
    Q_OBJECT

    void engines()
    {
        QTest::addColumn<const SqlDialect *>("dialect");
        for (const SqlDialect *d : {static_cast<const SqlDialect *>(&kMsSql), static_cast<const SqlDialect *>(&kOracle),
                                    &kFirebird, &kSqlite, &kPostgres})
            QTest::newRow(qPrintable(d->name())) << d;
    }

private slots:
    void theOrderGoesOutside_data() { engines(); }
    void theOrderGoesOutside()
    {
        QFETCH(const SqlDialect *, dialect);
        const LookupSql sql(QStringLiteral("SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV\n  FROM FILIAL F\n"
                                           " WHERE F.CDFILCENTXEV = :P_C\n ORDER BY F.CDFILIAL DESC, 2"),
                            *dialect);
        QCOMPARE(sql.orderItems(), QStringList({"F.CDFILIAL DESC", "2"}));
        const QString page = sql.page(QStringLiteral("Q__.NMFILIAL LIKE :F"), kColumns, QStringLiteral("L"),
                                      QStringLiteral("O"));
        QVERIFY2(!derivedPart(page).contains(QLatin1String("ORDER BY")), qPrintable(page));
        QVERIFY2(page.contains(QLatin1String("WHERE Q__.NMFILIAL LIKE :F\nORDER BY Q__.CDFILIAL DESC, 2")), qPrintable(page));
        QVERIFY(!derivedPart(sql.unordered(QString())).contains(QLatin1String("ORDER")));
        QVERIFY(!derivedPart(sql.ordered(QString(), kColumns)).contains(QLatin1String("ORDER")));
    }

    void eachEngineLimitsRowsItsOwnWay()
    {
        const QString text = QStringLiteral("SELECT CDFILIAL, NMFILIAL FROM FILIAL ORDER BY CDFILIAL");
        const auto page = [&](const SqlDialect &e) {
            return LookupSql(text, e).page(QString(), kColumns, QStringLiteral("L"), QStringLiteral("O"));
        };
        QCOMPARE(page(kMsSql), QStringLiteral("SELECT * FROM (\nSELECT CDFILIAL, NMFILIAL FROM FILIAL\n) Q__\n"
                                                        "ORDER BY Q__.CDFILIAL OFFSET :O ROWS FETCH NEXT :L ROWS ONLY"));
        QCOMPARE(page(kOracle), QStringLiteral("SELECT * FROM (\nSELECT CDFILIAL, NMFILIAL FROM FILIAL\n) Q__\n"
                                                         "ORDER BY Q__.CDFILIAL\nOFFSET :O ROWS FETCH NEXT :L ROWS ONLY"));
        QCOMPARE(page(kFirebird), QStringLiteral("SELECT FIRST (:L) SKIP (:O) * FROM (\nSELECT CDFILIAL, NMFILIAL "
                                                           "FROM FILIAL\n) Q__\nORDER BY Q__.CDFILIAL"));
        QCOMPARE(page(kSqlite), QStringLiteral("SELECT * FROM (\nSELECT CDFILIAL, NMFILIAL FROM FILIAL\n) Q__\n"
                                                         "ORDER BY Q__.CDFILIAL\nLIMIT :L OFFSET :O"));
        // Without an order SQL Server still needs one for OFFSET.
        const QString unordered = LookupSql(QStringLiteral("SELECT CDFILIAL FROM FILIAL"), kMsSql)
                                      .page(QString(), kColumns, QStringLiteral("L"), QStringLiteral("O"));
        QVERIFY2(unordered.endsWith(QLatin1String("ORDER BY (SELECT NULL) OFFSET :O ROWS FETCH NEXT :L ROWS ONLY")),
                 qPrintable(unordered));
    }

    void anOrderThatCannotGoOutsideIsMadeLegalInside()
    {
        // An expression, or a column the result does not have.
        for (const char *order : {"UPPER(NMFILIAL)", "F.IDCNTRRESC"}) {
            const QString text = QStringLiteral("SELECT CDFILIAL, NMFILIAL FROM FILIAL F ORDER BY %1").arg(QLatin1String(order));
            const QString ms = LookupSql(text, kMsSql).page(QString(), kColumns, QStringLiteral("L"), QStringLiteral("O"));
            QCOMPARE(derivedPart(ms), QStringLiteral("\nSELECT CDFILIAL, NMFILIAL FROM FILIAL F\nORDER BY %1 OFFSET 0 ROWS\n")
                                          .arg(QLatin1String(order)));
            QVERIFY(ms.endsWith(QLatin1String("ORDER BY (SELECT NULL) OFFSET :O ROWS FETCH NEXT :L ROWS ONLY")));
            const QString fb = LookupSql(text, kFirebird).ordered(QString(), kColumns);
            QCOMPARE(derivedPart(fb), QLatin1Char('\n') + text + QLatin1Char('\n'));
        }
    }

    void onlyTheTrailingTopLevelOrderCounts()
    {
        // Inside parentheses, quotes or comments, or tied to a row limit.
        const LookupSql nested(QStringLiteral("SELECT A, (SELECT MAX(B) FROM T ORDER BY 1) AS M, 'ORDER BY X' "
                                              "FROM U -- ORDER BY Y\n"),
                               kMsSql);
        QVERIFY(nested.orderItems().isEmpty());
        const LookupSql limited(QStringLiteral("SELECT A FROM T ORDER BY A OFFSET 5 ROWS"), kMsSql);
        QVERIFY(limited.orderItems().isEmpty());
        QCOMPARE(limited.body(), QStringLiteral("SELECT A FROM T ORDER BY A OFFSET 5 ROWS"));
        const LookupSql lower(QStringLiteral("select a, b from t order by a, b"), kMsSql);
        QCOMPARE(lower.orderItems(), QStringList({"a", "b"}));
        QCOMPARE(lower.body(), QStringLiteral("select a, b from t"));
    }

    void filtersIgnoreAccentsOnEveryEngine()
    {
        // SQL Server: an accent- and case-insensitive collation.
        const QString ms = kMsSql.filterTerm(QStringLiteral("NMFILIAL"), QStringLiteral("F"), false, true);
        QVERIFY2(ms.contains(QLatin1String("COLLATE Latin1_General_CI_AI LIKE :F ESCAPE '\\'")), qPrintable(ms));
        QCOMPARE(kMsSql.filterValue(QStringLiteral("Conceição 10%_[x]"), false),
                 QStringLiteral("%conceicao 10\\%\\_\\[x]%"));
        // Oracle: TRANSLATE to the letters TextFold gives.
        const QString term = kOracle.filterTerm(QStringLiteral("NMFILIAL"), QStringLiteral("F"), true, true);
        QVERIFY2(term.contains(QLatin1String("LIKE :F ESCAPE '\\'")), qPrintable(term));
        for (const char *name : {"Escola Estadual Conceição", "AÇAÍ DO PARÁ", "Creche Pingo de Gente", "Ñandú Über Øre"}) {
            const QString value = QString::fromUtf8(name);
            QCOMPARE(translated(term, value), TextFold::fold(value));
        }
        QCOMPARE(kOracle.filterValue(QStringLiteral("AÇAÍ"), true), QStringLiteral("acai%"));
        // PostgreSQL: the schema's FOLD on both sides (the form of its
        // trigram indexes); the value keeps its letters, % and _ escaped.
        QCOMPARE(kPostgres.filterTerm(QStringLiteral("N"), QStringLiteral("F"), false, true),
                 QStringLiteral("FOLD(CAST(Q__.N AS TEXT)) LIKE FOLD(:F) ESCAPE '\\'"));
        QCOMPARE(kPostgres.filterValue(QStringLiteral("Conceição 10%_"), false),
                 QStringLiteral("%Conceição 10\\%\\_%"));
        QCOMPARE(kPostgres.filterValue(QStringLiteral("AÇAÍ"), true), QStringLiteral("AÇAÍ%"));
        // Firebird: the WIN_PTBR collation; SQLite: FOLD_INSTR.
        QVERIFY(kFirebird.filterTerm(QStringLiteral("N"), QStringLiteral("F"), false, true)
                    .endsWith(QLatin1String("COLLATE WIN_PTBR CONTAINING :F")));
        QVERIFY(kFirebird.filterTerm(QStringLiteral("N"), QStringLiteral("F"), true, true)
                    .endsWith(QLatin1String("COLLATE WIN_PTBR STARTING WITH :F")));
        QCOMPARE(kFirebird.filterValue(QStringLiteral("10%_"), false), QStringLiteral("10%_"));
        QCOMPARE(kFirebird.filterTerm(QStringLiteral("N"), QStringLiteral("F"), false, false),
                 QStringLiteral("Q__.N COLLATE WIN_PTBR CONTAINING :F"));
        QCOMPARE(kFirebird.filterTerm(QStringLiteral("N"), QStringLiteral("F"), false, true),
                 QStringLiteral("CAST(Q__.N AS VARCHAR(8191) CHARACTER SET WIN1252) COLLATE WIN_PTBR CONTAINING :F"));
        QCOMPARE(kSqlite.filterTerm(QStringLiteral("N"), QStringLiteral("F"), true, true),
                 QStringLiteral("FOLD_INSTR(Q__.N, :F) = 1"));
    }

    void longTextsReachCharindexAsNvarcharMax()
    {
        const NamedSql s = NamedSql::parse(QStringLiteral(
            "SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = :P_CDFILIAL AND CHARINDEX(CDGRUPSERV, :P_CDGRUPSERV) <> 0"));
        TParams params;
        params.add(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        params.add(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringList(200, QStringLiteral("001")).join(QLatin1Char('_')));
        const auto markers = [&](const SqlDialect &d) {
            return s.positional([&](const QString &name) { return d.marker(params.FindParam(name), SqlDialect::Markers::Plain); });
        };
        // A short value keeps a bare marker (the column's index stays usable).
        QCOMPARE(markers(kMsSql), QStringLiteral("SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = ? AND "
                                                 "CHARINDEX(CDGRUPSERV, CAST(? AS NVARCHAR(MAX))) <> 0"));
        params.ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringLiteral("001_003"));
        QVERIFY(!markers(kMsSql).contains(QLatin1String("CAST")));
        QVERIFY(!markers(kOracle).contains(QLatin1String("CAST")));
    }

    void oraclesTextLimitIsSaidBeforehand()
    {
        TParam p(QStringLiteral("P_CDGRUPSERV"));
        p.SetAsString(QString(OracleTexts::kMaxTextBytes, QLatin1Char('1')));
        QCOMPARE(kOracle.bind(&p, SqlDialect::Markers::Plain).toString().size(), OracleTexts::kMaxTextBytes);
        // Counted in bytes: 2,001 "ç" are 4,002.
        p.SetAsString(QString(2001, QChar(0xe7)));
        try {
            kOracle.bind(&p, SqlDialect::Markers::Plain);
            QFAIL("no error");
        } catch (const EHostError &e) {
            QVERIFY2(e.text().contains(QLatin1String("P_CDGRUPSERV")) && e.text().contains(QLatin1String("4000 bytes"))
                         && e.text().contains(QStringLiteral("Oracle aceita")),
                     qPrintable(e.text()));
        }
        // SQL Server and SQLite take it.
        QCOMPARE(kMsSql.bind(&p, SqlDialect::Markers::Plain).toString().size(), 2001);
        QCOMPARE(kSqlite.bind(&p, SqlDialect::Markers::Typed).toString().size(), 2001);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestDialectTexts)
#include "test_dialect_texts.moc"
