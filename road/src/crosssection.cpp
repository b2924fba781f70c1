#include <road/crosssection.h>

#include "sectionstrips.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Pelko {
namespace Road {

CrossSection::LineSegment::LineSegment(const Corvex::Point& start, const Corvex::Point& end)
    : m_start(start)
    , m_end(end)
{
}

CrossSection::LineSegment CrossSection::LineSegment::mirrored(double axis) const
{
    return LineSegment(Corvex::Point(m_end.getX(), 2.0 * axis - m_end.getY()),
                       Corvex::Point(m_start.getX(), 2.0 * axis - m_start.getY()));
}

CrossSection::CrossSection()
    : d(std::make_shared<std::vector<CrossSectionElement>>())
{
}

CrossSection::CrossSection(double baseElevation, const std::vector<CrossSectionElement>& elements)
    : d(std::make_shared<std::vector<CrossSectionElement>>())
{
    d->reserve(elements.size());
    for (const CrossSectionElement& e : elements) {
        if (e.isValid())
            d->push_back(e);
    }
    if (!d->empty())
        d->front() = d->front().specialized(baseElevation);
}

CrossSection CrossSection::adopt(double baseElevation, std::vector<CrossSectionElement>&& elements)
{
    CrossSection section;
    std::vector<CrossSectionElement>& kept = *section.d;
    kept = std::move(elements);
    kept.erase(
        std::remove_if(kept.begin(), kept.end(), [](const CrossSectionElement& e) { return !e.isValid(); }),
        kept.end());
    if (!kept.empty())
        kept.front().setDeltaElevationToPrevious(kept.front().getDeltaElevationToPrevious() + baseElevation);
    return section;
}

int CrossSection::crossSectionElementCount() const
{
    return static_cast<int>(d->size());
}

CrossSectionElement CrossSection::crossSectionElementAt(unsigned index, bool& ok) const
{
    ok = index < d->size();
    return ok ? (*d)[index] : CrossSectionElement();
}

double CrossSection::getTotalOffset() const
{
    return internal::totalOffset(d->cbegin(), d->cend());
}

double CrossSection::getTotalDeltaHeight() const
{
    return internal::totalDeltaHeight(d->cbegin(), d->cend());
}

Corvex::Point CrossSection::getEndingPoint(bool left) const
{
    const double offset = getTotalOffset();
    return Corvex::Point(getTotalDeltaHeight(), left ? -offset : offset);
}

CrossSectionElement CrossSection::getMainElement() const
{
    const auto main = internal::mainElement(d->cbegin(), d->cend());
    return main == d->cend() ? CrossSectionElement() : *main;
}

CrossSectionElement CrossSection::getElementByOffset(double offset, bool* found) const
{
    double start = 0.0;
    double startHeight = 0.0;
    const auto e = internal::elementByOffset(d->cbegin(), d->cend(), std::fabs(offset), start, startHeight);
    if (found)
        *found = e != d->cend();
    if (e == d->cend())
        return CrossSectionElement();
    CrossSectionElement result = e->clone();
    result.setDeltaElevationToPrevious(startHeight);
    result.setStartingOffset(start);
    return result;
}

CrossSectionElement CrossSection::getExpandedElement(double offset) const
{
    const internal::Strip strip = internal::expandedStrip(d->cbegin(), d->cend(), offset);
    CrossSectionElement expanded("##expand##", strip.width, strip.slope, 0.0);
    expanded.setDeltaElevationToPrevious(strip.step);
    expanded.setStartingOffset(getTotalOffset());
    return expanded;
}

double CrossSection::getDeltaHeightByOffset(double offset, bool& extend, bool* ok) const
{
    return internal::deltaHeightByOffset(d->cbegin(), d->cend(), offset, extend, ok);
}

std::vector<CrossSection::LineSegment> CrossSection::getPoints(bool mirrored) const
{
    std::vector<LineSegment> segments;
    segments.reserve(d->size());
    double offset = 0.0;
    double height = 0.0;
    for (const CrossSectionElement& e : *d) {
        const double step = e.getDeltaElevationToPrevious();
        // Steps too small to see are not drawn.
        if (std::fabs(step) > 0.001)
            height += step;
        const Corvex::Point start(height, offset);
        offset += e.getWidth();
        height += e.getElementDeltaElevation();
        segments.emplace_back(start, Corvex::Point(height, offset));
    }
    if (mirrored) {
        std::reverse(segments.begin(), segments.end());
        for (LineSegment& s : segments)
            s = s.mirrored(0.0);
    }
    return segments;
}

} // namespace Road
} // namespace Pelko
