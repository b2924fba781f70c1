#pragma once

#include <road/road_global.h>

#include <corvex/angle.h>
#include <corvex/point.h>
#include <corvex/point3d.h>

#include <cstdint>
#include <memory>

namespace Pelko {
namespace Road {

// The design answer at one station: plan point and height, offset from the centre
// line, direction, and what kind of station it is.
class ROAD_EXPORT Stake
{
public:
    enum Type : std::int32_t {
        Unset = -1,
        IntervalStation = 0,
        AlignmentBegin = 1,
        AlignmentEnd = 2,
        ElementBoundary = 3,
        ArcMidpoint = 10,
    };

    class Builder;

    Stake();

    bool isValid() const { return m_type != Unset; }
    explicit operator bool() const { return isValid(); }

    Type getType() const { return m_type; }
    double getStation() const { return m_station; }
    double getStationAfter() const { return m_stationAfter; }
    Corvex::Point3D const& getPoint() const { return m_designed; }
    Corvex::Point3D const& getRover() const { return m_rover; }
    // x: offset from the centre line (positive right); y: height change applied by
    // getOffseted, NaN when only an offset was given.
    Corvex::Point const& getOffset() const { return m_offset; }
    Corvex::Angle const& getAzimuth() const { return m_azimuth; }
    bool isElevationValid() const { return m_elevationValid; }

    void assign(Stake const& other);

    // d to the right of the centre line.
    Stake getOffseted(double d) const;
    // d along azimuth + w.
    Stake getOffseted(double d, Corvex::Angle const& w) const;
    Stake getOffseted(double d, double h, Corvex::Angle const& w) const;

    // p against the designed point in the frame turned by w from the centre line:
    // with w = 0, (distance ahead, distance to the left, height difference).
    Corvex::Point3D getSectionDifference(Corvex::Point3D const& p, Corvex::Angle const& w) const;

private:
    Type m_type = Unset;
    double m_station = 0.0;
    double m_stationAfter = 0.0;
    Corvex::Point3D m_designed;
    Corvex::Point m_offset;
    Corvex::Point3D m_rover;
    Corvex::Angle m_azimuth;
    bool m_elevationValid = false;
};

// Builds a stake field by field; copies of a builder share the stake under construction.
class ROAD_EXPORT Stake::Builder
{
public:
    Builder();

    Builder& setType(Stake::Type type);
    Builder& setStation(double station);
    Builder& setStationAfter(double station);
    Builder& setAzimuth(double radians);
    Builder& setDesigned(Corvex::Point3D const& point);
    Builder& setOffset(double offset);
    Builder& setOffset(Corvex::Point const& offset);
    Builder& setRover(Corvex::Point3D const& rover);
    // The elevation counts as valid unless the query behind it failed.
    Builder& setElevationValid(bool valid);
    Builder& reset();

    // An unset type becomes an interval station.
    Stake create(bool resetAfter = true);

private:
    std::shared_ptr<Stake> m_stake;
};

} // namespace Road
} // namespace Pelko
