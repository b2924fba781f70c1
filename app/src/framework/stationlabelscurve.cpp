#include "framework/stationlabelscurve.h"

#include "framework/labelbox.h"

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
#include <functional>
#include <vector>

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
    QHash<QChar, QRectF> boxes;
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

// A composed label and its extent, which the layout of every view needs and which would otherwise
// be measured anew, element by element, for every label of every rebuild.
struct CachedLabel
{
    QPainterPath path;
    QRectF box;
};

QCache<QString, CachedLabel>& cachedLabels()
{
    // Counted in path elements (24 bytes each), shared with the marks that use them. A station label
    // has some four hundred; the cache holds the plan's, the profile's and the structures' labels of
    // a long road at once, since a cache smaller than what one rebuild asks for misses every time.
    static QCache<QString, CachedLabel> byText(4000000);
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

QPainterPath LabelPaths::path(const QString& text, QRectF* box)
{
    const QString name = key + text;
    if (const CachedLabel* cached = cachedLabels().object(name)) {
        if (box)
            *box = cached->box;
        return cached->path;
    }
    auto* label = new CachedLabel;
    label->path = compose(text, label->box);
    const QPainterPath path = label->path;
    if (box)
        *box = label->box;
    cachedLabels().insert(name, label, std::max(1, path.elementCount()));
    return path;
}

QPainterPath LabelPaths::compose(const QString& text, QRectF& box)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF) {
            const QPainterPath path = shaped(font, text);
            box = path.controlPointRect();
            return path;
        }
    QPainterPath path;
    box = QRectF();
    qreal x = glyphs.origin.x();
    for (const QChar c : text) {
        auto advance = glyphs.advances.constFind(c);
        if (advance == glyphs.advances.constEnd()) {
            QPainterPath outline;
            outline.addText(QPointF(), font, QString(c));
            glyphs.outlines.insert(c, outline);
            glyphs.boxes.insert(c, outline.controlPointRect());
            advance = glyphs.advances.insert(c, QFontMetricsF(font).horizontalAdvance(c));
        }
        const QPointF at(x, glyphs.origin.y());
        path.addPath(glyphs.outlines.value(c).translated(at));
        // A blank has no outline and takes no part in the extent.
        const QRectF glyph = glyphs.boxes.value(c);
        if (!glyph.isNull())
            box = box.isNull() ? glyph.translated(at) : box.united(glyph.translated(at));
        x += *advance;
    }
    return path;
}

namespace {

// The outline's extent, or nothing for a mark that cannot be drawn.
QRectF outlineBox(const StationMark& mark)
{
    if (!Internal::isFinite(mark.x, mark.y) || mark.path.isEmpty())
        return QRectF();
    return mark.box.isNull() ? mark.path.controlPointRect() : mark.box;
}

// A label on the canvas with the room it keeps round its outline: a pixel that the pen and the
// rasterising take, and two more, so that two labels never touch. With less, two labels fanning out
// from neighbouring stations would meet at their heads and read as one clump of glyphs.
Internal::LabelBox labelBox(const QTransform& place, const QRectF& box)
{
    constexpr double room = 3.0;
    return Internal::LabelBox(place, box.adjusted(-room, -room, room, room));
}

// The label's outline turned along the angle about its anchor, and half round about its own centre
// when it would read upside down: it reads upright and keeps its place by the road. The half turn's
// shift is rounded to whole pixels, so that a label drawn into an image of its own and one drawn
// onto the canvas hit the same pixels.
QTransform turn(double angle, const QRectF& box)
{
    if (!std::isfinite(angle))
        angle = 0.0;
    if (!StationLabelsCurve::upsideDown(angle))
        return QTransform().rotate(angle);
    const QPointF shift = QTransform().rotate(angle).map(2.0 * box.center());
    return QTransform().rotate(angle + 180.0)
        * QTransform::fromTranslate(std::round(shift.x()), std::round(shift.y()));
}

} // namespace

bool StationLabelsCurve::upsideDown(double angle)
{
    if (!std::isfinite(angle))
        return false;
    return std::cos(angle * M_PI / 180.0) < -1e-9;
}

