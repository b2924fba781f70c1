#include <corvex/polygon.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

using namespace Pelko::Corvex;

namespace {

Polygon make(std::initializer_list<std::pair<double, double>> pts)
{
    Polygon p;
    for (auto const& [x, y] : pts)
        p.appendPoint(x, y);
    return p;
}

Polygon reversed(Polygon const& p)
{
    Polygon r;
    for (unsigned i = p.getPointCount(); i-- > 0;)
        r.appendPoint(p[i]);
    return r;
}

std::vector<std::pair<double, double>> coords(Polygon const& p)
{
    std::vector<std::pair<double, double>> out;
    for (unsigned i = 0; i < p.getPointCount(); ++i)
        out.emplace_back(p[i].getX(), p[i].getY());
    return out;
}

using Coords = std::vector<std::pair<double, double>>;

// A "U": a 3 x 3 square with a 1 x 2 notch cut from the top middle, counterclockwise.
Polygon uShape()
{
    return make({ { 0, 0 }, { 3, 0 }, { 3, 3 }, { 2, 3 }, { 2, 1 }, { 1, 1 }, { 1, 3 }, { 0, 3 } });
}

} // namespace

TEST(Polygon, AreaPerimeterOrientation)
{
    Polygon const square = make({ { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } });
    EXPECT_DOUBLE_EQ(square.getAera(), 1.0);
    EXPECT_DOUBLE_EQ(square.getCircumference(), 4.0);
    EXPECT_TRUE(square.isCounterclockwise());
    EXPECT_DOUBLE_EQ(reversed(square).getAera(), 1.0);
    EXPECT_DOUBLE_EQ(reversed(square).getCircumference(), 4.0);
    EXPECT_FALSE(reversed(square).isCounterclockwise());

    Polygon const u = uShape();
    EXPECT_DOUBLE_EQ(u.getAera(), 7.0);
    EXPECT_DOUBLE_EQ(u.getCircumference(), 16.0);
    EXPECT_TRUE(u.isCounterclockwise());
    EXPECT_FALSE(reversed(u).isCounterclockwise());
    EXPECT_DOUBLE_EQ(reversed(u).getAera(), 7.0);

    Polygon const two = make({ { 0, 0 }, { 3, 4 } });
    EXPECT_EQ(two.getAera(), 0.0);
    EXPECT_DOUBLE_EQ(two.getCircumference(), 10.0);
    EXPECT_FALSE(two.isCounterclockwise());
    EXPECT_EQ(make({ { 5, 5 } }).getCircumference(), 0.0);
    EXPECT_EQ(Polygon().getAera(), 0.0);

    // Repeated vertices around the highest one are skipped, also across the wrap.
    EXPECT_TRUE(make({ { 0, 0 }, { 1, 0 }, { 1, 1 }, { 1, 1 }, { 0, 1 } }).isCounterclockwise());
    EXPECT_TRUE(make({ { 1, 1 }, { 0, 1 }, { 0, 0 }, { 1, 0 }, { 1, 1 } }).isCounterclockwise());
    EXPECT_FALSE(make({ { 1, 1 }, { 1, 0 }, { 0, 0 }, { 0, 1 }, { 1, 1 } }).isCounterclockwise());
    // Spikes and all-equal rings have no orientation.
    EXPECT_FALSE(make({ { 0, 0 }, { 1, 2 }, { 0, 0 } }).isCounterclockwise());
    EXPECT_FALSE(make({ { 1, 1 }, { 1, 1 }, { 1, 1 } }).isCounterclockwise());
    // Collinear neighbours fall back to comparing their x.
    EXPECT_TRUE(make({ { 0, 0 }, { 1, 1 }, { 2, 2 } }).isCounterclockwise());
    EXPECT_FALSE(make({ { 0, 0 }, { 3, 3 }, { 2, 2 } }).isCounterclockwise());
}

TEST(Polygon, OrientationSignIsExact)
{
    // The neighbours of the highest vertex are collinear with it to within rounding: the plain
    // double determinant is exactly 0 here, while the exact one is negative (a right turn).
    double const x = 0.5 + std::ldexp(1.0, -53);
    Polygon const p = make({ { 12, 12 }, { 24, 24 }, { x, 0.5 } });
    EXPECT_FALSE(p.isCounterclockwise());
    EXPECT_TRUE(reversed(p).isCounterclockwise());
}

