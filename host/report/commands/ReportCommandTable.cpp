#include "ReportCommandTable.h"

#include <QRegularExpression>

QString ReportCommand::plainCaption() const
{
    QString text = caption;
    text.remove(QRegularExpression(QStringLiteral("&(?=[^&])")));
    while (text.endsWith(QLatin1Char('.')) || text.endsWith(QChar(0x2026)))
        text.chop(1);
    return text;
}

namespace ReportCommandTable {

const QList<ReportCommand> &all()
{
    using Id = ReportCommand::Id;
    static const QList<ReportCommand> commands = {
        {Id::Print, QStringLiteral("&Imprimir"), QKeySequence(QStringLiteral("Ctrl+P")), QStringLiteral("print"),
         QStringLiteral("sbtPrint"), QString()},
        {Id::Preview, QStringLiteral("&Visualizar"), QKeySequence(QStringLiteral("F5")), QStringLiteral("preview"),
         QStringLiteral("sbtPreview"), QString()},
        {Id::SaveAs, QStringLiteral("&Salvar como..."), QKeySequence(QStringLiteral("Ctrl+S")), QStringLiteral("saveas"),
         QStringLiteral("sbtSalvarComo"), QString()},
        {Id::ExportCsv, QStringLiteral("&Exportar para CSV..."), QKeySequence(QStringLiteral("Ctrl+E")),
         ExportFormats::of(ExportFormat::Id::Csv).scriptName, QStringLiteral("mnuExportarCsv"), QStringLiteral("CSV"), false,
         ExportFormat::Id::Csv},
        {Id::ExportXlsx, QStringLiteral("Exportar para Excel (&XLSX)..."), QKeySequence(QStringLiteral("Ctrl+Shift+E")),
         ExportFormats::of(ExportFormat::Id::Xlsx).scriptName, QStringLiteral("mnuExportarXlsx"), QStringLiteral("Excel"), false,
         ExportFormat::Id::Xlsx},
        {Id::EditReport, QStringLiteral("E&ditar relatório..."), QKeySequence(QStringLiteral("Ctrl+D")),
         QStringLiteral("editreport"),
         QStringLiteral("mnuEditRel"), QString()},
        {Id::StandardReport, QStringLiteral("Relatório &padrão"), QKeySequence(QStringLiteral("Ctrl+Shift+D")),
         QStringLiteral("standard"),
         QStringLiteral("mnuRelatPadr"), QStringLiteral("relatório padrão")},
        {Id::RepeatLastParameters, QStringLiteral("&Repetir últimos parâmetros"), QKeySequence(QStringLiteral("Ctrl+R")),
         QStringLiteral("recall"), QStringLiteral("RepeatLastParameters"), QString(), true},
        {Id::SaveParameterSet, QStringLiteral("Salvar parâ&metros como…"), QKeySequence(QStringLiteral("Ctrl+Shift+S")),
         QStringLiteral("saveparams"), QStringLiteral("SaveParameterSet"), QString()},
        {Id::OpenParameterSet, QStringLiteral("&Abrir parâmetros…"), QKeySequence(QStringLiteral("Ctrl+O")),
         QStringLiteral("openparams"), QStringLiteral("OpenParameterSet"), QString()},
        {Id::RecentRuns, QStringLiteral("Relatórios re&centes..."), QKeySequence(QStringLiteral("Ctrl+H")),
         QStringLiteral("recent"), QStringLiteral("RecentRuns"), QString()},
    };
    return commands;
}

const ReportCommand &of(ReportCommand::Id id)
{
    for (const ReportCommand &c : all())
        if (c.id == id)
            return c;
    Q_UNREACHABLE();
}

const ReportCommand *byScriptName(const QString &name)
{
    for (const ReportCommand &c : all())
        if (c.scriptName.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QString helpList()
{
    QString items;
    for (const ReportCommand &c : all())
        if (!c.key.isEmpty())
            items += QStringLiteral("<li><b>%1</b> (%2)</li>")
                         .arg(c.plainCaption().toHtmlEscaped(), c.key.toString(QKeySequence::NativeText).toHtmlEscaped());
    return QStringLiteral("<ul>%1</ul>").arg(items);
}

} // namespace ReportCommandTable
