#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelement.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/stake.h>
#include <road/standardsection.h>
#include <road/station.h>
#include <road/stationiterator.h>
#include <road/stationtable.h>
#include <road/verticalalignment.h>
#include <road/verticalelement.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace Pelko;
using namespace Pelko::Road;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Heading north from the origin: a line, then each (length, radius) as an arc (radius 0: a line).
void setAlignment(RoadSurface& road, double lineLength,
                  const std::vector<std::pair<double, double>>& rest = {}, double beginStation = 0.0)
{
    HorizontalElementConfiguration elements;
    elements.append(
        HorizontalElement::createLine(Corvex::Angle(0.0), lineLength, Corvex::Point(0, 0), beginStation));
    for (const auto& [length, radius] : rest) {
        if (radius == 0.0)
            elements.append(
                HorizontalElement::createLine(Corvex::Angle(kNaN), length, Corvex::Point::invalid(), kNaN));
        else
            elements.append(HorizontalElement::createArc(Corvex::Angle(kNaN), length, radius,
                                                         Corvex::Point::invalid(), kNaN));
    }
    road.getHorizontalAligment()->setElements(elements);
}

// 1 % up from 100 m at station -1000.
void setProfile(RoadSurface& road)
{
    VerticalAlignment profile;
    profile.append(
        VerticalElement::createSymparabola(VerticalElement::Poi { -1000.0, 100.0, 0.0, 0.0 }, 0.0));
    profile.append(VerticalElement::createSymparabola(VerticalElement::Poi { 5000.0, 160.0, 0.0, 0.0 }, 0.0));
    road.setVerticalAlignment(profile);
}

// A flat 3 m lane on either side.
void setSection(RoadSurface& road)
{
    for (StandardSection::SectionSide side : { StandardSection::Left, StandardSection::Right }) {
        CrossSectionConfiguration c;
        c.append(CrossSectionElement("lane", 3.0, 0.0, 0.0));
        road.getStandardSection()->setCrossSectionConfiguration(side, c);
    }
}

void setEquation(RoadSurface& road, double before, double after)
{
    StationsEquationConfiguration equations;
    ASSERT_TRUE(equations.appendEquation(StationsEquation(before, after)));
    road.setStationsEquations(equations);
}

std::vector<std::pair<double, int>> walkForward(StationIterator it)
{
    std::vector<std::pair<double, int>> stops { { it.getStation(), it.getStake().getType() } };
    for (int guard = 0; it.hasNext() && guard < 1000; ++guard) {
        it.next();
        stops.emplace_back(it.getStation(), it.getStake().getType());
    }
    return stops;
}

std::vector<double> walkBackward(StationIterator it)
{
    std::vector<double> stops { it.getStation() };
    for (int guard = 0; it.hasPrevious() && guard < 1000; ++guard) {
        it.previous();
        stops.push_back(it.getStation());
    }
    return stops;
}

void expectStations(const std::vector<double>& actual, const std::vector<double>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-9) << "stop " << i;
}

} // namespace

TEST(StationIterator, IntervalStopsAtBoundariesAndArcMidpointsBothWays)
{
    RoadSurface road;
    setAlignment(road, 50.0, { { 100.0, 300.0 } });
    setProfile(road);
    setSection(road);

    StationIterator it(&road, 20.0, 0.0, kNaN);
    ASSERT_TRUE(it.isValid());
    EXPECT_DOUBLE_EQ(it.getInterval(), 20.0);
    const std::vector<std::pair<double, int>> expected
        = { { 0, Stake::AlignmentBegin },   { 20, 0 },  { 40, 0 },
            { 50, Stake::ElementBoundary }, { 60, 0 },  { 80, 0 },
            { 100, Stake::ArcMidpoint },    { 120, 0 }, { 140, 0 },
            { 150, Stake::AlignmentEnd } };
    const auto stops = walkForward(it);
    ASSERT_EQ(stops.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(stops[i].first, expected[i].first, 1e-9) << i;
        EXPECT_EQ(stops[i].second, expected[i].second) << i;
    }
    EXPECT_FALSE(it.hasNext());

    // it is at the end now (copies share the position); walking back visits the same stops.
    EXPECT_NEAR(it.getStation(), 150.0, 1e-9);
    expectStations(walkBackward(it), { 150, 140, 120, 100, 80, 60, 50, 40, 20, 0 });
    EXPECT_FALSE(it.hasPrevious());
    EXPECT_EQ(it.getStake().getType(), Stake::AlignmentBegin);

    // A requested end inside the alignment is the last stop; the grid follows the start's tens.
    StationIterator cut(&road, 20.0, 10.0, 95.0);
    const auto cutStops = walkForward(cut);
    std::vector<double> cutStations;
    for (const auto& s : cutStops)
        cutStations.push_back(s.first);
    expectStations(cutStations, { 10, 30, 50, 70, 90, 95 });
    EXPECT_FALSE(cut.hasNext());
}

