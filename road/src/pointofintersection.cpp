#include <road/pointofintersection.h>

#include <corvex/algorithms.h>

#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {

namespace {
const double kInfinity = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kMinRadius = 0.001;
const double kMinRadiusDifference = 0.001;
const double kMinSpiralLength = 0.001;
const double kMinLineLength = 0.001;
// An in-tangent within this ratio of the available straight uses it up.
const double kTangentRatioTolerance = 0.0001;

double straightIfTiny(double radius)
{
    return std::isnan(radius) || std::fabs(radius) < kMinRadius ? kInfinity : radius;
}

// A stored outer radius keeps the curve's sign so that a left-turn PI reads back as written.
double signedRadius(double magnitude, TurnDirection direction)
{
    if (!std::isfinite(magnitude))
        return kInfinity;
    return direction == TurnLeft ? -magnitude : magnitude;
}
} // namespace

PointOfIntersection::PointOfIntersection()
    : d(std::make_shared<Horizontal::PoiPoint>(Corvex::Point(0.0, 0.0), 0.0))
{
}

PointOfIntersection::PointOfIntersection(std::shared_ptr<Horizontal::PoiData> data)
    : d(data ? std::move(data) : std::make_shared<Horizontal::NullPoi>())
{
}

PointOfIntersection PointOfIntersection::null()
{
    return PointOfIntersection(std::make_shared<Horizontal::NullPoi>());
}

PointOfIntersection NullElement<PointOfIntersection>::get()
{
    return PointOfIntersection::null();
}

PointOfIntersection PointOfIntersection::clone() const
{
    return PointOfIntersection(d->clone());
}

bool PointOfIntersection::isValid() const
{
    return d->getType() != NullPoiType;
}

bool PointOfIntersection::isValid(double value)
{
    return std::isfinite(value);
}

PointOfIntersection::Result PointOfIntersection::createPoint(const Corvex::Point& p, double station)
{
    return { PointOfIntersection(std::make_shared<Horizontal::PoiPoint>(p, station)), NoError };
}

PointOfIntersection::Result PointOfIntersection::createArc(const Corvex::Point& p, double radius)
{
    if (!isValid(radius))
        return { null(), RadiusNotFinite };
    if (std::fabs(radius) < kMinRadius)
        return { null(), RadiusTooSmall };
    return { PointOfIntersection(std::make_shared<Horizontal::PoiArc>(p, radius)), NoError };
}

PointOfIntersection::Result PointOfIntersection::createTransArcTrans(const Corvex::Point& p, double radius,
                                                                     double inLength, double outLength)
{
    return createTransArcTrans(p, kInfinity, radius, kInfinity, inLength, outLength, SpiralArcSpiralPoiType);
}

PointOfIntersection::Result PointOfIntersection::createTransArcTrans(const Corvex::Point& p, double inRadius,
                                                                     double radius, double outRadius,
                                                                     double inLength, double outLength)
{
    return createTransArcTrans(p, inRadius, radius, outRadius, inLength, outLength, SpiralArcSpiralPoiType);
}

PointOfIntersection::Result PointOfIntersection::createTransTrans(const Corvex::Point& p, double radius,
                                                                  double inLength, double outLength)
{
    return createTransArcTrans(p, kInfinity, radius, kInfinity, inLength, outLength, SpiralSpiralPoiType);
}

PointOfIntersection::Result PointOfIntersection::createTransTrans(const Corvex::Point& p, double inRadius,
                                                                  double radius, double outRadius,
                                                                  double inLength, double outLength)
{
    return createTransArcTrans(p, inRadius, radius, outRadius, inLength, outLength, SpiralSpiralPoiType);
}

