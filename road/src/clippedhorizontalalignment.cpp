#include <road/clippedhorizontalalignment.h>

#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelementconfiguration.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/internal/elementsampler.h>
#include <road/internal/linesegmentclipper.h>
#include <road/roadsurface.h>
#include <road/standardsection.h>
#include <road/wideningpoint.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace Pelko {
namespace Road {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTwoPi = 6.283185307179586;
constexpr unsigned kNone = static_cast<unsigned>(-1);
// More points than any screen can show; a density this fine is a caller error, not a drawing.
constexpr double kMaxCurvePoints = 1e6;
// Elements whose end and begin lie closer than this join up; only farther apart does the plan jump.
constexpr double kJoinTolerance = 1e-6;

double normalized(double a)
{
    a = std::fmod(a, kTwoPi);
    return a < 0.0 ? a + kTwoPi : a;
}

double curvature(double radius)
{
    return std::isinf(radius) ? 0.0 : 1.0 / radius;
}

int kindCode(HorizontalElementType type)
{
    switch (type) {
    case LineElementType:
        return 1;
    case SpiralElementType:
        return 2;
    case ArcElementType:
        return 4;
    default:
        return 0;
    }
}

// Angle turned from `from` to `to` in the element's turning direction, in [0, 2π).
double turned(double from, double to, TurnDirection direction)
{
    return normalized(direction == TurnRight ? to - from : from - to);
}

struct SpiralShape
{
    double k1;
    double k2;
    double a2; // A²
    double l0; // from the clothoid's point of zero curvature to the spiral's flatter end
};

bool spiralShape(const HorizontalElement& e, SpiralShape& shape)
{
    shape.k1 = curvature(e.getBeginRadius());
    shape.k2 = curvature(e.getEndRadius());
    const double dk = std::fabs(shape.k2 - shape.k1);
    if (!(dk > 0.0) || !std::isfinite(dk))
        return false;
    shape.a2 = e.getLength() / dk;
    shape.l0 = std::min(shape.k1, shape.k2) * shape.a2;
    return std::isfinite(shape.a2) && std::isfinite(shape.l0);
}

// Distance from the begin of a spiral or an arc at which its tangent has azimuth a.
bool distanceAtAzimuth(const HorizontalElement& e, double a, double& distance)
{
    const double b = normalized(e.getBeginAzimuth().toRadian());
    const double end = normalized(e.getEndAzimuth().toRadian());
    const TurnDirection dir = e.getRurnDirection();
    if (e.getType() == ArcElementType) {
        distance = e.getBeginRadius() * turned(b, a, dir);
        return std::isfinite(distance);
    }
    SpiralShape shape;
    if (!spiralShape(e, shape))
        return false;
    const double delta = shape.k1 <= shape.k2 ? turned(b, a, dir) : turned(a, end, dir);
    const double l = std::sqrt(shape.l0 * shape.l0 + 2.0 * shape.a2 * delta) - shape.l0;
    distance = shape.k1 <= shape.k2 ? l : e.getLength() - l;
    return std::isfinite(distance);
}

Corvex::Envelope elementEnvelope(const HorizontalElement& e)
{
    Corvex::Envelope box;
    box.expandToInclude(e.getBeginPoint());
    box.expandToInclude(e.getEndPoint());
    const HorizontalElementType type = e.getType();
    if (type != SpiralElementType && type != ArcElementType)
        return box;
    const double b = normalized(e.getBeginAzimuth().toRadian());
    const double end = normalized(e.getEndAzimuth().toRadian());
    const bool right = e.getRurnDirection() == TurnRight;
    const bool crossesNorth = right ? b > end : b < end;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const double a = quarter * kTwoPi / 4.0;
        const double product = (a - end) * (a - b);
        if (crossesNorth ? product < 0.0 : product > 0.0)
            continue;
        double distance = 0.0;
        if (!distanceAtAzimuth(e, a, distance))
            continue;
        const Corvex::Point p = e.getNorthEast(distance);
        if (p.isValid())
            box.expandToInclude(p);
    }
    return box;
}

