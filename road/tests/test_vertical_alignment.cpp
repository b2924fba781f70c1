#include <road/internal/node.h>
#include <road/roadsurface.h>
#include <road/verticalalignment.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using namespace Pelko::Road;

namespace {

VerticalElement pi(double station, double elevation, double radius = 0.0)
{
    return VerticalElement::createSymparabola(VerticalElement::Poi { station, elevation, 0.0, 0.0 }, radius);
}

struct Snap
{
    double station, elevation, g1, g2, start, end, t1, t2, h1, h2;
};

Snap snap(VerticalElement const& e)
{
    auto const& p = e.getPoi();
    return { p.station,          p.elevation,         p.gradeIn,
             p.gradeOut,         e.getStartStation(), e.getEndStation(),
             e.getInTangent(),   e.getOutTagent(),    e.getStartElevation(),
             e.getEndElevation() };
}

std::vector<Snap> snap(VerticalAlignment const& a)
{
    std::vector<Snap> out;
    for (unsigned i = 0; i < a.size(); ++i)
        out.push_back(snap(a.getAt(i)));
    return out;
}

// To the bit: what a refused edit gives back must be what was there, not a recomputation of it.
void expectIdentical(std::vector<Snap> const& a, std::vector<Snap> const& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(std::memcmp(&a[i], &b[i], sizeof(Snap)), 0) << "PI " << i;
}

void expectSame(std::vector<Snap> const& a, std::vector<Snap> const& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(a[i].station, b[i].station, 1e-9);
        EXPECT_NEAR(a[i].elevation, b[i].elevation, 1e-9);
        EXPECT_NEAR(a[i].g1, b[i].g1, 1e-12);
        EXPECT_NEAR(a[i].g2, b[i].g2, 1e-12);
        EXPECT_NEAR(a[i].start, b[i].start, 1e-9);
        EXPECT_NEAR(a[i].end, b[i].end, 1e-9);
        EXPECT_NEAR(a[i].t1, b[i].t1, 1e-9);
        EXPECT_NEAR(a[i].t2, b[i].t2, 1e-9);
        EXPECT_NEAR(a[i].h1, b[i].h1, 1e-9);
        EXPECT_NEAR(a[i].h2, b[i].h2, 1e-9);
    }
}

// The state an edited list must match: the same PIs appended afresh in order.
std::vector<Snap> rebuilt(VerticalAlignment const& a)
{
    VerticalAlignment fresh;
    for (unsigned i = 0; i < a.size(); ++i)
        EXPECT_EQ(fresh.append(a.getAt(i).clone()).code, ModifySuccess);
    return snap(fresh);
}

void expectResult(VerticalAlignment::Result r, ModifyResult code, unsigned index)
{
    EXPECT_EQ(r.code, code);
    EXPECT_EQ(r.index, index);
}

VerticalAlignment make(std::vector<VerticalElement> const& elements)
{
    VerticalAlignment a;
    for (auto const& e : elements)
        EXPECT_EQ(a.append(e).code, ModifySuccess);
    return a;
}

struct Access : VerticalAlignment
{
    using VerticalAlignment::load;
    using VerticalAlignment::save;
};

struct XmlPart
{
    tinyxml2::XMLDocument doc;
    internal::Node<VerticalAlignment> node;

    XmlPart()
    {
        auto* root = doc.NewElement("VerticalAlignment");
        doc.InsertFirstChild(root);
        node = internal::Node<VerticalAlignment>(
            std::make_shared<internal::Xml::NodeImpl>(root, 4, 0x04020000));
    }
    explicit XmlPart(char const* text)
    {
        EXPECT_EQ(doc.Parse(text), tinyxml2::XML_SUCCESS);
        node = internal::Node<VerticalAlignment>(
            std::make_shared<internal::Xml::NodeImpl>(doc.FirstChildElement(), 4, 0x04020000));
    }
};

} // namespace

