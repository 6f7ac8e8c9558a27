// Keyboard order, focus-less commands and the event dispatcher.
#include "TestForm.h"
#include "core/Dispatch.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/KeyboardHelpers.h"
#include "widgets/TEdit.h"
#include "widgets/TMenuItem.h"
#include "widgets/TSpeedButton.h"

#include <QApplication>
#include <QTest>

// Five edits in a panel store tab orders 0, 6, 1, 3, 2 (6 is beyond the last).
static const QByteArray kForm = R"(
object frmTest: TestForm
  ClientWidth = 400
  ClientHeight = 300
  object panA: TPanel
    Left = 0
    Top = 0
    Width = 400
    Height = 100
    TabOrder = 1
    object edtCentral: TEdit
      Left = 8
      Top = 8
      TabOrder = 0
      Enabled = False
    end
    object edtNmCentral: TEdit
      Left = 100
      Top = 8
      TabOrder = 6
    end
    object edtFilial: TEdit
      Left = 8
      Top = 40
      TabOrder = 1
      OnExit = Exited
    end
    object edtNmFilial: TEdit
      Left = 100
      Top = 40
      TabOrder = 3
    end
    object edtTipo: TEdit
      Left = 200
      Top = 70
      TabOrder = 2
      OnKeyDown = KeyDown
    end
    object sbtCmd: TSpeedButton
      Left = 300
      Top = 8
      Width = 21
      Height = 21
      OnClick = Clicked
    end
  end
  object edtFirst: TEdit
    Left = 8
    Top = 120
    TabOrder = 0
  end
  object grbRadios: TGroupBox
    Left = 8
    Top = 160
    Width = 200
    Height = 80
    TabOrder = 2
    object rbtTodos: TRadioButton
      Left = 8
      Top = 16
      Caption = 'Todos'
      TabOrder = 0
      Checked = True
    end
    object rbtLista: TRadioButton
      Left = 8
      Top = 40
      Caption = 'Lista'
      TabOrder = 1
    end
  end
  object btnMenu: TButtonFlat
    Left = 300
    Top = 200
    Width = 20
    Height = 20
    object mnuCmd: TMenuItem
      Caption = 'Comando'
      OnClick = Clicked
    end
  end
  object sbtFail: TSpeedButton
    Left = 300
    Top = 240
    OnClick = Fails
  end
  object sbtThrow: TSpeedButton
    Left = 330
    Top = 240
    OnClick = Throws
  end
end
)";

class TestFocusAndDispatch : public QObject {
    Q_OBJECT

    ScriptedHostUi *ui = nullptr;

    std::unique_ptr<TestForm> shownForm()
    {
        auto f = std::make_unique<TestForm>();
        f->load(kForm);
        f->show();
        f->activateWindow();
        if (!QTest::qWaitForWindowActive(f.get()))
            qWarning("window not active");
        return f;
    }

    static QString focusName() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }

