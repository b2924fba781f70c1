#include <road/crosssectionelementconfiguration.h>
#include <road/internal/node.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

using namespace Pelko::Road;
using Config = CrossSectionElementConfiguration;

namespace {

struct Access : Config
{
    Access() = default;
    explicit Access(const Config& c)
        : Config(c)
    {
    }
    using Config::load;
    using Config::save;
    using Config::translatedResult;
};

struct Xml
{
    tinyxml2::XMLDocument doc;
    internal::Node<Config> node;

    explicit Xml(const char* text = "<element/>")
    {
        EXPECT_EQ(doc.Parse(text), tinyxml2::XML_SUCCESS);
        node = internal::Node<Config>(
            std::make_shared<internal::Xml::NodeImpl>(doc.FirstChildElement(), 4, 0x04020000));
    }
};

Config lane()
{
    return Config(CrossSectionElement("lane", 3.0, -2.0, 0.0));
}

double slopeAt(const Config& c, double station)
{
    return c.elementAt(station).getSlopeInPercentage();
}

double widthAt(const Config& c, double station)
{
    return c.elementAt(station).getWidth();
}

void expectResult(Config::Result r, Config::ErrorCode code, unsigned index)
{
    EXPECT_EQ(r.code, code);
    EXPECT_EQ(r.index, index);
}

} // namespace

TEST(SectionPoints, InterpolationBetweenPoints)
{
    Config linear = lane();
    ASSERT_TRUE(linear.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 0.0, -2.0)));
    ASSERT_TRUE(linear.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 100.0, 4.0)));
    EXPECT_DOUBLE_EQ(slopeAt(linear, 25.0), -0.5);
    // The first value holds before the first point, the last after the last, each point at its station.
    EXPECT_EQ(slopeAt(linear, -50.0), -2.0);
    EXPECT_EQ(slopeAt(linear, 0.0), -2.0);
    EXPECT_EQ(slopeAt(linear, 100.0), 4.0);
    EXPECT_EQ(slopeAt(linear, 1e6), 4.0);

    Config cubic = lane();
    cubic.addSuperelevationPoint(SuperelevationPoint(SuperelevationCubicParabola, 0.0, -2.0));
    cubic.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 100.0, 4.0));
    EXPECT_DOUBLE_EQ(slopeAt(cubic, 25.0), -1.0625);
    for (double s = 0.0; s <= 100.0; s += 12.5) {
        const double t = s / 100.0;
        EXPECT_NEAR(slopeAt(cubic, s), -2.0 + 6.0 * t * t * (3.0 - 2.0 * t), 1e-12) << s;
    }
    // Symmetric about the middle: the transition is half done at half the length.
    EXPECT_NEAR(slopeAt(cubic, 50.0), 1.0, 1e-12);

    // Superelevation has no biquadratic curve: code 3 and unknown codes run linearly.
    Config three = lane();
    three.addSuperelevationPoint(SuperelevationPoint(SuperelevationMethod(3), 0.0, -2.0));
    three.addSuperelevationPoint(SuperelevationPoint(SuperelevationMethod(3), 100.0, 4.0));
    EXPECT_DOUBLE_EQ(slopeAt(three, 25.0), -0.5);

    Config widening = lane();
    widening.addWideningPoint(WideningPoint(0.0, 3.0, WideningBiquadraticParabola));
    widening.addWideningPoint(WideningPoint(100.0, 4.0, WideningLinear));
    EXPECT_DOUBLE_EQ(widthAt(widening, 50.0), 3.3125);
    for (double s = 0.0; s <= 100.0; s += 12.5) {
        const double t = s / 100.0;
        EXPECT_NEAR(widthAt(widening, s), 3.0 + t * t * t * (4.0 - 3.0 * t), 1e-12) << s;
    }
    Config wideCubic = lane();
    wideCubic.addWideningPoint(WideningPoint(0.0, 3.0, WideningCubicParabola));
    wideCubic.addWideningPoint(WideningPoint(100.0, 4.0, WideningBiquadraticParabola));
    EXPECT_DOUBLE_EQ(widthAt(wideCubic, 25.0), 3.15625);
    Config wideOther = lane();
    wideOther.addWideningPoint(WideningPoint(0.0, 3.0, WideningMethod(0)));
    wideOther.addWideningPoint(WideningPoint(100.0, 4.0, WideningCubicParabola));
    EXPECT_DOUBLE_EQ(widthAt(wideOther, 25.0), 3.25);

    // A single point rules everywhere; values within 0.001 count as equal.
    Config single = lane();
    single.addWideningPoint(WideningPoint(40.0, 3.5, WideningCubicParabola));
    EXPECT_EQ(widthAt(single, -1.0), 3.5);
    EXPECT_EQ(widthAt(single, 400.0), 3.5);
    Config near = lane();
    near.addWideningPoint(WideningPoint(0.0, 3.5, WideningLinear));
    near.addWideningPoint(WideningPoint(100.0, 3.5005, WideningLinear));
    EXPECT_EQ(widthAt(near, 99.0), 3.5);

    // Without points the element keeps its values, in new data.
    const Config plain = lane();
    const CrossSectionElement at = plain.elementAt(10.0);
    EXPECT_EQ(at.getWidth(), 3.0);
    EXPECT_EQ(at.getSlopeInPercentage(), -2.0);
    EXPECT_EQ(at.getName(), "lane");
    CrossSectionElement(at).setWidth(8.0);
    EXPECT_EQ(plain.getElement().getWidth(), 3.0);
    EXPECT_FALSE(Config().elementAt(0.0));
}

