#include <corvex/delaunay.h>
#include <corvex/polygon.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>

using namespace Pelko::Corvex;

namespace {

double cross(Point const& a, Point const& b, Point const& c)
{
    return (b.getX() - a.getX()) * (c.getY() - a.getY()) - (c.getX() - a.getX()) * (b.getY() - a.getY());
}

// Positive when d lies strictly inside the circumcircle of the counter-clockwise a, b, c.
double inCircle(Point const& a, Point const& b, Point const& c, Point const& d)
{
    const double adx = a.getX() - d.getX(), ady = a.getY() - d.getY();
    const double bdx = b.getX() - d.getX(), bdy = b.getY() - d.getY();
    const double cdx = c.getX() - d.getX(), cdy = c.getY() - d.getY();
    return (adx * adx + ady * ady) * (bdx * cdy - cdx * bdy)
        - (bdx * bdx + bdy * bdy) * (adx * cdy - cdx * ady)
        + (cdx * cdx + cdy * cdy) * (adx * bdy - bdx * ady);
}

// Structural invariants every build must keep; returns the summed triangle area.
double checkTriangulation(Delaunay const& delaunay)
{
    auto const* t = delaunay.getDelaunayTriangulation();
    const unsigned count = delaunay.getTriangleCount();
    EXPECT_EQ(t->triangleCount, count);
    EXPECT_EQ(t->triangles.size(), count);
    EXPECT_EQ(t->neighbors.size(), count);
    double area = 0;
    std::map<std::pair<unsigned, unsigned>, int> directedEdges;
    for (unsigned i = 0; i < count && i < t->triangles.size(); ++i) {
        auto const& tri = t->triangles[i];
        EXPECT_EQ(tri.size(), 3u);
        for (unsigned v : tri)
            EXPECT_LT(v, t->points.size());
        const double twice = cross(t->points[tri[0]], t->points[tri[1]], t->points[tri[2]]);
        EXPECT_GT(twice, 0) << "triangle " << i << " is not counter-clockwise";
        area += twice / 2;
        for (int k = 0; k < 3; ++k) {
            const unsigned a = tri[(k + 1) % 3], b = tri[(k + 2) % 3];
            EXPECT_TRUE(directedEdges.emplace(std::make_pair(a, b), static_cast<int>(i)).second);
        }
    }
    // Neighbour k shares the edge opposite vertex k, and names this triangle back.
    for (unsigned i = 0; i < count && i < t->neighbors.size(); ++i) {
        auto const& tri = t->triangles[i];
        for (int k = 0; k < 3; ++k) {
            const int n = t->neighbors[i][k];
            const unsigned a = tri[(k + 1) % 3], b = tri[(k + 2) % 3];
            auto twin = directedEdges.find(std::make_pair(b, a));
            if (n < 0) {
                EXPECT_TRUE(twin == directedEdges.end()) << "edge with a triangle behind it marked open";
                continue;
            }
            if (static_cast<unsigned>(n) >= count || twin == directedEdges.end()) {
                ADD_FAILURE() << "neighbour " << n << " of triangle " << i << " does not share the edge";
                continue;
            }
            EXPECT_EQ(twin->second, n);
            auto const& other = t->triangles[n];
            const int back
                = static_cast<int>(std::find(other.begin(), other.end(), b) - other.begin() + 1) % 3;
            EXPECT_EQ(t->neighbors[n][(back + 1) % 3], static_cast<int>(i));
        }
    }
    return area;
}

// No point lies strictly inside any triangle's circumcircle.
void checkEmptyCircumcircles(Delaunay const& delaunay)
{
    auto const* t = delaunay.getDelaunayTriangulation();
    for (unsigned i = 0; i < t->triangleCount; ++i) {
        Point const& a = t->points[t->triangles[i][0]];
        Point const& b = t->points[t->triangles[i][1]];
        Point const& c = t->points[t->triangles[i][2]];
        double scale = 0;
        for (Point const* p : { &a, &b, &c })
            scale = std::max(scale, std::abs(p->getX()) + std::abs(p->getY()));
        const double tolerance = 1e-9 * std::pow(scale + 1, 4);
        for (Point const& d : t->points)
            EXPECT_LE(inCircle(a, b, c, d), tolerance) << "triangle " << i;
    }
}

double hullArea(std::vector<Point> points)
{
    std::sort(points.begin(), points.end(), [](Point const& a, Point const& b) {
        return a.getX() < b.getX() || (a.getX() == b.getX() && a.getY() < b.getY());
    });
    std::vector<Point> hull(2 * points.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    double area = 0;
    for (std::size_t i = 0; i + 1 < k; ++i)
        area += hull[i].getX() * hull[i + 1].getY() - hull[i + 1].getX() * hull[i].getY();
    return area / 2;
}

Polygon makePolygon(std::vector<Point> const& points)
{
    Polygon p;
    for (Point const& q : points)
        p.appendPoint(q);
    return p;
}

bool isZero(Triangle2D const& t)
{
    for (unsigned k = 0; k < 3; ++k) {
        if (t.getVertex(k).getX() != 0 || t.getVertex(k).getY() != 0)
            return false;
    }
    return true;
}

} // namespace

TEST(Delaunay, SmallCasesAndQueries)
{
    Delaunay d(std::vector<Point> { { 0, 0 }, { 4, 0 }, { 0, 3 } });
    d.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
    ASSERT_EQ(d.getTriangleCount(), 1u);
    EXPECT_DOUBLE_EQ(checkTriangulation(d), 6.0);
    EXPECT_EQ(d.getDelaunayTriangulation()->neighbors[0], (std::array<int, 3> { -1, -1, -1 }));
    auto neighbours = d.getNeighborTriangle(0);
    ASSERT_EQ(neighbours.size(), 3u);
    for (auto const& n : neighbours)
        EXPECT_TRUE(isZero(n));
    EXPECT_TRUE(d.getNeighborTriangle(1).empty());

    bool ok = false;
    Triangle2D t = d.getTriangle(0, &ok);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(t.area(), 6.0);
    t = d.getTriangle(d.getTriangleCount(), &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(isZero(t));
    d.getTriangle3D(7, &ok);
    EXPECT_FALSE(ok);
    d.getTriangle(0, nullptr); // a null flag is allowed

    // The plain int form selects the same switches.
    Delaunay byNumber(std::vector<Point> { { 0, 0 }, { 4, 0 }, { 0, 3 } });
    byNumber.buildDelaunayTriangulation(0);
    EXPECT_EQ(byNumber.getTriangleCount(), 1u);

    // No points: nothing happens.
    Delaunay empty;
    empty.buildDelaunayTriangulation(0);
    EXPECT_EQ(empty.getTriangleCount(), 0u);
    EXPECT_TRUE(empty.getAllTriangles().empty());

    // Fewer than three distinct points, collinear points, unknown types: no triangles.
    Delaunay two(std::vector<Point> { { 0, 0 }, { 1, 1 }, { 1, 1 } });
    two.buildDelaunayTriangulation(0);
    EXPECT_EQ(two.getTriangleCount(), 0u);
    EXPECT_EQ(two.getDelaunayTriangulation()->points.size(), 2u);
    Delaunay line(std::vector<Point> { { 0, 0 }, { 1, 1 }, { 2, 2 }, { 3, 3 } });
    line.buildDelaunayTriangulation(0);
    EXPECT_EQ(line.getTriangleCount(), 0u);
    line.buildDelaunayTriangulation(1);
    EXPECT_EQ(line.getTriangleCount(), 0u);
    Delaunay unknown(std::vector<Point> { { 0, 0 }, { 4, 0 }, { 0, 3 } });
    unknown.buildDelaunayTriangulation(4);
    EXPECT_EQ(unknown.getTriangleCount(), 0u);
    unknown.buildDelaunayTriangulation(-1);
    EXPECT_EQ(unknown.getTriangleCount(), 0u);
}

TEST(Delaunay, HeightsOfTheSquare)
{
    Delaunay d(std::vector<Point3D> { { 0, 0, 1 }, { 1, 0, 2 }, { 1, 1, 3 }, { 0, 1, 4 } });
    d.buildDelaunayTriangulation(0);
    ASSERT_EQ(d.getTriangleCount(), 2u);
    EXPECT_DOUBLE_EQ(checkTriangulation(d), 1.0);
    auto all = d.getAllTriangles();
    ASSERT_EQ(all.size(), 2u);
    for (auto const& t : all) {
        for (unsigned k = 0; k < 3; ++k) {
            const Point3D p = t.getVertex(k);
            const double expected = p.x() == 0 ? (p.y() == 0 ? 1 : 4) : (p.y() == 0 ? 2 : 3);
            EXPECT_EQ(p.z(), expected);
        }
    }
    bool ok = false;
    const Triangle3D first = d.getTriangle3D(0, &ok);
    EXPECT_TRUE(ok);
    for (unsigned k = 0; k < 3; ++k)
        EXPECT_EQ(first.getVertex(k).z(), all[0].getVertex(k).z());
}

TEST(Delaunay, RandomPointsAreDelaunay)
{
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> coord(-500, 500);
    std::vector<Point3D> points;
    for (int i = 0; i < 600; ++i)
        points.emplace_back(coord(rng), coord(rng), i);
    // A lattice adds cocircular quadruples, the hard case for the incircle choice.
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j)
            points.emplace_back(600 + i, j, 0);

    Delaunay d(points);
    d.buildDelaunayTriangulation(0);
    std::vector<Point> plane;
    for (auto const& p : points)
        plane.emplace_back(p.x(), p.y());
    EXPECT_NEAR(checkTriangulation(d), hullArea(plane), 1e-6);
    checkEmptyCircumcircles(d);
    // Euler: 2n - 2 - h triangles, with h the open hull edges.
    auto const* t = d.getDelaunayTriangulation();
    unsigned open = 0;
    for (auto const& n : t->neighbors)
        open += static_cast<unsigned>(std::count(n.begin(), n.end(), -1));
    EXPECT_EQ(d.getTriangleCount(), 2 * t->points.size() - 2 - open);
    EXPECT_EQ(t->points.size(), points.size());

    // getAllTriangles follows the index lists, heights included.
    auto all = d.getAllTriangles();
    ASSERT_EQ(all.size(), d.getTriangleCount());
    for (unsigned i = 0; i < all.size(); i += 50) {
        for (unsigned k = 0; k < 3; ++k)
            EXPECT_EQ(all[i].getVertex(k).z(), points[t->triangles[i][k]].z());
    }
}

TEST(Delaunay, DuplicateMerge)
{
    // Four points of which two coincide: the triangulation of three points.
    Delaunay d(std::vector<Point> { { 0, 0 }, { 2, 0 }, { 0, 0 }, { 0, 2 } });
    d.addPointsHeight({ 5, 6, 7, 8 });
    d.buildDelaunayTriangulation(0);
    auto const* t = d.getDelaunayTriangulation();
    EXPECT_EQ(d.getTriangleCount(), 1u);
    ASSERT_EQ(t->points.size(), 3u);
    // The first of the coincident points is kept, with its height.
    EXPECT_EQ(t->heights, (std::vector<double> { 5, 6, 8 }));
    EXPECT_EQ(t->points[2].getY(), 2.0);

    // Constraint lines: every occurrence of a duplicate is renamed, higher indices drop by one.
    // Point 4 repeats point 0, point 5 repeats point 2; the ring is 4-1-5-3-4 plus an inner line.
    std::vector<Point> ring
        = { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 }, { 0, 0 }, { 10, 10 }, { 5, 5 }, { 20, 20 } };
    Delaunay c(ring, { { 4, 1, 5, 3, 4 }, { 6, 7 } });
    c.addPointsHeight({ 0, 1, 2, 3, 4, 5, 6, 7 });
    c.buildDelaunayTriangulation(1);
    auto const* ct = c.getDelaunayTriangulation();
    ASSERT_EQ(ct->points.size(), 6u);
    EXPECT_EQ(ct->heights, (std::vector<double> { 0, 1, 2, 3, 6, 7 }));
    // The ring stays closed: the open line out to (20, 20) leaves nothing behind, the square stays.
    EXPECT_NEAR(checkTriangulation(c), 100.0, 1e-9);
    EXPECT_EQ(c.getTriangleCount(), 4u);

