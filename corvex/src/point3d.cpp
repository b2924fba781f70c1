#include <corvex/point3d.h>

#include <algorithm>

namespace Pelko::Corvex {

double& Vector3D::operator[](int i)
{
    if (i >= 0 && i < 3)
        return m_v[i];
    // Per thread so that out-of-range writes never race with each other.
    thread_local double scratch = 0.0;
    scratch = 0.0;
    return scratch;
}

double Vector3D::deflectionTo(Vector3D const& v, bool* ok) const
{
    const double m1 = magnitude();
    const double m2 = v.magnitude();
    if (!(m1 > EPS && m2 > EPS)) {
        if (ok)
            *ok = false;
        return 0.0;
    }
    if (ok)
        *ok = true;
    // Parallel vectors can give a ratio just past 1 through round-off; acos would return NaN.
    return std::acos(std::clamp(dotMultiplyWith(v) / (m1 * m2), -1.0, 1.0));
}

} // namespace Pelko::Corvex
