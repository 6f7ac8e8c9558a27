#include "FormReader.h"
#include "StoredProperties.h"
#include "TApplication.h"
#include "TControlInfo.h"
#include "TFont.h"
#include "TForm.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"
#include "core/Errors.h"

#include <QFile>
#include <QMetaProperty>
#include <QWidget>

namespace {
// A property of obj by name: its own, else (for a widget) the attached info's.
bool findProperty(QObject *&obj, const QString &name, QMetaProperty &out)
{
    const QByteArray n = name.toLatin1();
    int i = obj->metaObject()->indexOfProperty(n.constData());
    if (i >= 0) {
        out = obj->metaObject()->property(i);
        return true;
    }
    if (auto *w = qobject_cast<QWidget *>(obj)) {
        QObject *info = TControlInfo::of(w);
        i = info->metaObject()->indexOfProperty(n.constData());
        if (i >= 0) {
            obj = info;
            out = info->metaObject()->property(i);
            return true;
        }
    }
    return false;
}

int findSignal(const QObject *obj, const QString &name)
{
    const QMetaObject *mo = obj->metaObject();
    for (int i = mo->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() == QMetaMethod::Signal && QLatin1String(m.name()) == name)
            return i;
    }
    return -1;
}

bool isObjectPointer(const QMetaType &t) { return t.flags().testFlag(QMetaType::PointerToQObject); }
}

FormReader::FormReader(TForm *form) : m_form(form) {}
FormReader::~FormReader() = default;

void FormReader::fail(int line, int column, const QString &message) const
{
    throw FormDefinitionError(m_file, line, column, message);
}

void FormReader::readFile(const QString &path)
{
    // Definitions in the resources never change: each is parsed once.
    static QHash<QString, std::shared_ptr<const FormNode>> parsed;
    const bool resource = path.startsWith(QLatin1Char(':'));
    std::shared_ptr<const FormNode> root = resource ? parsed.value(path) : nullptr;
    if (!root) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            throw FormDefinitionError(path, 0, 0, QStringLiteral("cannot read the form definition"));
        root = FormParser(f.readAll(), path).parse();
        if (resource)
            parsed.insert(path, root);
    }
    m_file = path;
    Dispatch::LoadingScope loading;
    applyRoot(*root);
}

void FormReader::read(const QByteArray &source, const QString &file)
{
    m_file = file;
    Dispatch::LoadingScope loading;
    FormParser parser(source, file);
    const auto root = parser.parse();
    applyRoot(*root);
}

void FormReader::read(const FormNode &root, const QString &file)
{
    m_file = file;
    Dispatch::LoadingScope loading;
    applyRoot(root);
}

void FormReader::applyRoot(const FormNode &root)
{
    bool known = false;
    for (const QMetaObject *mo = m_form->metaObject(); mo; mo = mo->superClass())
        known = known || root.className == QLatin1String(mo->className());
    if (!known)
        fail(root.line, root.column,
             QStringLiteral("class '%1' is not the form's class or an ancestor of it").arg(root.className));
    m_form->setObjectName(root.name);
    applyBody(m_form, root);
}

void FormReader::applyBody(QObject *obj, const FormNode &node)
{
    for (const auto &e : node.entries) {
        if (e.property)
            setProperty(obj, *e.property);
        else
            applyChild(obj, *e.child);
    }
}

void FormReader::applyChild(QObject *parent, const FormNode &node)
{
    if (node.inherited) {
        QObject *existing = lookup(node.name);
        if (!existing)
            fail(node.line, node.column,
                 QStringLiteral("inherited component '%1' is not in the ancestor's definition").arg(node.name));
        applyBody(existing, node);
        return;
    }
    const ComponentRegistry::Entry *entry = ComponentRegistry::find(node.className);
    if (!entry)
        fail(node.line, node.column, QStringLiteral("unknown class '%1'").arg(node.className));
    if (lookup(node.name))
        fail(node.line, node.column, QStringLiteral("a component named '%1' already exists").arg(node.name));
    if (entry->visual && !qobject_cast<QWidget *>(parent))
        fail(node.line, node.column,
             QStringLiteral("visual component '%1' cannot be placed in non-visual '%2'")
                 .arg(node.name, parent->objectName()));
    QObject *obj = entry->create(parent);
    obj->setObjectName(node.name);
    m_index.insert(node.name, obj);
    applyBody(obj, node);
}

