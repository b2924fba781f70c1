#include "tinhelpers.h"

#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/iprogress.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>

using namespace Pelko::IO;
using Pelko::Corvex::Delaunay;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Polygon;
using Pairs = std::vector<std::pair<double, double>>;

namespace {

// n points on the line x = y and one point off it at (100, 0): the triangulation is a fan around that
// point, whose triangles' boxes all reach far along the line.
std::vector<Point3D> lineAndOnePoint(int n)
{
    std::vector<Point3D> points;
    for (int i = 0; i < n; ++i)
        points.emplace_back(i, i, 1);
    points.emplace_back(100, 0, 1);
    return points;
}

// The fan's border: from the line's lowest point to the point off it, back along the whole line.
Pairs fanBorder(int n)
{
    Pairs border { { 0, 0 }, { 100, 0 } };
    for (int i = n - 1; i > 0; --i)
        border.emplace_back(i, i);
    return border;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Pairs stored(const std::string& path)
{
    ConnectionPtr connection = open(path);
    return points(BorderControl::getPolygon(connection.get()));
}

// Cancels from a given time after every row is written (the last report says 100).
struct CancelAfterRows : IProgress
{
    explicit CancelAfterRows(std::chrono::milliseconds delay)
        : delay(delay)
    {
    }
    void report(int percent) override
    {
        if (percent == 100)
            cancelAt = std::chrono::steady_clock::now() + delay;
    }
    bool isCancelled() const override
    {
        ++looks;
        return cancelAt.time_since_epoch().count() && std::chrono::steady_clock::now() >= cancelAt;
    }
    std::chrono::milliseconds delay;
    std::chrono::steady_clock::time_point cancelAt;
    mutable int looks = 0;
};

} // namespace

TEST(BorderExtractor, FanAroundOnePointIsWalkedInTime)
{
    // 5,000 points took 40 s and more when every step queried the stored boxes.
    const double bound = 10;
    Delaunay delaunay(lineAndOnePoint(5000));
    delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
    ASSERT_EQ(delaunay.getTriangleCount(), 4999u);
    TempFolder temp;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(TrianglesWriter::write(delaunay, temp.file("fan.qvr"), nullptr));
    EXPECT_LT(secondsSince(start), bound);
    EXPECT_EQ(stored(temp.file("fan.qvr")), fanBorder(5000));
}

TEST(BorderExtractor, TriangulationGivesTheStoredTrianglesBorder)
{
    std::vector<std::pair<const char*, std::vector<Point3D>>> cases;
    cases.emplace_back("fan", lineAndOnePoint(300));
    // Every point on one circle and its centre: cocircular points everywhere.
    std::vector<Point3D> wheel { { 0, 0, 5 } };
    for (int i = 0; i < 64; ++i)
        wheel.emplace_back(std::round(1000 * std::cos(i * M_PI / 32)),
                           std::round(1000 * std::sin(i * M_PI / 32)), i);
    cases.emplace_back("wheel", wheel);
    // A grid: points on every side of the hull, and one height per column.
    std::vector<Point3D> grid;
    for (int i = 0; i < 25; ++i)
        for (int j = 0; j < 25; ++j)
            grid.emplace_back(i * 2.5, j * 2.5, i);
    cases.emplace_back("grid", grid);
    std::mt19937 random(3);
    std::uniform_real_distribution<double> coordinate(-500, 500);
    std::vector<Point3D> scattered;
    for (int i = 0; i < 2000; ++i)
        scattered.emplace_back(coordinate(random), coordinate(random) / 10, coordinate(random));
    cases.emplace_back("scattered", scattered);

    TempFolder temp;
    for (const auto& [name, points3D] : cases) {
        SCOPED_TRACE(name);
        Delaunay delaunay(points3D);
        delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
        const std::string path = temp.file(name);
        ASSERT_TRUE(TrianglesWriter::write(delaunay, path, nullptr));
        ConnectionPtr connection = open(path);
        const Pairs walked = points(BorderExtractor::extract(connection.get()));
        EXPECT_GE(walked.size(), 3u);
        EXPECT_EQ(stored(path), walked);
        EXPECT_EQ(points(BorderExtractor::extract(delaunay, nullptr)), walked);
    }
    Delaunay empty(std::vector<Point3D> { { 0, 0, 0 }, { 1, 1, 0 } });
    empty.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
    EXPECT_EQ(BorderExtractor::extract(empty, nullptr).getPointCount(), 0u);
}

TEST(BorderExtractor, CancelStopsTheWalk)
{
    // The stored walk of this fan takes 40 s and more; a cancel must end it at once.
    const double bound = 5;
    Delaunay delaunay(lineAndOnePoint(5000));
    delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
    TempFolder temp;
    const std::string path = temp.file("cancelled.qvr");
    ASSERT_TRUE(TrianglesWriter::write(std::vector<Pelko::Corvex::Triangle3D> { tri(0, 0, 1, 0, 1, 1) }, path,
                                       nullptr));
    const Pairs before = stored(path);

    CancelAfterRows cancel(std::chrono::milliseconds(200));
    EXPECT_FALSE(TrianglesWriter::write(delaunay.getAllTriangles(), path, &cancel));
    EXPECT_LT(secondsSince(cancel.cancelAt), bound);
    EXPECT_EQ(stored(path), before);

    // In memory too the walk looks at the flag on the way.
    CancelAfterRows now(std::chrono::milliseconds(0));
    now.report(100);
    EXPECT_EQ(BorderExtractor::extract(delaunay, &now).getPointCount(), 0u);
    EXPECT_EQ(now.looks, 1);
    EXPECT_EQ(points(BorderExtractor::extract(delaunay, nullptr)), fanBorder(5000));
}
