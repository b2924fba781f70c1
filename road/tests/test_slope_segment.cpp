#include <road/internal/node.h>
#include <road/slopesection.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using Pelko::Corvex::Point;
using namespace Pelko::Road;
using Pelko::Road::internal::Node;
using Pelko::Road::internal::Xml::NodeImpl;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct ConfigAccess : SlopeSectionTemplateConfiguration
{
    using SlopeSectionTemplateConfiguration::attach;
    using SlopeSectionTemplateConfiguration::detach;
    using SlopeSectionTemplateConfiguration::load;
    using SlopeSectionTemplateConfiguration::save;
};

struct Xml
{
    tinyxml2::XMLDocument doc;

    Node<SlopeSectionTemplateConfiguration> parse(const char* text, int fullVersion)
    {
        EXPECT_EQ(doc.Parse(text), tinyxml2::XML_SUCCESS);
        return Node<SlopeSectionTemplateConfiguration>(
            std::make_shared<NodeImpl>(doc.RootElement(), 4, fullVersion));
    }
};

std::string text(const tinyxml2::XMLElement* e, const char* name)
{
    const tinyxml2::XMLElement* c = e->FirstChildElement(name);
    return c && c->GetText() ? c->GetText() : "";
}

SlopeSectionTemplateEditable surfaceTemplate(const std::string& name, SlopeSectionType type, double height,
                                             double n = 1.5)
{
    SlopeSectionTemplateEditable t(name, type);
    t.add(SlopeSectionElement::createSlope("s", height, n));
    return t;
}

SlopeSectionSegment segment(const std::string& name, double b, double e,
                            SlopeSectionType type = SlopeSectionFill)
{
    const SlopeSectionTemplate t = surfaceTemplate("T", type, 2.0);
    auto r = SlopeSectionSegment::create(name, { b, t }, { e, t });
    EXPECT_EQ(r.second, SlopeSectionSegment::Success) << name;
    return r.first;
}

std::vector<std::string> names(const SlopeSectionTemplateConfiguration& c)
{
    std::vector<std::string> result;
    for (unsigned int i = 0; i < c.size(); ++i)
        result.push_back(c.getSegmentAt(i).getName());
    return result;
}

using Names = std::vector<std::string>;

// The configuration saved in the current layout into saved, and read back attached to lib.
ConfigAccess savedAndRead(const ConfigAccess& c, const SlopeSectionTemplateLibrary& lib, Xml& saved)
{
    const auto node = saved.parse("<left/>", 0x04020000);
    c.save(node);
    ConfigAccess again;
    again.attach(lib);
    again.load(node);
    return again;
}

} // namespace

TEST(SlopeSegment, CreateRefusesBadStationsAndMixedTypes)
{
    const SlopeSectionTemplate fill = surfaceTemplate("F", SlopeSectionFill, 2.0);
    const SlopeSectionTemplate fill2 = surfaceTemplate("F2", SlopeSectionFill, 4.0);
    const SlopeSectionTemplate cut = surfaceTemplate("C", SlopeSectionCut, 2.0);

    EXPECT_EQ(SlopeSectionSegment::create("x", { 100, fill }, { 200, cut }).second,
              SlopeSectionSegment::TypeMismatch);
    EXPECT_FALSE(SlopeSectionSegment::create("x", { 100, fill }, { 200, cut }).first);
    EXPECT_EQ(SlopeSectionSegment::create("x", { 100, fill }, { 100.0005, fill }).second,
              SlopeSectionSegment::InvalidStation);
    EXPECT_EQ(SlopeSectionSegment::create("x", { 200, fill }, { 100, fill }).second,
              SlopeSectionSegment::InvalidStation);
    for (double bad : { kNaN, kInf, -kInf }) {
        EXPECT_EQ(SlopeSectionSegment::create("x", { bad, fill }, { 100, fill }).second,
                  SlopeSectionSegment::InvalidStation);
        EXPECT_EQ(SlopeSectionSegment::create("x", { 0, fill }, { bad, fill }).second,
                  SlopeSectionSegment::InvalidStation);
    }

    auto same = SlopeSectionSegment::create("same", { 100, fill }, { 100.002, fill });
    ASSERT_EQ(same.second, SlopeSectionSegment::Success);
    EXPECT_TRUE(same.first);
    EXPECT_EQ(same.first.getName(), "same");
    EXPECT_EQ(same.first.getStart(), 100.0);
    EXPECT_EQ(same.first.getEnd(), 100.002);
    EXPECT_EQ(same.first.getType(), SlopeSectionFill);
    EXPECT_EQ(same.first.getInterpolationType(), SlopeInterpolationNone);
    EXPECT_EQ(same.first.getBeginInfo().slopeTemplate.memoryId(), fill.memoryId());
    EXPECT_EQ(same.first.getEndInfo().station, 100.002);

    auto two = SlopeSectionSegment::create("two", { 0, fill }, { 50, fill2 });
    ASSERT_EQ(two.second, SlopeSectionSegment::Success);
    EXPECT_EQ(two.first.getInterpolationType(), SlopeInterpolationLinear);
    EXPECT_EQ(two.first.getEndTemplate().memoryId(), fill2.memoryId());

    const SlopeSectionSegment empty;
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.getType(), SlopeSectionInvalid);
    EXPECT_EQ(empty.getName(), "");
}

