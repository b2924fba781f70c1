#include <io/borderextractor.h>
#include <io/iprogress.h>
#include <io/trianglertreecontrol.h>

#include <corvex/triangulationcheck.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <set>
#include <tuple>
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
    template<class It> Vertex smallest(It begin, It end) const
    {
        return *std::min_element(begin, end, [&](const Vertex& a, const Vertex& b) {
            return spaceLess(position(a), position(b));
        });
    }

    Source& m_source;
    CancelCheck m_cancel;
    std::vector<Vertex> m_corners;
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

// Triangles as corner numbers, as the database written from them holds them: triangle i is row i. Each
// number names one position in the plane and no two numbers the same one, so the triangles that hold a
// point are those with it as a corner, and an edge of one triangle only is a border edge.
class MeshCorners
{
public:
    using Vertex = unsigned;

    // The first count of the triangles; a corner without a height has height 0.
    MeshCorners(const std::vector<Point>& points, const std::vector<double>& heights,
                const std::vector<std::array<unsigned, 3>>& triangles, size_t count)
        : m_points(points)
        , m_heights(heights)
        , m_triangles(triangles)
        , m_count(std::min(count, triangles.size()))
        , m_start(points.size() + 1, 0)
    {
        // The triangles around every point, in one array ordered by point: counted, then each put at its
        // point's next place, which leaves every start where the next point's was.
        for (size_t t = 0; t < m_count; ++t)
            for (unsigned v : triangles[t])
                ++m_start[v + 1];
        for (size_t v = 1; v < m_start.size(); ++v)
            m_start[v] += m_start[v - 1];
        m_around.resize(m_start.back());
        for (size_t t = 0; t < m_count; ++t)
            for (unsigned v : triangles[t])
                m_around[m_start[v]++] = static_cast<unsigned>(t);
        std::copy_backward(m_start.begin(), m_start.end() - 1, m_start.end());
        m_start[0] = 0;
    }

    bool first(Vertex corners[3]) const
    {
        if (m_count == 0)
            return false;
        std::copy(m_triangles[0].begin(), m_triangles[0].end(), corners);
        return true;
    }
    void around(const Vertex& point, std::vector<Vertex>& corners) const
    {
        corners.clear();
        for (size_t i = m_start[point]; i < m_start[point + 1]; ++i)
            if (covers(m_around[i]))
                for (unsigned v : m_triangles[m_around[i]])
                    corners.push_back(v);
    }
    // The walk asks about the corners around one point in turn: their triangle counts are taken at once.
    bool isBorderEdge(const Vertex& from, const Vertex& to)
    {
        if (m_countsFor != from) {
            m_countsFor = from;
            m_counts.clear();
            for (size_t i = m_start[from]; i < m_start[from + 1]; ++i)
                if (covers(m_around[i]))
                    for (unsigned v : m_triangles[m_around[i]])
                        if (v != from)
                            m_counts.push_back(v);
            std::sort(m_counts.begin(), m_counts.end());
        }
        const auto range = std::equal_range(m_counts.begin(), m_counts.end(), to);
        return range.second - range.first == 1;
    }
    Point3D position(const Vertex& v) const
    {
        const Point& p = m_points[v];
        return Point3D(p.getX(), p.getY(), v < m_heights.size() ? m_heights[v] : 0.0);
    }

private:
    // As the stored query finds them: a flat triangle holds no point, not even its corners.
    bool covers(unsigned triangle) const
    {
        const auto& t = m_triangles[triangle];
        return !Triangle2D(m_points[t[0]], m_points[t[1]], m_points[t[2]]).isDegenerate();
    }

    const std::vector<Point>& m_points;
    const std::vector<double>& m_heights;
    const std::vector<std::array<unsigned, 3>>& m_triangles;
    size_t m_count;
    // Three corners a triangle: a TIN of over 1.4 billion triangles would not fit in memory anyway.
    std::vector<unsigned> m_start;
    std::vector<unsigned> m_around;
    unsigned m_countsFor = ~0u;
    std::vector<unsigned> m_counts;
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
            size_t slot = (std::hash<double>()(x) * 31 + std::hash<double>()(y)) & (capacity - 1);
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

enum class Holder { None, Found, Unsure };

// Whether a triangle holds one of the points without having it as a corner, for a few points among many
// triangles: the points are put in cells of about one point each, and each triangle is tested against the
// points in the cells its box meets. A large triangle meets many cells (the triangles of a fan cover the
// points along the border many times over): once the cells and points looked at pass `budget`, the answer
// is Unsure.
Holder foreignHolder(const JoinedCorners& mesh, std::vector<unsigned> points, size_t budget,
                     CancelCheck& cancel)
{
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.empty())
        return Holder::None;
    double minX = mesh.points[points[0]].getX(), maxX = minX;
    double minY = mesh.points[points[0]].getY(), maxY = minY;
    for (unsigned v : points) {
        minX = std::min(minX, mesh.points[v].getX());
        maxX = std::max(maxX, mesh.points[v].getX());
        minY = std::min(minY, mesh.points[v].getY());
        maxY = std::max(maxY, mesh.points[v].getY());
    }
    // Cells about as many as the points; a side of the points' box may be flat.
    const double width = maxX - minX, height = maxY - minY;
    const double count = static_cast<double>(points.size());
    double side = std::sqrt(width * height / count);
    if (!(side > 0))
        side = std::max(width, height) / count;
    const size_t limit = 4 * points.size();
    auto cellsAlong = [&](double length) {
        return side > 0 ? static_cast<size_t>(std::min(length / side, static_cast<double>(limit))) + 1 : 1;
    };
    const size_t columns = cellsAlong(width), rows = cellsAlong(height);
    auto column = [&](double x) {
        return side > 0 ? std::min(static_cast<size_t>(std::max(0.0, (x - minX) / side)), columns - 1) : 0;
    };
    auto row = [&](double y) {
        return side > 0 ? std::min(static_cast<size_t>(std::max(0.0, (y - minY) / side)), rows - 1) : 0;
    };
    std::vector<unsigned> start(columns * rows + 1, 0);
    for (unsigned v : points)
        ++start[row(mesh.points[v].getY()) * columns + column(mesh.points[v].getX()) + 1];
    for (size_t c = 1; c < start.size(); ++c)
        start[c] += start[c - 1];
    std::vector<unsigned> inCell(points.size());
    for (unsigned v : points)
        inCell[start[row(mesh.points[v].getY()) * columns + column(mesh.points[v].getX())]++] = v;
    std::copy_backward(start.begin(), start.end() - 1, start.end());
    start[0] = 0;

