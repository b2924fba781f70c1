#pragma once

#include <cmath>

namespace Zemko::Trelvin {

// A finite value wrapped into [0, turn]: whole turns forward end on turn itself, backward on 0,
// and a value already in range stays as it is. fmod keeps huge values exact and quick.
inline double wrapIntoTurn(double value, double turn)
{
    if (value >= 0 && value <= turn)
        return value;
    const double wrapped = std::fmod(value, turn);
    if (wrapped == 0)
        return value > 0 ? turn : 0.0;
    return wrapped < 0 ? wrapped + turn : wrapped;
}

} // namespace Zemko::Trelvin
