#include <road/horizontalalignment.h>
#include <road/internal/node.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <cstdlib>
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

using AlignmentNode = internal::Node<HorizontalAlignment>;

struct XmlNode
{
    tinyxml2::XMLDocument doc;
    AlignmentNode node;
    explicit XmlNode(const char* text = "<HorizontalAlignment/>")
    {
        EXPECT_EQ(doc.Parse(text), tinyxml2::XML_SUCCESS);
        node = AlignmentNode(std::make_shared<internal::Xml::NodeImpl>(doc.RootElement(), 4, 0x04020000));
    }
    std::string text() const
    {
        tinyxml2::XMLPrinter printer(nullptr, true);
        doc.Print(&printer);
        return printer.CStr();
    }
};

// Start (1000, 2000) at station 100 heading 0.3 rad: line 200, right arc R 250 over 200, line 150,
// left spiral-arc-spiral (R 300), line 250.
HorizontalElementConfiguration road()
{
    HorizontalElementConfiguration list;
    list.append(HorizontalElement::createLine(Angle(0.3), 200.0, Point(1000.0, 2000.0), 100.0));
    list.append(HorizontalElement::createArc(kNoAzimuth, 200.0, 250.0, Point::invalid(), kNaN));
    list.append(HorizontalElement::createLine(kNoAzimuth, 150.0, Point::invalid(), kNaN));
    list.append(HorizontalElement::createSpiral(kNoAzimuth, 70.0, kInf, -300.0, Point::invalid(), kNaN));
    list.append(HorizontalElement::createArc(kNoAzimuth, 180.0, -300.0, Point::invalid(), kNaN));
    list.append(HorizontalElement::createSpiral(kNoAzimuth, 90.0, -300.0, kInf, Point::invalid(), kNaN));
    list.append(HorizontalElement::createLine(kNoAzimuth, 250.0, Point::invalid(), kNaN));
    return list;
}

HorizontalAlignment alignmentOf(const HorizontalElementConfiguration& elements)
{
    HorizontalAlignment alignment;
    alignment.setElements(elements);
    return alignment;
}

void expectSameElements(const HorizontalAlignment& a, const HorizontalAlignment& b)
{
    const HorizontalElementConfiguration x = a.getElements();
    const HorizontalElementConfiguration y = b.getElements();
    ASSERT_EQ(x.size(), y.size());
    for (unsigned k = 0; k < x.size(); ++k) {
        EXPECT_EQ(x.at(k).getType(), y.at(k).getType()) << k;
        EXPECT_NEAR(x.at(k).getLength(), y.at(k).getLength(), 1e-5) << k;
        EXPECT_EQ(x.at(k).getBeginRadius(), y.at(k).getBeginRadius()) << k;
        EXPECT_EQ(x.at(k).getEndRadius(), y.at(k).getEndRadius()) << k;
        EXPECT_NEAR(x.at(k).getEndPoint().getX(), y.at(k).getEndPoint().getX(), 1e-5) << k;
        EXPECT_NEAR(x.at(k).getEndPoint().getY(), y.at(k).getEndPoint().getY(), 1e-5) << k;
    }
    // Spiral lengths come back through the PI curve formulas: well inside a millimetre.
    EXPECT_NEAR(a.getEndStation(), b.getEndStation(), 1e-5);
}
} // namespace