    size_t spent = 0;
    for (const std::array<unsigned, 3>& t : mesh.triangles) {
        if (cancel())
            return Holder::Unsure;
        const Point& a = mesh.points[t[0]];
        const Point& b = mesh.points[t[1]];
        const Point& c = mesh.points[t[2]];
        const double lowX = std::min({ a.getX(), b.getX(), c.getX() });
        const double highX = std::max({ a.getX(), b.getX(), c.getX() });
        const double lowY = std::min({ a.getY(), b.getY(), c.getY() });
        const double highY = std::max({ a.getY(), b.getY(), c.getY() });
        if (highX < minX || lowX > maxX || highY < minY || lowY > maxY)
            continue;
        const Triangle2D plane(a, b, c);
        bool covers = false, known = false;
        for (size_t r = row(lowY); r <= row(highY); ++r)
            for (size_t k = column(lowX); k <= column(highX); ++k) {
                const size_t cell = r * columns + k;
                spent += 1 + start[cell + 1] - start[cell];
                if (spent > budget)
                    return Holder::Unsure;
                for (size_t i = start[cell]; i < start[cell + 1]; ++i) {
                    const unsigned v = inCell[i];
                    if (v == t[0] || v == t[1] || v == t[2])
                        continue;
                    const Point& p = mesh.points[v];
                    if (p.getX() < lowX || p.getX() > highX || p.getY() < lowY || p.getY() > highY)
                        continue;
                    if (!known) {
                        covers = !plane.isDegenerate();
                        known = true;
                    }
                    if (covers && plane.contain(p))
                        return Holder::Found;
                }
            }
    }
    return Holder::None;
}

// Each step of a stored walk is a database query: the flag is cheap beside it. In memory a step costs
// microseconds.
constexpr unsigned storedCheckEvery = 1;
constexpr unsigned memoryCheckEvery = 4096;

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
                       triangulation.triangleCount);
    return Walk<MeshCorners>(source, progress, memoryCheckEvery).border();
}

Polygon BorderExtractor::extract(const std::vector<Triangle3D>& triangles, Connection* connection,
                                 IProgress* progress)
{
    if (triangles.size() > mostJoinedTriangles)
        return extract(connection, progress);
    CancelCheck cancel(progress, memoryCheckEvery);
    JoinedCorners joined;
    if (!joinCorners(triangles, joined, cancel))
        return Polygon();
    const std::vector<double> noHeights;
    MeshCorners source(joined.points, noHeights, joined.triangles, joined.triangles.size());
    Walk<MeshCorners> walk(source, progress, memoryCheckEvery);
    const Polygon border = walk.border();
    if (walk.cancelled())
        return Polygon();

    // The walk took the triangles with a point as a corner for those that hold it, as the stored walk finds
    // them. Where a triangle holds a corner the walk stood at without having it as its own (a corner on
    // another's edge, overlapping triangles), only the stored walk's containment sees it.
    switch (foreignHolder(joined, walk.walked(), 16 * (triangles.size() + walk.walked().size()), cancel)) {
    case Holder::None:
        return border;
    case Holder::Found:
        return extract(connection, progress);
    case Holder::Unsure:
        break;
    }
    if (cancel.cancelled())
        return Polygon();
    // Too many triangles over the walk's corners to test them one by one: in one triangulation no
    // triangle holds a point but its corners.
    switch (checkTriangulation(joined.points, joined.triangles,
                               [progress] { return progress && progress->isCancelled(); })) {
    case TriangulationCheck::Triangulation:
        return border;
    case TriangulationCheck::NotATriangulation:
        return extract(connection, progress);
    case TriangulationCheck::Cancelled:
        break;
    }
    return Polygon();
}

} // namespace IO
} // namespace Pelko
