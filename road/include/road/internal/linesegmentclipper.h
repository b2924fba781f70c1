#pragma once

#include <road/road_global.h>

namespace Pelko {
namespace Road {
namespace internal {

// A drawing window that cuts plane segments to its closed box (x north, y east). The bounds are
// taken as given: an inverted window overlaps nothing, infinite bounds make an unbounded window.
class ROAD_EXPORT LineSegmentClipper
{
public:
    LineSegmentClipper(double xmin, double ymin, double xmax, double ymax);

    // Replaces the end points by the ends of the part inside the window and returns true, or returns
    // false when no part lies inside; the points are then partly moved and meaningless. A segment with
    // a non-finite coordinate is refused.
    bool clip(double& x1, double& y1, double& x2, double& y2) const;

    // Whether the closed box shares a point with the window; an inverted (or NaN) box never does.
    bool intersects(double minX, double minY, double maxX, double maxY) const;

private:
    int regionCode(double x, double y) const;
    // Moves (x, y) along the segment's line onto the window edge named by one of its region bits.
    void moveToEdge(int bit, double& x, double& y, double otherX, double otherY) const;
    // Moves one end point into the window; false when the segment misses it.
    bool clipEnd(double& x, double& y, double otherX, double otherY, int otherCode) const;

    double m_xmin;
    double m_ymin;
    double m_xmax;
    double m_ymax;
};

} // namespace internal
} // namespace Road
} // namespace Pelko
