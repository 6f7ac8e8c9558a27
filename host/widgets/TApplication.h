// The shell's application object as screens see it: the form factory, the
// MDI area that holds child windows, named global components (data modules)
// that definitions may refer to, and the screen cursor.
#pragma once

#include <QString>

class QMdiArea;
class QObject;

namespace TApplication {

void setMdiArea(QMdiArea *area);
QMdiArea *mdiArea();

// Stores the new instance in ref before its creation handler runs, so the
// handler may already reach the form through ref (and close it).
template <class T> void CreateForm(T *&ref)
{
    ref = new T(nullptr);
    ref->Create();
}

void registerGlobal(const QString &name, QObject *object);
QObject *global(const QString &name);

} // namespace TApplication

namespace Screen {
enum : int { crDefault = 0, crHourGlass = -11 };
// crHourGlass shows the wait cursor; crDefault restores the normal one.
void SetCursor(int cursor);
}