// Equal turning steps, sized for the sharpest radius, leave chords near a spiral's flat end far longer
// than the curvature there allows: zoomed in, the drawn line would stray from the road by pixels.
// Splits every chord whose sagitta (length² · largest curvature / 8) would exceed s.
bool refineSpiral(const HorizontalElement& e, const SpiralShape& shape, double s,
                  std::vector<double>& distances)
{
    const double length = e.getLength();
    std::vector<double> refined;
    refined.reserve(distances.size());
    double from = 0.0;
    auto split = [&](double to) {
        const double k = std::max(shape.k1 + (shape.k2 - shape.k1) * from / length,
                                  shape.k1 + (shape.k2 - shape.k1) * to / length);
        const double pieces = std::ceil((to - from) * std::sqrt(k / (8.0 * s)));
        if (!std::isfinite(pieces) || refined.size() + pieces > kMaxCurvePoints)
            return false;
        for (double i = 1.0; i < pieces; ++i)
            refined.push_back(from + (to - from) * i / pieces);
        if (to < length)
            refined.push_back(to);
        from = to;
        return true;
    };
    for (double d : distances)
        if (!split(d))
            return false;
    if (!split(length))
        return false;
    distances.swap(refined);
    return true;
}

// Whether any of the element can lie in the window. A curve of length L never strays further than
// L / 2 from the middle of its chord, so that square rules out most elements of a long road before
// their exact box, which needs points along spirals and arcs, is computed.
bool drawnInWindow(const HorizontalElement& e, const internal::LineSegmentClipper& clipper)
{
    const Corvex::Point a = e.getBeginPoint();
    const Corvex::Point b = e.getEndPoint();
    const double reach = e.getLength() / 2.0;
    if (a.isValid() && b.isValid() && std::isfinite(reach) && reach >= 0.0) {
        const double x = (a.getX() + b.getX()) / 2.0;
        const double y = (a.getY() + b.getY()) / 2.0;
        if (!clipper.intersects(x - reach, y - reach, x + reach, y + reach))
            return false;
    }
    const Corvex::Envelope box = elementEnvelope(e);
    return clipper.intersects(box.getMinX(), box.getMinY(), box.getMaxX(), box.getMaxY());
}

// Distances from the begin of a spiral or an arc at which the chords stay within s of the curve.
bool curveDistances(const HorizontalElement& e, double s, std::vector<double>& distances)
{
    const bool arc = e.getType() == ArcElementType;
    double radius = e.getBeginRadius();
    SpiralShape shape { 0.0, 0.0, 0.0, 0.0 };
    bool shaped = false;
    if (!arc) {
        const double kmax = std::max(curvature(e.getBeginRadius()), curvature(e.getEndRadius()));
        if (!(kmax >= 1e-7) || kmax > 0.1)
            return false;
        radius = 1.0 / kmax;
        shaped = spiralShape(e, shape);
    }
    double delta = e.getEndAzimuth().toRadian() - e.getBeginAzimuth().toRadian();
    if (!(std::fabs(delta) >= 1e-10) || !std::isfinite(delta) || !std::isfinite(radius))
        return false;
    delta *= e.getRurnDirection() == TurnRight ? 1.0 : -1.0;
    delta = normalized(delta);
    if (2.0 * s >= radius || std::fabs(2.0 * s - radius) < 0.001)
        return !shaped || refineSpiral(e, shape, s, distances);
    const double theta = std::acos(1.0 - 2.0 * s / radius);
    if (!(theta >= 1e-10))
        return false;
    double n = std::trunc(delta / theta);
    if (n > kMaxCurvePoints)
        return false;
    if (delta - n * theta < 0.1 * theta)
        n -= 1.0;
    const int count = static_cast<int>(n);
    for (int i = 1; i <= count; ++i) {
        if (shaped)
            distances.push_back(std::sqrt(i * 2.0 * shape.a2 * theta + shape.l0 * shape.l0) - shape.l0);
        else
            distances.push_back(radius * i * theta);
    }
    if (shaped && shape.k1 > shape.k2) {
        for (double& d : distances)
            d = e.getLength() - d;
        std::reverse(distances.begin(), distances.end());
    }
    return !shaped || refineSpiral(e, shape, s, distances);
}

