#pragma once

#include <corvex/corvex_global.h>

#include <cmath>

namespace Pelko::Corvex {

namespace detail {

// The two coordinates and the component-wise arithmetic that points and vectors share.
template <class Derived>
class PlaneXY
{
public:
    double getX() const { return m_x; }
    double getY() const { return m_y; }
    void setX(double x) { m_x = x; }
    void setY(double y) { m_y = y; }
    double& rX() { return m_x; }
    double& rY() { return m_y; }

    Derived& operator+=(Derived const& o)
    {
        m_x += o.m_x;
        m_y += o.m_y;
        return self();
    }
    Derived& operator-=(Derived const& o)
    {
        m_x -= o.m_x;
        m_y -= o.m_y;
        return self();
    }
    Derived& operator*=(double f)
    {
        m_x *= f;
        m_y *= f;
        return self();
    }
    Derived& operator/=(double f)
    {
        m_x /= f;
        m_y /= f;
        return self();
    }

protected:
    PlaneXY() = default;
    PlaneXY(double x, double y)
        : m_x(x)
        , m_y(y)
    {
    }

    double m_x = 0.0;
    double m_y = 0.0;

private:
    Derived& self() { return static_cast<Derived&>(*this); }
};

} // namespace detail

// A plane point; x is north, y is east.
class CORVEX_EXPORT Point : public detail::PlaneXY<Point>
{
public:
    Point() = default;
    Point(double x, double y)
        : PlaneXY(x, y)
    {
    }

    Point midPoint(Point const& o) const { return midPoint(*this, o); }
    static Point midPoint(Point const& a, Point const& b)
    {
        return Point((a.m_x + b.m_x) * 0.5, (a.m_y + b.m_y) * 0.5);
    }

    double distance(Point const& o) const { return std::hypot(o.m_x - m_x, o.m_y - m_y); }

    // Polar step: azimuth in radians from north (x) clockwise towards east (y).
    Point getEnd(double azimuth, double distance) const { return getEnd(*this, azimuth, distance); }
    static Point getEnd(Point const& from, double azimuth, double distance)
    {
        return Point(from.m_x + distance * std::cos(azimuth), from.m_y + distance * std::sin(azimuth));
    }

    bool isValid() const { return std::isfinite(m_x) && std::isfinite(m_y); }

    // (NaN, NaN): the "no point" answer of lookups.
    static Point const& invalid();
};

class CORVEX_EXPORT Vector : public detail::PlaneXY<Vector>
{
public:
    Vector() = default;
    Vector(double x, double y)
        : PlaneXY(x, y)
    {
    }
    Vector(Point const& p)
        : PlaneXY(p.getX(), p.getY())
    {
    }
    Vector(Point const& from, Point const& to)
        : PlaneXY(to.getX() - from.getX(), to.getY() - from.getY())
    {
    }

    using PlaneXY::operator*=;
    // Component-wise, not a dot or cross product.
    Vector& operator*=(Vector const& o)
    {
        m_x *= o.m_x;
        m_y *= o.m_y;
        return *this;
    }

    double length() const { return std::sqrt(m_x * m_x + m_y * m_y); }

    static double dot(Vector const& a, Vector const& b) { return a.m_x * b.m_x + a.m_y * b.m_y; }
    static double cross(Vector const& a, Vector const& b) { return a.m_x * b.m_y - a.m_y * b.m_x; }

    // Direction as an azimuth in [0, 2pi).
    double angle() const;
    // Angle between two vectors in [0, pi]; 0 when either has zero length.
    static double angle(Vector const& a, Vector const& b);

    // A zero vector becomes (DBL_MAX, DBL_MAX) so the failure stays visible.
    Vector& normalize();

    Point toPoint() const { return Point(m_x, m_y); }
};

class CORVEX_EXPORT Circle
{
public:
    Circle() = default;
    Circle(Point const& centre, double radius)
        : m_center(centre)
        , m_radius(radius)
    {
    }

    Point const& getCenter() const { return m_center; }
    void setCenter(Point const& c) { m_center = c; }
    double getRadius() const { return m_radius; }
    void setRadius(double r) { m_radius = r; }

    // The circle through three points. Collinear (or coincident) points have no finite centre:
    // returns false and leaves the circle as it was.
    bool initialFromThreePoints(Point const& p1, Point const& p2, Point const& p3);

private:
    Point m_center;
    double m_radius = 0.0;
};

} // namespace Pelko::Corvex
