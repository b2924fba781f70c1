#include <road/station.h>
#include <road/wideningpoint.h>

#include <cmath>

namespace Pelko {
namespace Road {

WideningPoint::WideningPoint(double station, double width, WideningMethod method)
    : m_station(station)
    , m_width(width)
    , m_method(method)
{
}

bool WideningPoint::operator==(const WideningPoint& other) const
{
    return *this == other.m_station;
}

bool WideningPoint::operator==(double station) const
{
    return std::fabs(m_station - station) < StationTolerance;
}

void WideningPoint::load(const internal::Node<WideningPoint>& node)
{
    m_method = WideningMethod(node.getInt("method"));
    m_station = node.getDouble("station");
    m_width = node.getDouble("width");
}

void WideningPoint::save(const internal::Node<WideningPoint>& node) const
{
    node.setInt("method", m_method);
    node.setDouble("station", m_station);
    node.setDouble("width", m_width);
}

} // namespace Road
} // namespace Pelko
