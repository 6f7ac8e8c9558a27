#include "DesktopTrace.h"
#include "ElidedLabel.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <cstdio>

namespace {
void trace(const char *what, const QString &text)
{
    std::fprintf(stderr, "trace %s %s\n", what, qUtf8Printable(text));
    std::fflush(stderr);
}

QString nameOf(const QObject *o)
{
    for (; o; o = o->parent())
        if (!o->objectName().isEmpty() && !o->objectName().startsWith(QLatin1String("qt_")))
            return o->objectName();
    return QStringLiteral("?");
}

void traceActions(const QList<QAction *> &actions)
{
    for (QAction *a : actions) {
        if (a->menu())
            traceActions(a->menu()->actions());
        else if (!a->isSeparator())
            QObject::connect(a, &QAction::triggered, a, [a] { trace("command", nameOf(a)); });
    }
}

class WindowShows : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A key reaches its window first, then the widget with the focus: traced once.
        if (event->type() == QEvent::KeyPress && watched->isWindowType()) {
            trace("key", QKeySequence(static_cast<QKeyEvent *>(event)->key()).toString());
            return false;
        }
        auto *w = qobject_cast<QWidget *>(watched);
        if (event->type() != QEvent::Show || !w || !w->isWindow() || w->windowType() == Qt::ToolTip)
            return false;
        if (qobject_cast<QMenu *>(w))
            trace("menu", nameOf(w));
        else if (w->windowType() != Qt::Popup)
            trace("window", w->windowTitle());
        return false;
    }
};
} // namespace

namespace DesktopTrace {

void installIfAsked(QMainWindow *window)
{
    if (qEnvironmentVariable("MERENDA_DESKTOP_TRACE") != QLatin1String("1"))
        return;
    QObject::connect(qApp, &QApplication::focusChanged, window, [](QWidget *, QWidget *now) {
        if (now)
            trace("focus", nameOf(now));
    });
    traceActions(window->menuBar()->actions());
    for (ElidedLabel *field : window->statusBar()->findChildren<ElidedLabel *>())
        QObject::connect(field, &ElidedLabel::shownTextChanged, window, [field](const QString &shown) {
            trace("status", nameOf(field) + QLatin1Char(' ') + shown);
        });
    qApp->installEventFilter(new WindowShows(window));
    if (auto *area = window->findChild<QMdiArea *>()) {
        QObject::connect(area, &QMdiArea::subWindowActivated, window, [](QMdiSubWindow *sub) {
            if (!sub || sub->property("traced").toBool())
                return;
            sub->setProperty("traced", true);
            QObject::connect(sub, &QObject::destroyed, qApp, [title = sub->windowTitle()] { trace("closed", title); });
        });
    }
}

} // namespace DesktopTrace
