#pragma once

#include <road/road_global.h>
#include <road/stake.h>

#include <corvex/point3d.h>

#include <memory>

namespace Pelko {
namespace Road {

class RoadSurface;

// Steps along a road and gives a stake at every stop: either by a fixed interval on the grid of the
// equation-broken stations, stopping also at element boundaries and arc midpoints, or through the
// road's station table. Copies share the position; an iterator made by the default constructor, or
// with an unusable interval, is invalid. The road must outlive the iterator.
class ROAD_EXPORT StationIterator
{
public:
    class State;
    class NormalState;
    class TableState;

    StationIterator();
    // Walks the station table, starting at the station (before the first table station when the
    // station is not finite).
    StationIterator(const RoadSurface* road, double station);
    // Walks [begin, end] (cut to the alignment; NaN keeps the alignment's end) by the interval.
    StationIterator(const RoadSurface* road, double interval, double begin, double end);
    // Walks the whole alignment by the interval from station, with a default offset and a measured
    // point carried into every stake.
    StationIterator(const RoadSurface* road, double interval, double station, double offset,
                    const Corvex::Point3D& rover, bool flag);

    bool isValid() const { return d != nullptr; }
    explicit operator bool() const { return isValid(); }

    bool hasNext() const;
    bool hasPrevious() const;
    void next();
    void previous();

    // Continuous station; NaN when invalid.
    double getStation() const;
    // The equation-broken station of a continuous one; NaN when invalid.
    double getStationAfter(double continuous) const;
    // 0 for the table; NaN when invalid.
    double getInterval() const;

    Stake getStake() const;
    Stake getStake(double offset) const;
    Stake getStake(double updown, bool useSlope) const;
    // The default (invalid) stake off the alignment or when invalid.
    Stake getStake(double offset, double updown, bool useSlope) const;

private:
    std::shared_ptr<State> d;
};

} // namespace Road
} // namespace Pelko
