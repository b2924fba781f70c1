#include "cancellooks.h"
#include "largeallocator.h"

#include <io/borderextractor.h>
#include <io/iprogress.h>
#include <io/trianglertreecontrol.h>

#include <corvex/triangulationcheck.h>

#include <utility/connection.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <set>
#include <tuple>
#include <unordered_set>
#include <vector>

using Pelko::Corvex::checkTriangulation;
using Pelko::Corvex::Delaunay;
using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Polygon;
using Pelko::Corvex::Triangle2D;
using Pelko::Corvex::Triangle3D;
using Pelko::Corvex::TriangulationCheck;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

namespace {

// Every step costs database queries; no sound border of a stored model comes near this.
constexpr unsigned maxSteps = 50000000;

bool planeLess(const Point3D& a, const Point3D& b)
{
    return std::make_tuple(a.x(), a.y()) < std::make_tuple(b.x(), b.y());
}

bool planeEqual(const Point3D& a, const Point3D& b)
{
    return a.x() == b.x() && a.y() == b.y();
}

bool spaceLess(const Point3D& a, const Point3D& b)
{
    return std::make_tuple(a.x(), a.y(), a.z()) < std::make_tuple(b.x(), b.y(), b.z());
}

Point plane(const Point3D& p)
{
    return Point(p.x(), p.y());
}

// Whether a - b is exactly the double d it rounded to.
bool exactDifference(double a, double b, double d)
{
    const double bv = a - d;
    return (a - (d + bv)) + (bv - b) == 0;
}

// 1 when c lies left of the line from a to b, -1 right of it, 0 on it; exact. Answered at once where
// doubles tell: a sign clear of rounding, or a zero no rounding touched (corners on a line of a grid, as
// fans and meshes have them, which the exact predicate takes long over).
int turning(const Point& a, const Point& b, const Point& c)
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
    return Triangle2D(a, b, c).orientation();
}

// Whether the triangle has an area seen from above (as Triangle2D::isDegenerate tells the opposite).
bool hasArea(const Point& a, const Point& b, const Point& c)
{
    for (double v : { a.getX(), a.getY(), b.getX(), b.getY(), c.getX(), c.getY() })
        if (!std::isfinite(v))
            return false;
    return turning(a, b, c) != 0;
}

// Whether, of the points on one line through centre, p lies on a's side of it.
bool sameWay(const Point& centre, const Point& a, const Point& p)
{
    return a.getX() != centre.getX() ? (a.getX() > centre.getX()) == (p.getX() > centre.getX())
                                     : (a.getY() > centre.getY()) == (p.getY() > centre.getY());
}

// Directions from centre ordered by the angle turned from the direction towards `from`, counterclockwise
// for side 1 and clockwise for side -1: 0 less than half round, 1 from half round on, 2 for `from`'s own
// direction, which comes last; within 0 and 1, p before q when side * turning(centre, p, q) > 0.
int halfTurned(const Point& centre, const Point& from, const Point& p, int side)
{
    const int o = side * turning(centre, from, p);
    if (o != 0)
        return o > 0 ? 0 : 1;
    return sameWay(centre, from, p) ? 2 : 1;
}

// Asks the callback whether the work is cancelled once every `every` units of work, and stays cancelled.
class CancelCheck
{
public:
    CancelCheck(IProgress* progress, unsigned every)
        : m_progress(progress)
        , m_every(every)
    {
    }
    bool operator()()
    {
        if (m_cancelled || !m_progress)
            return m_cancelled;
        if (++m_units < m_every)
            return false;
        m_units = 0;
        return m_cancelled = m_progress->isCancelled();
    }
    bool cancelled() const { return m_cancelled; }

private:
    IProgress* m_progress;
    unsigned m_every;
    unsigned m_units = 0;
    bool m_cancelled = false;
};

// The walk along the border, over a source of triangles that names their corners its own way:
//   Vertex                                   a corner
//   bool first(Vertex corners[3])            the corners of triangle 0; false when there is none
//   void around(const Vertex&, vector&)      the corners of every triangle holding the point
//   bool isBorderEdge(from, to)              exactly one triangle holds both points
//   Point3D position(const Vertex&)
template<class Source> class Walk
{
public:
    using Vertex = typename Source::Vertex;

    Walk(Source& source, IProgress* progress, unsigned checkEvery)
        : m_source(source)
        , m_cancel(progress, checkEvery)
    {
    }

    bool cancelled() const { return m_cancel.cancelled(); }

    Point3D position(const Vertex& v) const { return m_source.position(v); }

    // Every corner the walk stood at, in the descent to the start and along the border: only the triangles
    // that hold these decide its way.
    const std::vector<Vertex>& walked() const { return m_walked; }

    // Descends from triangle 0's smallest corner to smaller x through the triangles around it.
    std::pair<Vertex, bool> borderPoint()
    {
        Vertex corners[3];
        if (!m_source.first(corners))
            return { Vertex(), false };
        Vertex current = smallest(corners, corners + 3);
        // x falls strictly with every step, so the descent ends; the cap only guards odd values.
        for (unsigned step = 0; step < maxSteps && !m_cancel(); ++step) {
            m_walked.push_back(current);
            m_source.around(current, m_corners);
            if (m_corners.empty())
                return { Vertex(), false };
            const Vertex lowest = smallest(m_corners.begin(), m_corners.end());
            if (!(position(lowest).x() < position(current).x()))
                return { current, true };
            current = lowest;
        }
        return { Vertex(), false };
    }

    // The first corner around current, greatest in plane order first, whose edge to current has a triangle
    // on one side only; previous and current themselves are skipped.
    std::pair<Vertex, bool> borderEdge(const Vertex& previous, const Vertex& current)
    {
        if (m_cancel())
            return { Vertex(), false };
        m_source.around(current, m_corners);
        std::sort(m_corners.begin(), m_corners.end(),
                  [&](const Vertex& a, const Vertex& b) { return planeLess(position(b), position(a)); });
        m_corners.erase(std::unique(m_corners.begin(), m_corners.end(),
                                    [&](const Vertex& a, const Vertex& b) {
                                        return planeEqual(position(a), position(b));
                                    }),
                        m_corners.end());
        const Point3D before = position(previous), at = position(current);
        for (const Vertex& candidate : m_corners) {
            const Point3D p = position(candidate);
            if (planeEqual(p, before) || planeEqual(p, at))
                continue;
            if (m_cancel())
                return { Vertex(), false };
            if (m_source.isBorderEdge(current, candidate))
                return { candidate, true };
        }
        return { Vertex(), false };
    }

    // The ring round the faces, for a source that knows the sides of its border edges (singleEdgesAt,
    // side, leastCorner); second says whether it closed. It starts as border() does and keeps the faces on
    // the side the first edge has them. Where faces meet only at a corner several border edges leave it:
    // the walk takes the first one turning from the arriving edge towards the faces' side, across the gap
    // it came by, so the ring passes such a corner once for each gap and never crosses itself.
    std::pair<Polygon, bool> ring()
    {
        const std::pair<Vertex, bool> start = borderPoint();
        if (!start.second)
            return { Polygon(), false };
        const std::pair<Vertex, bool> first = borderEdge(start.first, start.first);
        if (!first.second)
            return { Polygon(), false };
        Ring found = ringFrom(start.first, first.first);
        if (!found.closed || found.outer || cancelled())
            return { found.polygon, found.closed };
        // The descent ended on the ring of a hole. The least corner lies on the outer ring, which leaves it
        // away from everything, towards smaller x.
        const Vertex least = m_source.leastCorner();
        const Point at = plane(position(least));
        const std::pair<Vertex, bool> next
            = turn(Point(at.getX() - (std::fabs(at.getX()) + 1), at.getY()), least, 1, nullptr);
        if (!next.second)
            return { Polygon(), false };
        found = ringFrom(least, next.first);
        return { found.polygon, found.closed && found.outer };
    }

    Polygon border()
    {
        Polygon polygon;
        const std::pair<Vertex, bool> start = borderPoint();
        if (!start.second)
            return polygon;
        const Point3D first = position(start.first);
        polygon.appendPoint(plane(first));
        std::set<std::pair<double, double>> visited { { first.x(), first.y() } };

        Vertex previous = start.first;
        Vertex current = start.first;
        std::pair<Vertex, bool> next = borderEdge(previous, current);
        for (unsigned step = 0; next.second && step < maxSteps; ++step) {
            const Point3D p = position(next.first);
            // A border touching itself could lead the walk around a loop without the start point: stop at
            // the first point seen before.
            if (!visited.insert({ p.x(), p.y() }).second)
                break;
            previous = current;
            current = next.first;
            m_walked.push_back(current);
            polygon.appendPoint(plane(p));
            next = borderEdge(previous, current);
        }
        return cancelled() ? Polygon() : polygon;
    }

private:
    struct Ring
    {
        Polygon polygon;
        bool closed = false;
        // The faces inside it, not round it as round a hole.
        bool outer = false;
    };

    // Around from the first edge until that edge comes again.
    Ring ringFrom(const Vertex& start, const Vertex& second)
    {
        Ring ring;
        const int side = m_source.side(start, second);
        if (side == 0)
            return ring;
        ring.polygon.appendPoint(plane(position(start)));
        std::unordered_set<unsigned long long> taken { edgeKey(start, second) };
        Vertex previous = start;
        Vertex current = second;
        for (unsigned step = 0; step < maxSteps && !m_cancel(); ++step) {
            m_walked.push_back(current);
            const std::pair<Vertex, bool> next = turn(plane(position(previous)), current, side, &previous);
            if (!next.second)
                return ring;
            if (current == start && next.first == second) {
                ring.closed = true;
                ring.outer = side * twiceArea(ring.polygon) > 0;
                return ring;
            }
            ring.polygon.appendPoint(plane(position(current)));
            // Only faces that overlap could lead the walk along an edge twice.
            if (!taken.insert(edgeKey(current, next.first)).second)
                return ring;
            previous = current;
            current = next.first;
        }
        return ring;
    }

    static unsigned long long edgeKey(const Vertex& from, const Vertex& to)
    {
        return static_cast<unsigned long long>(from) << 32 | to;
    }

    // Of the border edges at `at` (but the one it was reached by), the first one turning from the
    // direction towards `from` counterclockwise (side 1) or clockwise (side -1) whose face lies on that
    // side of it.
    std::pair<Vertex, bool> turn(const Point& from, const Vertex& at, int side, const Vertex* arrived)
    {
        m_source.singleEdgesAt(at, m_ends);
        if (arrived) {
            m_ends.erase(std::remove(m_ends.begin(), m_ends.end(), *arrived), m_ends.end());
            if (m_ends.size() == 1)
                return { m_ends[0], true };
        }
        const Point centre = plane(position(at));
        std::pair<Vertex, bool> best { Vertex(), false };
        int bestHalf = 0;
        Point bestPoint;
        for (const Vertex& candidate : m_ends) {
            if (m_source.side(at, candidate) != side)
                continue;
            const Point p = plane(position(candidate));
            const int h = halfTurned(centre, from, p, side);
            if (!best.second || h < bestHalf
                || (h == bestHalf && h < 2 && side * turning(centre, p, bestPoint) > 0)) {
                best = { candidate, true };
                bestHalf = h;
                bestPoint = p;
            }
        }
        return best;
    }

    static double twiceArea(const Polygon& polygon)
    {
        // From the first point, so that large coordinates keep their digits.
        const unsigned n = polygon.getPointCount();
        double twice = 0;
        for (unsigned i = 1; i + 1 < n; ++i) {
            const Point& o = polygon.getPoint(0);
            const Point &a = polygon.getPoint(i), &b = polygon.getPoint(i + 1);
            twice += (a.getX() - o.getX()) * (b.getY() - o.getY())
                - (b.getX() - o.getX()) * (a.getY() - o.getY());
        }
        return twice;
    }

    template<class It> Vertex smallest(It begin, It end) const
    {
        return *std::min_element(begin, end, [&](const Vertex& a, const Vertex& b) {
            return spaceLess(position(a), position(b));
        });
    }

    Source& m_source;
    CancelCheck m_cancel;
    std::vector<Vertex> m_corners;
    std::vector<Vertex> m_ends;
    std::vector<Vertex> m_walked;
};

