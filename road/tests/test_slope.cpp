#include <road/slope.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using Pelko::Corvex::Point;
using namespace Pelko::Road;

namespace {
const double Inf = std::numeric_limits<double>::infinity();
}

TEST(Slope, ConvertsBetweenPercentageAndRatio)
{
    EXPECT_DOUBLE_EQ(Slope::fromDenominator(2).getPercentage(), 50.0);
    EXPECT_DOUBLE_EQ(Slope::fromPercentage(50).getDenominator(), 2.0);
    EXPECT_DOUBLE_EQ(Slope::fromDenominator(-4).getPercentage(), -25.0);
    EXPECT_DOUBLE_EQ(Slope::fromPercentage(-25).getDenominator(), -4.0);
    // Each form reports its own value untouched.
    EXPECT_EQ(Slope::fromPercentage(3.3).getPercentage(), 3.3);
    EXPECT_EQ(Slope::fromDenominator(1.7).getDenominator(), 1.7);

    for (double p : { 0.5, 2.0, 33.0, 150.0, -7.5 }) {
        const Slope there = Slope::fromDenominator(Slope::fromPercentage(p).getDenominator());
        EXPECT_NEAR(there.getPercentage(), p, 1e-12 * std::fabs(p));
    }

    const Slope flat;
    EXPECT_EQ(flat.getPercentage(), 0.0);
    EXPECT_EQ(flat.getDenominator(), Inf);
    EXPECT_EQ(flat.getNumerator(), 0);
    EXPECT_TRUE(flat.canUsePercentage());

    Slope s = Slope::fromPercentage(10);
    s.setDenominator(5);
    EXPECT_EQ(s.getDenominator(), 5.0);
    EXPECT_DOUBLE_EQ(s.getPercentage(), 20.0);
    s.setPercentage(4);
    EXPECT_EQ(s.getPercentage(), 4.0);
    EXPECT_DOUBLE_EQ(s.getDenominator(), 25.0);
    EXPECT_EQ(Slope::infinity(), Inf);
}

TEST(Slope, FlatAndVerticalThresholds)
{
    // 1e-5 separates a flat percentage and a vertical denominator from real values.
    EXPECT_EQ(Slope::fromPercentage(0.9e-5).getDenominator(), Inf);
    EXPECT_EQ(Slope::fromPercentage(-0.9e-5).getNumerator(), 0);
    EXPECT_DOUBLE_EQ(Slope::fromPercentage(2e-5).getDenominator(), 5e6);
    EXPECT_EQ(Slope::fromPercentage(2e-5).getNumerator(), 1);

    const Slope vertical = Slope::fromDenominator(0.9e-5);
    EXPECT_EQ(vertical.getPercentage(), Inf);
    EXPECT_FALSE(vertical.canUsePercentage());
    EXPECT_EQ(vertical.getNumerator(), 1);
    EXPECT_EQ(vertical * 3.0, Inf);
    EXPECT_TRUE(Slope::fromDenominator(1e-5).canUsePercentage());
    EXPECT_DOUBLE_EQ(Slope::fromDenominator(1e-5).getPercentage(), 1e7);
    EXPECT_EQ(Slope::fromDenominator(Inf).getPercentage(), 0.0);

    // A run under a millimetre is a vertical face, in either direction.
    for (double run : { 0.0005, -0.0009, 0.0 }) {
        const Slope f = Slope::fromFraction(1, run);
        EXPECT_EQ(f.getDenominator(), 0.0) << run;
        EXPECT_EQ(f.getPercentage(), Inf) << run;
        EXPECT_FALSE(f.canUsePercentage()) << run;
        EXPECT_EQ(f.getNumerator(), 1) << run;
    }
    EXPECT_DOUBLE_EQ(Slope::fromFraction(1, 0.001).getPercentage(), 100000.0);
    EXPECT_DOUBLE_EQ(Slope::fromFraction(-0.3, 2).getPercentage(), -15.0);
    EXPECT_TRUE(Slope::fromFraction(-0.3, 2).canUsePercentage());
}