// Segments are kept in the road file by name, and a nameless one would be dropped on the next load.
TEST(SlopeSegment, CreateRefusesAnEmptyName)
{
    const SlopeSectionTemplate t = surfaceTemplate("T", SlopeSectionFill, 2.0);
    const auto created = SlopeSectionSegment::create("", { 100, t }, { 200, t });
    EXPECT_EQ(created.second, SlopeSectionSegment::EmptyName);
    EXPECT_FALSE(created.first);
}

TEST(SlopeSegment, ContainsExcludesTheEndStationAndTouchingIsNoOverlap)
{
    const SlopeSectionSegment s = segment("a", 100, 200);
    EXPECT_TRUE(s.contains(100));
    EXPECT_TRUE(s.contains(99.9995));
    EXPECT_TRUE(s.contains(199.9));
    EXPECT_FALSE(s.contains(199.9995));
    EXPECT_FALSE(s.contains(200));
    EXPECT_FALSE(s.contains(99.998));
    EXPECT_FALSE(s.contains(kNaN));

    const SlopeSectionSegment next = segment("b", 200, 300);
    const SlopeSectionSegment across = segment("c", 150, 250);
    EXPECT_FALSE(s.isOverlappedWith(next));
    EXPECT_FALSE(next.isOverlappedWith(s));
    EXPECT_TRUE(s.isOverlappedWith(across));
    EXPECT_TRUE(across.isOverlappedWith(next));
    EXPECT_TRUE(segment("d", 120, 130).isOverlappedWith(s));

    EXPECT_TRUE(s == segment("e", 100.0005, 300));
    EXPECT_FALSE(s == segment("f", 100, 300, SlopeSectionCut));
    EXPECT_FALSE(s == across);
    EXPECT_TRUE(s < across);
    EXPECT_FALSE(across < s);
    EXPECT_TRUE(s < 100.5);
    EXPECT_FALSE(s < 100.0);
}

TEST(SlopeSegment, CloneAndMirrorLeaveTheOriginal)
{
    const SlopeSectionSegment s = segment("a", 0, 10);
    const SlopeSectionSegment c = s.clone();
    EXPECT_NE(c.getBeginTemplate().memoryId(), s.getBeginTemplate().memoryId());
    EXPECT_EQ(c.getBeginTemplate().getName(), "T");
    EXPECT_EQ(c.getInterpolationType(), SlopeInterpolationNone);
    EXPECT_EQ(c.getEnd(), 10.0);

    const SlopeSectionSegment left = s.mirror(SlopeSideLeft);
    const SlopeSection placed = left.getBeginTemplate().generateSlope(Point(0, 0));
    EXPECT_EQ(placed.getSide(), SlopeSideLeft);
    EXPECT_DOUBLE_EQ(placed.at(0).getEndingPoint().getY(), -3.0);
    EXPECT_DOUBLE_EQ(s.getBeginTemplate().generateSlope(Point(0, 0)).at(0).getEndingPoint().getY(), 3.0);
}

