// Date edit of the screens: a masked "dd/mm/yyyy" line edit with a button
// that opens a calendar. Keyboard focus lives in the line edit (focus proxy),
// so OnEnter/OnExit follow real focus moves into and out of the control; the
// calendar popup and window switches do not count as leaving it.
//
// Rules of this control:
// - Text is empty while no digit has been typed; otherwise it is the text as
//   shown, with unfilled positions as blanks ("12/0 /    ").
// - An empty text is a valid (absent) date; any other text must be a real
//   calendar date of the years 1900 to 2099, or CheckValidDate reports it
//   and ends the action. A two-digit year is 20yy (DateText.h): "010326"
//   typed gives 01/03/2026, written out in full when the focus leaves.
//   Typing the first digit of the year starts the year afresh.
// - Getting the focus selects the whole text, so typing replaces it.
// - Keys: "+" and "-" move the date a day (from today when empty), "H" or
//   "T" sets today; Ctrl+Space opens the period menu; F4 or Alt+Down the
//   calendar. OnKeyDown sees every key first and may swallow it.
// - Period: PeriodEnd pairs this edit (the period's start) with the edit of
//   the period's end. Either edit's context menu (and Ctrl+Space) then
//   offers the presets of PeriodPresets.h, which set both dates as SetDate
//   does (OnChange and OnDateChange follow, as when typing). The presets
//   count from the period's reference day (the start edit's
//   setPeriodReference, the day the screen works on), today when none.
// - ValidDateColor is the text colour while the text holds a valid date.
// - SaveTime keeps the time of day given to SetDateTime; otherwise the
//   control holds dates only and GetDateTime gives midnight.
// - NomeSemana holds the seven weekday names, Sunday first (DiaSemana).
// - ButtonBitmap names a drawn picture (widgets/Glyphs.h), "calendar" when
//   empty or unknown.
// - Setting a date from code raises OnDateChange when the date changes.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QPointer>
#include <QStringList>
#include <QTime>
#include <QWidget>

class QCalendarWidget;
class QFrame;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QToolButton;

class TDateEditPlus : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText_)
    Q_PROPERTY(QStringList NomeSemana READ NomeSemana WRITE setNomeSemana)
    Q_PROPERTY(QString ValidDateColor READ ValidDateColor WRITE setValidDateColor)
    Q_PROPERTY(bool SaveTime READ SaveTime WRITE setSaveTime)
    Q_PROPERTY(QString ButtonBitmap READ ButtonBitmap WRITE setButtonBitmap)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)
    Q_PROPERTY(QObject *PeriodEnd READ PeriodEnd WRITE setPeriodEnd)

public:
    explicit TDateEditPlus(QWidget *parent = nullptr);
    ~TDateEditPlus() override;

    QString Text() const;
    void setText_(const QString &v);

    // The date of the text; a null date when the text is empty or not a date.
    Q_INVOKABLE QDate GetDate() const;
    // Shows the date; a null date empties the text.
    Q_INVOKABLE void SetDate(const QDate &d);
    QDateTime GetDateTime() const;
    void SetDateTime(const QDateTime &dt);
    // Reports a text that is not a valid date (MensErro, abort) after moving
    // the focus here; an empty text passes.
    Q_INVOKABLE void CheckValidDate();
    // First and last day of the month of the date; null without a date.
    Q_INVOKABLE QDate GetPrimDia() const;
    Q_INVOKABLE QDate GetUltDia() const;
    // Weekday name of the date from NomeSemana; empty without a date.
    Q_INVOKABLE QString DiaSemana() const;

    QStringList NomeSemana() const { return m_nomeSemana; }
    void setNomeSemana(const QStringList &v) { m_nomeSemana = v; }
    QString ValidDateColor() const { return m_validDateColor; }
    void setValidDateColor(const QString &v);
    bool SaveTime() const { return m_saveTime; }
    void setSaveTime(bool v) { m_saveTime = v; }
    QString ButtonBitmap() const { return m_buttonBitmap; }
    void setButtonBitmap(const QString &v);
    bool ReadOnly() const;
    void setReadOnly(bool v);

    QObject *PeriodEnd() const;
    void setPeriodEnd(QObject *end);
    // The edits of this edit's period (this one among them); null unpaired.
    TDateEditPlus *periodStartEdit() const;
    TDateEditPlus *periodEndEdit() const;
    // Sets both dates of the period (nothing when unpaired).
    void setPeriod(const QDate &start, const QDate &end);
    // The day the ready-made periods count from; a null date: today.
    void setPeriodReference(const QDate &day) { m_periodReference = day; }
    QDate periodReference() const;
    // Opens the period menu at a global position; with the edit's own
    // actions (cut, copy, paste...) for a right click.
    void showPeriodMenu(const QPoint &globalPos, bool withEditActions);
    // The menu last opened; nullptr before.
    QMenu *periodMenu() const;

    bool Focused() const;
    void SetFocus();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Opens the calendar below the control (the button, Alt+Down or F4).
    void DropDown();
    bool droppedDown() const;

    QLineEdit *editor() const { return m_edit; }
    QToolButton *button() const { return m_button; }
    // The calendar of the popup; nullptr until it was first opened.
    QCalendarWidget *calendar() const { return m_calendar; }

signals:
    void OnChange(QObject *Sender);
    void OnDateChange(QObject *Sender);
    void OnEnter(QObject *Sender);
    void OnExit(QObject *Sender);
    void OnKeyDown(QObject *Sender, int *Key, int Shift);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void textEdited();
    void updateColor();
    void pickFromCalendar(const QDate &d);
    void closeCalendar();
    // The keys of this control after OnKeyDown; true when taken.
    bool ownKey(QKeyEvent *e);
    void stepDay(int days);
    // Writes a two-digit year out in full.
    void widenYear();

    QLineEdit *m_edit = nullptr;
    QToolButton *m_button = nullptr;
    QFrame *m_popup = nullptr;
    QCalendarWidget *m_calendar = nullptr;
    QString m_lastText;
    QDate m_lastDate;
    QTime m_time;
    QStringList m_nomeSemana;
    QString m_validDateColor = QStringLiteral("clWindowText");
    bool m_saveTime = false;
    QString m_buttonBitmap;
    QPointer<TDateEditPlus> m_periodEnd;
    QPointer<TDateEditPlus> m_periodStart;
    QPointer<QMenu> m_menu;
    QDate m_periodReference;
};