TEST(SectionPoints, WideningThenSuperelevation)
{
    Config c = lane();
    c.addWideningPoint(WideningPoint(0.0, 3.0, WideningLinear));
    c.addWideningPoint(WideningPoint(100.0, 5.0, WideningLinear));
    c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 0.0, -2.0));
    c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 100.0, 6.0));
    const CrossSectionElement e = c.elementAt(50.0);
    // Both changes reach the element: the slope is applied on the widened strip.
    EXPECT_DOUBLE_EQ(e.getWidth(), 4.0);
    EXPECT_DOUBLE_EQ(e.getSlopeInPercentage(), 2.0);
    EXPECT_DOUBLE_EQ(e.getElementDeltaElevation(), 0.08);
    EXPECT_EQ(c.getElement().getWidth(), 3.0);
    EXPECT_EQ(c.getElement().getSlopeInPercentage(), -2.0);

    // A new base element is shared and keeps the points, which still shape it along the road.
    CrossSectionElement shoulder("shoulder", 1.5, -4.0, 0.1);
    c.setCrossSectionElement(shoulder);
    EXPECT_EQ(c.superelevationPointSize(), 2u);
    EXPECT_EQ(c.wideningPointSize(), 2u);
    EXPECT_EQ(c.getCrossSectionElement().getName(), "shoulder");
    shoulder.setWidth(2.0);
    EXPECT_EQ(c.getCrossSectionElement().getWidth(), 2.0);
    const CrossSectionElement applied = c.elementAt(50.0);
    EXPECT_EQ(applied.getName(), "shoulder");
    EXPECT_DOUBLE_EQ(applied.getDeltaElevationToPrevious(), 0.1);
    EXPECT_DOUBLE_EQ(applied.getWidth(), 4.0);
    EXPECT_DOUBLE_EQ(applied.getSlopeInPercentage(), 2.0);
}

