#include <road/internal/linesegmentclipper.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using Pelko::Road::internal::LineSegmentClipper;

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Segment
{
    double x1, y1, x2, y2;
};

// Clips with the given clipper and reports the result, leaving the input alone.
bool clipped(const LineSegmentClipper& c, Segment in, Segment& out)
{
    out = in;
    return c.clip(out.x1, out.y1, out.x2, out.y2);
}

void expectSegment(const Segment& s, double x1, double y1, double x2, double y2, const char* what)
{
    EXPECT_NEAR(s.x1, x1, 1e-12) << what;
    EXPECT_NEAR(s.y1, y1, 1e-12) << what;
    EXPECT_NEAR(s.x2, x2, 1e-12) << what;
    EXPECT_NEAR(s.y2, y2, 1e-12) << what;
}

// Parametric (Liang-Barsky) clip as an independent reference: the parameter range [t0, t1] of the
// segment inside the closed box, false when empty.
bool reference(Segment s, double xmin, double ymin, double xmax, double ymax, double& t0, double& t1)
{
    t0 = 0.0;
    t1 = 1.0;
    const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
    const double p[] = { -dx, dx, -dy, dy };
    const double q[] = { s.x1 - xmin, xmax - s.x1, s.y1 - ymin, ymax - s.y1 };
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

} // namespace

TEST(LineSegmentClipper, ClipCases)
{
    const LineSegmentClipper unit(0.0, 0.0, 1.0, 1.0);
    Segment s;

    EXPECT_TRUE(clipped(unit, { 0.2, 0.3, 0.7, 0.9 }, s));
    expectSegment(s, 0.2, 0.3, 0.7, 0.9, "inside, unchanged");

    EXPECT_TRUE(clipped(unit, { -1.0, 0.5, 2.0, 0.5 }, s));
    expectSegment(s, 0.0, 0.5, 1.0, 0.5, "through two edges");
    EXPECT_TRUE(clipped(unit, { 2.0, 0.5, -1.0, 0.5 }, s));
    expectSegment(s, 1.0, 0.5, 0.0, 0.5, "direction is kept");

    EXPECT_TRUE(clipped(unit, { 0.5, 0.5, 0.5, 3.0 }, s));
    expectSegment(s, 0.5, 0.5, 0.5, 1.0, "one edge from inside");
    EXPECT_TRUE(clipped(unit, { 0.5, -3.0, 0.5, 0.25 }, s));
    expectSegment(s, 0.5, 0.0, 0.5, 0.25, "one edge from outside");

    // Corner region to corner region along the diagonal: both ends land on the corners.
    EXPECT_TRUE(clipped(unit, { -1.0, -1.0, 2.0, 2.0 }, s));
    expectSegment(s, 0.0, 0.0, 1.0, 1.0, "diagonal");
    // From a corner region across the x edge, then on to the y edge.
    EXPECT_TRUE(clipped(unit, { -0.5, -1.0, 1.5, 1.0 }, s));
    expectSegment(s, 0.5, 0.0, 1.0, 0.5, "corner start moved to the y edge");
    EXPECT_TRUE(clipped(unit, { -1.0, 1.0, 1.0, -1.0 }, s));
    expectSegment(s, 0.0, 0.0, 0.0, 0.0, "touching a corner only");

    // Lying on an edge counts as inside: the window is closed.
    EXPECT_TRUE(clipped(unit, { -1.0, 1.0, 3.0, 1.0 }, s));
    expectSegment(s, 0.0, 1.0, 1.0, 1.0, "along the top edge");
    EXPECT_TRUE(clipped(unit, { 0.0, 0.0, 0.0, 1.0 }, s));
    expectSegment(s, 0.0, 0.0, 0.0, 1.0, "on the left edge");

    // Both ends beyond the same edge; then passing outside a corner.
    EXPECT_FALSE(clipped(unit, { -1.0, 0.2, -0.5, 0.8 }, s));
    EXPECT_FALSE(clipped(unit, { -2.0, -0.5, -1.0, 2.0 }, s));
    EXPECT_FALSE(clipped(unit, { -0.5, -1.0, 2.0, -0.1 }, s));
    EXPECT_FALSE(clipped(unit, { -1.0, 0.5, 0.6, -1.1 }, s));
    EXPECT_FALSE(clipped(unit, { -1.0, 0.5, 0.5, -1.0 }, s));
    EXPECT_FALSE(clipped(unit, { 0.5, 2.5, 2.5, 0.5 }, s));
    EXPECT_FALSE(clipped(unit, { -1.0, 2.0, 2.0, 1.5 }, s));

    // Degenerate segments: a point inside, on the boundary and outside.
    EXPECT_TRUE(clipped(unit, { 0.4, 0.4, 0.4, 0.4 }, s));
    expectSegment(s, 0.4, 0.4, 0.4, 0.4, "point inside");
    EXPECT_TRUE(clipped(unit, { 1.0, 1.0, 1.0, 1.0 }, s));
    EXPECT_FALSE(clipped(unit, { 1.5, 0.5, 1.5, 0.5 }, s));
    EXPECT_FALSE(clipped(unit, { -0.5, -0.5, -0.5, -0.5 }, s));

    // Non-finite points are no segment; an inverted window takes nothing, even a crossing segment.
    EXPECT_FALSE(clipped(unit, { kNaN, 0.5, 0.5, 0.5 }, s));
    EXPECT_FALSE(clipped(unit, { 0.5, 0.5, 0.5, kInf }, s));
    const LineSegmentClipper inverted(1.0, 0.0, 0.0, 1.0);
    EXPECT_FALSE(clipped(inverted, { -1.0, 0.5, 2.0, 0.5 }, s));
    EXPECT_FALSE(clipped(inverted, { 0.5, 0.5, 0.5, 0.5 }, s));
    EXPECT_FALSE(clipped(LineSegmentClipper(0.0, kNaN, 1.0, 1.0), { 0.5, 0.5, 0.6, 0.6 }, s));

    const LineSegmentClipper all(-kInf, -kInf, kInf, kInf);
    EXPECT_TRUE(clipped(all, { -1e300, 1e300, 3.5, -2.25 }, s));
    expectSegment(s, -1e300, 1e300, 3.5, -2.25, "unbounded window");

    // A half-open window: only one bound is finite.
    const LineSegmentClipper north(10.0, -kInf, kInf, kInf);
    EXPECT_TRUE(clipped(north, { 0.0, 0.0, 20.0, 40.0 }, s));
    expectSegment(s, 10.0, 20.0, 20.0, 40.0, "half plane");
}