QVariant FormReader::plainValue(const FormValue &v)
{
    switch (v.kind) {
    case FormValue::Integer: return v.text.toLongLong();
    case FormValue::Float: return v.text.toDouble();
    case FormValue::String:
    case FormValue::Ident: return v.text;
    case FormValue::Set:
    case FormValue::StringList: return v.list;
    case FormValue::Binary: return v.bytes;
    case FormValue::Collection: {
        QVariantList items;
        for (const auto &item : v.items)
            items << collectionItem(item);
        return items;
    }
    }
    return {};
}

QVariantMap FormReader::collectionItem(const std::vector<FormProperty> &item)
{
    QVariantMap map;
    for (const auto &p : item)
        map.insert(p.path, plainValue(p.value));
    return map;
}

QVariant FormReader::convert(const QMetaProperty &mp, const FormValue &v, const FormProperty &p, bool *isRef)
{
    *isRef = false;
    if (isObjectPointer(mp.metaType())) {
        if (v.kind != FormValue::Ident)
            wrongKind(v, p);
        *isRef = true;
        return {};
    }
    if (mp.isEnumType())
        return convertEnum(mp, v, p);
    return convertPlain(mp.metaType().id(), v, p);
}

void FormReader::wrongKind(const FormValue &v, const FormProperty &p) const
{
    fail(v.line, v.column, QStringLiteral("property '%1' does not take %2").arg(p.path, v.kindName()));
}

QVariant FormReader::convertEnum(const QMetaProperty &mp, const FormValue &v, const FormProperty &p)
{
    if (v.kind == FormValue::Integer)
        return v.text.toInt();
    if (v.kind != FormValue::Ident)
        wrongKind(v, p);
    bool ok = false;
    const int value = mp.enumerator().keyToValue(v.text.toLatin1().constData(), &ok);
    if (!ok)
        fail(v.line, v.column, QStringLiteral("'%1' is not a value of property '%2'").arg(v.text, p.path));
    return value;
}

