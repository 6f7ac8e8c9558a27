// TDateEditPlus: date checks, month ends, events and the calendar popup.
#include "core/Errors.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TControlInfo.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

class TestDateEditPlus : public QObject {
    Q_OBJECT

    ScriptedHostUi *ui = nullptr;

    // A window with the date edit between two plain edits.
    struct Window {
        QWidget w;
        TEdit *before;
        TDateEditPlus *date;
        TEdit *after;
        Window()
        {
            auto *lay = new QVBoxLayout(&w);
            before = new TEdit(&w);
            date = new TDateEditPlus(&w);
            after = new TEdit(&w);
            lay->addWidget(before);
            lay->addWidget(date);
            lay->addWidget(after);
            w.show();
            w.activateWindow();
        }
    };

private slots:
    void init()
    {
        ui = HostUi::install(std::make_unique<ScriptedHostUi>());
    }
    void cleanup() { HostUi::uninstall(); }

    void setAndGetDate()
    {
        TDateEditPlus d;
        QCOMPARE(d.Text(), QString());
        QVERIFY(!d.GetDate().isValid());
        d.SetDate(QDate(2026, 3, 9));
        QCOMPARE(d.Text(), QStringLiteral("09/03/2026"));
        QCOMPARE(d.GetDate(), QDate(2026, 3, 9));
        QCOMPARE(d.property("Text").toString(), QStringLiteral("09/03/2026"));
        d.SetDate(QDate());
        QCOMPARE(d.Text(), QString());
        d.setProperty("Text", QStringLiteral("29/02/2024"));
        QCOMPARE(d.GetDate(), QDate(2024, 2, 29));
        d.setProperty("Text", QString());
        QCOMPARE(d.Text(), QString());
    }

