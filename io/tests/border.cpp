#include "tinhelpers.h"

#include <straightroad.h>
#include <tinborder.h>

#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/iprogress.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace Pelko::IO;
using Pelko::Corvex::Delaunay;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Polygon;
using Pelko::Corvex::Triangle3D;
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
    EXPECT_EQ(tinBorderFault(path), "");
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

namespace {

// The points of a CASS point file: name, code, east, north, height.
std::vector<Point3D> cassPoints(const std::string& path)
{
    std::vector<Point3D> points;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');)
            fields.push_back(field);
        if (fields.size() >= 5)
            points.emplace_back(std::strtod(fields[3].c_str(), nullptr),
                                std::strtod(fields[2].c_str(), nullptr),
                                std::strtod(fields[4].c_str(), nullptr));
    }
    return points;
}

} // namespace

TEST(BorderExtractor, SliversAlongTheHullAreInsideTheBorder)
{
    // Found so: the stored border of this road enclosed 15,001 m² of a TIN covering 60,002 m².
    struct Road
    {
        std::string name;
        std::vector<Point3D> points;
        // The stored walk queries the database at every step: a third of the roads are enough for it.
        bool storedWalk;
    };
    std::vector<Road> roads;
    roads.push_back({ "found", cassPoints(std::string(TEST_DATA_DIR) + "/straight-road-az69.dat"), true });
    ASSERT_EQ(roads.back().points.size(), 1005u);
    EXPECT_EQ(roads.back().points, straightRoadPoints(69));
    // 500 m of road are enough to go wrong at one azimuth in nine.
    for (int azimuth = 0; azimuth < 180; ++azimuth)
        roads.push_back(
            { "azimuth " + std::to_string(azimuth), straightRoadPoints(azimuth, 51), azimuth % 3 == 0 });

    TempFolder temp;
    const std::string path = temp.file("road.qvr");
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        Delaunay delaunay(road.points);
        delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
        const std::vector<Triangle3D> triangles = delaunay.getAllTriangles();
        // Walked over the triangulation in memory as it is written.
        ASSERT_TRUE(TrianglesWriter::write(delaunay, path, nullptr));
        EXPECT_EQ(tinBorderFault(path), "");
        // Walked through the stored rows' queries, and over the triangles as a list.
        if (road.storedWalk) {
            ConnectionPtr connection = open(path);
            EXPECT_EQ(tinBorderFault(triangles, BorderExtractor::extract(connection.get())), "");
        }
        EXPECT_EQ(tinBorderFault(triangles, BorderExtractor::extract(triangles, nullptr, nullptr)), "");
    }
}

namespace {

// The drawing whose 3DFACEs are read as these triangles (the drawing's Y is north, its X east); each face
// gives its third corner again as the fourth.
std::string drawingOf(const std::vector<Triangle3D>& triangles)
{
    std::string text = "0\nSECTION\n2\nENTITIES\n";
    auto group = [&text](int code, double value) {
        char number[32];
        std::snprintf(number, sizeof number, "%.17g", value);
        text += std::to_string(code) + "\n" + number + "\n";
    };
    for (const Triangle3D& triangle : triangles) {
        text += "0\n3DFACE\n8\nTIN\n";
        for (unsigned k = 0; k < 4; ++k) {
            const Point3D corner = triangle.getVertex(std::min(k, 2u));
            group(10 + k, corner.y());
            group(20 + k, corner.x());
            group(30 + k, corner.z());
        }
    }
    return text + "0\nENDSEC\n0\nEOF\n";
}

// n thin triangles round (100, 0), over the points of the line x = y.
std::vector<Triangle3D> fanFaces(int n)
{
    std::vector<Triangle3D> faces;
    for (int i = 0; i < n; ++i)
        faces.push_back(tri(100, 0, i, i, i + 1, i + 1));
    return faces;
}

// Unit squares over [0, 4] x [0, 4], two triangles each, but for [1, 3] x [2, 3], which is two triangles of
// its own: the corners (2, 2) and (2, 3) of the squares below and above it lie on its long edges.
std::vector<Triangle3D> gridWithTJunctions()
{
    std::vector<Triangle3D> faces;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            if (y == 2 && (x == 1 || x == 2))
                continue;
            faces.push_back(tri(x, y, x + 1, y, x + 1, y + 1));
            faces.push_back(tri(x, y, x + 1, y + 1, x, y + 1));
        }
    faces.push_back(tri(1, 2, 3, 2, 3, 3));
    faces.push_back(tri(1, 2, 3, 3, 1, 3));
    return faces;
}

// [0, 2] x [0, 4] as two triangles beside unit squares over [2, 4] x [0, 4]: the corners (2, 1), (2, 2) and
// (2, 3) lie on the long edge from (2, 0) to (2, 4).
std::vector<Triangle3D> tJunctionAtTheBorder()
{
    std::vector<Triangle3D> faces { tri(0, 0, 2, 0, 2, 4), tri(0, 0, 2, 4, 0, 4) };
    for (int y = 0; y < 4; ++y) {
        faces.push_back(tri(2, y, 3, y, 3, y + 1));
        faces.push_back(tri(2, y, 3, y + 1, 2, y + 1));
        faces.push_back(tri(3, y, 4, y, 4, y + 1));
        faces.push_back(tri(3, y, 4, y + 1, 3, y + 1));
    }
    return faces;
}

} // namespace

