#include <road/internal/node.h>
#include <road/standardsection.h>
#include <road/superelevationpoint.h>
#include <road/wideningpoint.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

using namespace Pelko::Road;
using Side = StandardSection::SectionSide;

namespace {

struct Access : StandardSection
{
    Access() = default;
    // Shares both sides with the section it is made from.
    explicit Access(const StandardSection& s)
        : StandardSection(s)
    {
    }
    using StandardSection::load;
    using StandardSection::save;
};

struct Xml
{
    tinyxml2::XMLDocument doc;
    internal::Node<StandardSection> node;

    explicit Xml(const char* text = "<StandardSection/>")
    {
        EXPECT_EQ(doc.Parse(text), tinyxml2::XML_SUCCESS);
        node = internal::Node<StandardSection>(
            std::make_shared<internal::Xml::NodeImpl>(doc.FirstChildElement(), 4, 0x04020000));
    }
};

CrossSectionConfiguration side(std::initializer_list<CrossSectionElement> elements)
{
    CrossSectionConfiguration c;
    for (const auto& e : elements)
        c.append(e);
    return c;
}

double height(const StandardSection& s, double offset, double pivot, bool extend = false,
              bool* okOut = nullptr)
{
    bool ok = false;
    const double h = s.getDeltaHeightByStationOffset(0.0, offset, pivot, extend, ok);
    if (okOut)
        *okOut = ok;
    return h;
}

} // namespace

