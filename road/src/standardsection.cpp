#include <road/standardsection.h>

#include "sectionstrips.h"

#include <cmath>

namespace Pelko {
namespace Road {

StandardSection::StandardSection()
    : m_left(std::make_shared<CrossSectionConfiguration>())
    , m_right(std::make_shared<CrossSectionConfiguration>())
{
}

const std::shared_ptr<CrossSectionConfiguration>&
StandardSection::getCrossSectionConfigurationPtr(SectionSide side) const
{
    return side == Left ? m_left : m_right;
}

CrossSectionConfiguration StandardSection::getCrossSectionConfiguration(SectionSide side) const
{
    return *getCrossSectionConfigurationPtr(side);
}

void StandardSection::setCrossSectionConfiguration(SectionSide side,
                                                   const CrossSectionConfiguration& configuration)
{
    *getCrossSectionConfigurationPtr(side) = configuration;
}

double StandardSection::getCenterDeltaHeight(double station, double pivotOffset) const
{
    if (!(std::fabs(pivotOffset) >= 0.001))
        return 0.0;
    const internal::StripList section = internal::sectionStrips(
        *getCrossSectionConfigurationPtr(pivotOffset < 0.0 ? Left : Right), station, 0.0);
    bool extend = false;
    return -internal::deltaHeightByOffset(section.begin(), section.end(), pivotOffset, extend, nullptr);
}

CrossSection StandardSection::getCrossSection(double station, SectionSide side, double pivotOffset,
                                              double elevation) const
{
    return getCrossSectionConfigurationPtr(side)->getCrossSectionByStation(
        station, getCenterDeltaHeight(station, pivotOffset) + elevation);
}

CrossSection StandardSection::getCrossSection(double station, double offset, double pivotOffset,
                                              double /*elevation*/) const
{
    // The section relative to the profile at the pivot: the elevation is not part of it.
    return getCrossSection(station, offset < 0.0 ? Left : Right, pivotOffset, 0.0);
}

double StandardSection::getDeltaHeightByStationOffset(double station, double offset, double pivotOffset,
                                                      bool& extend, bool& ok) const
{
    // The section of getCrossSection(station, offset, pivotOffset, 0.0), as numbers.
    const internal::StripList section
        = internal::sectionStrips(*getCrossSectionConfigurationPtr(offset < 0.0 ? Left : Right), station,
                                  getCenterDeltaHeight(station, pivotOffset) + 0.0);
    const double height = internal::deltaHeightByOffset(section.begin(), section.end(), offset, extend, &ok);
    return ok ? height : 0.0;
}

std::pair<double, double> StandardSection::getTotalOffset(double station) const
{
    return { getTotalOffset(Left, station), getTotalOffset(Right, station) };
}

double StandardSection::getTotalOffset(SectionSide side, double station) const
{
    if (side != Left && side != Right)
        return 0.0;
    // Summed in the order of the section's elements, as the section's own total is, without building it:
    // the plan asks this for every point of both borders.
    const auto configuration = getCrossSectionConfigurationPtr(side);
    double offset = 0.0;
    for (unsigned i = 0; i < configuration->size(); ++i)
        offset += configuration->elementConfigurationAt(i).widthAt(station);
    return offset;
}

void StandardSection::mirrorLeftToRight()
{
    *m_right = m_left->mirror();
}

void StandardSection::mirrorRightToLeft()
{
    *m_left = m_right->mirror();
}

bool StandardSection::load(const internal::Node<StandardSection>& node)
{
    bool complete = true;
    if (auto left = node.firstChild<CrossSectionConfiguration>("left")) {
        CrossSectionConfiguration configuration;
        complete = configuration.load(left) && complete;
        *m_left = configuration;
    }
    if (auto right = node.firstChild<CrossSectionConfiguration>("right")) {
        CrossSectionConfiguration configuration;
        complete = configuration.load(right) && complete;
        *m_right = configuration;
    }
    return complete;
}

void StandardSection::save(const internal::Node<StandardSection>& node) const
{
    node.removeChildren();
    m_left->save(node.appendChild<CrossSectionConfiguration>("left"));
    m_right->save(node.appendChild<CrossSectionConfiguration>("right"));
}

} // namespace Road
} // namespace Pelko
