#include <corvex/coveredground.h>
#include <corvex/triangle.h>

#include <gtest/gtest.h>

#include <cputimer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

using namespace Pelko::Corvex;
using Outcome = CoveredGround::Outcome;
using Triangles = std::vector<std::array<unsigned, 3>>;

namespace {

// The triangles' outlines, each counterclockwise, summed, with pieces met both ways cancelled.
std::vector<BoundaryPiece> outline(std::vector<Point> const& points, Triangles const& triangles)
{
    std::map<std::pair<unsigned, unsigned>, int> net;
    for (auto t : triangles) {
        if (Triangle2D(points[t[0]], points[t[1]], points[t[2]]).orientation() < 0)
            std::swap(t[1], t[2]);
        for (int k = 0; k < 3; ++k) {
            const unsigned a = t[k], b = t[(k + 1) % 3];
            net[{ std::min(a, b), std::max(a, b) }] += a < b ? 1 : -1;
        }
    }
    std::vector<BoundaryPiece> pieces;
    for (auto const& [edge, count] : net)
        if (count != 0)
            pieces.push_back(count > 0 ? BoundaryPiece { edge.first, edge.second, count }
                                       : BoundaryPiece { edge.second, edge.first, -count });
    return pieces;
}

// An n x n mesh of unit squares from (x, y), two triangles each, row by row.
void mesh(std::vector<Point>& points, Triangles& triangles, double x, double y, unsigned n)
{
    const auto first = static_cast<unsigned>(points.size());
    for (unsigned j = 0; j <= n; ++j)
        for (unsigned i = 0; i <= n; ++i)
            points.emplace_back(x + i, y + j);
    for (unsigned j = 0; j < n; ++j)
        for (unsigned i = 0; i < n; ++i) {
            const unsigned c = first + j * (n + 1) + i;
            triangles.push_back({ c, c + 1, c + n + 2 });
            triangles.push_back({ c, c + n + 2, c + n + 1 });
        }
}

CoveredGround cover(std::vector<Point> const& points, Triangles const& triangles)
{
    return coveredGround(points, outline(points, triangles));
}

int turn(Point const& a, Point const& b, Point const& c)
{
    return Triangle2D(a, b, c).orientation();
}

// Exactly: p is inside or on the ring (winding number, with the orientation's exact sign).
bool insideOrOn(std::vector<Point> const& ring, Point const& p)
{
    int winding = 0;
    for (std::size_t k = 0; k < ring.size(); ++k) {
        Point const& a = ring[k];
        Point const& b = ring[(k + 1) % ring.size()];
        const int side = turn(a, b, p);
        if (side == 0 && std::min(a.getX(), b.getX()) <= p.getX() && p.getX() <= std::max(a.getX(), b.getX())
            && std::min(a.getY(), b.getY()) <= p.getY() && p.getY() <= std::max(a.getY(), b.getY()))
            return true;
        if (a.getY() <= p.getY() && b.getY() > p.getY() && side > 0)
            ++winding;
        else if (a.getY() > p.getY() && b.getY() <= p.getY() && side < 0)
            --winding;
    }
    return winding != 0;
}

double ringArea(std::vector<Point> const& ring)
{
    double twice = 0;
    for (std::size_t k = 1; k + 1 < ring.size(); ++k)
        twice += Vector::cross(Vector(ring[0], ring[k]), Vector(ring[0], ring[k + 1]));
    return twice / 2;
}

long count(std::vector<Point> const& ring, Point const& p)
{
    return std::count_if(ring.begin(), ring.end(),
                         [&](Point const& q) { return q.getX() == p.getX() && q.getY() == p.getY(); });
}

} // namespace

TEST(CoveredGround, GroundMeetingAtAPointIsOnePart)
{
    const std::vector<Point> points { Point(0, 0), Point(2, 0), Point(1, 1), Point(2, 2), Point(0, 2) };
    CoveredGround g = cover(points, { { 0, 1, 2 }, { 2, 3, 4 } });
    EXPECT_EQ(g.outcome, Outcome::Done);
    EXPECT_EQ(g.parts, 1);
    EXPECT_DOUBLE_EQ(g.area, 2);
    EXPECT_DOUBLE_EQ(g.largestArea, 2);
    EXPECT_DOUBLE_EQ(g.enclosedArea, 2);
    EXPECT_FALSE(g.overlapping);
    EXPECT_TRUE(g.ringEnclosesPart);
    ASSERT_EQ(g.ring.size(), 6u);
    EXPECT_EQ(count(g.ring, points[2]), 2);
    EXPECT_EQ(count({ g.ring.front() }, points[0]), 1);
    EXPECT_DOUBLE_EQ(ringArea(g.ring), 2);

    // Two meshes at a corner: every corner on their rims stays, where the rim goes straight too.
    std::vector<Point> meshes;
    Triangles triangles;
    mesh(meshes, triangles, 0, 0, 5);
    mesh(meshes, triangles, 5, 5, 5);
    g = cover(meshes, triangles);
    EXPECT_EQ(g.parts, 1);
    EXPECT_DOUBLE_EQ(g.area, 50);
    ASSERT_EQ(g.ring.size(), 40u);
    EXPECT_EQ(count(g.ring, Point(5, 5)), 2);
    EXPECT_DOUBLE_EQ(ringArea(g.ring), 50);
}

