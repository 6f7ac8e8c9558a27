#include "ReportParser.h"
#include "ReportParseError.h"
#include "ReportSqlText.h"
#include "ReportWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

struct Token {
    enum Kind { Word, String, Number, Heredoc } kind;
    QString text;
    int column; // from 1
};

class Parser {
public:
    Parser(const QString &text, const QString &file) : m_file(file)
    {
        m_lines = text.split(QLatin1Char('\n'));
        // A file converted to CRLF twice ends its lines in several.
        for (QString &l : m_lines)
            while (l.endsWith(QLatin1Char('\r')))
                l.chop(1);
    }

    ReportDefinition run();

private:
    [[noreturn]] void fail(int line, int column, const QString &msg) const
    {
        throw ReportParseError(m_file, line, column, msg);
    }
    QList<Token> lex(int lineNo) const;
    void statement(int &lineNo, const QList<Token> &toks);
    void readHeredoc(int &lineNo, const Token &tag, int dialect, const Token &kw);
    void finish();
    void checkTemplate(const QString &tpl, int line, int column) const;

    // Token helpers on the current statement.
    const Token &need(const QList<Token> &t, int i, int line, const QString &what) const
    {
        if (i >= t.size()) {
            const int col = t.isEmpty() ? 1 : t.last().column + int(t.last().text.size()) + 1;
            fail(line, col, QStringLiteral("falta %1").arg(what));
        }
        return t[i];
    }
    QString needWord(const QList<Token> &t, int i, int line, const QString &what) const
    {
        const Token &k = need(t, i, line, what);
        if (k.kind != Token::Word)
            fail(line, k.column, QStringLiteral("esperado %1").arg(what));
        return k.text;
    }
    QString needString(const QList<Token> &t, int i, int line, const QString &what) const
    {
        const Token &k = need(t, i, line, what);
        if (k.kind != Token::String)
            fail(line, k.column, QStringLiteral("esperado %1 entre aspas").arg(what));
        return k.text;
    }
    double needNumber(const QList<Token> &t, int i, int line, const QString &what) const
    {
        const Token &k = need(t, i, line, what);
        if (k.kind != Token::Number)
            fail(line, k.column, QStringLiteral("esperado %1 (número)").arg(what));
        return k.text.toDouble();
    }

    QString m_file;
    QStringList m_lines;
    ReportDefinition m_def;
    int m_titleLine = 0;
};

bool isIdent(const QString &s)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
}

QList<Token> Parser::lex(int lineNo) const
{
    const QString &s = m_lines[lineNo - 1];
    QList<Token> out;
    const int n = int(s.size());
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('#')) {
            break;
        } else if (c == QLatin1Char('"')) {
            const int start = i;
            QString v;
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar d = s[i];
                if (d == QLatin1Char('\\')) {
                    if (i + 1 >= n)
                        break;
                    const QChar e = s[i + 1];
                    if (e == QLatin1Char('n'))
                        v += QLatin1Char('\n');
                    else if (e == QLatin1Char('"') || e == QLatin1Char('\\'))
                        v += e;
                    else
                        fail(lineNo, i + 1, QStringLiteral("sequência de escape desconhecida \\%1").arg(e));
                    i += 2;
                } else if (d == QLatin1Char('"')) {
                    closed = true;
                    ++i;
                    break;
                } else {
                    v += d;
                    ++i;
                }
            }
            if (!closed)
                fail(lineNo, start + 1, QStringLiteral("texto entre aspas não terminado"));
            out.append({Token::String, v, start + 1});
        } else if (c == QLatin1Char('<') && i + 1 < n && s[i + 1] == QLatin1Char('<')) {
            const int start = i;
            i += 2;
            const int t0 = i;
            while (i < n && !s[i].isSpace() && s[i] != QLatin1Char('#'))
                ++i;
            const QString tag = s.mid(t0, i - t0);
            if (!isIdent(tag))
                fail(lineNo, t0 + 1, QStringLiteral("marca de fim de texto inválida após <<"));
            out.append({Token::Heredoc, tag, start + 1});
        } else if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('.')) && i + 1 < n && s[i + 1].isDigit())) {
            const int start = i;
            ++i;
            while (i < n && (s[i].isDigit() || s[i] == QLatin1Char('.')))
                ++i;
            const QString num = s.mid(start, i - start);
            bool ok = false;
            num.toDouble(&ok);
            if (!ok || (i < n && !s[i].isSpace() && s[i] != QLatin1Char('#')))
                fail(lineNo, start + 1, QStringLiteral("número inválido"));
            out.append({Token::Number, num, start + 1});
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            const int start = i;
            while (i < n && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('_') || s[i] == QLatin1Char('.')))
                ++i;
            out.append({Token::Word, s.mid(start, i - start), start + 1});
        } else {
            fail(lineNo, i + 1, QStringLiteral("caractere inesperado '%1'").arg(c));
        }
    }
    return out;
}

