// Names in Portuguese dictionary order on every engine (EngineDatabases):
// letters first, case and accents aside ("Abóbora" before "Abobrinha",
// "Iogurte de Morango" before "Iogurte Natural"), then accents, then case
// to break ties, the same order on each engine. The order is asked for as
// the report definitions ask for it: SQLite's collation PTBR, Firebird's
// UNICODE over the text as UTF8.
#include "data/HostDatabase.h"
#include "data/engines/SqlDialect.h"
#include "data/SqlStatement.h"
#include "support/EngineDatabases.h"

#include <QCollator>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

class TestNameOrder : public QObject {
    Q_OBJECT

    EngineDatabases m_engines{sizes()};

    static DemoSizes sizes()
    {
        DemoSizes s;
        s.costRows = 0;
        return s;
    }

    // In the order a Brazilian reader expects.
    static QStringList dictionary()
    {
        return {QStringLiteral("Abóbora"),       QStringLiteral("Abobrinha"), QStringLiteral("caca"),
                QStringLiteral("Caca"),          QStringLiteral("CACA"),      QStringLiteral("Caça"),
                QStringLiteral("epoca"),         QStringLiteral("Epoca"),     QStringLiteral("época"),
                QStringLiteral("Época"),         QStringLiteral("Iogurte de Morango"),
                QStringLiteral("Iogurte Natural")};
    }

    static QString orderBy(const SqlDialect &dialect, const QString &column)
    {
        if (dialect.name() == QLatin1String("Firebird"))
            return QStringLiteral("CAST(%1 AS VARCHAR(50) CHARACTER SET UTF8) COLLATE UNICODE").arg(column);
        return column + QStringLiteral(" COLLATE PTBR");
    }

    // The names given, stored in the engine's table in an order of their own,
    // read back in the engine's dictionary order.
    static QStringList stored(const QStringList &names)
    {
        const QSqlDatabase db = HostDatabase::instance().database();
        QSqlQuery q(db);
        q.exec(QStringLiteral("DELETE FROM PRODUTO WHERE CDARVPROD LIKE '9998%'"));
        for (int i = 0; i < names.size(); ++i) {
            q.prepare(QStringLiteral("INSERT INTO PRODUTO (CDARVPROD, NMPRODUTO, CDNVPRODUTO, IDESTOCAVEL) "
                                     "VALUES (?, ?, '3', 'S')"));
            q.addBindValue(QStringLiteral("9998%1").arg((i * 7) % names.size(), 4, 10, QLatin1Char('0')));
            q.addBindValue(names[i]);
            if (!q.exec())
                return {SqlStatement::errorText(q.lastError())};
        }
        QStringList out;
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT NMPRODUTO FROM PRODUTO WHERE CDARVPROD LIKE '9998%' ORDER BY ")
                    + orderBy(HostDatabase::instance().dialect(), QStringLiteral("NMPRODUTO"))))
            return {SqlStatement::errorText(q.lastError())};
        while (q.next())
            out << q.value(0).toString();
        q.exec(QStringLiteral("DELETE FROM PRODUTO WHERE CDARVPROD LIKE '9998%'"));
        return out;
    }

private slots:
    void dictionaryOrder_data() { EngineDatabases::addColumn(); }
    void dictionaryOrder()
    {
        USE_ENGINE(m_engines);
        QStringList shuffled = dictionary();
        std::reverse(shuffled.begin(), shuffled.end());
        shuffled.move(0, 5);
        QCOMPARE(stored(shuffled), dictionary());
    }

    // The demo's product names: every engine gives the order the program's
    // own collator gives.
    void demoNamesAsTheCollatorOrdersThem_data() { EngineDatabases::addColumn(); }
    void demoNamesAsTheCollatorOrdersThem()
    {
        USE_ENGINE(m_engines);
        QSqlQuery q(HostDatabase::instance().database());
        q.setForwardOnly(true);
        QVERIFY(q.exec(QStringLiteral("SELECT NMPRODUTO FROM PRODUTO ORDER BY ")
                       + orderBy(HostDatabase::instance().dialect(), QStringLiteral("NMPRODUTO"))
                       + QStringLiteral(", CDARVPROD")));
        QStringList names;
        while (q.next())
            names << q.value(0).toString();
        QVERIFY(names.size() > 100);
        QCollator collator(QLocale(QLocale::Portuguese, QLocale::Brazil));
        QStringList sorted = names;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
        QCOMPARE(names, sorted);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestNameOrder)
#include "test_name_order.moc"
