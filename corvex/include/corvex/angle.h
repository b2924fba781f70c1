#pragma once

#include <corvex/corvex_global.h>

#include <cmath>

namespace Pelko::Corvex {

// Tags that pick the unit of the Angle constructor.
struct Degree
{
    explicit Degree(double v = 0.0)
        : value(v)
    {
    }
    double value;
};

struct Radian
{
    explicit Radian(double v = 0.0)
        : value(v)
    {
    }
    double value;
};

struct DMS
{
    int degrees = 0;
    int minutes = 0;
    double seconds = 0.0;
};

// An angle in radians. Values are never wrapped: 7 rad stays 7 rad, negatives stay negative.
class CORVEX_EXPORT Angle
{
public:
    Angle() = default;
    Angle(double radians)
        : m_value(radians)
    {
    }
    Angle(Degree const& d);
    Angle(Radian const& r)
        : m_value(r.value)
    {
    }

    static Angle fromRadian(double r) { return Angle(r); }
    static Angle fromDegree(double d);
    static Angle fromDMS(int d, int m, double s);
    static Angle fromDMS(DMS const& dms);

    double toRadian() const { return m_value; }
    double toDegree() const;
    void toDMS(int& d, int& m, double& s) const;
    DMS toDMS() const;

    // NaN is the only invalid angle; infinity is a (useless but) valid value.
    bool isValid() const { return !std::isnan(m_value); }

    // Tolerant comparison (1e-16 rad). Use exactlyEqual() for the bitwise-exact form.
    bool operator==(Angle const& o) const { return equals(o); }
    bool operator!=(Angle const& o) const { return !equals(o); }
    bool equals(Angle const& o) const { return std::fabs(m_value - o.m_value) < 1e-16; }

    Angle& operator+=(Angle const& o)
    {
        m_value += o.m_value;
        return *this;
    }
    Angle& operator-=(Angle const& o)
    {
        m_value -= o.m_value;
        return *this;
    }

private:
    double m_value = 0.0;
};

// The exact comparison. It is not spelt operator== because `a == b` would then be ambiguous
// with the tolerant member.
inline bool exactlyEqual(Angle const& a, Angle const& b)
{
    return a.toRadian() == b.toRadian();
}

inline Angle operator+(Angle const& a, Angle const& b)
{
    return Angle(a.toRadian() + b.toRadian());
}
inline Angle operator-(Angle const& a, Angle const& b)
{
    return Angle(a.toRadian() - b.toRadian());
}
inline Angle operator-(Angle const& a)
{
    return Angle(-a.toRadian());
}
inline Angle operator*(Angle const& a, double f)
{
    return Angle(a.toRadian() * f);
}
inline Angle operator*(double f, Angle const& a)
{
    return Angle(a.toRadian() * f);
}
inline Angle operator/(Angle const& a, double f)
{
    return Angle(a.toRadian() / f);
}

inline double cosA(Angle const& a)
{
    return std::cos(a.toRadian());
}
inline double sinA(Angle const& a)
{
    return std::sin(a.toRadian());
}
inline double tanA(Angle const& a)
{
    return std::tan(a.toRadian());
}
CORVEX_EXPORT Angle acosA(double v);
CORVEX_EXPORT Angle asinA(double v);
CORVEX_EXPORT Angle atanA(double v);
CORVEX_EXPORT Angle absA(Angle const& a);

} // namespace Pelko::Corvex
