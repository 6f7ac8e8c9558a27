// A paint device that paints nothing and remembers what was drawn on it: the
// texts with their position and font, and the lines. Report tests read what
// a page shows from it; the report benchmark paints each page on it, then
// draws the same texts at the same positions with a bare QPdfWriter loop,
// the limit the report is held to.
#pragma once

#include "report/layout/PageTextCapture.h"

#include <QFont>
#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPageLayout>

class TextRecorder : public QPaintEngine {
public:
    struct Text {
        QPointF pos;
        QString text;
        QFont font;
    };
    QList<Text> texts;
    QList<QLineF> lines;
    QList<QRectF> rects;

    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawTextItem(const QPointF &p, const QTextItem &ti) override
    {
        texts.append({painter()->transform().map(p), ti.text(), ti.font()});
    }
    void drawLines(const QLineF *l, int n) override
    {
        for (int i = 0; i < n; ++i)
            lines.append(painter()->transform().map(l[i]));
    }
    void drawRects(const QRectF *r, int n) override
    {
        for (int i = 0; i < n; ++i)
            rects.append(painter()->transform().mapRect(r[i]));
    }
    Type type() const override { return User; }
    void clear()
    {
        texts.clear();
        lines.clear();
        rects.clear();
    }
    QStringList textList() const
    {
        QStringList out;
        for (const Text &t : texts)
            out << t.text;
        return out;
    }
};

class RecordingDevice : public QPaintDevice {
public:
    RecordingDevice(const QPageLayout &layout, double dpi) : m_layout(layout), m_dpi(dpi) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }
    TextRecorder &recorder() { return m_engine; }

protected:
    int metric(PaintDeviceMetric m) const override { return PageTextCapture::pageMetric(m_layout, m_dpi, m); }

private:
    QPageLayout m_layout;
    double m_dpi;
    mutable TextRecorder m_engine;
};