    // Many exact duplicates with heights: each position kept once with the first height.
    std::vector<Point3D> grid;
    for (int copy = 0; copy < 3; ++copy)
        for (int i = 0; i < 30; ++i)
            for (int j = 0; j < 30; ++j)
                grid.emplace_back(i, j, copy * 1000 + i * 30 + j);
    Delaunay g(grid);
    g.buildDelaunayTriangulation(0);
    auto const* gt = g.getDelaunayTriangulation();
    ASSERT_EQ(gt->points.size(), 900u);
    ASSERT_EQ(gt->heights.size(), 900u);
    for (unsigned i = 0; i < 900; ++i) {
        EXPECT_EQ(gt->points[i].getX(), i / 30);
        EXPECT_EQ(gt->heights[i], i);
    }
    EXPECT_EQ(g.getTriangleCount(), 2u * 29 * 29);
    EXPECT_NEAR(checkTriangulation(g), 29.0 * 29.0, 1e-9);

    // A duplicate ahead of a point the triangulator adds: the added crossing follows the merged points,
    // and a line between coincident points adds no segment.
    Delaunay added(std::vector<Point3D> { { 0, 0, 1 }, { 2, 0, 2 }, { 2, 2, 3 }, { 2, 0, 9 }, { 0, 2, 4 } });
    added.addConstrainLine({ { 0, 3, 2, 4, 0 }, { 0, 2 }, { 1, 4 }, { 1, 3 } });
    added.buildDelaunayTriangulation(1);
    auto const* at = added.getDelaunayTriangulation();
    ASSERT_EQ(at->points.size(), 5u);
    EXPECT_EQ(at->heights, (std::vector<double> { 1, 2, 3, 4 }));
    EXPECT_EQ(at->points[4].getX(), 1.0);
    EXPECT_EQ(at->points[4].getY(), 1.0);
    EXPECT_EQ(added.getTriangleCount(), 4u);
    EXPECT_NEAR(checkTriangulation(added), 4.0, 1e-9);

