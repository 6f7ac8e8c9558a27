// The report commands of a report screen, in one table: the shell's
// "Relatórios" menu, the screen's buttons and their tool tips, the help page
// and scripted sessions all read it, so a caption, key or name is written
// once. A screen runs a command with TfrmDadosGerRel::run(id).
#pragma once

#include "report/output/ExportFormat.h"

#include <QKeySequence>
#include <QList>
#include <QString>
#include <optional>

struct ReportCommand {
    enum class Id {
        Print, Preview, SaveAs, ExportCsv, ExportXlsx, EditReport, StandardReport, RepeatLastParameters,
        SaveParameterSet, OpenParameterSet, RecentRuns
    };

    Id id;
    // Menu text, with its mnemonic ("&Imprimir").
    QString caption;
    // The key of the menu entry and of the screen; a command without one is
    // not in the shell's menu (its button reaches it).
    QKeySequence key;
    // Its name in scripted sessions (`command print`).
    QString scriptName;
    // Where the base screen carries it: the button or menu entry of its
    // definition; for a command of the screen's own code, that command's name.
    QString control;
    // For an entry of a drop-down button: what the button's tool tip calls
    // it beside its key ("Ctrl+E: CSV"); empty: the key alone.
    QString entryLabel;
    // A separator goes before it in the menu.
    bool startsGroup = false;
    // An export command: the format it writes (ExportFormat.h).
    std::optional<ExportFormat::Id> format;

    // The caption as a sentence names it: no mnemonic, no trailing dots.
    QString plainCaption() const;
};

namespace ReportCommandTable {

// Imprimir (Ctrl+P), Visualizar (F5), Salvar como (Ctrl+S), Exportar para
// CSV (Ctrl+E), Exportar para Excel (Ctrl+Shift+E), Editar relatório,
// Relatório padrão, Repetir últimos parâmetros (Ctrl+R), Salvar parâmetros
// como… (Ctrl+Shift+S), Abrir parâmetros… (Ctrl+O), Relatórios recentes
// (Ctrl+H: the shell's window of past runs, not a command of the screen),
// in menu order.
const QList<ReportCommand> &all();
const ReportCommand &of(ReportCommand::Id id);
// The command of a scripted session's name (case ignored); nullptr for none.
const ReportCommand *byScriptName(const QString &name);
// The commands with a key, as an HTML list for a help page
// ("<li><b>Imprimir</b> (Ctrl+P)</li>...").
QString helpList();

} // namespace ReportCommandTable
