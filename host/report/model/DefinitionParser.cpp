#include "DefinitionParser.h"
#include "DefinitionWriter.h"
#include "ReportParseError.h"
#include "ReportStatementReader.h"

#include <QFile>
#include <QFileInfo>

ReportDefinition DefinitionParser::parseText(const QString &text, const QString &fileName)
{
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
    if (!f.open(QIODevice::ReadOnly))
        throw EHostError(QStringLiteral("Não foi possível ler a definição de relatório \"%1\": %2").arg(path, f.errorString()));
    ReportDefinition def = parseText(QString::fromUtf8(f.readAll()), QFileInfo(path).fileName());
    def.sourcePath = path;
    return def;
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
