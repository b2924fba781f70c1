#include "tinhelpers.h"

#include "borderwalk.h"
#include "ringcheck.h"

#include <straightroad.h>
#include <tinborder.h>

#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/iprogress.h>
#include <io/memoryfile.h>
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
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <sstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
    ConnectionPtr connection = open(temp.file("cancelled.qvr"), true);
    connection->beginTransactionWithExclusive();
    ASSERT_TRUE(TriangleRTreeControl::createTable(connection.get()));
    ASSERT_TRUE(TriangleRTreeControl::insert(connection.get(), delaunay.getAllTriangles(), nullptr));
    CancelAfterRows cancel(std::chrono::milliseconds(200));
    cancel.report(100);
    EXPECT_EQ(BorderExtractor::extract(connection.get(), &cancel).getPointCount(), 0u);
    EXPECT_LT(secondsSince(cancel.cancelAt), bound);
    connection.reset();

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

// Quads as 3DFACEs with four corners.
std::string quadDrawingOf(const std::vector<std::array<Point3D, 4>>& quads)
{
    std::string text = "0\nSECTION\n2\nENTITIES\n";
    auto group = [&text](int code, double value) {
        char number[32];
        std::snprintf(number, sizeof number, "%.17g", value);
        text += std::to_string(code) + "\n" + number + "\n";
    };
    for (const auto& quad : quads) {
        text += "0\n3DFACE\n8\nTIN\n";
        for (unsigned k = 0; k < 4; ++k) {
            group(10 + k, quad[k].y());
            group(20 + k, quad[k].x());
            group(30 + k, quad[k].z());
        }
    }
    return text + "0\nENDSEC\n0\nEOF\n";
}

// The drawing whose 3DFACEs are read as these triangles (the drawing's Y is north, its X east); each face
// gives its third corner again as the fourth.
std::string drawingOf(const std::vector<Triangle3D>& triangles)
{
    std::vector<std::array<Point3D, 4>> quads;
    for (const Triangle3D& triangle : triangles)
        quads.push_back(
            { triangle.getVertex(0), triangle.getVertex(1), triangle.getVertex(2), triangle.getVertex(2) });
    return quadDrawingOf(quads);
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

// Unit squares over [x, x + n] x [y, y + n], two triangles each.
std::vector<Triangle3D> meshOf(double x, double y, int n)
{
    std::vector<Triangle3D> faces;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            faces.push_back(tri(x + i, y + j, x + i + 1, y + j, x + i + 1, y + j + 1));
            faces.push_back(tri(x + i, y + j, x + i + 1, y + j + 1, x + i, y + j + 1));
        }
    return faces;
}

// [0, 4]² with a hole shaped like an arrowhead pointing to smaller x, (3, 1), (1, 2), (3, 3) and its notch
// (2, 2). Face 0 fills the notch, so that the descent from it ends at (2, 2), on the hole's rim only.
std::vector<Triangle3D> arrowheadHole()
{
    return { tri(2, 2, 3, 1, 3, 3), tri(0, 0, 4, 0, 3, 1), tri(0, 0, 3, 1, 1, 2), tri(0, 0, 1, 2, 0, 4),
             tri(1, 2, 3, 3, 0, 4), tri(3, 3, 4, 4, 0, 4), tri(3, 1, 4, 0, 4, 4), tri(3, 1, 4, 4, 3, 3) };
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

namespace {

// Whether two faces share ground or a point of it (seen from above): no line of an edge of either leaves
// the other wholly outside.
bool touch(const Triangle3D& a, const Triangle3D& b)
{
    auto apart = [](const Pelko::Corvex::Triangle2D& p, const Pelko::Corvex::Triangle2D& q) {
        const int turn = p.orientation();
        for (unsigned k = 0; k < 3; ++k) {
            bool outside = true;
            for (unsigned i = 0; i < 3 && outside; ++i)
                outside = turn
                        * Pelko::Corvex::Triangle2D(p.getVertex(k), p.getVertex((k + 1) % 3), q.getVertex(i))
                              .orientation()
                    < 0;
            if (outside)
                return true;
        }
        return false;
    };
    const Pelko::Corvex::Triangle2D p = a.xoyProjection(), q = b.xoyProjection();
    return !apart(p, q) && !apart(q, p);
}

// The faces with an area in parts of ground that meets, largest (by the ground it covers) first.
std::vector<std::vector<Triangle3D>> groundParts(const std::vector<Triangle3D>& faces)
{
    std::vector<Triangle3D> covering;
    for (const Triangle3D& face : faces)
        if (!face.xoyProjection().isDegenerate())
            covering.push_back(face);
    std::vector<size_t> part(covering.size());
    std::iota(part.begin(), part.end(), 0);
    std::function<size_t(size_t)> root = [&](size_t i) { return part[i] == i ? i : part[i] = root(part[i]); };
    for (size_t i = 0; i < covering.size(); ++i)
        for (size_t j = i + 1; j < covering.size(); ++j)
            if (touch(covering[i], covering[j]))
                part[root(i)] = root(j);
    std::map<size_t, std::vector<Triangle3D>> byRoot;
    for (size_t i = 0; i < covering.size(); ++i)
        byRoot[root(i)].push_back(covering[i]);
    std::vector<std::vector<Triangle3D>> parts;
    for (auto& entry : byRoot)
        parts.push_back(std::move(entry.second));
    std::stable_sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
        return tinGroundAreas(a, Polygon()).first > tinGroundAreas(b, Polygon()).first;
    });
    return parts;
}

// Empty when the border is the convex hull of the corners of every face, otherwise why not. Of many faces,
// every few may be tried for lying inside.
std::string hullFault(const std::vector<Triangle3D>& faces, const Polygon& border, size_t tryEvery = 1)
{
    std::vector<Triangle3D> tried;
    for (size_t i = 0; i < faces.size(); i += tryEvery)
        tried.push_back(faces[i]);
    const std::string outside = tinFacesOutsideBorder(tried, border);
    if (!outside.empty())
        return outside;
    std::set<std::pair<double, double>> corners;
    for (const Triangle3D& face : faces)
        for (unsigned k = 0; k < 3; ++k)
            corners.emplace(face.getVertex(k).x(), face.getVertex(k).y());
    const unsigned n = border.getPointCount();
    for (unsigned i = 0; i < n; ++i) {
        const Pelko::Corvex::Point &a = border.getPoint(i), &b = border.getPoint((i + 1) % n),
                                   &c = border.getPoint((i + 2) % n);
        if (!corners.count({ b.getX(), b.getY() }))
            return "a corner of the hull is no corner of a face";
        if (Pelko::Corvex::Triangle2D(a, b, c).orientation() <= 0)
            return "the hull does not turn left at every corner";
    }
    return n >= 3 ? std::string() : "no hull";
}