    // Nothing left to triangulate once merged: no triangles, the points still merged.
    for (int type : { 0, 1, 3, 9 }) {
        Delaunay same(std::vector<Point> { { 1, 1 }, { 1, 1 }, { 1, 1 }, { 3, 1 }, { 3, 1 } });
        same.buildDelaunayTriangulation(type);
        EXPECT_EQ(same.getTriangleCount(), 0u);
        EXPECT_EQ(same.getDelaunayTriangulation()->points.size(), 2u) << type;
    }
}

TEST(Delaunay, ConstrainedPolygons)
{
    // The unit square: the repeated first vertex merges away.
    Delaunay square(makePolygon({ { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }));
    square.buildDelaunayTriangulation(1);
    EXPECT_EQ(square.getTriangleCount(), 2u);
    EXPECT_EQ(square.getDelaunayTriangulation()->points.size(), 4u);
    EXPECT_DOUBLE_EQ(checkTriangulation(square), 1.0);

    // A concave L (clockwise, to show orientation does not matter): only its inside remains.
    const Polygon ell = makePolygon({ { 0, 0 }, { 0, 3 }, { 1, 3 }, { 1, 1 }, { 3, 1 }, { 3, 0 } });
    for (int type : { 1, 2, 3 }) {
        Delaunay d(ell);
        d.buildDelaunayTriangulation(type);
        EXPECT_NEAR(checkTriangulation(d), 5.0, 1e-12) << type;
        for (unsigned i = 0; i < d.getTriangleCount(); ++i) {
            const Triangle2D t = d.getTriangle(i);
            const Point centroid((t.getA().getX() + t.getB().getX() + t.getC().getX()) / 3,
                                 (t.getA().getY() + t.getB().getY() + t.getC().getY()) / 3);
            EXPECT_TRUE(ell.contain(centroid)) << type;
        }
        if (type != 3) {
            EXPECT_EQ(d.getTriangleCount(), 4u);
        }
    }

    // Nested rings keep their inside; a point outside every ring is dropped with its triangles.
    std::vector<Point> nested
        = { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 }, { 4, 4 }, { 6, 4 }, { 6, 6 }, { 4, 6 }, { 30, 5 } };
    Delaunay n(nested, { { 0, 1, 2, 3, 0 }, { 4, 5, 6, 7, 4 } });
    n.buildDelaunayTriangulation(1);
    EXPECT_NEAR(checkTriangulation(n), 100.0, 1e-9);

    // Repeated indices in a line add no segment: 0-1-1-2-0 is still the triangle 0, 1, 2.
    Delaunay repeated(std::vector<Point> { { 0, 0 }, { 4, 0 }, { 0, 4 }, { 9, 9 } }, { { 0, 1, 1, 2, 0 } });
    repeated.buildDelaunayTriangulation(1);
    EXPECT_EQ(repeated.getTriangleCount(), 1u);
    EXPECT_NEAR(checkTriangulation(repeated), 8.0, 1e-12);

    // An open polyline encloses nothing.
    Delaunay open(std::vector<Point> { { 0, 0 }, { 4, 0 }, { 4, 4 }, { 0, 4 } }, { { 0, 1, 2, 3 } });
    open.buildDelaunayTriangulation(1);
    EXPECT_EQ(open.getTriangleCount(), 0u);
    // Type 0 ignores the lines.
    open.buildDelaunayTriangulation(0);
    EXPECT_EQ(open.getTriangleCount(), 2u);

    // A constraint naming a missing point is refused by the constrained types only.
    Delaunay bad(std::vector<Point> { { 0, 0 }, { 4, 0 }, { 0, 4 } }, { { 0, 1, 7, 0 } });
    bad.buildDelaunayTriangulation(1);
    EXPECT_EQ(bad.getTriangleCount(), 0u);
    bad.buildDelaunayTriangulation(0);
    EXPECT_EQ(bad.getTriangleCount(), 1u);
}

