#include <road/internal/node.h>
#include <road/slopesection.h>
#include <road/slopesectiontemplate.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <memory>
#include <string>
#include <vector>

using Pelko::Corvex::Point;
using namespace Pelko::Road;
using Pelko::Road::internal::Node;
using Pelko::Road::internal::Xml::NodeImpl;

namespace {

// Reaches the file and library hooks the road document and the library use.
struct TemplateAccess : SlopeSectionTemplateEditable
{
    TemplateAccess() = default;
    explicit TemplateAccess(const SlopeSectionTemplateEditable& t)
        : SlopeSectionTemplateEditable(t)
    {
    }
    using SlopeSectionTemplateEditable::attachToLibrary;
    using SlopeSectionTemplateEditable::detachFromLibrary;
    using SlopeSectionTemplateEditable::fromTemplate;
    using SlopeSectionTemplateEditable::load;
    using SlopeSectionTemplateEditable::save;
    using SlopeSectionTemplateEditable::toTemplate;
};

struct Xml
{
    tinyxml2::XMLDocument doc;

    Node<SlopeSectionTemplateEditable> parse(const char* text)
    {
        EXPECT_EQ(doc.Parse(text), tinyxml2::XML_SUCCESS);
        return node(doc.RootElement());
    }
    Node<SlopeSectionTemplateEditable> empty()
    {
        doc.Clear();
        doc.InsertEndChild(doc.NewElement("template"));
        return node(doc.RootElement());
    }
    static Node<SlopeSectionTemplateEditable> node(tinyxml2::XMLElement* e)
    {
        return Node<SlopeSectionTemplateEditable>(std::make_shared<NodeImpl>(e, 4, 0x04020000));
    }
};

std::vector<std::string> childNames(const tinyxml2::XMLElement* e)
{
    std::vector<std::string> names;
    for (auto* c = e->FirstChildElement(); c; c = c->NextSiblingElement())
        names.push_back(c->Name());
    return names;
}

void expectPoint(const Point& p, double x, double y, const std::string& what = std::string())
{
    EXPECT_NEAR(p.getX(), x, 1e-12) << what;
    EXPECT_NEAR(p.getY(), y, 1e-12) << what;
}

SlopeSectionTemplateEditable cutTemplate()
{
    SlopeSectionTemplateEditable t("cut", SlopeSectionCut);
    t.add(SlopeSectionElement::createSlope("s1", 2, 1.5));
    t.add(SlopeSectionElement::createPlatformBySlope("berm", 2, 2));
    t.add(SlopeSectionElement::createSlope("s2", 1, 1));
    return t;
}

} // namespace

TEST(SlopeSectionTemplate, ValidityAndEditing)
{
    const SlopeSectionTemplate empty;
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.getType(), SlopeSectionInvalid);
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_EQ(empty.getName(), "");
    EXPECT_TRUE(SlopeSectionTemplate("a", SlopeSectionFill).isValid());
    // Only fill and cut make a template that a library can hold.
    EXPECT_FALSE(SlopeSectionTemplate("a", static_cast<SlopeSectionType>(2)).isValid());

    SlopeSectionTemplateEditable t;
    EXPECT_FALSE(t);
    t.setType(SlopeSectionCut);
    EXPECT_TRUE(t);
    t.setType(static_cast<SlopeSectionType>(5));
    EXPECT_FALSE(t);
    t.setType(SlopeSectionFill);
    t.setName("f");
    EXPECT_EQ(t.getName(), "f");

    t.add(SlopeSectionElement::createSlope("s", 2, 1.5));
    t.add(SlopeSectionElement::createPlatformBySlope("p", 2, 2));
    EXPECT_EQ(t.size(), 2u);
    EXPECT_EQ(t.getAt(1).getName(), "p");
    EXPECT_FALSE(t.getAt(2));
    EXPECT_EQ(t.getAt(2).getType(), SlopeElementInvalid);

    EXPECT_FALSE(t.setAt(2, SlopeSectionElement::createSlope("x", 1, 1)));
    EXPECT_EQ(t.size(), 2u);
    EXPECT_TRUE(t.setAt(0, SlopeSectionElement::createSlope("x", 1, 1)));
    EXPECT_EQ(t.getAt(0).getName(), "x");
    EXPECT_FALSE(t.removeAt(2));
    EXPECT_EQ(t.size(), 2u);
    EXPECT_TRUE(t.removeAt(0));
    EXPECT_EQ(t.size(), 1u);
    EXPECT_EQ(t.getAt(0).getName(), "p");

    // Copies share, clones do not.
    const SlopeSectionTemplateEditable shared = t;
    const SlopeSectionTemplateEditable copy = t.clone();
    EXPECT_EQ(shared.memoryId(), t.memoryId());
    EXPECT_NE(copy.memoryId(), t.memoryId());
    t.setName("renamed");
    t.add(SlopeSectionElement::createSlope("s", 1, 1));
    EXPECT_EQ(shared.getName(), "renamed");
    EXPECT_EQ(copy.getName(), "f");
    EXPECT_EQ(copy.size(), 1u);
    EXPECT_EQ(copy.getType(), SlopeSectionFill);
}