// What the border of the faces must be, checked on the border and the outcome: every face of the largest
// part of ground inside it or on it and the border along the faces, the parts counted, and the share told
// the share it encloses. Where the outcome says so, the convex hull of the corners of every face instead.
// Empty when no two edges of the ring meet but at a corner they share (the ring may pass a corner more
// than once), otherwise where they do; decided with exact orientations.
std::string ringCrossing(const Polygon& border)
{
    const unsigned n = border.getPointCount();
    auto orientation
        = [](const Pelko::Corvex::Point& a, const Pelko::Corvex::Point& b, const Pelko::Corvex::Point& c) {
              return Pelko::Corvex::Triangle2D(a, b, c).orientation();
          };
    auto same = [](const Pelko::Corvex::Point& a, const Pelko::Corvex::Point& b) {
        return a.getX() == b.getX() && a.getY() == b.getY();
    };
    // p on the segment ab, p collinear with it.
    auto within
        = [](const Pelko::Corvex::Point& a, const Pelko::Corvex::Point& b, const Pelko::Corvex::Point& p) {
              return std::min(a.getX(), b.getX()) <= p.getX() && p.getX() <= std::max(a.getX(), b.getX())
                  && std::min(a.getY(), b.getY()) <= p.getY() && p.getY() <= std::max(a.getY(), b.getY());
          };
    for (unsigned i = 0; i < n; ++i)
        for (unsigned j = i + 1; j < n; ++j) {
            const Pelko::Corvex::Point &a = border[i], &b = border[(i + 1) % n], &c = border[j],
                                       &d = border[(j + 1) % n];
            const int abc = orientation(a, b, c), abd = orientation(a, b, d), cda = orientation(c, d, a),
                      cdb = orientation(c, d, b);
            const bool shared = same(a, c) || same(a, d) || same(b, c) || same(b, d);
            bool meet = abc * abd < 0 && cda * cdb < 0;
            if (!shared)
                meet = meet || (abc == 0 && within(a, b, c)) || (abd == 0 && within(a, b, d))
                    || (cda == 0 && within(c, d, a)) || (cdb == 0 && within(c, d, b));
            else if (abc == 0 && abd == 0)
                // Along one line from a shared corner: they overlap where either end lies inside the other.
                meet = (!same(c, a) && !same(c, b) && within(a, b, c))
                    || (!same(d, a) && !same(d, b) && within(a, b, d))
                    || (!same(a, c) && !same(a, d) && within(c, d, a))
                    || (!same(b, c) && !same(b, d) && within(c, d, b));
            if (meet)
                return "the ring's edges " + std::to_string(i) + " and " + std::to_string(j) + " meet";
        }
    return "";
}

void expectGroundBorder(const std::vector<Triangle3D>& faces, const Polygon& border,
                        const BorderCoverage& coverage)
{
    // Every pair of edges: small rings only.
    if (border.getPointCount() <= 2000) {
        EXPECT_EQ(ringCrossing(border), "");
    }
    const std::vector<std::vector<Triangle3D>> parts = groundParts(faces);
    ASSERT_FALSE(parts.empty());
    const std::pair<double, double> ground = tinGroundAreas(faces, border);
    if (coverage.hull) {
        EXPECT_EQ(hullFault(faces, border), "");
        // Counted through shared corners: faces that cross may be counted apart.
        EXPECT_GE(coverage.parts, static_cast<int>(parts.size()));
        EXPECT_EQ(coverage.enclosedShare, 1);
        EXPECT_NEAR(ground.second / ground.first, 1, 1e-9);
        return;
    }
    EXPECT_EQ(tinFacesOutsideBorder(parts[0], border), "");
    EXPECT_EQ(tinBorderOffFaces(faces, border), "");
    EXPECT_EQ(coverage.parts, static_cast<int>(parts.size()));
    EXPECT_TRUE(coverage.enclosesPart);
    EXPECT_NEAR(coverage.enclosedShare, ground.second / ground.first, 1e-9);
}

double roundedToMillimetres(double value)
{
    return std::round(value * 1000) / 1000;
}

} // namespace

TEST(BorderExtractor, DrawingBorderIsItsOuterBorder)
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
    // Corners on the long edge of a triangle that reaches the border from both ends: containment counts the
    // triangle on the edge from one end to the other, which is no border edge.
    drawings.emplace_back("T-junction at the border", drawingOf(tJunctionAtTheBorder()));
    // A face given twice is one face; containment counts its edges twice.
    std::vector<Triangle3D> twice = gridWithTJunctions();
    twice.push_back(twice[5]);
    drawings.emplace_back("a face twice", drawingOf(twice));
    // Faces that overlap have no border of whole edges; whatever it is, it is the stored walk's.
    drawings.emplace_back("crossing faces", drawingOf({ tri(0, 0, 4, 0, 2, 3), tri(0, 2, 2, -1, 4, 2) }));
    // A mesh with a fifth of its faces given again, their corners in another order: one surface.
    std::vector<Triangle3D> repeated = meshOf(0, 0, 10);
    for (int i = 0; i < 20; ++i) {
        const Triangle3D face = repeated[9 * i];
        repeated.emplace_back(face.getVertex(2), face.getVertex(0), face.getVertex(1));
    }
    drawings.emplace_back("faces given again", drawingOf(repeated));
    // Faces that overlap, and a face given twice, beside faces whose corners lie on edges at the border:
    // neither takes them along to the stored walk, which would cut them in half.
    std::vector<Triangle3D> besideOverlap = tJunctionAtTheBorder();
    besideOverlap.push_back(tri(10, 0, 12, 0, 11, 2));
    besideOverlap.push_back(tri(10, 0, 12, 1, 10.5, 2));
    besideOverlap.push_back(tri(6, 0, 7, 0, 7, 1));
    besideOverlap.push_back(tri(7, 1, 6, 0, 7, 0));
    drawings.emplace_back("T-junctions beside an overlap", drawingOf(besideOverlap));
    // The descent from face 0 ends on the rim of a hole.
    drawings.emplace_back("a hole first", drawingOf(arrowheadHole()));
    // A face inside the fan, with a corner on an edge two of the fan's faces share: it overlaps them, away
    // from the border.
    std::vector<Triangle3D> fanAndMore = fanFaces(300);
    fanAndMore.push_back(tri(100, 50, 110, 40, 110, 60));
    drawings.emplace_back("a corner on a fan's edge", drawingOf(fanAndMore));
    // Faces that overlap have no border of whole edges: theirs goes round the ground they cover. The
    // drawings rounded to millimetres at survey coordinates hold a sliver along the border that overlaps
    // its neighbour, where faces meet at a corner; two meshes there overlap without a corner in common.
    const std::set<std::string> overlapping { "crossing faces",
                                              "T-junctions beside an overlap",
                                              "a corner on a fan's edge",
                                              "mm_min_m00002.dxf",
                                              "mm_min_m00138.dxf",
                                              "mm_pinch_sliver3.dxf",
                                              "overlap_parts_no_corner.dxf",
                                              "moved_corner_cross_survey.dxf",
                                              "moved_corner_spike_local.dxf",
                                              "moved_corner_winding2_local.dxf" };

    TempFolder temp;
    for (const auto& [name, text] : drawings) {
        SCOPED_TRACE(name);
        const std::string path = temp.file("drawing.qvr");
        ASSERT_TRUE(convertText(text, path));
        ConnectionPtr connection = open(path);
        const std::vector<Triangle3D> triangles = TriangleRTreeControl::getAllTriangles(connection.get());
        const Polygon storedWalk = BorderExtractor::extract(connection.get());
        const Polygon written = BorderControl::getPolygon(connection.get());
        // The rows are not needed.
        BorderCoverage coverage;
        EXPECT_EQ(points(BorderExtractor::extract(triangles, nullptr, nullptr, &coverage)), points(written));
        EXPECT_EQ(coverage.overlapping, overlapping.count(name) == 1);
        if (coverage.overlapping) {
            expectGroundBorder(triangles, written, coverage);
            continue;
        }
        EXPECT_EQ(tinBorderFault(path), "");
        // Where the stored walk's border is sound, it is this one.
        if (tinBorderFault(triangles, storedWalk).empty()) {
            EXPECT_EQ(points(written), points(storedWalk));
        }
    }

    const Pairs square { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 4, 0 }, { 4, 1 }, { 4, 2 }, { 4, 3 },
                         { 4, 4 }, { 3, 4 }, { 2, 4 }, { 1, 4 }, { 0, 4 }, { 0, 3 }, { 0, 2 }, { 0, 1 } };
    EXPECT_EQ(points(BorderExtractor::extract(gridWithTJunctions(), nullptr, nullptr)), square);
    const Pairs rectangle { { 0, 0 }, { 2, 0 }, { 3, 0 }, { 4, 0 }, { 4, 1 }, { 4, 2 },
                            { 4, 3 }, { 4, 4 }, { 3, 4 }, { 2, 4 }, { 0, 4 } };
    EXPECT_EQ(points(BorderExtractor::extract(tJunctionAtTheBorder(), nullptr, nullptr)), rectangle);
    EXPECT_EQ(points(BorderExtractor::extract(repeated, nullptr, nullptr)),
              points(BorderExtractor::extract(meshOf(0, 0, 10), nullptr, nullptr)));
    EXPECT_EQ(points(BorderExtractor::extract(besideOverlap, nullptr, nullptr)), rectangle);
    EXPECT_EQ(points(BorderExtractor::extract(arrowheadHole(), nullptr, nullptr)),
              (Pairs { { 0, 0 }, { 4, 0 }, { 4, 4 }, { 0, 4 } }));

    // Where the faces that overlap are the largest part, the border goes round their ground, as it does
    // round them alone.
    const std::vector<Triangle3D> overlap { tri(10, 0, 20, 0, 15, 8), tri(10, 0, 20, 4, 12, 9) };
    std::vector<Triangle3D> squareFirst = gridWithTJunctions();
    squareFirst.insert(squareFirst.end(), overlap.begin(), overlap.end());
    const std::string alone = temp.file("alone.qvr");
    ASSERT_TRUE(TrianglesWriter::write(overlap, alone, nullptr));
    ConnectionPtr connection = open(alone);
    const Polygon storedAlone = BorderControl::getPolygon(connection.get());
    EXPECT_EQ(tinFacesOutsideBorder(overlap, storedAlone), "");
    BorderCoverage coverage;
    const Polygon border = BorderExtractor::extract(squareFirst, nullptr, nullptr, &coverage);
    EXPECT_EQ(points(border), points(storedAlone));
    expectGroundBorder(squareFirst, border, coverage);
}

