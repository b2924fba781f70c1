#include <corvex/line.h>
#include <corvex/point.h>

#include <algorithm>
#include <cfloat>
#include <limits>

namespace Pelko::Corvex {

Point const& Point::invalid()
{
    static const Point p(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN());
    return p;
}

double Vector::angle() const
{
    const double a = std::atan2(m_y, m_x);
    if (!(a < 0.0))
        return a;
    // A tiny negative angle plus 2pi rounds to 2pi itself; stay below it, on the west side of north.
    const double wrapped = a + 6.283185307179586;
    return wrapped < 6.283185307179586 ? wrapped : std::nextafter(6.283185307179586, 0.0);
}

double Vector::angle(Vector const& a, Vector const& b)
{
    const double l = a.length() * b.length();
    if (l == 0.0)
        return 0.0;
    // Round-off can push the ratio of parallel vectors just past 1, where acos gives NaN.
    return std::acos(std::clamp(dot(a, b) / l, -1.0, 1.0));
}

Vector& Vector::normalize()
{
    const double l = length();
    if (l == 0.0) {
        m_x = DBL_MAX;
        m_y = DBL_MAX;
    } else {
        m_x /= l;
        m_y /= l;
    }
    return *this;
}

bool Circle::initialFromThreePoints(Point const& p1, Point const& p2, Point const& p3)
{
    // Collinear points have parallel bisectors; built through sin/cos those meet far away instead
    // of never, so reject them on the points themselves (sine of the angle at p1 below 1e-12).
    const Vector u(p1, p2);
    const Vector v(p1, p3);
    if (std::fabs(Vector::cross(u, v)) <= 1e-12 * u.length() * v.length())
        return false;
    const Line l1 = Line::perpendicularBisector(p1, p2);
    const Line l2 = Line::perpendicularBisector(p2, p3);
    const double d = l1.getA() * l2.getB() - l2.getA() * l1.getB();
    if (d == 0.0)
        return false;
    const Point c((l2.getC() * l1.getB() - l1.getC() * l2.getB()) / d,
                  (l1.getC() * l2.getA() - l2.getC() * l1.getA()) / d);
    if (!c.isValid())
        return false;
    const double r = p1.distance(c);
    if (!std::isfinite(r))
        return false;
    m_center = c;
    m_radius = r;
    return true;
}

} // namespace Pelko::Corvex
