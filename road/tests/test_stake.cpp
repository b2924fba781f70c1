#include <road/stake.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace Pelko::Road;
using Pelko::Corvex::Angle;
using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;

namespace {
double const halfPi = 2.0 * std::atan(1.0);
}

TEST(Stake, DefaultAndBuiltStakes)
{
    Stake const none;
    EXPECT_FALSE(none.isValid());
    EXPECT_FALSE(static_cast<bool>(none));
    EXPECT_EQ(none.getType(), Stake::Unset);
    EXPECT_EQ(none.getStation(), 0.0);
    EXPECT_EQ(none.getStationAfter(), 0.0);
    EXPECT_EQ(none.getPoint(), Point3D(0, 0, 0));
    EXPECT_EQ(none.getOffset().getX(), 0.0);
    EXPECT_EQ(none.getOffset().getY(), 0.0);
    EXPECT_TRUE(std::isnan(none.getRover().north()) && std::isnan(none.getRover().east())
                && std::isnan(none.getRover().height()));
    EXPECT_EQ(none.getAzimuth().toRadian(), 0.0);
    EXPECT_FALSE(none.isElevationValid());

    // Enumerator values are what the stake list and the check tools store and compare.
    EXPECT_EQ(int(Stake::IntervalStation), 0);
    EXPECT_EQ(int(Stake::AlignmentBegin), 1);
    EXPECT_EQ(int(Stake::AlignmentEnd), 2);
    EXPECT_EQ(int(Stake::ElementBoundary), 3);
    EXPECT_EQ(int(Stake::ArcMidpoint), 10);
    EXPECT_EQ(sizeof(Stake::Type), 4u);

    Stake::Builder builder;
    Stake const s = builder.setType(Stake::ArcMidpoint)
                        .setStation(1234.5)
                        .setStationAfter(1200.5)
                        .setAzimuth(1.25)
                        .setDesigned(Point3D(10, 20, 30))
                        .setOffset(-3.5)
                        .setRover(Point3D(11, 21, 31))
                        .create(false);
    EXPECT_TRUE(s.isValid());
    EXPECT_EQ(s.getType(), Stake::ArcMidpoint);
    EXPECT_EQ(s.getStation(), 1234.5);
    EXPECT_EQ(s.getStationAfter(), 1200.5);
    EXPECT_EQ(s.getAzimuth().toRadian(), 1.25);
    EXPECT_EQ(s.getPoint(), Point3D(10, 20, 30));
    EXPECT_EQ(s.getOffset().getX(), -3.5);
    EXPECT_TRUE(std::isnan(s.getOffset().getY()));
    EXPECT_EQ(s.getRover(), Point3D(11, 21, 31));
    EXPECT_TRUE(s.isElevationValid());

    // Without reset the builder keeps its stake; a copy of the builder shares it.
    Stake::Builder copy = builder;
    copy.setOffset(Point(2, 0.5));
    Stake const t = builder.create();
    EXPECT_EQ(t.getType(), Stake::ArcMidpoint);
    EXPECT_EQ(t.getOffset().getY(), 0.5);
    // create(true) started afresh: a stake never given a type becomes an interval station.
    Stake const u = copy.setStation(7).create();
    EXPECT_EQ(u.getType(), Stake::IntervalStation);
    EXPECT_TRUE(u.isValid());
    EXPECT_TRUE(u.isElevationValid());
    EXPECT_EQ(u.getStation(), 7.0);
    EXPECT_EQ(u.getPoint(), Point3D(0, 0, 0));
    EXPECT_EQ(builder.setType(Stake::AlignmentEnd).reset().create().getType(), Stake::IntervalStation);

    Stake assigned;
    assigned.assign(s);
    EXPECT_EQ(assigned.getType(), s.getType());
    EXPECT_EQ(assigned.getStationAfter(), s.getStationAfter());
    EXPECT_EQ(assigned.getRover(), s.getRover());
    EXPECT_TRUE(assigned.isElevationValid());
}

TEST(Stake, OffsetAndSectionDifference)
{
    Stake::Builder builder;
    Stake const north = builder.setType(Stake::ElementBoundary)
                            .setStation(500)
                            .setAzimuth(0.0)
                            .setDesigned(Point3D(1000, 2000, 50))
                            .create();

    Stake const right = north.getOffseted(5);
    EXPECT_NEAR(right.getPoint().north(), 1000.0, 1e-12);
    EXPECT_NEAR(right.getPoint().east(), 2005.0, 1e-12);
    EXPECT_EQ(right.getPoint().height(), 50.0);
    EXPECT_EQ(right.getOffset().getX(), 5.0);
    EXPECT_EQ(right.getOffset().getY(), 0.0);
    EXPECT_EQ(right.getType(), Stake::ElementBoundary);
    EXPECT_EQ(right.getStation(), 500.0);
    // The original is untouched.
    EXPECT_EQ(north.getPoint(), Point3D(1000, 2000, 50));

    Stake const ahead = north.getOffseted(4, Angle(0.0));
    EXPECT_NEAR(ahead.getPoint().north(), 1004.0, 1e-12);
    EXPECT_NEAR(ahead.getPoint().east(), 2000.0, 1e-12);
    Stake const leftUp = north.getOffseted(-3, 1.5, Angle(halfPi));
    EXPECT_NEAR(leftUp.getPoint().east(), 1997.0, 1e-12);
    EXPECT_EQ(leftUp.getPoint().height(), 51.5);
    EXPECT_EQ(leftUp.getOffset().getX(), -3.0);
    EXPECT_EQ(leftUp.getOffset().getY(), 1.5);

    // 2 m ahead and 1 m to the right: (ahead, left, dH) = (2, -1, dH).
    Point3D const d = north.getSectionDifference(Point3D(1002, 2001, 49.25), Angle(0.0));
    EXPECT_NEAR(d.x(), 2.0, 1e-12);
    EXPECT_NEAR(d.y(), -1.0, 1e-12);
    EXPECT_EQ(d.z(), -0.75);

    // The same relation holds along any azimuth, e.g. heading east.
    Stake const east = builder.setAzimuth(halfPi).setDesigned(Point3D(0, 0, 0)).create();
    Point3D const p = east.getOffseted(1, Angle(halfPi)).getOffseted(2, Angle(0.0)).getPoint();
    Point3D const e = east.getSectionDifference(p, Angle(0.0));
    EXPECT_NEAR(e.x(), 2.0, 1e-12);
    EXPECT_NEAR(e.y(), -1.0, 1e-12);
    // Turning the frame by w = 90° swaps ahead for the right-hand direction.
    Point3D const w = east.getSectionDifference(p, Angle(halfPi));
    EXPECT_NEAR(w.x(), 1.0, 1e-12);
    EXPECT_NEAR(w.y(), 2.0, 1e-12);
}
