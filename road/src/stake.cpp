#include <road/stake.h>

#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {

namespace {
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
}

Stake::Stake()
    : m_rover(nan, nan, nan)
{
}

void Stake::assign(Stake const& other)
{
    *this = other;
}

Stake Stake::getOffseted(double d) const
{
    return getOffseted(d, 0.0, Corvex::Angle(2.0 * std::atan(1.0)));
}

Stake Stake::getOffseted(double d, Corvex::Angle const& w) const
{
    return getOffseted(d, 0.0, w);
}

Stake Stake::getOffseted(double d, double h, Corvex::Angle const& w) const
{
    Stake moved = *this;
    double const a = m_azimuth.toRadian() + w.toRadian();
    moved.m_designed = Corvex::Point3D(m_designed.north() + d * std::cos(a),
                                       m_designed.east() + d * std::sin(a), m_designed.height() + h);
    moved.m_offset = Corvex::Point(d, h);
    return moved;
}

Corvex::Point3D Stake::getSectionDifference(Corvex::Point3D const& p, Corvex::Angle const& w) const
{
    double const a = m_azimuth.toRadian() + w.toRadian() - 2.0 * std::atan(1.0);
    double const dN = p.north() - m_designed.north();
    double const dE = p.east() - m_designed.east();
    double const dH = p.height() - m_designed.height();
    double const ca = std::cos(a);
    double const sa = std::sin(a);
    return Corvex::Point3D(ca * dE - sa * dN, sa * dE + ca * dN, dH);
}

Stake::Builder::Builder()
    : m_stake(std::make_shared<Stake>())
{
    m_stake->m_elevationValid = true;
}

Stake::Builder& Stake::Builder::setType(Stake::Type type)
{
    m_stake->m_type = type;
    return *this;
}

Stake::Builder& Stake::Builder::setStation(double station)
{
    m_stake->m_station = station;
    return *this;
}

Stake::Builder& Stake::Builder::setStationAfter(double station)
{
    m_stake->m_stationAfter = station;
    return *this;
}

Stake::Builder& Stake::Builder::setAzimuth(double radians)
{
    m_stake->m_azimuth = Corvex::Angle(radians);
    return *this;
}

Stake::Builder& Stake::Builder::setDesigned(Corvex::Point3D const& point)
{
    m_stake->m_designed = point;
    return *this;
}

Stake::Builder& Stake::Builder::setOffset(double offset)
{
    m_stake->m_offset = Corvex::Point(offset, nan);
    return *this;
}

Stake::Builder& Stake::Builder::setOffset(Corvex::Point const& offset)
{
    m_stake->m_offset = offset;
    return *this;
}

Stake::Builder& Stake::Builder::setRover(Corvex::Point3D const& rover)
{
    m_stake->m_rover = rover;
    return *this;
}

Stake::Builder& Stake::Builder::setElevationValid(bool valid)
{
    m_stake->m_elevationValid = valid;
    return *this;
}

Stake::Builder& Stake::Builder::reset()
{
    // Copies of this builder keep sharing the stake, so reset it in place.
    *m_stake = Stake();
    m_stake->m_elevationValid = true;
    return *this;
}

Stake Stake::Builder::create(bool resetAfter)
{
    Stake made = *m_stake;
    if (made.m_type == Stake::Unset)
        made.m_type = Stake::IntervalStation;
    if (resetAfter)
        reset();
    return made;
}

} // namespace Road
} // namespace Pelko
