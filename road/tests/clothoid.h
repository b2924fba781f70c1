#pragma once

#include <corvex/point.h>

#include <cmath>

// Clothoid from a straight start, A^2 = R*L, by the Fresnel series: the closed form the curve tests
// compare against.
inline Pelko::Corvex::Point clothoid(double l, double a2)
{
    const double th = l * l / (2.0 * a2);
    double x = 0.0;
    double y = 0.0;
    double f = 1.0; // (2n)! then (2n+1)!
    for (int n = 0; n < 15; ++n) {
        const double sign = (n % 2 == 0) ? 1.0 : -1.0;
        if (n > 0)
            f *= 2 * n;
        x += sign * std::pow(th, 2 * n) / ((4 * n + 1) * f);
        f *= 2 * n + 1;
        y += sign * std::pow(th, 2 * n + 1) / ((4 * n + 3) * f);
    }
    return Pelko::Corvex::Point(l * x, l * y);
}
