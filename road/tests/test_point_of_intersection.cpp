#include <road/pointofintersection.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using Pelko::Corvex::Point;
using namespace Pelko::Road;

namespace {
const double kPi = 4.0 * std::atan(1.0);
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kSpiralTolerance = 2e-6;
using PI = PointOfIntersection;

// Opens the stored form to the tests.
struct StoredPi : PointOfIntersection
{
    StoredPi() = default;
    explicit StoredPi(const PointOfIntersection& pi)
        : PointOfIntersection(pi)
    {
    }
    using PointOfIntersection::load;
    using PointOfIntersection::save;
};

struct XmlPi
{
    tinyxml2::XMLDocument doc;
    internal::Node<PointOfIntersection> node;
    XmlPi()
    {
        tinyxml2::XMLElement* e = doc.NewElement("element");
        doc.InsertEndChild(e);
        node = internal::Node<PointOfIntersection>(
            std::make_shared<internal::Xml::NodeImpl>(e, 4, 0x04020000));
    }
};

Point polar(const Point& from, double azimuth, double distance)
{
    return Point::getEnd(from, azimuth, distance);
}

void expectNear(const Point& p, const Point& q, double tolerance)
{
    EXPECT_NEAR(p.getX(), q.getX(), tolerance);
    EXPECT_NEAR(p.getY(), q.getY(), tolerance);
}

// A three-PI polygon updated the way the PI list does it, and the corner laid out as the element
// list lays it out (chained from the first element).
struct Layout
{
    PI start;
    PI corner;
    PI end;
    std::vector<HorizontalElement> elements;

    Layout(const PI& curve, double turn, double endDistance = 400.0)
        : start(PI::createPoint(Point(0.0, 0.0), 1000.0).first)
        , corner(curve)
        , end(PI::createPoint(polar(curve.getPointOfIntersection(), turn, endDistance), 0.0).first)
    {
        start.update(nullptr, &corner);
        corner.update(&start, &end);
        end.update(&corner, nullptr);
        elements = corner.toElements(start, end);
        for (std::size_t k = 0; k < elements.size(); ++k)
            elements[k].update(k == 0 ? HorizontalElement() : elements[k - 1]);
    }
    Point tangentPoint(double azimuth, double length) const
    {
        return polar(corner.getPointOfIntersection(), azimuth, length);
    }
};

std::vector<HorizontalElementType> typesOf(const std::vector<HorizontalElement>& elements)
{
    std::vector<HorizontalElementType> types;
    for (const HorizontalElement& e : elements)
        types.push_back(e.getType());
    return types;
}
} // namespace

