#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelement.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/slope.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectionelement.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplate.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/standardsection.h>
#include <road/surfaceupdown.h>
#include <road/verticalalignment.h>
#include <road/verticalelement.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Pelko;
using namespace Pelko::Road;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A line heading north from the origin over stations 0..200; the profile rises 1 %, 110.5 at station 50.
// Left: a 3 m lane falling 2 %, then a 2 m bank rising 100 %. Right: a flat 3 m lane, then a 2 m
// shoulder falling 4 %.
struct TestRoad : RoadSurface
{
    TestRoad()
    {
        HorizontalElementConfiguration elements;
        elements.append(HorizontalElement::createLine(Corvex::Angle(0.0), 200.0, Corvex::Point(0, 0), 0.0));
        getHorizontalAligment()->setElements(elements);
        VerticalAlignment profile;
        profile.append(
            VerticalElement::createSymparabola(VerticalElement::Poi { -1000.0, 100.0, 0.0, 0.0 }, 0.0));
        profile.append(
            VerticalElement::createSymparabola(VerticalElement::Poi { 5000.0, 160.0, 0.0, 0.0 }, 0.0));
        setVerticalAlignment(profile);
        CrossSectionConfiguration left;
        left.append(CrossSectionElement("lane", 3.0, -2.0, 0.0));
        left.append(CrossSectionElement("bank", 2.0, 100.0, 0.0));
        getStandardSection()->setCrossSectionConfiguration(StandardSection::Left, left);
        CrossSectionConfiguration right;
        right.append(CrossSectionElement("lane", 3.0, 0.0, 0.0));
        right.append(CrossSectionElement("shoulder", 2.0, -4.0, 0.0));
        getStandardSection()->setCrossSectionConfiguration(StandardSection::Right, right);
    }

    // One fill template over the whole road on the right side, made of a single slope surface.
    void setRightSlope(double height, double n)
    {
        SlopeSectionTemplateEditable fill("fill", SlopeSectionFill);
        fill.add(SlopeSectionElement::createSlope("slope", height, n));
        const auto segment = SlopeSectionSegment::create("all", { 0.0, fill }, { 200.0, fill });
        ASSERT_EQ(segment.second, SlopeSectionSegment::Success);
        SlopeSectionTemplateConfiguration side = getSlopeSectionConfiguration()->get(SlopeSideRight);
        ASSERT_EQ(side.addSegment(segment.first).code, 0);
    }
};

const double kProfile = 110.5;

} // namespace

TEST(SurfaceUpDown, DirectShiftsDownInsideTheSection)
{
    TestRoad road;
    SurfaceUpDown updown(&road);
    const auto centre = updown.getDesignHeight(Corvex::Point(50, 0), 0.2, SurfaceUpDown::Direct);
    EXPECT_TRUE(centre.ok);
    EXPECT_EQ(centre.type, SurfaceUpDown::Direct);
    EXPECT_NEAR(centre.value, kProfile - 0.2, 1e-9);

    const auto lane = updown.getDesignHeight(Corvex::Point(50, -2), 0.2, SurfaceUpDown::Direct);
    EXPECT_TRUE(lane.ok);
    EXPECT_NEAR(lane.value, kProfile - 0.04 - 0.2, 1e-9);

    // Beyond the section without a slope template there is no surface.
    EXPECT_FALSE(updown.getDesignHeight(Corvex::Point(50, 8), 0.2, SurfaceUpDown::Direct).ok);

    // A plan point with no station on the road.
    const auto off = updown.getDesignHeight(Corvex::Point(-500, 0), 0.2, SurfaceUpDown::Direct);
    EXPECT_FALSE(off.ok);
    EXPECT_EQ(off.value, 0.0);
}

TEST(SurfaceUpDown, OrthogonalShiftsSquareToTheElementOnBothSides)
{
    TestRoad road;
    SurfaceUpDown updown(&road);
    const double root2 = std::sqrt(2.0);

    // Flat lane: the thickness itself.
    auto r = updown.getDesignHeight(Corvex::Point(50, 1.5), 0.2, SurfaceUpDown::Orthogonal);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.type, SurfaceUpDown::Orthogonal);
    EXPECT_NEAR(r.value, kProfile + 0.2, 1e-9);

    // Left lane, 2 m out at -2 %: the strip's own fall counts on the left as on the right.
    r = updown.getDesignHeight(Corvex::Point(50, -2), 0.2, SurfaceUpDown::Orthogonal);
    EXPECT_TRUE(r.ok);
    EXPECT_NEAR(r.value, kProfile - 0.04 + 0.2 * std::sqrt(1.0 + 0.02 * 0.02), 1e-9);

    // Left bank at 100 %, 1 m into it: the lane's fall, the bank's rise, and the thickness times √2.
    r = updown.getDesignHeight(Corvex::Point(50, -4), 0.2, SurfaceUpDown::Orthogonal);
    EXPECT_TRUE(r.ok);
    EXPECT_NEAR(r.value, kProfile - 0.06 + 1.0 + 0.2 * root2, 1e-9);

    // Right shoulder, 1.5 m into it.
    r = updown.getDesignHeight(Corvex::Point(50, 4.5), 0.1, SurfaceUpDown::Orthogonal);
    EXPECT_NEAR(r.value, kProfile - 0.06 + 0.1 * std::sqrt(1.0 + 0.04 * 0.04), 1e-9);

    // Without a thickness the orthogonal surface is the design surface, everywhere in the section.
    for (double offset : { -4.9, -3.0, -2.5, -0.5, 0.0, 0.7, 3.0, 4.2 }) {
        const auto flat = updown.getDesignHeight(Corvex::Point(50, offset), 0.0, SurfaceUpDown::Orthogonal);
        double design = 0.0;
        ASSERT_TRUE(road.getElevation(50.0, offset, design));
        EXPECT_TRUE(flat.ok);
        EXPECT_NEAR(flat.value, design, 1e-9) << offset;
    }

    // Beyond the section the design surface answers unshifted, here with no slope: failure.
    EXPECT_FALSE(updown.getDesignHeight(Corvex::Point(50, -8), 0.2, SurfaceUpDown::Orthogonal).ok);
}

