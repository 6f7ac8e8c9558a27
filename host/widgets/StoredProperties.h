// Properties that stored definitions carry but that mean nothing here, each
// declared once with the reason (StoredProperties.cpp). The form reader
// accepts them on the classes named, keeps the value on the component as a
// property of that name (property() reads it back) and does nothing more;
// a value of any kind is accepted. Any other unknown property stays an error.
#pragma once

#include <QString>

class QObject;

namespace StoredProperties {

// Why the property `name` of obj is kept only as stored; empty when it is
// not such a property (the class chain of obj is searched).
QString reasonFor(const QObject *obj, const QString &name);

} // namespace StoredProperties
