#pragma once

#include <corvex/corvex_global.h>
#include <corvex/point.h>
#include <corvex/point3d.h>

namespace Pelko::Corvex {

// Vertex accessors by index take 0..2 (0..3 for Tetrahedron). A larger index is reported on
// std::cerr and touches nothing: getters return a zero point, setters do nothing, and the
// reference accessors hand out a per-thread scratch point reset to zero.

class CORVEX_EXPORT Triangle2D
{
public:
    Triangle2D() = default;
    Triangle2D(Point const& a, Point const& b, Point const& c);
    // Three consecutive points; a null pointer leaves all vertices at (0, 0).
    explicit Triangle2D(Point const* vertices);
    Triangle2D(Triangle2D const&) = default;
    Triangle2D& operator=(Triangle2D const&) = default;

    Point getA() const { return m_v[0]; }
    Point getB() const { return m_v[1]; }
    Point getC() const { return m_v[2]; }
    void setA(Point const& p) { m_v[0] = p; }
    void setB(Point const& p) { m_v[1] = p; }
    void setC(Point const& p) { m_v[2] = p; }
    Point& rA() { return m_v[0]; }
    Point& rB() { return m_v[1]; }
    Point& rC() { return m_v[2]; }

    Point getVertex(unsigned i) const;
    void setVertex(unsigned i, Point const& p);
    Point& rVertex(unsigned i);

    double area() const;
    // Exact sign of the turn from a over b to c in the x-y plane, never a rounding artefact: 1
    // counterclockwise, -1 clockwise, 0 when the vertices lie on one line (the triangle has no area).
    int orientation() const;
    // Mathematical x-y orientation; a collinear triangle is not clockwise.
    bool isClockwise() const;
    // Decided exactly: the corners are collinear (two of them equal included), or a coordinate is not
    // finite. Such a triangle has no inside.
    bool isDegenerate() const;
    // Decided exactly: the corners and the points of the edges are inside, however thin the triangle.
    // A degenerate triangle contains no point.
    bool contain(Point const& p) const;

private:
    Point m_v[3];
};

class CORVEX_EXPORT Triangle3D
{
public:
    Triangle3D() = default;
    // Three consecutive points; a null pointer leaves all vertices at (0, 0, 0).
    explicit Triangle3D(Point3D const* vertices);
    Triangle3D(Point3D const& a, Point3D const& b, Point3D const& c);
    Triangle3D(Triangle3D const&) = default;
    Triangle3D& operator=(Triangle3D const&) = default;

    Point3D getVertex(unsigned i) const;
    void setVertex(unsigned i, Point3D const& p);
    Point3D& rVertex(unsigned i);

    Triangle2D xoyProjection() const;
    // Spatial area: half the length of the cross product of two edges.
    double area() const;

private:
    Point3D m_v[3];
};

class CORVEX_EXPORT Tetrahedron
{
public:
    Tetrahedron() = default;
    Tetrahedron(Point3D const& a, Point3D const& b, Point3D const& c, Point3D const& d);
    // Four consecutive points; a null pointer leaves all vertices at (0, 0, 0).
    explicit Tetrahedron(Point3D const* vertices);
    Tetrahedron(Tetrahedron const&) = default;
    Tetrahedron& operator=(Tetrahedron const&) = default;

    void setVertex(unsigned i, Point3D const& p);
    Point3D getVertex(unsigned i) const;

    // Always non-negative.
    double calcVolume() const;

private:
    Point3D m_v[4];
};

} // namespace Pelko::Corvex
