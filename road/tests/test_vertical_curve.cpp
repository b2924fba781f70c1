#include <road/verticalcurve.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Pelko::Road;

namespace {

// Runs the curve through the sequence the owning element uses.
void build(VerticalCurve& c, VerticalPoi const& poi)
{
    c.updateTangentLengths(poi);
    c.updateStations(poi);
    c.setElevations(poi.elevation - (poi.station - c.getStartStation()) * poi.gradeIn,
                    poi.elevation + (c.getEndStation() - poi.station) * poi.gradeOut);
    c.updateCoefficients(poi);
}

double at(VerticalCurve const& c, VerticalPoi const& poi, double s)
{
    bool ok = false;
    double const e = c.calcElevation(poi, s, &ok);
    EXPECT_TRUE(ok) << "station " << s;
    return e;
}

double slope(VerticalCurve const& c, VerticalPoi const& poi, double s)
{
    double const h = 1e-4;
    return (at(c, poi, s + h) - at(c, poi, s - h)) / (2 * h);
}

} // namespace

TEST(VerticalCurve, SymmetricParabolaMatchesClosedForms)
{
    // Crest: g1 = 2 %, g2 = -1 %, R = 3000 at (100, 102).
    VerticalPoi const poi { 100.0, 102.0, 0.02, -0.01 };
    VerticalSymparabola c(3000.0);
    build(c, poi);
    EXPECT_EQ(c.getType(), VerticalSymparabolaType);
    EXPECT_DOUBLE_EQ(c.getRadius(), 3000.0);
    EXPECT_NEAR(c.getInTangent(), 45.0, 1e-12);
    EXPECT_NEAR(c.getOutTangent(), 45.0, 1e-12);
    EXPECT_NEAR(c.getStartStation(), 55.0, 1e-12);
    EXPECT_NEAR(c.getEndStation(), 145.0, 1e-12);

    // Tangent points sit on the grade lines and the curve leaves them along the grades.
    EXPECT_NEAR(at(c, poi, 55.0), 101.1, 1e-9);
    EXPECT_NEAR(at(c, poi, 145.0), 101.55, 1e-9);
    EXPECT_NEAR(slope(c, poi, 55.0 + 1e-3), 0.02, 1e-6);
    EXPECT_NEAR(slope(c, poi, 145.0 - 1e-3), -0.01, 1e-6);

    // Mid-ordinate (g1 - g2) L / 8 below the PI; both branches agree there.
    EXPECT_NEAR(at(c, poi, 100.0), 102.0 - 0.03 * 90.0 / 8.0, 1e-9);
    EXPECT_NEAR(at(c, poi, 100.0 - 1e-9), at(c, poi, 100.0 + 1e-9), 1e-9);

    // High point R g1 after the start: 101.1 + g1² R / 2.
    EXPECT_NEAR(at(c, poi, 115.0), 101.1 + 0.02 * 0.02 * 3000.0 / 2.0, 1e-9);
    EXPECT_NEAR(slope(c, poi, 115.0), 0.0, 1e-6);
    for (double s = 55.0; s <= 145.0; s += 1.0)
        EXPECT_LE(at(c, poi, s), 101.7 + 1e-9);

    // Sag: the curve lies above both grade lines.
    VerticalPoi const sag { 0.0, 10.0, -0.03, 0.02 };
    VerticalSymparabola c2(2000.0);
    build(c2, sag);
    EXPECT_NEAR(c2.getInTangent(), 50.0, 1e-12);
    EXPECT_NEAR(at(c2, sag, 0.0), 10.0 + 0.05 * 100.0 / 8.0, 1e-9);
    // Low point 60 m after S1 = -50.
    EXPECT_NEAR(slope(c2, sag, 10.0), 0.0, 1e-6);

    // The sign of a radius says nothing; crest or sag follows from the grades.
    VerticalSymparabola neg(-3000.0);
    build(neg, poi);
    EXPECT_NEAR(neg.getInTangent(), 45.0, 1e-12);
    EXPECT_NEAR(at(neg, poi, 100.0), at(c, poi, 100.0), 1e-12);
}

TEST(VerticalCurve, CircularCurveIsAnArcTangentToBothGrades)
{
    double const r = 3000.0;
    for (VerticalPoi const poi :
         { VerticalPoi { 100.0, 102.0, 0.02, -0.01 }, VerticalPoi { 50.0, 7.0, -0.04, 0.03 } }) {
        VerticalCircular c(r);
        build(c, poi);
        double const a1 = std::atan(poi.gradeIn);
        double const a2 = std::atan(poi.gradeOut);
        double const t = std::fabs(std::tan((a2 - a1) / 2)) * r;
        EXPECT_EQ(c.getType(), VerticalCircularType);
        EXPECT_NEAR(c.getInTangent(), t, 1e-12);
        EXPECT_NEAR(c.getStartStation(), poi.station - std::cos(a1) * t, 1e-9);
        EXPECT_NEAR(c.getEndStation(), poi.station + std::cos(a2) * t, 1e-9);

        // Both tangent points, at distance T along each grade from the PI, lie on the arc.
        EXPECT_NEAR(at(c, poi, c.getStartStation()), poi.elevation - std::sin(a1) * t, 1e-9);
        EXPECT_NEAR(at(c, poi, c.getEndStation()), poi.elevation + std::sin(a2) * t, 1e-9);
        EXPECT_NEAR(slope(c, poi, c.getStartStation() + 1e-3), poi.gradeIn, 1e-5);
        EXPECT_NEAR(slope(c, poi, c.getEndStation() - 1e-3), poi.gradeOut, 1e-5);

        // Every point is R from the centre; the extreme point is straight above or below it.
        double const sigma = poi.gradeOut > poi.gradeIn ? 1.0 : -1.0;
        for (double s = c.getStartStation(); s <= c.getEndStation(); s += 5.0)
            EXPECT_NEAR(std::hypot(s - c.getCenterStation(), at(c, poi, s) - c.getCenterElevation()), r,
                        1e-8);
        EXPECT_NEAR(at(c, poi, c.getCenterStation()), c.getCenterElevation() - sigma * r, 1e-9);
        EXPECT_NEAR(slope(c, poi, c.getCenterStation()), 0.0, 1e-6);

        // External distance: the PI lies R / cos(Δ/2) from the centre, R (sec(Δ/2) - 1) off the arc.
        double const half = (a2 - a1) / 2;
        EXPECT_NEAR(std::hypot(poi.station - c.getCenterStation(), poi.elevation - c.getCenterElevation()),
                    r / std::cos(half), 1e-8);
    }
}

