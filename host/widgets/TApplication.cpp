#include "TApplication.h"
#include "TForm.h"

#include <QApplication>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace TApplication {
namespace {
QPointer<QMdiArea> g_area;
QHash<QString, QPointer<QObject>> &globals()
{
    static QHash<QString, QPointer<QObject>> g;
    return g;
}
}

void setMdiArea(QMdiArea *area)
{
    g_area = area;
    if (!area)
        return;
    QObject::connect(area, &QMdiArea::subWindowActivated, area, [](QMdiSubWindow *sub) {
        if (!sub)
            return;
        if (auto *form = qobject_cast<TForm *>(sub->widget()))
            form->activated();
    });
}

QMdiArea *mdiArea() { return g_area; }

void registerGlobal(const QString &name, QObject *object) { globals().insert(name, object); }

QObject *global(const QString &name) { return globals().value(name); }

} // namespace TApplication

namespace Screen {
namespace {
int g_cursor = crDefault;
}

void SetCursor(int cursor)
{
    if (cursor == g_cursor)
        return;
    if (g_cursor != crDefault)
        QApplication::restoreOverrideCursor();
    g_cursor = cursor;
    if (cursor == crHourGlass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

}
