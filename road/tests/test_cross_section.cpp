#include <road/crosssection.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace Pelko::Road;

namespace {

// Lane (3 m, -2 %) and a shoulder (1.5 m, 4 %) stepping down 0.1 m.
CrossSection twoStrips(double base = 0.0)
{
    return CrossSection(
        base,
        { CrossSectionElement("lane", 3.0, -2.0, 0.0), CrossSectionElement("shoulder", 1.5, 4.0, -0.1) });
}

double heightAt(const CrossSection& s, double offset, bool extend, bool* ok = nullptr)
{
    return s.getDeltaHeightByOffset(offset, extend, ok);
}

} // namespace

TEST(CrossSection, EmptySection)
{
    const CrossSection s;
    EXPECT_EQ(s.crossSectionElementCount(), 0);
    EXPECT_EQ(s.getTotalOffset(), 0.0);
    EXPECT_EQ(s.getTotalDeltaHeight(), 0.0);
    EXPECT_FALSE(s.getMainElement());
    bool found = true;
    EXPECT_FALSE(s.getElementByOffset(0.0, &found));
    EXPECT_FALSE(found);
    EXPECT_TRUE(s.getPoints(false).empty());

    bool extend = false;
    bool ok = true;
    EXPECT_EQ(s.getDeltaHeightByOffset(2.0, extend, &ok), 0.0);
    EXPECT_FALSE(ok);
    extend = true;
    EXPECT_EQ(s.getDeltaHeightByOffset(-2.0, extend, &ok), 0.0);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(extend);
    const CrossSectionElement expanded = s.getExpandedElement(-2.0);
    EXPECT_EQ(expanded.getName(), "##expand##");
    EXPECT_EQ(expanded.getWidth(), 2.0);
    EXPECT_EQ(expanded.getSlopeInPercentage(), 0.0);

    // Invalid handles handed in are left out rather than answering as zero strips.
    const CrossSection holes(1.0, { CrossSectionElement(), CrossSectionElement("a", 1.0, 0.0, 0.0) });
    ASSERT_EQ(holes.crossSectionElementCount(), 1);
    EXPECT_EQ(holes.getTotalDeltaHeight(), 1.0);
}

