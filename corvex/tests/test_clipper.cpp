#include <corvex/polygonclipper.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace Pelko::Corvex;

namespace {

Polygon box(double x0, double y0, double x1, double y1)
{
    Polygon p;
    p.appendPoint(x0, y0);
    p.appendPoint(x1, y0);
    p.appendPoint(x1, y1);
    p.appendPoint(x0, y1);
    return p;
}

double totalArea(MultiPolygon const& mp)
{
    double sum = 0.0;
    for (unsigned i = 0; i < mp.getPolygonCount(); ++i)
        sum += mp.getPolygon(i).getAera();
    return sum;
}

Envelope envelopeOf(MultiPolygon const& mp)
{
    Envelope e;
    for (unsigned i = 0; i < mp.getPolygonCount(); ++i)
        e.expandToInclude(mp.getPolygon(i).getEnvelope());
    return e;
}

void expectEnvelope(MultiPolygon const& mp, double x0, double y0, double x1, double y1, double tol = 1e-9)
{
    Envelope const e = envelopeOf(mp);
    EXPECT_NEAR(e.getMinX(), x0, tol);
    EXPECT_NEAR(e.getMinY(), y0, tol);
    EXPECT_NEAR(e.getMaxX(), x1, tol);
    EXPECT_NEAR(e.getMaxY(), y1, tol);
}

} // namespace

TEST(PolygonClipper, BooleansOfOverlappingSquares)
{
    Polygon const a = box(0, 0, 2, 2);
    Polygon const b = box(1, 1, 3, 3);

    MultiPolygon const i = PolygonClipper::intersect(a, b);
    ASSERT_EQ(i.getPolygonCount(), 1u);
    EXPECT_NEAR(totalArea(i), 1.0, 1e-12);
    expectEnvelope(i, 1, 1, 2, 2);
    EXPECT_TRUE(PolygonClipper::isIntersect(a, b));

    MultiPolygon const u = PolygonClipper::unionPolygons(a, b);
    ASSERT_EQ(u.getPolygonCount(), 1u);
    EXPECT_NEAR(totalArea(u), 7.0, 1e-12);
    expectEnvelope(u, 0, 0, 3, 3);

    MultiPolygon const d = PolygonClipper::difference(a, b);
    ASSERT_EQ(d.getPolygonCount(), 1u);
    EXPECT_NEAR(totalArea(d), 3.0, 1e-12);
    expectEnvelope(d, 0, 0, 2, 2);

    MultiPolygon const x = PolygonClipper::XOR(a, b);
    EXPECT_NEAR(totalArea(x), 6.0, 1e-12);
    expectEnvelope(x, 0, 0, 3, 3);
}

TEST(PolygonClipper, TouchingDisjointAndEmpty)
{
    Polygon const a = box(0, 0, 1, 1);
    // Shared edge: boxes touch, Clipper runs and finds no area.
    EXPECT_TRUE(PolygonClipper::intersect(a, box(1, 0, 2, 1)).isEmpty());
    EXPECT_FALSE(PolygonClipper::isIntersect(a, box(1, 0, 2, 1)));

    Polygon const far = box(5, 5, 6, 6);
    EXPECT_TRUE(PolygonClipper::intersect(a, far).isEmpty());
    MultiPolygon const u = PolygonClipper::unionPolygons(a, far);
    EXPECT_EQ(u.getPolygonCount(), 2u);
    EXPECT_NEAR(totalArea(u), 2.0, 1e-12);

    EXPECT_TRUE(PolygonClipper::intersect(Polygon(), a).isEmpty());
    EXPECT_TRUE(PolygonClipper::difference(Polygon(), a).isEmpty());
}

TEST(PolygonClipper, HolesComeBackAsSeparatePolygons)
{
    MultiPolygon const d = PolygonClipper::difference(box(0, 0, 4, 4), box(1, 1, 3, 3));
    ASSERT_EQ(d.getPolygonCount(), 2u);
    std::vector<double> areas { d.getPolygon(0).getAera(), d.getPolygon(1).getAera() };
    std::sort(areas.begin(), areas.end());
    EXPECT_NEAR(areas[0], 4.0, 1e-12);
    EXPECT_NEAR(areas[1], 16.0, 1e-12);
    // Clipper orients the hole opposite to the outer ring.
    EXPECT_NE(d.getPolygon(0).isCounterclockwise(), d.getPolygon(1).isCounterclockwise());
}

TEST(PolygonClipper, MultiPolygonOperands)
{
    MultiPolygon ends;
    ends.addPolygon(box(0, 0, 1, 3));
    ends.addPolygon(box(2, 0, 3, 3));
    Polygon const whole = box(0, 0, 3, 3);

    EXPECT_NEAR(totalArea(PolygonClipper::intersect(whole, ends)), 6.0, 1e-12);
    MultiPolygon const middle = PolygonClipper::difference(whole, ends);
    ASSERT_EQ(middle.getPolygonCount(), 1u);
    expectEnvelope(middle, 1, 0, 2, 3);
    // The unit box lies inside the first end: xor removes it from the 6 units of the ends.
    EXPECT_NEAR(totalArea(PolygonClipper::XOR(box(0, 0, 1, 1), ends)), 5.0, 1e-12);
    EXPECT_NEAR(totalArea(PolygonClipper::unionPolygons(box(1, 1, 2, 2), ends)), 7.0, 1e-12);

    MultiPolygon bar;
    bar.addPolygon(box(0, 1, 3, 2));
    EXPECT_NEAR(totalArea(PolygonClipper::unionPolygons(ends, bar)), 7.0, 1e-12);
    // ends minus bar: each end loses its middle third.
    MultiPolygon const cut = PolygonClipper::difference(ends, bar);
    EXPECT_EQ(cut.getPolygonCount(), 4u);
    EXPECT_NEAR(totalArea(cut), 4.0, 1e-12);
}

