// Firebird's ITENS_LISTA (db/firebird/schema.sql), which the XEV017
// reports join instead of searching the service list once per row: the
// codes of a list of any length bound as the report runner binds it, and
// the procedure added to a database made before it existed. Embedded.
#include "appdata/dtmDBGeral.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestFirebirdLists : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static DemoSizes small()
    {
        DemoSizes s;
        s.costRows = 10;
        return s;
    }

private slots:
    void initTestCase()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE")))
            QSKIP("Qt's Firebird driver (QIBASE) is not installed");
        QVERIFY(m_dir.isValid());
        TdtmDBGeral::openConnection({DatabaseLocation::parse(QStringLiteral("firebird:") + m_dir.filePath(QStringLiteral("lists.fdb"))),
                                     QStringLiteral("SYSDBA"), QStringLiteral("masterkey"), QStringLiteral("lists"), true,
                                     DemoData::filler(small())});
    }

    void cleanupTestCase() { TdtmDBGeral::closeConnection(QStringLiteral("lists")); }

    // ITENS_LISTA: the codes of a list of any length, bound as the report
    // runner binds (a bare marker, the text blob input).
    void itemsOfAList()
    {
        auto items = [](const QVariant &list) {
            QSqlQuery q(QSqlDatabase::database(QStringLiteral("lists")));
            q.setForwardOnly(true);
            QStringList out;
            if (!q.prepare(QStringLiteral("SELECT ITEM FROM ITENS_LISTA(?)")))
                return QStringList({q.lastError().text()});
            q.addBindValue(list);
            if (!q.exec())
                return QStringList({q.lastError().text()});
            while (q.next())
                out << q.value(0).toString();
            return out;
        };
        QCOMPARE(items(QStringLiteral("00001_00003,V0001; 01 __AB12_")),
                 QStringList({"00001", "00003", "V0001", "01", "AB12"}));
        QCOMPARE(items(QVariant(QMetaType(QMetaType::QString))), QStringList());
        QCOMPARE(items(QString()), QStringList());
        // A piece too long for a code gives no row, even across the blob's chunks.
        QCOMPARE(items(QStringLiteral("A_") + QString(9000, QLatin1Char('x')) + QStringLiteral("_B_") + QString(61, QLatin1Char('y'))),
                 QStringList({"A", "B"}));
        QStringList codes;
        for (int i = 0; i < 100000; ++i)
            codes << QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        const QString whole = codes.join(QLatin1Char('_'));
        QCOMPARE(whole.size(), 599999);
        QCOMPARE(items(whole), codes);
    }

    // A database made before ITENS_LISTA gets it when opened.
    void anOlderDatabaseGetsTheNewRoutines()
    {
        const QString path = m_dir.filePath(QStringLiteral("older.fdb"));
        const DatabaseLocation location = DatabaseLocation::parse(QStringLiteral("firebird:") + path);
        {
            QSqlDatabase db = TdtmDBGeral::openConnection({location, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"),
                                                           QStringLiteral("older"), true, DemoData::filler(small())});
            QSqlQuery drop(db);
            QVERIFY2(drop.exec(QStringLiteral("DROP PROCEDURE ITENS_LISTA")), qPrintable(drop.lastError().text()));
        }
        TdtmDBGeral::closeConnection(QStringLiteral("older"));
        {
            QSqlDatabase db = TdtmDBGeral::openConnection({location, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"),
                                                           QStringLiteral("older")});
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM ITENS_LISTA('1_2_3')")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 3);
        }
        TdtmDBGeral::closeConnection(QStringLiteral("older"));
    }

};

#include "support/TestPrograms.h"
REGISTER_TEST(TestFirebirdLists)
#include "test_firebird_lists.moc"
