#include <corvex/algorithms.h>
#include <corvex/point.h>
#include <corvex/point3d.h>

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <limits>

using namespace Pelko::Corvex;

namespace {

const double kPi = 4.0 * std::atan(1.0);
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Signed value of p in the line's equation, scaled to a distance.
double signedDistance(Line const& l, Point const& p)
{
    return (l.getA() * p.getX() + l.getB() * p.getY() + l.getC()) / std::hypot(l.getA(), l.getB());
}

} // namespace

TEST(Point, ArithmeticValidityAndPolarStep)
{
    Point p(1, 2);
    p += Point(3, 4);
    EXPECT_EQ(p.getX(), 4);
    EXPECT_EQ(p.getY(), 6);
    p -= Point(1, 1);
    p *= 2;
    p /= 4;
    EXPECT_EQ(p.getX(), 1.5);
    EXPECT_EQ(p.getY(), 2.5);
    p.rX() = 7;
    p.setY(8);
    EXPECT_EQ(p.getX(), 7);
    EXPECT_EQ(p.getY(), 8);

    const Point m = Point::midPoint(Point(0, 0), Point(3, -5));
    EXPECT_EQ(m.getX(), 1.5);
    EXPECT_EQ(m.getY(), -2.5);
    EXPECT_EQ(Point(1, 1).midPoint(Point(3, 3)).getX(), 2);
    EXPECT_EQ(Point(1, 1).distance(Point(4, 5)), 5);

    EXPECT_FALSE(Point::invalid().isValid());
    EXPECT_TRUE(std::isnan(Point::invalid().getX()));
    EXPECT_TRUE(std::isnan(Point::invalid().getY()));
    EXPECT_EQ(&Point::invalid(), &Point::invalid());
    EXPECT_FALSE(Point(kInf, 0).isValid());
    EXPECT_FALSE(Point(0, -kInf).isValid());
    EXPECT_TRUE(Point(-1e300, 1e300).isValid());

    // x is north and y east: azimuth pi/2 steps due east.
    const Point e = Point(0, 0).getEnd(kPi / 2, 10);
    EXPECT_NEAR(e.getX(), 0, 1e-12);
    EXPECT_DOUBLE_EQ(e.getY(), 10);
    const Point n = Point::getEnd(Point(5, 5), 0, 2);
    EXPECT_EQ(n.getX(), 7);
    EXPECT_EQ(n.getY(), 5);
}

TEST(Azimuth, AllQuadrantsAndAxes)
{
    const Point o(0, 0);
    struct Case
    {
        Point to;
        double expected;
    };
    const Case cases[] = {
        { Point(1, 0), 0.0 }, // north
        { Point(1, 1), kPi / 4 }, // north-east
        { Point(0, 1), kPi / 2 }, // east
        { Point(-1, 1), 3 * kPi / 4 }, // south-east
        { Point(-1, 0), kPi }, // south
        { Point(-1, -1), 5 * kPi / 4 }, // south-west
        { Point(0, -1), 3 * kPi / 2 }, // west
        { Point(1, -1), 7 * kPi / 4 }, // north-west
        { Point(0, 0), 0.0 }, // same point
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.to.getX() << "," << c.to.getY());
        EXPECT_NEAR(Utility::azimuth(o, c.to).toRadian(), c.expected, 1e-15);
        EXPECT_NEAR(CGAlgorithms::azimuth(o, c.to), c.expected, 1e-15);
        EXPECT_NEAR(Vector(c.to).angle(), c.expected, 1e-15);
        const double a = Utility::azimuth(o, c.to).toRadian();
        EXPECT_GE(a, 0.0);
        EXPECT_LT(a, 2 * kPi);
    }
    // Just west of north the atan2 angle is so small that adding 2pi rounds to 2pi itself; the
    // result must still lie below 2pi and above every azimuth east of it.
    const Point westOfNorth(1000, -1e-13);
    for (double a : { Utility::azimuth(o, westOfNorth).toRadian(), CGAlgorithms::azimuth(o, westOfNorth),
                      Vector(westOfNorth).angle() }) {
        EXPECT_LT(a, 2 * kPi);
        EXPECT_GT(a, 7 * kPi / 4);
    }
    // Translation does not matter, and a polar step along the azimuth lands on the target.
    const Point from(100.5, -20.25), to(90.0, -35.0);
    const double az = Utility::azimuth(from.getX(), from.getY(), to.getX(), to.getY()).toRadian();
    EXPECT_DOUBLE_EQ(az, Utility::azimuth(Point(0, 0), Point(-10.5, -14.75)).toRadian());
    const Point back = from.getEnd(az, Utility::distance(from, to));
    EXPECT_NEAR(back.getX(), to.getX(), 1e-12);
    EXPECT_NEAR(back.getY(), to.getY(), 1e-12);
    EXPECT_EQ(CGAlgorithms::distance(0, 0, 3, 4), 5);
    EXPECT_EQ(CGAlgorithms::distance(Point(0, 0), Point(-3, 4)), 5);
    EXPECT_EQ(Utility::distance(1, 1, 1, 1), 0);
}