TEST(StandardSection, PivotMovesTheCentre)
{
    StandardSection s;
    s.setCrossSectionConfiguration(StandardSection::Right,
                                   side({ CrossSectionElement("lane", 3.0, -2.0, 0.0) }));
    s.setCrossSectionConfiguration(
        StandardSection::Left,
        side({ CrossSectionElement("lane", 2.0, 3.0, 0.0), CrossSectionElement("kerb", 0.5, 0.0, 0.15) }));

    EXPECT_EQ(s.getCenterDeltaHeight(0.0, 0.0), 0.0);
    EXPECT_EQ(s.getCenterDeltaHeight(0.0, 0.0009), 0.0);
    EXPECT_NEAR(height(s, 3.0, 0.0), -0.06, 1e-15);
    EXPECT_NEAR(height(s, -2.0, 0.0), 0.06, 1e-15);

    // Pivot at the right edge: the centre rises so that the edge stays at the profile.
    EXPECT_NEAR(s.getCenterDeltaHeight(0.0, 3.0), 0.06, 1e-15);
    EXPECT_NEAR(height(s, 3.0, 3.0), 0.0, 1e-15);
    EXPECT_NEAR(height(s, 0.0, 3.0), 0.06, 1e-15);
    EXPECT_NEAR(height(s, -2.0, 3.0), 0.12, 1e-15);
    // On the left, measured on the left side: the kerb top at -2.5 stands 0.21 above the centre.
    EXPECT_NEAR(s.getCenterDeltaHeight(0.0, -2.5), -0.21, 1e-15);
    EXPECT_NEAR(height(s, -2.5, -2.5), 0.0, 1e-15);
    EXPECT_NEAR(height(s, 3.0, -2.5), -0.27, 1e-15);
    // A pivot beyond its side leaves the centre at the profile.
    EXPECT_EQ(s.getCenterDeltaHeight(0.0, 5.0), 0.0);
    EXPECT_EQ(s.getCenterDeltaHeight(0.0, -2.6), 0.0);

    bool ok = true;
    EXPECT_EQ(height(s, 4.0, 0.0, false, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_NEAR(height(s, 4.0, 0.0, true, &ok), -0.08, 1e-15);
    EXPECT_TRUE(ok);

    // The elevation raises the section chosen by side; the one chosen by offset leaves it out.
    EXPECT_NEAR(s.getCrossSection(0.0, StandardSection::Right, 3.0, 100.0).getTotalDeltaHeight(), 100.0,
                1e-12);
    EXPECT_NEAR(s.getCrossSection(0.0, 2.0, 3.0, 100.0).getTotalDeltaHeight(), 0.0, 1e-15);
    EXPECT_NEAR(s.getCrossSection(0.0, -2.0, 0.0, 100.0).getTotalDeltaHeight(), 0.21, 1e-15);
    EXPECT_NEAR(s.getCrossSection(0.0, -2.0, 0.0, 0.0).getTotalDeltaHeight(), 0.21, 1e-15);
    EXPECT_EQ(s.getCrossSection(0.0, Side(7), 0.0, 0.0).getTotalOffset(), 3.0);
}

TEST(StandardSection, Widths)
{
    StandardSection s;
    CrossSectionConfiguration right = side({ CrossSectionElement("lane", 3.0, -2.0, 0.0) });
    right.elementConfigurationAt(0).addWideningPoint(WideningPoint(0.0, 3.0, WideningLinear));
    right.elementConfigurationAt(0).addWideningPoint(WideningPoint(100.0, 4.0, WideningLinear));
    s.setCrossSectionConfiguration(StandardSection::Right, right);
    s.setCrossSectionConfiguration(
        StandardSection::Left,
        side({ CrossSectionElement("a", 2.0, 0.0, 0.0), CrossSectionElement("b", 0.5, 0.0, 0.0) }));
    EXPECT_EQ(s.getTotalOffset(StandardSection::Right, 0.0), 3.0);
    EXPECT_EQ(s.getTotalOffset(StandardSection::Right, 50.0), 3.5);
    EXPECT_EQ(s.getTotalOffset(Side(2), 50.0), 0.0);
    const auto both = s.getTotalOffset(100.0);
    EXPECT_EQ(both.first, 2.5);
    EXPECT_EQ(both.second, 4.0);
    // The base elements are not changed by evaluating, and the template ignores the points.
    EXPECT_EQ(right.getAt(0).getWidth(), 3.0);
    EXPECT_EQ(right.getTemplate(0.0).getTotalOffset(), 3.0);
    EXPECT_EQ(right.getCrossSectionByStation(100.0, 0.0).getTotalOffset(), 4.0);
    right.getTemplate(10.0);
    EXPECT_EQ(right.getAt(0).getDeltaElevationToPrevious(), 0.0);
}

TEST(StandardSection, EditingASide)
{
    CrossSectionConfiguration c;
    EXPECT_EQ(c.append(CrossSectionElement("a", 1.0, 0.0, 0.0)), 1u);
    EXPECT_EQ(c.append(CrossSectionElementConfiguration(CrossSectionElement("b", 2.0, 0.0, 0.0))), 2u);
    EXPECT_EQ(c.insertBefore(10, CrossSectionElement("c", 3.0, 0.0, 0.0)), 3u);
    EXPECT_EQ(c.insertBefore(0, CrossSectionElement("z", 4.0, 0.0, 0.0)), 4u);
    EXPECT_EQ(c.getAt(0).getName(), "z");
    EXPECT_EQ(c.getAt(3).getName(), "c");
    // Invalid elements are refused; the size comes back unchanged.
    EXPECT_EQ(c.append(CrossSectionElement()), 4u);
    EXPECT_EQ(c.insertBefore(1, CrossSectionElementConfiguration()), 4u);
    EXPECT_FALSE(c.setAt(0, CrossSectionElement()));

    EXPECT_FALSE(c.removeAt(4));
    EXPECT_EQ(c.size(), 4u);
    EXPECT_TRUE(c.removeAt(0));
    EXPECT_EQ(c.getAt(0).getName(), "a");
    EXPECT_FALSE(c.getAt(3));
    EXPECT_FALSE(c.elementConfigurationAt(3));

    // setAt replaces the base element only; the points stay.
    c.elementConfigurationAt(0).addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 5.0, 1.0));
    EXPECT_TRUE(c.setAt(0, CrossSectionElement("a2", 1.5, 0.0, 0.0)));
    EXPECT_FALSE(c.setAt(3, CrossSectionElement("x", 1.5, 0.0, 0.0)));
    EXPECT_EQ(c.getAt(0).getName(), "a2");
    EXPECT_EQ(c.elementConfigurationAt(0).superelevationPointSize(), 1u);

    const CrossSectionConfiguration shared = c;
    const CrossSectionConfiguration clone = c.clone();
    const CrossSectionConfiguration mirror = c.mirror();
    c.append(CrossSectionElement("d", 1.0, 0.0, 0.0));
    c.getAt(0).setWidth(8.0);
    EXPECT_EQ(shared.size(), 4u);
    EXPECT_EQ(clone.size(), 3u);
    EXPECT_EQ(clone.getAt(0).getWidth(), 1.5);
    EXPECT_EQ(clone.elementConfigurationAt(0).superelevationPointSize(), 1u);
    ASSERT_EQ(mirror.size(), 3u);
    EXPECT_EQ(mirror.getAt(0).getName(), "a2");
    EXPECT_EQ(mirror.getAt(0).getWidth(), 1.5);
    EXPECT_EQ(mirror.elementConfigurationAt(0).superelevationPointSize(), 0u);

    StandardSection s;
    s.setCrossSectionConfiguration(StandardSection::Left, c);
    // The road's side and the caller's handle are the same list.
    c.removeAt(0);
    EXPECT_EQ(s.getCrossSectionConfiguration(StandardSection::Left).size(), 3u);
    s.getCrossSectionConfiguration(StandardSection::Left).append(CrossSectionElement("e", 1.0, 0.0, 0.0));
    EXPECT_EQ(c.size(), 4u);

    const StandardSection copy = s;
    s.mirrorLeftToRight();
    EXPECT_EQ(copy.getCrossSectionConfiguration(StandardSection::Right).size(), 4u);
    EXPECT_EQ(s.getCrossSectionConfiguration(StandardSection::Right).getAt(3).getName(), "e");
    s.getCrossSectionConfiguration(StandardSection::Right).getAt(0).setWidth(99.0);
    EXPECT_NE(c.getAt(0).getWidth(), 99.0);
    s.setCrossSectionConfiguration(StandardSection::Right, side({ CrossSectionElement("r", 1.0, 0.0, 0.0) }));
    s.mirrorRightToLeft();
    EXPECT_EQ(s.getCrossSectionConfiguration(StandardSection::Left).size(), 1u);
    EXPECT_EQ(c.size(), 4u);
}

