#include <corvex/triangulationcheck.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace Pelko::Corvex;
using Triangles = std::vector<std::array<unsigned, 3>>;

namespace {

// The corners of a 3 x 3 grid of unit squares, numbered row by row (y * 4 + x), and its 18 triangles.
std::vector<Point> gridPoints()
{
    std::vector<Point> points;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            points.emplace_back(x, y);
    return points;
}

Triangles gridTriangles()
{
    Triangles triangles;
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 3; ++x) {
            const unsigned corner = y * 4 + x;
            triangles.push_back({ corner, corner + 1, corner + 5 });
            triangles.push_back({ corner, corner + 5, corner + 4 });
        }
    return triangles;
}

TriangulationCheck check(std::vector<Point> const& points, Triangles const& triangles)
{
    return checkTriangulation(points, triangles);
}

} // namespace

TEST(TriangulationCheck, TrianglesThatMeetOnlyAtWholeEdgesAndCorners)
{
    const auto yes = TriangulationCheck::Triangulation;
    std::vector<Point> points = gridPoints();
    Triangles grid = gridTriangles();
    EXPECT_EQ(check(points, grid), yes);
    // Either orientation, any order; a hole, separate pieces and pieces touching at one corner too.
    Triangles some { { 5, 0, 1 }, { 15, 10, 11 }, { 10, 6, 9 } };
    EXPECT_EQ(check(points, some), yes);
    Triangles ring = grid;
    ring.erase(ring.begin() + 8, ring.begin() + 10);
    EXPECT_EQ(check(points, ring), yes);
    EXPECT_EQ(check(points, {}), yes);
    EXPECT_EQ(check({}, {}), yes);

    // A fan of thin triangles round one point.
    std::vector<Point> fan { Point(100, 0) };
    Triangles fanTriangles;
    for (unsigned i = 0; i < 20000; ++i) {
        fan.emplace_back(i, i);
        if (i > 0)
            fanTriangles.push_back({ 0, i, i + 1 });
    }
    EXPECT_EQ(check(fan, fanTriangles), yes);

    // Triangles with collinear corners cover nothing: they may lie anywhere, on edges and across others.
    Triangles flat = grid;
    flat.push_back({ 0, 5, 10 });
    flat.push_back({ 3, 3, 7 });
    EXPECT_EQ(check(points, flat), yes);
}

TEST(TriangulationCheck, OverlapsAndCornersOnEdges)
{
    const auto no = TriangulationCheck::NotATriangulation;
    const std::vector<Point> points = gridPoints();
    const Triangles grid = gridTriangles();

    // The two triangles of the middle square replaced by one over it and the square to its right: the
    // corners 6 and 10 lie on its long edges.
    Triangles tJunction = grid;
    tJunction.erase(tJunction.begin() + 8, tJunction.begin() + 12);
    tJunction.push_back({ 5, 7, 11 });
    tJunction.push_back({ 5, 11, 9 });
    EXPECT_EQ(check(points, tJunction), no);
    // Without the triangles that have those corners, it is a triangulation again but for points 6 and 10,
    // which lie on its edges.
    EXPECT_EQ(check(points, { { 5, 7, 11 }, { 5, 11, 9 } }), no);

    Triangles twice = grid;
    twice.push_back({ 5, 6, 10 });
    EXPECT_EQ(check(points, twice), no);
    Triangles otherWay = grid;
    otherWay.push_back({ 6, 5, 10 });
    EXPECT_EQ(check(points, otherWay), no);
    // The other diagonal of a square lies over both its triangles.
    Triangles crossed = grid;
    crossed.push_back({ 0, 1, 4 });
    EXPECT_EQ(check(points, crossed), no);
    // Two triangles whose edges cross, without a corner inside the other.
    EXPECT_EQ(check({ Point(0, 0), Point(4, 0), Point(2, 3), Point(0, 2), Point(2, -1), Point(4, 2) },
                    { { 0, 1, 2 }, { 3, 4, 5 } }),
              no);
    // One triangle inside another, and a point inside a triangle.
    EXPECT_EQ(check({ Point(0, 0), Point(9, 0), Point(0, 9), Point(1, 1), Point(2, 1), Point(1, 2) },
                    { { 0, 1, 2 }, { 3, 4, 5 } }),
              no);
    EXPECT_EQ(check({ Point(0, 0), Point(9, 0), Point(0, 9), Point(1, 1) }, { { 0, 1, 2 } }), no);
    // A flat triangle's corner on an edge.
    Triangles flat = grid;
    std::vector<Point> more = points;
    more.emplace_back(0.5, 0);
    flat.push_back({ 16, 16, 16 });
    EXPECT_EQ(check(more, flat), no);

    // Points that are not one of each, or not finite; an index past the points.
    std::vector<Point> repeated = points;
    repeated.push_back(points[5]);
    EXPECT_EQ(check(repeated, grid), no);
    std::vector<Point> infinite = points;
    infinite.emplace_back(std::numeric_limits<double>::infinity(), 0);
    EXPECT_EQ(check(infinite, grid), no);
    Triangles past = grid;
    past.push_back({ 0, 1, 16 });
    EXPECT_EQ(check(points, past), no);
}

TEST(TriangulationCheck, CancelIsSeen)
{
    std::vector<Point> points;
    Triangles triangles;
    for (unsigned i = 0; i < 20000; ++i) {
        points.emplace_back(i % 100, i / 100);
        if (i % 100 < 99 && i / 100 < 199) {
            triangles.push_back({ i, i + 1, i + 101 });
            triangles.push_back({ i, i + 101, i + 100 });
        }
    }
    int asked = 0;
    EXPECT_EQ(checkTriangulation(points, triangles, [&] { return ++asked > 3; }),
              TriangulationCheck::Cancelled);
    EXPECT_EQ(asked, 4);
    asked = 0;
    EXPECT_EQ(checkTriangulation(points, triangles, [&] { return ++asked < 0; }),
              TriangulationCheck::Triangulation);
    EXPECT_GT(asked, 10);
}
