#include <corvex/angle.h>

#include <gtest/gtest.h>

#include <climits>
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
    EXPECT_EQ(Angle().toRadian(), 0.0);
    EXPECT_EQ(Angle::fromRadian(7.0).toRadian(), 7.0);
    EXPECT_EQ(Angle::fromRadian(-1.0).toRadian(), -1.0);
    EXPECT_EQ(Angle::fromDegree(720).toRadian(), 4 * kPi);
    EXPECT_DOUBLE_EQ(Angle(kPi / 2).toDegree(), 90.0);
    EXPECT_DOUBLE_EQ(Angle::fromDMS(10, 30, 36).toDegree(), 10.51);
    // A negative angle needs every component negative; mixed signs simply add up.
    EXPECT_DOUBLE_EQ(Angle::fromDMS(-10, -30, -36).toDegree(), -10.51);
    EXPECT_DOUBLE_EQ(Angle::fromDMS(DMS { -10, 30, 0 }).toDegree(), -9.5);
}

TEST(Angle, ToDmsTruncates)
{
    DMS dms = Angle::fromDegree(30.5).toDMS();
    EXPECT_EQ(dms.degrees, 30);
    EXPECT_EQ(dms.minutes, 30);
    EXPECT_NEAR(dms.seconds, 0.0, 1e-9);

    int d = 0, m = 0;
    double s = 0;
    Angle::fromDegree(-30.5).toDMS(d, m, s);
    EXPECT_EQ(d, -30);
    EXPECT_EQ(m, -30);
    EXPECT_NEAR(s, 0.0, 1e-9);

    // Just below a whole degree: truncation gives 59' and nearly 60", never 11° 0' 0".
    dms = Angle::fromDegree(11.0 - 1e-9).toDMS();
    EXPECT_EQ(dms.degrees, 10);
    EXPECT_EQ(dms.minutes, 59);
    EXPECT_GT(dms.seconds, 59.99);
    EXPECT_LT(dms.seconds, 60.0);

    dms = Angle::fromDegree(-(11.0 - 1e-9)).toDMS();
    EXPECT_EQ(dms.degrees, -10);
    EXPECT_EQ(dms.minutes, -59);
    EXPECT_LT(dms.seconds, -59.99);

    // Below one degree the degree part is 0 and the sign moves to the minutes.
    dms = Angle::fromDMS(0, -15, -30).toDMS();
    EXPECT_EQ(dms.degrees, 0);
    EXPECT_EQ(dms.minutes, -15);
    EXPECT_NEAR(dms.seconds, -30.0, 1e-8);

    // Round trip.
    for (double g : { 0.0, 1.25, 123.456789, -359.999, 1000.1 }) {
        const Angle a = Angle::fromDegree(g);
        EXPECT_NEAR(Angle::fromDMS(a.toDMS()).toDegree(), g, 1e-10) << g;
    }

    // Values beyond int or NaN stay defined (saturated, 0).
    dms = Angle::fromDegree(1e300).toDMS();
    EXPECT_EQ(dms.degrees, INT_MAX);
    dms = Angle(std::numeric_limits<double>::quiet_NaN()).toDMS();
    EXPECT_EQ(dms.degrees, 0);
    EXPECT_EQ(dms.minutes, 0);
}

TEST(Angle, ValidityAndBothEqualities)
{
    EXPECT_TRUE(Angle(std::numeric_limits<double>::infinity()).isValid());
    EXPECT_FALSE(Angle(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_TRUE(Angle(-3.0).isValid());

    const Angle a(0.0);
    const Angle b(1e-17);
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a.equals(b));
    EXPECT_FALSE(a != b);
    EXPECT_FALSE(exactlyEqual(a, b));
    EXPECT_TRUE(exactlyEqual(a, Angle(0.0)));

    // The tolerance is strict and absolute.
    EXPECT_FALSE(Angle(0.0) == Angle(1e-16));
    EXPECT_TRUE(Angle(1.0) != Angle(1.0 + 1e-15));
}

TEST(Angle, ArithmeticAndTrigonometry)
{
    const Angle a(1.5);
    const Angle b(0.25);
    EXPECT_EQ((a + b).toRadian(), 1.75);
    EXPECT_EQ((a - b).toRadian(), 1.25);
    EXPECT_EQ((b - a).toRadian(), -1.25); // no wrapping
    EXPECT_EQ((-a).toRadian(), -1.5);
    EXPECT_EQ((a * 4.0).toRadian(), 6.0);
    EXPECT_EQ((4.0 * a).toRadian(), 6.0);
    EXPECT_EQ((a / 3.0).toRadian(), 0.5);
    Angle c = a;
    c += Angle(10.0);
    EXPECT_EQ(c.toRadian(), 11.5);
    c -= Angle(12.0);
    EXPECT_EQ(c.toRadian(), -0.5);

    const Angle t = Angle::fromDegree(30);
    EXPECT_NEAR(sinA(t), 0.5, 1e-15);
    EXPECT_NEAR(cosA(t), std::sqrt(3.0) / 2, 1e-15);
    EXPECT_NEAR(tanA(t), 1 / std::sqrt(3.0), 1e-15);

    // Out-of-domain arguments are clamped instead of giving NaN.
    EXPECT_EQ(acosA(1.0000001).toRadian(), 0.0);
    EXPECT_EQ(acosA(-5).toRadian(), kPi);
    EXPECT_EQ(asinA(-2).toRadian(), -kPi / 2);
    EXPECT_NEAR(acosA(0.5).toDegree(), 60.0, 1e-12);
    EXPECT_NEAR(asinA(0.5).toDegree(), 30.0, 1e-12);
    EXPECT_NEAR(atanA(1.0).toRadian(), kPi / 4, 1e-15);

    EXPECT_NEAR(absA(Angle::fromDegree(-30)).toDegree(), 30.0, 1e-12);
    EXPECT_NEAR(absA(Angle(2.0)).toRadian(), 2.0, 1e-15);
    EXPECT_NEAR(absA(Angle(-9.0)).toRadian(), 9.0, 1e-14);
}