namespace {

double totalArea(const std::vector<Triangle3D>& triangles)
{
    double area = 0;
    for (const Triangle3D& triangle : triangles)
        area += triangle.xoyProjection().area();
    return area;
}

double enclosedArea(const Pairs& border)
{
    double twice = 0;
    for (size_t i = 0; i < border.size(); ++i) {
        const auto& a = border[i];
        const auto& b = border[(i + 1) % border.size()];
        twice += a.first * b.second - b.first * a.second;
    }
    return std::fabs(twice) / 2;
}

// Squares cut into four at random down to side 1, each square at the end two faces along one of its
// diagonals: the corners of small squares lie on the edges of larger ones beside them.
void squares(std::mt19937& random, double x, double y, double side, std::vector<Triangle3D>& faces)
{
    if (side > 1 && random() % 3 != 0) {
        const double half = side / 2;
        for (int i = 0; i < 4; ++i)
            squares(random, x + half * (i % 2), y + half * (i / 2), half, faces);
    } else if (random() % 2) {
        faces.push_back(tri(x, y, x + side, y, x + side, y + side));
        faces.push_back(tri(x, y, x + side, y + side, x, y + side));
    } else {
        faces.push_back(tri(x, y, x + side, y, x, y + side));
        faces.push_back(tri(x + side, y, x + side, y + side, x, y + side));
    }
}

} // namespace

TEST(BorderExtractor, FacesWithCornersOnEachOthersEdgesHaveTheirOuterBorder)
{
    std::vector<std::pair<std::string, std::vector<Triangle3D>>> drawings;
    drawings.emplace_back("T-junction at the border", tJunctionAtTheBorder());
    // The border passes (2, 2) on the long edge of a triangle below it.
    drawings.emplace_back("L",
                          std::vector<Triangle3D> { tri(0, 0, 4, 0, 4, 2), tri(0, 0, 4, 2, 0, 2),
                                                    tri(0, 2, 2, 2, 2, 4), tri(0, 2, 2, 4, 0, 4) });
    // Two faces that share a part of an edge, each with a corner on the other's edge.
    drawings.emplace_back("a part of an edge shared",
                          std::vector<Triangle3D> { tri(1, 1, 0, 0, 1, 4), tri(1, 3, 1, 0, 2, 0) });
    // One face along a whole fan's border: every corner of the fan there lies on its long edge.
    std::vector<Triangle3D> covered = fanFaces(300);
    covered.push_back(tri(0, 0, 300, 300, 0, 300));
    drawings.emplace_back("a fan's border on one edge", covered);
    // Faces across the fan's border, each over two of the fan's faces: a saw along it.
    std::vector<Triangle3D> saw = fanFaces(300);
    for (int i = 0; i < 300; i += 2)
        saw.push_back(tri(i, i, i + 2, i + 2, i, i + 2));
    drawings.emplace_back("a saw along a fan", saw);
    // Faces that meet only at a corner, either first: the border passes that corner twice.
    const std::vector<Triangle3D> corner { tri(0, 0, 1, 0, 1, 1), tri(1, 1, 2, 1, 2, 2) };
    drawings.emplace_back("two faces at a corner", corner);
    drawings.emplace_back("two faces at a corner, the other first",
                          std::vector<Triangle3D> { corner[1], corner[0] });
    std::vector<Triangle3D> meshes = meshOf(0, 0, 5), upper = meshOf(5, 5, 5);
    meshes.insert(meshes.end(), upper.begin(), upper.end());
    drawings.emplace_back("two meshes at a corner", meshes);
    std::rotate(meshes.begin(), meshes.begin() + 50, meshes.end());
    drawings.emplace_back("two meshes at a corner, the other first", meshes);
    // A corner of one face on the edge of another, from outside: they too meet only there.
    drawings.emplace_back("a corner on an edge from outside",
                          std::vector<Triangle3D> { tri(0, 0, 2, 0, 1, 1), tri(1, 0, 2, -1, 0, -1) });
    // Squares over [0, 8]², or three quarters of it, cut at random; far from the origin too.
    std::mt19937 random(5);
    for (int drawing = 0; drawing < 40; ++drawing) {
        std::vector<Triangle3D> faces;
        const double x = drawing % 2 ? 4084594.125 : 0, y = drawing % 2 ? 512370.5 : 0;
        const int left = static_cast<int>(random() % 5);
        for (int quarter = 0; quarter < 4; ++quarter)
            if (quarter != left)
                squares(random, x + 4 * (quarter % 2), y + 4 * (quarter / 2), 4, faces);
        drawings.emplace_back("squares " + std::to_string(drawing), faces);
    }

    TempFolder temp;
    for (const auto& [name, faces] : drawings) {
        SCOPED_TRACE(name);
        const Polygon border = BorderExtractor::extract(faces, nullptr, nullptr);
        EXPECT_EQ(tinBorderFault(faces, border), "");
        EXPECT_NEAR(enclosedArea(points(border)), totalArea(faces), 1e-9 * totalArea(faces));
        const std::string path = temp.file("drawing.qvr");
        ASSERT_TRUE(convertText(drawingOf(faces), path));
        EXPECT_EQ(tinBorderFault(path), "");
        ConnectionPtr connection = open(path);
        EXPECT_EQ(points(BorderControl::getPolygon(connection.get())), points(border));
    }
    EXPECT_EQ(points(BorderExtractor::extract(drawings[1].second, nullptr, nullptr)),
              (Pairs { { 0, 0 }, { 4, 0 }, { 4, 2 }, { 2, 2 }, { 2, 4 }, { 0, 4 }, { 0, 2 } }));
    EXPECT_EQ(points(BorderExtractor::extract(corner, nullptr, nullptr)),
              (Pairs { { 0, 0 }, { 1, 1 }, { 2, 2 }, { 2, 1 }, { 1, 1 }, { 1, 0 } }));
}