TEST(CoveredGround, OverlapsAndSlivers)
{
    // One square on both diagonals: everything twice, the rim counted 2.
    const std::vector<Point> square { Point(0, 0), Point(10, 0), Point(10, 10), Point(0, 10) };
    CoveredGround g = cover(square, { { 0, 1, 2 }, { 0, 2, 3 }, { 0, 1, 3 }, { 1, 2, 3 } });
    EXPECT_TRUE(g.overlapping);
    EXPECT_EQ(g.parts, 1);
    EXPECT_DOUBLE_EQ(g.area, 100);
    ASSERT_EQ(g.ring.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(count(g.ring, square[k]), 1);

    // A sliver along the bottom edge, inside the square and outside it.
    for (double apex : { 1e-9, -1e-9 }) {
        std::vector<Point> points = square;
        points.emplace_back(5, apex);
        g = cover(points, { { 0, 1, 2 }, { 0, 2, 3 }, { 0, 1, 4 } });
        EXPECT_EQ(g.parts, 1);
        EXPECT_EQ(g.overlapping, apex > 0);
        EXPECT_NEAR(g.area, apex > 0 ? 100 : 100 + 5e-9, 1e-12);
        EXPECT_EQ(g.ring.size(), apex > 0 ? 4u : 5u);
        EXPECT_EQ(count(g.ring, points[4]), apex > 0 ? 0 : 1);
        EXPECT_TRUE(g.ringEnclosesPart);
    }
}

TEST(CoveredGround, CrossingsThatAreNoDoublesMoveOutward)
{
    // A triangle across a mesh, sharing no corner, with edges of slope 1/3 and others whose crossings with
    // the mesh's rim are no pairs of doubles; at the origin and at survey coordinates.
    for (auto const& [x0, y0] : { std::pair(0.0, 0.0), std::pair(4084594.125, 512370.5) }) {
        std::vector<Point> points;
        Triangles triangles;
        mesh(points, triangles, x0, y0, 4);
        const auto t = static_cast<unsigned>(points.size());
        points.insert(points.end(), { Point(x0 - 1, y0), Point(x0 + 5, y0 + 2), Point(x0 + 1.5, y0 + 6.25) });
        triangles.push_back({ t, t + 1, t + 2 });
        const CoveredGround g = cover(points, triangles);
        ASSERT_EQ(g.outcome, Outcome::Done);
        EXPECT_EQ(g.parts, 1);
        EXPECT_TRUE(g.overlapping);
        EXPECT_NEAR(g.area, 49871.0 / 2380, 1e-6);
        EXPECT_NEAR(g.enclosedArea, g.area, 1e-9);
        EXPECT_NEAR(ringArea(g.ring), g.area, 1e-6);
        EXPECT_TRUE(g.ringEnclosesPart);
        for (Point const& p : points)
            EXPECT_TRUE(insideOrOn(g.ring, p)) << p.getX() - x0 << ' ' << p.getY() - y0;
        // Crossings are not inside any triangle.
        int crossings = 0;
        for (Point const& q : g.ring) {
            if (count(points, q) > 0)
                continue;
            ++crossings;
            for (auto const& c : triangles)
                EXPECT_FALSE(turn(points[c[0]], points[c[1]], q) > 0
                             && turn(points[c[1]], points[c[2]], q) > 0
                             && turn(points[c[2]], points[c[0]], q) > 0);
        }
        EXPECT_EQ(crossings, 6); // five moved, and (0, 2.5), a pair of doubles
        EXPECT_EQ(count(g.ring, Point(x0, y0 + 2.5)), 1);
    }
}

TEST(CoveredGround, PartsHolesAndIslands)
{
    // A frame (a 5 x 5 mesh without its middle 3 x 3), an island in its hole, and a smaller mesh apart.
    std::vector<Point> points;
    Triangles square, frame, island, apart;
    mesh(points, square, 0, 0, 5);
    for (std::size_t k = 0; k < square.size(); ++k)
        if (k / 2 % 5 == 0 || k / 2 % 5 == 4 || k / 10 == 0 || k / 10 == 4)
            frame.push_back(square[k]);
    mesh(points, island, 2, 2, 1);
    mesh(points, apart, 10, 0, 3);

    Triangles all = frame;
    all.insert(all.end(), island.begin(), island.end());
    all.insert(all.end(), apart.begin(), apart.end());
    CoveredGround g = cover(points, all);
    EXPECT_EQ(g.parts, 3);
    EXPECT_DOUBLE_EQ(g.area, 16 + 1 + 9);
    EXPECT_DOUBLE_EQ(g.largestArea, 16);
    EXPECT_DOUBLE_EQ(g.enclosedArea, 17);
    EXPECT_EQ(g.ring.size(), 20u);
    EXPECT_DOUBLE_EQ(ringArea(g.ring), 25);

    // Without the frame the mesh apart is the largest; of two equal ones, that with the least corner.
    all = island;
    all.insert(all.end(), apart.begin(), apart.end());
    g = cover(points, all);
    EXPECT_EQ(g.parts, 2);
    EXPECT_DOUBLE_EQ(g.largestArea, 9);
    EXPECT_DOUBLE_EQ(g.enclosedArea, 9);
    EXPECT_EQ(g.ring.front().getX(), 10);
    g = cover(points, { island[0], island[1], apart[0], apart[1] });
    EXPECT_EQ(g.parts, 2);
    EXPECT_EQ(g.ring.front().getX(), 2);
}

TEST(CoveredGround, DegenerateAndFaultyPieces)
{
    const std::vector<Point> points { Point(0, 0), Point(1, 0), Point(0, 1), Point(0, 0),
                                      Point(std::numeric_limits<double>::quiet_NaN(), 0) };
    CoveredGround g = coveredGround(points, {});
    EXPECT_EQ(g.outcome, Outcome::Done);
    EXPECT_EQ(g.parts, 0);
    EXPECT_TRUE(g.ring.empty());
    // Zero length (one point twice, or two at one place) and counts below one are left out.
    g = coveredGround(points,
                      { { 0, 1 }, { 1, 2 }, { 2, 0 }, { 1, 1 }, { 0, 3 }, { 2, 1, 0 }, { 0, 2, -1 } });
    EXPECT_EQ(g.outcome, Outcome::Done);
    EXPECT_DOUBLE_EQ(g.area, 0.5);
    EXPECT_EQ(g.ring.size(), 3u);

    // An index past the points, an end not finite, a clockwise triangle, an open chain.
    for (std::vector<BoundaryPiece> const& faulty : std::vector<std::vector<BoundaryPiece>> {
             { { 0, 1 }, { 1, 5 } }, { { 0, 4 } }, { { 0, 2 }, { 2, 1 }, { 1, 0 } }, { { 0, 1 }, { 1, 2 } } })
        EXPECT_EQ(coveredGround(points, faulty).outcome, Outcome::Failed);
}

TEST(CoveredGround, CancelIsSeen)
{
    // Triangles apart, 12000 pieces. The flag says true on a look while the pieces are read, while they are
    // queued for the sweep, during the sweep and after it; the work stops there.
    std::vector<Point> points;
    std::vector<BoundaryPiece> pieces;
    for (unsigned i = 0; i < 4000; ++i) {
        const auto c = static_cast<unsigned>(points.size());
        const double x = i % 100 * 2, y = i / 100 * 2;
        points.insert(points.end(), { Point(x, y), Point(x + 1, y), Point(x, y + 1) });
        pieces.insert(pieces.end(), { { c, c + 1 }, { c + 1, c + 2 }, { c + 2, c } });
    }
    int asked = 0;
    CpuTimer timer;
    const CoveredGround g = coveredGround(points, pieces, [&] { return ++asked < 0; });
    const long long whole = timer.elapsed();
    EXPECT_EQ(g.outcome, Outcome::Done);
    EXPECT_EQ(g.parts, 4000);
    EXPECT_GT(asked, 10);
    for (int looks : { 1, 4, 7, 10 }) {
        asked = 0;
        const CoveredGround cancelled = coveredGround(points, pieces, [&] {
            if (++asked < looks)
                return false;
            timer.start();
            return true;
        });
        EXPECT_EQ(cancelled.outcome, Outcome::Cancelled) << looks;
        EXPECT_EQ(asked, looks);
        EXPECT_LE(timer.elapsed(), whole / 4 + 10) << looks;
    }
}
