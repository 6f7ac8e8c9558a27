// Named parameters found in statement texts and rewritten per engine, the
// values bound for them, and the splitting of schema scripts: no database.
#include "core/Errors.h"
#include "data/NamedSql.h"
#include "data/SqlScript.h"
#include "data/SqlStatement.h"

#include <QtTest>

class TestNamedSql : public QObject {
    Q_OBJECT
private slots:
    void namesInOrderWithRepeats()
    {
        const NamedSql s = NamedSql::parse(QStringLiteral(
            "SELECT * FROM T, PARAM(:P_A) P_A WHERE X = :P_B AND (:P_A IS NULL OR Y=:p_b)"));
        QCOMPARE(s.names(), QStringList({"P_A", "P_B", "P_A", "p_b"}));
        QCOMPARE(s.distinctNames(), QStringList({"P_A", "P_B"}));
        QCOMPARE(s.positional(SqlEngine::SQLite),
                 QStringLiteral("SELECT * FROM T, PARAM(?) P_A WHERE X = ? AND (? IS NULL OR Y=?)"));
    }

    void literalsCommentsAndCastsAreSkipped()
    {
        const QString text = QStringLiteral(
            "SELECT ':NO1', \"A:NO2\", 'it''s :NO3' -- :NO4\n"
            "/* :NO5 \n :NO6 */ , X::text, T.COL FROM T WHERE A = :YES1 AND B=':NO7':YES2");
        const NamedSql s = NamedSql::parse(text);
        QCOMPARE(s.names(), QStringList({"YES1", "YES2"}));
        // Everything else stays as written.
        QString expected = text;
        expected.replace(QLatin1String(":YES1"), QLatin1String("?")).replace(QLatin1String(":YES2"), QLatin1String("?"));
        QCOMPARE(s.positional(SqlEngine::PostgreSql), expected);
        // A colon not followed by a name is left alone.
        QCOMPARE(NamedSql::parse(QStringLiteral("SELECT 'a' || ': ' || :X")).names(), QStringList({"X"}));
        QCOMPARE(NamedSql::parse(QStringLiteral("SELECT a: b")).names(), QStringList());
    }

    void unterminatedTextDoesNotHang()
    {
        QCOMPARE(NamedSql::parse(QStringLiteral("SELECT ':A")).names(), QStringList());
        QCOMPARE(NamedSql::parse(QStringLiteral("SELECT /* :A")).names(), QStringList());
        QCOMPARE(NamedSql::parse(QStringLiteral(":")).names(), QStringList());
        QCOMPARE(NamedSql::parse(QString()).positional(SqlEngine::Firebird), QString());
    }

    void firebirdCastsEveryMarker()
    {
        const NamedSql s = NamedSql::parse(QStringLiteral("SELECT 1 FROM T WHERE A = :S AND B = :N AND C = :S"));
        const QString fb = s.positional(SqlEngine::Firebird, [](const QString &name) {
            return name == QLatin1String("N") ? QStringLiteral("BIGINT") : QString();
        });
        QCOMPARE(fb, QStringLiteral("SELECT 1 FROM T WHERE A = CAST(? AS VARCHAR(8191)) AND B = CAST(? AS BIGINT) "
                                    "AND C = CAST(? AS VARCHAR(8191))"));
    }

    void isnullCallIsQuotedOnSqliteOnly()
    {
        const NamedSql s = NamedSql::parse(QStringLiteral(
            "SELECT ISNULL (:A, B), X ISNULL, 'ISNULL(' , MYISNULL(1), isnull(C,D) FROM T"));
        QCOMPARE(s.positional(SqlEngine::SQLite),
                 QStringLiteral("SELECT \"ISNULL\" (?, B), X ISNULL, 'ISNULL(' , MYISNULL(1), \"isnull\"(C,D) FROM T"));
        QCOMPARE(s.positional(SqlEngine::MsSql),
                 QStringLiteral("SELECT ISNULL (?, B), X ISNULL, 'ISNULL(' , MYISNULL(1), isnull(C,D) FROM T"));
    }

