#include "ReportStatementReader.h"
#include "ReportParseError.h"
#include "ReportSqlText.h"
#include "ReportTemplate.h"

#include <QHash>
#include <QRegularExpression>

ReportStatementReader::ReportStatementReader(const QStringList &lines, const QString &file)
    : m_file(file), m_lines(lines)
{
}

void ReportStatementReader::fail(int column, const QString &msg) const
{
    throw ReportParseError(m_file, m_lineNo, column, msg);
}

ReportDefinition ReportStatementReader::read()
{
    for (m_lineNo = 1; m_lineNo <= m_lines.size(); ++m_lineNo) {
        m_t = DefinitionLexer(m_lines[m_lineNo - 1], m_lineNo, m_file).tokens();
        if (!m_t.isEmpty())
            statement(m_t);
    }
    finish();
    return m_def;
}

void ReportStatementReader::statement(const Tokens &t)
{
    using Reader = int (ReportStatementReader::*)();
    static const QHash<QString, Reader> readers = {
        {QStringLiteral("title"), &ReportStatementReader::title},
        {QStringLiteral("orientation"), &ReportStatementReader::orientation},
        {QStringLiteral("font"), &ReportStatementReader::font},
        {QStringLiteral("param"), &ReportStatementReader::param},
        {QStringLiteral("query"), &ReportStatementReader::query},
        {QStringLiteral("column"), &ReportStatementReader::column},
        {QStringLiteral("group"), &ReportStatementReader::group},
        {QStringLiteral("total"), &ReportStatementReader::total},
        {QStringLiteral("header"), &ReportStatementReader::header},
        {QStringLiteral("footer"), &ReportStatementReader::footer},
        {QStringLiteral("picture"), &ReportStatementReader::picture},
        {QStringLiteral("chart"), &ReportStatementReader::chart},
    };
    const ReportToken &kw = t[0];
    if (kw.kind != ReportToken::Word)
        fail(kw.column, QStringLiteral("esperada uma palavra-chave"));
    const int dialect = ReportQuery::dialectFromKeyword(kw.text);
    if (dialect >= 0) {
        dialectText(dialect);
        return;
    }
    const auto reader = readers.constFind(kw.text.toLower());
    if (reader == readers.constEnd())
        fail(kw.column, QStringLiteral("palavra-chave desconhecida '%1'").arg(kw.text));
    const int used = (this->*reader.value())();
    if (used < t.size())
        fail(t[used].column, QStringLiteral("texto inesperado '%1'").arg(t[used].text));
}

void ReportStatementReader::options(int from, const QString &expected, std::initializer_list<Option> known)
{
    int i = from;
    while (i < m_t.size()) {
        const QString word = needWord(i, expected).toLower();
        const Option *found = nullptr;
        for (const Option &o : known)
            if (word == QLatin1String(o.name))
                found = &o;
        if (!found)
            fail(m_t[i].column, QStringLiteral("opção desconhecida '%1'").arg(m_t[i].text));
        i += 1 + found->apply(i + 1);
    }
}

void ReportStatementReader::checkCount(qsizetype count, int max, const QString &what) const
{
    if (count >= max)
        fail(1, QStringLiteral("uma definição de relatório pode ter no máximo %1 %2").arg(max).arg(what));
}

// --- token helpers -----------------------------------------------------------

const ReportToken &ReportStatementReader::need(int i, const QString &what) const
{
    if (i >= m_t.size()) {
        const int col = m_t.isEmpty() ? 1 : m_t.last().column + int(m_t.last().text.size()) + 1;
        fail(col, QStringLiteral("falta %1").arg(what));
    }
    return m_t[i];
}

QString ReportStatementReader::needWord(int i, const QString &what) const
{
    const ReportToken &k = need(i, what);
    if (k.kind != ReportToken::Word)
        fail(k.column, QStringLiteral("esperado %1").arg(what));
    return k.text;
}

QString ReportStatementReader::needString(int i, const QString &what) const
{
    const ReportToken &k = need(i, what);
    if (k.kind != ReportToken::String)
        fail(k.column, QStringLiteral("esperado %1 entre aspas").arg(what));
    return k.text;
}

double ReportStatementReader::needNumber(int i, const QString &what) const
{
    const ReportToken &k = need(i, what);
    if (k.kind != ReportToken::Number)
        fail(k.column, QStringLiteral("esperado %1 (número)").arg(what));
    return k.text.toDouble();
}

QString ReportStatementReader::templateAt(int i, const QString &what) const
{
    const QString tpl = needString(i, what);
    checkTemplate(tpl, m_t[i].column);
    return tpl;
}

// A template may only name declared parameters among the P_ names, only
// declared queries before a dot, and only known filters.
void ReportStatementReader::checkTemplate(const QString &tpl, int column) const
{
    static const QRegularExpression re(QStringLiteral("\\{([^}]*)\\}"));
    for (auto it = re.globalMatch(tpl); it.hasNext();) {
        const auto m = it.next();
        const QString field = m.captured(1);
        const QString name = ReportTemplate::nameOf(field);
        const int col = column + 1 + int(m.capturedStart(0));
        if (name.isEmpty())
            fail(col, QStringLiteral("nome vazio entre chaves"));
        if (name.startsWith(QLatin1String("P_"), Qt::CaseInsensitive) && !m_def.findParam(name))
            fail(col, QStringLiteral("parâmetro '%1' não declarado (declare-o antes com 'param')").arg(name));
        const int dot = int(name.indexOf(QLatin1Char('.')));
        if (dot >= 0 && !m_def.findQuery(name.left(dot)))
            fail(col, QStringLiteral("consulta '%1' não declarada (declare-a antes com 'query')").arg(name.left(dot)));
        const QStringList filters = ReportTemplate::filtersOf(field);
        for (int i = 0; i < filters.size(); ++i) {
            if (!ReportTemplate::isKnownFilter(filters[i]))
                fail(col, QStringLiteral("filtro desconhecido '%1' (picture, level, all ou VALOR=TEXTO)").arg(filters[i]));
            if (filters[i] == QLatin1String("all") && (i > 0 || dot < 0))
                fail(col, QStringLiteral("o filtro all só vale logo após um campo de consulta ({consulta.CAMPO|all})"));
        }
    }
}
