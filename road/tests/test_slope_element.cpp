#include <road/slopesectionelement.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using Pelko::Corvex::Point;
using namespace Pelko::Road;

namespace {

const double Inf = std::numeric_limits<double>::infinity();

void expectPoint(const Point& p, double x, double y, const char* what = "")
{
    EXPECT_NEAR(p.getX(), x, 1e-12) << what;
    EXPECT_NEAR(p.getY(), y, 1e-12) << what;
}

void expectPoints(const std::vector<Point>& points, const std::vector<Point>& expected)
{
    ASSERT_EQ(points.size(), expected.size());
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].getX(), expected[i].getX(), 1e-12) << "point " << i;
        EXPECT_NEAR(points[i].getY(), expected[i].getY(), 1e-12) << "point " << i;
    }
}

} // namespace

TEST(SlopeSectionElement, DefaultElementsByType)
{
    const SlopeSectionElement surface;
    EXPECT_EQ(surface.getType(), SlopeElementSurface);
    EXPECT_EQ(surface.getSlope().getDenominator(), 1.0);
    EXPECT_EQ(surface.getWidth(), 0.0);
    EXPECT_TRUE(surface);

    const SlopeSectionElement platform(SlopeElementPlatform);
    EXPECT_EQ(platform.getSlope().getPercentage(), 0.0);

    const SlopeSectionElement ditch(SlopeElementTrapezoidDitch);
    EXPECT_EQ(ditch.getType(), SlopeElementTrapezoidDitch);
    EXPECT_EQ(ditch.getWidth(), 0.0);
    EXPECT_EQ(ditch.getHeight(), 0.0);
    EXPECT_EQ(ditch.getPoints().size(), 4u);

    for (auto type : { SlopeElementInvalid, static_cast<SlopeSectionElementType>(7) }) {
        const SlopeSectionElement invalid(type);
        EXPECT_EQ(invalid.getType(), SlopeElementInvalid);
        EXPECT_FALSE(invalid);
        EXPECT_EQ(invalid.getSlope().getDenominator(), 1.0);
        EXPECT_TRUE(invalid.getPoints().empty());
        EXPECT_TRUE(invalid.getSectionPoints().empty());
        EXPECT_FALSE(invalid.getElevationByOffset(Point(0, 0), true).isValid());
        EXPECT_FALSE(invalid.getOffsetByElevation(Point(0, 0), true).isValid());
    }
}

