#pragma once

#include <corvex/corvex_global.h>
#include <corvex/polygon.h>

namespace Pelko::Corvex {

// Polygon booleans, self-intersection removal and buffers on Clipper's integer grid
// (coordinates scaled by 1e9 and truncated). Holes come back as separate polygons.
// Input that cannot be put on the grid (non-finite or beyond about 4.6e9 in magnitude)
// gives an empty result.
class CORVEX_EXPORT PolygonClipper
{
public:
    PolygonClipper() = delete;

    static MultiPolygon intersect(Polygon const& a, Polygon const& b);
    static MultiPolygon intersect(Polygon const& a, MultiPolygon const& b);

    static MultiPolygon unionPolygons(Polygon const& a, Polygon const& b);
    static MultiPolygon unionPolygons(Polygon const& a, MultiPolygon const& b);
    static MultiPolygon unionPolygons(MultiPolygon const& a, MultiPolygon const& b);

    // a minus b
    static MultiPolygon difference(Polygon const& a, Polygon const& b);
    static MultiPolygon difference(Polygon const& a, MultiPolygon const& b);
    static MultiPolygon difference(MultiPolygon const& a, MultiPolygon b);

    static MultiPolygon XOR(Polygon const& a, Polygon const& b);
    static MultiPolygon XOR(Polygon const& a, MultiPolygon const& b);

    static bool isIntersect(Polygon const& a, Polygon const& b);

    // A self-intersecting ring comes back as several simple polygons.
    static MultiPolygon simplify(Polygon const& p);

    // Square joins; a negative distance shrinks.
    static MultiPolygon buffer(Polygon const& p, double d);
};

} // namespace Pelko::Corvex
