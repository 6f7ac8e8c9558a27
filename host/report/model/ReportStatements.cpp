// The statements of ReportStatementReader, one method each: each returns how
// many of the line's tokens it took.
#include "ReportParseError.h"
#include "ReportSqlText.h"
#include "ReportStatementReader.h"
#include "ReportSqlCheck.h"

int ReportStatementReader::title()
{
    if (m_titleLine)
        fail(m_t[0].column, QStringLiteral("título repetido (já dado na linha %1)").arg(m_titleLine));
    m_def.title = needString(1, QStringLiteral("o título"));
    if (m_def.title.trimmed().isEmpty())
        fail(m_t[1].column, QStringLiteral("título vazio"));
    m_titleLine = m_lineNo;
    return 2;
}

int ReportStatementReader::orientation()
{
    const QString o = needWord(1, QStringLiteral("portrait ou landscape")).toLower();
    if (o == QLatin1String("portrait"))
        m_def.orientation = ReportDefinition::Orientation::Portrait;
    else if (o == QLatin1String("landscape"))
        m_def.orientation = ReportDefinition::Orientation::Landscape;
    else
        fail(m_t[1].column, QStringLiteral("orientação desconhecida '%1'").arg(m_t[1].text));
    return 2;
}

int ReportStatementReader::font()
{
    m_def.fontFamily = needString(1, QStringLiteral("a família da fonte"));
    m_def.fontSize = needNumber(2, QStringLiteral("o tamanho da fonte"));
    if (m_def.fontSize < 4 || m_def.fontSize > 40)
        fail(m_t[2].column, QStringLiteral("tamanho de fonte fora de 4 a 40"));
    return 3;
}

int ReportStatementReader::param()
{
    ReportParamDecl p;
    p.line = m_lineNo;
    p.name = needWord(1, QStringLiteral("o nome do parâmetro"));
    if (!DefinitionLexer::isIdent(p.name))
        fail(m_t[1].column, QStringLiteral("nome de parâmetro inválido '%1'").arg(p.name));
    checkCount(m_def.params.size(), ReportDefinition::MaxParams, QStringLiteral("parâmetros"));
    if (const ReportParamDecl *old = m_def.findParam(p.name))
        fail(m_t[1].column, QStringLiteral("parâmetro '%1' repetido (já declarado na linha %2)").arg(p.name).arg(old->line));
    const QString type = needWord(2, QStringLiteral("o tipo do parâmetro")).toLower();
    static const QStringList types = {QStringLiteral("string"), QStringLiteral("integer"), QStringLiteral("float"),
                                      QStringLiteral("date"), QStringLiteral("datetime")};
    if (!types.contains(type))
        fail(m_t[2].column, QStringLiteral("tipo desconhecido '%1' (string, integer, float, date, datetime)").arg(m_t[2].text));
    p.type = TParam::typeFromName(type);
    options(3, QStringLiteral("label, format ou default"),
            {{"label", [&](int i) { p.label = needString(i, QStringLiteral("o rótulo")); return 1; }},
             {"format", [&](int i) { p.format = needString(i, QStringLiteral("o formato")); return 1; }},
             {"default", [&](int i) {
                  const ReportToken &v = need(i, QStringLiteral("o valor padrão"));
                  if (v.kind != ReportToken::String && v.kind != ReportToken::Number)
                      fail(v.column, QStringLiteral("valor padrão deve ser texto ou número"));
                  p.defaultValue = v.text;
                  return 1;
              }}});
    m_def.params.append(p);
    return int(m_t.size());
}

int ReportStatementReader::query()
{
    ReportQuery q;
    q.line = m_lineNo;
    checkCount(m_def.queries.size(), ReportDefinition::MaxQueries, QStringLiteral("consultas"));
    q.name = needWord(1, QStringLiteral("o nome da consulta"));
    if (!DefinitionLexer::isIdent(q.name))
        fail(m_t[1].column, QStringLiteral("nome de consulta inválido '%1'").arg(q.name));
    if (const ReportQuery *old = m_def.findQuery(q.name))
        fail(m_t[1].column, QStringLiteral("consulta '%1' repetida (já declarada na linha %2)").arg(q.name).arg(old->line));
    options(2, QStringLiteral("label"),
            {{"label", [&](int i) { q.label = needString(i, QStringLiteral("o rótulo")); return 1; }}});
    m_def.queries.append(q);
    return int(m_t.size());
}

