#include <road/curveelement.h>

#include "clothoid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using Pelko::Corvex::Point;
using Pelko::Road::CurveElement;
using Pelko::Road::StationOffset;

namespace {
const double kPi = 4.0 * std::atan(1.0);

Point circlePoint(Point begin, double azimuth, double radius, bool right, double s)
{
    const double side = right ? 1.0 : -1.0;
    const double t = s / radius;
    const double u = radius * std::sin(t);
    const double v = side * radius * (1.0 - std::cos(t));
    return Point(begin.getX() + std::cos(azimuth) * u - std::sin(azimuth) * v,
                 begin.getY() + std::sin(azimuth) * u + std::cos(azimuth) * v);
}
} // namespace

TEST(CurveElement, LineAndOffsetPoints)
{
    const CurveElement north(100.0, 0.0, 0.0, Point(10.0, 20.0), 0.0);
    EXPECT_NEAR(north.getEndPoint().getX(), 110.0, 1e-12);
    EXPECT_NEAR(north.getEndPoint().getY(), 20.0, 1e-12);
    EXPECT_DOUBLE_EQ(north.getAzimuthByArcLenth(100.0), 0.0);
    const Point east = north.getCoordinate(30.0, 5.0);
    EXPECT_NEAR(east.getX(), 40.0, 1e-12);
    EXPECT_NEAR(east.getY(), 25.0, 1e-12);
    double x = 0.0;
    double y = 0.0;
    north.getCoordinate(30.0, -5.0, x, y);
    EXPECT_NEAR(y, 15.0, 1e-12);

    const Point start = north.getCoordinateByArcLength(0.0);
    EXPECT_EQ(start.getX(), 10.0);
    EXPECT_EQ(start.getY(), 20.0);

    // Zero length: the azimuth stays the begin azimuth.
    const CurveElement empty(0.0, 0.01, 0.02, Point(), 1.25);
    EXPECT_EQ(empty.getAzimuthByArcLenth(10.0), 1.25);
}

TEST(CurveElement, ArcsFollowTheCircle)
{
    const CurveElement right(100.0, 0.01, 0.01, Point(0.0, 0.0), 0.0);
    const Point r = right.getEndPoint();
    EXPECT_NEAR(r.getX(), 100.0 * std::sin(1.0), 1e-5);
    EXPECT_NEAR(r.getY(), 100.0 * (1.0 - std::cos(1.0)), 1e-5);
    EXPECT_NEAR(right.getAzimuthByArcLenth(100.0), 1.0, 1e-15);

    const CurveElement left(100.0, -0.01, -0.01, Point(0.0, 0.0), 0.0);
    const Point l = left.getEndPoint();
    EXPECT_NEAR(l.getX(), 100.0 * std::sin(1.0), 1e-5);
    EXPECT_NEAR(l.getY(), -100.0 * (1.0 - std::cos(1.0)), 1e-5);
    EXPECT_NEAR(left.getAzimuthByArcLenth(100.0), -1.0, 1e-15);

    // Any begin, either direction, and beyond both ends.
    const Point begin(5000.0, -3000.0);
    for (bool turnsRight : { true, false }) {
        const double k = turnsRight ? 1.0 / 250.0 : -1.0 / 250.0;
        const CurveElement arc(200.0, k, k, begin, 2.5);
        for (double s : { -40.0, 17.0, 120.0, 200.0, 260.0 }) {
            const Point expected = circlePoint(begin, 2.5, 250.0, turnsRight, s);
            const Point p = arc.getCoordinateByArcLength(s);
            EXPECT_NEAR(p.getX(), expected.getX(), 1e-5) << s;
            EXPECT_NEAR(p.getY(), expected.getY(), 1e-5) << s;
        }
    }
}

TEST(CurveElement, ClothoidMatchesFresnelIntegrals)
{
    const double a2 = 300.0 * 100.0;
    const CurveElement spiral(100.0, 0.0, 1.0 / 300.0, Point(0.0, 0.0), 0.0);
    const Point end = spiral.getEndPoint();
    EXPECT_NEAR(end.getX(), 99.7225792, 1e-5);
    EXPECT_NEAR(end.getY(), 5.5445424, 1e-5);
    EXPECT_NEAR(spiral.getAzimuthByArcLenth(100.0), 1.0 / 6.0, 1e-15);
    for (double s : { 10.0, 35.0, 50.0, 80.0 }) {
        const Point expected = clothoid(s, a2);
        const Point p = spiral.getCoordinateByArcLength(s);
        EXPECT_NEAR(p.getX(), expected.getX(), 1e-6) << s;
        EXPECT_NEAR(p.getY(), expected.getY(), 1e-6) << s;
        EXPECT_NEAR(spiral.getAzimuthByArcLenth(s), s * s / (2.0 * a2), 1e-15);
    }

    // Compound spiral R 200 -> R 100 over 80 m: a piece of the clothoid A^2 = L / (k2 - k1) that
    // starts where its curvature is 1/200.
    const double k1 = 1.0 / 200.0;
    const double k2 = 1.0 / 100.0;
    const double ca2 = 80.0 / (k2 - k1);
    const double l0 = k1 * ca2;
    const double t0 = l0 * l0 / (2.0 * ca2);
    const Point c0 = clothoid(l0, ca2);
    const CurveElement compound(80.0, k1, k2, Point(0.0, 0.0), 0.0);
    for (double s : { 20.0, 40.0, 80.0 }) {
        const Point c = clothoid(l0 + s, ca2);
        const double dx = c.getX() - c0.getX();
        const double dy = c.getY() - c0.getY();
        const Point p = compound.getCoordinateByArcLength(s);
        EXPECT_NEAR(p.getX(), std::cos(t0) * dx + std::sin(t0) * dy, 1e-5) << s;
        EXPECT_NEAR(p.getY(), -std::sin(t0) * dx + std::cos(t0) * dy, 1e-5) << s;
    }
    EXPECT_NEAR(compound.getAzimuthByArcLenth(80.0), 80.0 * (k1 + k2) / 2.0, 1e-15);
}

