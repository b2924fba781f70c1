#include <road/internal/linesegmentclipper.h>

#include <cmath>

namespace Pelko {
namespace Road {
namespace internal {

namespace {

enum Region : int {
    Inside = 0,
    Left = 1, // x < xmin
    Right = 2, // x > xmax
    Below = 4, // y < ymin
    Above = 8, // y > ymax
};

bool finite(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y);
}

} // namespace

LineSegmentClipper::LineSegmentClipper(double xmin, double ymin, double xmax, double ymax)
    : m_xmin(xmin)
    , m_ymin(ymin)
    , m_xmax(xmax)
    , m_ymax(ymax)
{
}

int LineSegmentClipper::regionCode(double x, double y) const
{
    int code = Inside;
    if (x < m_xmin)
        code |= Left;
    else if (x > m_xmax)
        code |= Right;
    if (y < m_ymin)
        code |= Below;
    else if (y > m_ymax)
        code |= Above;
    return code;
}

void LineSegmentClipper::moveToEdge(int bit, double& x, double& y, double otherX, double otherY) const
{
    // The edge is set exactly rather than interpolated, so the moved point's code in that axis is 0.
    if (bit & (Left | Right)) {
        const double edge = (bit & Left) ? m_xmin : m_xmax;
        y = otherY + (y - otherY) * (edge - otherX) / (x - otherX);
        x = edge;
    } else {
        const double edge = (bit & Below) ? m_ymin : m_ymax;
        x = otherX + (x - otherX) * (edge - otherY) / (y - otherY);
        y = edge;
    }
}

bool LineSegmentClipper::clipEnd(double& x, double& y, double otherX, double otherY, int otherCode) const
{
    // The x edge first, then the y edge; a point crossing out of one edge onto the far side of another
    // may need a third move. Each move puts the point on the segment nearer the other end, so four
    // moves settle any point; the bound only guards against rounding ping-pong.
    for (int step = 0; step < 4; ++step) {
        const int code = regionCode(x, y);
        if (code == Inside)
            return true;
        // Both beyond the same edge: the rest of the segment cannot come back into the window.
        if (code & otherCode)
            return false;
        moveToEdge((code & (Left | Right)) ? (code & (Left | Right)) : code, x, y, otherX, otherY);
    }
    return regionCode(x, y) == Inside;
}

bool LineSegmentClipper::clip(double& x1, double& y1, double& x2, double& y2) const
{
    if (!finite(x1, y1) || !finite(x2, y2))
        return false;
    // Also catches NaN bounds; without it an inverted window would let crossing segments through.
    if (!(m_xmin <= m_xmax && m_ymin <= m_ymax))
        return false;
    const int code1 = regionCode(x1, y1);
    const int code2 = regionCode(x2, y2);
    if ((code1 | code2) == Inside)
        return true;
    if (code1 & code2)
        return false;
    if (code1 != Inside && !clipEnd(x1, y1, x2, y2, code2))
        return false;
    // The start now lies in the window, so the end cannot miss it any more.
    if (code2 != Inside && !clipEnd(x2, y2, x1, y1, Inside))
        return false;
    return true;
}

bool LineSegmentClipper::intersects(double minX, double minY, double maxX, double maxY) const
{
    // Written as positive comparisons so that a NaN anywhere gives false.
    if (!(m_xmin <= m_xmax && m_ymin <= m_ymax))
        return false;
    if (!(minX <= maxX && minY <= maxY))
        return false;
    return minX <= m_xmax && m_xmin <= maxX && minY <= m_ymax && m_ymin <= maxY;
}

} // namespace internal
} // namespace Road
} // namespace Pelko
