// The report commands of the shell's "Relatórios" menu and their keys. Each
// acts on the active screen the way its own button or menu entry does (so
// the screen's checks run first); a screen without that command ignores it.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class TForm;

struct ReportCommand {
    QString caption;   // menu text
    QKeySequence key;
    QString target;    // the screen's button or menu entry, or a slot ("RepeatLastParameters")
    QString hint;      // what the button's tool tip says before the key is added
};

namespace ReportCommands {

// Imprimir (Ctrl+P), Visualizar (F5), Salvar como (Ctrl+S), Exportar para CSV
// (Ctrl+E), Exportar para Excel (Ctrl+Shift+E), Editar relatório (Ctrl+D),
// Relatório padrão (Ctrl+Shift+D), Repetir últimos parâmetros (Ctrl+R).
const QList<ReportCommand> &all();
// Whether form offers the command.
bool offers(const TForm *form, const ReportCommand &command);
// Runs the command on form inside the dispatcher: errors are shown, not thrown.
void run(TForm *form, const ReportCommand &command);
// Adds each command's key to the tool tip of the screen's button ("Imprimir (Ctrl+P)").
void showKeysInToolTips(TForm *form);

} // namespace ReportCommands
