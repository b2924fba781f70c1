#include <corvex/polygon.h>

#include <corvex/delaunay.h>
#include <corvex/polygonclipper.h>
#include <corvex/triangle.h>

namespace Pelko::Corvex {

bool Polygon::isIntersect(Polygon const& other) const
{
    return !PolygonClipper::intersect(other, *this).isEmpty();
}

MultiPolygon Polygon::intersect(Polygon const& other) const
{
    return PolygonClipper::intersect(other, *this);
}

MultiPolygon Polygon::difference(Polygon const& other) const
{
    return PolygonClipper::difference(*this, other);
}

MultiPolygon Polygon::buffer(double d) const
{
    return PolygonClipper::buffer(*this, d);
}

bool Polygon::isSelfInersect() const
{
    return PolygonClipper::simplify(*this).getPolygonCount() > 1;
}

Point Polygon::getInteriorPoint() const
{
    if (getPointCount() < 3)
        return Point();
    // The triangulator has no defined behaviour for non-finite input.
    for (unsigned i = 0; i < getPointCount(); ++i) {
        if (!getPoint(i).isValid())
            return Point();
    }
    // Constrained, so triangles outside the ring (in concave notches) are not produced.
    Delaunay delaunay(*this);
    delaunay.buildDelaunayTriangulation(Delaunay::ConstrainedDelaunay);
    unsigned const count = delaunay.getTriangleCount();
    if (count == 0)
        return Point();
    Triangle2D best;
    double bestArea = -1.0;
    for (unsigned i = 0; i < count; ++i) {
        bool ok = false;
        Triangle2D const t = delaunay.getTriangle(i, &ok);
        if (!ok)
            continue;
        double const area = t.area();
        if (area > bestArea) { // strict: the first of equal triangles wins
            bestArea = area;
            best = t;
        }
    }
    if (bestArea < 0.0)
        return Point();
    return Point((best.getA().getX() + best.getB().getX() + best.getC().getX()) / 3.0,
                 (best.getA().getY() + best.getB().getY() + best.getC().getY()) / 3.0);
}

} // namespace Pelko::Corvex
