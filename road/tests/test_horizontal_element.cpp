#include <road/horizontalelement.h>
#include <road/internal/node.h>

#include "clothoid.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

using Pelko::Corvex::Angle;
using Pelko::Corvex::Point;
using namespace Pelko::Road;

namespace {
const double kPi = 4.0 * std::atan(1.0);
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const Angle kNoAzimuth(kNaN);

using ElementNode = internal::Node<HorizontalElement>;

struct XmlElement
{
    tinyxml2::XMLDocument doc;
    ElementNode node;
    XmlElement()
    {
        tinyxml2::XMLElement* e = doc.NewElement("element");
        doc.InsertEndChild(e);
        node = ElementNode(std::make_shared<internal::Xml::NodeImpl>(e, 4, 0x04020000));
    }
};

void expectNear(const Point& p, double x, double y, double tolerance)
{
    EXPECT_NEAR(p.getX(), x, tolerance);
    EXPECT_NEAR(p.getY(), y, tolerance);
}

// A point given by the integrated curve must come back at its station and offset through the
// element's own projection.
void expectBackProjection(const HorizontalElement& e, double s, double offset, double tolerance)
{
    double station = 0.0;
    double measured = 0.0;
    ASSERT_TRUE(e.getStationOffset(e.getNorthEast(s, offset), station, measured));
    EXPECT_NEAR(station, e.getBeginStation() + s, tolerance) << "s " << s << " offset " << offset;
    EXPECT_NEAR(measured, offset, tolerance) << "s " << s << " offset " << offset;
}
} // namespace

TEST(HorizontalElement, FactoriesCheckTheirArguments)
{
    const HorizontalElement left = HorizontalElement::createArc(Angle(0.0), 50.0, -250.0, Point(), 0.0);
    ASSERT_TRUE(left);
    EXPECT_EQ(left.getType(), ArcElementType);
    EXPECT_EQ(left.getBeginRadius(), 250.0);
    EXPECT_EQ(left.getEndRadius(), 250.0);
    EXPECT_EQ(left.getRurnDirection(), TurnLeft);
    EXPECT_EQ(HorizontalElement::createArc(Angle(0.0), 50.0, 250.0, Point(), 0.0).getRurnDirection(),
              TurnRight);
    for (double radius : { 0.0005, -0.0005, kNaN, kInf, -kInf })
        EXPECT_FALSE(HorizontalElement::createArc(Angle(0.0), 50.0, radius, Point(), 0.0)) << radius;

    const HorizontalElement entry
        = HorizontalElement::createSpiral(Angle(0.0), 100.0, kInf, 300.0, Point(), 0.0);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry.getType(), SpiralElementType);
    EXPECT_TRUE(std::isinf(entry.getBeginRadius()));
    EXPECT_EQ(entry.getEndRadius(), 300.0);
    EXPECT_EQ(entry.getRurnDirection(), TurnRight);
    const HorizontalElement exit
        = HorizontalElement::createSpiral(Angle(0.0), 100.0, -300.0, kInf, Point(), 0.0);
    EXPECT_EQ(exit.getBeginRadius(), 300.0);
    EXPECT_EQ(exit.getRurnDirection(), TurnLeft);
    // A straight end's sign says nothing about the turn.
    EXPECT_EQ(
        HorizontalElement::createSpiral(Angle(0.0), 100.0, -kInf, 300.0, Point(), 0.0).getRurnDirection(),
        TurnRight);
    const double refused[][2] = { { 300.0, -400.0 }, { 300.0, 300.0005 }, { kInf, kInf },   { -kInf, -kInf },
                                  { kInf, -kInf },   { kNaN, 300.0 },     { 300.0, 0.0005 } };
    for (const auto& r : refused)
        EXPECT_FALSE(HorizontalElement::createSpiral(Angle(0.0), 100.0, r[0], r[1], Point(), 0.0))
            << r[0] << " " << r[1];

    for (double length : { kNaN, kInf, -1.0 })
        EXPECT_FALSE(HorizontalElement::createLine(Angle(0.0), length, Point(), 0.0)) << length;
    EXPECT_FALSE(HorizontalElement::createLine(Angle(kInf), 10.0, Point(), 0.0));

    const HorizontalElement null;
    EXPECT_FALSE(null.isValid());
    EXPECT_EQ(null.getType(), NullElementType);
    EXPECT_FALSE(null.getNorthEast(1.0).isValid());
    double station = 0.0;
    double offset = 0.0;
    EXPECT_FALSE(null.getStationOffset(Point(1.0, 1.0), station, offset));

    // Stations: a NaN station is "not given"; contains() is tolerant at both ends.
    const HorizontalElement line = HorizontalElement::createLine(Angle(0.0), 100.0, Point(), kNaN);
    EXPECT_EQ(line.getBeginStation(), 0.0);
    EXPECT_EQ(line.getEndStation(), 100.0);
    EXPECT_EQ(line.getMiddleStation(), 50.0);
    EXPECT_TRUE(line.contains(100.0005, 0.001));
    EXPECT_TRUE(line.contains(-0.0005, -0.001));
    EXPECT_FALSE(line.contains(100.002, 0.001));
}