TEST(SectionPoints, EditingKeepsStationOrder)
{
    Config c = lane();
    EXPECT_TRUE(c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 100.0, 1.0)));
    EXPECT_TRUE(c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 0.0, 2.0)));
    EXPECT_FALSE(c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 99.9995, 3.0)));
    EXPECT_FALSE(c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 100.0009, 3.0)));
    EXPECT_TRUE(c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 50.0, 3.0)));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, nan, 3.0)));
    EXPECT_FALSE(c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 70.0, inf)));
    ASSERT_EQ(c.superelevationPointSize(), 3u);
    EXPECT_EQ(c.getSuperelevationPointAt(0).getStation(), 0.0);
    EXPECT_EQ(c.getSuperelevationPointAt(1).getStation(), 50.0);
    EXPECT_EQ(c.getSuperelevationPointAt(1).getSlope(), 3.0);
    EXPECT_EQ(c.getSuperelevationPointAt(2).getStation(), 100.0);

    expectResult(c.setSuperelevationPointAt(1, SuperelevationPoint(SuperelevationLinear, 100.0, 9.0)),
                 Config::NotBelowNext, 1);
    expectResult(c.setSuperelevationPointAt(1, SuperelevationPoint(SuperelevationLinear, 0.0, 9.0)),
                 Config::NotAbovePrevious, 1);
    // Neighbours keep the same 0.001 margin as adding.
    expectResult(c.setSuperelevationPointAt(1, SuperelevationPoint(SuperelevationLinear, 99.9995, 9.0)),
                 Config::NotBelowNext, 1);
    expectResult(c.setSuperelevationPointAt(1, SuperelevationPoint(SuperelevationLinear, 0.0005, 9.0)),
                 Config::NotAbovePrevious, 1);
    expectResult(c.setSuperelevationPointAt(1, SuperelevationPoint(SuperelevationLinear, nan, 9.0)),
                 Config::OtherError, 1);
    expectResult(c.setSuperelevationPointAt(3, SuperelevationPoint(SuperelevationLinear, 200.0, 9.0)),
                 Config::IndexOutOfRange, 3);
    EXPECT_EQ(c.getSuperelevationPointAt(1).getStation(), 50.0);
    EXPECT_EQ(c.getSuperelevationPointAt(1).getSlope(), 3.0);
    expectResult(c.setSuperelevationPointAt(1, SuperelevationPoint(SuperelevationCubicParabola, 60.0, 9.0)),
                 Config::Success, 1);
    EXPECT_EQ(c.getSuperelevationPointAt(1).getStation(), 60.0);
    EXPECT_EQ(c.getSuperelevationPointAt(1).getMethod(), SuperelevationCubicParabola);
    // The ends may move freely outwards.
    expectResult(c.setSuperelevationPointAt(0, SuperelevationPoint(SuperelevationLinear, -500.0, 2.0)),
                 Config::Success, 0);

    const SuperelevationPoint past = c.getSuperelevationPointAt(3);
    EXPECT_EQ(past.getMethod(), SuperelevationMethod(0));
    EXPECT_EQ(past.getStation(), 0.0);
    EXPECT_EQ(past.getSlope(), 0.0);
    c.removeSuperelevationPointAt(3);
    EXPECT_EQ(c.superelevationPointSize(), 3u);
    c.removeSuperelevationPointAt(0);
    EXPECT_EQ(c.superelevationPointSize(), 2u);
    EXPECT_EQ(c.getSuperelevationPointAt(0).getStation(), 60.0);

    EXPECT_TRUE(c.addWideningPoint(WideningPoint(10.0, 3.0, WideningLinear)));
    EXPECT_FALSE(c.addWideningPoint(WideningPoint(10.0005, 4.0, WideningLinear)));
    EXPECT_TRUE(c.addWideningPoint(WideningPoint(5.0, 4.0, WideningLinear)));
    EXPECT_EQ(c.getWideningPointAt(0).getStation(), 5.0);
    expectResult(c.setWideningPointAt(0, WideningPoint(10.0, 1.0, WideningLinear)), Config::NotBelowNext, 0);
    expectResult(c.setWideningPointAt(1, WideningPoint(20.0, 1.0, WideningCubicParabola)), Config::Success,
                 1);
    expectResult(c.setWideningPointAt(2, WideningPoint(30.0, 1.0, WideningLinear)), Config::IndexOutOfRange,
                 2);
    EXPECT_EQ(c.getWideningPointAt(1).getWidth(), 1.0);
    EXPECT_EQ(c.getWideningPointAt(9).getWidth(), 0.0);
    c.removeWideningPointAt(0);
    EXPECT_EQ(c.wideningPointSize(), 1u);

    EXPECT_EQ(Access::translatedResult(-2), Config::IndexOutOfRange);
    EXPECT_EQ(Access::translatedResult(-1), Config::NotAbovePrevious);
    EXPECT_EQ(Access::translatedResult(0), Config::Success);
    EXPECT_EQ(Access::translatedResult(1), Config::NotBelowNext);
    EXPECT_EQ(Access::translatedResult(7), Config::OtherError);

    // Equality is by station within 0.001; ordering against a station is exact.
    const SuperelevationPoint p(SuperelevationLinear, 100.0005, 1.0);
    EXPECT_TRUE(p == 100.0);
    EXPECT_TRUE(p == SuperelevationPoint(SuperelevationCubicParabola, 100.0, 7.0));
    EXPECT_FALSE(p == 100.002);
    EXPECT_FALSE(p < 100.0);
    EXPECT_TRUE(WideningPoint(99.9995, 1.0, WideningLinear) == 100.0);
    EXPECT_TRUE(WideningPoint(99.9995, 1.0, WideningLinear) < 100.0);
}