TEST(SlopeInterpolator, WidthsAndHeightsMoveLinearlyDitchesAreCopied)
{
    SlopeSectionTemplateEditable b("B", SlopeSectionCut);
    b.add(SlopeSectionElement::createSlope("s1", 2.0, 1.5));
    b.add(SlopeSectionElement::createPlatformBySlope("p", 2.0, 2.0));
    b.add(SlopeSectionElement::createSideDitch("d", 0.5, 0.5, 1.0, 0.8, 0.4));
    b.add(SlopeSectionElement::createSlope("s2", 1.0, 1.0));
    SlopeSectionTemplateEditable e("E", SlopeSectionCut);
    e.add(SlopeSectionElement::createSlope("t1", 4.0, 1.5));
    e.add(SlopeSectionElement::createPlatformByHeight("q", 4.0, 0.2));
    e.add(SlopeSectionElement::createSideDitch("d", 1.0, 2.0, 3.0, 1.0, 2.0));
    e.add(SlopeSectionElement::createPlatformBySlope("r", 1.0, 0.0));
    const SlopeSectionSegment seg = SlopeSectionSegment::create("x", { 100, b }, { 200, e }).first;
    ASSERT_TRUE(seg);

    const SlopeSectionTemplate mid = SlopeSectionTemplateInterpolator::interpolate(seg, 150);
    EXPECT_EQ(mid.getName(), "B");
    EXPECT_EQ(mid.getType(), SlopeSectionCut);
    // The fourth pair differs in type, so interpolation stops there.
    ASSERT_EQ(mid.size(), 3u);
    EXPECT_EQ(mid.getAt(0).getType(), SlopeElementSurface);
    EXPECT_EQ(mid.getAt(0).getName(), "s1");
    EXPECT_DOUBLE_EQ(mid.getAt(0).getHeight(), 3.0);
    EXPECT_DOUBLE_EQ(mid.getAt(0).getWidth(), 4.5);
    EXPECT_DOUBLE_EQ(mid.getAt(0).getSlope().getDenominator(), 1.5);
    EXPECT_EQ(mid.getAt(1).getType(), SlopeElementPlatform);
    EXPECT_DOUBLE_EQ(mid.getAt(1).getWidth(), 3.0);
    EXPECT_NEAR(mid.getAt(1).getHeight(), 0.12, 1e-12);
    EXPECT_NEAR(mid.getAt(1).getSlope().getPercentage(), 4.0, 1e-10);
    const auto ditch = mid.getAt(2).getParameters();
    EXPECT_EQ(ditch.type, SlopeElementTrapezoidDitch);
    EXPECT_EQ(ditch.values, b.getAt(2).getParameters().values);

    const SlopeSectionTemplate quarter = SlopeSectionTemplateInterpolator::interpolate(seg, 125);
    EXPECT_DOUBLE_EQ(quarter.getAt(0).getHeight(), 2.5);
    EXPECT_DOUBLE_EQ(quarter.getAt(0).getWidth(), 3.75);

    // At either end, within a millimetre, the begin template stands (as a copy).
    for (double s : { 99.9995, 100.0, 199.9995, 200.0, 200.0005 }) {
        const SlopeSectionTemplate atEnd = SlopeSectionTemplateInterpolator::interpolate(seg, s);
        EXPECT_EQ(atEnd.size(), 4u) << s;
        EXPECT_DOUBLE_EQ(atEnd.getAt(0).getHeight(), 2.0) << s;
        EXPECT_NE(atEnd.memoryId(), b.memoryId());
    }
    for (double s : { 99.998, 200.002, kNaN })
        EXPECT_FALSE(SlopeSectionTemplateInterpolator::interpolate(seg, s)) << s;
    EXPECT_FALSE(SlopeSectionTemplateInterpolator::interpolate(SlopeSectionSegment(), 0.0));

    // One template at both ends is not interpolated at all.
    const SlopeSectionSegment fixed = SlopeSectionSegment::create("y", { 0, b }, { 10, b }).first;
    EXPECT_EQ(SlopeSectionTemplateInterpolator::interpolate(fixed, 5).size(), 4u);
}