TEST(StationIterator, OffGridStartSnapsToTheTensOfItsHundred)
{
    RoadSurface road;
    setAlignment(road, 1260.0, { { 740.0, 0.0 } });
    const Corvex::Point3D none(kNaN, kNaN, kNaN);

    // Grid 1230, 1250, ...; the boundary at 1260 is a stop of its own.
    StationIterator it(&road, 20.0, 1234.567, 0.0, none, false);
    EXPECT_DOUBLE_EQ(it.getStation(), 1234.567);
    EXPECT_EQ(it.getStake().getType(), Stake::IntervalStation);
    it.next();
    EXPECT_NEAR(it.getStation(), 1250.0, 1e-9);
    it.next();
    EXPECT_NEAR(it.getStation(), 1260.0, 1e-9);
    EXPECT_EQ(it.getStake().getType(), Stake::ElementBoundary);
    it.next();
    EXPECT_NEAR(it.getStation(), 1270.0, 1e-9);
    it.previous();
    EXPECT_NEAR(it.getStation(), 1260.0, 1e-9);
    it.previous();
    EXPECT_NEAR(it.getStation(), 1250.0, 1e-9);
    it.previous();
    EXPECT_NEAR(it.getStation(), 1230.0, 1e-9);

    // Off the grid backwards: to the grid station behind, not past it.
    StationIterator back(&road, 20.0, 1234.567, 0.0, none, false);
    back.previous();
    EXPECT_NEAR(back.getStation(), 1230.0, 1e-9);
}

TEST(StationIterator, GridBelowZeroStepsToTheNeighbouringGridStations)
{
    RoadSurface road;
    setAlignment(road, 15.0, { { 185.0, 0.0 } }, -100.0);
    const Corvex::Point3D none(kNaN, kNaN, kNaN);

    // Start -95: the grid is shifted by -90, so it holds ..., -110, -90, -70, ...; -85 is a boundary.
    StationIterator it(&road, 20.0, -95.0, 0.0, none, false);
    std::vector<double> forward;
    for (int i = 0; i < 3; ++i) {
        it.next();
        forward.push_back(it.getStation());
    }
    expectStations(forward, { -90, -85, -70 });
    expectStations(walkBackward(it), { -70, -85, -90, -100 });
    EXPECT_EQ(it.getStake().getType(), Stake::AlignmentBegin);

    StationIterator back(&road, 20.0, -95.0, 0.0, none, false);
    back.previous();
    EXPECT_NEAR(back.getStation(), -100.0, 1e-9); // the alignment's begin, not forward to -90
}

TEST(StationIterator, FractionalIntervalsStepOnToTheNextGridStation)
{
    // A grid station divided by an interval like 0.1 lands a hair below a whole step count; the
    // stop there must still count as that grid station, or next() computes the same stop again.
    RoadSurface road;
    setAlignment(road, 20.0, { { 1280.0, 0.0 } });
    const Corvex::Point3D none(kNaN, kNaN, kNaN);
    for (double interval : { 0.1, 0.2, 0.7, 1.1, 2.3, 0.013 }) {
        StationIterator it(&road, interval, 0.0, 0.0, none, false);
        double last = it.getStation();
        int steps = 0;
        while (it.hasNext() && it.getStation() < 20.0 - 1e-9 && steps < 2000) {
            it.next();
            ++steps;
            const double expected = std::min(20.0, std::round(last / interval + 1.0) * interval);
            ASSERT_NEAR(it.getStation(), expected, 1e-6) << "interval " << interval << " step " << steps;
            last = it.getStation();
        }
        EXPECT_NEAR(it.getStation(), 20.0, 1e-9) << "interval " << interval;
        EXPECT_EQ(steps, static_cast<int>(std::ceil(20.0 / interval - 1e-9))) << "interval " << interval;
    }

    // A start that is itself a grid station steps a whole interval on.
    StationIterator onGrid(&road, 0.013, 1234.567, 0.0, none, false);
    onGrid.next();
    EXPECT_NEAR(onGrid.getStation(), 1234.580, 1e-9);
}

