#pragma once

#include <qwt_plot.h>
#include <qwt_plot_scaleitem.h>
#include <qwt_scale_draw.h>

#include <QRectF>

class QwtPlotRescaler;

namespace Zemko {
namespace Trelvin {

namespace Internal {

// Axis labels with three decimals in the user's locale.
class RoadScaleDraw : public QwtScaleDraw
{
public:
    QwtText label(double value) const override;
};

// A scale drawn inside the canvas that follows the zoom and pan of its axis.
class RoadPlotScaleItem : public QwtPlotScaleItem
{
public:
    RoadPlotScaleItem(QwtScaleDraw::Alignment alignment, const QFont& font);
};

} // namespace Internal

// The plot of every page and tool: black canvas, dotted grid, wheel and mouse zoom, panning, scales
// inside the canvas and a rescaler that keeps the aspect ratio between the axes.
class RoadPlot : public QwtPlot
{
public:
    explicit RoadPlot(QWidget* parent = nullptr);

    // Shows rect's x range; the y range follows from it, the aspect ratio and the canvas size, about
    // the centre of rect. Does not replot.
    void setScaleRect(const QRectF& rect);
    void setAspectRatio(double r);
    double aspectRatio() const;

    Internal::RoadPlotScaleItem* leftScaleItem() const { return leftScale; }
    Internal::RoadPlotScaleItem* bottomScaleItem() const { return bottomScale; }

private:
    Internal::RoadPlotScaleItem* leftScale = nullptr;
    Internal::RoadPlotScaleItem* bottomScale = nullptr;
    QwtPlotRescaler* rescaler = nullptr;
};

} // namespace Trelvin
} // namespace Zemko