TEST(VerticalAlignment, ThreePiProfile)
{
    VerticalAlignment a = make({ pi(0, 100, 3000), pi(100, 102, 3000), pi(200, 101, 3000) });
    VerticalElement const first = a.getAt(0), mid = a.getAt(1), last = a.getAt(2);

    // Grades between PIs; the end PIs have one side only.
    EXPECT_DOUBLE_EQ(first.getPoi().gradeIn, 0.0);
    EXPECT_DOUBLE_EQ(first.getPoi().gradeOut, 0.02);
    EXPECT_DOUBLE_EQ(mid.getPoi().gradeIn, 0.02);
    EXPECT_DOUBLE_EQ(mid.getPoi().gradeOut, -0.01);
    EXPECT_DOUBLE_EQ(last.getPoi().gradeIn, -0.01);
    EXPECT_DOUBLE_EQ(last.getPoi().gradeOut, 0.0);

    EXPECT_NEAR(mid.getInTangent(), 45.0, 1e-9);
    EXPECT_NEAR(mid.getOutTagent(), 45.0, 1e-9);
    // The middle PI's start reaches back over the grade line to the first PI.
    EXPECT_NEAR(mid.getStartStation(), 0.0, 1e-9);
    EXPECT_NEAR(mid.getEndStation(), 145.0, 1e-9);
    EXPECT_NEAR(mid.getStartElevation(), 101.1, 1e-9);
    EXPECT_NEAR(mid.getEndElevation(), 101.55, 1e-9);

    // End PIs never carry a curve, whatever their radius.
    for (VerticalElement const& e : { first, last }) {
        EXPECT_EQ(e.getInTangent(), 0.0);
        EXPECT_EQ(e.getOutTagent(), 0.0);
        EXPECT_EQ(e.getEndStation(), e.getPoi().station);
        EXPECT_EQ(e.getStartElevation(), e.getPoi().elevation);
        EXPECT_EQ(e.getEndElevation(), e.getPoi().elevation);
    }
    EXPECT_NEAR(last.getStartStation(), 145.0, 1e-9);

    bool ok = false;
    EXPECT_DOUBLE_EQ(a.calcElevation(0.0, &ok), 100.0);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(a.calcElevation(50.0, &ok), 101.0, 1e-9);
    EXPECT_NEAR(a.calcElevation(100.0, &ok), 102.0 - 0.03 * 90.0 / 8.0, 1e-9);
    EXPECT_NEAR(a.calcElevation(115.0, &ok), 101.7, 1e-9);
    EXPECT_NEAR(a.calcElevation(170.0, &ok), 101.3, 1e-9);
    EXPECT_DOUBLE_EQ(a.calcElevation(200.0, &ok), 101.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(a.calcElevation(200.002, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(a.calcElevation(-0.002, &ok), 0.0);
    EXPECT_FALSE(ok);

    EXPECT_TRUE(mid.contains(0.0));
    EXPECT_FALSE(mid.contains(145.002));
    EXPECT_EQ(mid.pointRelation(-1.0), PointBeforeCurve);
    EXPECT_EQ(mid.pointRelation(145.0), PointOnCurve);
    EXPECT_EQ(mid.pointRelation(146.0), PointAfterCurve);

    // Profile: grade-line start, 20 curve points, the next grade-line start, the end.
    auto const points = a.getPoints();
    ASSERT_EQ(points.size(), 23u);
    EXPECT_DOUBLE_EQ(points[0].getX(), 0.0);
    EXPECT_DOUBLE_EQ(points[0].getY(), 100.0);
    EXPECT_NEAR(points[1].getX(), 55.0, 1e-9);
    EXPECT_NEAR(points[20].getX(), 55.0 + 19 * 4.5, 1e-9);
    EXPECT_NEAR(points[21].getX(), 145.0, 1e-9);
    EXPECT_NEAR(points[21].getY(), 101.55, 1e-9);
    EXPECT_DOUBLE_EQ(points[22].getX(), 200.0);
    EXPECT_DOUBLE_EQ(points[22].getY(), 101.0);
    for (auto const& p : points)
        EXPECT_NEAR(p.getY(), a.calcElevation(p.getX()), 1e-9);

    VerticalAlignment empty;
    EXPECT_EQ(empty.calcElevation(0.0, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(empty.getPoints().empty());
}

// A curve given by its length: the radius follows from the grades the PI holds, |L / (g2 - g1)|.
TEST(VerticalAlignment, SymmetricParabolaByLength)
{
    VerticalElement const byLength = VerticalElement::createSymparabolaByLenght(
        VerticalElement::Poi { 100.0, 102.0, 0.02, -0.01 }, 90.0);
    EXPECT_EQ(byLength.getType(), VerticalSymparabolaType);
    EXPECT_NEAR(byLength.getRadius(), 3000.0, 1e-9);
    EXPECT_NEAR(
        VerticalElement::createSymparabolaByLenght(VerticalElement::Poi { 0.0, 0.0, -0.01, 0.02 }, -90.0)
            .getRadius(),
        3000.0, 1e-9);
    // Grades too close to bend: no curve to speak of.
    EXPECT_EQ(
        VerticalElement::createSymparabolaByLenght(VerticalElement::Poi { 0.0, 0.0, 0.02, 0.020005 }, 90.0)
            .getRadius(),
        std::numeric_limits<double>::infinity());

    // In the profile it spans the length it was given.
    VerticalAlignment const a = make({ pi(0, 100), byLength, pi(200, 101) });
    EXPECT_NEAR(a.getAt(1).getInTangent(), 45.0, 1e-9);
    EXPECT_NEAR(a.getAt(1).getOutTagent(), 45.0, 1e-9);
    EXPECT_NEAR(a.getAt(1).getEndStation(), 145.0, 1e-9);
}

namespace {
// The profile rule walked over every PI: the first PI holding the station, else the grade line of a gap
// too small to count.
double walkEveryPi(VerticalAlignment const& a, double station, bool& ok)
{
    for (unsigned k = 0; k < a.size(); ++k) {
        if (a.getAt(k).contains(station))
            return a.getAt(k).calcElevation(station, &ok);
    }
    for (unsigned k = 1; k < a.size(); ++k) {
        VerticalElement const e = a.getAt(k);
        if (station > a.getAt(k - 1).getEndStation() && station < e.getStartStation()) {
            ok = true;
            return e.getPoi().elevation + (station - e.getPoi().station) * e.getPoi().gradeIn;
        }
    }
    ok = false;
    return 0.0;
}

void expectSameAsWalk(VerticalAlignment const& a)
{
    std::vector<double> stations;
    for (unsigned k = 0; k < a.size(); ++k) {
        for (double station :
             { a.getAt(k).getStartStation(), a.getAt(k).getEndStation(), a.getAt(k).getPoi().station })
            for (double d : { -0.002, -0.001, -0.0005, 0.0, 0.0005, 0.001, 0.002, 7.3 })
                stations.push_back(station + d);
    }
    stations.push_back(std::numeric_limits<double>::quiet_NaN());
    for (double station : stations) {
        bool ok = false;
        bool walkedOk = false;
        double const z = a.calcElevation(station, &ok);
        double const walked = walkEveryPi(a, station, walkedOk);
        ASSERT_EQ(ok, walkedOk) << station;
        EXPECT_EQ(z, walked) << station;
    }
}
} // namespace

// Stations around every start, end and PI of a long profile, with curves that touch, gaps too small to
// count and plain grade lines, answer as the walk over every PI; so they do after edits.
TEST(VerticalAlignment, ElevationsAnswerAsTheWalkOverEveryPi)
{
    VerticalAlignment a;
    double station = 0.0;
    for (int k = 0; k < 80; ++k) {
        double const radius = k % 5 == 0 ? 0.0 : 400.0 + 50.0 * (k % 7);
        // Curves that would overlap their neighbours are refused; the rest make the profile.
        a.append(pi(station, 100.0 + (k % 3) * 2.0 - (k % 2) * 1.5, radius));
        station += k % 4 == 0 ? 90.0 : 250.0;
    }
    ASSERT_GT(a.size(), 60u);
    expectSameAsWalk(a);

    EXPECT_EQ(a.setAt(10, pi(a.getAt(10).getPoi().station, 104.0, 300.0)).code, ModifySuccess);
    expectSameAsWalk(a);
    EXPECT_TRUE(a.removeAt(40));
    EXPECT_TRUE(a.removeAt(a.size() - 1));
    expectSameAsWalk(a);
    bool ok = false;
    EXPECT_NEAR(a.calcElevation(a.getAt(10).getPoi().station, &ok),
                walkEveryPi(a, a.getAt(10).getPoi().station, ok), 0.0);
    a.clear();
    EXPECT_EQ(a.calcElevation(0.0, &ok), 0.0);
    EXPECT_FALSE(ok);
}

TEST(VerticalAlignment, InsertRefusesOrderBreaksAndOverlaps)
{
    VerticalAlignment a = make({ pi(0, 100), pi(100, 102), pi(200, 101) });
    auto const before = snap(a);
    expectResult(a.insertBefore(2, pi(100.0005, 1)), ModifyLessThanPrevious, 1);
    expectResult(a.insertBefore(1, pi(99.9995, 1)), ModifyGreaterThanNext, 1);
    expectResult(a.insertBefore(10, pi(199.9999, 1)), ModifyLessThanPrevious, 2);
    expectResult(a.insertBefore(0, pi(0.0, 1)), ModifyGreaterThanNext, 0);
    expectResult(a.insertBefore(1, pi(150, 1)), ModifyGreaterThanNext, 1);
    double const nan = std::numeric_limits<double>::quiet_NaN();
    expectResult(a.insertBefore(1, pi(nan, 1)), ModifyInvalidElement, 1);
    expectResult(a.insertBefore(1, pi(50, std::numeric_limits<double>::infinity())), ModifyInvalidElement, 1);
    expectResult(a.append(pi(300, 1, nan)), ModifyInvalidElement, 3);
    expectSame(snap(a), before);

    expectResult(a.insertBefore(1, pi(50, 100, 1000)), ModifySuccess, 1);
    expectResult(a.append(pi(300, 100)), ModifySuccess, 4);
    EXPECT_EQ(a.size(), 5u);
    expectSame(snap(a), rebuilt(a));

    // The new PI's curve reaches back over its neighbour's: refused and undone.
    VerticalAlignment b = make({ pi(0, 100), pi(100, 102, 3000), pi(300, 98) });
    auto const bBefore = snap(b);
    expectResult(b.insertBefore(2, pi(200, 106, 3000)), ModifyOverlapPrevious, 2);
    expectSame(snap(b), bBefore);

    // Curves of R: gap = 100 - 0.04 R between PI 1 and PI 2.
    auto zigzag = [](double r) {
        VerticalAlignment z = make({ pi(0, 0), pi(100, 2, r), pi(200, 0, r) });
        return std::make_pair(z, z.append(pi(300, 2)));
    };
    // An overlap of 1 m: PI 2, which gets its curve from the append, is named.
    auto [overlap, refused] = zigzag(2525.0);
    expectResult(refused, ModifyOverlapPrevious, 2);
    EXPECT_EQ(overlap.size(), 3u);
    EXPECT_EQ(overlap.getAt(2).getInTangent(), 0.0);
    // An overlap below 0.1 is rounding: accepted, with gap 0.
    auto [touching, accepted] = zigzag(2501.25);
    expectResult(accepted, ModifySuccess, 3);
    EXPECT_NEAR(touching.getAt(2).getStartStation(), 200.0 - 0.02 * 2501.25, 1e-9);
}

TEST(VerticalAlignment, SmallGapCountsAsNoneButKeepsElevations)
{
    double const r = 2498.75; // curves 0.05 apart
    VerticalAlignment a = make({ pi(0, 0), pi(100, 2, r), pi(200, 0, r), pi(300, 2) });
    VerticalElement const third = a.getAt(2);
    EXPECT_NEAR(a.getAt(1).getEndStation(), 149.975, 1e-9);
    EXPECT_NEAR(third.getStartStation(), 150.025, 1e-9);
    // No grade-line point: 20 curve points only.
    EXPECT_EQ(third.getPoints().size(), 20u);
    // The sliver between the curves is still grade line, not "no elevation".
    bool ok = false;
    EXPECT_NEAR(a.calcElevation(150.0, &ok), 1.0, 1e-9);
    EXPECT_TRUE(ok);
}

TEST(VerticalAlignment, SetAtChecksNeighboursLikeInsert)
{
    VerticalAlignment a = make({ pi(0, 100), pi(100, 102, 1000), pi(200, 101, 1000), pi(300, 103) });
    auto const before = snap(a);
    // Onto the neighbour, within the tolerance, a little past it, far past it.
    expectResult(a.setAt(1, pi(0.0, 102, 1000)), ModifyLessThanPrevious, 0);
    expectResult(a.setAt(1, pi(0.0005, 102, 1000)), ModifyLessThanPrevious, 0);
    expectResult(a.setAt(1, pi(-0.05, 102, 1000)), ModifyLessThanPrevious, 0);
    expectResult(a.setAt(1, pi(200.0, 102, 1000)), ModifyGreaterThanNext, 2);
    expectResult(a.setAt(1, pi(200.05, 102, 1000)), ModifyGreaterThanNext, 2);
    expectResult(a.setAt(1, pi(250, 102, 1000)), ModifyGreaterThanNext, 2);
    expectResult(a.setAt(3, pi(199.9995, 103)), ModifyLessThanPrevious, 2);
    expectResult(a.setAt(0, pi(100, 100)), ModifyGreaterThanNext, 1);
    // Out of range is a refusal, not a success that changed nothing.
    expectResult(a.setAt(4, pi(400, 0)), ModifyIndexOutOfRange, 4);
    expectResult(a.setAt(1, pi(std::numeric_limits<double>::quiet_NaN(), 0)), ModifyInvalidElement, 1);
    expectSame(snap(a), before);

    expectResult(a.setAt(1, pi(120, 104, 1000)), ModifySuccess, 1);
    EXPECT_DOUBLE_EQ(a.getAt(1).getPoi().station, 120.0);
    expectSame(snap(a), rebuilt(a));

    // An overlapping replacement puts the old PI back.
    auto const good = snap(a);
    expectResult(a.setAt(1, pi(120, 104, 100000)), ModifyOverlapPrevious, 1);
    expectSame(snap(a), good);
}

TEST(VerticalAlignment, EditsRefreshTheSecondNeighbour)
{
    // PI 2's curve follows its in grade from PI 1; PI 3's gap follows PI 2's curve.
    auto base = [](double h1) {
        return std::vector<VerticalElement> { pi(0, 0), pi(50, h1), pi(300, 0, 800), pi(400, 10, 800),
                                              pi(500, 10) };
    };
    VerticalAlignment a = make(base(0));
    EXPECT_NEAR(a.getAt(2).getEndStation(), 340.0, 1e-9);
    EXPECT_NEAR(a.getAt(3).getStartStation(), 340.0, 1e-9);

    expectResult(a.setAt(1, pi(50, 10)), ModifySuccess, 1);
    EXPECT_NEAR(a.getAt(2).getEndStation(), 356.0, 1e-9);
    EXPECT_NEAR(a.getAt(3).getStartStation(), 356.0, 1e-9);
    expectSame(snap(a), rebuilt(a));

    // PI 2's curve would now run 20 m into PI 3's: refused with PI 3 named, and undone.
    auto const before = snap(a);
    expectResult(a.setAt(1, pi(50, 25)), ModifyOverlapPrevious, 3);
    expectSame(snap(a), before);

    VerticalAlignment b = make({ pi(0, 0), pi(300, 0, 800), pi(400, 10, 800), pi(500, 10) });
    auto const bBefore = snap(b);
    expectResult(b.insertBefore(1, pi(50, 25)), ModifyOverlapPrevious, 3);
    EXPECT_EQ(b.size(), 4u);
    expectSame(snap(b), bBefore);
    expectResult(b.insertBefore(1, pi(50, 10)), ModifySuccess, 1);
    EXPECT_NEAR(b.getAt(3).getStartStation(), 356.0, 1e-9);
    expectSame(snap(b), rebuilt(b));

    // Removal refreshes PI i+2 too; an overlap it causes is not a refusal.
    VerticalAlignment c = make({ pi(0, 25), pi(100, 0), pi(300, 0, 800), pi(400, 10, 800), pi(500, 10) });
    EXPECT_TRUE(c.removeAt(1));
    EXPECT_EQ(c.size(), 4u);
    double const end = 300.0 + (0.1 + 25.0 / 300.0) * 400.0;
    EXPECT_NEAR(c.getAt(1).getEndStation(), end, 1e-9);
    EXPECT_NEAR(c.getAt(2).getStartStation(), end, 1e-9);

    VerticalAlignment d = make(base(10));
    EXPECT_TRUE(d.removeAt(1));
    EXPECT_NEAR(d.getAt(2).getStartStation(), 340.0, 1e-9);
    expectSame(snap(d), rebuilt(d));
}

TEST(VerticalAlignment, LonePiAnswersAtItsOwnStation)
{
    VerticalAlignment a;
    expectResult(a.append(pi(100, 50, 3000)), ModifySuccess, 0);
    VerticalElement const e = a.getAt(0);
    EXPECT_EQ(e.getStartStation(), 100.0);
    EXPECT_EQ(e.getEndStation(), 100.0);
    bool ok = false;
    EXPECT_EQ(a.calcElevation(100.0, &ok), 50.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(a.calcElevation(0.0, &ok), 0.0);
    EXPECT_FALSE(ok);
    auto const points = a.getPoints();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].getX(), 100.0);
    EXPECT_EQ(points[0].getY(), 50.0);

    // Removing down to one PI leaves a lone PI too.
    VerticalAlignment b = make({ pi(10, 1, 50), pi(20, 2, 50), pi(30, 1, 50) });
    EXPECT_TRUE(b.removeAt(2));
    EXPECT_TRUE(b.removeAt(0));
    EXPECT_FALSE(b.removeAt(1));
    EXPECT_EQ(b.getAt(0).getStartStation(), 20.0);
    EXPECT_EQ(b.calcElevation(20.0), 2.0);
}

TEST(VerticalAlignment, RemoveCopyAndClone)
{
    VerticalAlignment a
        = make({ pi(0, 0), pi(100, 3, 1000), pi(200, 1, 1000), pi(300, 4, 1000), pi(400, 0) });
    EXPECT_FALSE(a.removeAt(5));
    EXPECT_TRUE(a.removeAt(2));
    EXPECT_NEAR(a.getAt(1).getPoi().gradeOut, (4.0 - 3.0) / 200.0, 1e-12);
    expectSame(snap(a), rebuilt(a));

    VerticalAlignment shared = a;
    VerticalAlignment copy = a.clone();
    auto const before = snap(a);
    VerticalElement held = a.getAt(1);
    EXPECT_EQ(a.setAt(1, pi(150, 2, 1000)).code, ModifySuccess);
    expectSame(snap(shared), snap(a));
    expectSame(snap(copy), before);
    // A handle taken earlier still shares the replaced element's data, not the new one.
    EXPECT_DOUBLE_EQ(held.getPoi().station, 100.0);

    EXPECT_EQ(a.getAt(99).getType(), VerticalNoneType);
    EXPECT_EQ(a.getAt(99).getPoi().station, 0.0);
    a.clear();
    EXPECT_TRUE(a.isEmpty());
    EXPECT_TRUE(shared.isEmpty());
    EXPECT_EQ(copy.size(), 4u);
}

TEST(VerticalAlignment, SaveAndLoadRoundTripEveryCurveKind)
{
    using Poi = VerticalElement::Poi;
    VerticalAlignment a
        = make({ VerticalElement::createAsymparabola(Poi { 0, 100 }, 10, 20), pi(100, 102, 3000),
                 VerticalElement::createCircular(Poi { 200, 101 }, 2000),
                 VerticalElement::createAsymparabola(Poi { 300, 104 }, 30, 40), pi(400, 100) });
    XmlPart part;
    static_cast<Access&>(a).save(part.node);

    // Symmetric parabolas stay untyped as in older files; the other kinds name themselves.
    std::vector<int> types;
    for (auto e = part.node.firstChild<VerticalElement>("element"); e; e = e.nextSibling())
        types.push_back(e.getInt("type", -1));
    EXPECT_EQ(types, (std::vector<int> { 0, -1, 1, 0, -1 }));
    auto first = part.node.firstChild<VerticalElement>("element");
    // An end PI keeps the lengths it was given, not its zeroed tangents.
    EXPECT_EQ(first.getDouble("length1"), 10.0);
    EXPECT_EQ(first.getDouble("length2"), 20.0);

    Access loaded;
    EXPECT_TRUE(loaded.load(part.node));
    ASSERT_EQ(loaded.size(), 5u);
    EXPECT_EQ(loaded.getAt(0).getType(), VerticalAsymparabolaType);
    EXPECT_EQ(loaded.getAt(1).getType(), VerticalSymparabolaType);
    EXPECT_EQ(loaded.getAt(2).getType(), VerticalCircularType);
    EXPECT_EQ(loaded.getAt(2).getRadius(), 2000.0);
    EXPECT_EQ(loaded.getAt(3).getType(), VerticalAsymparabolaType);
    EXPECT_EQ(loaded.getAt(3).getInTangent(), 30.0);
    EXPECT_EQ(loaded.getAt(3).getOutTagent(), 40.0);
    // Radius 0 has always come back as a PI without curve.
    EXPECT_EQ(loaded.getAt(4).getType(), VerticalNoneType);
    expectSame(snap(loaded), snap(a));
    for (double s = 0; s <= 400; s += 2.5)
        EXPECT_NEAR(loaded.calcElevation(s), a.calcElevation(s), 1e-12) << s;

    // Saving replaces what the part held.
    static_cast<Access&>(loaded).save(part.node);
    Access again;
    again.load(part.node);
    expectSame(snap(again), snap(a));
}

TEST(VerticalAlignment, LoadsOlderAndDamagedFiles)
{
    XmlPart legacy(
        "<VerticalAlignment>"
        "<element><mile>0</mile><height>100</height></element>"
        "<other/>"
        "<element><mile>100</mile><height>102</height><radius>3000</radius></element>"
        "<element><type>3</type><mile>150</mile><height>101</height><radius>3000</radius></element>"
        "<element><type>1</type><mile>200</mile><height>103</height><radius>0.0005</radius></element>"
        "<element><type>7</type><mile>250</mile><height>101</height></element>"
        "</VerticalAlignment>");
    Access a;
    EXPECT_TRUE(a.load(legacy.node));
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a.getAt(0).getType(), VerticalNoneType);
    EXPECT_EQ(a.getAt(1).getType(), VerticalSymparabolaType);
    EXPECT_EQ(a.getAt(1).getRadius(), 3000.0);
    EXPECT_EQ(a.getAt(2).getType(), VerticalNoneType);
    // A PI that names itself as having no curve keeps its place in the profile.
    EXPECT_EQ(a.getAt(2).getPoi().station, 150.0);
    EXPECT_EQ(a.getAt(2).getPoi().elevation, 101.0);
    EXPECT_EQ(a.getAt(3).getType(), VerticalNoneType);
    // An unknown type leaves the default element: no curve, station 0.
    EXPECT_EQ(a.getAt(4).getPoi().station, 0.0);

    // Unusable numbers are skipped and reported; the rest still loads.
    XmlPart damaged("<VerticalAlignment>"
                    "<element><mile>nan</mile><height>1</height></element>"
                    "<element><mile>10</mile><height>inf</height></element>"
                    "<element><mile>20</mile><height>1</height><radius>nan</radius></element>"
                    "<element><type>0</type><mile>30</mile><height>1</height><length1>inf</length1></element>"
                    "<element><mile>40</mile><height>5</height><radius>500</radius></element>"
                    "</VerticalAlignment>");
    Access b;
    EXPECT_FALSE(b.load(damaged.node));
    ASSERT_EQ(b.size(), 1u);
    // The only PI loaded answers at its own station.
    EXPECT_EQ(b.getAt(0).getStartStation(), 40.0);
    bool ok = false;
    EXPECT_EQ(b.calcElevation(40.0, &ok), 5.0);
    EXPECT_TRUE(ok);

    Access c;
    EXPECT_TRUE(c.load(internal::Node<VerticalAlignment>()));
    EXPECT_TRUE(c.isEmpty());
}

// A damaged profile whose curves already overlap each other. Recomputing the PIs from the old element
// stops at the first overlap it meets, so a refused edit must put back what it touched.
TEST(VerticalAlignment, RefusedEditsOnOverlappingCurvesChangeNothing)
{
    auto load = [] {
        RoadSurface road(std::string(TEST_DATA_DIR) + "/overlapping_curves.rod");
        EXPECT_TRUE(road.load());
        return road.getVerticalAligment();
    };
    auto const asLoaded = snap(load());
    ASSERT_EQ(asLoaded.size(), 5u);

    // The list, and the element handed in, stay as they were to the bit.
    using Edit = VerticalAlignment::Result (VerticalAlignment::*)(unsigned, VerticalElement const&);
    auto refused = [&](Edit edit, unsigned i, VerticalElement const& e, unsigned named) {
        VerticalAlignment a = load();
        Snap const handedIn = snap(e);
        expectResult((a.*edit)(i, e), ModifyOverlapPrevious, named);
        expectIdentical(snap(a), asLoaded);
        expectIdentical({ snap(e) }, { handedIn });
    };
    // PI 1 raised by 1.25 m with a small curve fits, but PI 2's curve, steeper in front, then starts
    // before PI 1's ends.
    {
        SCOPED_TRACE("setAt");
        refused(&VerticalAlignment::setAt, 1, pi(800, 165.75, 100), 2);
    }
    // A PI between PI 3 and PI 4 whose long curve reaches back over PI 3's: the new PI's grades and
    // curve are worked out before the overlap shows.
    {
        SCOPED_TRACE("insertBefore");
        refused(&VerticalAlignment::insertBefore, 4, pi(3000, 171, 50000), 4);
    }
}
