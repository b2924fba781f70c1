#include "framework/stationlabelscurve.h"

#include <qwt_plot.h>

#include <QCache>
#include <QFontMetrics>
#include <QFutureWatcher>
#include <QHash>
#include <QObject>
#include <QPainter>
#include <QTransform>
#include <QWidget>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>

namespace Zemko {
namespace Trelvin {
namespace Data {

namespace {

bool sameMap(const QwtScaleMap& a, const QwtScaleMap& b)
{
    return a.pDist() == b.pDist() && a.sDist() == b.sDist() && a.p1() == b.p1() && a.s1() == b.s1();
}

// Labels accumulate on a canvas-sized image; overlapping labels simply overlap.
void mergeLabel(QImage& result, const StationLabelsCurve::Label& label)
{
    if (label.image.isNull())
        return;
    if (result.isNull()) {
        result = QImage(label.canvas, QImage::Format_ARGB32_Premultiplied);
        result.fill(0);
    }
    QPainter painter(&result);
    painter.drawImage(label.offset, label.image);
}

QPointF labelOrigin(const QFont& font)
{
    const QFontMetrics metrics(font);
    return QPointF(metrics.horizontalAdvance(QLatin1Char('X')), metrics.height() * 0.5 - metrics.descent());
}

} // namespace

struct LabelPaths::Glyphs
{
    QPointF origin;
    QHash<QChar, QPainterPath> outlines;
    QHash<QChar, qreal> advances;

