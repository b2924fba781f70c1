#include <road/slope.h>

#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {

namespace {

// Below this a percentage is flat and a denominator vertical.
constexpr double Tiny = 1e-5;

} // namespace

Slope Slope::fromPercentage(double p)
{
    return Slope(p, Percentage);
}

Slope Slope::fromDenominator(double n)
{
    return Slope(n, Denominator);
}

Slope Slope::fromFraction(double rise, double run)
{
    if (std::fabs(run) < 0.001)
        return fromDenominator(0.0);
    return fromPercentage(rise / run * 100.0);
}

double Slope::infinity()
{
    return std::numeric_limits<double>::infinity();
}

double Slope::getPercentage() const
{
    switch (m_type) {
    case Percentage:
        return m_value;
    case Denominator:
        return std::fabs(m_value) < Tiny ? infinity() : 100.0 / m_value;
    }
    return infinity();
}

double Slope::getDenominator() const
{
    if (m_type == Denominator)
        return m_value;
    return std::fabs(m_value) < Tiny ? infinity() : 100.0 / m_value;
}

int Slope::getNumerator() const
{
    switch (m_type) {
    case Percentage:
        return std::fabs(m_value) < Tiny ? 0 : 1;
    case Denominator:
        return 1;
    }
    return 0;
}

bool Slope::canUsePercentage() const
{
    return m_type == Percentage || std::fabs(m_value) >= Tiny;
}

void Slope::setPercentage(double p)
{
    m_value = p;
    m_type = Percentage;
}

void Slope::setDenominator(double n)
{
    m_value = n;
    m_type = Denominator;
}

double Slope::operator*(double d) const
{
    switch (m_type) {
    case Percentage:
        return d * m_value / 100.0;
    case Denominator:
        return std::fabs(m_value) < Tiny ? infinity() : d / m_value;
    }
    return infinity();
}

double Slope::operator/(double d) const
{
    if (m_type == Denominator)
        return 1.0 / (m_value * d);
    return m_value / d * 0.01;
}

Slope& Slope::operator*=(double f)
{
    switch (m_type) {
    case Percentage:
        m_value *= f;
        break;
    case Denominator:
        m_value = std::fabs(f) < Tiny ? infinity() : m_value / f;
        break;
    }
    return *this;
}

double operator*(double d, const Slope& s)
{
    return s * d;
}

double operator/(double d, const Slope& s)
{
    return 1.0 / (s / d);
}

SlopeNavigationPoint::SlopeNavigationPoint(SlopeSectionElementType type, const Corvex::Point& point,
                                           double distance, const Corvex::Point& begin, bool valid)
    : m_type(type)
    , m_point(point)
    , m_begin(begin)
    , m_distance(distance)
    , m_valid(valid)
{
}

struct SlopeNavigation::SlopeNavigationData
{
    SlopeSectionType type = SlopeSectionInvalid;
    Corvex::Point rover;
    SlopeNavigationPoint offset;
    SlopeNavigationPoint elevation;
};

SlopeNavigation::SlopeNavigation()
    : d(std::make_shared<SlopeNavigationData>())
{
}

SlopeNavigation::SlopeNavigation(SlopeSectionType type, const SlopeNavigationPoint& offset,
                                 const SlopeNavigationPoint& elevation, const Corvex::Point& rover)
    : d(std::make_shared<SlopeNavigationData>())
{
    d->type = type;
    d->rover = rover;
    d->offset = offset;
    d->elevation = elevation;
}

SlopeSectionType SlopeNavigation::getType() const
{
    return d->type;
}

Corvex::Point SlopeNavigation::getRover() const
{
    return d->rover;
}

SlopeNavigationPoint SlopeNavigation::getOffset() const
{
    return d->offset;
}

SlopeNavigationPoint SlopeNavigation::getElevation() const
{
    return d->elevation;
}

} // namespace Road
} // namespace Pelko
