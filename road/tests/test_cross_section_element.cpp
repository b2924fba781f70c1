#include <road/crosssectionelement.h>
#include <road/internal/node.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <memory>

using namespace Pelko::Road;

namespace {

struct Access : CrossSectionElement
{
    Access() = default;
    explicit Access(const CrossSectionElement& e)
        : CrossSectionElement(e)
    {
    }
    using CrossSectionElement::load;
    using CrossSectionElement::save;
};

struct Xml
{
    tinyxml2::XMLDocument doc;
    internal::Node<CrossSectionElement> node;

    explicit Xml(const char* text = "<element/>")
    {
        EXPECT_EQ(doc.Parse(text), tinyxml2::XML_SUCCESS);
        node = internal::Node<CrossSectionElement>(
            std::make_shared<internal::Xml::NodeImpl>(doc.FirstChildElement(), 4, 0x04020000));
    }
};

// A strip whose slope is fixed by the class, to see that the derived values go through the getters.
struct SteepElement : CrossSectionElement
{
    SteepElement()
        : CrossSectionElement("steep", 2.0, 1.0, 0.5)
    {
    }
    double getSlopeInPercentage() const override { return 10.0; }
};

} // namespace

TEST(CrossSectionElement, HeightsAcrossTheStrip)
{
    const CrossSectionElement e("lane", 3.5, -2.0, 0.25);
    EXPECT_NEAR(e.getElementDeltaElevation(), -0.07, 1e-15);

    bool ok = false;
    EXPECT_DOUBLE_EQ(e.getObjectDeltaElevation(0.0, &ok), 0.25);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(e.getObjectDeltaElevation(3.5, &ok), 0.25 - 0.07);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(e.getObjectDeltaElevation(1.0, &ok), 0.25 - 0.02);
    EXPECT_TRUE(ok);
    // The bounds are exact: no tolerance past either end.
    EXPECT_EQ(e.getObjectDeltaElevation(-1e-9, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(e.getObjectDeltaElevation(3.5 + 1e-9, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_DOUBLE_EQ(e.getObjectDeltaElevation(2.0), 0.25 - 0.04);

    const SteepElement steep;
    EXPECT_DOUBLE_EQ(steep.getElementDeltaElevation(), 0.2);
    EXPECT_DOUBLE_EQ(steep.getObjectDeltaElevation(1.0), 0.6);
}

TEST(CrossSectionElement, SharingCloningAndSpecialising)
{
    CrossSectionElement original("shoulder", 1.5, 4.0, 0.1);
    CrossSectionElement copy = original;
    copy.setWidth(2.0);
    copy.setName("verge");
    EXPECT_EQ(original.getWidth(), 2.0);
    EXPECT_EQ(original.getName(), "verge");

    original.setStartingOffset(7.0);
    CrossSectionElement clone = original.clone();
    EXPECT_EQ(clone.getStartingOffset(), 7.0);
    clone.setWidth(9.0);
    clone.setSlopeInPercentage(-1.0);
    EXPECT_EQ(original.getWidth(), 2.0);
    EXPECT_EQ(original.getSlopeInPercentage(), 4.0);

    const CrossSectionElement raised = original.specialized(0.2);
    EXPECT_NEAR(raised.getDeltaElevationToPrevious(), 0.3, 1e-15);
    EXPECT_EQ(original.getDeltaElevationToPrevious(), 0.1);
    EXPECT_EQ(raised.getName(), "verge");
    EXPECT_EQ(raised.getWidth(), 2.0);

    // A handle without data answers empty values instead of crashing, and stays empty.
    CrossSectionElement none;
    EXPECT_FALSE(none);
    EXPECT_FALSE(none.isValid());
    none.setWidth(3.0);
    none.setName("x");
    EXPECT_EQ(none.getWidth(), 0.0);
    EXPECT_EQ(none.getName(), "");
    bool ok = true;
    EXPECT_EQ(none.getObjectDeltaElevation(0.0, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(none.clone());
    EXPECT_FALSE(none.specialized(1.0));
}

TEST(CrossSectionElement, LoadAndSave)
{
    Xml xml;
    const CrossSectionElement stored("lane 1", 3.75, 0.1 + 0.2, -1.0 / 3.0);
    Access(stored).save(xml.node);
    // Values in this order, as the road file has them.
    const tinyxml2::XMLElement* child = xml.doc.FirstChildElement()->FirstChildElement();
    ASSERT_NE(child, nullptr);
    EXPECT_STREQ(child->Name(), "name");
    EXPECT_STREQ(child->NextSiblingElement()->Name(), "width");
    EXPECT_STREQ(child->NextSiblingElement()->NextSiblingElement()->Name(), "slope");
    EXPECT_STREQ(child->NextSiblingElement()->NextSiblingElement()->NextSiblingElement()->Name(),
                 "delta_elevation");

    Access loaded;
    EXPECT_TRUE(loaded.load(xml.node));
    EXPECT_TRUE(loaded.isValid());
    EXPECT_EQ(loaded.getName(), "lane 1");
    EXPECT_EQ(loaded.getWidth(), 3.75);
    EXPECT_EQ(loaded.getSlopeInPercentage(), 0.1 + 0.2);
    EXPECT_EQ(loaded.getDeltaElevationToPrevious(), -1.0 / 3.0);

    // Loading fills an existing record in place (copies see it) and keeps the starting offset.
    CrossSectionElement target("old", 1.0, 1.0, 1.0);
    target.setStartingOffset(4.0);
    const CrossSectionElement observer = target;
    Access into(target);
    Xml empty;
    EXPECT_TRUE(into.load(empty.node));
    EXPECT_EQ(observer.getName(), "");
    EXPECT_EQ(observer.getWidth(), 0.0);
    EXPECT_EQ(observer.getSlopeInPercentage(), 0.0);
    EXPECT_EQ(observer.getDeltaElevationToPrevious(), 0.0);
    EXPECT_EQ(observer.getStartingOffset(), 4.0);

    // Numbers that are not finite do not reach the road; the load says so.
    Xml bad(
        "<element><name>a</name><width>nan</width><slope>inf</slope><delta_elevation>0.5</delta_elevation>"
        "</element>");
    Access damaged;
    EXPECT_FALSE(damaged.load(bad.node));
    EXPECT_EQ(damaged.getWidth(), 0.0);
    EXPECT_EQ(damaged.getSlopeInPercentage(), 0.0);
    EXPECT_EQ(damaged.getDeltaElevationToPrevious(), 0.5);
}