TEST(SectionPoints, ClonesAndMirrors)
{
    Config c = lane();
    c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 0.0, 2.0));
    c.addWideningPoint(WideningPoint(0.0, 3.0, WideningLinear));

    const Config shared = c;
    const Config clone = c.clone();
    const Config mirror = c.mirror();
    c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 50.0, 4.0));
    c.getElement().setWidth(9.0);

    EXPECT_EQ(shared.superelevationPointSize(), 2u);
    EXPECT_EQ(clone.superelevationPointSize(), 1u);
    EXPECT_EQ(clone.wideningPointSize(), 1u);
    EXPECT_EQ(clone.getElement().getWidth(), 3.0);
    EXPECT_EQ(mirror.superelevationPointSize(), 0u);
    EXPECT_EQ(mirror.wideningPointSize(), 0u);
    EXPECT_EQ(mirror.getElement().getWidth(), 3.0);
    EXPECT_EQ(mirror.getElement().getName(), "lane");
    EXPECT_FALSE(Config());
    EXPECT_FALSE(Config().clone());
}

TEST(SectionPoints, WideningSegments)
{
    Config c = lane();
    EXPECT_TRUE(c.getWideningSegments().empty());
    c.addWideningPoint(WideningPoint(0.0, 3.0, WideningLinear));
    EXPECT_TRUE(c.getWideningSegments().empty());
    c.addWideningPoint(WideningPoint(50.0, 3.5, WideningLinear));
    c.addWideningPoint(WideningPoint(100.0, 4.0, WideningLinear));
    auto segments = c.getWideningSegments();
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments[0].beginStation, 0.0);
    EXPECT_EQ(segments[0].endStation, 100.0);
    // The merged run keeps the first change.
    EXPECT_DOUBLE_EQ(segments[0].widthChange, 0.5);
    EXPECT_EQ(segments[0].method, WideningLinear);

    c.setWideningPointAt(1, WideningPoint(50.0, 3.5, WideningCubicParabola));
    segments = c.getWideningSegments();
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].method, WideningLinear);
    EXPECT_EQ(segments[1].method, WideningCubicParabola);
    EXPECT_EQ(segments[1].beginStation, 50.0);

    // A flat pair breaks the run; a narrowing gives a positive change.
    Config d = lane();
    d.addWideningPoint(WideningPoint(0.0, 4.0, WideningLinear));
    d.addWideningPoint(WideningPoint(10.0, 3.0, WideningLinear));
    d.addWideningPoint(WideningPoint(20.0, 3.0005, WideningLinear));
    d.addWideningPoint(WideningPoint(30.0, 3.5, WideningLinear));
    segments = d.getWideningSegments();
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].endStation, 10.0);
    EXPECT_DOUBLE_EQ(segments[0].widthChange, 1.0);
    EXPECT_EQ(segments[1].beginStation, 20.0);
    EXPECT_NEAR(segments[1].widthChange, 0.4995, 1e-12);
}

