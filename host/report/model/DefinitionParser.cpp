#include "DefinitionParser.h"
#include "DefinitionLexer.h"
#include "DefinitionWriter.h"
#include "ReportParseError.h"
#include "ReportStatementReader.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
QString tooLong(qsizetype bytes)
{
    return QStringLiteral("a definição tem %1 KB; o máximo é %2 KB")
        .arg((bytes + 1023) / 1024)
        .arg(ReportDefinition::MaxTextBytes / 1024);
}

// Opens a definition file for reading; one too large is refused before any
// of it is read.
void openDefinition(QFile &f)
{
    if (!f.open(QIODevice::ReadOnly))
        throw EHostError(
            QStringLiteral("Não foi possível ler a definição de relatório \"%1\": %2").arg(f.fileName(), f.errorString()));
    if (f.size() > ReportDefinition::MaxTextBytes)
        throw ReportParseError(QFileInfo(f.fileName()).fileName(), 1, 1, tooLong(f.size()));
}

// One line of a file without its line end.
QString lineOf(QFile &f)
{
    QString line = QString::fromUtf8(f.readLine(ReportDefinition::MaxTextBytes + 1));
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}
} // namespace

ReportDefinition DefinitionParser::parseText(const QString &text, const QString &fileName)
{
    // Counted in characters here, in bytes for a file: both stop a huge text
    // before any of it is read.
    if (text.size() > ReportDefinition::MaxTextBytes)
        throw ReportParseError(fileName, 1, 1, tooLong(text.size()));
    QStringList lines = text.split(QLatin1Char('\n'));
    // A file converted to CRLF twice ends its lines in several.
    for (QString &l : lines)
        while (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    return ReportStatementReader(lines, fileName).read();
}

ReportDefinition DefinitionParser::parseFile(const QString &path)
{
    QFile f(path);
    openDefinition(f);
    ReportDefinition def = parseText(QString::fromUtf8(f.read(ReportDefinition::MaxTextBytes + 1)),
                                     QFileInfo(path).fileName());
    def.sourcePath = path;
    return def;
}

QString DefinitionParser::readTitle(const QString &path)
{
    QFile f(path);
    openDefinition(f);
    const QString file = QFileInfo(path).fileName();
    static const QRegularExpression textStart(QStringLiteral("^\\s*SQL\\w*\\s*<<\\s*(\\S+)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression titleStart(QStringLiteral("^\\s*title\\b"), QRegularExpression::CaseInsensitiveOption);
    QString textEnd; // while inside a statement text, the tag that ends it
    int lineNo = 0;
    while (!f.atEnd()) {
        const QString line = lineOf(f);
        ++lineNo;
        if (!textEnd.isEmpty()) {
            if (line.trimmed() == textEnd)
                textEnd.clear();
        } else if (const auto m = textStart.match(line); m.hasMatch()) {
            textEnd = m.captured(1);
        } else if (titleStart.match(line).hasMatch()) {
            const QList<ReportToken> t = DefinitionLexer(line, lineNo, file).tokens();
            if (t.size() < 2 || t[1].kind != ReportToken::String)
                throw ReportParseError(file, lineNo, t.size() < 2 ? int(line.size()) + 1 : t[1].column,
                                       QStringLiteral("esperado o título entre aspas"));
            return t[1].text;
        }
    }
    throw ReportParseError(file, qMax(1, lineNo), 1, QStringLiteral("falta o título (title \"...\")"));
}

QString DefinitionParser::check(const ReportDefinition &def)
{
    try {
        parseText(DefinitionWriter::toText(def), def.title.isEmpty() ? QStringLiteral("(sem título)") : def.title);
    } catch (const ReportParseError &e) {
        return e.message();
    }
    return QString();
}