// The stored triangles, found through the R*Tree window around a point.
class StoredTriangles
{
public:
    using Vertex = Point3D;

    explicit StoredTriangles(Connection* connection)
        : m_connection(connection)
    {
    }
    bool first(Vertex corners[3]) const
    {
        const std::pair<Triangle3D, bool> triangle = TriangleRTreeControl::getTriangle(m_connection, 0);
        for (unsigned i = 0; i < 3; ++i)
            corners[i] = triangle.first.getVertex(i);
        return triangle.second;
    }
    void around(const Vertex& point, std::vector<Vertex>& corners) const
    {
        corners.clear();
        for (const Triangle3D& triangle :
             TriangleRTreeControl::getBelongedTriangles(m_connection, plane(point)))
            for (unsigned i = 0; i < 3; ++i)
                corners.push_back(triangle.getVertex(i));
    }
    bool isBorderEdge(const Vertex& from, const Vertex& to) const
    {
        return TriangleRTreeControl::getBelongedTriangles(m_connection, plane(to), plane(from)).size() == 1;
    }
    Point3D position(const Vertex& v) const { return v; }

private:
    Connection* m_connection;
};

// Each triangle's outline where corners of other triangles lie on its edges: its corners in turn, with the
// corners on each edge between its ends in order along it. A triangle without area has none.
struct Outlines
{
    // Triangle t's outline is corners[start[t]] up to corners[start[t + 1]].
    std::vector<size_t> start;
    std::vector<unsigned> corners;
};

// Triangles as corner numbers, as the database written from them holds them: triangle i is row i. Each
// number names one position in the plane and no two numbers the same one, so the triangles that hold a
// point are those with it as a corner, and an edge of one triangle only is a border edge. With outlines, a
// triangle also holds the corners on its edges, and an edge is a part of an outline between two of its
// points that follow each other. With a choice of faces, only those are walked.
class MeshCorners
{
public:
    using Vertex = unsigned;

    // The first count of the triangles; a corner without a height has height 0. outlines and chosen
    // (a flag for each triangle) may be null. A cancel through progress, asked once per a batch of
    // triangles, leaves the source unusable: cancelled() tells.
    MeshCorners(const std::vector<Point>& points, const std::vector<double>& heights,
                const std::vector<std::array<unsigned, 3>>& triangles, size_t count, IProgress* progress,
                const Outlines* outlines = nullptr, const std::vector<char>* chosen = nullptr)
        : m_points(points)
        , m_heights(heights)
        , m_triangles(triangles)
        , m_outlines(outlines)
        , m_chosen(chosen)
        , m_count(std::min(count, triangles.size()))
        , m_start(points.size() + 1, 0)
    {
        // The triangles around every point, in one array ordered by point: counted, then each put at its
        // point's next place, which leaves every start where the next point's was.
        // Outlines or not is decided once: the loops run over millions of triangles.
        auto eachCorner = [&](auto take) {
            for (size_t first = 0; first < m_count; first += batch) {
                const size_t last = std::min(m_count, first + batch);
                if (m_outlines) {
                    for (size_t t = first; t < last; ++t)
                        for (const unsigned *v = begin(t), *stop = end(t); v != stop; ++v)
                            take(*v, t);
                } else {
                    for (size_t t = first; t < last; ++t)
                        for (unsigned v : m_triangles[t])
                            take(v, t);
                }
                if (last - first == batch && progress && progress->isCancelled())
                    return false;
            }
            return true;
        };
        m_cancelled = !eachCorner([&](unsigned v, size_t) { ++m_start[v + 1]; });
        if (m_cancelled)
            return;
        for (size_t v = 1; v < m_start.size(); ++v)
            m_start[v] += m_start[v - 1];
        // Not zeroed first: every place is filled below. Filed at random places, its pages would all be
        // touched at once, each a fault: in huge pages there are few.
        m_around.resize(m_start.back());
        m_cancelled
            = !eachCorner([&](unsigned v, size_t t) { m_around[m_start[v]++] = static_cast<unsigned>(t); });
        std::copy_backward(m_start.begin(), m_start.end() - 1, m_start.end());
        m_start[0] = 0;
    }

    bool cancelled() const { return m_cancelled; }