int ReportStatementReader::column()
{
    ReportColumn c;
    c.line = m_lineNo;
    checkCount(m_def.columns.size(), ReportDefinition::MaxColumns, QStringLiteral("colunas"));
    c.field = needWord(1, QStringLiteral("o campo da coluna"));
    for (const auto &o : std::as_const(m_def.columns))
        if (o.field.compare(c.field, Qt::CaseInsensitive) == 0)
            fail(m_t[1].column, QStringLiteral("coluna '%1' repetida (já declarada na linha %2)").arg(c.field).arg(o.line));
    c.caption = needString(2, QStringLiteral("o título da coluna"));
    bool hasWidth = false;
    options(3, QStringLiteral("width, align, format ou sum"),
            {{"width", [&](int i) {
                  c.widthMm = needNumber(i, QStringLiteral("a largura"));
                  if (c.widthMm <= 0)
                      fail(m_t[i].column, QStringLiteral("largura deve ser maior que zero"));
                  hasWidth = true;
                  return 1;
              }},
             {"align", [&](int i) {
                  const QString a = needWord(i, QStringLiteral("left, center ou right")).toLower();
                  if (a == QLatin1String("left"))
                      c.align = ReportColumn::Align::Left;
                  else if (a == QLatin1String("center"))
                      c.align = ReportColumn::Align::Center;
                  else if (a == QLatin1String("right"))
                      c.align = ReportColumn::Align::Right;
                  else
                      fail(m_t[i].column, QStringLiteral("alinhamento desconhecido '%1'").arg(m_t[i].text));
                  return 1;
              }},
             {"format", [&](int i) { return format(c, i); }},
             {"sum", [&](int) { c.sum = true; return 0; }}});
    if (!hasWidth)
        fail(m_t[0].column, QStringLiteral("coluna '%1' sem largura (width)").arg(c.field));
    if (c.sum && c.format != ReportColumn::Format::Integer && c.format != ReportColumn::Format::Number)
        fail(m_t[0].column, QStringLiteral("só colunas numéricas podem ser somadas (sum)"));
    m_def.columns.append(c);
    return int(m_t.size());
}

int ReportStatementReader::format(ReportColumn &c, int i)
{
    const QString f = needWord(i, QStringLiteral("text, integer, number, date, datetime ou code")).toLower();
    if (f == QLatin1String("text")) {
        c.format = ReportColumn::Format::Text;
    } else if (f == QLatin1String("integer")) {
        c.format = ReportColumn::Format::Integer;
    } else if (f == QLatin1String("code")) {
        c.format = ReportColumn::Format::Code;
    } else if (f == QLatin1String("number")) {
        c.format = ReportColumn::Format::Number;
        const double d = needNumber(i + 1, QStringLiteral("o número de casas decimais"));
        if (d < 0 || d > 10 || d != int(d))
            fail(m_t[i + 1].column, QStringLiteral("casas decimais devem ser um inteiro de 0 a 10"));
        c.decimals = int(d);
        return 2;
    } else if (f == QLatin1String("date") || f == QLatin1String("datetime")) {
        c.format = f == QLatin1String("date") ? ReportColumn::Format::Date : ReportColumn::Format::DateTime;
        c.pattern = needString(i + 1, QStringLiteral("o padrão da data"));
        return 2;
    } else {
        fail(m_t[i].column, QStringLiteral("formato desconhecido '%1'").arg(m_t[i].text));
    }
    return 1;
}

int ReportStatementReader::group()
{
    ReportGroup g;
    g.line = m_lineNo;
    checkCount(m_def.groups.size(), ReportDefinition::MaxGroups, QStringLiteral("grupos"));
    g.field = needWord(1, QStringLiteral("o campo do grupo"));
    options(2, QStringLiteral("header, subtotal ou skipempty"),
            {{"header", [&](int i) { g.headerTemplate = templateAt(i, QStringLiteral("o cabeçalho do grupo")); return 1; }},
             {"subtotal", [&](int i) { g.subtotalCaption = templateAt(i, QStringLiteral("o título do subtotal")); return 1; }},
             {"skipempty", [&](int) { g.skipEmpty = true; return 0; }}});
    m_def.groups.append(g);
    return int(m_t.size());
}

int ReportStatementReader::total()
{
    m_def.totalCaption = needString(1, QStringLiteral("o título do total geral"));
    return 2;
}

int ReportStatementReader::header()
{
    m_def.headerLines << templateAt(1, QStringLiteral("a linha de cabeçalho"));
    return 2;
}

int ReportStatementReader::footer()
{
    m_def.footerTemplate = templateAt(1, QStringLiteral("o rodapé"));
    return 2;
}

int ReportStatementReader::picture()
{
    const double type = needNumber(1, QStringLiteral("o tipo da máscara de código"));
    if (type < 0 || type != int(type))
        fail(m_t[1].column, QStringLiteral("tipo de máscara deve ser um inteiro a partir de 0"));
    m_def.pictureType = int(type);
    return 2;
}