TEST(Polygon, PointAndPolygonContainment)
{
    Polygon const u = uShape();
    EXPECT_TRUE(u.contain(0.5, 2)); // left arm
    EXPECT_TRUE(u.contain(Point(2.5, 2))); // right arm
    EXPECT_TRUE(u.contain(1.5, 0.5)); // base
    EXPECT_FALSE(u.contain(1.5, 2)); // notch centre
    EXPECT_FALSE(u.contain(1.5, 3)); // notch mouth, on the bounding box
    EXPECT_TRUE(u.contain(2, 1)); // a vertex
    EXPECT_TRUE(u.contain(0, 3));
    EXPECT_FALSE(u.contain(-0.1, 1));
    EXPECT_FALSE(u.contain(4, 4));
    EXPECT_FALSE(u.contain(Point::invalid()));
    EXPECT_TRUE(reversed(u).contain(0.5, 2));
    EXPECT_FALSE(reversed(u).contain(1.5, 2));
    EXPECT_FALSE(Polygon().contain(0, 0));

    Polygon const arm = make({ { 0.2, 1.5 }, { 0.8, 1.5 }, { 0.8, 2.5 }, { 0.2, 2.5 } });
    EXPECT_TRUE(u.contain(arm));
    EXPECT_FALSE(arm.contain(u));
    // Only vertices are tested: this square spans the notch yet has every corner inside.
    EXPECT_TRUE(u.contain(make({ { 0.5, 0.5 }, { 2.5, 0.5 }, { 2.5, 2.5 }, { 0.5, 2.5 } })));
    EXPECT_FALSE(u.contain(make({ { 0.5, 0.5 }, { 1.5, 2 } })));
    EXPECT_FALSE(u.contain(Polygon()));
    EXPECT_FALSE(Polygon().contain(arm));

    EXPECT_TRUE(
        u.isSame(make({ { 2, 1 }, { 1, 1 }, { 1, 3 }, { 0, 3 }, { 0, 0 }, { 3, 0 }, { 3, 3 }, { 2, 3 } })));
    EXPECT_FALSE(u.isSame(arm));

    Envelope const e = u.getEnvelope();
    EXPECT_EQ(e.getMinX(), 0);
    EXPECT_EQ(e.getMinY(), 0);
    EXPECT_EQ(e.getMaxX(), 3);
    EXPECT_EQ(e.getMaxY(), 3);
    EXPECT_TRUE(Polygon().getEnvelope().isEmpty());
}

TEST(Polygon, SegmentCrossingSkipsTheClosingEdge)
{
    Polygon const square = make({ { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } });
    EXPECT_FALSE(square.isIntersect(Segment(Point(-0.5, 0.5), Point(0.5, 0.5)))); // closing edge only
    EXPECT_TRUE(square.isIntersect(Segment(Point(0.5, -1), Point(0.5, 0.5))));
    EXPECT_FALSE(square.isIntersect(Segment(Point(0.2, 0.2), Point(0.8, 0.8))));
    EXPECT_FALSE(make({ { 0, 0 } }).isIntersect(Segment(Point(-1, -1), Point(1, 1))));
}

TEST(Polygon, ConvexHull)
{
    EXPECT_EQ(coords(make({ { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 }, { 0.5, 0.5 } }).getConvexHull()),
              (Coords { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }));
    EXPECT_EQ(coords(make({ { 1, 1 }, { 0.5, 0.5 }, { 1, 0 }, { 0, 1 }, { 0, 0 } }).getConvexHull()),
              (Coords { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }));
    // Three points come back as given, whatever their order.
    EXPECT_EQ(coords(make({ { 0, 1 }, { 1, 0 }, { 0, 0 } }).getConvexHull()),
              (Coords { { 0, 1 }, { 1, 0 }, { 0, 0 } }));
    EXPECT_EQ(coords(make({ { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 } }).getConvexHull()),
              (Coords { { 0, 0 }, { 3, 0 } }));
    // The concave U: notch vertices and collinear top-edge vertices drop out.
    EXPECT_EQ(coords(uShape().getConvexHull()), (Coords { { 0, 0 }, { 3, 0 }, { 3, 3 }, { 0, 3 } }));
    // Lowest y, then lowest x, is the first hull vertex.
    EXPECT_EQ(coords(make({ { 2, 5 }, { 4, 1 }, { 0, 1 }, { 2, 3 }, { 3, 2 } }).getConvexHull()),
              (Coords { { 0, 1 }, { 4, 1 }, { 2, 5 } }));

    // Invariants on a scattered set: a convex, counterclockwise ring with no input point outside.
    Polygon cloud;
    std::uint32_t s = 12345;
    for (int i = 0; i < 200; ++i) {
        s = s * 1103515245u + 12345u;
        double const x = (s >> 8) % 10000 / 100.0;
        s = s * 1103515245u + 12345u;
        double const y = (s >> 8) % 10000 / 100.0;
        cloud.appendPoint(x, y);
    }
    Polygon const hull = cloud.getConvexHull();
    unsigned const n = hull.getPointCount();
    ASSERT_GE(n, 3u);
    EXPECT_TRUE(hull.isCounterclockwise());
    for (unsigned i = 0; i < n; ++i) {
        Point const& a = hull[i];
        Point const& b = hull[(i + 1) % n];
        Point const& c = hull[(i + 2) % n];
        EXPECT_GT((b.getX() - a.getX()) * (c.getY() - a.getY())
                      - (b.getY() - a.getY()) * (c.getX() - a.getX()),
                  0.0);
        for (unsigned k = 0; k < cloud.getPointCount(); ++k) {
            Point const& p = cloud[k];
            EXPECT_GE((b.getX() - a.getX()) * (p.getY() - a.getY())
                          - (b.getY() - a.getY()) * (p.getX() - a.getX()),
                      -1e-9);
        }
    }
}

