#include <road/horizontalelement.h>

#include <road/curveelement.h>

#include "elementgeometry.h"
#include "planindex.h"

#include <cmath>
#include <limits>
#include <optional>

namespace Pelko {
namespace Road {

namespace {
const double kInfinity = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kMinRadius = 0.001;
const double kMinRadiusDifference = 0.001;
// Below this a stored curvature counts as a straight end.
const double kMinStoredCurvature = 1e-8;
// How far the answer of a station/offset projection may lead from the point it was asked for.
const double kProjectionCheck = 0.001;
// A spiral series within this of the curve at every sample cannot miss the check between them.
const double kSeriesTrusted = 1e-4;
const int kSeriesSamples = 16;

enum ModeFlag : int {
    BeginAzimuthFixed = 1,
    BeginPointFixed = 2,
    ModeMask = BeginAzimuthFixed | BeginPointFixed,
};

// Element codes of the road file: arc and spiral are numbered the other way round than in memory.
enum class StoredElementType : int {
    Start = 0,
    Line = 1,
    Arc = 2,
    Spiral = 3,
};

// The stored turn flag "pz".
enum class StoredTurnFlag : int {
    Left = 0,
    Right = 1,
    Missing = -1,
};

bool toMemoryType(int stored, HorizontalElementType& type)
{
    switch (static_cast<StoredElementType>(stored)) {
    case StoredElementType::Start:
        type = StartElementType;
        return true;
    case StoredElementType::Line:
        type = LineElementType;
        return true;
    case StoredElementType::Arc:
        type = ArcElementType;
        return true;
    case StoredElementType::Spiral:
        type = SpiralElementType;
        return true;
    }
    return false;
}

bool toStoredType(HorizontalElementType type, StoredElementType& stored)
{
    switch (type) {
    case StartElementType:
        stored = StoredElementType::Start;
        return true;
    case LineElementType:
        stored = StoredElementType::Line;
        return true;
    case ArcElementType:
        stored = StoredElementType::Arc;
        return true;
    case SpiralElementType:
        stored = StoredElementType::Spiral;
        return true;
    case NullElementType:
        break;
    }
    return false;
}

double curvatureOf(double radius)
{
    return std::isinf(radius) ? 0.0 : 1.0 / radius;
}
} // namespace

class HorizontalElement::HorizontalElementPrivate
{
public:
    int type = NullElementType;
    int turnDirection = TurnRight;
    double length = 0.0;
    double beginStation = 0.0;
    double endStation = 0.0;
    Corvex::Point beginPoint;
    Corvex::Point endPoint;
    Corvex::Angle beginAzimuth;
    Corvex::Angle endAzimuth;
    double beginRadius = kInfinity;
    double endRadius = kInfinity;
    int mode = 0;
    // Held in place: every element builds one when the chain is laid, and a heap block each would be
    // allocated and freed with every road.
    std::optional<CurveElement> curve;
    // Built with the curve and dropped with it when the begin geometry changes.
    std::shared_ptr<const internal::ElementGeometry> projector;
    // A spiral whose series may stray from the curve by more than the projection check allows.
    bool checkedProjection = false;

    const CurveElement& getCurve()
    {
        if (!curve) {
            const double sign = turnDirection == TurnLeft ? -1.0 : 1.0;
            curve.emplace(length, sign * curvatureOf(beginRadius), sign * curvatureOf(endRadius), beginPoint,
                          beginAzimuth.toRadian());
        }
        return *curve;
    }

    const internal::ElementGeometry& geometry()
    {
        if (!projector) {
            auto built = std::make_shared<internal::ElementGeometry>(
                static_cast<HorizontalElementType>(type), beginPoint, beginAzimuth.toRadian(), beginRadius,
                endRadius, length, static_cast<TurnDirection>(turnDirection));
            // The series of a spiral that turns far loses accuracy towards its end; only where it keeps
            // well inside the check along the whole element can the check be left out.
            checkedProjection = false;
            if (type == SpiralElementType) {
                const CurveElement& exact = getCurve();
                for (int k = 1; k <= kSeriesSamples && !checkedProjection; ++k) {
                    const double s = length * k / kSeriesSamples;
                    const internal::ElementGeometry::Location series = built->locate(s);
                    const Corvex::Point point = exact.getCoordinateByArcLength(s);
                    checkedProjection
                        = !(std::hypot(series.x - point.getX(), series.y - point.getY()) <= kSeriesTrusted);
                }
            }
            projector = built;
        }
        return *projector;
    }

