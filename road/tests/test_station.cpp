#include <road/internal/node.h>
#include <road/station.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

using namespace Pelko::Road;
using Code = StationsEquationConfiguration::ErrorCode;

namespace {

const double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

void expectResult(const StationsEquation::Result &r, double station, bool valid)
{
    EXPECT_DOUBLE_EQ(r.station, station);
    EXPECT_EQ(r.valid, valid);
}

void expectStation(const Station &s, double station, bool isAfter)
{
    EXPECT_DOUBLE_EQ(s.getStation(), station);
    EXPECT_EQ(s.isAfter(), isAfter);
}

StationsEquationConfiguration make(std::initializer_list<StationsEquation> equations)
{
    StationsEquationConfiguration c;
    for (const StationsEquation &e : equations)
        EXPECT_TRUE(c.appendEquation(e));
    return c;
}

} // namespace

TEST(Station, ValueAndValidity)
{
    Station s(12.5, true);
    EXPECT_EQ(double(s), 12.5);
    EXPECT_TRUE(s.isOverlapped());
    EXPECT_TRUE(Station(0.0, false));
    EXPECT_FALSE(Station(NaN, false).isValid());
    EXPECT_FALSE(Station(-Inf, false));
}

TEST(StationsEquation, OrderingAndOverlap)
{
    const StationsEquation flat(1000.0, 1000.0);
    EXPECT_EQ(flat.getEquationType(), StationsEquation::Short);
    EXPECT_EQ(flat.getDifference(), 0.0);
    EXPECT_TRUE(StationsEquation(1200, 1000).isLongEquation());
    EXPECT_EQ(StationsEquation(1200, 1000).getDifference(), 200.0);
    EXPECT_TRUE(StationsEquation(5.0) == StationsEquation(5.0005, 4.9995));
    EXPECT_FALSE(StationsEquation(5.0) == StationsEquation(5.001, 5.0));

    const StationsEquation e(1000, 1200);
    EXPECT_TRUE(e < StationsEquation(1300, 1250));
    EXPECT_FALSE(e < StationsEquation(1200, 1300)); // touching is not wholly before
    EXPECT_TRUE(e < 1200.5);
    EXPECT_FALSE(e < 1200.0);
    EXPECT_TRUE(StationsEquation(1300, 1250) > e);

    // Exactly one station strictly inside counts; both inside, or touching, does not.
    EXPECT_TRUE(e.overlappedWith(StationsEquation(1100, 1300)));
    EXPECT_TRUE(e.overlappedWith(StationsEquation(900, 1100)));
    EXPECT_FALSE(e.overlappedWith(StationsEquation(1050, 1150)));
    EXPECT_FALSE(e.overlappedWith(StationsEquation(1200, 1300)));
    EXPECT_FALSE(e.overlappedWith(StationsEquation(900, 1300)));
    // No overflow or underflow of the product for extreme but finite stations.
    EXPECT_TRUE(StationsEquation(-1e300, 1e300).overlappedWith(StationsEquation(0.0, 2e300)));
    EXPECT_TRUE(StationsEquation(0.0, 1e-200).overlappedWith(StationsEquation(5e-201, 2e-200)));

    EXPECT_FALSE(StationsEquation(NaN, 0.0).isValid());
    EXPECT_FALSE(StationsEquation(1e308, -1e308).isValid());
    EXPECT_TRUE(StationsEquation(1e300, -1e300).isValid());
}

TEST(StationsEquation, ConversionOverOneEquation)
{
    const StationsEquation shortEq(1000, 1200);
    expectResult(shortEq.fromBefore(1100), 1100, false);
    expectResult(shortEq.fromAfter(1100), 1100, false);
    expectResult(shortEq.fromAfter(1000), 1000, true);
    expectResult(shortEq.fromBefore(1200), 1000, true);
    expectResult(shortEq.fromBefore(1300), 1100, true);

    const StationsEquation longEq(1200, 1000);
    expectResult(longEq.fromBefore(1100), 1100, true);
    expectResult(longEq.fromBefore(1200), 1200, true);
    expectResult(longEq.fromBefore(1250), 1450, true);
    expectResult(longEq.fromAfter(999), 999, true);
    expectResult(longEq.fromAfter(1000), 1200, true);
    expectResult(longEq.fromAfter(1100), 1300, true);
    expectResult(longEq.fromAfter(1100) + 5.0, 1305, true);
}