TEST(Delaunay, AddedPointsAndConforming)
{
    // Two crossing diagonals inside the square: the triangulator adds their crossing point, which
    // has no height and reads as 0.
    Delaunay cross(std::vector<Point3D> { { 0, 0, 1 }, { 2, 0, 1 }, { 2, 2, 1 }, { 0, 2, 1 } });
    cross.addConstrainLine({ { 0, 1, 2, 3, 0 }, { 0, 2 }, { 1, 3 } });
    cross.buildDelaunayTriangulation(1);
    auto const* t = cross.getDelaunayTriangulation();
    ASSERT_EQ(t->points.size(), 5u);
    EXPECT_EQ(t->points[4].getX(), 1.0);
    EXPECT_EQ(t->points[4].getY(), 1.0);
    EXPECT_EQ(t->heights.size(), 4u);
    EXPECT_EQ(cross.getTriangleCount(), 4u);
    EXPECT_NEAR(checkTriangulation(cross), 4.0, 1e-12);
    for (auto const& tri : cross.getAllTriangles()) {
        for (unsigned k = 0; k < 3; ++k) {
            const Point3D p = tri.getVertex(k);
            EXPECT_EQ(p.z(), p.x() == 1.0 && p.y() == 1.0 ? 0.0 : 1.0);
        }
    }

    // A long thin rectangle with a point just outside its long side: no circle through the ends of that
    // side is empty, so the constrained triangulation is not Delaunay there; the conforming one splits
    // the side until it is, and still covers the rectangle only.
    std::vector<Point> thin = { { 0, 0 }, { 10, 0 }, { 10, 1 }, { 0, 1 }, { 5, 1.2 } };
    Delaunay constrained(thin, { { 0, 1, 2, 3, 0 } });
    constrained.buildDelaunayTriangulation(1);
    EXPECT_NEAR(checkTriangulation(constrained), 10.0, 1e-9);
    EXPECT_EQ(constrained.getTriangleCount(), 2u);
    auto const* ct = constrained.getDelaunayTriangulation();
    bool violated = false;
    for (auto const& tri : ct->triangles)
        violated
            = violated || inCircle(ct->points[tri[0]], ct->points[tri[1]], ct->points[tri[2]], thin[4]) > 0;
    EXPECT_TRUE(violated);

    Delaunay conforming(thin, { { 0, 1, 2, 3, 0 } });
    conforming.buildDelaunayTriangulation(3);
    EXPECT_NEAR(checkTriangulation(conforming), 10.0, 1e-9);
    EXPECT_GT(conforming.getDelaunayTriangulation()->points.size(), thin.size());
    checkEmptyCircumcircles(conforming);
    for (auto const& tri : conforming.getAllTriangles())
        for (unsigned k = 0; k < 3; ++k)
            EXPECT_EQ(tri.getVertex(k).z(), 0.0); // no heights were given at all
}

