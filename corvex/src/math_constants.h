#pragma once

#include <cmath>

namespace Pelko::Corvex::detail {

// Computed once at load time; every degree/radian conversion uses this value.
inline const double kPi = 4.0 * std::atan(1.0);

} // namespace Pelko::Corvex::detail
