#include <road/curveelement.h>
#include <road/picurve.h>

#include "clothoid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using Pelko::Corvex::Point;
using namespace Pelko::Road;
using namespace Pelko::Road::Horizontal;

namespace {
const double kPi = 4.0 * std::atan(1.0);
const double kInf = std::numeric_limits<double>::infinity();
// The spiral end points come from the element integration (24 Simpson intervals).
const double kSpiralTolerance = 2e-6;

Point polar(const Point& from, double azimuth, double distance)
{
    return Point::getEnd(from, azimuth, distance);
}

// Start, corner, end of a polygon turning by delta at a corner 500 m from the start.
struct Corner
{
    PoiPoint start { Point(0.0, 0.0), 1000.0 };
    Point corner { 500.0, 0.0 };
    PoiPoint end;
    explicit Corner(double delta)
        : end(polar(corner, delta, 400.0), 0.0)
    {
    }
    void run(PoiData& curve)
    {
        start.update(nullptr, &curve);
        curve.update(&start, &end);
        end.update(&curve, nullptr);
    }
};

// Clothoid from the straight: end point (x along, y towards the turn).
void clothoid(double length, double radius, double& x, double& y)
{
    const Pelko::Corvex::Point end = ::clothoid(length, radius * length);
    x = end.getX();
    y = end.getY();
}
} // namespace

TEST(PiCurve, ArcTangentAndLengthFollowTheDeflection)
{
    for (double degrees : { 90.0, 17.5, 123.0 }) {
        const double delta = degrees * kPi / 180.0;
        Corner polygon(delta);
        PoiArc arc(polygon.corner, 100.0);
        polygon.run(arc);
        EXPECT_NEAR(arc.getDeflection().toRadian(), delta, 1e-12);
        EXPECT_NEAR(arc.getInTangentLength(), 100.0 * std::tan(delta / 2.0), 1e-9);
        EXPECT_NEAR(arc.getOutTangentLength(), 100.0 * std::tan(delta / 2.0), 1e-9);
        EXPECT_NEAR(arc.getArcLength(), 100.0 * delta, 1e-9);
        // The first PI keeps its station; the corner sits on the polygon; the end PI continues from
        // the curve's end and has no deflection.
        EXPECT_DOUBLE_EQ(polygon.start.getStation(), 1000.0);
        EXPECT_NEAR(arc.getStation(), 1500.0, 1e-9);
        const double t = arc.getInTangentLength();
        EXPECT_NEAR(polygon.end.getStation(), 1500.0 - t + 100.0 * delta + 400.0 - t, 1e-9);
        EXPECT_DOUBLE_EQ(polygon.end.getDeflection().toRadian(), 0.0);
    }
    Corner rightAngle(kPi / 2.0);
    PoiArc arc(rightAngle.corner, 100.0);
    rightAngle.run(arc);
    EXPECT_NEAR(arc.getInTangentLength(), 100.0, 1e-9);
    EXPECT_NEAR(arc.getArcLength(), 50.0 * kPi, 1e-9);

    // The deflection is the same whichever way the polygon turns.
    PoiArc left(Point(500.0, 0.0), 100.0);
    PoiPoint start(Point(0.0, 0.0), 0.0);
    PoiPoint end(polar(Point(500.0, 0.0), -0.4, 300.0), 0.0);
    left.update(&start, &end);
    EXPECT_NEAR(left.getDeflection().toRadian(), 0.4, 1e-12);
}

TEST(PiCurve, SymmetricSpiralsMatchTheHighwayFormulas)
{
    const double r = 300.0;
    const double ls = 80.0;
    const double delta = 40.0 * kPi / 180.0;
    Corner polygon(delta);
    PoiSpiralArcSpiral curve(polygon.corner, kInf, r, kInf, ls, ls);
    polygon.run(curve);

    const double thetaS = ls / (2.0 * r);
    double xs = 0.0;
    double ys = 0.0;
    clothoid(ls, r, xs, ys);
    const double p = ys - r * (1.0 - std::cos(thetaS));
    const double q = xs - r * std::sin(thetaS);
    // The textbook approximations of the shift and the spiral's tangent offset.
    EXPECT_NEAR(p, ls * ls / (24.0 * r), 1e-3);
    EXPECT_NEAR(q, ls / 2.0 - std::pow(ls, 3) / (240.0 * r * r), 1e-4);

    const double ts = (r + p) * std::tan(delta / 2.0) + q;
    EXPECT_NEAR(curve.getInTangentLength(), ts, kSpiralTolerance);
    EXPECT_NEAR(curve.getOutTangentLength(), ts, kSpiralTolerance);
    EXPECT_NEAR(curve.getArcLength(), r * delta - ls, 1e-9);
    EXPECT_NEAR(curve.getCurveLength(), r * delta + ls, 1e-9);
    EXPECT_DOUBLE_EQ(curve.getStartRadius(), kInf);
    EXPECT_DOUBLE_EQ(curve.getEndRadius(), kInf);
    EXPECT_NEAR(polygon.end.getStation(), 1500.0 - ts + r * delta + ls + 400.0 - ts, kSpiralTolerance);
}

