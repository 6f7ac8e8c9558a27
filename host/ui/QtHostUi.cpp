#include "QtHostUi.h"
#include "ReportEditDialog.h"
#include "ReportPreviewDialog.h"
#include "SearchDialog.h"
#include "WorkDialog.h"
#include "core/Dispatch.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {
QWidget *dialogParent() { return QApplication::activeWindow(); }
}

void QtHostUi::showError(const QString &text, bool)
{
    Dispatch::ModalScope modal;
    QMessageBox::critical(dialogParent(), QStringLiteral("Erro"), text);
}

void QtHostUi::showException(const QString &text)
{
    Dispatch::ModalScope modal;
    QMessageBox::critical(dialogParent(), QStringLiteral("Erro"), text);
}

void QtHostUi::showInfo(const QString &text)
{
    Dispatch::ModalScope modal;
    QMessageBox::information(dialogParent(), QStringLiteral("Informação"), text);
}

void QtHostUi::showAbout(const QString &title, const QString &text)
{
    Dispatch::ModalScope modal;
    QMessageBox::about(dialogParent(), title, text);
}

bool QtHostUi::askText(const QString &caption, const QString &prompt, QString &value)
{
    Dispatch::ModalScope modal;
    bool ok = false;
    const QString answer = QInputDialog::getText(dialogParent(), caption, prompt,
                                                 QLineEdit::Normal, value, &ok);
    if (ok)
        value = answer;
    return ok;
}

QString QtHostUi::askSaveFileName(const QString &title, const QString &filter, const QString &initial)
{
    Dispatch::ModalScope modal;
    return QFileDialog::getSaveFileName(dialogParent(), title, initial, filter);
}

bool QtHostUi::askPrinter(QPrinter &printer)
{
    Dispatch::ModalScope modal;
    QPrintDialog dlg(&printer, dialogParent());
    return dlg.exec() == QDialog::Accepted;
}

bool QtHostUi::askYesNo(const QString &caption, const QString &question)
{
    Dispatch::ModalScope modal;
    QMessageBox box(QMessageBox::Question, caption, question, QMessageBox::NoButton, dialogParent());
    QPushButton *yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
    // Replacing is the answer that loses something: it is never the default.
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

namespace {
// The caller's preview actions as one button with a menu, so that the tool
// bar keeps its width.
void addPreviewActions(QToolBar *bar, const QList<ReportUi::PreviewAction> &actions)
{
    if (!bar || actions.isEmpty())
        return;
    auto *button = new QToolButton(bar);
    button->setText(QStringLiteral("Exportar"));
    button->setObjectName(QStringLiteral("previewActions"));
    button->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(button);
    for (const ReportUi::PreviewAction &a : actions) {
        QAction *act = menu->addAction(a.caption);
        act->setObjectName(a.name);
        QObject::connect(act, &QAction::triggered, bar, [run = a.run] { Dispatch::guard(run); });
    }
    button->setMenu(menu);
    bar->addSeparator();
    bar->addWidget(button);
}
} // namespace

bool QtHostUi::editReport(ReportDefinition &def,
                          const std::function<QString(const ReportDefinition &)> &check)
{
    Dispatch::ModalScope modal;
    ReportEditDialog dlg(def, check, dialogParent());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    def = dlg.definition();
    return true;
}

bool QtHostUi::searchList(const SearchRequest &request, SearchSource &source, SearchChoice &choice)
{
    Dispatch::ModalScope modal;
    SearchDialog dlg(request, source, dialogParent());
    if (!dlg.hasRows()) {
        showInfo(request.emptyMessage());
        return false;
    }
    if (dlg.exec() != QDialog::Accepted)
        return false;
    choice = dlg.choice();
    return true;
}

void QtHostUi::previewDocument(PagedDocument &doc, const QList<PreviewAction> &actions)
{
    Dispatch::ModalScope modal;
    ReportPreviewDialog dlg(doc, dialogParent());
    addPreviewActions(dlg.toolBar(), actions);
    dlg.exec();
}

bool QtHostUi::waitForWork(const QString &title, Work &work) { return WorkDialog::wait(title, work); }