TEST(BorderExtractor, TriangulationsWithCutTrianglesHaveTheirOuterBorder)
{
    // Triangulations of points with even coordinates, where triangles beside some edges are cut in two at
    // the edge's midpoint while the triangle across it stays whole: the midpoint is a corner on its edge.
    std::mt19937 random(17);
    std::uniform_int_distribution<int> coordinate(0, 20);
    int cut = 0;
    for (int drawing = 0; drawing < 60; ++drawing) {
        SCOPED_TRACE("drawing " + std::to_string(drawing));
        const double offset = drawing % 3 == 0 ? 4084594.0 : 0;
        std::vector<Point3D> corners;
        for (int i = 0; i < 25; ++i)
            corners.emplace_back(offset + 2 * coordinate(random), 2 * coordinate(random), 0);
        Delaunay delaunay(corners);
        delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
        const std::vector<Triangle3D> whole = delaunay.getAllTriangles();
        std::vector<bool> changed(whole.size(), false), removed(whole.size(), false);
        std::vector<Triangle3D> faces;
        for (size_t t = 0; t < whole.size(); ++t)
            for (size_t u = 0; u < whole.size(); ++u) {
                if (changed[t] || changed[u] || t == u || random() % 4 != 0)
                    continue;
                // The edge t and u share, and u's corner across it.
                std::vector<Point3D> shared;
                Point3D across;
                for (unsigned k = 0; k < 3; ++k) {
                    const Point3D corner = whole[u].getVertex(k);
                    bool inT = false;
                    for (unsigned j = 0; j < 3; ++j)
                        inT = inT
                            || (whole[t].getVertex(j).x() == corner.x()
                                && whole[t].getVertex(j).y() == corner.y());
                    if (inT)
                        shared.push_back(corner);
                    else
                        across = corner;
                }
                if (shared.size() != 2)
                    continue;
                const Point3D middle((shared[0].x() + shared[1].x()) / 2, (shared[0].y() + shared[1].y()) / 2,
                                     0);
                faces.emplace_back(shared[0], middle, across);
                faces.emplace_back(middle, shared[1], across);
                changed[t] = changed[u] = removed[u] = true;
                ++cut;
            }
        for (size_t t = 0; t < whole.size(); ++t)
            if (!removed[t])
                faces.push_back(whole[t]);
        const Polygon border = BorderExtractor::extract(faces, nullptr, nullptr);
        EXPECT_EQ(tinBorderFault(faces, border), "");
        EXPECT_NEAR(enclosedArea(points(border)), totalArea(faces), 1e-9 * totalArea(faces));
    }
    EXPECT_GE(cut, 100);
}

TEST(BorderExtractor, DrawingWalkedInMemoryIsTheStoredWalkWhereThatIsSound)
{
    // A few faces with corners on a small grid: overlaps, corners on edges, faces given twice, flat faces
    // and faces touching at a corner abound.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> coordinate(0, 4), count(1, 12);
    TempFolder temp;
    const std::string path = temp.file("random.qvr");
    int mended = 0;
    for (int drawing = 0; drawing < 100; ++drawing) {
        std::vector<Triangle3D> faces;
        for (int n = count(random); n > 0; --n) {
            double c[6];
            for (double& value : c)
                value = coordinate(random);
            faces.push_back(tri(c[0], c[1], c[2], c[3], c[4], c[5]));
        }
        ASSERT_TRUE(TrianglesWriter::write(faces, path, nullptr));
        ConnectionPtr connection = open(path);
        const Polygon walked = BorderExtractor::extract(faces, connection.get(), nullptr);
        const Polygon storedWalk = BorderExtractor::extract(connection.get());
        // Containment counts a face along the whole of an edge that corners of other faces cut, and the
        // stored walk goes round face 0's part: where it goes wrong so, the walk in memory finds the sound
        // border, and where it is sound, so is the walk in memory. Faces that overlap are not looked for
        // there: their border goes round their ground.
        BorderCoverage coverage;
        BorderExtractor::extract(faces, nullptr, nullptr, &coverage);
        if (coverage.overlapping)
            continue;
        if (tinBorderFault(faces, storedWalk).empty()) {
            EXPECT_EQ(tinBorderFault(faces, walked), "") << "drawing " << drawing;
        } else if (tinBorderFault(faces, walked).empty()) {
            ++mended;
        }
    }
    EXPECT_GE(mended, 1);
}

