#pragma once

#include <corvex/corvex_global.h>
#include <corvex/point.h>
#include <corvex/point3d.h>
#include <corvex/triangle.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace Pelko::Corvex {

class Polygon;
class Delaunay25D;

// Triangulation of plane points with optional constraint polylines and one height per point.
// Fill it, build it, then query it. Exactly coincident points are merged by the build.
class CORVEX_EXPORT Delaunay
{
public:
    enum DelaunayType {
        PlainDelaunay = 0, // constraint lines ignored
        ConstrainedDelaunay = 1, // outside of the constraint lines removed
        ConstrainedDelaunayAlt = 2, // the same as 1
        ConformingDelaunay = 3, // as 1, with points added until every triangle is Delaunay
    };

    struct CORVEX_EXPORT DelaunayTriangulation
    {
        DelaunayTriangulation();
        DelaunayTriangulation(DelaunayTriangulation const&);
        DelaunayTriangulation& operator=(DelaunayTriangulation const&);
        ~DelaunayTriangulation();

        unsigned triangleCount = 0;
        // Fixed triples rather than nested vectors: millions of tiny allocations dominated large builds.
        std::vector<std::array<unsigned, 3>> triangles; // counter-clockwise point indices
        std::vector<std::array<int, 3>> neighbors; // neighbour k lies opposite vertex k; -1 for none
        std::vector<Point> points; // input points, then those the triangulator added
        std::vector<double> heights; // by point index; a missing height reads as 0
    };

    Delaunay();
    explicit Delaunay(std::vector<Point> const& points);
    // x, y become the points, z their heights.
    explicit Delaunay(std::vector<Point3D> const& points);
    Delaunay(std::vector<Point> const& points, std::vector<std::vector<unsigned>> const& constrainLines);
    // The closed ring of the polygon as one constraint line, heights 0.
    explicit Delaunay(Polygon const& polygon);
    Delaunay(Delaunay const&) = delete;
    Delaunay& operator=(Delaunay const&) = delete;
    ~Delaunay();

    void addPoints(std::vector<Point> const& points);
    // Indices refer to the point list.
    void addConstrainLine(std::vector<std::vector<unsigned>> const& constrainLines);
    void addPointsHeight(std::vector<double> const& heights);

    // Replaces the triangles of any earlier build. Non-finite points, fewer than three distinct
    // points, an unknown type or (types 1 to 3) a constraint index past the points give no triangles.
    void buildDelaunayTriangulation(DelaunayType type);
    void buildDelaunayTriangulation(int type);
    // The same, stopping within a few thousand insertions once *cancelled is set: a cancelled build leaves
    // no triangles and the points as they were. cancelled may be null.
    void buildDelaunayTriangulation(DelaunayType type, std::atomic<bool> const* cancelled);
    // The same, asking isCancelled where the flag would be looked at; an empty function never cancels.
    void buildDelaunayTriangulation(DelaunayType type, std::function<bool()> const& isCancelled);

    unsigned getTriangleCount() const;
    // Out of range: zero vertices and ok false. ok may be null.
    Triangle2D getTriangle(unsigned i, bool* ok = nullptr) const;
    Triangle3D getTriangle3D(unsigned i, bool* ok = nullptr) const;
    // Three entries; a missing neighbour is the zero triangle. Out of range: empty.
    std::vector<Triangle2D> getNeighborTriangle(unsigned i) const;
    std::vector<Triangle3D> getAllTriangles() const;
    DelaunayTriangulation const* getDelaunayTriangulation() const;

private:
    friend class Delaunay25D;
    struct Private;
    void mergeDuplicatePoints();
    Point3D point3D(unsigned index) const;

    std::unique_ptr<Private> d;
};

// The terrain view of a Delaunay25D; its queries answer nothing.
class CORVEX_EXPORT TriangleTerrain
{
public:
    TriangleTerrain();
    ~TriangleTerrain();

    // A zero triangle, ok false.
    Triangle3D getTriangle(unsigned i, bool* ok = nullptr) const;
    std::vector<Triangle3D> getNeighborTriangle(unsigned i) const;
};

// Plain Delaunay triangulation of spatial points. Copies share one triangulation; clone() copies it.
class CORVEX_EXPORT Delaunay25D
{
public:
    Delaunay25D();
    explicit Delaunay25D(std::vector<Point3D> const& points);
    Delaunay25D(Delaunay25D const&);
    Delaunay25D& operator=(Delaunay25D const&);
    ~Delaunay25D();

    Delaunay25D clone() const;
    explicit operator bool() const;

    // Only x, y reach the triangulation.
    void addPoints(std::vector<Point3D> const& points);
    void buildDelaunayTriangulation();
    TriangleTerrain& getDelaunayTriangulation();

private:
    struct Data;
    std::shared_ptr<Data> d;
};

// A triangulation result without heights.
struct CORVEX_EXPORT DelaunayTriangulation
{
    DelaunayTriangulation();
    DelaunayTriangulation(DelaunayTriangulation const&);
    DelaunayTriangulation& operator=(DelaunayTriangulation const&);
    ~DelaunayTriangulation();

    unsigned triangleCount = 0;
    std::vector<std::array<unsigned, 3>> triangles;
    std::vector<std::array<int, 3>> neighbors;
    std::vector<Point> points;
};

} // namespace Pelko::Corvex
