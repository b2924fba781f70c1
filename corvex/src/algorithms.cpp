#include <corvex/algorithms.h>

#include "math_constants.h"

#include <iostream>

namespace Pelko::Corvex {

using detail::kPi;

Angle Utility::azimuth(double x1, double y1, double x2, double y2)
{
    return Angle(CGAlgorithms::azimuth(x1, y1, x2, y2));
}

Angle Utility::azimuth(Point const& from, Point const& to)
{
    return azimuth(from.getX(), from.getY(), to.getX(), to.getY());
}

double Utility::distance(double x1, double y1, double x2, double y2)
{
    return std::hypot(x2 - x1, y2 - y1);
}

double Utility::distance(Point const& a, Point const& b)
{
    return distance(a.getX(), a.getY(), b.getX(), b.getY());
}

std::pair<Line, Line> Utility::getLine(Point const& p, Point const& q, double r)
{
    const double x1 = p.getX();
    const double y1 = p.getY();
    const double dx = q.getX() - x1;
    const double dy = q.getY() - y1;
    const double r2 = r * r;
    const double c = dx * dx - r2;

    double a1 = 0.0, b1 = 1.0, a2 = 0.0, b2 = 1.0;
    if (c != 0.0) {
        const double disc = 4.0 * r2 * (dx * dx + dy * dy - r2);
        if (!(disc >= 0.0)) {
            std::cerr << "韦达定理的判别式必须大于0" << std::endl;
            return { Line(), Line() };
        }
        const double s = std::sqrt(disc);
        a1 = (s - 2.0 * dx * dy) * 0.5 / c;
        a2 = (-2.0 * dx * dy - s) * 0.5 / c;
    } else {
        a1 = 1.0;
        b1 = 0.0;
        if (dx * dy != 0.0) {
            a2 = (r2 - dy * dy) / (2.0 * dx * dy);
        } else {
            // p lies on the circle (or r = 0 with q due north/south of p): the only line is x = x1.
            a2 = 1.0;
            b2 = 0.0;
        }
    }
    if (a1 * a1 + b1 * b1 == 0.0 || a2 * a2 + b2 * b2 == 0.0) {
        std::cerr << "A、B不能同时为0" << std::endl;
        return { Line(), Line() };
    }
    return { Line::unchecked(a1, b1, -(a1 * x1 + b1 * y1)), Line::unchecked(a2, b2, -(a2 * x1 + b2 * y1)) };
}

std::pair<double, bool> Utility::getDistance(Point3D const& a, Point3D const& b, Point3D const& c,
                                             Point3D const& d)
{
    Vector3D n = (b - a) * (c - a);
    if (n.z() < 0.0)
        n = n * -1.0;
    return { n.dotMultiplyWith(d - a), true };
}

bool Utility::isClockwise(Point3D const& a, Point3D const& b, Point3D const& c)
{
    return (c.y() - a.y()) * (b.x() - a.x()) - (c.x() - a.x()) * (b.y() - a.y()) > 0.0;
}

double CGAlgorithms::distance(double x1, double y1, double x2, double y2)
{
    return Utility::distance(x1, y1, x2, y2);
}

double CGAlgorithms::distance(Point const& a, Point const& b)
{
    return Utility::distance(a, b);
}

double CGAlgorithms::distance(Point const& p, Line const& l)
{
    return l.getPoint2LineDistance(p);
}

double CGAlgorithms::azimuth(double x1, double y1, double x2, double y2)
{
    const double a = std::atan2(y2 - y1, x2 - x1);
    if (!(a < 0.0))
        return a;
    // A tiny negative angle plus 2pi rounds to 2pi itself; stay below it, on the west side of north.
    const double turn = 2.0 * kPi;
    const double wrapped = a + turn;
    return wrapped < turn ? wrapped : std::nextafter(turn, 0.0);
}

double CGAlgorithms::azimuth(Point const& from, Point const& to)
{
    return azimuth(from.getX(), from.getY(), to.getX(), to.getY());
}

} // namespace Pelko::Corvex