void densify(const HorizontalElement& e, double s, std::vector<Corvex::Point>& points,
             std::vector<double>& stations)
{
    const double begin = e.getBeginStation();
    const double end = e.getEndStation();
    if (e.getLength() <= 2.0 * s) {
        points.push_back(Corvex::Point::midPoint(e.getBeginPoint(), e.getEndPoint()));
        stations.push_back((begin + end) / 2.0);
        return;
    }
    switch (e.getType()) {
    case StartElementType:
        points.push_back(e.getBeginPoint());
        stations.push_back(begin);
        return;
    case LineElementType:
        break;
    case SpiralElementType:
    case ArcElementType: {
        std::vector<double> distances;
        if (!curveDistances(e, s, distances)) {
            points.push_back(Corvex::Point(kNaN, kNaN));
            stations.push_back(kNaN);
            return;
        }
        points.push_back(e.getBeginPoint());
        stations.push_back(begin);
        const internal::ElementSampler sampler(e);
        for (double d : distances) {
            points.push_back(sampler.at(d, 0.0));
            stations.push_back(begin + d);
        }
        points.push_back(e.getEndPoint());
        stations.push_back(end);
        return;
    }
    default:
        return;
    }
    points.push_back(e.getBeginPoint());
    stations.push_back(begin);
    points.push_back(e.getEndPoint());
    stations.push_back(end);
}

// The widening segments of a side cut at each other's ends, so that no two pieces overlap; where
// segments overlap, the piece takes the values of the one that begins later.
std::vector<WideningSegment> wideningPieces(const CrossSectionConfiguration& side)
{
    std::vector<WideningSegment> segments;
    for (unsigned i = 0; i < side.size(); ++i) {
        for (const WideningSegment& w : side.elementConfigurationAt(i).getWideningSegments()) {
            if (std::isfinite(w.beginStation) && std::isfinite(w.endStation) && w.beginStation < w.endStation)
                segments.push_back(w);
        }
    }
    std::stable_sort(
        segments.begin(), segments.end(),
        [](const WideningSegment& a, const WideningSegment& b) { return a.beginStation < b.beginStation; });
    std::vector<double> cuts;
    for (const WideningSegment& w : segments) {
        cuts.push_back(w.beginStation);
        cuts.push_back(w.endStation);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::vector<WideningSegment> pieces;
    for (std::size_t j = 0; j + 1 < cuts.size(); ++j) {
        const double a = cuts[j];
        const double b = cuts[j + 1];
        const WideningSegment* owner = nullptr;
        for (const WideningSegment& w : segments) {
            if (w.beginStation <= a && w.endStation >= b)
                owner = &w;
        }
        if (owner)
            pieces.push_back(WideningSegment(a, b, owner->widthChange, owner->method));
    }
    return pieces;
}

std::vector<double> borderStations(const CrossSectionConfiguration& side, const std::vector<double>& stations,
                                   double s, int mode)
{
    std::vector<WideningSegment> pieces = wideningPieces(side);
    const double first = stations.front();
    const double last = stations.back();
    pieces.erase(std::remove_if(
                     pieces.begin(), pieces.end(),
                     [&](const WideningSegment& w) { return w.endStation < first || w.beginStation > last; }),
                 pieces.end());
    if (pieces.empty())
        return stations;
    pieces.front().beginStation = std::max(pieces.front().beginStation, first);
    pieces.back().endStation = std::min(pieces.back().endStation, last);

    std::vector<double> result;
    if (mode == 0) {
        const double spacing = 15.0 * s;
        std::vector<double> merged = stations;
        for (const WideningSegment& w : pieces) {
            if (w.method == WideningLinear)
                continue;
            const double n = std::max(1.0, std::min(std::trunc(w.widthChange / spacing), kMaxCurvePoints));
            const double step = (w.endStation - w.beginStation) / n;
            // Counted, not accumulated: on a piece a few ulps long the step vanishes against the station.
            for (double i = 1.0; i < n; ++i) {
                const double t = w.beginStation + i * step;
                if (!(t < w.endStation))
                    break;
                merged.push_back(t);
            }
        }
        std::sort(merged.begin(), merged.end());
        for (double t : merged) {
            if (result.empty() || !(t - result.back() < spacing))
                result.push_back(t);
        }
        for (const WideningSegment& w : pieces) {
            result.push_back(w.beginStation);
            result.push_back(w.endStation);
        }
    } else {
        result = stations;
        for (const WideningSegment& w : pieces) {
            result.push_back(w.beginStation);
            if (w.method != WideningLinear) {
                for (std::size_t i = 0; i + 1 < stations.size(); ++i) {
                    const double a = stations[i];
                    const double b = stations[i + 1];
                    if (a > w.beginStation && b > w.beginStation && a <= w.endStation && b <= w.endStation) {
                        result.push_back(a + (b - a) / 3.0);
                        result.push_back(a + 2.0 * (b - a) / 3.0);
                    }
                }
            }
            result.push_back(w.endStation);
        }
    }
    std::sort(result.begin(), result.end());
    return result;
}

// Cuts a polyline to the window. A segment that leaves the window and comes back is broken by a
// (NaN, NaN) point rather than joined across the outside; segments wholly outside are dropped. The
// envelope is that of every drawable segment before cutting.
Corvex::Envelope clipInPlace(std::vector<Corvex::Point>& line, const internal::LineSegmentClipper& clipper)
{
    Corvex::Envelope box;
    if (line.size() < 2)
        return box;
    const Corvex::Point gap(kNaN, kNaN);
    std::vector<Corvex::Point> out;
    bool drawn = false;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const Corvex::Point& p = line[i];
        const Corvex::Point& q = line[i + 1];
        if (!p.isValid() || !q.isValid()) {
            if (!out.empty() && out.back().isValid())
                out.push_back(gap);
            continue;
        }
        drawn = true;
        box.expandToInclude(p);
        box.expandToInclude(q);
        double x1 = p.getX(), y1 = p.getY(), x2 = q.getX(), y2 = q.getY();
        if (!clipper.clip(x1, y1, x2, y2)) {
            if (!out.empty() && out.back().isValid())
                out.push_back(gap);
            continue;
        }
        const Corvex::Point a(x1, y1);
        if (out.empty() || !out.back().isValid()
            || !(out.back().getX() == a.getX() && out.back().getY() == a.getY())) {
            if (!out.empty() && out.back().isValid())
                out.push_back(gap);
            out.push_back(a);
        }
        out.push_back(Corvex::Point(x2, y2));
    }
    while (!out.empty() && !out.back().isValid())
        out.pop_back();
    line.swap(out);
    return drawn ? box : Corvex::Envelope();
}

} // namespace