PointOfIntersection::Result PointOfIntersection::createTransArcTrans(const Corvex::Point& p, double inRadius,
                                                                     double radius, double outRadius,
                                                                     double inLength, double outLength,
                                                                     PointOfIntersectionCurveType type)
{
    if (!isValid(radius))
        return { null(), RadiusNotFinite };
    inRadius = straightIfTiny(inRadius);
    if (std::fabs(radius) < kMinRadius)
        return { null(), RadiusTooSmall };
    outRadius = straightIfTiny(outRadius);
    if (std::fabs(std::fabs(inRadius) - std::fabs(radius)) < kMinRadiusDifference)
        return { null(), InRadiusEqualsRadius };
    if (std::fabs(std::fabs(outRadius) - std::fabs(radius)) < kMinRadiusDifference)
        return { null(), OutRadiusEqualsRadius };
    if (!isValid(inLength))
        return { null(), InSpiralLengthNotFinite };
    if (!isValid(outLength))
        return { null(), OutSpiralLengthNotFinite };
    if (std::fabs(inLength) < kMinSpiralLength && std::fabs(outLength) < kMinSpiralLength)
        return createArc(p, radius);
    std::shared_ptr<Horizontal::PoiData> data;
    if (type == SpiralSpiralPoiType)
        data = std::make_shared<Horizontal::PoiSpiralSpiral>(p, inRadius, radius, outRadius, inLength,
                                                             outLength);
    else
        data = std::make_shared<Horizontal::PoiSpiralArcSpiral>(p, inRadius, radius, outRadius, inLength,
                                                                outLength);
    return { PointOfIntersection(data), NoError };
}

Corvex::Point PointOfIntersection::getPointOfIntersection() const
{
    return d->getPoint();
}

double PointOfIntersection::getPoiStation() const
{
    return d->getStation();
}

PointOfIntersectionCurveType PointOfIntersection::getCurveType() const
{
    return d->getType();
}

Corvex::Angle PointOfIntersection::getDeflectionAngle() const
{
    return d->getDeflection();
}

double PointOfIntersection::getRadius() const
{
    return d->getRadius();
}

double PointOfIntersection::getStartRadius() const
{
    return d->getStartRadius();
}

double PointOfIntersection::getEndRadius() const
{
    return d->getEndRadius();
}

TurnDirection PointOfIntersection::getTurnDirection() const
{
    return d->getTurnDirection();
}

double PointOfIntersection::getInSpiralLength() const
{
    return d->getInSpiralLength();
}

double PointOfIntersection::getOutSpiralLength() const
{
    return d->getOutSpiralLength();
}

double PointOfIntersection::getInTangentLength() const
{
    return d->getInTangentLength();
}

double PointOfIntersection::getOutTangetLength() const
{
    return d->getOutTangentLength();
}

double PointOfIntersection::getArcLength() const
{
    return d->getArcLength();
}

void PointOfIntersection::update(const PointOfIntersection* prev, const PointOfIntersection* next)
{
    d->update(prev ? prev->d.get() : nullptr, next ? next->d.get() : nullptr);
}

Corvex::Point PointOfIntersection::controlledEndingPoint(const PointOfIntersection& other) const
{
    const Corvex::Point from = d->getPoint();
    const Corvex::Point to = other.d->getPoint();
    const double length = Corvex::Utility::distance(from, to);
    // Coinciding PIs have no direction between them.
    if (!(length > 0.0))
        return from;
    const double t = getOutTangetLength() / length;
    return Corvex::Point((1.0 - t) * from.getX() + t * to.getX(), (1.0 - t) * from.getY() + t * to.getY());
}