TEST(BorderExtractor, OverlappingFacesAreInsideTheBorderAndTheShareIsMeasured)
{
    std::vector<std::pair<std::string, std::vector<Triangle3D>>> drawings;
    // A face along a border edge, its third corner just inside, as rounding a flat face to millimetres
    // makes it: it overlaps the face of that edge, where the walk's ring came back to a corner where faces
    // meet only there and closed early.
    const Triangle3D sliver = tri(0, 0, 1, 0, 0.5, 0.001);
    drawings.emplace_back("a corner between two triangles and a sliver",
                          std::vector<Triangle3D> { tri(0, 0, 1, 0, 1, 1), tri(1, 1, 2, 1, 2, 2), sliver });
    std::vector<Triangle3D> meshes = meshOf(0, 0, 5), upper = meshOf(5, 5, 5);
    meshes.insert(meshes.end(), upper.begin(), upper.end());
    meshes.push_back(sliver);
    drawings.emplace_back("two meshes at a corner and a sliver", meshes);
    // A face across a mesh, sharing no corner with it, sticking out on both sides; its edges cross the
    // mesh's where no pair of doubles is.
    std::vector<Triangle3D> crossed = meshOf(0, 0, 4);
    crossed.push_back(tri(-1, 1, 5, 1.3, 2, 2.9));
    drawings.emplace_back("a face across a mesh", crossed);
    // Parts whose faces overlap without a corner in common are one part; a third lies apart.
    std::vector<Triangle3D> overlapping = meshOf(0, 0, 4), other = meshOf(3.5, 0.25, 4),
                            apart = meshOf(20, 0, 1);
    overlapping.insert(overlapping.end(), other.begin(), other.end());
    overlapping.insert(overlapping.end(), apart.begin(), apart.end());
    drawings.emplace_back("overlapping parts", overlapping);
    // The same at survey coordinates.
    std::vector<Triangle3D> far;
    for (const Triangle3D& face : crossed) {
        Point3D c[3];
        for (unsigned k = 0; k < 3; ++k)
            c[k] = Point3D(4084594.125 + face.getVertex(k).x(), 512370.5 + face.getVertex(k).y(), 0);
        far.emplace_back(c[0], c[1], c[2]);
    }
    drawings.emplace_back("a face across a mesh, far out", far);
    // A face inside a mesh, sharing no corner with it: the same ground, one part.
    std::vector<Triangle3D> inside = meshOf(0, 0, 4);
    inside.push_back(tri(0.5, 0.5, 3.5, 1.5, 1.5, 3.25));
    drawings.emplace_back("a face inside a mesh", inside);
    // A face lying over a mesh from a corner of its border.
    std::vector<Triangle3D> overCorner = meshOf(0, 0, 3);
    overCorner.push_back(tri(0, 0, 2.5, 0.5, 0.5, 2.5));
    drawings.emplace_back("a face over a mesh from its corner", overCorner);

    TempFolder temp;
    for (const auto& [name, faces] : drawings) {
        SCOPED_TRACE(name);
        BorderCoverage coverage;
        const Polygon border = BorderExtractor::extract(faces, nullptr, nullptr, &coverage);
        expectGroundBorder(faces, border, coverage);
        EXPECT_TRUE(coverage.overlapping);
        // A conversion stores that border and says so.
        const std::string path = temp.file("overlap.qvr");
        const std::string text = drawingOf(faces);
        MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
        const DxfConversion result = TrianglesWriter::convertDrawing(file, path, nullptr);
        EXPECT_EQ(result.outcome, DxfConversion::Converted);
        EXPECT_TRUE(result.overlapping);
        EXPECT_EQ(result.parts, coverage.parts);
        EXPECT_EQ(result.borderShare, coverage.enclosedShare);
        ConnectionPtr connection = open(path);
        EXPECT_EQ(points(BorderControl::getPolygon(connection.get())), points(border));
    }
    // The ground's border runs counterclockwise from its least corner.
    EXPECT_EQ(points(BorderExtractor::extract(drawings[0].second, nullptr, nullptr)),
              (Pairs { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 2, 1 }, { 2, 2 }, { 1, 1 } }));

    // A four-cornered face given again with its corners reversed, and a grid of them each given twice so:
    // one face each, where the second was split along the other diagonal, its two triangles over the
    // first two, and the border was one point.
    auto quad = [](double x, double y, double side, bool reversed) {
        std::array<Point3D, 4> q { Point3D(x, y, 1), Point3D(x + side, y, 2), Point3D(x + side, y + side, 4),
                                   Point3D(x, y + side, 3) };
        if (reversed)
            std::reverse(q.begin(), q.end());
        return q;
    };
    std::vector<std::array<Point3D, 4>> grid;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            for (bool reversed : { false, true })
                grid.push_back(quad(i, j, 1, reversed));
    for (const auto& quads :
         { std::vector<std::array<Point3D, 4>> { quad(0, 0, 10, false), quad(0, 0, 10, true) }, grid }) {
        const std::string path = temp.file("quads.qvr");
        const std::string text = quadDrawingOf(quads);
        MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
        const DxfConversion result = TrianglesWriter::convertDrawing(file, path, nullptr);
        EXPECT_EQ(result.outcome, DxfConversion::Converted);
        EXPECT_EQ(result.parts, 1);
        EXPECT_EQ(result.borderShare, 1);
        ConnectionPtr connection = open(path);
        const std::vector<Triangle3D> rows = TriangleRTreeControl::getAllTriangles(connection.get());
        const Polygon border = BorderControl::getPolygon(connection.get());
        EXPECT_EQ(tinFacesOutsideBorder(rows, border), "");
        EXPECT_NEAR(enclosedArea(points(border)), quads.size() == 2 ? 100 : 36, 1e-9);
    }

    // Drawings of triangulated points, some of them near the line between two others, rounded to
    // millimetres: faces turn over and overlap.
    std::mt19937 random(23);
    std::uniform_real_distribution<double> coordinate(0, 10), share(0, 1);
    int overlapped = 0;
    for (int drawing = 0; drawing < 60; ++drawing) {
        SCOPED_TRACE("rounded drawing " + std::to_string(drawing));
        std::vector<Point3D> corners;
        for (int i = 0; i < 12; ++i)
            corners.emplace_back(coordinate(random), coordinate(random), 0);
        for (int i = 0; i < 12; ++i) {
            const Point3D &a = corners[random() % 12], &b = corners[random() % 12];
            const double s = share(random);
            corners.emplace_back(a.x() + s * (b.x() - a.x()) + 0.0004 * (share(random) - 0.5),
                                 a.y() + s * (b.y() - a.y()) + 0.0004 * (share(random) - 0.5), 0);
        }
        Delaunay delaunay(corners);
        delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
        std::vector<Triangle3D> faces;
        for (const Triangle3D& face : delaunay.getAllTriangles()) {
            Point3D c[3];
            for (unsigned k = 0; k < 3; ++k)
                c[k] = Point3D(roundedToMillimetres(face.getVertex(k).x()),
                               roundedToMillimetres(face.getVertex(k).y()), 0);
            faces.emplace_back(c[0], c[1], c[2]);
        }
        BorderCoverage coverage;
        const Polygon border = BorderExtractor::extract(faces, nullptr, nullptr, &coverage);
        expectGroundBorder(faces, border, coverage);
        overlapped += coverage.overlapping;
    }
    EXPECT_GE(overlapped, 1);

    // A few faces with corners on a small grid: overlaps, crossings, faces given twice, flat faces and
    // faces touching at a corner abound.
    std::uniform_int_distribution<int> small(0, 4), count(1, 12);
    for (int drawing = 0; drawing < 200; ++drawing) {
        SCOPED_TRACE("grid drawing " + std::to_string(drawing));
        std::vector<Triangle3D> faces;
        for (int n = count(random); n > 0; --n) {
            double c[6];
            for (double& value : c)
                value = small(random);
            faces.push_back(tri(c[0], c[1], c[2], c[3], c[4], c[5]));
        }
        BorderCoverage coverage;
        const Polygon border = BorderExtractor::extract(faces, nullptr, nullptr, &coverage);
        if (coverage.parts > 0)
            expectGroundBorder(faces, border, coverage);
    }
}

namespace {

// An n x n grid of squares of two faces each at survey coordinates; with jitter every corner of every face
// moved on its own by up to that much in x and y, as a drawing written face by face with its own rounding.
std::vector<Triangle3D> surveyMesh(int n, double jitter, unsigned seed = 5)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> move(-jitter, jitter);
    auto corner = [&](int i, int j) {
        return Point3D(500000.25 + 2 * i + move(random), 4000000.5 + 2 * j + move(random), 100);
    };
    std::vector<Triangle3D> faces;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            faces.emplace_back(corner(i, j), corner(i + 1, j), corner(i + 1, j + 1));
            faces.emplace_back(corner(i, j), corner(i + 1, j + 1), corner(i, j + 1));
        }
    return faces;
}

// n long thin faces through one centre at survey coordinates, each at its own angle: every two cross.
std::vector<Triangle3D> crossingFaces(int n)
{
    std::vector<Triangle3D> faces;
    const double pi = std::acos(-1.0), cx = 500000.25, cy = 4000000.5;
    for (int i = 0; i < n; ++i) {
        const double a = pi * (i + 0.5) / n, ux = std::cos(a), uy = std::sin(a);
        faces.emplace_back(Point3D(cx + 100 * ux, cy + 100 * uy, 1),
                           Point3D(cx - 100 * ux - 0.5 * uy, cy - 100 * uy + 0.5 * ux, 1),
                           Point3D(cx - 100 * ux + 0.5 * uy, cy - 100 * uy - 0.5 * ux, 1));
    }
    return faces;
}

} // namespace

