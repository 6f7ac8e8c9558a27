#include "TForm.h"
#include "core/Errors.h"
#include "AccessibleNames.h"
#include "FocusChain.h"
#include "FormReader.h"
#include "Keys.h"
#include "TApplication.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

REGISTER_COMPONENT(TForm)

TForm::TForm(QWidget *parent) : QWidget(parent) {}

TForm::~TForm() = default;

void TForm::setClientWidth(int v)
{
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(v, height());
    setBorderStyle(m_borderStyle);
}

void TForm::setClientHeight(int v)
{
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(width(), v);
    setBorderStyle(m_borderStyle);
}

void TForm::setBorderStyle(PropertyEnums::TFormBorderStyle v)
{
    using PropertyEnums::TFormBorderStyle;
    m_borderStyle = v;
    // A fixed frame: the user cannot resize the window.
    if (v == TFormBorderStyle::bsSingle || v == TFormBorderStyle::bsDialog || v == TFormBorderStyle::bsToolWindow)
        setFixedSize(size());
    else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

PropertyEnums::TWindowState TForm::WindowState() const
{
    using PropertyEnums::TWindowState;
    const Qt::WindowStates s = m_sub ? m_sub->windowState() : windowState();
    if (s & Qt::WindowMinimized)
        return TWindowState::wsMinimized;
    if (s & Qt::WindowMaximized)
        return TWindowState::wsMaximized;
    return TWindowState::wsNormal;
}

void TForm::setWindowState_(PropertyEnums::TWindowState v)
{
    using PropertyEnums::TWindowState;
    QWidget *f = frame();
    if (v == TWindowState::wsMinimized)
        f->showMinimized();
    else if (v == TWindowState::wsMaximized)
        f->showMaximized();
    else if (f->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
        f->showNormal(); // restoring an already normal window would disturb its focus
}

void TForm::SetWindowStateNormal() { setWindowState_(PropertyEnums::TWindowState::wsNormal); }

QWidget *TForm::frame()
{
    return m_sub ? static_cast<QWidget *>(m_sub.data()) : this;
}

void TForm::Create()
{
    {
        FormReader reader(this);
        QList<const QMetaObject *> chain;
        for (const QMetaObject *mo = metaObject(); mo && mo != &TForm::staticMetaObject; mo = mo->superClass())
            chain.prepend(mo);
        for (const QMetaObject *mo : chain) {
            const QString path = QStringLiteral(":/forms/%1.dfm").arg(QLatin1String(mo->className()));
            if (QFile::exists(path))
                reader.readFile(path);
        }
        reader.finish();
    }
    definitionsRead();
    // Screen readers and Alt+letter reach every control the definitions made.
    AccessibleNames::describe(this);
    Dispatch::fire([this] { emit OnCreate(this); });
}

void TForm::Show()
{
    if (m_closed)
        return;
    QMdiArea *area = TApplication::mdiArea();
    if (isMdiChild() && area) {
        if (!m_sub) {
            Qt::WindowFlags flags = Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                  | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
            if (isSizeable())
                flags |= Qt::WindowMaximizeButtonHint;
            m_sub = area->addSubWindow(this, flags);
            m_sub->setAttribute(Qt::WA_DeleteOnClose);
            // A click on a focus-less button or on the frame must leave the
            // focus in the field being edited, so the frame never takes it.
            m_sub->setFocusPolicy(Qt::NoFocus);
            m_sub->setWindowTitle(windowTitle());
            // The frame wraps the client area exactly; a long caption must not widen it.
            const QMargins m = m_sub->contentsMargins();
            const QSize outer = size() + QSize(m.left() + m.right(), m.top() + m.bottom());
            if (!isSizeable())
                m_sub->setFixedSize(outer);
            else
                m_sub->resize(outer);
        }
        m_sub->show();
        area->setActiveSubWindow(m_sub);
        focusFirstControl();
        return;
    }
    show();
    raise();
    activateWindow();
}

void TForm::Repaint()
{
    update();
    repaint();
}

int TForm::runCloseHandler()
{
    // An MDI child minimises unless its handler says otherwise; others hide.
    int action = isMdiChild() ? caMinimize : caHide;
    m_inClose = true;
    try {
        Dispatch::fire([&] { emit OnClose(this, &action); });
    } catch (...) {
        m_inClose = false;
        throw;
    }
    m_inClose = false;
    return action;
}

void TForm::Close()
{
    if (m_closed || m_inClose)
        return;
    if (m_sub && m_sub->isVisible()) {
        m_sub->close(); // comes back through closeEvent
        return;
    }
    if (applyCloseAction(runCloseHandler())) {
        frame()->hide();
        frame()->deleteLater();
    }
}

bool TForm::applyCloseAction(int action)
{
    switch (action) {
    case caNone:
        return false;
    case caMinimize:
        frame()->showMinimized();
        return false;
    case caHide:
        releaseFocus();
        frame()->hide();
        return false;
    default:
        m_closed = true;
        releaseFocus();
        return true;
    }
}

void TForm::releaseFocus()
{
    // A window going away runs no exit check of the control it leaves.
    Keys::QuietFocus quiet;
    QWidget *f = QApplication::focusWidget();
    if (f && isAncestorOf(f))
        f->clearFocus();
}

void TForm::closeEvent(QCloseEvent *e)
{
    if (m_closed) {
        e->accept();
        return;
    }
    if (m_inClose) {
        e->ignore();
        return;
    }
    if (!applyCloseAction(runCloseHandler())) {
        e->ignore();
        return;
    }
    e->accept();
    if (!m_sub)
        setAttribute(Qt::WA_DeleteOnClose);
}

void TForm::activated()
{
    if (m_closed)
        return;
    if (!m_activatedOnce) {
        m_activatedOnce = true;
        focusFirstControl();
        // The MDI area gives the focus to the frame as it activates it; take it
        // back for the first control once that is done.
        QTimer::singleShot(0, this, [this] { focusFirstControl(); });
    }
    Dispatch::fire([this] { emit OnActivate(this); });
}

void TForm::focusFirstControl()
{
    QWidget *f = QApplication::focusWidget();
    if (f && isAncestorOf(f))
        return;
    if (QWidget *first = FocusChain::next(this, nullptr, true))
        first->setFocus(Qt::TabFocusReason);
}

bool TForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate && !m_sub)
        activated();
    else if (e->type() == QEvent::Show)
        Dispatch::fire([this] { emit OnShow(this); });
    return QWidget::event(e);
}

bool TForm::focusNextPrevChild(bool next)
{
    QWidget *target = FocusChain::next(this, QApplication::focusWidget(), next);
    if (!target)
        return false;
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

QObject *TForm::component(const QString &name) const
{
    return findChild<QObject *>(name, Qt::FindChildrenRecursively);
}

void TForm::throwMissingPart(const char *name, const QMetaObject &wanted, const QObject *found, const QMetaObject &owner)
{
    const QString file = QStringLiteral(":/forms/%1.dfm").arg(QLatin1String(owner.className()));
    const QString what = found ? QStringLiteral("é da classe %1").arg(QLatin1String(found->metaObject()->className()))
                               : QStringLiteral("não existe");
    const QString message = QStringLiteral("o componente %1, da classe %2, que a tela usa, %3")
                                .arg(QLatin1String(name), QLatin1String(wanted.className()), what);
    throw DefinitionError(QStringLiteral("%1: %2.").arg(file, message), file, 0, 0, message);
}
QVariant TForm::typingState(const QWidget *) const { return QVariant(); }

void TForm::restoreTypingState(const QWidget *, const QVariant &) {}
