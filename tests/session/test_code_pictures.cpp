// Code pictures: TDBPicture's levels (TtNiveis, Nivel, TamAcNivel) and code
// check, the pictures read from the database (DBPict, DBPictObj), and ValidEx
// with and without abort, options and a data source.
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TDataSource.h"
#include "session/CodePictures.h"
#include "session/LocalCache.h"
#include "support/DemoDatabase.h"
#include "ui/ScriptedHostUi.h"

#include <QtTest>

class TestCodePictures : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_dm;
    ScriptedHostUi *m_ui = nullptr;

    static TDBPicture product() { return TDBPicture(0, QStringLiteral("Árvore"), {2, 2, 4}, QStringLiteral("99.99.9999;0; ")); }

    void exec(const QString &sql)
    {
        SqlStatement s(HostDatabase::instance().database());
        s.exec(sql);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_dm = DemoDatabase::openSqlite(m_dir, DemoDatabase::small());
        m_ui = HostUi::install(std::make_unique<ScriptedHostUi>());
    }

    void init() { m_ui->clear(); }

    void cleanupTestCase()
    {
        m_dm.reset();
        HostUi::uninstall();
    }

    // --- TDBPicture -----------------------------------------------------------

    void levels()
    {
        const TDBPicture p = product();
        QCOMPARE(p.TtNiveis(), 3);
        QCOMPARE(p.GetTtNiveis(), 3);
        QCOMPARE(p.fullLength(), 8);
        QCOMPARE(p.validLengths(), QList<int>({2, 4, 8}));
        QCOMPARE(p.TamAcNivel(QStringLiteral("1")), 2);
        QCOMPARE(p.TamAcNivel(QStringLiteral("2")), 4);
        QCOMPARE(p.TamAcNivel(QStringLiteral("3")), 8);
        QCOMPARE(p.TamAcNivel(QStringLiteral(" 2 ")), 4);
        // Choices written in the header.
        QCOMPARE(p.TamAcNivel(QStringLiteral("0")), 0);
        QCOMPARE(p.TamAcNivel(QStringLiteral("")), 0);
        QCOMPARE(p.TamAcNivel(QStringLiteral("x")), 0);
        QCOMPARE(p.TamAcNivel(QStringLiteral("-1")), 0);
        QCOMPARE(p.TamAcNivel(QStringLiteral("4")), 8);
        QCOMPARE(p.TamAcNivel(QStringLiteral("99")), 8);
    }

    void nivel_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("level");
        QTest::newRow("empty") << "" << "0";
        QTest::newRow("blanks only") << "        " << "0";
        QTest::newRow("level 1") << "01" << "1";
        QTest::newRow("level 1 with the edit's blanks") << "01      " << "1";
        QTest::newRow("level 2") << "0203" << "2";
        QTest::newRow("level 3") << "02030001" << "3";
        QTest::newRow("between: one character") << "0" << "1";
        QTest::newRow("between 1 and 2") << "010" << "2";
        QTest::newRow("between 2 and 3") << "010100" << "3";
        QTest::newRow("longer than full") << "0101000123" << "3";
    }
    void nivel()
    {
        QFETCH(QString, code);
        QFETCH(QString, level);
        QCOMPARE(product().Nivel(code), level);
        QCOMPARE(product().levelOf(code), level.toInt());
    }

    void rangeRunOfTheReport()
    {
        // The report pads the final code to its whole subtree with
        // full length - TamAcNivel(Nivel(code)) characters.
        const TDBPicture p = product();
        auto run = [&](const QString &code) { return p.fullLength() - p.TamAcNivel(p.Nivel(code)); };
        QCOMPARE(run(QStringLiteral("02")), 6);
        QCOMPARE(run(QStringLiteral("0203")), 4);
        QCOMPARE(run(QStringLiteral("02030001")), 0);
        QCOMPARE(run(QString()), 8);
        QCOMPARE(run(QStringLiteral("010")), 4);
    }

    void check()
    {
        const TDBPicture p = product();
        int pos = 0;
        QCOMPARE(p.check(QStringLiteral("01")), TDBPicture::Fault::None);
        QCOMPARE(p.check(QStringLiteral("0102")), TDBPicture::Fault::None);
        QCOMPARE(p.check(QStringLiteral("01020003")), TDBPicture::Fault::None);
        QCOMPARE(p.check(QStringLiteral("01      ")), TDBPicture::Fault::None);
        QCOMPARE(p.check(QStringLiteral("010")), TDBPicture::Fault::Length);
        QCOMPARE(p.check(QString()), TDBPicture::Fault::Length);
        QCOMPARE(p.check(QStringLiteral("010200031")), TDBPicture::Fault::Length);
        QCOMPARE(p.check(QStringLiteral("01A2"), &pos), TDBPicture::Fault::Character);
        QCOMPARE(pos, 3);
        QCOMPARE(p.check(QStringLiteral(" 1"), &pos), TDBPicture::Fault::Character);
        QCOMPARE(pos, 1);

        const TDBPicture letters(9, QString(), {2, 3}, QStringLiteral(">LL-\\-aaa;0;_"));
        QCOMPARE(letters.check(QStringLiteral("AB")), TDBPicture::Fault::None);
        QCOMPARE(letters.check(QStringLiteral("ab"), &pos), TDBPicture::Fault::Character); // upper case required
        QCOMPARE(letters.check(QStringLiteral("A1")), TDBPicture::Fault::Character);
        QCOMPARE(letters.check(QStringLiteral("AB1C2")), TDBPicture::Fault::None);
        QCOMPARE(letters.check(QStringLiteral("AB1c2"), &pos), TDBPicture::Fault::Character);
        QCOMPARE(pos, 4);
    }

    void badPictures()
    {
        // No levels is a picture of its own: every code is level 0.
        const TDBPicture none(1, QString(), {}, QString());
        QCOMPARE(none.TtNiveis(), 0);
        QCOMPARE(none.Nivel(QStringLiteral("0101")), QStringLiteral("0"));
        QCOMPARE(none.fullLength(), 0);
        QVERIFY_THROWS_EXCEPTION(EHostError, TDBPicture(1, QString(), {}, QStringLiteral("99;0; ")));
        QVERIFY_THROWS_EXCEPTION(EHostError, TDBPicture(1, QString(), {2, 0}, QStringLiteral("99;0; ")));
        QVERIFY_THROWS_EXCEPTION(EHostError, TDBPicture(1, QString(), {2, 2}, QStringLiteral("99.9;0; ")));
        QVERIFY_THROWS_EXCEPTION(EHostError, TDBPicture::fromText(1, QString(), QStringLiteral("2,x"), QStringLiteral("999")));
        QCOMPARE(TDBPicture::fromText(1, QString(), QStringLiteral(" 1, 2 ,3"), QStringLiteral("9.99.999;0; ")).fullLength(), 6);
    }

    // --- pictures of the database ----------------------------------------------------

    void picturesFromTheDatabase()
    {
        QCOMPARE(DBPict(0), QStringLiteral("99.99.9999;0; "));
        const auto p = DBPictObj(0);
        QCOMPARE(p->TtNiveis(), 3);
        QCOMPARE(p->TamAcNivel(QStringLiteral("3")), 8);
        QCOMPARE(p->name(), QStringLiteral("Árvore de Produtos"));
        QCOMPARE(DBPictObj(1)->widths(), QList<int>({1, 1, 2, 3}));
        try {
            DBPict(42);
            QFAIL("no picture 42");
        } catch (const EHostError &e) {
            QVERIFY(e.text().contains(QLatin1String("42")));
        }
    }

    void picturesAreCachedUntilRefreshed()
    {
        DBPict(0);
        exec(QStringLiteral("UPDATE PICTCODIGO SET DSNIVEIS = '2,6', DSMASCARA = '99.999999;0; ' WHERE NRTIPOPICT = 0"));
        QCOMPARE(DBPictObj(0)->TtNiveis(), 3); // the cached copy
        AtualizaLocalCache(QVariantList({QStringLiteral("PICTCODIGO")}));
        QCOMPARE(DBPictObj(0)->TtNiveis(), 2);
        QCOMPARE(DBPict(0), QStringLiteral("99.999999;0; "));
        exec(QStringLiteral("UPDATE PICTCODIGO SET DSNIVEIS = '2,2,4', DSMASCARA = '99.99.9999;0; ' WHERE NRTIPOPICT = 0"));
        AtualizaLocalCache(QStringList({QStringLiteral("PICTCODIGO")}));
        QCOMPARE(DBPictObj(0)->TtNiveis(), 3);
    }

    // --- ValidEx -----------------------------------------------------------------------

    void validCodes()
    {
        bool valid = false;
        QCOMPARE(ValidEx(nullptr, 0, QStringLiteral("01"), {}, QString(), true, &valid), QStringLiteral("01"));
        QVERIFY(valid);
        QCOMPARE(ValidEx(nullptr, 0, QStringLiteral("0102    "), {}, QString(), true), QStringLiteral("0102"));
        QCOMPARE(ValidEx(nullptr, 0, QStringLiteral("01020003"), {}, QString(), true), QStringLiteral("01020003"));
        // A code with no product still fits the picture.
        QCOMPARE(ValidEx(nullptr, 0, QStringLiteral("99"), {}, QString(), true), QStringLiteral("99"));
        QVERIFY(m_ui->messages.isEmpty());
    }

    void abortEndsTheActionWithAMessage()
    {
        try {
            ValidEx(nullptr, 0, QStringLiteral("010"), {}, QString(), true);
            QFAIL("a failed check with abort must end the action");
        } catch (const EAbort &) {
        }
        QCOMPARE(m_ui->messages.size(), 1);
        QCOMPARE(m_ui->messages[0].kind, ScriptedHostUi::Message::Error);
        QVERIFY(m_ui->messages[0].abort);
        QVERIFY2(m_ui->messages[0].text.contains(QLatin1String("010"))
                     && m_ui->messages[0].text.contains(QLatin1String("2, 4 ou 8")),
                 qPrintable(m_ui->messages[0].text));

        m_ui->clear();
        QVERIFY_THROWS_EXCEPTION(EAbort, ValidEx(nullptr, 0, QStringLiteral("01X2"), {}, QString(), true));
        QVERIFY(m_ui->messages[0].text.contains(QLatin1String("'X'")));
        QVERIFY(m_ui->messages[0].text.contains(QStringLiteral("posição 3")));

        // The caller's message replaces the standard one.
        m_ui->clear();
        QVERIFY_THROWS_EXCEPTION(EAbort, ValidEx(nullptr, 0, QString(), {}, QStringLiteral("Produto inválido."), true));
        QCOMPARE(m_ui->messageTexts(), QStringList({QStringLiteral("Produto inválido.")}));
    }

    void withoutAbortTheCallerContinues()
    {
        bool valid = true;
        QCOMPARE(ValidEx(nullptr, 0, QStringLiteral("0"), {}, QString(), false, &valid), QString());
        QVERIFY(!valid);
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY(!m_ui->messages[0].abort);
    }

    void options()
    {
        bool valid = false;
        QCOMPARE(ValidEx(nullptr, 0, QStringLiteral("   "), {QStringLiteral("AllowEmpty")}, QString(), true, &valid), QString());
        QVERIFY(valid);
        QVERIFY_THROWS_EXCEPTION(EAbort, ValidEx(nullptr, 0, QStringLiteral("0102"), {QStringLiteral("LastLevel")}, QString(), true));
        QCOMPARE(ValidEx(nullptr, 0, QStringLiteral("01020003"), {QStringLiteral("LastLevel")}, QString(), true),
                 QStringLiteral("01020003"));
        QVERIFY_THROWS_EXCEPTION(EHostError, ValidEx(nullptr, 77, QStringLiteral("01"), {}, QString(), true));
    }

    void withADataSource()
    {
        auto form = DemoDatabase::queriesForm();
        QObject *dts = form->component(QStringLiteral("dtsProduto__"));
        TADOIBQuery *q = form->component<TADOIBQuery>(QStringLiteral("qryProduto"));
        q->Close();
        QCOMPARE(ValidEx(dts, 0, QStringLiteral("01020003"), {}, QString(), true), QStringLiteral("01020003"));
        // The query is left on the code's row.
        QCOMPARE(q->FieldByName(QStringLiteral("NMPRODUTO"))->AsString(), QStringLiteral("Farinha de Trigo Pacote 500 g"));
        try {
            ValidEx(dts, 0, QStringLiteral("0199"), {QStringLiteral("Field=CDARVPROD")}, QString(), true);
            QFAIL("a code with no row must fail");
        } catch (const EAbort &) {
        }
        QVERIFY(m_ui->messageTexts().constLast().contains(QStringLiteral("não cadastrado")));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestCodePictures)
#include "test_code_pictures.moc"