TEST(PointOfIntersection, FactoriesRefuseWithTheirCodes)
{
    const Point p(10.0, 20.0);
    PI plain;
    EXPECT_TRUE(plain.isValid());
    EXPECT_EQ(plain.getCurveType(), PointPoiType);
    EXPECT_EQ(plain.getPointOfIntersection().getX(), 0.0);

    auto point = PI::createPoint(p, 1234.5);
    EXPECT_EQ(point.second, PI::NoError);
    EXPECT_EQ(point.first.getPoiStation(), 1234.5);
    EXPECT_EQ(point.first.getRadius(), 0.0);

    EXPECT_EQ(PI::createArc(p, 0.0005).second, PI::RadiusTooSmall);
    EXPECT_EQ(PI::createArc(p, kNaN).second, PI::RadiusNotFinite);
    EXPECT_EQ(PI::createArc(p, kInf).second, PI::RadiusNotFinite);
    EXPECT_FALSE(PI::createArc(p, -kInf).first.isValid());

    // A negative radius is accepted as a left-turn mark; the stored radius is its magnitude.
    auto left = PI::createArc(p, -200.0);
    ASSERT_EQ(left.second, PI::NoError);
    EXPECT_EQ(left.first.getCurveType(), ArcPoiType);
    EXPECT_EQ(left.first.getRadius(), 200.0);
    EXPECT_EQ(left.first.getTurnDirection(), TurnLeft);

    auto arcOnly = PI::createTransArcTrans(p, 200.0, 0.0, 0.0);
    EXPECT_EQ(arcOnly.second, PI::NoError);
    EXPECT_EQ(arcOnly.first.getCurveType(), ArcPoiType);
    EXPECT_EQ(PI::createTransTrans(p, 200.0, 0.0005, -0.0005).first.getCurveType(), ArcPoiType);

    auto outer = PI::createTransArcTrans(p, 0.0, 200.0, 300.0, 50.0, 50.0);
    ASSERT_EQ(outer.second, PI::NoError);
    EXPECT_EQ(outer.first.getCurveType(), SpiralArcSpiralPoiType);
    EXPECT_EQ(outer.first.getStartRadius(), kInf);
    EXPECT_EQ(outer.first.getEndRadius(), 300.0);
    EXPECT_EQ(PI::createTransArcTrans(p, kNaN, 200.0, kNaN, 50.0, 50.0).first.getEndRadius(), kInf);

    EXPECT_EQ(PI::createTransArcTrans(p, 200.0004, 200.0, 0.0, 50.0, 50.0).second, PI::InRadiusEqualsRadius);
    EXPECT_EQ(PI::createTransArcTrans(p, -200.0004, 200.0, 0.0, 50.0, 50.0).second, PI::InRadiusEqualsRadius);
    EXPECT_EQ(PI::createTransArcTrans(p, kInf, 200.0, 199.9995, 50.0, 50.0).second,
              PI::OutRadiusEqualsRadius);
    EXPECT_EQ(PI::createTransTrans(p, 200.0, kNaN, 50.0).second, PI::InSpiralLengthNotFinite);
    EXPECT_EQ(PI::createTransTrans(p, 200.0, 50.0, kInf).second, PI::OutSpiralLengthNotFinite);
    EXPECT_EQ(PI::createTransTrans(p, kNaN, kNaN, kNaN).second, PI::RadiusNotFinite);
    EXPECT_EQ(PI::createTransArcTrans(p, kInf, 0.0002, kInf, 50.0, 50.0).second, PI::RadiusTooSmall);
    // Check order: the radius before the outer radii, the outer radii before the lengths.
    EXPECT_EQ(PI::createTransArcTrans(p, 200.0, 0.0002, 200.0, kNaN, kNaN).second, PI::RadiusTooSmall);
    EXPECT_EQ(PI::createTransArcTrans(p, kInf, 200.0, 200.0, kNaN, 50.0).second, PI::OutRadiusEqualsRadius);

    auto refused = PI::createTransTrans(p, 200.0, kNaN, 50.0);
    EXPECT_FALSE(refused.first.isValid());
    EXPECT_FALSE(static_cast<bool>(refused.first));
    EXPECT_EQ(refused.first.getCurveType(), NullPoiType);
    EXPECT_EQ(refused.first.getRadius(), 0.0);
    EXPECT_EQ(refused.first.getArcLength(), 0.0);
    EXPECT_TRUE(refused.first.toElements(plain, plain).empty());

    EXPECT_EQ(PI::createTransTrans(p, 200.0, 40.0, 40.0).first.getCurveType(), SpiralSpiralPoiType);
}

TEST(PointOfIntersection, CopiesShareAndClonesDoNot)
{
    PI a = PI::createArc(Point(500.0, 0.0), 100.0).first;
    PI copy = a;
    PI deep = a.clone();
    PI start = PI::createPoint(Point(0.0, 0.0), 0.0).first;
    PI end = PI::createPoint(Point(500.0, 300.0), 0.0).first;
    a.update(&start, &end);
    EXPECT_NEAR(copy.getDeflectionAngle().toRadian(), kPi / 2.0, 1e-12);
    EXPECT_EQ(deep.getDeflectionAngle().toRadian(), 0.0);
    EXPECT_EQ(deep.getRadius(), 100.0);
}

TEST(PointOfIntersection, ArcLaysOutBetweenItsTangentPoints)
{
    const double delta = 0.7;
    for (double turn : { delta, -delta }) {
        // The radius sign is not what turns the road: the polygon is.
        Layout layout(PI::createArc(Point(500.0, 0.0), -150.0).first, turn);
        const double t = 150.0 * std::tan(delta / 2.0);
        ASSERT_EQ(typesOf(layout.elements),
                  (std::vector<HorizontalElementType> { LineElementType, ArcElementType }));
        EXPECT_NEAR(layout.elements[0].getLength(), 500.0 - t, 1e-9);
        EXPECT_NEAR(layout.elements[1].getLength(), 150.0 * delta, 1e-9);
        EXPECT_EQ(layout.elements[1].getBeginRadius(), 150.0);
        EXPECT_EQ(layout.elements[1].getRurnDirection(), turn > 0 ? TurnRight : TurnLeft);
        EXPECT_FALSE(layout.elements[1].isBeginPointFixed());
        expectNear(layout.elements[1].getEndPoint(), layout.tangentPoint(turn, t), 1e-5);
        EXPECT_NEAR(layout.elements[1].getEndAzimuth().toRadian(), turn, 1e-9);

        // The end PI continues with one line from the curve's end.
        std::vector<HorizontalElement> last = layout.end.toElements(layout.corner, PI());
        ASSERT_EQ(last.size(), 1u);
        expectNear(last[0].getBeginPoint(), layout.tangentPoint(turn, t), 1e-9);
        EXPECT_NEAR(last[0].getLength(), 400.0 - t, 1e-9);
    }

    // A point PI followed by anything is one line from the previous curve's end.
    PI start = PI::createPoint(Point(0.0, 0.0), 0.0).first;
    PI corner = PI::createPoint(Point(300.0, 400.0), 0.0).first;
    std::vector<HorizontalElement> line
        = corner.toElements(start, PI::createArc(Point(0.0, 900.0), 50.0).first);
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0].getLength(), 500.0);
    EXPECT_NEAR(line[0].getBeginAzimuth().toRadian(), std::atan2(400.0, 300.0), 1e-12);
}