TEST(SlopeTemplateConfiguration, AddKeepsStationOrderAndNamesTheNeighbourConcerned)
{
    SlopeSectionTemplateConfiguration c;
    EXPECT_EQ(c.getSide(), SlopeSideNeutral);
    auto e = c.addSegment(segment("200", 200, 300));
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.index, 0);
    e = c.addSegment(segment("100", 100, 200));
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.index, 0);
    EXPECT_EQ(names(c), (Names { "100", "200" }));

    e = c.addSegment(segment("x", 150, 250));
    EXPECT_EQ(e.code, SlopeSectionTemplateConfiguration::Error::StationOverlapped);
    EXPECT_EQ(e.index, 1);
    e = c.addSegment(segment("x", 100, 150));
    EXPECT_EQ(e.code, SlopeSectionTemplateConfiguration::Error::StationExists);
    EXPECT_EQ(e.index, 0);
    // Another type at the same station is no duplicate but still overlaps.
    e = c.addSegment(segment("x", 100, 150, SlopeSectionCut));
    EXPECT_EQ(e.code, SlopeSectionTemplateConfiguration::Error::StationOverlapped);
    EXPECT_EQ(e.index, 0);
    e = c.addSegment(segment("x", 50, 120));
    EXPECT_EQ(e.code, SlopeSectionTemplateConfiguration::Error::StationOverlapped);
    EXPECT_EQ(e.index, 0);
    e = c.addSegment(segment("x", 250, 260));
    EXPECT_EQ(e.code, SlopeSectionTemplateConfiguration::Error::StationOverlapped);
    EXPECT_EQ(e.index, 1);
    EXPECT_EQ(names(c), (Names { "100", "200" }));

    EXPECT_EQ(c.addSegment(segment("300", 300, 400)).index, 2);
    EXPECT_EQ(c.addSegment(segment("0", 0, 50)).index, 0);
    EXPECT_EQ(names(c), (Names { "0", "100", "200", "300" }));

    // A refused replacement leaves the list exactly as it was.
    const unsigned long long before = c.getSegmentAt(1).getBeginTemplate().memoryId();
    e = c.setSegmentAt(1, segment("y", 40, 150));
    EXPECT_EQ(e.code, SlopeSectionTemplateConfiguration::Error::StationOverlapped);
    EXPECT_EQ(names(c), (Names { "0", "100", "200", "300" }));
    EXPECT_EQ(c.getSegmentAt(1).getBeginTemplate().memoryId(), before);
    e = c.setSegmentAt(4, segment("y", 500, 600));
    EXPECT_EQ(e.code, SlopeSectionTemplateConfiguration::Error::StationNotFound);
    EXPECT_EQ(e.index, 4);

    // Replacing a segment by itself with a new end succeeds; moving one re-sorts the list.
    e = c.setSegmentAt(1, segment("100b", 100, 180));
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.index, 1);
    e = c.setSegmentAt(0, segment("500", 500, 600));
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.index, 3);
    EXPECT_EQ(names(c), (Names { "100b", "200", "300", "500" }));

    c.removeAt(7);
    EXPECT_EQ(c.size(), 4u);
    c.removeAt(0);
    EXPECT_EQ(names(c), (Names { "200", "300", "500" }));
    EXPECT_FALSE(c.getSegmentAt(3));
}

TEST(SlopeTemplateConfiguration, FiltersMirrorToTheSideAndInterpolate)
{
    SlopeSectionTemplateConfiguration c;
    c.setSide(SlopeSideLeft);
    const SlopeSectionTemplate low = surfaceTemplate("low", SlopeSectionFill, 2.0);
    const SlopeSectionTemplate high = surfaceTemplate("high", SlopeSectionFill, 4.0);
    ASSERT_EQ(c.addSegment(SlopeSectionSegment::create("a", { 100, low }, { 200, high }).first).code, 0);
    ASSERT_EQ(c.addSegment(segment("b", 200, 300)).code, 0);
    ASSERT_EQ(c.addSegment(segment("c", 300, 400, SlopeSectionCut)).code, 0);

    // The boundary belongs to the later segment.
    EXPECT_EQ(c.getSegmentByStation(200).getName(), "b");
    EXPECT_EQ(c.getSegmentByStation(199.9).getName(), "a");
    EXPECT_FALSE(c.getSegmentByStation(400));
    EXPECT_FALSE(c.getSegmentByStation(50));

    const SlopeSectionTemplateConfiguration at = c.filteredByStation(150);
    ASSERT_EQ(at.size(), 1u);
    EXPECT_EQ(at.getSide(), SlopeSideLeft);
    EXPECT_EQ(at.getSegmentAt(0).getBeginTemplate().generateSlope(Point(0, 0)).getSide(), SlopeSideLeft);
    EXPECT_EQ(c.getSegmentAt(0).getBeginTemplate().generateSlope(Point(0, 0)).getSide(), SlopeSideNeutral);

    const SlopeSectionTemplate t = c.getInterpolatedByStation(150);
    ASSERT_EQ(t.size(), 1u);
    const SlopeSection placed = t.generateSlope(Point(0, 0));
    EXPECT_EQ(placed.getSide(), SlopeSideLeft);
    // 3 m of fill at 1:1.5, to the left.
    EXPECT_DOUBLE_EQ(placed.at(0).getEndingPoint().getX(), -3.0);
    EXPECT_DOUBLE_EQ(placed.at(0).getEndingPoint().getY(), -4.5);
    EXPECT_FALSE(c.getInterpolatedByStation(450));

    EXPECT_EQ(c.filteredByType(SlopeSectionFill).size(), 2u);
    EXPECT_EQ(c.filteredByType(SlopeSectionCut).size(), 1u);
    EXPECT_EQ(c.filteredByType(SlopeSectionInvalid).size(), 3u);
    EXPECT_EQ(c.filteredByType(SlopeSectionCut).getSide(), SlopeSideLeft);

    // A clone keeps the segments apart; a copy shares them.
    SlopeSectionTemplateConfiguration copy = c;
    SlopeSectionTemplateConfiguration deep = c.clone();
    EXPECT_NE(deep.getSegmentAt(0).getBeginTemplate().memoryId(),
              c.getSegmentAt(0).getBeginTemplate().memoryId());
    deep.removeAt(0);
    EXPECT_EQ(c.size(), 3u);
    copy.removeAt(0);
    EXPECT_EQ(c.size(), 2u);
}