TEST(Delaunay, RebuildAndNonFiniteInput)
{
    Delaunay d(std::vector<Point> { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } });
    d.buildDelaunayTriangulation(0);
    EXPECT_EQ(d.getTriangleCount(), 2u);
    d.addPoints({ { 0.5, 2 } });
    d.buildDelaunayTriangulation(0);
    auto const* t = d.getDelaunayTriangulation();
    EXPECT_EQ(d.getTriangleCount(), 3u);
    EXPECT_EQ(t->triangles.size(), 3u);
    EXPECT_EQ(t->neighbors.size(), 3u);
    EXPECT_NEAR(checkTriangulation(d), 1.5, 1e-12);
    // A failing rebuild leaves no stale triangles behind.
    d.buildDelaunayTriangulation(9);
    EXPECT_EQ(d.getTriangleCount(), 0u);
    EXPECT_TRUE(t->triangles.empty());

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (Point bad : { Point(nan, 0), Point(0, inf), Point(-inf, -inf) }) {
        Delaunay n(std::vector<Point> { { 0, 0 }, { 1, 0 }, { 1, 1 }, bad });
        for (int type : { 0, 1, 3 }) {
            n.buildDelaunayTriangulation(type);
            EXPECT_EQ(n.getTriangleCount(), 0u);
        }
    }
    Delaunay n3(std::vector<Point3D> { { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 } });
    n3.addPoints({ Point(nan, nan) });
    n3.buildDelaunayTriangulation(0);
    EXPECT_EQ(n3.getTriangleCount(), 0u);
}

