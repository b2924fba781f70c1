#include <road/internal/elementsampler.h>

#include <cmath>

namespace Pelko {
namespace Road {
namespace internal {

namespace {
// The element's own integration: 12 Simpson panels.
constexpr int kIntervals = 24;

double curvature(double radius)
{
    return std::isinf(radius) ? 0.0 : 1.0 / radius;
}
} // namespace

ElementSampler::ElementSampler(const HorizontalElement& element)
    : m_element(element)
{
    const HorizontalElementType type = element.getType();
    m_summed = element.isValid()
        && (type == LineElementType || type == SpiralElementType || type == ArcElementType);
    if (!m_summed)
        return;
    // Signed curvature turns right when positive, as in the element's curve.
    const double sign = element.getRurnDirection() == TurnLeft ? -1.0 : 1.0;
    const Corvex::Point begin = element.getBeginPoint();
    m_x0 = begin.getX();
    m_y0 = begin.getY();
    m_azimuth = element.getBeginAzimuth().toRadian();
    m_length = element.getLength();
    m_k1 = sign * curvature(element.getBeginRadius());
    m_dk = sign * curvature(element.getEndRadius()) - m_k1;
    m_cos0 = std::cos(m_azimuth);
    m_sin0 = std::sin(m_azimuth);
}

Corvex::Point ElementSampler::at(double s, double offset) const
{
    if (!m_summed)
        return m_element.getNorthEast(s, offset);
    double x = m_x0;
    double y = m_y0;
    // Direction at s, as a unit vector.
    double zc = m_cos0;
    double zs = m_sin0;
    if (s != 0.0) {
        const double h = s / kIntervals;
        // Node i heads azimuth + b·i + c·i²: the turn from one node to the next grows by 2c.
        double b = 0.0;
        double c = 0.0;
        if (m_length != 0.0) {
            b = m_k1 * h;
            c = m_dk * h * h / (2.0 * m_length);
        }
        double rc = std::cos(b + c);
        double rs = std::sin(b + c);
        const double qc = std::cos(2.0 * c);
        const double qs = std::sin(2.0 * c);
        double sumX = zc;
        double sumY = zs;
        for (int i = 1; i <= kIntervals; ++i) {
            const double nc = zc * rc - zs * rs;
            zs = zs * rc + zc * rs;
            zc = nc;
            const double nrc = rc * qc - rs * qs;
            rs = rs * qc + rc * qs;
            rc = nrc;
            const double weight = i == kIntervals ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
            sumX += weight * zc;
            sumY += weight * zs;
        }
        x += h / 3.0 * sumX;
        y += h / 3.0 * sumY;
    }
    // The normal to the right is a quarter turn on from the direction.
    x -= offset * zs;
    y += offset * zc;
    return Corvex::Point(x, y);
}

} // namespace internal
} // namespace Road
} // namespace Pelko
