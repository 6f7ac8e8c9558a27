#include "TDateEditPlus.h"
#include "Glyphs.h"
#include "Keys.h"
#include "TControlInfo.h"
#include "core/ComponentRegistry.h"
#include "core/DateText.h"
#include "core/Dispatch.h"
#include "core/MensErro.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

REGISTER_COMPONENT(TDateEditPlus)

namespace {
const QString kFormat = QStringLiteral("dd/MM/yyyy");

// The line edit inside: hands focus and key events to its owner after (focus)
// or before (keys) its own handling, so handlers see a settled edit.
class DateLineEdit : public QLineEdit {
public:
    DateLineEdit(TDateEditPlus *owner, std::function<void(QFocusEvent *)> focusIn,
                 std::function<void(QFocusEvent *)> focusOut, std::function<bool(QKeyEvent *)> key)
        : QLineEdit(owner), m_focusIn(std::move(focusIn)), m_focusOut(std::move(focusOut)), m_key(std::move(key))
    {
    }

protected:
    void focusInEvent(QFocusEvent *e) override
    {
        QLineEdit::focusInEvent(e);
        m_focusIn(e);
    }
    void focusOutEvent(QFocusEvent *e) override
    {
        QLineEdit::focusOutEvent(e);
        m_focusOut(e);
    }
    void keyPressEvent(QKeyEvent *e) override
    {
        if (m_key(e))
            return;
        QLineEdit::keyPressEvent(e);
    }

private:
    std::function<void(QFocusEvent *)> m_focusIn, m_focusOut;
    std::function<bool(QKeyEvent *)> m_key;
};
} // namespace

TDateEditPlus::TDateEditPlus(QWidget *parent) : QWidget(parent)
{
    m_nomeSemana = {QStringLiteral("Domingo"), QStringLiteral("Segunda"), QStringLiteral("Terça"),
                    QStringLiteral("Quarta"), QStringLiteral("Quinta"), QStringLiteral("Sexta"),
                    QStringLiteral("Sábado")};

    auto *edit = new DateLineEdit(
        this,
        [this](QFocusEvent *e) {
            // A click places the cursor after this: select once it is done.
            if (e->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, m_edit, [this] { m_edit->selectAll(); });
            else if (e->reason() != Qt::ActiveWindowFocusReason)
                m_edit->selectAll();
            if (Keys::isExit(e->reason()))
                Dispatch::fire([this] { emit OnEnter(this); });
        },
        [this](QFocusEvent *e) {
            widenYear();
            if (Keys::isExit(e->reason()))
                Dispatch::fire([this] { emit OnExit(this); });
        },
        [this](QKeyEvent *e) {
            const bool f4 = e->key() == Qt::Key_F4 && !(e->modifiers() & ~Qt::KeypadModifier); // Ctrl+F4 closes
            if (f4 || ((e->modifiers() & Qt::AltModifier) && e->key() == Qt::Key_Down)) {
                DropDown();
                return true;
            }
            int key = Keys::fromQt(e->key());
            Dispatch::fire([&] { emit OnKeyDown(this, &key, Keys::shiftFromQt(e->modifiers())); });
            return key == 0 || ownKey(e); // a handler swallowed the key, or it is ours
        });
    m_edit = edit;
    m_edit->setInputMask(QStringLiteral("99/99/9999;_"));
    m_edit->setFrame(true);
    connect(m_edit, &QLineEdit::textChanged, this, [this] { textEdited(); });
    m_edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_edit, &QLineEdit::customContextMenuRequested, this,
            [this](const QPoint &p) { showPeriodMenu(m_edit->mapToGlobal(p), true); });
    m_edit->setToolTip(QStringLiteral("+ e -: um dia a mais ou a menos; H ou T: hoje; Ctrl+Espaço: períodos"));

    m_button = new QToolButton(this);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setIcon(Glyphs::icon(QStringLiteral("calendar")));
    m_button->setToolTip(QStringLiteral("Calendário"));
    connect(m_button, &QToolButton::clicked, this, [this] { DropDown(); });

    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_edit);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(100, 21);
    m_lastText = Text();
}