    // Triangle 0's corners, or with a choice the first chosen triangle's.
    bool first(Vertex corners[3]) const
    {
        size_t t = 0;
        while (m_chosen && t < m_count && !(*m_chosen)[t])
            ++t;
        if (t >= m_count)
            return false;
        std::copy(m_triangles[t].begin(), m_triangles[t].end(), corners);
        return true;
    }
    void around(const Vertex& point, std::vector<Vertex>& corners) const
    {
        corners.clear();
        for (size_t i = m_start[point]; i < m_start[point + 1]; ++i)
            if (covers(m_around[i]))
                corners.insert(corners.end(), begin(m_around[i]), end(m_around[i]));
    }
    // The walk asks about the corners around one point in turn: their triangle counts are taken at once.
    bool isBorderEdge(const Vertex& from, const Vertex& to)
    {
        countAround(from);
        const auto range = std::equal_range(m_counts.begin(), m_counts.end(), to);
        return range.second - range.first == 1;
    }
    // The corners whose edge to the point is an edge of one triangle only.
    void singleEdgesAt(const Vertex& point, std::vector<Vertex>& ends)
    {
        countAround(point);
        ends.clear();
        for (size_t i = 0; i < m_counts.size(); ++i)
            if ((i == 0 || m_counts[i - 1] != m_counts[i])
                && (i + 1 == m_counts.size() || m_counts[i + 1] != m_counts[i]))
                ends.push_back(m_counts[i]);
    }
    // Whether one of the faces flagged (walked or not) has the point on its outline.
    bool onOutlineOf(const Vertex& point, const std::vector<char>& faces) const
    {
        for (size_t i = m_start[point]; i < m_start[point + 1]; ++i)
            if (faces[m_around[i]])
                return true;
        return false;
    }
    // 1 when the triangle with the edge from one point to the other lies on its left, -1 on its right, 0
    // when no triangle has that edge.
    int side(const Vertex& from, const Vertex& to) const
    {
        int found = 0;
        eachAround(from, [&](size_t t, unsigned previous, unsigned next) {
            if (next == to)
                found = turnOf(t);
            else if (previous == to)
                found = -turnOf(t);
            return found == 0;
        });
        return found;
    }
    // Whether the triangles with the point on their outlines lie apart around it: no direction from the
    // point runs into two of them.
    bool apartAt(const Vertex& point)
    {
        // Each triangle's angle at the point, from its first direction counterclockwise to its last.
        m_wedges.clear();
        eachAround(point, [&](size_t t, unsigned previous, unsigned next) {
            const bool counterclockwise = turnOf(t) > 0;
            const Point& first = m_points[counterclockwise ? next : previous];
            m_wedges.push_back(
                { first, m_points[counterclockwise ? previous : next],
                  std::atan2(first.getY() - m_points[point].getY(), first.getX() - m_points[point].getX()) });
            return true;
        });
        if (m_wedges.size() < 2)
            return true;
        const Point& centre = m_points[point];
        // By the angle of the first direction from the direction of growing x. Sorted by the rounded angle
        // first: the order is right when, turning from each start to the next, the starts go round once.
        const Point east(centre.getX() + std::fabs(centre.getX()) + 1, centre.getY());
        auto before = [&](const Point& a, const Point& b) {
            const int ha = halfTurned(centre, east, a, 1) % 2, hb = halfTurned(centre, east, b, 1) % 2;
            return ha != hb ? ha < hb : turning(centre, a, b) > 0;
        };
        auto roundOnce = [&] {
            size_t rounds = 0;
            for (size_t i = 0; i < m_wedges.size(); ++i)
                rounds += !before(m_wedges[i].first, m_wedges[(i + 1) % m_wedges.size()].first);
            return rounds == 1;
        };
        std::sort(m_wedges.begin(), m_wedges.end(),
                  [&](const auto& a, const auto& b) { return a.angle < b.angle; });
        if (!roundOnce()) {
            std::sort(m_wedges.begin(), m_wedges.end(),
                      [&](const auto& a, const auto& b) { return before(a.first, b.first); });
            // Two start in one direction.
            if (!roundOnce())
                return false;
        }
        // Each one ends before the next one starts, turning on from its own start.
        for (size_t i = 0; i < m_wedges.size(); ++i) {
            const Point& start = m_wedges[i].first;
            const Point& last = m_wedges[i].second;
            const Point& following = m_wedges[(i + 1) % m_wedges.size()].first;
            const int hl = halfTurned(centre, start, last, 1), hf = halfTurned(centre, start, following, 1);
            if (hl == 2 || hf == 2 || hl > hf || (hl == hf && turning(centre, last, following) < 0))
                return false;
        }
        return true;
    }
    // The least corner of the triangles walked in plane order: it lies on their outer border.
    Vertex leastCorner() const
    {
        Vertex least = ~0u;
        for (size_t t = 0; t < m_count; ++t)
            if (covers(t))
                for (const unsigned *v = begin(t), *last = end(t); v != last; ++v)
                    if (least == ~0u || planeLess(position(*v), position(least)))
                        least = *v;
        return least;
    }
    Point3D position(const Vertex& v) const
    {
        const Point& p = m_points[v];
        return Point3D(p.getX(), p.getY(), v < m_heights.size() ? m_heights[v] : 0.0);
    }

private:
    // Calls visit(t, previous, next) for each walked triangle with the point on its outline, previous and
    // next the points before and after it there, until a visit returns false.
    template<class Visit> void eachAround(const Vertex& point, Visit visit) const
    {
        for (size_t i = m_start[point]; i < m_start[point + 1]; ++i) {
            const size_t t = m_around[i];
            if (!covers(t))
                continue;
            const unsigned *b = begin(t), *e = end(t);
            const size_t n = static_cast<size_t>(e - b);
            const size_t at = static_cast<size_t>(std::find(b, e, point) - b);
            if (!visit(t, b[(at + n - 1) % n], b[(at + 1) % n]))
                return;
        }
    }
    // 1 for a triangle whose corners run counterclockwise, as its outline does; -1 clockwise.
    int turnOf(size_t t) const
    {
        const auto& c = m_triangles[t];
        return turning(m_points[c[0]], m_points[c[1]], m_points[c[2]]);
    }
    // The corners next to the point along the outlines of the triangles around it, sorted: both other corners
    // of a triangle.
    void countAround(const Vertex& point)
    {
        if (m_countsFor == point)
            return;
        m_countsFor = point;
        m_counts.clear();
        eachAround(point, [&](size_t, unsigned previous, unsigned next) {
            m_counts.push_back(previous);
            m_counts.push_back(next);
            return true;
        });
        std::sort(m_counts.begin(), m_counts.end());
    }
    const unsigned* begin(size_t t) const
    {
        return m_outlines ? m_outlines->corners.data() + m_outlines->start[t] : m_triangles[t].data();
    }
    const unsigned* end(size_t t) const
    {
        return m_outlines ? m_outlines->corners.data() + m_outlines->start[t + 1] : m_triangles[t].data() + 3;
    }
    // As the stored query finds them: a flat triangle holds no point, not even its corners.
    bool covers(size_t triangle) const
    {
        if (m_chosen)
            return (*m_chosen)[triangle];
        if (m_outlines)
            return m_outlines->start[triangle] != m_outlines->start[triangle + 1];
        const auto& t = m_triangles[triangle];
        return !Triangle2D(m_points[t[0]], m_points[t[1]], m_points[t[2]]).isDegenerate();
    }

    const std::vector<Point>& m_points;
    const std::vector<double>& m_heights;
    const std::vector<std::array<unsigned, 3>>& m_triangles;
    const Outlines* m_outlines;
    const std::vector<char>* m_chosen;
    size_t m_count;
    // Three corners a triangle: a TIN of over 1.4 billion triangles would not fit in memory anyway.
    std::vector<unsigned> m_start;
    std::vector<unsigned, LargeAllocator<unsigned>> m_around;
    unsigned m_countsFor = ~0u;
    std::vector<unsigned> m_counts;
    // A triangle's angle at a corner: from its first direction counterclockwise to its last, and the first
    // direction's angle, rounded.
    struct Wedge
    {
        Point first, second;
        double angle;
    };
    std::vector<Wedge> m_wedges;
    bool m_cancelled = false;
    // Triangles filed between two looks at the cancel flag.
    static constexpr size_t batch = 65536;
};

