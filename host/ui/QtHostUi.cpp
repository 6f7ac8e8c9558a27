#include "QtHostUi.h"
#include "toolkit/Dispatch.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

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