int ReportStatementReader::chart()
{
    ReportChart &c = m_def.chart;
    if (c.line)
        fail(m_t[0].column, QStringLiteral("gráfico repetido (já declarado na linha %1)").arg(c.line));
    c.line = m_lineNo;
    c.title = needString(1, QStringLiteral("o título do gráfico"));
    options(2, QStringLiteral("value, by ou label"),
            {{"value", [&](int i) { c.valueField = needWord(i, QStringLiteral("o campo dos valores")); return 1; }},
             {"by", [&](int i) { c.keyField = needWord(i, QStringLiteral("o campo das barras")); return 1; }},
             {"label", [&](int i) { c.labelTemplate = templateAt(i, QStringLiteral("o rótulo das barras")); return 1; }}});
    if (c.valueField.isEmpty())
        fail(m_t[0].column, QStringLiteral("gráfico sem o campo dos valores (value)"));
    return int(m_t.size());
}

// A report only reads: each text is one SELECT or WITH query
// (ReportSqlCheck); the error points at the word at fault.
void ReportStatementReader::checkReadOnly(const QString &sql, int firstLine)
{
    const ReportSqlCheck::Fault fault = ReportSqlCheck::check(sql);
    if (fault.ok())
        return;
    const int lineStart = fault.offset > 0 ? int(sql.lastIndexOf(QLatin1Char('\n'), fault.offset - 1)) + 1 : 0;
    m_lineNo = firstLine + int(QStringView(sql).left(fault.offset).count(QLatin1Char('\n')));
    fail(fault.offset - lineStart + 1, fault.reason);
}

void ReportStatementReader::dialectText(int dialect)
{
    const ReportToken &kw = m_t[0];
    const ReportToken &tag = need(1, QStringLiteral("<<MARCA"));
    if (tag.kind != ReportToken::Heredoc)
        fail(tag.column, QStringLiteral("esperado <<MARCA"));
    if (m_t.size() > 2)
        fail(m_t[2].column, QStringLiteral("texto inesperado após <<%1").arg(tag.text));
    if (m_def.queries.isEmpty())
        fail(kw.column, QStringLiteral("texto %1 fora de uma consulta (falta 'query')").arg(kw.text));
    ReportQuery &q = m_def.queries.last();
    if (!q.sql[dialect].isEmpty())
        fail(kw.column, QStringLiteral("texto %1 repetido na consulta '%2'").arg(kw.text, q.name));
    const int startLine = m_lineNo;
    QStringList body;
    for (int l = m_lineNo + 1; l <= m_lines.size(); ++l) {
        if (m_lines[l - 1].trimmed() == tag.text) {
            q.sql[dialect] = body.join(QLatin1Char('\n'));
            q.sqlLine[dialect] = startLine + 1;
            if (q.sql[dialect].trimmed().isEmpty())
                fail(kw.column, QStringLiteral("texto %1 vazio").arg(kw.text));
            checkReadOnly(q.sql[dialect], startLine + 1);
            m_lineNo = l;
            return;
        }
        body << m_lines[l - 1];
    }
    fail(tag.column, QStringLiteral("texto iniciado com <<%1 não terminado (falta uma linha '%1')").arg(tag.text));
}

void ReportStatementReader::checkSqlParams(const ReportQuery &q) const
{
    for (int d = 0; d < ReportQuery::DialectCount; ++d) {
        const QString &text = q.sql[d];
        for (const auto &use : ReportSqlText::scan(text)) {
            if (m_def.findParam(use.name))
                continue;
            const int lineInText = int(QStringView(text).left(use.offset).count(QLatin1Char('\n')));
            const int lineStart = use.offset > 0 ? int(text.lastIndexOf(QLatin1Char('\n'), use.offset - 1)) + 1 : 0;
            throw ReportParseError(m_file, q.sqlLine[d] + lineInText, use.offset - lineStart + 1,
                                   QStringLiteral("parâmetro :%1 não declarado (declare-o com 'param')").arg(use.name));
        }
    }
}

void ReportStatementReader::finish()
{
    // A final newline does not start another line.
    int last = int(m_lines.size());
    if (last > 1 && m_lines.last().isEmpty())
        --last;
    auto failAt = [this](int line, const QString &msg) { throw ReportParseError(m_file, line, 1, msg); };
    if (m_def.title.isEmpty())
        failAt(1, QStringLiteral("falta o título (title)"));
    if (m_def.queries.isEmpty())
        failAt(last, QStringLiteral("nenhuma consulta declarada (query)"));
    if (m_def.columns.isEmpty())
        failAt(last, QStringLiteral("nenhuma coluna declarada (column)"));
    for (const ReportQuery &q : std::as_const(m_def.queries)) {
        if (q.sql[ReportQuery::Default].isEmpty())
            failAt(q.line, QStringLiteral("consulta '%1' sem texto SQL").arg(q.name));
        checkSqlParams(q);
    }
    double x = 0;
    for (const ReportColumn &c : std::as_const(m_def.columns)) {
        x += c.widthMm;
        if (x > m_def.printableWidthMm() + 0.001)
            failAt(c.line, QStringLiteral("as colunas somam %1 mm e não cabem na largura útil da página (%2 mm)")
                               .arg(m_def.totalColumnWidthMm()).arg(m_def.printableWidthMm()));
    }
}
