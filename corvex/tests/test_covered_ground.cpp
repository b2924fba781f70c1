#include <corvex/coveredground.h>
#include <corvex/triangle.h>

#include <gtest/gtest.h>

#include <cputimer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <tuple>
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

bool same(Point const& a, Point const& b)
{
    return a.getX() == b.getX() && a.getY() == b.getY();
}

bool onSegment(Point const& a, Point const& b, Point const& p)
{
    return turn(a, b, p) == 0 && std::min(a.getX(), b.getX()) <= p.getX()
        && p.getX() <= std::max(a.getX(), b.getX()) && std::min(a.getY(), b.getY()) <= p.getY()
        && p.getY() <= std::max(a.getY(), b.getY());
}

// Exactly: no two edges of the ring meet but adjacent ones at their corner and others at a corner the ring
// passes twice; no edge folds back over the one before.
bool simple(std::vector<Point> const& ring)
{
    const std::size_t n = ring.size();
    if (n < 3)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        Point const& a = ring[i];
        Point const& b = ring[(i + 1) % n];
        Point const& c = ring[(i + 2) % n];
        if (same(a, b) || (turn(a, b, c) == 0 && (onSegment(a, b, c) || onSegment(b, c, a))))
            return false;
    }
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1)
                continue;
            Point const& a = ring[i];
            Point const& b = ring[(i + 1) % n];
            Point const& c = ring[j];
            Point const& d = ring[(j + 1) % n];
            if (turn(a, b, c) * turn(a, b, d) < 0 && turn(c, d, a) * turn(c, d, b) < 0)
                return false;
            for (auto const& [p, e0, e1] :
                 { std::tuple(c, a, b), std::tuple(d, a, b), std::tuple(a, c, d), std::tuple(b, c, d) })
                if (onSegment(e0, e1, p) && !same(p, e0) && !same(p, e1))
                    return false;
        }
    return true;
}