// A segment's end station belongs to the next segment; where none takes it over (the road's last
// station, the start of a gap) the segment ending there shapes the slope with its end template.
TEST(SlopeTemplateConfiguration, SlopeTemplateByStationCoversEndsNoSegmentTakesOver)
{
    SlopeSectionTemplateConfiguration c;
    c.setSide(SlopeSideLeft);
    const SlopeSectionTemplate low = surfaceTemplate("low", SlopeSectionFill, 2.0);
    const SlopeSectionTemplate high = surfaceTemplate("high", SlopeSectionFill, 4.0);
    const SlopeSectionTemplate cut = surfaceTemplate("cut", SlopeSectionCut, 3.0);
    ASSERT_EQ(c.addSegment(SlopeSectionSegment::create("a", { 100, low }, { 200, high }).first).code, 0);
    ASSERT_EQ(c.addSegment(SlopeSectionSegment::create("b", { 200, cut }, { 300, cut }).first).code, 0);
    ASSERT_EQ(c.addSegment(SlopeSectionSegment::create("c", { 350, low }, { 400, high }).first).code, 0);

    const auto height = [&c](double station) {
        const SlopeSectionTemplate t = c.getSlopeTemplateByStation(station);
        return t.isValid() ? t.getAt(0).getHeight() : kNaN;
    };
    // Inside a segment it is the interpolated template, as before.
    EXPECT_DOUBLE_EQ(height(150), 3.0);
    EXPECT_EQ(c.getSlopeTemplateByStation(150).getName(), c.getInterpolatedByStation(150).getName());
    // A boundary belongs to the segment that begins there.
    EXPECT_EQ(c.getSlopeTemplateByStation(200).getType(), SlopeSectionCut);
    // The start of a gap and the last end: the segment ending there, with its end template, up to a
    // millimetre before.
    EXPECT_FALSE(c.getInterpolatedByStation(300));
    EXPECT_EQ(c.getSlopeTemplateByStation(300).getType(), SlopeSectionCut);
    EXPECT_FALSE(c.getInterpolatedByStation(399.9995));
    EXPECT_DOUBLE_EQ(height(399.9995), 4.0);
    EXPECT_DOUBLE_EQ(height(400), 4.0);
    EXPECT_DOUBLE_EQ(height(400.0009), 4.0);
    // Mirrored to the side, like the interpolated template.
    EXPECT_EQ(c.getSlopeTemplateByStation(400).generateSlope(Point(0, 0)).getSide(), SlopeSideLeft);
    // Inside the gap, past the end and before the first segment there is none.
    EXPECT_FALSE(c.getSlopeTemplateByStation(300.002));
    EXPECT_FALSE(c.getSlopeTemplateByStation(325));
    EXPECT_FALSE(c.getSlopeTemplateByStation(400.002));
    EXPECT_FALSE(c.getSlopeTemplateByStation(99.99));
    EXPECT_FALSE(c.getSlopeTemplateByStation(kNaN));
}

TEST(SlopeTemplateConfiguration, UpdatePicksUpEditedLibraryTemplates)
{
    SlopeSectionTemplateLibrary lib;
    ASSERT_EQ(lib.add(surfaceTemplate("A", SlopeSectionFill, 2.0)).code, 0);
    ConfigAccess c;
    c.attach(lib);
    ASSERT_EQ(
        c.addSegment(
             SlopeSectionSegment::create("s", { 0, lib.getByName("A") }, { 10, lib.getByName("A") }).first)
            .code,
        0);

    SlopeSectionTemplateEditable changed = lib.getAt(SlopeSectionFill, 0);
    changed.add(SlopeSectionElement::createPlatformBySlope("p", 1.0, 0.0));
    ASSERT_EQ(lib.setAt(0, changed).code, 0);
    EXPECT_EQ(c.getSegmentAt(0).getBeginTemplate().size(), 1u);
    c.update();
    EXPECT_EQ(c.getSegmentAt(0).getBeginTemplate().size(), 2u);
    EXPECT_EQ(c.getSegmentAt(0).getEndTemplate().size(), 2u);

    // Detached, the configuration no longer sees that library.
    c.detach();
    changed.add(SlopeSectionElement::createSlope("s", 1.0, 1.0));
    ASSERT_EQ(lib.setAt(0, changed).code, 0);
    c.update();
    EXPECT_EQ(c.getSegmentAt(0).getBeginTemplate().size(), 2u);
}

