#pragma once

#include "framework/roadplot.h"

#include <qwt_plot_curve.h>

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

class QwtPlot;

namespace Zemko {
namespace Trelvin {
namespace Data {

// A line that a (NaN, NaN) sample breaks: the parts either side are drawn apart, never joined.
class GappedCurve : public QwtPlotCurve
{
public:
    using QwtPlotCurve::QwtPlotCurve;

    void drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                    const QRectF& canvasRect, int from, int to) const override;
};

// Base of the page curves: owns one Qwt curve, knows the plot it is attached to and is rebuilt from
// the road when data change. Subclasses attach their extra items in plotAttached.
class RoadCurve
{
public:
    static constexpr double defaultTolerance = 0.0001;

    RoadCurve(const QString& title, QwtPlotCurve::CurveStyle style, const QColor& colour,
              Qt::PenStyle penStyle);
    virtual ~RoadCurve();
    RoadCurve(const RoadCurve&) = delete;
    RoadCurve& operator=(const RoadCurve&) = delete;

    virtual void rebuild(double tolerance) = 0;
    // The samples' extent; (0, 0, 100, 100) without samples. A flat or straight line gets the missing
    // side widened about the data, so the view still shows the line.
    virtual QRectF boundingRect() const;
    // Labels drawn beside the samples that a fitted view shows whole; none by default.
    virtual QVector<PlotLabel> fitLabels() const;
    virtual void plotAttached(QwtPlot* plot);
    virtual void plotDetached();
    // The attached plot is about to paint with other scales or another canvas size (zoom, pan, resize,
    // the rescaler). Called from inside the replot, before anything is drawn.
    virtual void viewChanged();

    // The extent of the finite samples, by the rules of boundingRect.
    static QRectF extentOf(const QwtSeriesData<QPointF>* data);

    // Attaches, rebuilds and fits a non-null plot to boundingRect and the labels, then replots it.
    void attach(QwtPlot* plot);
    void detach();
    // Rebuild without replot.
    void update();
    // Rebuild, then replot when attached.
    void refresh();
    // Fit the plot to boundingRect and the labels and replot when attached.
    void zoomToFit();

    void setSamples(const QVector<QPointF>& samples);
    // Not copied: the arrays must outlive their use. A size of 0 (or less) empties the curve.
    void setRawSamples(const double* x, const double* y, int size);

    QwtPlot* plot() const { return attachedPlot; }
    QwtPlotCurve* plotCurve() const;

private:
    class Line;

    Line* curve = nullptr;
    QwtPlot* attachedPlot = nullptr;
};

} // namespace Data
} // namespace Trelvin
} // namespace Zemko
