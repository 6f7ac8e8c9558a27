#include "TMenuItem.h"
#include "TButtonFlat.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QAction>
#include <QKeySequence>

REGISTER_COMPONENT(TMenuItem)

TMenuItem::TMenuItem(QObject *parent) : QObject(parent), m_action(new QAction(this))
{
    connect(m_action, &QAction::triggered, this, [this] { Click(); });
    if (auto *button = qobject_cast<TButtonFlat *>(parent))
        button->addMenuItem(this);
}

QString TMenuItem::Caption() const { return m_action->text(); }
void TMenuItem::setCaption(const QString &v) { m_action->setText(v); }
bool TMenuItem::Enabled() const { return m_action->isEnabled(); }
void TMenuItem::setEnabled(bool v) { m_action->setEnabled(v); }
bool TMenuItem::Visible() const { return m_action->isVisible(); }
void TMenuItem::setVisible(bool v) { m_action->setVisible(v); }
QString TMenuItem::ShortCut() const { return m_action->shortcut().toString(); }
void TMenuItem::setShortCut(const QString &v) { m_action->setShortcut(QKeySequence(v)); }
QString TMenuItem::Hint() const { return m_action->statusTip(); }
void TMenuItem::setHint(const QString &v) { m_action->setStatusTip(v); }

void TMenuItem::Click()
{
    if (!m_action->isEnabled())
        return;
    Dispatch::fire([this] { emit OnClick(this); });
}
