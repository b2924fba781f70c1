#include "framework/roadcurve.h"

#include "framework/roadplot.h"

#include <qwt_plot.h>

#include <QPen>

#include <algorithm>
#include <cmath>

namespace Zemko {
namespace Trelvin {
namespace Data {

namespace {

// The plot shows rect and the labels (with a margin, through the rescaler, for a RoadPlot).
void fitPlot(QwtPlot* plot, const QRectF& rect, const QVector<PlotLabel>& labels)
{
    if (!plot)
        return;
    if (auto* roadPlot = dynamic_cast<RoadPlot*>(plot)) {
        roadPlot->fitTo(rect, labels);
        return;
    }
    plot->setAxisScale(QwtPlot::yLeft, rect.top(), rect.bottom());
    plot->setAxisScale(QwtPlot::xBottom, rect.left(), rect.right());
}

bool sameMap(const QwtScaleMap& a, const QwtScaleMap& b)
{
    return a.p1() == b.p1() && a.p2() == b.p2() && a.s1() == b.s1() && a.s2() == b.s2();
}

} // namespace

void GappedCurve::drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                             const QRectF& canvasRect, int from, int to) const
{
    if (to < 0)
        to = int(dataSize()) - 1;
    int begin = std::max(from, 0);
    for (int i = begin; i <= to; ++i) {
        const QPointF p = sample(i);
        if (std::isfinite(p.x()) && std::isfinite(p.y()))
            continue;
        if (i > begin)
            QwtPlotCurve::drawSeries(painter, xMap, yMap, canvasRect, begin, i - 1);
        begin = i + 1;
    }
    if (to >= begin)
        QwtPlotCurve::drawSeries(painter, xMap, yMap, canvasRect, begin, to);
}

// The page curve's line; it also tells its owner when the plot is replotted with other canvas maps.
class RoadCurve::Line : public GappedCurve
{
public:
    Line(const QString& title, RoadCurve* owner)
        : GappedCurve(title)
        , owner(owner)
    {
        setItemInterest(QwtPlotItem::ScaleInterest, true);
    }

    void updateScaleDiv(const QwtScaleDiv& xScaleDiv, const QwtScaleDiv& yScaleDiv) override
    {
        GappedCurve::updateScaleDiv(xScaleDiv, yScaleDiv);
        if (!plot())
            return;
        const QwtScaleMap x = plot()->canvasMap(QwtPlot::xBottom);
        const QwtScaleMap y = plot()->canvasMap(QwtPlot::yLeft);
        if (seen && sameMap(x, xMap) && sameMap(y, yMap))
            return;
        xMap = x;
        yMap = y;
        seen = true;
        owner->viewChanged();
    }

    // The next replot reports its view even if it equals the last one.
    void forget() { seen = false; }

private:
    RoadCurve* owner;
    QwtScaleMap xMap;
    QwtScaleMap yMap;
    bool seen = false;
};

RoadCurve::RoadCurve(const QString& title, QwtPlotCurve::CurveStyle style, const QColor& colour,
                     Qt::PenStyle penStyle)
    : curve(new Line(title, this))
{
    curve->setStyle(style);
    curve->setPen(colour, 2.0, penStyle);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    curve->setZ(0.0);
}

RoadCurve::~RoadCurve()
{
    if (curve) {
        curve->detach();
        delete curve;
    }
}

QRectF RoadCurve::boundingRect() const
{
    return extentOf(curve->data());
}

QRectF RoadCurve::extentOf(const QwtSeriesData<QPointF>* data)
{
    const QRectF empty(0.0, 0.0, 100.0, 100.0);
    if (!data)
        return empty;

    // Unmeasurable samples (a failed road query gives NaN) do not take part.
    bool any = false;
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
    const size_t n = data->size();
    for (size_t i = 0; i < n; ++i) {
        const QPointF p = data->sample(i);
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            continue;
        if (!any) {
            left = right = p.x();
            top = bottom = p.y();
            any = true;
            continue;
        }
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    if (!any)
        return empty;

    const double width = right - left;
    const double height = bottom - top;
    if (!std::isfinite(width) || !std::isfinite(height))
        return empty;
    if (width > 0.0 && height > 0.0)
        return QRectF(left, top, width, height);
    // A flat profile or a straight north-south line: widen the zero side about the data so that the
    // view stays on the line.
    const double side = width > 0.0 ? width : (height > 0.0 ? height : 100.0);
    const double w = width > 0.0 ? width : side;
    const double h = height > 0.0 ? height : side;
    return QRectF(left + (width - w) / 2.0, top + (height - h) / 2.0, w, h);
}

QVector<PlotLabel> RoadCurve::fitLabels() const
{
    return {};
}

void RoadCurve::plotAttached(QwtPlot*) { }

void RoadCurve::plotDetached() { }

void RoadCurve::viewChanged() { }

void RoadCurve::attach(QwtPlot* plot)
{
    attachedPlot = plot;
    curve->detach();
    curve->attach(plot);
    curve->forget();
    plotAttached(plot);
    rebuild(defaultTolerance);
    if (attachedPlot) {
        fitPlot(attachedPlot, boundingRect(), fitLabels());
        attachedPlot->replot();
    }
}

void RoadCurve::detach()
{
    curve->detach();
    plotDetached();
    attachedPlot = nullptr;
}

void RoadCurve::update()
{
    rebuild(defaultTolerance);
}

void RoadCurve::refresh()
{
    if (!attachedPlot)
        return;
    rebuild(defaultTolerance);
    if (attachedPlot)
        attachedPlot->replot();
}

void RoadCurve::zoomToFit()
{
    if (!attachedPlot)
        return;
    fitPlot(attachedPlot, boundingRect(), fitLabels());
    attachedPlot->replot();
}

QwtPlotCurve* RoadCurve::plotCurve() const
{
    return curve;
}

void RoadCurve::setSamples(const QVector<QPointF>& samples)
{
    curve->setSamples(samples);
}

void RoadCurve::setRawSamples(const double* x, const double* y, int size)
{
    if (size <= 0 || !x || !y)
        curve->setRawSamples(nullptr, nullptr, 0);
    else
        curve->setRawSamples(x, y, size);
}

} // namespace Data
} // namespace Trelvin
} // namespace Zemko
