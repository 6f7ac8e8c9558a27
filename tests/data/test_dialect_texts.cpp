// The statement texts the data layer writes for engines this machine does
// not run (SQL Server, Oracle, PostgreSQL), checked as texts: the look-up
// wrapper never leaves an ORDER BY inside its derived table, pages with each
// engine's own row limit, filters without accents; long texts reach SQL
// Server's CHARINDEX as NVARCHAR(MAX); Oracle's text limit is said in
// Portuguese before a statement runs. SQLite and Firebird run these
// statements in test_query_component, test_search_folding and test_firebird.
#include "core/Errors.h"
#include "data/LookupSql.h"
#include "data/NamedSql.h"
#include "data/SqlStatement.h"
#include "data/TextFold.h"

#include <QRegularExpression>
#include <QtTest>

Q_DECLARE_METATYPE(SqlEngine)

namespace {

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
        QTest::addColumn<SqlEngine>("engine");
        QTest::newRow("SQL Server") << SqlEngine::MsSql;
        QTest::newRow("Oracle") << SqlEngine::Oracle;
        QTest::newRow("Firebird") << SqlEngine::Firebird;
        QTest::newRow("SQLite") << SqlEngine::SQLite;
        QTest::newRow("PostgreSQL") << SqlEngine::PostgreSql;
    }

