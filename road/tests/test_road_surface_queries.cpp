#include <road/crosssectionelementconfiguration.h>
#include <road/horizontalalignment.h>
#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>
#include <road/superelevationpoint.h>
#include <road/verticalalignment.h>
#include <road/wideningpoint.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Pelko::Road;
using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

SlopeSectionTemplateEditable surfaceTemplate(const std::string& name, SlopeSectionType type, double height,
                                             double n)
{
    SlopeSectionTemplateEditable t(name, type);
    t.add(SlopeSectionElement::createSlope(name + " face", height, n));
    return t;
}

void addSegment(RoadSurface& road, SlopeSectionSide side, const std::string& name, double begin, double end)
{
    const SlopeSectionTemplate t = road.getSlopeSectionTemplateLibrary()->getByName(name);
    auto created = SlopeSectionSegment::create(name, { begin, t }, { end, t });
    ASSERT_EQ(created.second, SlopeSectionSegment::Success);
    ASSERT_EQ(road.getSlopeSectionConfiguration()->get(side).addSegment(created.first).code, 0);
}

// A line north from (0, 0) over [0, 100], then a left arc of radius 200 over [100, 200]. The profile
// rises 1 % from 100 at station 0. Both sides have a 3.5 m lane at -2 %; the right side has a 1.5 m
// shoulder at -4 %. From station 100 to 200 the right lane turns to +4 % and the shoulder widens to 2.5 m,
// both linearly. The right side is in fill (2 m at 1:1.5) up to 150, the left in cut (3 m at 1:1).
class TestRoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HorizontalElementConfiguration elements;
        elements.append(HorizontalElement::createLine(0.0, 100.0, Point(0.0, 0.0), 0.0));
        elements.append(HorizontalElement::createArc(kNaN, 100.0, -200.0, Point::invalid(), kNaN));
        road.getHorizontalAligment()->setElements(elements);

        VerticalAlignment profile;
        profile.append(VerticalElement::createSymparabola({ 0.0, 100.0, 0.0, 0.0 }, 0.0));
        profile.append(VerticalElement::createSymparabola({ 300.0, 103.0, 0.0, 0.0 }, 0.0));
        road.setVerticalAlignment(profile);

        CrossSectionConfiguration left;
        left.append(CrossSectionElement("lane", 3.5, -2.0, 0.0));
        CrossSectionConfiguration right;
        right.append(CrossSectionElement("lane", 3.5, -2.0, 0.0));
        right.append(CrossSectionElement("shoulder", 1.5, -4.0, 0.0));
        right.elementConfigurationAt(0).addSuperelevationPoint(
            SuperelevationPoint(SuperelevationLinear, 100.0, -2.0));
        right.elementConfigurationAt(0).addSuperelevationPoint(
            SuperelevationPoint(SuperelevationLinear, 200.0, 4.0));
        right.elementConfigurationAt(1).addWideningPoint(WideningPoint(100.0, 1.5, WideningLinear));
        right.elementConfigurationAt(1).addWideningPoint(WideningPoint(200.0, 2.5, WideningLinear));
        road.getStandardSection()->setCrossSectionConfiguration(StandardSection::Left, left);
        road.getStandardSection()->setCrossSectionConfiguration(StandardSection::Right, right);

        SlopeSectionTemplateLibrary* library = road.getSlopeSectionTemplateLibrary();
        ASSERT_EQ(library->add(surfaceTemplate("fill", SlopeSectionFill, 2.0, 1.5)).code, 0);
        ASSERT_EQ(library->add(surfaceTemplate("cut", SlopeSectionCut, 3.0, 1.0)).code, 0);
        addSegment(road, SlopeSideRight, "fill", 0.0, 150.0);
        addSegment(road, SlopeSideLeft, "cut", 0.0, 200.0);
    }

    double elevation(double station, double offset, double updown = 0.0, bool useSlope = true)
    {
        bool ok = false;
        const double z = road.getElevation(station, offset, updown, useSlope, ok);
        EXPECT_TRUE(ok) << station << " " << offset;
        return z;
    }

    bool fails(double station, double offset, bool useSlope = true)
    {
        bool ok = true;
        road.getElevation(station, offset, 0.0, useSlope, ok);
        return !ok;
    }

    RoadSurface road;
};

} // namespace

