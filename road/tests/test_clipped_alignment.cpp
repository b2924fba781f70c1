#include <road/clippedhorizontalalignment.h>
#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelement.h>
#include <road/crosssectionelementconfiguration.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/internal/linesegmentclipper.h>
#include <road/roadsurface.h>
#include <road/standardsection.h>
#include <road/wideningpoint.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace Pelko;
using namespace Pelko::Road;
using Clipper = Pelko::Road::internal::LineSegmentClipper;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kPi = 4.0 * std::atan(1.0);
const Clipper kEverywhere(-kInf, -kInf, kInf, kInf);

struct Drawing : ClippedHorizontalAlignment
{
    Drawing(const RoadSurface& road, double s, int type, const Clipper& clipper = kEverywhere, int mode = 1)
    {
        fromHorizontalAlignment(road, s, AlignmentLineType(type), clipper, mode);
    }
};

HorizontalElement line(double length)
{
    return HorizontalElement::createLine(Corvex::Angle(kNaN), length, Corvex::Point::invalid(), kNaN);
}

HorizontalElement arc(double length, double radius)
{
    return HorizontalElement::createArc(Corvex::Angle(kNaN), length, radius, Corvex::Point::invalid(), kNaN);
}

HorizontalElement spiral(double length, double r1, double r2)
{
    return HorizontalElement::createSpiral(Corvex::Angle(kNaN), length, r1, r2, Corvex::Point::invalid(),
                                           kNaN);
}

// The first element heads north from the origin at station 0.
void setAlignment(RoadSurface& road, std::vector<HorizontalElement> list)
{
    HorizontalElementConfiguration elements;
    const HorizontalElement first = list.front();
    if (first.getType() == ArcElementType)
        list.front() = HorizontalElement::createArc(Corvex::Angle(0.0), first.getLength(),
                                                    first.getBeginRadius(), Corvex::Point(0, 0), 0.0);
    else
        list.front()
            = HorizontalElement::createLine(Corvex::Angle(0.0), first.getLength(), Corvex::Point(0, 0), 0.0);
    for (const HorizontalElement& e : list)
        elements.append(e);
    road.getHorizontalAligment()->setElements(elements);
}

void setWidths(RoadSurface& road, double left, double right)
{
    CrossSectionConfiguration l;
    l.append(CrossSectionElement("lane", left, 0.0, 0.0));
    road.getStandardSection()->setCrossSectionConfiguration(StandardSection::Left, l);
    CrossSectionConfiguration r;
    r.append(CrossSectionElement("lane", right, 0.0, 0.0));
    road.getStandardSection()->setCrossSectionConfiguration(StandardSection::Right, r);
}

std::vector<int> codes(const ClippedHorizontalAlignment& c)
{
    std::vector<int> out;
    for (const auto& p : c.getPrimaryPoints())
        out.push_back(p.type);
    return out;
}

void expectPoint(const Corvex::Point& p, double x, double y, double tolerance = 1e-9)
{
    EXPECT_NEAR(p.getX(), x, tolerance);
    EXPECT_NEAR(p.getY(), y, tolerance);
}

void expectStations(const std::vector<double>& actual, const std::vector<double>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-9) << i;
}

} // namespace