TEST(Vector, ProductsAnglesAndNormalize)
{
    EXPECT_EQ(Vector::dot(Vector(1, 2), Vector(3, 4)), 11);
    EXPECT_EQ(Vector::cross(Vector(1, 2), Vector(3, 4)), -2);
    EXPECT_EQ(Vector(3, 4).length(), 5);
    const Vector ab(Point(1, 1), Point(4, 5));
    EXPECT_EQ(ab.getX(), 3);
    EXPECT_EQ(ab.getY(), 4);
    Vector w(2, 3);
    w *= Vector(4, -1);
    EXPECT_EQ(w.getX(), 8);
    EXPECT_EQ(w.getY(), -3);
    EXPECT_EQ(w.toPoint().getX(), 8);

    EXPECT_EQ(Vector::angle(Vector(0, 0), Vector(1, 0)), 0.0);
    EXPECT_NEAR(Vector::angle(Vector(1, 0), Vector(0, 3)), kPi / 2, 1e-15);
    EXPECT_NEAR(Vector::angle(Vector(1, 1), Vector(-2, -2)), kPi, 1e-7);
    // Round-off pushes this ratio to 1.0000000000000002; unclamped acos would give NaN.
    ASSERT_GT(Vector::dot(Vector(1, 5), Vector(1, 5)) / (Vector(1, 5).length() * Vector(1, 5).length()), 1.0);
    EXPECT_EQ(Vector::angle(Vector(1, 5), Vector(1, 5)), 0.0);
    EXPECT_NEAR(Vector::angle(Vector(1, 5), Vector(-1, -5)), kPi, 1e-7);

    Vector n(3, 4);
    n.normalize();
    EXPECT_DOUBLE_EQ(n.getX(), 0.6);
    EXPECT_DOUBLE_EQ(n.getY(), 0.8);
    Vector z(0, 0);
    const Vector r = z.normalize();
    EXPECT_EQ(z.getX(), DBL_MAX);
    EXPECT_EQ(z.getY(), DBL_MAX);
    EXPECT_EQ(r.getX(), DBL_MAX);
}

TEST(Circle, ThroughThreePoints)
{
    Circle c;
    EXPECT_EQ(c.getRadius(), 0.0);
    ASSERT_TRUE(c.initialFromThreePoints(Point(7, 3), Point(2, 8), Point(-3, 3)));
    EXPECT_NEAR(c.getCenter().getX(), 2, 1e-12);
    EXPECT_NEAR(c.getCenter().getY(), 3, 1e-12);
    EXPECT_NEAR(c.getRadius(), 5, 1e-12);

    // Nearly collinear but genuine: a very large circle, every point on it.
    const Point a(0, 0), b(1, 1e-3), d(2, 0);
    ASSERT_TRUE(c.initialFromThreePoints(a, b, d));
    const double k = (1e-6 - 1) / 2e-3;
    EXPECT_NEAR(c.getCenter().getX(), 1, 1e-9);
    EXPECT_NEAR(c.getCenter().getY(), k, 1e-6);
    for (Point const& p : { a, b, d })
        EXPECT_NEAR(c.getCenter().distance(p), c.getRadius(), 1e-9);

    // Collinear or coincident points have no circle: refused, circle untouched.
    const Circle before(Point(1, 1), 2);
    for (auto const& pts : { std::array<Point, 3> { Point(0, 0), Point(1, 1), Point(3, 3) },
                             std::array<Point, 3> { Point(0, 0), Point(2, 0), Point(1, 0) },
                             std::array<Point, 3> { Point(5, 5), Point(5, 5), Point(6, 7) },
                             std::array<Point, 3> { Point(5, 5), Point(6, 7), Point(6, 7) },
                             std::array<Point, 3> { Point(0, 0), Point(kNaN, 1), Point(1, 0) } }) {
        c = before;
        EXPECT_FALSE(c.initialFromThreePoints(pts[0], pts[1], pts[2]));
        EXPECT_EQ(c.getCenter().getX(), 1);
        EXPECT_EQ(c.getCenter().getY(), 1);
        EXPECT_EQ(c.getRadius(), 2);
    }
}

