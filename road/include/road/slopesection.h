#pragma once

#include <road/road_global.h>
#include <road/slope.h>
#include <road/slopesectionelement.h>

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

private:
    friend class SlopeSectionTemplate;
    explicit SlopeSection(std::shared_ptr<SlopeSectionData> data);

    std::shared_ptr<SlopeSectionData> d;
};

} // namespace Road
} // namespace Pelko
