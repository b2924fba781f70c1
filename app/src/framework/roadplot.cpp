#include "framework/roadplot.h"

#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_magnifier.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_rescaler.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <QLocale>

#include <cmath>

namespace Zemko {
namespace Trelvin {

namespace Internal {

QwtText RoadScaleDraw::label(double value) const
{
    return QwtText(QLocale().toString(value, 'f', 3), QwtText::PlainText);
}

RoadPlotScaleItem::RoadPlotScaleItem(QwtScaleDraw::Alignment alignment, const QFont& font)
    : QwtPlotScaleItem(alignment, 0.0)
{
    setScaleDraw(new RoadScaleDraw);
    setFont(font);
    QPalette palette(Qt::white);
    palette.setColor(QPalette::Text, Qt::gray);
    palette.setColor(QPalette::WindowText, Qt::gray);
    setPalette(palette);
    setAlignment(alignment);
    setBorderDistance(2);
    setScaleDivFromAxis(true);
}

} // namespace Internal

RoadPlot::RoadPlot(QWidget* parent)
    : QwtPlot(parent)
{
    auto* grid = new QwtPlotGrid;
    grid->setPen(Qt::gray, 0.0, Qt::DotLine);
    grid->attach(this);

    auto* canvas = new QwtPlotCanvas;
    canvas->setLineWidth(1);
    canvas->setFrameStyle(QFrame::Box | QFrame::Plain);

    setPalette(QPalette(QColor(165, 193, 228, 255)));
    QPalette canvasPalette(Qt::white);
    canvasPalette.setColor(QPalette::Window, Qt::black);
    canvas->setPalette(canvasPalette);

    // Positive factors: Qwt raises the factor to |delta| / 120, and a negative base gives NaN for the
    // half-notch deltas of touchpads and high-resolution wheels.
    auto* magnifier = new QwtPlotMagnifier(canvas);
    magnifier->setWheelFactor(0.9);
    magnifier->setMouseFactor(0.95);
    magnifier->setAxisEnabled(QwtPlot::yRight, false);

    auto* panner = new QwtPlotPanner(canvas);
    panner->setAxisEnabled(QwtPlot::yRight, false);

    leftScale = new Internal::RoadPlotScaleItem(QwtScaleDraw::RightScale, axisWidget(QwtPlot::yLeft)->font());
    leftScale->attach(this);
    enableAxis(QwtPlot::yLeft, false);

    bottomScale
        = new Internal::RoadPlotScaleItem(QwtScaleDraw::TopScale, axisWidget(QwtPlot::xBottom)->font());
    bottomScale->attach(this);
    enableAxis(QwtPlot::xBottom, false);

    setCanvas(canvas);

    rescaler = new QwtPlotRescaler(canvas, QwtPlot::xBottom, QwtPlotRescaler::Fixed);
    rescaler->setExpandingDirection(QwtPlotRescaler::ExpandBoth);
    rescaler->setAspectRatio(1.0);

    setAxisScale(QwtPlot::yLeft, 0.0, 100.0);
    setAxisScale(QwtPlot::xBottom, 0.0, 100.0);
    // The rescaler reads the axes' current divisions: without this the first resize would rescale
    // from Qwt's empty defaults and collapse the axes to a point.
    updateAxes();
}

void RoadPlot::setScaleRect(const QRectF& rect)
{
    if (!std::isfinite(rect.left()) || !std::isfinite(rect.right()) || !std::isfinite(rect.top())
        || !std::isfinite(rect.bottom()))
        return;
    setAxisScale(QwtPlot::yLeft, rect.top(), rect.bottom());
    setAxisScale(QwtPlot::xBottom, rect.left(), rect.right());
    // The rescaler starts from the axes' divisions, which Qwt recomputes only here or on a replot.
    updateAxes();
    rescaler->rescale();

    // The rescaler keeps the x range and derives y from the canvas; a rectangle taller than the
    // canvas would then be cut at top and bottom. Widen x about its centre until y covers it all.
    const double shown = axisInterval(QwtPlot::yLeft).width();
    const double wanted = std::abs(rect.height());
    if (shown > 0.0 && wanted > shown * (1.0 + 1e-9)) {
        const double halfWidth = 0.5 * std::abs(rect.width()) * wanted / shown;
        const double centre = rect.center().x();
        setAxisScale(QwtPlot::xBottom, centre - halfWidth, centre + halfWidth);
        updateAxes();
        rescaler->rescale();
    }
}

void RoadPlot::setAspectRatio(double r)
{
    if (!std::isfinite(r) || r < 0.0)
        return;
    rescaler->setAspectRatio(r);
    updateAxes();
    rescaler->rescale();
}

double RoadPlot::aspectRatio() const
{
    return rescaler->aspectRatio(QwtPlot::yLeft);
}

} // namespace Trelvin
} // namespace Zemko
