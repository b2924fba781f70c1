#include <corvex/delaunay.h>

#include <corvex/polygon.h>

#include "delaunay_cgal.h"

#include <algorithm>
#include <utility>

namespace Pelko::Corvex {

struct Delaunay::Private
{
    std::vector<std::vector<unsigned>> constrainLines;
    DelaunayTriangulation triangulation;
};

Delaunay::DelaunayTriangulation::DelaunayTriangulation() = default;
Delaunay::DelaunayTriangulation::DelaunayTriangulation(DelaunayTriangulation const&) = default;
Delaunay::DelaunayTriangulation& Delaunay::DelaunayTriangulation::operator=(DelaunayTriangulation const&)
    = default;
Delaunay::DelaunayTriangulation::~DelaunayTriangulation() = default;

Delaunay::Delaunay()
    : d(std::make_unique<Private>())
{
}

Delaunay::Delaunay(std::vector<Point> const& points)
    : Delaunay()
{
    addPoints(points);
}

Delaunay::Delaunay(std::vector<Point3D> const& points)
    : Delaunay()
{
    auto& t = d->triangulation;
    t.points.reserve(points.size());
    t.heights.reserve(points.size());
    for (Point3D const& p : points) {
        t.points.emplace_back(p.x(), p.y());
        t.heights.push_back(p.z());
    }
}

Delaunay::Delaunay(std::vector<Point> const& points, std::vector<std::vector<unsigned>> const& constrainLines)
    : Delaunay(points)
{
    addConstrainLine(constrainLines);
}

Delaunay::Delaunay(Polygon const& polygon)
    : Delaunay()
{
    const unsigned n = polygon.getPointCount();
    if (n == 0)
        return;
    auto& t = d->triangulation;
    std::vector<unsigned> ring;
    ring.reserve(n + 1);
    for (unsigned i = 0; i < n; ++i) {
        t.points.push_back(polygon.getPoint(i));
        ring.push_back(i);
    }
    // The repeated first vertex vanishes again in the duplicate merge.
    t.points.push_back(polygon.getPoint(0));
    ring.push_back(0);
    d->constrainLines.push_back(std::move(ring));
    t.heights.assign(n + 1, 0.0);
}

Delaunay::~Delaunay() = default;

void Delaunay::addPoints(std::vector<Point> const& points)
{
    auto& list = d->triangulation.points;
    list.insert(list.end(), points.begin(), points.end());
}

void Delaunay::addConstrainLine(std::vector<std::vector<unsigned>> const& constrainLines)
{
    d->constrainLines.insert(d->constrainLines.end(), constrainLines.begin(), constrainLines.end());
}

void Delaunay::addPointsHeight(std::vector<double> const& heights)
{
    auto& list = d->triangulation.heights;
    list.insert(list.end(), heights.begin(), heights.end());
}

void Delaunay::buildDelaunayTriangulation(int type)
{
    buildDelaunayTriangulation(static_cast<DelaunayType>(type));
}

namespace {

// kept[i]: the lowest index of the points exactly at point i's position; empty when no two coincide.
// Sorting keeps this n log n for large terrains.
std::vector<unsigned> findDuplicates(std::vector<Point> const& points)
{
    const std::size_t n = points.size();
    struct Key
    {
        double x, y;
        unsigned index;
    };
    std::vector<Key> keys;
    keys.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        keys.push_back({ points[i].getX(), points[i].getY(), static_cast<unsigned>(i) });
    std::sort(keys.begin(), keys.end(), [](Key const& a, Key const& b) {
        if (a.x != b.x)
            return a.x < b.x;
        if (a.y != b.y)
            return a.y < b.y;
        return a.index < b.index;
    });

    std::vector<unsigned> kept;
    for (std::size_t k = 1; k < n; ++k) {
        if (keys[k].x == keys[k - 1].x && keys[k].y == keys[k - 1].y) {
            if (kept.empty()) {
                kept.resize(n);
                for (std::size_t i = 0; i < n; ++i)
                    kept[i] = static_cast<unsigned>(i);
            }
            kept[keys[k].index] = kept[keys[k - 1].index];
        }
    }
    return kept;
}

// Removes the points that kept (see findDuplicates) merges away, with their heights, and renumbers the
// constraint lines. Returns the new index of every old point, or nothing when kept is empty.
std::vector<unsigned> mergePoints(std::vector<unsigned> const& kept, Delaunay::DelaunayTriangulation& t,
                                  std::vector<std::vector<unsigned>>& constrainLines)
{
    if (kept.empty())
        return {};
    const std::size_t n = t.points.size();
    std::vector<unsigned> newIndex(n);
    unsigned next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (kept[i] == i)
            newIndex[i] = next++;
    }
    for (std::size_t i = 0; i < n; ++i)
        newIndex[i] = newIndex[kept[i]];
    const std::size_t removed = n - next;