    void boundValues()
    {
        TParam p(QStringLiteral("P"));
        // Unset and cleared: a typed NULL.
        QVERIFY(SqlStatement::bindValue(nullptr, SqlEngine::SQLite).isNull());
        QVERIFY(SqlStatement::bindValue(&p, SqlEngine::SQLite).isNull());
        // Empty text is a value, not NULL.
        p.SetAsString(QString());
        const QVariant empty = SqlStatement::bindValue(&p, SqlEngine::Firebird);
        QVERIFY(!empty.isNull());
        QVERIFY(!empty.toString().isNull());
        QCOMPARE(empty.toString(), QString());
        p.Clear();
        QVERIFY(SqlStatement::bindValue(&p, SqlEngine::Firebird).isNull());
        QCOMPARE(SqlStatement::firebirdType(&p), QStringLiteral("VARCHAR(8191)"));

        // SQLite keeps dates as text.
        p.SetAsDateTime(QDateTime(QDate(2026, 3, 16), QTime(0, 0)));
        QCOMPARE(SqlStatement::bindValue(&p, SqlEngine::SQLite).toString(), QStringLiteral("2026-03-16"));
        p.SetAsDateTime(QDateTime(QDate(2026, 3, 16), QTime(8, 5, 9)));
        QCOMPARE(SqlStatement::bindValue(&p, SqlEngine::SQLite).toString(), QStringLiteral("2026-03-16 08:05:09"));
        QCOMPARE(SqlStatement::bindValue(&p, SqlEngine::Firebird).toDateTime(), QDateTime(QDate(2026, 3, 16), QTime(8, 5, 9)));
        QCOMPARE(SqlStatement::firebirdType(&p), QStringLiteral("TIMESTAMP"));
        p.SetAsVariant(QDate(2026, 1, 2));
        QCOMPARE(SqlStatement::bindValue(&p, SqlEngine::SQLite).toString(), QStringLiteral("2026-01-02"));
        QCOMPARE(SqlStatement::firebirdType(&p), QStringLiteral("DATE"));
        p.SetAsInteger(5);
        QCOMPARE(SqlStatement::firebirdType(&p), QStringLiteral("BIGINT"));

        // A text the Firebird cast cannot hold is refused, never cut.
        p.SetAsString(QString(SqlStatement::MaxFirebirdText, QLatin1Char('x')));
        QCOMPARE(SqlStatement::bindValue(&p, SqlEngine::Firebird).toString().size(), SqlStatement::MaxFirebirdText);
        p.SetAsString(QString(SqlStatement::MaxFirebirdText + 1, QLatin1Char('x')));
        QVERIFY_THROWS_EXCEPTION(EHostError, SqlStatement::bindValue(&p, SqlEngine::Firebird));
        QCOMPARE(SqlStatement::bindValue(&p, SqlEngine::SQLite).toString().size(), SqlStatement::MaxFirebirdText + 1);
    }

    void scriptSplitting()
    {
        const QString script = QStringLiteral(
            "-- header ; with a semicolon\n"
            "CREATE TABLE A (X VARCHAR(3) DEFAULT ';');\n"
            "\n"
            "/* block ; comment */\n"
            "INSERT INTO A VALUES ('a;b');\n"
            "SET TERM ^ ;\n"
            "CREATE PROCEDURE P AS\n"
            "BEGIN\n"
            "  X = :Y; SUSPEND;\n"
            "END^\n"
            "SET TERM ; ^\n"
            "SELECT 1 FROM RDB$DATABASE;\n"
            "   \n");
        const auto st = SqlScript::split(script);
        QCOMPARE(st.size(), 4);
        QCOMPARE(st[0].text, QStringLiteral("CREATE TABLE A (X VARCHAR(3) DEFAULT ';')"));
        QCOMPARE(st[0].line, 2);
        QCOMPARE(st[1].text, QStringLiteral("INSERT INTO A VALUES ('a;b')"));
        QCOMPARE(st[1].line, 5);
        QVERIFY(st[2].text.startsWith(QLatin1String("CREATE PROCEDURE P AS")));
        QVERIFY(st[2].text.endsWith(QLatin1String("END")));
        QVERIFY(st[2].text.contains(QLatin1String("X = :Y; SUSPEND;")));
        QCOMPARE(st[2].line, 7);
        QCOMPARE(st[3].text, QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
        QCOMPARE(st[3].line, 12);
        // A last statement without terminator still runs.
        QCOMPARE(SqlScript::split(QStringLiteral("SELECT 1")).size(), 1);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestNamedSql)
#include "test_namedsql.moc"
