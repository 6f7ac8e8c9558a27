#include "PageTextCapture.h"

#include <QPaintEngine>
#include <climits>

class PageTextCapture::Engine : public QPaintEngine {
public:
    Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    QStringList texts;

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawTextItem(const QPointF &, const QTextItem &ti) override { texts << ti.text(); }
    // Everything else is dropped, each overload on its own (see the header).
    void drawRects(const QRect *, int) override {}
    void drawRects(const QRectF *, int) override {}
    void drawLines(const QLine *, int) override {}
    void drawLines(const QLineF *, int) override {}
    void drawEllipse(const QRectF &) override {}
    void drawEllipse(const QRect &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPoints(const QPointF *, int) override {}
    void drawPoints(const QPoint *, int) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawTiledPixmap(const QRectF &, const QPixmap &, const QPointF &) override {}
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override {}
    Type type() const override { return User; }
};

PageTextCapture::PageTextCapture(const QPageLayout &layout, double unitsPerMm)
    : m_layout(layout), m_dpi(unitsPerMm * 25.4), m_engine(std::make_unique<Engine>())
{
}

PageTextCapture::~PageTextCapture() = default;

QPaintEngine *PageTextCapture::paintEngine() const { return m_engine.get(); }

QStringList PageTextCapture::texts() const { return m_engine->texts; }

int PageTextCapture::metric(PaintDeviceMetric m) const { return pageMetric(m_layout, m_dpi, m); }

int PageTextCapture::pageMetric(const QPageLayout &layout, double dpi, PaintDeviceMetric m)
{
    const QSizeF mm = layout.paintRect(QPageLayout::Millimeter).size();
    switch (m) {
    case PdmWidth: return int(mm.width() / 25.4 * dpi);
    case PdmHeight: return int(mm.height() / 25.4 * dpi);
    case PdmWidthMM: return int(mm.width());
    case PdmHeightMM: return int(mm.height());
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return int(dpi);
    case PdmDepth: return 32;
    case PdmNumColors: return INT_MAX;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    }
    return 0;
}