TEST(Delaunay, CancelledBuild)
{
    // Enough points for the flag to be looked at in every stage, with duplicates for the merge.
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(0, 1000);
    std::vector<Point3D> points;
    for (int i = 0; i < 50000; ++i)
        points.emplace_back(coordinate(random), coordinate(random), i);
    points.push_back(points.front());
    std::vector<std::vector<unsigned>> ring { { 0, 1, 2, 0 } };

    std::atomic<bool> cancelled { false };
    Delaunay plain(points);
    plain.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
    Delaunay watched(points);
    watched.buildDelaunayTriangulation(Delaunay::PlainDelaunay, &cancelled);
    EXPECT_GT(watched.getTriangleCount(), 99000u);
    EXPECT_EQ(watched.getDelaunayTriangulation()->triangles, plain.getDelaunayTriangulation()->triangles);
    EXPECT_EQ(watched.getDelaunayTriangulation()->points.size(), points.size() - 1);

    // Set before or during the build: no triangles, not even those of an earlier build, and the points
    // are not merged.
    cancelled = true;
    for (auto type :
         { Delaunay::PlainDelaunay, Delaunay::ConstrainedDelaunay, Delaunay::ConformingDelaunay }) {
        SCOPED_TRACE(type);
        watched.buildDelaunayTriangulation(type, &cancelled);
        EXPECT_EQ(watched.getTriangleCount(), 0u);
        EXPECT_TRUE(watched.getDelaunayTriangulation()->triangles.empty());
        Delaunay fresh(points);
        fresh.addConstrainLine(ring);
        fresh.buildDelaunayTriangulation(type, &cancelled);
        EXPECT_EQ(fresh.getTriangleCount(), 0u);
        EXPECT_EQ(fresh.getDelaunayTriangulation()->points.size(), points.size());
        EXPECT_EQ(fresh.getDelaunayTriangulation()->heights.size(), points.size());
    }
}

