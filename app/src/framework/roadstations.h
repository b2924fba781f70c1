#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// The program's texts for the stations a road covers; the road library judges what lies on the road
// (RoadSurface::getStationRange, RoadSurface::isOnRoad).
class RoadStations
{
    Q_DECLARE_TR_FUNCTIONS(RoadStations)

public:
    // The road is not owned and must outlive this object.
    explicit RoadStations(const Pelko::Road::RoadSurface* road);

    // A road without elements has no stations to judge by.
    bool isEmpty() const { return m_empty; }
    double begin() const { return m_begin; }
    double end() const { return m_end; }
    // On the road as the library judges it, or anywhere on a road without elements. A station that
    // is not a number is on no road.
    bool covers(double continuous) const;
    // The warning for a station off the road, each station written by text.
    QString offRoadText(double continuous, const std::function<QString(double)>& text) const;

private:
    const Pelko::Road::RoadSurface* m_road = nullptr;
    bool m_empty = true;
    double m_begin = 0.0;
    double m_end = 0.0;
};

} // namespace Trelvin
} // namespace Zemko
