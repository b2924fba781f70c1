#include <road/elementstopiconverter.h>
#include <road/horizontalelementconfiguration.h>
#include <road/pointofintersectionconfiguration.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using Pelko::Corvex::Angle;
using Pelko::Corvex::Point;
using namespace Pelko::Road;

namespace {
const double kPi = 4.0 * std::atan(1.0);
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const Angle kNoAzimuth(kNaN);

HorizontalElement line(double length)
{
    return HorizontalElement::createLine(kNoAzimuth, length, Point::invalid(), kNaN);
}
HorizontalElement arc(double length, double radius)
{
    return HorizontalElement::createArc(kNoAzimuth, length, radius, Point::invalid(), kNaN);
}
HorizontalElement spiral(double length, double r1, double r2)
{
    return HorizontalElement::createSpiral(kNoAzimuth, length, r1, r2, Point::invalid(), kNaN);
}

// A chain beginning at (1000, 2000), station 100, heading along the given azimuth.
HorizontalElementConfiguration chain(const std::vector<HorizontalElement>& rest, double azimuth = 0.3)
{
    HorizontalElementConfiguration list;
    list.append(HorizontalElement::createLine(Angle(azimuth), 200.0, Point(1000.0, 2000.0), 100.0));
    for (const HorizontalElement& e : rest)
        list.append(e);
    return list;
}

void expectPoint(const Point& a, const Point& b, double tolerance = 1e-6)
{
    EXPECT_NEAR(a.getX(), b.getX(), tolerance);
    EXPECT_NEAR(a.getY(), b.getY(), tolerance);
}

// Same kinds, lengths, radii, turn directions and end points, element by element.
void expectSameChain(const HorizontalElementConfiguration& a, const HorizontalElementConfiguration& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (unsigned k = 0; k < a.size(); ++k) {
        const HorizontalElement x = a.at(k);
        const HorizontalElement y = b.at(k);
        EXPECT_EQ(x.getType(), y.getType()) << k;
        EXPECT_NEAR(x.getLength(), y.getLength(), 1e-6) << k;
        EXPECT_EQ(x.getBeginRadius(), y.getBeginRadius()) << k;
        EXPECT_EQ(x.getEndRadius(), y.getEndRadius()) << k;
        if (x.getType() != LineElementType) {
            EXPECT_EQ(x.getRurnDirection(), y.getRurnDirection()) << k;
        }
        EXPECT_NEAR(x.getEndStation(), y.getEndStation(), 1e-6) << k;
        expectPoint(x.getEndPoint(), y.getEndPoint());
    }
}
} // namespace

TEST(ElementsToPoiConverter, GroupsBecomeTheirPis)
{
    // Two tangents: begin, their crossing, end.
    HorizontalElementConfiguration corner;
    corner.append(HorizontalElement::createLine(Angle(0.0), 100.0, Point(0.0, 0.0), 0.0));
    corner.append(HorizontalElement::createLine(Angle(kPi / 2.0), 50.0, Point(100.0, 0.0), kNaN));
    PointOfIntersectionConfiguration pois = corner.toPois();
    ASSERT_EQ(pois.size(), 3u);
    expectPoint(pois.at(0).getPointOfIntersection(), Point(0.0, 0.0));
    expectPoint(pois.at(1).getPointOfIntersection(), Point(100.0, 0.0));
    expectPoint(pois.at(2).getPointOfIntersection(), Point(100.0, 50.0));
    EXPECT_NEAR(pois.at(2).getPoiStation(), 150.0, 1e-9);

    // Straight continuation: no PI between.
    EXPECT_EQ(chain({ line(50.0) }).toPois().size(), 2u);

    // An arc: the PI sits where the tangents meet, T = R tan(D/2) from both ends.
    const double radius = 250.0;
    const double delta = 0.8;
    pois = chain({ arc(radius * delta, radius), line(120.0) }).toPois();
    ASSERT_EQ(pois.size(), 3u);
    EXPECT_EQ(pois.at(1).getCurveType(), ArcPoiType);
    EXPECT_DOUBLE_EQ(pois.at(1).getRadius(), radius);
    EXPECT_NEAR(pois.at(1).getDeflectionAngle().toRadian(), delta, 1e-9);
    const Point arcStart(1000.0 + 200.0 * std::cos(0.3), 2000.0 + 200.0 * std::sin(0.3));
    const double tangent = radius * std::tan(delta / 2.0);
    expectPoint(pois.at(1).getPointOfIntersection(),
                Point(arcStart.getX() + tangent * std::cos(0.3), arcStart.getY() + tangent * std::sin(0.3)));
    EXPECT_DOUBLE_EQ(pois.at(0).getPoiStation(), 100.0);

    pois = chain({ spiral(60.0, kInf, 300.0), arc(150.0, 300.0), spiral(80.0, 300.0, kInf), line(100.0) })
               .toPois();
    ASSERT_EQ(pois.size(), 3u);
    EXPECT_EQ(pois.at(1).getCurveType(), SpiralArcSpiralPoiType);
    EXPECT_DOUBLE_EQ(pois.at(1).getRadius(), 300.0);
    EXPECT_DOUBLE_EQ(pois.at(1).getInSpiralLength(), 60.0);
    EXPECT_DOUBLE_EQ(pois.at(1).getOutSpiralLength(), 80.0);

    pois = chain({ spiral(60.0, kInf, -200.0), spiral(60.0, -200.0, kInf), line(10.0) }).toPois();
    ASSERT_EQ(pois.size(), 3u);
    EXPECT_EQ(pois.at(1).getCurveType(), SpiralSpiralPoiType);
    EXPECT_DOUBLE_EQ(pois.at(1).getRadius(), 200.0);
}