ReportDefinition Parser::run()
{
    for (int lineNo = 1; lineNo <= m_lines.size(); ++lineNo) {
        const QList<Token> toks = lex(lineNo);
        if (!toks.isEmpty())
            statement(lineNo, toks);
    }
    finish();
    return m_def;
}

void Parser::readHeredoc(int &lineNo, const Token &tag, int dialect, const Token &kw)
{
    if (m_def.queries.isEmpty())
        fail(lineNo, kw.column, QStringLiteral("texto %1 fora de uma consulta (falta 'query')").arg(kw.text));
    ReportQuery &q = m_def.queries.last();
    if (!q.sql[dialect].isEmpty())
        fail(lineNo, kw.column, QStringLiteral("texto %1 repetido na consulta '%2'").arg(kw.text, q.name));
    const int startLine = lineNo;
    QStringList body;
    for (int l = lineNo + 1; l <= m_lines.size(); ++l) {
        if (m_lines[l - 1].trimmed() == tag.text) {
            q.sql[dialect] = body.join(QLatin1Char('\n'));
            q.sqlLine[dialect] = startLine + 1;
            if (q.sql[dialect].trimmed().isEmpty())
                fail(startLine, kw.column, QStringLiteral("texto %1 vazio").arg(kw.text));
            lineNo = l;
            return;
        }
        body << m_lines[l - 1];
    }
    fail(startLine, tag.column, QStringLiteral("texto iniciado com <<%1 não terminado (falta uma linha '%1')").arg(tag.text));
}

