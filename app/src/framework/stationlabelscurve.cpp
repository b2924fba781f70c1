#include "framework/stationlabelscurve.h"

#include <qwt_plot.h>

#include <QFutureWatcher>
#include <QObject>
#include <QPainter>
#include <QWidget>
#include <QtConcurrent/QtConcurrentMap>

#include <cmath>

namespace Zemko {
namespace Trelvin {
namespace Data {

namespace {

bool sameMap(const QwtScaleMap& a, const QwtScaleMap& b)
{
    return a.pDist() == b.pDist() && a.sDist() == b.sDist() && a.p1() == b.p1() && a.s1() == b.s1();
}

// Labels accumulate; overlapping labels simply overlap.
void mergeLabel(QImage& result, const QImage& label)
{
    if (label.isNull())
        return;
    if (result.isNull()) {
        result = label;
        return;
    }
    QPainter painter(&result);
    painter.drawImage(0, 0, label);
}

} // namespace

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

QImage StationLabelsCurve::Render::operator()(const StationMark& mark) const
{
    if (size.isEmpty())
        return QImage();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    if (!Internal::isFinite(mark.x, mark.y) || mark.path.isEmpty())
        return image;
    QPainter painter(&image);
    painter.setPen(QPen(Qt::yellow, 1));
    painter.setBrush(Qt::NoBrush);
    painter.translate(Internal::toPixel(xMap, mark.y), Internal::toPixel(yMap, mark.x));
    painter.rotate(std::isfinite(mark.angle) ? mark.angle : 0.0);
    // Drawing a path fills a lazy cache inside its shared data; an own copy keeps two renders that
    // overlap after a zoom from writing the same cache on two threads.
    QPainterPath path;
    path.addPath(mark.path);
    painter.drawPath(path);
    return image;
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