TEST(StationsEquationConfiguration, EmptyIsContinuous)
{
    StationsEquationConfiguration c;
    expectResult(c.getContinuousStation(-12.5, false), -12.5, true);
    expectStation(c.getStationFromContinuous(77.0), 77.0, false);
    auto ranges = c.getRanges();
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0].start, -Inf);
    EXPECT_EQ(ranges[0].end, Inf);
    EXPECT_EQ(ranges.find(1e9), 0u);
    EXPECT_EQ(StationsEquationConfiguration::Ranges().find(0.0), static_cast<unsigned>(-1));
    EXPECT_EQ(c.getEquationAt(0).getBefore(), 0.0);
    // A station that is not a number lies on no chainage.
    EXPECT_FALSE(c.getContinuousStation(NaN, true).valid);
    EXPECT_FALSE(c.getContinuousStation(Station(Inf, false)).valid);
}

TEST(StationsEquationConfiguration, ShortAndLongConversionsBothWays)
{
    const auto shortC = make({StationsEquation(1000, 1200)});
    expectResult(shortC.getContinuousStation(1100, true), 1100, false);
    expectResult(shortC.getContinuousStation(Station(1100, true)), 1100, false);
    expectResult(shortC.getContinuousStation(1300, true), 1100, true);
    expectStation(shortC.getStationFromContinuous(1100), 1300, false);
    expectStation(shortC.getStationFromContinuous(999), 999, false);
    // At (and within 0.001 of) `before` the after-chainage is given.
    expectStation(shortC.getStationFromContinuous(1000), 1200, false);
    expectStation(shortC.getStationFromContinuous(999.9995), 1199.9995, false);

    const auto longC = make({StationsEquation(1200, 1000)});
    expectResult(longC.getContinuousStation(1100, true), 1100, true);
    expectResult(longC.getContinuousStation(Station(1100, false)), 1100, true);
    expectResult(longC.getContinuousStation(1100, false), 1300, true);
    expectResult(longC.getContinuousStation(Station(1100, true)), 1300, true);
    expectStation(longC.getStationFromContinuous(1300), 1100, true);
    expectStation(longC.getStationFromContinuous(1500), 1300, false);
    expectStation(longC.getStationFromContinuous(1200), 1000, true);
    expectStation(longC.getStationFromContinuous(1100), 1100, false);
    // The end of the repeated stretch still counts as repeated within 0.001.
    expectStation(longC.getStationFromContinuous(1400.0005), 1200.0005, true);

    // Several equations: the continuous station round-trips wherever it is not within 0.001 of a
    // `before`, and the shown station converts back to it.
    const auto mixed = make({StationsEquation(1000, 1200), StationsEquation(1500, 1350), StationsEquation(2000, 2000),
                             StationsEquation(2500, 2600)});
    std::mt19937 random(7);
    std::uniform_real_distribution<double> along(-500, 4000);
    for (int i = 0; i < 2000; ++i) {
        const double u = along(random);
        const Station shown = mixed.getStationFromContinuous(u);
        const auto back = mixed.getContinuousStation(shown);
        ASSERT_TRUE(back.valid) << u;
        EXPECT_NEAR(back.station, u, 1e-9) << u;
    }
    // Shown stations in the gap of a short equation do not exist.
    EXPECT_FALSE(mixed.getContinuousStation(1100, true).valid);
    EXPECT_FALSE(mixed.getContinuousStation(2550, false).valid);
    // Past all equations the offsets add: 1000-1200, +150, 0, -100.
    expectResult(mixed.getContinuousStation(3000, true), 3000 - 200 + 150 - 100, true);

    const auto ranges = mixed.getRanges();
    ASSERT_EQ(ranges.size(), 5u);
    EXPECT_EQ(ranges[1].start, 1200);
    EXPECT_EQ(ranges[1].end, 1500);
    EXPECT_EQ(ranges[4].start, 2600);
    EXPECT_EQ(ranges.find(999), 0u);
    EXPECT_EQ(ranges.find(1000), 1u);
    EXPECT_EQ(ranges.find(1299), 1u);  // shown 1499
    EXPECT_EQ(ranges.find(1300), 2u);  // shown 1350 after the long equation
    EXPECT_EQ(ranges.find(10000), 4u);
}