struct ClippedHorizontalAlignment::Data
{
    std::vector<PrimaryPoint> primaryPoints;
    std::vector<Corvex::Point> centerLinePoints;
    std::vector<Corvex::Point> leftBorder;
    std::vector<Corvex::Point> rightBorder;
    Corvex::Envelope envelope;
};

ClippedHorizontalAlignment::ClippedHorizontalAlignment()
    : d(std::make_shared<Data>())
{
}

ClippedHorizontalAlignment::~ClippedHorizontalAlignment() = default;

ClippedHorizontalAlignment ClippedHorizontalAlignment::clone() const
{
    ClippedHorizontalAlignment copy;
    if (d)
        *copy.d = *d;
    return copy;
}

std::vector<Corvex::Point> ClippedHorizontalAlignment::getCenterLinePoints() const
{
    return d->centerLinePoints;
}

std::vector<Corvex::Point> ClippedHorizontalAlignment::getLeftBorder() const
{
    return d->leftBorder;
}

std::vector<Corvex::Point> ClippedHorizontalAlignment::getRightBorder() const
{
    return d->rightBorder;
}

std::vector<ClippedHorizontalAlignment::PrimaryPoint> ClippedHorizontalAlignment::getPrimaryPoints() const
{
    return d->primaryPoints;
}

Corvex::Envelope ClippedHorizontalAlignment::getEnvelope() const
{
    return d->envelope;
}