TEST(SlopeSectionTemplate, FromTemplateRespectsTheLibrary)
{
    TemplateAccess t(cutTemplate());
    EXPECT_EQ(TemplateAccess::fromTemplate(t).memoryId(), t.memoryId());
    t.attachToLibrary();
    const SlopeSectionTemplateEditable held = TemplateAccess::fromTemplate(t);
    EXPECT_NE(held.memoryId(), t.memoryId());
    EXPECT_FALSE(held);
    EXPECT_EQ(held.size(), 0u);
    t.detachFromLibrary();
    EXPECT_EQ(TemplateAccess::fromTemplate(t).memoryId(), t.memoryId());

    const SlopeSectionTemplate plain = t.toTemplate();
    EXPECT_NE(plain.memoryId(), t.memoryId());
    EXPECT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain.getName(), "cut");
}

TEST(SlopeSectionTemplate, GenerateAtAPointToEachSide)
{
    const SlopeSectionTemplateEditable cut = cutTemplate();
    EXPECT_EQ(SlopeSectionTemplate("e", SlopeSectionCut).generateSlope(Point(1, 1)).size(), 0u);

    // Neutral (never mirrored): widths keep their sign.
    const SlopeSection neutral = cut.generateSlope(Point(10, 5));
    EXPECT_EQ(neutral.getSide(), SlopeSideNeutral);
    ASSERT_EQ(neutral.size(), 3u);
    expectPoint(neutral.at(0).getEndingPoint(), 12, 8);

    const SlopeSectionTemplate right = cut.mirror(SlopeSideRight);
    EXPECT_NE(right.memoryId(), cut.memoryId());
    const SlopeSection r = right.generateSlope(Point(10, 5));
    EXPECT_EQ(r.getSide(), SlopeSideRight);
    ASSERT_EQ(r.size(), 3u);
    expectPoint(r.at(0).getStartingPoint(), 10, 5, "first start");
    expectPoint(r.at(0).getEndingPoint(), 12, 8, "first end");
    expectPoint(r.at(1).getStartingPoint(), 12, 8, "berm start");
    expectPoint(r.at(1).getEndingPoint(), 12.04, 10, "berm end");
    expectPoint(r.at(2).getEndingPoint(), 13.04, 11, "last end");
    EXPECT_FALSE(r.at(3));

    SlopeSectionTemplateEditable fill = cut.clone();
    fill.setType(SlopeSectionFill);
    const SlopeSection l = fill.mirror(SlopeSideLeft).generateSlope(Point(10, -5));
    EXPECT_EQ(l.getSide(), SlopeSideLeft);
    ASSERT_EQ(l.size(), 3u);
    expectPoint(l.at(0).getEndingPoint(), 8, -8, "first end");
    expectPoint(l.at(1).getEndingPoint(), 7.96, -10, "berm end");
    expectPoint(l.at(2).getEndingPoint(), 6.96, -11, "last end");
    EXPECT_EQ(l.at(0).getSlope().getDenominator(), -1.5);

    // Mirroring and generating leave the template neutral.
    expectPoint(cut.getAt(0).getEndingPoint(), 2, 3);
    EXPECT_EQ(cut.generateSlope(Point(0, 0)).getSide(), SlopeSideNeutral);

    // A ditch dips by its inner depth even on a fill slope, and chains on from its outer rim.
    SlopeSectionTemplateEditable withDitch("fd", SlopeSectionFill);
    withDitch.add(SlopeSectionElement::createSlope("s", 2, 1.5));
    withDitch.add(SlopeSectionElement::createSideDitch("d", 0.5, 1, 0.8));
    withDitch.add(SlopeSectionElement::createSlope("t", 1, 2));
    const SlopeSection ld = withDitch.mirror(SlopeSideLeft).generateSlope(Point(0, -4));
    ASSERT_EQ(ld.size(), 3u);
    const std::vector<Point> ditch = ld.at(1).getPoints();
    ASSERT_EQ(ditch.size(), 4u);
    expectPoint(ditch[0], -2, -7, "inner top");
    expectPoint(ditch[1], -2.5, -7, "inner foot");
    expectPoint(ditch[2], -2.5, -8, "outer foot");
    expectPoint(ditch[3], -1.7, -8, "outer top");
    expectPoint(ld.at(2).getStartingPoint(), -1.7, -8, "after the ditch");
    expectPoint(ld.at(2).getEndingPoint(), -2.7, -10, "last end");
}