QTransform StationLabelsCurve::placement(const StationMark& mark, const QRectF& box, const QwtScaleMap& xMap,
                                         const QwtScaleMap& yMap)
{
    return turn(mark.angle, box)
        * QTransform::fromTranslate(Internal::toPixel(xMap, mark.y), Internal::toPixel(yMap, mark.x));
}

QVector<int> StationLabelsCurve::layout(const QVector<StationMark>& marks, const QVector<QRectF>& boxes,
                                        const QwtScaleMap& xMap, const QwtScaleMap& yMap, QSize size)
{
    QVector<int> drawn;
    const int count = std::min(marks.size(), boxes.size());
    const QRectF canvas(QPointF(0.0, 0.0), QSizeF(size));
    // Laid-out labels by the cells of a coarse grid their bounds touch.
    constexpr double cell = 64.0;
    QHash<quint64, QVector<int>> grid;
    QVector<Internal::LabelBox> quads;
    const auto cellsOf = [&](const QRectF& r, const std::function<bool(quint64)>& visit) {
        const qint64 x0 = qint64(std::floor(r.left() / cell)), x1 = qint64(std::floor(r.right() / cell));
        const qint64 y0 = qint64(std::floor(r.top() / cell)), y1 = qint64(std::floor(r.bottom() / cell));
        for (qint64 x = x0; x <= x1; ++x)
            for (qint64 y = y0; y <= y1; ++y)
                if (!visit((quint64(quint32(x)) << 32) | quint32(y)))
                    return false;
        return true;
    };
    std::vector<bool> chosen(size_t(std::max(count, 0)), false);
    const auto tryLabel = [&](int i, bool always) {
        const QRectF& box = boxes.at(i);
        if (box.isNull() || !Internal::isFinite(marks.at(i).x, marks.at(i).y))
            return;
        const Internal::LabelBox quad = labelBox(placement(marks.at(i), box, xMap, yMap), box);
        if (!quad.bounds.intersects(canvas))
            return;
        // The bounds are clipped to the canvas first: a far-off corner must not spread over the grid.
        const QRectF cells = quad.bounds & canvas;
        if (!always && !cellsOf(cells, [&](quint64 key) {
                for (int other : grid.value(key))
                    if (quad.overlaps(quads.at(other)))
                        return false;
                return true;
            }))
            return;
        const int index = quads.size();
        quads.append(quad);
        cellsOf(cells, [&](quint64 key) {
            grid[key].append(index);
            return true;
        });
        chosen[size_t(i)] = true;
    };
    int first = -1;
    int last = -1;
    for (int i = 0; i < count; ++i)
        if (!marks.at(i).structure) {
            first = first < 0 ? i : first;
            last = i;
        }
    if (first >= 0)
        tryLabel(first, true);
    if (last > first)
        tryLabel(last, true);
    for (int i = 0; i < count; ++i)
        if (!marks.at(i).structure && i != first && i != last)
            tryLabel(i, false);
    for (int i = 0; i < count; ++i)
        if (marks.at(i).structure)
            tryLabel(i, false);
    for (int i = 0; i < count; ++i)
        if (chosen[size_t(i)])
            drawn.append(i);
    return drawn;
}