TEST(HorizontalElement, ChainingTakesUnfixedBeginFromThePredecessor)
{
    HorizontalElement line = HorizontalElement::createLine(Angle(0.0), 100.0, Point(0.0, 0.0), 10.0);
    EXPECT_TRUE(line.isBeginPointFixed());
    EXPECT_TRUE(line.isBeginAzimuthFixed());
    ASSERT_TRUE(line.update());
    expectNear(line.getEndPoint(), 100.0, 0.0, 1e-12);

    // A quarter circle to the right, R 100: ends at (200, 100) heading east.
    HorizontalElement arc
        = HorizontalElement::createArc(kNoAzimuth, 50.0 * kPi, 100.0, Point::invalid(), kNaN);
    EXPECT_FALSE(arc.isBeginPointFixed());
    EXPECT_FALSE(arc.isBeginAzimuthFixed());
    ASSERT_TRUE(arc.update(line));
    expectNear(arc.getBeginPoint(), 100.0, 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(arc.getBeginStation(), 110.0);
    EXPECT_DOUBLE_EQ(arc.getEndStation(), 110.0 + 50.0 * kPi);
    // Simpson's rule over 24 intervals is about 1e-5 off on a quarter turn.
    expectNear(arc.getEndPoint(), 200.0, 100.0, 2e-5);
    EXPECT_NEAR(arc.getEndAzimuth().toRadian(), kPi / 2.0, 1e-12);

    // Moving the first element moves the unfixed begin of the second, and its end with it.
    HorizontalElement moved = HorizontalElement::createLine(Angle(0.0), 100.0, Point(50.0, 0.0), 0.0);
    moved.update();
    arc.update(moved);
    expectNear(arc.getBeginPoint(), 150.0, 0.0, 1e-12);
    expectNear(arc.getEndPoint(), 250.0, 100.0, 2e-5);
    EXPECT_NEAR(arc.getBeginStation(), 100.0, 1e-12);

    // A fixed begin stays where it was given.
    HorizontalElement fixed = HorizontalElement::createLine(Angle(1.0), 10.0, Point(7.0, 8.0), 0.0);
    fixed.update(arc);
    expectNear(fixed.getBeginPoint(), 7.0, 8.0, 0.0);
    EXPECT_EQ(fixed.getBeginAzimuth().toRadian(), 1.0);
    EXPECT_DOUBLE_EQ(fixed.getBeginStation(), arc.getEndStation());

    // A given begin let go follows the element before; the first element keeps its own.
    HorizontalElement loose = HorizontalElement::createLine(Angle(1.0), 10.0, Point(7.0, 8.0), 0.0);
    ASSERT_TRUE(loose.setBeginFixed(false, false));
    EXPECT_FALSE(loose.isBeginPointFixed());
    EXPECT_FALSE(loose.isBeginAzimuthFixed());
    ASSERT_TRUE(loose.update());
    expectNear(loose.getBeginPoint(), 7.0, 8.0, 0.0);
    EXPECT_EQ(loose.getBeginAzimuth().toRadian(), 1.0);
    HorizontalElement azimuthOnly = HorizontalElement::createLine(Angle(1.0), 10.0, Point(7.0, 8.0), 0.0);
    ASSERT_TRUE(azimuthOnly.setBeginFixed(true, false));
    azimuthOnly.update(arc);
    expectNear(azimuthOnly.getBeginPoint(), arc.getEndPoint().getX(), arc.getEndPoint().getY(), 0.0);
    EXPECT_EQ(azimuthOnly.getBeginAzimuth().toRadian(), 1.0);
    // Only a given value can hold.
    ASSERT_TRUE(loose.setBeginFixed(true, true));
    EXPECT_FALSE(loose.isBeginPointFixed());
    EXPECT_FALSE(loose.isBeginAzimuthFixed());
    EXPECT_FALSE(HorizontalElement().setBeginFixed(false, false));

    // clone() is independent of the original.
    HorizontalElement copy = arc.clone();
    copy.update(line);
    expectNear(copy.getBeginPoint(), 100.0, 0.0, 1e-12);
    expectNear(arc.getBeginPoint(), 150.0, 0.0, 1e-12);
    HorizontalElement shared = arc;
    shared.updateStation(500.0);
    EXPECT_EQ(arc.getBeginStation(), 500.0);
    EXPECT_EQ(arc.getEndStation(), 500.0 + 50.0 * kPi);

    EXPECT_FALSE(HorizontalElement().update(line));
}

TEST(HorizontalElement, SpiralGeometryMatchesClosedForms)
{
    // Straight to R 300 over 100 m from (0,0) heading north.
    HorizontalElement entry
        = HorizontalElement::createSpiral(Angle(0.0), 100.0, kInf, 300.0, Point(0.0, 0.0), 0.0);
    entry.update();
    expectNear(entry.getEndPoint(), 99.7225792, 5.5445424, 1e-5);
    EXPECT_NEAR(entry.getEndAzimuth().toRadian(), 1.0 / 6.0, 1e-14);
    for (double s : { 25.0, 50.0, 75.0 }) {
        const Point c = clothoid(s, 30000.0);
        expectNear(entry.getNorthEast(s), c.getX(), c.getY(), 1e-6);
        EXPECT_NEAR(entry.getAzimuth(s).toRadian(), s * s / 60000.0, 1e-14);
    }

    // The same spiral turning left is the mirror image.
    HorizontalElement mirror
        = HorizontalElement::createSpiral(Angle(0.0), 100.0, kInf, -300.0, Point(0.0, 0.0), 0.0);
    mirror.update();
    expectNear(mirror.getEndPoint(), 99.7225792, -5.5445424, 1e-5);
    EXPECT_NEAR(mirror.getEndAzimuth().toRadian(), -1.0 / 6.0, 1e-14);

    // Exit spiral R 300 -> straight: the entry run backwards, so in the frame of its end tangent its
    // end lies where the entry's end lies, mirrored to the other side.
    HorizontalElement exit
        = HorizontalElement::createSpiral(Angle(0.0), 100.0, 300.0, kInf, Point(0.0, 0.0), 0.0);
    exit.update();
    EXPECT_NEAR(exit.getEndAzimuth().toRadian(), 1.0 / 6.0, 1e-14);
    const double t = 1.0 / 6.0;
    const Point e = exit.getEndPoint();
    const double u = std::cos(t) * e.getX() + std::sin(t) * e.getY();
    const double v = -std::sin(t) * e.getX() + std::cos(t) * e.getY();
    EXPECT_NEAR(u, 99.7225792, 1e-5);
    EXPECT_NEAR(v, -5.5445424, 1e-5);

    // Compound spiral R 200 -> R 100 over 80 m, a piece of the clothoid A^2 = L / (k2 - k1), and the
    // same between the two radii on a rotated, shifted begin.
    const double k1 = 1.0 / 200.0;
    const double k2 = 1.0 / 100.0;
    const double a2 = 80.0 / (k2 - k1);
    const double l0 = k1 * a2;
    const double t0 = l0 * l0 / (2.0 * a2);
    const Point c0 = clothoid(l0, a2);
    const double a0 = 2.0;
    const Point b(1000.0, 500.0);
    HorizontalElement compound = HorizontalElement::createSpiral(Angle(a0), 80.0, 200.0, 100.0, b, 0.0);
    compound.update();
    for (double s : { 30.0, 80.0 }) {
        const Point c = clothoid(l0 + s, a2);
        const double dx = c.getX() - c0.getX();
        const double dy = c.getY() - c0.getY();
        const double lu = std::cos(t0) * dx + std::sin(t0) * dy;
        const double lv = -std::sin(t0) * dx + std::cos(t0) * dy;
        expectNear(compound.getNorthEast(s), b.getX() + std::cos(a0) * lu - std::sin(a0) * lv,
                   b.getY() + std::sin(a0) * lu + std::cos(a0) * lv, 1e-5);
    }
    EXPECT_NEAR(compound.getEndAzimuth().toRadian(), a0 + 80.0 * (k1 + k2) / 2.0, 1e-14);
}

TEST(HorizontalElement, StationOffsetOfPlanPoints)
{
    // The begin point of an arc is at station 0, not a full turn around (round-off near 2*pi).
    for (double radius : { 100.0, -100.0, 37.5 }) {
        HorizontalElement arc
            = HorizontalElement::createArc(Angle(0.0), 50.0 * kPi, radius, Point(0.0, 0.0), 0.0);
        arc.update();
        double station = -1.0;
        double offset = -1.0;
        arc.getStationOffset(Point(0.0, 0.0), station, offset);
        EXPECT_NEAR(station, 0.0, 1e-9) << radius;
        EXPECT_NEAR(offset, 0.0, 1e-9) << radius;
    }
    for (double a0 : { 0.3, 1.0, 2.0, 4.0, 6.0 }) {
        HorizontalElement arc = HorizontalElement::createArc(Angle(a0), 80.0, 120.0, Point(10.0, 20.0), 0.0);
        double station = -1.0;
        double offset = 0.0;
        arc.getStationOffset(Point(10.0, 20.0), station, offset);
        EXPECT_NEAR(station, 0.0, 1e-9) << a0;
    }

    HorizontalElement quarter
        = HorizontalElement::createArc(Angle(0.0), 50.0 * kPi, 100.0, Point(0.0, 0.0), 1000.0);
    quarter.update();
    double station = 0.0;
    double offset = 1.0;
    quarter.getStationOffset(quarter.getEndPoint(), station, offset);
    EXPECT_NEAR(station, 1157.0796, 5e-5);
    EXPECT_NEAR(offset, 0.0, 2e-5);
    // Inside the circle is right of a right-turning arc, outside is left.
    quarter.getStationOffset(Point(50.0, 50.0), station, offset);
    EXPECT_NEAR(station, 1000.0 + 25.0 * kPi, 1e-9);
    EXPECT_NEAR(offset, 100.0 - 50.0 * std::sqrt(2.0), 1e-9);
    quarter.getStationOffset(Point(100.0, 0.0), station, offset);
    EXPECT_NEAR(station, 1000.0 + 25.0 * kPi, 1e-9);
    EXPECT_NEAR(offset, 100.0 - 100.0 * std::sqrt(2.0), 1e-9);

    const HorizontalElement elements[] = {
        HorizontalElement::createLine(Angle(2.2), 120.0, Point(-50.0, 30.0), 200.0),
        HorizontalElement::createArc(Angle(0.7), 120.0, 150.0, Point(-50.0, 30.0), 200.0),
        HorizontalElement::createArc(Angle(5.9), 120.0, -150.0, Point(-50.0, 30.0), 200.0),
        HorizontalElement::createSpiral(Angle(0.0), 100.0, kInf, 300.0, Point(0.0, 0.0), 0.0),
        HorizontalElement::createSpiral(Angle(3.5), 100.0, -300.0, kInf, Point(0.0, 0.0), 0.0),
        HorizontalElement::createSpiral(Angle(1.2), 80.0, 200.0, 100.0, Point(1000.0, 500.0), 50.0),
        HorizontalElement::createSpiral(Angle(4.4), 80.0, -100.0, -250.0, Point(1000.0, 500.0), 50.0),
    };
    for (const HorizontalElement& e : elements) {
        ASSERT_TRUE(e);
        for (double s : { 0.5, 30.0, 79.0 })
            for (double o : { 4.0, -4.0, 0.0 })
                expectBackProjection(e, s, o, 1e-5);
    }

    // Curvatures too close for the series: the element projects like the arc (or line) of its begin
    // curvature, which stays within a few 1e-4 of the integrated spiral, instead of onto its begin.
    HorizontalElement flat
        = HorizontalElement::createSpiral(Angle(0.5), 100.0, 1e6, 1.5e6, Point(0.0, 0.0), 0.0);
    ASSERT_TRUE(flat);
    for (double s : { 10.0, 50.0, 90.0 })
        for (double o : { 2.0, -2.0 })
            expectBackProjection(flat, s, o, 1e-3);
    HorizontalElement nearlyStraight
        = HorizontalElement::createSpiral(Angle(0.5), 100.0, kInf, 2e6, Point(), 0.0);
    ASSERT_TRUE(nearlyStraight);
    expectBackProjection(nearlyStraight, 60.0, 3.0, 1e-3);

    // Spirals from the straight that turn through a large angle: the local-frame series has zero
    // terms there, which must not pass for convergence. Points of the true clothoid and beside it
    // must project back onto their own station and offset.
    for (double length : { 150.0, 300.0 }) {
        const double radius = length == 150.0 ? 60.0 : 50.0; // 1.25 and 3 radians
        const double a2 = radius * length;
        for (double side : { 1.0, -1.0 }) {
            HorizontalElement heavy = HorizontalElement::createSpiral(Angle(0.0), length, kInf, side * radius,
                                                                      Point(0.0, 0.0), 100.0);
            ASSERT_TRUE(heavy);
            for (double s : { 0.4 * length, 0.7 * length, 0.95 * length }) {
                const Point c = clothoid(s, a2);
                const double th = s * s / (2.0 * a2);
                for (double o : { 0.0, 5.0, -5.0 }) {
                    // Right of the tangent is (-sin, cos) in north/east coordinates.
                    const Point p(c.getX() - o * std::sin(th), side * (c.getY() + o * std::cos(th)));
                    double station = 0.0;
                    double offset = 0.0;
                    ASSERT_TRUE(heavy.getStationOffset(p, station, offset));
                    EXPECT_NEAR(station, 100.0 + s, 1e-3) << length << " " << side << " " << s << " " << o;
                    EXPECT_NEAR(offset, side * o, 1e-3) << length << " " << side << " " << s << " " << o;
                }
            }
        }
    }

    // Exit spirals that turn through about 3 radians: the series runs out of terms, so the answer must
    // still land on the element's own points.
    for (double side : { 1.0, -1.0 }) {
        HorizontalElement exit = HorizontalElement::createSpiral(Angle(0.3), 300.0, side * 50.0, kInf,
                                                                 Point(100.0, 200.0), 1000.0);
        ASSERT_TRUE(exit);
        for (double s = 0.0; s <= 300.0; s += 15.0) {
            for (double o : { 0.0, 5.0, -5.0 }) {
                const Point p = exit.getNorthEast(s, o);
                double station = 0.0;
                double offset = 0.0;
                ASSERT_TRUE(exit.getStationOffset(p, station, offset));
                EXPECT_NEAR(station, 1000.0 + s, 1e-3) << side << " " << s << " " << o;
                EXPECT_NEAR(offset, o, 1e-3) << side << " " << s << " " << o;
            }
        }
    }
}

// The foot point on a spiral against bisection on the element's own curve: the projection settles on
// the same station and offset to well under a micrometre, on both sides and towards both ends.
TEST(HorizontalElement, SpiralFootPointsAgreeWithBisectionOnTheCurve)
{
    const HorizontalElement spirals[] = {
        HorizontalElement::createSpiral(Angle(0.4), 60.0, kInf, 400.0, Point(1000.0, 2000.0), 100.0),
        HorizontalElement::createSpiral(Angle(2.9), 80.0, -250.0, kInf, Point(-500.0, 300.0), 0.0),
        HorizontalElement::createSpiral(Angle(5.1), 70.0, 300.0, 150.0, Point(0.0, 0.0), 50.0),
    };
    std::srand(3);
    for (const HorizontalElement& e : spirals) {
        ASSERT_TRUE(e);
        const double length = e.getLength();
        for (int i = 0; i < 200; ++i) {
            const double along = length * (0.001 + 0.998 * (std::rand() / (RAND_MAX + 1.0)));
            const double across = -40.0 + 80.0 * (std::rand() / (RAND_MAX + 1.0));
            const Point p = e.getNorthEast(along, across);
            // (p - curve(s)) . tangent(s) falls along the curve near the foot point.
            auto lead = [&](double s) {
                const Point c = e.getNorthEast(s);
                const double a = e.getAzimuth(s).toRadian();
                return (p.getX() - c.getX()) * std::cos(a) + (p.getY() - c.getY()) * std::sin(a);
            };
            double lo = 0.0;
            double hi = length;
            for (int k = 0; k < 80; ++k) {
                const double mid = (lo + hi) / 2.0;
                (lead(mid) > 0.0 ? lo : hi) = mid;
            }
            double station = kNaN;
            double offset = kNaN;
            ASSERT_TRUE(e.getStationOffset(p, station, offset));
            EXPECT_NEAR(station - e.getBeginStation(), lo, 1e-6) << along << " " << across;
            EXPECT_NEAR(offset, across, 1e-6) << along << " " << across;
        }
    }
}

TEST(HorizontalElement, StoredFormRoundTrip)
{
    struct Case
    {
        HorizontalElement element;
        int storedType;
        int storedTurn;
    };
    const Case cases[] = {
        { HorizontalElement::createLine(Angle(0.25), 40.0, Point(1.5, 2.5), 3.0), 1, 1 },
        { HorizontalElement::createArc(Angle(0.25), 40.0, 250.0, Point::invalid(), 3.0), 2, 1 },
        { HorizontalElement::createArc(kNoAzimuth, 40.0, -250.0, Point(1.5, 2.5), 3.0), 2, 0 },
        { HorizontalElement::createSpiral(Angle(0.25), 40.0, kInf, 300.0, Point(1.5, 2.5), 3.0), 3, 1 },
        { HorizontalElement::createSpiral(Angle(0.25), 40.0, -120.0, -300.0, Point(1.5, 2.5), 3.0), 3, 0 },
    };
    for (const Case& c : cases) {
        HorizontalElement e = c.element;
        ASSERT_TRUE(e);
        e.update();
        XmlElement xml;
        ASSERT_TRUE(e.save(xml.node));
        EXPECT_EQ(xml.node.getInt("type", -9), c.storedType);
        EXPECT_EQ(xml.node.getInt("pz", -9), c.storedTurn);
        EXPECT_DOUBLE_EQ(xml.node.getDouble("rou2", -9.0), 1.0 / e.getEndRadius());

        HorizontalElement loaded;
        ASSERT_TRUE(loaded.load(xml.node));
        EXPECT_EQ(loaded.getType(), e.getType());
        EXPECT_EQ(loaded.getRurnDirection(), e.getRurnDirection());
        EXPECT_EQ(loaded.getBeginRadius(), e.getBeginRadius());
        EXPECT_EQ(loaded.getEndRadius(), e.getEndRadius());
        EXPECT_EQ(loaded.getLength(), e.getLength());
        EXPECT_EQ(loaded.getBeginStation(), e.getBeginStation());
        EXPECT_EQ(loaded.getEndStation(), e.getEndStation());
        EXPECT_EQ(loaded.getBeginPoint().getX(), e.getBeginPoint().getX());
        EXPECT_EQ(loaded.getEndPoint().getY(), e.getEndPoint().getY());
        EXPECT_EQ(loaded.getBeginAzimuth().toRadian(), e.getBeginAzimuth().toRadian());
        EXPECT_EQ(loaded.getEndAzimuth().toRadian(), e.getEndAzimuth().toRadian());
        EXPECT_EQ(loaded.isBeginPointFixed(), e.isBeginPointFixed());
        EXPECT_EQ(loaded.isBeginAzimuthFixed(), e.isBeginAzimuthFixed());
        // The reloaded element rebuilds the same curve.
        const Point p = loaded.getNorthEast(25.0, 1.0);
        const Point q = e.getNorthEast(25.0, 1.0);
        EXPECT_EQ(p.getX(), q.getX());
        EXPECT_EQ(p.getY(), q.getY());
    }

    // A straight end is stored as curvature 0 and read back as infinite; a stored "type" 2 is an arc.
    XmlElement xml;
    xml.node.setInt("type", 2);
    xml.node.setDouble("rou1", 0.004);
    xml.node.setDouble("rou2", 0.004);
    xml.node.setDouble("length", 30.0);
    xml.node.setInt("pz", 0);
    HorizontalElement arc;
    ASSERT_TRUE(arc.load(xml.node));
    EXPECT_EQ(arc.getType(), ArcElementType);
    EXPECT_DOUBLE_EQ(arc.getBeginRadius(), 250.0);
    EXPECT_EQ(arc.getRurnDirection(), TurnLeft);
    EXPECT_DOUBLE_EQ(arc.getEndStation(), 30.0);

    xml.node.setInt("type", 3);
    xml.node.setDouble("rou1", 0.0);
    xml.node.setDouble("rou2", -0.004); // a signed curvature still gives an unsigned radius
    HorizontalElement spiral;
    ASSERT_TRUE(spiral.load(xml.node));
    EXPECT_EQ(spiral.getType(), SpiralElementType);
    EXPECT_TRUE(std::isinf(spiral.getBeginRadius()));
    EXPECT_DOUBLE_EQ(spiral.getEndRadius(), 250.0);
    XmlElement again;
    spiral.save(again.node);
    EXPECT_EQ(again.node.getString("rou1", "?"), "0");

    // Refused records leave the element as it was.
    const auto refuses = [&](const char* name, const char* text) {
        XmlElement bad;
        spiral.save(bad.node);
        if (text)
            bad.node.setString(name, text);
        else
            bad.node.removeChildren(name);
        HorizontalElement target = HorizontalElement::createLine(Angle(0.0), 5.0, Point(), 0.0);
        EXPECT_FALSE(target.load(bad.node)) << name;
        EXPECT_EQ(target.getType(), LineElementType) << name;
    };
    refuses("pz", nullptr);
    refuses("pz", "2");
    refuses("type", nullptr);
    refuses("type", "4");
    refuses("type", "-1");
    refuses("x1", "nan");
    refuses("length", "inf");
    refuses("length", "-3");

    HorizontalElement fresh;
    EXPECT_FALSE(fresh.load(ElementNode()));
    EXPECT_FALSE(fresh);
    XmlElement untouched;
    EXPECT_FALSE(HorizontalElement().save(untouched.node));
    EXPECT_EQ(untouched.doc.FirstChildElement("element")->FirstChildElement(), nullptr);
}