TEST(HorizontalAlignment, SourcesDeriveTheOtherForm)
{
    HorizontalAlignment alignment;
    EXPECT_EQ(alignment.getDataSourceType(), NoDataSource);
    EXPECT_DOUBLE_EQ(alignment.getEndStation(), 0.0);

    HorizontalElementConfiguration lal;
    lal.append(HorizontalElement::createLine(Angle(0.0), 100.0, Point(0.0, 0.0), 0.0));
    lal.append(HorizontalElement::createArc(kNoAzimuth, 100.0, 200.0, Point::invalid(), kNaN));
    lal.append(HorizontalElement::createLine(kNoAzimuth, 100.0, Point::invalid(), kNaN));
    alignment.setElements(lal);
    EXPECT_EQ(alignment.getDataSourceType(), ElementsDataSource);
    EXPECT_EQ(alignment.getPointOfIntersections().size(), 3u);
    EXPECT_EQ(alignment.getPointOfIntersections().at(1).getCurveType(), ArcPoiType);
    lal.append(HorizontalElement::createLine(kNoAzimuth, 10.0, Point::invalid(), kNaN));
    EXPECT_DOUBLE_EQ(alignment.getEndStation(), 310.0); // the list is shared with the caller

    // An inexpressible chain keeps its elements and leaves the PIs empty.
    lal.append(HorizontalElement::createSpiral(kNoAzimuth, 50.0, 200.0, kInf, Point::invalid(), kNaN));
    alignment.setElements(lal);
    EXPECT_TRUE(alignment.getPointOfIntersections().isEmpty());
    EXPECT_EQ(alignment.getElements().size(), 5u);

    alignment.setBeginStation(1000.0);
    EXPECT_DOUBLE_EQ(alignment.getBeginStation(), 1000.0);
    EXPECT_DOUBLE_EQ(alignment.getEndStation(), 1360.0);

    PointOfIntersectionConfiguration single;
    single.append(PointOfIntersection::createPoint(Point(5.0, 5.0), 0.0).first);
    alignment.setPointOfIntersections(single);
    EXPECT_EQ(alignment.getDataSourceType(), PoisDataSource);
    EXPECT_TRUE(alignment.getElements().isEmpty());
    EXPECT_DOUBLE_EQ(alignment.getEndStation(), 1000.0);

    // A spiral curve on a straight corner lays out as the straight, never as NaN elements.
    PointOfIntersectionConfiguration straight;
    straight.append(PointOfIntersection::createPoint(Point(0.0, 0.0), 0.0).first);
    straight.append(PointOfIntersection::createTransArcTrans(Point(100.0, 0.0), 200.0, 40.0, 40.0).first);
    straight.append(PointOfIntersection::createPoint(Point(200.0, 0.0), 0.0).first);
    alignment.setPointOfIntersections(straight);
    const HorizontalElementConfiguration laid = alignment.getElements();
    for (unsigned k = 0; k < laid.size(); ++k)
        EXPECT_TRUE(laid.at(k).getEndPoint().isValid()) << k;
    EXPECT_NEAR(alignment.getEndStation(), 200.0, 1e-9);

    HorizontalAlignment copy = alignmentOf(road());
    HorizontalAlignment cloned = copy.clone();
    copy.setBeginStation(0.0);
    EXPECT_DOUBLE_EQ(cloned.getElements().at(0).getBeginStation(), 100.0);
}