TEST_F(TestRoad, ElevationInsideTheSection)
{
    // Profile 100.5 at station 50.
    EXPECT_NEAR(elevation(50.0, 0.0), 100.5, 1e-9);
    EXPECT_NEAR(elevation(50.0, 2.0), 100.5 - 0.04, 1e-9);
    EXPECT_NEAR(elevation(50.0, -3.5), 100.5 - 0.07, 1e-9);
    EXPECT_NEAR(elevation(50.0, 4.5), 100.5 - 0.07 - 0.04, 1e-9);
    double z = 0.0;
    EXPECT_TRUE(road.getElevation(50.0, 2.0, z));
    EXPECT_NEAR(z, 100.46, 1e-9);

    // Station 150: the lane is at +1 % and the shoulder 2 m wide.
    EXPECT_NEAR(road.getStandardSection()->getTotalOffset(StandardSection::Right, 150.0), 5.5, 1e-9);
    EXPECT_NEAR(elevation(150.0, 3.5), 101.5 + 0.035, 1e-9);
    EXPECT_NEAR(elevation(150.0, 5.5), 101.5 + 0.035 - 0.08, 1e-9);

    // updown is taken off inside the section; adjust is added.
    EXPECT_NEAR(elevation(50.0, 0.0, 0.2), 100.3, 1e-9);
    EXPECT_NEAR(elevation(50.0, 2.0, 0.2), 100.26, 1e-9);
    bool ok = false;
    EXPECT_NEAR(road.getElevation(50.0, 2.0, 0.2, ok), 100.66, 1e-9);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(road.getElevation(50.0, 0.0, 0.2, ok), 100.7, 1e-9);
    EXPECT_TRUE(ok);

    // Off the profile nothing is reliable, on the centre line or beside it.
    EXPECT_TRUE(fails(400.0, 0.0));
    EXPECT_TRUE(fails(400.0, 2.0));
    road.getElevation(400.0, 2.0, 0.0, ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(fails(kNaN, 2.0));
    EXPECT_TRUE(fails(50.0, kNaN));
}

TEST_F(TestRoad, ElevationAroundThePivot)
{
    // The right lane's edge keeps the profile, so the centre of the section rises by 0.07.
    road.setPivouType(PivotRoadRightSide, 3.5);
    EXPECT_NEAR(elevation(50.0, 3.5), 100.5, 1e-9);
    EXPECT_NEAR(elevation(50.0, 2.0), 100.5 + 0.07 - 0.04, 1e-9);
    EXPECT_NEAR(elevation(50.0, -2.0), 100.5 + 0.07 - 0.04, 1e-9);
    // The centre line itself stays at the profile.
    EXPECT_NEAR(elevation(50.0, 0.0), 100.5, 1e-9);
    EXPECT_NEAR(elevation(50.0, 0.0009), 100.5, 1e-9);

    // Pivot on the left edge of a medial strip layout: each side keeps its own edge.
    road.setPivouType(PivotMedialStrip, 3.5);
    EXPECT_NEAR(elevation(50.0, -3.5), 100.5, 1e-9);
    EXPECT_NEAR(elevation(50.0, 3.5), 100.5, 1e-9);

    // A pivot beyond the side leaves the section where it was.
    road.setPivouType(PivotRoadLeftSide, 10.0);
    EXPECT_NEAR(elevation(50.0, -2.0), 100.46, 1e-9);

    // The evaluated cross section carries the same shift and the profile elevation.
    road.setPivouType(PivotRoadRightSide, 3.5);
    const CrossSection section = road.getCrossSection(50.0, StandardSection::Right);
    bool extend = false;
    bool ok = false;
    EXPECT_NEAR(section.getDeltaHeightByOffset(3.5, extend, &ok), 100.5, 1e-9);
    EXPECT_TRUE(ok);
    EXPECT_EQ(section.crossSectionElementCount(), 2);
}

TEST_F(TestRoad, ElevationBeyondTheEdge)
{
    // Right fill: 3 m past the 5 m edge the 1:1.5 bank has dropped 2 m. The distance counts from the
    // edge, not from the point clamped onto it.
    const double rightEdge = 100.5 - 0.07 - 0.06;
    EXPECT_NEAR(elevation(50.0, 8.0), rightEdge - 2.0, 1e-9);
    EXPECT_NEAR(elevation(50.0, 6.5), rightEdge - 1.0, 1e-9);
    // Past the bank's foot its line carries on.
    EXPECT_NEAR(elevation(50.0, 11.0), rightEdge - 4.0, 1e-9);
    // Left cut: 1:1 upward.
    EXPECT_NEAR(elevation(50.0, -5.5), 100.5 - 0.07 + 2.0, 1e-9);
    // updown does not move the side slope.
    EXPECT_NEAR(elevation(50.0, 8.0, 0.2), rightEdge - 2.0, 1e-9);
    bool ok = false;
    EXPECT_NEAR(road.getElevation(50.0, 8.0, 0.2, ok), rightEdge - 2.0, 1e-9);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(road.getElevation(50.0, -5.5, 0.2, ok), 100.5 - 0.07 + 2.0, 1e-9);
    EXPECT_TRUE(ok);

    // Without side slopes the section carries on past its edge at the slope of its widest strip.
    EXPECT_NEAR(elevation(50.0, 8.0, 0.0, false), rightEdge - 0.02 * 3.0, 1e-9);
    EXPECT_NEAR(elevation(50.0, -5.5, 0.0, false), 100.5 - 0.02 * 5.5, 1e-9);

    // No slope segment on the right beyond 150: the edge is still answered, beyond it nothing.
    EXPECT_FALSE(fails(160.0, 5.0));
    EXPECT_TRUE(fails(160.0, 8.0));
    road.getElevation(160.0, 8.0, 0.0, ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(fails(160.0, 8.0, false));
}

// The left cut segment ends at the road's last station: no segment follows, so it still gives the slope
// there, by both elevation queries, as a millimetre before.
TEST_F(TestRoad, ElevationAtTheLastStationHasTheSideSlope)
{
    for (const double station : { 199.9995, 200.0 }) {
        EXPECT_NEAR(elevation(station, -5.5), elevation(199.99, -5.5), 1e-3) << station;
        bool ok = false;
        EXPECT_NEAR(road.getElevation(station, -5.5, 0.2, ok), elevation(199.99, -5.5), 1e-3) << station;
        EXPECT_TRUE(ok) << station;
    }
    // Where the right fill ends at 150 nothing follows either; past it there is no slope.
    EXPECT_NEAR(elevation(150.0, 8.0), elevation(149.99, 8.0), 1e-3);
    EXPECT_TRUE(fails(150.002, 8.0));
    // Off the road's end the slope ends too.
    EXPECT_TRUE(fails(200.01, -5.5));
}

// The stations the road covers: its first element's begin to its last element's end, a millimetre's
// tolerance on both.
TEST_F(TestRoad, StationsOnTheRoad)
{
    double begin = kNaN;
    double end = kNaN;
    ASSERT_TRUE(road.getStationRange(begin, end));
    EXPECT_DOUBLE_EQ(begin, 0.0);
    EXPECT_DOUBLE_EQ(end, 200.0);
    for (const double station : { 0.0, -0.0009, 100.0, 200.0, 200.0009 })
        EXPECT_TRUE(road.isOnRoad(station)) << station;
    const double inf = std::numeric_limits<double>::infinity();
    for (const double station : { -0.002, 200.002, kNaN, inf, -inf })
        EXPECT_FALSE(road.isOnRoad(station)) << station;

    // The alignment's own begin station plays no part.
    HorizontalElementConfiguration later;
    later.append(HorizontalElement::createLine(0.0, 140.0, Point(0.0, 0.0), 1000.0));
    RoadSurface shifted;
    shifted.getHorizontalAligment()->setElements(later);
    ASSERT_TRUE(shifted.getStationRange(begin, end));
    EXPECT_DOUBLE_EQ(begin, 1000.0);
    EXPECT_DOUBLE_EQ(end, 1140.0);
    EXPECT_FALSE(shifted.isOnRoad(500.0));
    EXPECT_TRUE(shifted.isOnRoad(1140.0));

    // A road without elements has no stations.
    const RoadSurface empty;
    begin = end = 7.0;
    EXPECT_FALSE(empty.getStationRange(begin, end));
    EXPECT_EQ(begin, 7.0);
    EXPECT_FALSE(empty.isOnRoad(0.0));
}

// The example road, offsets in its side slopes: the last station has its heights. On the right the
// last segment holds one template, so they are those of a centimetre before; on the left it ends in
// another template, which shapes the last millimetre.
TEST(ExampleRoad, LastStationHasItsSideSlopes)
{
    RoadSurface road(std::string(TRELVIN_EXAMPLES_DIR) + "/ridge-road.rod");
    ASSERT_TRUE(road.load());
    double begin = 0.0;
    double end = 0.0;
    ASSERT_TRUE(road.getStationRange(begin, end));
    for (const double offset : { -15.0, -12.0, -8.0, 8.0, 12.0, 15.0 }) {
        double before = 0.0;
        double last = 0.0;
        ASSERT_TRUE(road.getElevation(offset < 0 ? end - 0.0005 : end - 0.01, offset, before)) << offset;
        EXPECT_TRUE(road.getElevation(end, offset, last)) << offset;
        EXPECT_NEAR(last, before, 0.01) << offset;
    }
    double right = 0.0;
    ASSERT_TRUE(road.getElevation(end, 8.0, right));
    EXPECT_NEAR(right, 170.53, 0.005);
}

TEST_F(TestRoad, PlanPointAndStationOffset)
{
    bool ok = false;
    Point p = road.getNorthEast(50.0, 2.0, &ok);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(p.getX(), 50.0, 1e-9);
    EXPECT_NEAR(p.getY(), 2.0, 1e-9);

    // On the left arc, centre (100, -200): radius 200 + offset, turned by the distance over 200.
    for (double s : { 0.0, 37.5, 100.0 }) {
        for (double offset : { -4.0, 0.0, 6.0 }) {
            const double phi = s / 200.0;
            p = road.getNorthEast(100.0 + s, offset, &ok);
            ASSERT_TRUE(ok);
            EXPECT_NEAR(p.getX(), 100.0 + (200.0 + offset) * std::sin(phi), 1e-6);
            EXPECT_NEAR(p.getY(), -200.0 + (200.0 + offset) * std::cos(phi), 1e-6);
            double station = kNaN;
            double back = kNaN;
            ASSERT_TRUE(road.getStationOffset(p, station, back));
            EXPECT_NEAR(station, 100.0 + s, 1e-6);
            EXPECT_NEAR(back, offset, 1e-6);
        }
    }

    road.getNorthEast(kNaN, 0.0, &ok);
    EXPECT_FALSE(ok);
    RoadSurface empty;
    double station = 0.0;
    double offset = 0.0;
    EXPECT_FALSE(empty.getStationOffset(Point(1.0, 1.0), station, offset));
}

TEST_F(TestRoad, Borders)
{
    // A 100 m arc sampled every 10 m: 11 points a side and the closing point.
    RoadSurface arc;
    HorizontalElementConfiguration one;
    one.append(HorizontalElement::createArc(0.0, 100.0, 200.0, Point(0.0, 0.0), 0.0));
    arc.getHorizontalAligment()->setElements(one);
    CrossSectionConfiguration lane;
    lane.append(CrossSectionElement("lane", 3.0, -2.0, 0.0));
    arc.getStandardSection()->setCrossSectionConfiguration(StandardSection::Left, lane);
    arc.getStandardSection()->setCrossSectionConfiguration(StandardSection::Right, lane.clone());
    Pelko::Corvex::Polygon border = arc.getBorder(10.0);
    ASSERT_EQ(border.getPointCount(), 23u);
    for (unsigned i = 0; i <= 10; ++i) {
        const Point left = arc.getNorthEast(10.0 * i, -3.0);
        const Point right = arc.getNorthEast(10.0 * i, 3.0);
        EXPECT_NEAR(border[i].getX(), left.getX(), 1e-9);
        EXPECT_NEAR(border[i].getY(), left.getY(), 1e-9);
        EXPECT_NEAR(border[21 - i].getX(), right.getX(), 1e-9);
        EXPECT_NEAR(border[21 - i].getY(), right.getY(), 1e-9);
    }
    EXPECT_EQ(border[22].getX(), border[0].getX());
    EXPECT_EQ(border[22].getY(), border[0].getY());

    // Lines add only their ends.
    RoadSurface line;
    HorizontalElementConfiguration straight;
    straight.append(HorizontalElement::createLine(0.0, 100.0, Point(0.0, 0.0), 0.0));
    line.getHorizontalAligment()->setElements(straight);
    line.getStandardSection()->setCrossSectionConfiguration(StandardSection::Right, lane);
    border = line.getBorder(10.0);
    ASSERT_EQ(border.getPointCount(), 5u);
    EXPECT_NEAR(border[1].getX(), 100.0, 1e-9);
    EXPECT_NEAR(border[1].getY(), 0.0, 1e-9);
    EXPECT_NEAR(border[2].getY(), 3.0, 1e-9);
    EXPECT_EQ(RoadSurface().getBorder(10.0).getPointCount(), 0u);

    // The test road: every 25 m on the arc, widths as they stand at each station.
    border = road.getBorder(25.0);
    ASSERT_EQ(border.getPointCount(), 13u);
    const Point right150 = road.getNorthEast(150.0, 5.5);
    EXPECT_NEAR(border[8].getX(), right150.getX(), 1e-9);
    EXPECT_NEAR(border[8].getY(), right150.getY(), 1e-9);

    // An interval that would never advance, or one finer than a millimetre, samples element boundaries
    // only.
    for (double interval : { 0.0, -5.0, kNaN, std::numeric_limits<double>::infinity(), 1e-12 }) {
        EXPECT_EQ(road.getBorder(interval).getPointCount(), 7u) << interval;
        EXPECT_EQ(road.getBorder(50.0, 150.0, interval).getPointCount(), 7u) << interval;
    }

    // Between stations: 50 (line), 100, 120, 140 (arc), then 150.
    border = road.getBorder(50.0, 150.0, 20.0);
    ASSERT_EQ(border.getPointCount(), 11u);
    EXPECT_NEAR(border[0].getX(), 50.0, 1e-9);
    EXPECT_NEAR(border[0].getY(), -3.5, 1e-9);
    EXPECT_NEAR(border[5].getX(), right150.getX(), 1e-9);
    EXPECT_NEAR(border[5].getY(), right150.getY(), 1e-9);
    // The range is cut to the alignment.
    EXPECT_EQ(road.getBorder(-50.0, 500.0, 25.0).getPointCount(), 13u);
    EXPECT_EQ(road.getBorder(300.0, 400.0, 10.0).getPointCount(), 0u);
    EXPECT_EQ(road.getBorder(150.0, 50.0, 10.0).getPointCount(), 0u);
    EXPECT_EQ(road.getBorder(kNaN, 50.0, 10.0).getPointCount(), 0u);
}

// A curve far too long for the interval, as a damaged file holds, gives no outline instead of one
// that never ends, as the drawing path gives up on such a curve; element boundaries still outline it.
TEST_F(TestRoad, BordersOfHugeCurves)
{
    RoadSurface long_;
    HorizontalElementConfiguration one;
    one.append(HorizontalElement::createArc(0.0, 2e7, 200.0, Point(0.0, 0.0), 0.0));
    long_.getHorizontalAligment()->setElements(one);
    long_.getStandardSection()->setCrossSectionConfiguration(
        StandardSection::Left,
        road.getStandardSection()->getCrossSectionConfiguration(StandardSection::Left));
    EXPECT_EQ(long_.getBorder(10.0).getPointCount(), 0u);
    EXPECT_EQ(long_.getBorder(0.0, 2e7, 10.0).getPointCount(), 0u);
    EXPECT_EQ(long_.getBorder(2000.0).getPointCount(), 2u * 10001u + 1u);
    EXPECT_EQ(long_.getBorder(1000.0, 1100.0, 10.0).getPointCount(), 2u * 12u + 1u);
    EXPECT_EQ(long_.getBorder(0.0).getPointCount(), 5u);

    for (const char* name : { "huge_arc_border.rod", "huge_arc_border_2.rod", "huge_arc_border_3.rod" }) {
        SCOPED_TRACE(name);
        RoadSurface file(std::string(TEST_DATA_DIR) + "/roundtrip/" + name);
        ASSERT_TRUE(file.load());
        const HorizontalAlignment* alignment = file.getHorizontalAligment();
        EXPECT_EQ(file.getBorder(10.0).getPointCount(), 0u);
        EXPECT_EQ(
            file.getBorder(alignment->getBeginStation(), alignment->getEndStation(), 10.0).getPointCount(),
            0u);
        EXPECT_GT(file.getBorder(0.0).getPointCount(), 0u);
    }
}

// Station coordinates give up on a curve far too long for the interval as the outline does: the
// damaged files once kept this busy past every timeout.
TEST_F(TestRoad, StationCoordinatesOfHugeCurves)
{
    for (const char* name : { "huge_arc_border.rod", "huge_arc_border_2.rod", "huge_arc_border_3.rod" }) {
        SCOPED_TRACE(name);
        RoadSurface file(std::string(TEST_DATA_DIR) + "/roundtrip/" + name);
        ASSERT_TRUE(file.load());
        EXPECT_TRUE(file.generateGradualStationCoordinates(10.0, 2.0).empty());
    }

    // Past a million stations counts, not the length: the same 20,000 km arc at a coarser interval lists
    // every stop up to the end, the midpoint among them.
    RoadSurface long_;
    HorizontalElementConfiguration one;
    one.append(HorizontalElement::createArc(0.0, 2e7, 200.0, Point(0.0, 0.0), 0.0));
    long_.getHorizontalAligment()->setElements(one);
    EXPECT_TRUE(long_.generateGradualStationCoordinates(10.0, 2.0).empty());
    const auto coarse = long_.generateGradualStationCoordinates(1e5, 2.0);
    ASSERT_EQ(coarse.size(), 200u);
    EXPECT_DOUBLE_EQ(coarse[100].station, 1e7);
    EXPECT_DOUBLE_EQ(coarse.back().station, 2e7 - 1e5);
}

TEST_F(TestRoad, IteratorsAndStationCoordinates)
{
    StationIterator it = road.getIterator(20.0, 0.0, 200.0);
    ASSERT_TRUE(it.isValid());
    EXPECT_DOUBLE_EQ(it.getStation(), 0.0);
    EXPECT_DOUBLE_EQ(it.getInterval(), 20.0);
    EXPECT_FALSE(road.getIterator(0.0, 0.0, 200.0).isValid());
    EXPECT_FALSE(road.getIterator(kNaN, 10.0, false).isValid());

    // Positioned by a plan point: its station, and its offset only when asked to keep it.
    const Point p = road.getNorthEast(60.0, 2.0);
    StationIterator kept = road.getIterator(20.0, p, false, true);
    EXPECT_NEAR(kept.getStation(), 60.0, 1e-6);
    EXPECT_NEAR(kept.getStake().getOffset().getX(), 2.0, 1e-6);
    StationIterator centred = road.getIterator(20.0, Point3D(p.getX(), p.getY(), 7.0), false, false);
    EXPECT_NEAR(centred.getStake().getOffset().getX(), 0.0, 1e-9);

    // Every 50 m up to, but not including, the end; the points are the plan and design heights.
    const auto coordinates = road.generateGradualStationCoordinates(50.0, 2.0);
    ASSERT_FALSE(coordinates.empty());
    EXPECT_DOUBLE_EQ(coordinates[0].station, 0.0);
    for (const StationCoordinate& c : coordinates) {
        const Point left = road.getNorthEast(c.station, -2.0);
        EXPECT_NEAR(c.left.x(), left.getX(), 1e-6);
        EXPECT_NEAR(c.left.y(), left.getY(), 1e-6);
        EXPECT_NEAR(c.center.z(), 100.0 + 0.01 * c.station, 1e-9);
        bool ok = false;
        EXPECT_NEAR(c.right.z(), road.getElevation(c.station, 2.0, 0.0, true, ok), 1e-9);
        EXPECT_LT(c.station, 200.0);
    }
    EXPECT_TRUE(road.generateGradualStationCoordinates(0.0, 2.0).empty());
    EXPECT_TRUE(RoadSurface().generateGradualStationCoordinates(10.0, 2.0).empty());
}

TEST_F(TestRoad, DrawingWindow)
{
    // Unless only the centre line is wanted, the window grows by twice the wider side (2 x 5 m), so that
    // borders just outside it are drawn too.
    const ClippedHorizontalAlignment all
        = road.getBorderAndAlign(0.5, 40.0, -1.0, 60.0, 1.0, ClippedHorizontalAlignment::AllLines, 1);
    ASSERT_GE(all.getCenterLinePoints().size(), 2u);
    EXPECT_NEAR(all.getCenterLinePoints()[0].getX(), 30.0, 1e-9);
    EXPECT_NEAR(all.getCenterLinePoints()[1].getX(), 70.0, 1e-9);
    ASSERT_FALSE(all.getLeftBorder().empty());
    EXPECT_NEAR(all.getLeftBorder()[0].getX(), 30.0, 1e-9);
    EXPECT_NEAR(all.getLeftBorder()[0].getY(), -3.5, 1e-9);

    const ClippedHorizontalAlignment centre
        = road.getBorderAndAlign(0.5, 40.0, -1.0, 60.0, 1.0, ClippedHorizontalAlignment::CenterLineOnly, 1);
    ASSERT_GE(centre.getCenterLinePoints().size(), 2u);
    EXPECT_NEAR(centre.getCenterLinePoints()[0].getX(), 40.0, 1e-9);
    EXPECT_TRUE(centre.getLeftBorder().empty());

    // The plan view's unbounded window draws everything.
    const double inf = std::numeric_limits<double>::infinity();
    const ClippedHorizontalAlignment plan
        = road.getBorderAndAlign(0.5, -inf, -inf, inf, inf, ClippedHorizontalAlignment::AllLines, 1);
    EXPECT_NEAR(plan.getCenterLinePoints()[0].getX(), 0.0, 1e-9);
    EXPECT_FALSE(plan.getRightBorder().empty());

    // A spiral too sharp to draw leaves a gap in the centre line, but its NaN station must not reach
    // the border: both borders are still drawn, from finite points only.
    RoadSurface sharp;
    HorizontalElementConfiguration elements;
    elements.append(HorizontalElement::createLine(0.0, 50.0, Point(0.0, 0.0), 0.0));
    elements.append(HorizontalElement::createSpiral(kNaN, 20.0, inf, 5.0, Point::invalid(), kNaN));
    elements.append(HorizontalElement::createLine(kNaN, 50.0, Point::invalid(), kNaN));
    sharp.getHorizontalAligment()->setElements(elements);
    sharp.getStandardSection()->setCrossSectionConfiguration(
        StandardSection::Left,
        road.getStandardSection()->getCrossSectionConfiguration(StandardSection::Left));
    sharp.getStandardSection()->setCrossSectionConfiguration(
        StandardSection::Right,
        road.getStandardSection()->getCrossSectionConfiguration(StandardSection::Left));
    const ClippedHorizontalAlignment drawn
        = sharp.getBorderAndAlign(0.5, -inf, -inf, inf, inf, ClippedHorizontalAlignment::AllLines, 1);
    bool gap = false;
    for (const Point& p : drawn.getCenterLinePoints())
        gap = gap || !p.isValid();
    EXPECT_TRUE(gap);
    for (const auto& side : { drawn.getLeftBorder(), drawn.getRightBorder() }) {
        EXPECT_GE(side.size(), 4u);
        for (const Point& p : side)
            EXPECT_TRUE(p.isValid());
    }
    EXPECT_GE(sharp.getBorder(5.0).getPointCount(), 7u);
}