TEST(StandardSection, LoadAndSave)
{
    StandardSection s;
    CrossSectionConfiguration left = side({ CrossSectionElement("lane", 3.5, -2.0, 0.0),
                                            CrossSectionElement("shoulder", 1.0 / 3.0, -4.0, -0.12) });
    left.elementConfigurationAt(0).addSuperelevationPoint(
        SuperelevationPoint(SuperelevationCubicParabola, 10.0, 2.5));
    left.elementConfigurationAt(0).addSuperelevationPoint(
        SuperelevationPoint(SuperelevationLinear, 60.0, -2.0));
    left.elementConfigurationAt(1).addWideningPoint(WideningPoint(20.0, 1.0, WideningBiquadraticParabola));
    CrossSectionConfiguration right = side({ CrossSectionElement("lane", 3.75, -2.0, 0.0) });
    right.elementConfigurationAt(0).addWideningPoint(WideningPoint(0.0, 3.75, WideningLinear));
    right.elementConfigurationAt(0).addWideningPoint(WideningPoint(40.0, 4.25, WideningCubicParabola));
    s.setCrossSectionConfiguration(StandardSection::Left, left);
    s.setCrossSectionConfiguration(StandardSection::Right, right);

    Xml xml;
    Access(s).save(xml.node);
    const tinyxml2::XMLElement* root = xml.doc.FirstChildElement();
    ASSERT_NE(root->FirstChildElement("left"), nullptr);
    EXPECT_STREQ(root->FirstChildElement()->Name(), "left");
    EXPECT_STREQ(root->LastChildElement()->Name(), "right");
    const tinyxml2::XMLElement* point = root->FirstChildElement("left")
                                            ->FirstChildElement("element")
                                            ->FirstChildElement("Superelevation")
                                            ->FirstChildElement("element");
    ASSERT_NE(point, nullptr);
    EXPECT_STREQ(point->FirstChildElement("station")->GetText(), "10");

    Access loaded;
    EXPECT_TRUE(loaded.load(xml.node));
    for (int sideIndex = 0; sideIndex < 2; ++sideIndex) {
        const Side which = Side(sideIndex);
        const CrossSectionConfiguration a = s.getCrossSectionConfiguration(which);
        const CrossSectionConfiguration b = loaded.getCrossSectionConfiguration(which);
        ASSERT_EQ(a.size(), b.size());
        for (unsigned i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a.getAt(i).getName(), b.getAt(i).getName());
            EXPECT_EQ(a.getAt(i).getWidth(), b.getAt(i).getWidth());
            EXPECT_EQ(a.getAt(i).getDeltaElevationToPrevious(), b.getAt(i).getDeltaElevationToPrevious());
            const auto ea = a.elementConfigurationAt(i);
            const auto eb = b.elementConfigurationAt(i);
            ASSERT_EQ(ea.superelevationPointSize(), eb.superelevationPointSize());
            ASSERT_EQ(ea.wideningPointSize(), eb.wideningPointSize());
            for (unsigned k = 0; k < ea.superelevationPointSize(); ++k) {
                EXPECT_EQ(ea.getSuperelevationPointAt(k).getStation(),
                          eb.getSuperelevationPointAt(k).getStation());
                EXPECT_EQ(ea.getSuperelevationPointAt(k).getSlope(),
                          eb.getSuperelevationPointAt(k).getSlope());
                EXPECT_EQ(ea.getSuperelevationPointAt(k).getMethod(),
                          eb.getSuperelevationPointAt(k).getMethod());
            }
            for (unsigned k = 0; k < ea.wideningPointSize(); ++k) {
                EXPECT_EQ(ea.getWideningPointAt(k).getStation(), eb.getWideningPointAt(k).getStation());
                EXPECT_EQ(ea.getWideningPointAt(k).getWidth(), eb.getWideningPointAt(k).getWidth());
                EXPECT_EQ(ea.getWideningPointAt(k).getMethod(), eb.getWideningPointAt(k).getMethod());
            }
        }
        for (double station = -10.0; station <= 80.0; station += 7.5) {
            for (double offset = 0.5; offset < 6.0; offset += 0.75) {
                const double o = sideIndex == 0 ? -offset : offset;
                bool ok1 = false;
                bool ok2 = false;
                bool e1 = true;
                bool e2 = true;
                EXPECT_EQ(s.getDeltaHeightByStationOffset(station, o, 2.0, e1, ok1),
                          loaded.getDeltaHeightByStationOffset(station, o, 2.0, e2, ok2));
                EXPECT_EQ(ok1, ok2);
            }
        }
    }

    // Saving twice gives the same document.
    tinyxml2::XMLPrinter first;
    xml.doc.Print(&first);
    Access(loaded).save(xml.node);
    tinyxml2::XMLPrinter second;
    xml.doc.Print(&second);
    EXPECT_STREQ(first.CStr(), second.CStr());

    // A missing side is left as it was; a present one replaces the side's list in file order.
    Xml onlyLeft(
        "<StandardSection><left><element><template><name>b</name><width>2</width></template></element>"
        "<element><template><name>a</name><width>1</width></template></element></left>"
        "</StandardSection>");
    Access partial;
    EXPECT_TRUE(partial.load(onlyLeft.node));
    EXPECT_EQ(partial.getCrossSectionConfiguration(StandardSection::Right).size(), 0u);
    ASSERT_EQ(partial.getCrossSectionConfiguration(StandardSection::Left).size(), 2u);
    EXPECT_EQ(partial.getCrossSectionConfiguration(StandardSection::Left).getAt(0).getName(), "b");
    const CrossSectionConfiguration keptRight = s.getCrossSectionConfiguration(StandardSection::Right);
    Access(s).load(onlyLeft.node);
    EXPECT_EQ(s.getCrossSectionConfiguration(StandardSection::Right).size(), 1u);
    EXPECT_EQ(s.getCrossSectionConfiguration(StandardSection::Left).size(), 2u);
    EXPECT_EQ(keptRight.elementConfigurationAt(0).wideningPointSize(), 2u);
}