TEST(HorizontalAlignment, CoordinatesAtStationAndOffset)
{
    const HorizontalAlignment alignment = alignmentOf(road());
    EXPECT_DOUBLE_EQ(alignment.getEndStation(), 100.0 + 200.0 + 200.0 + 150.0 + 70.0 + 180.0 + 90.0 + 250.0);

    // Line: p = start + s (cos a, sin a) + o (-sin a, cos a), the offset to the right.
    const Point onLine = alignment.getNorthEastByStationOffset(150.0, -4.0);
    EXPECT_NEAR(onLine.getX(), 1000.0 + 50.0 * std::cos(0.3) + 4.0 * std::sin(0.3), 1e-9);
    EXPECT_NEAR(onLine.getY(), 2000.0 + 50.0 * std::sin(0.3) - 4.0 * std::cos(0.3), 1e-9);

    // Right arc: centre R to the right of its begin; the point sits R - o from the centre.
    const Point a0(1000.0 + 200.0 * std::cos(0.3), 2000.0 + 200.0 * std::sin(0.3));
    const Point centre(a0.getX() - 250.0 * std::sin(0.3), a0.getY() + 250.0 * std::cos(0.3));
    const double theta = 0.3 + 120.0 / 250.0;
    const Point onArc = alignment.getNorthEastByStationOffset(420.0, 6.0);
    EXPECT_NEAR(onArc.getX(), centre.getX() + 244.0 * std::sin(theta), 1e-6);
    EXPECT_NEAR(onArc.getY(), centre.getY() - 244.0 * std::cos(theta), 1e-6);

    EXPECT_TRUE(std::isnan(alignment.getNorthEastByStationOffset(99.0, 0.0).getX()));
    EXPECT_TRUE(std::isnan(alignment.getNorthEastByStationOffset(1240.01, 0.0).getY()));
    EXPECT_TRUE(alignment.getNorthEastByStationOffset(99.9995, 0.0).isValid());

    EXPECT_EQ(alignment.getTurningDirectionAt(420.0), TurnRight);
    EXPECT_EQ(alignment.getTurningDirectionAt(800.0), TurnLeft);
    EXPECT_EQ(alignment.getTurningDirectionAt(-5.0), TurnRight);
    EXPECT_EQ(alignment.getBelongedElementIndex(500.0), 1u); // a join: the earlier element
    EXPECT_EQ(alignment.getBelongedElementIndex(500.0, 2), 2u);
    EXPECT_EQ(alignment.getBelongedElementIndex(500.0, 7), kNone);
    EXPECT_EQ(alignment.getBelongedElementIndex(2000.0), kNone);
    EXPECT_FALSE(alignment.getBelongedHorizontalElement(2000.0).isValid());

    // The element of a station is the first in list order of positive length that holds it, also
    // around joins and past a zero-length element.
    HorizontalElementConfiguration elements = road();
    elements.insertBefore(2, HorizontalElement::createLine(kNoAzimuth, 0.0, Point::invalid(), kNaN));
    const HorizontalAlignment withEmpty = alignmentOf(elements);
    for (unsigned k = 0; k < elements.size(); ++k) {
        for (double delta : { -0.0015, -0.0005, 0.0, 0.0005, 0.0015, 3.0 }) {
            const double station = elements.at(k).getBeginStation() + delta;
            HorizontalElement first;
            for (unsigned j = 0; j < elements.size() && !first.isValid(); ++j) {
                const HorizontalElement e = elements.at(j);
                if (e.getLength() > 0.0 && e.contains(station, 0.001))
                    first = e;
            }
            const HorizontalElement found = withEmpty.getBelongedHorizontalElement(station);
            EXPECT_EQ(found.isValid(), first.isValid()) << station;
            EXPECT_DOUBLE_EQ(found.getBeginStation(), first.getBeginStation()) << station;
            EXPECT_EQ(found.getType(), first.getType()) << station;
        }
    }
}

