// Fuzzes the report-definition parser (DefinitionParser) and its writer
// (DefinitionWriter).
//
// Input: the text of a definition file (UTF-8). Checks: any text either
// parses or raises ReportParseError naming a line of the text and a column
// from 1; no other exception escapes. A definition that parses is written
// out, and the written text parses back into an equal definition (lines
// aside) that writes out the same text again. FUZZ_VERBOSE=1 prints why a
// text was refused (handy when adding starting inputs).
#include "report/model/DefinitionParser.h"
#include "report/model/DefinitionWriter.h"
#include "report/model/ReportParseError.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void failWith(const char *what, const QString &detail)
{
    std::fprintf(stderr, "report_parser: %s\n%s\n", what, qPrintable(detail));
    std::abort();
}

bool sameParams(const ReportParamDecl &a, const ReportParamDecl &b)
{
    return a.name == b.name && a.type == b.type && a.label == b.label && a.format == b.format
           && a.defaultValue == b.defaultValue;
}

bool sameQueries(const ReportQuery &a, const ReportQuery &b)
{
    return a.name == b.name && a.label == b.label && a.sql == b.sql;
}

bool sameColumns(const ReportColumn &a, const ReportColumn &b)
{
    return a.field == b.field && a.caption == b.caption && a.widthMm == b.widthMm && a.align == b.align
           && a.format == b.format && a.decimals == b.decimals && a.pattern == b.pattern && a.sum == b.sum;
}

bool sameGroups(const ReportGroup &a, const ReportGroup &b)
{
    return a.field == b.field && a.headerTemplate == b.headerTemplate && a.subtotalCaption == b.subtotalCaption;
}

template <class T, class Same> bool sameLists(const QList<T> &a, const QList<T> &b, Same same)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (!same(a[i], b[i]))
            return false;
    return true;
}

bool sameDefinitions(const ReportDefinition &a, const ReportDefinition &b)
{
    return a.title == b.title && a.orientation == b.orientation && a.fontFamily == b.fontFamily
           && a.fontSize == b.fontSize && sameLists(a.params, b.params, sameParams)
           && sameLists(a.queries, b.queries, sameQueries) && sameLists(a.columns, b.columns, sameColumns)
           && sameLists(a.groups, b.groups, sameGroups) && a.totalCaption == b.totalCaption
           && a.headerLines == b.headerLines && a.footerTemplate == b.footerTemplate;
}

void checkRoundTrip(const ReportDefinition &def, const QString &source)
{
    const QString written = DefinitionWriter::toText(def);
    ReportDefinition back;
    try {
        back = DefinitionParser::parseText(written, QStringLiteral("written.rel"));
    } catch (const ReportParseError &e) {
        failWith("the written definition does not parse back", e.text() + QStringLiteral("\n--- read\n")
                                                                    + source + QStringLiteral("\n--- written\n")
                                                                    + written);
    }
    if (!sameDefinitions(def, back))
        failWith("the definition read back differs", source + QStringLiteral("\n--- written\n") + written);
    if (DefinitionWriter::toText(back) != written)
        failWith("writing the definition read back gives another text", written);
    if (!DefinitionParser::check(def).isEmpty())
        failWith("check() refuses a definition that parsed", DefinitionParser::check(def));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString source = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    ReportDefinition def;
    try {
        def = DefinitionParser::parseText(source, QStringLiteral("fuzz.rel"));
    } catch (const ReportParseError &e) {
        if (qEnvironmentVariableIsSet("FUZZ_VERBOSE"))
            std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        const qsizetype lines = source.count(QLatin1Char('\n')) + 1;
        if (e.line() < 1 || e.line() > lines || e.column() < 1)
            failWith("the error's place lies outside the text", e.text());
        return 0;
    }
    checkRoundTrip(def, source);
    return 0;
}
