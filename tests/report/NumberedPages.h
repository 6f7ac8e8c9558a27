// A document for the preview tests: pages that only say their number.
#pragma once

#include "core/Errors.h"
#include "core/Work.h"
#include "core/WorkThread.h"
#include "report/layout/PagedDocument.h"

#include <QList>
#include <QPageLayout>
#include <QPainter>
#include <memory>

// Pages that only say their number; page `broken` cannot be painted.
class NumberedPages : public PagedDocument {
public:
    explicit NumberedPages(int pages, int broken = -1) : m_pages(pages), m_broken(broken) {}
    QList<int> painted;
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
        p.drawText(QPointF(100, 100), QStringLiteral("página %1").arg(index + 1));
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
