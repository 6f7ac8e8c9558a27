// Behaviours of the controls that screens rely on.
#include "TestForm.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TComboBox.h"
#include "widgets/TEdit.h"
#include "widgets/TMaskEdit.h"
#include "widgets/TRadioButton.h"
#include "widgets/TRadioGroup.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TSpinEdit.h"

#include <QToolTip>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <climits>
#include <cmath>

static const QByteArray kForm = R"(
object frmTest: TestForm
  ClientWidth = 300
  ClientHeight = 200
  OnCreate = FormCreate
  OnClose = FormClose
  object edtA: TEdit
    Left = 8
    Top = 8
    OnChange = Changed
  end
  object medB: TMaskEdit
    Left = 8
    Top = 40
    EditMask = '>aaaa;0; '
    OnChange = Changed
  end
  object rbtTodos: TRadioButton
    Left = 8
    Top = 70
    Caption = 'Todos'
    Checked = True
    OnClick = Clicked
  end
  object rbtLista: TRadioButton
    Left = 8
    Top = 90
    Caption = 'Lista'
    OnClick = Clicked
  end
  object sedNivel: TSpinEdit
    Left = 8
    Top = 120
    EditorEnabled = False
    MinValue = 0
    MaxValue = 0
    Value = 0
  end
  object cbbTipo: TComboBox
    Left = 100
    Top = 8
    Style = csDropDownList
  end
end
)";

// A command bar: two buttons the keyboard reaches (TabStop) and one it does not.
static const QByteArray kCommandBar = R"(
object frmBar: TestForm
  ClientWidth = 300
  ClientHeight = 100
  object edtA: TEdit
    Left = 8
    Top = 8
    TabOrder = 0
  end
  object sbtNone: TSpeedButton
    Left = 8
    Top = 40
    OnClick = Clicked
  end
  object sbtPrint: TSpeedButton
    Left = 40
    Top = 40
    TabStop = True
    OnClick = Clicked
  end
  object sbtSave: TSpeedButton
    Left = 72
    Top = 40
    TabStop = True
    OnClick = Clicked
  end
end
)";

class TestControls : public QObject {
    Q_OBJECT

    std::unique_ptr<TestForm> makeForm()
    {
        auto f = std::make_unique<TestForm>();
        f->load(kForm);
        return f;
    }

private slots:
    void init() { HostUi::install(std::make_unique<ScriptedHostUi>()); }

    void textAssignmentRaisesChangeOnlyWhenDifferent()
    {
        auto f = makeForm();
        auto *edt = f->component<TEdit>("edtA");
        edt->setText_("abc");
        edt->setText_("abc");
        edt->setText_("abd");
        QCOMPARE(f->log, QStringList({"change:edtA", "change:edtA"}));
        f->log.clear();
        auto *med = f->component<TMaskEdit>("medB");
        med->setText_("2");
        med->setText_("2");
        // Filtering makes "2!" the same text: no change either.
        med->setText_("2!");
        QCOMPARE(f->log, QStringList({"change:medB"}));
    }

