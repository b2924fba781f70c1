#include <road/internal/node.h>
#include <road/slopesection.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectiontemplate.h>
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

const double kInf = std::numeric_limits<double>::infinity();

struct SectionsAccess : SlopeSectionConfiguration
{
    using SlopeSectionConfiguration::load;
    using SlopeSectionConfiguration::save;
};

SlopeSection generate(SlopeSectionType type, SlopeSectionSide side, std::vector<SlopeSectionElement> elements)
{
    SlopeSectionTemplateEditable t("t", type);
    for (const SlopeSectionElement& e : elements)
        t.add(e);
    return t.mirror(side).generateSlope(Point(0, 0));
}

// Cut, right: surface (0,0)-(1,1), trapezoid ditch (1,1) (0.5,1.5) (0.5,2.5) (1.3,2.9), surface to (3.3,6.9).
SlopeSection surfaceDitchSurface()
{
    return generate(SlopeSectionCut, SlopeSideRight,
                    { SlopeSectionElement::createSlope("a", 1.0, 1.0),
                      SlopeSectionElement::createSideDitch("d", 0.5, 0.5, 1.0, 0.8, 0.4),
                      SlopeSectionElement::createSlope("b", 2.0, 2.0) });
}

void expectPoint(const Point& p, double x, double y, const std::string& what)
{
    EXPECT_NEAR(p.getX(), x, 1e-12) << what;
    EXPECT_NEAR(p.getY(), y, 1e-12) << what;
}

void expectSameAnswer(const SlopeNavigationPoint& a, const SlopeNavigationPoint& b)
{
    EXPECT_EQ(a.getType(), b.getType());
    EXPECT_EQ(a.isValid(), b.isValid());
    EXPECT_EQ(a.getDistance(), b.getDistance());
    EXPECT_EQ(a.getElevation(), b.getElevation());
    EXPECT_EQ(a.getOffset(), b.getOffset());
}

} // namespace

