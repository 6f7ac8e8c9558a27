#include "HelpWindow.h"
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

QString HelpWindow::pageOf(const TForm *form)
{
    const TControlInfo *info = form ? TControlInfo::find(form) : nullptr;
    if (!info || info->HelpContext() == 0)
        return QString();
    const QString page = QStringLiteral(":/help/%1.html").arg(info->HelpContext());
    return QFile::exists(page) ? page : QString();
}

bool HelpWindow::showPage(const QString &page)
{
    if (page.isEmpty())
        return false;
    setSource(QUrl(QStringLiteral("qrc") + page));
    setWindowTitle(QStringLiteral("Ajuda — ") + documentTitle());
    show();
    raise();
    activateWindow();
    return true;
}
