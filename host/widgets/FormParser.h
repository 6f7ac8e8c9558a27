// Parses a form definition into a tree of blocks:
//   object Name: TClass ... end      (a new component)
//   inherited Name: TClass ... end   (a component of the ancestor's definition)
// holding Prop = value lines and nested blocks, in their written order.
#pragma once

#include "FormLexer.h"

#include <QList>
#include <QVariantMap>
#include <memory>
#include <vector>

struct FormValue {
    enum Kind { Integer, Float, String, Ident, Set, StringList, Collection, Binary } kind = Integer;
    QString text;                 // Integer, Float, String, Ident
    QStringList list;             // Set, StringList
    std::vector<std::vector<struct FormProperty>> items; // Collection: each item's properties
    QByteArray bytes;             // Binary
    int line = 0, column = 0;
    QString kindName() const;
};

struct FormProperty {
    QString path; // "Font.Style"
    FormValue value;
    int line = 0, column = 0;
};

struct FormNode {
    bool inherited = false;
    QString name;
    QString className;
    int line = 0, column = 0;
    // Properties and children interleaved in written order.
    struct Entry {
        std::shared_ptr<FormProperty> property;
        std::shared_ptr<FormNode> child;
    };
    QList<Entry> entries;
};

class FormParser {
public:
    FormParser(const QByteArray &source, const QString &file);
    std::shared_ptr<FormNode> parse();

private:
    std::shared_ptr<FormNode> parseBlock();
    FormValue parseValue();
    FormValue parseScalar(FormValue &v, FormValue::Kind kind);
    FormValue parseSet(FormValue &v);
    FormValue parseStringList(FormValue &v);
    FormValue parseCollection(FormValue &v);
    FormProperty parseProperty();
    void take();
    [[noreturn]] void fail(const QString &message) const;
    bool isSymbol(const char *s) const;
    bool isWord(const char *w) const;
    FormLexer m_lex;
    FormToken m_tok;
};
