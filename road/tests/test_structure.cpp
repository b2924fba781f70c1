#include <road/internal/node.h>
#include <road/structureelementconfiguration.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace Pelko::Road;
using Pelko::Corvex::Angle;
using Pelko::Corvex::Degree;
using Pelko::Corvex::Point3D;

namespace {

const double kPi = 4.0 * std::atan(1.0);
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const unsigned kNone = static_cast<unsigned>(-1);

struct Access : StructureElementConfiguration
{
    using StructureElementConfiguration::load;
    using StructureElementConfiguration::save;
};

struct XmlPart
{
    tinyxml2::XMLDocument doc;
    internal::Node<StructureElementConfiguration> node;

    explicit XmlPart(const char* text = "<StructureElements/>")
    {
        EXPECT_EQ(doc.Parse(text), tinyxml2::XML_SUCCESS);
        node = internal::Node<StructureElementConfiguration>(
            std::make_shared<internal::Xml::NodeImpl>(doc.FirstChildElement(), 4, 0x04020000));
    }
};

StructureElement structure(double station, double angleDeg = 90.0, double width = 2.0)
{
    StructureElement s;
    s.setStation(station);
    s.setAngle(Angle(Degree(angleDeg)));
    s.setForwardWidth(width);
    s.setBackwardWidth(width);
    s.setLeftWidth(width);
    s.setRightWidth(width);
    return s;
}

void expectPoint(const Point3D& p, double x, double y, double z, const char* what)
{
    EXPECT_NEAR(p.x(), x, 1e-9) << what;
    EXPECT_NEAR(p.y(), y, 1e-9) << what;
    EXPECT_NEAR(p.z(), z, 1e-12) << what;
}

std::vector<double> fields(const StructureElement& s)
{
    return { double(s.getElementType()), double(s.getBuildType()), s.getAngle().toRadian(), s.getStation(),
             s.getForwardWidth(),        s.getBackwardWidth(),     s.getLeftWidth(),        s.getRightWidth(),
             s.getCenterHeight(),        s.getCrossSlope() };
}

} // namespace

TEST(StructureElement, SquareCrossingPrimaryPoints)
{
    StructureElement s = structure(100.0);
    s.setCenterHeight(5.0);
    s.setCrossSlope(0.02);
    for (StructureBuildType build : { SkewAndSkewBuildType, SkewAndOrthotropicBuildType }) {
        // At 90 degrees the orthotropic ends coincide with the skew ones.
        s.setBuildType(build);
        const std::vector<Point3D> p = s.calcPrimaryPoints(0.0, 0.0, 0.0);
        ASSERT_EQ(p.size(), 9u);
        expectPoint(p[0], -2, -2, 5.04, "L + db");
        expectPoint(p[1], 0, -2, 5.04, "L");
        expectPoint(p[2], 2, -2, 5.04, "L + df");
        expectPoint(p[3], -2, 0, 5, "B");
        expectPoint(p[4], 0, 0, 5, "M");
        expectPoint(p[5], 2, 0, 5, "F");
        expectPoint(p[6], -2, 2, 4.96, "R + db");
        expectPoint(p[7], 0, 2, 4.96, "R");
        expectPoint(p[8], 2, 2, 4.96, "R + df");
    }
}

TEST(StructureElement, SkewCrossingPrimaryPoints)
{
    const double n = 1000.0, e = 2000.0, az = 0.3;
    const double fw = 3.0, bw = 2.0, lw = 5.0, rw = 4.0, h = 10.0, slope = 0.02;
    for (double deg : { 60.0, 120.0, -60.0 }) {
        const double a = deg * kPi / 180.0;
        StructureElement s;
        s.setAngle(Angle(a));
        s.setForwardWidth(fw);
        s.setBackwardWidth(bw);
        s.setLeftWidth(lw);
        s.setRightWidth(rw);
        s.setCenterHeight(h);
        s.setCrossSlope(slope);

        // u along the road, v along the structure's axis.
        const double ux = std::cos(az), uy = std::sin(az);
        const double vx = std::cos(az + a), vy = std::sin(az + a);
        const double lx = n - lw * vx, ly = e - lw * vy, rx = n + rw * vx, ry = e + rw * vy;
        const double hl = h + lw * slope, hr = h - rw * slope;

        const std::vector<Point3D> p = s.calcPrimaryPoints(n, e, az);
        ASSERT_EQ(p.size(), 9u);
        // Skew ends run parallel to the road through the axis ends.
        expectPoint(p[0], lx - bw * ux, ly - bw * uy, hl, "L + db");
        expectPoint(p[1], lx, ly, hl, "L");
        expectPoint(p[2], lx + fw * ux, ly + fw * uy, hl, "L + df");
        expectPoint(p[3], n - bw * ux, e - bw * uy, h, "B");
        expectPoint(p[4], n, e, h, "M");
        expectPoint(p[5], n + fw * ux, e + fw * uy, h, "F");
        expectPoint(p[6], rx - bw * ux, ry - bw * uy, hr, "R + db");
        expectPoint(p[7], rx, ry, hr, "R");
        expectPoint(p[8], rx + fw * ux, ry + fw * uy, hr, "R + df");

        // Orthotropic ends are square to the axis and pass through F and B: the forward offset is
        // fw sin(a) along the axis normal that points ahead.
        s.setBuildType(SkewAndOrthotropicBuildType);
        const std::vector<Point3D> q = s.calcPrimaryPoints(n, e, az);
        ASSERT_EQ(q.size(), 9u);
        const double wx = std::sin(az + a), wy = -std::cos(az + a);
        const double k = std::fabs(std::sin(a));
        expectPoint(q[2], lx + fw * k * wx, ly + fw * k * wy, hl, "L + df'");
        expectPoint(q[0], lx - bw * k * wx, ly - bw * k * wy, hl, "L + db'");
        expectPoint(q[8], rx + fw * k * wx, ry + fw * k * wy, hr, "R + df'");
        expectPoint(q[6], rx - bw * k * wx, ry - bw * k * wy, hr, "R + db'");
        for (int i : { 1, 3, 4, 5, 7 })
            expectPoint(q[i], p[i].x(), p[i].y(), p[i].z(), "unchanged");
        if (a < 0.0)
            continue;
        // The face through F' and F lies along the axis.
        const double cross = (q[8].x() - q[5].x()) * vy - (q[8].y() - q[5].y()) * vx;
        EXPECT_NEAR(cross, 0.0, 1e-9) << deg;
        const double dot = (q[8].x() - q[7].x()) * vx + (q[8].y() - q[7].y()) * vy;
        EXPECT_NEAR(dot, 0.0, 1e-9) << deg;
    }
}