TEST(SlopeTemplateConfiguration, LoadsTheCurrentLayoutAndSavesIt)
{
    SlopeSectionTemplateLibrary lib;
    ASSERT_EQ(lib.add(surfaceTemplate("A", SlopeSectionFill, 2.0)).code, 0);
    ASSERT_EQ(lib.add(surfaceTemplate("B", SlopeSectionFill, 4.0)).code, 0);
    ASSERT_EQ(lib.add(surfaceTemplate("C", SlopeSectionCut, 1.0)).code, 0);
    Xml xml;
    auto node = xml.parse(R"(<right>
        <template><name>s1</name><begin_station>0</begin_station><end_station>100</end_station>
                  <begin_reference>A</begin_reference><end_reference>B</end_reference></template>
        <template><name></name><begin_station>100</begin_station><end_station>200</end_station>
                  <begin_reference>A</begin_reference><end_reference>A</end_reference></template>
        <template><name>mixed</name><begin_station>100</begin_station><end_station>200</end_station>
                  <begin_reference>A</begin_reference><end_reference>C</end_reference></template>
        <template><name>backwards</name><begin_station>300</begin_station><end_station>200</end_station>
                  <begin_reference>A</begin_reference><end_reference>A</end_reference></template>
        <template><name>nan</name><begin_station>nan</begin_station><end_station>nan</end_station>
                  <begin_reference>A</begin_reference><end_reference>A</end_reference></template>
        <template><name>lost</name><begin_station>200</begin_station><end_station>250.5</end_station>
                  <begin_reference>Z</begin_reference><end_reference>Z</end_reference></template>
        <template><name>cut</name><begin_station>150</begin_station><end_station>160</end_station>
                  <begin_reference>C</begin_reference><end_reference>C</end_reference></template>
    </right>)",
                          0x04020000);
    ConfigAccess c;
    c.attach(lib);
    c.load(node);
    // Document order, no sorting on load.
    ASSERT_EQ(names(c), (Names { "s1", "lost", "cut" }));
    const SlopeSectionSegment s1 = c.getSegmentAt(0);
    EXPECT_EQ(s1.getBeginTemplate().getName(), "A");
    EXPECT_EQ(s1.getEndTemplate().getName(), "B");
    EXPECT_EQ(s1.getEnd(), 100.0);
    EXPECT_EQ(s1.getInterpolationType(), SlopeInterpolationLinear);
    EXPECT_DOUBLE_EQ(c.getInterpolatedByStation(50).getAt(0).getHeight(), 3.0);
    // A reference the library lacks keeps its name, so it survives a save and resolves later.
    const SlopeSectionSegment lost = c.getSegmentAt(1);
    EXPECT_FALSE(lost);
    EXPECT_EQ(lost.getBeginTemplate().getName(), "Z");
    ASSERT_EQ(lib.add(surfaceTemplate("Z", SlopeSectionFill, 5.0)).code, 0);
    c.update();
    EXPECT_TRUE(c.getSegmentAt(1));
    // The unsorted list still answers for the station of its last segment.
    EXPECT_EQ(c.getSegmentByStation(155).getName(), "cut");

    c.save(node);
    const tinyxml2::XMLElement* root = xml.doc.RootElement();
    std::vector<const tinyxml2::XMLElement*> saved;
    for (auto* t = root->FirstChildElement(); t; t = t->NextSiblingElement()) {
        EXPECT_STREQ(t->Name(), "template");
        saved.push_back(t);
    }
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(text(saved[0], "name"), "s1");
    EXPECT_EQ(text(saved[0], "begin_station"), "0");
    EXPECT_EQ(text(saved[0], "end_station"), "100");
    EXPECT_EQ(text(saved[0], "begin_reference"), "A");
    EXPECT_EQ(text(saved[0], "end_reference"), "B");
    EXPECT_EQ(text(saved[1], "end_station"), "250.5");
    EXPECT_EQ(text(saved[1], "begin_reference"), "Z");

    ConfigAccess again;
    again.attach(lib);
    again.load(node);
    ASSERT_EQ(names(again), (Names { "s1", "lost", "cut" }));
    EXPECT_TRUE(again.getSegmentAt(1));
    EXPECT_EQ(again.getSegmentAt(2).getType(), SlopeSectionCut);
}