// Three thin triangles, each with its long edge through a point a few units in the last place from one
// point at survey coordinates: their crossings there are no pairs of doubles and lie a few units apart.
std::vector<Point> nearMiss(std::mt19937_64& random)
{
    auto unit = [&] { return static_cast<double>(random() >> 11) * 0x1p-53; };
    const double x0 = 500000 + std::floor(unit() * 1000) / 8, y0 = 4000000 + std::floor(unit() * 1000) / 8;
    const double ux = std::nextafter(x0, 1e9) - x0, uy = std::nextafter(y0, 1e9) - y0;
    std::vector<Point> points;
    for (int k = 0; k < 3; ++k) {
        const double px = x0 + std::round((unit() - 0.5) * 8) * ux;
        const double py = y0 + std::round((unit() - 0.5) * 8) * uy;
        const double a = unit() * 2 * std::acos(-1.0);
        const double length = 5 + unit() * 20, width = 0.01 + unit() * 0.5;
        const double c = std::cos(a), s = std::sin(a);
        const double side = unit() < 0.5 ? 1 : -1;
        points.emplace_back(px - length * c, py - length * s);
        points.emplace_back(px + length * c, py + length * s);
        points.emplace_back(px - side * width * s + (unit() - 0.5) * length * c,
                            py + side * width * c + (unit() - 0.5) * length * s);
    }
    return points;
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

    // At survey coordinates, with a triangle across the frame's left side whose crossings with it are no
    // pairs of doubles: the outer ring has moved corners; the island is still counted inside it.
    const double x0 = 4084594.125, y0 = 512370.5;
    std::vector<Point> survey;
    for (Point const& p : points)
        survey.emplace_back(p.getX() + x0, p.getY() + y0);
    const auto t = static_cast<unsigned>(survey.size());
    survey.insert(survey.end(), { Point(x0 - 1, y0 + 0.5), Point(x0 + 0.5, y0 + 1), Point(x0 - 1, y0 + 2) });
    all = frame;
    all.insert(all.end(), island.begin(), island.end());
    all.push_back({ t, t + 1, t + 2 });
    g = cover(survey, all);
    EXPECT_EQ(g.parts, 2);
    EXPECT_TRUE(g.overlapping);
    // Left of the frame the triangle adds a trapezoid of 1.
    EXPECT_NEAR(g.area, 16 + 1 + 1, 1e-6);
    EXPECT_NEAR(g.largestArea, 16 + 1, 1e-6);
    EXPECT_NEAR(g.enclosedArea, 16 + 1 + 1, 1e-6);
    EXPECT_TRUE(g.ringEnclosesPart);
    EXPECT_TRUE(simple(g.ring));
    EXPECT_NEAR(ringArea(g.ring), 25 + 1, 1e-6);
    EXPECT_EQ(
        std::count_if(g.ring.begin(), g.ring.end(), [&](Point const& q) { return count(survey, q) == 0; }),
        2);
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

TEST(CoveredGround, MovedCornersNeverMakeTheRingCrossItself)
{
    // Drawings where a corner moved to a pair of doubles landed on or past a third face's edge, and the
    // ring crossed itself while told checked.
    const std::vector<std::vector<Point>> crossed {
        { { 500029.71627504012, 4000092.689893405 },
          { 500070.28372496011, 4000077.560106596 },
          { 500044.91303312196, 4000085.7965357536 },
          { 500068.01495043602, 4000072.1141866799 },
          { 500031.9850495641, 4000098.135813321 },
          { 500052.00169280363, 4000085.950753829 },
          { 500065.85097081354, 4000100.3094743844 },
          { 500034.14902918611, 4000069.9405256184 },
          { 500053.3351491022, 4000083.3074093135 } },
        { { 499995.76806088915, 4000116.1970762126 },
          { 500014.98193911073, 4000087.0529237865 },
          { 500006.0189666737, 4000102.1744900304 },
          { 500001.32282826555, 4000119.015738741 },
          { 500009.42717173469, 4000084.2342612562 },
          { 500005.21497762832, 4000099.2331671948 },
          { 500009.40832211834, 4000093.7446097941 },
          { 500001.34167788201, 4000109.5053902031 },
          { 500003.65059540345, 4000098.7635181057 } },
        { { 500043.68560536037, 4000006.4367651548 },
          { 499996.81439463986, 4000012.5632348433 },
          { 500025.54550803476, 4000009.1968421191 },
          { 500000.54627583397, 4000022.4016934503 },
          { 500039.9537241658, 3999996.598306546 },
          { 500029.43393324787, 4000007.9523709845 },
          { 499999.2660800055, 4000005.942735137 },
          { 500041.23391999438, 4000013.0572648621 },
          { 500030.34255359083, 4000010.2596551292 } },
        { { 500030.93139895005, 4000048.3457504273 },
          { 500059.3186010503, 4000086.1542495689 },
          { 500050.73738372198, 4000068.726620981 },
          { 500028.5830528877, 4000063.0941619542 },
          { 500061.66694711184, 4000071.405838042 },
          { 500050.33426913776, 4000067.9336039918 },
          { 500047.33059103042, 4000059.9574592477 },
          { 500042.9194089697, 4000074.5425407514 },
          { 500046.38050178648, 4000064.428088129 } },
        { { 500045.65812127641, 4000059.3012464778 },
          { 500069.59187872347, 4000040.1987535241 },
          { 500062.89882965916, 4000053.7982056262 },
          { 500065.67586026259, 4000059.6688748007 },
          { 500049.57413973717, 4000039.8311252031 },
          { 500054.82182015316, 4000049.8985406733 },
          { 500052.00261753192, 4000037.1236974937 },
          { 500063.24738246773, 4000062.3763025091 },
          { 500058.33475602791, 4000048.1385319424 } },
    };
    const Triangles three { { 0, 1, 2 }, { 3, 4, 5 }, { 6, 7, 8 } };
    // Whether the ring was told checked; if so, it must be.
    auto expectSound = [&](std::vector<Point> const& points, int k) {
        const CoveredGround g = cover(points, three);
        EXPECT_EQ(g.outcome, Outcome::Done) << k;
        EXPECT_EQ(g.parts, 1) << k;
        if (!g.ringEnclosesPart)
            return false;
        EXPECT_TRUE(simple(g.ring)) << k;
        for (Point const& p : points)
            EXPECT_TRUE(insideOrOn(g.ring, p)) << k;
        return true;
    };
    for (std::size_t k = 0; k < crossed.size(); ++k)
        expectSound(crossed[k], static_cast<int>(k));

    // More of the kind: a ring told checked is simple and holds every corner.
    std::mt19937_64 random(12345);
    int checked = 0;
    for (int k = 0; k < 200; ++k)
        checked += expectSound(nearMiss(random), k);
    EXPECT_GE(checked, 190);
}
