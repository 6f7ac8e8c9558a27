#include "FormParser.h"

QString FormValue::kindName() const
{
    switch (kind) {
    case Integer: return QStringLiteral("an integer");
    case Float: return QStringLiteral("a number");
    case String: return QStringLiteral("a string");
    case Ident: return QStringLiteral("an identifier");
    case Set: return QStringLiteral("a set");
    case StringList: return QStringLiteral("a string list");
    case Collection: return QStringLiteral("a collection");
    case Binary: return QStringLiteral("binary data");
    }
    return QString();
}

FormParser::FormParser(const QByteArray &source, const QString &file) : m_lex(source, file)
{
    take();
}

void FormParser::take() { m_tok = m_lex.next(); }

void FormParser::fail(const QString &message) const { m_lex.fail(m_tok.line, m_tok.column, message); }

bool FormParser::isSymbol(const char *s) const
{
    return m_tok.kind == FormToken::Symbol && m_tok.text == QLatin1String(s);
}

bool FormParser::isWord(const char *w) const
{
    return m_tok.kind == FormToken::Ident && m_tok.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}

std::shared_ptr<FormNode> FormParser::parse()
{
    if (!isWord("object") && !isWord("inherited"))
        fail(QStringLiteral("'object' or 'inherited' expected"));
    auto root = parseBlock();
    if (m_tok.kind != FormToken::End)
        fail(QStringLiteral("end of definition expected"));
    return root;
}

std::shared_ptr<FormNode> FormParser::parseBlock()
{
    auto node = std::make_shared<FormNode>();
    node->inherited = isWord("inherited");
    node->line = m_tok.line;
    node->column = m_tok.column;
    take();
    if (m_tok.kind != FormToken::Ident)
        fail(QStringLiteral("component name expected"));
    node->name = m_tok.text;
    take();
    if (isSymbol(":")) {
        take();
        if (m_tok.kind != FormToken::Ident)
            fail(QStringLiteral("class name expected"));
        node->className = m_tok.text;
        take();
    }
    for (;;) {
        if (m_tok.kind == FormToken::End)
            m_lex.fail(node->line, node->column,
                       QStringLiteral("unterminated block '%1': 'end' expected").arg(node->name));
        if (isWord("end")) {
            take();
            return node;
        }
        if (isWord("object") || isWord("inherited") || isWord("inline")) {
            node->entries.append({nullptr, parseBlock()});
            continue;
        }
        node->entries.append({std::make_shared<FormProperty>(parseProperty()), nullptr});
    }
}

FormProperty FormParser::parseProperty()
{
    if (m_tok.kind != FormToken::Ident)
        fail(QStringLiteral("property name expected"));
    FormProperty p;
    p.path = m_tok.text;
    p.line = m_tok.line;
    p.column = m_tok.column;
    take();
    if (!isSymbol("="))
        fail(QStringLiteral("'=' expected after '%1'").arg(p.path));
    take();
    p.value = parseValue();
    return p;
}

FormValue FormParser::parseValue()
{
    FormValue v;
    v.line = m_tok.line;
    v.column = m_tok.column;
    switch (m_tok.kind) {
    case FormToken::Integer: return parseScalar(v, FormValue::Integer);
    case FormToken::Float: return parseScalar(v, FormValue::Float);
    case FormToken::String: return parseScalar(v, FormValue::String);
    case FormToken::Ident: return parseScalar(v, FormValue::Ident);
    case FormToken::Binary:
        v.kind = FormValue::Binary;
        v.bytes = m_tok.bytes;
        take();
        return v;
    case FormToken::End:
        fail(QStringLiteral("value expected"));
    case FormToken::Symbol:
        break;
    }
    if (isSymbol("["))
        return parseSet(v);
    if (isSymbol("("))
        return parseStringList(v);
    if (isSymbol("<"))
        return parseCollection(v);
    fail(QStringLiteral("value expected"));
}

FormValue FormParser::parseScalar(FormValue &v, FormValue::Kind kind)
{
    v.kind = kind;
    v.text = m_tok.text;
    take();
    return v;
}

FormValue FormParser::parseSet(FormValue &v)
{
    v.kind = FormValue::Set;
    take();
    while (!isSymbol("]")) {
        if (m_tok.kind != FormToken::Ident)
            fail(QStringLiteral("set element expected"));
        v.list << m_tok.text;
        take();
        if (isSymbol(","))
            take();
        else if (!isSymbol("]"))
            fail(QStringLiteral("',' or ']' expected"));
    }
    take();
    return v;
}

FormValue FormParser::parseStringList(FormValue &v)
{
    v.kind = FormValue::StringList;
    take();
    while (!isSymbol(")")) {
        if (m_tok.kind == FormToken::End)
            m_lex.fail(v.line, v.column, QStringLiteral("unterminated list: ')' expected"));
        if (m_tok.kind != FormToken::String && m_tok.kind != FormToken::Integer && m_tok.kind != FormToken::Ident)
            fail(QStringLiteral("list element expected"));
        v.list << m_tok.text;
        take();
    }
    take();
    return v;
}

FormValue FormParser::parseCollection(FormValue &v)
{
    v.kind = FormValue::Collection;
    take();
    while (!isSymbol(">")) {
        if (!isWord("item"))
            fail(QStringLiteral("'item' or '>' expected"));
        const int il = m_tok.line, ic = m_tok.column;
        take();
        std::vector<FormProperty> item;
        while (!isWord("end")) {
            if (m_tok.kind == FormToken::End)
                m_lex.fail(il, ic, QStringLiteral("unterminated item: 'end' expected"));
            item.push_back(parseProperty());
        }
        take();
        v.items.push_back(std::move(item));
    }
    take();
    return v;
}