namespace {
bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

// Heights asked of the standard section (stakes, elevations) are worked out without building the
// side's CrossSection; they must be the section's own answers bit for bit.
TEST(StandardSection, HeightsAreTheBuiltSectionsHeights)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    StandardSection s;
    CrossSectionConfiguration left = side(
        { CrossSectionElement("median", 0.75, 0.0, 0.15), CrossSectionElement("lane", 3.5, -2.0, 0.0),
          CrossSectionElement("gap", 0.0, 5.0, -0.02), CrossSectionElement("shoulder", 1.25, -4.0, -0.1) });
    left.elementConfigurationAt(1).addSuperelevationPoint(
        SuperelevationPoint(SuperelevationLinear, 20.0, -2.0));
    left.elementConfigurationAt(1).addSuperelevationPoint(
        SuperelevationPoint(SuperelevationLinear, 80.0, 6.0));
    left.elementConfigurationAt(3).addWideningPoint(WideningPoint(30.0, 1.25, WideningLinear));
    left.elementConfigurationAt(3).addWideningPoint(WideningPoint(70.0, 3.0, WideningLinear));
    CrossSectionConfiguration right = side(
        { CrossSectionElement("lane", 3.5, -2.0, 0.0), CrossSectionElement("shoulder", 1.5, -4.0, 0.0) });
    right.elementConfigurationAt(0).addSuperelevationPoint(
        SuperelevationPoint(SuperelevationLinear, 10.0, -2.0));
    right.elementConfigurationAt(0).addSuperelevationPoint(
        SuperelevationPoint(SuperelevationLinear, 60.0, -7.0));
    right.elementConfigurationAt(1).addWideningPoint(WideningPoint(0.0, 1.5, WideningLinear));
    right.elementConfigurationAt(1).addWideningPoint(WideningPoint(50.0, 2.5, WideningLinear));
    s.setCrossSectionConfiguration(Side::Left, left);
    s.setCrossSectionConfiguration(Side::Right, right);

