#pragma once

#include <road/road_global.h>

#include <corvex/point.h>

#include <cstdint>
#include <memory>

namespace Pelko {
namespace Road {

// Throughout the slope model a Point holds (x elevation, y offset), the offset negative to the left.

enum SlopeSectionElementType : std::int32_t {
    SlopeElementInvalid = -1,
    SlopeElementSurface = 0,
    SlopeElementPlatform = 1,
    SlopeElementRectangularDitch = 2,
    SlopeElementTrapezoidDitch = 3,
};

enum SlopeSectionType : std::int32_t {
    SlopeSectionInvalid = -1,
    SlopeSectionFill = 0,
    SlopeSectionCut = 1,
};

enum SlopeSectionSide : std::int32_t {
    SlopeSideNeutral = -1,
    SlopeSideLeft = 0,
    SlopeSideRight = 1,
};

// An inclination kept in the form it was entered: a percentage, or the n of a ratio 1:n. A denominator of
// 0 is a vertical face, an infinite one a flat slope.
class ROAD_EXPORT Slope
{
public:
    enum Type : std::int32_t {
        Percentage = 0,
        Denominator = 1,
    };

    Slope() = default;
    Slope(const Slope&) = default;
    Slope& operator=(const Slope&) = default;
    ~Slope() { }

    static Slope fromPercentage(double p);
    static Slope fromDenominator(double n);
    // A run shorter than a millimetre counts as a vertical face.
    static Slope fromFraction(double rise, double run);
    static double infinity();

    double getPercentage() const;
    double getDenominator() const;
    int getNumerator() const;
    bool canUsePercentage() const;

    void setPercentage(double p);
    void setDenominator(double n);

    // The rise over a run d.
    double operator*(double d) const;
    double operator/(double d) const;
    // Scales the inclination; -1 turns a slope downward.
    Slope& operator*=(double f);

protected:
    Slope(double value, Type type)
        : m_value(value)
        , m_type(type)
    {
    }

private:
    double m_value = 0.0;
    Type m_type = Percentage;
};

ROAD_EXPORT double operator*(double d, const Slope& s);
// The run for a rise d.
ROAD_EXPORT double operator/(double d, const Slope& s);

// One element's answer to a stake-out query.
class ROAD_EXPORT SlopeNavigationPoint
{
public:
    SlopeNavigationPoint() = default;
    SlopeNavigationPoint(SlopeSectionElementType type, const Corvex::Point& point, double distance,
                         const Corvex::Point& begin, bool valid);

    SlopeSectionElementType getType() const { return m_type; }
    Corvex::Point getPoint() const { return m_point; }
    double getElevation() const { return m_point.getX(); }
    double getOffset() const { return m_point.getY(); }
    double getDistance() const { return m_distance; }
    Corvex::Point toBegin() const { return m_begin; }
    bool isValid() const { return m_valid; }
    explicit operator bool() const { return m_valid; }
    bool isPlatform() const { return m_type == SlopeElementPlatform; }
    bool isDitch() const
    {
        return m_type == SlopeElementRectangularDitch || m_type == SlopeElementTrapezoidDitch;
    }

    // Signed, so the element nearest below (or left of) the rover wins a sort.
    bool operator<(const SlopeNavigationPoint& o) const { return m_distance < o.m_distance; }

private:
    SlopeSectionElementType m_type = SlopeElementInvalid;
    Corvex::Point m_point;
    Corvex::Point m_begin;
    double m_distance = 0.0;
    bool m_valid = false;
};

// Where a rover stands against a generated slope, measured horizontally and vertically.
class ROAD_EXPORT SlopeNavigation
{
public:
    SlopeNavigation();
    SlopeNavigation(SlopeSectionType type, const SlopeNavigationPoint& offset,
                    const SlopeNavigationPoint& elevation, const Corvex::Point& rover);

    SlopeSectionType getType() const;
    Corvex::Point getRover() const;
    SlopeNavigationPoint getOffset() const;
    SlopeNavigationPoint getElevation() const;

private:
    struct SlopeNavigationData;
    std::shared_ptr<SlopeNavigationData> d;
};

} // namespace Road
} // namespace Pelko
