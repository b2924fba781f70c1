#include <corvex/line.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace Pelko::Corvex;

namespace {
const double kPi = 4.0 * std::atan(1.0);
}

TEST(Line, ConstructionForms)
{
    const Line l(Point(1, 2), Point(4, 6));
    EXPECT_EQ(l.getA(), 4);
    EXPECT_EQ(l.getB(), -3);
    EXPECT_EQ(l.getC(), 2);
    EXPECT_EQ(l, Line(Point(1, 2), Vector(3, 4)));
    EXPECT_NE(l, Line(8, -6, 4)); // the same line scaled: exact comparison says unequal
    EXPECT_EQ(l.getPoint2LineDistance(Point(4, 6)), 0);
    EXPECT_EQ(l.getPoint2LineDistance(Point(1 + 4, 2 - 3)), 5);

    // Azimuth 0 through the origin is the x (north) axis, y = 0.
    const Line north(Angle(0.0), Point(0, 0));
    EXPECT_EQ(north.getA(), 0);
    EXPECT_EQ(north.getB(), -1);
    EXPECT_EQ(north.getC(), 0);
    EXPECT_TRUE(north.isHorizontal());
    EXPECT_FALSE(north.isVertical());
    auto at = north.getPointAtX(5);
    EXPECT_TRUE(at.second);
    EXPECT_EQ(at.first.getX(), 5);
    EXPECT_EQ(at.first.getY(), 0);
    at = north.getPointAtY(1);
    EXPECT_FALSE(at.second);
    EXPECT_EQ(at.first.getX(), 0);
    EXPECT_EQ(at.first.getY(), 0);

    // A line along an azimuth holds the points of polar steps along it, both ways.
    const Point p(3, -2);
    const Angle az = Angle::fromDegree(37);
    const Line dir(az, p);
    EXPECT_NEAR(dir.getPoint2LineDistance(p.getEnd(az.toRadian(), 50)), 0, 1e-12);
    EXPECT_NEAR(dir.getPoint2LineDistance(p.getEnd(az.toRadian() + kPi, 7)), 0, 1e-12);
    EXPECT_NEAR(dir.getPoint2LineDistance(p.getEnd(az.toRadian() + kPi / 2, 7)), 7, 1e-12);

    const Line slope(2.0, Point(1, 1)); // y - 1 = 2 (x - 1)
    auto s = slope.getPointAtX(3);
    EXPECT_TRUE(s.second);
    EXPECT_EQ(s.first.getY(), 5);
    s = slope.getPointAtY(-1);
    EXPECT_TRUE(s.second);
    EXPECT_EQ(s.first.getX(), 0);

    const Line vertical(1, 0, -4); // x = 4
    EXPECT_TRUE(vertical.isVertical());
    EXPECT_FALSE(vertical.getPointAtX(4).second);
    EXPECT_EQ(vertical.getPointAtY(9).first.getX(), 4);

    testing::internal::CaptureStderr();
    const Line bad(0, 0, 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("A、B不能同时为0"), std::string::npos);
    EXPECT_EQ(bad.getC(), 1);
}