TEST(StructureElement, HandlesAndRefusedValues)
{
    StructureElement s;
    EXPECT_TRUE(bool(s));
    for (double v : fields(s))
        EXPECT_EQ(v, 0.0);

    StructureElement shared = s;
    EXPECT_TRUE(shared.setStation(42.0));
    EXPECT_EQ(s.getStation(), 42.0);
    StructureElement copy = s.clone();
    EXPECT_TRUE(copy.setStation(7.0));
    EXPECT_EQ(s.getStation(), 42.0);

    EXPECT_TRUE(s.setElementType(OverpassType));
    EXPECT_TRUE(s.setBuildType(SkewAndOrthotropicBuildType));
    EXPECT_TRUE(s.setCrossSlope(0.02));
    const std::vector<double> before = fields(s);
    EXPECT_FALSE(s.setStation(kNaN));
    EXPECT_FALSE(s.setForwardWidth(kInf));
    EXPECT_FALSE(s.setBackwardWidth(-kInf));
    EXPECT_FALSE(s.setLeftWidth(kNaN));
    EXPECT_FALSE(s.setRightWidth(kNaN));
    EXPECT_FALSE(s.setCenterHeight(kInf));
    EXPECT_FALSE(s.setCrossSlope(kNaN));
    EXPECT_FALSE(s.setAngle(Angle(kNaN)));
    EXPECT_FALSE(s.setAngle(Angle(kInf)));
    EXPECT_FALSE(s.setElementType(static_cast<StructureElementType>(4)));
    EXPECT_FALSE(s.setElementType(static_cast<StructureElementType>(-1)));
    EXPECT_FALSE(s.setBuildType(static_cast<StructureBuildType>(2)));
    EXPECT_EQ(fields(s), before);
}

TEST(StructureElementConfiguration, FindIndex)
{
    StructureElementConfiguration list;
    EXPECT_EQ(list.findIndex(100.0), kNone);
    list.append(structure(100.0));
    list.append(structure(200.0));
    list.append(structure(300.0));
    EXPECT_EQ(list.findIndex(250.0), 1u);
    EXPECT_EQ(list.findIndex(200.0), 1u);
    EXPECT_EQ(list.findIndex(199.99), 0u);
    EXPECT_EQ(list.findIndex(300.0), 2u);
    EXPECT_EQ(list.findIndex(300.0009), 2u);
    EXPECT_EQ(list.findIndex(300.0011), kNone);
    EXPECT_EQ(list.findIndex(100.0), 0u);
    EXPECT_EQ(list.findIndex(99.9995), 0u);
    EXPECT_EQ(list.findIndex(99.0), kNone);
    EXPECT_EQ(list.findIndex(kNaN), kNone);
    EXPECT_EQ(list.findIndex(kInf), kNone);
    EXPECT_EQ(list.findIndex(-kInf), kNone);

    StructureElementConfiguration one;
    one.append(structure(50.0));
    EXPECT_EQ(one.findIndex(50.0005), 0u);
    EXPECT_EQ(one.findIndex(51.0), kNone);
}

