#include "QtHostUi.h"
#include "ReportEditDialog.h"
#include "ReportPreviewDialog.h"
#include "SearchDialog.h"
#include "WorkDialog.h"
#include "core/Dispatch.h"
#include "report/output/PrintChoices.h"
#include "report/output/SaveFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QScreen>
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
    QInputDialog dlg(dialogParent());
    dlg.setWindowTitle(caption);
    dlg.setLabelText(prompt);
    dlg.setTextValue(value);
    // Wide enough for a long report title (90 characters) without scrolling
    // inside the field, yet never wider than the screen.
    const int wanted = dlg.fontMetrics().averageCharWidth() * 90 + 60;
    const QRect screen = dlg.screen() ? dlg.screen()->availableGeometry() : QRect(0, 0, 1024, 600);
    dlg.resize(qMin(wanted, screen.width() - 40), dlg.sizeHint().height());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    value = dlg.textValue();
    return true;
}

QString QtHostUi::askSaveFileName(const QString &title, const QString &filter, const QString &initial)
{
    Dispatch::ModalScope modal;
    return QFileDialog::getSaveFileName(dialogParent(), title, initial, filter);
}

bool QtHostUi::askPrinter(QPrinter &printer, const QString &fileName)
{
    Dispatch::ModalScope modal;
    if (!fileName.isEmpty())
        PrintChoices::offer(printer);
    QPrintDialog dlg(&printer, dialogParent());
    // The PDF file as the exports offer theirs; the printer chosen by default stays.
    if (auto *file = dlg.findChild<QLineEdit *>(QStringLiteral("filename")); file && !fileName.isEmpty())
        file->setText(SaveFolder::initialPath(fileName));
    if (dlg.exec() != QDialog::Accepted)
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        SaveFolder::remember(printer.outputFileName());
    if (!fileName.isEmpty())
        PrintChoices::remember(printer);
    return true;
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