TEST(ClippedHorizontalAlignment, SingleLineAndShortElements)
{
    RoadSurface road;
    setAlignment(road, { line(100.0) });
    setWidths(road, 3.5, 2.0);

    const Drawing centre(road, 1.0, ClippedHorizontalAlignment::CenterLineOnly);
    const auto points = centre.getCenterLinePoints();
    ASSERT_EQ(points.size(), 2u);
    expectPoint(points[0], 0, 0);
    expectPoint(points[1], 100, 0);
    EXPECT_EQ(codes(centre), (std::vector<int> { 0x100, 0x200 }));
    expectPoint(centre.getPrimaryPoints()[1].point, 100, 0);
    EXPECT_TRUE(centre.getLeftBorder().empty());
    EXPECT_TRUE(centre.getRightBorder().empty());
    EXPECT_DOUBLE_EQ(centre.getEnvelope().getMinX(), 0.0);
    EXPECT_DOUBLE_EQ(centre.getEnvelope().getMaxX(), 100.0);

    // Offsets are positive to the right: heading north the left border lies west (negative east).
    const Drawing all(road, 1.0, ClippedHorizontalAlignment::AllLines);
    const auto left = all.getLeftBorder();
    const auto right = all.getRightBorder();
    ASSERT_EQ(left.size(), 2u);
    ASSERT_EQ(right.size(), 2u);
    expectPoint(left[0], 0, -3.5);
    expectPoint(left[1], 100, -3.5);
    expectPoint(right[1], 100, 2.0);
    EXPECT_DOUBLE_EQ(all.getEnvelope().getMinY(), -3.5);
    EXPECT_DOUBLE_EQ(all.getEnvelope().getMaxY(), 2.0);
    const Drawing onlyRight(road, 1.0, ClippedHorizontalAlignment::RightBorderLine);
    EXPECT_TRUE(onlyRight.getLeftBorder().empty());
    EXPECT_EQ(onlyRight.getRightBorder().size(), 2u);

    // Shorter than 2·s: only the chord midpoint, which is one station, so no border either.
    const Drawing coarse(road, 60.0, ClippedHorizontalAlignment::AllLines);
    ASSERT_EQ(coarse.getCenterLinePoints().size(), 1u);
    expectPoint(coarse.getCenterLinePoints()[0], 50, 0);
    EXPECT_TRUE(coarse.getLeftBorder().empty());
    EXPECT_EQ(coarse.getEnvelope().getMinX(), Corvex::Envelope().getMinX());

    // A density that is not positive draws nothing rather than failing every curve.
    EXPECT_TRUE(Drawing(road, 0.0, ClippedHorizontalAlignment::AllLines).getCenterLinePoints().empty());
    EXPECT_TRUE(Drawing(road, kNaN, ClippedHorizontalAlignment::AllLines).getPrimaryPoints().empty());

    // Copies share, clones do not depend on the original.
    const ClippedHorizontalAlignment copy = centre;
    EXPECT_EQ(copy.getCenterLinePoints().size(), 2u);
    EXPECT_EQ(centre.clone().getPrimaryPoints().size(), 2u);
}

TEST(ClippedHorizontalAlignment, PrimaryPointCodesFollowTheElementKinds)
{
    RoadSurface road;
    setAlignment(road,
                 { line(100.0), spiral(50.0, kInf, 200.0), arc(100.0, 200.0), spiral(50.0, 200.0, kInf),
                   line(100.0), arc(50.0, -300.0), arc(50.0, 300.0) });
    const Drawing d(road, 0.5, ClippedHorizontalAlignment::CenterLineOnly);
    EXPECT_EQ(codes(d),
              (std::vector<int> { 0x100, 0x12, 0x300, 0x24, 0x42, 0x21, 0x300, 0x14, 0x300, 0x44, 0x200 }));

    const HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements();
    const auto points = d.getPrimaryPoints();
    const HorizontalElement curve = elements.at(2);
    expectPoint(points[2].point, curve.getNorthEast(50.0).getX(), curve.getNorthEast(50.0).getY());
    expectPoint(points[3].point, curve.getBeginPoint().getX(), curve.getBeginPoint().getY());
    const HorizontalElement last = elements.at(elements.size() - 1);
    expectPoint(points.back().point, last.getEndPoint().getX(), last.getEndPoint().getY());

    // Every centre line point lies on the alignment, the first and last at its ends.
    const auto line = d.getCenterLinePoints();
    expectPoint(line.front(), 0, 0);
    expectPoint(line.back(), last.getEndPoint().getX(), last.getEndPoint().getY());
    for (const Corvex::Point& p : line) {
        double station = 0.0;
        double offset = 0.0;
        ASSERT_TRUE(road.getHorizontalAligment()->getStationOffsetByNorthEast(p, station, offset));
        EXPECT_NEAR(offset, 0.0, 1e-6);
    }
}