TEST(PiCurve, UnequalAndCompoundSpirals)
{
    const double r = 250.0;
    const double delta = 50.0 * kPi / 180.0;
    Corner polygon(delta);
    PoiSpiralArcSpiral curve(polygon.corner, kInf, r, kInf, 60.0, 100.0);
    polygon.run(curve);

    // Closed form for spirals from the straight: T1 = q1 - (R+p1)/tan D + (R+p2)/sin D.
    double x1, y1, x2, y2;
    clothoid(60.0, r, x1, y1);
    clothoid(100.0, r, x2, y2);
    const double t1 = 60.0 / (2 * r);
    const double t2 = 100.0 / (2 * r);
    const double p1 = y1 - r * (1 - std::cos(t1));
    const double p2 = y2 - r * (1 - std::cos(t2));
    const double q1 = x1 - r * std::sin(t1);
    const double q2 = x2 - r * std::sin(t2);
    EXPECT_NEAR(curve.getInTangentLength(), q1 - (r + p1) / std::tan(delta) + (r + p2) / std::sin(delta),
                kSpiralTolerance);
    EXPECT_NEAR(curve.getOutTangentLength(), q2 - (r + p2) / std::tan(delta) + (r + p1) / std::sin(delta),
                kSpiralTolerance);
    // The longer spiral pushes its own tangent point further out.
    EXPECT_GT(curve.getOutTangentLength(), curve.getInTangentLength());
    EXPECT_NEAR(curve.getArcLength(), r * delta - 80.0, 1e-9);

    // A finite outer radius: the in-spiral turns (1/Rs + 1/R) L / 2 and starts on a tighter shift.
    PoiSpiralArcSpiral compound(polygon.corner, 600.0, r, kInf, 60.0, 60.0);
    polygon.run(compound);
    EXPECT_DOUBLE_EQ(compound.getStartRadius(), 600.0);
    EXPECT_NE(compound.getInTangentLength(), compound.getOutTangentLength());
    EXPECT_TRUE(std::isfinite(compound.getInTangentLength()));
}

// Curves that share their spiral's design, or part of it, in any order: each tangent is bit for bit the
// one from its own spirals integrated afresh.
TEST(PiCurve, RepeatedSpiralsGiveTheTangentsOfTheirOwnSpirals)
{
    struct Design
    {
        double inRadius, radius, outRadius, inLength, outLength;
    };
    const std::vector<Design> designs = { { kInf, 300.0, kInf, 80.0, 80.0 },   { kInf, 300.0, kInf, 60.0, 80.0 },
                                          { kInf, 250.0, kInf, 80.0, 80.0 },   { 600.0, 300.0, kInf, 80.0, 80.0 },
                                          { kInf, 300.0, 600.0, 80.0, 80.0 },  { kInf, 300.0, kInf, 80.0, 0.0 },
                                          { kInf, -300.0, kInf, 80.0, 80.0 } };
    const double delta = 50.0 * kPi / 180.0;
    Corner polygon(delta);
    // End of the spiral from curvature 1/outer to 1/radius in its own frame, and its turn.
    auto spiral = [](double outer, double radius, double length, double& x, double& y, double& theta) {
        const double k1 = std::isinf(outer) ? 0.0 : 1.0 / std::fabs(outer);
        const double k2 = 1.0 / std::fabs(radius);
        theta = (k1 + k2) * length / 2.0;
        x = y = 0.0;
        if (length > 0.0)
            CurveElement(length, k1, k2, Point(0.0, 0.0), 0.0).getCoordinateByArcLength(length, x, y);
    };
    for (const std::vector<int>& order : { std::vector<int> { 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 6, 0 },
                                          std::vector<int> { 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6 } }) {
        for (int i : order) {
            const Design& c = designs[i];
            PoiSpiralArcSpiral curve(polygon.corner, c.inRadius, c.radius, c.outRadius, c.inLength,
                                     c.outLength);
            polygon.run(curve);
            double x1, y1, t1, x2, y2, t2;
            spiral(c.inRadius, c.radius, c.inLength, x1, y1, t1);
            spiral(c.outRadius, c.radius, c.outLength, x2, y2, t2);
            const double r = std::fabs(c.radius);
            const double d = curve.getDeflection().toRadian();
            const double q1 = x1 - r * std::sin(t1);
            const double p1 = y1 - r * (1.0 - std::cos(t1));
            const double q2 = x2 - r * std::sin(t2);
            const double p2 = y2 - r * (1.0 - std::cos(t2));
            EXPECT_EQ(curve.getInTangentLength(), q1 - (r + p1) / std::tan(d) + (r + p2) / std::sin(d)) << i;
            EXPECT_EQ(curve.getOutTangentLength(), q2 - (r + p2) / std::tan(d) + (r + p1) / std::sin(d)) << i;
        }
    }
}

