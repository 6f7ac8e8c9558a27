// What a page says, as text: a paint device that draws nothing and keeps the
// texts painted on it, in order. The preview's search reads pages with it.
//
// Its engine takes every drawing call a painter can make (lines, rectangles,
// polygons, paths, ellipses, points, images, pixmaps) and drops all but the
// texts: QPaintEngine's defaults hand lines and polygons from one overload
// to another and back, so a call left to them never returns.
#pragma once

#include <QPageLayout>
#include <QPaintDevice>
#include <QStringList>
#include <memory>

class PageTextCapture : public QPaintDevice {
public:
    // The page's paper and the units a millimetre of paint takes.
    PageTextCapture(const QPageLayout &layout, double unitsPerMm);
    ~PageTextCapture() override;

    QPaintEngine *paintEngine() const override;
    // The texts painted so far, in order.
    QStringList texts() const;
    // What a paint device of this page at dpi dots per inch answers for m:
    // the paint rectangle's size, the resolution, 32-bit colour.
    static int pageMetric(const QPageLayout &layout, double dpi, PaintDeviceMetric m);

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    class Engine;
    QPageLayout m_layout;
    double m_dpi;
    std::unique_ptr<Engine> m_engine;
};