TEST(StationIterator, CrossesStationsEquationsBothWays)
{
    // Long equation: 100 on the old chainage is 50 on the new one, so 50..100 comes twice.
    {
        RoadSurface road;
        setAlignment(road, 300.0);
        setEquation(road, 100.0, 50.0);
        StationIterator it(&road, 20.0, 0.0, kNaN);
        std::vector<double> stations;
        std::vector<double> after;
        for (int i = 0; i < 9; ++i) {
            stations.push_back(it.getStation());
            after.push_back(it.getStake().getStationAfter());
            it.next();
        }
        expectStations(stations, { 0, 20, 40, 60, 80, 100, 110, 130, 150 });
        expectStations(after, { 0, 20, 40, 60, 80, 50, 60, 80, 100 });
        EXPECT_DOUBLE_EQ(it.getStationAfter(110.0), 60.0);

        StationIterator back(&road, 20.0, 0.0, 0.0, Corvex::Point3D(kNaN, kNaN, kNaN), false);
        while (back.getStation() < 130.0 - 1e-9)
            back.next();
        std::vector<double> reversed;
        for (int i = 0; i < 5; ++i) {
            back.previous();
            reversed.push_back(back.getStation());
        }
        expectStations(reversed, { 110, 100, 80, 60, 40 });
    }
    // Short equation: the stations 100..150 do not exist.
    {
        RoadSurface road;
        setAlignment(road, 300.0);
        setEquation(road, 100.0, 150.0);
        StationIterator it(&road, 20.0, 60.0, kNaN);
        std::vector<double> stations;
        std::vector<double> after;
        for (int i = 0; i < 5; ++i) {
            stations.push_back(it.getStation());
            after.push_back(it.getStake().getStationAfter());
            it.next();
        }
        expectStations(stations, { 60, 80, 100, 110, 130 });
        expectStations(after, { 60, 80, 150, 160, 180 });
        std::vector<double> reversed;
        for (int i = 0; i < 4; ++i) {
            it.previous();
            reversed.push_back(it.getStation());
        }
        expectStations(reversed, { 130, 110, 100, 80 });
    }
}

TEST(StationIterator, StationTableWalk)
{
    RoadSurface road;
    setAlignment(road, 50.0, { { 100.0, 300.0 } });
    ASSERT_TRUE(road.getStationTable().read(std::string(TEST_DATA_DIR) + "/d2_table.txt"));

    // Not yet on the table: the first next() steps onto its first station.
    StationIterator it(&road, kNaN);
    ASSERT_TRUE(it.isValid());
    EXPECT_EQ(it.getInterval(), 0.0);
    EXPECT_FALSE(it.hasPrevious());
    std::vector<double> stations;
    while (it.hasNext() && stations.size() < 10) {
        it.next();
        stations.push_back(it.getStation());
        EXPECT_EQ(it.getStake().getType(), Stake::IntervalStation);
    }
    expectStations(stations, { 30, 70, 120 });
    EXPECT_FALSE(it.hasNext());
    it.next();
    EXPECT_DOUBLE_EQ(it.getStation(), 120.0);
    expectStations(walkBackward(it), { 120, 70, 30 });

    // Between table stations: next goes to the one ahead, previous to the one behind.
    StationIterator between(&road, 50.0);
    EXPECT_TRUE(between.hasNext());
    between.next();
    EXPECT_DOUBLE_EQ(between.getStation(), 70.0);
    StationIterator behind(&road, 50.0);
    behind.previous();
    EXPECT_DOUBLE_EQ(behind.getStation(), 30.0);

    // The road hands out the same table walk, not an interval one.
    StationIterator tabled = road.getTabledIterator(50.0);
    ASSERT_TRUE(tabled.isValid());
    EXPECT_EQ(tabled.getInterval(), 0.0);
    tabled.next();
    EXPECT_DOUBLE_EQ(tabled.getStation(), 70.0);
    tabled.previous();
    EXPECT_DOUBLE_EQ(tabled.getStation(), 30.0);
    StationIterator unplaced = road.getTabledIterator(kNaN);
    unplaced.next();
    EXPECT_DOUBLE_EQ(unplaced.getStation(), 30.0);

    // On a table station: steps to its neighbours.
    StationIterator on(&road, 70.0);
    on.next();
    EXPECT_DOUBLE_EQ(on.getStation(), 120.0);

    // Past the last table station: nothing ahead, and previous lands on that last station.
    StationIterator past(&road, 140.0);
    EXPECT_FALSE(past.hasNext());
    EXPECT_TRUE(past.hasPrevious());
    past.previous();
    EXPECT_DOUBLE_EQ(past.getStation(), 120.0);
    past.previous();
    EXPECT_DOUBLE_EQ(past.getStation(), 70.0);

    // An empty table has nowhere to go.
    RoadSurface empty;
    setAlignment(empty, 100.0);
    StationIterator none(&empty, 10.0);
    EXPECT_FALSE(none.hasNext());
    EXPECT_FALSE(none.hasPrevious());
    none.next();
    EXPECT_DOUBLE_EQ(none.getStation(), 10.0);
}

