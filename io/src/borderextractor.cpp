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
// points that follow each other.
class MeshCorners
{
public:
    using Vertex = unsigned;

    // The first count of the triangles; a corner without a height has height 0. outlines may be null.
    MeshCorners(const std::vector<Point>& points, const std::vector<double>& heights,
                const std::vector<std::array<unsigned, 3>>& triangles, size_t count,
                const Outlines* outlines = nullptr)
        : m_points(points)
        , m_heights(heights)
        , m_triangles(triangles)
        , m_outlines(outlines)
        , m_count(std::min(count, triangles.size()))
        , m_start(points.size() + 1, 0)
    {
        // The triangles around every point, in one array ordered by point: counted, then each put at its
        // point's next place, which leaves every start where the next point's was.
        // Outlines or not is decided once: the loops run over millions of triangles.
        auto eachCorner = [&](auto take) {
            if (m_outlines) {
                for (size_t t = 0; t < m_count; ++t)
                    for (const unsigned *v = begin(t), *last = end(t); v != last; ++v)
                        take(*v, t);
            } else {
                for (size_t t = 0; t < m_count; ++t)
                    for (unsigned v : m_triangles[t])
                        take(v, t);
            }
        };
        eachCorner([&](unsigned v, size_t) { ++m_start[v + 1]; });
        for (size_t v = 1; v < m_start.size(); ++v)
            m_start[v] += m_start[v - 1];
        m_around.resize(m_start.back());
        eachCorner([&](unsigned v, size_t t) { m_around[m_start[v]++] = static_cast<unsigned>(t); });
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
    // Whether a triangle with area has the point as a corner.
    bool holdsArea(const Vertex& point) const
    {
        for (size_t i = m_start[point]; i < m_start[point + 1]; ++i)
            if (covers(m_around[i]))
                return true;
        return false;
    }
    Point3D position(const Vertex& v) const
    {
        const Point& p = m_points[v];
        return Point3D(p.getX(), p.getY(), v < m_heights.size() ? m_heights[v] : 0.0);
    }

private:
    // The corners next to the point along the outlines of the triangles around it, sorted: both other corners
    // of a triangle.
    void countAround(const Vertex& point)
    {
        if (m_countsFor == point)
            return;
        m_countsFor = point;
        m_counts.clear();
        for (size_t i = m_start[point]; i < m_start[point + 1]; ++i) {
            const size_t t = m_around[i];
            if (!covers(t))
                continue;
            const unsigned *b = begin(t), *e = end(t);
            const size_t n = static_cast<size_t>(e - b);
            const size_t at = static_cast<size_t>(std::find(b, e, point) - b);
            m_counts.push_back(b[(at + n - 1) % n]);
            m_counts.push_back(b[(at + 1) % n]);
        }
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
    bool covers(unsigned triangle) const
    {
        if (m_outlines)
            return m_outlines->start[triangle] != m_outlines->start[triangle + 1];
        const auto& t = m_triangles[triangle];
        return !Triangle2D(m_points[t[0]], m_points[t[1]], m_points[t[2]]).isDegenerate();
    }

    const std::vector<Point>& m_points;
    const std::vector<double>& m_heights;
    const std::vector<std::array<unsigned, 3>>& m_triangles;
    const Outlines* m_outlines;
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

bool coversArea(const JoinedCorners& mesh, const std::array<unsigned, 3>& t)
{
    return !Triangle2D(mesh.points[t[0]], mesh.points[t[1]], mesh.points[t[2]]).isDegenerate();
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
    return inside && Triangle2D(a, b, p).orientation() == 0;
}

enum class Holder { None, Found, Unsure };

// Whether a triangle holds one of the points without having it as a corner, for a few points among many
// triangles: each triangle is tested against the points in the cells it meets. A large triangle meets
// many cells (the triangles of a fan cover the points along the border many times over): once the cells
// and points looked at pass `budget`, the answer is Unsure.
Holder foreignHolder(const JoinedCorners& mesh, const std::vector<unsigned>& walked, size_t budget,
                     CancelCheck& cancel)
{
    if (walked.empty())
        return Holder::None;
    const PointCells cells(mesh, walked);
    size_t spent = 0;
    Holder holder = Holder::None;
    for (const std::array<unsigned, 3>& t : mesh.triangles) {
        if (cancel())
            return Holder::Unsure;
        const Point corners[3] = { mesh.points[t[0]], mesh.points[t[1]], mesh.points[t[2]] };
        const double lowX = std::min({ corners[0].getX(), corners[1].getX(), corners[2].getX() });
        const double highX = std::max({ corners[0].getX(), corners[1].getX(), corners[2].getX() });
        const double lowY = std::min({ corners[0].getY(), corners[1].getY(), corners[2].getY() });
        const double highY = std::max({ corners[0].getY(), corners[1].getY(), corners[2].getY() });
        if (!cells.grid.boxMeets(lowX, highX, lowY, highY))
            continue;
        const Triangle2D plane(corners[0], corners[1], corners[2]);
        bool covers = false, known = false;
        cells.grid.forCellsMeeting(corners, 3, [&](size_t cell) {
            spent += 1 + cells.files.size(cell);
            if (spent > budget) {
                holder = Holder::Unsure;
                return false;
            }
            for (const unsigned* i = cells.files.begin(cell); i != cells.files.end(cell); ++i) {
                const unsigned v = cells.points[*i];
                if (v == t[0] || v == t[1] || v == t[2])
                    continue;
                const Point& p = mesh.points[v];
                if (p.getX() < lowX || p.getX() > highX || p.getY() < lowY || p.getY() > highY)
                    continue;
                if (!known) {
                    covers = !plane.isDegenerate();
                    known = true;
                }
                if (covers && plane.contain(p)) {
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

// Whether a corner of a triangle with area lies strictly inside one of the edges of one triangle only that
// meet at a corner the walk stood at. The walk took such an edge as a border edge whole, where it is cut.
// Every point is looked up among the edges filed in its cell; once the edges looked at pass `budget` per
// point, the answer is Unsure.
Holder cornerOnWalkedEdge(const JoinedCorners& mesh, MeshCorners& source, const std::vector<unsigned>& walked,
                          size_t budget, CancelCheck& cancel)
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
            if (v != a && v != b && strictlyBetween(mesh.points[a], mesh.points[b], p) && source.holdsArea(v))
                return Holder::Found;
        }
    }
    return Holder::None;
}

// The outlines of the triangles with area where corners lie on edges of one such triangle only: false when
// cancelled. Only an end of such an edge can lie on one without the triangles overlapping there, so only
// those ends are looked for. outlines.corners stays empty when no corner lies on an edge.
bool outlineTJunctions(const JoinedCorners& mesh, Outlines& outlines, CancelCheck& cancel)
{
    const size_t count = mesh.triangles.size();
    std::vector<char> covering(count);
    for (size_t t = 0; t < count; ++t)
        covering[t] = coversArea(mesh, mesh.triangles[t]);
    if (cancel())
        return false;
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
    for (const auto& edge : single) {
        // Named copies: a lambda may not capture structured bindings in C++17.
        const unsigned triangle = edge.first, k = edge.second;
        const unsigned a = mesh.triangles[triangle][k], b = mesh.triangles[triangle][(k + 1) % 3];
        const Point segment[2] = { mesh.points[a], mesh.points[b] };
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

// Whether the triangles with area, cut at the corners on their edges, form one triangulation of their
// corners: no two overlap, none is given twice, no corner lies inside one.
TriangulationCheck checkOutlines(const JoinedCorners& mesh, const Outlines& outlines, IProgress* progress)
{
    // Only the corners of triangles with area: a flat face's corner covers nothing.
    constexpr unsigned none = ~0u;
    std::vector<unsigned> number(mesh.points.size(), none);
    std::vector<Point> points;
    std::vector<std::array<unsigned, 3>> pieces;
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        const unsigned* outline = outlines.corners.data() + outlines.start[t];
        const size_t n = outlines.start[t + 1] - outlines.start[t];
        if (n == 0)
            continue;
        const size_t first = pieces.size();
        triangulateOutline(outline, n, mesh.triangles[t], pieces);
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
    Polygon border;
    // Whether the border walked over the corners is the one the stored rows' containment gives.
    bool asStored = false;
    {
        MeshCorners source(joined.points, noHeights, joined.triangles, joined.triangles.size());
        Walk<MeshCorners> walk(source, progress, memoryCheckEvery);
        border = walk.border();
        if (walk.cancelled())
            return Polygon();

        // The walk took the triangles with a point as a corner for those that hold it, as the stored walk
        // finds them where no triangle holds a corner the walk stood at without having it as its own; and
        // the edges of one triangle only for border edges, as both do where no corner cuts them.
        const size_t budget = 16 * (triangles.size() + walk.walked().size());
        switch (foreignHolder(joined, walk.walked(), budget, cancel)) {
        case Holder::None:
            asStored = true;
            if (cornerOnWalkedEdge(joined, source, walk.walked(), 64, cancel) == Holder::None)
                return border;
            break;
        case Holder::Found:
            break;
        case Holder::Unsure:
            if (cancel.cancelled())
                return Polygon();
            // Too many triangles over the walk's corners to test them one by one: in one triangulation no
            // triangle holds a point but its corners, and no corner lies on an edge.
            switch (checkTriangulation(joined.points, joined.triangles,
                                       [progress] { return progress && progress->isCancelled(); })) {
            case TriangulationCheck::Triangulation:
                return border;
            case TriangulationCheck::NotATriangulation:
                break;
            case TriangulationCheck::Cancelled:
                return Polygon();
            }
            break;
        }
        if (cancel.cancelled())
            return Polygon();
    }

    // Corners on the edges of other triangles. Where the triangles cut at them form one triangulation, the
    // border is walked over the cut edges, and passes the corners on them; where triangles overlap, the
    // stored rows' containment gives the border, as it always did.
    Outlines outlines;
    if (!outlineTJunctions(joined, outlines, cancel))
        return Polygon();
    if (!outlines.corners.empty()) {
        switch (checkOutlines(joined, outlines, progress)) {
        case TriangulationCheck::Triangulation: {
            MeshCorners source(joined.points, noHeights, joined.triangles, joined.triangles.size(),
                               &outlines);
            Walk<MeshCorners> walk(source, progress, memoryCheckEvery);
            border = walk.border();
            return walk.cancelled() ? Polygon() : border;
        }
        case TriangulationCheck::NotATriangulation:
            break;
        case TriangulationCheck::Cancelled:
            return Polygon();
        }
    }
    return asStored ? border : extract(connection, progress);
}

} // namespace IO
} // namespace Pelko