TEST(TangentLines, FromPointToCircle)
{
    // General case: both lines pass through p and touch the circle.
    const Point p(1, 2), q(6, 5);
    const double r = 3;
    auto lines = Utility::getLine(p, q, r);
    for (Line const& l : { lines.first, lines.second }) {
        EXPECT_NEAR(signedDistance(l, p), 0, 1e-12);
        EXPECT_NEAR(std::fabs(signedDistance(l, q)), r, 1e-12);
        EXPECT_NEAR(CGAlgorithms::distance(q, l), r, 1e-12);
    }
    EXPECT_FALSE(lines.first.isParallel(lines.second));
    // The tangents are mirror images about the line pq: q sees them on opposite sides.
    EXPECT_LT(signedDistance(lines.first, q) * signedDistance(lines.second, q) / lines.first.getB()
                  / lines.second.getB(),
              0);

    // dx^2 = r^2: the first tangent is the line x = x1.
    lines = Utility::getLine(Point(0, 0), Point(3, 4), 3);
    EXPECT_EQ(lines.first.getA(), 1);
    EXPECT_EQ(lines.first.getB(), 0);
    EXPECT_EQ(lines.first.getC(), 0);
    EXPECT_DOUBLE_EQ(lines.second.getA(), -7.0 / 24.0);
    EXPECT_NEAR(CGAlgorithms::distance(Point(3, 4), lines.second), 3, 1e-12);

    // p on the circle along the x axis: one tangent, returned twice instead of a division by 0.
    lines = Utility::getLine(Point(1, 1), Point(6, 1), 5);
    EXPECT_EQ(lines.first, lines.second);
    EXPECT_TRUE(lines.first.isVertical());
    EXPECT_NEAR(CGAlgorithms::distance(Point(6, 1), lines.second), 5, 1e-12);

    // q closer to p than r: no tangent, reported, and two zero lines come back.
    testing::internal::CaptureStderr();
    lines = Utility::getLine(Point(0, 0), Point(1, 1), 5);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("韦达定理的判别式必须大于0"), std::string::npos);
    EXPECT_EQ(lines.first, Line());
    EXPECT_EQ(lines.second, Line());
    EXPECT_FALSE(lines.first.intersect(Line(Point(0, 0), Point(1, 0))).second);
}

TEST(Point3D, AccessorsEqualityAndValidity)
{
    Point3D p(1, 2, 3);
    EXPECT_EQ(p.north(), 1);
    EXPECT_EQ(p.east(), 2);
    EXPECT_EQ(p.height(), 3);
    p.rNorth() = 4;
    p.rEast() += 1;
    p.rHeight() = -1;
    EXPECT_EQ(p.x(), 4);
    EXPECT_EQ(p.y(), 3);
    EXPECT_EQ(p.z(), -1);
    p.setZ(9);
    p.rX() = 5;
    EXPECT_EQ(p, Point3D(5, 3, 9));
    EXPECT_FALSE(p == Point3D(5, 3, 9.0000001));
    EXPECT_EQ(p.minus(Point3D(1, 1, 1)), Point3D(4, 2, 8));
    const Vector3D d = p - Point3D(1, 1, 1);
    EXPECT_EQ(d[0], 4);
    EXPECT_EQ(d[2], 8);

    EXPECT_TRUE(Point3D().isValid());
    EXPECT_TRUE(static_cast<bool>(Point3D()));
    EXPECT_FALSE(Point3D(0, 0, kNaN).isValid());
    EXPECT_FALSE(static_cast<bool>(Point3D(kInf, 0, 0)));
}

