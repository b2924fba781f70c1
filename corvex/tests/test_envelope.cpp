#include <corvex/envelope.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

using namespace Pelko::Corvex;

namespace {

void expectBox(Envelope const& e, double minX, double minY, double maxX, double maxY)
{
    EXPECT_EQ(e.getMinX(), minX);
    EXPECT_EQ(e.getMinY(), minY);
    EXPECT_EQ(e.getMaxX(), maxX);
    EXPECT_EQ(e.getMaxY(), maxY);
}

} // namespace

TEST(Envelope, EmptyAndGrowing)
{
    Envelope e;
    expectBox(e, DBL_MAX, DBL_MAX, -DBL_MAX, -DBL_MAX);
    EXPECT_TRUE(e.isEmpty());
    EXPECT_EQ(e.getWidth(), -INFINITY);
    EXPECT_FALSE(e.contain(0, 0));
    EXPECT_FALSE(e.contain(Point(DBL_MAX, DBL_MAX)));

    // One point: a zero-size box that counts as empty but holds the point.
    e.expandToInclude(Point(3, 4));
    expectBox(e, 3, 4, 3, 4);
    EXPECT_TRUE(e.isEmpty());
    EXPECT_TRUE(e.contain(Point(3, 4)));

    e.expandToInclude(1, 7);
    e.expandToInclude(Point(5, 5));
    expectBox(e, 1, 4, 5, 7);
    EXPECT_FALSE(e.isEmpty());
    EXPECT_EQ(e.getWidth(), 4);
    EXPECT_EQ(e.getHeight(), 3);
    EXPECT_EQ(e.getAera(), 12);
    EXPECT_EQ(e.getCenter().getX(), 3);
    EXPECT_EQ(e.getCenter().getY(), 5.5);

    Envelope other(-1, 6, 2, 9);
    e.expandToInclude(other);
    expectBox(e, -1, 4, 5, 9);

    // Including an empty envelope changes nothing (its +-DBL_MAX corners must not leak in).
    e.expandToInclude(Envelope());
    expectBox(e, -1, 4, 5, 9);
    Envelope stillEmpty;
    stillEmpty.expandToInclude(Envelope());
    EXPECT_TRUE(Envelope::Equal(stillEmpty, Envelope()));
    // A single point's box is "empty" by isEmpty but still holds a point, so it is included.
    Envelope pointBox;
    pointBox.expandToInclude(Point(20, -20));
    e.expandToInclude(pointBox);
    expectBox(e, -1, -20, 20, 9);
    // Including into the empty envelope copies the other box.
    Envelope fresh;
    fresh.expandToInclude(other);
    EXPECT_TRUE(Envelope::Equal(fresh, other));

    e.expandBy(1, 2);
    expectBox(e, -2, -22, 21, 11);
    e.expandBy(-1);
    expectBox(e, -1, -21, 20, 10);
}

TEST(Envelope, ScaleExpandNormalize)
{
    Envelope e(0, 0, 2, 2);
    e.scale(2);
    expectBox(e, -1, -1, 3, 3);
    e = Envelope(0, 0, 2, 2);
    e.expand(2);
    expectBox(e, -3, -3, 5, 5);
    e = Envelope(0, 0, 2, 4);
    const Point origin(0, 0);
    e.scale(0.5, &origin);
    expectBox(e, -0.5, -1, 0.5, 1);
    e.expand(1, &origin);
    expectBox(e, -1, -2, 1, 2);

    Envelope r(Point(1, 1), Point(0, 0));
    EXPECT_EQ(r.getMin().getX(), 1);
    EXPECT_TRUE(r.isEmpty());
    r.normalize();
    expectBox(r, 0, 0, 1, 1);
    r.setMinY(5);
    r.normalize();
    expectBox(r, 0, 1, 1, 5);
    r.setMin(-1, -1);
    r.setMax(Point(2, 3));
    r.getMax().rX() = 4;
    expectBox(r, -1, -1, 4, 3);
}

TEST(Envelope, ContainmentAndIntersection)
{
    const Envelope unit(0, 0, 1, 1);
    EXPECT_TRUE(unit.contain(Point(0, 1)));
    EXPECT_TRUE(unit.contain(0.5, 0.5));
    EXPECT_FALSE(unit.contain(1.0000001, 0.5));
    EXPECT_TRUE(unit.contain(unit));
    EXPECT_TRUE(unit.contain(Envelope(0, 0.5, 1, 0.75)));
    EXPECT_FALSE(unit.contain(Envelope(-0.1, 0, 1, 1)));
    EXPECT_FALSE(Envelope(0, 0.5, 1, 0.75).contain(unit));

    EXPECT_TRUE(unit.intersect(Envelope(1, 1, 2, 2))); // touching corner
    EXPECT_TRUE(Envelope::Intersection(unit, Envelope(0.5, -3, 0.6, 3)));
    EXPECT_TRUE(Envelope::Intersection(Envelope(-5, -5, 5, 5), unit));
    EXPECT_FALSE(unit.intersect(Envelope(1.5, 0, 2, 1)));
    EXPECT_FALSE(unit.intersect(Envelope(0, -2, 1, -0.5)));
    EXPECT_FALSE(unit.intersect(Envelope(-2, 0, -1, 1)));
    EXPECT_FALSE(unit.intersect(Envelope(0, 1.5, 1, 2)));
    // Intersection is symmetric.
    for (Envelope const& o : { Envelope(1, 1, 2, 2), Envelope(1.5, 0, 2, 1), Envelope(0.2, 0.2, 0.3, 0.3) })
        EXPECT_EQ(unit.intersect(o), o.intersect(unit));
    EXPECT_FALSE(unit.intersect(Envelope()));

    EXPECT_TRUE(Envelope::Equal(unit, Envelope(Point(0, 0), Point(1, 1))));
    EXPECT_FALSE(Envelope::Equal(unit, Envelope(0, 0, 1, 1.0000001)));
}

TEST(Envelope, RegionCodes)
{
    const Envelope unit(0, 0, 1, 1);
    EXPECT_EQ(unit.outcode(Point(0.5, 0.5)), 0);
    EXPECT_EQ(unit.outcode(Point(0, 1)), 0); // boundary is inside
    EXPECT_EQ(unit.outcode(Point(-1, 0.5)), 1);
    EXPECT_EQ(unit.outcode(Point(0.5, 2)), 2);
    EXPECT_EQ(unit.outcode(Point(2, 0.5)), 4);
    EXPECT_EQ(unit.outcode(Point(0.5, -1)), 8);
    EXPECT_EQ(unit.outcode(Point(2, 2)), 4 | 2);
    EXPECT_EQ(unit.outcode(Point(-1, -1)), 1 | 8);
    EXPECT_EQ(unit.outcode(Point(-1, 2)), 1 | 2);
    EXPECT_EQ(unit.outcode(Point(2, -1)), 4 | 8);
    // Flat boxes flag their degenerate axis for every point.
    EXPECT_EQ(Envelope(0, 0, 0, 1).outcode(Point(0, 0.5)), 5);
    EXPECT_EQ(Envelope(0, 0, 1, 0).outcode(Point(0.5, 0)), 10);
    EXPECT_EQ(Envelope(0, 0, 1, 0).outcode(Point(2, 0)), 4 | 10);
    EXPECT_EQ(Envelope().outcode(Point(0, 0)), 15);
}
