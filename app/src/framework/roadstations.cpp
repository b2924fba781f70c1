#include "framework/roadstations.h"

#include <road/horizontalalignment.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

namespace {

// Stations closer than this are one station to the road library.
constexpr double stationTolerance = 0.001;

} // namespace

RoadStations::RoadStations(const Pelko::Road::RoadSurface* road)
{
    if (!road)
        return;
    const Pelko::Road::HorizontalElementConfiguration elements = road->getHorizontalAligment()->getElements();
    if (elements.isEmpty())
        return;
    m_empty = false;
    m_begin = elements.at(0).getBeginStation();
    m_end = elements.at(elements.size() - 1).getEndStation();
}

bool RoadStations::covers(double continuous) const
{
    if (std::isnan(continuous))
        return false;
    return m_empty || (continuous > m_begin - stationTolerance && continuous < m_end + stationTolerance);
}

QString RoadStations::offRoadText(double continuous, const std::function<QString(double)>& text) const
{
    return tr("Station %1 is not on the road, which runs from %2 to %3.")
        .arg(text(continuous), text(m_begin), text(m_end));
}

} // namespace Trelvin
} // namespace Zemko