    void disabledNameFieldsStayReadable()
    {
        // A display-only name: disabled, on the button face colour.
        auto f = makeForm();
        f->load("inherited frmTest: TestForm\n  inherited edtA: TEdit\n    Enabled = False\n    Color = clBtnFace\n"
                "    Width = 200\n  end\nend\n");
        auto *edt = f->component<TEdit>("edtA");
        edt->setText_(QStringLiteral("Escola Municipal São João"));
        f->show();
        const QImage shot = edt->grab().toImage();
        auto luminance = [](QRgb c) {
            auto channel = [](int v) {
                const double s = v / 255.0;
                return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
        };
        double darkest = 1, background = luminance(shot.pixel(shot.width() - 4, shot.height() / 2));
        for (int y = 3; y < shot.height() - 3; ++y)
            for (int x = 3; x < shot.width() - 3; ++x)
                darkest = qMin(darkest, luminance(shot.pixel(x, y)));
        const double contrast = (background + 0.05) / (darkest + 0.05);
        QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
    }

    void definitionLoadingRaisesNoEvents()
    {
        auto f = makeForm();
        // rbtTodos was checked and the edits were created while loading.
        QVERIFY(f->log.isEmpty());
        // A further definition read onto the form, its handlers bound by now,
        // checks a radio button and sets a text: loading still raises nothing.
        f->load("inherited frmTest: TestForm\n  inherited rbtLista: TRadioButton\n    Checked = True\n  end\n"
                "  inherited edtA: TEdit\n    Text = 'novo'\n  end\nend\n");
        QVERIFY(f->component<TRadioButton>("rbtLista")->isChecked());
        QCOMPARE(f->component<TEdit>("edtA")->Text(), QStringLiteral("novo"));
        QCOMPARE(f->log, QStringList());
    }

    void checkingARadioFromCodeClicksItAndUnchecksItsSibling()
    {
        auto f = makeForm();
        auto *todos = f->component<TRadioButton>("rbtTodos");
        auto *lista = f->component<TRadioButton>("rbtLista");
        lista->setChecked_(true);
        QVERIFY(!todos->isChecked());
        QCOMPARE(f->log, QStringList({"click:rbtLista"}));
        // Already checked: no click again.
        lista->setChecked_(true);
        QCOMPARE(f->log, QStringList({"click:rbtLista"}));
        todos->setChecked_(true);
        QVERIFY(!lista->isChecked());
        QCOMPARE(f->log, QStringList({"click:rbtLista", "click:rbtTodos"}));
    }

    void spinEditWithEqualBoundsDoesNotLimit()
    {
        auto f = makeForm();
        auto *sed = f->component<TSpinEdit>("sedNivel");
        sed->setValue_(-5);
        QCOMPARE(sed->Value(), -5);
        sed->setValue_(12);
        QCOMPARE(sed->Value(), 12);
        sed->setMaxValue(4);
        sed->setValue_(12);
        QCOMPARE(sed->Value(), 4);
        sed->setMaxValue(0); // equal again: free, the value stays
        QCOMPARE(sed->Value(), 4);
        sed->setValue_(INT_MAX);
        QCOMPARE(sed->Value(), INT_MAX);
    }

    void spinEditWithoutEditorStepsButCannotBeTyped()
    {
        auto f = makeForm();
        f->show();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        auto *sed = f->component<TSpinEdit>("sedNivel");
        sed->setFocus();
        QTest::keyClicks(sed, "7");
        QCOMPARE(sed->Value(), 0);
        QTest::keyClick(sed, Qt::Key_Up);
        QTest::keyClick(sed, Qt::Key_Up);
        QCOMPARE(sed->Value(), 2);
        QTest::keyClick(sed, Qt::Key_Down);
        QTest::keyClick(sed, Qt::Key_Down);
        QTest::keyClick(sed, Qt::Key_Down);
        QCOMPARE(sed->Value(), -1);

        // Limited, the box says its range; Up at the top says it again
        // beside the box instead of doing nothing; PgUp from below stops at it.
        sed->setAccessibleName(QStringLiteral("Agrupar Produtos pelo Nível"));
        sed->setMaxValue(2);
        QCOMPARE(sed->toolTip(), QStringLiteral("Agrupar Produtos pelo Nível: de 0 a 2."));
        QCOMPARE(sed->accessibleDescription(), sed->toolTip());
        sed->setValue_(2);
        QTest::keyClick(sed, Qt::Key_Up);
        QCOMPARE(sed->Value(), 2);
        QTRY_COMPARE(QToolTip::text(), sed->toolTip());
        QToolTip::hideText();
        sed->setValue_(0);
        QTest::keyClick(sed, Qt::Key_PageUp);
        QCOMPARE(sed->Value(), 2);
        QTest::keyClick(sed, Qt::Key_Down);
        QCOMPARE(sed->Value(), 1);
    }

    void editKnowsWhetherItHasTheFocus()
    {
        auto f = makeForm();
        f->show();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        auto *a = f->component<TEdit>("edtA");
        auto *b = f->component<TMaskEdit>("medB");
        a->SetFocus();
        QVERIFY(a->Focused());
        QVERIFY(!b->Focused());
        b->SetFocus();
        QVERIFY(!a->Focused());
        QVERIFY(b->Focused());
    }

    void comboBoxStartsUnchosenAndShowsTheChosenItem()
    {
        auto f = makeForm();
        auto *cbb = f->component<TComboBox>("cbbTipo");
        cbb->setItems({"Custo Médio", "Custo Real"});
        QCOMPARE(cbb->ItemIndex(), -1);
        QCOMPARE(cbb->Text(), QString());
        cbb->setItemIndex(1);
        QCOMPARE(cbb->Text(), QStringLiteral("Custo Real"));
        QVERIFY(!cbb->isEditable());
    }

    void radioGroupItemsAndIndex()
    {
        TRadioGroup g;
        g.setItemIndex(0); // before the items, as a definition may store it
        g.setItems({"Código", "Alfabética"});
        g.setColumns(2);
        QCOMPARE(g.ItemIndex(), 0);
        g.setItemIndex(1);
        QCOMPARE(g.ItemIndex(), 1);
        g.setItemIndex(-1);
        QCOMPARE(g.ItemIndex(), -1);
    }

    void tabReachesTheCommandBarAndEnterOrSpacePressesAButton()
    {
        TestForm f;
        f.load(kCommandBar);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        auto *edit = f.findChild<QWidget *>(QStringLiteral("edtA"));
        auto *print = f.findChild<TSpeedButton *>(QStringLiteral("sbtPrint"));
        auto *save = f.findChild<TSpeedButton *>(QStringLiteral("sbtSave"));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY2(print->hasFocus(), qPrintable(QApplication::focusWidget()->objectName()));
        QTest::keyClick(print, Qt::Key_Tab);
        QVERIFY(save->hasFocus());
        QTest::keyClick(save, Qt::Key_Tab);
        QVERIFY(edit->hasFocus()); // sbtNone is no stop
        // A click runs the command and leaves the focus where it was.
        QTest::mouseClick(save, Qt::LeftButton);
        QTRY_COMPARE(f.log, QStringList({"click:sbtSave"}));
        QVERIFY(edit->hasFocus());
        print->setFocus(Qt::TabFocusReason);
        QTest::keyClick(print, Qt::Key_Return);
        QTRY_COMPARE(f.log, QStringList({"click:sbtSave", "click:sbtPrint"}));
        QTest::keyClick(print, Qt::Key_Space);
        QTRY_COMPARE(f.log.size(), 3);
    }

    void closingFromTheCreationHandlerRunsTheCloseHandlerAtOnce()
    {
        QPointer<TestForm> f = new TestForm;
        f->onCreate = [&] {
            f->Close();
            f->log << "after close";
        };
        f->load(kForm);
        f->Create();
        QCOMPARE(f->log, QStringList({"create", "close", "after close"}));
        QVERIFY(f->isClosed());
        QTRY_VERIFY(f.isNull()); // caFree disposes of it
    }

    void closeActionNoneKeepsTheWindow()
    {
        auto f = makeForm();
        f->closeAction = TForm::caNone;
        f->show();
        f->Close();
        QVERIFY(!f->isClosed());
        QVERIFY(f->isVisible());
        QCOMPARE(f->log, QStringList({"close"}));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestControls)
#include "test_controls.moc"
