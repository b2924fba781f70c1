#pragma once

#include <corvex/corvex_global.h>
#include <corvex/point.h>

#include <cfloat>

namespace Pelko::Corvex {

// Axis-aligned box. The default one is empty (min +DBL_MAX, max -DBL_MAX) so that the first
// included point sets all four bounds. min <= max is not enforced; normalize() restores it.
class CORVEX_EXPORT Envelope
{
public:
    Envelope() = default;
    Envelope(double minX, double minY, double maxX, double maxY)
        : m_min(minX, minY)
        , m_max(maxX, maxY)
    {
    }
    Envelope(Point const& min, Point const& max)
        : m_min(min)
        , m_max(max)
    {
    }

    Point const& getMin() const { return m_min; }
    Point const& getMax() const { return m_max; }
    Point& getMin() { return m_min; }
    Point& getMax() { return m_max; }
    void setMin(Point const& p) { m_min = p; }
    void setMin(double x, double y) { m_min = Point(x, y); }
    void setMax(Point const& p) { m_max = p; }
    void setMax(double x, double y) { m_max = Point(x, y); }
    void setMinX(double v) { m_min.setX(v); }
    void setMinY(double v) { m_min.setY(v); }
    void setMaxX(double v) { m_max.setX(v); }
    void setMaxY(double v) { m_max.setY(v); }
    double getMinX() const { return m_min.getX(); }
    double getMinY() const { return m_min.getY(); }
    double getMaxX() const { return m_max.getX(); }
    double getMaxY() const { return m_max.getY(); }

    double getWidth() const { return getMaxX() - getMinX(); }
    double getHeight() const { return getMaxY() - getMinY(); }
    double getAera() const { return getHeight() * getWidth(); }
    Point getCenter() const { return Point::midPoint(m_min, m_max); }

    void expandToInclude(Point const& p) { expandToInclude(p.getX(), p.getY()); }
    void expandToInclude(double x, double y);
    // Including the default (empty) envelope changes nothing.
    void expandToInclude(Envelope const& e);
    void expandBy(double dx, double dy);
    void expandBy(double d) { expandBy(d, d); }

    // Box f times as large about centre (own centre when null).
    void scale(double f, Point const* centre = nullptr);
    // Box 2·f times as large about centre (own centre when null).
    void expand(double f, Point const* centre = nullptr);

    bool contain(Envelope const& e) const;
    bool contain(Point const& p) const { return contain(p.getX(), p.getY()); }
    bool contain(double x, double y) const;

    // Touching boxes intersect.
    bool intersect(Envelope const& e) const { return Intersection(*this, e); }
    static bool Intersection(Envelope const& a, Envelope const& b);
    static bool Equal(Envelope const& a, Envelope const& b);

    // Zero width or height counts as empty, so a single point's box is empty.
    bool isEmpty() const { return getMinX() >= getMaxX() || getMinY() >= getMaxY(); }
    void normalize();

    // Cohen-Sutherland region code: 1 left (x < minX), 4 right, 8 below (y < minY), 2 above.
    int outcode(Point const& p) const;

private:
    Point m_min { DBL_MAX, DBL_MAX };
    Point m_max { -DBL_MAX, -DBL_MAX };
};

class CORVEX_EXPORT Rect
{
public:
    Rect() = default;
    Rect(double minX, double minY, double maxX, double maxY)
        : m_minX(minX)
        , m_minY(minY)
        , m_maxX(maxX)
        , m_maxY(maxY)
    {
    }

    double getMinX() const { return m_minX; }
    double getMinY() const { return m_minY; }
    double getMaxX() const { return m_maxX; }
    double getMaxY() const { return m_maxY; }

private:
    double m_minX = 0.0;
    double m_minY = 0.0;
    double m_maxX = 0.0;
    double m_maxY = 0.0;
};

} // namespace Pelko::Corvex