    // The built sections: the centre shift from the pivot side's section, then the asked side's.
    auto centre = [&](double station, double pivot) {
        if (!(std::fabs(pivot) >= 0.001))
            return 0.0;
        bool extend = false;
        return -s.getCrossSectionConfiguration(pivot < 0.0 ? Side::Left : Side::Right)
                    .getCrossSectionByStation(station, 0.0)
                    .getDeltaHeightByOffset(pivot, extend);
    };

    const double offsets[]
        = { 0.0,    -0.0, 0.0004, -0.75, 0.75, -0.7505, -0.7495, 2.0,  -4.25, -4.2496, -4.2506, 3.5, 3.5009,
            3.5011, 4.9,  5.0,    -5.5,  -6.2, -7.0,    7.25,    12.0, -30.0, nan,     inf,     -inf };
    const double pivots[] = { 0.0, 0.0005, -0.0009, 1.7, -2.2, 3.5, -4.25, 5.0, -100.0, 100.0, nan };
    for (double station :
         { -10.0, 0.0, 10.0, 20.0, 25.0, 30.0, 45.5, 50.0, 60.0, 70.0, 79.9995, 80.0, 120.0 }) {
        for (double pivot : pivots) {
            const double c = centre(station, pivot);
            EXPECT_TRUE(same(s.getCenterDeltaHeight(station, pivot), c)) << station << " " << pivot;
            for (double offset : offsets) {
                const CrossSection built
                    = s.getCrossSectionConfiguration(offset < 0.0 ? Side::Left : Side::Right)
                          .getCrossSectionByStation(station, c + 0.0);
                for (bool extendIn : { false, true }) {
                    bool extend = extendIn;
                    bool ok = false;
                    double expected = built.getDeltaHeightByOffset(offset, extend, &ok);
                    expected = ok ? expected : 0.0;
                    bool extendOut = extendIn;
                    bool okOut = !ok;
                    const double h
                        = s.getDeltaHeightByStationOffset(station, offset, pivot, extendOut, okOut);
                    EXPECT_TRUE(same(h, expected) && extendOut == extend && okOut == ok)
                        << station << " " << pivot << " " << offset << " " << extendIn << ": " << h << " "
                        << extendOut << " " << okOut << " against " << expected << " " << extend << " " << ok;
                }
            }
        }
        for (Side sideOf : { Side::Left, Side::Right })
            EXPECT_TRUE(same(s.getTotalOffset(sideOf, station),
                             s.getCrossSectionConfiguration(sideOf)
                                 .getCrossSectionByStation(station, 0.0)
                                 .getTotalOffset()));
    }
}
