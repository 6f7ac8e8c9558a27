// Applies form definitions onto one form instance: the ancestor's first, then
// each descendant's. Properties are set through the meta-object system (the
// class's own Q_PROPERTYs, then the attached TControlInfo); identifiers given
// to an event (a signal of the component) bind the form's handler method of
// that name, the most derived one; references to other components are
// resolved in finish(), after everything is read.
#pragma once

#include "FormParser.h"

#include <QHash>
#include <QMetaMethod>
#include <QPointer>

class TForm;

class FormReader {
public:
    explicit FormReader(TForm *form);
    ~FormReader();

    void readFile(const QString &path);
    void read(const QByteArray &source, const QString &file);
    // Applies a definition already parsed (file names it in errors).
    void read(const FormNode &root, const QString &file);
    // Resolves references and binds the event handlers.
    void finish();

private:
    struct Fixup {
        QPointer<QObject> target;
        QMetaProperty property;
        QString path;
        QString file;
        int line, column;
    };
    struct Binding {
        QPointer<QObject> component;
        QString event;
        QString handler;
        QString file;
        int line, column;
    };

    void applyRoot(const FormNode &root);
    void applyBody(QObject *obj, const FormNode &node);
    void applyChild(QObject *parent, const FormNode &node);
    void setProperty(QObject *obj, const FormProperty &p);
    QVariant convert(const QMetaProperty &mp, const FormValue &v, const FormProperty &p, bool *isRef);
    QVariant convertEnum(const QMetaProperty &mp, const FormValue &v, const FormProperty &p);
    QVariant convertPlain(int typeId, const FormValue &v, const FormProperty &p);
    [[noreturn]] void wrongKind(const FormValue &v, const FormProperty &p) const;
    QVariantMap collectionItem(const std::vector<FormProperty> &item);
    QVariant plainValue(const FormValue &v);
    QObject *resolve(const QString &path);
    // A component of the form by name (QPointer-free: the reader lives
    // only while the form is being read).
    QObject *lookup(const QString &name);
    [[noreturn]] void fail(int line, int column, const QString &message) const;

    TForm *m_form;
    QString m_file;
    QList<Fixup> m_fixups;
    QList<Binding> m_bindings;
    QHash<QPair<QObject *, QString>, QMetaObject::Connection> m_connections;
    QHash<QString, QObject *> m_index;
    bool m_indexed = false;
};
