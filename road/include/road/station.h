#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>

#include <memory>
#include <vector>

namespace Pelko {
namespace Road {

// Stations closer than a millimetre are the same station.
constexpr double StationTolerance = 0.001;

// A station as the user sees it (equation-broken), with the flag that picks the second occurrence
// of a stretch that a long equation repeats.
class ROAD_EXPORT Station
{
public:
    explicit Station(double station = 0.0, bool isAfter = false) : m_station(station), m_isAfter(isAfter) {}

    double getStation() const { return m_station; }
    operator double() const { return m_station; }
    bool isAfter() const { return m_isAfter; }
    bool isOverlapped() const { return m_isAfter; }
    bool isValid() const;
    explicit operator bool() const { return isValid(); }

private:
    double m_station;
    bool m_isAfter;
};

// The station `before` on the old chainage is the same place as `after` on the new one.
class ROAD_EXPORT StationsEquation
{
public:
    enum Type { Short = 0, Long = 1 };

    // A station moved into the chainage in front of the equation; valid is false when the station
    // lies in the gap of a short equation.
    struct ROAD_EXPORT Result
    {
        Result(double station, bool valid) : station(station), valid(valid) {}
        double getStation() const { return station; }
        bool isValid() const { return valid; }
        Result operator+(double d) const { return Result(station + d, valid); }

        double station;
        bool valid;
    };

    StationsEquation() : m_before(0.0), m_after(0.0) {}
    explicit StationsEquation(double station) : m_before(station), m_after(station) {}
    StationsEquation(double before, double after) : m_before(before), m_after(after) {}
    StationsEquation(const StationsEquation &) = default;
    StationsEquation &operator=(const StationsEquation &) = default;
    StationsEquation clone() const { return *this; }

    double getBefore() const { return m_before; }
    double getAfter() const { return m_after; }
    // before - after: positive for a long equation.
    double getDifference() const { return m_before - m_after; }
    Type getEquationType() const { return m_before > m_after ? Long : Short; }
    bool isLongEquation() const { return m_before > m_after; }
    bool isShortEquation() const { return !isLongEquation(); }
    // Both stations and their difference are finite numbers.
    bool isValid() const;

    bool operator==(const StationsEquation &other) const;
    bool operator!=(const StationsEquation &other) const { return !(*this == other); }
    // Lies wholly before the other equation / before the station.
    bool operator<(const StationsEquation &other) const;
    bool operator<(double station) const;
    // Lies wholly after the other equation.
    bool operator>(const StationsEquation &other) const;
    // Exactly one of the other's two stations lies strictly between this one's.
    bool overlappedWith(const StationsEquation &other) const;

    Result fromStation(double x, bool isBefore) const;
    Result fromBefore(double x) const { return fromStation(x, true); }
    Result fromAfter(double x) const { return fromStation(x, false); }

private:
    Result fromShortAfter(double x) const;

    double m_before;
    double m_after;
};

// The ordered stations equations of a road; a shared handle (copies share, clone deep-copies).
// No equations means continuous stationing.
class ROAD_EXPORT StationsEquationConfiguration
{
public:
    enum ErrorCode {
        Success = 0,
        Overlapped = 1,
        NotAfterPrevious = 2,
        NotBeforeNext = 3,
        OutOfRange = 4,
        // NaN, infinite or overflowing stations.
        InvalidEquation = 5
    };

    struct ROAD_EXPORT Result
    {
        Result(ErrorCode code, unsigned index) : code(code), index(index) {}
        ErrorCode getCode() const { return code; }
        unsigned getIndex() const { return index; }
        explicit operator bool() const { return code == Success; }

        ErrorCode code;
        unsigned index;
    };

    // A stretch of stations that belongs to one chainage.
    struct Range
    {
        double start;
        double end;
    };

    class ROAD_EXPORT Ranges : public std::vector<Range>
    {
    public:
        // Index of the range holding the continuous station; unsigned(-1) for an empty list.
        unsigned find(double continuous) const;
    };

    StationsEquationConfiguration();
    StationsEquationConfiguration clone() const;
    explicit operator bool() const { return d != nullptr; }

    unsigned getEquationSize() const;
    StationsEquation getEquationAt(unsigned i) const;

    Result appendEquation(const StationsEquation &e);
    Result insertEquation(unsigned i, const StationsEquation &e);
    Result setEquation(unsigned i, const StationsEquation &e);
    Result removeEquation(unsigned i);

    StationsEquation::Result getContinuousStation(const Station &station) const;
    StationsEquation::Result getContinuousStation(double station, bool isBefore) const;
    Station getStationFromContinuous(double continuous) const;
    Ranges getRanges() const;

    void load(const internal::Node<StationsEquationConfiguration> &node);
    void save(const internal::Node<StationsEquationConfiguration> &node) const;

private:
    Result insertEquationNoCheck(unsigned i, const StationsEquation &e);

    struct Data;
    std::shared_ptr<Data> d;
};

} // namespace Road
} // namespace Pelko