TEST(BorderExtractor, DrawingOfOneTriangulationIsWalkedInMemory)
{
    // Through the stored rows, every step's query window met the boxes of most of these faces: 2,000 took
    // 5.6 s, 5,000 36 s.
    const int n = 5000;
    const std::vector<Triangle3D> fan = fanFaces(n);
    // No database is asked.
    EXPECT_EQ(points(BorderExtractor::extract(fan, nullptr, nullptr)), fanBorder(n + 1));

    TempFolder temp;
    const std::string path = temp.file("fan.qvr");
    ASSERT_TRUE(convertText(drawingOf(fan), path));
    EXPECT_EQ(stored(path), fanBorder(n + 1));

    // A cancel is seen on the way.
    Canceller cancel(0);
    EXPECT_EQ(BorderExtractor::extract(fan, nullptr, &cancel).getPointCount(), 0u);
    EXPECT_GE(cancel.asked, 1);
}

TEST(BorderExtractor, DrawingBorderIsTheStoredWalksBorder)
{
    std::vector<std::pair<std::string, std::string>> drawings;
    // Every drawing of the test data, this library's and the TIN plug-in's.
    for (const std::filesystem::path& folder :
         { std::filesystem::path(TEST_DATA_DIR),
           std::filesystem::path(TEST_DATA_DIR) / "../../../plugins/tolvin/tests/data" })
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() == ".dxf")
                drawings.emplace_back(entry.path().filename().string(), slurp(entry.path().string()));
    ASSERT_GE(drawings.size(), 4u);
    drawings.emplace_back("fan", drawingOf(fanFaces(300)));
    // Corners on the long edges of two triangles, away from the border.
    drawings.emplace_back("T-junctions", drawingOf(gridWithTJunctions()));
    // A corner on the long edge of a triangle that reaches the border from both ends: only containment
    // sees the triangle holding it.
    drawings.emplace_back("T-junction at the border", drawingOf(tJunctionAtTheBorder()));
    // Faces that overlap have no sound border; whatever it is, it is the stored walk's. A face given twice
    // counts its edges twice, as containment does.
    std::vector<Triangle3D> twice = gridWithTJunctions();
    twice.push_back(twice[5]);
    drawings.emplace_back("a face twice", drawingOf(twice));
    std::vector<Triangle3D> fanAndMore = fanFaces(300);
    fanAndMore.push_back(tri(100, 50, 110, 40, 110, 60));
    drawings.emplace_back("a corner on a fan's edge", drawingOf(fanAndMore));
    drawings.emplace_back("crossing faces", drawingOf({ tri(0, 0, 4, 0, 2, 3), tri(0, 2, 2, -1, 4, 2) }));

    TempFolder temp;
    for (const auto& [name, text] : drawings) {
        SCOPED_TRACE(name);
        const std::string path = temp.file("drawing.qvr");
        ASSERT_TRUE(convertText(text, path));
        ConnectionPtr connection = open(path);
        const std::vector<Triangle3D> triangles = TriangleRTreeControl::getAllTriangles(connection.get());
        const Pairs walked = points(BorderExtractor::extract(connection.get()));
        EXPECT_EQ(points(BorderControl::getPolygon(connection.get())), walked);
        EXPECT_EQ(points(BorderExtractor::extract(triangles, connection.get(), nullptr)), walked);
        // The stored walk does not find the border of the last four either.
        if (name != "T-junction at the border" && name != "a face twice" && name != "a corner on a fan's edge"
            && name != "crossing faces") {
            EXPECT_EQ(tinBorderFault(path), "");
        }
    }

    // T-junctions the walk does not pass need no stored rows; one it passes does: without them there is no
    // border.
    const Pairs square { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 4, 0 }, { 4, 1 }, { 4, 2 }, { 4, 3 },
                         { 4, 4 }, { 3, 4 }, { 2, 4 }, { 1, 4 }, { 0, 4 }, { 0, 3 }, { 0, 2 }, { 0, 1 } };
    EXPECT_EQ(points(BorderExtractor::extract(gridWithTJunctions(), nullptr, nullptr)), square);
    EXPECT_EQ(BorderExtractor::extract(tJunctionAtTheBorder(), nullptr, nullptr).getPointCount(), 0u);
}

TEST(BorderExtractor, DrawingWalkedInMemoryIsAlwaysTheStoredWalk)
{
    // A few faces with corners on a small grid: overlaps, corners on edges, faces given twice, flat faces
    // and faces touching at a corner abound.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> coordinate(0, 4), count(1, 12);
    TempFolder temp;
    const std::string path = temp.file("random.qvr");
    for (int drawing = 0; drawing < 100; ++drawing) {
        std::vector<Triangle3D> faces;
        for (int n = count(random); n > 0; --n) {
            double c[6];
            for (double& value : c)
                value = coordinate(random);
            faces.push_back(tri(c[0], c[1], c[2], c[3], c[4], c[5]));
        }
        // Written with the stored walk's border.
        ASSERT_TRUE(TrianglesWriter::write(faces, path, nullptr));
        ConnectionPtr connection = open(path);
        EXPECT_EQ(points(BorderExtractor::extract(faces, connection.get(), nullptr)),
                  points(BorderControl::getPolygon(connection.get())))
            << "drawing " << drawing;
    }
}