struct StationLabelsCurve::Private
{
    QFuture<QImage> future;
    QImage image;
    QwtScaleMap xMap;
    QwtScaleMap yMap;
    // The structures' labels, and every label: the station marks, then the structures'.
    QVector<StationMark> structures;
    QVector<StationMark> all;
    // The extent of each label's outline (of all), computed once per set of marks.
    QVector<QRectF> boxes;
    // The labels the latest render draws (indices into all).
    QVector<int> drawn;
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
    const QRectF box = mark.box.isNull() ? path.controlPointRect() : mark.box;
    const QTransform place = placement(mark, box, xMap, yMap);
    // The pen's width and rounding need a pixel or two round the outline's extent.
    const QRect pixels
        = place.mapRect(box).toAlignedRect().adjusted(-2, -2, 2, 2) & QRect(QPoint(0, 0), size);
    if (pixels.isEmpty())
        return label;
    label.offset = pixels.topLeft();
    label.image = QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    label.image.fill(0);
    QPainter painter(&label.image);
    painter.setPen(QPen(mark.structure ? Qt::green : Qt::yellow, 1));
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

void StationLabelsCurve::setMarks(const QVector<StationMark>& marks, const QVector<StationMark>& structures)
{
    QVector<StationMark> flagged = structures;
    for (StationMark& mark : flagged)
        mark.structure = true;
    const bool changed = replaceRecords(marks);
    if (!changed && flagged == d->structures)
        return;
    d->structures = flagged;
    // Shared with the marks when there are no structures.
    d->all = d->structures.isEmpty() ? records() : records() + d->structures;
    d->boxes.clear();
    d->boxes.reserve(d->all.size());
    for (const StationMark& mark : d->all)
        d->boxes.append(outlineBox(mark));
    if (plot()) {
        render(plot(), true);
        return;
    }
    // Detached: the next view must render the new marks even if it equals the cached one.
    d->future.cancel();
    d->image = QImage();
    d->drawn.clear();
    d->mapsCurrent = false;
    d->pending = false;
}

const QVector<StationMark>& StationLabelsCurve::marks() const
{
    return records();
}

const QVector<StationMark>& StationLabelsCurve::structureMarks() const
{
    return d->structures;
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

QVector<int> StationLabelsCurve::drawnMarks() const
{
    QVector<int> drawn;
    for (int i : d->drawn)
        if (i < marks().size())
            drawn.append(i);
    return drawn;
}

QVector<int> StationLabelsCurve::drawnStructureMarks() const
{
    QVector<int> drawn;
    for (int i : d->drawn)
        if (i >= marks().size())
            drawn.append(i - marks().size());
    return drawn;
}

QVector<PlotLabel> StationLabelsCurve::fitLabels() const
{
    // The labels are drawn through an image as large as the maps' pixel extent, set at the canvas's
    // origin, while the maps start some pixels in (the canvas's frame and margin): a label shows whole
    // only that many pixels short of the maps' far ends.
    double right = 0.0;
    double below = 0.0;
    if (plot()) {
        const QwtScaleMap x = plot()->canvasMap(QwtPlot::xBottom);
        const QwtScaleMap y = plot()->canvasMap(QwtPlot::yLeft);
        right = std::max(0.0, std::min(x.p1(), x.p2()));
        below = std::max(0.0, std::min(y.p1(), y.p2()));
    }
    QVector<PlotLabel> labels;
    labels.reserve(d->all.size());
    for (int i = 0; i < d->all.size(); ++i) {
        const StationMark& mark = d->all.at(i);
        const QRectF& box = d->boxes.at(i);
        if (!box.isNull())
            labels.append({ QPointF(mark.y, mark.x),
                            turn(mark.angle, box).mapRect(box).adjusted(0.0, 0.0, right, below) });
    }
    return labels;
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
    d->drawn.clear();
    d->pending = false;

    const QSize size(int(std::abs(xMap.p2() - xMap.p1())), int(std::abs(yMap.p2() - yMap.p1())));
    // An empty canvas (hidden, collapsed) or no marks: nothing to render, and no painter may be
    // opened on a null image off the GUI thread.
    if (size.isEmpty() || !plot->canvas() || plot->canvas()->contentsRect().isEmpty() || d->all.isEmpty())
        return;

    d->drawn = layout(d->all, d->boxes, xMap, yMap, size);
    QVector<StationMark> drawn;
    drawn.reserve(d->drawn.size());
    for (int i : d->drawn)
        drawn.append(d->all.at(i));
    d->future = QtConcurrent::mappedReduced(drawn, Render { xMap, yMap, size }, mergeLabel,
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
    if (!painter || d->all.isEmpty() || d->image.isNull())
        return;
    painter->drawImage(0, 0, d->image);
}

} // namespace Data
} // namespace Trelvin
} // namespace Zemko