    void checkValidDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("normal") << "15/06/2026" << true;
        QTest::newRow("leap day") << "29/02/2024" << true;
        QTest::newRow("31 February") << "31/02/2026" << false;
        QTest::newRow("month 13") << "12/13/2026" << false;
        QTest::newRow("29 February, common year") << "29/02/2026" << false;
        QTest::newRow("29 February 1900") << "29/02/1900" << false;
        QTest::newRow("day 0") << "00/05/2026" << false;
        QTest::newRow("31 April") << "31/04/2026" << false;
        QTest::newRow("half typed") << "12/0" << false;
    }
    void checkValidDate()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.after->setFocus();
        win.date->setText_(text);
        bool aborted = false;
        try {
            win.date->CheckValidDate();
        } catch (const EAbort &) {
            aborted = true;
        }
        QCOMPARE(aborted, !valid);
        QCOMPARE(ui->messages.size(), valid ? 0 : 1);
        if (!valid) {
            QCOMPARE(ui->messages[0].kind, ScriptedHostUi::Message::Error);
            QVERIFY(ui->messages[0].abort);
            QVERIFY2(ui->messages[0].text.contains(QStringLiteral("não é uma data válida")),
                     qPrintable(ui->messages[0].text));
            QVERIFY(ui->messages[0].text.contains(text.left(4)));
            // The focus moved to the offending control before the message.
            QVERIFY(win.date->Focused());
        } else {
            QVERIFY(win.after->hasFocus());
        }
    }

    void monthEnds_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::newRow("leap February") << QDate(2024, 2, 10) << QDate(2024, 2, 1) << QDate(2024, 2, 29);
        QTest::newRow("common February") << QDate(2026, 2, 28) << QDate(2026, 2, 1) << QDate(2026, 2, 28);
        QTest::newRow("1900 not leap") << QDate(1900, 2, 1) << QDate(1900, 2, 1) << QDate(1900, 2, 28);
        QTest::newRow("2000 leap") << QDate(2000, 2, 15) << QDate(2000, 2, 1) << QDate(2000, 2, 29);
        QTest::newRow("30-day month") << QDate(2026, 4, 30) << QDate(2026, 4, 1) << QDate(2026, 4, 30);
        QTest::newRow("December") << QDate(2026, 12, 31) << QDate(2026, 12, 1) << QDate(2026, 12, 31);
        QTest::newRow("January") << QDate(2027, 1, 1) << QDate(2027, 1, 1) << QDate(2027, 1, 31);
    }
    void monthEnds()
    {
        QFETCH(QDate, date);
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        TDateEditPlus d;
        d.SetDate(date);
        QCOMPARE(d.GetPrimDia(), first);
        QCOMPARE(d.GetUltDia(), last);
    }

    void monthEndsWithoutDate()
    {
        TDateEditPlus d;
        QVERIFY(!d.GetPrimDia().isValid());
        QVERIFY(!d.GetUltDia().isValid());
        d.setText_(QStringLiteral("31/02/2026"));
        QVERIFY(!d.GetPrimDia().isValid());
        QVERIFY(!d.GetUltDia().isValid());
    }

    void weekdayNames()
    {
        TDateEditPlus d;
        d.SetDate(QDate(2026, 3, 8)); // a Sunday
        QCOMPARE(d.DiaSemana(), QStringLiteral("Domingo"));
        d.SetDate(QDate(2026, 3, 14));
        QCOMPARE(d.DiaSemana(), QStringLiteral("Sábado"));
        d.setNomeSemana({"D", "S", "T", "Q", "Q", "S", "S"});
        d.SetDate(QDate(2026, 3, 10)); // a Tuesday
        QCOMPARE(d.DiaSemana(), QStringLiteral("T"));
        d.SetDate(QDate());
        QCOMPARE(d.DiaSemana(), QString());
    }

    void saveTime()
    {
        TDateEditPlus d;
        const QDateTime dt(QDate(2026, 5, 4), QTime(13, 45, 10));
        d.SetDateTime(dt);
        QCOMPARE(d.GetDateTime(), QDateTime(QDate(2026, 5, 4), QTime(0, 0)));
        d.setSaveTime(true);
        d.SetDateTime(dt);
        QCOMPARE(d.GetDateTime(), dt);
        QCOMPARE(d.GetDate(), QDate(2026, 5, 4));
    }

    void typingTakesDigitsOnly()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.date->SetFocus();
        QTest::keyClicks(win.date->editor(), QStringLiteral("1a2/0b3x2026"));
        QCOMPARE(win.date->Text(), QStringLiteral("12/03/2026"));
        QCOMPARE(win.date->GetDate(), QDate(2026, 3, 12));
    }

    void dateChangeRaisedOncePerChange()
    {
        TDateEditPlus d;
        QStringList log;
        connect(&d, &TDateEditPlus::OnDateChange, this, [&](QObject *s) {
            QCOMPARE(s, &d);
            log << d.Text();
        });
        d.SetDate(QDate(2026, 1, 2));
        d.SetDate(QDate(2026, 1, 2)); // the same date: nothing
        d.SetDate(QDate(2026, 1, 3));
        d.setText_(QStringLiteral("31/02/2026")); // no longer a date: a change
        d.setText_(QStringLiteral("30/02/2026")); // still none: no change
        d.SetDate(QDate());
        QCOMPARE(log, QStringList({"02/01/2026", "03/01/2026", "31/02/2026"}));
    }

    void changeRaisedOnlyWhenTextDiffers()
    {
        TDateEditPlus d;
        int changes = 0;
        connect(&d, &TDateEditPlus::OnChange, this, [&] { ++changes; });
        d.setText_(QStringLiteral("01/01/2026"));
        d.setText_(QStringLiteral("01/01/2026"));
        QCOMPARE(changes, 1);
        d.setText_(QString());
        QCOMPARE(changes, 2);
    }

    void enterAndExitFollowRealFocusMoves()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        QStringList log;
        connect(win.date, &TDateEditPlus::OnEnter, this, [&] { log << "enter"; });
        connect(win.date, &TDateEditPlus::OnExit, this, [&] { log << "exit"; });
        win.before->setFocus();
        QTest::keyClick(win.before, Qt::Key_Tab);
        QVERIFY(win.date->Focused());
        QVERIFY(win.date->editor()->hasFocus());
        // The calendar button takes no focus: a click leaves it in the edit.
        QTest::mouseClick(win.date->button(), Qt::LeftButton);
        QVERIFY(win.date->droppedDown());
        QTest::keyClick(win.date->calendar(), Qt::Key_Escape);
        QVERIFY(!win.date->droppedDown());
        QVERIFY(win.date->Focused());
        QTest::keyClick(win.date->editor(), Qt::Key_Tab);
        QVERIFY(win.after->hasFocus());
        QCOMPARE(log, QStringList({"enter", "exit"}));
    }

    void exitHandlerCheckKeepsFocus()
    {
        // The screens call CheckValidDate on exit: an invalid date brings
        // the focus back with one message, and ends the exit quietly.
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        connect(win.date, &TDateEditPlus::OnExit, win.date, [&] { win.date->CheckValidDate(); });
        win.date->SetFocus();
        QTest::keyClicks(win.date->editor(), QStringLiteral("31022026"));
        QTest::keyClick(win.date->editor(), Qt::Key_Tab);
        QCOMPARE(ui->messages.size(), 1);
        QVERIFY(win.date->Focused());
        QTest::keyClick(win.date->editor(), Qt::Key_Home);
        QTest::keyClicks(win.date->editor(), QStringLiteral("28"));
        QTest::keyClick(win.date->editor(), Qt::Key_Tab);
        QCOMPARE(ui->messages.size(), 1);
        QVERIFY(win.after->hasFocus());
        QCOMPARE(win.date->GetDate(), QDate(2026, 2, 28));
    }

    void keyDownCanSwallow()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        QList<int> keys;
        connect(win.date, &TDateEditPlus::OnKeyDown, this, [&](QObject *, int *key, int) {
            keys << *key;
            if (*key == '5')
                *key = 0;
        });
        win.date->SetFocus();
        QTest::keyClicks(win.date->editor(), QStringLiteral("1526"));
        QCOMPARE(keys, QList<int>({'1', '5', '2', '6'}));
        QCOMPARE(win.date->Text(), QStringLiteral("12/6 /    "));
    }

    // F4 alone opens the calendar; Ctrl+F4 (close the screen) and Alt+F4
    // (close the window) are not the date's.
    void onlyPlainF4OpensTheCalendar()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.date->SetFocus();
        for (const Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                                 Qt::KeyboardModifiers(Qt::AltModifier)}) {
            QTest::keyClick(win.date->editor(), Qt::Key_F4, mods);
            QVERIFY(!win.date->droppedDown());
        }
        QTest::keyClick(win.date->editor(), Qt::Key_F4);
        QVERIFY(win.date->droppedDown());
        QTest::keyClick(win.date->calendar(), Qt::Key_Escape);
        QVERIFY(!win.date->droppedDown());
    }

    void calendarPicksDate()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.date->SetDate(QDate(2026, 3, 9));
        int changes = 0;
        connect(win.date, &TDateEditPlus::OnDateChange, this, [&] { ++changes; });
        win.date->SetFocus();
        QTest::keyClick(win.date->editor(), Qt::Key_Down, Qt::AltModifier);
        QVERIFY(win.date->droppedDown());
        QCalendarWidget *cal = win.date->calendar();
        QCOMPARE(cal->selectedDate(), QDate(2026, 3, 9));
        QWidget *grid = cal->findChild<QAbstractItemView *>();
        QVERIFY(grid);
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(!win.date->droppedDown());
        QCOMPARE(win.date->GetDate(), QDate(2026, 3, 17));
        QCOMPARE(changes, 1);
        QVERIFY(win.date->Focused());
    }

    void calendarOpensOnTodayWithoutDate()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.date->DropDown();
        QVERIFY(win.date->droppedDown());
        QCOMPARE(win.date->calendar()->selectedDate(), QDate::currentDate());
        QTest::keyClick(win.date->calendar(), Qt::Key_Escape);
        QCOMPARE(win.date->Text(), QString());
    }

    void validDateColour()
    {
        TDateEditPlus d;
        d.setValidDateColor(QStringLiteral("clBlue"));
        d.SetDate(QDate(2026, 1, 1));
        QCOMPARE(d.editor()->palette().color(QPalette::Text), QColor(0, 0, 255));
        d.setText_(QStringLiteral("31/02/2026"));
        QVERIFY(d.editor()->palette().color(QPalette::Text) != QColor(0, 0, 255));
    }

    void backgroundColourReachesTheEdit()
    {
        // The definition may set ValidDateColor before or after Color.
        TDateEditPlus d;
        d.setValidDateColor(QStringLiteral("clBlue"));
        d.SetDate(QDate(2026, 1, 1));
        TControlInfo::of(&d)->setColor(QStringLiteral("clInfoBk"));
        QCOMPARE(d.editor()->palette().color(QPalette::Base), QColor(255, 255, 225));
        QCOMPARE(d.editor()->palette().color(QPalette::Text), QColor(0, 0, 255));
        d.setText_(QString());
        QCOMPARE(d.editor()->palette().color(QPalette::Base), QColor(255, 255, 225));
        QCOMPARE(d.editor()->palette().color(QPalette::Text), d.palette().color(QPalette::Text));
    }

    void readOnlyOpensNoCalendar()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.date->setReadOnly(true);
        win.date->DropDown();
        QVERIFY(!win.date->droppedDown());
        QVERIFY(!win.date->button()->isEnabled());
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestDateEditPlus)
#include "test_dateeditplus.moc"