QVariant FormReader::convertPlain(int typeId, const FormValue &v, const FormProperty &p)
{
    const bool ident = v.kind == FormValue::Ident;
    switch (typeId) {
    case QMetaType::Bool:
        if (ident && v.text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (ident && v.text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt: {
        if (v.kind == FormValue::Integer)
            return v.text.toLongLong();
        bool ok = false;
        const qlonglong n = ident && v.text.startsWith(QLatin1Char('$')) ? v.text.mid(1).toLongLong(&ok, 16) : 0;
        if (ok)
            return n;
        break;
    }
    case QMetaType::Double:
        if (v.kind == FormValue::Integer || v.kind == FormValue::Float)
            return v.text.toDouble();
        break;
    case QMetaType::QString:
        if (v.kind == FormValue::String || ident)
            return v.text;
        break;
    case QMetaType::QStringList:
        if (v.kind == FormValue::StringList || v.kind == FormValue::Set)
            return v.list;
        break;
    case QMetaType::QVariantList:
        if (v.kind == FormValue::Collection)
            return plainValue(v);
        break;
    case QMetaType::QByteArray:
        if (v.kind == FormValue::Binary)
            return v.bytes;
        if (v.kind == FormValue::String)
            return v.text.toUtf8();
        break;
    default:
        fail(p.line, p.column, QStringLiteral("property '%1' cannot be set from a definition").arg(p.path));
    }
    wrongKind(v, p);
}

void FormReader::setProperty(QObject *obj, const FormProperty &p)
{
    QStringList segs = p.path.split(QLatin1Char('.'));
    // "Items.Strings = (...)" is the string list property itself.
    if (segs.size() > 1 && segs.last() == QLatin1String("Strings"))
        segs.removeLast();
    QObject *target = obj;
    for (int i = 0; i + 1 < segs.size(); ++i) {
        QMetaProperty mp;
        if (!findProperty(target, segs[i], mp) || !isObjectPointer(mp.metaType()))
            fail(p.line, p.column, QStringLiteral("unknown property '%1' of %2")
                                       .arg(p.path, QLatin1String(obj->metaObject()->className())));
        target = mp.read(target).value<QObject *>();
        if (!target)
            fail(p.line, p.column, QStringLiteral("property '%1' has no object to set").arg(segs[i]));
    }
    const QString name = segs.last();
    if (!StoredProperties::reasonFor(target, name).isEmpty()) {
        target->setProperty(name.toLatin1().constData(), plainValue(p.value));
        return;
    }
    QMetaProperty mp;
    QObject *holder = target;
    if (findProperty(holder, name, mp)) {
        bool isRef = false;
        const QVariant value = convert(mp, p.value, p, &isRef);
        if (isRef) {
            m_fixups.append({holder, mp, p.value.text, m_file, p.line, p.column});
            return;
        }
        if (!mp.isWritable() || !mp.write(holder, value))
            fail(p.line, p.column, QStringLiteral("property '%1' cannot take the value given").arg(p.path));
        return;
    }
    if (findSignal(target, name) >= 0) {
        if (p.value.kind != FormValue::Ident)
            fail(p.value.line, p.value.column,
                 QStringLiteral("event '%1' takes a handler name, not %2").arg(name, p.value.kindName()));
        m_bindings.append({target, name, p.value.text, m_file, p.line, p.column});
        return;
    }
    fail(p.line, p.column, QStringLiteral("unknown property '%1' of %2")
                               .arg(p.path, QLatin1String(target->metaObject()->className())));
}

QObject *FormReader::lookup(const QString &name)
{
    // One pass over the form's objects, then a table: a definition names
    // hundreds of components, and a search of the tree for each adds up.
    if (!m_indexed) {
        m_indexed = true;
        for (QObject *o : m_form->findChildren<QObject *>())
            if (!o->objectName().isEmpty() && !m_index.contains(o->objectName()))
                m_index.insert(o->objectName(), o);
    }
    QObject *o = m_index.value(name);
    return o && o != m_form ? o : nullptr;
}

QObject *FormReader::resolve(const QString &path)
{
    const QStringList segs = path.split(QLatin1Char('.'));
    QObject *obj = segs[0] == m_form->objectName() ? m_form : lookup(segs[0]);
    if (!obj)
        obj = TApplication::global(segs[0]);
    for (int i = 1; obj && i < segs.size(); ++i) {
        QMetaProperty mp;
        QObject *holder = obj;
        if (!findProperty(holder, segs[i], mp) || !isObjectPointer(mp.metaType()))
            return nullptr;
        obj = mp.read(holder).value<QObject *>();
    }
    return obj;
}

void FormReader::finish()
{
    TFont::applyPending();
    for (const Fixup &f : std::as_const(m_fixups)) {
        if (!f.target)
            continue;
        m_file = f.file;
        QObject *ref = resolve(f.path);
        if (!ref)
            fail(f.line, f.column, QStringLiteral("component '%1' not found").arg(f.path));
        if (!f.property.write(f.target, QVariant::fromValue(ref)))
            fail(f.line, f.column, QStringLiteral("'%1' cannot be assigned to '%2'")
                                       .arg(f.path, QLatin1String(f.property.name())));
    }
    m_fixups.clear();

    const QMetaObject *formMo = m_form->metaObject();
    for (const Binding &b : std::as_const(m_bindings)) {
        if (!b.component)
            continue;
        m_file = b.file;
        const QMetaMethod signal = b.component->metaObject()->method(findSignal(b.component, b.event));
        int handlerIndex = -1;
        for (int i = formMo->methodCount() - 1; i >= 0 && handlerIndex < 0; --i) {
            const QMetaMethod m = formMo->method(i);
            if (m.methodType() != QMetaMethod::Signal && QLatin1String(m.name()) == b.handler)
                handlerIndex = i;
        }
        if (handlerIndex < 0)
            fail(b.line, b.column, QStringLiteral("unknown handler method '%1' for event '%2'").arg(b.handler, b.event));
        const QMetaMethod handler = formMo->method(handlerIndex);
        if (handler.parameterCount() != signal.parameterCount() || !QMetaObject::checkConnectArgs(signal, handler))
            fail(b.line, b.column, QStringLiteral("handler '%1' does not take the parameters of event '%2'")
                                       .arg(b.handler, b.event));
        // A descendant's definition may bind the event again: one handler per event.
        const auto key = qMakePair(static_cast<QObject *>(b.component), b.event);
        if (auto old = m_connections.take(key))
            QObject::disconnect(old);
        m_connections.insert(key, QObject::connect(b.component, signal, m_form, handler, Qt::DirectConnection));
    }
    m_bindings.clear();
}
