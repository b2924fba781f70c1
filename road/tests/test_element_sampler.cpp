#include <road/crosssection.h>
#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelement.h>
#include <road/crosssectionelementconfiguration.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/internal/elementsampler.h>
#include <road/roadsurface.h>
#include <road/standardsection.h>
#include <road/wideningpoint.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace Pelko;
using namespace Pelko::Road;
using Pelko::Road::internal::ElementSampler;

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
// Drawn points may differ from the element's own by rounding only.
const double kSame = 1e-9;

// Every station of the element at a fine step and its ends, on the line and off it on both sides.
void expectSameAsElement(const HorizontalElement& e, const std::string& what)
{
    const ElementSampler sampler(e);
    EXPECT_EQ(sampler.beginStation(), e.getBeginStation()) << what;
    const double length = e.getLength();
    const int steps = 97;
    for (int i = 0; i <= steps; ++i) {
        const double s = length * i / steps;
        for (double offset : { 0.0, 3.75, -3.75, 28.0, -115.5 }) {
            const Corvex::Point expected = e.getNorthEast(s, offset);
            const Corvex::Point got = sampler.at(s, offset);
            ASSERT_NEAR(got.getX(), expected.getX(), kSame) << what << " s=" << s << " offset=" << offset;
            ASSERT_NEAR(got.getY(), expected.getY(), kSame) << what << " s=" << s << " offset=" << offset;
        }
    }
}

std::string dataPath(const char* name)
{
    return std::string(TEST_DATA_DIR) + "/" + name;
}

} // namespace

TEST(ElementSampler, LinesArcsAndSpiralsOfBothHandsMatchTheElement)
{
    const Corvex::Point origin(512345.678, 3456789.012);
    for (double azimuth : { 0.0, 0.7, 2.9, 4.6, 6.2 }) {
        const Corvex::Angle a(azimuth);
        const std::string at = " azimuth " + std::to_string(azimuth);
        expectSameAsElement(HorizontalElement::createLine(a, 2400.0, origin, 1000.0), "line" + at);
        for (double radius : { 60.0, -60.0, 450.0, -3000.0 }) {
            const std::string r = " radius " + std::to_string(radius) + at;
            // Up to more than a whole turn on the sharpest radius.
            expectSameAsElement(HorizontalElement::createArc(a, 420.0, radius, origin, 0.0), "arc" + r);
            expectSameAsElement(HorizontalElement::createSpiral(a, 180.0, kInf, radius, origin, 0.0),
                                "spiral in" + r);
            expectSameAsElement(HorizontalElement::createSpiral(a, 180.0, radius, kInf, origin, 0.0),
                                "spiral out" + r);
            expectSameAsElement(HorizontalElement::createSpiral(a, 95.0, radius, 2.5 * radius, origin, 0.0),
                                "compound spiral" + r);
        }
    }
}

TEST(ElementSampler, ElementsOfRealRoadsMatchTheElement)
{
    for (const char* name : { "complete.rod", "complete_pi.rod" }) {
        RoadSurface road(dataPath(name));
        ASSERT_TRUE(road.load()) << name;
        const HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements();
        ASSERT_GT(elements.size(), 1u) << name;
        for (unsigned i = 0; i < elements.size(); ++i)
            expectSameAsElement(elements.at(i), std::string(name) + " element " + std::to_string(i));
    }
}

TEST(ElementSampler, ElementsWithoutACurveAnswerAsTheElementDoes)
{
    const HorizontalElement none;
    const Corvex::Point p = ElementSampler(none).at(1.0, 2.0);
    const Corvex::Point expected = none.getNorthEast(1.0, 2.0);
    EXPECT_EQ(p.isValid(), expected.isValid());

    // No begin point or azimuth yet: whatever the element answers, the sampler answers alike.
    const HorizontalElement loose = HorizontalElement::createSpiral(Corvex::Angle(kNaN), 50.0, kInf, 200.0,
                                                                    Corvex::Point::invalid(), kNaN);
    for (double s : { 0.0, 25.0 }) {
        const Corvex::Point got = ElementSampler(loose).at(s, 3.0);
        const Corvex::Point own = loose.getNorthEast(s, 3.0);
        EXPECT_EQ(got.isValid(), own.isValid()) << s;
        EXPECT_EQ(std::isnan(got.getX()), std::isnan(own.getX())) << s;
        EXPECT_EQ(std::isnan(got.getY()), std::isnan(own.getY())) << s;
    }
}

TEST(StandardSectionWidths, TotalOffsetIsTheBuiltSectionsTotalAtEveryStation)
{
    CrossSectionConfiguration left;
    left.append(CrossSectionElement("lane", 3.5, -2.0, 0.0));
    CrossSectionElementConfiguration widened(CrossSectionElement("shoulder", 1.5, -4.0, 0.0));
    ASSERT_TRUE(widened.addWideningPoint(WideningPoint(100.0, 1.5, WideningLinear)));
    ASSERT_TRUE(widened.addWideningPoint(WideningPoint(160.0, 3.25, WideningCubicParabola)));
    ASSERT_TRUE(widened.addWideningPoint(WideningPoint(260.0, 0.75, WideningBiquadraticParabola)));
    ASSERT_TRUE(widened.addWideningPoint(WideningPoint(400.0, 2.0, WideningLinear)));
    left.append(widened);
    left.append(CrossSectionElement("verge", 0.5, 5.0, 0.0));
    CrossSectionConfiguration right;
    right.append(CrossSectionElement("lane", 3.75, -2.0, 0.0));

    StandardSection section;
    section.setCrossSectionConfiguration(StandardSection::Left, left);
    section.setCrossSectionConfiguration(StandardSection::Right, right);
    for (double t = -50.0; t <= 450.0; t += 0.37) {
        for (StandardSection::SectionSide side : { StandardSection::Left, StandardSection::Right }) {
            const CrossSectionConfiguration widths = section.getCrossSectionConfiguration(side);
            ASSERT_EQ(section.getTotalOffset(side, t),
                      widths.getCrossSectionByStation(t, 0.0).getTotalOffset())
                << "station " << t;
        }
    }
    for (double t : { 100.0, 160.0, 260.0, 400.0, kNaN, kInf }) {
        const double expected = left.getCrossSectionByStation(t, 0.0).getTotalOffset();
        const double got = section.getTotalOffset(StandardSection::Left, t);
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(got)) << t;
        else
            EXPECT_EQ(got, expected) << t;
    }
}
