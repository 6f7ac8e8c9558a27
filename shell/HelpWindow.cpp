#include "HelpWindow.h"
#include "report/commands/ReportCommandTable.h"
#include "widgets/TControlInfo.h"
#include "widgets/TForm.h"

#include <QFile>

HelpWindow::HelpWindow(QWidget *parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlag(Qt::Window);
    setOpenExternalLinks(false);
    document()->setDocumentMargin(14);
    resize(660, 600);
}

QString HelpWindow::pageOf(const TForm *form, const QList<ModuleDescription> &modules)
{
    const TControlInfo *info = form ? TControlInfo::find(form) : nullptr;
    if (!info || info->HelpContext() == 0)
        return QString();
    for (const ModuleDescription &module : modules)
        if (module.helpContext == info->HelpContext() && QFile::exists(module.helpPage))
            return module.helpPage;
    return QString();
}

bool HelpWindow::showPage(const QString &page)
{
    QFile file(page);
    if (page.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    QString html = QString::fromUtf8(file.readAll());
    html.replace(QLatin1String(kReportCommandsMark), ReportCommandTable::helpList());
    setHtml(html);
    setWindowTitle(QStringLiteral("Ajuda — ") + documentTitle());
    show();
    raise();
    activateWindow();
    return true;
}
