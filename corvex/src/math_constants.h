#pragma once

#include <climits>
#include <cmath>

namespace Pelko::Corvex::detail {

// Computed once at load time; every degree/radian conversion uses this value.
inline const double kPi = 4.0 * std::atan(1.0);

// Truncation toward zero that stays defined for NaN and values beyond int.
inline int truncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

} // namespace Pelko::Corvex::detail