void Parser::statement(int &lineNo, const QList<Token> &t)
{
    const Token &kw = t[0];
    if (kw.kind != Token::Word)
        fail(lineNo, kw.column, QStringLiteral("esperada uma palavra-chave"));
    const QString k = kw.text.toLower();
    int used = 1;

    const int dialect = ReportQuery::dialectFromKeyword(kw.text);
    if (dialect >= 0) {
        const Token &h = need(t, 1, lineNo, QStringLiteral("<<MARCA"));
        if (h.kind != Token::Heredoc)
            fail(lineNo, h.column, QStringLiteral("esperado <<MARCA"));
        if (t.size() > 2)
            fail(lineNo, t[2].column, QStringLiteral("texto inesperado após <<%1").arg(h.text));
        readHeredoc(lineNo, h, dialect, kw);
        return;
    }

    if (k == QLatin1String("title")) {
        if (m_titleLine)
            fail(lineNo, kw.column, QStringLiteral("título repetido (já dado na linha %1)").arg(m_titleLine));
        m_def.title = needString(t, 1, lineNo, QStringLiteral("o título"));
        if (m_def.title.trimmed().isEmpty())
            fail(lineNo, t[1].column, QStringLiteral("título vazio"));
        m_titleLine = lineNo;
        used = 2;
    } else if (k == QLatin1String("orientation")) {
        const QString o = needWord(t, 1, lineNo, QStringLiteral("portrait ou landscape")).toLower();
        if (o == QLatin1String("portrait"))
            m_def.orientation = ReportDefinition::Orientation::Portrait;
        else if (o == QLatin1String("landscape"))
            m_def.orientation = ReportDefinition::Orientation::Landscape;
        else
            fail(lineNo, t[1].column, QStringLiteral("orientação desconhecida '%1'").arg(t[1].text));
        used = 2;
    } else if (k == QLatin1String("font")) {
        m_def.fontFamily = needString(t, 1, lineNo, QStringLiteral("a família da fonte"));
        m_def.fontSize = needNumber(t, 2, lineNo, QStringLiteral("o tamanho da fonte"));
        if (m_def.fontSize < 4 || m_def.fontSize > 40)
            fail(lineNo, t[2].column, QStringLiteral("tamanho de fonte fora de 4 a 40"));
        used = 3;
    } else if (k == QLatin1String("param")) {
        ReportParamDecl p;
        p.line = lineNo;
        p.name = needWord(t, 1, lineNo, QStringLiteral("o nome do parâmetro"));
        if (!isIdent(p.name))
            fail(lineNo, t[1].column, QStringLiteral("nome de parâmetro inválido '%1'").arg(p.name));
        if (const ReportParamDecl *old = m_def.findParam(p.name))
            fail(lineNo, t[1].column, QStringLiteral("parâmetro '%1' repetido (já declarado na linha %2)").arg(p.name).arg(old->line));
        const QString type = needWord(t, 2, lineNo, QStringLiteral("o tipo do parâmetro")).toLower();
        static const QStringList types = {QStringLiteral("string"), QStringLiteral("integer"), QStringLiteral("float"),
                                          QStringLiteral("date"), QStringLiteral("datetime")};
        if (!types.contains(type))
            fail(lineNo, t[2].column, QStringLiteral("tipo desconhecido '%1' (string, integer, float, date, datetime)").arg(t[2].text));
        p.type = TParam::typeFromName(type);
        int i = 3;
        while (i < t.size()) {
            const QString opt = needWord(t, i, lineNo, QStringLiteral("label, format ou default")).toLower();
            if (opt == QLatin1String("label")) {
                p.label = needString(t, i + 1, lineNo, QStringLiteral("o rótulo"));
            } else if (opt == QLatin1String("format")) {
                p.format = needString(t, i + 1, lineNo, QStringLiteral("o formato"));
            } else if (opt == QLatin1String("default")) {
                const Token &v = need(t, i + 1, lineNo, QStringLiteral("o valor padrão"));
                if (v.kind != Token::String && v.kind != Token::Number)
                    fail(lineNo, v.column, QStringLiteral("valor padrão deve ser texto ou número"));
                p.defaultValue = v.text;
            } else {
                fail(lineNo, t[i].column, QStringLiteral("opção desconhecida '%1'").arg(t[i].text));
            }
            i += 2;
        }
        m_def.params.append(p);
        used = int(t.size());
    } else if (k == QLatin1String("query")) {
        ReportQuery q;
        q.line = lineNo;
        q.name = needWord(t, 1, lineNo, QStringLiteral("o nome da consulta"));
        if (!isIdent(q.name))
            fail(lineNo, t[1].column, QStringLiteral("nome de consulta inválido '%1'").arg(q.name));
        if (const ReportQuery *old = m_def.findQuery(q.name))
            fail(lineNo, t[1].column, QStringLiteral("consulta '%1' repetida (já declarada na linha %2)").arg(q.name).arg(old->line));
        m_def.queries.append(q);
        used = 2;
    } else if (k == QLatin1String("column")) {
        ReportColumn c;
        c.line = lineNo;
        c.field = needWord(t, 1, lineNo, QStringLiteral("o campo da coluna"));
        for (const auto &o : std::as_const(m_def.columns))
            if (o.field.compare(c.field, Qt::CaseInsensitive) == 0)
                fail(lineNo, t[1].column, QStringLiteral("coluna '%1' repetida (já declarada na linha %2)").arg(c.field).arg(o.line));
        c.caption = needString(t, 2, lineNo, QStringLiteral("o título da coluna"));
        bool hasWidth = false;
        int i = 3;
        while (i < t.size()) {
            const QString opt = needWord(t, i, lineNo, QStringLiteral("width, align, format ou sum")).toLower();
            if (opt == QLatin1String("width")) {
                c.widthMm = needNumber(t, i + 1, lineNo, QStringLiteral("a largura"));
                if (c.widthMm <= 0)
                    fail(lineNo, t[i + 1].column, QStringLiteral("largura deve ser maior que zero"));
                hasWidth = true;
                i += 2;
            } else if (opt == QLatin1String("align")) {
                const QString a = needWord(t, i + 1, lineNo, QStringLiteral("left, center ou right")).toLower();
                if (a == QLatin1String("left"))
                    c.align = ReportColumn::Align::Left;
                else if (a == QLatin1String("center"))
                    c.align = ReportColumn::Align::Center;
                else if (a == QLatin1String("right"))
                    c.align = ReportColumn::Align::Right;
                else
                    fail(lineNo, t[i + 1].column, QStringLiteral("alinhamento desconhecido '%1'").arg(t[i + 1].text));
                i += 2;
            } else if (opt == QLatin1String("format")) {
                const QString f = needWord(t, i + 1, lineNo, QStringLiteral("text, integer, number, date ou datetime")).toLower();
                i += 2;
                if (f == QLatin1String("text")) {
                    c.format = ReportColumn::Format::Text;
                } else if (f == QLatin1String("integer")) {
                    c.format = ReportColumn::Format::Integer;
                } else if (f == QLatin1String("number")) {
                    c.format = ReportColumn::Format::Number;
                    const double d = needNumber(t, i, lineNo, QStringLiteral("o número de casas decimais"));
                    if (d < 0 || d > 10 || d != int(d))
                        fail(lineNo, t[i].column, QStringLiteral("casas decimais devem ser um inteiro de 0 a 10"));
                    c.decimals = int(d);
                    ++i;
                } else if (f == QLatin1String("date") || f == QLatin1String("datetime")) {
                    c.format = f == QLatin1String("date") ? ReportColumn::Format::Date : ReportColumn::Format::DateTime;
                    c.pattern = needString(t, i, lineNo, QStringLiteral("o padrão da data"));
                    ++i;
                } else {
                    fail(lineNo, t[i - 1].column, QStringLiteral("formato desconhecido '%1'").arg(t[i - 1].text));
                }
            } else if (opt == QLatin1String("sum")) {
                c.sum = true;
                ++i;
            } else {
                fail(lineNo, t[i].column, QStringLiteral("opção desconhecida '%1'").arg(t[i].text));
            }
        }
        if (!hasWidth)
            fail(lineNo, kw.column, QStringLiteral("coluna '%1' sem largura (width)").arg(c.field));
        if (c.sum && (c.format == ReportColumn::Format::Text || c.format == ReportColumn::Format::Date
                      || c.format == ReportColumn::Format::DateTime))
            fail(lineNo, kw.column, QStringLiteral("só colunas numéricas podem ser somadas (sum)"));
        m_def.columns.append(c);
        used = int(t.size());
    } else if (k == QLatin1String("group")) {
        ReportGroup g;
        g.line = lineNo;
        g.field = needWord(t, 1, lineNo, QStringLiteral("o campo do grupo"));
        int i = 2;
        while (i < t.size()) {
            const QString opt = needWord(t, i, lineNo, QStringLiteral("header ou subtotal")).toLower();
            if (opt == QLatin1String("header")) {
                g.headerTemplate = needString(t, i + 1, lineNo, QStringLiteral("o cabeçalho do grupo"));
                checkTemplate(g.headerTemplate, lineNo, t[i + 1].column);
            } else if (opt == QLatin1String("subtotal")) {
                g.subtotalCaption = needString(t, i + 1, lineNo, QStringLiteral("o título do subtotal"));
                checkTemplate(g.subtotalCaption, lineNo, t[i + 1].column);
            } else {
                fail(lineNo, t[i].column, QStringLiteral("opção desconhecida '%1'").arg(t[i].text));
            }
            i += 2;
        }
        m_def.groups.append(g);
        used = int(t.size());
    } else if (k == QLatin1String("total")) {
        m_def.totalCaption = needString(t, 1, lineNo, QStringLiteral("o título do total geral"));
        used = 2;
    } else if (k == QLatin1String("header")) {
        m_def.headerLines << needString(t, 1, lineNo, QStringLiteral("a linha de cabeçalho"));
        checkTemplate(m_def.headerLines.last(), lineNo, t[1].column);
        used = 2;
    } else if (k == QLatin1String("footer")) {
        m_def.footerTemplate = needString(t, 1, lineNo, QStringLiteral("o rodapé"));
        checkTemplate(m_def.footerTemplate, lineNo, t[1].column);
        used = 2;
    } else {
        fail(lineNo, kw.column, QStringLiteral("palavra-chave desconhecida '%1'").arg(kw.text));
    }
    if (used < t.size())
        fail(lineNo, t[used].column, QStringLiteral("texto inesperado '%1'").arg(t[used].text));
}