TEST(ClippedHorizontalAlignment, CurveDensityMatchesTheChordRule)
{
    // Radius 100, quarter turn to the right from north: centre at (0, 100).
    RoadSurface road;
    setAlignment(road, { arc(100.0 * kPi / 2.0, 100.0) });
    for (const auto& [s, interior] : { std::pair<double, int> { 0.5, 10 }, { 1.0, 7 } }) {
        const Drawing d(road, s, ClippedHorizontalAlignment::CenterLineOnly);
        const auto points = d.getCenterLinePoints();
        ASSERT_EQ(points.size(), static_cast<std::size_t>(interior + 2)) << s;
        const double theta = std::acos(1.0 - 2.0 * s / 100.0);
        for (int i = 1; i <= interior; ++i) {
            // On the circle, i·θ round from the begin.
            expectPoint(points[i], 100.0 * std::sin(i * theta), 100.0 - 100.0 * std::cos(i * theta), 1e-4);
        }
        // The element geometry is integrated numerically, good to about 1e-5 here.
        expectPoint(points.back(), 100, 100, 1e-4);
        // The quarter circle's box is its two ends.
        EXPECT_NEAR(d.getEnvelope().getMaxX(), 100.0, 1e-4);
        EXPECT_NEAR(d.getEnvelope().getMaxY(), 100.0, 1e-4);
    }

    // A half circle drawn as its chord when 2·s reaches the radius; the drawn envelope is the chord's.
    RoadSurface half;
    setAlignment(half, { arc(100.0 * kPi, 100.0) });
    const Drawing coarse(half, 50.0, ClippedHorizontalAlignment::CenterLineOnly);
    EXPECT_EQ(coarse.getCenterLinePoints().size(), 2u);
    EXPECT_NEAR(coarse.getEnvelope().getMaxX(), 0.0, 1e-4);
    // The element box itself must reach x = 100, or a window there would skip the curve.
    const Clipper top(90.0, 90.0, 110.0, 110.0);
    EXPECT_FALSE(
        Drawing(half, 1.0, ClippedHorizontalAlignment::CenterLineOnly, top).getCenterLinePoints().empty());

    // A spiral sharper than radius 10 cannot be drawn: one break point.
    RoadSurface sharp;
    setAlignment(sharp, { line(50.0), spiral(20.0, kInf, 5.0), line(50.0) });
    const auto broken = Drawing(sharp, 0.5, ClippedHorizontalAlignment::AllLines).getCenterLinePoints();
    ASSERT_EQ(broken.size(), 5u);
    EXPECT_TRUE(std::isnan(broken[2].getX()));
    EXPECT_TRUE(broken[1].isValid());
    EXPECT_TRUE(broken[3].isValid());

    // Spiral points: ordered along the spiral from begin to end, also when it opens out.
    RoadSurface spirals;
    setAlignment(spirals, { line(10.0), spiral(80.0, kInf, 50.0), spiral(80.0, 50.0, kInf) });
    const auto pts = Drawing(spirals, 0.2, ClippedHorizontalAlignment::CenterLineOnly).getCenterLinePoints();
    ASSERT_GT(pts.size(), 8u);
    double previous = -1.0;
    for (const Corvex::Point& p : pts) {
        double station = 0.0;
        double offset = 0.0;
        ASSERT_TRUE(spirals.getHorizontalAligment()->getStationOffsetByNorthEast(p, station, offset));
        EXPECT_NEAR(offset, 0.0, 1e-4);
        EXPECT_GE(station, previous - 1e-9);
        previous = station;
    }
}