TDateEditPlus::~TDateEditPlus() = default;

QString TDateEditPlus::Text() const
{
    const QString shown = m_edit->displayText();
    bool anyDigit = false;
    for (QChar c : shown)
        if (c.isDigit()) {
            anyDigit = true;
            break;
        }
    if (!anyDigit)
        return {};
    QString t = shown;
    t.replace(QLatin1Char('_'), QLatin1Char(' '));
    return t;
}

void TDateEditPlus::setText_(const QString &v)
{
    QString digits = v;
    digits.remove(QLatin1Char('/')).remove(QLatin1Char(' '));
    if (digits.isEmpty())
        m_edit->clear();
    else
        m_edit->setText(v);
}

QDate TDateEditPlus::GetDate() const { return DateText::parse(m_edit->displayText()); }

void TDateEditPlus::SetDate(const QDate &d)
{
    if (!d.isValid()) {
        m_edit->clear();
        return;
    }
    m_edit->setText(d.toString(kFormat));
}

QDateTime TDateEditPlus::GetDateTime() const
{
    const QDate d = GetDate();
    if (!d.isValid())
        return {};
    return QDateTime(d, m_saveTime && m_time.isValid() ? m_time : QTime(0, 0));
}

void TDateEditPlus::SetDateTime(const QDateTime &dt)
{
    m_time = m_saveTime && dt.isValid() ? dt.time() : QTime();
    SetDate(dt.isValid() ? dt.date() : QDate());
}

void TDateEditPlus::CheckValidDate()
{
    const QString t = Text();
    if (t.isEmpty() || GetDate().isValid())
        return;
    // Back to this control without running the other control's exit check.
    Keys::focusQuietly(m_edit);
    MensErro(QStringLiteral("\"%1\" não é uma data válida. Informe a data como dia/mês/ano (dd/mm/aaaa).")
                 .arg(t.trimmed()),
             true);
}

QDate TDateEditPlus::GetPrimDia() const
{
    const QDate d = GetDate();
    return d.isValid() ? QDate(d.year(), d.month(), 1) : QDate();
}

QDate TDateEditPlus::GetUltDia() const
{
    const QDate d = GetDate();
    return d.isValid() ? QDate(d.year(), d.month(), d.daysInMonth()) : QDate();
}

QString TDateEditPlus::DiaSemana() const
{
    const QDate d = GetDate();
    if (!d.isValid())
        return {};
    const int i = d.dayOfWeek() % 7; // Qt: Monday 1 .. Sunday 7; the list starts on Sunday
    return i < m_nomeSemana.size() ? m_nomeSemana.at(i) : QString();
}

void TDateEditPlus::setValidDateColor(const QString &v)
{
    m_validDateColor = v;
    updateColor();
}

void TDateEditPlus::setButtonBitmap(const QString &v)
{
    m_buttonBitmap = v;
    const QIcon icon = Glyphs::icon(v);
    m_button->setIcon(icon.isNull() ? Glyphs::icon(QStringLiteral("calendar")) : icon);
}

bool TDateEditPlus::ReadOnly() const { return m_edit->isReadOnly(); }

void TDateEditPlus::setReadOnly(bool v)
{
    m_edit->setReadOnly(v);
    m_button->setEnabled(!v);
}

bool TDateEditPlus::Focused() const { return Keys::holdsFocus(m_edit); }

void TDateEditPlus::SetFocus() { m_edit->setFocus(Qt::OtherFocusReason); }

QSize TDateEditPlus::sizeHint() const
{
    const int h = m_edit->sizeHint().height();
    return {m_edit->sizeHint().width() + h, h};
}

QSize TDateEditPlus::minimumSizeHint() const
{
    const int h = m_edit->minimumSizeHint().height();
    return {m_edit->minimumSizeHint().width() + h, h};
}

