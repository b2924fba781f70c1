#pragma once

#include <road/road_global.h>
#include <road/slope.h>
#include <road/slopesectionelement.h>

#include <corvex/point.h>

#include <memory>
#include <string>
#include <vector>

namespace Pelko {
namespace Road {

class SlopeSectionTemplate;

struct SlopeSectionData
{
    std::string name;
    SlopeSectionType type = SlopeSectionInvalid;
    SlopeSectionSide side = SlopeSideNeutral;
    // Placed elements, hinge outward.
    std::vector<SlopeSectionElement> elements;
};

// A slope template laid out at a hinge point. Copies share the data.
class ROAD_EXPORT SlopeSection
{
public:
    SlopeSection();

    unsigned int size() const;
    // The placed element (shared); an invalid element when i is out of range.
    SlopeSectionElement at(unsigned int i) const;
    SlopeSectionSide getSide() const;

    // The outline from the hinge outward, each break point once.
    std::vector<Corvex::Point> getPoints() const;
    // The points a surveyor stakes: surface break points and ditch bottom centres, hinge outward.
    std::vector<SlopeSectionPoint> getPrimaryPoints() const;
    // The design elevation at an offset; beyond the last element its outer face carries on. +infinity
    // for an empty section.
    double getElevation(double offset) const;
    // The rover against the nearest design point, horizontally and vertically.
    SlopeNavigation getNavigation(const Corvex::Point& rover) const;
    // The rover against primary point index; a negative or unknown index asks getNavigation(rover).
    SlopeNavigation getNavigation(int index, const Corvex::Point& rover) const;

private:
    friend class SlopeSectionTemplate;
    explicit SlopeSection(std::shared_ptr<SlopeSectionData> data);

    std::shared_ptr<SlopeSectionData> d;
};

} // namespace Road
} // namespace Pelko