TEST(HorizontalAlignment, StationAndOffsetOfPlanPoints)
{
    const HorizontalAlignment alignment = alignmentOf(road());
    // Both sides of every element, including the spirals, come back to where they were put.
    for (double station = 100.5; station < 1240.0; station += 7.3) {
        for (double offset : { -12.5, 0.0, 9.0 }) {
            const Point p = alignment.getNorthEastByStationOffset(station, offset);
            double s = kNaN;
            double o = kNaN;
            ASSERT_TRUE(alignment.getStationOffsetByNorthEast(p, s, o)) << station << " " << offset;
            EXPECT_NEAR(s, station, 1e-5) << offset;
            EXPECT_NEAR(o, offset, 1e-5) << station;
        }
    }

    // Points on the normal at a join belong to an element, and to the join's station.
    const HorizontalElementConfiguration elements = alignment.getElements();
    for (unsigned k = 1; k < elements.size(); ++k) {
        const double join = elements.at(k).getBeginStation();
        for (double offset : { -20.0, 15.0 }) {
            double s = kNaN;
            double o = kNaN;
            const Point p = alignment.getNorthEastByStationOffset(join, offset);
            ASSERT_TRUE(alignment.getStationOffsetByNorthEast(p, s, o)) << k;
            EXPECT_NEAR(s, join, 1e-5);
            EXPECT_NEAR(o, offset, 1e-5);
        }
    }

    // Exactly on the normal: a line heading east, joined by a right arc, the point 30 m south.
    HorizontalElementConfiguration east;
    east.append(HorizontalElement::createLine(Angle(kPi / 2.0), 100.0, Point(0.0, 0.0), 0.0));
    east.append(HorizontalElement::createArc(kNoAzimuth, 50.0, 100.0, Point::invalid(), kNaN));
    const HorizontalAlignment corner = alignmentOf(east);
    double s = kNaN;
    double o = kNaN;
    ASSERT_TRUE(corner.getStationOffsetByNorthEast(Point(-30.0, 100.0), s, o));
    EXPECT_NEAR(s, 100.0, 1e-9);
    EXPECT_NEAR(o, 30.0, 1e-9);
    EXPECT_FALSE(corner.getStationOffsetByNorthEast(Point(0.0, -1.0), s, o));
    HorizontalElementConfiguration north;
    north.append(HorizontalElement::createLine(Angle(0.0), 100.0, Point(0.0, 0.0), 0.0));
    north.append(HorizontalElement::createArc(kNoAzimuth, 50.0, 100.0, Point::invalid(), kNaN));
    ASSERT_TRUE(alignmentOf(north).getStationOffsetByNorthEast(Point(100.0, -30.0), s, o));
    EXPECT_NEAR(s, 100.0, 1e-9);
    EXPECT_NEAR(o, -30.0, 1e-9);
    EXPECT_FALSE(corner.getStationOffsetByNorthEast(Point(kNaN, 0.0), s, o));

    // The ends of an alignment whose first tangent heads south and last heads north.
    HorizontalElementConfiguration uturn;
    uturn.append(HorizontalElement::createLine(Angle(kPi), 100.0, Point(500.0, 0.0), 0.0));
    uturn.append(HorizontalElement::createArc(kNoAzimuth, 50.0 * kPi, -50.0, Point::invalid(), kNaN));
    uturn.append(HorizontalElement::createLine(kNoAzimuth, 100.0, Point::invalid(), kNaN));
    const HorizontalAlignment hairpin = alignmentOf(uturn);
    const HorizontalElement last = hairpin.getElements().at(2);
    ASSERT_NEAR(std::cos(last.getEndAzimuth().toRadian()), 1.0, 1e-12);
    ASSERT_TRUE(hairpin.getStationOffsetByNorthEast(last.getEndPoint(), s, o));
    EXPECT_NEAR(s, hairpin.getEndStation(), 1e-6);
    EXPECT_NEAR(o, 0.0, 1e-6);
    ASSERT_TRUE(hairpin.getStationOffsetByNorthEast(Point(500.0, 0.0), s, o));
    EXPECT_NEAR(s, 0.0, 1e-9);
    EXPECT_NEAR(o, 0.0, 1e-9);
    EXPECT_FALSE(hairpin.getStationOffsetByNorthEast(Point(501.0, 0.0), s, o));
}

// A loop ramp: line north 100, a right arc of R 50 turning 270 degrees, a line west that crosses the
// first. Points on the arc beyond half a turn stay on the arc.
TEST(HorizontalAlignment, LoopRampPointsStayOnTheArc)
{
    HorizontalElementConfiguration loop;
    loop.append(HorizontalElement::createLine(Angle(0.0), 100.0, Point(0.0, 0.0), 0.0));
    loop.append(HorizontalElement::createArc(kNoAzimuth, 75.0 * kPi, 50.0, Point::invalid(), kNaN));
    loop.append(HorizontalElement::createLine(kNoAzimuth, 100.0, Point::invalid(), kNaN));
    const HorizontalAlignment ramp = alignmentOf(loop);
    ASSERT_NEAR(ramp.getElements().at(2).getBeginPoint().getX(), 50.0, 1e-3);
    ASSERT_NEAR(ramp.getElements().at(2).getBeginPoint().getY(), 50.0, 1e-3);

    const Point centre(100.0, 50.0);
    double s = kNaN;
    double o = kNaN;
    for (double turned : { 0.5, 1.5, 2.5, 3.5, 4.5, 1.5 * kPi - 1e-4 }) {
        for (double offset : { -5.0, 0.0, 5.0 }) {
            // Right of travel is towards the centre on a right-hand arc.
            const double r = 50.0 - offset;
            const double a = 1.5 * kPi + turned;
            const Point p(centre.getX() + r * std::cos(a), centre.getY() + r * std::sin(a));
            ASSERT_TRUE(ramp.getStationOffsetByNorthEast(p, s, o)) << turned << " " << offset;
            EXPECT_NEAR(s, 100.0 + 50.0 * turned, 1e-6) << turned << " " << offset;
            EXPECT_NEAR(o, offset, 1e-6) << turned << " " << offset;
        }
    }
    // Just before the arc's begin the first line still answers; past the last line nothing does.
    ASSERT_TRUE(ramp.getStationOffsetByNorthEast(Point(99.0, -3.0), s, o));
    EXPECT_NEAR(s, 99.0, 1e-9);
    EXPECT_NEAR(o, -3.0, 1e-9);
    EXPECT_FALSE(ramp.getStationOffsetByNorthEast(Point(-10.0, -60.0), s, o));
}