private slots:
    void theOrderGoesOutside_data() { engines(); }
    void theOrderGoesOutside()
    {
        QFETCH(SqlEngine, engine);
        const LookupSql sql(QStringLiteral("SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV\n  FROM FILIAL F\n"
                                           " WHERE F.CDFILCENTXEV = :P_C\n ORDER BY F.CDFILIAL DESC, 2"),
                            engine);
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
        const auto page = [&](SqlEngine e) {
            return LookupSql(text, e).page(QString(), kColumns, QStringLiteral("L"), QStringLiteral("O"));
        };
        QCOMPARE(page(SqlEngine::MsSql), QStringLiteral("SELECT * FROM (\nSELECT CDFILIAL, NMFILIAL FROM FILIAL\n) Q__\n"
                                                        "ORDER BY Q__.CDFILIAL OFFSET :O ROWS FETCH NEXT :L ROWS ONLY"));
        QCOMPARE(page(SqlEngine::Oracle), QStringLiteral("SELECT * FROM (\nSELECT CDFILIAL, NMFILIAL FROM FILIAL\n) Q__\n"
                                                         "ORDER BY Q__.CDFILIAL\nOFFSET :O ROWS FETCH NEXT :L ROWS ONLY"));
        QCOMPARE(page(SqlEngine::Firebird), QStringLiteral("SELECT FIRST (:L) SKIP (:O) * FROM (\nSELECT CDFILIAL, NMFILIAL "
                                                           "FROM FILIAL\n) Q__\nORDER BY Q__.CDFILIAL"));
        QCOMPARE(page(SqlEngine::SQLite), QStringLiteral("SELECT * FROM (\nSELECT CDFILIAL, NMFILIAL FROM FILIAL\n) Q__\n"
                                                         "ORDER BY Q__.CDFILIAL\nLIMIT :L OFFSET :O"));
        // Without an order SQL Server still needs one for OFFSET.
        const QString unordered = LookupSql(QStringLiteral("SELECT CDFILIAL FROM FILIAL"), SqlEngine::MsSql)
                                      .page(QString(), kColumns, QStringLiteral("L"), QStringLiteral("O"));
        QVERIFY2(unordered.endsWith(QLatin1String("ORDER BY (SELECT NULL) OFFSET :O ROWS FETCH NEXT :L ROWS ONLY")),
                 qPrintable(unordered));
    }

    void anOrderThatCannotGoOutsideIsMadeLegalInside()
    {
        // An expression, or a column the result does not have.
        for (const char *order : {"UPPER(NMFILIAL)", "F.IDCNTRRESC"}) {
            const QString text = QStringLiteral("SELECT CDFILIAL, NMFILIAL FROM FILIAL F ORDER BY %1").arg(QLatin1String(order));
            const QString ms = LookupSql(text, SqlEngine::MsSql).page(QString(), kColumns, QStringLiteral("L"), QStringLiteral("O"));
            QCOMPARE(derivedPart(ms), QStringLiteral("\nSELECT CDFILIAL, NMFILIAL FROM FILIAL F\nORDER BY %1 OFFSET 0 ROWS\n")
                                          .arg(QLatin1String(order)));
            QVERIFY(ms.endsWith(QLatin1String("ORDER BY (SELECT NULL) OFFSET :O ROWS FETCH NEXT :L ROWS ONLY")));
            const QString fb = LookupSql(text, SqlEngine::Firebird).ordered(QString(), kColumns);
            QCOMPARE(derivedPart(fb), QLatin1Char('\n') + text + QLatin1Char('\n'));
        }
    }

    void onlyTheTrailingTopLevelOrderCounts()
    {
        // Inside parentheses, quotes or comments, or tied to a row limit.
        const LookupSql nested(QStringLiteral("SELECT A, (SELECT MAX(B) FROM T ORDER BY 1) AS M, 'ORDER BY X' "
                                              "FROM U -- ORDER BY Y\n"),
                               SqlEngine::MsSql);
        QVERIFY(nested.orderItems().isEmpty());
        const LookupSql limited(QStringLiteral("SELECT A FROM T ORDER BY A OFFSET 5 ROWS"), SqlEngine::MsSql);
        QVERIFY(limited.orderItems().isEmpty());
        QCOMPARE(limited.body(), QStringLiteral("SELECT A FROM T ORDER BY A OFFSET 5 ROWS"));
        const LookupSql lower(QStringLiteral("select a, b from t order by a, b"), SqlEngine::MsSql);
        QCOMPARE(lower.orderItems(), QStringList({"a", "b"}));
        QCOMPARE(lower.body(), QStringLiteral("select a, b from t"));
    }

    void filtersIgnoreAccentsOnEveryEngine()
    {
        // SQL Server: an accent- and case-insensitive collation.
        const QString ms = LookupSql::filterTerm(QStringLiteral("NMFILIAL"), QStringLiteral("F"), false, SqlEngine::MsSql);
        QVERIFY2(ms.contains(QLatin1String("COLLATE Latin1_General_CI_AI LIKE :F ESCAPE '\\'")), qPrintable(ms));
        QCOMPARE(LookupSql::filterValue(QStringLiteral("Conceição 10%_[x]"), false, SqlEngine::MsSql),
                 QStringLiteral("%conceicao 10\\%\\_\\[x]%"));
        // Oracle and the others: TRANSLATE to the letters TextFold gives.
        for (SqlEngine e : {SqlEngine::Oracle, SqlEngine::Other}) {
            const QString term = LookupSql::filterTerm(QStringLiteral("NMFILIAL"), QStringLiteral("F"), true, e);
            QVERIFY2(term.contains(QLatin1String("LIKE :F ESCAPE '\\'")), qPrintable(term));
            for (const char *name : {"Escola Estadual Conceição", "AÇAÍ DO PARÁ", "Creche Pingo de Gente", "Ñandú Über Øre"}) {
                const QString value = QString::fromUtf8(name);
                QCOMPARE(translated(term, value), TextFold::fold(value));
            }
            QCOMPARE(LookupSql::filterValue(QStringLiteral("AÇAÍ"), true, e), QStringLiteral("acai%"));
        }
        // PostgreSQL: the schema's FOLD on both sides (the form of its
        // trigram indexes); the value keeps its letters, % and _ escaped.
        QCOMPARE(LookupSql::filterTerm(QStringLiteral("N"), QStringLiteral("F"), false, SqlEngine::PostgreSql),
                 QStringLiteral("FOLD(CAST(Q__.N AS TEXT)) LIKE FOLD(:F) ESCAPE '\\'"));
        QCOMPARE(LookupSql::filterValue(QStringLiteral("Conceição 10%_"), false, SqlEngine::PostgreSql),
                 QStringLiteral("%Conceição 10\\%\\_%"));
        QCOMPARE(LookupSql::filterValue(QStringLiteral("AÇAÍ"), true, SqlEngine::PostgreSql), QStringLiteral("AÇAÍ%"));
        // Firebird: the WIN_PTBR collation; SQLite: FOLD_INSTR.
        QVERIFY(LookupSql::filterTerm(QStringLiteral("N"), QStringLiteral("F"), false, SqlEngine::Firebird)
                    .endsWith(QLatin1String("COLLATE WIN_PTBR CONTAINING :F")));
        QVERIFY(LookupSql::filterTerm(QStringLiteral("N"), QStringLiteral("F"), true, SqlEngine::Firebird)
                    .endsWith(QLatin1String("COLLATE WIN_PTBR STARTING WITH :F")));
        QCOMPARE(LookupSql::filterValue(QStringLiteral("10%_"), false, SqlEngine::Firebird), QStringLiteral("10%_"));
        QCOMPARE(LookupSql::filterTerm(QStringLiteral("N"), QStringLiteral("F"), false, SqlEngine::Firebird, false),
                 QStringLiteral("Q__.N COLLATE WIN_PTBR CONTAINING :F"));
        QCOMPARE(LookupSql::filterTerm(QStringLiteral("N"), QStringLiteral("F"), false, SqlEngine::Firebird, true),
                 QStringLiteral("CAST(Q__.N AS VARCHAR(8191) CHARACTER SET WIN1252) COLLATE WIN_PTBR CONTAINING :F"));
        QCOMPARE(LookupSql::filterTerm(QStringLiteral("N"), QStringLiteral("F"), true, SqlEngine::SQLite),
                 QStringLiteral("FOLD_INSTR(Q__.N, :F) = 1"));
    }

    void longTextsReachCharindexAsNvarcharMax()
    {
        const NamedSql s = NamedSql::parse(QStringLiteral(
            "SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = :P_CDFILIAL AND CHARINDEX(CDGRUPSERV, :P_CDGRUPSERV) <> 0"));
        TParams params;
        params.add(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        params.add(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringList(200, QStringLiteral("001")).join(QLatin1Char('_')));
        const QString ms = s.positional(SqlEngine::MsSql, [&](const QString &name) {
            return SqlStatement::castType(params.FindParam(name), SqlEngine::MsSql);
        });
        // A short value keeps a bare marker (the column's index stays usable).
        QCOMPARE(ms, QStringLiteral("SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = ? AND "
                                    "CHARINDEX(CDGRUPSERV, CAST(? AS NVARCHAR(MAX))) <> 0"));
        params.ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringLiteral("001_003"));
        QCOMPARE(SqlStatement::castType(params.FindParam(QStringLiteral("P_CDGRUPSERV")), SqlEngine::MsSql), QString());
        QCOMPARE(SqlStatement::castType(params.FindParam(QStringLiteral("P_CDGRUPSERV")), SqlEngine::Oracle), QString());
    }

    void oraclesTextLimitIsSaidBeforehand()
    {
        TParam p(QStringLiteral("P_CDGRUPSERV"));
        p.SetAsString(QString(SqlStatement::MaxOracleTextBytes, QLatin1Char('1')));
        QCOMPARE(SqlStatement::bindValue(&p, SqlEngine::Oracle).toString().size(), SqlStatement::MaxOracleTextBytes);
        // Counted in bytes: 2,001 "ç" are 4,002.
        p.SetAsString(QString(2001, QChar(0xe7)));
        try {
            SqlStatement::bindValue(&p, SqlEngine::Oracle);
            QFAIL("no error");
        } catch (const EHostError &e) {
            QVERIFY2(e.text().contains(QLatin1String("P_CDGRUPSERV")) && e.text().contains(QLatin1String("4000 bytes"))
                         && e.text().contains(QStringLiteral("Oracle aceita")),
                     qPrintable(e.text()));
        }
        // SQL Server and SQLite take it.
        QCOMPARE(SqlStatement::bindValue(&p, SqlEngine::MsSql).toString().size(), 2001);
        QCOMPARE(SqlStatement::bindValue(&p, SqlEngine::SQLite).toString().size(), 2001);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestDialectTexts)
#include "test_dialect_texts.moc"
