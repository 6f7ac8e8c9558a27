// A report only reads. A definition whose statement is not one SELECT or
// WITH query is refused when it is read, naming the line and column of the
// word at fault; and the connection a report runs on cannot change the
// database, on every engine, even for a statement that reached it some
// other way: nothing it deletes, updates or drops stays so, and ATTACH makes
// no file.
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportParseError.h"
#include "report/query/ReportConnection.h"
#include "report/query/ReportRunner.h"
#include "support/EngineDatabases.h"

#include <QtTest>

namespace {

QString definition(const QString &sql)
{
    return QStringLiteral("title \"Teste\"\nquery q\nSQL <<E\n") + sql + QStringLiteral("\nE\ncolumn A \"A\" width 20\n");
}

int count(const QString &sql)
{
    SqlStatement s(HostDatabase::instance().database());
    s.exec(sql);
    return s.next() ? s.value(0).toInt() : -1;
}

} // namespace

class TestReportReadsOnly : public QObject {
    Q_OBJECT

    EngineDatabases m_engines{small()};

    static DemoSizes small()
    {
        DemoSizes s;
        s.costRows = 0;
        return s;
    }

private slots:
    void definitionsThatWriteAreRefused_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("word");
        // The text starts on line 4 of the definition.
        QTest::newRow("DELETE RETURNING") << "DELETE FROM FILIAL RETURNING CDFILIAL AS A" << 4 << 1 << "DELETE";
        QTest::newRow("UPDATE RETURNING") << "update FILIAL set NMFILIAL = 'x'\nreturning CDFILIAL as A" << 4 << 1
                                          << "update";
        QTest::newRow("DROP TABLE") << "  DROP TABLE FILIAL" << 4 << 3 << "DROP";
        QTest::newRow("EXECUTE BLOCK")
            << "EXECUTE BLOCK RETURNS (A INTEGER) AS BEGIN DELETE FROM FILIAL; A = 1; SUSPEND; END" << 4 << 1
            << "EXECUTE";
        QTest::newRow("ATTACH") << "ATTACH DATABASE '/tmp/x.db' AS X" << 4 << 1 << "ATTACH";
        QTest::newRow("two statements") << "SELECT 1 AS A FROM FILIAL;\nDELETE FROM FILIAL" << 4 << 26 << "mais de um comando";
        QTest::newRow("WITH around a DELETE")
            << "WITH D AS (DELETE FROM FILIAL RETURNING *)\nSELECT CDFILIAL AS A FROM D" << 4 << 12 << "DELETE";
        QTest::newRow("FOR UPDATE") << "SELECT CDFILIAL AS A\n  FROM FILIAL\n FOR UPDATE" << 6 << 6 << "UPDATE";
        QTest::newRow("generator") << "SELECT GEN_ID(G, 1) AS A FROM RDB$DATABASE" << 4 << 8 << "GEN_ID";
        QTest::newRow("SELECT INTO") << "SELECT * INTO COPIA FROM FILIAL" << 4 << 10 << "INTO";
    }
    void definitionsThatWriteAreRefused()
    {
        QFETCH(QString, sql);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, word);
        try {
            DefinitionParser::parseText(definition(sql), QStringLiteral("grava.rel"));
            QFAIL("a definition that writes was read");
        } catch (const ReportParseError &e) {
            QVERIFY2(e.text().contains(word), qPrintable(e.text()));
            QCOMPARE(e.line(), line);
            QCOMPARE(e.column(), column);
        }
    }

    void queriesAreRead_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("select") << "SELECT CDFILIAL AS A FROM FILIAL -- DELETE in a comment\n;";
        QTest::newRow("with") << "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 3)\n"
                                 "SELECT I AS A FROM N";
        QTest::newRow("words in quotes") << "SELECT 'DELETE; DROP' AS A, \"UPDATE\" FROM FILIAL /* INSERT */";
        QTest::newRow("names that hold the words") << "SELECT DTUPDATE AS A, NMDELETED, INSERTED_AT FROM FILIAL";
        QTest::newRow("a parameter") << "SELECT CDFILIAL AS A FROM FILIAL WHERE CDFILIAL = :P_UPDATE";
    }
    void queriesAreRead()
    {
        QFETCH(QString, sql);
        const QString text = definition(sql).replace(QLatin1String("title"), QLatin1String("param P_UPDATE string\ntitle"));
        try {
            DefinitionParser::parseText(text, QStringLiteral("le.rel"));
        } catch (const ReportParseError &e) {
            QFAIL(qPrintable(e.text()));
        }
    }

    // The statements above on the report's own connection, past the parser.
    void theReportsConnectionCannotWrite_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("sql");
        for (const QString &engine : EngineDatabases::names()) {
            const QByteArray name = engine.toUtf8();
            const char *e = name.constData();
            QTest::addRow("%s DELETE RETURNING", e) << engine << "DELETE FROM FILIAL RETURNING CDFILIAL";
            QTest::addRow("%s UPDATE RETURNING", e) << engine << "UPDATE FILIAL SET NMFILIAL = 'x' RETURNING CDFILIAL";
            QTest::addRow("%s DROP TABLE", e) << engine << "DROP TABLE FILIAL";
            if (engine == QLatin1String("sqlite"))
                QTest::addRow("%s ATTACH", e) << engine << "ATTACH DATABASE '%1' AS X";
            else if (engine == QLatin1String("postgresql"))
                QTest::addRow("%s DELETE in WITH", e)
                    << engine << "WITH D AS (DELETE FROM FILIAL RETURNING CDFILIAL) SELECT CDFILIAL FROM D";
            else
                QTest::addRow("%s EXECUTE BLOCK", e)
                    << engine << "EXECUTE BLOCK RETURNS (N INTEGER) AS BEGIN DELETE FROM FILIAL; N = 1; SUSPEND; END";
        }
    }
    void theReportsConnectionCannotWrite()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, sql);
        const QString attached = QDir(m_engines.folder()).filePath(QStringLiteral("anexado.db"));
        sql.replace(QLatin1String("%1"), attached);
        ReportDefinition def;
        ReportQuery q;
        q.name = QStringLiteral("q");
        q.sql[ReportQuery::Default] = sql;
        def.queries << q;
        QString refused;
        {
            ReportConnection own(HostDatabase::instance().connectionName());
            ReportRunner::Sink sink{[](const QStringList &, const QHash<QString, QVariant> &) {}, [](const QVector<QVariant> &) {}};
            try {
                ReportRunner::stream(def, TParams(), own.database(), {}, sink);
            } catch (const EHostError &e) {
                refused = e.text();
            }
        }
        // Refused before it runs, in Portuguese: not run and undone.
        QVERIFY2(!refused.isEmpty() && !refused.contains(QLatin1String("not an error")), qPrintable(refused));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM FILIAL")), 15);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE NMFILIAL = 'x'")), 0);
        QVERIFY(!QFileInfo::exists(attached));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportReadsOnly)
#include "test_report_reads_only.moc"