namespace {
double turnDegrees(double radians)
{
    double a = std::fmod(radians, 2.0 * kPi);
    if (a < 0.0)
        a += 2.0 * kPi;
    return a * 180.0 / kPi;
}

double azimuthOf(const Point& from, const Point& to)
{
    return std::atan2(to.getY() - from.getY(), to.getX() - from.getX());
}

// The plan-point rule walked over every element, as written: the reference for the indexed search.
bool walkEveryElement(const HorizontalAlignment& alignment, const Point& p, double& station, double& offset)
{
    const HorizontalElementConfiguration elements = alignment.getElements();
    double best = kInf;
    bool found = false;
    for (unsigned i = 0; i < elements.size(); ++i) {
        const HorizontalElement e = elements.at(i);
        if (!e || e.getLength() == 0.0 || std::isnan(e.getLength()))
            continue;
        const bool nearBegin = e.getBeginPoint().distance(p) <= 0.001;
        const bool nearEnd = e.getEndPoint().distance(p) <= 0.001;
        if (e.getType() == ArcElementType) {
            const double r = e.getBeginRadius();
            const bool right = e.getRurnDirection() == TurnRight;
            const double toCentre = e.getBeginAzimuth().toRadian() + (right ? kPi / 2.0 : -kPi / 2.0);
            const Point c(e.getBeginPoint().getX() + r * std::cos(toCentre),
                          e.getBeginPoint().getY() + r * std::sin(toCentre));
            const double swept
                = turnDegrees((right ? 1.0 : -1.0) * (azimuthOf(c, p) - azimuthOf(c, e.getBeginPoint())));
            const double total = e.getLength() / r * 180.0 / kPi;
            if (!nearBegin && !nearEnd && swept > total + 1e-7 && swept < 360.0 - 1e-7)
                continue;
        } else {
            if (!nearBegin
                && std::fabs(turnDegrees(azimuthOf(e.getBeginPoint(), p) - e.getBeginAzimuth().toRadian())
                             - 180.0)
                    < 90.0 - 1e-7)
                continue;
            if (!nearEnd
                && std::fabs(turnDegrees(azimuthOf(e.getEndPoint(), p) - e.getEndAzimuth().toRadian())
                             - 180.0)
                    > 90.0 + 1e-7)
                continue;
        }
        double s = kNaN;
        double o = kNaN;
        if (!e.getStationOffset(p, s, o) || std::isnan(o))
            continue;
        if (std::fabs(o) < best - 1e-9) {
            best = std::fabs(o);
            station = s;
            offset = o;
            found = true;
        }
    }
    return found;
}
} // namespace

