#pragma once

#include <corvex/corvex_global.h>

#include <cmath>

namespace Pelko::Corvex {

// A spatial point; x is north, y is east, z is height. Each coordinate has both names.
class CORVEX_EXPORT Point3D
{
public:
    Point3D() = default;
    Point3D(double x, double y, double z)
        : m_x(x)
        , m_y(y)
        , m_z(z)
    {
    }

    double x() const { return m_x; }
    double y() const { return m_y; }
    double z() const { return m_z; }
    double north() const { return m_x; }
    double east() const { return m_y; }
    double height() const { return m_z; }
    void setX(double x) { m_x = x; }
    void setY(double y) { m_y = y; }
    void setZ(double z) { m_z = z; }
    double& rX() { return m_x; }
    double& rY() { return m_y; }
    double& rZ() { return m_z; }
    double& rNorth() { return m_x; }
    double& rEast() { return m_y; }
    double& rHeight() { return m_z; }

    bool operator==(Point3D const& o) const { return m_x == o.m_x && m_y == o.m_y && m_z == o.m_z; }

    bool isValid() const { return std::isfinite(m_x) && std::isfinite(m_y) && std::isfinite(m_z); }
    explicit operator bool() const { return isValid(); }

    Point3D minus(Point3D const& o) const { return Point3D(m_x - o.m_x, m_y - o.m_y, m_z - o.m_z); }

private:
    double m_x = 0.0;
    double m_y = 0.0;
    double m_z = 0.0;
};

class CORVEX_EXPORT Vector3D
{
public:
    // Magnitudes below this count as zero.
    static constexpr double EPS = 1e-38;

    Vector3D() = default;
    Vector3D(double x, double y, double z)
        : m_v { x, y, z }
    {
    }

    // Indices other than 0, 1, 2 never reach outside the vector: the writable form hands out a
    // per-thread scratch value (reset to 0 on each call), the read-only form returns 0.
    double& operator[](int i);
    double operator[](int i) const { return (i >= 0 && i < 3) ? m_v[i] : 0.0; }

    double x() const { return m_v[0]; }
    double y() const { return m_v[1]; }
    double z() const { return m_v[2]; }

    Vector3D crossMultiplyWith(Vector3D const& v) const
    {
        return Vector3D(m_v[1] * v.m_v[2] - m_v[2] * v.m_v[1], m_v[2] * v.m_v[0] - m_v[0] * v.m_v[2],
                        m_v[0] * v.m_v[1] - m_v[1] * v.m_v[0]);
    }
    Vector3D operator*(Vector3D const& v) const { return crossMultiplyWith(v); }
    double dotMultiplyWith(Vector3D const& v) const
    {
        return m_v[0] * v.m_v[0] + m_v[1] * v.m_v[1] + m_v[2] * v.m_v[2];
    }
    double magnitude() const { return std::sqrt(dotMultiplyWith(*this)); }
    bool isZero() const { return magnitude() < EPS; }

    // Angle between the two vectors in radians; 0 with *ok false when either is (nearly) zero.
    double deflectionTo(Vector3D const& v, bool* ok = nullptr) const;

    Vector3D operator+(Vector3D const& v) const
    {
        return Vector3D(m_v[0] + v.m_v[0], m_v[1] + v.m_v[1], m_v[2] + v.m_v[2]);
    }
    Vector3D operator-(Vector3D const& v) const
    {
        return Vector3D(m_v[0] - v.m_v[0], m_v[1] - v.m_v[1], m_v[2] - v.m_v[2]);
    }
    Vector3D operator*(double f) const { return Vector3D(m_v[0] * f, m_v[1] * f, m_v[2] * f); }

private:
    double m_v[3] = { 0.0, 0.0, 0.0 };
};

inline Vector3D operator*(double f, Vector3D const& v)
{
    return v * f;
}

inline Vector3D operator-(Point3D const& a, Point3D const& b)
{
    return Vector3D(a.x() - b.x(), a.y() - b.y(), a.z() - b.z());
}

} // namespace Pelko::Corvex