TEST(SlopeSectionElement, SurfaceAndPlatformFactories)
{
    const SlopeSectionElement s = SlopeSectionElement::createSlope("s", 2, 1.5);
    EXPECT_EQ(s.getName(), "s");
    EXPECT_EQ(s.getType(), SlopeElementSurface);
    EXPECT_DOUBLE_EQ(s.getWidth(), 3.0);
    EXPECT_EQ(s.getHeight(), 2.0);
    EXPECT_EQ(s.getSlope().getDenominator(), 1.5);
    expectPoints(s.getPoints(), { Point(0, 0), Point(2, 3) });
    expectPoint(s.getCenterPoint(), 1, 1.5);
    const std::vector<SlopeSectionPoint> section = s.getSectionPoints();
    ASSERT_EQ(section.size(), 2u);
    EXPECT_EQ(section[0].kind, SlopeSectionPoint::BreakPoint);
    EXPECT_EQ(section[1].kind, SlopeSectionPoint::BreakPoint);
    const SlopeSectionElement::ElementParameters p = s.getParameters();
    EXPECT_EQ(p.type, SlopeElementSurface);
    EXPECT_EQ(p.name, "s");
    EXPECT_EQ(p.values[0], 3.0);
    EXPECT_EQ(p.values[1], 2.0);
    EXPECT_EQ(p.values[4], 3.0);
    EXPECT_EQ(p.slope.getDenominator(), 1.5);

    EXPECT_DOUBLE_EQ(SlopeSectionElement::createSlopeByWidthAndHeight("w", 3, 2).getSlope().getDenominator(),
                     1.5);
    const SlopeSectionElement level = SlopeSectionElement::createSlopeByWidthAndHeight("w", 3, 0.0009);
    EXPECT_EQ(level.getSlope().getDenominator(), Inf);
    EXPECT_EQ(level.getWidth(), 3.0);

    const SlopeSectionElement bySlope = SlopeSectionElement::createPlatformBySlope("p", 2, 2);
    EXPECT_EQ(bySlope.getType(), SlopeElementPlatform);
    EXPECT_DOUBLE_EQ(bySlope.getHeight(), 0.04);
    EXPECT_EQ(bySlope.getSlope().getPercentage(), 2.0);

    const SlopeSectionElement byHeight = SlopeSectionElement::createPlatformByHeight("p", 4, 0.1);
    EXPECT_EQ(byHeight.getType(), SlopeElementPlatform);
    EXPECT_DOUBLE_EQ(byHeight.getSlope().getPercentage(), 2.5);
    EXPECT_EQ(byHeight.getHeight(), 0.1);
    for (double width : { 0.0005, -0.0009, std::nan("") }) {
        const SlopeSectionElement narrow = SlopeSectionElement::createPlatformByHeight("p", width, 1);
        EXPECT_FALSE(narrow) << width;
        EXPECT_EQ(narrow.getName(), "");
        EXPECT_EQ(narrow.getSlope().getDenominator(), 1.0);
    }
    EXPECT_TRUE(SlopeSectionElement::createPlatformByHeight("p", -0.001, 1));
}

TEST(SlopeSectionElement, SpecializePlacesTurnsAndMirrors)
{
    const SlopeSectionElement s = SlopeSectionElement::createSlope("s", 2, 1.5);

    const SlopeSectionElement leftFill = s.specialize(Point(10, -5), SlopeSectionFill, SlopeSideLeft);
    expectPoint(leftFill.getStartingPoint(), 10, -5);
    expectPoint(leftFill.getEndingPoint(), 8, -8);
    EXPECT_EQ(leftFill.getSlope().getDenominator(), -1.5);
    // The template element stays neutral.
    EXPECT_EQ(s.getHeight(), 2.0);
    EXPECT_DOUBLE_EQ(s.getWidth(), 3.0);
    expectPoint(s.getStartingPoint(), 0, 0);

    expectPoint(s.specialize(Point(1, 2), SlopeSectionCut, SlopeSideRight).getEndingPoint(), 3, 5);
    expectPoint(s.specialize(Point(1, -2), SlopeSectionCut, SlopeSideLeft).getEndingPoint(), 3, -5);
    expectPoint(s.specialize(Point(1, 2), SlopeSectionFill, SlopeSideRight).getEndingPoint(), -1, 5);
    // A neutral side keeps the widths' sign.
    expectPoint(s.specialize(Point(0, 0), SlopeSectionCut, SlopeSideNeutral).getEndingPoint(), 2, 3);

    const SlopeSectionElement platform = SlopeSectionElement::createPlatformBySlope("p", 2, 2);
    const SlopeSectionElement placed = platform.specialize(Point(0, 0), SlopeSectionFill, SlopeSideLeft);
    expectPoint(placed.getEndingPoint(), -0.04, -2);
    EXPECT_EQ(placed.getSlope().getPercentage(), -2.0);
}

