#include <road/internal/node.h>
#include <road/pointofintersectionconfiguration.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

using Pelko::Corvex::Point;
using namespace Pelko::Road;

namespace {
const double kPi = 4.0 * std::atan(1.0);

// The list's file access is for the alignment; tests reach it through a subclass.
class StoredPois : public PointOfIntersectionConfiguration
{
public:
    using PointOfIntersectionConfiguration::load;
    using PointOfIntersectionConfiguration::save;
};

using ListNode = internal::Node<PointOfIntersectionConfiguration>;

struct XmlNode
{
    tinyxml2::XMLDocument doc;
    ListNode node;
    explicit XmlNode(const char* text = "<HorizontalAlignment/>")
    {
        EXPECT_EQ(doc.Parse(text), tinyxml2::XML_SUCCESS);
        node = ListNode(std::make_shared<internal::Xml::NodeImpl>(doc.RootElement(), 4, 0x04020000));
    }
};

PointOfIntersection point(double x, double y, double station = 0.0)
{
    return PointOfIntersection::createPoint(Point(x, y), station).first;
}
PointOfIntersection arc(double x, double y, double r)
{
    return PointOfIntersection::createArc(Point(x, y), r).first;
}

double azimuth(const Point& a, const Point& b)
{
    double t = std::atan2(b.getY() - a.getY(), b.getX() - a.getX());
    return t < 0.0 ? t + 2.0 * kPi : t;
}

// Stations of an arc-only PI polygon from the closed forms T = R tan(D/2) and L = R D.
std::vector<double> arcStations(const std::vector<Point>& p, const std::vector<double>& r, double start)
{
    std::vector<double> station { start };
    double tangent = 0.0;
    double length = 0.0;
    for (std::size_t k = 1; k < p.size(); ++k) {
        station.push_back(station.back() - tangent + length + p[k - 1].distance(p[k]) - tangent);
        tangent = length = 0.0;
        if (k + 1 < p.size() && r[k] > 0.0) {
            const double delta
                = std::fabs(std::fabs(azimuth(p[k], p[k + 1]) - azimuth(p[k], p[k - 1])) - kPi);
            tangent = r[k] * std::tan(delta / 2.0);
            length = r[k] * delta;
        }
    }
    return station;
}

void expectStations(const PointOfIntersectionConfiguration& list, const std::vector<Point>& p,
                    const std::vector<double>& r, double start)
{
    const std::vector<double> expected = arcStations(p, r, start);
    ASSERT_EQ(list.size(), expected.size());
    for (unsigned k = 0; k < list.size(); ++k)
        EXPECT_NEAR(list.at(k).getPoiStation(), expected[k], 1e-9) << "PI " << k;
}
} // namespace

TEST(PointOfIntersectionConfiguration, InsertionsUpdateDeflectionsAndStations)
{
    PointOfIntersectionConfiguration list;
    // Out of range is the null PI, not a point PI at the origin.
    EXPECT_FALSE(list.at(0).isValid());
    list.append(point(0.0, 0.0, 100.0));
    EXPECT_FALSE(list.at(1).isValid());
    EXPECT_FALSE(list[5].isValid());
    EXPECT_DOUBLE_EQ(list.at(0).getPoiStation(), 100.0);
    EXPECT_DOUBLE_EQ(list.at(0).getDeflectionAngle().toRadian(), 0.0);

    list.append(arc(100.0, 0.0, 100.0));
    EXPECT_DOUBLE_EQ(list.at(1).getDeflectionAngle().toRadian(), 0.0); // no next PI yet
    EXPECT_DOUBLE_EQ(list.at(1).getPoiStation(), 200.0);

    // A right-angle corner: tangents R, arc R pi/2.
    list.append(point(100.0, 100.0));
    const PointOfIntersection corner = list.at(1);
    EXPECT_NEAR(corner.getDeflectionAngle().toRadian(), kPi / 2.0, 1e-12);
    EXPECT_NEAR(corner.getInTangentLength(), 100.0, 1e-9);
    EXPECT_NEAR(corner.getArcLength(), 50.0 * kPi, 1e-9);
    EXPECT_NEAR(list.at(2).getPoiStation(), 100.0 + 50.0 * kPi, 1e-9);

    // Copies share the PIs, so the update is seen through every copy.
    PointOfIntersectionConfiguration shared(list);
    PointOfIntersectionConfiguration cloned = list.clone();
    list.insertBefore(1, point(50.0, -20.0));
    EXPECT_EQ(shared.size(), 4u);
    EXPECT_EQ(cloned.size(), 3u);
    EXPECT_NEAR(cloned.at(2).getPoiStation(), 100.0 + 50.0 * kPi, 1e-9);
    expectStations(list, { { 0, 0 }, { 50, -20 }, { 100, 0 }, { 100, 100 } }, { 0, 0, 100, 0 }, 100.0);
}

