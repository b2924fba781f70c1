#pragma once

#include <corvex/corvex_global.h>
#include <corvex/point3d.h>
#include <corvex/triangle.h>

#include <memory>
#include <vector>

namespace Pelko::Corvex {

struct CORVEX_EXPORT TrianglePointsIndex
{
    TrianglePointsIndex() = default;
    TrianglePointsIndex(int a, int b, int c)
        : index { a, b, c }
    {
    }
    int& operator[](unsigned k) { return index[k]; }
    int operator[](unsigned k) const { return index[k]; }
    bool operator==(TrianglePointsIndex const& o) const
    {
        return index[0] == o.index[0] && index[1] == o.index[1] && index[2] == o.index[2];
    }

    int index[3] = { 0, 0, 0 }; // into the buffer's point list, in the triangle's vertex order
};

// A triangulated surface in shared-vertex form: vertices at the same plane position are stored once.
// Copies share one buffer; clone() copies it.
class CORVEX_EXPORT DelaunayTriangleBuffer
{
public:
    DelaunayTriangleBuffer();
    DelaunayTriangleBuffer(DelaunayTriangleBuffer const&);
    DelaunayTriangleBuffer& operator=(DelaunayTriangleBuffer const&);
    ~DelaunayTriangleBuffer();

    DelaunayTriangleBuffer clone() const;
    explicit operator bool() const;

    // A vertex at the plane position of a stored one reuses it, height included.
    void addTriangle(Triangle3D const& triangle);
    void addTriangles(std::vector<Triangle3D> const& triangles);

    unsigned getTriangleCount() const;
    unsigned getPointCount() const;
    // The caller keeps indices below the counts; beyond them (or for an index record naming a
    // missing point) these return zero values.
    Triangle3D getTriangle(unsigned i) const;
    TrianglePointsIndex getTrianglePointIndex(unsigned i) const;
    Point3D getPoint(unsigned i) const;

private:
    friend class DelaunayTriangleBufferBuilder;
    struct Data;
    int insertPoint(Point3D const& p);

    std::shared_ptr<Data> d;
};

class CORVEX_EXPORT DelaunayTriangleBufferBuilder
{
public:
    // A buffer holding copies of both lists, owned by the caller (release it with destory). Its
    // vertex index starts empty: triangles added later get vertices of their own.
    static DelaunayTriangleBuffer const* build(std::vector<Point3D> const& points,
                                               std::vector<TrianglePointsIndex> const& triangles);
    // Null is ignored.
    static void destory(DelaunayTriangleBuffer const* buffer);
};

} // namespace Pelko::Corvex
