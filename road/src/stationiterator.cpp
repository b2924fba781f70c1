#include <road/stationiterator.h>

#include "revision.h"

#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/station.h>
#include <road/stationtable.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace Pelko {
namespace Road {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kClassifyTolerance = 0.01;
constexpr unsigned kNone = static_cast<unsigned>(-1);

double roundMillimetre(double v)
{
    return std::floor(v * 1000.0 + 0.5) * 0.001;
}

bool near(double a, double b, double tolerance = StationTolerance)
{
    return std::fabs(a - b) < tolerance;
}

// The grid stations at or behind a millimetre-rounded distance from the grid base. Half a millimetre
// of slack keeps a grid station from dividing to a hair below its step count (0.3 / 0.1), which would
// leave next() aiming at the stop it already stands on.
double gridSteps(double distance, double interval)
{
    return std::floor((roundMillimetre(distance) + 0.5 * StationTolerance) / interval);
}

} // namespace

class StationIterator::State
{
public:
    State(const RoadSurface* road, double begin, double end, double offset, const Corvex::Point3D& rover)
        : road(road)
        , offset(offset)
        , rover(rover)
        , elements(road->getHorizontalAligment()->getElements())
        , equations(road->getStationsEquations())
    {
        if (elements.isEmpty())
            return;
        this->begin = elements.at(0).getBeginStation();
        this->end = elements.at(elements.size() - 1).getEndStation();
        if (!std::isnan(begin))
            this->begin = std::max(this->begin, begin);
        if (!std::isnan(end))
            this->end = std::min(this->end, end);
    }
    virtual ~State() = default;

    virtual bool hasNext() const { return end > current; }
    virtual bool hasPrevious() const { return current > begin; }
    virtual void next() = 0;
    virtual void previous() = 0;
    virtual double getInterval() const = 0;

    double stationAfter(double continuous) const
    {
        return equations.getStationFromContinuous(continuous).getStation();
    }

    double clamped(double station) const { return roundMillimetre(std::min(std::max(station, begin), end)); }

    const RoadSurface* road;
    Stake::Type type = Stake::Unset;
    double current = 0.0;
    double offset;
    double begin = 0.0;
    double end = 0.0;
    Corvex::Point3D rover;
    HorizontalElementConfiguration elements;
    StationsEquationConfiguration equations;
};

class StationIterator::NormalState : public StationIterator::State
{
public:
    NormalState(const RoadSurface* road, double interval, double start, double begin, double end,
                double offset, const Corvex::Point3D& rover)
        : State(road, begin, end, offset, rover)
        , interval(interval)
        , ranges(equations.getRanges())
    {
        current = std::isfinite(start) ? clamped(start) : this->begin;
        const double v = roundMillimetre(stationAfter(current));
        base = 10.0 * std::trunc(std::fmod(v, 100.0) / 10.0);
        rangeIndex = ranges.find(current);
        // floor, not truncation: below zero a truncated step count would skip a grid station.
        k = gridSteps(v - base, interval);
        classify();
    }

    double getInterval() const override { return interval; }

    void next() override
    {
        if (!hasNext())
            return;
        rangeIndex = ranges.find(current);
        double c = (k + 1.0) * interval + base;
        const double rangeEnd = ranges[rangeIndex].end;
        if (c > rangeEnd || near(c, rangeEnd))
            c = rangeEnd;
        double t = current + (c - stationAfter(current));

        HorizontalElement element = elements.at(indexAt(current));
        for (int i = 2; element.isValid() && element.getLength() == 0.0; ++i)
            element = elements.findElement(current + i * StationTolerance);
        double stop = end;
        if (element.isValid()) {
            stop = element.getEndStation();
            if (element.getType() == ArcElementType
                && element.getMiddleStation() > current + StationTolerance)
                stop = element.getMiddleStation();
        }
        const double limit = std::min(stop, end);
        if (t > limit || near(t, limit))
            t = limit;
        moveTo(t);
    }

