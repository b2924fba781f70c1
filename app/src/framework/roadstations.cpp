#include "framework/roadstations.h"

#include <road/roadsurface.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

RoadStations::RoadStations(const Pelko::Road::RoadSurface* road)
    : m_road(road)
{
    m_empty = !road || !road->getStationRange(m_begin, m_end);
}

bool RoadStations::covers(double continuous) const
{
    if (std::isnan(continuous))
        return false;
    return m_empty || m_road->isOnRoad(continuous);
}

QString RoadStations::offRoadText(double continuous, const std::function<QString(double)>& text) const
{
    return tr("Station %1 is not on the road, which runs from %2 to %3.")
        .arg(text(continuous), text(m_begin), text(m_end));
}

} // namespace Trelvin
} // namespace Zemko