TEST(Delaunay, CancelAnsweredWhileTheFacesAreNumbered)
{
    // The build looks at the flag once per this many steps of every pass.
    constexpr unsigned batch = 4096;
    constexpr int count = 40000;
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(0, 1000);
    std::vector<Point> scattered;
    for (int i = 0; i < count; ++i)
        scattered.emplace_back(coordinate(random), coordinate(random));
    const std::vector<Point> onePlace(count, Point(7, 3));
    // Looks at the flag taken by a build that is cancelled from look cancelAt on (never when 0).
    auto build = [](std::vector<Point> const& points, unsigned cancelAt, unsigned* triangles) {
        unsigned looks = 0;
        Delaunay delaunay(points);
        delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay, [&] {
            ++looks;
            return cancelAt != 0 && looks >= cancelAt;
        });
        *triangles = delaunay.getTriangleCount();
        return looks;
    };

    // Sorting and inserting look as often for any points of the same count; points all at one place stop
    // right after the insertions, with no face to number.
    unsigned triangles = 0;
    const unsigned insertions = build(onePlace, 0, &triangles);
    EXPECT_EQ(triangles, 0u);
    const unsigned whole = build(scattered, 0, &triangles);
    ASSERT_GT(triangles, 2u * count - 100);
    // Numbering the faces and copying them out each look once per batch of faces: a 3-million-point
    // build spent most of a second numbering its faces without a look.
    EXPECT_GE(whole - insertions, 2 * (triangles / batch));

    // A cancel from any look after the insertions is answered there (the build asks once more to tell
    // it from a failure): no triangles.
    for (unsigned at : { insertions + 1, insertions + triangles / batch / 2, whole }) {
        SCOPED_TRACE(at);
        unsigned left = 1;
        EXPECT_LE(build(scattered, at, &left), at + 1);
        EXPECT_EQ(left, 0u);
    }
}

TEST(Delaunay, Delaunay25DAndTerrain)
{
    TriangleTerrain terrain;
    bool ok = true;
    const Triangle3D zero = terrain.getTriangle(0, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(zero.getVertex(0), Point3D());
    terrain.getTriangle(0, nullptr);
    EXPECT_TRUE(terrain.getNeighborTriangle(0).empty());

    // Assignment shares: destroying one side must leave the other usable (and freed once).
    Delaunay25D kept;
    {
        Delaunay25D source(std::vector<Point3D> { { 0, 0, 1 }, { 1, 0, 2 }, { 0, 1, 3 } });
        kept = source;
        source.buildDelaunayTriangulation();
        Delaunay25D copy(source);
        EXPECT_TRUE(static_cast<bool>(copy));
    }
    kept.addPoints({ { 1, 1, 4 } });
    kept.buildDelaunayTriangulation();
    ok = true;
    kept.getDelaunayTriangulation().getTriangle(0, &ok);
    EXPECT_FALSE(ok);

    Delaunay25D clone = kept.clone();
    clone.addPoints({ { 5, 5, 5 } });
    clone.buildDelaunayTriangulation();
    EXPECT_TRUE(static_cast<bool>(clone));
    EXPECT_TRUE(clone.getDelaunayTriangulation().getNeighborTriangle(1).empty());
}
