#pragma once

#include <corvex/angle.h>
#include <corvex/corvex_global.h>
#include <corvex/point.h>
#include <corvex/point3d.h>

#include <utility>

namespace Pelko::Corvex {

class Utility;

// The infinite plane line A·x + B·y + C = 0. Coefficients are kept as built, not normalised.
class CORVEX_EXPORT Line
{
public:
    Line() = default;
    Line(Point const& p1, Point const& p2);
    // Through p with direction azimuth a.
    Line(Angle const& a, Point const& p);
    // Slope form y - p.y = k·(x - p.x).
    Line(double k, Point const& p);
    // Reports A = B = 0 on std::cerr; the coefficients are stored anyway.
    Line(double A, double B, double C);
    Line(Point const& p, Vector const& v);

    double getA() const { return m_a; }
    double getB() const { return m_b; }
    double getC() const { return m_c; }

    bool isVertical() const { return m_b == 0.0; }
    bool isHorizontal() const { return m_a == 0.0; }
    bool isParallel(Line const& o) const { return m_a * o.m_b - m_b * o.m_a == 0.0; }
    bool isPerpendicular(Line const& o) const;

    // false (with (0, 0)) for parallel or equal lines.
    std::pair<Point, bool> intersect(Line const& o) const;
    std::pair<Point, bool> getPointAtX(double x) const;
    std::pair<Point, bool> getPointAtY(double y) const;

    double getPoint2LineDistance(Point const& p) const;
    // A point on the line is on neither side.
    bool isOnTheSameSide(Point const& p, Point q) const;

    static Line perpendicularBisector(Point const& p, Point q);

private:
    friend class Utility;
    static Line unchecked(double A, double B, double C);
    double value(Point const& p) const { return m_a * p.getX() + m_b * p.getY() + m_c; }

    double m_a = 0.0;
    double m_b = 0.0;
    double m_c = 0.0;
};

// Exact: scaled descriptions of one line compare unequal.
inline bool operator==(Line const& a, Line const& b)
{
    return a.getA() == b.getA() && a.getB() == b.getB() && a.getC() == b.getC();
}
inline bool operator!=(Line const& a, Line const& b)
{
    return !(a == b);
}

class CORVEX_EXPORT Line3D
{
public:
    Line3D() = default;
    Line3D(Point3D const& p1, Point3D const& p2);

    // false (with (0, 0, 0)) for skew or parallel lines.
    std::pair<Point3D, bool> intersect(Line3D const& o) const;

private:
    void calcParameter(Point3D const& p1, Point3D const& p2);

    // Origin and direction, interleaved per axis: ox, dx, oy, dy, oz, dz.
    double m_p[6] = { 0.0, 0.0, 0.0, 0.0, 0.0, 0.0 };
};

// A segment that also carries its line's coefficients.
class CORVEX_EXPORT LineSegment
{
public:
    struct PointResult
    {
        Point point;
        double difference = 0.0;
        bool inRange = false;
    };
    struct Contains
    {
        bool inProjection = false;
        bool inXRange = false;
        bool inYRange = false;
    };

    LineSegment() = default;
    LineSegment(Point const& begin, Point const& end);

    Point const& getBegin() const { return m_begin; }
    Point const& getEnd() const { return m_end; }

    // Foot of the perpendicular from p onto the segment's line (not limited to the segment).
    PointResult getPedal(Point const& p) const;
    PointResult getPointAtX(Point const& p, bool extend) const;
    PointResult getPointAtY(Point const& p, bool extend) const;
    Contains contains(Point const& p) const;
    Vector getNormalVector() const;

private:
    double m_a = 0.0;
    double m_b = 0.0;
    double m_c = 0.0;
    Point m_begin;
    Point m_end;
};

class CORVEX_EXPORT Segment
{
public:
    Segment() = default;
    Segment(Point const& begin, Point const& end)
        : m_begin(begin)
        , m_end(end)
    {
    }

    Point const& getBegin() const { return m_begin; }
    Point const& getEnd() const { return m_end; }
    void setBegin(Point const& p) { m_begin = p; }
    void setEnd(Point const& p) { m_end = p; }

    double length() const { return m_begin.distance(m_end); }

    // Straddle test: touching, end-on-segment and collinear segments all count as crossing.
    static bool intersect(Segment const& a, Segment const& b);
    bool intersect(Segment const& o) const { return intersect(*this, o); }

private:
    Point m_begin;
    Point m_end;
};

} // namespace Pelko::Corvex
