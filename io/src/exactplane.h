#pragma once

// Exact tests on points seen from above, for the border's walk and its check.

#include <corvex/point.h>
#include <corvex/point3d.h>
#include <corvex/triangle.h>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace Pelko {
namespace IO {

inline bool planeLess(const Corvex::Point3D& a, const Corvex::Point3D& b)
{
    return std::make_tuple(a.x(), a.y()) < std::make_tuple(b.x(), b.y());
}

inline bool planeLess(const Corvex::Point& a, const Corvex::Point& b)
{
    return std::make_tuple(a.getX(), a.getY()) < std::make_tuple(b.getX(), b.getY());
}

inline bool planeEqual(const Corvex::Point3D& a, const Corvex::Point3D& b)
{
    return a.x() == b.x() && a.y() == b.y();
}

inline bool planeEqual(const Corvex::Point& a, const Corvex::Point& b)
{
    return a.getX() == b.getX() && a.getY() == b.getY();
}

inline bool spaceLess(const Corvex::Point3D& a, const Corvex::Point3D& b)
{
    return std::make_tuple(a.x(), a.y(), a.z()) < std::make_tuple(b.x(), b.y(), b.z());
}

inline Corvex::Point plane(const Corvex::Point3D& p)
{
    return Corvex::Point(p.x(), p.y());
}

// Whether a - b is exactly the double d it rounded to.
inline bool exactDifference(double a, double b, double d)
{
    const double bv = a - d;
    return (a - (d + bv)) + (bv - b) == 0;
}

// 1 when c lies left of the line from a to b, -1 right of it, 0 on it; exact. Answered at once where
// doubles tell: a sign clear of rounding, or a zero no rounding touched (corners on a line of a grid, as
// fans and meshes have them, which the exact predicate takes long over).
inline int turning(const Corvex::Point& a, const Corvex::Point& b, const Corvex::Point& c)
{
    const double abx = b.getX() - a.getX(), aby = b.getY() - a.getY();
    const double acx = c.getX() - a.getX(), acy = c.getY() - a.getY();
    const double left = abx * acy, right = aby * acx, det = left - right;
    // Shewchuk's first error bound of the orientation determinant.
    const double bound = 3.3306690738754716e-16 * (std::fabs(left) + std::fabs(right));
    if (det > bound)
        return 1;
    if (-det > bound)
        return -1;
    if (left == right && std::fma(abx, acy, -left) == 0 && std::fma(aby, acx, -right) == 0
        && exactDifference(b.getX(), a.getX(), abx) && exactDifference(b.getY(), a.getY(), aby)
        && exactDifference(c.getX(), a.getX(), acx) && exactDifference(c.getY(), a.getY(), acy))
        return 0;
    return Corvex::Triangle2D(a, b, c).orientation();
}

// The turn of a triangle seen from above: 1 counterclockwise, -1 clockwise, 0 for one without an area
// (as Triangle2D::isDegenerate tells it) or with a corner that is not finite.
inline int areaTurn(const Corvex::Point& a, const Corvex::Point& b, const Corvex::Point& c)
{
    for (double v : { a.getX(), a.getY(), b.getX(), b.getY(), c.getX(), c.getY() })
        if (!std::isfinite(v))
            return 0;
    return turning(a, b, c);
}

// Whether, of the points on one line through centre, p lies on a's side of it.
inline bool sameWay(const Corvex::Point& centre, const Corvex::Point& a, const Corvex::Point& p)
{
    return a.getX() != centre.getX() ? (a.getX() > centre.getX()) == (p.getX() > centre.getX())
                                     : (a.getY() > centre.getY()) == (p.getY() > centre.getY());
}

// Directions from centre ordered by the angle turned from the direction towards `from`, counterclockwise
// for side 1 and clockwise for side -1: 0 less than half round, 1 from half round on, 2 for `from`'s own
// direction, which comes last; within 0 and 1, p before q when side * turning(centre, p, q) > 0.
inline int halfTurned(const Corvex::Point& centre, const Corvex::Point& from, const Corvex::Point& p,
                      int side)
{
    const int o = side * turning(centre, from, p);
    if (o != 0)
        return o > 0 ? 0 : 1;
    return sameWay(centre, from, p) ? 2 : 1;
}

// Whether p lies on the segment from a to b strictly between its ends; exact.
inline bool strictlyBetween(const Corvex::Point& a, const Corvex::Point& b, const Corvex::Point& p)
{
    // On the line, a coordinate in which the ends differ orders the three points.
    const bool inside = a.getX() != b.getX()
        ? std::min(a.getX(), b.getX()) < p.getX() && p.getX() < std::max(a.getX(), b.getX())
        : std::min(a.getY(), b.getY()) < p.getY() && p.getY() < std::max(a.getY(), b.getY());
    return inside && turning(a, b, p) == 0;
}

} // namespace IO
} // namespace Pelko
