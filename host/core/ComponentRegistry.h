// Maps the class names that form definitions use to factories.
//
// Every component class registers itself once, in its .cpp:
//     REGISTER_COMPONENT(TEdit)
// The factory receives the parent object: a QWidget for visual components
// (the reader checks this), any QObject for non-visual ones.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <type_traits>

class QWidget;

namespace ComponentRegistry {

using Factory = std::function<QObject *(QObject *parent)>;

struct Entry {
    Factory create;
    bool visual = false;
};

bool add(const QString &className, Entry entry);
const Entry *find(const QString &className);

template <class T> bool addClass(const char *className)
{
    Entry e;
    e.visual = std::is_base_of_v<QWidget, T>;
    e.create = [](QObject *parent) -> QObject * {
        if constexpr (std::is_base_of_v<QWidget, T>)
            return new T(qobject_cast<QWidget *>(parent));
        else
            return new T(parent);
    };
    return add(QString::fromLatin1(className), std::move(e));
}

} // namespace ComponentRegistry

#define REGISTER_COMPONENT(T) \
    static const bool registered_##T = ComponentRegistry::addClass<T>(#T);