TEST(SlopeSectionElement, SurfaceQueriesInsideAtTheEndsAndExtended)
{
    // Right cut surface (0, 0) -> (2, 3).
    const SlopeSectionElement s = SlopeSectionElement::createSlope("s", 2, 1.5)
                                      .specialize(Point(0, 0), SlopeSectionCut, SlopeSideRight);

    const SlopeNavigationPoint e = s.getElevationByOffset(Point(5, 1.5), false);
    EXPECT_TRUE(e.isValid());
    EXPECT_EQ(e.getType(), SlopeElementSurface);
    EXPECT_NEAR(e.getElevation(), 1.0, 1e-12);
    EXPECT_EQ(e.getOffset(), 1.5);
    EXPECT_NEAR(e.getDistance(), 4.0, 1e-12);
    expectPoint(e.toBegin(), 5, 1.5);
    // Both ends belong to the element.
    EXPECT_TRUE(s.getElevationByOffset(Point(0, 0), false).isValid());
    EXPECT_NEAR(s.getElevationByOffset(Point(0, 3), false).getElevation(), 2.0, 1e-12);
    EXPECT_FALSE(s.getElevationByOffset(Point(0, 3.01), false).isValid());
    EXPECT_FALSE(s.getElevationByOffset(Point(0, -0.01), false).isValid());
    const SlopeNavigationPoint beyond = s.getElevationByOffset(Point(0, 4.5), true);
    EXPECT_TRUE(beyond.isValid());
    EXPECT_NEAR(beyond.getElevation(), 3.0, 1e-12);
    EXPECT_NEAR(beyond.getDistance(), -3.0, 1e-12);

    const SlopeNavigationPoint o = s.getOffsetByElevation(Point(1, 10), false);
    EXPECT_TRUE(o.isValid());
    EXPECT_NEAR(o.getOffset(), 1.5, 1e-12);
    EXPECT_NEAR(o.getDistance(), 8.5, 1e-12);
    EXPECT_TRUE(s.getOffsetByElevation(Point(2, 0), false).isValid());
    EXPECT_FALSE(s.getOffsetByElevation(Point(3, 0), false).isValid());
    EXPECT_NEAR(s.getOffsetByElevation(Point(3, 0), true).getOffset(), 4.5, 1e-12);
    EXPECT_NEAR(s.getOffsetByElevation(Point(-1, 0), true).getOffset(), -1.5, 1e-12);

    // Left fill surface (10, -5) -> (8, -8): offsets run negative, elevations fall.
    const SlopeSectionElement l = SlopeSectionElement::createSlope("s", 2, 1.5)
                                      .specialize(Point(10, -5), SlopeSectionFill, SlopeSideLeft);
    EXPECT_NEAR(l.getElevationByOffset(Point(0, -6.5), false).getElevation(), 9.0, 1e-12);
    EXPECT_FALSE(l.getElevationByOffset(Point(0, -9.5), false).isValid());
    EXPECT_NEAR(l.getElevationByOffset(Point(0, -9.5), true).getElevation(), 7.0, 1e-12);
    EXPECT_NEAR(l.getOffsetByElevation(Point(9, 0), false).getOffset(), -6.5, 1e-12);
    expectPoint(l.getElevationByOffset(Point(12, -6), false).toBegin(), 2, -1);

    const SlopeSectionElement::ContainsResult on = s.contains(Point(1, 1.5));
    EXPECT_TRUE(on.onSegment);
    EXPECT_TRUE(on.inElevationRange);
    EXPECT_TRUE(on.inOffsetRange);
    const SlopeSectionElement::ContainsResult off = s.contains(Point(3, 4.5));
    EXPECT_FALSE(off.onSegment);
    EXPECT_FALSE(off.inElevationRange);
    EXPECT_FALSE(off.inOffsetRange);
    // Elevation in range, offset out of range.
    const SlopeSectionElement::ContainsResult side = s.contains(Point(1, 3.5));
    EXPECT_TRUE(side.inElevationRange);
    EXPECT_FALSE(side.inOffsetRange);
}

