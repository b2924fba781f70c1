#include <corvex/triangle.h>

#include "orientation.h"

#include <cmath>
#include <initializer_list>
#include <iostream>

namespace Pelko::Corvex {

namespace {

char const* const kTriangleIndexMessage = "索引必须大于等于0，且小于等于2";
char const* const kTetrahedronIndexMessage = "i必须在0到3之间";

bool checkIndex(unsigned i, unsigned count, char const* message)
{
    if (i < count)
        return true;
    std::cerr << message << " (index " << i << ")\n";
    return false;
}

// Where an out-of-range reference accessor points: never inside any object, and private to
// the thread so that stray writes cannot race.
template<typename T> T& scratch()
{
    thread_local T value;
    value = T();
    return value;
}

} // namespace

Triangle2D::Triangle2D(Point const& a, Point const& b, Point const& c)
    : m_v { a, b, c }
{
}

Triangle2D::Triangle2D(Point const* vertices)
{
    if (!vertices) {
        std::cerr << "Triangle2D: null vertex array\n";
        return;
    }
    for (int i = 0; i < 3; ++i)
        m_v[i] = vertices[i];
}

Point Triangle2D::getVertex(unsigned i) const
{
    return checkIndex(i, 3, kTriangleIndexMessage) ? m_v[i] : Point();
}

void Triangle2D::setVertex(unsigned i, Point const& p)
{
    if (checkIndex(i, 3, kTriangleIndexMessage))
        m_v[i] = p;
}

Point& Triangle2D::rVertex(unsigned i)
{
    return checkIndex(i, 3, kTriangleIndexMessage) ? m_v[i] : scratch<Point>();
}

double Triangle2D::area() const
{
    Point const& a = m_v[0];
    Point const& b = m_v[1];
    Point const& c = m_v[2];
    return std::fabs((b.getX() - a.getX()) * (c.getY() - a.getY())
                     - (c.getX() - a.getX()) * (b.getY() - a.getY()))
        * 0.5;
}

int Triangle2D::orientation() const
{
    return detail::orientationSign(m_v[0].getX(), m_v[0].getY(), m_v[1].getX(), m_v[1].getY(), m_v[2].getX(),
                                   m_v[2].getY());
}

bool Triangle2D::isClockwise() const
{
    Point const& a = m_v[0];
    Point const& b = m_v[1];
    Point const& c = m_v[2];
    return (c.getY() - a.getY()) * (b.getX() - a.getX()) - (b.getY() - a.getY()) * (c.getX() - a.getX()) < 0;
}

bool Triangle2D::isDegenerate() const
{
    for (Point const& v : m_v)
        if (!std::isfinite(v.getX()) || !std::isfinite(v.getY()))
            return true;
    return orientation() == 0;
}

bool Triangle2D::contain(Point const& p) const
{
    double const ax = m_v[0].getX(), ay = m_v[0].getY();
    double const bx = m_v[1].getX(), by = m_v[1].getY();
    double const cx = m_v[2].getX(), cy = m_v[2].getY();
    double const px = p.getX(), py = p.getY();
    for (double v : { ax, ay, bx, by, cx, cy, px, py })
        if (!std::isfinite(v))
            return false;
    // Exact signs: rounded weights leave a sliver's own corners outside it.
    int const turn = detail::orientationSign(ax, ay, bx, by, cx, cy);
    if (turn == 0)
        return false;
    // On the inner side of every edge, or on the edge itself.
    return detail::orientationSign(ax, ay, bx, by, px, py) != -turn
        && detail::orientationSign(bx, by, cx, cy, px, py) != -turn
        && detail::orientationSign(cx, cy, ax, ay, px, py) != -turn;
}

Triangle3D::Triangle3D(Point3D const* vertices)
{
    if (!vertices) {
        std::cerr << "Triangle3D: null vertex array\n";
        return;
    }
    for (int i = 0; i < 3; ++i)
        m_v[i] = vertices[i];
}

Triangle3D::Triangle3D(Point3D const& a, Point3D const& b, Point3D const& c)
    : m_v { a, b, c }
{
}

Point3D Triangle3D::getVertex(unsigned i) const
{
    return checkIndex(i, 3, kTriangleIndexMessage) ? m_v[i] : Point3D();
}

void Triangle3D::setVertex(unsigned i, Point3D const& p)
{
    if (checkIndex(i, 3, kTriangleIndexMessage))
        m_v[i] = p;
}

Point3D& Triangle3D::rVertex(unsigned i)
{
    return checkIndex(i, 3, kTriangleIndexMessage) ? m_v[i] : scratch<Point3D>();
}

Triangle2D Triangle3D::xoyProjection() const
{
    return Triangle2D(Point(m_v[0].x(), m_v[0].y()), Point(m_v[1].x(), m_v[1].y()),
                      Point(m_v[2].x(), m_v[2].y()));
}

double Triangle3D::area() const
{
    return 0.5 * (m_v[1] - m_v[0]).crossMultiplyWith(m_v[2] - m_v[0]).magnitude();
}

Tetrahedron::Tetrahedron(Point3D const& a, Point3D const& b, Point3D const& c, Point3D const& d)
    : m_v { a, b, c, d }
{
}

Tetrahedron::Tetrahedron(Point3D const* vertices)
{
    if (!vertices) {
        std::cerr << "Tetrahedron: null vertex array\n";
        return;
    }
    for (int i = 0; i < 4; ++i)
        m_v[i] = vertices[i];
}

void Tetrahedron::setVertex(unsigned i, Point3D const& p)
{
    if (checkIndex(i, 4, kTetrahedronIndexMessage))
        m_v[i] = p;
}

Point3D Tetrahedron::getVertex(unsigned i) const
{
    return checkIndex(i, 4, kTetrahedronIndexMessage) ? m_v[i] : Point3D();
}

double Tetrahedron::calcVolume() const
{
    Vector3D const ab = m_v[1] - m_v[0];
    Vector3D const ac = m_v[2] - m_v[0];
    Vector3D const ad = m_v[3] - m_v[0];
    return std::fabs(ab.crossMultiplyWith(ac).dotMultiplyWith(ad)) / 6.0;
}

} // namespace Pelko::Corvex