TEST(Line, IntersectionParallelsAndSides)
{
    auto x = Line(Point(0, 0), Point(1, 1)).intersect(Line(Point(0, 1), Point(1, 0)));
    EXPECT_TRUE(x.second);
    EXPECT_DOUBLE_EQ(x.first.getX(), 0.5);
    EXPECT_DOUBLE_EQ(x.first.getY(), 0.5);

    // Lines through a common point along two azimuths meet at that point.
    const Point m(13, 17);
    const Line l1(Angle::fromDegree(20), m.getEnd(Angle::fromDegree(20).toRadian(), -30));
    const Line l2(Angle::fromDegree(135), m.getEnd(Angle::fromDegree(135).toRadian(), 12));
    x = l1.intersect(l2);
    EXPECT_TRUE(x.second);
    EXPECT_NEAR(x.first.getX(), 13, 1e-9);
    EXPECT_NEAR(x.first.getY(), 17, 1e-9);

    // Same azimuth through different points: parallel, no intersection.
    const Line p1(Angle(0.7), Point(0, 0));
    const Line p2(Angle(0.7), Point(5, -1));
    EXPECT_TRUE(p1.isParallel(p2));
    x = p1.intersect(p2);
    EXPECT_FALSE(x.second);
    EXPECT_EQ(x.first.getX(), 0);
    EXPECT_EQ(x.first.getY(), 0);
    EXPECT_FALSE(p1.intersect(p1).second); // equal lines too

    EXPECT_TRUE(Line(1, 0, 0).isPerpendicular(Line(0, 1, 3)));
    EXPECT_TRUE(Line(0, 1, 0).isPerpendicular(Line(1, 0, 3)));
    EXPECT_FALSE(Line(1, 0, 0).isPerpendicular(Line(1, 0, 3)));
    EXPECT_TRUE(Line(2, -1, 0).isPerpendicular(Line(-1, -2, 0)));
    EXPECT_FALSE(Line(2, -1, 0).isPerpendicular(Line(2, -1, 7)));

    const Line diag(Point(0, 0), Point(1, 1));
    EXPECT_TRUE(diag.isOnTheSameSide(Point(0, 1), Point(-5, 2)));
    EXPECT_FALSE(diag.isOnTheSameSide(Point(0, 1), Point(1, 0)));
    EXPECT_FALSE(diag.isOnTheSameSide(Point(2, 2), Point(0, 1))); // on the line: neither side

    // Every point of the perpendicular bisector is equidistant from both ends.
    const Point a(1, 2), b(7, -3);
    const Line bis = Line::perpendicularBisector(a, b);
    for (double t : { -10.0, 0.0, 3.5 }) {
        const Point q
            = Point::midPoint(a, b).getEnd(std::atan2(b.getY() - a.getY(), b.getX() - a.getX()) + kPi / 2, t);
        EXPECT_NEAR(bis.getPoint2LineDistance(q), 0, 1e-12);
        EXPECT_NEAR(q.distance(a), q.distance(b), 1e-12);
    }
}

TEST(Line3D, Intersection)
{
    auto r = Line3D(Point3D(0, 0, 0), Point3D(1, 0, 0)).intersect(Line3D(Point3D(0, 1, 0), Point3D(0, 2, 0)));
    EXPECT_TRUE(r.second);
    EXPECT_NEAR(r.first.x(), 0, 1e-15);
    EXPECT_NEAR(r.first.y(), 0, 1e-15);
    EXPECT_NEAR(r.first.z(), 0, 1e-15);

    // Meeting behind the first line's origin gives a negative parameter.
    r = Line3D(Point3D(5, 5, 5), Point3D(6, 6, 6)).intersect(Line3D(Point3D(1, 1, 0), Point3D(1, 1, 1)));
    EXPECT_TRUE(r.second);
    EXPECT_NEAR(r.first.x(), 1, 1e-12);
    EXPECT_NEAR(r.first.y(), 1, 1e-12);
    EXPECT_NEAR(r.first.z(), 1, 1e-12);

    // Skew and parallel lines.
    EXPECT_FALSE(Line3D(Point3D(0, 0, 0), Point3D(1, 0, 0))
                     .intersect(Line3D(Point3D(0, 1, 1), Point3D(0, 2, 1)))
                     .second);
    r = Line3D(Point3D(0, 0, 0), Point3D(1, 0, 0)).intersect(Line3D(Point3D(0, 1, 0), Point3D(2, 1, 0)));
    EXPECT_FALSE(r.second);
    EXPECT_EQ(r.first, Point3D());
}

TEST(LineSegment, PedalPoints)
{
    const LineSegment h(Point(0, 0), Point(10, 0));
    auto r = h.getPedal(Point(3, 4));
    EXPECT_TRUE(r.inRange);
    EXPECT_NEAR(r.point.getX(), 3, 1e-12);
    EXPECT_NEAR(r.point.getY(), 0, 1e-12);
    EXPECT_NEAR(r.difference, 4, 1e-12);
    // The foot is not limited to the segment.
    r = h.getPedal(Point(15, -2));
    EXPECT_TRUE(r.inRange);
    EXPECT_NEAR(r.point.getX(), 15, 1e-12);
    EXPECT_NEAR(r.difference, 2, 1e-12);

    const LineSegment d(Point(0, 0), Point(4, 4));
    r = d.getPedal(Point(0, 4));
    EXPECT_NEAR(r.point.getX(), 2, 1e-12);
    EXPECT_NEAR(r.point.getY(), 2, 1e-12);
    EXPECT_NEAR(r.difference, 2 * std::sqrt(2.0), 1e-12);
    // The foot lies on the line and p - foot is square to the segment.
    const LineSegment g(Point(-3, 7), Point(11, 2));
    const Point p(4, 9);
    r = g.getPedal(p);
    EXPECT_NEAR(Line(Point(-3, 7), Point(11, 2)).getPoint2LineDistance(r.point), 0, 1e-12);
    EXPECT_NEAR(Vector::dot(Vector(r.point, p), Vector(Point(-3, 7), Point(11, 2))), 0, 1e-10);
    EXPECT_NEAR(r.difference, Line(Point(-3, 7), Point(11, 2)).getPoint2LineDistance(p), 1e-12);

    r = d.getPedal(Point(4, 4));
    EXPECT_TRUE(r.inRange);
    EXPECT_EQ(r.point.getX(), 4);
    EXPECT_EQ(r.difference, 0);
    r = d.getPedal(Point(0, 0));
    EXPECT_TRUE(r.inRange);
    EXPECT_EQ(r.point.getY(), 0);

    const LineSegment degenerate(Point(2, 2), Point(2, 2));
    r = degenerate.getPedal(Point(2, 2));
    EXPECT_FALSE(r.inRange);
    EXPECT_EQ(r.point.getX(), 0);
    EXPECT_EQ(r.difference, 0);
}