TEST(PointOfIntersection, SymmetricSpiralsLayOutThroughTheirKeyPoints)
{
    const double r = 300.0;
    const double ls = 80.0;
    const double delta = 40.0 * kPi / 180.0;
    Layout layout(PI::createTransArcTrans(Point(500.0, 0.0), r, ls, ls).first, delta);

    // Spiral from the straight: end point by the Fresnel series, shift p and offset q.
    const double th = ls / (2.0 * r);
    const double xs = ls * (1 - th * th / 10 + std::pow(th, 4) / 216 - std::pow(th, 6) / 9360);
    const double ys = ls * (th / 3 - std::pow(th, 3) / 42 + std::pow(th, 5) / 1320 - std::pow(th, 7) / 75600);
    const double p = ys - r * (1 - std::cos(th));
    const double q = xs - r * std::sin(th);
    const double ts = (r + p) * std::tan(delta / 2.0) + q;
    const double lc = r * delta - ls;
    EXPECT_NEAR(layout.corner.getInTangentLength(), ts, kSpiralTolerance);
    EXPECT_NEAR(layout.corner.getOutTangetLength(), ts, kSpiralTolerance);
    EXPECT_NEAR(layout.corner.getArcLength(), lc, 1e-9);
    EXPECT_NEAR(layout.end.getPoiStation(), 1500.0 - 2.0 * ts + 2.0 * ls + lc + 400.0, 2 * kSpiralTolerance);

    ASSERT_EQ(typesOf(layout.elements),
              (std::vector<HorizontalElementType> { LineElementType, SpiralElementType, ArcElementType,
                                                    SpiralElementType }));
    const std::vector<HorizontalElement>& e = layout.elements;
    EXPECT_NEAR(e[1].getLength(), ls, 1e-12);
    EXPECT_NEAR(e[2].getLength(), lc, 1e-9);
    EXPECT_NEAR(e[3].getLength(), ls, 1e-12);
    EXPECT_EQ(e[1].getBeginRadius(), kInf);
    EXPECT_EQ(e[1].getEndRadius(), r);
    EXPECT_EQ(e[3].getBeginRadius(), r);
    EXPECT_EQ(e[3].getEndRadius(), kInf);

    const Point ts_(500.0 - ts, 0.0);
    const Point sc(500.0 - ts + xs, ys);
    const Point st = layout.tangentPoint(delta, ts);
    // Back from ST along the out tangent by xs, then ys to the right of it.
    const Point cs(st.getX() - xs * std::cos(delta) - ys * std::sin(delta),
                   st.getY() - xs * std::sin(delta) + ys * std::cos(delta));
    expectNear(e[0].getEndPoint(), ts_, kSpiralTolerance);
    expectNear(e[1].getEndPoint(), sc, kSpiralTolerance);
    expectNear(e[2].getEndPoint(), cs, 1e-5);
    expectNear(e[3].getEndPoint(), st, 1e-5);
    EXPECT_NEAR(e[1].getEndAzimuth().toRadian(), th, 1e-12);
    EXPECT_NEAR(e[2].getEndAzimuth().toRadian(), delta - th, 1e-9);
    EXPECT_NEAR(e[3].getEndAzimuth().toRadian(), delta, 1e-9);
}