TEST(Polygon, Simplify)
{
    Polygon const zig = make({ { 0, 0 }, { 1, 0.1 }, { 2, 0 }, { 3, 3 }, { 4, 0 }, { 5, 0.05 }, { 6, 0 } });
    EXPECT_EQ(coords(zig.simplify(0)), coords(zig));
    EXPECT_EQ(coords(zig.simplify(0.5)), (Coords { { 0, 0 }, { 2, 0 }, { 3, 3 }, { 4, 0 }, { 6, 0 } }));
    EXPECT_EQ(coords(zig.simplify(10)), (Coords { { 0, 0 }, { 6, 0 } }));

    EXPECT_EQ(coords(make({ { 0, 0 }, { 1, 1 }, { 2, 2 }, { 5, 5 }, { 9, 9 } }).simplify(0.001)),
              (Coords { { 0, 0 }, { 9, 9 } }));
    EXPECT_EQ(coords(make({ { 0, 0 }, { 7, 3 } }).simplify(100)), (Coords { { 0, 0 }, { 7, 3 } }));
    // The radial pass merges a cluster of near points before Douglas-Peucker runs.
    EXPECT_EQ(coords(make({ { 0, 0 }, { 0.1, 0.5 }, { 0.2, -0.5 }, { 0.3, 0.5 }, { 5, 0 } }).simplify(1)),
              (Coords { { 0, 0 }, { 5, 0 } }));
    // A closed ring (first == last) keeps its corners: a zero-length span measures from its end.
    Polygon const ring = make({ { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 }, { 0, 0 } });
    EXPECT_EQ(coords(ring.simplify(0.1)), coords(ring));
}

TEST(Polygon, ContainerEdits)
{
    Polygon p = make({ { 0, 0 }, { 1, 0 } });
    for (int i = 0; i < 20; ++i) // appending an own vertex across reallocations
        p.appendPoint(p[0]);
    EXPECT_EQ(p.getPointCount(), 22u);
    EXPECT_EQ(p[21].getX(), 0.0);

    Polygon q = make({ { 0, 0 }, { 2, 0 } });
    q.insertPoint(1, Point(1, 0));
    q.insertPoint(3, Point(3, 0));
    q.insertPoint(0, q[3]);
    EXPECT_EQ(coords(q), (Coords { { 3, 0 }, { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 } }));
    testing::internal::CaptureStderr();
    q.insertPoint(6, Point(9, 9));
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(q.getPointCount(), 5u);

    q.popBack();
    EXPECT_EQ(q.getPointCount(), 4u);
    Polygon empty;
    empty.popBack();
    EXPECT_TRUE(empty.isEmpty());

    Polygon moved = std::move(q);
    EXPECT_EQ(moved.getPointCount(), 4u);
    EXPECT_TRUE(q.isEmpty()); // NOLINT(bugprone-use-after-move)
    Polygon target;
    target = std::move(moved);
    EXPECT_TRUE(moved.isEmpty()); // NOLINT(bugprone-use-after-move)
    Polygon copy = target;
    copy.clear();
    EXPECT_EQ(target.getPointCount(), 4u);

    MultiPolygon mp;
    EXPECT_TRUE(mp.isEmpty());
    mp.addPolygon(uShape());
    for (int i = 0; i < 10; ++i)
        mp.addPolygon(static_cast<MultiPolygon const&>(mp).getPolygon(0));
    EXPECT_EQ(mp.getPolygonCount(), 11u);
    EXPECT_DOUBLE_EQ(static_cast<MultiPolygon const&>(mp).getPolygon(10).getAera(), 7.0);
    Polygon member = mp.getPolygon(0); // the non-const form hands out a copy
    member.clear();
    EXPECT_EQ(mp.getPolygon(0).getPointCount(), 8u);
    MultiPolygon other = std::move(mp);
    EXPECT_TRUE(mp.isEmpty()); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(other.getPolygonCount(), 11u);
    other.clear();
    EXPECT_TRUE(other.isEmpty());
}