TEST(SurfaceUpDown, UnknownTypesGiveTheUnshiftedSurface)
{
    TestRoad road;
    SurfaceUpDown updown(&road);
    for (int type : { 2, 5, -1 }) {
        const auto r = updown.getDesignHeight(Corvex::Point(50, -2), 0.3, SurfaceUpDown::UpDownType(type));
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.type, SurfaceUpDown::None);
        EXPECT_NEAR(r.value, kProfile - 0.04, 1e-9);
    }
}

TEST(SurfaceUpDown, CutFillAgainstTheShiftedSurface)
{
    TestRoad road;
    SurfaceUpDown updown(&road);
    // Direct: 112 against 110.5 - 0.2, less the layer height 0.5.
    auto r = updown.getCutFill(Corvex::Point3D(50, 0, 112.0), 0.2, 0.5, SurfaceUpDown::Direct);
    EXPECT_TRUE(r.ok);
    EXPECT_NEAR(r.value, 112.0 - (kProfile - 0.2) - 0.5, 1e-9);
    r = updown.getCutFill(Corvex::Point3D(50, 1, 112.0), 0.2, 0.5, SurfaceUpDown::Orthogonal);
    EXPECT_TRUE(r.ok);
    EXPECT_NEAR(r.value, 112.0 - (kProfile + 0.2) - 0.5, 1e-9);
    // Below the surface: negative.
    r = updown.getCutFill(Corvex::Point3D(50, 0, 109.0), 0.0, 0.0, SurfaceUpDown::Direct);
    EXPECT_NEAR(r.value, 109.0 - kProfile, 1e-9);
    // The unshifted surface ignores both the thickness and the layer height.
    r = updown.getCutFill(Corvex::Point3D(50, 0, 112.0), 0.2, 0.5, SurfaceUpDown::UpDownType(7));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.type, SurfaceUpDown::None);
    EXPECT_NEAR(r.value, 112.0 - kProfile, 1e-9);
    // Off the road.
    r = updown.getCutFill(Corvex::Point3D(-500, 0, 112.0), 0.2, 0.5, SurfaceUpDown::Orthogonal);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.value, 0.0);
}

TEST(SurfaceUpDown, SideSlopeBeyondTheSection)
{
    TestRoad road;
    road.setRightSlope(2.0, 1.5);
    SurfaceUpDown updown(&road);
    // Beyond the section the thickness is not applied: every mode gives the design surface.
    const auto none = updown.getDesignHeight(Corvex::Point(50, 6.5), 0.2, SurfaceUpDown::None);
    ASSERT_TRUE(none.ok);
    EXPECT_TRUE(std::isfinite(none.value));
    for (SurfaceUpDown::UpDownType type : { SurfaceUpDown::Direct, SurfaceUpDown::Orthogonal }) {
        const auto r = updown.getDesignHeight(Corvex::Point(50, 6.5), 0.2, type);
        EXPECT_TRUE(r.ok);
        EXPECT_NEAR(r.value, none.value, 1e-9);
    }
}

TEST(SurfaceUpDown, SlopeWithoutAHeightIsAFailure)
{
    // A slope template whose surface has no usable height: the slope gives NaN, not infinity.
    TestRoad road;
    road.setRightSlope(kNaN, 1.5);
    bool ok = true;
    road.getElevation(50.0, 7.0, 0.2, true, ok);
    EXPECT_FALSE(ok);
    SurfaceUpDown updown(&road);
    for (SurfaceUpDown::UpDownType type :
         { SurfaceUpDown::Direct, SurfaceUpDown::Orthogonal, SurfaceUpDown::None }) {
        const auto r = updown.getDesignHeight(Corvex::Point(50, 7.0), 0.2, type);
        EXPECT_FALSE(r.ok) << type;
        const auto c = updown.getCutFill(Corvex::Point3D(50, 7.0, 100.0), 0.2, 0.1, type);
        EXPECT_FALSE(c.ok) << type;
    }
    // Inside the section the road is unaffected.
    EXPECT_TRUE(updown.getDesignHeight(Corvex::Point(50, 2.0), 0.2, SurfaceUpDown::Direct).ok);

    SurfaceUpDown nothing(nullptr);
    EXPECT_FALSE(nothing.getDesignHeight(Corvex::Point(50, 0), 0.2, SurfaceUpDown::Direct).ok);
}