    void dropCurve()
    {
        curve.reset();
        projector.reset();
    }
};

namespace {
// Checks and fields common to the three factories; null when the common arguments are unusable.
std::shared_ptr<HorizontalElement::HorizontalElementPrivate>
makeElement(HorizontalElementType type, const Corvex::Angle& beginAzimuth, double length,
            const Corvex::Point& beginPoint, double beginStation)
{
    if (!std::isfinite(length) || length < 0.0)
        return nullptr;
    if (std::isinf(beginAzimuth.toRadian()) || std::isinf(beginStation))
        return nullptr;
    auto d = std::make_shared<HorizontalElement::HorizontalElementPrivate>();
    d->type = type;
    d->length = length;
    if (beginPoint.isValid()) {
        d->beginPoint = beginPoint;
        d->mode |= BeginPointFixed;
    }
    if (beginAzimuth.isValid()) {
        d->beginAzimuth = beginAzimuth;
        d->mode |= BeginAzimuthFixed;
    }
    if (!std::isnan(beginStation))
        d->beginStation = beginStation;
    d->endStation = d->beginStation + length;
    return d;
}
} // namespace

HorizontalElement::HorizontalElement()
    : d(std::make_shared<HorizontalElementPrivate>())
{
}

HorizontalElement::HorizontalElement(std::shared_ptr<HorizontalElementPrivate> data)
    : d(std::move(data))
{
    if (!d)
        d = std::make_shared<HorizontalElementPrivate>();
}

HorizontalElement::~HorizontalElement() = default;

HorizontalElement HorizontalElement::clone() const
{
    auto copy = std::make_shared<HorizontalElementPrivate>(*d);
    copy->dropCurve();
    return HorizontalElement(copy);
}

HorizontalElement HorizontalElement::createLine(const Corvex::Angle& beginAzimuth, double length,
                                                const Corvex::Point& beginPoint, double beginStation)
{
    return HorizontalElement(makeElement(LineElementType, beginAzimuth, length, beginPoint, beginStation));
}

HorizontalElement HorizontalElement::createArc(const Corvex::Angle& beginAzimuth, double length,
                                               double radius, const Corvex::Point& beginPoint,
                                               double beginStation)
{
    if (!std::isfinite(radius) || std::fabs(radius) < kMinRadius)
        return HorizontalElement();
    auto data = makeElement(ArcElementType, beginAzimuth, length, beginPoint, beginStation);
    if (data) {
        data->beginRadius = data->endRadius = std::fabs(radius);
        data->turnDirection = radius < 0.0 ? TurnLeft : TurnRight;
    }
    return HorizontalElement(data);
}

HorizontalElement HorizontalElement::createSpiral(const Corvex::Angle& beginAzimuth, double length,
                                                  double beginRadius, double endRadius,
                                                  const Corvex::Point& beginPoint, double beginStation)
{
    if (std::isnan(beginRadius) || std::isnan(endRadius))
        return HorizontalElement();
    if (std::fabs(beginRadius) < kMinRadius || std::fabs(endRadius) < kMinRadius)
        return HorizontalElement();
    const bool beginFinite = std::isfinite(beginRadius);
    const bool endFinite = std::isfinite(endRadius);
    if (beginFinite && endFinite && (beginRadius < 0.0) != (endRadius < 0.0))
        return HorizontalElement();
    // Two straight ends make no spiral (and inf - inf would slip past the difference check).
    if (!beginFinite && !endFinite)
        return HorizontalElement();
    if (std::fabs(beginRadius - endRadius) < kMinRadiusDifference)
        return HorizontalElement();
    auto data = makeElement(SpiralElementType, beginAzimuth, length, beginPoint, beginStation);
    if (data) {
        data->beginRadius = std::fabs(beginRadius);
        data->endRadius = std::fabs(endRadius);
        // The sign of a straight end carries no direction: the finite radius decides.
        const bool left = (beginFinite && beginRadius < 0.0) || (endFinite && endRadius < 0.0);
        data->turnDirection = left ? TurnLeft : TurnRight;
    }
    return HorizontalElement(data);
}

HorizontalElementType HorizontalElement::getType() const
{
    return static_cast<HorizontalElementType>(d->type);
}

TurnDirection HorizontalElement::getRurnDirection() const
{
    return static_cast<TurnDirection>(d->turnDirection);
}

double HorizontalElement::getLength() const
{
    return d->length;
}
double HorizontalElement::getBeginStation() const
{
    return d->beginStation;
}
double HorizontalElement::getEndStation() const
{
    return d->endStation;
}
double HorizontalElement::getMiddleStation() const
{
    return (d->beginStation + d->endStation) / 2.0;
}
double HorizontalElement::getBeginRadius() const
{
    return d->beginRadius;
}
double HorizontalElement::getEndRadius() const
{
    return d->endRadius;
}
Corvex::Point HorizontalElement::getBeginPoint() const
{
    return d->beginPoint;
}
Corvex::Point HorizontalElement::getEndPoint() const
{
    return d->endPoint;
}
Corvex::Angle HorizontalElement::getBeginAzimuth() const
{
    return d->beginAzimuth;
}
Corvex::Angle HorizontalElement::getEndAzimuth() const
{
    return d->endAzimuth;
}
bool HorizontalElement::isBeginPointFixed() const
{
    return (d->mode & BeginPointFixed) != 0;
}
bool HorizontalElement::isBeginAzimuthFixed() const
{
    return (d->mode & BeginAzimuthFixed) != 0;
}
bool HorizontalElement::setBeginFixed(bool azimuth, bool point)
{
    if (!isValid())
        return false;
    d->mode &= (azimuth ? BeginAzimuthFixed : 0) | (point ? BeginPointFixed : 0);
    return true;
}
bool HorizontalElement::isValid() const
{
    return d->type != NullElementType;
}

bool HorizontalElement::contains(double station, double tolerance) const
{
    const double t = std::fabs(tolerance);
    return (station > d->beginStation || std::fabs(station - d->beginStation) < t)
        && (station < d->endStation || std::fabs(station - d->endStation) < t);
}

Corvex::Point HorizontalElement::getNorthEast(double s, double offset) const
{
    if (!isValid())
        return Corvex::Point::invalid();
    return d->getCurve().getCoordinate(s, offset);
}

Corvex::Angle HorizontalElement::getAzimuth(double s) const
{
    if (!isValid())
        return Corvex::Angle(kNaN);
    return Corvex::Angle(d->getCurve().getAzimuthByArcLenth(s));
}

bool HorizontalElement::getStationOffset(const Corvex::Point& p, double& station, double& offset) const
{
    if (!isValid()) {
        station = offset = kNaN;
        return false;
    }
    const internal::ElementGeometry::Projection projection = d->geometry().project(p);
    double distance = projection.distance;
    offset = projection.offset;
    // The series behind the projection has a fixed number of terms, too few for a spiral that turns
    // through a large angle. When its answer does not lead back to the point within a millimetre, the
    // curve's own iterative projection answers instead, if it does better.
    if (d->checkedProjection) {
        const CurveElement& curve = d->getCurve();
        const double miss = p.distance(curve.getCoordinate(distance, offset));
        if (!(miss <= kProjectionCheck)) {
            const StationOffset fallback = curve.getStationOffset(p);
            const double fallbackMiss = p.distance(curve.getCoordinate(fallback.station, fallback.offset));
            if (fallbackMiss < miss || (!std::isfinite(miss) && std::isfinite(fallbackMiss))) {
                distance = fallback.station;
                offset = fallback.offset;
            }
        }
    }
    station = d->beginStation + distance;
    return true;
}

internal::ElementGeometry::Box internal::ElementAccess::bounds(const HorizontalElement& element)
{
    const internal::ElementGeometry& geometry = element.d->geometry();
    if (element.d->checkedProjection) {
        const double inf = std::numeric_limits<double>::infinity();
        return internal::ElementGeometry::Box { -inf, -inf, inf, inf };
    }
    return geometry.bounds();
}

bool HorizontalElement::update(const HorizontalElement& previous)
{
    if (!isValid())
        return false;
    internal::touchGeometry();
    if (previous.isValid() && previous.d != d) {
        const HorizontalElementPrivate& p = *previous.d;
        if (!isBeginPointFixed()) {
            if (p.endPoint.getX() != d->beginPoint.getX() || p.endPoint.getY() != d->beginPoint.getY())
                d->dropCurve();
            d->beginPoint = p.endPoint;
        }
        if (!isBeginAzimuthFixed()) {
            if (p.endAzimuth.toRadian() != d->beginAzimuth.toRadian())
                d->dropCurve();
            d->beginAzimuth = p.endAzimuth;
        }
        d->beginStation = p.endStation;
        d->endStation = d->beginStation + d->length;
    }
    const CurveElement& curve = d->getCurve();
    d->endPoint = curve.getCoordinateByArcLength(d->length);
    d->endAzimuth = Corvex::Angle(curve.getAzimuthByArcLenth(d->length));
    return true;
}

bool HorizontalElement::updateStation(double beginStation)
{
    if (!isValid() || !std::isfinite(beginStation))
        return false;
    internal::touchGeometry();
    d->beginStation = beginStation;
    d->endStation = beginStation + d->length;
    return true;
}

bool HorizontalElement::updateStation(const HorizontalElement& previous)
{
    if (!previous.isValid())
        return false;
    return updateStation(previous.getEndStation());
}

bool HorizontalElement::load(const internal::Node<HorizontalElement>& node)
{
    if (node.isEmpty())
        return false;
    // A long road has thousands of elements: their children are walked once, not once per value, in
    // the order save() writes them.
    enum Value { Type, X1, Y1, L1, X2, Y2, Angle1, Angle2, Rou1, Rou2, Length, Mode, Pz };
    static const char* const names[] = { "type",   "x1",   "y1",   "l1",     "x2",   "y2", "angle1",
                                         "angle2", "rou1", "rou2", "length", "mode", "pz" };
    const internal::Xml::ValueChildren values = node.values(names);
    HorizontalElementType type = NullElementType;
    if (!toMemoryType(values.getInt(Type, -1), type))
        return false;

    HorizontalElementPrivate data;
    data.type = type;
    const double x1 = values.getDouble(X1, 0.0);
    const double y1 = values.getDouble(Y1, 0.0);
    const double x2 = values.getDouble(X2, 0.0);
    const double y2 = values.getDouble(Y2, 0.0);
    const double l1 = values.getDouble(L1, 0.0);
    const double angle1 = values.getDouble(Angle1, 0.0);
    const double angle2 = values.getDouble(Angle2, 0.0);
    const double rou1 = values.getDouble(Rou1, 0.0);
    const double rou2 = values.getDouble(Rou2, 0.0);
    const double length = values.getDouble(Length, 0.0);
    for (double value : { x1, y1, x2, y2, l1, angle1, angle2, rou1, rou2, length }) {
        if (!std::isfinite(value))
            return false;
    }
    if (length < 0.0)
        return false;

    switch (static_cast<StoredTurnFlag>(values.getInt(Pz, static_cast<int>(StoredTurnFlag::Missing)))) {
    case StoredTurnFlag::Right:
        data.turnDirection = TurnRight;
        break;
    case StoredTurnFlag::Left:
        data.turnDirection = TurnLeft;
        break;
    default:
        return false;
    }

    data.beginPoint = Corvex::Point(x1, y1);
    data.endPoint = Corvex::Point(x2, y2);
    data.beginStation = l1;
    data.length = length;
    data.endStation = l1 + length;
    data.beginAzimuth = Corvex::Angle(angle1);
    data.endAzimuth = Corvex::Angle(angle2);
    // Radii are unsigned: the turn direction comes from "pz" alone.
    data.beginRadius = std::fabs(rou1) < kMinStoredCurvature ? kInfinity : 1.0 / std::fabs(rou1);
    data.endRadius = std::fabs(rou2) < kMinStoredCurvature ? kInfinity : 1.0 / std::fabs(rou2);
    data.mode = values.getInt(Mode, 0) & ModeMask;

    *d = data;
    internal::touchGeometry();
    return true;
}

bool HorizontalElement::save(const internal::Node<HorizontalElement>& node) const
{
    StoredElementType stored = StoredElementType::Line;
    if (node.isEmpty() || !toStoredType(getType(), stored))
        return false;
    node.removeChildren();
    node.setInt("type", static_cast<int>(stored));
    node.setDouble("x1", d->beginPoint.getX());
    node.setDouble("y1", d->beginPoint.getY());
    node.setDouble("l1", d->beginStation);
    node.setDouble("x2", d->endPoint.getX());
    node.setDouble("y2", d->endPoint.getY());
    node.setDouble("angle1", d->beginAzimuth.toRadian());
    node.setDouble("angle2", d->endAzimuth.toRadian());
    node.setDouble("rou1", curvatureOf(d->beginRadius));
    node.setDouble("rou2", curvatureOf(d->endRadius));
    node.setDouble("length", d->length);
    node.setInt("mode", d->mode);
    if (d->turnDirection == TurnRight)
        node.setInt("pz", static_cast<int>(StoredTurnFlag::Right));
    else if (d->turnDirection == TurnLeft)
        node.setInt("pz", static_cast<int>(StoredTurnFlag::Left));
    return true;
}

} // namespace Road
} // namespace Pelko
