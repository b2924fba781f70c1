#include <road/crosssection.h>

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
    double offset = 0.0;
    for (const CrossSectionElement& e : *d)
        offset += e.getWidth();
    return offset;
}

double CrossSection::getTotalDeltaHeight() const
{
    double height = 0.0;
    for (const CrossSectionElement& e : *d)
        height += e.getDeltaElevationToPrevious() + e.getElementDeltaElevation();
    return height;
}

Corvex::Point CrossSection::getEndingPoint(bool left) const
{
    const double offset = getTotalOffset();
    return Corvex::Point(getTotalDeltaHeight(), left ? -offset : offset);
}

CrossSectionElement CrossSection::getMainElement() const
{
    CrossSectionElement main;
    for (const CrossSectionElement& e : *d) {
        if (!main.isValid() || e.getWidth() - main.getWidth() >= 0.001)
            main = e;
    }
    return main;
}

CrossSectionElement CrossSection::getElementByOffset(double offset, bool* found) const
{
    if (found)
        *found = false;
    const double target = std::fabs(offset);
    if (!std::isfinite(target))
        return CrossSectionElement();
    double start = 0.0;
    double height = 0.0;
    for (const CrossSectionElement& e : *d) {
        const double end = start + e.getWidth();
        if (end > target || std::fabs(target - end) < 0.001) {
            CrossSectionElement result = e.clone();
            result.setDeltaElevationToPrevious(e.getDeltaElevationToPrevious() + height);
            result.setStartingOffset(start);
            if (found)
                *found = true;
            return result;
        }
        start = end;
        height += e.getDeltaElevationToPrevious() + e.getElementDeltaElevation();
    }
    return CrossSectionElement();
}

CrossSectionElement CrossSection::getExpandedElement(double offset) const
{
    const double total = getTotalOffset();
    const CrossSectionElement main = getMainElement();
    const double slope = main.isValid() ? main.getSlopeInPercentage() : 0.0;
    CrossSectionElement expanded("##expand##", std::fabs(offset) - total, slope, 0.0);
    expanded.setDeltaElevationToPrevious(getTotalDeltaHeight());
    expanded.setStartingOffset(total);
    return expanded;
}

double CrossSection::getDeltaHeightByOffset(double offset, bool& extend, bool* ok) const
{
    const double target = std::fabs(offset);
    bool found = false;
    double height = 0.0;
    const CrossSectionElement element = getElementByOffset(offset, &found);
    if (found) {
        const double distance
            = std::min(std::max(target - element.getStartingOffset(), 0.0), element.getWidth());
        height = element.getObjectDeltaElevation(distance);
        extend = false;
    } else if (extend && std::isfinite(target)) {
        const CrossSectionElement expanded = getExpandedElement(offset);
        extend = expanded.isValid();
        if (extend) {
            height = expanded.getObjectDeltaElevation(target - getTotalOffset());
            found = true;
        }
    } else {
        extend = false;
    }
    if (ok)
        *ok = found;
    return height;
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