TEST(PointOfIntersection, UnequalSpiralsAndSpiralSpiralEndOnTheOutTangent)
{
    struct Case
    {
        PI pi;
        double turn;
        std::size_t elements;
    };
    const Point corner(500.0, 0.0);
    const double r = 250.0;
    const double delta = 50.0 * kPi / 180.0;
    const std::vector<Case> cases {
        { PI::createTransArcTrans(corner, r, 60.0, 100.0).first, delta, 4 },
        { PI::createTransArcTrans(corner, r, 100.0, 60.0).first, -delta, 4 },
        { PI::createTransArcTrans(corner, r, 0.0, 90.0).first, delta, 3 },
        { PI::createTransTrans(corner, r, r * delta, r * delta).first, -delta, 3 },
    };
    for (const Case& c : cases) {
        Layout layout(c.pi, c.turn);
        ASSERT_EQ(layout.elements.size(), c.elements);
        const HorizontalElement& first = layout.elements.front();
        const HorizontalElement& last = layout.elements.back();
        EXPECT_NEAR(first.getLength(), 500.0 - layout.corner.getInTangentLength(), 1e-9);
        EXPECT_EQ(last.getRurnDirection(), c.turn > 0 ? TurnRight : TurnLeft);
        expectNear(last.getEndPoint(), layout.tangentPoint(c.turn, layout.corner.getOutTangetLength()), 1e-5);
        EXPECT_NEAR(last.getEndAzimuth().toRadian(), c.turn, 1e-9);
    }
    EXPECT_NEAR(Layout(cases[3].pi, -delta).corner.getArcLength(), 0.0, 1e-9);

    // Without a straight before it the in-spiral carries the start point and azimuth itself.
    PI start = PI::createPoint(Point(0.0, 0.0), 0.0).first;
    PI tight = PI::createTransArcTrans(Point(500.0, 0.0), r, 60.0, 60.0).first;
    PI end = PI::createPoint(polar(Point(500.0, 0.0), delta, 400.0), 0.0).first;
    tight.update(&start, &end);
    PI shifted
        = PI::createPoint(polar(Point(500.0, 0.0), kPi, tight.getInTangentLength() * 1.00005), 0.0).first;
    std::vector<HorizontalElement> noLine = tight.toElements(shifted, end);
    ASSERT_EQ(typesOf(noLine),
              (std::vector<HorizontalElementType> { SpiralElementType, ArcElementType, SpiralElementType }));
    EXPECT_TRUE(noLine[0].isBeginPointFixed());
    EXPECT_TRUE(noLine[0].isBeginAzimuthFixed());
    EXPECT_FALSE(noLine[1].isBeginPointFixed());
}

TEST(PointOfIntersection, DegenerateCornersStayFinite)
{
    // A spiral PI between collinear neighbours is a straight: one line, finite stations after it.
    PI start = PI::createPoint(Point(0.0, 0.0), 100.0).first;
    PI flat = PI::createTransArcTrans(Point(500.0, 0.0), 200.0, 50.0, 50.0).first;
    PI end = PI::createPoint(Point(900.0, 0.0), 0.0).first;
    start.update(nullptr, &flat);
    flat.update(&start, &end);
    end.update(&flat, nullptr);
    EXPECT_EQ(flat.getInTangentLength(), 0.0);
    EXPECT_EQ(flat.getOutTangetLength(), 0.0);
    EXPECT_NEAR(end.getPoiStation(), 1000.0, 1e-9);
    std::vector<HorizontalElement> elements = flat.toElements(start, end);
    ASSERT_EQ(typesOf(elements), std::vector<HorizontalElementType> { LineElementType });
    EXPECT_EQ(elements[0].getLength(), 500.0);
    std::vector<HorizontalElement> after = end.toElements(flat, PI());
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].getBeginPoint().getX(), 500.0);

    // An end PI on the curve's end adds no zero-length line with a made-up azimuth.
    const double delta = 0.6;
    PI corner = PI::createArc(Point(500.0, 0.0), 200.0).first;
    const double t = 200.0 * std::tan(delta / 2.0);
    PI onEnd = PI::createPoint(polar(Point(500.0, 0.0), delta, t), 0.0).first;
    corner.update(&start, &onEnd);
    onEnd.update(&corner, nullptr);
    EXPECT_TRUE(onEnd.toElements(corner, PI()).empty());
    EXPECT_EQ(corner.toElements(start, onEnd).size(), 2u);

    // Coinciding PIs give no NaN.
    PI twin = PI::createPoint(Point(0.0, 0.0), 0.0).first;
    EXPECT_TRUE(twin.toElements(start, PI()).empty());
    twin.update(&start, nullptr);
    EXPECT_EQ(twin.getPoiStation(), 100.0);
}