TEST(SlopeSection, OutlineAndPrimaryPoints)
{
    EXPECT_TRUE(SlopeSection().getPoints().empty());
    EXPECT_TRUE(SlopeSection().getPrimaryPoints().empty());

    const std::vector<Point> outline = surfaceDitchSurface().getPoints();
    const std::vector<Point> expected { Point(0, 0),     Point(1, 1),     Point(0.5, 1.5),
                                        Point(0.5, 2.5), Point(1.3, 2.9), Point(3.3, 6.9) };
    ASSERT_EQ(outline.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        expectPoint(outline[i], expected[i].getX(), expected[i].getY(), "outline " + std::to_string(i));

    // After a ditch a surface contributes its start as well; the ditch its bottom centre.
    const std::vector<SlopeSectionPoint> primary = surfaceDitchSurface().getPrimaryPoints();
    ASSERT_EQ(primary.size(), 5u);
    expectPoint(primary[0].point, 0, 0, "hinge");
    expectPoint(primary[1].point, 1, 1, "first surface end");
    EXPECT_EQ(primary[2].kind, SlopeSectionPoint::DitchBottomCenter);
    expectPoint(primary[2].point, 0.5, 2.0, "ditch bottom");
    expectPoint(primary[3].point, 1.3, 2.9, "second surface start");
    expectPoint(primary[4].point, 3.3, 6.9, "second surface end");
    EXPECT_EQ(primary[4].kind, SlopeSectionPoint::BreakPoint);

    // surface-platform-surface: the hinge, the first end, the platform end (second start), the second end.
    const SlopeSection berm = generate(SlopeSectionCut, SlopeSideRight,
                                       { SlopeSectionElement::createSlope("a", 1.0, 1.0),
                                         SlopeSectionElement::createPlatformBySlope("p", 2.0, 2.0),
                                         SlopeSectionElement::createSlope("b", 1.0, 2.0) });
    const std::vector<SlopeSectionPoint> bermPoints = berm.getPrimaryPoints();
    ASSERT_EQ(bermPoints.size(), 4u);
    expectPoint(bermPoints[2].point, 1.04, 3.0, "platform end");
    expectPoint(bermPoints[3].point, 2.04, 5.0, "outer end");

    // Two surfaces in a row share their break point.
    const SlopeSection twice = generate(
        SlopeSectionFill, SlopeSideRight,
        { SlopeSectionElement::createSlope("a", 1.0, 1.0), SlopeSectionElement::createSlope("b", 1.0, 2.0) });
    ASSERT_EQ(twice.getPrimaryPoints().size(), 3u);
    expectPoint(twice.getPrimaryPoints()[2].point, -2.0, 3.0, "fill end");
}

TEST(SlopeSection, ElevationsOnSurfacesAndPlatforms)
{
    EXPECT_EQ(SlopeSection().getElevation(1.0), kInf);

    // Left fill 2 m at 1:1.5: end (-2, -3).
    const SlopeSection left
        = generate(SlopeSectionFill, SlopeSideLeft, { SlopeSectionElement::createSlope("s", 2.0, 1.5) });
    EXPECT_NEAR(left.getElevation(-1.5), -1.0, 1e-12);
    EXPECT_NEAR(left.getElevation(-3.0), -2.0, 1e-12);
    EXPECT_NEAR(left.getElevation(-6.0), -4.0, 1e-12);
    EXPECT_NEAR(left.getElevation(1.5), 1.0, 1e-12);

    const SlopeSection berm = generate(SlopeSectionCut, SlopeSideRight,
                                       { SlopeSectionElement::createSlope("a", 1.0, 1.0),
                                         SlopeSectionElement::createPlatformBySlope("p", 2.0, 2.0),
                                         SlopeSectionElement::createSlope("b", 1.0, 2.0) });
    EXPECT_NEAR(berm.getElevation(0.5), 0.5, 1e-12);
    EXPECT_NEAR(berm.getElevation(2.0), 1.02, 1e-12);
    EXPECT_NEAR(berm.getElevation(4.0), 1.54, 1e-12);
    EXPECT_NEAR(berm.getElevation(7.0), 3.04, 1e-12);

    // A vertical face has no elevation of its own: the element before it answers on its line.
    const SlopeSection step = generate(SlopeSectionCut, SlopeSideRight,
                                       { SlopeSectionElement::createSlope("a", 1.0, 1.0),
                                         SlopeSectionElement::createSlope("wall", 1.0, 0.0) });
    EXPECT_NEAR(step.getElevation(1.0), 1.0, 1e-12);
    EXPECT_NEAR(step.getElevation(1.0005), 1.0005, 1e-12);

    // Within a millimetre past an element's end the element still answers, on its own line and not
    // with its end point: the next face is steeper, the last one has nothing after it.
    const SlopeSection faces = generate(SlopeSectionFill, SlopeSideLeft,
                                        { SlopeSectionElement::createSlope("gentle", 5.0, 2.0),
                                          SlopeSectionElement::createSlope("steep", 2.0, 0.5) });
    EXPECT_NEAR(faces.getElevation(-10.0), -5.0, 1e-12);
    EXPECT_NEAR(faces.getElevation(-10.0005), -5.00025, 1e-12);
    EXPECT_NEAR(faces.getElevation(-10.002), -5.004, 1e-12);
    EXPECT_NEAR(faces.getElevation(-11.0), -7.0, 1e-12);
    EXPECT_NEAR(faces.getElevation(-11.0005), -7.001, 1e-12);
    EXPECT_NEAR(faces.getElevation(0.0005), 0.00025, 1e-12);
    EXPECT_NEAR(step.getElevation(3.0), 2.0, 1e-12);
}

TEST(SlopeSection, ElevationsFollowTheDitchWallsAndBottom)
{
    const SlopeSection s = surfaceDitchSurface();
    EXPECT_NEAR(s.getElevation(1.0), 1.0, 1e-12);
    EXPECT_NEAR(s.getElevation(1.25), 0.75, 1e-12);
    // The bottom lies 0.5 m below the rim, not 0.5 m above the hinge.
    EXPECT_NEAR(s.getElevation(2.0), 0.5, 1e-12);
    EXPECT_NEAR(s.getElevation(1.5), 0.5, 1e-12);
    EXPECT_NEAR(s.getElevation(2.7), 0.9, 1e-12);
    EXPECT_NEAR(s.getElevation(4.9), 2.3, 1e-12);
    EXPECT_NEAR(s.getElevation(8.9), 4.3, 1e-12);

    // A last trapezoid ditch carries its outer face on.
    const SlopeSection trapezoidLast
        = generate(SlopeSectionCut, SlopeSideLeft,
                   { SlopeSectionElement::createSlope("a", 1.0, 1.0),
                     SlopeSectionElement::createSideDitch("d", 0.5, 0.5, 1.0, 0.8, 0.4) });
    EXPECT_NEAR(trapezoidLast.getElevation(-2.0), 0.5, 1e-12);
    EXPECT_NEAR(trapezoidLast.getElevation(-3.3), 2.1, 1e-12);

    // A last rectangular ditch ends in a vertical face: beyond it the outer rim's elevation holds. The ditch
    // dips first whether the template is fill or cut.
    const SlopeSection rectangular = generate(SlopeSectionFill, SlopeSideRight,
                                              { SlopeSectionElement::createSlope("a", 1.0, 1.0),
                                                SlopeSectionElement::createSideDitch("d", 0.5, 1.0, 0.3) });
    EXPECT_NEAR(rectangular.getElevation(1.0), -1.0, 1e-12);
    EXPECT_NEAR(rectangular.getElevation(1.5), -1.5, 1e-12);
    EXPECT_NEAR(rectangular.getElevation(2.0), -1.5, 1e-12);
    EXPECT_NEAR(rectangular.getElevation(3.0), -1.2, 1e-12);
    EXPECT_NEAR(rectangular.getElevation(30.0), -1.2, 1e-12);
}

TEST(SlopeSection, NavigationPicksTheSmallestSignedDistance)
{
    EXPECT_EQ(SlopeSection().getNavigation(Point(1, 1)).getType(), SlopeSectionInvalid);
    EXPECT_FALSE(SlopeSection().getNavigation(Point(1, 1)).getOffset());
    EXPECT_FALSE(SlopeSection().getNavigation(0, Point(1, 1)).getElevation());

    const SlopeSection single
        = generate(SlopeSectionCut, SlopeSideRight, { SlopeSectionElement::createSlope("s", 2.0, 1.0) });
    const SlopeNavigation n = single.getNavigation(Point(1.5, 1.0));
    EXPECT_EQ(n.getType(), SlopeSectionCut);
    expectPoint(n.getRover(), 1.5, 1.0, "rover");
    ASSERT_TRUE(n.getElevation());
    EXPECT_NEAR(n.getElevation().getElevation(), 1.0, 1e-12);
    EXPECT_NEAR(n.getElevation().getDistance(), 0.5, 1e-12);
    ASSERT_TRUE(n.getOffset());
    EXPECT_NEAR(n.getOffset().getOffset(), 1.5, 1e-12);
    EXPECT_NEAR(n.getOffset().getDistance(), -0.5, 1e-12);

    const SlopeSection s = surfaceDitchSurface();
    // Inside the ditch the ditch answers relative to its bottom centre (0.5, 2).
    SlopeNavigation inDitch = s.getNavigation(Point(0.8, 2.2));
    ASSERT_TRUE(inDitch.getOffset());
    EXPECT_TRUE(inDitch.getOffset().isDitch());
    EXPECT_NEAR(inDitch.getOffset().getDistance(), 0.2, 1e-12);
    ASSERT_TRUE(inDitch.getElevation());
    EXPECT_TRUE(inDitch.getElevation().isDitch());
    EXPECT_NEAR(inDitch.getElevation().getDistance(), 0.3, 1e-12);
    expectPoint(inDitch.getElevation().toBegin(), 0.3, 0.2, "from the bottom centre");

    // Both the first surface (-0.4) and the ditch (-1.5) answer horizontally; the smaller signed distance
    // wins, not the nearer one.
    SlopeNavigation below = s.getNavigation(Point(0.9, 0.5));
    ASSERT_TRUE(below.getOffset());
    EXPECT_TRUE(below.getOffset().isDitch());
    EXPECT_NEAR(below.getOffset().getDistance(), -1.5, 1e-12);
    EXPECT_EQ(below.getElevation().getType(), SlopeElementSurface);
    EXPECT_NEAR(below.getElevation().getDistance(), 0.4, 1e-12);

    // Beyond the outer end the last surface is extended both ways.
    SlopeNavigation beyond = s.getNavigation(Point(5.0, 10.0));
    ASSERT_TRUE(beyond.getElevation());
    EXPECT_NEAR(beyond.getElevation().getElevation(), 4.85, 1e-12);
    EXPECT_NEAR(beyond.getElevation().getDistance(), 0.15, 1e-12);
    ASSERT_TRUE(beyond.getOffset());
    EXPECT_NEAR(beyond.getOffset().getOffset(), 10.3, 1e-12);
    EXPECT_NEAR(beyond.getOffset().getDistance(), -0.3, 1e-12);
    // Not beyond (inside the span but above everything): no extension.
    EXPECT_FALSE(s.getNavigation(Point(9.0, 5.0)).getOffset());

    // Against a primary point both answers are the plain difference to it.
    const Point rover(0.8, 2.2);
    const SlopeNavigation toBottom = s.getNavigation(2, rover);
    EXPECT_EQ(toBottom.getType(), SlopeSectionCut);
    EXPECT_EQ(toBottom.getOffset().getType(), SlopeElementTrapezoidDitch);
    EXPECT_NEAR(toBottom.getOffset().getDistance(), 0.2, 1e-12);
    EXPECT_NEAR(toBottom.getElevation().getDistance(), 0.3, 1e-12);
    EXPECT_TRUE(toBottom.getElevation().isValid());
    const SlopeNavigation toStart = s.getNavigation(3, rover);
    EXPECT_EQ(toStart.getOffset().getType(), SlopeElementSurface);
    EXPECT_NEAR(toStart.getOffset().getDistance(), 2.2 - 2.9, 1e-12);
    EXPECT_NEAR(toStart.getElevation().getDistance(), 0.8 - 1.3, 1e-12);

    for (int index : { -1, 5, 99 }) {
        const SlopeNavigation a = s.getNavigation(index, Point(0.9, 0.5));
        expectSameAnswer(a.getOffset(), below.getOffset());
        expectSameAnswer(a.getElevation(), below.getElevation());
    }
}

TEST(SlopeSectionConfiguration, SidesShareDataAndTheAttachedLibrary)
{
    SlopeSectionConfiguration sections;
    EXPECT_EQ(sections.get(SlopeSideLeft).getSide(), SlopeSideLeft);
    EXPECT_EQ(sections.get(SlopeSideRight).getSide(), SlopeSideRight);
    EXPECT_EQ(sections.get(SlopeSideNeutral).getSide(), SlopeSideNeutral);

    SlopeSectionTemplateLibrary lib;
    SlopeSectionTemplateEditable fill("F", SlopeSectionFill);
    fill.add(SlopeSectionElement::createSlope("s", 2.0, 1.5));
    ASSERT_EQ(lib.add(fill).code, 0);
    SlopeSectionTemplateEditable cut("C", SlopeSectionCut);
    cut.add(SlopeSectionElement::createSlope("s", 1.0, 1.0));
    ASSERT_EQ(lib.add(cut).code, 0);
    sections.attach(lib);

    const SlopeSectionTemplate f = lib.getByName("F");
    const SlopeSectionTemplate c = lib.getByName("C");
    SlopeSectionTemplateConfiguration left = sections.get(SlopeSideLeft);
    ASSERT_EQ(left.addSegment(SlopeSectionSegment::create("a", { 0, f }, { 100, f }).first).code, 0);
    ASSERT_EQ(left.addSegment(SlopeSectionSegment::create("b", { 100, c }, { 200, c }).first).code, 0);
    EXPECT_EQ(sections.get(SlopeSideLeft).size(), 2u);
    sections.get(SlopeSideNeutral).addSegment(SlopeSectionSegment::create("x", { 0, f }, { 1, f }).first);
    EXPECT_EQ(sections.get(SlopeSideNeutral).size(), 0u);

    EXPECT_EQ(sections.getConfiguration(SlopeSideLeft, SlopeSectionCut).size(), 1u);
    EXPECT_EQ(sections.getConfiguration(SlopeSideLeft, SlopeSectionInvalid).size(), 2u);
    EXPECT_EQ(sections.getLeftConfigurationAt(100).getSegmentAt(0).getName(), "b");
    EXPECT_EQ(sections.getRightConfigurationAt(100).size(), 0u);

    // Setting a side adopts the configuration and turns it to that side.
    SlopeSectionTemplateConfiguration right;
    ASSERT_EQ(right.addSegment(SlopeSectionSegment::create("r", { 0, f }, { 50, f }).first).code, 0);
    sections.set(SlopeSideRight, right);
    EXPECT_EQ(right.getSide(), SlopeSideRight);
    right.removeAt(0);
    EXPECT_EQ(sections.get(SlopeSideRight).size(), 0u);
    sections.set(static_cast<SlopeSectionSide>(7), right);
    EXPECT_EQ(sections.get(SlopeSideLeft).size(), 2u);

    // The left side sees library edits on update; after detaching it no longer does.
    SlopeSectionTemplateEditable taller = lib.getAt(SlopeSectionFill, 0);
    taller.setAt(0, SlopeSectionElement::createSlope("s", 3.0, 1.5));
    ASSERT_EQ(lib.setAt(0, taller).code, 0);
    sections.update();
    const SlopeSection placed
        = sections.get(SlopeSideLeft).getInterpolatedByStation(50).generateSlope(Point(0, 0));
    EXPECT_NEAR(placed.getElevation(-4.5), -3.0, 1e-12);
    sections.detach();
    taller.setAt(0, SlopeSectionElement::createSlope("s", 5.0, 1.5));
    ASSERT_EQ(lib.setAt(0, taller).code, 0);
    sections.update();
    EXPECT_EQ(sections.get(SlopeSideLeft).getSegmentAt(0).getBeginTemplate().getAt(0).getHeight(), 3.0);
}

TEST(SlopeSectionConfiguration, LoadsAndSavesBothSides)
{
    SlopeSectionTemplateLibrary lib;
    SlopeSectionTemplateEditable fill("F", SlopeSectionFill);
    fill.add(SlopeSectionElement::createSlope("s", 2.0, 1.5));
    ASSERT_EQ(lib.add(fill).code, 0);

    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse(R"(<SlopeSection><right>
        <template><name>r</name><begin_station>10</begin_station><end_station>20</end_station>
                  <begin_reference>F</begin_reference><end_reference>F</end_reference></template>
        </right></SlopeSection>)"),
              tinyxml2::XML_SUCCESS);
    const Node<SlopeSectionConfiguration> node(std::make_shared<NodeImpl>(doc.RootElement(), 4, 0x04020000));

    SectionsAccess sections;
    sections.attach(lib);
    SlopeSectionTemplateConfiguration left = sections.get(SlopeSideLeft);
    ASSERT_EQ(left.addSegment(SlopeSectionSegment::create("kept", { 0, fill }, { 5, fill }).first).code, 0);
    // Without "left" the left side keeps what it held.
    sections.load(node);
    EXPECT_EQ(sections.get(SlopeSideLeft).size(), 1u);
    ASSERT_EQ(sections.get(SlopeSideRight).size(), 1u);
    EXPECT_TRUE(sections.get(SlopeSideRight).getSegmentAt(0));
    EXPECT_EQ(sections.get(SlopeSideRight).getSide(), SlopeSideRight);
    EXPECT_NEAR(
        sections.get(SlopeSideRight).getInterpolatedByStation(15).generateSlope(Point(0, 0)).getElevation(3),
        -2.0, 1e-12);

    sections.save(node);
    const tinyxml2::XMLElement* root = doc.RootElement();
    ASSERT_NE(root->FirstChildElement("left"), nullptr);
    ASSERT_NE(root->FirstChildElement("right"), nullptr);
    EXPECT_EQ(root->FirstChildElement("right")->NextSiblingElement(), nullptr);
    EXPECT_STREQ(root->FirstChildElement()->Name(), "left");
    const tinyxml2::XMLElement* kept = root->FirstChildElement("left")->FirstChildElement("template");
    ASSERT_NE(kept, nullptr);
    EXPECT_STREQ(kept->FirstChildElement("name")->GetText(), "kept");
    EXPECT_STREQ(kept->FirstChildElement("end_reference")->GetText(), "F");

    SectionsAccess again;
    again.attach(lib);
    again.load(node);
    EXPECT_EQ(again.get(SlopeSideLeft).size(), 1u);
    EXPECT_EQ(again.get(SlopeSideRight).size(), 1u);
    EXPECT_EQ(again.get(SlopeSideLeft).getSegmentAt(0).getName(), "kept");

    // Inline templates of an older file go to the library the configuration was attached to.
    tinyxml2::XMLDocument old;
    ASSERT_EQ(old.Parse(R"(<SlopeSection><left><template><name>F</name><start>0</start><end>50</end>
        <type>1</type><element><type>0</type><name>e</name><height>1</height><ratio>1</ratio></element>
        </template></left></SlopeSection>)"),
              tinyxml2::XML_SUCCESS);
    SectionsAccess older;
    older.attach(lib);
    older.load(Node<SlopeSectionConfiguration>(std::make_shared<NodeImpl>(old.RootElement(), 4, 0x04000000)));
    ASSERT_EQ(older.get(SlopeSideLeft).size(), 1u);
    EXPECT_EQ(older.get(SlopeSideLeft).getSegmentAt(0).getBeginTemplate().getName(), "F_1");
    EXPECT_EQ(lib.getByName("F_1").getType(), SlopeSectionCut);
}