TEST(LineSegmentClipper, MatchesParametricClip)
{
    // Every combination of region codes, against an independent clip: the kept part is the part of the
    // segment inside the window, with the ends in the segment's own order.
    const double xmin = 2.0, ymin = -1.0, xmax = 5.0, ymax = 3.0;
    const LineSegmentClipper window(xmin, ymin, xmax, ymax);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(-2.0, 9.0), y(-5.0, 7.0);
    // Half of the ends on a grid that includes the bounds, so that ends on edges and corners, segments
    // along edges and through corners come up often.
    std::uniform_int_distribution<int> gx(0, 14), gy(-5, 7);
    auto gridX = [&] { return gx(random) * 0.5; };
    auto gridY = [&] { return double(gy(random)); };
    int accepted = 0, rejected = 0;
    for (int i = 0; i < 40000; ++i) {
        const Segment in = i % 2 ? Segment { x(random), y(random), x(random), y(random) }
                                 : Segment { gridX(), gridY(), gridX(), gridY() };
        double t0, t1;
        const bool expected = reference(in, xmin, ymin, xmax, ymax, t0, t1);
        Segment out;
        const bool got = clipped(window, in, out);
        // Grazing cases decide on rounding; skip those that are within a hair of the boundary.
        if (expected && t1 - t0 < 1e-9)
            continue;
        ASSERT_EQ(got, expected) << in.x1 << " " << in.y1 << " " << in.x2 << " " << in.y2;
        if (!got) {
            ++rejected;
            continue;
        }
        ++accepted;
        const double dx = in.x2 - in.x1, dy = in.y2 - in.y1;
        EXPECT_NEAR(out.x1, in.x1 + t0 * dx, 1e-9);
        EXPECT_NEAR(out.y1, in.y1 + t0 * dy, 1e-9);
        EXPECT_NEAR(out.x2, in.x1 + t1 * dx, 1e-9);
        EXPECT_NEAR(out.y2, in.y1 + t1 * dy, 1e-9);
        EXPECT_TRUE(out.x1 >= xmin && out.x1 <= xmax && out.y1 >= ymin && out.y1 <= ymax);
        EXPECT_TRUE(out.x2 >= xmin && out.x2 <= xmax && out.y2 >= ymin && out.y2 <= ymax);
    }
    // Both outcomes are well represented.
    EXPECT_GT(accepted, 2000);
    EXPECT_GT(rejected, 2000);
}

TEST(LineSegmentClipper, Intersects)
{
    const LineSegmentClipper unit(0.0, 0.0, 1.0, 1.0);
    EXPECT_TRUE(unit.intersects(0.2, 0.2, 0.4, 0.4));
    EXPECT_TRUE(unit.intersects(-5.0, -5.0, 5.0, 5.0));
    EXPECT_TRUE(unit.intersects(0.5, -2.0, 0.6, 3.0));
    // Touching an edge or only a corner counts.
    EXPECT_TRUE(unit.intersects(1.0, 0.2, 2.0, 0.4));
    EXPECT_TRUE(unit.intersects(-1.0, -1.0, 0.0, 0.0));
    EXPECT_TRUE(unit.intersects(0.5, 0.5, 0.5, 0.5));
    EXPECT_FALSE(unit.intersects(1.0001, 0.2, 2.0, 0.4));
    EXPECT_FALSE(unit.intersects(-2.0, 0.2, -0.1, 0.4));
    EXPECT_FALSE(unit.intersects(0.2, 1.5, 0.4, 2.0));
    EXPECT_FALSE(unit.intersects(0.2, -2.0, 0.4, -1.0));
    // Inverted box or window, and NaN, overlap nothing.
    EXPECT_FALSE(unit.intersects(0.4, 0.2, 0.2, 0.4));
    EXPECT_FALSE(unit.intersects(0.2, 0.4, 0.4, 0.2));
    EXPECT_FALSE(LineSegmentClipper(1.0, 0.0, 0.0, 1.0).intersects(-5.0, -5.0, 5.0, 5.0));
    EXPECT_FALSE(unit.intersects(kNaN, 0.2, 0.4, 0.4));

    const LineSegmentClipper all(-kInf, -kInf, kInf, kInf);
    EXPECT_TRUE(all.intersects(-1e300, 3.0, 1e300, 4.0));
    EXPECT_TRUE(all.intersects(7.0, 7.0, 7.0, 7.0));
}