TEST(Vector3D, ProductsIndexingAndDeflection)
{
    const Vector3D x(1, 0, 0), y(0, 1, 0);
    const Vector3D z = x * y;
    EXPECT_EQ(z[0], 0);
    EXPECT_EQ(z[1], 0);
    EXPECT_EQ(z[2], 1);
    const Vector3D a(1, 2, 3), b(-4, 5, 0.5);
    const Vector3D c = a.crossMultiplyWith(b);
    // The cross product is square to both factors.
    EXPECT_NEAR(c.dotMultiplyWith(a), 0, 1e-12);
    EXPECT_NEAR(c.dotMultiplyWith(b), 0, 1e-12);
    EXPECT_EQ(a.dotMultiplyWith(b), 7.5);
    EXPECT_EQ(Vector3D(2, 3, 6).magnitude(), 7);
    const Vector3D s = 2.0 * a + b * 1.0 - Vector3D(1, 1, 1);
    EXPECT_EQ(s[0], -3);
    EXPECT_EQ(s[1], 8);
    EXPECT_EQ(s[2], 5.5);
    EXPECT_TRUE(Vector3D().isZero());
    EXPECT_FALSE(Vector3D(1e-30, 0, 0).isZero());

    // Out-of-range indices read 0 and writes go to scratch, never into the vector.
    Vector3D v(7, 8, 9);
    const Vector3D& cv = v;
    EXPECT_EQ(cv[3], 0);
    EXPECT_EQ(cv[-1], 0);
    v[3] = 42;
    v[-1] = 43;
    EXPECT_EQ(v[3], 0);
    EXPECT_EQ(v[0], 7);
    EXPECT_EQ(v[1], 8);
    EXPECT_EQ(v[2], 9);
    v[1] = -8;
    EXPECT_EQ(cv[1], -8);

    bool ok = true;
    EXPECT_EQ(Vector3D().deflectionTo(x, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Vector3D(1e-39, 0, 0).deflectionTo(x, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_NEAR(x.deflectionTo(Vector3D(0, 2, 0), &ok), kPi / 2, 1e-15);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(x.deflectionTo(Vector3D(-3, 0, 0)), kPi, 1e-15);
    // A ratio rounded to 1.0000000000000002 must not turn into NaN.
    const Vector3D r(0, 1, 5);
    EXPECT_EQ(r.deflectionTo(r, &ok), 0.0);
    EXPECT_TRUE(ok);
}

TEST(Utility, PlaneValueAndTurn)
{
    const Point3D a(0, 0, 0), b(1, 0, 0), c(0, 1, 0);
    const Point3D above(0.3, 0.4, 2), below(5, -7, -1.5);
    auto v = Utility::getDistance(a, b, c, above);
    EXPECT_TRUE(v.second);
    EXPECT_EQ(v.first, 2); // |n| = 1 here: twice the triangle's area
    // The normal is turned upwards, so the vertex order does not change the sign.
    EXPECT_EQ(Utility::getDistance(a, c, b, above).first, 2);
    EXPECT_EQ(Utility::getDistance(a, c, b, below).first, -1.5);
    // Not divided by |n|: doubling the triangle doubles the value.
    EXPECT_EQ(Utility::getDistance(a, Point3D(2, 0, 0), Point3D(0, 2, 0), above).first, 8);
    // Inclined plane z = x through the origin.
    const double inc = Utility::getDistance(a, Point3D(1, 0, 1), Point3D(0, 1, 0), Point3D(1, 1, 3)).first;
    EXPECT_NEAR(inc, 2, 1e-15); // n = (-1, 0, 1), d - a = (1, 1, 3)
    EXPECT_EQ(Utility::getDistance(a, b, Point3D(2, 0, 0), above).first, 0);

    // North then east is a right turn on the map.
    EXPECT_TRUE(Utility::isClockwise(a, b, c));
    EXPECT_FALSE(Utility::isClockwise(a, c, b));
    EXPECT_FALSE(Utility::isClockwise(a, b, Point3D(2, 0, 5)));
}