void TDateEditPlus::DropDown()
{
    if (m_edit->isReadOnly() || !isEnabled())
        return;
    if (window()->focusWidget() != m_edit) {
        // Like a click into the control: the previous control's exit handler
        // runs and may keep the focus, in which case nothing opens.
        SetFocus();
        if (window()->focusWidget() != m_edit)
            return;
    }
    if (!m_popup) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setFrameShape(QFrame::Box);
        auto *lay = new QVBoxLayout(m_popup);
        lay->setContentsMargins(1, 1, 1, 1);
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setGridVisible(true);
        m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        m_calendar->setFirstDayOfWeek(Qt::Sunday);
        lay->addWidget(m_calendar);
        connect(m_calendar, &QCalendarWidget::clicked, this, [this](QDate d) { pickFromCalendar(d); });
        connect(m_calendar, &QCalendarWidget::activated, this, [this](QDate d) { pickFromCalendar(d); });
        m_popup->installEventFilter(this);
        m_calendar->installEventFilter(this);
    }
    const QDate d = GetDate();
    m_calendar->setSelectedDate(d.isValid() ? d : QDate::currentDate());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

bool TDateEditPlus::droppedDown() const { return m_popup && m_popup->isVisible(); }

bool TDateEditPlus::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_popup || watched == m_calendar) && event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_Escape) {
            closeCalendar();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TDateEditPlus::pickFromCalendar(const QDate &d)
{
    closeCalendar();
    Dispatch::guard([&] { SetDate(d); });
}

void TDateEditPlus::closeCalendar()
{
    if (m_popup)
        m_popup->hide();
    m_edit->setFocus(Qt::PopupFocusReason);
}

void TDateEditPlus::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    const int h = height();
    const int bw = qMin(h, width() / 2);
    m_edit->setGeometry(0, 0, width() - bw, h);
    m_button->setGeometry(width() - bw, 0, bw, h);
}

void TDateEditPlus::textEdited()
{
    updateColor();
    const QString now = Text();
    if (now != m_lastText) {
        m_lastText = now;
        Dispatch::fire([this] { emit OnChange(this); });
    }
    const QDate d = GetDate();
    if (d != m_lastDate) {
        m_lastDate = d;
        Dispatch::fire([this] { emit OnDateChange(this); });
    }
}

void TDateEditPlus::updateColor()
{
    // Only the text colour is the edit's own; the rest (the background that
    // Color sets on this control) keeps following this control's palette.
    QPalette p;
    bool ok = false;
    const QColor valid = TControlInfo::colorFromName(m_validDateColor, &ok);
    if (ok && GetDate().isValid())
        p.setColor(QPalette::Text, valid);
    m_edit->setPalette(p);
}

bool TDateEditPlus::ownKey(QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() == Qt::Key_Space && mods == Qt::ControlModifier) {
        showPeriodMenu(m_edit->mapToGlobal(QPoint(0, m_edit->height())), false);
        return true;
    }
    if (m_edit->isReadOnly() || (mods & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    const QString t = e->text().toUpper();
    if (t == QLatin1String("+") || t == QLatin1String("-")) {
        stepDay(t == QLatin1String("+") ? 1 : -1);
        return true;
    }
    if (t == QLatin1String("H") || t == QLatin1String("T")) {
        Dispatch::guard([&] { SetDate(QDate::currentDate()); });
        return true;
    }
    // The first year digit starts the year afresh, so that "26" typed over
    // 2026 is 26 (2026), not 2626.
    if (t.size() == 1 && t.at(0).isDigit() && m_edit->cursorPosition() == 6 && !m_edit->hasSelectedText())
        m_edit->setSelection(6, 4);
    return false;
}

void TDateEditPlus::stepDay(int days)
{
    QDate d = GetDate();
    if (!d.isValid() && !Text().isEmpty())
        return; // a wrong date is left for the check to report
    d = d.isValid() ? d.addDays(days) : QDate::currentDate();
    if (d.year() < DateText::kFirstYear || d.year() > DateText::kLastYear)
        return;
    const int cursor = m_edit->cursorPosition();
    Dispatch::guard([&] { SetDate(d); });
    m_edit->setCursorPosition(cursor);
}

void TDateEditPlus::widenYear()
{
    const QDate d = GetDate();
    if (d.isValid() && DateText::hasShortYear(m_edit->displayText()))
        Dispatch::guard([&] { SetDate(d); });
}
