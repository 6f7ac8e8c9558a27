#include "AccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextEdit>

namespace {
QString g_reserved;

bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w)
        || qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QComboBox *>(w)
        || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QPlainTextEdit *>(w)
        || qobject_cast<const QTextEdit *>(w);
}

// The field a person fills beside a caption: one that takes the focus.
bool isField(const QWidget *w)
{
    return (w->focusPolicy() & Qt::TabFocus) && !qobject_cast<const QAbstractButton *>(w) && !w->isWindow();
}

// The field just right of label on its row, among its siblings.
QWidget *fieldRightOf(const QLabel *label)
{
    const QRect g = label->geometry();
    QWidget *best = nullptr;
    for (QWidget *w : label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QWidget *proxy = w->focusProxy() ? w->focusProxy() : w;
        const QRect f = w->geometry();
        if (w == label || !isField(proxy) || f.left() < g.right() - 2 || g.center().y() < f.top()
            || g.center().y() > f.bottom())
            continue;
        if (!best || f.left() < best->geometry().left())
            best = w;
    }
    return best;
}

// The label whose buddy is w, or w's owner when w is the text box inside a
// composite field (a date edit, a spin box, a combo box).
const QLabel *labelOf(const QWidget *w)
{
    QList<const QWidget *> owners{w};
    if (QWidget *p = w->parentWidget(); p && !w->isWindow()
        && (p->focusProxy() == w || qobject_cast<QAbstractSpinBox *>(p) || qobject_cast<QComboBox *>(p)))
        owners << p;
    for (const QLabel *l : w->window()->findChildren<QLabel *>())
        if (l->buddy() && owners.contains(l->buddy()))
            return l;
    return nullptr;
}

// What a control serves: the field of a search button (its Associate), the
// date of a calendar button, else the group box it sits in.
QString servedName(const QWidget *w)
{
    if (auto *associate = qobject_cast<QWidget *>(w->property("Associate").value<QObject *>()))
        if (const QLabel *l = labelOf(associate))
            return AccessibleNames::plain(l->text());
    if (QWidget *owner = w->parentWidget(); owner && owner->focusProxy())
        if (const QLabel *l = labelOf(owner->focusProxy()))
            return AccessibleNames::plain(l->text());
    for (const QWidget *p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (auto *box = qobject_cast<const QGroupBox *>(p); box && !box->title().isEmpty())
            return AccessibleNames::plain(box->title());
    return QString();
}

QString nameOf(const QWidget *w)
{
    if (const QLabel *l = labelOf(w))
        return AccessibleNames::plain(l->text());
    if (auto *b = qobject_cast<const QAbstractButton *>(w)) {
        if (!AccessibleNames::plain(b->text()).isEmpty())
            return AccessibleNames::plain(b->text());
        const QString tip = AccessibleNames::plain(b->toolTip());
        const QString served = servedName(w);
        if (tip.isEmpty() || served.isEmpty())
            return tip.isEmpty() ? served : tip;
        return QStringLiteral("%1: %2").arg(tip, served);
    }
    if (auto *e = qobject_cast<const QLineEdit *>(w); e && !e->placeholderText().isEmpty())
        return e->placeholderText();
    return servedName(w);
}

// Mnemonic letters already held by the window's captions.
QString takenLetters(const QWidget *window)
{
    static const QRegularExpression mark(QStringLiteral("&([^&\\s])"));
    QString taken = g_reserved.toLower();
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        const QString text = qobject_cast<const QLabel *>(w)           ? static_cast<const QLabel *>(w)->text()
                           : qobject_cast<const QAbstractButton *>(w) ? static_cast<const QAbstractButton *>(w)->text()
                           : qobject_cast<const QGroupBox *>(w)       ? static_cast<const QGroupBox *>(w)->title()
                                                                      : QString();
        for (const QRegularExpressionMatch &m : mark.globalMatch(text))
            taken += m.captured(1).toLower();
    }
    return taken;
}

// Where the mnemonic goes in text: a word's first letter, else any letter,
// that is not taken; -1 when none is free.
int freeLetter(const QString &text, const QString &taken)
{
    auto free = [&](int i) {
        const QChar c = text[i].toLower();
        return c >= QLatin1Char('a') && c <= QLatin1Char('z') && !taken.contains(c);
    };
    for (int i = 0; i < text.size(); ++i)
        if ((i == 0 || text[i - 1].isSpace()) && free(i))
            return i;
    for (int i = 0; i < text.size(); ++i)
        if (free(i))
            return i;
    return -1;
}

void giveBuddiesAndLetters(QWidget *window)
{
    QString taken = takenLetters(window);
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->buddy() && label->parentWidget() && !label->text().contains(QLatin1Char('&')))
            if (QWidget *field = fieldRightOf(label))
                label->setBuddy(field);
        QWidget *buddy = label->buddy();
        if (!buddy || !buddy->isEnabled() || label->text().contains(QLatin1Char('&')) || label->textFormat() == Qt::RichText)
            continue;
        const int at = freeLetter(label->text(), taken);
        if (at < 0)
            continue;
        taken += label->text()[at].toLower();
        label->setText(QString(label->text()).insert(at, QLatin1Char('&')));
    }
}
} // namespace

namespace AccessibleNames {

QString plain(const QString &text)
{
    static const QRegularExpression key(QStringLiteral("\\s*\\([^)]*\\)\\s*$"));
    QString out = text;
    out.remove(key);
    out.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&')).replace(QLatin1Char('\x01'), QLatin1Char('&'));
    out = out.trimmed();
    if (out.endsWith(QStringLiteral("...")))
        out.chop(3);
    while (out.endsWith(QLatin1Char(':')) || out.endsWith(QChar(0x2026)))
        out.chop(1);
    return out.trimmed();
}

void setReservedLetters(const QString &letters) { g_reserved = letters; }

void describe(QWidget *window)
{
    if (!window)
        return;
    giveBuddiesAndLetters(window);
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!isControl(w))
            continue;
        if (w->accessibleName().isEmpty())
            w->setAccessibleName(nameOf(w));
        const QString tip = w->toolTip().isEmpty() && w->parentWidget() ? w->parentWidget()->toolTip() : w->toolTip();
        if (w->accessibleDescription().isEmpty() && !tip.isEmpty() && tip != w->accessibleName())
            w->setAccessibleDescription(tip);
    }
}

} // namespace AccessibleNames
