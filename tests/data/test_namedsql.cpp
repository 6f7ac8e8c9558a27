// Named parameters found in statement texts and rewritten with each engine's
// markers, the values each engine binds for them, and the splitting of schema
// scripts: no database.
#include "core/Errors.h"
#include "data/NamedSql.h"
#include "data/SqlScript.h"
#include "data/engines/DatabaseEngine.h"

#include <QtTest>

namespace {

const SqlDialect &dialectOf(const char *scheme) { return DatabaseEngine::forScheme(QLatin1String(scheme))->dialect(); }

QString bare(const QString &) { return QStringLiteral("?"); }

} // namespace

class TestNamedSql : public QObject {
    Q_OBJECT
private slots:
    void namesInOrderWithRepeats()
    {
        const NamedSql s = NamedSql::parse(QStringLiteral(
            "SELECT * FROM T, PARAM(:P_A) P_A WHERE X = :P_B AND (:P_A IS NULL OR Y=:p_b)"));
        QCOMPARE(s.names(), QStringList({"P_A", "P_B", "P_A", "p_b"}));
        QCOMPARE(s.distinctNames(), QStringList({"P_A", "P_B"}));
        QCOMPARE(s.positional(bare),
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
        QCOMPARE(s.positional(bare), expected);
        // A colon not followed by a name is left alone.
        QCOMPARE(NamedSql::parse(QStringLiteral("SELECT 'a' || ': ' || :X")).names(), QStringList({"X"}));
        QCOMPARE(NamedSql::parse(QStringLiteral("SELECT a: b")).names(), QStringList());
    }

    void unterminatedTextDoesNotHang()
    {
        QCOMPARE(NamedSql::parse(QStringLiteral("SELECT ':A")).names(), QStringList());
        QCOMPARE(NamedSql::parse(QStringLiteral("SELECT /* :A")).names(), QStringList());
        QCOMPARE(NamedSql::parse(QStringLiteral(":")).names(), QStringList());
        QCOMPARE(NamedSql::parse(QString()).positional(bare), QString());
    }

    void firebirdCastsEveryMarker()
    {
        const NamedSql s = NamedSql::parse(QStringLiteral("SELECT 1 FROM T WHERE A = :S AND B = :N AND C = :S"));
        TParams params;
        params.add(QStringLiteral("N")).SetAsInteger(5);
        const SqlDialect &firebird = dialectOf("firebird");
        const auto markers = [&](SqlDialect::Markers kind) {
            return s.positional([&](const QString &name) { return firebird.marker(params.FindParam(name), kind); });
        };
        QCOMPARE(markers(SqlDialect::Markers::Typed),
                 QStringLiteral("SELECT 1 FROM T WHERE A = CAST(? AS VARCHAR(8191)) AND B = CAST(? AS BIGINT) "
                                "AND C = CAST(? AS VARCHAR(8191))"));
        // A report's own texts are written for the engine: bare markers.
        QCOMPARE(markers(SqlDialect::Markers::Plain), QStringLiteral("SELECT 1 FROM T WHERE A = ? AND B = ? AND C = ?"));
    }

    // One binder for the data layer and the reports: NULLs typed, empty
    // text a value, dates as each engine compares them.
    void boundValues()
    {
        const SqlDialect &sqlite = dialectOf("sqlite"), &firebird = dialectOf("firebird"),
                         &postgres = dialectOf("postgresql");
        const auto typed = SqlDialect::Markers::Typed;
        TParam p(QStringLiteral("P"));
        QVERIFY(sqlite.bind(nullptr, typed).isNull());
        QVERIFY(sqlite.bind(&p, typed).isNull());
        p.SetAsString(QString());
        const QVariant empty = firebird.bind(&p, typed);
        QVERIFY(!empty.isNull() && !empty.toString().isNull());
        QCOMPARE(empty.toString(), QString());
        p.Clear();
        QVERIFY(firebird.bind(&p, typed).isNull());

        // SQLite keeps dates as text: a date-time at midnight equals the
        // stored date, so a period's first day is inside it.
        p.SetAsDateTime(QDateTime(QDate(2026, 3, 16), QTime(0, 0)));
        QCOMPARE(sqlite.bind(&p, typed).toString(), QStringLiteral("2026-03-16"));
        p.SetAsDateTime(QDateTime(QDate(2026, 3, 16), QTime(8, 5, 9)));
        QCOMPARE(sqlite.bind(&p, typed).toString(), QStringLiteral("2026-03-16 08:05:09"));
        QCOMPARE(firebird.bind(&p, typed).toDateTime(), QDateTime(QDate(2026, 3, 16), QTime(8, 5, 9)));
        QCOMPARE(postgres.bind(&p, typed).toDateTime(), QDateTime(QDate(2026, 3, 16), QTime(8, 5, 9)));
        p.SetAsVariant(QDate(2026, 1, 2));
        QCOMPARE(sqlite.bind(&p, typed).toString(), QStringLiteral("2026-01-02"));
        QCOMPARE(firebird.bind(&p, typed).toDate(), QDate(2026, 1, 2));

        // A text the Firebird cast cannot hold is refused, never cut; a
        // report's bare marker takes it.
        const int limit = 8191;
        p.SetAsString(QString(limit, QLatin1Char('x')));
        QCOMPARE(firebird.bind(&p, typed).toString().size(), limit);
        p.SetAsString(QString(limit + 1, QLatin1Char('x')));
        QVERIFY_THROWS_EXCEPTION(EHostError, firebird.bind(&p, typed));
        QCOMPARE(firebird.bind(&p, SqlDialect::Markers::Plain).toString().size(), limit + 1);
        QCOMPARE(sqlite.bind(&p, typed).toString().size(), limit + 1);
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
