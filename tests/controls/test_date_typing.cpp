// TDateEditPlus at the keyboard: two-digit years, the years that are dates,
// the whole text selected on entry, "+", "-", "H" and "T", and the period
// presets of a paired start and end (context menu and Ctrl+Space), which go
// through the same events as typing.
#include "core/DateText.h"
#include "core/Errors.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/PeriodPresets.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

class TestDateTyping : public QObject {
    Q_OBJECT

    ScriptedHostUi *ui = nullptr;

    // A window with a period (start, end), each followed by a weekday label
    // that their OnDateChange fills as a screen does, and a plain edit.
    struct Window {
        QWidget w;
        TDateEditPlus *start;
        TDateEditPlus *end;
        TEdit *startDay;
        TEdit *endDay;
        TEdit *after;
        Window()
        {
            auto *lay = new QVBoxLayout(&w);
            start = new TDateEditPlus(&w);
            startDay = new TEdit(&w);
            end = new TDateEditPlus(&w);
            endDay = new TEdit(&w);
            after = new TEdit(&w);
            for (QWidget *x : {static_cast<QWidget *>(start), static_cast<QWidget *>(startDay),
                               static_cast<QWidget *>(end), static_cast<QWidget *>(endDay),
                               static_cast<QWidget *>(after)})
                lay->addWidget(x);
            start->setObjectName(QStringLiteral("start"));
            end->setObjectName(QStringLiteral("end"));
            start->setPeriodEnd(end);
            QObject::connect(start, &TDateEditPlus::OnDateChange, start, [this] { startDay->setText_(start->DiaSemana().left(3)); });
            QObject::connect(end, &TDateEditPlus::OnDateChange, end, [this] { endDay->setText_(end->DiaSemana().left(3)); });
            w.show();
            w.activateWindow();
        }
    };

    static QString shown(const QDate &d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }

private slots:
    void init() { ui = HostUi::install(std::make_unique<ScriptedHostUi>()); }
    void cleanup() { HostUi::uninstall(); }

