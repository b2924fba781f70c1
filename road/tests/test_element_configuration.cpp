#include <road/elementconfiguration.h>
#include <road/horizontalelementconfiguration.h>
#include <road/internal/node.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using Pelko::Corvex::Angle;
using Pelko::Corvex::Point;
using namespace Pelko::Road;

namespace {
const double kPi = 4.0 * std::atan(1.0);
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const Angle kNoAzimuth(kNaN);
const unsigned kNone = static_cast<unsigned>(-1);

struct Item
{
    std::shared_ptr<int> value;
    Item() = default;
    explicit Item(int v)
        : value(std::make_shared<int>(v))
    {
    }
    bool isValid() const { return value != nullptr; }
    Item clone() const { return value ? Item(*value) : Item(); }
};

// Records every hook call as "i3", "r0" and so on.
class RecordingList : public ElementConfiguration<Item>
{
public:
    std::shared_ptr<std::vector<std::string>> calls = std::make_shared<std::vector<std::string>>();

    RecordingList clone() const
    {
        RecordingList copy;
        cloneTo(copy.elements());
        return copy;
    }
    void appendAll(const std::vector<Item>& items) { append(items); }
    using ElementConfiguration<Item>::append;

protected:
    void onInserted(unsigned i) override { calls->push_back("i" + std::to_string(i)); }
    void onAboutToRemove(unsigned i) override
    {
        // The element is still in the list while the hook runs.
        calls->push_back("r" + std::to_string(i) + (at(i).isValid() ? "" : "!"));
    }
    void onUpdated(unsigned i) override { calls->push_back("u" + std::to_string(i)); }
};

std::vector<int> values(const RecordingList& list)
{
    std::vector<int> out;
    for (unsigned i = 0; i < list.size(); ++i)
        out.push_back(list.at(i).isValid() ? *list.at(i).value : -1);
    return out;
}

struct XmlNode
{
    tinyxml2::XMLDocument doc;
    internal::Node<HorizontalElementConfiguration> node;
    XmlNode()
    {
        tinyxml2::XMLElement* e = doc.NewElement("HorizontalAlignment");
        doc.InsertEndChild(e);
        node = internal::Node<HorizontalElementConfiguration>(
            std::make_shared<internal::Xml::NodeImpl>(e, 4, 0x04020000));
    }
};

// Line 100 north from the origin, right arc R 200 over 100, line 150: a fixed first element only.
HorizontalElementConfiguration lineArcLine()
{
    HorizontalElementConfiguration list;
    list.append(HorizontalElement::createLine(Angle(0.0), 100.0, Point(0.0, 0.0), 0.0));
    list.append(HorizontalElement::createArc(kNoAzimuth, 100.0, 200.0, Point::invalid(), kNaN));
    list.append(HorizontalElement::createLine(kNoAzimuth, 150.0, Point::invalid(), kNaN));
    return list;
}

void expectChained(const HorizontalElementConfiguration& list)
{
    for (unsigned k = 1; k < list.size(); ++k) {
        const HorizontalElement a = list.at(k - 1);
        const HorizontalElement b = list.at(k);
        EXPECT_DOUBLE_EQ(b.getBeginStation(), a.getEndStation()) << k;
        if (!b.isBeginPointFixed()) {
            EXPECT_NEAR(b.getBeginPoint().getX(), a.getEndPoint().getX(), 1e-9) << k;
            EXPECT_NEAR(b.getBeginPoint().getY(), a.getEndPoint().getY(), 1e-9) << k;
        }
        if (!b.isBeginAzimuthFixed()) {
            EXPECT_NEAR(b.getBeginAzimuth().toRadian(), a.getEndAzimuth().toRadian(), 1e-12) << k;
        }
    }
}
} // namespace

TEST(ElementConfiguration, HooksRunWithTheIndexUsedAndOutOfRangeIsQuiet)
{
    RecordingList list;
    EXPECT_TRUE(list.isEmpty());
    list.set(0, Item(9)); // nothing to replace
    EXPECT_TRUE(list.calls->empty());
    EXPECT_FALSE(list.at(5).isValid());
    EXPECT_FALSE(list[0].isValid());

    list.append(Item(1));
    list.append(Item(2));
    list.insertBefore(10, Item(3)); // clamped to the end
    list.insertBefore(0, Item(0));
    EXPECT_EQ(values(list), (std::vector<int> { 0, 1, 2, 3 }));
    EXPECT_EQ(*list.calls, (std::vector<std::string> { "i0", "i1", "i2", "i0" }));

    list.calls->clear();
    EXPECT_FALSE(list.removeAt(4));
    EXPECT_TRUE(list.calls->empty());
    EXPECT_TRUE(list.removeAt(1));
    list.set(2, Item(7));
    EXPECT_EQ(values(list), (std::vector<int> { 0, 2, 7 }));
    EXPECT_EQ(*list.calls, (std::vector<std::string> { "r1", "i2" }));

    list.calls->clear();
    list.appendAll({ Item(8), Item(9) });
    EXPECT_EQ(*list.calls, (std::vector<std::string> { "i3", "i4" }));
}