TEST(VerticalCurve, AsymmetricParabolaJoinsItsTangentPoints)
{
    VerticalPoi const poi { 100.0, 50.0, 0.02, -0.03 };
    VerticalAsymparabola c(-40.0, 60.0);
    build(c, poi);
    EXPECT_EQ(c.getType(), VerticalAsymparabolaType);
    EXPECT_TRUE(std::isinf(c.getRadius()));
    EXPECT_DOUBLE_EQ(c.getInLength(), 40.0);
    EXPECT_DOUBLE_EQ(c.getInTangent(), 40.0);
    EXPECT_DOUBLE_EQ(c.getOutTangent(), 60.0);
    EXPECT_DOUBLE_EQ(c.getStartStation(), 60.0);
    EXPECT_DOUBLE_EQ(c.getEndStation(), 160.0);

    EXPECT_NEAR(at(c, poi, 60.0), 49.2, 1e-9);
    EXPECT_NEAR(at(c, poi, 160.0), 48.2, 1e-9);
    EXPECT_NEAR(slope(c, poi, 60.0 + 1e-3), 0.02, 1e-5);
    EXPECT_NEAR(slope(c, poi, 160.0 - 1e-3), -0.03, 1e-5);
    // At the PI: the common slope (g1 L1 + g2 L2) / (L1 + L2) = -0.01, and the curve
    // lies L1 L2 (g1 - g2) / (2 (L1 + L2)) below the PI.
    EXPECT_NEAR(slope(c, poi, 100.0), -0.01, 1e-6);
    EXPECT_NEAR(at(c, poi, 100.0), 50.0 - 40.0 * 60.0 * 0.05 / 200.0, 1e-9);

    // A side of zero length gives a finite curve (the other side's half-parabola).
    VerticalAsymparabola half(0.0, 60.0);
    build(half, poi);
    EXPECT_TRUE(std::isfinite(at(half, poi, 100.0 - 0.0005)));
    EXPECT_NEAR(at(half, poi, 100.0), 50.0, 1e-9);
    EXPECT_NEAR(at(half, poi, 160.0), 48.2, 1e-9);
    VerticalAsymparabola none(0.0, 0.0);
    build(none, poi);
    EXPECT_NEAR(at(none, poi, 100.0), 50.0, 1e-12);
}

TEST(VerticalCurve, RangeEqualGradesNoneAndClone)
{
    VerticalPoi const poi { 100.0, 102.0, 0.02, -0.01 };
    VerticalSymparabola c(3000.0);
    build(c, poi);
    bool ok = false;
    EXPECT_NE(c.calcElevation(poi, 145.0005, &ok), 0.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(c.calcElevation(poi, 145.002, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(c.calcElevation(poi, 54.998, &ok), 0.0);
    EXPECT_FALSE(ok);
    c.calcElevation(poi, 54.9995, nullptr); // ok may be omitted

    // Equal grades: no curve of any kind, even with an infinite radius.
    VerticalPoi const flat { 0.0, 5.0, 0.01, 0.01 };
    VerticalSymparabola s(1000.0);
    VerticalCircular k(1000.0);
    VerticalSymparabola inf(std::numeric_limits<double>::infinity());
    for (VerticalCurve* curve : { static_cast<VerticalCurve*>(&s), static_cast<VerticalCurve*>(&k),
                                  static_cast<VerticalCurve*>(&inf) }) {
        build(*curve, flat);
        EXPECT_EQ(curve->getInTangent(), 0.0);
        EXPECT_EQ(curve->getOutTangent(), 0.0);
        EXPECT_EQ(curve->getStartStation(), curve->getEndStation());
        EXPECT_NEAR(at(*curve, flat, 0.0), 5.0, 1e-12);
    }

    VerticalNone n;
    build(n, poi);
    EXPECT_EQ(n.getType(), VerticalNoneType);
    EXPECT_TRUE(std::isinf(n.getRadius()));
    EXPECT_EQ(n.getStartStation(), 100.0);
    EXPECT_EQ(n.getEndStation(), 100.0);
    EXPECT_EQ(n.calcElevation(poi, 100.0009, &ok), 102.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(n.calcElevation(poi, 100.001, &ok), 0.0);
    EXPECT_FALSE(ok);

    // A clone carries the state and is independent of the original.
    auto copy = c.clone();
    EXPECT_EQ(copy->getType(), VerticalSymparabolaType);
    EXPECT_DOUBLE_EQ(copy->getStartStation(), 55.0);
    build(c, VerticalPoi { 0.0, 0.0, 0.0, 0.1 });
    EXPECT_DOUBLE_EQ(copy->getStartStation(), 55.0);
    EXPECT_NEAR(at(*copy, poi, 100.0), 101.6625, 1e-9);
}
