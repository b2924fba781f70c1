#include <corvex/angle.h>

#include "math_constants.h"

#include <algorithm>
#include <climits>

namespace Pelko::Corvex {

using detail::kPi;
using detail::truncToInt;

Angle::Angle(Degree const& d)
    : m_value(fromDegree(d.value).m_value)
{
}

Angle Angle::fromDegree(double d)
{
    return Angle(kPi * d / 180.0);
}

Angle Angle::fromDMS(int d, int m, double s)
{
    return fromDegree(d + m / 60.0 + s / 3600.0);
}

Angle Angle::fromDMS(DMS const& dms)
{
    return fromDMS(dms.degrees, dms.minutes, dms.seconds);
}

double Angle::toDegree() const
{
    return m_value * 180.0 / kPi;
}

void Angle::toDMS(int& d, int& m, double& s) const
{
    const double g = toDegree();
    const double wholeDegrees = std::trunc(g);
    const double f = (g - wholeDegrees) * 60.0;
    const double wholeMinutes = std::trunc(f);
    d = truncToInt(wholeDegrees);
    m = truncToInt(wholeMinutes);
    s = (f - wholeMinutes) * 60.0;
}

DMS Angle::toDMS() const
{
    DMS r;
    toDMS(r.degrees, r.minutes, r.seconds);
    return r;
}

Angle acosA(double v)
{
    return Angle(std::acos(std::clamp(v, -1.0, 1.0)));
}

Angle asinA(double v)
{
    return Angle(std::asin(std::clamp(v, -1.0, 1.0)));
}

Angle atanA(double v)
{
    return Angle(std::atan(v));
}

Angle absA(Angle const& a)
{
    return Angle::fromDegree(std::fabs(a.toDegree()));
}

} // namespace Pelko::Corvex
