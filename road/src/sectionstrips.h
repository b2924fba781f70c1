#pragma once

// A side's cross section at a station as plain numbers: the heights a CrossSection gives, for queries
// that ask one height per station (stakes, elevations) and should not build a section each time.

#include <road/crosssectionconfiguration.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace Pelko {
namespace Road {
namespace internal {

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

// The height rules of CrossSection, operation for operation, over elements with the getters above.

template<typename It> double totalOffset(It first, It last)
{
    double offset = 0.0;
    for (It e = first; e != last; ++e)
        offset += e->getWidth();
    return offset;
}

template<typename It> double totalDeltaHeight(It first, It last)
{
    double height = 0.0;
    for (It e = first; e != last; ++e)
        height += e->getDeltaElevationToPrevious() + e->getSlopeInPercentage() * e->getWidth() * 0.01;
    return height;
}

// The element holding the distance from the centre (up to 0.001 past an element's end), with its start
// and the height reached at its start; last past the outer edge.
template<typename It> It elementByOffset(It first, It last, double target, double& start, double& height)
{
    start = 0.0;
    height = 0.0;
    for (It e = first; e != last; ++e) {
        const double end = start + e->getWidth();
        if (end > target || std::fabs(target - end) < 0.001)
            return e;
        start = end;
        height += e->getDeltaElevationToPrevious() + e->getSlopeInPercentage() * e->getWidth() * 0.01;
    }
    return last;
}

// The slope of the widest element (the first of several within 0.001); 0 without elements.
template<typename It> double mainSlope(It first, It last)
{
    It main = last;
    for (It e = first; e != last; ++e) {
        if (main == last || e->getWidth() - main->getWidth() >= 0.001)
            main = e;
    }
    return main == last ? 0.0 : main->getSlopeInPercentage();
}

// CrossSection::getDeltaHeightByOffset.
template<typename It> double deltaHeightByOffset(It first, It last, double offset, bool& extend, bool* ok)
{
    const double target = std::fabs(offset);
    bool found = false;
    double height = 0.0;
    if (std::isfinite(target)) {
        double start = 0.0;
        double rise = 0.0;
        const It element = elementByOffset(first, last, target, start, rise);
        if (element != last) {
            const double width = element->getWidth();
            const double distance = std::min(std::max(target - start, 0.0), width);
            height = distance >= 0.0 && distance <= width ? (element->getDeltaElevationToPrevious() + rise)
                    + element->getSlopeInPercentage() * distance * 0.01
                                                          : 0.0;
            found = true;
            extend = false;
        }
    }
    if (!found) {
        if (extend && std::isfinite(target)) {
            // The expanded strip: the main slope from the outer edge out to the offset.
            const double width = std::fabs(offset) - totalOffset(first, last);
            const double slope = mainSlope(first, last);
            const double step = totalDeltaHeight(first, last);
            const double distance = target - totalOffset(first, last);
            height = distance >= 0.0 && distance <= width ? step + slope * distance * 0.01 : 0.0;
            found = true;
        } else {
            extend = false;
        }
    }
    if (ok)
        *ok = found;
    return height;
}

} // namespace internal
} // namespace Road
} // namespace Pelko
