#include "ReportPreviewDialog.h"
#include "PreviewFindBar.h"
#include "PreviewPageView.h"
#include "core/Dispatch.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "core/Work.h"
#include "widgets/AccessibleNames.h"
#include "report/commands/ReportUi.h"
#include "report/layout/PagedDocument.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QKeySequence>
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

    buildTools(doc.pageCount());
    layout->addWidget(m_tools);
    layout->addWidget(m_view, 1);
    m_find = new PreviewFindBar(doc, m_view, this);
    layout->addWidget(m_find);
    m_page->setAccessibleName(QStringLiteral("Página"));
    AccessibleNames::describe(this);

    connect(m_view, &PreviewPageView::currentPageChanged, this, [this](int i) {
        const QSignalBlocker block(m_page);
        m_page->setValue(i + 1);
    });
    connect(m_page, &QSpinBox::valueChanged, this, [this](int v) { m_view->showPage(v - 1); });
    connect(m_view, &PreviewPageView::zoomChanged, this, [this] {
        const QSignalBlocker block(m_zoom);
        m_zoom->setValue(m_view->zoomPercent());
    });
    connect(m_zoom, &QSpinBox::valueChanged, this, [this](int v) { m_view->setZoomPercent(v); });
    connect(m_view, &PreviewPageView::pageFailed, this, [](int, const QString &text) {
        Dispatch::guard([&] { HostUi::instance().showError(text, false); });
    });
    resize(900, 760);
    m_view->setFocus();
}

void ReportPreviewDialog::buildTools(int pageCount)
{
    addTool(QStringLiteral("&Imprimir..."), QStringLiteral("actImprimir"), {QKeySequence::Print}, [this] { print(); });
    m_tools->addSeparator();
    addTool(QStringLiteral("&Reduzir"), QStringLiteral("actReduzir"), {QKeySequence(QStringLiteral("Ctrl+-"))},
            [this] { m_view->setZoom(m_view->zoom() / 1.25); });
    addTool(QStringLiteral("&Ampliar"), QStringLiteral("actAmpliar"),
            {QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))},
            [this] { m_view->setZoom(m_view->zoom() * 1.25); });
    addTool(QStringLiteral("&Largura da página"), QStringLiteral("actLarguraPagina"),
            {QKeySequence(QStringLiteral("Ctrl+0"))}, [this] { m_view->fitWidth(); });
    m_zoom = new QSpinBox(this);
    m_zoom->setObjectName(QStringLiteral("sedZoom"));
    m_zoom->setRange(10, 300);
    m_zoom->setSuffix(QStringLiteral(" %"));
    m_zoom->setKeyboardTracking(false);
    m_zoom->setAccessibleName(QStringLiteral("Zoom"));
    m_zoom->setToolTip(QStringLiteral("Zoom (Ctrl++, Ctrl+-, Ctrl+0: largura da página; Ctrl+roda do mouse)"));
    m_tools->addWidget(m_zoom);
    m_tools->addSeparator();
    m_tools->addWidget(new QLabel(QStringLiteral(" Página "), this));
    m_tools->addWidget(m_page);
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    m_page->setLocale(brazil);
    m_page->setGroupSeparatorShown(true); // "17.242", as the pages' footers
    m_page->setToolTip(QStringLiteral("Página (PgUp, PgDn, Home, End)"));
    m_tools->addWidget(new QLabel(QStringLiteral(" de %1 ").arg(brazil.toString(pageCount)), this));
    m_tools->addSeparator();
    addTool(QStringLiteral("L&ocalizar..."), QStringLiteral("actLocalizar"), {QKeySequence::Find},
            [this] { m_find->start(); });
    // Esc puts the find bar away before it closes the preview.
    addTool(QStringLiteral("&Fechar"), QStringLiteral("actFechar"), {QKeySequence(Qt::Key_Escape)}, [this] {
        if (m_find->isVisible())
            m_find->dismiss();
        else
            reject();
    });
}

void ReportPreviewDialog::addTool(const QString &caption, const QString &name, const QList<QKeySequence> &keys,
                                  const std::function<void()> &run)
{
    QAction *action = m_tools->addAction(QString(caption).remove(QLatin1Char('&')), this, run);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    if (!keys.isEmpty())
        action->setToolTip(QStringLiteral("%1 (%2)").arg(action->text(), keys.first().toString(QKeySequence::NativeText)));
    // Tool bar buttons take no focus by default: these must, so that Tab
    // reaches every control of the preview.
    if (QWidget *button = m_tools->widgetForAction(action))
        button->setFocusPolicy(Qt::StrongFocus);
}

void ReportPreviewDialog::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_doc.pageLayout());
    printer.setDocName(m_doc.title());
    Dispatch::guard([&] {
        if (!ReportUi::instance().askPrinter(printer, QString()) || !keepsPreviewPage(printer))
            return;
        const std::unique_ptr<Work> work = m_doc.startPrinting(&printer);
        HostUi::instance().waitForWork(m_doc.title(), *work);
        if (!work->error().isEmpty())
            throw EHostError(work->error());
    });
}

namespace {
QString pageText(const QPageLayout &layout)
{
    return QStringLiteral("%1, %2").arg(layout.pageSize().name(), layout.orientation() == QPageLayout::Landscape
                                                                       ? QStringLiteral("paisagem")
                                                                       : QStringLiteral("retrato"));
}
} // namespace

bool ReportPreviewDialog::keepsPreviewPage(const QPrinter &printer) const
{
    // The pages shown were laid out for one paper and orientation; another
    // needs the report laid out again, which the screen's Imprimir does.
    const QPageLayout shown = m_doc.pageLayout(), chosen = printer.pageLayout();
    if (chosen.orientation() == shown.orientation() && chosen.pageSize().isEquivalentTo(shown.pageSize()))
        return true;
    return HostUi::instance().askYesNo(
        QStringLiteral("Imprimir"),
        QStringLiteral("A visualização foi montada para %1, e na impressão foi escolhido %2. Para montar o relatório "
                       "de novo para esse papel, feche a visualização e use Imprimir (Ctrl+P) na tela.\n\n"
                       "Imprimir agora como está na visualização (%1)?")
            .arg(pageText(shown), pageText(chosen)));
}
