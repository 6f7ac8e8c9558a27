// The pages of a PagedDocument one below the other in a scrolling view that
// paints only the pages in sight, each when it first comes into view, and
// keeps the last few as images. Opening a report of 18,000 pages costs the
// painting of the first one.
//
// A page that cannot be painted shows its error on the page and raises
// pageFailed once per page; nothing is thrown through Qt.
#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QList>

class PagedDocument;

class PreviewPageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit PreviewPageView(PagedDocument &doc, QWidget *parent = nullptr);

    int currentPage() const; // from 0: the page at the top of the view
    void showPage(int index);
    // Pixels per millimetre of paper.
    double zoom() const { return m_zoom; }
    void setZoom(double pixelsPerMm);
    void fitWidth();
    // The zoom as a percentage of the paper's real size on this screen.
    int zoomPercent() const;
    void setZoomPercent(int percent);
    // Pages painted so far (each painting counts).
    int pagesPainted() const { return m_painted; }

signals:
    void currentPageChanged(int index);
    void zoomChanged();
    void pagePainted(int index);
    void pageFailed(int index, const QString &text);

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void keyPressEvent(QKeyEvent *e) override;
    // Ctrl+wheel zooms, as in every viewer; the wheel alone scrolls.
    void wheelEvent(QWheelEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QSize pageSize() const;
    int pitch() const; // a page and the gap below it
    void updateScrollBars();
    const QImage &image(int index);

    PagedDocument &m_doc;
    double m_zoom = 3.0;
    QHash<int, QImage> m_cache;
    QList<int> m_recent; // most recently used last
    QHash<int, QString> m_failed;
    int m_painted = 0;
    int m_lastCurrent = -1;
    bool m_fitWidth = true;
};