// A template may only name declared parameters among the P_ names, and only
// declared queries before a dot.
void Parser::checkTemplate(const QString &tpl, int line, int column) const
{
    static const QRegularExpression re(QStringLiteral("\\{([^}]*)\\}"));
    for (auto it = re.globalMatch(tpl); it.hasNext();) {
        const auto m = it.next();
        const QString name = m.captured(1);
        const int col = column + 1 + int(m.capturedStart(0));
        if (name.isEmpty())
            fail(line, col, QStringLiteral("nome vazio entre chaves"));
        if (name.startsWith(QLatin1String("P_"), Qt::CaseInsensitive) && !m_def.findParam(name))
            fail(line, col, QStringLiteral("parâmetro '%1' não declarado (declare-o antes com 'param')").arg(name));
        const int dot = int(name.indexOf(QLatin1Char('.')));
        if (dot >= 0 && !m_def.findQuery(name.left(dot)))
            fail(line, col, QStringLiteral("consulta '%1' não declarada (declare-a antes com 'query')").arg(name.left(dot)));
    }
}

void Parser::finish()
{
    // A final newline does not start another line.
    int last = int(m_lines.size());
    if (last > 1 && m_lines.last().isEmpty())
        --last;
    if (m_def.title.isEmpty())
        fail(1, 1, QStringLiteral("falta o título (title)"));
    if (m_def.queries.isEmpty())
        fail(last, 1, QStringLiteral("nenhuma consulta declarada (query)"));
    if (m_def.columns.isEmpty())
        fail(last, 1, QStringLiteral("nenhuma coluna declarada (column)"));
    for (const ReportQuery &q : std::as_const(m_def.queries)) {
        if (q.sql[ReportQuery::Default].isEmpty())
            fail(q.line, 1, QStringLiteral("consulta '%1' sem texto SQL").arg(q.name));
        for (int d = 0; d < ReportQuery::DialectCount; ++d) {
            const QString &text = q.sql[d];
            for (const auto &use : ReportSqlText::scan(text)) {
                if (m_def.findParam(use.name))
                    continue;
                const int lineInText = int(QStringView(text).left(use.offset).count(QLatin1Char('\n')));
                const int lineStart = use.offset > 0 ? int(text.lastIndexOf(QLatin1Char('\n'), use.offset - 1)) + 1 : 0;
                const int col = use.offset - lineStart + 1;
                fail(q.sqlLine[d] + lineInText, col,
                     QStringLiteral("parâmetro :%1 não declarado (declare-o com 'param')").arg(use.name));
            }
        }
    }
    double x = 0;
    for (const ReportColumn &c : std::as_const(m_def.columns)) {
        x += c.widthMm;
        if (x > m_def.printableWidthMm() + 0.001)
            fail(c.line, 1, QStringLiteral("as colunas somam %1 mm e não cabem na largura útil da página (%2 mm)")
                                .arg(m_def.totalColumnWidthMm()).arg(m_def.printableWidthMm()));
    }
}

} // namespace

ReportDefinition ReportParser::parseText(const QString &text, const QString &fileName)
{
    ReportDefinition def = Parser(text, fileName).run();
    return def;
}

ReportDefinition ReportParser::parseFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EHostError(QStringLiteral("Não foi possível ler a definição de relatório \"%1\": %2").arg(path, f.errorString()));
    ReportDefinition def = parseText(QString::fromUtf8(f.readAll()), QFileInfo(path).fileName());
    def.sourcePath = path;
    return def;
}

QString ReportParser::check(const ReportDefinition &def)
{
    try {
        parseText(ReportWriter::toText(def), def.title.isEmpty() ? QStringLiteral("(sem título)") : def.title);
    } catch (const ReportParseError &e) {
        return e.message();
    }
    return QString();
}