    static Glyphs& of(const QFont& font)
    {
        static QHash<QString, Glyphs> byFont;
        Glyphs& glyphs = byFont[font.key()];
        if (glyphs.advances.isEmpty())
            glyphs.origin = labelOrigin(font);
        return glyphs;
    }
};

namespace {

QCache<QString, QPainterPath>& cachedLabels()
{
    // Counted in path elements (24 bytes each), shared with the marks that use them. A station label
    // has some four hundred; the cache holds the plan's, the profile's and the structures' labels of
    // a long road at once, since a cache smaller than what one rebuild asks for misses every time.
    static QCache<QString, QPainterPath> byText(4000000);
    return byText;
}

} // namespace

LabelPaths::LabelPaths(const QFont& font)
    : font(font)
    , key(font.key() + QLatin1Char('\n'))
    , glyphs(Glyphs::of(font))
{
}

QPainterPath LabelPaths::shaped(const QFont& font, const QString& text)
{
    QPainterPath path;
    path.addText(labelOrigin(font), font, text);
    return path;
}

QPainterPath LabelPaths::path(const QString& text)
{
    const QString name = key + text;
    if (const QPainterPath* cached = cachedLabels().object(name))
        return *cached;
    QPainterPath path = compose(text);
    cachedLabels().insert(name, new QPainterPath(path), std::max(1, path.elementCount()));
    return path;
}

QPainterPath LabelPaths::compose(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return shaped(font, text);
    QPainterPath path;
    qreal x = glyphs.origin.x();
    for (const QChar c : text) {
        auto advance = glyphs.advances.constFind(c);
        if (advance == glyphs.advances.constEnd()) {
            QPainterPath outline;
            outline.addText(QPointF(), font, QString(c));
            glyphs.outlines.insert(c, outline);
            advance = glyphs.advances.insert(c, QFontMetricsF(font).horizontalAdvance(c));
        }
        path.addPath(glyphs.outlines.value(c).translated(x, glyphs.origin.y()));
        x += *advance;
    }
    return path;
}

struct StationLabelsCurve::Private
{
    QFuture<QImage> future;
    QImage image;
    QwtScaleMap xMap;
    QwtScaleMap yMap;
    // Whether image belongs to xMap and yMap (a render was started for them with the current marks).
    bool mapsCurrent = false;
    // A render was started and its image has not been handed over yet.
    bool pending = false;
    // Parent and connection context of the render watchers: destroying it deletes the watchers of
    // renders still running, so none of them can reach the destroyed item.
    QObject watchers;
};

StationLabelsCurve::Label StationLabelsCurve::Render::operator()(const StationMark& mark) const
{
    Label label;
    label.canvas = size;
    if (size.isEmpty() || !Internal::isFinite(mark.x, mark.y) || mark.path.isEmpty())
        return label;
    // Measuring or drawing a path fills lazy caches inside its shared data; an own copy keeps two
    // renders that overlap after a zoom from writing the same cache on two threads.
    QPainterPath path;
    path.addPath(mark.path);
    QTransform place;
    place.translate(Internal::toPixel(xMap, mark.y), Internal::toPixel(yMap, mark.x));
    place.rotate(std::isfinite(mark.angle) ? mark.angle : 0.0);
    // The pen's width and rounding need a pixel or two round the outline's extent.
    const QRect pixels = place.mapRect(path.controlPointRect()).toAlignedRect().adjusted(-2, -2, 2, 2)
        & QRect(QPoint(0, 0), size);
    if (pixels.isEmpty())
        return label;
    label.offset = pixels.topLeft();
    label.image = QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    label.image.fill(0);
    QPainter painter(&label.image);
    painter.setPen(QPen(Qt::yellow, 1));
    painter.setBrush(Qt::NoBrush);
    painter.setTransform(place * QTransform::fromTranslate(-pixels.left(), -pixels.top()));
    painter.drawPath(path);
    return label;
}

StationLabelsCurve::StationLabelsCurve(int)
    : d(new Private)
{
}

StationLabelsCurve::~StationLabelsCurve()
{
    d->future.cancel();
}

void StationLabelsCurve::setMarks(const QVector<StationMark>& marks)
{
    if (!replaceRecords(marks))
        return;
    if (plot()) {
        render(plot(), true);
        return;
    }
    // Detached: the next view must render the new marks even if it equals the cached one.
    d->future.cancel();
    d->image = QImage();
    d->mapsCurrent = false;
    d->pending = false;
}

const QVector<StationMark>& StationLabelsCurve::marks() const
{
    return records();
}

void StationLabelsCurve::startRender(QwtPlot* plot)
{
    render(plot, false);
}

QImage StationLabelsCurve::image() const
{
    return d->image;
}

bool StationLabelsCurve::isRendering() const
{
    return d->pending;
}

void StationLabelsCurve::render(QwtPlot* plot, bool force)
{
    if (!plot)
        return;
    const QwtScaleMap xMap = plot->canvasMap(QwtPlot::xBottom);
    const QwtScaleMap yMap = plot->canvasMap(QwtPlot::yLeft);
    if (!force && d->mapsCurrent && sameMap(xMap, d->xMap) && sameMap(yMap, d->yMap))
        return;

    d->xMap = xMap;
    d->yMap = yMap;
    d->mapsCurrent = true;
    d->future.cancel();
    d->future = QFuture<QImage>();
    d->image = QImage();
    d->pending = false;

    const QSize size(int(std::abs(xMap.p2() - xMap.p1())), int(std::abs(yMap.p2() - yMap.p1())));
    // An empty canvas (hidden, collapsed) or no marks: nothing to render, and no painter may be
    // opened on a null image off the GUI thread.
    if (size.isEmpty() || !plot->canvas() || plot->canvas()->contentsRect().isEmpty() || marks().isEmpty())
        return;

    d->future = QtConcurrent::mappedReduced(marks(), Render { xMap, yMap, size }, mergeLabel,
                                            QtConcurrent::UnorderedReduce | QtConcurrent::SequentialReduce);
    d->pending = true;
    auto* watcher = new QFutureWatcher<QImage>(&d->watchers);
    QObject::connect(
        watcher, &QFutureWatcherBase::finished, &d->watchers,
        [this, watcher] {
            // A cancelled or superseded render leaves the image of the newer one alone.
            if (watcher->future() == d->future) {
                d->pending = false;
                if (!watcher->isCanceled() && watcher->future().resultCount() > 0) {
                    d->image = watcher->result();
                    if (this->plot())
                        this->plot()->replot();
                }
            }
            watcher->deleteLater();
        },
        Qt::DirectConnection);
    watcher->setFuture(d->future);
}

void StationLabelsCurve::updateScaleDiv(const QwtScaleDiv& xScaleDiv, const QwtScaleDiv& yScaleDiv)
{
    QwtPlotSeriesItem::updateScaleDiv(xScaleDiv, yScaleDiv);
    if (plot())
        startRender(plot());
}

void StationLabelsCurve::drawSeries(QPainter* painter, const QwtScaleMap&, const QwtScaleMap&, const QRectF&,
                                    int, int) const
{
    if (!painter || marks().isEmpty() || d->image.isNull())
        return;
    painter->drawImage(0, 0, d->image);
}

} // namespace Data
} // namespace Trelvin
} // namespace Zemko
