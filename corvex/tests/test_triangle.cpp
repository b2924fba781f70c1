#include <corvex/triangle.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

using namespace Pelko::Corvex;

namespace {

bool samePoint(Point const& a, Point const& b)
{
    return a.getX() == b.getX() && a.getY() == b.getY();
}

} // namespace

TEST(Triangle2D, AreaOrientationAndContainment)
{
    Triangle2D const t(Point(0, 0), Point(1, 0), Point(0, 1));
    EXPECT_DOUBLE_EQ(t.area(), 0.5);
    EXPECT_FALSE(t.isClockwise());
    Triangle2D const r(Point(0, 0), Point(0, 1), Point(1, 0));
    EXPECT_TRUE(r.isClockwise());
    EXPECT_DOUBLE_EQ(r.area(), 0.5);

    EXPECT_TRUE(t.contain(Point(0.5, 0.5))); // on the hypotenuse
    EXPECT_TRUE(t.contain(Point(0, 0)));
    EXPECT_TRUE(t.contain(Point(0, 1)));
    EXPECT_TRUE(t.contain(Point(0.5, 0)));
    EXPECT_TRUE(t.contain(Point(0.2, 0.2)));
    EXPECT_FALSE(t.contain(Point(0.6, 0.6)));
    EXPECT_FALSE(t.contain(Point(-0.1, 0.5)));
    EXPECT_FALSE(t.contain(Point(0.5, -1e-9)));
    EXPECT_FALSE(t.contain(Point::invalid()));
    // Orientation of the vertices does not matter.
    EXPECT_TRUE(r.contain(Point(0.2, 0.2)));
    EXPECT_FALSE(r.contain(Point(0.6, 0.6)));

    Point const pts[3] = { Point(1, 2), Point(3, 4), Point(5, 7) };
    Triangle2D const fromArray(pts);
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_TRUE(samePoint(fromArray.getVertex(i), pts[i]));
    EXPECT_DOUBLE_EQ(fromArray.area(), 1.0);
}

TEST(Triangle2D, DegenerateTrianglesContainNothing)
{
    Triangle2D const collinear(Point(0, 0), Point(1, 1), Point(2, 2));
    EXPECT_TRUE(collinear.isDegenerate());
    EXPECT_FALSE(Triangle2D(Point(0, 0), Point(1, 1), Point(2, 2.0000000001)).isDegenerate());
    EXPECT_TRUE(Triangle2D(Point(0, 0), Point(1, 1), Point(0, 0)).isDegenerate());
    EXPECT_TRUE(Triangle2D(Point(0, 0), Point(1, 0), Point(0, std::nan(""))).isDegenerate());
    EXPECT_EQ(collinear.area(), 0);
    EXPECT_FALSE(collinear.isClockwise());
    EXPECT_FALSE(collinear.contain(Point(1, 1)));
    EXPECT_FALSE(collinear.contain(Point(0, 0)));
    EXPECT_FALSE(collinear.contain(Point(0.5, 0.5)));

    Triangle2D const point(Point(3, 3), Point(3, 3), Point(3, 3));
    EXPECT_FALSE(point.contain(Point(3, 3)));

    // Exactly collinear, but the floating-point denominator of the weights does not vanish:
    // naive weights put (10, 80), off the line, inside.
    Triangle2D const wide(Point(0, 0), Point(123456789.0, 987654321.0),
                          Point(3 * 123456789.0, 3 * 987654321.0));
    EXPECT_TRUE(wide.isDegenerate());
    EXPECT_FALSE(wide.contain(Point(10, 80)));
    EXPECT_FALSE(wide.contain(Point(1.5 * 123456789.0, 1.5 * 987654321.0)));
}