// Triangles given by their corners, numbered so that corners at exactly the same place in the plane share a
// number; heights are left out.
struct JoinedCorners
{
    std::vector<Point> points;
    std::vector<std::array<unsigned, 3>> triangles;
};

// Point numbers are unsigned, and the table below holds twice as many slots as corners.
constexpr size_t mostJoinedTriangles = std::numeric_limits<unsigned>::max() / 6;

// Mixes the bits of both coordinates into all bits of the result.
size_t placeHash(double x, double y)
{
    std::uint64_t bx, by;
    std::memcpy(&bx, &x, sizeof bx);
    std::memcpy(&by, &y, sizeof by);
    std::uint64_t h = bx * 0x9E3779B97F4A7C15ull ^ (by + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<size_t>(h ^ h >> 29 ^ h >> 47);
}

// False when cancelled on the way. Numbers are found through an open-addressed table of point numbers:
// a fraction of the memory of a map of positions, which a drawing of millions of faces would feel.
bool joinCorners(const std::vector<Triangle3D>& triangles, JoinedCorners& joined, CancelCheck& cancel)
{
    const size_t corners = 3 * triangles.size();
    size_t capacity = 16;
    while (capacity < 2 * corners)
        capacity *= 2;
    constexpr unsigned empty = ~0u;
    std::vector<unsigned> table(capacity, empty);
    joined.points.clear();
    joined.triangles.resize(triangles.size());
    for (size_t t = 0; t < triangles.size(); ++t) {
        if (cancel())
            return false;
        for (unsigned k = 0; k < 3; ++k) {
            const Point3D corner = triangles[t].getVertex(k);
            // 0 and -0 are one place.
            const double x = corner.x() + 0.0, y = corner.y() + 0.0;
            size_t slot = placeHash(x, y) & (capacity - 1);
            while (table[slot] != empty
                   && !(joined.points[table[slot]].getX() == x && joined.points[table[slot]].getY() == y))
                slot = (slot + 1) & (capacity - 1);
            if (table[slot] == empty) {
                table[slot] = static_cast<unsigned>(joined.points.size());
                joined.points.emplace_back(x, y);
            }
            joined.triangles[t][k] = table[slot];
        }
    }
    return true;
}

// Triangle t's outline: its corners, or with outlines the corners with those on its edges.
std::pair<const unsigned*, const unsigned*> outlineOf(const JoinedCorners& mesh, const Outlines* outlines,
                                                      size_t t)
{
    if (!outlines)
        return { mesh.triangles[t].data(), mesh.triangles[t].data() + 3 };
    return { outlines->corners.data() + outlines->start[t],
             outlines->corners.data() + outlines->start[t + 1] };
}

// Square cells over a box, about as many as asked for; a side of the box may be flat.
class CellGrid
{
public:
    CellGrid(double minX, double maxX, double minY, double maxY, size_t cells)
        : m_minX(minX)
        , m_maxX(maxX)
        , m_minY(minY)
        , m_maxY(maxY)
    {
        const double width = maxX - minX, height = maxY - minY;
        const double count = static_cast<double>(std::max<size_t>(cells, 1));
        m_side = std::sqrt(width * height / count);
        if (!(m_side > 0))
            m_side = std::max(width, height) / count;
        // All in one place, or coordinates that are not finite: one cell.
        if (!(m_side > 0) || !std::isfinite(m_side))
            m_side = 0;
        const size_t limit = 4 * std::max<size_t>(cells, 1);
        auto cellsAlong = [&](double length) {
            return m_side > 0 ? static_cast<size_t>(std::min(length / m_side, static_cast<double>(limit))) + 1
                              : 1;
        };
        m_columns = cellsAlong(width);
        m_rows = cellsAlong(height);
        m_perSide = m_side > 0 ? 1 / m_side : 0;
        // Rounding in finding the cells a shape meets is kept far below this.
        m_slack = 64 * std::numeric_limits<double>::epsilon()
            * std::max({ std::fabs(minX), std::fabs(maxX), std::fabs(minY), std::fabs(maxY), m_side });
    }

    size_t cells() const { return m_columns * m_rows; }
    bool boxMeets(double lowX, double highX, double lowY, double highY) const
    {
        return !(highX < m_minX || lowX > m_maxX || highY < m_minY || lowY > m_maxY);
    }
    size_t cellOf(const Point& p) const { return row(p.getY()) * m_columns + column(p.getX()); }

    // Calls visit(cell) for every cell that the triangle or the segment (count 3 or 2 corners) meets, each
    // once, and for a few beside them; stops at the first visit that returns false, and returns false then.
    // A point on the shape is always in a cell visited.
    template<class Visit> bool forCellsMeeting(const Point* corners, int count, Visit visit) const
    {
        double lowY = corners[0].getY(), highY = lowY, scale = 0;
        for (int i = 0; i < count; ++i) {
            lowY = std::min(lowY, corners[i].getY());
            highY = std::max(highY, corners[i].getY());
            scale = std::max({ scale, std::fabs(corners[i].getX()), std::fabs(corners[i].getY()) });
        }
        const double slack = std::max(m_slack, 64 * std::numeric_limits<double>::epsilon() * scale);
        const size_t firstRow = row(lowY), lastRow = row(highY);
        if (lastRow - firstRow < 2) {
            // A shape across one or two rows: the cells of its box are as good, and found at once.
            double lowX = corners[0].getX(), highX = lowX;
            for (int i = 1; i < count; ++i) {
                lowX = std::min(lowX, corners[i].getX());
                highX = std::max(highX, corners[i].getX());
            }
            const size_t firstColumn = column(lowX), lastColumn = column(highX);
            if (lastColumn - firstColumn < 2) {
                for (size_t r = firstRow; r <= lastRow; ++r)
                    for (size_t c = firstColumn; c <= lastColumn; ++c)
                        if (!visit(r * m_columns + c))
                            return false;
                return true;
            }
        }
        for (size_t r = firstRow; r <= lastRow; ++r) {
            // The shape within the row's band, which is widened for rounding: its x range comes from its
            // corners in the band and where its edges cross the band's bounds.
            const double bandLow = std::max(lowY, r == 0 ? lowY : m_minY + r * m_side - m_slack);
            const double bandHigh
                = std::min(highY, r + 1 == m_rows ? highY : m_minY + (r + 1) * m_side + m_slack);
            double lowX = std::numeric_limits<double>::infinity(), highX = -lowX;
            auto take = [&](double x) {
                lowX = std::min(lowX, x);
                highX = std::max(highX, x);
            };
            for (int i = 0; i < count; ++i) {
                const Point& a = corners[i];
                if (a.getY() >= bandLow && a.getY() <= bandHigh)
                    take(a.getX());
                if (count == 2 && i == 1)
                    break;
                const Point& b = corners[(i + 1) % count];
                for (double y : { bandLow, bandHigh })
                    if ((a.getY() < y && y < b.getY()) || (b.getY() < y && y < a.getY())) {
                        const double x
                            = a.getX() + (y - a.getY()) * ((b.getX() - a.getX()) / (b.getY() - a.getY()));
                        take(std::min(std::max(x, std::min(a.getX(), b.getX())),
                                      std::max(a.getX(), b.getX())));
                    }
            }
            if (lowX > highX)
                continue;
            for (size_t c = column(lowX - slack), lastColumn = column(highX + slack); c <= lastColumn; ++c)
                if (!visit(r * m_columns + c))
                    return false;
        }
        return true;
    }

private:
    size_t column(double x) const { return cell((x - m_minX) * m_perSide, m_columns); }
    size_t row(double y) const { return cell((y - m_minY) * m_perSide, m_rows); }
    static size_t cell(double at, size_t count)
    {
        if (!(at > 0))
            return 0;
        return at < static_cast<double>(count - 1) ? static_cast<size_t>(at) : count - 1;
    }

    double m_minX, m_maxX, m_minY, m_maxY;
    double m_side = 0, m_perSide = 0, m_slack = 0;
    size_t m_columns = 1, m_rows = 1;
};

// Numbered items filed under numbered cells (of a grid, or points): place(i, file) calls file(cell) for each
// cell item i is in.
class CellFiles
{
public:
    template<class Place>
    CellFiles(size_t cells, size_t items, Place place)
        : m_start(cells + 1, 0)
    {
        for (size_t i = 0; i < items; ++i)
            place(i, [&](size_t cell) {
                ++m_start[cell + 1];
                return true;
            });
        for (size_t c = 1; c < m_start.size(); ++c)
            m_start[c] += m_start[c - 1];
        m_items.resize(m_start.back());
        for (size_t i = 0; i < items; ++i)
            place(i, [&](size_t cell) {
                m_items[m_start[cell]++] = static_cast<unsigned>(i);
                return true;
            });
        std::copy_backward(m_start.begin(), m_start.end() - 1, m_start.end());
        m_start[0] = 0;
    }
    const unsigned* begin(size_t cell) const { return m_items.data() + m_start[cell]; }
    const unsigned* end(size_t cell) const { return m_items.data() + m_start[cell + 1]; }
    size_t size(size_t cell) const { return m_start[cell + 1] - m_start[cell]; }

private:
    std::vector<size_t> m_start;
    std::vector<unsigned> m_items;
};

// The box of some of the mesh's points.
CellGrid gridOver(const JoinedCorners& mesh, const std::vector<unsigned>& points, size_t cells)
{
    double minX = mesh.points[points[0]].getX(), maxX = minX;
    double minY = mesh.points[points[0]].getY(), maxY = minY;
    for (unsigned v : points) {
        minX = std::min(minX, mesh.points[v].getX());
        maxX = std::max(maxX, mesh.points[v].getX());
        minY = std::min(minY, mesh.points[v].getY());
        maxY = std::max(maxY, mesh.points[v].getY());
    }
    return CellGrid(minX, maxX, minY, maxY, cells);
}

// Some of the mesh's points, each once, in cells of about one point each.
struct PointCells
{
    PointCells(const JoinedCorners& mesh, std::vector<unsigned> numbers)
        : points(unique(std::move(numbers)))
        , grid(gridOver(mesh, points, points.size()))
        , files(grid.cells(), points.size(),
                [&](size_t i, auto file) { file(grid.cellOf(mesh.points[points[i]])); })
    {
    }
    static std::vector<unsigned> unique(std::vector<unsigned> numbers)
    {
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        return numbers;
    }

    std::vector<unsigned> points;
    CellGrid grid;
    CellFiles files;
};

// Whether p lies on the segment from a to b strictly between its ends; exact.
bool strictlyBetween(const Point& a, const Point& b, const Point& p)
{
    // On the line, a coordinate in which the ends differ orders the three points.
    const bool inside = a.getX() != b.getX()
        ? std::min(a.getX(), b.getX()) < p.getX() && p.getX() < std::max(a.getX(), b.getX())
        : std::min(a.getY(), b.getY()) < p.getY() && p.getY() < std::max(a.getY(), b.getY());
    return inside && turning(a, b, p) == 0;
}

enum class Holder { None, Found, Unsure };

// Whether a covering triangle holds one of the points without having it on its outline, for a few points
// among many triangles: each triangle is tested against the points in the cells it meets. A large triangle
// meets many cells (the triangles of a fan cover the points along the border many times over): once the
// cells and points looked at pass `budget`, the answer is Unsure.
Holder foreignHolder(const JoinedCorners& mesh, const std::vector<char>& covering, const Outlines* outlines,
                     const std::vector<unsigned>& walked, size_t budget, CancelCheck& cancel)
{
    if (walked.empty())
        return Holder::None;
    const PointCells cells(mesh, walked);
    size_t spent = 0;
    Holder holder = Holder::None;
    for (size_t index = 0; index < mesh.triangles.size(); ++index) {
        if (cancel())
            return Holder::Unsure;
        if (!covering[index])
            continue;
        const std::array<unsigned, 3>& t = mesh.triangles[index];
        const auto outline = outlineOf(mesh, outlines, index);
        const Point corners[3] = { mesh.points[t[0]], mesh.points[t[1]], mesh.points[t[2]] };
        const double lowX = std::min({ corners[0].getX(), corners[1].getX(), corners[2].getX() });
        const double highX = std::max({ corners[0].getX(), corners[1].getX(), corners[2].getX() });
        const double lowY = std::min({ corners[0].getY(), corners[1].getY(), corners[2].getY() });
        const double highY = std::max({ corners[0].getY(), corners[1].getY(), corners[2].getY() });
        if (!cells.grid.boxMeets(lowX, highX, lowY, highY))
            continue;
        const Triangle2D plane(corners[0], corners[1], corners[2]);
        // Spending far ahead of the share of the triangles looked at, it would pass the budget (a fan's
        // triangles cost more the further round): unsure at once.
        const size_t allowed
            = std::min(budget, budget / 8 + budget / mesh.triangles.size() * 2 * (index + 1));
        cells.grid.forCellsMeeting(corners, 3, [&](size_t cell) {
            spent += 1 + cells.files.size(cell);
            if (spent > allowed) {
                holder = Holder::Unsure;
                return false;
            }
            for (const unsigned* i = cells.files.begin(cell); i != cells.files.end(cell); ++i) {
                const unsigned v = cells.points[*i];
                const Point& p = mesh.points[v];
                if (p.getX() < lowX || p.getX() > highX || p.getY() < lowY || p.getY() > highY)
                    continue;
                if (std::find(outline.first, outline.second, v) != outline.second)
                    continue;
                if (plane.contain(p)) {
                    holder = Holder::Found;
                    return false;
                }
            }
            return true;
        });
        if (holder != Holder::None)
            return holder;
    }
    return Holder::None;
}

// Whether a corner of a covering triangle lies strictly inside one of the edges of one triangle only that
// meet at a corner the walk stood at. The walk took such an edge as a border edge whole, where it is cut.
// Every point is looked up among the edges filed in its cell; once the edges looked at pass `budget` per
// point, the answer is Unsure.
Holder cornerOnWalkedEdge(const JoinedCorners& mesh, MeshCorners& source, const std::vector<char>& covering,
                          const std::vector<unsigned>& walked, size_t budget, CancelCheck& cancel)
{
    std::vector<std::pair<unsigned, unsigned>> edges;
    std::vector<unsigned> ends;
    for (unsigned v : PointCells::unique(walked)) {
        if (cancel())
            return Holder::Unsure;
        source.singleEdgesAt(v, ends);
        for (unsigned w : ends)
            edges.emplace_back(std::min(v, w), std::max(v, w));
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    if (edges.empty())
        return Holder::None;
    ends.clear();
    for (const auto& [a, b] : edges) {
        ends.push_back(a);
        ends.push_back(b);
    }
    // Fine enough that few points share a cell with an edge, and no finer than the points.
    const CellGrid grid = gridOver(mesh, ends, std::max(edges.size(), mesh.points.size() / 16));
    const CellFiles files(grid.cells(), edges.size(), [&](size_t i, auto file) {
        const Point segment[2] = { mesh.points[edges[i].first], mesh.points[edges[i].second] };
        grid.forCellsMeeting(segment, 2, file);
    });
    size_t spent = 0;
    budget *= mesh.points.size() + edges.size();
    for (unsigned v = 0; v < mesh.points.size(); ++v) {
        if (cancel())
            return Holder::Unsure;
        const Point& p = mesh.points[v];
        if (!grid.boxMeets(p.getX(), p.getX(), p.getY(), p.getY()))
            continue;
        const size_t cell = grid.cellOf(p);
        spent += files.size(cell);
        if (spent > budget)
            return Holder::Unsure;
        for (const unsigned* i = files.begin(cell); i != files.end(cell); ++i) {
            const auto& [a, b] = edges[*i];
            if (v != a && v != b && strictlyBetween(mesh.points[a], mesh.points[b], p)
                && source.onOutlineOf(v, covering))
                return Holder::Found;
        }
    }
    return Holder::None;
}

// The outlines of the covering triangles where corners lie on edges of one such triangle only: false when
// cancelled. Only an end of such an edge can lie on one without the triangles overlapping there, so only
// those ends are looked for. outlines.corners stays empty when no corner lies on an edge.
bool outlineTJunctions(const JoinedCorners& mesh, const std::vector<char>& covering, Outlines& outlines,
                       CancelCheck& cancel)
{
    const size_t count = mesh.triangles.size();
    // The triangles with area around each point.
    const CellFiles around(mesh.points.size(), count, [&](size_t t, auto file) {
        if (covering[t])
            for (unsigned v : mesh.triangles[t])
                file(v);
    });

    // The edges of one triangle only, as (triangle, edge k from corner k to corner k + 1), found at their
    // lower end among the edges of the triangles around it.
    struct Edge
    {
        unsigned other, triangle, k;
    };
    std::vector<Edge> edges;
    std::vector<std::pair<unsigned, unsigned>> single;
    std::vector<unsigned> ends;
    for (unsigned a = 0; a < mesh.points.size(); ++a) {
        if (cancel())
            return false;
        edges.clear();
        for (const unsigned* i = around.begin(a); i != around.end(a); ++i) {
            const auto& t = mesh.triangles[*i];
            const unsigned k = static_cast<unsigned>(std::find(t.begin(), t.end(), a) - t.begin());
            if (t[(k + 1) % 3] > a)
                edges.push_back({ t[(k + 1) % 3], *i, k });
            if (t[(k + 2) % 3] > a)
                edges.push_back({ t[(k + 2) % 3], *i, (k + 2) % 3 });
        }
        std::sort(edges.begin(), edges.end(), [](const Edge& x, const Edge& y) { return x.other < y.other; });
        for (size_t i = 0; i < edges.size(); ++i)
            if ((i == 0 || edges[i - 1].other != edges[i].other)
                && (i + 1 == edges.size() || edges[i + 1].other != edges[i].other)) {
                single.emplace_back(edges[i].triangle, edges[i].k);
                ends.push_back(a);
                ends.push_back(edges[i].other);
            }
    }
    outlines.start.clear();
    outlines.corners.clear();
    if (single.empty())
        return true;

    struct Split
    {
        unsigned triangle, k, point;
    };
    std::vector<Split> splits;
    const PointCells cells(mesh, std::move(ends));
    // The ends also in order of x and of y. A point strictly inside an edge lies strictly between its ends
    // in the coordinate the edge runs along most: where few ends do, they are tested at once. Cells serve
    // the long edges; ends along a line (a fan's rim) crowd the cells they lie in.
    std::vector<unsigned> byX = cells.points, byY = cells.points;
    std::sort(byX.begin(), byX.end(),
              [&mesh](unsigned p, unsigned q) { return mesh.points[p].getX() < mesh.points[q].getX(); });
    std::sort(byY.begin(), byY.end(),
              [&mesh](unsigned p, unsigned q) { return mesh.points[p].getY() < mesh.points[q].getY(); });
    constexpr ptrdiff_t fewEnds = 64;
    for (const auto& edge : single) {
        // Named copies: a lambda may not capture structured bindings in C++17.
        const unsigned triangle = edge.first, k = edge.second;
        const unsigned a = mesh.triangles[triangle][k], b = mesh.triangles[triangle][(k + 1) % 3];
        const Point segment[2] = { mesh.points[a], mesh.points[b] };
        const bool alongX = std::fabs(segment[1].getX() - segment[0].getX())
            >= std::fabs(segment[1].getY() - segment[0].getY());
        const std::vector<unsigned>& sorted = alongX ? byX : byY;
        auto coordinate
            = [&mesh, alongX](unsigned p) { return alongX ? mesh.points[p].getX() : mesh.points[p].getY(); };
        const double low = std::min(alongX ? segment[0].getX() : segment[0].getY(),
                                    alongX ? segment[1].getX() : segment[1].getY());
        const double high = std::max(alongX ? segment[0].getX() : segment[0].getY(),
                                     alongX ? segment[1].getX() : segment[1].getY());
        const auto first = std::upper_bound(sorted.begin(), sorted.end(), low,
                                            [&](double value, unsigned p) { return value < coordinate(p); });
        const auto last = std::lower_bound(first, sorted.end(), high,
                                           [&](unsigned p, double value) { return coordinate(p) < value; });
        if (last - first <= fewEnds) {
            if (cancel())
                return false;
            for (auto i = first; i != last; ++i)
                if (strictlyBetween(segment[0], segment[1], mesh.points[*i]))
                    splits.push_back({ triangle, k, *i });
            continue;
        }
        const bool whole = cells.grid.forCellsMeeting(segment, 2, [&](size_t cell) {
            for (const unsigned* i = cells.files.begin(cell); i != cells.files.end(cell); ++i) {
                const unsigned v = cells.points[*i];
                if (v != a && v != b && strictlyBetween(segment[0], segment[1], mesh.points[v]))
                    splits.push_back({ triangle, k, v });
            }
            return !cancel();
        });
        if (!whole)
            return false;
    }
    if (splits.empty())
        return true;

    // In order along each edge, from corner k on.
    std::sort(splits.begin(), splits.end(), [&](const Split& x, const Split& y) {
        if (x.triangle != y.triangle || x.k != y.k)
            return std::make_pair(x.triangle, x.k) < std::make_pair(y.triangle, y.k);
        const Point& a = mesh.points[mesh.triangles[x.triangle][x.k]];
        const Point& b = mesh.points[mesh.triangles[x.triangle][(x.k + 1) % 3]];
        const Point &p = mesh.points[x.point], &q = mesh.points[y.point];
        if (a.getX() != b.getX())
            return a.getX() < b.getX() ? p.getX() < q.getX() : p.getX() > q.getX();
        return a.getY() < b.getY() ? p.getY() < q.getY() : p.getY() > q.getY();
    });
    outlines.start.assign(count + 1, 0);
    outlines.corners.reserve(3 * count + splits.size());
    auto next = splits.begin();
    for (size_t t = 0; t < count; ++t) {
        if (covering[t])
            for (unsigned k = 0; k < 3; ++k) {
                outlines.corners.push_back(mesh.triangles[t][k]);
                for (; next != splits.end() && next->triangle == t && next->k == k; ++next)
                    outlines.corners.push_back(next->point);
            }
        outlines.start[t + 1] = outlines.corners.size();
    }
    return true;
}

// Triangles over the outline's points alone that fill its triangle: the triangles of the outlines of a
// mesh without overlaps form one triangulation.
void triangulateOutline(const unsigned* outline, size_t n, const std::array<unsigned, 3>& triangle,
                        std::vector<std::array<unsigned, 3>>& out)
{
    if (n == 3) {
        out.push_back(triangle);
        return;
    }
    // Where each corner is in the outline.
    size_t at[3];
    for (unsigned k = 0; k < 3; ++k)
        at[k] = static_cast<size_t>(std::find(outline, outline + n, triangle[k]) - outline);
    auto point = [&](size_t i) { return outline[i % n]; };
    auto pointsAfter = [&](unsigned k) { return (at[(k + 1) % 3] + n - at[k]) % n - 1; };
    // A fan from the corner facing an edge with points on it; its first and last triangles hold the points
    // on the other two edges, and are fanned from that edge's first and last points.
    unsigned k = 0;
    while (pointsAfter(k) == 0)
        ++k;
    const size_t a = at[k], along = pointsAfter(k) + 1;
    const unsigned apex = triangle[(k + 2) % 3];
    for (size_t i = 0; i < along; ++i) {
        const unsigned from = point(a + i), to = point(a + i + 1);
        if (i == 0 && pointsAfter((k + 2) % 3) > 0) {
            // From the apex back to corner k, fanned from the first point after it.
            const size_t c = at[(k + 2) % 3];
            for (size_t j = 0; j <= pointsAfter((k + 2) % 3); ++j)
                out.push_back({ to, point(c + j), point(c + j + 1) });
        } else if (i + 1 == along && pointsAfter((k + 1) % 3) > 0) {
            // From corner k + 1 on to the apex, fanned from the last point before it.
            const size_t b = at[(k + 1) % 3];
            for (size_t j = 0; j <= pointsAfter((k + 1) % 3); ++j)
                out.push_back({ from, point(b + j), point(b + j + 1) });
        } else {
            out.push_back({ from, to, apex });
        }
    }
}

// Whether the chosen triangles, cut at the corners on their edges, form one triangulation of their
// corners: no two overlap, none is given twice, no corner lies inside one.
TriangulationCheck checkOutlines(const JoinedCorners& mesh, const Outlines* outlines,
                                 const std::vector<char>& chosen, IProgress* progress)
{
    // Only the corners of the triangles checked: a flat face's corner covers nothing.
    constexpr unsigned none = ~0u;
    std::vector<unsigned> number(mesh.points.size(), none);
    std::vector<Point> points;
    std::vector<std::array<unsigned, 3>> pieces;
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        if (!chosen[t])
            continue;
        const auto outline = outlineOf(mesh, outlines, t);
        const size_t first = pieces.size();
        triangulateOutline(outline.first, static_cast<size_t>(outline.second - outline.first),
                           mesh.triangles[t], pieces);
        for (size_t i = first; i < pieces.size(); ++i)
            for (unsigned& v : pieces[i]) {
                if (number[v] == none) {
                    number[v] = static_cast<unsigned>(points.size());
                    points.push_back(mesh.points[v]);
                }
                v = number[v];
            }
    }
    return checkTriangulation(points, pieces, [progress] { return progress && progress->isCancelled(); });
}

// Marks the faces that cover ground: those with an area, each surface once (a face whose three corners are
// another's, in any order, is that face again and is left out; repeats counts those). A face is compared
// only with the earlier ones listed under the same corner, never a busy one, so that a fan is not compared
// round its centre. False when cancelled.
bool coveringFaces(const JoinedCorners& mesh, std::vector<char>& covering, size_t& repeats,
                   CancelCheck& cancel)
{
    const size_t count = mesh.triangles.size();
    covering.assign(count, 0);
    repeats = 0;
    std::vector<unsigned> degree(mesh.points.size(), 0);
    for (size_t t = 0; t < count; ++t) {
        if (cancel())
            return false;
        const auto& c = mesh.triangles[t];
        if (!hasArea(mesh.points[c[0]], mesh.points[c[1]], mesh.points[c[2]]))
            continue;
        covering[t] = 1;
        for (unsigned v : c)
            ++degree[v];
    }
    auto sorted = [&mesh](size_t t) {
        std::array<unsigned, 3> corners = mesh.triangles[t];
        std::sort(corners.begin(), corners.end());
        return corners;
    };
    constexpr unsigned none = ~0u;
    constexpr unsigned busy = 64;
    // The faces listed under each corner, the latest first.
    std::vector<unsigned> latest(mesh.points.size(), none), before(count, none);
    for (size_t t = 0; t < count; ++t) {
        if (cancel())
            return false;
        if (!covering[t])
            continue;
        const std::array<unsigned, 3> corners = sorted(t);
        // Under its least corner, which numbering in the order of the faces keeps near those of the faces
        // before; under its least busy one (ties by number) where that is busy.
        unsigned key = corners[0];
        if (degree[key] > busy)
            key = *std::min_element(corners.begin(), corners.end(), [&](unsigned a, unsigned b) {
                return std::make_pair(degree[a], a) < std::make_pair(degree[b], b);
            });
        unsigned u = latest[key];
        while (u != none && sorted(u) != corners)
            u = before[u];
        if (u != none) {
            covering[t] = 0;
            ++repeats;
            continue;
        }
        before[t] = latest[key];
        latest[key] = static_cast<unsigned>(t);
    }
    return true;
}

// Exactly whether p lies inside the ring (crossings of a ray from it towards greater x).
bool inside(const Polygon& ring, const Point& p, CancelCheck& cancel)
{
    bool in = false;
    const unsigned n = ring.getPointCount();
    for (unsigned i = 0; i < n && !cancel(); ++i) {
        const Point& a = ring.getPoint(i);
        const Point& b = ring.getPoint((i + 1) % n);
        if ((a.getY() > p.getY()) != (b.getY() > p.getY())
            && turning(a, b, p) == (b.getY() > a.getY() ? 1 : -1))
            in = !in;
    }
    return in;
}

// The separate parts of the covering faces: faces with a point of their outlines in common are one part.
// Parts are numbered in the order of their first faces.
struct Pieces
{
    static constexpr unsigned none = ~0u;
    // Each face's part; none for a face that covers nothing.
    std::vector<unsigned> of;
    // Of each part: its plan area, its box (least and greatest x, least and greatest y) and its first face.
    std::vector<double> area;
    std::vector<std::array<double, 4>> box;
    std::vector<size_t> first;
    // Faces left out as repeats of others.
    size_t repeats = 0;

    // The part of the largest area, the first of equals.
    unsigned largest() const
    {
        return static_cast<unsigned>(std::max_element(area.begin(), area.end()) - area.begin());
    }
    // The faces of the part and of those whose boxes meet its box: only they can overlap it.
    std::vector<char> beside(unsigned part) const
    {
        std::vector<char> near(area.size());
        const auto& b = box[part];
        for (size_t q = 0; q < near.size(); ++q)
            near[q] = !(box[q][1] < b[0] || box[q][0] > b[1] || box[q][3] < b[2] || box[q][2] > b[3]);
        std::vector<char> faces(of.size());
        for (size_t t = 0; t < of.size(); ++t)
            faces[t] = of[t] != none && near[of[t]];
        return faces;
    }
    // The share of the area of all parts that the part's border encloses: the part and the parts inside
    // the border, each told by a point inside its first face.
    double enclosedShare(const JoinedCorners& mesh, unsigned part, const Polygon& border,
                         CancelCheck& cancel) const
    {
        if (border.getPointCount() < 3)
            return 0;
        // The areas of one part are not summed: its border encloses all.
        if (area.size() == 1)
            return 1;
        double total = 0;
        for (double a : area)
            total += a;
        if (!(total > 0))
            return 0;
        double enclosed = area[part];
        const Pelko::Corvex::Envelope ring = border.getEnvelope();
        for (size_t q = 0; q < area.size() && !cancel.cancelled(); ++q) {
            if (q == part || box[q][0] < ring.getMinX() || box[q][1] > ring.getMaxX()
                || box[q][2] < ring.getMinY() || box[q][3] > ring.getMaxY())
                continue;
            const auto& t = mesh.triangles[first[q]];
            const Point &a = mesh.points[t[0]], &b = mesh.points[t[1]], &c = mesh.points[t[2]];
            const Point centre((a.getX() + b.getX() + c.getX()) / 3, (a.getY() + b.getY() + c.getY()) / 3);
            if (inside(border, centre, cancel))
                enclosed += area[q];
        }
        return std::min(1.0, enclosed / total);
    }
};

// False when cancelled.
bool findPieces(const JoinedCorners& mesh, const std::vector<char>& covering, const Outlines* outlines,
                Pieces& pieces, CancelCheck& cancel)
{
    const size_t count = mesh.triangles.size();
    std::vector<unsigned> parent(count);
    for (size_t t = 0; t < count; ++t)
        parent[t] = static_cast<unsigned>(t);
    auto root = [&parent](unsigned t) {
        while (parent[t] != t)
            t = parent[t] = parent[parent[t]];
        return t;
    };
    std::vector<unsigned> faceAt(mesh.points.size(), Pieces::none);
    for (size_t t = 0; t < count; ++t) {
        if (cancel())
            return false;
        if (!covering[t])
            continue;
        const auto outline = outlineOf(mesh, outlines, t);
        unsigned own = static_cast<unsigned>(t);
        for (const unsigned* v = outline.first; v != outline.second; ++v) {
            if (faceAt[*v] == Pieces::none) {
                faceAt[*v] = static_cast<unsigned>(t);
                continue;
            }
            // The earlier face's root stays: roots are first faces.
            const unsigned other = root(faceAt[*v]);
            if (other < own) {
                parent[own] = other;
                own = other;
            } else if (own < other) {
                parent[other] = own;
            }
        }
    }
    size_t roots = 0;
    for (size_t t = 0; t < count; ++t)
        roots += covering[t] && parent[t] == t;
    pieces.of.assign(count, Pieces::none);
    pieces.area.clear();
    pieces.box.clear();
    pieces.first.clear();
    std::vector<unsigned> number(count, Pieces::none);
    for (size_t t = 0; t < count; ++t) {
        if (cancel())
            return false;
        if (!covering[t])
            continue;
        const auto& c = mesh.triangles[t];
        const Point &a = mesh.points[c[0]], &b = mesh.points[c[1]], &d = mesh.points[c[2]];
        unsigned& part = number[root(static_cast<unsigned>(t))];
        if (part == Pieces::none) {
            part = static_cast<unsigned>(pieces.area.size());
            pieces.area.push_back(0);
            pieces.box.push_back({ a.getX(), a.getX(), a.getY(), a.getY() });
            pieces.first.push_back(t);
        }
        pieces.of[t] = part;
        // Areas and boxes tell parts apart and weigh them: one part needs neither.
        if (roots == 1)
            continue;
        pieces.area[part] += Triangle2D(a, b, d).area();
        auto& box = pieces.box[part];
        for (const Point* p : { &a, &b, &d }) {
            box[0] = std::min(box[0], p->getX());
            box[1] = std::max(box[1], p->getX());
            box[2] = std::min(box[2], p->getY());
            box[3] = std::max(box[3], p->getY());
        }
    }
    return true;
}

// The stored walk over the chosen faces alone, written in their order into a database in memory.
Polygon storedWalkOf(const std::vector<Triangle3D>& triangles, const std::vector<char>& chosen,
                     IProgress* progress)
{
    std::vector<Triangle3D> faces;
    for (size_t t = 0; t < triangles.size(); ++t)
        if (chosen[t])
            faces.push_back(triangles[t]);
    Connection* memory = Connection::create(":memory:", true);
    if (!memory)
        return Polygon();
    CancelOnly cancelOnly(progress);
    Polygon border;
    if (memory->beginTransactionWithExclusive() && TriangleRTreeControl::createTable(memory)
        && TriangleRTreeControl::insert(memory, faces, &cancelOnly))
        border = BorderExtractor::extract(memory, progress);
    memory->rollback();
    Connection::destory(memory);
    return border;
}

// Each step of a stored walk is a database query: the flag is cheap beside it. In memory a step costs
// microseconds.
constexpr unsigned storedCheckEvery = 1;
constexpr unsigned memoryCheckEvery = 4096;

// The ring round the chosen faces, and whether it is their own: no two faces lie over each other around a
// corner the walk stood at, no face (of any part) holds such a corner but on its outline, and no corner
// lies inside an edge walked; or, where that is too costly to tell, the faces of the part and of those
// beside it form one triangulation. Empty and unsound when cancelled.
std::pair<Polygon, bool> certifiedRing(const JoinedCorners& mesh, const std::vector<char>& covering,
                                       const Outlines* outlines, const std::vector<char>& chosen,
                                       const std::vector<char>& beside, IProgress* progress,
                                       CancelCheck& cancel)
{
    const std::vector<double> noHeights;
    MeshCorners source(mesh.points, noHeights, mesh.triangles, mesh.triangles.size(), progress, outlines,
                       &chosen);
    if (source.cancelled())
        return { Polygon(), false };
    Walk<MeshCorners> walk(source, progress, memoryCheckEvery);
    const std::pair<Polygon, bool> ring = walk.ring();
    if (walk.cancelled() || !ring.second)
        return { walk.cancelled() ? Polygon() : ring.first, false };
    Holder holder = Holder::None;
    for (unsigned v : PointCells::unique(walk.walked()))
        if (cancel() || !source.apartAt(v)) {
            holder = Holder::Found;
            break;
        }
    const size_t budget = 16 * (mesh.triangles.size() + walk.walked().size());
    if (holder == Holder::None)
        holder = foreignHolder(mesh, covering, outlines, walk.walked(), budget, cancel);
    if (holder == Holder::None)
        holder = cornerOnWalkedEdge(mesh, source, covering, walk.walked(), 64, cancel);
    if (cancel.cancelled())
        return { Polygon(), false };
    switch (holder) {
    case Holder::None:
        return { ring.first, true };
    case Holder::Found:
        break;
    case Holder::Unsure:
        switch (checkOutlines(mesh, outlines, beside, progress)) {
        case TriangulationCheck::Triangulation:
            return { ring.first, true };
        case TriangulationCheck::NotATriangulation:
            break;
        case TriangulationCheck::Cancelled:
            return { Polygon(), false };
        }
        break;
    }
    return { ring.first, false };
}

} // namespace

