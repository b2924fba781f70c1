#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <QScreen>
#include <QString>
#include <QTransform>
#include <QVector>

#include <cmath>

// A text as a painter drew it: where its glyphs go on the canvas, and whether a clip cut any of them.
struct DrawnText
{
    QString text;
    QColor colour;
    QPolygonF box;
    QTransform place;
    bool cut = false;
};

// Records the texts and dots drawn on it, in canvas pixels, and draws nothing.
class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }

    QVector<DrawnText> texts;
    QVector<QRectF> dots;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override { }
    Type type() const override { return QPaintEngine::User; }

    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        const QRectF glyphs(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent());
        DrawnText text;
        text.text = item.text();
        text.colour = painter()->pen().color();
        text.place = painter()->transform();
        text.box = text.place.map(QPolygonF(glyphs));
        // A clip that does not hold the glyphs cuts them (the shrink allows for rounding).
        text.cut = painter()->hasClipping()
            && !painter()->clipBoundingRect().contains(glyphs.adjusted(0.5, 0.5, -0.5, -0.5));
        texts.append(text);
    }
    void drawEllipse(const QRectF& r) override { dots.append(painter()->transform().mapRect(r)); }
    void drawEllipse(const QRect& r) override { drawEllipse(QRectF(r)); }
    void drawPath(const QPainterPath&) override { }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { }
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override { }
    void drawLines(const QLineF*, int) override { }
    void drawLines(const QLine*, int) override { }
    void drawRects(const QRectF*, int) override { }
    void drawRects(const QRect*, int) override { }
    void drawPoints(const QPointF*, int) override { }
    void drawPoints(const QPoint*, int) override { }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { }
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override { }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override { }
};

// A canvas-sized device at the screen's resolution, so that texts measure as on the canvas.
class RecordingDevice : public QPaintDevice
{
public:
    explicit RecordingDevice(QSize size)
        : size(size)
    {
    }

    QPaintEngine* paintEngine() const override { return &engine; }
    RecordingEngine& recorded() { return engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        switch (metric) {
        case PdmWidth:
            return size.width();
        case PdmHeight:
            return size.height();
        case PdmWidthMM:
            return size.width() / 4;
        case PdmHeightMM:
            return size.height() / 4;
        case PdmNumColors:
            return 0xffffff;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmPhysicalDpiX:
            return int(screen->logicalDotsPerInchX());
        case PdmDpiY:
        case PdmPhysicalDpiY:
            return int(screen->logicalDotsPerInchY());
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QSize size;
    mutable RecordingEngine engine;
};

inline bool within(const QPolygonF& box, const QRectF& area)
{
    const QRectF bounds = box.boundingRect();
    return bounds.left() >= area.left() - 0.5 && bounds.right() <= area.right() + 0.5
        && bounds.top() >= area.top() - 0.5 && bounds.bottom() <= area.bottom() + 0.5;
}

// Whether two boxes share more than an edge or a corner (a square pixel of area, allowing for rounding).
inline bool overlap(const QPolygonF& a, const QPolygonF& b)
{
    const QPolygonF common = a.intersected(b);
    double area = 0.0;
    for (int i = 0; i < common.size(); ++i) {
        const QPointF& p = common.at(i);
        const QPointF& q = common.at((i + 1) % common.size());
        area += p.x() * q.y() - q.x() * p.y();
    }
    return std::abs(area) / 2.0 > 1.0;
}