TEST(Triangle2D, OrientationIsExact)
{
    EXPECT_EQ(Triangle2D(Point(0, 0), Point(1, 0), Point(0, 1)).orientation(), 1);
    EXPECT_EQ(Triangle2D(Point(0, 0), Point(0, 1), Point(1, 0)).orientation(), -1);
    EXPECT_EQ(Triangle2D(Point(0, 0), Point(1, 1), Point(2, 2)).orientation(), 0);
    EXPECT_EQ(Triangle2D(Point(3, 3), Point(3, 3), Point(5, 1)).orientation(), 0);
    // Off the line by one unit in the last place: the rounded determinant is 0, the area too.
    Triangle2D const nearly(Point(0.5, std::nextafter(0.5, 1.0)), Point(12, 12), Point(24, 24));
    EXPECT_EQ(nearly.area(), 0);
    EXPECT_EQ(nearly.orientation(), 1);
    EXPECT_EQ(Triangle2D(Point(0.5, std::nextafter(0.5, 0.0)), Point(12, 12), Point(24, 24)).orientation(),
              -1);
    // On the line exactly, with products far past what a double holds exactly.
    EXPECT_EQ(
        Triangle2D(Point(0, 0), Point(123456789.0, 987654321.0), Point(3 * 123456789.0, 3 * 987654321.0))
            .orientation(),
        0);
}

TEST(Triangle2D, SliversHoldTheirCorners)
{
    // Three stake points of a straight road, 7.5 m apart, off one line only by their rounding to the
    // millimetre: 8.3e-10 m² between them. Rounded barycentric weights put all three corners outside.
    Point const a(3400007.002, 499997.312), b(3400000, 500000), c(3399985.996, 500005.376);
    for (Triangle2D const& t : { Triangle2D(a, b, c), Triangle2D(c, b, a), Triangle2D(b, a, c) }) {
        EXPECT_FALSE(t.isDegenerate());
        EXPECT_GT(t.area(), 0);
        EXPECT_LT(t.area(), 1e-9);
        EXPECT_TRUE(t.contain(a));
        EXPECT_TRUE(t.contain(b));
        EXPECT_TRUE(t.contain(c));
        // A millimetre off the middle of the long side, on either side of it, is outside.
        EXPECT_FALSE(t.contain(Point(3399996.499, 500001.343)));
        EXPECT_FALSE(t.contain(Point(3399996.499, 500001.345)));
        EXPECT_FALSE(t.contain(Point(3399985.996, 500005.377)));
    }

    // Far from the origin, a point exactly on a slanted edge.
    Triangle2D const far(Point(1e15, 1e15), Point(1e15 + 4, 1e15 + 2), Point(1e15, 1e15 + 8));
    EXPECT_TRUE(far.contain(Point(1e15 + 2, 1e15 + 1)));
    EXPECT_FALSE(far.contain(Point(1e15 + 2, 1e15 + 0.875)));
    EXPECT_FALSE(Triangle2D(Point(0, 0), Point(1, 0), Point(0, std::numeric_limits<double>::infinity()))
                     .contain(Point(0.1, 0.1)));
}

TEST(Triangle3D, ProjectionAndArea)
{
    Triangle3D const t(Point3D(1, 2, 10), Point3D(4, 2, 20), Point3D(1, 6, 30));
    Triangle2D const p = t.xoyProjection();
    EXPECT_TRUE(samePoint(p.getA(), Point(1, 2)));
    EXPECT_TRUE(samePoint(p.getB(), Point(4, 2)));
    EXPECT_TRUE(samePoint(p.getC(), Point(1, 6)));
    EXPECT_DOUBLE_EQ(p.area(), 6.0);

    EXPECT_DOUBLE_EQ(Triangle3D(Point3D(0, 0, 0), Point3D(3, 0, 0), Point3D(0, 4, 0)).area(), 6.0);
    // Tilted out of the plane: the spatial area exceeds the projected one.
    EXPECT_DOUBLE_EQ(Triangle3D(Point3D(0, 0, 0), Point3D(1, 0, 0), Point3D(0, 1, 1)).area(),
                     std::sqrt(2.0) / 2);
    EXPECT_DOUBLE_EQ(Triangle3D().area(), 0.0);

    Point3D const pts[3] = { Point3D(1, 2, 3), Point3D(4, 5, 6), Point3D(7, 8, 10) };
    Triangle3D const fromArray(pts);
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_EQ(fromArray.getVertex(i), pts[i]);
}