TEST(PointOfIntersectionConfiguration, EditsInTheMiddleRestationTheWholeTail)
{
    std::vector<Point> p { { 0, 0 }, { 300, 0 }, { 500, 250 }, { 900, 300 }, { 1100, 700 }, { 1500, 800 } };
    std::vector<double> r { 0, 150, 200, 250, 300, 0 };
    PointOfIntersectionConfiguration list;
    list.append(point(p[0].getX(), p[0].getY(), 1000.0));
    for (std::size_t k = 1; k + 1 < p.size(); ++k)
        list.append(arc(p[k].getX(), p[k].getY(), r[k]));
    list.append(point(p.back().getX(), p.back().getY()));
    expectStations(list, p, r, 1000.0);

    // Moving PI 1 changes every station after it, not only those of PI 1 and PI 2.
    p[1] = Point(250.0, -60.0);
    list.set(1, arc(p[1].getX(), p[1].getY(), r[1]));
    expectStations(list, p, r, 1000.0);

    p.insert(p.begin() + 2, Point(420.0, 80.0));
    r.insert(r.begin() + 2, 120.0);
    list.insertBefore(2, arc(420.0, 80.0, 120.0));
    expectStations(list, p, r, 1000.0);

    // The neighbours of a removed PI see each other.
    p.erase(p.begin() + 2);
    r.erase(r.begin() + 2);
    ASSERT_TRUE(list.removeAt(2));
    expectStations(list, p, r, 1000.0);
    ASSERT_TRUE(list.removeAt(0));
    p.erase(p.begin());
    r.erase(r.begin());
    r[0] = 0.0; // the new first PI: no previous neighbour, no deflection, its own station kept
    EXPECT_DOUBLE_EQ(list.at(0).getDeflectionAngle().toRadian(), 0.0);
    expectStations(list, p, r, list.at(0).getPoiStation());

    // Removing the last PI leaves its predecessor without a next neighbour.
    ASSERT_TRUE(list.removeAt(list.size() - 1));
    EXPECT_DOUBLE_EQ(list.at(list.size() - 1).getDeflectionAngle().toRadian(), 0.0);
    EXPECT_FALSE(list.removeAt(list.size()));
}

TEST(PointOfIntersectionConfiguration, LoadUpdatesNeighboursAndDropsBadPis)
{
    StoredPois list;
    list.append(point(0.0, 0.0, 500.0));
    list.append(PointOfIntersection::createTransArcTrans(Point(400.0, 0.0), 300.0, 60.0, 80.0).first);
    list.append(PointOfIntersection::createTransTrans(Point(600.0, 350.0), 250.0, 70.0, 70.0).first);
    list.append(arc(1000.0, 380.0, 400.0));
    list.append(point(1100.0, 800.0));
    XmlNode xml;
    ASSERT_TRUE(list.save(xml.node));
    EXPECT_EQ(xml.node.getInt("type", -1), 1);

    StoredPois loaded;
    ASSERT_TRUE(loaded.load(xml.node));
    ASSERT_EQ(loaded.size(), list.size());
    for (unsigned k = 0; k < list.size(); ++k) {
        const PointOfIntersection a = list.at(k);
        const PointOfIntersection b = loaded.at(k);
        EXPECT_EQ(b.getCurveType(), a.getCurveType()) << k;
        EXPECT_NEAR(b.getDeflectionAngle().toRadian(), a.getDeflectionAngle().toRadian(), 1e-12) << k;
        EXPECT_NEAR(b.getPoiStation(), a.getPoiStation(), 1e-9) << k;
        EXPECT_NEAR(b.getInTangentLength(), a.getInTangentLength(), 1e-9) << k;
        EXPECT_TRUE(std::isfinite(b.getOutTangetLength())) << k;
    }
    EXPECT_GT(loaded.at(1).getDeflectionAngle().toRadian(), 0.1);

    // Unknown types, missing points and values the factories refuse are left out.
    XmlNode bad("<HorizontalAlignment><type>1</type>"
                "<element><type>0</type><x>0</x><y>0</y><station>10</station></element>"
                "<element><type>7</type><x>50</x><y>0</y></element>"
                "<element><type>1</type><x>60</x><y>0</y><radius>0.0005</radius></element>"
                "<element><type>1</type><y>0</y><radius>100</radius></element>"
                "<element><type>2</type><x>70</x><y>0</y><radius>100</radius><in>nan</in></element>"
                "<element><type>1</type><x>100</x><y>0</y><radius>50</radius></element>"
                "<element><type>0</type><x>100</x><y>100</y></element>"
                "</HorizontalAlignment>");
    StoredPois partial;
    ASSERT_TRUE(partial.load(bad.node));
    ASSERT_EQ(partial.size(), 3u);
    EXPECT_EQ(partial.at(1).getCurveType(), ArcPoiType);
    EXPECT_NEAR(partial.at(1).getDeflectionAngle().toRadian(), kPi / 2.0, 1e-12);
    EXPECT_NEAR(partial.at(2).getPoiStation(), 110.0 + 25.0 * kPi, 1e-9);
}