TEST(SlopeSectionElement, VerticalFaceAndLevelPlatform)
{
    // 1:0 is a physically vertical face: one offset, many elevations.
    const SlopeSectionElement wall = SlopeSectionElement::createSlope("v", 2, 0).specialize(
        Point(0, 4), SlopeSectionCut, SlopeSideRight);
    expectPoints(wall.getPoints(), { Point(0, 4), Point(2, 4) });
    EXPECT_FALSE(wall.getSlope().canUsePercentage());
    EXPECT_FALSE(wall.getElevationByOffset(Point(1, 4), false).isValid());
    EXPECT_FALSE(wall.getElevationByOffset(Point(1, 4), true).isValid());
    const SlopeNavigationPoint across = wall.getOffsetByElevation(Point(1, 7), false);
    EXPECT_TRUE(across.isValid());
    EXPECT_EQ(across.getOffset(), 4.0);
    EXPECT_EQ(across.getDistance(), 3.0);
    EXPECT_FALSE(wall.getOffsetByElevation(Point(2.5, 7), false).isValid());
    const SlopeSectionElement::ContainsResult c = wall.contains(Point(1, 4));
    EXPECT_TRUE(c.inElevationRange);
    EXPECT_FALSE(c.inOffsetRange);

    // A level platform is the opposite: it never answers an offset query.
    const SlopeSectionElement level = SlopeSectionElement::createPlatformBySlope("p", 4, 0).specialize(
        Point(1, 0), SlopeSectionCut, SlopeSideRight);
    EXPECT_FALSE(level.getOffsetByElevation(Point(1, 2), true).isValid());
    const SlopeNavigationPoint up = level.getElevationByOffset(Point(1.5, 2), false);
    EXPECT_TRUE(up.isValid());
    EXPECT_EQ(up.getType(), SlopeElementPlatform);
    EXPECT_EQ(up.getElevation(), 1.0);
    EXPECT_EQ(up.getDistance(), 0.5);
    EXPECT_TRUE(level.contains(Point(1, 2)).inOffsetRange);
    EXPECT_FALSE(level.contains(Point(1, 2)).inElevationRange);
}

TEST(SlopeSectionElement, RectangularDitch)
{
    const SlopeSectionElement d = SlopeSectionElement::createSideDitch("d", 0.5, 1, 0.8);
    EXPECT_EQ(d.getType(), SlopeElementRectangularDitch);
    EXPECT_EQ(d.getName(), "d");
    // The inner and outer faces are vertical: each keeps one offset while the elevation changes.
    expectPoints(d.getPoints(), { Point(0, 0), Point(-0.5, 0), Point(-0.5, 1), Point(0.3, 1) });
    EXPECT_DOUBLE_EQ(d.getWidth(), 1.0);
    EXPECT_DOUBLE_EQ(d.getHeight(), 0.3);
    EXPECT_DOUBLE_EQ(d.getSlope().getPercentage(), 30.0);
    expectPoint(d.getEndingPoint(), 0.3, 1);
    const std::vector<SlopeSectionPoint> bottom = d.getSectionPoints();
    ASSERT_EQ(bottom.size(), 1u);
    EXPECT_EQ(bottom[0].kind, SlopeSectionPoint::DitchBottomCenter);
    expectPoint(bottom[0].point, -0.5, 0.5);
    const SlopeSectionElement::ElementParameters p = d.getParameters();
    EXPECT_EQ(p.values[0], 0.0);
    EXPECT_EQ(p.values[1], 0.5);
    EXPECT_EQ(p.values[2], 0.0);
    EXPECT_EQ(p.values[3], 0.8);
    EXPECT_EQ(p.values[4], 1.0);

    // Too small or unusable sizes make no ditch.
    EXPECT_FALSE(SlopeSectionElement::createSideDitch("d", 0.5, 0.0005, 0.8));
    EXPECT_FALSE(SlopeSectionElement::createSideDitch("d", 0.0009, 1, 0.8));
    EXPECT_FALSE(SlopeSectionElement::createSideDitch("d", 0.5, 1, -0.0009));
    EXPECT_FALSE(SlopeSectionElement::createSideDitch("d", std::nan(""), 1, 0.8));
    EXPECT_EQ(SlopeSectionElement::createSideDitch("d", 0.5, 0.0005, 0.8).getName(), "");

    // Queries are answered against the bottom centre.
    const SlopeNavigationPoint e = d.getElevationByOffset(Point(0.1, 0.7), false);
    EXPECT_TRUE(e.isValid());
    EXPECT_TRUE(e.isDitch());
    expectPoint(e.getPoint(), 0.6, 0.2);
    expectPoint(e.toBegin(), 0.6, 0.2);
    EXPECT_DOUBLE_EQ(e.getDistance(), 0.6);
    const SlopeNavigationPoint o = d.getOffsetByElevation(Point(0.1, 0.7), false);
    EXPECT_TRUE(o.isValid());
    EXPECT_DOUBLE_EQ(o.getDistance(), 0.2);
    EXPECT_FALSE(d.getElevationByOffset(Point(0.1, 1.2), true).isValid());
    EXPECT_FALSE(d.getOffsetByElevation(Point(0.4, 0.5), true).isValid());
    EXPECT_TRUE(d.getOffsetByElevation(Point(-0.5, 5), false).isValid());

    const SlopeSectionElement::ContainsResult inside = d.contains(Point(-0.2, 1));
    EXPECT_FALSE(inside.onSegment);
    EXPECT_TRUE(inside.inElevationRange);
    EXPECT_TRUE(inside.inOffsetRange);
}