TEST(SlopeTemplateConfiguration, LoadsBothOlderLayouts)
{
    const char* older = R"(<left>
        <template><name>ref</name><start>0</start><end>100</end><reference>A</reference></template>
        <template><name>A</name><start>100</start><end>200</end><reference></reference>
                  <type>1</type>
                  <element><type>0</type><name>e</name><height>2</height><ratio>1</ratio></element></template>
        <template><name>untyped</name><start>200</start><end>300</end>
                  <element><type>0</type><name>e</name><height>2</height><ratio>1</ratio></element></template>
    </left>)";

    // Library-era files: a reference names the template; an empty one means it is stored inline.
    {
        SlopeSectionTemplateLibrary lib;
        ASSERT_EQ(lib.add(surfaceTemplate("A", SlopeSectionFill, 2.0)).code, 0);
        Xml xml;
        ConfigAccess c;
        c.attach(lib);
        c.load(xml.parse(older, 0x04010000));
        ASSERT_EQ(c.size(), 3u);
        EXPECT_EQ(c.getSegmentAt(0).getBeginTemplate().getName(), "A");
        EXPECT_EQ(c.getSegmentAt(0).getEndTemplate().getName(), "A");
        // Each end has a handle of its own, as a segment read from the current layout has: saved and
        // read again, the segment interpolates as it did.
        EXPECT_EQ(c.getSegmentAt(0).getInterpolationType(), SlopeInterpolationLinear);
        EXPECT_EQ(c.getSegmentAt(0).getEnd(), 100.0);
        // The inline template took a free name beside the library's own A.
        EXPECT_EQ(c.getSegmentAt(1).getBeginTemplate().getName(), "A_1");
        EXPECT_EQ(c.getSegmentAt(1).getType(), SlopeSectionCut);
        EXPECT_EQ(c.getSegmentAt(1).getBeginTemplate().size(), 1u);
        EXPECT_EQ(lib.size(SlopeSectionCut), 1u);
        EXPECT_EQ(lib.getByName("A_1").getAt(0).getWidth(), 2.0);
        // Without a type the inline template cannot join the library, and the segment stays unresolved.
        EXPECT_FALSE(c.getSegmentAt(2));
        EXPECT_EQ(lib.size(SlopeSectionFill), 1u);

        Xml saved;
        const ConfigAccess again = savedAndRead(c, lib, saved);
        ASSERT_EQ(again.size(), c.size());
        for (unsigned int i = 0; i < c.size(); ++i) {
            EXPECT_EQ(again.getSegmentAt(i).getInterpolationType(), c.getSegmentAt(i).getInterpolationType())
                << i;
            EXPECT_EQ(again.getSegmentAt(i).getType(), c.getSegmentAt(i).getType()) << i;
        }
        EXPECT_DOUBLE_EQ(again.getInterpolatedByStation(150).getAt(0).getHeight(),
                         c.getInterpolatedByStation(150).getAt(0).getHeight());
    }
    // Before the library existed every template is inline, whatever the reference says.
    {
        SlopeSectionTemplateLibrary lib;
        Xml xml;
        ConfigAccess c;
        c.attach(lib);
        c.load(xml.parse(older, 0x04000000));
        ASSERT_EQ(c.size(), 3u);
        EXPECT_EQ(c.getSegmentAt(0).getBeginTemplate().getName(), "ref");
        EXPECT_EQ(c.getSegmentAt(1).getBeginTemplate().getName(), "A");
        // The first segment's inline template had no type: nothing was stored for it.
        EXPECT_FALSE(c.getSegmentAt(0));
        EXPECT_TRUE(c.getSegmentAt(1));
        EXPECT_EQ(lib.size(SlopeSectionCut), 1u);
        EXPECT_EQ(lib.size(SlopeSectionFill), 0u);
    }
    // The edge case of an old file: one segment and one library template named after it.
    {
        SlopeSectionTemplateLibrary lib;
        Xml xml;
        ConfigAccess c;
        c.attach(lib);
        c.load(xml.parse(R"(<right><template><name>seg</name><start>0</start><end>100</end><type>0</type>
            <element><type>1</type><name>p</name><width>3</width><slope>2</slope></element>
            </template></right>)",
                         0x03000000));
        ASSERT_EQ(c.size(), 1u);
        EXPECT_TRUE(c.getSegmentAt(0));
        EXPECT_EQ(lib.size(SlopeSectionFill), 1u);
        EXPECT_EQ(lib.getAt(SlopeSectionFill, 0).getName(), "seg");
        EXPECT_DOUBLE_EQ(c.getInterpolatedByStation(50).getAt(0).getHeight(), 0.06);
    }
}

