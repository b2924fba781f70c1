#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/sectioninterpolator.h>

namespace Pelko {
namespace Road {

// Stored as int; codes other than these interpolate linearly.
enum SuperelevationMethod : int {
    SuperelevationLinear = 1,
    SuperelevationCubicParabola = 2,
};

// The cross slope of an element, in percent, from a station on.
class ROAD_EXPORT SuperelevationPoint
{
public:
    SuperelevationPoint() = default;
    SuperelevationPoint(SuperelevationMethod method, double station, double slope);
    SuperelevationPoint(const SuperelevationPoint&) = default;
    SuperelevationPoint& operator=(const SuperelevationPoint&) = default;
    virtual ~SuperelevationPoint();

    SuperelevationMethod getMethod() const { return m_method; }
    double getStation() const { return m_station; }
    operator double() const { return m_station; }
    double getSlope() const { return m_slope; }
    void setMethod(SuperelevationMethod method) { m_method = method; }
    void setStation(double station) { m_station = station; }
    void setSlope(double slope) { m_slope = slope; }

    // Same station within 0.001; method and slope are not compared.
    bool operator==(const SuperelevationPoint& other) const;
    bool operator==(double station) const;
    bool operator<(double station) const { return m_station < station; }

protected:
    void load(const internal::Node<SuperelevationPoint>& node);
    void save(const internal::Node<SuperelevationPoint>& node) const;

private:
    template<typename E, typename P> friend class SectionModificationConfiguration;

    SuperelevationMethod m_method = SuperelevationMethod(0);
    double m_station = 0.0;
    double m_slope = 0.0;
};

template<> struct InterpolatorTraits<SuperelevationPoint>
{
    static double value(const SuperelevationPoint& p) { return p.getSlope(); }
    // Superelevation has no biquadratic transition.
    static InterpolatorCurve curve(const SuperelevationPoint& p)
    {
        return p.getMethod() == SuperelevationCubicParabola ? InterpolatorCurve::Cubic
                                                            : InterpolatorCurve::Linear;
    }
};

class SuperelevationElement;

class SuperelevationConfiguration
    : public SectionModificationConfiguration<SuperelevationElement, SuperelevationPoint>
{
};

} // namespace Road
} // namespace Pelko
