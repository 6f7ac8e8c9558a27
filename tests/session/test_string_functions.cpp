// The host's string helpers: EmptyString, AllTrim, Replicate, Ajusta and
// NomeSemana, each against its written contract.
#include "core/Errors.h"
#include "core/StringFunctions.h"

#include <QtTest>

class TestStringFunctions : public QObject {
    Q_OBJECT
private slots:
    void emptyString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("empty");
        QTest::newRow("null") << QString() << true;
        QTest::newRow("empty") << QStringLiteral("") << true;
        QTest::newRow("spaces") << QStringLiteral("    ") << true;
        QTest::newRow("tab and newline") << QStringLiteral(" \t\r\n") << true;
        QTest::newRow("no-break space") << QStringLiteral("\u00a0") << true;
        QTest::newRow("zero") << QStringLiteral("0") << false;
        QTest::newRow("text between blanks") << QStringLiteral("  a ") << false;
        QTest::newRow("underscore") << QStringLiteral("_") << false;
    }
    void emptyString()
    {
        QFETCH(QString, text);
        QFETCH(bool, empty);
        QCOMPARE(EmptyString(text), empty);
    }

    void allTrim()
    {
        QCOMPARE(AllTrim(QStringLiteral("  0101  ")), QStringLiteral("0101"));
        QCOMPARE(AllTrim(QStringLiteral("\t Açaí \n")), QStringLiteral("Açaí"));
        QCOMPARE(AllTrim(QStringLiteral("a  b")), QStringLiteral("a  b"));
        QCOMPARE(AllTrim(QStringLiteral("   ")), QString());
        QCOMPARE(AllTrim(QString()), QString());
    }

    void replicate()
    {
        QCOMPARE(Replicate(QStringLiteral("z"), 6), QStringLiteral("zzzzzz"));
        QCOMPARE(Replicate(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
        QCOMPARE(Replicate(QStringLiteral("z"), 0), QString());
        QCOMPARE(Replicate(QStringLiteral("z"), -2), QString());
        QCOMPARE(Replicate(QString(), 5), QString());
        QVERIFY_THROWS_EXCEPTION(EHostError, Replicate(QStringLiteral("0123456789"), 20000000));
    }

    void ajusta_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("result");
        QTest::newRow("digits padded with zeros") << "1" << 4 << "0001";
        QTest::newRow("digits, two") << "12" << 4 << "0012";
        QTest::newRow("full digits") << "0101" << 4 << "0101";
        QTest::newRow("digits with blanks around") << " 12 " << 4 << "0012";
        QTest::newRow("letters padded with blanks") << "AB" << 4 << "AB  ";
        QTest::newRow("mixed padded with blanks") << "1A" << 4 << "1A  ";
        QTest::newRow("full mixed") << "AB12" << 4 << "AB12";
        QTest::newRow("sign is not a digit") << "-1" << 4 << "-1  ";
        QTest::newRow("longer unchanged") << "12345" << 4 << "12345";
        QTest::newRow("longer letters unchanged") << " ABCDE" << 4 << " ABCDE";
        QTest::newRow("empty unchanged") << "" << 4 << "";
        QTest::newRow("blanks unchanged") << "   " << 4 << "   ";
        QTest::newRow("size zero") << "12" << 0 << "12";
        QTest::newRow("five for services") << "7" << 5 << "00007";
        QTest::newRow("three for groups") << "3" << 3 << "003";
        QTest::newRow("arabic-indic digit is not 0-9") << QStringLiteral("\u0661") << 3 << QStringLiteral("\u0661  ");
    }
    void ajusta()
    {
        QFETCH(QString, code);
        QFETCH(int, size);
        QFETCH(QString, result);
        QCOMPARE(Ajusta(code, size), result);
    }

    void nomeSemana()
    {
        // 2026-03-15 is a Sunday.
        const QStringList expected = {"Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado"};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(NomeSemana(QDate(2026, 3, 15).addDays(i)), expected.at(i));
        QCOMPARE(NomeSemana(QDate(2024, 2, 29)), QStringLiteral("Quinta"));
        QCOMPARE(NomeSemana(QDate()), QString());
        QCOMPARE(NomeSemana(QDate(2026, 2, 30)), QString());
        // The screen shows the first three letters.
        QCOMPARE(NomeSemana(QDate(2026, 3, 17)).left(3), QStringLiteral("Ter"));
        QCOMPARE(NomeSemana(QDate(2026, 3, 21)).left(3), QStringLiteral("Sáb"));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestStringFunctions)
#include "test_string_functions.moc"
