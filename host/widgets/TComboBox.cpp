#include "TComboBox.h"
#include "ControlEvents.h"
#include "Keys.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

REGISTER_COMPONENT(TComboBox)

TComboBox::TComboBox(QWidget *parent) : QComboBox(parent)
{
    // Only a choice the user makes raises the events; code changes do not.
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this] {
        Dispatch::fire([this] { emit OnChange(this); });
        Dispatch::fire([this] { emit OnClick(this); });
    });
}

void TComboBox::setStyle_(PropertyEnums::TComboBoxStyle v)
{
    m_style = v;
    m_styleApplied = true;
    // Only an editable style makes the line edit: one made and dropped again
    // would leave a deferred deletion that takes the focus with it.
    setEditable(v == PropertyEnums::TComboBoxStyle::csDropDown || v == PropertyEnums::TComboBoxStyle::csSimple);
}

void TComboBox::showEvent(QShowEvent *e)
{
    if (!m_styleApplied)
        setStyle_(m_style);
    QComboBox::showEvent(e);
}

QStringList TComboBox::Items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << itemText(i);
    return out;
}

void TComboBox::setItems(const QStringList &items)
{
    // The caller keeps its list: the items are copied in.
    clear();
    addItems(items);
    setCurrentIndex(-1);
}

void TComboBox::setItemIndex(int i)
{
    setCurrentIndex(i >= 0 && i < count() ? i : -1);
}

QString TComboBox::Text() const
{
    if (isEditable())
        return lineEdit()->text();
    return currentIndex() >= 0 ? currentText() : QString();
}

void TComboBox::setText_(const QString &v)
{
    if (isEditable()) {
        lineEdit()->setText(v);
        return;
    }
    setCurrentIndex(findText(v));
}

bool TComboBox::Focused() const { return Keys::holdsFocus(this); }

void TComboBox::focusInEvent(QFocusEvent *e)
{
    QComboBox::focusInEvent(e);
    ControlEvents::focusIn(this, e);
}

void TComboBox::focusOutEvent(QFocusEvent *e)
{
    QComboBox::focusOutEvent(e);
    ControlEvents::focusOut(this, e);
}

void TComboBox::keyPressEvent(QKeyEvent *e)
{
    if (ControlEvents::keyDown(this, e))
        QComboBox::keyPressEvent(e);
}
