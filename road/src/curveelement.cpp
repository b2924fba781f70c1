#include <road/curveelement.h>

#include <cmath>
#include <cstring>

namespace Pelko {
namespace Road {

namespace {
const double kPi = 4.0 * std::atan(1.0);
const int kSimpsonHalfIntervals = 12;
const int kMaxProjectionSteps = 1000;
const double kProjectionTolerance = 0.001;
} // namespace

CurveElement::CurveElement(double length, double k1, double k2, const Corvex::Point& begin,
                           double beginAzimuth)
    : m_x0(begin.getX())
    , m_y0(begin.getY())
    , m_k1(k1)
    , m_azimuth(beginAzimuth)
    , m_length(length)
    , m_dk(k2 - k1)
    , m_n(kSimpsonHalfIntervals)
{
}

double CurveElement::getAzimuthByArcLenth(double s) const
{
    if (m_length == 0.0)
        return m_azimuth;
    return m_azimuth + (m_dk * s / (2.0 * m_length) + m_k1) * s;
}

void CurveElement::getCoordinateByArcLength(double s, double& x, double& y) const
{
    if (s == 0.0) {
        x = m_x0;
        y = m_y0;
        return;
    }
    const int intervals = 2 * m_n;
    const double h = s / intervals;
    // Each node's azimuth is getAzimuthByArcLenth(i * h) written out operation for operation (same
    // bits, no call per node); a node whose azimuth is exactly the one before (every node of a line)
    // reuses its sine and cosine.
    const bool straight = m_length == 0.0;
    const double twiceLength = 2.0 * m_length;
    double sumX = 0.0;
    double sumY = 0.0;
    double previous = 0.0;
    double c = 0.0;
    double si = 0.0;
    for (int i = 0; i <= intervals; ++i) {
        const double at = i * h;
        const double theta = straight ? m_azimuth : m_azimuth + (m_dk * at / twiceLength + m_k1) * at;
        if (i == 0 || std::memcmp(&theta, &previous, sizeof theta) != 0) {
            c = std::cos(theta);
            si = std::sin(theta);
            previous = theta;
        }
        const double weight = (i == 0 || i == intervals) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
        sumX += weight * c;
        sumY += weight * si;
    }
    x = m_x0 + h / 3.0 * sumX;
    y = m_y0 + h / 3.0 * sumY;
}

Corvex::Point CurveElement::getCoordinateByArcLength(double s) const
{
    double x = 0.0;
    double y = 0.0;
    getCoordinateByArcLength(s, x, y);
    return Corvex::Point(x, y);
}

void CurveElement::getCoordinate(double s, double offset, double& x, double& y) const
{
    getCoordinateByArcLength(s, x, y);
    const double normal = getAzimuthByArcLenth(s) + kPi / 2.0;
    x += offset * std::cos(normal);
    y += offset * std::sin(normal);
}

Corvex::Point CurveElement::getCoordinate(double s, double offset) const
{
    double x = 0.0;
    double y = 0.0;
    getCoordinate(s, offset, x, y);
    return Corvex::Point(x, y);
}

Corvex::Point CurveElement::getEndPoint() const
{
    return getCoordinateByArcLength(m_length);
}

double CurveElement::calc2PointsVerticalInterval(const Corvex::Point& p, const Corvex::Point& q,
                                                 double s) const
{
    const double theta = getAzimuthByArcLenth(s);
    return (p.getX() - q.getX()) * std::cos(theta) + (p.getY() - q.getY()) * std::sin(theta);
}

double CurveElement::calcOffset(const Corvex::Point& p, const Corvex::Point& q, double s) const
{
    // Projection on the right-hand normal: dividing one coordinate difference by a cosine breaks down
    // on east/west headings.
    const double theta = getAzimuthByArcLenth(s);
    return -(p.getX() - q.getX()) * std::sin(theta) + (p.getY() - q.getY()) * std::cos(theta);
}

StationOffset CurveElement::getStationOffset(const Corvex::Point& p) const
{
    const Corvex::Point begin(m_x0, m_y0);
    double s = std::fabs(calc2PointsVerticalInterval(p, begin, 0.0));
    s += calc2PointsVerticalInterval(p, getCoordinateByArcLength(s), s);
    for (int i = 0; i < kMaxProjectionSteps; ++i) {
        const double d = calc2PointsVerticalInterval(p, getCoordinateByArcLength(s), s);
        if (!std::isfinite(d))
            break;
        s += d;
        if (std::fabs(d) <= kProjectionTolerance)
            break;
    }
    StationOffset result;
    result.station = s;
    result.offset = calcOffset(p, getCoordinateByArcLength(s), s);
    return result;
}

void CurveElement::getStationOffset(const Corvex::Point& p, double& station, double& offset) const
{
    const StationOffset result = getStationOffset(p);
    station = result.station;
    offset = result.offset;
}

} // namespace Road
} // namespace Pelko
