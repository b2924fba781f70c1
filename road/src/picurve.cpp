#include <road/picurve.h>

#include <road/curveelement.h>

#include <corvex/algorithms.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace Pelko {
namespace Road {
namespace Horizontal {

namespace {
const double kPi = 4.0 * std::atan(1.0);
const double kMinRadius = 0.001;
const double kMinSpiralLength = 0.001;
// Below this deflection the spiral formulas divide by tan and sin of ~0: the corner is a straight.
const double kMinSpiralDeflection = 1e-9;

double curvatureOf(double radius)
{
    return std::isfinite(radius) && std::fabs(radius) >= kMinRadius ? 1.0 / std::fabs(radius) : 0.0;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// End point of a spiral running from curvature 1/outer to 1/radius, in its own frame.
void spiralEnd(double outer, double radius, double length, double& x, double& y, double& theta)
{
    const double k1 = curvatureOf(outer);
    const double k2 = curvatureOf(radius);
    theta = (k1 + k2) * length / 2.0;
    if (std::fabs(length) < kMinSpiralLength) {
        x = y = 0.0;
        return;
    }
    // Curves designed to one standard repeat their spiral: the last one integrated is kept, per thread,
    // and given again for the same curvatures and length (compared bit for bit).
    struct Last
    {
        double k1 = 0.0;
        double k2 = 0.0;
        double length = 0.0;
        double x = 0.0;
        double y = 0.0;
        bool valid = false;
    };
    thread_local Last last;
    if (last.valid && sameBits(last.k1, k1) && sameBits(last.k2, k2) && sameBits(last.length, length)) {
        x = last.x;
        y = last.y;
        return;
    }
    CurveElement(length, k1, k2, Corvex::Point(0.0, 0.0), 0.0).getCoordinateByArcLength(length, x, y);
    last = Last { k1, k2, length, x, y, true };
}
} // namespace

PoiData::PoiData(PointOfIntersectionCurveType type, const Corvex::Point& point, double station, double radius)
    : m_type(type)
    , m_point(point)
    , m_station(station)
    , m_deflection(0.0)
    , m_radius(std::fabs(radius))
    , m_turnDirection(radius < 0.0 ? TurnLeft : TurnRight)
{
}

PoiData::~PoiData() = default;

double PoiData::getStartRadius() const
{
    return m_radius;
}

double PoiData::getEndRadius() const
{
    return m_radius;
}

bool PoiData::hasCurve() const
{
    return false;
}

double PoiData::getCurveLength() const
{
    if (!hasCurve())
        return 0.0;
    return getInSpiralLength() + getArcLength() + getOutSpiralLength();
}

void PoiData::update(const PoiData* prev, const PoiData* next)
{
    if (prev && next) {
        const double a1 = Corvex::Utility::azimuth(m_point, prev->m_point).toRadian();
        const double a2 = Corvex::Utility::azimuth(m_point, next->m_point).toRadian();
        m_deflection = Corvex::Angle(std::fabs(std::fabs(a2 - a1) - kPi));
    } else {
        m_deflection = Corvex::Angle(0.0);
    }
    if (prev) {
        m_station = prev->m_station - prev->getInTangentLength() + prev->getCurveLength()
            + Corvex::Utility::distance(prev->m_point, m_point) - prev->getOutTangentLength();
    }
}

NullPoi::NullPoi()
    : PoiData(NullPoiType, Corvex::Point(0.0, 0.0), 0.0, 0.0)
{
}

std::shared_ptr<PoiData> NullPoi::clone() const
{
    return std::make_shared<NullPoi>(*this);
}

PoiPoint::PoiPoint(const Corvex::Point& point, double station)
    : PoiData(PointPoiType, point, station, 0.0)
{
}

std::shared_ptr<PoiData> PoiPoint::clone() const
{
    return std::make_shared<PoiPoint>(*this);
}

PoiArc::PoiArc(const Corvex::Point& point, double radius)
    : PoiData(ArcPoiType, point, 0.0, radius)
{
}

double PoiArc::getInTangentLength() const
{
    return m_radius * std::tan(m_deflection.toRadian() / 2.0);
}

double PoiArc::getOutTangentLength() const
{
    return getInTangentLength();
}

double PoiArc::getArcLength() const
{
    return m_radius * m_deflection.toRadian();
}

std::shared_ptr<PoiData> PoiArc::clone() const
{
    return std::make_shared<PoiArc>(*this);
}

PoiSpiralArcSpiral::PoiSpiralArcSpiral(const Corvex::Point& point, double inRadius, double radius,
                                       double outRadius, double inLength, double outLength)
    : PoiSpiralArcSpiral(SpiralArcSpiralPoiType, point, inRadius, radius, outRadius, inLength, outLength)
{
}

PoiSpiralArcSpiral::PoiSpiralArcSpiral(PointOfIntersectionCurveType type, const Corvex::Point& point,
                                       double inRadius, double radius, double outRadius, double inLength,
                                       double outLength)
    : PoiData(type, point, 0.0, radius)
    , m_inRadius(std::fabs(inRadius))
    , m_outRadius(std::fabs(outRadius))
    , m_inLength(inLength)
    , m_outLength(outLength)
{
    spiralEnd(m_inRadius, m_radius, m_inLength, m_x1, m_y1, m_theta1);
    spiralEnd(m_outRadius, m_radius, m_outLength, m_x2, m_y2, m_theta2);
}

bool PoiSpiralArcSpiral::hasCurve() const
{
    return m_deflection.toRadian() >= kMinSpiralDeflection;
}

double PoiSpiralArcSpiral::getInTangentLength() const
{
    if (!hasCurve())
        return 0.0;
    const double r = m_radius;
    const double delta = m_deflection.toRadian();
    const double q1 = m_x1 - r * std::sin(m_theta1);
    const double p1 = m_y1 - r * (1.0 - std::cos(m_theta1));
    const double p2 = m_y2 - r * (1.0 - std::cos(m_theta2));
    return q1 - (r + p1) / std::tan(delta) + (r + p2) / std::sin(delta);
}

double PoiSpiralArcSpiral::getOutTangentLength() const
{
    if (!hasCurve())
        return 0.0;
    const double r = m_radius;
    const double delta = m_deflection.toRadian();
    const double p1 = m_y1 - r * (1.0 - std::cos(m_theta1));
    const double q2 = m_x2 - r * std::sin(m_theta2);
    const double p2 = m_y2 - r * (1.0 - std::cos(m_theta2));
    return q2 - (r + p2) / std::tan(delta) + (r + p1) / std::sin(delta);
}

double PoiSpiralArcSpiral::getArcLength() const
{
    if (!hasCurve())
        return 0.0;
    const double r = m_radius;
    return r * (m_deflection.toRadian() - m_inLength / (2.0 * r) - m_outLength / (2.0 * r));
}

std::shared_ptr<PoiData> PoiSpiralArcSpiral::clone() const
{
    return std::make_shared<PoiSpiralArcSpiral>(*this);
}

PoiSpiralSpiral::PoiSpiralSpiral(const Corvex::Point& point, double inRadius, double radius, double outRadius,
                                 double inLength, double outLength)
    : PoiSpiralArcSpiral(SpiralSpiralPoiType, point, inRadius, radius, outRadius, inLength, outLength)
{
}

std::shared_ptr<PoiData> PoiSpiralSpiral::clone() const
{
    return std::make_shared<PoiSpiralSpiral>(*this);
}

} // namespace Horizontal
} // namespace Road
} // namespace Pelko