TEST(Slope, RiseRunAndScaling)
{
    EXPECT_DOUBLE_EQ(10 * Slope::fromDenominator(2), 5.0);
    EXPECT_DOUBLE_EQ(10 * Slope::fromPercentage(50), 5.0);
    EXPECT_DOUBLE_EQ(Slope::fromDenominator(2) * 10, 5.0);
    EXPECT_DOUBLE_EQ(-4 * Slope::fromPercentage(2), -0.08);

    // Run for a rise, the inverse of the rise for a run.
    EXPECT_DOUBLE_EQ(3 / Slope::fromDenominator(2), 6.0);
    EXPECT_DOUBLE_EQ(3 / Slope::fromPercentage(50), 6.0);
    EXPECT_EQ(3 / Slope::fromDenominator(0), 0.0);
    EXPECT_EQ(3 / Slope::fromPercentage(0), Inf);
    for (double run : { 0.25, 4.0, 17.0 })
        EXPECT_NEAR((run * Slope::fromDenominator(1.5)) / Slope::fromDenominator(1.5), run, 1e-12);

    EXPECT_DOUBLE_EQ(Slope::fromDenominator(2) / 4, 0.125);
    EXPECT_DOUBLE_EQ(Slope::fromPercentage(50) / 4, 0.125);

    Slope r = Slope::fromDenominator(2);
    r *= -1;
    EXPECT_EQ(r.getDenominator(), -2.0);
    EXPECT_DOUBLE_EQ(r.getPercentage(), -50.0);
    Slope p = Slope::fromPercentage(50);
    p *= -1;
    EXPECT_EQ(p.getPercentage(), -50.0);
    EXPECT_DOUBLE_EQ(p.getDenominator(), -2.0);
    Slope twice = Slope::fromDenominator(3);
    twice *= 2;
    EXPECT_DOUBLE_EQ(twice.getDenominator(), 1.5);
    // Scaling a ratio by (nearly) nothing flattens it instead of dividing by zero.
    Slope none = Slope::fromDenominator(3);
    none *= 1e-6;
    EXPECT_EQ(none.getDenominator(), Inf);
    EXPECT_EQ(none.getPercentage(), 0.0);
}

TEST(SlopeNavigation, DefaultsAndFields)
{
    const SlopeNavigation empty;
    EXPECT_EQ(empty.getType(), SlopeSectionInvalid);
    EXPECT_FALSE(empty.getOffset().isValid());
    EXPECT_FALSE(empty.getElevation());
    EXPECT_EQ(empty.getOffset().getType(), SlopeElementInvalid);
    EXPECT_EQ(empty.getElevation().getDistance(), 0.0);

    const SlopeNavigationPoint below(SlopeElementSurface, Point(1, 2), -0.5, Point(3, 4), true);
    const SlopeNavigationPoint above(SlopeElementPlatform, Point(5, 6), 0.25, Point(7, 8), false);
    EXPECT_EQ(below.getElevation(), 1.0);
    EXPECT_EQ(below.getOffset(), 2.0);
    EXPECT_EQ(below.toBegin().getX(), 3.0);
    EXPECT_EQ(below.toBegin().getY(), 4.0);
    EXPECT_TRUE(below);
    EXPECT_FALSE(below.isPlatform());
    EXPECT_TRUE(above.isPlatform());
    // Signed order: a negative distance sorts before a smaller positive one.
    EXPECT_TRUE(below < above);
    EXPECT_FALSE(above < below);
    EXPECT_TRUE(SlopeNavigationPoint(SlopeElementRectangularDitch, Point(), 0, Point(), true).isDitch());
    EXPECT_TRUE(SlopeNavigationPoint(SlopeElementTrapezoidDitch, Point(), 0, Point(), true).isDitch());
    EXPECT_FALSE(above.isDitch());

    const SlopeNavigation nav(SlopeSectionCut, below, above, Point(9, 10));
    const SlopeNavigation copy = nav;
    EXPECT_EQ(copy.getType(), SlopeSectionCut);
    EXPECT_EQ(copy.getRover().getY(), 10.0);
    EXPECT_EQ(copy.getOffset().getDistance(), -0.5);
    EXPECT_EQ(copy.getElevation().getDistance(), 0.25);
}