TEST(SlopeSectionTemplate, SaveAndLoadRoundTrip)
{
    SlopeSectionTemplateEditable t("Mixed", SlopeSectionFill);
    t.add(SlopeSectionElement::createSlope("s", 2, 1.5));
    t.add(SlopeSectionElement::createPlatformBySlope("p", 2.5, -3));
    t.add(SlopeSectionElement::createSideDitch("r", 0.6, 1.2, 0.9));
    t.add(SlopeSectionElement::createSideDitch("z", 0.5, 0.4, 1, 0.8, 1.6));
    // An element without a type is not written.
    t.add(SlopeSectionElement(SlopeElementInvalid));

    Xml xml;
    const Node<SlopeSectionTemplateEditable> node = xml.empty();
    TemplateAccess(t).save(node);
    const tinyxml2::XMLElement* root = xml.doc.RootElement();
    EXPECT_EQ(childNames(root),
              (std::vector<std::string> { "type", "name", "element", "element", "element", "element" }));
    const tinyxml2::XMLElement* first = root->FirstChildElement("element");
    EXPECT_EQ(childNames(first), (std::vector<std::string> { "type", "name", "height", "ratio" }));
    const tinyxml2::XMLElement* second = first->NextSiblingElement("element");
    EXPECT_EQ(childNames(second), (std::vector<std::string> { "type", "name", "width", "slope" }));
    const tinyxml2::XMLElement* third = second->NextSiblingElement("element");
    EXPECT_EQ(childNames(third),
              (std::vector<std::string> { "type", "name", "inner_height", "bottom_width", "outer_height" }));
    const tinyxml2::XMLElement* fourth = third->NextSiblingElement("element");
    EXPECT_EQ(childNames(fourth),
              (std::vector<std::string> { "type", "name", "inner_height", "inner_width", "bottom_width",
                                          "outer_height", "outer_width" }));
    EXPECT_STREQ(fourth->FirstChildElement("inner_width")->GetText(), "0.40000000000000002");

    TemplateAccess back;
    back.load(node);
    EXPECT_EQ(back.getName(), "Mixed");
    EXPECT_EQ(back.getType(), SlopeSectionFill);
    ASSERT_EQ(back.size(), 4u);
    for (unsigned i = 0; i < 4; ++i) {
        const SlopeSectionElement::ElementParameters a = t.getAt(i).getParameters();
        const SlopeSectionElement::ElementParameters b = back.getAt(i).getParameters();
        EXPECT_EQ(a.type, b.type) << i;
        EXPECT_EQ(a.name, b.name) << i;
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(a.values[k], b.values[k]) << i << " value " << k;
        EXPECT_EQ(a.slope.getPercentage(), b.slope.getPercentage()) << i;
    }
}

TEST(SlopeSectionTemplate, LoadOfIncompleteAndInvalidNodes)
{
    {
        // No "type": nothing is read at all.
        Xml xml;
        TemplateAccess t;
        t.load(xml.parse("<template><name>x</name><element><type>0</type></element></template>"));
        EXPECT_FALSE(t);
        EXPECT_EQ(t.getName(), "");
        EXPECT_EQ(t.size(), 0u);
    }
    {
        // A type with no library list is refused the same way.
        Xml xml;
        TemplateAccess t;
        t.load(xml.parse("<template><type>4</type><name>x</name></template>"));
        EXPECT_FALSE(t);
        EXPECT_EQ(t.getName(), "");
    }
    {
        Xml xml;
        TemplateAccess t;
        t.load(
            xml.parse("<template><type>1</type><name>c</name>"
                      "<element><name>untyped</name><height>3</height></element>"
                      "<element><type>9</type><name>future</name></element>"
                      "<element><type>2</type><name>shallow</name><inner_height>0.5</inner_height>"
                      "<bottom_width>0.0005</bottom_width><outer_height>0.5</outer_height></element>"
                      "<element><type>3</type><name>no inner</name><inner_width>1</inner_width>"
                      "<bottom_width>1</bottom_width><outer_height>0.5</outer_height></element>"
                      "<element><type>0</type><name>nan</name><height>nan</height><ratio>1</ratio></element>"
                      "<element><type>0</type><name>inf</name><height>1</height><ratio>inf</ratio></element>"
                      "<element><type>1</type><name>half</name><width>2</width></element>"
                      "<element><type>2</type><name>ok</name><inner_height>0.5</inner_height>"
                      "<bottom_width>1</bottom_width><outer_height>0.8</outer_height></element>"
                      "</template>"));
        EXPECT_EQ(t.getType(), SlopeSectionCut);
        EXPECT_EQ(t.getName(), "c");
        ASSERT_EQ(t.size(), 4u);
        // Missing or unknown types load as a zero-size surface; ditches without a depth or a bottom and
        // values that are not numbers are dropped; a missing value reads as 0.
        for (unsigned i : { 0u, 1u }) {
            EXPECT_EQ(t.getAt(i).getType(), SlopeElementSurface) << i;
            EXPECT_EQ(t.getAt(i).getName(), "") << i;
            EXPECT_EQ(t.getAt(i).getWidth(), 0.0) << i;
            EXPECT_EQ(t.getAt(i).getHeight(), 0.0) << i;
        }
        EXPECT_EQ(t.getAt(2).getName(), "half");
        EXPECT_EQ(t.getAt(2).getSlope().getPercentage(), 0.0);
        EXPECT_EQ(t.getAt(2).getWidth(), 2.0);
        EXPECT_EQ(t.getAt(3).getName(), "ok");
        EXPECT_EQ(t.getAt(3).getType(), SlopeElementRectangularDitch);
    }
}
