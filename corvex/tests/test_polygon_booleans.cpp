#include <corvex/polygon.h>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace Pelko::Corvex;

namespace {

Polygon ring(std::vector<Point> const& points)
{
    Polygon p;
    for (Point const& v : points)
        p.appendPoint(v);
    return p;
}

Polygon box(double x0, double y0, double x1, double y1)
{
    return ring({ Point(x0, y0), Point(x1, y0), Point(x1, y1), Point(x0, y1) });
}

double totalArea(MultiPolygon const& mp)
{
    double sum = 0.0;
    for (unsigned i = 0; i < mp.getPolygonCount(); ++i)
        sum += mp.getPolygon(i).getAera();
    return sum;
}

Polygon reversed(Polygon const& p)
{
    Polygon r;
    for (unsigned i = p.getPointCount(); i > 0; --i)
        r.appendPoint(p.getPoint(i - 1));
    return r;
}

} // namespace

TEST(PolygonBooleans, IntersectDifferenceBuffer)
{
    Polygon const a = box(0, 0, 2, 2);
    EXPECT_TRUE(a.isIntersect(box(1, 1, 3, 3)));
    EXPECT_FALSE(a.isIntersect(box(5, 5, 6, 6)));
    EXPECT_FALSE(a.isIntersect(box(2, 0, 3, 2))); // shared edge only

    EXPECT_NEAR(totalArea(a.intersect(box(1, 0, 5, 1))), 1.0, 1e-12);
    // a minus the other, not the other way round.
    EXPECT_NEAR(totalArea(a.difference(box(1, 0, 5, 1))), 3.0, 1e-12);
    EXPECT_NEAR(totalArea(box(1, 0, 5, 1).difference(a)), 3.0, 1e-12);
    EXPECT_NEAR(totalArea(box(0, 0, 4, 1).difference(a)), 2.0, 1e-12);

    MultiPolygon const shrunk = box(0, 0, 4, 4).buffer(-1.0);
    ASSERT_EQ(shrunk.getPolygonCount(), 1u);
    EXPECT_NEAR(shrunk.getPolygon(0).getAera(), 4.0, 1e-9);
    EXPECT_TRUE(a.buffer(std::numeric_limits<double>::quiet_NaN()).isEmpty());
}

TEST(PolygonBooleans, SelfIntersection)
{
    EXPECT_TRUE(ring({ Point(0, 0), Point(2, 2), Point(2, 0), Point(0, 2) }).isSelfInersect());
    EXPECT_FALSE(box(0, 0, 1, 1).isSelfInersect());
    EXPECT_FALSE(ring({ Point(0, 0), Point(4, 0), Point(4, 1), Point(1, 1), Point(1, 4), Point(0, 4) })
                     .isSelfInersect());
    EXPECT_FALSE(Polygon().isSelfInersect());
}

TEST(PolygonBooleans, InteriorPointLiesInside)
{
    // One triangle: its centroid.
    Point const c = ring({ Point(0, 0), Point(6, 0), Point(0, 3) }).getInteriorPoint();
    EXPECT_NEAR(c.getX(), 2.0, 1e-12);
    EXPECT_NEAR(c.getY(), 1.0, 1e-12);

    std::vector<Polygon> const concave {
        // L: the centre of its box lies outside.
        ring({ Point(0, 0), Point(10, 0), Point(10, 1), Point(1, 1), Point(1, 10), Point(0, 10) }),
        // U with a deep notch around the centre of its box.
        ring({ Point(0, 0), Point(10, 0), Point(10, 10), Point(7, 10), Point(7, 1), Point(3, 1), Point(3, 10),
               Point(0, 10) }),
        // Comb with three thin teeth.
        ring({ Point(0, 0), Point(9, 0), Point(9, 8), Point(8, 8), Point(8, 1), Point(5, 1), Point(5, 8),
               Point(4, 8), Point(4, 1), Point(1, 1), Point(1, 8), Point(0, 8) }),
        // Arrowhead far from the origin.
        ring({ Point(1000, 1000), Point(1010, 1005), Point(1000, 1010), Point(1003, 1005) }),
    };
    for (Polygon const& p : concave) {
        for (Polygon const& q : { p, reversed(p) }) {
            Point const inside = q.getInteriorPoint();
            EXPECT_TRUE(q.contain(inside)) << inside.getX() << ", " << inside.getY();
        }
    }
    // The naive answer, the centre of the box, would be wrong for the L and the U.
    EXPECT_FALSE(concave[0].contain(concave[0].getEnvelope().getCenter()));
    EXPECT_FALSE(concave[1].contain(concave[1].getEnvelope().getCenter()));
    // An explicitly closed ring repeats its first vertex; the result must still be inside.
    Polygon closedL = concave[0];
    closedL.appendPoint(closedL.getPoint(0));
    EXPECT_TRUE(closedL.contain(closedL.getInteriorPoint()));
}

TEST(PolygonBooleans, InteriorPointWithoutTriangles)
{
    auto const isOrigin = [](Point const& p) { return p.getX() == 0.0 && p.getY() == 0.0; };
    EXPECT_TRUE(isOrigin(Polygon().getInteriorPoint()));
    EXPECT_TRUE(isOrigin(ring({ Point(5, 5), Point(7, 7) }).getInteriorPoint()));
    EXPECT_TRUE(isOrigin(ring({ Point(5, 5), Point(6, 6), Point(7, 7) }).getInteriorPoint()));
    double const nan = std::numeric_limits<double>::quiet_NaN();
    double const inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(isOrigin(ring({ Point(5, 5), Point(9, 5), Point(nan, 9) }).getInteriorPoint()));
    EXPECT_TRUE(isOrigin(ring({ Point(5, 5), Point(9, 5), Point(5, inf) }).getInteriorPoint()));
}
