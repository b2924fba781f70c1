#include "profile/spiralparameters.h"

#include <cmath>

namespace {

double curvature(double radius)
{
    return radius > 0.001 ? 1.0 / radius : 0.0;
}

// Unusable numbers come out as a straight (or no spiral) rather than NaN in the field.
double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

SpiralParameters& SpiralParameters::instance()
{
    static SpiralParameters parameters;
    return parameters;
}

bool SpiralParameters::calcA()
{
    A = 0.0;
    if (std::fabs(L) < 0.001 || std::fabs(R1 - R2) < 0.001)
        return true;
    const double k = std::fabs(curvature(R1) - curvature(R2));
    if (k > 1e-5)
        A = finiteOrZero(std::sqrt(L / k));
    return true;
}

bool SpiralParameters::calcLargerRadius()
{
    if (std::fabs(L) < 0.001)
        return false;
    const double d = std::fabs(A * A - R2 * L);
    R1 = d > 1e-5 ? finiteOrZero(R2 * A * A / d) : 0.0;
    return true;
}

bool SpiralParameters::calcSmallerRadius()
{
    const double a2 = A * A;
    if (R1 < 0.001) {
        // A spiral leaving a straight reaches 1/R2 = L/A².
        R2 = L >= 0.001 && A > 0.0 ? finiteOrZero(a2 / L) : 0.0;
        return true;
    }
    const double denominator = a2 / R1 + L;
    R2 = denominator > 0.0 ? finiteOrZero(a2 / denominator) : 0.0;
    return true;
}
