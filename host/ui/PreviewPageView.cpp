#include "PreviewPageView.h"
#include "core/Errors.h"
#include "report/layout/PagedDocument.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

namespace {
const int kGap = 16;
const int kCached = 6;
}

PreviewPageView::PreviewPageView(PagedDocument &doc, QWidget *parent) : QAbstractScrollArea(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("pvwPaginas"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    updateScrollBars();
}

QSize PreviewPageView::pageSize() const
{
    const QSizeF mm = m_doc.pageLayout().fullRect(QPageLayout::Millimeter).size();
    return QSize(qMax(1, qRound(mm.width() * m_zoom)), qMax(1, qRound(mm.height() * m_zoom)));
}

int PreviewPageView::pitch() const { return pageSize().height() + kGap; }

void PreviewPageView::updateScrollBars()
{
    const QSize page = pageSize();
    const QSize view = viewport()->size();
    const qint64 content = qint64(m_doc.pageCount()) * pitch() + kGap;
    verticalScrollBar()->setRange(0, int(qMin<qint64>(INT_MAX, qMax<qint64>(0, content - view.height()))));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(qMax(20, page.height() / 20));
    horizontalScrollBar()->setRange(0, qMax(0, page.width() + 2 * kGap - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
}

void PreviewPageView::setZoom(double pixelsPerMm)
{
    const int page = currentPage();
    m_zoom = qBound(0.5, pixelsPerMm, 12.0);
    m_fitWidth = false;
    m_cache.clear();
    m_recent.clear();
    updateScrollBars();
    showPage(page);
    viewport()->update();
    emit zoomChanged();
}

int PreviewPageView::zoomPercent() const { return qRound(m_zoom * 25.4 / logicalDpiX() * 100.0); }

void PreviewPageView::setZoomPercent(int percent)
{
    if (percent != zoomPercent())
        setZoom(percent / 100.0 * logicalDpiX() / 25.4);
}

void PreviewPageView::wheelEvent(QWheelEvent *e)
{
    if (!(e->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(e);
        return;
    }
    const int steps = e->angleDelta().y() / 120;
    if (steps != 0)
        setZoom(m_zoom * std::pow(1.25, steps));
    e->accept();
}

void PreviewPageView::fitWidth()
{
    const double mm = m_doc.pageLayout().fullRect(QPageLayout::Millimeter).width();
    setZoom((viewport()->width() - 2.0 * kGap) / mm);
    m_fitWidth = true;
}

int PreviewPageView::currentPage() const
{
    return qBound(0, (verticalScrollBar()->value() + pitch() / 3) / pitch(), qMax(0, m_doc.pageCount() - 1));
}

void PreviewPageView::showPage(int index)
{
    verticalScrollBar()->setValue(qBound(0, index, m_doc.pageCount() - 1) * pitch());
}

const QImage &PreviewPageView::image(int index)
{
    auto it = m_cache.find(index);
    if (it != m_cache.end()) {
        m_recent.removeOne(index);
        m_recent.append(index);
        return *it;
    }
    const QSize size = pageSize();
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    const QRectF paint = m_doc.pageLayout().paintRect(QPageLayout::Millimeter);
    p.translate(paint.left() * m_zoom, paint.top() * m_zoom);
    p.scale(m_zoom / m_doc.unitsPerMm(), m_zoom / m_doc.unitsPerMm());
    try {
        m_doc.paintPage(p, index);
        ++m_painted;
        emit pagePainted(index);
    } catch (const EHostError &e) {
        p.resetTransform();
        p.setPen(Qt::red);
        p.drawText(img.rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap, e.text());
        if (!m_failed.contains(index)) {
            m_failed.insert(index, e.text());
            // Shown once painting is over, never from inside paintEvent.
            QTimer::singleShot(0, this, [this, index, text = e.text()] { emit pageFailed(index, text); });
        }
    }
    p.end();
    m_recent.append(index);
    while (m_recent.size() > kCached)
        m_cache.remove(m_recent.takeFirst());
    return *m_cache.insert(index, img);
}

void PreviewPageView::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), QColor(128, 128, 128));
    const int n = m_doc.pageCount();
    if (n <= 0)
        return;
    const QSize size = pageSize();
    const int top = verticalScrollBar()->value();
    const int x = qMax(kGap, (viewport()->width() - size.width()) / 2) - horizontalScrollBar()->value();
    for (int i = qMax(0, (top - kGap) / pitch()); i < n; ++i) {
        const int y = kGap + i * pitch() - top;
        if (y > viewport()->height())
            break;
        p.fillRect(QRect(QPoint(x + 4, y + 4), size), QColor(60, 60, 60));
        p.drawImage(QPoint(x, y), image(i));
    }
    const int current = currentPage();
    if (current != m_lastCurrent) {
        m_lastCurrent = current;
        emit currentPageChanged(current);
    }
}

void PreviewPageView::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    if (m_fitWidth)
        fitWidth();
    else
        updateScrollBars();
}

void PreviewPageView::scrollContentsBy(int, int) { viewport()->update(); }

void PreviewPageView::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_PageDown: showPage(currentPage() + 1); break;
    case Qt::Key_PageUp: showPage(currentPage() - 1); break;
    case Qt::Key_Home: showPage(0); break;
    case Qt::Key_End: showPage(m_doc.pageCount() - 1); break;
    default: QAbstractScrollArea::keyPressEvent(e); return;
    }
}
