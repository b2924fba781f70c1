#include "framework/plotmarkers.h"

#include "framework/labelbox.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace Zemko {
namespace Trelvin {
namespace Data {

namespace {

constexpr double minimumGrade = 0.0001;

double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

int truncated(double value)
{
    constexpr double limit = 1 << 24;
    if (std::isnan(value))
        return 0;
    return int(std::max(-limit, std::min(limit, value)));
}

// The structure's skew brought into [0, 180) degrees.
double skewInHalfTurn(const StructureMark& mark)
{
    const double skew = std::fmod(finiteOrZero(mark.skew), 180.0);
    return skew < 0.0 ? skew + 180.0 : skew;
}

// The n of a 1:n slope with the decimals it has, up to three: 1.75, 1.5, 2.
QString ratioText(double n)
{
    QString text = QString::number(n, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

// Tilt in degrees of a label along a slope of gradient g; flatter than one degree stays level.
double tiltOf(double gradient)
{
    const double tilt = qRadiansToDegrees(std::atan(std::abs(gradient)));
    return tilt < 1.0 ? 0.0 : tilt;
}

void drawArrow(QPainter* painter, int span, bool falling)
{
    const MarkerArrow arrow = Internal::markerArrow(span);
    const int half = span / 2;
    painter->drawLine(-half, -5, half, -5);
    if (falling)
        painter->drawLine(-half, -5, -half + arrow.length, -5 - arrow.height);
    else
        painter->drawLine(half, -5, half - arrow.length, -5 - arrow.height);
}

// Puts the painter at the marker's anchor, tilted, with a thin yellow copy of its pen.
void beginMarker(QPainter* painter, int px, int py, double tilt)
{
    painter->save();
    QPen pen = painter->pen();
    pen.setWidth(1);
    pen.setColor(Qt::yellow);
    painter->setPen(pen);
    painter->translate(px, py);
    painter->rotate(tilt);
    painter->setRenderHint(QPainter::Antialiasing, true);
}

// Bounds of a text block drawn along a tilted line through centre (plot coordinates: x across, y up)
// whose ends lie halfSpan across either side: `above` pixels of text over the line and `below` under
// it, each `width` pixels wide about the centre. The ends rise or fall by rise plot units.
void addTiltedTexts(QVector<PlotLabel>& labels, const QPointF& centre, double halfSpan, double rise,
                    double tilt, double above, double below, double width)
{
    const double radians = qDegreesToRadians(std::abs(tilt));
    const double across = std::sin(radians);
    const double up = std::cos(radians) > 0.1 ? 1.0 / std::cos(radians) : 10.0;
    const double high = centre.y() + std::abs(rise);
    const double low = centre.y() - std::abs(rise);
    for (double x : { centre.x() - halfSpan, centre.x() + halfSpan }) {
        if (above > 0.0)
            labels.append(
                { QPointF(x, high),
                  QRectF(-above * across, -above * up - 1.0, 2.0 * above * across, above * up + 1.0) });
        if (below > 0.0)
            labels.append(
                { QPointF(x, low), QRectF(-below * across, 0.0, 2.0 * below * across, below * up + 1.0) });
    }
    // A text wider than its line overhangs it about the centre.
    labels.append({ centre, QRectF(-0.5 * width, -above * up - 1.0, width, (above + below) * up + 2.0) });
}

QString lengthText(const PlateMarker& marker)
{
    return QStringLiteral("%1").arg(std::abs(marker.length), 0, 'f', 2);
}

// Distance from a marker's line to its texts, in pixels.
constexpr double textGap = 8.0;

// Distance from a point's pixel to its name beside, above or below it, and to a name by its corner.
constexpr double nameGap = 5.0;
constexpr double cornerGap = 4.0;

// The room a point's dot takes.
QRectF dotRect(const QPoint& pixel)
{
    return QRectF(pixel.x() - 3.0, pixel.y() - 3.0, 6.0, 6.0);
}

bool crosses(const QRectF& rect, const QLineF& segment)
{
    if (rect.contains(segment.p1()) || rect.contains(segment.p2()))
        return true;
    const QLineF edges[]
        = { QLineF(rect.topLeft(), rect.topRight()), QLineF(rect.topRight(), rect.bottomRight()),
            QLineF(rect.bottomRight(), rect.bottomLeft()), QLineF(rect.bottomLeft(), rect.topLeft()) };
    return std::any_of(std::begin(edges), std::end(edges), [&](const QLineF& edge) {
        return segment.intersects(edge, nullptr) == QLineF::BoundedIntersection;
    });
}

// One text waiting for its place.
struct PendingText
{
    MarkerText* result;
    QTransform frame;
    // Its place by the marker.
    QRectF rect;
    // Which way it moves when that place is taken: -1 up, +1 down.
    double away;
    // The marker's length on the screen.
    double span;
};

} // namespace

bool StructureMark::operator==(const StructureMark& o) const
{
    return text == o.text && path == o.path && x == o.x && y == o.y && angle == o.angle && skew == o.skew
        && left == o.left && right == o.right && bottom == o.bottom && top == o.top
        && centerHeight == o.centerHeight && crossSlope == o.crossSlope && skewed == o.skewed;
}

namespace Internal {

MarkerArrow markerArrow(int span)
{
    MarkerArrow arrow;
    arrow.length = std::max(5, std::min(20, span / 10));
    arrow.height = int(arrow.length * std::tan(qDegreesToRadians(30.0)));
    return arrow;
}

int labelSpan(const QwtScaleMap& xMap, int px, double endY)
{
    return truncated((xMap.transform(endY) - px) * 0.8);
}

QVector<MarkerText> layoutNames(const QVector<NamedPoint>& names, const QVector<QPointF>& line,
                                const QwtScaleMap& xMap, const QwtScaleMap& yMap, const QRectF& canvas,
                                const QFontMetricsF& metrics)
{
    QVector<MarkerText> placed(names.size());
    QVector<QPoint> pixels(names.size());
    QVector<QRectF> dots;
    for (int i = 0; i < names.size(); ++i) {
        const NamedPoint& point = names.at(i);
        if (!isFinite(point.x, point.y))
            continue;
        pixels[i] = QPoint(toPixel(xMap, point.x), toPixel(yMap, point.y));
        dots.append(dotRect(pixels[i]));
    }
    QVector<QLineF> segments;
    for (int i = 1; i < line.size(); ++i)
        if (isFinite(line[i - 1].x(), line[i - 1].y()) && isFinite(line[i].x(), line[i].y()))
            segments.append(QLineF(xMap.transform(line[i - 1].x()), yMap.transform(line[i - 1].y()),
                                   xMap.transform(line[i].x()), yMap.transform(line[i].y())));
    // A line may pass the empty corners of a name's box, above its capitals and beside its padding.
    const double above = std::max(0.0, metrics.ascent() - metrics.capHeight());
    const auto onLine = [&](const QRectF& rect) {
        const QRectF letters(rect.left() + 1.0, rect.top() + above, rect.width() - 2.0, metrics.capHeight());
        return std::any_of(segments.cbegin(), segments.cend(),
                           [&](const QLineF& segment) { return crosses(letters, segment); });
    };

    // The places still free for each name waiting, in the order they are tried: below, above, left
    // and right of the dot, then by its corners, then as much again half a line further out; those
    // off the line before those on it.
    struct Place
    {
        QRectF rect;
        bool onLine;
    };
    QVector<QVector<Place>> free(names.size());
    QVector<int> waiting;
    // The centre line's "O" comes once per side: a name repeated at the same dot goes where the first
    // goes.
    QVector<int> repeats(names.size(), -1);
    const bool bounded = canvas.isValid();
    const double height = metrics.height();
    for (int i = 0; i < names.size(); ++i) {
        const NamedPoint& point = names.at(i);
        if (point.name.isEmpty() || !isFinite(point.x, point.y))
            continue;
        const auto first = std::find_if(waiting.cbegin(), waiting.cend(), [&](int j) {
            return names.at(j).name == point.name && pixels.at(j) == pixels.at(i);
        });
        if (first != waiting.cend()) {
            repeats[i] = *first;
            continue;
        }
        const double width = std::ceil(metrics.horizontalAdvance(point.name)) + 2.0;
        const double px = pixels[i].x();
        const double py = pixels[i].y();
        for (const double further : { 0.0, 0.5 * height }) {
            const double side = nameGap + further;
            const double corner = cornerGap + further;
            const QRectF places[] = { QRectF(px - 0.5 * width, py + side, width, height),
                                      QRectF(px - 0.5 * width, py - side - height, width, height),
                                      QRectF(px - side - width, py - 0.5 * height, width, height),
                                      QRectF(px + side, py - 0.5 * height, width, height),
                                      QRectF(px + corner, py + corner, width, height),
                                      QRectF(px - corner - width, py + corner, width, height),
                                      QRectF(px + corner, py - corner - height, width, height),
                                      QRectF(px - corner - width, py - corner - height, width, height) };
            for (const QRectF& rect : places)
                if ((!bounded || LabelBox(QTransform(), rect).within(canvas))
                    && std::none_of(dots.cbegin(), dots.cend(),
                                    [&](const QRectF& dot) { return dot.intersects(rect); }))
                    free[i].append({ rect, onLine(rect) });
        }
        std::stable_partition(free[i].begin(), free[i].end(),
                              [](const Place& place) { return !place.onLine; });
        waiting.append(i);
    }

    // The name with the fewest places left goes first, and takes the first of them that leaves every
    // name still waiting a place: a roomier neighbour would otherwise take the only place a crowded
    // point's name has.
    for (QVector<int> left = waiting; !left.isEmpty();) {
        int pick = 0;
        for (int k = 1; k < left.size(); ++k)
            if (free.at(left.at(k)).size() < free.at(left.at(pick)).size())
                pick = k;
        const int i = left.takeAt(pick);
        if (free.at(i).isEmpty())
            continue;
        const auto leavesRoom = [&](const Place& place) {
            return std::all_of(left.cbegin(), left.cend(), [&](int j) {
                return free.at(j).isEmpty()
                    || std::any_of(free.at(j).cbegin(), free.at(j).cend(),
                                   [&](const Place& other) { return !other.rect.intersects(place.rect); });
            });
        };
        const auto chosen = std::find_if(free.at(i).cbegin(), free.at(i).cend(), leavesRoom);
        const QRectF rect = (chosen != free.at(i).cend() ? *chosen : free.at(i).first()).rect;
        placed[i].shown = true;
        placed[i].rect = rect;
        placed[i].box = QPolygonF(rect);
        for (int j : left) {
            QVector<Place>& places = free[j];
            places.erase(std::remove_if(places.begin(), places.end(),
                                        [&](const Place& place) { return place.rect.intersects(rect); }),
                         places.end());
        }
    }
    for (int i = 0; i < names.size(); ++i)
        if (repeats.at(i) >= 0)
            placed[i] = placed.at(repeats.at(i));
    return placed;
}

MarkerTexts layoutMarkerTexts(const QVector<NamedPoint>& names, const QVector<PlateMarker>& plates,
                              const QVector<SlopeMarker>& slopes, const QwtScaleMap& xMap,
                              const QwtScaleMap& yMap, const QRectF& canvas, const QFontMetricsF& metrics,
                              const QVector<QPointF>& drawnLine)
{
    MarkerTexts texts;
    texts.grades.resize(plates.size());
    texts.lengths.resize(plates.size());
    texts.slopes.resize(slopes.size());

    QVector<LabelBox> taken;
    const QVector<MarkerText> placedNames = layoutNames(names, drawnLine, xMap, yMap, canvas, metrics);
    for (int i = 0; i < names.size(); ++i) {
        const NamedPoint& point = names.at(i);
        if (!isFinite(point.x, point.y))
            continue;
        const QRectF dot = dotRect(QPoint(toPixel(xMap, point.x), toPixel(yMap, point.y)));
        taken.append(LabelBox(QTransform(), dot));
        texts.names.append(dot);
        if (!placedNames.at(i).shown)
            continue;
        taken.append(LabelBox(QTransform(), placedNames.at(i).rect));
        texts.names.append(placedNames.at(i).rect);
    }

    const double line = metrics.height();
    QVector<PendingText> pending;
    // The marker's frame as it draws, and its length on the screen.
    const auto frameAt = [&](const QPointF& position, double tilt) {
        return QTransform().translate(toPixel(xMap, position.y()), toPixel(yMap, position.x())).rotate(tilt);
    };
    const auto spanOf = [&](const QPointF& position, double length) {
        return std::abs(xMap.transform(position.y() + length) - xMap.transform(position.y()));
    };
    const auto centred
        = [](double width, double top, double height) { return QRectF(-0.5 * width, top, width, height); };
    for (int i = 0; i < plates.size(); ++i) {
        const PlateMarker& marker = plates.at(i);
        if (!isFinite(marker.position.x(), marker.position.y()))
            continue;
        const MarkerLabel grade = PlateMarkerCurve::label(marker);
        const QTransform frame = frameAt(marker.position, grade.tilt);
        const double span = spanOf(marker.position, marker.length);
        const double length = std::ceil(metrics.horizontalAdvance(lengthText(marker))) + 2.0;
        pending.append({ &texts.lengths[i], frame, centred(length, textGap, line), 1.0, span });
        if (!grade.text.isEmpty()) {
            const double width = std::ceil(metrics.horizontalAdvance(grade.text)) + 2.0;
            pending.append({ &texts.grades[i], frame, centred(width, -textGap - line, line), -1.0, span });
        }
    }
    for (int i = 0; i < slopes.size(); ++i) {
        const SlopeMarker& marker = slopes.at(i);
        const MarkerLabel slope = SlopeMarkerCurve::label(marker);
        if (!slope.visible || !isFinite(marker.position.x(), marker.position.y()))
            continue;
        const QTransform frame = frameAt(marker.position, slope.tilt);
        const double span = spanOf(marker.position, marker.width);
        double width = 0.0;
        const QStringList lines = slope.text.split(QLatin1Char('\n'));
        for (const QString& text : lines)
            width = std::max(width, metrics.horizontalAdvance(text));
        const double height = (lines.size() - 1) * metrics.lineSpacing() + line;
        pending.append({ &texts.slopes[i], frame, centred(std::ceil(width) + 2.0, -textGap - height, height),
                         -1.0, span });
    }
    std::stable_sort(pending.begin(), pending.end(),
                     [](const PendingText& a, const PendingText& b) { return a.span > b.span; });

    const bool bounded = canvas.isValid();
    for (const PendingText& text : pending) {
        for (int step = 0; step < 3; ++step) {
            const QRectF rect = text.rect.translated(0.0, text.away * step * (line + 2.0));
            const LabelBox box(text.frame, rect);
            if (bounded && !box.within(canvas))
                continue;
            if (std::any_of(taken.cbegin(), taken.cend(),
                            [&](const LabelBox& other) { return box.overlaps(other); }))
                continue;
            taken.append(box);
            text.result->shown = true;
            text.result->rect = rect;
            text.result->box = QPolygonF({ box.corner[0], box.corner[1], box.corner[2], box.corner[3] });
            break;
        }
    }
    return texts;
}

} // namespace Internal

void NamedPointsCurve::drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                                  const QRectF& canvasRect, int, int) const
{
    if (!painter || records().isEmpty())
        return;
    painter->save();
    painter->setPen(Qt::cyan);
    painter->setBrush(QBrush(Qt::cyan, Qt::SolidPattern));
    const QVector<MarkerText> names
        = Internal::layoutNames(records(), drawnLine, xMap, yMap, canvasRect, QFontMetricsF(painter->font()));
    for (int i = 0; i < records().size(); ++i) {
        const NamedPoint& point = records().at(i);
        if (!Internal::isFinite(point.x, point.y))
            continue;
        painter->drawEllipse(QPoint(Internal::toPixel(xMap, point.x), Internal::toPixel(yMap, point.y)), 2,
                             2);
        if (names.at(i).shown)
            painter->drawText(names.at(i).rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
                              point.name);
    }
    painter->restore();
}

QVector<PlotLabel> NamedPointsCurve::fitLabels() const
{
    QVector<PlotLabel> labels;
    labels.reserve(records().size());
    // The dot's radius, the name's box below it.
    for (const NamedPoint& point : records())
        labels.append({ QPointF(point.x, point.y), QRectF(-10.0, -3.0, 20.0, 28.0) });
    return labels;
}

QVector<PlotLabel> PlateMarkerCurve::fitLabels(const QFontMetricsF& metrics) const
{
    QVector<PlotLabel> labels;
    for (const PlateMarker& marker : records()) {
        if (!Internal::isFinite(marker.position.x(), marker.position.y()))
            continue;
        const MarkerLabel grade = label(marker);
        const QString length = lengthText(marker);
        const double width
            = std::max(metrics.horizontalAdvance(length), metrics.horizontalAdvance(grade.text));
        const double line = metrics.lineSpacing();
        const double halfSpan = 0.4 * std::abs(finiteOrZero(marker.length));
        addTiltedTexts(labels, QPointF(marker.position.y(), marker.position.x()), halfSpan,
                       halfSpan * std::tan(qDegreesToRadians(std::abs(grade.tilt))), grade.tilt,
                       grade.text.isEmpty() ? 0.0 : 8.0 + line, 8.0 + line, width);
    }
    return labels;
}

MarkerLabel PlateMarkerCurve::label(const PlateMarker& marker)
{
    MarkerLabel label;
    if (!(std::abs(marker.grade) >= minimumGrade))
        return label;
    label.text = QStringLiteral("%1%").arg(std::abs(marker.grade) * 100.0, 0, 'f', 2);
    label.tilt = tiltOf(marker.grade);
    label.falling = (marker.reversed && marker.grade < 0.0) || (!marker.reversed && marker.grade > 0.0);
    if (label.falling)
        label.tilt = -label.tilt;
    return label;
}

void PlateMarkerCurve::shareRoomWith(const NamedPointsCurve* names, const SlopeMarkerCurve* slopes)
{
    sharedNames = names;
    sharedSlopes = slopes;
}

MarkerTexts PlateMarkerCurve::texts(const QwtScaleMap& xMap, const QwtScaleMap& yMap, const QRectF& canvas,
                                    const QFontMetricsF& metrics) const
{
    return Internal::layoutMarkerTexts(sharedNames ? sharedNames->points() : QVector<NamedPoint>(), records(),
                                       sharedSlopes ? sharedSlopes->markers() : QVector<SlopeMarker>(), xMap,
                                       yMap, canvas, metrics,
                                       sharedNames ? sharedNames->line() : QVector<QPointF>());
}

void PlateMarkerCurve::drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                                  const QRectF& canvasRect, int, int) const
{
    if (!painter || records().isEmpty())
        return;
    const MarkerTexts placed = texts(xMap, yMap, canvasRect, QFontMetricsF(painter->font()));
    for (int i = 0; i < records().size(); ++i) {
        const PlateMarker& marker = records().at(i);
        if (!Internal::isFinite(marker.position.x(), marker.position.y()))
            continue;
        const MarkerLabel grade = label(marker);
        const int px = Internal::toPixel(xMap, marker.position.y());
        const int py = Internal::toPixel(yMap, marker.position.x());
        const int w = Internal::labelSpan(xMap, px, marker.position.y() + marker.length);

        beginMarker(painter, px, py, grade.tilt);
        const MarkerText& length = placed.lengths.at(i);
        if (length.shown)
            painter->drawText(length.rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
                              lengthText(marker));
        if (!grade.text.isEmpty()) {
            const MarkerText& text = placed.grades.at(i);
            if (text.shown)
                painter->drawText(text.rect, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextDontClip,
                                  grade.text);
            drawArrow(painter, w, grade.falling);
        }
        painter->restore();
    }
}

MarkerLabel SlopeMarkerCurve::label(const SlopeMarker& marker)
{
    MarkerLabel label;
    if (!(std::abs(marker.ratio) >= minimumGrade)) {
        label.visible = false;
        return label;
    }
    label.text = QStringLiteral("h=%1\n1:%2")
                     .arg(std::abs(marker.width / marker.ratio), 0, 'f', 2)
                     .arg(ratioText(std::abs(marker.ratio)));
    label.tilt = tiltOf(1.0 / marker.ratio);
    if (marker.reversed)
        label.tilt = -label.tilt;
    if (marker.side < 0)
        label.tilt = -label.tilt;
    label.falling = label.tilt < 0.0;
    return label;
}

void SlopeMarkerCurve::shareRoomWith(const NamedPointsCurve* names, const PlateMarkerCurve* plates)
{
    sharedNames = names;
    sharedPlates = plates;
}

MarkerTexts SlopeMarkerCurve::texts(const QwtScaleMap& xMap, const QwtScaleMap& yMap, const QRectF& canvas,
                                    const QFontMetricsF& metrics) const
{
    return Internal::layoutMarkerTexts(sharedNames ? sharedNames->points() : QVector<NamedPoint>(),
                                       sharedPlates ? sharedPlates->markers() : QVector<PlateMarker>(),
                                       records(), xMap, yMap, canvas, metrics,
                                       sharedNames ? sharedNames->line() : QVector<QPointF>());
}

void SlopeMarkerCurve::drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                                  const QRectF& canvasRect, int, int) const
{
    if (!painter || records().isEmpty())
        return;
    const MarkerTexts placed = texts(xMap, yMap, canvasRect, QFontMetricsF(painter->font()));
    for (int i = 0; i < records().size(); ++i) {
        const SlopeMarker& marker = records().at(i);
        const MarkerLabel slope = label(marker);
        if (!slope.visible || !Internal::isFinite(marker.position.x(), marker.position.y()))
            continue;
        const int px = Internal::toPixel(xMap, marker.position.y());
        const int py = Internal::toPixel(yMap, marker.position.x());
        const int w = Internal::labelSpan(xMap, px, marker.position.y() + marker.width);

        beginMarker(painter, px, py, slope.tilt);
        const MarkerText& text = placed.slopes.at(i);
        if (text.shown)
            painter->drawText(text.rect, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextDontClip, slope.text);
        drawArrow(painter, w, slope.falling);
        painter->restore();
    }
}

QVector<PlotLabel> SlopeMarkerCurve::fitLabels(const QFontMetricsF& metrics) const
{
    QVector<PlotLabel> labels;
    for (const SlopeMarker& marker : records()) {
        const MarkerLabel slope = label(marker);
        if (!slope.visible || !Internal::isFinite(marker.position.x(), marker.position.y()))
            continue;
        double width = 0.0;
        for (const QString& line : slope.text.split(QLatin1Char('\n')))
            width = std::max(width, metrics.horizontalAdvance(line));
        const double halfSpan = 0.4 * std::abs(finiteOrZero(marker.width));
        addTiltedTexts(labels, QPointF(marker.position.y(), marker.position.x()), halfSpan,
                       halfSpan * std::tan(qDegreesToRadians(std::abs(slope.tilt))), slope.tilt,
                       8.0 + 2.0 * metrics.lineSpacing(), 0.0, width);
    }
    return labels;
}

QPoint StructuralObjectCurve::skewOffsets(const StructureMark& mark, int l, int r)
{
    const double skew = skewInHalfTurn(mark);
    if (!mark.skewed || skew < 0.1)
        return QPoint();
    const double t = std::tan(qDegreesToRadians(skew));
    return QPoint(truncated(l / t), truncated(r / t));
}

void StructuralObjectCurve::drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                                       const QRectF&, int, int) const
{
    if (!painter || records().isEmpty())
        return;
    for (const StructureMark& mark : records()) {
        if (!Internal::isFinite(mark.x, mark.y))
            continue;
        const int px = Internal::toPixel(xMap, mark.y);
        const int py = Internal::toPixel(yMap, mark.x);
        const int l = std::abs(px - Internal::toPixel(xMap, mark.y - mark.left));
        const int r = std::abs(px - Internal::toPixel(xMap, mark.y + mark.right));
        const int t = std::abs(py - Internal::toPixel(yMap, mark.x + mark.top));
        const int b = std::abs(py - Internal::toPixel(yMap, mark.x - mark.bottom));

        painter->save();
        painter->translate(px, py);
        painter->setPen(Qt::green);
        painter->setBrush(Qt::NoBrush);
        painter->rotate(finiteOrZero(mark.angle));
        painter->drawPath(mark.path);

        const double skew = skewInHalfTurn(mark);
        const QPoint ends = skewOffsets(mark, l, r);
        const int dl = ends.x();
        const int dr = ends.y();

        QPen pen = painter->pen();
        pen.setWidth(3);
        painter->setPen(pen);
        painter->rotate(skew);
        painter->setRenderHint(QPainter::Antialiasing, true);
        const QPoint outline[]
            = { QPoint(-l, -(dl + t)), QPoint(r, dr - t), QPoint(r, dr + b), QPoint(-l, b - dl) };
        painter->drawPolygon(outline, 4);

        pen.setWidth(1);
        pen.setColor(Qt::gray);
        pen.setStyle(Qt::DashLine);
        painter->setPen(pen);
        const int e = std::max(int((l + r) * 0.1), int((b + t) * 0.1));
        painter->drawLine(0, -(t + e), 0, b + e);
        painter->drawLine(-(l + e), 0, r + e, 0);
        painter->restore();
    }
}

} // namespace Data
} // namespace Trelvin
} // namespace Zemko
