#pragma once

#include <qwt_plot.h>
#include <qwt_plot_scaleitem.h>
#include <qwt_scale_draw.h>

#include <QRectF>
#include <QVector>

class QwtPlotRescaler;

namespace Zemko {
namespace Trelvin {

namespace Internal {

// Axis labels with three decimals in the user's locale. A label is drawn only where it lies whole
// within the label area, so that none is cut by the canvas's edge or drawn over the other scale.
class RoadScaleDraw : public QwtScaleDraw
{
public:
    QwtText label(double value) const override;

    // Where labels may go; a null area holds every label.
    void setLabelArea(const QRectF& area) { labels = area; }

protected:
    void drawLabel(QPainter* painter, double value) const override;

private:
    // The text's line as drawn for the scale's current position and length.
    QRectF labelBounds(const QFont& font, double value) const;
    bool showsLabel(const QFont& font, double value) const;

    QRectF labels;
};

// A scale drawn inside the canvas that follows the zoom and pan of its axis.
class RoadPlotScaleItem : public QwtPlotScaleItem
{
public:
    RoadPlotScaleItem(QwtScaleDraw::Alignment alignment, const QFont& font);

    // The scale drawn along the other edge, whose ticks and texts these labels keep clear of.
    void setCrossing(const RoadPlotScaleItem* other) { crossing = other; }
    // Where the labels may go on a canvas of this rectangle.
    QRectF labelArea(const QRectF& canvasRect) const;

    void draw(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
              const QRectF& canvasRect) const override;

private:
    RoadScaleDraw* roadDraw = nullptr;
    const RoadPlotScaleItem* crossing = nullptr;
};

} // namespace Internal

// A label drawn beside a point: the point in plot coordinates and the label's extent in pixels about
// it (x to the right, y downward), whatever the scales.
struct PlotLabel
{
    QPointF anchor;
    QRectF pixels;
};

// The plot of every page and tool: black canvas, dotted grid, wheel and mouse zoom, panning, scales
// inside the canvas and a rescaler that keeps the aspect ratio between the axes.
class RoadPlot : public QwtPlot
{
public:
    // Share of the data's extent a fitted view keeps free on each side.
    static constexpr double fitMargin = 0.03;

    explicit RoadPlot(QWidget* parent = nullptr);

    // Shows rect's x range; the y range follows from it, the aspect ratio and the canvas size, about
    // the centre of rect. Does not replot.
    void setScaleRect(const QRectF& rect);
    // Shows data with `margin` of its extent free on every side and every label whole, clear of the
    // scales' texts, for the canvas's current size. The view stays fitted when the canvas is resized,
    // until its scales are set otherwise (a zoom, a pan, setScaleRect).
    void fitTo(const QRectF& data, const QVector<PlotLabel>& labels = {}, double margin = fitMargin);
    // The rectangle fitTo shows: its x range, and the y range the rescaler derives from it. Labels
    // that cannot fit the canvas at any scale are left out.
    QRectF fittedRect(const QRectF& data, const QVector<PlotLabel>& labels, double margin = fitMargin) const;
    // Whether the current view shows every label whole, clear of the scales' texts.
    bool showsWhole(const QVector<PlotLabel>& labels) const;
    void setAspectRatio(double r);
    double aspectRatio() const;

    Internal::RoadPlotScaleItem* leftScaleItem() const { return leftScale; }
    Internal::RoadPlotScaleItem* bottomScaleItem() const { return bottomScale; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRect(const QRectF& rect);
    // The pixels the left scale takes across for y values from low to high, and the bottom scale
    // upward.
    QSizeF scaleRoom(double low, double high) const;
    // The canvas pixels clear of the scales' texts when these take the given room.
    QRectF clearArea(const QSizeF& scales) const;
    // The fit of data already widened by the margin, with the scales taking the given room.
    QRectF fitWithin(const QRectF& widened, const QVector<PlotLabel>& labels, const QSizeF& scales) const;
    bool fitStands() const;

    // What the last fit showed, while its x range stands.
    struct Fit
    {
        bool active = false;
        QRectF data;
        QVector<PlotLabel> labels;
        double margin = fitMargin;
        double left = 0.0;
        double right = 0.0;
    };
    Fit fit;

    Internal::RoadPlotScaleItem* leftScale = nullptr;
    Internal::RoadPlotScaleItem* bottomScale = nullptr;
    QwtPlotRescaler* rescaler = nullptr;
};

} // namespace Trelvin
} // namespace Zemko
