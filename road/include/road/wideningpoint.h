#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/sectioninterpolator.h>

namespace Pelko {
namespace Road {

// Stored as int; codes other than these interpolate linearly.
enum WideningMethod : int {
    WideningLinear = 1,
    WideningCubicParabola = 2,
    WideningBiquadraticParabola = 3,
};

// The width of an element from a station on.
class ROAD_EXPORT WideningPoint
{
public:
    WideningPoint() = default;
    WideningPoint(double station, double width, WideningMethod method);

    double getStation() const { return m_station; }
    operator double() const { return m_station; }
    double getWidth() const { return m_width; }
    WideningMethod getMethod() const { return m_method; }
    void setStation(double station) { m_station = station; }
    void setWidth(double width) { m_width = width; }
    void setMethod(WideningMethod method) { m_method = method; }

    // Same station within 0.001; method and width are not compared.
    bool operator==(const WideningPoint& other) const;
    bool operator==(double station) const;
    bool operator<(double station) const { return m_station < station; }

protected:
    void load(const internal::Node<WideningPoint>& node);
    void save(const internal::Node<WideningPoint>& node) const;

private:
    template<typename E, typename P> friend class SectionModificationConfiguration;

    double m_station = 0.0;
    double m_width = 0.0;
    WideningMethod m_method = WideningMethod(0);
};

template<> struct InterpolatorTraits<WideningPoint>
{
    static double value(const WideningPoint& p) { return p.getWidth(); }
    static InterpolatorCurve curve(const WideningPoint& p)
    {
        switch (p.getMethod()) {
        case WideningCubicParabola:
            return InterpolatorCurve::Cubic;
        case WideningBiquadraticParabola:
            return InterpolatorCurve::Biquadratic;
        default:
            return InterpolatorCurve::Linear;
        }
    }
};

// A stretch over which the width changes, for drawing the widening.
struct ROAD_EXPORT WideningSegment
{
    WideningSegment() = default;
    WideningSegment(double begin, double end, double width, WideningMethod how)
        : beginStation(begin)
        , endStation(end)
        , widthChange(width)
        , method(how)
    {
    }

    double beginStation = 0.0;
    double endStation = 0.0;
    double widthChange = 0.0; // never negative
    WideningMethod method = WideningMethod(0);
};

class WideningElement;

class WideningConfiguration : public SectionModificationConfiguration<WideningElement, WideningPoint>
{
};

} // namespace Road
} // namespace Pelko
