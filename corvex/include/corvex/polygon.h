#pragma once

#include <corvex/corvex_global.h>
#include <corvex/envelope.h>
#include <corvex/line.h>
#include <corvex/point.h>

#include <vector>

namespace Pelko::Corvex {

class MultiPolygon;

// An open ring of vertices: the closing edge from the last vertex back to the first is implied.
// Neither orientation, closure nor simplicity is enforced, and duplicate vertices are allowed.
class CORVEX_EXPORT Polygon
{
public:
    Polygon() = default;
    Polygon(Polygon const& o) = default;
    Polygon(Polygon&& o) noexcept;
    Polygon& operator=(Polygon const& o) = default;
    Polygon& operator=(Polygon&& o) noexcept;
    ~Polygon() = default;

    void appendPoint(Point const& p);
    void appendPoint(double x, double y);
    // Inserts before the vertex at index; index == count appends. A larger index is refused.
    void insertPoint(unsigned index, Point const& p);
    void popBack();

    // Unchecked: the caller keeps the index below getPointCount().
    Point const& getPoint(unsigned i) const { return m_points[i]; }
    Point const& operator[](unsigned i) const { return m_points[i]; }
    Point& operator[](unsigned i) { return m_points[i]; }

    unsigned getPointCount() const { return static_cast<unsigned>(m_points.size()); }
    bool isEmpty() const { return m_points.empty(); }
    void clear() { m_points.clear(); }

    double getAera() const;
    double getCircumference() const;
    // In the mathematical x-y plane (x right, y up); on a north/east map this reads clockwise.
    bool isCounterclockwise() const;
    Envelope getEnvelope() const;

    bool contain(double x, double y) const;
    bool contain(Point const& p) const { return contain(p.getX(), p.getY()); }
    // Tests the other polygon's vertices only, not its edges.
    bool contain(Polygon const& other) const;
    bool isSame(Polygon const& other) const;
    // Tests the open edges only; the closing edge is left out.
    bool isIntersect(Segment const& s) const;

    Polygon getConvexHull() const;
    Polygon simplify(double tolerance) const;

    bool isIntersect(Polygon const& other) const;
    MultiPolygon intersect(Polygon const& other) const;
    MultiPolygon difference(Polygon const& other) const;
    MultiPolygon buffer(double d) const;
    bool isSelfInersect() const;
    Point getInteriorPoint() const;

private:
    std::vector<Point> m_points;
};

class CORVEX_EXPORT MultiPolygon
{
public:
    MultiPolygon() = default;
    MultiPolygon(MultiPolygon const& o) = default;
    MultiPolygon(MultiPolygon&& o) noexcept;
    MultiPolygon& operator=(MultiPolygon const& o) = default;
    MultiPolygon& operator=(MultiPolygon&& o) noexcept;
    ~MultiPolygon() = default;

    void addPolygon(Polygon const& p);

    // Unchecked: the caller keeps the index below getPolygonCount().
    Polygon const& getPolygon(unsigned i) const { return m_polygons[i]; }
    Polygon getPolygon(unsigned i) { return m_polygons[i]; }

    unsigned getPolygonCount() const { return static_cast<unsigned>(m_polygons.size()); }
    bool isEmpty() const { return m_polygons.empty(); }
    void clear() { m_polygons.clear(); }

private:
    std::vector<Polygon> m_polygons;
};

} // namespace Pelko::Corvex