TEST(BorderExtractor, CornersLessThanAHundredthOfAMillimetreApartAreOne)
{
    {
        // A fan written with shared corners at first, face by face after: taken for shared as it is read,
        // its faces' long edges each pass many corners, too many to cut the outlines at; joined near first,
        // the faces are one fan again.
        const double cx = 500000.25, cy = 4000000.5;
        std::vector<Triangle3D> fan;
        const int n = 3000;
        unsigned jitter = 1;
        auto moved = [&](double value, bool move) {
            jitter = jitter * 1103515245u + 12345u;
            return move ? value + ((jitter >> 8) % 2001 - 1000.0) * 1e-9 : value;
        };
        for (int i = 0; i < n; ++i) {
            const bool move = i >= 1100;
            const double a = 2 * std::acos(-1.0) * i / n, b = 2 * std::acos(-1.0) * (i + 1) / n;
            fan.emplace_back(
                Point3D(moved(cx, move), moved(cy, move), 1),
                Point3D(moved(cx + 100 * std::cos(a), move), moved(cy + 100 * std::sin(a), move), 1),
                Point3D(moved(cx + 100 * std::cos(b), move), moved(cy + 100 * std::sin(b), move), 1));
        }
        BorderCoverage coverage;
        const Polygon border = BorderExtractor::extract(fan, nullptr, nullptr, &coverage);
        EXPECT_EQ(coverage.parts, 1);
        EXPECT_FALSE(coverage.hull);
        EXPECT_GT(coverage.joinedCorners, 0u);
        EXPECT_EQ(border.getPointCount(), unsigned(n));
    }
    // A mesh written face by face: every corner of every face moved on its own by up to a micrometre. Its
    // faces met nowhere and made hundreds of parts. Small, its corners are joined exactly first; larger, as
    // they are read.
    for (const int side : { 12, 30 }) {
        SCOPED_TRACE(side);
        const std::vector<Triangle3D> shared = surveyMesh(side, 0), apart = surveyMesh(side, 1e-6);
        BorderCoverage sharedCoverage, apartCoverage;
        const Polygon sharedBorder = BorderExtractor::extract(shared, nullptr, nullptr, &sharedCoverage);
        const Polygon apartBorder = BorderExtractor::extract(apart, nullptr, nullptr, &apartCoverage);
        if (side == 12)
            expectGroundBorder(shared, sharedBorder, sharedCoverage);
        EXPECT_EQ(sharedCoverage.joinedCorners, 0u);
        EXPECT_EQ(apartCoverage.parts, 1);
        EXPECT_FALSE(apartCoverage.hull);
        EXPECT_TRUE(apartCoverage.enclosesPart);
        EXPECT_EQ(apartCoverage.enclosedShare, 1);
        // 3 corners a face, (side + 1)² places.
        EXPECT_EQ(apartCoverage.joinedCorners, 3 * shared.size() - (side + 1) * (side + 1));
        // The same ring, each corner one of those joined at its place.
        ASSERT_EQ(apartBorder.getPointCount(), sharedBorder.getPointCount());
        for (unsigned i = 0; i < sharedBorder.getPointCount(); ++i) {
            double nearest = 1;
            for (unsigned k = 0; k < apartBorder.getPointCount(); ++k)
                nearest = std::min(nearest,
                                   std::hypot(apartBorder[k].getX() - sharedBorder[i].getX(),
                                              apartBorder[k].getY() - sharedBorder[i].getY()));
            EXPECT_LE(nearest, 2e-6);
        }
    }

    // Two faces along one diagonal, the second moved off it: by 3 micrometres one surface, the moved
    // corner at the far end of it the second face's own; by 30 micrometres two.
    for (const double off : { 3e-6, 3e-5 }) {
        SCOPED_TRACE(off);
        const std::vector<Triangle3D> faces { tri(0, 0, 1, 0, 1, 1),
                                              tri(-off, off, 1 - off, 1 + off, -off, 1 + off) };
        BorderCoverage coverage;
        const Polygon border = BorderExtractor::extract(faces, nullptr, nullptr, &coverage);
        EXPECT_EQ(coverage.parts, off < 1e-5 ? 1 : 2);
        EXPECT_EQ(coverage.joinedCorners, off < 1e-5 ? 2u : 0u);
        EXPECT_EQ(border.getPointCount(), off < 1e-5 ? 4u : 3u);
    }
    // A face whose corners all come within the distance covers nothing: the border leaves it out, the
    // stored triangles keep it.
    std::vector<Triangle3D> withSpeck = meshOf(0, 0, 2);
    withSpeck.push_back(tri(5, 5, 5 + 4e-6, 5, 5, 5 + 4e-6));
    withSpeck.push_back(tri(-2e-6, -3e-6, 1, -1, 2, -1e-6));
    BorderCoverage speck;
    const Polygon specked = BorderExtractor::extract(withSpeck, nullptr, nullptr, &speck);
    EXPECT_EQ(speck.parts, 1);
    EXPECT_EQ(speck.joinedCorners, 4u);
    EXPECT_EQ(points(specked),
              (Pairs { { 0, 0 }, { 1, -1 }, { 2, 0 }, { 2, 1 }, { 2, 2 }, { 1, 2 }, { 0, 2 }, { 0, 1 } }));
}

TEST(BorderExtractor, FacesCrossingAllOverAreBorderedByTheHullOfTheirCorners)
{
    // Every two of them cross: the ground's border once took minutes and gigabytes.
    const std::vector<Triangle3D> crossing = crossingFaces(120);
    BorderCoverage coverage;
    const Polygon border = BorderExtractor::extract(crossing, nullptr, nullptr, &coverage);
    EXPECT_TRUE(coverage.hull);
    EXPECT_FALSE(coverage.outOfMemory);
    EXPECT_TRUE(coverage.enclosesPart);
    expectGroundBorder(crossing, border, coverage);
    EXPECT_EQ(border.getPointCount(), 3u * 120);

    // So many that even cutting their outlines where corners lie on them would cost far more than the
    // faces: the hull at once, with every face's corners on or inside it.
    const std::vector<Triangle3D> many = crossingFaces(3000);
    BorderCoverage manyCoverage;
    const Polygon manyBorder = BorderExtractor::extract(many, nullptr, nullptr, &manyCoverage);
    EXPECT_TRUE(manyCoverage.hull);
    EXPECT_EQ(manyCoverage.enclosedShare, 1);
    EXPECT_EQ(manyCoverage.parts, 3000);
    EXPECT_EQ(hullFault(many, manyBorder, 1000), "");

    // The border's own checks: a box round the ground, or the hull of ground that is not convex, is no
    // ground border.
    std::vector<Triangle3D> ell = meshOf(0, 0, 1);
    for (const Triangle3D& face : meshOf(1, 0, 1))
        ell.push_back(face);
    for (const Triangle3D& face : meshOf(0, 1, 1))
        ell.push_back(face);
    Polygon box, hull;
    for (const auto& [x, y] : Pairs { { 0, 0 }, { 2, 0 }, { 2, 2 }, { 0, 2 } })
        box.appendPoint(x, y);
    for (const auto& [x, y] : Pairs { { 0, 0 }, { 2, 0 }, { 2, 1 }, { 1, 2 }, { 0, 2 } })
        hull.appendPoint(x, y);
    EXPECT_EQ(tinFacesOutsideBorder(ell, box), "");
    EXPECT_NE(tinBorderOffFaces(ell, box), "");
    EXPECT_NE(tinBorderOffFaces(ell, hull), "");
    EXPECT_EQ(hullFault(ell, hull), "");
    EXPECT_NE(hullFault(ell, box), "");
    BorderCoverage ellCoverage;
    EXPECT_EQ(tinBorderOffFaces(ell, BorderExtractor::extract(ell, nullptr, nullptr, &ellCoverage)), "");
    EXPECT_FALSE(ellCoverage.hull);

    // A sliver at survey coordinates whose corners all lie on the border: its centre rounded to doubles
    // falls outside it, which told it outside.
    const Triangle3D sliver(Point3D(4084594.125, 512370.5, 0),
                            Point3D(4084594.252534513, 512370.7550690255, 0),
                            Point3D(4084594.625, 512371.5, 0));
    Polygon round;
    for (unsigned k = 0; k < 3; ++k)
        round.appendPoint(sliver.getVertex(k).x(), sliver.getVertex(k).y());
    const double x = (sliver.getVertex(0).x() + sliver.getVertex(1).x() + sliver.getVertex(2).x()) / 3;
    const double y = (sliver.getVertex(0).y() + sliver.getVertex(1).y() + sliver.getVertex(2).y()) / 3;
    ASSERT_LT(Pelko::Corvex::Triangle2D(round[2], round[0], Pelko::Corvex::Point(x, y)).orientation(), 0);
    EXPECT_EQ(tinFacesOutsideBorder({ sliver }, round), "");
    Polygon reversed;
    for (unsigned k = 3; k-- > 0;)
        reversed.appendPoint(round[k]);
    EXPECT_EQ(tinFacesOutsideBorder({ sliver }, reversed), "");
    // Beside a ring it lies outside of, along one of its edges.
    Polygon beside;
    for (const auto& [x, y] :
         Pairs { { 4084594.125, 512370.5 }, { 4084594.625, 512371.5 }, { 4084590, 512375 } })
        beside.appendPoint(x, y);
    EXPECT_NE(tinFacesOutsideBorder({ sliver }, beside), "");
}

