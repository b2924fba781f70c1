#pragma once

#include <road/crosssection.h>
#include <road/crosssectionelement.h>
#include <road/crosssectionelementconfiguration.h>
#include <road/internal/node.h>
#include <road/road_global.h>

#include <memory>
#include <vector>

namespace Pelko {
namespace Road {

class StandardSection;
class CrossSectionConfiguration;

namespace internal {
class StripList;
StripList sectionStrips(const CrossSectionConfiguration& configuration, double station, double baseElevation);
} // namespace internal

// The element configurations of one side, from the centre line outwards. Copies share; clone() copies
// deeply.
class ROAD_EXPORT CrossSectionConfiguration
{
public:
    CrossSectionConfiguration();
    CrossSectionConfiguration(const CrossSectionConfiguration&) = default;
    CrossSectionConfiguration& operator=(const CrossSectionConfiguration&) = default;
    ~CrossSectionConfiguration();

    unsigned size() const;
    // Append and insert return the new size; an invalid element or configuration is refused and the
    // size returned unchanged. An index beyond the end inserts at the end.
    unsigned append(const CrossSectionElement& element);
    unsigned append(const CrossSectionElementConfiguration& configuration);
    unsigned insertBefore(unsigned index, const CrossSectionElement& element);
    unsigned insertBefore(unsigned index, const CrossSectionElementConfiguration& configuration);
    bool removeAt(unsigned index);
    // Replaces only the base element; the points stay. False for a bad index or an invalid element.
    bool setAt(unsigned index, const CrossSectionElement& element);
    // Invalid element when out of range.
    CrossSectionElement getAt(unsigned index) const;
    // A new empty configuration when out of range.
    CrossSectionElementConfiguration elementConfigurationAt(unsigned index) const;

    CrossSection getCrossSectionByStation(double station, double baseElevation) const;
    // The base elements only, without superelevation and widening.
    CrossSection getTemplate(double baseElevation) const;

    CrossSectionConfiguration clone() const;
    // Base elements cloned, point lists left behind.
    CrossSectionConfiguration mirror() const;

protected:
    // Replaces the list by the node's elements in file order; false when something was unusable.
    bool load(const internal::Node<CrossSectionConfiguration>& node);
    void save(const internal::Node<CrossSectionConfiguration>& node) const;

private:
    friend class StandardSection;
    // Reads the elements in place, without copying their handles.
    friend internal::StripList internal::sectionStrips(const CrossSectionConfiguration&, double, double);
    using CrossSectionConfigurationData = std::vector<CrossSectionElementConfiguration>;
    explicit CrossSectionConfiguration(CrossSectionConfigurationData* data);

    std::shared_ptr<CrossSectionConfigurationData> d;
};

} // namespace Road
} // namespace Pelko
