#pragma once

#include <road/crosssection.h>
#include <road/crosssectionconfiguration.h>
#include <road/internal/node.h>
#include <road/road_global.h>

#include <memory>
#include <utility>

namespace Pelko {
namespace Road {

class RoadSurface;

// The road's standard cross section: a left and a right side, each from the centre line outwards.
// Copies share both sides.
class ROAD_EXPORT StandardSection
{
public:
    // Any value other than Left means right, except in getTotalOffset(side, station).
    enum SectionSide : int {
        Left = 0,
        Right = 1,
    };

    StandardSection();

    CrossSectionConfiguration getCrossSectionConfiguration(SectionSide side) const;
    // The side shares the given configuration.
    void setCrossSectionConfiguration(SectionSide side, const CrossSectionConfiguration& configuration);

    // The pivot offset is signed, negative on the left. Heights count from the profile elevation at the
    // pivot line.
    CrossSection getCrossSection(double station, SectionSide side, double pivotOffset,
                                 double elevation) const;
    // The side chosen by the sign of offset (left when negative), relative to the profile at the pivot:
    // the elevation is not added.
    CrossSection getCrossSection(double station, double offset, double pivotOffset, double elevation) const;
    // How far the centre line moves so that the pivot line stays at the profile; 0 for a pivot within
    // 0.001 of the centre or beyond its side.
    double getCenterDeltaHeight(double station, double pivotOffset) const;
    double getDeltaHeightByStationOffset(double station, double offset, double pivotOffset, bool& extend,
                                         bool& ok) const;

    // (left width, right width), widening included.
    std::pair<double, double> getTotalOffset(double station) const;
    // 0 for a side other than Left and Right.
    double getTotalOffset(SectionSide side, double station) const;

    void mirrorLeftToRight();
    void mirrorRightToLeft();

protected:
    bool load(const internal::Node<StandardSection>& node);
    void save(const internal::Node<StandardSection>& node) const;

private:
    friend class RoadSurface;

    const std::shared_ptr<CrossSectionConfiguration>& getCrossSectionConfigurationPtr(SectionSide side) const;

    std::shared_ptr<CrossSectionConfiguration> m_left;
    std::shared_ptr<CrossSectionConfiguration> m_right;
};

} // namespace Road
} // namespace Pelko