TEST(ClippedHorizontalAlignment, ClipsToTheWindowAndBreaksWhereTheLineLeavesIt)
{
    RoadSurface road;
    setAlignment(road, { line(100.0) });
    setWidths(road, 3.0, 3.0);
    const Drawing inside(road, 1.0, ClippedHorizontalAlignment::AllLines, Clipper(20.0, -10.0, 60.0, 10.0));
    const auto centre = inside.getCenterLinePoints();
    ASSERT_EQ(centre.size(), 2u);
    expectPoint(centre[0], 20, 0);
    expectPoint(centre[1], 60, 0);
    ASSERT_EQ(inside.getLeftBorder().size(), 2u);
    expectPoint(inside.getLeftBorder()[1], 60, -3);
    // The envelope is that of the whole drawn segments, before cutting.
    EXPECT_NEAR(inside.getEnvelope().getMinX(), 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(inside.getEnvelope().getMaxX(), 100.0);
    EXPECT_DOUBLE_EQ(inside.getEnvelope().getMinY(), -3.0);

    // A window the road misses: no element is densified and nothing is drawn.
    const Drawing away(road, 1.0, ClippedHorizontalAlignment::AllLines, Clipper(500, 500, 600, 600));
    EXPECT_TRUE(away.getCenterLinePoints().empty());
    EXPECT_EQ(away.getPrimaryPoints().size(), 2u);

    // North 100, a half turn of radius 10 well outside the window, back south: the two legs are
    // drawn apart, never joined across the outside.
    RoadSurface hairpin;
    setAlignment(hairpin, { line(100.0), arc(10.0 * kPi, 10.0), line(100.0) });
    const Drawing legs(hairpin, 0.5, ClippedHorizontalAlignment::CenterLineOnly,
                       Clipper(-10.0, -10.0, 50.0, 30.0));
    const auto points = legs.getCenterLinePoints();
    ASSERT_EQ(points.size(), 5u);
    expectPoint(points[0], 0, 0);
    expectPoint(points[1], 50, 0);
    EXPECT_TRUE(std::isnan(points[2].getX()));
    expectPoint(points[3], 50, 20, 1e-4);
    expectPoint(points[4], 0, 20, 1e-4);
    for (const Corvex::Point& p : points)
        EXPECT_FALSE(p.getX() > 50.0);
    EXPECT_EQ(codes(legs), (std::vector<int> { 0x100, 0x300, 0x14, 0x41, 0x200 }));
}

TEST(ClippedHorizontalAlignment, BorderStationsFollowTheWidening)
{
    RoadSurface road;
    setAlignment(road, { line(100.0) });
    setWidths(road, 3.0, 3.0);
    CrossSectionConfiguration right
        = road.getStandardSection()->getCrossSectionConfiguration(StandardSection::Right);
    CrossSectionElementConfiguration lane = right.elementConfigurationAt(0);
    ASSERT_TRUE(lane.addWideningPoint(WideningPoint(20.0, 3.0, WideningCubicParabola)));
    ASSERT_TRUE(lane.addWideningPoint(WideningPoint(60.0, 4.5, WideningCubicParabola)));
    const StandardSection* section = road.getStandardSection();

    auto borderStations = [&](const std::vector<Corvex::Point>& border) {
        std::vector<double> stations;
        for (const Corvex::Point& p : border) {
            EXPECT_NEAR(p.getY(), section->getTotalOffset(StandardSection::Right, p.getX()), 1e-9);
            stations.push_back(p.getX());
        }
        return stations;
    };
    // Mode 1: the widening's ends join the alignment's stations.
    const Drawing mode1(road, 1.0, ClippedHorizontalAlignment::AllLines, kEverywhere, 1);
    expectStations(borderStations(mode1.getRightBorder()), { 0, 20, 60, 100 });
    EXPECT_EQ(mode1.getLeftBorder().size(), 2u);
    // Mode 0 adds stations inside the widening every 15·s of width change.
    const Drawing mode0(road, 0.05, ClippedHorizontalAlignment::AllLines, kEverywhere, 0);
    expectStations(borderStations(mode0.getRightBorder()), { 0, 20, 40, 60, 100 });
    EXPECT_NEAR(mode0.getRightBorder()[3].getY(), 4.5, 1e-9);

    // On a curve mode 1 puts two more stations between neighbours inside a non-linear widening.
    RoadSurface curved;
    setAlignment(curved, { arc(100.0, 200.0) });
    setWidths(curved, 3.0, 3.0);
    CrossSectionElementConfiguration curvedLane = curved.getStandardSection()
                                                      ->getCrossSectionConfiguration(StandardSection::Left)
                                                      .elementConfigurationAt(0);
    ASSERT_TRUE(curvedLane.addWideningPoint(WideningPoint(0.0, 3.0, WideningCubicParabola)));
    ASSERT_TRUE(curvedLane.addWideningPoint(WideningPoint(100.0, 4.0, WideningCubicParabola)));
    const Drawing d(curved, 1.0, ClippedHorizontalAlignment::AllLines);
    const std::size_t n = d.getCenterLinePoints().size();
    EXPECT_EQ(d.getRightBorder().size(), n);
    // n stations, 2 per gap between stations after the widening's begin, and the widening's two ends.
    EXPECT_EQ(d.getLeftBorder().size(), n + 2 * (n - 2) + 2);
    const Corvex::Point end = d.getLeftBorder().back();
    double station = 0.0;
    double offset = 0.0;
    ASSERT_TRUE(curved.getHorizontalAligment()->getStationOffsetByNorthEast(end, station, offset));
    EXPECT_NEAR(station, 100.0, 1e-4);
    EXPECT_NEAR(offset, -4.0, 1e-4);
}

TEST(ClippedHorizontalAlignment, WideningPiecesOneUlpLongDoNotStallTheBorder)
{
    // Two strips whose widenings begin one ulp apart leave a piece too short to step through in
    // floating point; mode 0 must still end and draw the rest of the widening.
    RoadSurface road;
    setAlignment(road, { line(100.0) });
    CrossSectionConfiguration right;
    right.append(CrossSectionElement("lane", 3.0, 0.0, 0.0));
    right.append(CrossSectionElement("shoulder", 1.0, 0.0, 0.0));
    road.getStandardSection()->setCrossSectionConfiguration(StandardSection::Right, right);
    const CrossSectionConfiguration side
        = road.getStandardSection()->getCrossSectionConfiguration(StandardSection::Right);
    CrossSectionElementConfiguration lane = side.elementConfigurationAt(0);
    ASSERT_TRUE(lane.addWideningPoint(WideningPoint(20.0, 3.0, WideningCubicParabola)));
    ASSERT_TRUE(lane.addWideningPoint(WideningPoint(60.0, 4.5, WideningCubicParabola)));
    CrossSectionElementConfiguration shoulder = side.elementConfigurationAt(1);
    ASSERT_TRUE(
        shoulder.addWideningPoint(WideningPoint(std::nextafter(20.0, 100.0), 1.0, WideningCubicParabola)));
    ASSERT_TRUE(shoulder.addWideningPoint(WideningPoint(60.0, 2.5, WideningCubicParabola)));

    // s = 0.01: one station every 0.15 m of width change, ten over each 1.5 m widening.
    const Drawing mode0(road, 0.01, ClippedHorizontalAlignment::RightBorderLine, kEverywhere, 0);
    std::vector<double> distinct;
    for (const Corvex::Point& p : mode0.getRightBorder()) {
        if (distinct.empty() || p.getX() - distinct.back() > 1e-6)
            distinct.push_back(p.getX());
    }
    expectStations(distinct, { 0, 20, 24, 28, 32, 36, 40, 44, 48, 52, 56, 60, 100 });
}

TEST(ClippedHorizontalAlignment, RoadWidensThePlanWindowUnlessOnlyTheCentreLineIsAsked)
{
    RoadSurface road;
    setAlignment(road, { line(100.0) });
    setWidths(road, 3.0, 3.0);
    // The window begins 5 m east of the centre line; widened by twice the 3 m section it takes in the
    // centre line and the right border, not the left.
    const ClippedHorizontalAlignment wide
        = road.getBorderAndAlign(1.0, 0.0, 5.0, 100.0, 10.0, ClippedHorizontalAlignment::AllLines, 1);
    EXPECT_FALSE(wide.getCenterLinePoints().empty());
    EXPECT_FALSE(wide.getRightBorder().empty());
    EXPECT_TRUE(wide.getLeftBorder().empty());
    const ClippedHorizontalAlignment narrow
        = road.getBorderAndAlign(1.0, 0.0, 5.0, 100.0, 10.0, ClippedHorizontalAlignment::CenterLineOnly, 1);
    EXPECT_TRUE(narrow.getCenterLinePoints().empty());
}

TEST(ClippedHorizontalAlignment, StretchesApartInTheWindowAreNeverJoined)
{
    // North along east 0, a right half turn far beyond the window, south along east 60, a right half
    // turn far below it, north again along east 10. The window sees the two northward legs only; the
    // straight join from the first leg's end (100, 0) to the last leg's begin (-100, 10) would cut
    // across it.
    RoadSurface road;
    setAlignment(road,
                 { line(100.0), arc(30.0 * kPi, 30.0), line(200.0), arc(25.0 * kPi, 25.0), line(250.0) });
    setWidths(road, 3.0, 3.0);
    const Clipper window(40.0, -5.0, 60.0, 20.0);
    const Drawing d(road, 0.5, ClippedHorizontalAlignment::AllLines, window);

    const auto expectLegs = [](const std::vector<Corvex::Point>& points, double first, double second) {
        ASSERT_EQ(points.size(), 5u);
        expectPoint(points[0], 40, first, 1e-6);
        expectPoint(points[1], 60, first, 1e-6);
        EXPECT_FALSE(points[2].isValid());
        expectPoint(points[3], 40, second, 1e-4);
        expectPoint(points[4], 60, second, 1e-4);
    };
    expectLegs(d.getCenterLinePoints(), 0.0, 10.0);
    expectLegs(d.getLeftBorder(), -3.0, 7.0);
    expectLegs(d.getRightBorder(), 3.0, 13.0);
    // Primary points do not depend on the window.
    EXPECT_EQ(d.getPrimaryPoints().size(), 8u);

    // On a long road a small window takes its element and nothing else.
    RoadSurface chain;
    std::vector<HorizontalElement> lines;
    for (int i = 0; i < 100; ++i)
        lines.push_back(line(10.0));
    setAlignment(chain, lines);
    const Drawing one(chain, 0.5, ClippedHorizontalAlignment::CenterLineOnly,
                      Clipper(505.0, -1.0, 507.0, 1.0));
    const auto points = one.getCenterLinePoints();
    ASSERT_EQ(points.size(), 2u);
    expectPoint(points[0], 505, 0);
    expectPoint(points[1], 507, 0);
    EXPECT_NEAR(one.getEnvelope().getMinX(), 500.0, 1e-9);
    EXPECT_NEAR(one.getEnvelope().getMaxX(), 510.0, 1e-9);
    EXPECT_EQ(one.getPrimaryPoints().size(), 101u);
}

TEST(ClippedHorizontalAlignment, SpiralChordsStayWithinTheDensity)
{
    // Equal turning steps sized for the sharp end would leave chords near the flat ends of these
    // spirals straying several times s from the curve.
    RoadSurface road;
    setAlignment(road,
                 { line(10.0), spiral(200.0, kInf, 100.0), arc(50.0, 100.0), spiral(200.0, 100.0, kInf) });
    const HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements();
    for (double s : { 0.01, 0.2 }) {
        const auto points
            = Drawing(road, s, ClippedHorizontalAlignment::CenterLineOnly).getCenterLinePoints();
        std::vector<double> stations;
        for (const Corvex::Point& p : points) {
            double station = 0.0;
            double offset = 0.0;
            ASSERT_TRUE(road.getHorizontalAligment()->getStationOffsetByNorthEast(p, station, offset));
            EXPECT_NEAR(offset, 0.0, 1e-3);
            stations.push_back(station);
        }
        double worst = 0.0;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const Corvex::Point& a = points[i];
            const Corvex::Point& b = points[i + 1];
            const double dx = b.getX() - a.getX();
            const double dy = b.getY() - a.getY();
            const double chord = std::hypot(dx, dy);
            // Elements meet at a point both of them give.
            if (chord == 0.0)
                continue;
            for (int k = 1; k < 8; ++k) {
                const double t = stations[i] + (stations[i + 1] - stations[i]) * k / 8.0;
                const unsigned index = road.getHorizontalAligment()->getBelongedElementIndex(t);
                ASSERT_NE(index, unsigned(-1));
                const HorizontalElement e = elements.at(index);
                const Corvex::Point p = e.getNorthEast(t - e.getBeginStation());
                worst = std::max(worst,
                                 std::fabs((p.getX() - a.getX()) * dy - (p.getY() - a.getY()) * dx) / chord);
            }
        }
        EXPECT_LE(worst, s * 1.01) << s;
        EXPECT_GT(worst, s * 0.1) << s;
    }
}

