#include "WorkDialog.h"
#include "core/Dispatch.h"
#include "core/Work.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <memory>

namespace {
const int kTickMs = 30;
const int kGiveUpAfterCancelMs = 3000;

std::unique_ptr<QProgressDialog> makeDialog(const QString &title, const std::function<void()> &onCancel)
{
    auto dlg = std::make_unique<QProgressDialog>(QApplication::activeWindow());
    dlg->setObjectName(QStringLiteral("dlgProgresso"));
    dlg->setWindowTitle(title);
    dlg->setCancelButtonText(QStringLiteral("Cancelar"));
    dlg->setAutoClose(false);
    dlg->setAutoReset(false);
    dlg->setMinimumDuration(0);
    dlg->setWindowModality(Qt::NonModal);
    dlg->setMinimumWidth(380);
    QObject::connect(dlg.get(), &QProgressDialog::canceled, onCancel);
    QObject::connect(dlg.get(), &QDialog::rejected, onCancel);
    dlg->show();
    return dlg;
}

void update(QProgressDialog &dlg, const Work &work)
{
    const qint64 total = work.total();
    if (total > 0) {
        // QProgressDialog counts in int: scale to thousandths.
        dlg.setRange(0, 1000);
        dlg.setValue(int(qMin<qint64>(1000, work.done() * 1000 / total)));
    } else {
        dlg.setRange(0, 0);
    }
    const QString text = work.status();
    if (dlg.labelText() != text)
        dlg.setLabelText(text);
}
} // namespace

bool WorkDialog::wait(const QString &title, Work &work)
{
    if (work.finished())
        return true;
    // Events handled meanwhile are outermost events of their own.
    Dispatch::ModalScope modal;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QElapsedTimer clock, sinceCancel;
    clock.start();
    bool cancelled = false;
    std::unique_ptr<QProgressDialog> dlg;
    QEventLoop loop;
    auto onCancel = [&] {
        if (cancelled)
            return;
        cancelled = true;
        sinceCancel.start();
        work.cancel();
        if (dlg)
            dlg->setLabelText(QStringLiteral("Cancelando..."));
    };
    QTimer tick;
    tick.setInterval(kTickMs);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (work.finished() || (cancelled && sinceCancel.elapsed() > kGiveUpAfterCancelMs)) {
            loop.quit();
            return;
        }
        if (!dlg && clock.elapsed() >= ShowAfterMs)
            dlg = makeDialog(title, onCancel);
        if (dlg && !cancelled)
            update(*dlg, work);
    });
    tick.start();
    loop.exec();
    tick.stop();
    if (dlg) {
        QObject::disconnect(dlg.get(), nullptr, nullptr, nullptr);
        dlg->hide();
    }
    QApplication::restoreOverrideCursor();
    return !cancelled;
}