TEST(CrossSection, HeightsByOffset)
{
    const CrossSection s = twoStrips();
    EXPECT_EQ(s.getTotalOffset(), 4.5);
    EXPECT_NEAR(s.getTotalDeltaHeight(), -0.1, 1e-15);
    EXPECT_EQ(s.getMainElement().getName(), "lane");

    bool ok = false;
    EXPECT_NEAR(heightAt(s, 3.0, false, &ok), -0.06, 1e-15);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(heightAt(s, 4.5, false, &ok), -0.1, 1e-15);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(heightAt(s, 1.5, false), -0.03, 1e-15);
    // The side is implied: offsets on the left are measured by their size.
    EXPECT_NEAR(heightAt(s, -4.0, false), -0.16 + 0.04 * 1.0, 1e-15);

    bool found = false;
    const CrossSectionElement second = s.getElementByOffset(3.5, &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(second.getName(), "shoulder");
    EXPECT_NEAR(second.getDeltaElevationToPrevious(), -0.16, 1e-15);
    EXPECT_EQ(second.getStartingOffset(), 3.0);
    // The answer is a clone: the section's own element keeps its step.
    bool have = false;
    EXPECT_EQ(s.crossSectionElementAt(1, have).getDeltaElevationToPrevious(), -0.1);
    EXPECT_TRUE(have);
    EXPECT_FALSE(s.crossSectionElementAt(2, have));
    EXPECT_FALSE(have);

    // Up to 0.001 past an element's end still belongs to it, measured at its end.
    const CrossSectionElement first = s.getElementByOffset(3.0005, &found);
    EXPECT_EQ(first.getName(), "lane");
    EXPECT_NEAR(heightAt(s, 3.0005, false, &ok), -0.06, 1e-15);
    EXPECT_NEAR(heightAt(s, 4.5009, false, &ok), -0.1, 1e-15);
    EXPECT_TRUE(ok);
    EXPECT_EQ(heightAt(s, 4.502, false, &ok), 0.0);
    EXPECT_FALSE(ok);

    // Beyond the edge the main element's slope carries on from the edge height.
    bool extend = true;
    EXPECT_NEAR(s.getDeltaHeightByOffset(6.0, extend, &ok), -0.13, 1e-15);
    EXPECT_TRUE(extend);
    EXPECT_TRUE(ok);
    const CrossSectionElement expanded = s.getExpandedElement(-6.0);
    EXPECT_EQ(expanded.getWidth(), 1.5);
    EXPECT_EQ(expanded.getSlopeInPercentage(), -2.0);
    EXPECT_NEAR(expanded.getDeltaElevationToPrevious(), -0.1, 1e-15);
    EXPECT_EQ(expanded.getStartingOffset(), 4.5);
    extend = false;
    EXPECT_EQ(s.getDeltaHeightByOffset(6.0, extend, &ok), 0.0);
    EXPECT_FALSE(ok);
    // Inside the section extend comes back false.
    extend = true;
    s.getDeltaHeightByOffset(1.0, extend, &ok);
    EXPECT_FALSE(extend);
    EXPECT_TRUE(ok);

    // Offsets that are not numbers have no height, extended or not.
    extend = true;
    EXPECT_EQ(s.getDeltaHeightByOffset(std::numeric_limits<double>::quiet_NaN(), extend, &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(extend);

    // The base is the first step; the caller's elements keep theirs.
    std::vector<CrossSectionElement> elements { CrossSectionElement("lane", 3.0, -2.0, 0.05) };
    const CrossSection raised(10.0, elements);
    EXPECT_EQ(elements[0].getDeltaElevationToPrevious(), 0.05);
    EXPECT_NEAR(heightAt(raised, 0.0, false), 10.05, 1e-12);
    EXPECT_NEAR(raised.getTotalDeltaHeight(), 9.99, 1e-12);
    const auto end = raised.getEndingPoint(true);
    EXPECT_NEAR(end.getX(), 9.99, 1e-12);
    EXPECT_EQ(end.getY(), -3.0);
    EXPECT_EQ(raised.getEndingPoint(false).getY(), 3.0);
}

TEST(CrossSection, MainElement)
{
    // Ties within 0.001 go to the inner element; a strip wider by 0.001 or more takes over.
    const CrossSection tie(0.0,
                           { CrossSectionElement("a", 3.0, 1.0, 0.0),
                             CrossSectionElement("b", 3.0009, 2.0, 0.0),
                             CrossSectionElement("c", 1.0, 3.0, 0.0) });
    EXPECT_EQ(tie.getMainElement().getName(), "a");
    const CrossSection wider(0.0,
                             { CrossSectionElement("a", 3.0, 1.0, 0.0),
                               CrossSectionElement("b", 3.002, 2.0, 0.0),
                               CrossSectionElement("c", 3.0025, 3.0, 0.0) });
    EXPECT_EQ(wider.getMainElement().getName(), "b");
    bool extend = true;
    EXPECT_NEAR(wider.getDeltaHeightByOffset(wider.getTotalOffset() + 10.0, extend),
                wider.getTotalDeltaHeight() + 0.2, 1e-12);
}

TEST(CrossSection, DrawingPoints)
{
    const CrossSection s = twoStrips();
    const auto plain = s.getPoints(false);
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[0].getStart().getX(), 0.0);
    EXPECT_EQ(plain[0].getStart().getY(), 0.0);
    EXPECT_NEAR(plain[0].getEnd().getX(), -0.06, 1e-15);
    EXPECT_EQ(plain[0].getEnd().getY(), 3.0);
    EXPECT_NEAR(plain[1].getStart().getX(), -0.16, 1e-15);
    EXPECT_EQ(plain[1].getStart().getY(), 3.0);
    EXPECT_NEAR(plain[1].getEnd().getX(), -0.1, 1e-15);
    EXPECT_EQ(plain[1].getEnd().getY(), 4.5);

    const auto mirrored = s.getPoints(true);
    ASSERT_EQ(mirrored.size(), 2u);
    EXPECT_NEAR(mirrored[0].getStart().getX(), -0.1, 1e-15);
    EXPECT_EQ(mirrored[0].getStart().getY(), -4.5);
    EXPECT_NEAR(mirrored[0].getEnd().getX(), -0.16, 1e-15);
    EXPECT_EQ(mirrored[0].getEnd().getY(), -3.0);
    EXPECT_NEAR(mirrored[1].getStart().getX(), -0.06, 1e-15);
    EXPECT_EQ(mirrored[1].getStart().getY(), -3.0);
    EXPECT_EQ(mirrored[1].getEnd().getX(), 0.0);
    EXPECT_EQ(mirrored[1].getEnd().getY(), 0.0);

    // Where every step is drawn, the drawing and the height query agree at each element's ends.
    for (const auto& segment : plain) {
        EXPECT_NEAR(heightAt(s, segment.getEnd().getY(), false), segment.getEnd().getX(), 1e-12);
        EXPECT_NEAR(heightAt(s, segment.getStart().getY() + 0.002, false), segment.getStart().getX(), 1e-4);
    }

    // Steps of 0.001 or less are left out of the drawing.
    const CrossSection small(
        0.0005, { CrossSectionElement("a", 2.0, 0.0, 0.0), CrossSectionElement("b", 2.0, 0.0, 0.001) });
    const auto flat = small.getPoints(false);
    EXPECT_EQ(flat[0].getStart().getX(), 0.0);
    EXPECT_EQ(flat[1].getStart().getX(), 0.0);

    const CrossSection::LineSegment line({ 1.0, 2.0 }, { 3.0, 5.0 });
    const auto reflected = line.mirrored(1.0);
    EXPECT_EQ(reflected.getStart().getX(), 3.0);
    EXPECT_EQ(reflected.getStart().getY(), -3.0);
    EXPECT_EQ(reflected.getEnd().getX(), 1.0);
    EXPECT_EQ(reflected.getEnd().getY(), 0.0);
}
