#include <corvex/delaunay.h>
#include <corvex/trianglebuffer.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Pelko::Corvex;

TEST(DelaunayTriangleBuffer, SharedVertices)
{
    DelaunayTriangleBuffer buffer;
    EXPECT_EQ(buffer.getTriangleCount(), 0u);
    EXPECT_EQ(buffer.getPointCount(), 0u);

    const Point3D a(0, 0, 1), b(1, 0, 2), c(1, 1, 3), d(0, 1, 4);
    buffer.addTriangle(Triangle3D(a, b, c));
    buffer.addTriangle(Triangle3D(a, c, d));
    EXPECT_EQ(buffer.getPointCount(), 4u);
    ASSERT_EQ(buffer.getTriangleCount(), 2u);
    EXPECT_EQ(buffer.getTrianglePointIndex(0), TrianglePointsIndex(0, 1, 2));
    EXPECT_EQ(buffer.getTrianglePointIndex(1), TrianglePointsIndex(0, 2, 3));
    const Triangle3D second = buffer.getTriangle(1);
    EXPECT_EQ(second.getVertex(0), a);
    EXPECT_EQ(second.getVertex(1), c);
    EXPECT_EQ(second.getVertex(2), d);

    // Same plane position, other height: the stored vertex wins, height included.
    buffer.addTriangles({ Triangle3D(Point3D(1, 1, 99), Point3D(2, 1, 5), Point3D(1, 0, -7)) });
    EXPECT_EQ(buffer.getPointCount(), 5u);
    EXPECT_EQ(buffer.getTrianglePointIndex(2), TrianglePointsIndex(2, 4, 1));
    EXPECT_EQ(buffer.getTriangle(2).getVertex(0), c);
    EXPECT_EQ(buffer.getPoint(4), Point3D(2, 1, 5));

    // Out of range reads are zero values, not crashes.
    EXPECT_EQ(buffer.getPoint(5), Point3D());
    EXPECT_EQ(buffer.getTrianglePointIndex(3), TrianglePointsIndex());
    EXPECT_EQ(buffer.getTriangle(3).getVertex(0), Point3D());
}

TEST(DelaunayTriangleBuffer, VertexWithoutPlanePosition)
{
    // A NaN coordinate places the vertex nowhere: it must neither take over a stored vertex nor
    // capture the vertices added after it.
    const double nan = std::nan("");
    DelaunayTriangleBuffer buffer;
    buffer.addTriangle(Triangle3D(Point3D(1, 0, 2), Point3D(nan, 0, 1), Point3D(0, 1, 3)));
    buffer.addTriangle(Triangle3D(Point3D(nan, 0, 1), Point3D(6, 5, 2), Point3D(5, 6, 3)));
    buffer.addTriangle(Triangle3D(Point3D(1, 0, 7), Point3D(6, 5, 8), Point3D(9, 9, 9)));
    ASSERT_EQ(buffer.getTriangleCount(), 3u);
    EXPECT_EQ(buffer.getTrianglePointIndex(0), TrianglePointsIndex(0, 1, 2));
    EXPECT_EQ(buffer.getTrianglePointIndex(1), TrianglePointsIndex(3, 4, 5));
    EXPECT_EQ(buffer.getTrianglePointIndex(2), TrianglePointsIndex(0, 4, 6));
    EXPECT_EQ(buffer.getPointCount(), 7u);
    EXPECT_TRUE(std::isnan(buffer.getPoint(1).x()));
    EXPECT_EQ(buffer.getPoint(1).z(), 1.0);
    EXPECT_EQ(buffer.getPoint(4), Point3D(6, 5, 2));

    // A clone rebuilds its vertex index without the unplaced vertices.
    DelaunayTriangleBuffer copy = buffer.clone();
    copy.addTriangle(Triangle3D(Point3D(20, 0, 0), Point3D(9, 9, 0), Point3D(21, 20, 0)));
    EXPECT_EQ(copy.getTrianglePointIndex(3), TrianglePointsIndex(7, 6, 8));
}

TEST(DelaunayTriangleBuffer, FromTriangulation)
{
    // Every vertex of a terrain is stored once, however many triangles meet there.
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> coord(0, 100);
    std::vector<Point3D> points;
    for (int i = 0; i < 400; ++i)
        points.emplace_back(coord(rng), coord(rng), i);
    Delaunay delaunay(points);
    delaunay.buildDelaunayTriangulation(0);
    const auto triangles = delaunay.getAllTriangles();

    DelaunayTriangleBuffer buffer;
    buffer.addTriangles(triangles);
    EXPECT_EQ(buffer.getPointCount(), points.size());
    ASSERT_EQ(buffer.getTriangleCount(), triangles.size());
    for (unsigned i = 0; i < triangles.size(); ++i) {
        for (unsigned k = 0; k < 3; ++k)
            EXPECT_EQ(buffer.getTriangle(i).getVertex(k), triangles[i].getVertex(k));
    }
}

TEST(DelaunayTriangleBuffer, BuilderAndOwnership)
{
    const std::vector<Point3D> points = { { 0, 0, 1 }, { 1, 0, 2 }, { 0, 1, 3 } };
    DelaunayTriangleBuffer const* built = DelaunayTriangleBufferBuilder::build(points, { { 0, 1, 2 } });
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->getTriangleCount(), 1u);
    EXPECT_EQ(built->getPointCount(), 3u);
    for (unsigned k = 0; k < 3; ++k)
        EXPECT_EQ(built->getTriangle(0).getVertex(k), points[k]);

    // Built vertices are not indexed: a later triangle at the same place gets new ones.
    DelaunayTriangleBuffer shared = *built;
    shared.addTriangle(Triangle3D(points[0], points[1], points[2]));
    EXPECT_EQ(built->getPointCount(), 6u); // the copy shares the buffer
    EXPECT_EQ(shared.getTrianglePointIndex(1), TrianglePointsIndex(3, 4, 5));
    DelaunayTriangleBufferBuilder::destory(built);
    DelaunayTriangleBufferBuilder::destory(nullptr);
    // The assigned copy survives the builder's buffer.
    EXPECT_EQ(shared.getTriangleCount(), 2u);

    // A record naming a missing point reads zero vertices.
    DelaunayTriangleBuffer const* broken = DelaunayTriangleBufferBuilder::build(points, { { 0, 5, -1 } });
    EXPECT_EQ(broken->getTriangle(0).getVertex(1), Point3D());
    EXPECT_EQ(broken->getTriangle(0).getVertex(2), Point3D());
    DelaunayTriangleBufferBuilder::destory(broken);

    // Assignment in both directions and destruction in any order free the record once.
    DelaunayTriangleBuffer first;
    {
        DelaunayTriangleBuffer second;
        second.addTriangle(Triangle3D(points[0], points[1], points[2]));
        first = second;
    }
    EXPECT_EQ(first.getPointCount(), 3u);

    // clone copies the vertex index too, and is independent.
    DelaunayTriangleBuffer copy = first.clone();
    copy.addTriangle(Triangle3D(points[2], points[1], Point3D(5, 5, 5)));
    EXPECT_EQ(copy.getPointCount(), 4u);
    EXPECT_EQ(copy.getTrianglePointIndex(1), TrianglePointsIndex(2, 1, 3));
    EXPECT_EQ(first.getPointCount(), 3u);
    EXPECT_EQ(first.getTriangleCount(), 1u);
    EXPECT_TRUE(static_cast<bool>(copy));
}