TEST(StationIterator, StakesCarryPlanPointHeightAndAzimuth)
{
    RoadSurface road;
    setAlignment(road, 50.0, { { 100.0, 300.0 } });
    setProfile(road);
    setSection(road);
    const Corvex::Point3D rover(1, 2, 3);
    StationIterator it(&road, 20.0, 20.0, 0.0, rover, false);

    const Stake centre = it.getStake();
    ASSERT_TRUE(centre.isValid());
    EXPECT_DOUBLE_EQ(centre.getStation(), 20.0);
    EXPECT_NEAR(centre.getPoint().north(), 20.0, 1e-9);
    EXPECT_NEAR(centre.getPoint().east(), 0.0, 1e-9);
    EXPECT_NEAR(centre.getPoint().height(), 110.2, 1e-9);
    EXPECT_DOUBLE_EQ(centre.getRover().north(), 1.0);

    // Heading north, 5 m to the right is 5 m east, with the same azimuth; beyond the 3 m lane the side
    // slope is missing, so the height is not known and reads 0.
    const Stake right = it.getStake(2.0);
    EXPECT_NEAR(right.getPoint().east(), 2.0, 1e-9);
    EXPECT_DOUBLE_EQ(right.getOffset().getX(), 2.0);
    EXPECT_NEAR(right.getPoint().height(), 110.2, 1e-9);
    const Stake far = it.getStake(5.0);
    EXPECT_NEAR(far.getPoint().north(), 20.0, 1e-9);
    EXPECT_NEAR(far.getPoint().east(), 5.0, 1e-9);
    EXPECT_NEAR(far.getAzimuth().toRadian(), 0.0, 1e-12);
    EXPECT_EQ(far.getPoint().height(), 0.0);
    EXPECT_TRUE(right.isElevationValid());
    EXPECT_FALSE(far.isElevationValid());
    // Without the side slope the lane's cross slope carries on.
    const Stake carried = it.getStake(5.0, 0.0, false);
    EXPECT_NEAR(carried.getPoint().height(), 110.2, 1e-9);
    EXPECT_TRUE(carried.isElevationValid());

    // On the arc: azimuth turned by s / R, point on the circle about (50, 300).
    while (it.getStation() < 100.0 - 1e-9)
        it.next();
    const Stake mid = it.getStake(0.0);
    EXPECT_EQ(mid.getType(), Stake::ArcMidpoint);
    EXPECT_NEAR(mid.getAzimuth().toRadian(), 50.0 / 300.0, 1e-9);
    EXPECT_NEAR(std::hypot(mid.getPoint().north() - 50.0, mid.getPoint().east() - 300.0), 300.0, 1e-6);

    // A road without elements: the iterator exists but no station lies on the alignment.
    RoadSurface empty;
    StationIterator nowhere(&empty, 10.0, 0.0, kNaN);
    ASSERT_TRUE(nowhere.isValid());
    EXPECT_FALSE(nowhere.hasNext());
    EXPECT_FALSE(nowhere.getStake().isValid());
}

TEST(StationIterator, UnusableIntervalsMakeNoIterator)
{
    RoadSurface road;
    setAlignment(road, 100.0);
    const Corvex::Point3D none(kNaN, kNaN, kNaN);
    for (double interval : { 0.0, 0.0004, -20.0, kNaN, std::numeric_limits<double>::infinity() }) {
        StationIterator a(&road, interval, 0.0, 100.0);
        StationIterator b(&road, interval, 10.0, 0.0, none, false);
        for (StationIterator* it : { &a, &b }) {
            EXPECT_FALSE(it->isValid()) << interval;
            EXPECT_FALSE(it->hasNext());
            EXPECT_FALSE(it->hasPrevious());
            it->next();
            EXPECT_TRUE(std::isnan(it->getStation()));
            EXPECT_TRUE(std::isnan(it->getInterval()));
            EXPECT_TRUE(std::isnan(it->getStationAfter(10.0)));
            EXPECT_FALSE(it->getStake().isValid());
        }
    }
    // Half a millimetre rounds up to the smallest usable step.
    StationIterator fine(&road, 0.0005, 0.0, 100.0);
    ASSERT_TRUE(fine.isValid());
    EXPECT_DOUBLE_EQ(fine.getInterval(), 0.001);
    fine.next();
    EXPECT_NEAR(fine.getStation(), 0.001, 1e-12);

    EXPECT_FALSE(StationIterator().isValid());
    EXPECT_FALSE(StationIterator(nullptr, 20.0, 0.0, 100.0).isValid());

    // Copies share the position.
    StationIterator it(&road, 20.0, 0.0, 100.0);
    StationIterator copy = it;
    copy.next();
    EXPECT_DOUBLE_EQ(it.getStation(), 20.0);
}