namespace {

// A fan of n faces round (100, 0) with a sliver along its border edge from (0, 0) to (1, 1): the border is
// worked out from the ground the faces cover.
std::vector<Triangle3D> sliveredFan(int n)
{
    std::vector<Triangle3D> faces = fanFaces(n);
    faces.push_back(tri(0, 0, 1, 1, 0.5, 0.499));
    return faces;
}

} // namespace

TEST(BorderExtractor, ThousandThinFacesThroughOneCentreAreBorderedByTheirHull)
{
    // A drawing of 218 KB whose border once took 79 s and 2.9 GB: every face crosses every other.
    TempFolder temp;
    const std::string path = temp.file("star.qvr");
    ASSERT_TRUE(
        convertText(slurp(std::string(TEST_DATA_DIR) + "/large/star1000_thin_faces_crossing.dxf"), path));
    ConnectionPtr connection = open(path);
    const std::vector<Triangle3D> triangles = TriangleRTreeControl::getAllTriangles(connection.get());
    ASSERT_EQ(triangles.size(), 1000u);
    BorderCoverage coverage;
    const Polygon border = BorderExtractor::extract(triangles, nullptr, nullptr, &coverage);
    EXPECT_TRUE(coverage.hull);
    EXPECT_EQ(coverage.enclosedShare, 1);
    EXPECT_EQ(hullFault(triangles, border, 250), "");
    EXPECT_EQ(points(BorderControl::getPolygon(connection.get())), points(border));
}

TEST(BorderExtractor, ArrangementsPastHalfAMillionVerticesGiveTheHull)
{
    // The fan's rim alone is that many ends: gigabytes of exact ground, whatever the count of faces.
    for (const int n : { 20000, 600000 }) {
        SCOPED_TRACE(n);
        const std::vector<Triangle3D> faces = sliveredFan(n);
        BorderCoverage coverage;
        const Polygon border = BorderExtractor::extract(faces, nullptr, nullptr, &coverage);
        EXPECT_EQ(coverage.hull, n > 524288);
        EXPECT_TRUE(coverage.overlapping || coverage.hull);
        EXPECT_EQ(coverage.enclosedShare, 1);
        if (coverage.hull) {
            EXPECT_EQ(hullFault(faces, border, 100000), "");
        } else {
            EXPECT_EQ(border.getPointCount(), unsigned(n) + 2);
        }
    }
}

TEST(BorderExtractor, ProgressIsTheBordersOwnAndACancelStopsEveryPhase)
{
    std::vector<std::pair<std::string, std::function<Polygon(IProgress*)>>> runs;
    std::vector<std::pair<std::string, std::vector<Triangle3D>>> drawings;
    drawings.emplace_back("a mesh", surveyMesh(100, 0));
    drawings.emplace_back("a mesh written face by face", surveyMesh(100, 1e-6));
    drawings.emplace_back("faces crossing all over", crossingFaces(1000));
    drawings.emplace_back("a fan with a sliver", sliveredFan(20000));
    for (const auto& [name, faces] : drawings)
        runs.emplace_back(name, [&faces = faces](IProgress* progress) {
            return BorderExtractor::extract(faces, nullptr, progress);
        });
    Delaunay fan(lineAndOnePoint(20000));
    fan.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
    runs.emplace_back("a triangulation",
                      [&fan](IProgress* progress) { return BorderExtractor::extract(fan, progress); });

    for (const auto& [name, run] : runs) {
        SCOPED_TRACE(name);
        Canceller whole(1 << 30);
        const Polygon border = run(&whole);
        ASSERT_GE(border.getPointCount(), 3u);
        // Its own 0 to 100, never back, 100 last and only once nothing more is done.
        ASSERT_FALSE(whole.reports.empty());
        EXPECT_EQ(whole.reports.front(), 0);
        EXPECT_TRUE(std::is_sorted(whole.reports.begin(), whole.reports.end()));
        EXPECT_EQ(whole.reports.back(), 100);
        EXPECT_EQ(std::count(whole.reports.begin(), whole.reports.end(), 100), 1);
        EXPECT_GE(whole.reports.size(), 4u);
        EXPECT_EQ(whole.askedAfterReports, 0);
        // A cancel seen at any look, the last one (as the border polygon is built) included, stops the work
        // there: nothing is given and the flag is hardly asked again.
        const int looks = whole.asked;
        ASSERT_GE(looks, 8);
        for (int after : { 0, looks / 7, looks / 3, looks / 2, 2 * looks / 3, looks - 2, looks - 1 }) {
            SCOPED_TRACE(after);
            Canceller cancel(after);
            EXPECT_EQ(run(&cancel).getPointCount(), 0u);
            EXPECT_LE(cancel.asked - after, 3);
            EXPECT_TRUE(cancel.reports.empty() || cancel.reports.back() < 100);
        }
    }
}

TEST(BorderExtractor, ExactTurnWhereDoublesCannotTell)
{
    using Pelko::Corvex::Point;
    // b and c off the line through a by e² where e is the unit in the last place of 1: the products round
    // to the same double, and only the exact stage tells the sign.
    const double e = std::ldexp(1.0, -52);
    const Point a(0, 0), b(1 + e, 1), c(1 + 2 * e, 1 + e);
    EXPECT_EQ(turning(a, b, c), 1);
    EXPECT_EQ(turning(a, c, b), -1);
    EXPECT_EQ(turning(b, c, a), 1);
    // Differences that are no doubles, the answers worked out in fractions: on the line x = y exactly, and
    // just right of the line through the first two (by 1.4e-17).
    EXPECT_EQ(turning(Point(0.1, 0.1), Point(0.3, 0.3), Point(0.2, 0.2)), 0);
    EXPECT_EQ(turning(Point(0.1, 0.3), Point(0.3, 0.9), Point(0.2, 0.6)), -1);
    EXPECT_EQ(turning(Point(0.3, 0.9), Point(0.1, 0.3), Point(0.2, 0.6)), 1);
}

namespace {

// The boundary pieces of faces by corner numbers, counterclockwise, with the part each face is in.
std::vector<ChainPiece> piecesOf(const std::vector<Pelko::Corvex::Point>& points,
                                 const std::vector<std::array<unsigned, 3>>& faces)
{
    std::map<std::pair<unsigned, unsigned>, unsigned> edges;
    for (unsigned t = 0; t < faces.size(); ++t) {
        std::array<unsigned, 3> c = faces[t];
        if (Pelko::Corvex::Triangle2D(points[c[0]], points[c[1]], points[c[2]]).orientation() < 0)
            std::swap(c[1], c[2]);
        for (unsigned k = 0; k < 3; ++k) {
            const unsigned from = c[k], to = c[(k + 1) % 3];
            if (!edges.erase({ to, from }))
                edges[{ from, to }] = t;
        }
    }
    std::vector<ChainPiece> chain;
    for (const auto& [edge, face] : edges)
        chain.push_back({ edge.first, edge.second, 1, face });
    return chain;
}

bool soundRing(const std::vector<Pelko::Corvex::Point>& points,
               const std::vector<std::array<unsigned, 3>>& faces, const std::vector<unsigned>* partOf,
               size_t parts, const std::vector<unsigned>& ring)
{
    RingCheck check;
    CancelLooks cancel(nullptr);
    EXPECT_TRUE(checkRing(points, piecesOf(points, faces), partOf, parts, 0, ring, check, cancel));
    return check.sound;
}

} // namespace