TEST(Tetrahedron, VolumeAndArrayConstructor)
{
    Point3D v[4] = { Point3D(0, 0, 0), Point3D(1, 0, 0), Point3D(0, 1, 0), Point3D(0, 0, 1) };
    std::sort(v, v + 4, [](Point3D const& a, Point3D const& b) {
        return std::make_tuple(a.x(), a.y(), a.z()) < std::make_tuple(b.x(), b.y(), b.z());
    });
    int permutations = 0;
    do {
        EXPECT_DOUBLE_EQ(Tetrahedron(v[0], v[1], v[2], v[3]).calcVolume(), 1.0 / 6);
        ++permutations;
    } while (std::next_permutation(v, v + 4, [](Point3D const& a, Point3D const& b) {
        return std::make_tuple(a.x(), a.y(), a.z()) < std::make_tuple(b.x(), b.y(), b.z());
    }));
    EXPECT_EQ(permutations, 24);

    Point3D const box[4] = { Point3D(1, 1, 1), Point3D(3, 1, 1), Point3D(1, 4, 1), Point3D(1, 1, 5) };
    Tetrahedron const t(box);
    for (unsigned i = 0; i < 4; ++i)
        EXPECT_EQ(t.getVertex(i), box[i]);
    EXPECT_DOUBLE_EQ(t.calcVolume(), 2.0 * 3.0 * 4.0 / 6);

    // Coplanar vertices have no volume.
    EXPECT_DOUBLE_EQ(
        Tetrahedron(Point3D(0, 0, 0), Point3D(1, 0, 0), Point3D(0, 1, 0), Point3D(5, 5, 0)).calcVolume(),
        0.0);
}

TEST(Simplices, VertexIndexOutOfRangeTouchesNothing)
{
    Triangle2D t(Point(1, 2), Point(3, 4), Point(5, 6));
    Triangle2D const before = t;

    testing::internal::CaptureStderr();
    Point const g = t.getVertex(3);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("索引必须大于等于0，且小于等于2"), std::string::npos);
    EXPECT_TRUE(samePoint(g, Point(0, 0)));

    testing::internal::CaptureStderr();
    t.setVertex(3, Point(9, 9));
    t.setVertex(1000000, Point(9, 9));
    t.rVertex(3) = Point(9, 9);
    Point& scratch = t.rVertex(7);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("索引必须大于等于0，且小于等于2"), std::string::npos);
    EXPECT_TRUE(samePoint(scratch, Point(0, 0))); // a stale write is not handed out again
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_TRUE(samePoint(t.getVertex(i), before.getVertex(i)));
    t.rVertex(2) = Point(7, 8);
    EXPECT_TRUE(samePoint(t.getC(), Point(7, 8)));

    Triangle3D t3(Point3D(1, 2, 3), Point3D(4, 5, 6), Point3D(7, 8, 9));
    testing::internal::CaptureStderr();
    EXPECT_EQ(t3.getVertex(3), Point3D());
    t3.setVertex(3, Point3D(9, 9, 9));
    t3.rVertex(5) = Point3D(9, 9, 9);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("索引必须大于等于0，且小于等于2"), std::string::npos);
    EXPECT_EQ(t3.getVertex(0), Point3D(1, 2, 3));
    EXPECT_EQ(t3.getVertex(1), Point3D(4, 5, 6));
    EXPECT_EQ(t3.getVertex(2), Point3D(7, 8, 9));

    Tetrahedron tet(Point3D(0, 0, 0), Point3D(1, 0, 0), Point3D(0, 1, 0), Point3D(0, 0, 1));
    testing::internal::CaptureStderr();
    EXPECT_EQ(tet.getVertex(4), Point3D());
    tet.setVertex(4, Point3D(9, 9, 9));
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("i必须在0到3之间"), std::string::npos);
    EXPECT_EQ(tet.getVertex(3), Point3D(0, 0, 1));
    EXPECT_DOUBLE_EQ(tet.calcVolume(), 1.0 / 6);
}