    void readingTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("four digits") << "01/03/2026" << QDate(2026, 3, 1);
        QTest::newRow("two digits") << "01/03/26  " << QDate(2026, 3, 1);
        QTest::newRow("two digits, 99") << "31/12/99  " << QDate(2099, 12, 31);
        QTest::newRow("two digits, 00") << "29/02/00  " << QDate(2000, 2, 29);
        QTest::newRow("first year") << "01/01/1900" << QDate(1900, 1, 1);
        QTest::newRow("last year") << "31/12/2099" << QDate(2099, 12, 31);
        QTest::newRow("1899") << "31/12/1899" << QDate();
        QTest::newRow("2100") << "01/01/2100" << QDate();
        QTest::newRow("2626") << "01/03/2626" << QDate();
        QTest::newRow("one digit") << "01/03/2   " << QDate();
        QTest::newRow("three digits") << "01/03/202 " << QDate();
        QTest::newRow("blank inside") << "01/03/2 26" << QDate();
        QTest::newRow("impossible day") << "30/02/26  " << QDate();
        QTest::newRow("half a day") << "1 /03/2026" << QDate();
    }
    void readingTheText()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(DateText::parse(text), date);
        TDateEditPlus d;
        d.setText_(text);
        QCOMPARE(d.GetDate(), date);
    }

    void twoDigitYearTypedOverADate()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.start->SetDate(QDate(2025, 7, 14));
        win.startDay->setFocus();
        QTest::keyClick(win.startDay, Qt::Key_Backtab);
        QVERIFY(win.start->Focused());
        // Entered by the keyboard: the whole text is selected.
        QCOMPARE(win.start->editor()->selectedText(), QStringLiteral("14/07/2025"));
        QTest::keyClicks(win.start->editor(), QStringLiteral("010326"));
        QCOMPARE(win.start->GetDate(), QDate(2026, 3, 1));
        QCOMPARE(win.startDay->Text(), QStringLiteral("Dom"));
        QTest::keyClick(win.start->editor(), Qt::Key_Tab);
        QCOMPARE(win.start->Text(), QStringLiteral("01/03/2026"));
        QVERIFY(ui->messages.isEmpty());
        // Typed over a date from the year on: the old year digits go.
        win.start->SetFocus();
        win.start->editor()->setCursorPosition(6);
        QTest::keyClicks(win.start->editor(), QStringLiteral("27"));
        QCOMPARE(win.start->Text(), QStringLiteral("01/03/27  "));
        QCOMPARE(win.start->GetDate(), QDate(2027, 3, 1));
    }

    void yearOutsideTheRangeGetsTheMessage()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        connect(win.start, &TDateEditPlus::OnExit, win.start, [&] { win.start->CheckValidDate(); });
        win.start->SetFocus();
        QTest::keyClicks(win.start->editor(), QStringLiteral("01032626"));
        QTest::keyClick(win.start->editor(), Qt::Key_Tab);
        QCOMPARE(ui->messages.size(), 1);
        QVERIFY2(ui->messages[0].text.contains(QStringLiteral("\"01/03/2626\" não é uma data válida")),
                 qPrintable(ui->messages[0].text));
        QVERIFY(win.start->Focused());
    }

    void clickSelectsTheWholeText()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.end->SetDate(QDate(2026, 3, 16));
        win.after->setFocus();
        QTest::mouseClick(win.end->editor(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 5));
        QTRY_COMPARE(win.end->editor()->selectedText(), QStringLiteral("16/03/2026"));
    }

    void plusMinusAndToday()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        int keysSeen = 0;
        connect(win.start, &TDateEditPlus::OnKeyDown, this, [&] { ++keysSeen; });
        win.start->SetDate(QDate(2026, 2, 28));
        win.start->SetFocus();
        QTest::keyClick(win.start->editor(), Qt::Key_Plus);
        QCOMPARE(win.start->GetDate(), QDate(2026, 3, 1));
        QCOMPARE(win.startDay->Text(), QStringLiteral("Dom"));
        QTest::keyClick(win.start->editor(), Qt::Key_Minus);
        QTest::keyClick(win.start->editor(), Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(win.start->GetDate(), QDate(2026, 2, 27));
        QCOMPARE(win.startDay->Text(), QStringLiteral("Sex"));
        QCOMPARE(keysSeen, 3); // OnKeyDown still sees them first
        QTest::keyClicks(win.start->editor(), QStringLiteral("h"));
        QCOMPARE(win.start->GetDate(), QDate::currentDate());
        win.start->SetDate(QDate(2020, 1, 1));
        QTest::keyClicks(win.start->editor(), QStringLiteral("T"));
        QCOMPARE(win.start->GetDate(), QDate::currentDate());
        // Empty: "+" starts from today; a wrong date is left alone.
        win.end->SetFocus();
        QTest::keyClick(win.end->editor(), Qt::Key_Plus);
        QCOMPARE(win.end->GetDate(), QDate::currentDate());
        win.end->setText_(QStringLiteral("31/02/2026"));
        QTest::keyClick(win.end->editor(), Qt::Key_Plus);
        QCOMPARE(win.end->Text(), QStringLiteral("31/02/2026"));
        // Not past the last year.
        win.end->SetDate(QDate(2099, 12, 31));
        QTest::keyClick(win.end->editor(), Qt::Key_Plus);
        QCOMPARE(win.end->GetDate(), QDate(2099, 12, 31));
        // Read-only: nothing.
        win.end->setReadOnly(true);
        QTest::keyClicks(win.end->editor(), QStringLiteral("-h"));
        QCOMPARE(win.end->GetDate(), QDate(2099, 12, 31));
    }

    void presetsCountedFromToday()
    {
        const auto p = PeriodPresets::from(QDate(2026, 3, 16));
        QCOMPARE(p.size(), 4);
        QCOMPARE(p[0].name, QStringLiteral("Mês atual"));
        QCOMPARE(p[0].start, QDate(2026, 3, 1));
        QCOMPARE(p[0].end, QDate(2026, 3, 31));
        QCOMPARE(p[1].name, QStringLiteral("Mês anterior"));
        QCOMPARE(p[1].start, QDate(2026, 2, 1));
        QCOMPARE(p[1].end, QDate(2026, 2, 28));
        QCOMPARE(p[2].name, QStringLiteral("Ano atual"));
        QCOMPARE(p[2].start, QDate(2026, 1, 1));
        QCOMPARE(p[2].end, QDate(2026, 12, 31));
        QCOMPARE(p[3].name, QStringLiteral("Últimos 30 dias"));
        QCOMPARE(p[3].start, QDate(2026, 2, 15));
        QCOMPARE(p[3].end, QDate(2026, 3, 16));
        const auto jan = PeriodPresets::from(QDate(2025, 1, 10));
        QCOMPARE(jan[1].start, QDate(2024, 12, 1));
        QCOMPARE(jan[1].end, QDate(2024, 12, 31));
    }

    void ctrlSpaceMenuSetsBothDates()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        QStringList events;
        for (TDateEditPlus *d : {win.start, win.end})
            connect(d, &TDateEditPlus::OnDateChange, this, [&events, d] { events << d->objectName(); });
        // The screen works on another day than today: the periods count from it,
        // whichever of the two edits opens the menu.
        const QDate workDay(2025, 7, 10);
        win.start->setPeriodReference(workDay);
        win.end->SetFocus();
        QTest::keyClick(win.end->editor(), Qt::Key_Space, Qt::ControlModifier);
        QMenu *menu = win.end->periodMenu();
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        QStringList names;
        for (QAction *a : menu->actions())
            if (!a->isSeparator())
                names << a->text();
        QCOMPARE(names, QStringList({"Mês atual", "Mês anterior", "Ano atual", "Últimos 30 dias", "Hoje"}));
        // SCREENSHOT_DIR: the window and its menu, to look at.
        if (qEnvironmentVariableIsSet("SCREENSHOT_DIR")) {
            const QDir dir(qEnvironmentVariable("SCREENSHOT_DIR"));
            win.w.grab().save(dir.filePath(QStringLiteral("date-window.png")));
            menu->grab().save(dir.filePath(QStringLiteral("date-menu.png")));
        }
        // Down twice, Enter: "Mês anterior".
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        const PeriodPresets::Preset last = PeriodPresets::from(workDay).at(1);
        QCOMPARE(last.start, QDate(2025, 6, 1));
        QTRY_COMPARE(win.end->Text(), shown(last.end));
        QCOMPARE(win.start->Text(), shown(last.start));
        QCOMPARE(events, QStringList({"start", "end"}));
        QCOMPARE(win.startDay->Text(), win.start->DiaSemana().left(3));
        QCOMPARE(win.endDay->Text(), win.end->DiaSemana().left(3));
        QVERIFY(!win.startDay->Text().isEmpty());
        QVERIFY(win.end->Focused());
    }

    void contextMenuOfTheStartHasPresetsAndEditActions()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.start->showPeriodMenu(win.start->mapToGlobal(QPoint(5, 5)), true);
        QMenu *menu = win.start->periodMenu();
        QVERIFY(menu);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("Mês atual"));
        QVERIFY(menu->actions().size() > 7); // the edit's own actions follow
        menu->actions().at(2)->trigger();     // "Ano atual"
        const int year = QDate::currentDate().year();
        QCOMPARE(win.start->GetDate(), QDate(year, 1, 1));
        QCOMPARE(win.end->GetDate(), QDate(year, 12, 31));
        menu->close();
        // An edit with no period offers only "Hoje".
        TDateEditPlus alone(&win.w);
        alone.showPeriodMenu(QPoint(0, 0), false);
        QCOMPARE(alone.periodMenu()->actions().size(), 1);
        QCOMPARE(alone.periodMenu()->actions().first()->text(), QStringLiteral("Hoje"));
        alone.periodMenu()->close();
    }

    void pairingFollowsTheEdits()
    {
        TDateEditPlus a, b, c;
        a.setPeriodEnd(&b);
        QCOMPARE(a.periodStartEdit(), &a);
        QCOMPARE(b.periodStartEdit(), &a);
        QCOMPARE(b.periodEndEdit(), &b);
        a.setPeriodEnd(&c); // b is no longer in a period
        QCOMPARE(b.periodStartEdit(), nullptr);
        QCOMPARE(c.periodStartEdit(), &a);
        a.setPeriodEnd(&a); // not its own end
        QCOMPARE(a.periodEndEdit(), nullptr);
        QCOMPARE(c.periodStartEdit(), nullptr);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestDateTyping)
#include "test_date_typing.moc"