TEST(SectionPoints, LoadAndSave)
{
    Config c(CrossSectionElement("median", 0.5, 0.1 + 0.2, 0.15));
    c.addSuperelevationPoint(SuperelevationPoint(SuperelevationCubicParabola, 12.5, -2.5));
    c.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, 1.0 / 3.0, 4.0));
    c.addWideningPoint(WideningPoint(7.0, 0.75, WideningBiquadraticParabola));

    Xml xml;
    Access(c).save(xml.node);
    const tinyxml2::XMLElement* root = xml.doc.FirstChildElement();
    EXPECT_STREQ(root->FirstChildElement()->Name(), "template");
    EXPECT_STREQ(root->FirstChildElement()->NextSiblingElement()->Name(), "Superelevation");
    EXPECT_STREQ(root->LastChildElement()->Name(), "Widening");

    Access loaded;
    EXPECT_TRUE(loaded.load(xml.node));
    EXPECT_EQ(loaded.getElement().getName(), "median");
    EXPECT_EQ(loaded.getElement().getSlopeInPercentage(), 0.1 + 0.2);
    ASSERT_EQ(loaded.superelevationPointSize(), 2u);
    EXPECT_EQ(loaded.getSuperelevationPointAt(0).getStation(), 1.0 / 3.0);
    EXPECT_EQ(loaded.getSuperelevationPointAt(1).getMethod(), SuperelevationCubicParabola);
    EXPECT_EQ(loaded.getSuperelevationPointAt(1).getSlope(), -2.5);
    ASSERT_EQ(loaded.wideningPointSize(), 1u);
    EXPECT_EQ(loaded.getWideningPointAt(0).getMethod(), WideningBiquadraticParabola);
    EXPECT_EQ(loaded.getWideningPointAt(0).getWidth(), 0.75);

    // Saving again replaces the children rather than adding to them.
    Access(c).save(xml.node);
    EXPECT_EQ(std::string(root->FirstChildElement("Superelevation")->LastChildElement()->Name()), "element");
    Access again;
    again.load(xml.node);
    EXPECT_EQ(again.superelevationPointSize(), 2u);

    // The file's order stays, unsorted and with a repeated station; the repeat gives the first value up to
    // its station and the second after it, with no division by the zero length.
    Xml file("<element><template><width>3</width></template><Superelevation>"
             "<element><method>1</method><station>50</station><slope>1</slope></element>"
             "<element><method>1</method><station>50</station><slope>3</slope></element>"
             "<element><method>1</method><station>10</station><slope>5</slope></element>"
             "</Superelevation></element>");
    Access unsorted;
    unsorted.addWideningPoint(WideningPoint(1.0, 1.0, WideningLinear));
    EXPECT_TRUE(unsorted.load(file.node));
    EXPECT_EQ(unsorted.wideningPointSize(), 0u);
    ASSERT_EQ(unsorted.superelevationPointSize(), 3u);
    EXPECT_EQ(unsorted.getSuperelevationPointAt(2).getStation(), 10.0);
    Xml pair("<element><template><width>3</width></template><Superelevation>"
             "<element><method>1</method><station>50</station><slope>1</slope></element>"
             "<element><method>1</method><station>50</station><slope>3</slope></element>"
             "</Superelevation></element>");
    Access twin;
    twin.load(pair.node);
    EXPECT_EQ(slopeAt(twin, 40.0), 1.0);
    EXPECT_EQ(slopeAt(twin, 50.0), 1.0);
    EXPECT_EQ(slopeAt(twin, 50.0001), 3.0);

    // A missing template gives an empty element; points that are not finite are left out and reported.
    Xml bare("<element><Widening><element><station>nan</station><width>2</width></element>"
             "<element><station>5</station><width>2</width></element></Widening></element>");
    Access partial;
    EXPECT_FALSE(partial.load(bare.node));
    EXPECT_TRUE(partial.isValid());
    EXPECT_EQ(partial.getElement().getName(), "");
    EXPECT_EQ(partial.getElement().getWidth(), 0.0);
    ASSERT_EQ(partial.wideningPointSize(), 1u);
    EXPECT_EQ(partial.getWideningPointAt(0).getStation(), 5.0);
    EXPECT_EQ(partial.getWideningPointAt(0).getMethod(), WideningMethod(0));
}
