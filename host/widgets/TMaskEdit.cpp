#include "TMaskEdit.h"
#include "core/ComponentRegistry.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

REGISTER_COMPONENT(TMaskEdit)

TMaskEdit::TMaskEdit(QWidget *parent) : TEdit(parent) {}

void TMaskEdit::setEditMask(const QString &definition)
{
    const QString value = Text();
    m_mask = EditMask(definition);
    setInputMask(m_mask.isEmpty() ? QString() : m_mask.toQtInputMask());
    setText_(value);
}

QString TMaskEdit::Text() const
{
    if (m_mask.isEmpty())
        return QLineEdit::text();
    return m_mask.valueOf(displayText());
}

void TMaskEdit::setText_(const QString &v)
{
    if (m_mask.isEmpty()) {
        TEdit::setText_(v);
        return;
    }
    const QString shown = m_mask.filter(v);
    QLineEdit::setText(shown);
    // The cursor goes after the last filled position, so typing continues there.
    setCursorPosition(filledEnd());
    checkChanged();
}

int TMaskEdit::filledEnd() const
{
    const QString shown = displayText();
    const int length = int(qMin(shown.size(), qsizetype(m_mask.length())));
    int end = 0;
    for (int i = 0; i < length; ++i)
        if (!m_mask.isLiteral(i) && shown[i] != m_mask.blank())
            end = i + 1;
    // On the next input position: a cursor put on a literal falls back to
    // the input before it, and typing would overwrite that.
    while (end < length && m_mask.isLiteral(end))
        ++end;
    return end;
}

void TMaskEdit::mouseReleaseEvent(QMouseEvent *e)
{
    // Before the click handlers run, so they see where typing will go.
    if (!m_mask.isEmpty() && !hasSelectedText() && cursorPosition() > filledEnd())
        setCursorPosition(filledEnd());
    TEdit::mouseReleaseEvent(e);
}

void TMaskEdit::pasteFiltered()
{
    if (isReadOnly())
        return;
    const QString clip = QApplication::clipboard()->text();
    if (m_mask.isEmpty()) {
        insert(clip);
        return;
    }
    // What stands before the cursor stays; the pasted text follows it.
    const int pos = cursorPosition();
    const QString before = m_mask.valueOf(displayText().left(pos));
    setText_(before + clip);
}

void TMaskEdit::keyPressEvent(QKeyEvent *e)
{
    if (e->matches(QKeySequence::Paste)) {
        pasteFiltered();
        return;
    }
    TEdit::keyPressEvent(e);
}

void TMaskEdit::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu *menu = createStandardContextMenu();
    for (QAction *a : menu->actions()) {
        if (a->objectName() == QLatin1String("edit-paste")) {
            disconnect(a, nullptr, nullptr, nullptr);
            connect(a, &QAction::triggered, this, &TMaskEdit::pasteFiltered);
        }
    }
    menu->exec(e->globalPos());
    delete menu;
}
