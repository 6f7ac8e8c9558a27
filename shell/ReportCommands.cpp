#include "ReportCommands.h"
#include "core/Dispatch.h"
#include "widgets/TForm.h"
#include "widgets/TMenuItem.h"

#include <QAbstractButton>
#include <QAction>
#include <QMetaObject>

namespace {
QAbstractButton *buttonOf(const TForm *form, const QString &name) { return form->findChild<QAbstractButton *>(name); }
TMenuItem *menuItemOf(const TForm *form, const QString &name) { return form->findChild<TMenuItem *>(name); }
bool hasSlot(const TForm *form, const QString &name)
{
    return form->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(qPrintable(name + QStringLiteral("()")))) >= 0;
}
} // namespace

namespace ReportCommands {

const QList<ReportCommand> &all()
{
    static const QList<ReportCommand> commands = {
        {QStringLiteral("&Imprimir"), QKeySequence(QStringLiteral("Ctrl+P")), QStringLiteral("sbtPrint"), QStringLiteral("Imprimir")},
        {QStringLiteral("&Visualizar"), QKeySequence(QStringLiteral("F5")), QStringLiteral("sbtPreview"), QStringLiteral("Visualizar")},
        {QStringLiteral("&Salvar como..."), QKeySequence(QStringLiteral("Ctrl+S")), QStringLiteral("sbtSalvarComo"),
         QStringLiteral("Salvar como")},
        {QStringLiteral("&Exportar para CSV..."), QKeySequence(QStringLiteral("Ctrl+E")), QStringLiteral("mnuExportarCsv"),
         QString()},
        {QStringLiteral("Exportar para Excel (&XLSX)..."), QKeySequence(QStringLiteral("Ctrl+Shift+E")),
         QStringLiteral("mnuExportarXlsx"), QString()},
        {QStringLiteral("E&ditar relatório..."), QKeySequence(QStringLiteral("Ctrl+D")), QStringLiteral("mnuEditRel"),
         QString()},
        {QStringLiteral("Relatório &padrão"), QKeySequence(QStringLiteral("Ctrl+Shift+D")), QStringLiteral("mnuRelatPadr"),
         QString()},
        {QStringLiteral("&Repetir últimos parâmetros"), QKeySequence(QStringLiteral("Ctrl+R")),
         QStringLiteral("RepeatLastParameters"), QString()},
    };
    return commands;
}

bool offers(const TForm *form, const ReportCommand &command)
{
    if (!form)
        return false;
    if (QAbstractButton *b = buttonOf(form, command.target))
        return b->isEnabled();
    if (TMenuItem *m = menuItemOf(form, command.target))
        return m->Enabled();
    return hasSlot(form, command.target);
}

void run(TForm *form, const ReportCommand &command)
{
    if (!offers(form, command))
        return;
    Dispatch::guard([&] {
        if (QAbstractButton *b = buttonOf(form, command.target))
            b->click();
        else if (TMenuItem *m = menuItemOf(form, command.target))
            m->Click();
        else
            QMetaObject::invokeMethod(form, qPrintable(command.target), Qt::DirectConnection);
    });
}

void showKeysInToolTips(TForm *form)
{
    for (const ReportCommand &c : all()) {
        const QString key = c.key.toString(QKeySequence::NativeText);
        if (QAbstractButton *b = buttonOf(form, c.target)) {
            const QString hint = c.hint.isEmpty() ? b->toolTip() : c.hint;
            b->setToolTip(QStringLiteral("%1 (%2)").arg(hint, key));
        } else if (TMenuItem *m = menuItemOf(form, c.target)) {
            m->action()->setShortcut(c.key);
            m->action()->setShortcutContext(Qt::WidgetShortcut);
        }
    }
    // The export entries share one button: its tip names both keys.
    if (QAbstractButton *exporting = buttonOf(form, QStringLiteral("sbtExportar")))
        exporting->setToolTip(QStringLiteral("Exportar para planilha (Ctrl+E: CSV; Ctrl+Shift+E: Excel)"));
    if (QAbstractButton *editing = buttonOf(form, QStringLiteral("sbtReportEdit")))
        editing->setToolTip(QStringLiteral("Editar relatório (Ctrl+D; Ctrl+Shift+D: relatório padrão)"));
}

} // namespace ReportCommands