// A long alignment of both kinds of entry: spiral curves turning either way between PIs, and a chain
// with every element type and a loop at its end. Random points on both sides, points next to every
// join and both ends, and points off the road answer as the walk over every element does.
TEST(HorizontalAlignment, PlanPointsOnALongAlignmentAnswerAsTheWalkOverEveryElement)
{
    PointOfIntersectionConfiguration pois;
    pois.append(PointOfIntersection::createPoint(Point(0.0, 0.0), 1000.0).first);
    for (int k = 1; k < 59; ++k) {
        const double radius = k % 3 == 0 ? -250.0 : 400.0;
        pois.append(PointOfIntersection::createTransArcTrans(Point(k % 2 == 0 ? 0.0 : 300.0, 500.0 * k),
                                                             radius, 60.0, 80.0)
                        .first);
    }
    pois.append(PointOfIntersection::createPoint(Point(300.0, 500.0 * 59), 0.0).first);
    HorizontalAlignment byPis;
    byPis.setPointOfIntersections(pois);
    ASSERT_GT(byPis.getElements().size(), 200u);

    HorizontalElementConfiguration chain = road();
    for (int k = 0; k < 12; ++k) {
        const double turn = k % 2 ? 1.0 : -1.0;
        chain.append(
            HorizontalElement::createArc(kNoAzimuth, 120.0 + k, turn * 220.0, Point::invalid(), kNaN));
        chain.append(HorizontalElement::createLine(kNoAzimuth, 50.0 + 3 * k, Point::invalid(), kNaN));
        chain.append(
            HorizontalElement::createSpiral(kNoAzimuth, 70.0, kInf, -turn * 300.0, Point::invalid(), kNaN));
        chain.append(
            HorizontalElement::createSpiral(kNoAzimuth, 60.0, -turn * 300.0, kInf, Point::invalid(), kNaN));
    }
    chain.append(HorizontalElement::createArc(kNoAzimuth, 75.0 * kPi, 50.0, Point::invalid(), kNaN));
    chain.append(HorizontalElement::createLine(kNoAzimuth, 100.0, Point::invalid(), kNaN));

    std::srand(5);
    auto random = [] { return std::rand() / (RAND_MAX + 1.0); };
    for (const HorizontalAlignment& alignment : { byPis, alignmentOf(chain) }) {
        const HorizontalElementConfiguration elements = alignment.getElements();
        const double begin = elements.at(0).getBeginStation();
        const double end = alignment.getEndStation();
        std::vector<double> stations;
        for (int i = 0; i < 1500; ++i)
            stations.push_back(begin + (end - begin) * random());
        for (unsigned k = 0; k < elements.size(); ++k)
            for (double d : { -0.01, -1e-4, 0.0, 1e-4, 0.01 })
                stations.push_back(elements.at(k).getBeginStation() + d);
        for (double d : { 0.0, 1e-4, 0.5 }) {
            stations.push_back(begin + d);
            stations.push_back(end - d);
        }
        std::vector<Point> points;
        for (double station : stations)
            for (double offset : { -60.0 + 120.0 * random(), -2.0 + 4.0 * random() })
                points.push_back(alignment.getNorthEastByStationOffset(station, offset));
        const Point start = elements.at(0).getBeginPoint();
        for (int i = 0; i < 100; ++i)
            points.emplace_back(start.getX() - 300.0 + 600.0 * random(),
                                start.getY() - 300.0 + 600.0 * random());

        int onRoad = 0;
        for (const Point& p : points) {
            double s = kNaN;
            double o = kNaN;
            double walkedStation = kNaN;
            double walkedOffset = kNaN;
            const bool walked = walkEveryElement(alignment, p, walkedStation, walkedOffset);
            ASSERT_EQ(alignment.getStationOffsetByNorthEast(p, s, o), walked) << p.getX() << " " << p.getY();
            if (!walked)
                continue;
            ++onRoad;
            EXPECT_NEAR(s, walkedStation, 1e-9) << p.getX() << " " << p.getY();
            EXPECT_NEAR(o, walkedOffset, 1e-9) << p.getX() << " " << p.getY();
        }
        EXPECT_GT(onRoad, 3000);
    }
}

// Answers follow every edit made after a query, through the alignment or through a shared list.
TEST(HorizontalAlignment, PlanQueriesFollowEdits)
{
    HorizontalAlignment alignment = alignmentOf(road());
    const Point p = alignment.getNorthEastByStationOffset(450.0, 3.0);
    double s = kNaN;
    double o = kNaN;
    ASSERT_TRUE(alignment.getStationOffsetByNorthEast(p, s, o));
    EXPECT_NEAR(s, 450.0, 1e-6);

    alignment.setBeginStation(1100.0);
    ASSERT_TRUE(alignment.getStationOffsetByNorthEast(p, s, o));
    EXPECT_NEAR(s, 1450.0, 1e-6);
    EXPECT_NEAR(alignment.getNorthEastByStationOffset(1450.0, 3.0).getX(), p.getX(), 1e-6);

    HorizontalElementConfiguration shared = alignment.getElements();
    const Point onLast = alignment.getNorthEastByStationOffset(alignment.getEndStation() - 10.0, 0.0);
    ASSERT_TRUE(alignment.getStationOffsetByNorthEast(onLast, s, o));
    ASSERT_TRUE(shared.removeAt(shared.size() - 1));
    EXPECT_FALSE(alignment.getStationOffsetByNorthEast(onLast, s, o) && std::fabs(o) < 1.0);
    shared.append(HorizontalElement::createLine(kNoAzimuth, 250.0, Point::invalid(), kNaN));
    ASSERT_TRUE(alignment.getStationOffsetByNorthEast(onLast, s, o));
    EXPECT_NEAR(o, 0.0, 1e-6);

    // Moving the first element moves the whole chain.
    shared.set(0, HorizontalElement::createLine(Angle(0.3), 200.0, Point(1100.0, 2000.0), 1100.0));
    EXPECT_FALSE(alignment.getStationOffsetByNorthEast(p, s, o) && std::fabs(o - 3.0) < 1e-6);
    const Point moved(p.getX() + 100.0, p.getY());
    ASSERT_TRUE(alignment.getStationOffsetByNorthEast(moved, s, o));
    EXPECT_NEAR(s, 1450.0, 1e-6);
    EXPECT_NEAR(o, 3.0, 1e-6);
}

