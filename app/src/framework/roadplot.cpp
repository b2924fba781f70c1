#include "framework/roadplot.h"

#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_magnifier.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_rescaler.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>
#include <qwt_text_engine.h>

#include <QEvent>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Zemko {
namespace Trelvin {

namespace Internal {

QwtText RoadScaleDraw::label(double value) const
{
    return QwtText(QLocale().toString(value, 'f', 3), QwtText::PlainText);
}

QRectF RoadScaleDraw::labelBounds(const QFont& font, double value) const
{
    const QwtText& text = tickLabel(font, value);
    const QSizeF size = text.textSize(font);
    QRectF bounds(QPointF(0.0, 0.0), size);
    // The size leaves out the font's room above and below the glyphs, which the (plain) text is drawn
    // in.
    if (const QwtTextEngine* engine = QwtText::textEngine(QwtText::PlainText)) {
        double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
        engine->textMargins(font, text.text(), left, right, top, bottom);
        bounds.adjust(-left, -top, right, bottom);
    }
    return labelTransformation(labelPosition(value), size).mapRect(bounds);
}

bool RoadScaleDraw::showsLabel(const QFont& font, double value) const
{
    if (labels.isNull())
        return true;
    // Half a pixel for the rounding of the text's box.
    const QRectF area = labels.adjusted(-0.5, -0.5, 0.5, 0.5);
    const QRectF label = labelBounds(font, value);
    return label.left() >= area.left() && label.right() <= area.right() && label.top() >= area.top()
        && label.bottom() <= area.bottom();
}

void RoadScaleDraw::drawLabel(QPainter* painter, double value) const
{
    // A label centred on a tick near the canvas's edge would be cut there; the tick stays.
    if (showsLabel(painter->font(), value))
        QwtScaleDraw::drawLabel(painter, value);
}

RoadPlotScaleItem::RoadPlotScaleItem(QwtScaleDraw::Alignment alignment, const QFont& font)
    : QwtPlotScaleItem(alignment, 0.0)
    , roadDraw(new RoadScaleDraw)
{
    setScaleDraw(roadDraw);
    setFont(font);
    QPalette palette(Qt::white);
    palette.setColor(QPalette::Text, Qt::gray);
    palette.setColor(QPalette::WindowText, Qt::gray);
    setPalette(palette);
    setAlignment(alignment);
    setBorderDistance(2);
    setScaleDivFromAxis(true);
}

QRectF RoadPlotScaleItem::labelArea(const QRectF& canvasRect) const
{
    QRectF area = canvasRect;
    if (!crossing)
        return area;
    // From its edge of the canvas the other scale takes this much for its backbone and ticks, and
    // this much with its labels. The left scale's labels keep off all of the bottom scale, so that
    // the bottom scale's labels need only keep off the left one's ticks.
    const QwtScaleDraw* other = crossing->scaleDraw();
    const double ticks = crossing->borderDistance() + std::max(1, other->penWidth()) + other->maxTickLength();
    // Its labels are drawn in lines of the font's height (across the scale, as both scales' are).
    const double whole = ticks + other->spacing() + QFontMetricsF(crossing->font()).height();
    const double room = scaleDraw()->orientation() == Qt::Vertical ? whole : ticks;
    switch (other->alignment()) {
    case QwtScaleDraw::TopScale:
        area.setBottom(area.bottom() - room);
        break;
    case QwtScaleDraw::BottomScale:
        area.setTop(area.top() + room);
        break;
    case QwtScaleDraw::RightScale:
        area.setLeft(area.left() + room);
        break;
    case QwtScaleDraw::LeftScale:
        area.setRight(area.right() - room);
        break;
    }
    return area;
}

void RoadPlotScaleItem::draw(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                             const QRectF& canvasRect) const
{
    roadDraw->setLabelArea(labelArea(canvasRect));
    QwtPlotScaleItem::draw(painter, xMap, yMap, canvasRect);
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
    leftScale->setCrossing(bottomScale);
    bottomScale->setCrossing(leftScale);

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
    fit.active = false;
    showRect(rect);
}

void RoadPlot::showRect(const QRectF& rect)
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

namespace {

struct Span
{
    double low;
    double high;
};

// The extent of the data (low to high) and the labels along one axis when a pixel is `scale` plot
// units; labels reach from their anchor by their pixels.
Span spanAt(double scale, double low, double high, const QVector<PlotLabel>& labels, bool vertical)
{
    for (const PlotLabel& label : labels) {
        // Pixels grow downward, plot y upward.
        const double anchor = vertical ? label.anchor.y() : label.anchor.x();
        const double near = vertical ? -label.pixels.bottom() : label.pixels.left();
        const double far = vertical ? -label.pixels.top() : label.pixels.right();
        low = std::min(low, anchor + scale * near);
        high = std::max(high, anchor + scale * far);
    }
    return { low, high };
}

bool finiteLabel(const PlotLabel& label)
{
    return std::isfinite(label.anchor.x()) && std::isfinite(label.anchor.y())
        && std::isfinite(label.pixels.left()) && std::isfinite(label.pixels.right())
        && std::isfinite(label.pixels.top()) && std::isfinite(label.pixels.bottom());
}

} // namespace

QRectF RoadPlot::fittedRect(const QRectF& data, const QVector<PlotLabel>& labels, double margin) const
{
    const QRectF d = data.normalized();
    if (!std::isfinite(margin) || margin < 0.0)
        margin = fitMargin;
    const double mx = margin * d.width();
    const double my = margin * d.height();
    const QRectF widened = d.adjusted(-mx, -my, mx, my);
    // The left scale's texts are those of the y range shown, which the fit itself decides: fitted
    // once for the data's own values, the range shown may hold wider texts.
    const QSizeF first = scaleRoom(widened.top(), widened.bottom());
    const QRectF rect = fitWithin(widened, labels, first);
    const QSizeF shown = scaleRoom(rect.top(), rect.bottom());
    return shown.width() > first.width() ? fitWithin(widened, labels, shown) : rect;
}

QRectF RoadPlot::fitWithin(const QRectF& widened, const QVector<PlotLabel>& labels,
                           const QSizeF& scales) const
{
    // Pixels as the canvas maps place them: the maps span the canvas less its margins, while the
    // rescaler derives the y range from the whole contents.
    const QRect contents = canvas()->contentsRect();
    const QwtScaleMap xMap = canvasMap(QwtPlot::xBottom);
    const QwtScaleMap yMap = canvasMap(QwtPlot::yLeft);
    const double xFirst = std::min(xMap.p1(), xMap.p2()), xLast = std::max(xMap.p1(), xMap.p2());
    const double yFirst = std::min(yMap.p1(), yMap.p2()), yLast = std::max(yMap.p1(), yMap.p2());
    const double ratio = aspectRatio() > 0.0 ? aspectRatio() : 1.0;
    if (contents.width() < 1 || contents.height() < 1 || !(xLast > xFirst) || !(yLast > yFirst))
        return widened;
    // Plot units upward per pixel for each unit across.
    const double upward
        = (xLast - xFirst) * contents.height() / (contents.width() * (yLast - yFirst) * ratio);

    const QRectF clear = clearArea(scales);
    const double left = clear.left();
    const double bottom = clear.bottom();
    const double width = clear.width();
    const double height = clear.height();
    if (width < 1.0 || height < 1.0)
        return widened;

    QVector<PlotLabel> shown;
    shown.reserve(labels.size());
    for (const PlotLabel& label : labels)
        if (finiteLabel(label))
            shown.append(label);

    // Plot units per pixel across. The labels only widen the spans as the scale grows, so the
    // smallest scale holding everything is the limit of this iteration.
    const auto needed = [&](double scale) {
        const Span x = spanAt(scale, widened.left(), widened.right(), shown, false);
        const Span y = spanAt(scale * upward, widened.top(), widened.bottom(), shown, true);
        return std::max((x.high - x.low) / width, (y.high - y.low) / (upward * height));
    };
    double scale = needed(0.0);
    bool converged = false;
    for (int i = 0; i < 200 && std::isfinite(scale); ++i) {
        const double next = needed(scale);
        if (next <= scale * (1.0 + 1e-12)) {
            converged = true;
            break;
        }
        scale = next;
    }
    if (!converged || !(scale > 0.0)) {
        // Labels larger than the canvas: the data alone.
        shown.clear();
        scale = needed(0.0);
        if (!(scale > 0.0) || !std::isfinite(scale))
            return widened;
    }
    scale *= 1.0 + 1e-9;
    const double yScale = scale * upward;

    // Centred in the room left by the scales.
    const Span x = spanAt(scale, widened.left(), widened.right(), shown, false);
    const Span y = spanAt(yScale, widened.top(), widened.bottom(), shown, true);
    const double xStart = x.low - scale * (left - xFirst + 0.5 * (width - (x.high - x.low) / scale));
    const double yStart = y.low - yScale * (yLast - bottom + 0.5 * (height - (y.high - y.low) / yScale));
    return QRectF(xStart, yStart, scale * (xLast - xFirst), yScale * (yLast - yFirst));
}

QRectF RoadPlot::clearArea(const QSizeF& scales) const
{
    // The scales are drawn inside the canvas along its left and bottom edges; what is fitted keeps
    // clear of their texts, and a pixel from the other edges of the canvas maps.
    const QRect contents = canvas()->contentsRect();
    const QwtScaleMap xMap = canvasMap(QwtPlot::xBottom);
    const QwtScaleMap yMap = canvasMap(QwtPlot::yLeft);
    const double left = std::max(std::min(xMap.p1(), xMap.p2()), contents.left() + scales.width());
    const double right = std::max(xMap.p1(), xMap.p2()) - 1.0;
    const double top = std::min(yMap.p1(), yMap.p2()) + 1.0;
    const double bottom = std::min(std::max(yMap.p1(), yMap.p2()), contents.bottom() - scales.height());
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QSizeF RoadPlot::scaleRoom(double low, double high) const
{
    // The left scale's widest text is one of the extreme values' (the digits grow with the
    // magnitude and the sign).
    const QFontMetricsF left(leftScale->font());
    double labelWidth = 0.0;
    for (double value : { low, high })
        labelWidth
            = std::max(labelWidth, left.horizontalAdvance(leftScale->scaleDraw()->label(value).text()));
    const QFontMetricsF bottom(bottomScale->font());
    // Border, backbone, tick, spacing and text.
    const auto room = [](const Internal::RoadPlotScaleItem* item, double text) {
        return item->borderDistance() + 1.0 + item->scaleDraw()->maxTickLength()
            + item->scaleDraw()->spacing() + text + 1.0;
    };
    return QSizeF(room(leftScale, labelWidth), room(bottomScale, bottom.height()));
}

void RoadPlot::fitTo(const QRectF& data, const QVector<PlotLabel>& labels, double margin)
{
    showRect(fittedRect(data, labels, margin));
    fit.active = true;
    fit.data = data;
    fit.labels = labels;
    fit.margin = margin;
    fit.left = axisInterval(QwtPlot::xBottom).minValue();
    fit.right = axisInterval(QwtPlot::xBottom).maxValue();
}

bool RoadPlot::showsWhole(const QVector<PlotLabel>& labels) const
{
    const QwtScaleMap x = canvasMap(QwtPlot::xBottom);
    const QwtScaleMap y = canvasMap(QwtPlot::yLeft);
    const QRectF shown = clearArea(scaleRoom(std::min(y.s1(), y.s2()), std::max(y.s1(), y.s2())))
                             .adjusted(-0.5, -0.5, 0.5, 0.5);
    for (const PlotLabel& label : labels) {
        if (!finiteLabel(label))
            continue;
        const QPointF anchor(x.transform(label.anchor.x()), y.transform(label.anchor.y()));
        // Edge by edge: a label box may be a line, which QRectF::contains never holds.
        const QRectF box = label.pixels.normalized().translated(anchor);
        if (!(box.left() >= shown.left() && box.right() <= shown.right() && box.top() >= shown.top()
              && box.bottom() <= shown.bottom()))
            return false;
    }
    return true;
}

bool RoadPlot::eventFilter(QObject* watched, QEvent* event)
{
    const bool handled = QwtPlot::eventFilter(watched, event);
    // A fitted view the user has not moved stays fitted to the new canvas size.
    if (watched == canvas() && event->type() == QEvent::Resize && fitStands())
        fitTo(fit.data, fit.labels, fit.margin);
    return handled;
}

bool RoadPlot::fitStands() const
{
    // Zooms and pans move the x range; the rescaler keeps it.
    return fit.active && axisInterval(QwtPlot::xBottom).minValue() == fit.left
        && axisInterval(QwtPlot::xBottom).maxValue() == fit.right;
}

void RoadPlot::setAspectRatio(double r)
{
    if (!std::isfinite(r) || r < 0.0)
        return;
    rescaler->setAspectRatio(r);
    updateAxes();
    rescaler->rescale();
    // The labels' room in plot units changed with the ratio.
    if (fitStands())
        fitTo(fit.data, fit.labels, fit.margin);
}

double RoadPlot::aspectRatio() const
{
    return rescaler->aspectRatio(QwtPlot::yLeft);
}

} // namespace Trelvin
} // namespace Zemko