std::pair<Point, bool> BorderExtractor::findBorderPoint(Connection* connection)
{
    StoredTriangles source(connection);
    Walk<StoredTriangles> walk(source, nullptr, storedCheckEvery);
    const std::pair<Point3D, bool> start = walk.borderPoint();
    return { start.second ? plane(start.first) : Point(0, 0), start.second };
}

std::pair<Point, bool> BorderExtractor::findBorderEdge(Connection* connection, const Point& previous,
                                                       const Point& current)
{
    StoredTriangles source(connection);
    Walk<StoredTriangles> walk(source, nullptr, storedCheckEvery);
    const std::pair<Point3D, bool> next = walk.borderEdge(Point3D(previous.getX(), previous.getY(), 0),
                                                          Point3D(current.getX(), current.getY(), 0));
    return { next.second ? plane(next.first) : Point(0, 0), next.second };
}

Polygon BorderExtractor::extract(Connection* connection)
{
    return extract(connection, nullptr);
}

Polygon BorderExtractor::extract(Connection* connection, IProgress* progress)
{
    StoredTriangles source(connection);
    return Walk<StoredTriangles>(source, progress, storedCheckEvery).border();
}

Polygon BorderExtractor::extract(const Delaunay& delaunay, IProgress* progress)
{
    const Delaunay::DelaunayTriangulation& triangulation = *delaunay.getDelaunayTriangulation();
    MeshCorners source(triangulation.points, triangulation.heights, triangulation.triangles,
                       triangulation.triangleCount, progress);
    if (source.cancelled())
        return Polygon();
    return Walk<MeshCorners>(source, progress, memoryCheckEvery).border();
}