std::vector<HorizontalElement> PointOfIntersection::toElements(const PointOfIntersection& prev,
                                                               const PointOfIntersection& next) const
{
    std::vector<HorizontalElement> elements;
    if (!isValid() || !prev.isValid())
        return elements;

    const Corvex::Point start = prev.controlledEndingPoint(*this);
    const Corvex::Point corner = d->getPoint();
    const Corvex::Angle azimuth = Corvex::Utility::azimuth(start, corner);
    const double length = Corvex::Utility::distance(start, corner);

    auto add = [&elements](const HorizontalElement& element) {
        if (element.isValid())
            elements.push_back(element);
    };

    if (getCurveType() == PointPoiType || !next.isValid() || !d->hasCurve()) {
        // A PI sitting on the end of the previous curve adds no line: its azimuth would be arbitrary.
        if (length >= kMinLineLength)
            add(HorizontalElement::createLine(azimuth, length, start, 0.0));
        return elements;
    }

    const Corvex::Point n = next.d->getPoint();
    const double c = (n.getX() - start.getX()) * (corner.getY() - start.getY())
        - (n.getY() - start.getY()) * (corner.getX() - start.getX());
    const double radius = c < 0.0 ? d->getRadius() : -d->getRadius();

    double straight = 0.0;
    if (length > 0.0) {
        double ratio = getInTangentLength() / length;
        if (std::fabs(1.0 - ratio) < kTangentRatioTolerance)
            ratio = 1.0;
        straight = (1.0 - ratio) * length;
    }

    const Corvex::Angle noAzimuth(kNaN);
    const Corvex::Point& noPoint = Corvex::Point::invalid();
    auto beginAzimuth = [&]() { return elements.empty() ? azimuth : noAzimuth; };
    auto beginPoint = [&]() { return elements.empty() ? start : noPoint; };

    if (straight >= kMinLineLength)
        add(HorizontalElement::createLine(azimuth, straight, start, 0.0));
    if (getInSpiralLength() > 0.0)
        add(HorizontalElement::createSpiral(beginAzimuth(), getInSpiralLength(), kInfinity, radius,
                                            beginPoint(), 0.0));
    if (getArcLength() > 0.0)
        add(HorizontalElement::createArc(beginAzimuth(), getArcLength(), radius, beginPoint(), 0.0));
    if (getOutSpiralLength() > 0.0)
        add(HorizontalElement::createSpiral(noAzimuth, getOutSpiralLength(), radius, kInfinity, noPoint,
                                            0.0));
    return elements;
}

bool PointOfIntersection::load(const internal::Node<PointOfIntersection>& node)
{
    // Whatever was held before is not what the file says: never keep it on failure.
    d = null().d;
    if (node.isEmpty())
        return false;
    const int type = node.getInt("type", PointPoiType);
    const Corvex::Point p(node.getDouble("x", kNaN), node.getDouble("y", kNaN));
    if (!p.isValid())
        return false;

    Result result { null(), NoError };
    switch (type) {
    case PointPoiType: {
        const double station = node.getDouble("station", 0.0);
        if (!isValid(station))
            return false;
        result = createPoint(p, station);
        break;
    }
    case ArcPoiType:
        result = createArc(p, node.getDouble("radius", 0.0));
        break;
    case SpiralArcSpiralPoiType:
    case SpiralSpiralPoiType: {
        const double inRadius = node.getDouble("inRadius", kInfinity);
        const double radius = node.getDouble("radius", 0.0);
        const double outRadius = node.getDouble("outRadius", kInfinity);
        const double in = node.getDouble("in", 0.0);
        const double out = node.getDouble("out", 0.0);
        result = type == SpiralArcSpiralPoiType ? createTransArcTrans(p, inRadius, radius, outRadius, in, out)
                                                : createTransTrans(p, inRadius, radius, outRadius, in, out);
        break;
    }
    default:
        return false;
    }
    if (result.second != NoError || !result.first.isValid())
        return false;
    d = result.first.d;
    return true;
}

bool PointOfIntersection::save(const internal::Node<PointOfIntersection>& node) const
{
    if (node.isEmpty() || !isValid())
        return false;
    const PointOfIntersectionCurveType type = getCurveType();
    const TurnDirection direction = getTurnDirection();
    node.setInt("type", type);
    node.setDouble("x", d->getPoint().getX());
    node.setDouble("y", d->getPoint().getY());
    switch (type) {
    case PointPoiType:
        node.setDouble("station", getPoiStation());
        break;
    case ArcPoiType:
        node.setDouble("radius", signedRadius(getRadius(), direction));
        break;
    case SpiralArcSpiralPoiType:
    case SpiralSpiralPoiType:
        node.setDouble("inRadius", signedRadius(getStartRadius(), direction));
        node.setDouble("radius", signedRadius(getRadius(), direction));
        node.setDouble("outRadius", signedRadius(getEndRadius(), direction));
        node.setDouble("in", getInSpiralLength());
        node.setDouble("out", getOutSpiralLength());
        break;
    case NullPoiType:
        return false;
    }
    return true;
}

} // namespace Road
} // namespace Pelko