    std::vector<Point> points;
    points.reserve(next);
    for (std::size_t i = 0; i < n; ++i) {
        if (kept[i] == i)
            points.push_back(t.points[i]);
    }
    t.points = std::move(points);

    // Heights beyond the point list have no point to merge and stay.
    std::vector<double> heights;
    heights.reserve(t.heights.size());
    for (std::size_t i = 0; i < t.heights.size(); ++i) {
        if (i >= n || kept[i] == i)
            heights.push_back(t.heights[i]);
    }
    t.heights = std::move(heights);

    // Every occurrence is renumbered, so rings closing on a duplicate stay closed. Indices past the
    // point list only shift down; the build refuses them.
    for (auto& line : constrainLines) {
        for (unsigned& index : line)
            index = index < n ? newIndex[index] : static_cast<unsigned>(index - removed);
    }
    return newIndex;
}

} // namespace

void Delaunay::buildDelaunayTriangulation(DelaunayType type)
{
    buildDelaunayTriangulation(type, std::function<bool()>());
}

void Delaunay::buildDelaunayTriangulation(DelaunayType type, std::atomic<bool> const* cancelled)
{
    if (!cancelled) {
        buildDelaunayTriangulation(type, std::function<bool()>());
        return;
    }
    buildDelaunayTriangulation(type, [cancelled] { return cancelled->load(std::memory_order_relaxed); });
}

void Delaunay::buildDelaunayTriangulation(DelaunayType type, std::function<bool()> const& cancelled)
{
    auto& t = d->triangulation;
    if (t.points.empty())
        return;

    // A rebuild replaces the previous triangles rather than appending to them.
    t.triangleCount = 0;
    t.triangles.clear();
    t.neighbors.clear();

    for (Point const& p : t.points) {
        if (!p.isValid())
            return;
    }

    detail::TriangulationMode mode = detail::TriangulationMode::Delaunay;
    bool known = true;
    switch (type) {
    case PlainDelaunay:
        break;
    case ConstrainedDelaunay:
    case ConstrainedDelaunayAlt:
        mode = detail::TriangulationMode::Constrained;
        break;
    case ConformingDelaunay:
        mode = detail::TriangulationMode::Conforming;
        break;
    default:
        known = false;
    }

    // Segments in the numbering before the merge: the triangulator finds coincident points itself, at no
    // extra cost, and reports them for the merge afterwards.
    const std::size_t n = t.points.size();
    std::vector<std::pair<unsigned, unsigned>> segments;
    bool segmentsValid = true;
    for (auto const& line : d->constrainLines) {
        for (std::size_t k = 1; k < line.size(); ++k) {
            const unsigned a = line[k - 1];
            const unsigned b = line[k];
            if (a == b)
                continue;
            if (a >= n || b >= n)
                segmentsValid = false;
            else
                segments.emplace_back(a, b);
        }
    }
    if (mode == detail::TriangulationMode::Delaunay)
        segments.clear();

    detail::TriangulationOutput output;
    if (!known || n < 3 || (mode != detail::TriangulationMode::Delaunay && !segmentsValid)
        || !detail::triangulate(mode, t.points, segments, output, cancelled)) {
        if (cancelled && cancelled())
            return;
        // No triangles, but the points are merged all the same.
        mergeDuplicatePoints();
        return;
    }

    // A cancel that comes once the triangles are out still leaves the points as they were.
    if (cancelled && cancelled())
        return;
    const std::vector<unsigned> newIndex = mergePoints(output.mergedInto, t, d->constrainLines);
    if (!newIndex.empty()) {
        const unsigned removed = static_cast<unsigned>(n - t.points.size());
        for (auto& triangle : output.triangles) {
            for (unsigned& index : triangle)
                index = index < n ? newIndex[index] : index - removed;
        }
    }
    // Points the triangulator added get no height; the 3D queries read 0 for them.
    t.points.insert(t.points.end(), output.addedPoints.begin(), output.addedPoints.end());
    t.triangleCount = static_cast<unsigned>(output.triangles.size());
    t.triangles = std::move(output.triangles);
    t.neighbors = std::move(output.neighbors);
}

// Exactly coincident points collapse onto the lowest index among them; heights and constraint lines
// follow the renumbering.
void Delaunay::mergeDuplicatePoints()
{
    mergePoints(findDuplicates(d->triangulation.points), d->triangulation, d->constrainLines);
}

unsigned Delaunay::getTriangleCount() const
{
    return d->triangulation.triangleCount;
}

