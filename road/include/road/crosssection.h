#pragma once

#include <road/crosssectionelement.h>
#include <road/road_global.h>

#include <corvex/point.h>

#include <memory>
#include <vector>

namespace Pelko {
namespace Road {

class CrossSectionConfiguration;

// One side of the cross section at one station, from the centre line outwards, with superelevation and
// widening applied and the base elevation folded into the first element's step. Offsets are distances
// from the centre line: queries take the absolute value of what they are given. Copies share.
class ROAD_EXPORT CrossSection
{
public:
    // For drawing: x is the height, y the offset.
    class ROAD_EXPORT LineSegment
    {
    public:
        LineSegment() = default;
        LineSegment(const Corvex::Point& start, const Corvex::Point& end);
        LineSegment(const LineSegment&) = default;
        LineSegment(LineSegment&&) = default;
        LineSegment& operator=(const LineSegment&) = default;
        LineSegment& operator=(LineSegment&&) = default;

        const Corvex::Point& getStart() const { return m_start; }
        const Corvex::Point& getEnd() const { return m_end; }
        // Ends swapped and the offsets reflected about axis.
        LineSegment mirrored(double axis) const;

    private:
        Corvex::Point m_start;
        Corvex::Point m_end;
    };

    CrossSection();
    // Invalid elements are left out. The base is added to the section's own clone of the first element,
    // so the caller's elements keep their values.
    CrossSection(double baseElevation, const std::vector<CrossSectionElement>& elements);

    int crossSectionElementCount() const;
    CrossSectionElement crossSectionElementAt(unsigned index, bool& ok) const;

    double getTotalOffset() const;
    // Height at the outer edge.
    double getTotalDeltaHeight() const;
    Corvex::Point getEndingPoint(bool left) const;

    // The widest element; the first of several within 0.001. Invalid without elements.
    CrossSectionElement getMainElement() const;
    // A clone of the element holding the offset, whose step to the previous element is replaced by the
    // height of its start and whose starting offset is set; an offset up to 0.001 past an element's end
    // still belongs to it. Invalid with found false past the outer edge or for an offset that is not
    // finite.
    CrossSectionElement getElementByOffset(double offset, bool* found = nullptr) const;
    // The strip that carries the main element's slope from the outer edge out to the offset.
    CrossSectionElement getExpandedElement(double offset) const;
    // Height of the surface at the offset. With extend set on entry, an offset past the edge is answered
    // on the expanded element; extend tells on return whether that happened. ok tells whether there was
    // a height at all; without one the result is 0.
    double getDeltaHeightByOffset(double offset, bool& extend, bool* ok = nullptr) const;

    std::vector<LineSegment> getPoints(bool mirrored) const;

private:
    friend class CrossSectionConfiguration;

    // Takes over elements that no one else holds (fresh copies): the first valid one is raised in
    // place instead of being copied again.
    static CrossSection adopt(double baseElevation, std::vector<CrossSectionElement>&& elements);

    std::shared_ptr<std::vector<CrossSectionElement>> d;
};

} // namespace Road
} // namespace Pelko