TEST(SlopeSectionElement, TrapezoidDitchAndLeftPlacement)
{
    const SlopeSectionElement t = SlopeSectionElement::createSideDitch("t", 0.5, 0.5, 1, 0.8, 1.6);
    EXPECT_EQ(t.getType(), SlopeElementTrapezoidDitch);
    expectPoints(t.getPoints(), { Point(0, 0), Point(-0.5, 0.5), Point(-0.5, 1.5), Point(0.3, 3.1) });
    EXPECT_DOUBLE_EQ(t.getWidth(), 3.1);
    EXPECT_DOUBLE_EQ(t.getHeight(), 0.3);
    expectPoint(t.getSectionPoints()[0].point, -0.5, 1.0);
    const SlopeSectionElement::ElementParameters p = t.getParameters();
    const double expected[5] = { 0.5, 0.5, 1.6, 0.8, 1.0 };
    for (int i = 0; i < 5; ++i)
        EXPECT_DOUBLE_EQ(p.values[i], expected[i]) << i;
    // Sizes are magnitudes.
    expectPoints(SlopeSectionElement::createSideDitch("t", -0.5, -0.5, -1, -0.8, -1.6).getPoints(),
                 t.getPoints());

    // On the left the ditch runs to negative offsets; fill and cut place it alike.
    const SlopeSectionElement left = t.specialize(Point(1, -4), SlopeSectionFill, SlopeSideLeft);
    expectPoints(left.getPoints(), { Point(1, -4), Point(0.5, -4.5), Point(0.5, -5.5), Point(1.3, -7.1) });
    expectPoints(t.specialize(Point(1, -4), SlopeSectionCut, SlopeSideLeft).getPoints(), left.getPoints());
    EXPECT_DOUBLE_EQ(left.getWidth(), -3.1);
    expectPoint(left.getEndingPoint(), 1.3, -7.1);
    expectPoint(left.getSectionPoints()[0].point, 0.5, -5.0);
    EXPECT_TRUE(left.contains(Point(1, -4.2)).inOffsetRange);
    EXPECT_TRUE(left.contains(Point(1, -7.1)).inOffsetRange);
    EXPECT_FALSE(left.contains(Point(1, -3.9)).inOffsetRange);
    EXPECT_TRUE(left.getElevationByOffset(Point(0, -6), false).isValid());
    EXPECT_NEAR(left.getElevationByOffset(Point(0, -6), false).getDistance(), -0.5, 1e-12);
    // Parameters stay magnitudes once placed.
    EXPECT_DOUBLE_EQ(left.getParameters().values[4], 1.0);
    // The template element is untouched.
    expectPoint(t.getStartingPoint(), 0, 0);
    EXPECT_DOUBLE_EQ(t.getWidth(), 3.1);
}