Point3D Delaunay::point3D(unsigned index) const
{
    auto const& t = d->triangulation;
    Point const& p = t.points[index];
    return Point3D(p.getX(), p.getY(), index < t.heights.size() ? t.heights[index] : 0.0);
}

Triangle2D Delaunay::getTriangle(unsigned i, bool* ok) const
{
    auto const& t = d->triangulation;
    const bool valid = i < t.triangleCount;
    if (ok)
        *ok = valid;
    if (!valid)
        return Triangle2D();
    auto const& tri = t.triangles[i];
    return Triangle2D(t.points[tri[0]], t.points[tri[1]], t.points[tri[2]]);
}

Triangle3D Delaunay::getTriangle3D(unsigned i, bool* ok) const
{
    auto const& t = d->triangulation;
    const bool valid = i < t.triangleCount;
    if (ok)
        *ok = valid;
    if (!valid)
        return Triangle3D();
    auto const& tri = t.triangles[i];
    return Triangle3D(point3D(tri[0]), point3D(tri[1]), point3D(tri[2]));
}

std::vector<Triangle2D> Delaunay::getNeighborTriangle(unsigned i) const
{
    auto const& t = d->triangulation;
    std::vector<Triangle2D> result;
    if (i >= t.triangleCount)
        return result;
    result.reserve(3);
    for (int n : t.neighbors[i])
        result.push_back(n < 0 ? Triangle2D() : getTriangle(static_cast<unsigned>(n)));
    return result;
}

std::vector<Triangle3D> Delaunay::getAllTriangles() const
{
    auto const& t = d->triangulation;
    std::vector<Triangle3D> result;
    result.reserve(t.triangleCount);

    // Triangles come in spatial order but name points in input order: gather each point with its
    // height once, so every random look-up below touches one cache line instead of two.
    std::vector<Point3D> vertices;
    vertices.reserve(t.points.size());
    for (unsigned i = 0; i < t.points.size(); ++i)
        vertices.push_back(point3D(i));

    constexpr unsigned ahead = 8;
    for (unsigned k = 0; k < t.triangleCount; ++k) {
        if (k + ahead < t.triangleCount) {
            for (unsigned v : t.triangles[k + ahead])
                __builtin_prefetch(&vertices[v]);
        }
        auto const& tri = t.triangles[k];
        result.emplace_back(vertices[tri[0]], vertices[tri[1]], vertices[tri[2]]);
    }
    return result;
}

Delaunay::DelaunayTriangulation const* Delaunay::getDelaunayTriangulation() const
{
    return &d->triangulation;
}

TriangleTerrain::TriangleTerrain() = default;
TriangleTerrain::~TriangleTerrain() = default;

Triangle3D TriangleTerrain::getTriangle(unsigned, bool* ok) const
{
    if (ok)
        *ok = false;
    return Triangle3D();
}

std::vector<Triangle3D> TriangleTerrain::getNeighborTriangle(unsigned) const
{
    return {};
}

struct Delaunay25D::Data
{
    Delaunay delaunay;
    std::vector<Point3D> points;
    TriangleTerrain terrain;
};

Delaunay25D::Delaunay25D()
    : d(std::make_shared<Data>())
{
}

Delaunay25D::Delaunay25D(std::vector<Point3D> const& points)
    : Delaunay25D()
{
    addPoints(points);
}

Delaunay25D::Delaunay25D(Delaunay25D const&) = default;
Delaunay25D& Delaunay25D::operator=(Delaunay25D const&) = default;
Delaunay25D::~Delaunay25D() = default;

Delaunay25D Delaunay25D::clone() const
{
    Delaunay25D copy;
    copy.d->points = d->points;
    *copy.d->delaunay.d = *d->delaunay.d;
    return copy;
}

Delaunay25D::operator bool() const
{
    return d != nullptr;
}

void Delaunay25D::addPoints(std::vector<Point3D> const& points)
{
    std::vector<Point> plane;
    plane.reserve(points.size());
    for (Point3D const& p : points)
        plane.emplace_back(p.x(), p.y());
    d->delaunay.addPoints(plane);
    d->points.insert(d->points.end(), points.begin(), points.end());
}

void Delaunay25D::buildDelaunayTriangulation()
{
    d->delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
}

TriangleTerrain& Delaunay25D::getDelaunayTriangulation()
{
    return d->terrain;
}

DelaunayTriangulation::DelaunayTriangulation() = default;
DelaunayTriangulation::DelaunayTriangulation(DelaunayTriangulation const&) = default;
DelaunayTriangulation& DelaunayTriangulation::operator=(DelaunayTriangulation const&) = default;
DelaunayTriangulation::~DelaunayTriangulation() = default;

} // namespace Pelko::Corvex
