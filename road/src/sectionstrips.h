#pragma once

// The height rules of one side's cross section, kept here once. CrossSection and CrossSectionElement
// answer with them over their elements; the per-station queries (stakes, elevations) answer with them
// over strips, the plain numbers of the side at a station, so that no section is built for one height.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace Pelko {
namespace Road {
class CrossSectionConfiguration;

namespace internal {

// Rise over distance metres at a slope in percent.
inline double stripRise(double slope, double distance)
{
    return slope * distance * 0.01;
}

// Height at distance into an element standing step above the end of the previous one, for
// 0 <= distance <= width; 0 with ok false elsewhere.
inline double heightInStrip(double step, double slope, double width, double distance, bool* ok = nullptr)
{
    const bool inside = distance >= 0.0 && distance <= width;
    if (ok)
        *ok = inside;
    return inside ? step + stripRise(slope, distance) : 0.0;
}

// The three values of a section's element that its heights use, under the element's own getter names
// so that the rules below read a CrossSection's elements and strips alike.
struct Strip
{
    double width;
    double slope; // percent
    double step; // delta elevation to the previous strip

    double getWidth() const { return width; }
    double getSlopeInPercentage() const { return slope; }
    double getDeltaElevationToPrevious() const { return step; }
    double getElementDeltaElevation() const { return stripRise(slope, width); }
};

// Strips kept in place up to a section's usual count.
class StripList
{
public:
    void push_back(const Strip& strip)
    {
        if (m_count < m_kept.size() && m_more.empty()) {
            m_kept[m_count++] = strip;
            return;
        }
        if (m_more.empty())
            m_more.assign(m_kept.begin(), m_kept.end());
        m_more.push_back(strip);
        ++m_count;
    }
    bool empty() const { return m_count == 0; }
    Strip& front() { return m_more.empty() ? m_kept[0] : m_more[0]; }
    const Strip* begin() const { return m_more.empty() ? m_kept.data() : m_more.data(); }
    const Strip* end() const { return begin() + m_count; }

private:
    std::array<Strip, 8> m_kept {};
    std::vector<Strip> m_more;
    std::size_t m_count = 0;
};

// The side's strips at the station as CrossSectionConfiguration::getCrossSectionByStation makes its
// section: widened, superelevated, invalid elements left out, the base added to the first step.
StripList sectionStrips(const CrossSectionConfiguration& configuration, double station, double baseElevation);

// The rules over a side's elements from the centre outwards, [first, last).

template<typename It> double totalOffset(It first, It last)
{
    double offset = 0.0;
    for (It e = first; e != last; ++e)
        offset += e->getWidth();
    return offset;
}

// Height at the outer edge.
template<typename It> double totalDeltaHeight(It first, It last)
{
    double height = 0.0;
    for (It e = first; e != last; ++e)
        height += e->getDeltaElevationToPrevious() + e->getElementDeltaElevation();
    return height;
}

// The element holding the distance from the centre (up to 0.001 past an element's end), with the
// offset and the height of its start; last past the outer edge or for a distance that is not finite.
template<typename It> It elementByOffset(It first, It last, double target, double& start, double& startHeight)
{
    start = 0.0;
    startHeight = 0.0;
    if (!std::isfinite(target))
        return last;
    double height = 0.0;
    for (It e = first; e != last; ++e) {
        const double end = start + e->getWidth();
        if (end > target || std::fabs(target - end) < 0.001) {
            startHeight = e->getDeltaElevationToPrevious() + height;
            return e;
        }
        start = end;
        height += e->getDeltaElevationToPrevious() + e->getElementDeltaElevation();
    }
    return last;
}

// The widest element; the first of several within 0.001. last without elements.
template<typename It> It mainElement(It first, It last)
{
    It main = last;
    for (It e = first; e != last; ++e) {
        if (main == last || e->getWidth() - main->getWidth() >= 0.001)
            main = e;
    }
    return main;
}

// The strip that carries the main element's slope (0 without elements) from the outer edge out to
// the offset, standing at the height of the edge.
template<typename It> Strip expandedStrip(It first, It last, double offset)
{
    const It main = mainElement(first, last);
    return { std::fabs(offset) - totalOffset(first, last), main == last ? 0.0 : main->getSlopeInPercentage(),
             totalDeltaHeight(first, last) };
}

// Height of the surface at the offset. With extend set on entry, an offset past the edge is answered
// on the expanded strip; extend tells on return whether that happened. ok tells whether there was a
// height at all; without one the result is 0.
template<typename It> double deltaHeightByOffset(It first, It last, double offset, bool& extend, bool* ok)
{
    const double target = std::fabs(offset);
    bool found = false;
    double height = 0.0;
    double start = 0.0;
    double startHeight = 0.0;
    const It element = elementByOffset(first, last, target, start, startHeight);
    if (element != last) {
        const double width = element->getWidth();
        // An offset just past the element's end is measured at its end.
        const double distance = std::min(std::max(target - start, 0.0), width);
        height = heightInStrip(startHeight, element->getSlopeInPercentage(), width, distance);
        found = true;
        extend = false;
    } else if (extend && std::isfinite(target)) {
        const Strip expanded = expandedStrip(first, last, offset);
        height
            = heightInStrip(expanded.step, expanded.slope, expanded.width, target - totalOffset(first, last));
        found = true;
    } else {
        extend = false;
    }
    if (ok)
        *ok = found;
    return height;
}

} // namespace internal
} // namespace Road
} // namespace Pelko