TEST(StructureElementConfiguration, EditsShareAndClone)
{
    StructureElementConfiguration list;
    list.append(structure(200.0));
    list.insertBefore(0, structure(100.0));
    list.insertBefore(2, structure(400.0));
    list.insertBefore(2, structure(300.0));
    list.insertBefore(99, structure(500.0));
    ASSERT_EQ(list.size(), 5u);
    for (unsigned i = 0; i < list.size(); ++i)
        EXPECT_EQ(list.at(i).getStation(), 100.0 * (i + 1));

    EXPECT_FALSE(list.removeAt(5));
    EXPECT_EQ(list.size(), 5u);
    EXPECT_TRUE(list.removeAt(4));
    EXPECT_TRUE(list.removeAt(0));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.at(0).getStation(), 200.0);
    EXPECT_EQ(list.at(2).getStation(), 400.0);

    // at() hands out the listed structure itself; a copy of the list shares the vector.
    list.at(1).setCenterHeight(12.5);
    EXPECT_EQ(list.at(1).getCenterHeight(), 12.5);
    StructureElementConfiguration shared = list;
    shared.append(structure(900.0));
    EXPECT_EQ(list.size(), 4u);

    StructureElementConfiguration copy = list.clone();
    ASSERT_EQ(copy.size(), list.size());
    copy.at(1).setCenterHeight(1.0);
    copy.removeAt(0);
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(list.at(1).getCenterHeight(), 12.5);
    EXPECT_EQ(copy.at(0).getCenterHeight(), 1.0);
}

TEST(StructureElementConfiguration, SaveAndLoad)
{
    Access list;
    StructureElement a = structure(123.456789012345678, 73.123, 1.0 / 3.0);
    a.setElementType(CircularCulvertType);
    a.setBuildType(SkewAndOrthotropicBuildType);
    a.setForwardWidth(2.5);
    a.setRightWidth(1e-7);
    a.setCenterHeight(-12.75);
    a.setCrossSlope(0.02);
    list.append(a);
    // Stored in list order, not sorted.
    StructureElement b = structure(50.0);
    b.setElementType(OverpassType);
    list.append(b);

    XmlPart part("<StructureElements><stale/><element><station>1</station></element></StructureElements>");
    EXPECT_TRUE(list.save(part.node));
    tinyxml2::XMLElement* root = part.doc.FirstChildElement();
    std::vector<std::string> names;
    for (auto* child = root->FirstChildElement(); child; child = child->NextSiblingElement())
        names.push_back(child->Name());
    EXPECT_EQ(names, std::vector<std::string>({ "element", "element" }));
    names.clear();
    for (auto* child = root->FirstChildElement()->FirstChildElement(); child;
         child = child->NextSiblingElement())
        names.push_back(child->Name());
    EXPECT_EQ(names,
              std::vector<std::string>({ "element_type", "build_type", "angle", "station", "forward_width",
                                         "backward_width", "left_width", "right_width", "center_height",
                                         "cross_slope" }));
    EXPECT_STREQ(root->FirstChildElement()->FirstChildElement("element_type")->GetText(), "1");

    // Loading appends to what is there; doubles come back bit for bit.
    Access loaded;
    loaded.append(structure(1.0));
    EXPECT_TRUE(loaded.load(part.node));
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded.at(0).getStation(), 1.0);
    EXPECT_EQ(fields(loaded.at(1)), fields(a));
    EXPECT_EQ(fields(loaded.at(2)), fields(b));

    // Saving again replaces the part rather than adding to it.
    EXPECT_TRUE(loaded.save(part.node));
    int count = 0;
    for (auto* child = root->FirstChildElement(); child; child = child->NextSiblingElement())
        ++count;
    EXPECT_EQ(count, 3);

    Access empty;
    EXPECT_FALSE(empty.save(internal::Node<StructureElementConfiguration>()));
    EXPECT_TRUE(empty.load(internal::Node<StructureElementConfiguration>()));
    EXPECT_EQ(empty.size(), 0u);
}

TEST(StructureElementConfiguration, LoadRefusesUnusableValues)
{
    XmlPart part("<StructureElements>"
                 "<element><station>100</station></element>"
                 "<element><station>nan</station></element>"
                 "<element><station>110</station><angle>inf</angle></element>"
                 "<element><station>120</station><cross_slope>-inf</cross_slope></element>"
                 "<element><station>130</station><left_width>1e999</left_width></element>"
                 "<element><element_type>4</element_type><station>140</station></element>"
                 "<element><build_type>-1</build_type><station>150</station></element>"
                 "<other><station>160</station></other>"
                 "<element><element_type>2</element_type><station>200</station><center_height>7"
                 "</center_height></element>"
                 "</StructureElements>");
    Access list;
    EXPECT_FALSE(list.load(part.node));
    ASSERT_EQ(list.size(), 3u);
    // A structure with only a station is a plain culvert with no extent.
    const std::vector<double> only = fields(list.at(0));
    EXPECT_EQ(only, std::vector<double>({ 0, 0, 0, 100, 0, 0, 0, 0, 0, 0 }));
    // "1e999" is out of range and reads as the default rather than infinity.
    EXPECT_EQ(list.at(1).getStation(), 130.0);
    EXPECT_EQ(list.at(1).getLeftWidth(), 0.0);
    EXPECT_EQ(list.at(2).getElementType(), PassagewayType);
    EXPECT_EQ(list.at(2).getCenterHeight(), 7.0);
}