TEST(PolygonClipper, ScaleTruncatesTowardZero)
{
    Polygon p;
    p.appendPoint(0.0000000019, -0.0000000019);
    p.appendPoint(1, 0);
    p.appendPoint(0, 1);
    MultiPolygon const s = PolygonClipper::simplify(p);
    ASSERT_EQ(s.getPolygonCount(), 1u);
    Envelope const e = s.getPolygon(0).getEnvelope();
    EXPECT_EQ(e.getMinX(), 0.0);
    EXPECT_EQ(e.getMinY(), -1e-9);
    bool found = false;
    for (unsigned i = 0; i < s.getPolygon(0).getPointCount(); ++i)
        found = found || (s.getPolygon(0).getPoint(i).getX() == 1e-9);
    EXPECT_TRUE(found);
}

TEST(PolygonClipper, BufferOutwardAndInward)
{
    MultiPolygon const out = PolygonClipper::buffer(box(0, 0, 1, 1), 1.0);
    ASSERT_EQ(out.getPolygonCount(), 1u);
    expectEnvelope(out, -1, -1, 2, 2);
    // Square joins cut each corner at distance 1 from the vertex: 1 + 4 + 4·2(√2 − 1).
    EXPECT_NEAR(totalArea(out), 5.0 + 8.0 * (std::sqrt(2.0) - 1.0), 1e-6);

    // Orientation of the input does not flip the direction of the offset.
    Polygon reversed;
    for (int i = 3; i >= 0; --i)
        reversed.appendPoint(box(0, 0, 4, 4).getPoint(static_cast<unsigned>(i)));
    for (Polygon const& p : { box(0, 0, 4, 4), reversed }) {
        MultiPolygon const in = PolygonClipper::buffer(p, -1.0);
        ASSERT_EQ(in.getPolygonCount(), 1u);
        EXPECT_NEAR(totalArea(in), 4.0, 1e-9);
        expectEnvelope(in, 1, 1, 3, 3);
    }
    EXPECT_TRUE(PolygonClipper::buffer(box(0, 0, 1, 1), -1.0).isEmpty());
}

TEST(PolygonClipper, SimplifySplitsSelfCrossingRing)
{
    Polygon eight;
    eight.appendPoint(0, 0);
    eight.appendPoint(2, 2);
    eight.appendPoint(2, 0);
    eight.appendPoint(0, 2);
    MultiPolygon const s = PolygonClipper::simplify(eight);
    ASSERT_EQ(s.getPolygonCount(), 2u);
    EXPECT_NEAR(s.getPolygon(0).getAera(), 1.0, 1e-12);
    EXPECT_NEAR(s.getPolygon(1).getAera(), 1.0, 1e-12);
    expectEnvelope(s, 0, 0, 2, 2);

    EXPECT_EQ(PolygonClipper::simplify(box(0, 0, 1, 1)).getPolygonCount(), 1u);
}

TEST(PolygonClipper, CoordinatesOffTheGridGiveEmptyResults)
{
    double const nan = std::numeric_limits<double>::quiet_NaN();
    double const inf = std::numeric_limits<double>::infinity();
    Polygon const good = box(0, 0, 2, 2);
    for (double bad : { nan, inf, -inf, 5e9, -5e9, 1e300 }) {
        Polygon p = box(0, 0, 1, 1);
        p.appendPoint(bad, 0.5);
        SCOPED_TRACE(bad);
        EXPECT_TRUE(PolygonClipper::intersect(p, good).isEmpty());
        EXPECT_TRUE(PolygonClipper::unionPolygons(good, p).isEmpty());
        EXPECT_TRUE(PolygonClipper::difference(good, p).isEmpty());
        EXPECT_TRUE(PolygonClipper::XOR(p, good).isEmpty());
        EXPECT_TRUE(PolygonClipper::simplify(p).isEmpty());
        EXPECT_TRUE(PolygonClipper::buffer(p, 1.0).isEmpty());
        MultiPolygon mp;
        mp.addPolygon(good);
        mp.addPolygon(p);
        EXPECT_TRUE(PolygonClipper::unionPolygons(good, mp).isEmpty());
        EXPECT_TRUE(PolygonClipper::difference(mp, MultiPolygon()).isEmpty());
    }
    // Just inside Clipper's range still works.
    EXPECT_NEAR(totalArea(PolygonClipper::unionPolygons(box(4e9, 0, 4e9 + 1, 1), good)), 5.0, 1e-6);

    for (double d : { nan, inf, -inf, 5e9, -5e9 })
        EXPECT_TRUE(PolygonClipper::buffer(good, d).isEmpty()) << d;
    MultiPolygon const edge = PolygonClipper::buffer(box(4e9, 0, 4e9 + 1, 1), 1.0);
    ASSERT_EQ(edge.getPolygonCount(), 1u);
    expectEnvelope(edge, 4e9 - 1, -1, 4e9 + 2, 2, 1e-5);
    // A valid ring offset past the range: Clipper throws inside, the caller sees an empty result.
    EXPECT_TRUE(PolygonClipper::buffer(box(4.4e9, 0, 4.4e9 + 1, 1), 5e8).isEmpty());
}