TEST(HorizontalAlignment, LoadAndSaveBothForms)
{
    const HorizontalAlignment byElements = alignmentOf(road());
    XmlNode elementsXml;
    ASSERT_TRUE(byElements.save(elementsXml.node));
    EXPECT_EQ(elementsXml.node.getInt("type", -1), 0);
    HorizontalAlignment loaded;
    ASSERT_TRUE(loaded.load(elementsXml.node));
    EXPECT_EQ(loaded.getDataSourceType(), ElementsDataSource);
    expectSameElements(byElements, loaded);
    EXPECT_EQ(loaded.getPointOfIntersections().size(), byElements.getPointOfIntersections().size());

    // The PI form of a road with spiral curves comes back with the same elements and end station:
    // the stored PIs carry no deflections, so loading must compute them before the layout.
    HorizontalAlignment byPois;
    byPois.setPointOfIntersections(byElements.getPointOfIntersections());
    expectSameElements(byElements, byPois);
    XmlNode poisXml;
    ASSERT_TRUE(byPois.save(poisXml.node));
    EXPECT_EQ(poisXml.node.getInt("type", -1), 1);
    HorizontalAlignment reloaded;
    ASSERT_TRUE(reloaded.load(poisXml.node));
    EXPECT_EQ(reloaded.getDataSourceType(), PoisDataSource);
    expectSameElements(byElements, reloaded);
    XmlNode resaved;
    ASSERT_TRUE(reloaded.save(resaved.node));
    EXPECT_EQ(resaved.text(), poisXml.text());

    // PI source without PIs falls back to the stored elements.
    XmlNode fallback(("<HorizontalAlignment><type>1</type>"
                      + elementsXml.text().substr(elementsXml.text().find("<element>")))
                         .c_str());
    HorizontalAlignment fromElements;
    ASSERT_TRUE(fromElements.load(fallback.node));
    EXPECT_EQ(fromElements.getDataSourceType(), ElementsDataSource);
    expectSameElements(byElements, fromElements);

    XmlNode unknown(
        "<HorizontalAlignment><type>2</type><element><type>1</type></element></HorizontalAlignment>");
    HorizontalAlignment none;
    ASSERT_TRUE(none.load(unknown.node));
    EXPECT_EQ(none.getDataSourceType(), 2);
    EXPECT_TRUE(none.getElements().isEmpty());
    // Saving it back keeps what the file held, so the unknown form survives a save and reload.
    ASSERT_TRUE(none.save(unknown.node));
    EXPECT_EQ(unknown.node.getInt("type", -1), 2);
    ASSERT_NE(unknown.doc.RootElement()->FirstChildElement("element"), nullptr);
    HorizontalAlignment again;
    ASSERT_TRUE(again.load(unknown.node));
    EXPECT_EQ(again.getDataSourceType(), 2);
    XmlNode fresh("<HorizontalAlignment/>");
    ASSERT_TRUE(again.save(fresh.node));
    HorizontalAlignment fromFresh;
    ASSERT_TRUE(fromFresh.load(fresh.node));
    EXPECT_EQ(fromFresh.getDataSourceType(), 2);
    // An alignment without a source saves as an empty node.
    XmlNode empty("<HorizontalAlignment><junk/></HorizontalAlignment>");
    ASSERT_TRUE(HorizontalAlignment().save(empty.node));
    EXPECT_EQ(empty.doc.RootElement()->FirstChildElement(), nullptr);
    EXPECT_FALSE(none.load(AlignmentNode()));
}