TEST(CurveElement, ProjectionRecoversStationAndOffset)
{
    const CurveElement arc(100.0, 0.01, 0.01, Point(0.0, 0.0), 0.0);
    for (double offset : { 3.0, -3.0 }) {
        const StationOffset so = arc.getStationOffset(arc.getCoordinate(40.0, offset));
        EXPECT_NEAR(so.station, 40.0, 1e-3);
        EXPECT_NEAR(so.offset, offset, 1e-6);
    }
    const StationOffset beyond = arc.getStationOffset(arc.getCoordinate(130.0, 2.0));
    EXPECT_GT(beyond.station, 100.0);
    EXPECT_NEAR(beyond.offset, 2.0, 1e-6);

    // Every heading, east and west included: the offset is measured on the normal at the foot, not
    // by dividing a coordinate difference by a cosine that vanishes there.
    for (int i = 0; i < 64; ++i) {
        // The foot at s = 40 heads exactly at `heading` (or a hair past east/west).
        const double heading = i * kPi / 32.0 + 1e-7;
        const CurveElement curve(100.0, 0.002, 0.012, Point(100.0, 200.0), heading - 40.0 * 0.004);
        for (double offset : { 3.0, -7.5 }) {
            double station = 0.0;
            double measured = 0.0;
            curve.getStationOffset(curve.getCoordinate(40.0, offset), station, measured);
            EXPECT_NEAR(station, 40.0, 1e-3) << heading;
            EXPECT_NEAR(measured, offset, 1e-5) << heading;
        }
    }
}

namespace {
// The integration as a plain node-by-node sum: 24 Simpson intervals, each node's azimuth asked of the
// curve, a sine and a cosine per node.
void simpsonByNodes(const CurveElement& curve, Point begin, double s, double& x, double& y)
{
    if (s == 0.0) {
        x = begin.getX();
        y = begin.getY();
        return;
    }
    const int intervals = 24;
    const double h = s / intervals;
    double sumX = 0.0;
    double sumY = 0.0;
    for (int i = 0; i <= intervals; ++i) {
        const double theta = curve.getAzimuthByArcLenth(i * h);
        const double weight = (i == 0 || i == intervals) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
        sumX += weight * std::cos(theta);
        sumY += weight * std::sin(theta);
    }
    x = begin.getX() + h / 3.0 * sumX;
    y = begin.getY() + h / 3.0 * sumY;
}

// A NaN's sign and payload depend on how the compiler orders an operation's operands: any NaN matches.
bool sameBits(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

// Stored end points and stakes come from this sum: the evaluation must give the node-by-node sum's
// bits exactly, for lines (whose nodes share one azimuth), arcs, spirals and the odd cases.
TEST(CurveElement, IntegrationGivesTheNodeByNodeSumBitForBit)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        double length, k1, k2, azimuth;
    };
    const Case cases[] = {
        { 100.0, 0.0, 0.0, 0.0 },
        { 100.0, 0.0, 0.0, -0.0 },
        { 100.0, -0.0, 0.0, 2.5 },
        { 87.5, 0.0, 0.0, 1e6 },
        { 100.0, 1 / 500.0, 1 / 500.0, 0.3 },
        { 100.0, -1 / 500.0, -1 / 500.0, 4.0 },
        { 50.0, 0.0, 1 / 500.0, 1.1 },
        { 50.0, -1 / 500.0, 0.0, 5.9 },
        { 80.0, 1 / 200.0, 1 / 100.0, -2.0 },
        { 0.0, 0.01, 0.02, 1.25 },
        { 1e-9, 0.0, 1e3, 0.0 },
        { 3000.0, 0.0, 0.05, 0.7 },
        { 100.0, 0.0, 0.0, nan },
        { 100.0, 0.0, inf, 0.0 },
    };
    for (const Case& c : cases) {
        const Point begin(1234.5, -678.25);
        const CurveElement curve(c.length, c.k1, c.k2, begin, c.azimuth);
        for (double s :
             { 0.0, -0.0, 1e-12, 0.37, 10.0, 33.3, 50.0, 87.5, 100.0, 150.0, -20.0, 1e7, nan, inf }) {
            double x = 0.0, y = 0.0, ex = 0.0, ey = 0.0;
            curve.getCoordinateByArcLength(s, x, y);
            simpsonByNodes(curve, begin, s, ex, ey);
            EXPECT_TRUE(sameBits(x, ex) && sameBits(y, ey))
                << c.length << " " << c.k1 << " " << c.k2 << " " << c.azimuth << " at " << s << ": " << x
                << " " << y << " against " << ex << " " << ey;
        }
    }
}