TEST(StationsEquationConfiguration, EditsCheckNeighbours)
{
    StationsEquationConfiguration c;
    auto r = c.appendEquation(StationsEquation(1000, 1200));
    EXPECT_TRUE(r);
    EXPECT_EQ(r.index, 0u);
    // The end position is not an insertion index; append is.
    EXPECT_EQ(c.insertEquation(1, StationsEquation(1500, 1600)).code, Code::OutOfRange);
    EXPECT_TRUE(c.appendEquation(StationsEquation(1500, 1600)));

    // Wholly inside the last one: not overlapping, but not after it.
    r = c.appendEquation(StationsEquation(1520, 1580));
    EXPECT_EQ(r.code, Code::NotAfterPrevious);
    EXPECT_EQ(r.index, 1u);
    r = c.appendEquation(StationsEquation(1550, 1700));
    EXPECT_EQ(r.code, Code::Overlapped);
    EXPECT_EQ(r.index, 1u);

    r = c.insertEquation(1, StationsEquation(1300, 1400));
    EXPECT_TRUE(r);
    EXPECT_EQ(r.index, 1u);
    ASSERT_EQ(c.getEquationSize(), 3u);
    r = c.insertEquation(1, StationsEquation(1250, 1350));
    EXPECT_EQ(r.code, Code::Overlapped);
    EXPECT_EQ(r.index, 1u);
    r = c.insertEquation(1, StationsEquation(1450, 1460));
    EXPECT_EQ(r.code, Code::NotBeforeNext);
    EXPECT_EQ(r.index, 1u);
    r = c.insertEquation(0, StationsEquation(1100, 900));
    EXPECT_EQ(r.code, Code::Overlapped);
    EXPECT_EQ(r.index, 0u);

    r = c.setEquation(1, StationsEquation(1250, 1450));
    EXPECT_TRUE(r);
    r = c.setEquation(1, StationsEquation(1100, 1300));
    EXPECT_EQ(r.code, Code::Overlapped);
    EXPECT_EQ(r.index, 0u);
    r = c.setEquation(1, StationsEquation(1050, 1150));
    EXPECT_EQ(r.code, Code::NotAfterPrevious);
    r = c.setEquation(1, StationsEquation(1300, 1550));
    EXPECT_EQ(r.code, Code::Overlapped);
    EXPECT_EQ(r.index, 2u);
    r = c.setEquation(1, StationsEquation(1300, 1700));
    EXPECT_EQ(r.code, Code::NotBeforeNext);
    EXPECT_EQ(r.index, 2u);
    EXPECT_EQ(c.setEquation(3, StationsEquation(9000, 9100)).code, Code::OutOfRange);

    // Non-finite equations are refused everywhere; refusals leave the list unchanged.
    EXPECT_EQ(c.appendEquation(StationsEquation(NaN, 5000)).code, Code::InvalidEquation);
    EXPECT_EQ(c.appendEquation(StationsEquation(5000, Inf)).code, Code::InvalidEquation);
    EXPECT_EQ(c.setEquation(0, StationsEquation(NaN, NaN)).code, Code::InvalidEquation);
    ASSERT_EQ(c.getEquationSize(), 3u);
    EXPECT_TRUE(c.getEquationAt(0) == StationsEquation(1000, 1200));
    EXPECT_TRUE(c.getEquationAt(1) == StationsEquation(1250, 1450));
    EXPECT_TRUE(c.getEquationAt(2) == StationsEquation(1500, 1600));

    // Copies share, clones do not.
    StationsEquationConfiguration shared = c;
    StationsEquationConfiguration copy = c.clone();
    EXPECT_EQ(c.removeEquation(3).code, Code::OutOfRange);
    EXPECT_TRUE(c.removeEquation(0));
    EXPECT_EQ(shared.getEquationSize(), 2u);
    EXPECT_EQ(copy.getEquationSize(), 3u);
}

TEST(StationsEquationConfiguration, LoadAndSave)
{
    tinyxml2::XMLDocument doc;
    doc.Parse("<StationsEquation>"
              "<equation><before>1000</before><after>1200</after></equation>"
              "<comment/>"
              "<equation><before>1100</before><after>1300</after></equation>" // overlaps: dropped
              "<equation><before>nan</before><after>3000</after></equation>"  // not finite: dropped
              "<equation><before>1e999</before></equation>"                   // unreadable: (0, 0), not after
              "<equation><before>1500.1</before><after>1350.25</after></equation>"
              "</StationsEquation>");
    internal::Node<StationsEquationConfiguration> node(
        std::make_shared<internal::Xml::NodeImpl>(doc.RootElement(), 4, 0x04020000));
    StationsEquationConfiguration c;
    c.load(node);
    ASSERT_EQ(c.getEquationSize(), 2u);
    EXPECT_EQ(c.getEquationAt(1).getAfter(), 1350.25);

    c.appendEquation(StationsEquation(0.1 + 3000, 1.0 / 3.0 + 3000));
    c.save(node);
    EXPECT_EQ(doc.RootElement()->FirstChildElement("comment"), nullptr);
    StationsEquationConfiguration back;
    back.load(node);
    ASSERT_EQ(back.getEquationSize(), 3u);
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_EQ(back.getEquationAt(i).getBefore(), c.getEquationAt(i).getBefore());
        EXPECT_EQ(back.getEquationAt(i).getAfter(), c.getEquationAt(i).getAfter());
    }
}
