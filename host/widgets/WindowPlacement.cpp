#include "WindowPlacement.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <cmath>

namespace {
// A window manager's frame before any window has shown its own: a title bar
// and thin borders. The first window mapped teaches the real one.
QMargins g_frame(2, 28, 2, 2);
// The window manager has had time to map a window and report its frame.
constexpr int kSettleMs = 300;

bool placeable(const QWidget *w)
{
    const Qt::WindowType type = w->windowType();
    return w->isWindow() && (type == Qt::Window || type == Qt::Dialog) && !w->testAttribute(Qt::WA_DontShowOnScreen);
}

bool resizable(const QWidget *w)
{
    if (w->minimumSize() == w->maximumSize())
        return false;
    return !w->layout() || w->layout()->sizeConstraint() != QLayout::SetFixedSize;
}

QRect areaOf(const QWidget *w)
{
    const QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return QRect();
    // At a scale such as 1.5 the frame's pixels are fractions of a unit, and
    // rounding can cost one: a unit is kept aside at the right and bottom.
    const double ratio = screen->devicePixelRatio();
    const int spare = ratio == std::floor(ratio) ? 0 : 1;
    return screen->availableGeometry().adjusted(0, 0, -spare, -spare);
}

QSize grown(const QSize &s, const QMargins &m) { return QSize(s.width() + m.left() + m.right(), s.height() + m.top() + m.bottom()); }

QSize shrunk(const QSize &s, const QMargins &m) { return QSize(s.width() - m.left() - m.right(), s.height() - m.top() - m.bottom()); }

// The window's frame as the window manager draws it: known once it has been
// mapped, else the last one seen.
QMargins frameOf(const QWidget *w)
{
    const QRect outer = w->frameGeometry(), inner = w->geometry();
    if (outer == inner)
        return g_frame;
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

class Watcher : public QObject {
public:
    Watcher(const QString &file, QObject *parent) : QObject(parent), m_file(file) {}
    QString file() const { return m_file; }

    void remember(QWidget *w) const
    {
        if (!resizable(w) || w->isMinimized() || !w->screen())
            return;
        QDir().mkpath(QFileInfo(m_file).absolutePath());
        QSettings(m_file, QSettings::IniFormat).setValue(WindowPlacement::keyOf(w, w->screen()), w->saveGeometry());
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        const QEvent::Type type = e->type();
        if ((type != QEvent::Show && type != QEvent::Hide) || e->spontaneous() || !o->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(o);
        if (!placeable(w))
            return false;
        if (type == QEvent::Hide) {
            remember(w);
            return false;
        }
        restore(w);
        fit(w, frameOf(w));
        // Once the window manager has framed it, the real frame decides.
        QTimer::singleShot(kSettleMs, w, [w] {
            if (w->isVisible() && w->frameGeometry() != w->geometry()) {
                g_frame = frameOf(w);
                fit(w, g_frame);
            }
        });
        return false;
    }

private:
    void restore(QWidget *w) const
    {
        if (!resizable(w) || !w->screen())
            return;
        const QByteArray saved =
            QSettings(m_file, QSettings::IniFormat).value(WindowPlacement::keyOf(w, w->screen())).toByteArray();
        if (!saved.isEmpty())
            w->restoreGeometry(saved);
    }

    static void fit(QWidget *w, const QMargins &frame)
    {
        const QRect area = areaOf(w);
        if (area.isEmpty() || w->isMaximized() || w->isFullScreen())
            return;
        const QRect outer(w->pos(), grown(w->size(), frame));
        const QRect inside = WindowPlacement::fitted(outer, area, grown(w->minimumSize(), frame));
        if (inside.size() != outer.size())
            w->resize(shrunk(inside.size(), frame));
        // A window nobody placed is left to the window manager while it fits.
        if (inside.topLeft() != outer.topLeft() && (w->testAttribute(Qt::WA_Moved) || w->isVisible()))
            w->move(inside.topLeft());
    }

    QString m_file;
};

QPointer<Watcher> g_watcher;
} // namespace

namespace WindowPlacement {

void install(const QString &settingsFile)
{
    if (g_watcher)
        delete g_watcher;
    g_watcher = new Watcher(settingsFile, qApp);
    qApp->installEventFilter(g_watcher);
}

void remember(QWidget *window)
{
    if (g_watcher && window)
        g_watcher->remember(window);
}

QRect fitted(const QRect &frame, const QRect &area, const QSize &minimum)
{
    const QSize size = frame.size().boundedTo(area.size()).expandedTo(minimum);
    const int x = qBound(area.left(), frame.left(), qMax(area.left(), area.left() + area.width() - size.width()));
    const int y = qBound(area.top(), frame.top(), qMax(area.top(), area.top() + area.height() - size.height()));
    return QRect(QPoint(x, y), size);
}

QString keyOf(const QWidget *window, const QScreen *screen)
{
    QString name = window->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
        name = QString::fromLatin1(window->metaObject()->className());
    const QRect g = screen->geometry();
    QString where = QStringLiteral("%1 %2x%3").arg(screen->name()).arg(g.width()).arg(g.height());
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\]"));
    where.replace(unsafe, QStringLiteral("_"));
    name.replace(unsafe, QStringLiteral("_"));
    return QStringLiteral("janelas/%1/%2").arg(name, where);
}

} // namespace WindowPlacement
