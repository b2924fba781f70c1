#include <road/station.h>
#include <road/superelevationpoint.h>

#include <cmath>

namespace Pelko {
namespace Road {

SuperelevationPoint::SuperelevationPoint(SuperelevationMethod method, double station, double slope)
    : m_method(method)
    , m_station(station)
    , m_slope(slope)
{
}

SuperelevationPoint::~SuperelevationPoint() = default;

bool SuperelevationPoint::operator==(const SuperelevationPoint& other) const
{
    return *this == other.m_station;
}

bool SuperelevationPoint::operator==(double station) const
{
    return std::fabs(m_station - station) < StationTolerance;
}

void SuperelevationPoint::load(const internal::Node<SuperelevationPoint>& node)
{
    m_method = SuperelevationMethod(node.getInt("method"));
    m_station = node.getDouble("station");
    m_slope = node.getDouble("slope");
}

void SuperelevationPoint::save(const internal::Node<SuperelevationPoint>& node) const
{
    node.setInt("method", m_method);
    node.setDouble("station", m_station);
    node.setDouble("slope", m_slope);
}

} // namespace Road
} // namespace Pelko