private slots:
    void init()
    {
        ui = HostUi::install(std::make_unique<ScriptedHostUi>());
    }

    void tabFollowsTabOrderWithinEachParent()
    {
        auto f = shownForm();
        f->component<QWidget>("edtFirst")->setFocus();
        QStringList seen{focusName()};
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << focusName();
        }
        // Disabled edtCentral is skipped; edtNmCentral (stored 6) comes last in its
        // panel; of the radio buttons only the checked one is a stop.
        QCOMPARE(seen, QStringList({"edtFirst", "edtFilial", "edtTipo", "edtNmFilial", "edtNmCentral",
                                    "rbtTodos", "edtFirst", "edtFilial"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(focusName(), QStringLiteral("edtFirst"));
    }

    void theRadioStopFollowsTheChoice()
    {
        auto f = shownForm();
        f->component<QWidget>("rbtLista")->setProperty("checked", true);
        f->component<QWidget>("edtNmCentral")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("rbtLista"));
    }

    void keyDownReachesTheHandlerAsAVirtualKey()
    {
        auto f = shownForm();
        f->component<QWidget>("edtTipo")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
        QCOMPARE(f->log, QStringList({"key:edtTipo:120"}));
    }

    void enterMovesLikeTabUnlessTurnedOff()
    {
        KeyboardHelpers::installEnterMovesFocus();
        auto f = shownForm();
        f->component<QWidget>("edtFirst")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(focusName(), QStringLiteral("edtFilial"));
        // Leaving by Enter is leaving: the field's exit check runs.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(focusName(), QStringLiteral("edtTipo"));
        QCOMPARE(f->log, QStringList({"exit:edtFilial"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(focusName(), QStringLiteral("edtFilial"));
        KeyboardHelpers::setEnterMovesFocus(false);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        KeyboardHelpers::setEnterMovesFocus(true);
        QCOMPARE(focusName(), QStringLiteral("edtFilial"));
    }

    void lookupKeysClickTheFieldsSearchButton()
    {
        auto f = shownForm();
        KeyboardHelpers::bindLookupKeys(f->component<QWidget>("edtNmFilial"),
                                        f->component<TSpeedButton>("sbtCmd"));
        f->component<QWidget>("edtNmFilial")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9, Qt::ControlModifier);
        QCOMPARE(f->log, QStringList({"click:sbtCmd", "click:sbtCmd"}));
        // The focus stays in the field, as a click on a focus-less button leaves it.
        QCOMPARE(focusName(), QStringLiteral("edtNmFilial"));
    }

    void commandsTakeNoFocusSoTheyRunBeforeTheFieldsExit()
    {
        auto f = shownForm();
        auto *filial = f->component<TEdit>("edtFilial");
        filial->SetFocus();
        QTest::mouseClick(f->component<QWidget>("sbtCmd"), Qt::LeftButton);
        QCOMPARE(f->log, QStringList({"click:sbtCmd"}));
        QVERIFY(filial->Focused());
        f->component<TMenuItem>("mnuCmd")->Click();
        QVERIFY(filial->Focused());
        QTest::keyClick(filial, Qt::Key_Tab);
        QCOMPARE(f->log, QStringList({"click:sbtCmd", "click:mnuCmd", "exit:edtFilial"}));
    }

    void silentAbortEndsTheEventWithItsOwnMessageOnly()
    {
        auto f = shownForm();
        QTest::mouseClick(f->component<QWidget>("sbtFail"), Qt::LeftButton);
        QCOMPARE(f->log, QStringList({"fails"}));
        QCOMPARE(ui->messages.size(), 1);
        QCOMPARE(ui->messages[0].text, QStringLiteral("Campo inválido."));
        QCOMPARE(ui->messages[0].kind, ScriptedHostUi::Message::Error);
        QVERIFY(ui->messages[0].abort);
        QVERIFY(!Dispatch::inHandler());
    }

    void otherExceptionsAreShownAndEndTheEvent()
    {
        auto f = shownForm();
        QTest::mouseClick(f->component<QWidget>("sbtThrow"), Qt::LeftButton);
        QCOMPARE(ui->messages.size(), 1);
        QCOMPARE(ui->messages[0].kind, ScriptedHostUi::Message::Exception);
        QCOMPARE(ui->messages[0].text, QStringLiteral("disk on fire"));
        // The window still works afterwards.
        QTest::mouseClick(f->component<QWidget>("sbtCmd"), Qt::LeftButton);
        QVERIFY(f->log.contains("click:sbtCmd"));
    }

    void exceptionsOfNestedHandlersReachTheirCaller()
    {
        auto f = shownForm();
        bool caught = false;
        Dispatch::guard([&] {
            try {
                f->Fails(f.get());
            } catch (const EAbort &) {
                caught = true;
            }
        });
        QVERIFY(caught);
        // An exit handler that fails while another handler moves the focus
        // ends that handler too, as one action.
        f->onExitAction = [] { MensErro(QStringLiteral("Filial não cadastrada."), true); };
        f->component<TEdit>("edtFilial")->SetFocus();
        bool reachedEnd = false;
        Dispatch::guard([&] {
            f->component<TEdit>("edtNmFilial")->SetFocus();
            reachedEnd = true;
        });
        QVERIFY(!reachedEnd);
        QCOMPARE(ui->messages.last().text, QStringLiteral("Filial não cadastrada."));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestFocusAndDispatch)
#include "test_focus_and_dispatch.moc"
