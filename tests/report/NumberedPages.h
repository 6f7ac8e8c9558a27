// A document for the preview tests: pages that only say their number.
#pragma once

#include "core/Errors.h"
#include "core/Work.h"
#include "core/WorkThread.h"
#include "report/layout/PagedDocument.h"

#include <QList>
#include <QPageLayout>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <memory>

// Pages that say their number; page `broken` cannot be painted. With
// everyShape they also draw every kind of thing a painter draws (lines,
// rectangles, polygons, paths, ellipses, points, images), as a report's
// tables and charts do.
class NumberedPages : public PagedDocument {
public:
    explicit NumberedPages(int pages, int broken = -1) : m_pages(pages), m_broken(broken) {}
    QList<int> painted;
    bool everyShape = false;
    QString title() const override { return QStringLiteral("Páginas"); }
    int pageCount() const override { return m_pages; }
    QPageLayout pageLayout() const override
    {
        return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    }
    double unitsPerMm() const override { return 10; }
    void paintPage(QPainter &p, int index) override
    {
        painted << index;
        if (index == m_broken)
            throw EHostError(QStringLiteral("A página %1 não pôde ser lida.").arg(index + 1));
        if (everyShape)
            drawEveryShape(p);
        p.drawText(QPointF(100, 100), QStringLiteral("página %1").arg(index + 1));
    }
    static void drawEveryShape(QPainter &p)
    {
        const QRect r(10, 10, 80, 40);
        const QPointF points[] = {{10, 10}, {90, 20}, {50, 60}};
        const QPoint whole[] = {{10, 10}, {90, 20}, {50, 60}};
        p.drawLine(QLineF(0, 0, 100, 0));
        p.drawLine(QLine(0, 5, 100, 5));
        p.drawRect(QRectF(r));
        p.drawRect(r);
        p.fillRect(r, Qt::blue);
        p.drawRoundedRect(r, 4, 4);
        p.drawEllipse(QRectF(r));
        p.drawEllipse(r);
        p.drawArc(r, 0, 90 * 16);
        p.drawChord(r, 0, 90 * 16);
        p.drawPie(r, 0, 90 * 16);
        p.drawPolygon(points, 3);
        p.drawPolygon(whole, 3);
        p.drawPolyline(points, 3);
        p.drawPolyline(whole, 3);
        p.drawConvexPolygon(points, 3);
        p.drawPoints(points, 3);
        p.drawPoints(whole, 3);
        QPainterPath path;
        path.addEllipse(r);
        p.drawPath(path);
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        p.drawImage(QPointF(0, 0), image);
        const QPixmap pixmap = QPixmap::fromImage(image);
        p.drawPixmap(QPointF(0, 0), pixmap);
        p.drawTiledPixmap(r, pixmap);
    }
    int printsStarted = 0;
    std::unique_ptr<Work> startPrinting(QPrinter *) override
    {
        ++printsStarted;
        auto work = std::make_unique<WorkThread>([](WorkTask &) {});
        work->start();
        return work;
    }

private:
    int m_pages, m_broken;
};