TEST(BorderExtractor, RingCheckRefusesWrongRings)
{
    using Pelko::Corvex::Point;
    // Unit squares of [0, 3]² but the middle one and the top right one: the hole in the middle meets the
    // outside at (2, 2). The outer ring passes (2, 2) once; a ring that also goes round the hole from
    // there runs along every piece once, all one way, but turns clockwise round the hole.
    std::vector<Point> points;
    for (int y = 0; y <= 3; ++y)
        for (int x = 0; x <= 3; ++x)
            points.emplace_back(x, y);
    auto at = [](unsigned x, unsigned y) { return 4 * y + x; };
    std::vector<std::array<unsigned, 3>> faces;
    for (unsigned x = 0; x < 3; ++x)
        for (unsigned y = 0; y < 3; ++y)
            if (!(x == 1 && y == 1) && !(x == 2 && y == 2)) {
                faces.push_back({ at(x, y), at(x + 1, y), at(x + 1, y + 1) });
                faces.push_back({ at(x, y), at(x + 1, y + 1), at(x, y + 1) });
            }
    const std::vector<unsigned> outer { at(0, 0), at(1, 0), at(2, 0), at(3, 0), at(3, 1), at(3, 2),
                                        at(2, 2), at(2, 3), at(1, 3), at(0, 3), at(0, 2), at(0, 1) };
    std::vector<unsigned> roundTheHole = outer;
    roundTheHole.insert(roundTheHole.begin() + 7, { at(2, 1), at(1, 1), at(1, 2), at(2, 2) });
    std::vector<unsigned> partOf(faces.size(), 0);
    EXPECT_TRUE(soundRing(points, faces, &partOf, 1, outer));
    EXPECT_FALSE(soundRing(points, faces, &partOf, 1, roundTheHole));

    // Two triangles meeting at a corner, one part: a ring round one of them leaves the other's pieces
    // outside it.
    const std::vector<Point> bow { Point(0, 0), Point(2, 0), Point(1, 1), Point(2, 2), Point(0, 2) };
    const std::vector<std::array<unsigned, 3>> bowFaces { { 0, 1, 2 }, { 2, 3, 4 } };
    const std::vector<unsigned> bowParts { 0, 0 };
    EXPECT_TRUE(soundRing(bow, bowFaces, &bowParts, 1, { 0, 1, 2, 3, 4, 2 }));
    EXPECT_FALSE(soundRing(bow, bowFaces, &bowParts, 1, { 0, 1, 2 }));
    // As two parts, that ring is sound and the other part lies outside it.
    const std::vector<unsigned> twoParts { 0, 1 };
    EXPECT_TRUE(soundRing(bow, bowFaces, &twoParts, 2, { 0, 1, 2 }));

    // A triangulation's check, all its triangles one part: either way round its ring is sound; a ring
    // round one of two squares apart, or across a triangle, is not.
    const std::vector<Point> squares { Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1),
                                       Point(3, 0), Point(4, 0), Point(4, 1), Point(3, 1) };
    const std::vector<std::array<unsigned, 3>> one { { 0, 1, 2 }, { 0, 2, 3 } },
        two { { 0, 1, 2 }, { 0, 2, 3 }, { 4, 5, 6 }, { 4, 6, 7 } };
    EXPECT_TRUE(soundRing(squares, one, nullptr, 1, { 0, 1, 2, 3 }));
    EXPECT_TRUE(soundRing(squares, one, nullptr, 1, { 3, 2, 1, 0 }));
    EXPECT_FALSE(soundRing(squares, one, nullptr, 1, { 0, 1, 2 }));
    EXPECT_FALSE(soundRing(squares, two, nullptr, 1, { 0, 1, 2, 3 }));
}

namespace {

// Corners by number at (v, v): a ring of any length without faces.
struct Numbered
{
    using Vertex = unsigned;
    Point3D position(unsigned v) const { return Point3D(v, v, 0); }
};

} // namespace

TEST(BorderExtractor, CancelStopsTheBorderPolygon)
{
    // The ring of a fan of millions of faces took a second to become a polygon after a cancel.
    std::vector<unsigned> ring(1000000);
    std::iota(ring.begin(), ring.end(), 0u);
    Numbered source;
    Canceller whole(1 << 30);
    Walk<Numbered> walk(source, &whole, 4096);
    const Polygon polygon = walk.polygonOf(ring);
    EXPECT_EQ(polygon.getPointCount(), ring.size());
    EXPECT_GE(whole.asked, 200);
    for (int after : { 0, 1, 100, whole.asked - 1 }) {
        SCOPED_TRACE(after);
        Canceller cancel(after);
        Walk<Numbered> cancelled(source, &cancel, 4096);
        EXPECT_TRUE(cancelled.polygonOf(ring).isEmpty());
        EXPECT_TRUE(cancelled.cancelled());
        EXPECT_EQ(cancel.asked, after + 1);
    }
}

TEST(BorderExtractor, MemoryRunningOutEndsTheBorderWithAnOutcome)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer reserves address space of its own";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the sanitizer reserves address space of its own";
#endif
#endif
    // The address space the process holds now, in bytes.
    auto held = [] {
        std::ifstream statm("/proc/self/statm");
        size_t pages = 0;
        statm >> pages;
        return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
    };
    const std::vector<Triangle3D> crossing = crossingFaces(1000), apart = surveyMesh(150, 1e-6),
                                  slivered = sliveredFan(50000);
    struct Case
    {
        const std::vector<Triangle3D>* faces;
        size_t megabytes;
    };
    const std::vector<Case> cases { { &crossing, 64 }, { &crossing, 256 }, { &crossing, 1024 },
                                    { &apart, 1 },     { &apart, 2 },      { &apart, 4 },
                                    { &apart, 8 },     { &apart, 16 },     { &slivered, 2 },
                                    { &slivered, 8 } };
    std::vector<int> outcomes;
    for (const Case& run : cases) {
        SCOPED_TRACE(std::to_string(run.faces->size()) + " faces under " + std::to_string(run.megabytes)
                     + " MB more");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit cap { held() + (run.megabytes << 20), RLIM_INFINITY };
            setrlimit(RLIMIT_AS, &cap);
            // 0 out of memory, with no border; 1 the hull; 2 a border worked out; 3 anything else; 4 an
            // exception let out.
            try {
                BorderCoverage coverage;
                const Polygon border = BorderExtractor::extract(*run.faces, nullptr, nullptr, &coverage);
                if (coverage.outOfMemory)
                    _exit(border.isEmpty() ? 0 : 3);
                _exit(border.getPointCount() < 3 ? 3 : coverage.hull ? 1 : 2);
            } catch (...) {
                _exit(4);
            }
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        EXPECT_LE(WEXITSTATUS(status), 2);
        outcomes.push_back(WEXITSTATUS(status));
    }
    // Where the cap is loose, the outcome does not depend on it. (Which tight ones run out depends on the
    // memory earlier work left free in the process.)
    EXPECT_EQ(outcomes[2], 1);
    EXPECT_EQ(outcomes[7], 2);
}