TEST(LineSegment, PointQueriesAndContains)
{
    const LineSegment s(Point(0, 0), Point(10, 10));
    auto r = s.getPointAtX(Point(12, 0), false);
    EXPECT_EQ(r.point.getX(), 12);
    EXPECT_EQ(r.point.getY(), 12);
    EXPECT_EQ(r.difference, -12);
    EXPECT_FALSE(r.inRange);
    EXPECT_TRUE(s.getPointAtX(Point(12, 0), true).inRange);
    EXPECT_TRUE(s.getPointAtX(Point(10, 0), false).inRange); // end included
    r = s.getPointAtY(Point(1, 4), false);
    EXPECT_EQ(r.point.getX(), 4);
    EXPECT_EQ(r.difference, -3);
    EXPECT_TRUE(r.inRange);

    // Axis-parallel segments cannot answer along their own axis.
    const LineSegment v(Point(5, 0), Point(5, 10));
    r = v.getPointAtX(Point(5, 3), true);
    EXPECT_FALSE(r.inRange);
    EXPECT_EQ(r.point.getY(), 0);
    EXPECT_EQ(r.difference, 3);
    r = LineSegment(Point(0, 1), Point(4, 1)).getPointAtY(Point(2, 1), true);
    EXPECT_FALSE(r.inRange);
    EXPECT_EQ(r.difference, 2);

    auto c = v.contains(Point(5, 5));
    EXPECT_TRUE(c.inProjection);
    EXPECT_FALSE(c.inXRange);
    EXPECT_TRUE(c.inYRange);
    c = s.contains(Point(10, -10)); // foot at the begin point, still on the closed segment
    EXPECT_TRUE(c.inProjection);
    c = s.contains(Point(11, 10));
    EXPECT_FALSE(c.inProjection);
    EXPECT_FALSE(c.inXRange);
    EXPECT_TRUE(c.inYRange);

    const Vector n = LineSegment(Point(1, 1), Point(4, 5)).getNormalVector();
    EXPECT_EQ(n.getX(), 4);
    EXPECT_EQ(n.getY(), -3);
}

TEST(Segment, StraddleTest)
{
    EXPECT_TRUE(Segment(Point(0, 0), Point(2, 2)).intersect(Segment(Point(0, 2), Point(2, 0))));
    EXPECT_FALSE(Segment(Point(0, 0), Point(1, 1)).intersect(Segment(Point(0, 3), Point(3, 2))));
    // b's line crosses a but b stops short of it.
    EXPECT_FALSE(Segment::intersect(Segment(Point(0, 0), Point(4, 0)), Segment(Point(2, 1), Point(2, 3))));
    EXPECT_TRUE(Segment::intersect(Segment(Point(0, 0), Point(4, 0)), Segment(Point(2, 0), Point(2, 3))));
    EXPECT_TRUE(Segment::intersect(Segment(Point(0, 0), Point(1, 0)), Segment(Point(1, 0), Point(1, 5))));
    // Collinear segments always count, overlapping or apart.
    EXPECT_TRUE(Segment::intersect(Segment(Point(0, 0), Point(2, 0)), Segment(Point(1, 0), Point(3, 0))));
    EXPECT_TRUE(Segment::intersect(Segment(Point(0, 0), Point(1, 0)), Segment(Point(2, 0), Point(3, 0))));

    Segment s;
    EXPECT_EQ(s.length(), 0);
    s.setBegin(Point(1, 1));
    s.setEnd(Point(4, 5));
    EXPECT_EQ(s.length(), 5);
    EXPECT_EQ(s.getEnd().getY(), 5);
}