TEST(ClippedHorizontalAlignment, BordersJumpWithTheCentreLine)
{
    // The second line keeps its own begin point 20 m east of where the first one ends.
    RoadSurface road;
    setAlignment(road,
                 { line(100.0),
                   HorizontalElement::createLine(Corvex::Angle(0.0), 50.0, Corvex::Point(100, 20), 100.0) });
    setWidths(road, 3.0, 2.0);
    for (int mode : { 0, 1 }) {
        const Drawing d(road, 1.0, ClippedHorizontalAlignment::AllLines, kEverywhere, mode);
        const std::vector<Corvex::Point> centre = d.getCenterLinePoints();
        ASSERT_FALSE(centre.empty());
        expectPoint(centre.back(), 150, 20);
        for (const auto& [border, offset] :
             { std::pair { d.getLeftBorder(), -3.0 }, std::pair { d.getRightBorder(), 2.0 } }) {
            ASSERT_GE(border.size(), 4u) << mode;
            expectPoint(border.front(), 0, offset);
            expectPoint(border.back(), 150, 20 + offset);
            // Every piece runs beside one of the lines, or crosses at the jump's station: none cuts across.
            for (std::size_t i = 1; i < border.size(); ++i) {
                const Corvex::Point& a = border[i - 1];
                const Corvex::Point& b = border[i];
                const bool along = std::abs(a.getY() - b.getY()) < 1e-9;
                const bool across = std::abs(a.getX() - 100.0) < 1e-9 && std::abs(b.getX() - 100.0) < 1e-9;
                EXPECT_TRUE(along || across) << mode << " piece " << i << " (" << a.getX() << ", " << a.getY()
                                             << ") - (" << b.getX() << ", " << b.getY() << ")";
            }
        }
    }
}
