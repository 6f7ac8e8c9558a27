// What a report's statement is on PostgreSQL, told from its words before
// it runs (PostgresEngine::onlyReads): one SELECT or WITH that writes
// nothing. No server is needed: the words alone decide.
#include "data/engines/DatabaseEngine.h"

#include <QtTest>

class TestPostgresStatements : public QObject {
    Q_OBJECT

private slots:
    // Words in quotes, quoted names, comments and dollar quotes are no
    // words of the statement.
    void statementsThatWriteAreToldBeforeTheyRun_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("reads");
        QTest::newRow("select") << "SELECT CDFILIAL FROM FILIAL" << true;
        QTest::newRow("with") << "with recursive n(i) as (select 1 union all select i + 1 from n where i < 3) select i from n"
                              << true;
        QTest::newRow("parenthesised") << "(SELECT 1) UNION (SELECT 2);  \n" << true;
        QTest::newRow("words in quotes")
            << "SELECT 'DELETE; x' AS \"UPDATE\", E'it\\'s; INSERT' FROM FILIAL -- DROP\n/* a /* nested */ UPDATE */" << true;
        QTest::newRow("dollar quotes") << "SELECT $q$ DELETE FROM X; $q$, $$INTO$$ FROM FILIAL WHERE CDFILIAL = $1" << true;
        QTest::newRow("names holding the words") << "SELECT DTUPDATE, NMDELETED, INSERTED_AT, :P_UPDATE, x::text FROM T"
                                                 << true;
        QTest::newRow("DELETE in WITH") << "WITH D AS (DELETE FROM GRUPSERV RETURNING *) SELECT * FROM D" << false;
        QTest::newRow("INSERT in WITH") << "WITH I AS (INSERT INTO T VALUES (1) RETURNING 1) SELECT 1" << false;
        QTest::newRow("UPDATE") << "UPDATE GRUPSERV SET NMGRUPSERV = 'x'" << false;
        QTest::newRow("MERGE") << "MERGE INTO T USING U ON T.A = U.A WHEN MATCHED THEN DELETE" << false;
        QTest::newRow("SELECT INTO") << "SELECT * INTO COPIA FROM FILIAL" << false;
        QTest::newRow("FOR UPDATE") << "SELECT * FROM FILIAL FOR UPDATE" << false;
        QTest::newRow("FOR KEY SHARE") << "SELECT * FROM FILIAL FOR KEY SHARE" << false;
        QTest::newRow("sequence") << "SELECT nextval('s')" << false;
        QTest::newRow("two statements") << "SELECT 1; DROP TABLE FILIAL" << false;
        QTest::newRow("after a quote's end") << "SELECT 'a''b'; DELETE FROM FILIAL" << false;
        QTest::newRow("DROP") << "DROP TABLE FILIAL" << false;
        QTest::newRow("nothing") << "-- SELECT 1" << false;
    }
    void statementsThatWriteAreToldBeforeTheyRun()
    {
        QFETCH(QString, sql);
        QFETCH(bool, reads);
        QCOMPARE(DatabaseEngine::forScheme(QStringLiteral("postgresql"))->onlyReads(QSqlDatabase(), sql), reads);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestPostgresStatements)
#include "test_postgres_statements.moc"