Polygon BorderExtractor::extract(const std::vector<Triangle3D>& triangles, Connection* connection,
                                 IProgress* progress, BorderCoverage* coverage)
{
    if (coverage)
        *coverage = BorderCoverage();
    if (triangles.size() > mostJoinedTriangles)
        return extract(connection, progress);
    CancelCheck cancel(progress, memoryCheckEvery);
    JoinedCorners joined;
    std::vector<char> covering;
    Pieces pieces;
    if (!joinCorners(triangles, joined, cancel) || !coveringFaces(joined, covering, pieces.repeats, cancel)
        || !findPieces(joined, covering, nullptr, pieces, cancel))
        return Polygon();
    // Corners on the edges of other faces cut those edges, and join parts that meet only there. One part
    // of faces joined at equal corners needs them only where its border may pass them.
    Outlines outlines;
    bool outlined = false;
    auto outline = [&] {
        outlined = true;
        return outlineTJunctions(joined, covering, outlines, cancel)
            && (outlines.corners.empty() || findPieces(joined, covering, &outlines, pieces, cancel));
    };
    if (pieces.area.size() > 1 && !outline())
        return Polygon();
    if (pieces.area.empty())
        return Polygon();
    const unsigned chosen = pieces.largest();
    std::vector<char> walked(triangles.size());
    for (size_t t = 0; t < walked.size(); ++t)
        walked[t] = pieces.of[t] == chosen;
    const std::vector<char> beside = pieces.beside(chosen);

    std::pair<Polygon, bool> border = certifiedRing(
        joined, covering, outlines.corners.empty() ? nullptr : &outlines, walked, beside, progress, cancel);
    if (cancel.cancelled())
        return Polygon();
    if (!border.second && !outlined) {
        if (!outline())
            return Polygon();
        if (!outlines.corners.empty())
            border = certifiedRing(joined, covering, &outlines, walked, beside, progress, cancel);
        if (cancel.cancelled())
            return Polygon();
    }
    if (!border.second) {
        // Faces overlap at the border: the stored walk over this part and those beside it.
        const bool all = pieces.repeats == 0 && std::equal(beside.begin(), beside.end(), covering.begin());
        if (all && connection)
            border.first = extract(connection, progress);
        else
            border.first = storedWalkOf(triangles, beside, progress);
        if (progress && progress->isCancelled())
            return Polygon();
    }
    if (coverage) {
        coverage->parts = static_cast<int>(pieces.area.size());
        coverage->enclosedShare = pieces.enclosedShare(joined, chosen, border.first, cancel);
        if (cancel.cancelled())
            return Polygon();
    }
    return border.first;
}

} // namespace IO
} // namespace Pelko
