#include "ReportPreviewDialog.h"
#include "PreviewPageView.h"
#include "core/Dispatch.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "core/Work.h"
#include "report/commands/ReportUi.h"
#include "report/layout/PagedDocument.h"

#include <QAction>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

ReportPreviewDialog::ReportPreviewDialog(PagedDocument &doc, QWidget *parent) : QDialog(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("dlgVisualizar"));
    setWindowTitle(doc.title());
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tools = new QToolBar(this);
    m_view = new PreviewPageView(doc, this);
    m_page = new QSpinBox(this);
    m_page->setObjectName(QStringLiteral("sedPagina"));
    m_page->setRange(1, qMax(1, doc.pageCount()));
    m_page->setKeyboardTracking(false);

    m_tools->addAction(QStringLiteral("Imprimir..."), this, &ReportPreviewDialog::print)->setObjectName(QStringLiteral("actImprimir"));
    m_tools->addSeparator();
    m_tools->addAction(QStringLiteral("Reduzir"), this, [this] { m_view->setZoom(m_view->zoom() / 1.25); });
    m_tools->addAction(QStringLiteral("Ampliar"), this, [this] { m_view->setZoom(m_view->zoom() * 1.25); });
    m_tools->addAction(QStringLiteral("Largura da página"), this, [this] { m_view->fitWidth(); });
    m_tools->addSeparator();
    m_tools->addWidget(new QLabel(QStringLiteral(" Página "), this));
    m_tools->addWidget(m_page);
    m_tools->addWidget(new QLabel(QStringLiteral(" de %L1 ").arg(doc.pageCount()), this));
    m_tools->addSeparator();
    m_tools->addAction(QStringLiteral("Fechar"), this, &QDialog::reject);
    layout->addWidget(m_tools);
    layout->addWidget(m_view, 1);

    connect(m_view, &PreviewPageView::currentPageChanged, this, [this](int i) {
        const QSignalBlocker block(m_page);
        m_page->setValue(i + 1);
    });
    connect(m_page, &QSpinBox::valueChanged, this, [this](int v) { m_view->showPage(v - 1); });
    connect(m_view, &PreviewPageView::pageFailed, this, [](int, const QString &text) {
        Dispatch::guard([&] { HostUi::instance().showError(text, false); });
    });
    resize(900, 760);
    m_view->setFocus();
}

void ReportPreviewDialog::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_doc.pageLayout());
    printer.setDocName(m_doc.title());
    Dispatch::guard([&] {
        if (!ReportUi::instance().askPrinter(printer))
            return;
        const std::unique_ptr<Work> work = m_doc.startPrinting(&printer);
        HostUi::instance().waitForWork(m_doc.title(), *work);
        if (!work->error().isEmpty())
            throw EHostError(work->error());
    });
}