TEST(SlopeTemplateConfiguration, SegmentsKeepTheirTypeWhenFillAndCutShareAName)
{
    // Only adding through the library keeps names unique; stored files may hold one in both lists.
    struct LibraryAccess : SlopeSectionTemplateLibrary
    {
        using SlopeSectionTemplateLibrary::load;
    };
    Xml stored;
    LibraryAccess lib;
    lib.load(stored
                 .parse(R"(<SlopeSectionLibrary>
        <template><type>0</type><name>X</name>
                  <element><type>0</type><name>s</name><height>2</height><ratio>1.5</ratio></element></template>
        <template><type>0</type><name>Y</name>
                  <element><type>0</type><name>s</name><height>4</height><ratio>1.5</ratio></element></template>
        <template><type>1</type><name>X</name>
                  <element><type>0</type><name>s</name><height>3</height><ratio>1</ratio></element></template>
        <template><type>1</type><name>Z</name>
                  <element><type>0</type><name>s</name><height>5</height><ratio>1</ratio></element></template>
    </SlopeSectionLibrary>)",
                        0x04020000)
                 .cast<SlopeSectionTemplateLibrary>());
    ASSERT_EQ(lib.size(SlopeSectionFill), 2u);
    ASSERT_EQ(lib.size(SlopeSectionCut), 2u);

    ConfigAccess c;
    c.attach(lib);
    const auto add = [&](const char* name, double b, double e, SlopeSectionType type, const char* begin,
                         const char* end) {
        const auto created = SlopeSectionSegment::create(name, { b, lib.getByName(type, begin) },
                                                         { e, lib.getByName(type, end) });
        ASSERT_EQ(created.second, SlopeSectionSegment::Success) << name;
        ASSERT_EQ(c.addSegment(created.first).code, 0) << name;
    };
    add("fill X", 0, 100, SlopeSectionFill, "X", "X");
    add("fill X to Y", 100, 200, SlopeSectionFill, "X", "Y");
    add("cut X", 200, 300, SlopeSectionCut, "X", "X");
    const auto expectAsBuilt = [&](const SlopeSectionTemplateConfiguration& read) {
        ASSERT_EQ(names(read), (Names { "fill X", "fill X to Y", "cut X" }));
        for (unsigned int i = 0; i < c.size(); ++i) {
            const SlopeSectionSegment built = c.getSegmentAt(i);
            const SlopeSectionSegment segment = read.getSegmentAt(i);
            EXPECT_EQ(segment.getType(), built.getType()) << i;
            EXPECT_EQ(segment.getEndTemplate().getType(), built.getType()) << i;
            EXPECT_EQ(segment.getBeginTemplate().getAt(0).getHeight(),
                      built.getBeginTemplate().getAt(0).getHeight());
            EXPECT_EQ(segment.getEndTemplate().getAt(0).getHeight(),
                      built.getEndTemplate().getAt(0).getHeight());
        }
    };

    Xml saved;
    ConfigAccess again = savedAndRead(c, lib, saved);
    expectAsBuilt(again);
    // Picking up the library's templates again keeps each end in its segment's list.
    again.update();
    expectAsBuilt(again);

    // A file that does not tell the type: the list holding both ends, cut before fill.
    for (auto* t = saved.doc.RootElement()->FirstChildElement(); t; t = t->NextSiblingElement())
        if (auto* type = t->FirstChildElement("type"))
            t->DeleteChild(type);
    ConfigAccess untyped;
    untyped.attach(lib);
    untyped.load(Node<SlopeSectionTemplateConfiguration>(
        std::make_shared<NodeImpl>(saved.doc.RootElement(), 4, 0x04020000)));
    ASSERT_EQ(names(untyped), (Names { "fill X", "fill X to Y", "cut X" }));
    EXPECT_EQ(untyped.getSegmentAt(0).getType(), SlopeSectionCut);
    EXPECT_EQ(untyped.getSegmentAt(1).getType(), SlopeSectionFill);
    EXPECT_EQ(untyped.getSegmentAt(1).getBeginTemplate().getAt(0).getHeight(), 2.0);

    // A stated type whose list lacks an end is no reason to lose the segment: the file is read as
    // if it stated none, and what was read is what a save writes.
    Xml stated;
    ConfigAccess wrong;
    wrong.attach(lib);
    wrong.load(stated.parse(R"(<right><template><name>Z</name><type>0</type><begin_station>0</begin_station>
        <end_station>10</end_station><begin_reference>Z</begin_reference><end_reference>Z</end_reference>
        </template></right>)",
                            0x04020000));
    ASSERT_EQ(wrong.size(), 1u);
    EXPECT_EQ(wrong.getSegmentAt(0).getType(), SlopeSectionCut);
    EXPECT_EQ(wrong.getSegmentAt(0).getEndTemplate().getAt(0).getHeight(), 5.0);
    Xml resaved;
    const ConfigAccess right = savedAndRead(wrong, lib, resaved);
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right.getSegmentAt(0).getType(), SlopeSectionCut);
}