TEST(ElementConfiguration, CopiesShareAndClonesDoNot)
{
    RecordingList list;
    list.append(Item(1));
    RecordingList shared(list);
    RecordingList cloned = list.clone();
    list.append(Item(2));
    *list.at(0).value = 5; // elements are handles too
    EXPECT_EQ(values(shared), (std::vector<int> { 5, 2 }));
    EXPECT_EQ(values(cloned), (std::vector<int> { 1 }));
    EXPECT_EQ(values(list), values(shared));
}

TEST(HorizontalElementConfiguration, EditsKeepTheChainContinuous)
{
    HorizontalElementConfiguration list;
    list.append(HorizontalElement::createLine(Angle(0.0), 100.0, Point(0.0, 0.0), 1000.0));
    list.append(HorizontalElement::createLine(kNoAzimuth, 150.0, Point::invalid(), kNaN));
    EXPECT_NEAR(list.at(1).getBeginPoint().getX(), 100.0, 1e-9);
    EXPECT_DOUBLE_EQ(list.at(1).getEndStation(), 1250.0);

    // An arc between the lines moves the second line to the arc's end: a right arc of R 200 over
    // 100 turns by 0.5 rad and ends at (R sin 0.5, R (1 - cos 0.5)) from its begin.
    list.insertBefore(1, HorizontalElement::createArc(kNoAzimuth, 100.0, 200.0, Point::invalid(), kNaN));
    ASSERT_EQ(list.size(), 3u);
    expectChained(list);
    const HorizontalElement last = list.at(2);
    EXPECT_NEAR(last.getBeginPoint().getX(), 100.0 + 200.0 * std::sin(0.5), 1e-6);
    EXPECT_NEAR(last.getBeginPoint().getY(), 200.0 * (1.0 - std::cos(0.5)), 1e-6);
    EXPECT_NEAR(last.getBeginAzimuth().toRadian(), 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(last.getBeginStation(), 1200.0);
    EXPECT_DOUBLE_EQ(last.getEndStation(), 1350.0);

    // Removing the arc chains the last line from the first again.
    ASSERT_TRUE(list.removeAt(1));
    expectChained(list);
    EXPECT_NEAR(list.at(1).getBeginPoint().getX(), 100.0, 1e-9);
    EXPECT_NEAR(list.at(1).getBeginPoint().getY(), 0.0, 1e-9);
    EXPECT_NEAR(list.at(1).getBeginAzimuth().toRadian(), 0.0, 1e-12);

    // Replacing element 0 moves everything after it; a fixed begin point stays where it was put.
    list.set(0, HorizontalElement::createLine(Angle(kPi / 2.0), 50.0, Point(10.0, 10.0), 0.0));
    EXPECT_NEAR(list.at(1).getBeginPoint().getY(), 60.0, 1e-9);
    EXPECT_DOUBLE_EQ(list.at(1).getEndStation(), 200.0);
    list.append(HorizontalElement::createLine(Angle(0.0), 10.0, Point(500.0, 500.0), kNaN));
    EXPECT_DOUBLE_EQ(list.at(2).getBeginPoint().getX(), 500.0);
    EXPECT_DOUBLE_EQ(list.at(2).getBeginStation(), 200.0);

    list.setBeginStation(-50.0);
    EXPECT_DOUBLE_EQ(list.at(0).getBeginStation(), -50.0);
    EXPECT_DOUBLE_EQ(list.at(2).getEndStation(), 160.0);

    HorizontalElementConfiguration copy = list.clone();
    list.setBeginStation(0.0);
    EXPECT_DOUBLE_EQ(copy.at(0).getBeginStation(), -50.0);
    HorizontalElementConfiguration().setBeginStation(5.0); // empty: ignored
}

TEST(HorizontalElementConfiguration, FindIndexAndSuggestedTypes)
{
    HorizontalElementConfiguration list;
    EXPECT_EQ(list.findIndex(0.0), kNone);
    list.append(HorizontalElement::createLine(Angle(0.0), 100.0, Point(0.0, 0.0), 0.0));
    list.append(HorizontalElement::createLine(kNoAzimuth, 150.0, Point::invalid(), kNaN));
    EXPECT_EQ(list.findIndex(100.0), 1u);
    EXPECT_EQ(list.findIndex(99.9995), 0u);
    EXPECT_EQ(list.findIndex(250.0008), 1u);
    EXPECT_EQ(list.findIndex(250.002), kNone);
    EXPECT_EQ(list.findIndex(-0.0005), 0u);
    EXPECT_EQ(list.findIndex(-0.002), kNone);
    EXPECT_EQ(list.findIndex(kNaN), kNone);
    EXPECT_FALSE(list.findElement(300.0).isValid());
    EXPECT_DOUBLE_EQ(list.findElement(120.0).getBeginStation(), 100.0);

    HorizontalElementConfiguration many;
    many.append(HorizontalElement::createLine(Angle(0.0), 10.0, Point(0.0, 0.0), 0.0));
    for (int i = 1; i < 37; ++i)
        many.append(HorizontalElement::createLine(kNoAzimuth, 10.0 + i, Point::invalid(), kNaN));
    for (unsigned i = 0; i < many.size(); ++i) {
        const HorizontalElement e = many.at(i);
        EXPECT_EQ(many.findIndex(e.getBeginStation()), i);
        EXPECT_EQ(many.findIndex(e.getMiddleStation()), i);
    }

    EXPECT_EQ(lineArcLine().getPreferedElementType(0), LineElementType);
    EXPECT_EQ(lineArcLine().getPreferedElementType(1), ArcElementType);
    EXPECT_EQ(lineArcLine().getPreferedElementType(2), SpiralElementType);
    EXPECT_EQ(lineArcLine().getPreferedElementType(9), LineElementType);
    HorizontalElementConfiguration spirals;
    spirals.append(HorizontalElement::createSpiral(Angle(0.0), 50.0, kInf, 200.0, Point(), 0.0));
    EXPECT_EQ(spirals.getPreferedElementType(1), LineElementType);
    HorizontalElementConfiguration lineSpiral;
    lineSpiral.append(HorizontalElement::createLine(Angle(0.0), 50.0, Point(), 0.0));
    lineSpiral.append(HorizontalElement::createSpiral(kNoAzimuth, 50.0, kInf, 200.0, Point::invalid(), kNaN));
    EXPECT_EQ(lineSpiral.getPreferedElementType(2), ArcElementType);
}

TEST(HorizontalElementConfiguration, SaveLoadRoundTripAndStartRecord)
{
    const HorizontalElementConfiguration list = lineArcLine();
    XmlNode xml;
    ASSERT_TRUE(list.save(xml.node));
    EXPECT_EQ(xml.node.getInt("type", -1), 0);

    HorizontalElementConfiguration loaded;
    ASSERT_TRUE(loaded.load(xml.node));
    ASSERT_EQ(loaded.size(), list.size());
    for (unsigned k = 0; k < list.size(); ++k) {
        const HorizontalElement a = list.at(k);
        const HorizontalElement b = loaded.at(k);
        EXPECT_EQ(b.getType(), a.getType());
        EXPECT_EQ(b.isBeginPointFixed(), a.isBeginPointFixed());
        EXPECT_EQ(b.isBeginAzimuthFixed(), a.isBeginAzimuthFixed());
        EXPECT_DOUBLE_EQ(b.getEndStation(), a.getEndStation());
        EXPECT_NEAR(b.getEndPoint().getX(), a.getEndPoint().getX(), 1e-9);
        EXPECT_NEAR(b.getEndPoint().getY(), a.getEndPoint().getY(), 1e-9);
    }

    // A start record hands its end point, azimuth and station to the first real element and goes.
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse("<HorizontalAlignment><type>0</type>"
                        "<element><type>0</type><x1>5</x1><y1>7</y1><x2>5</x2><y2>7</y2><l1>300</l1>"
                        "<angle1>1.5707963267948966</angle1><angle2>1.5707963267948966</angle2><rou1>0</"
                        "rou1><rou2>0</rou2>"
                        "<length>0</length><mode>3</mode><pz>1</pz></element>"
                        "<element><type>9</type><pz>1</pz></element>"
                        "<element><type>0</type><length>30</length><mode>0</mode><pz>1</pz></element>"
                        "<element><type>1</type><length>40</length><mode>0</mode><pz>1</pz></element>"
                        "</HorizontalAlignment>"),
              tinyxml2::XML_SUCCESS);
    internal::Node<HorizontalElementConfiguration> node(
        std::make_shared<internal::Xml::NodeImpl>(doc.RootElement(), 4, 0x04020000));
    HorizontalElementConfiguration started;
    ASSERT_TRUE(started.load(node));
    // The records and the unknown type are gone. A second record left at the head would be saved first
    // and taken as the start record on the next load; the line keeps the place it chained to.
    ASSERT_EQ(started.size(), 1u);
    const HorizontalElement line = started.at(0);
    EXPECT_EQ(line.getType(), LineElementType);
    EXPECT_NEAR(line.getBeginPoint().getX(), 5.0, 1e-12);
    EXPECT_NEAR(line.getBeginPoint().getY(), 37.0, 1e-12);
    EXPECT_NEAR(line.getEndPoint().getY(), 77.0, 1e-9);
    EXPECT_DOUBLE_EQ(line.getBeginStation(), 330.0);
    EXPECT_DOUBLE_EQ(line.getEndStation(), 370.0);
}