void ClippedHorizontalAlignment::fromHorizontalAlignment(const RoadSurface& road, double s,
                                                         AlignmentLineType type,
                                                         const internal::LineSegmentClipper& clipper,
                                                         int mode)
{
    *d = Data();
    // Without a positive density no curve can be drawn.
    if (!road || !(s > 0.0) || !std::isfinite(s))
        return;
    const HorizontalAlignment* alignment = road.getHorizontalAligment();
    const HorizontalElementConfiguration elements = alignment->getElements();

    // Elements that miss the window split the drawn line into runs: a straight join across the
    // skipped stretch would cut through the view where the road is not.
    std::vector<std::vector<double>> runs(1);
    bool skipped = false;
    HorizontalElement previous;
    for (unsigned i = 0; i < elements.size(); ++i) {
        const HorizontalElement e = elements.at(i);
        if (drawnInWindow(e, clipper)) {
            if (skipped && !d->centerLinePoints.empty()) {
                d->centerLinePoints.push_back(Corvex::Point(kNaN, kNaN));
                runs.emplace_back();
            }
            densify(e, s, d->centerLinePoints, runs.back());
            skipped = false;
        } else {
            skipped = true;
        }
        const HorizontalElementType kind = e.getType();
        if (kind == StartElementType)
            continue;
        if (kind == ArcElementType)
            d->primaryPoints.emplace_back(e.getNorthEast(e.getLength() / 2.0), ArcMiddlePoint);
        int code = AlignmentBeginPoint;
        if (previous.isValid()) {
            const int before = kindCode(previous.getType());
            const int after = kindCode(kind);
            code = before && after ? before * 16 + after : UnknownPoint;
        }
        d->primaryPoints.emplace_back(e.getBeginPoint(), code);
        previous = e;
    }
    if (previous.isValid())
        d->primaryPoints.emplace_back(previous.getEndPoint(), AlignmentEndPoint);

    // A curve that could not be drawn leaves a NaN station, which has no place on the border.
    std::size_t stationCount = 0;
    for (std::vector<double>& run : runs) {
        run.erase(std::remove_if(run.begin(), run.end(), [](double t) { return !std::isfinite(t); }),
                  run.end());
        stationCount += run.size();
    }
    const bool borders = stationCount > 1;
    if (borders) {
        const StandardSection* section = road.getStandardSection();
        for (StandardSection::SectionSide side : { StandardSection::Left, StandardSection::Right }) {
            const bool wanted
                = side == StandardSection::Left ? (type & LeftBorderLine) : (type & RightBorderLine);
            if (!wanted)
                continue;
            std::vector<Corvex::Point>& border
                = side == StandardSection::Left ? d->leftBorder : d->rightBorder;
            const CrossSectionConfiguration widths = section->getCrossSectionConfiguration(side);
            // Offsets are positive to the right, so the left edge lies at minus the left width.
            const double sign = side == StandardSection::Left ? -1.0 : 1.0;
            unsigned hint = kNone;
            std::unique_ptr<internal::ElementSampler> sampler;
            // An element that does not begin where the one before it ends (a fixed begin point) makes
            // the centre line jump there; the border jumps with it rather than cutting across to the
            // next sample.
            const auto addJumps = [&](unsigned from, unsigned to) {
                for (unsigned j = from; j < to; ++j) {
                    const HorizontalElement before = elements.at(j);
                    const HorizontalElement after = elements.at(j + 1);
                    const Corvex::Point end = before.getEndPoint();
                    const Corvex::Point begin = after.getBeginPoint();
                    if (!end.isValid() || !begin.isValid()
                        || std::hypot(begin.getX() - end.getX(), begin.getY() - end.getY()) < kJoinTolerance)
                        continue;
                    const double endStation = before.getEndStation();
                    const double beginStation = after.getBeginStation();
                    border.push_back(internal::ElementSampler(before).at(
                        before.getLength(), sign * section->getTotalOffset(side, endStation)));
                    border.push_back(internal::ElementSampler(after).at(
                        0.0, sign * section->getTotalOffset(side, beginStation)));
                }
            };
            for (const std::vector<double>& run : runs) {
                if (run.size() < 2)
                    continue;
                if (!border.empty())
                    border.push_back(Corvex::Point(kNaN, kNaN));
                unsigned previous = kNone;
                for (double t : borderStations(widths, run, s, mode)) {
                    const unsigned index = alignment->getBelongedElementIndex(t, hint == kNone ? 0 : hint);
                    if (index == kNone)
                        continue;
                    if (previous != kNone)
                        addJumps(previous, index);
                    previous = index;
                    if (index != hint || !sampler) {
                        sampler = std::make_unique<internal::ElementSampler>(elements.at(index));
                        hint = index;
                    }
                    border.push_back(
                        sampler->at(t - sampler->beginStation(), sign * section->getTotalOffset(side, t)));
                }
            }
        }
    }

    Corvex::Envelope box = clipInPlace(d->centerLinePoints, clipper);
    if (borders) {
        box.expandToInclude(clipInPlace(d->leftBorder, clipper));
        box.expandToInclude(clipInPlace(d->rightBorder, clipper));
    }
    d->envelope = box;
}

} // namespace Road
} // namespace Pelko