    void previous() override
    {
        if (!hasPrevious())
            return;
        rangeIndex = ranges.find(current);
        const double sa = stationAfter(current);
        double adjust = 0.0;
        if (near(ranges[rangeIndex].start, sa) && rangeIndex > 0) {
            const double rb = ranges[rangeIndex].start;
            --rangeIndex;
            adjust = ranges[rangeIndex].end - rb;
        }
        const double x = sa + adjust;
        double rem = std::fmod(roundMillimetre(x - base), interval);
        // fmod keeps the sign of a station below zero; the grid step back is still positive.
        if (rem < 0.0)
            rem += interval;
        if (std::fabs(rem) < StationTolerance)
            rem = interval;
        double c = x - rem;
        const double rangeBegin = ranges[rangeIndex].start;
        if (c < rangeBegin || near(c, rangeBegin))
            c = rangeBegin;
        double t = current + (c - sa - adjust);

        unsigned index = elements.findIndex(current);
        HorizontalElement element = elements.at(index);
        for (int i = 2; element.isValid() && element.getLength() == 0.0; ++i) {
            index = elements.findIndex(current - i * StationTolerance);
            element = elements.at(index);
        }
        if (element.isValid() && near(current, element.getBeginStation()) && index != 0) {
            element = elements.at(index - 1);
        }
        double stop = begin;
        if (element.isValid()) {
            stop = element.getBeginStation();
            if (element.getType() == ArcElementType
                && current > element.getMiddleStation() + StationTolerance)
                stop = element.getMiddleStation();
        }
        const double limit = std::max(stop, begin);
        if (limit > t || near(t, limit))
            t = limit;
        moveTo(t);
    }

private:
    void moveTo(double t)
    {
        k = gridSteps(stationAfter(t) - base, interval);
        current = t;
        classify();
    }

    // The element index of a station, kept for the station last asked while the geometry stays as it
    // was: a step forward asks again for the station it classified.
    unsigned indexAt(double station)
    {
        const std::uint64_t revision = internal::geometryRevision();
        if (!(station == indexStation && revision == indexRevision)) {
            indexStation = station;
            indexRevision = revision;
            cachedIndex = elements.findIndex(station);
        }
        return cachedIndex;
    }

    void classify()
    {
        type = Stake::IntervalStation;
        const unsigned index = indexAt(current);
        const HorizontalElement element = elements.at(index);
        if (!element.isValid())
            return;
        if (near(current, element.getEndStation(), kClassifyTolerance))
            type = index + 1 == elements.size() ? Stake::AlignmentEnd : Stake::ElementBoundary;
        else if (near(current, element.getBeginStation(), kClassifyTolerance))
            type = index == 0 ? Stake::AlignmentBegin : Stake::ElementBoundary;
        else if (element.getType() == ArcElementType
                 && near(current, element.getMiddleStation(), kClassifyTolerance))
            type = Stake::ArcMidpoint;
    }

    double interval;
    double base = 0.0;
    double indexStation = kNaN;
    std::uint64_t indexRevision = 0;
    unsigned cachedIndex = 0;
    unsigned rangeIndex = 0;
    StationsEquationConfiguration::Ranges ranges;
    double k = 0.0;
};

class StationIterator::TableState : public StationIterator::State
{
public:
    TableState(const RoadSurface* road, double station)
        : State(road, kNaN, kNaN, 0.0, Corvex::Point3D(kNaN, kNaN, kNaN))
        , table(road->getStationTable())
    {
        type = Stake::IntervalStation;
        if (std::isfinite(station)) {
            current = clamped(station);
        } else {
            // Before the first table station: one next() moves onto it.
            current = begin;
            index = 0;
            exact = false;
        }
    }

    double getInterval() const override { return 0.0; }

    bool hasNext() const override
    {
        locate();
        return end > current && nextIndex() != kNone;
    }

    bool hasPrevious() const override
    {
        locate();
        return current > begin && previousIndex() != kNone;
    }

    void next() override
    {
        locate();
        moveTo(nextIndex());
    }

    void previous() override
    {
        locate();
        moveTo(previousIndex());
    }

private:
    bool continuous(unsigned i, double& station) const
    {
        const StationsEquation::Result r = equations.getContinuousStation(table.getAt(i));
        station = r.getStation();
        return r.isValid() && std::isfinite(station);
    }