TEST(PointOfIntersection, StoredFormRoundTripsAndBadEntriesFail)
{
    std::vector<PI> pis {
        PI::createPoint(Point(12.5, -7.25), 1234.5).first,
        PI::createArc(Point(1.0 / 3.0, 2.0), -250.0).first,
        PI::createTransArcTrans(Point(5.0, 6.0), 400.0, 300.0, 0.0, 40.0, 55.5).first,
        PI::createTransTrans(Point(5.0, 6.0), -500.0, 45.0, 45.0).first,
    };
    for (const PI& pi : pis) {
        XmlPi xml;
        ASSERT_TRUE(StoredPi(pi).save(xml.node));
        StoredPi loaded;
        ASSERT_TRUE(loaded.load(xml.node));
        EXPECT_EQ(loaded.getCurveType(), pi.getCurveType());
        EXPECT_EQ(loaded.getPointOfIntersection().getX(), pi.getPointOfIntersection().getX());
        EXPECT_EQ(loaded.getPointOfIntersection().getY(), pi.getPointOfIntersection().getY());
        EXPECT_EQ(loaded.getPoiStation(), pi.getCurveType() == PointPoiType ? pi.getPoiStation() : 0.0);
        EXPECT_EQ(loaded.getRadius(), pi.getRadius());
        EXPECT_EQ(loaded.getStartRadius(), pi.getStartRadius());
        EXPECT_EQ(loaded.getEndRadius(), pi.getEndRadius());
        EXPECT_EQ(loaded.getTurnDirection(), pi.getTurnDirection());
        EXPECT_EQ(loaded.getInSpiralLength(), pi.getInSpiralLength());
        EXPECT_EQ(loaded.getOutSpiralLength(), pi.getOutSpiralLength());
    }
    {
        XmlPi xml;
        StoredPi(pis[2]).save(xml.node);
        EXPECT_STREQ(xml.doc.RootElement()->FirstChildElement("outRadius")->GetText(), "inf");
        EXPECT_STREQ(xml.doc.RootElement()->FirstChildElement("type")->GetText(), "2");
    }
    XmlPi nothing;
    EXPECT_FALSE(StoredPi(PI::createArc(Point(), 0.0).first).save(nothing.node));

    // Entries the factories would refuse, or of unknown kind, must not pass as a point at (0, 0).
    const std::vector<std::string> bad {
        "<type>7</type><x>1</x><y>2</y>",
        "<type>-1</type><x>1</x><y>2</y>",
        "<type>1</type><x>1</x><y>2</y>",
        "<type>1</type><x>1</x><y>2</y><radius>0.0005</radius>",
        "<type>2</type><x>1</x><y>2</y><radius>200</radius><inRadius>200.0001</inRadius><in>5</in>",
        "<type>3</type><x>1</x><y>2</y><radius>200</radius><in>inf</in>",
        "<type>0</type><x>1</x><y>2</y><station>inf</station>",
        "<type>0</type><x>1</x>",
        "<type>0</type><x>nan</x><y>2</y>",
    };
    for (const std::string& text : bad) {
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse(("<element>" + text + "</element>").c_str()), tinyxml2::XML_SUCCESS);
        internal::Node<PointOfIntersection> node(
            std::make_shared<internal::Xml::NodeImpl>(doc.RootElement(), 4, 0x04020000));
        // Starts valid, as the PI list's load does.
        StoredPi pi;
        EXPECT_FALSE(pi.load(node)) << text;
        EXPECT_FALSE(pi.isValid()) << text;
    }
    // Missing type and values default to a point at station 0; missing outer radii to the straight.
    tinyxml2::XMLDocument doc;
    doc.Parse("<element><x>3</x><y>4</y></element><element><type>2</type><x>3</x><y>4</y>"
              "<radius>200</radius><in>30</in></element>");
    internal::Node<PointOfIntersection> first(
        std::make_shared<internal::Xml::NodeImpl>(doc.FirstChildElement(), 4, 0));
    StoredPi point;
    ASSERT_TRUE(point.load(first));
    EXPECT_EQ(point.getCurveType(), PointPoiType);
    EXPECT_EQ(point.getPoiStation(), 0.0);
    StoredPi spiral;
    ASSERT_TRUE(spiral.load(first.nextSibling()));
    EXPECT_EQ(spiral.getStartRadius(), kInf);
    EXPECT_EQ(spiral.getOutSpiralLength(), 0.0);
    EXPECT_FALSE(StoredPi().load(internal::Node<PointOfIntersection>()));
}