TEST(ElementsToPoiConverter, InexpressibleChainsGiveNoPis)
{
    EXPECT_TRUE(chain({ spiral(60.0, kInf, 300.0), line(50.0) }).toPois().isEmpty());
    EXPECT_TRUE(chain({ spiral(60.0, kInf, 300.0), spiral(60.0, kInf, 200.0) }).toPois().isEmpty());
    EXPECT_TRUE(chain({ spiral(60.0, 300.0, kInf) }).toPois().isEmpty());
    EXPECT_TRUE(chain({ spiral(60.0, kInf, 300.0), arc(100.0, 350.0), spiral(60.0, 350.0, kInf) })
                    .toPois()
                    .isEmpty());
    EXPECT_TRUE(chain({ spiral(60.0, kInf, 300.0) }).toPois().isEmpty()); // spiral without partner
    HorizontalElementConfiguration exitFirst;
    exitFirst.append(HorizontalElement::createSpiral(Angle(0.0), 50.0, 300.0, kInf, Point(), 0.0));
    exitFirst.append(line(10.0));
    EXPECT_TRUE(exitFirst.toPois().isEmpty());
    EXPECT_TRUE(HorizontalElementConfiguration().toPois().isEmpty());

    // A hairpin: the tangents before and after are parallel and never meet.
    EXPECT_TRUE(chain({ arc(100.0 * kPi, 100.0), line(200.0) }).toPois().isEmpty());
    HorizontalElementConfiguration back;
    back.append(HorizontalElement::createLine(Angle(0.0), 100.0, Point(0.0, 0.0), 0.0));
    back.append(HorizontalElement::createLine(Angle(kPi), 50.0, Point(100.0, 0.0), kNaN));
    EXPECT_TRUE(back.toPois().isEmpty());
}

TEST(ElementsToPoiConverter, AzimuthsCompareAsDirections)
{
    // -10 degrees and 350 degrees are the same direction: a straight continuation, not a PI.
    HorizontalElementConfiguration wrapped;
    wrapped.append(HorizontalElement::createLine(Angle::fromDegree(-10.0), 100.0, Point(0.0, 0.0), 0.0));
    wrapped.append(HorizontalElement::createLine(Angle::fromDegree(350.0), 50.0, Point::invalid(), kNaN));
    const PointOfIntersectionConfiguration pois = wrapped.toPois();
    ASSERT_EQ(pois.size(), 2u);
    expectPoint(pois.at(1).getPointOfIntersection(), wrapped.at(1).getEndPoint());
    EXPECT_NEAR(pois.at(1).getPoiStation(), 150.0, 1e-9);

    // A curve through north keeps a finite PI: the end azimuth runs past 2 pi unwrapped.
    const PointOfIntersectionConfiguration north
        = chain({ arc(200.0, 400.0), line(50.0) }, 2.0 * kPi - 0.2).toPois();
    ASSERT_EQ(north.size(), 3u);
    EXPECT_NEAR(north.at(1).getDeflectionAngle().toRadian(), 0.5, 1e-9);
}

TEST(ElementsToPoiConverter, RoundTripsGiveTheSameChain)
{
    const std::vector<HorizontalElementConfiguration> chains {
        chain({ arc(180.0, 250.0), line(120.0) }),
        chain({ arc(180.0, -250.0), line(120.0), arc(90.0, 400.0), line(60.0) }),
        chain({ spiral(60.0, kInf, 300.0), arc(150.0, 300.0), spiral(80.0, 300.0, kInf), line(100.0),
                spiral(50.0, kInf, -500.0), arc(40.0, -500.0), spiral(50.0, -500.0, kInf), line(300.0) }),
        chain({ spiral(60.0, kInf, 200.0), spiral(60.0, 200.0, kInf), line(10.0) }),
        chain({ spiral(40.0, kInf, 250.0), arc(60.0, 250.0), spiral(40.0, 250.0, kInf),
                line(80.0), arc(100.0, -600.0), line(90.0), spiral(30.0, kInf, -350.0), arc(50.0, -350.0),
                spiral(45.0, -350.0, kInf), line(120.0) }),
    };
    for (const HorizontalElementConfiguration& elements : chains) {
        const PointOfIntersectionConfiguration pois = elements.toPois();
        ASSERT_FALSE(pois.isEmpty());
        // The converter updates its PIs once at the end: bit for bit what appending them one by one,
        // each updated as it comes, gives.
        PointOfIntersectionConfiguration appended;
        for (unsigned k = 0; k < pois.size(); ++k)
            appended.append(pois.at(k).clone());
        for (unsigned k = 0; k < pois.size(); ++k) {
            const PointOfIntersection a = pois.at(k);
            const PointOfIntersection b = appended.at(k);
            EXPECT_EQ(a.getPoiStation(), b.getPoiStation()) << k;
            EXPECT_EQ(a.getDeflectionAngle().toRadian(), b.getDeflectionAngle().toRadian()) << k;
            EXPECT_EQ(a.getInTangentLength(), b.getInTangentLength()) << k;
            EXPECT_EQ(a.getOutTangetLength(), b.getOutTangetLength()) << k;
            EXPECT_EQ(a.getArcLength(), b.getArcLength()) << k;
        }
        const HorizontalElementConfiguration rebuilt(pois);
        expectSameChain(elements, rebuilt);
        const PointOfIntersectionConfiguration again = rebuilt.toPois();
        ASSERT_EQ(again.size(), pois.size());
        for (unsigned k = 0; k < pois.size(); ++k) {
            expectPoint(again.at(k).getPointOfIntersection(), pois.at(k).getPointOfIntersection());
            EXPECT_NEAR(again.at(k).getPoiStation(), pois.at(k).getPoiStation(), 1e-6);
        }
    }
}