    void locate() const
    {
        if (index != kNone)
            return;
        const unsigned n = table.size();
        if (n == 0)
            return;
        for (unsigned i = 0; i < n; ++i) {
            double s = 0.0;
            if (!continuous(i, s))
                continue;
            if (near(s, current) || s > current) {
                index = i;
                exact = near(s, current);
                return;
            }
        }
        index = n - 1;
        exact = true;
    }

    unsigned nextIndex() const
    {
        if (index == kNone)
            return kNone;
        double s = 0.0;
        for (unsigned i = exact ? index + 1 : index; i < table.size(); ++i) {
            if (continuous(i, s))
                return i;
        }
        return kNone;
    }

    unsigned previousIndex() const
    {
        if (index == kNone)
            return kNone;
        double s = 0.0;
        // Located past the last table station: that station is the one behind.
        if (exact && continuous(index, s) && s < current - StationTolerance)
            return index;
        for (unsigned i = index; i-- > 0;) {
            if (continuous(i, s))
                return i;
        }
        return kNone;
    }

    void moveTo(unsigned i)
    {
        double s = 0.0;
        if (i == kNone || !continuous(i, s))
            return;
        index = i;
        exact = true;
        current = s;
    }

    StationTable table;
    mutable unsigned index = kNone;
    mutable bool exact = false;
};

StationIterator::StationIterator() = default;

StationIterator::StationIterator(const RoadSurface* road, double station)
{
    if (road && *road)
        d = std::make_shared<TableState>(road, station);
}

StationIterator::StationIterator(const RoadSurface* road, double interval, double begin, double end)
{
    interval = roundMillimetre(interval);
    // A zero step would never leave the start; a NaN or infinite one has no grid.
    if (road && *road && std::isfinite(interval) && interval >= StationTolerance)
        d = std::make_shared<NormalState>(road, interval, begin, begin, end, 0.0,
                                          Corvex::Point3D(kNaN, kNaN, kNaN));
}

StationIterator::StationIterator(const RoadSurface* road, double interval, double station, double offset,
                                 const Corvex::Point3D& rover, bool /*flag*/)
{
    interval = roundMillimetre(interval);
    if (road && *road && std::isfinite(interval) && interval >= StationTolerance)
        d = std::make_shared<NormalState>(road, interval, station, kNaN, kNaN, offset, rover);
}

bool StationIterator::hasNext() const
{
    return d && d->hasNext();
}

bool StationIterator::hasPrevious() const
{
    return d && d->hasPrevious();
}

void StationIterator::next()
{
    if (d)
        d->next();
}

void StationIterator::previous()
{
    if (d)
        d->previous();
}

double StationIterator::getStation() const
{
    return d ? d->current : kNaN;
}

double StationIterator::getStationAfter(double continuous) const
{
    return d ? d->stationAfter(continuous) : kNaN;
}

double StationIterator::getInterval() const
{
    return d ? d->getInterval() : kNaN;
}

Stake StationIterator::getStake() const
{
    return d ? getStake(d->offset, 0.0, true) : Stake();
}

Stake StationIterator::getStake(double offset) const
{
    return getStake(offset, 0.0, true);
}

Stake StationIterator::getStake(double updown, bool useSlope) const
{
    return d ? getStake(d->offset, updown, useSlope) : Stake();
}

Stake StationIterator::getStake(double offset, double updown, bool useSlope) const
{
    if (!d)
        return Stake();
    const double station = d->current;
    const HorizontalElement element = d->road->getHorizontalAligment()->getBelongedHorizontalElement(station);
    if (!element.isValid())
        return Stake();
    const double distance = station - element.getBeginStation();
    const Corvex::Point p = element.getNorthEast(distance, offset);
    if (!p.isValid())
        return Stake();
    bool ok = false;
    double z = d->road->getElevation(station, offset, updown, useSlope, ok);
    ok = ok && std::isfinite(z);
    if (!ok)
        z = 0.0;
    Stake::Builder builder;
    builder.setType(d->type)
        .setStation(station)
        .setStationAfter(d->stationAfter(station))
        .setAzimuth(element.getAzimuth(distance).toRadian())
        .setDesigned(Corvex::Point3D(p.getX(), p.getY(), z))
        .setOffset(offset)
        .setRover(d->rover)
        .setElevationValid(ok);
    return builder.create(true);
}

} // namespace Road
} // namespace Pelko
