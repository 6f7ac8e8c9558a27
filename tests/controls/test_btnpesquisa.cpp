// TBtnPesquisa: the order of its events around the built-in search, an
// OnClick handler in place of the search, the empty-list text, and that it
// never takes the focus.
#include "core/MensErro.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "lookup/TBtnPesquisa.h"
#include "support/SearchDatabase.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TEdit.h"

#include <QTest>
#include <QVBoxLayout>

class TestBtnPesquisa : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TdtmDBGeral> dm;
    std::unique_ptr<TForm> form;
    ScriptedHostUi *ui = nullptr;
    QString central = QStringLiteral("0100");

    // The branch search of the screen: a code edit, a name edit, the button.
    struct Screen {
        QWidget w;
        TEdit *code;
        TEdit *name;
        TBtnPesquisa *btn;
        QStringList log;
    };
    std::unique_ptr<Screen> screen;

    TADOIBQuery *tagreg() { return form->component<TADOIBQuery>(QStringLiteral("qryTAgreg")); }

    void bindScreenHandlers()
    {
        Screen *s = screen.get();
        connect(s->btn, &TBtnPesquisa::OnBeforePesq, s->btn, [this, s](QObject *sender, bool *goOn) {
            QCOMPARE(sender, s->btn);
            QVERIFY(goOn && *goOn);
            s->log << "before";
            TADOIBQuery *q = tagreg();
            q->Close();
            q->ParamByName("P_CDFILCENTXEV").SetAsString(central);
            q->ParamByName("P_CDFILIAL").Clear();
            q->Open();
        });
        connect(s->btn, &TBtnPesquisa::OnAfterPesq, s->btn, [this, s](QObject *) {
            const QString code = tagreg()->FieldByName("CDFILIAL")->AsString();
            s->log << "after:" + code;
            s->code->setText_(code);
            s->name->setText_(tagreg()->FieldByName("NMFILIAL")->AsString());
        });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        dm = SearchDatabase::open(dir);
        form = SearchDatabase::queries();
    }
    void cleanupTestCase()
    {
        form.reset();
        dm.reset();
    }
    void init()
    {
        ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        central = QStringLiteral("0100");
        screen = std::make_unique<Screen>();
        auto *lay = new QVBoxLayout(&screen->w);
        screen->code = new TEdit(&screen->w);
        screen->btn = new TBtnPesquisa(&screen->w);
        screen->name = new TEdit(&screen->w);
        lay->addWidget(screen->code);
        lay->addWidget(screen->btn);
        lay->addWidget(screen->name);
        screen->btn->setProperty("Associate", QVariant::fromValue<QObject *>(screen->code));
        screen->btn->setProperty("DataSource", QVariant::fromValue<QObject *>(form->component("dtsFilial__")));
        screen->btn->setTitle(QStringLiteral("Filial Agregada"));
        screen->btn->setEmptyError(QStringLiteral("Não há filial agregada cadastrada para essa central de merenda."));
        screen->w.show();
        screen->w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&screen->w));
    }
    void cleanup()
    {
        screen.reset();
        tagreg()->Close();
        HostUi::uninstall();
    }

    void beforeSearchAfterInOrder()
    {
        bindScreenHandlers();
        ui->search.answers << SearchScript::Answer::choose({"0102"});
        QTest::mouseClick(screen->btn, Qt::LeftButton);
        QCOMPARE(screen->log, QStringList({"before", "after:0102"}));
        QCOMPARE(ui->search.shown.size(), 1);
        QCOMPARE(ui->search.shown[0].title, QStringLiteral("Filial Agregada"));
        QCOMPARE(ui->search.shown[0].rows, 5); // 0101 0102 0103 0104 AB12
        QCOMPARE(screen->code->Text(), QStringLiteral("0102"));
        QCOMPARE(screen->name->Text(), QStringLiteral("EMEF Maria José Câmara"));
        QVERIFY(ui->messages.isEmpty());
    }

    void cancelledSearchRaisesNoAfter()
    {
        bindScreenHandlers();
        ui->search.answers << SearchScript::Answer::cancelled();
        screen->btn->Click();
        QCOMPARE(screen->log, QStringList{"before"});
        QCOMPARE(screen->code->Text(), QString());
    }

    void beforeCanStopTheSearch()
    {
        bindScreenHandlers();
        connect(screen->btn, &TBtnPesquisa::OnBeforePesq, this, [](QObject *, bool *goOn) { *goOn = false; });
        ui->search.answers << SearchScript::Answer::choose({"0102"});
        screen->btn->Click();
        QCOMPARE(screen->log, QStringList{"before"});
        QVERIFY(ui->search.shown.isEmpty());
    }

    void failureInBeforeEndsTheClickQuietly()
    {
        connect(screen->btn, &TBtnPesquisa::OnBeforePesq, this,
                [](QObject *, bool *) { MensErro(QStringLiteral("Filial deve ser informada."), true); });
        int after = 0;
        connect(screen->btn, &TBtnPesquisa::OnAfterPesq, this, [&] { ++after; });
        screen->btn->Click();
        QCOMPARE(ui->messageTexts(), QStringList{"Filial deve ser informada."});
        QVERIFY(ui->search.shown.isEmpty());
        QCOMPARE(after, 0);
    }

    void emptyListShowsEmptyError()
    {
        bindScreenHandlers();
        central = QStringLiteral("0900");
        ui->search.answers << SearchScript::Answer::choose({"0102"});
        screen->btn->Click();
        QCOMPARE(screen->log, QStringList{"before"});
        QCOMPARE(ui->messageTexts(),
                 QStringList{"Não há filial agregada cadastrada para essa central de merenda."});
    }

    void onClickHandlerReplacesTheSearch()
    {
        bindScreenHandlers();
        connect(screen->btn, &TBtnPesquisa::OnClick, this, [&](QObject *sender) {
            QCOMPARE(sender, screen->btn);
            screen->log << "click";
        });
        ui->search.answers << SearchScript::Answer::choose({"0102"});
        QTest::mouseClick(screen->btn, Qt::LeftButton);
        QCOMPARE(screen->log, QStringList{"click"});
        QVERIFY(ui->search.shown.isEmpty());
        QCOMPARE(ui->search.answers.size(), 1);
    }

    void clickLeavesTheFocusInTheEdit()
    {
        bindScreenHandlers();
        int exits = 0;
        connect(screen->code, &TEdit::OnExit, this, [&] { ++exits; });
        screen->code->setFocus();
        QVERIFY(screen->code->hasFocus());
        ui->search.answers << SearchScript::Answer::choose({"0104"});
        QTest::mouseClick(screen->btn, Qt::LeftButton);
        QVERIFY(screen->code->hasFocus());
        QCOMPARE(exits, 0);
        QCOMPARE(screen->code->Text(), QStringLiteral("0104"));
    }

    void codeFieldFillsTheAssociate()
    {
        // Without handlers: FieldCodigo names the code column.
        TADOIBQuery *q = tagreg();
        q->ParamByName("P_CDFILCENTXEV").SetAsString("0200");
        q->ParamByName("P_CDFILIAL").Clear();
        screen->btn->setFieldCodigo(QStringLiteral("CDFILIAL"));
        screen->btn->setFieldNome(QStringLiteral("NMFILIAL"));
        ui->search.answers << SearchScript::Answer::choose({"0203"});
        QVERIFY(!q->Active());
        screen->btn->Click();
        QVERIFY(q->Active());
        QCOMPARE(screen->code->Text(), QStringLiteral("0203"));
        QCOMPARE(q->FieldByName("NMFILIAL")->AsString(), QStringLiteral("Colégio Municipal Irmã Dulce"));
    }

    void codeFieldNotInTheRowsIsIgnored()
    {
        // The product buttons name CDPRODUTO, which the product rows lack.
        TADOIBQuery *q = tagreg();
        q->ParamByName("P_CDFILCENTXEV").SetAsString("0200");
        q->ParamByName("P_CDFILIAL").Clear();
        screen->btn->setFieldCodigo(QStringLiteral("CDPRODUTO"));
        ui->search.answers << SearchScript::Answer::choose({"0202"});
        int after = 0;
        connect(screen->btn, &TBtnPesquisa::OnAfterPesq, this, [&] { ++after; });
        screen->btn->Click();
        QCOMPARE(after, 1);
        QCOMPARE(q->FieldByName("CDFILIAL")->AsString(), QStringLiteral("0202"));
        QCOMPARE(screen->code->Text(), QString());
    }

    void withoutDataSourceTheErrorIsShown()
    {
        screen->btn->setDataSource(nullptr);
        screen->btn->Click();
        QCOMPARE(ui->messages.size(), 1);
        QCOMPARE(ui->messages[0].kind, ScriptedHostUi::Message::Exception);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestBtnPesquisa)
#include "test_btnpesquisa.moc"