TEST(PiCurve, SpiralSpiralAndStraightCorners)
{
    const double r = 200.0;
    const double delta = 30.0 * kPi / 180.0;
    Corner polygon(delta);
    PoiSpiralSpiral curve(polygon.corner, kInf, r, kInf, r * delta, r * delta);
    polygon.run(curve);
    EXPECT_EQ(curve.getType(), SpiralSpiralPoiType);
    EXPECT_NEAR(curve.getArcLength(), 0.0, 1e-9);
    double xs, ys;
    clothoid(r * delta, r, xs, ys);
    // Each spiral turns by half the deflection.
    const double p = ys - r * (1 - std::cos(delta / 2));
    const double q = xs - r * std::sin(delta / 2);
    EXPECT_NEAR(curve.getInTangentLength(), (r + p) * std::tan(delta / 2) + q, kSpiralTolerance);

    // Collinear neighbours: spirals would divide by tan 0 and sin 0. The corner is a straight.
    for (double offset : { 0.0, 1e-10 }) {
        PoiPoint start(Point(0.0, 0.0), 10.0);
        PoiSpiralArcSpiral flat(Point(500.0, 0.0), kInf, r, kInf, 50.0, 50.0);
        PoiPoint end(Point(900.0, offset), 0.0);
        start.update(nullptr, &flat);
        flat.update(&start, &end);
        end.update(&flat, nullptr);
        EXPECT_LT(flat.getDeflection().toRadian(), 1e-9);
        EXPECT_FALSE(flat.hasCurve());
        EXPECT_EQ(flat.getInTangentLength(), 0.0);
        EXPECT_EQ(flat.getOutTangentLength(), 0.0);
        EXPECT_EQ(flat.getArcLength(), 0.0);
        EXPECT_EQ(flat.getCurveLength(), 0.0);
        // The lengths the user typed stay for the editor.
        EXPECT_EQ(flat.getInSpiralLength(), 50.0);
        EXPECT_NEAR(end.getStation(), 10.0 + 900.0, 1e-6);
    }
    // An arc there simply has zero lengths.
    PoiPoint start(Point(0.0, 0.0), 0.0);
    PoiArc flatArc(Point(500.0, 0.0), r);
    PoiPoint end(Point(900.0, 0.0), 0.0);
    flatArc.update(&start, &end);
    EXPECT_EQ(flatArc.getInTangentLength(), 0.0);
    EXPECT_EQ(flatArc.getArcLength(), 0.0);
}

TEST(PiCurve, CloneIsIndependentAndShortSpiralsContributeNothing)
{
    Corner polygon(0.5);
    PoiArc arc(polygon.corner, 150.0);
    polygon.run(arc);
    std::shared_ptr<PoiData> copy = arc.clone();
    EXPECT_EQ(copy->getType(), ArcPoiType);
    EXPECT_DOUBLE_EQ(copy->getInTangentLength(), arc.getInTangentLength());
    arc.update(nullptr, nullptr);
    EXPECT_DOUBLE_EQ(arc.getDeflection().toRadian(), 0.0);
    EXPECT_NEAR(copy->getDeflection().toRadian(), 0.5, 1e-12);

    // A spiral below 0.001 m has no end point of its own: the tangent is the arc's within its length.
    PoiSpiralArcSpiral tiny(polygon.corner, kInf, 150.0, kInf, 0.0005, 0.0);
    PoiArc plain(polygon.corner, 150.0);
    polygon.run(tiny);
    polygon.run(plain);
    EXPECT_NEAR(tiny.getInTangentLength(), plain.getInTangentLength(), 0.0005);
}
