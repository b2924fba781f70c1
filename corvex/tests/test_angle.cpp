#include <corvex/angle.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Pelko::Corvex;

namespace {
const double kPi = 4.0 * std::atan(1.0);
}

TEST(Angle, ConversionsKeepValueUnwrapped)
{
    EXPECT_EQ(Angle::fromDegree(180).toRadian(), kPi);
    EXPECT_EQ(Angle(Degree(180)).toRadian(), kPi);
    EXPECT_EQ(Angle(Radian(2.5)).toRadian(), 2.5);
    EXPECT_EQ(Angle::fromRadian(7.0).toRadian(), 7.0);
    EXPECT_EQ(Angle::fromRadian(-1.0).toRadian(), -1.0);
    EXPECT_DOUBLE_EQ(Angle(kPi / 2).toDegree(), 90.0);
    EXPECT_DOUBLE_EQ(Angle::fromDMS(10, 30, 36).toDegree(), 10.51);
    // A negative angle needs every component negative.
    EXPECT_DOUBLE_EQ(Angle::fromDMS(-10, -30, -36).toDegree(), -10.51);
    EXPECT_DOUBLE_EQ(Angle::fromDMS(DMS { -10, 30, 0 }).toDegree(), -9.5);
}
