#include <corvex/line.h>

#include <iostream>

namespace Pelko::Corvex {

namespace {

void reportZeroCoefficients()
{
    std::cerr << "A、B不能同时为0" << std::endl;
}

} // namespace

Line::Line(Point const& p1, Point const& p2)
    : m_a(p2.getY() - p1.getY())
    , m_b(p1.getX() - p2.getX())
    , m_c(p2.getX() * p1.getY() - p2.getY() * p1.getX())
{
}

Line::Line(Angle const& a, Point const& p)
    : m_a(sinA(a))
    , m_b(-cosA(a))
    , m_c(p.getY() * cosA(a) - p.getX() * sinA(a))
{
}

Line::Line(double k, Point const& p)
    : m_a(k)
    , m_b(-1.0)
    , m_c(p.getY() - p.getX() * k)
{
}

Line::Line(double A, double B, double C)
    : m_a(A)
    , m_b(B)
    , m_c(C)
{
    if (A * A + B * B == 0.0)
        reportZeroCoefficients();
}

Line::Line(Point const& p, Vector const& v)
    : Line(p, Point(p.getX() + v.getX(), p.getY() + v.getY()))
{
}

Line Line::unchecked(double A, double B, double C)
{
    Line l;
    l.m_a = A;
    l.m_b = B;
    l.m_c = C;
    return l;
}

bool Line::isPerpendicular(Line const& o) const
{
    if (m_b == 0.0 && o.m_b == 0.0)
        return false;
    if (m_b == 0.0 && o.m_a == 0.0)
        return true;
    if (m_a == 0.0 && o.m_b == 0.0)
        return true;
    return (o.m_a / o.m_b) * (m_a / m_b) == -1.0;
}

std::pair<Point, bool> Line::intersect(Line const& o) const
{
    const double d = m_a * o.m_b - o.m_a * m_b;
    if (d == 0.0)
        return { Point(0.0, 0.0), false };
    return { Point((o.m_c * m_b - m_c * o.m_b) / d, (m_c * o.m_a - o.m_c * m_a) / d), true };
}

std::pair<Point, bool> Line::getPointAtX(double x) const
{
    if (m_b == 0.0)
        return { Point(0.0, 0.0), false };
    return { Point(x, -(m_a * x + m_c) / m_b), true };
}

std::pair<Point, bool> Line::getPointAtY(double y) const
{
    if (m_a == 0.0)
        return { Point(0.0, 0.0), false };
    return { Point(-(m_b * y + m_c) / m_a, y), true };
}

double Line::getPoint2LineDistance(Point const& p) const
{
    return std::fabs(value(p)) / std::sqrt(m_a * m_a + m_b * m_b);
}

bool Line::isOnTheSameSide(Point const& p, Point q) const
{
    return value(p) * value(q) > 0.0;
}

Line Line::perpendicularBisector(Point const& p, Point q)
{
    const double halfPi = 2.0 * std::atan(1.0);
    const Angle dir(std::atan2(q.getY() - p.getY(), q.getX() - p.getX()) + halfPi);
    return Line(dir, Point::midPoint(p, q));
}

Line3D::Line3D(Point3D const& p1, Point3D const& p2)
{
    calcParameter(p1, p2);
}

void Line3D::calcParameter(Point3D const& p1, Point3D const& p2)
{
    m_p[0] = p1.x();
    m_p[1] = p2.x() - p1.x();
    m_p[2] = p1.y();
    m_p[3] = p2.y() - p1.y();
    m_p[4] = p1.z();
    m_p[5] = p2.z() - p1.z();
}

std::pair<Point3D, bool> Line3D::intersect(Line3D const& o) const
{
    const Vector3D d1(m_p[1], m_p[3], m_p[5]);
    const Vector3D d2(o.m_p[1], o.m_p[3], o.m_p[5]);
    const Vector3D delta(o.m_p[0] - m_p[0], o.m_p[2] - m_p[2], o.m_p[4] - m_p[4]);
    const Vector3D n = d1 * d2;
    const Vector3D w = delta * d2;
    if (!((n * w).magnitude() < 1e-10))
        return { Point3D(), false };
    const double nm = n.magnitude();
    if (nm < 1e-14)
        return { Point3D(), false };
    const double sign = n.dotMultiplyWith(w) < 0.0 ? -1.0 : 1.0;
    const double t = sign * w.magnitude() / nm;
    return { Point3D(m_p[0] + t * m_p[1], m_p[2] + t * m_p[3], m_p[4] + t * m_p[5]), true };
}

LineSegment::LineSegment(Point const& begin, Point const& end)
    : m_begin(begin)
    , m_end(end)
{
    const Line l(begin, end);
    m_a = l.getA();
    m_b = l.getB();
    m_c = l.getC();
}

namespace {

bool samePoint(Point const& a, Point const& b)
{
    return a.getX() == b.getX() && a.getY() == b.getY();
}

} // namespace

LineSegment::PointResult LineSegment::getPedal(Point const& p) const
{
    PointResult r;
    if (samePoint(m_begin, m_end))
        return r;
    if (samePoint(p, m_begin) || samePoint(p, m_end)) {
        r.point = samePoint(p, m_begin) ? m_begin : m_end;
        r.inRange = true;
        return r;
    }
    const Point q(p.getX() + (m_end.getY() - m_begin.getY()), p.getY() - (m_end.getX() - m_begin.getX()));
    const Line normal(p, q);
    const double d = m_a * normal.getB() - normal.getA() * m_b;
    r.point = Point((normal.getC() * m_b - m_c * normal.getB()) / d,
                    (m_c * normal.getA() - normal.getC() * m_a) / d);
    r.difference = p.distance(r.point);
    r.inRange = true;
    return r;
}

LineSegment::PointResult LineSegment::getPointAtX(Point const& p, bool extend) const
{
    PointResult r;
    if (m_b != 0.0) {
        r.point = Point(p.getX(), -(m_a * p.getX() + m_c) / m_b);
        r.inRange = (p.getX() - m_end.getX()) * (p.getX() - m_begin.getX()) <= 0.0 || extend;
    }
    r.difference = p.getY() - r.point.getY();
    return r;
}

LineSegment::PointResult LineSegment::getPointAtY(Point const& p, bool extend) const
{
    PointResult r;
    if (m_a != 0.0) {
        r.point = Point(-(m_b * p.getY() + m_c) / m_a, p.getY());
        r.inRange = (p.getY() - m_end.getY()) * (p.getY() - m_begin.getY()) <= 0.0 || extend;
    }
    r.difference = p.getX() - r.point.getX();
    return r;
}

LineSegment::Contains LineSegment::contains(Point const& p) const
{
    const Vector d(m_begin, m_end);
    const double t = Vector::dot(Vector(m_begin, p), d);
    Contains c;
    c.inProjection = t >= 0.0 && t <= Vector::dot(d, d);
    c.inXRange = (p.getX() - m_begin.getX()) * (p.getX() - m_end.getX()) <= 0.0
        && std::fabs(m_begin.getX() - m_end.getX()) > 0.0;
    c.inYRange = (p.getY() - m_begin.getY()) * (p.getY() - m_end.getY()) <= 0.0
        && std::fabs(m_begin.getY() - m_end.getY()) > 0.0;
    return c;
}

Vector LineSegment::getNormalVector() const
{
    return Vector(m_end.getY() - m_begin.getY(), -(m_end.getX() - m_begin.getX()));
}

bool Segment::intersect(Segment const& a, Segment const& b)
{
    auto straddles = [](Segment const& s, Segment const& t) {
        // s lies wholly on one side of t's line when both cross products share a sign.
        const double c1 = Vector::cross(Vector(s.m_end, t.m_begin), Vector(s.m_end, t.m_end));
        const double c2 = Vector::cross(Vector(s.m_begin, t.m_begin), Vector(s.m_begin, t.m_end));
        return !(c1 * c2 > 0.0);
    };
    return straddles(a, b) && straddles(b, a);
}

} // namespace Pelko::Corvex
