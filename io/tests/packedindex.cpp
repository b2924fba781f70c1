// The R*Tree of a written TIN is bulk-loaded; these tests hold it to the tree SQLite builds itself from
// plain inserts: same rows, same answers to every query, same border, and a tree the module accepts.
#include "tinhelpers.h"

#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/dxfmemoryreader.h>
#include <io/iprogress.h>
#include <io/memoryfile.h>
#include <io/triangledxfadapter.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

using namespace Pelko::IO;
using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Rect;
using Pelko::Corvex::Triangle3D;
using Zemko::Utility::Connection;
using Rows = std::vector<std::vector<double>>;

namespace {

std::vector<Triangle3D> randomTin(int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coordinate(-500, 2500);
    std::vector<Point3D> points;
    for (int i = 0; i < count; ++i)
        points.emplace_back(coordinate(random), coordinate(random), coordinate(random) / 10);
    Pelko::Corvex::Delaunay delaunay(points);
    delaunay.buildDelaunayTriangulation(0);
    return delaunay.getAllTriangles();
}

// Squares of side 2 cut along alternating diagonals: many boxes share edges exactly.
std::vector<Triangle3D> gridTin(int columns, int rows)
{
    std::vector<Triangle3D> triangles;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            double x = 1000 + c * 2.0, y = -300 + r * 2.0;
            if ((r + c) % 2) {
                triangles.push_back(tri(x, y, x + 2, y, x + 2, y + 2, r));
                triangles.push_back(tri(x, y, x + 2, y + 2, x, y + 2, c));
            } else {
                triangles.push_back(tri(x, y, x + 2, y, x, y + 2, r));
                triangles.push_back(tri(x + 2, y, x + 2, y + 2, x, y + 2, c));
            }
        }
    return triangles;
}

// The reference: the same tables filled the way SQLite's R*Tree module is normally fed, one row at a time.
void writePlain(const std::vector<Triangle3D>& triangles, const std::string& path)
{
    ConnectionPtr connection = open(path, true);
    Connection* c = connection.get();
    ASSERT_TRUE(c->beginTransactionWithExclusive());
    ASSERT_TRUE(TriangleRTreeControl::createTable(c));
    for (size_t i = 0; i < triangles.size(); ++i) {
        ASSERT_TRUE(TriangleRTreeControl::insertIndex(c, static_cast<int>(i), triangles[i]));
        ASSERT_TRUE(TriangleRTreeControl::insertTriangle(c, static_cast<int>(i), triangles[i]));
    }
    ASSERT_TRUE(BorderControl::createTable(c));
    ASSERT_TRUE(BorderControl::insertPolygon(c, BorderExtractor::extract(c)));
    ASSERT_TRUE(c->commit());
}

std::string check(Connection* connection)
{
    sqlite3_stmt* stmt = Zemko::Utility::BaseTableControl::getSqliteStmtByExecQuery(
        connection, "SELECT rtreecheck('triangleRTree')");
    std::string result = "no statement";
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW)
        result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    return result;
}

double count(Connection* connection, const std::string& table)
{
    return rows(connection, "select count(*) from " + table)[0][0];
}

using Found = std::vector<std::array<double, 9>>;

Found sorted(const std::vector<Triangle3D>& triangles)
{
    Found result;
    for (const Triangle3D& t : triangles) {
        std::array<double, 9> row;
        for (unsigned v = 0; v < 3; ++v) {
            row[v * 3] = t.getVertex(v).x();
            row[v * 3 + 1] = t.getVertex(v).y();
            row[v * 3 + 2] = t.getVertex(v).z();
        }
        result.push_back(row);
    }
    std::sort(result.begin(), result.end());
    return result;
}

std::vector<int> sorted(std::vector<int> ids)
{
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Compares every kind of query on the two databases: windows at random and on the boxes' own edges, the
// triangles at vertices, edge midpoints and random points, and at both ends of every edge tried.
void expectSameAnswers(const std::vector<Triangle3D>& triangles, const std::string& packedPath,
                       const std::string& plainPath, unsigned seed)
{
    ConnectionPtr packed = open(packedPath);
    ConnectionPtr plain = open(plainPath);
    ASSERT_TRUE(packed && plain);
    Connection* a = packed.get();
    Connection* b = plain.get();
    EXPECT_EQ(check(a), "ok");
    EXPECT_EQ(rows(a, "select * from triangle  order by id"), rows(b, "select * from triangle  order by id"));
    EXPECT_EQ(rows(a, "select * from triangleRTree  order by id"),
              rows(b, "select * from triangleRTree  order by id"));
    EXPECT_EQ(points(BorderControl::getPolygon(a)), points(BorderControl::getPolygon(b)));

    std::mt19937 random(seed);
    std::vector<Rect> windows { Rect(-1e9, -1e9, 1e9, 1e9), Rect(1e8, 1e8, 1e9, 1e9) };
    std::vector<Point> at { Point(-1e6, 0) };
    std::vector<std::pair<Point, Point>> edges;
    Rect extent(-600, -400, 2600, 2600);
    std::uniform_real_distribution<double> x(extent.getMinX(), extent.getMaxX());
    std::uniform_real_distribution<double> y(extent.getMinY(), extent.getMaxY());
    std::uniform_real_distribution<double> size(0, 60);
    for (int i = 0; i < 150; ++i) {
        double x0 = x(random), y0 = y(random);
        windows.emplace_back(x0, y0, x0 + size(random), y0 + size(random));
        at.emplace_back(x(random), y(random));
    }
    for (size_t i = 0; i < triangles.size(); i += std::max<size_t>(1, triangles.size() / 150)) {
        Point3D p = triangles[i].getVertex(0), q = triangles[i].getVertex(1);
        std::pair<Rect, bool> box = TriangleRTreeControl::getRect(b, static_cast<int>(i));
        ASSERT_TRUE(box.second);
        // A window touching the stored box only along its edge.
        windows.emplace_back(box.first.getMaxX(), box.first.getMinY(), box.first.getMaxX() + 1,
                             box.first.getMinY());
        at.emplace_back(p.x(), p.y());
        at.emplace_back((p.x() + q.x()) / 2, (p.y() + q.y()) / 2);
        edges.emplace_back(Point(p.x(), p.y()), Point(q.x(), q.y()));
        edges.emplace_back(Point(p.x(), p.y()), Point(x(random), y(random)));
    }
    for (const Rect& window : windows)
        ASSERT_EQ(sorted(TriangleRTreeControl::getBelongedRect(a, window)),
                  sorted(TriangleRTreeControl::getBelongedRect(b, window)))
            << window.getMinX() << " " << window.getMinY();
    for (const Point& point : at) {
        ASSERT_EQ(sorted(TriangleRTreeControl::getBelongedRect(a, point)),
                  sorted(TriangleRTreeControl::getBelongedRect(b, point)));
        ASSERT_EQ(sorted(TriangleRTreeControl::getBelongedTriangles(a, point)),
                  sorted(TriangleRTreeControl::getBelongedTriangles(b, point)));
    }
    for (const auto& [p, q] : edges)
        ASSERT_EQ(sorted(TriangleRTreeControl::getBelongedTriangles(a, p, q)),
                  sorted(TriangleRTreeControl::getBelongedTriangles(b, p, q)));
}

// A database whose pages are 512 bytes: the module then fits 18 cells in a node instead of 51.
void smallPages(const std::string& path)
{
    ConnectionPtr connection = open(path, true);
    rows(connection.get(), "PRAGMA page_size = 512");
    ASSERT_TRUE(TriangleRTreeControl::createTable(connection.get()));
    ASSERT_EQ(rows(connection.get(), "select length(data) from triangleRTree_node where nodeno = 1"),
              (Rows { { 448 } }));
}

std::string face(double x0, double y0, double x1, double y1, double x2, double y2, double z)
{
    char text[400];
    std::snprintf(
        text, sizeof text,
        "0\n3DFACE\n8\nT\n10\n%.3f\n20\n%.3f\n30\n%.3f\n11\n%.3f\n21\n%.3f\n31\n%.3f\n12\n%.3f\n22\n"
        "%.3f\n32\n%.3f\n13\n%.3f\n23\n%.3f\n33\n%.3f\n",
        x0, y0, z, x1, y1, z, x2, y2, z, x2, y2, z);
    return text;
}

} // namespace

TEST(PackedIndex, AnswersAsPlainInserts)
{
    TempFolder temp;
    struct Case
    {
        const char* name;
        std::vector<Triangle3D> triangles;
    };
    const std::vector<Case> cases { { "random", randomTin(4000, 11) },
                                    { "grid", gridTin(61, 37) },
                                    { "single", { tri(5, 5, 9, 6, 6, 11) } },
                                    { "fits the root", gridTin(5, 5) } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string packed = temp.file((std::string(c.name) + ".qvr").c_str());
        const std::string plain = temp.file((std::string(c.name) + "-plain.qvr").c_str());
        ASSERT_TRUE(TrianglesWriter::write(c.triangles, packed, nullptr));
        writePlain(c.triangles, plain);
        expectSameAnswers(c.triangles, packed, plain, 3);

        // Packed means full nodes: fewer of them than the module's own splits leave.
        ConnectionPtr a = open(packed), b = open(plain);
        EXPECT_LE(count(a.get(), "triangleRTree_node"), count(b.get(), "triangleRTree_node"));
        if (c.triangles.size() > 51) {
            EXPECT_LT(count(a.get(), "triangleRTree_node"), count(b.get(), "triangleRTree_node"));
        }
    }

    // Smaller nodes make a deeper tree.
    std::vector<Triangle3D> grid = gridTin(80, 40);
    const std::string deep = temp.file("deep.qvr");
    const std::string deepPlain = temp.file("deep-plain.qvr");
    smallPages(deep);
    ASSERT_TRUE(TrianglesWriter::write(grid, deep, nullptr));
    writePlain(grid, deepPlain);
    expectSameAnswers(grid, deep, deepPlain, 4);
    ConnectionPtr connection = open(deep);
    EXPECT_EQ(rows(connection.get(), "select rtreedepth(data) from triangleRTree_node where nodeno = 1"),
              (Rows { { 3 } }));
}

TEST(PackedIndex, WritingOverAModel)
{
    TempFolder temp;
    const std::string path = temp.file("over.qvr");
    const std::string plain = temp.file("plain.qvr");
    std::vector<Triangle3D> grid = gridTin(30, 20);
    ASSERT_TRUE(TrianglesWriter::write(randomTin(3000, 9), path, nullptr));
    ASSERT_TRUE(TrianglesWriter::write(grid, path, nullptr));
    writePlain(grid, plain);
    expectSameAnswers(grid, path, plain, 8);
    ConnectionPtr connection = open(path), reference = open(plain);
    EXPECT_LT(count(connection.get(), "triangleRTree_node"), count(reference.get(), "triangleRTree_node"));
    connection.reset();

    // An empty list leaves an empty tree.
    ASSERT_TRUE(TrianglesWriter::write(std::vector<Triangle3D>(), path, nullptr));
    connection = open(path);
    EXPECT_EQ(check(connection.get()), "ok");
    EXPECT_EQ(count(connection.get(), "triangleRTree_rowid"), 0);
    EXPECT_TRUE(TriangleRTreeControl::getBelongedRect(connection.get(), Rect(-1e9, -1e9, 1e9, 1e9)).empty());
}

TEST(PackedIndex, TreeTakesLaterChanges)
{
    TempFolder temp;
    const std::string path = temp.file("changed.qvr");
    std::vector<Triangle3D> grid = gridTin(40, 40);
    ASSERT_TRUE(TrianglesWriter::write(grid, path, nullptr));

    // The module must be able to go on from the packed tree: rows added, rows removed.
    ConnectionPtr connection = open(path);
    Connection* c = connection.get();
    ASSERT_TRUE(c->beginTransactionWithExclusive());
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(TriangleRTreeControl::insertIndex(c, 10000 + i, tri(i, 0, i + 1, 0, i, 1)));
    rows(c, "delete from triangleRTree  where id % 3 = 0");
    EXPECT_EQ(check(c), "ok");
    EXPECT_EQ(count(c, "triangleRTree "), 2 * (grid.size() + 300) / 3);
    EXPECT_EQ(TriangleRTreeControl::getBelongedRect(c, Point(150.5, 0.2)), (std::vector<int> { 10150 }));
    EXPECT_TRUE(TriangleRTreeControl::getBelongedRect(c, Point(152.5, 0.2)).empty());
    EXPECT_EQ(TriangleRTreeControl::getBelongedRect(c, Point(1001, -299.5)), (std::vector<int> { 1 }));
}

TEST(PackedIndex, CancelAskedWhileTheBoxesArePacked)
{
    // Boxing and sorting 3 million triangles' boxes ran 1.5 s before the first look at the flag. Now each
    // pass over the boxes before the first row is linked looks at least once per 65,536 of them: taking
    // them in, the sort's count and three moves along x, and the same along y; the sort's spare array is
    // cleared with a look per 2 MiB.
    constexpr size_t batch = 65536;
    const size_t n = 3 * batch + 1000;
    std::mt19937 random(4);
    std::uniform_real_distribution<double> coordinate(0, 10000);
    std::vector<Rect> boxes;
    std::vector<int> ids;
    for (size_t i = 0; i < n; ++i) {
        const double x = coordinate(random), y = coordinate(random);
        boxes.emplace_back(x, y, x + 3, y + 3);
        ids.push_back(static_cast<int>(i));
    }
    TempFolder temp;
    int run = 0;
    // Packs into a new database; the number of index rows left.
    auto pack = [&](Canceller& progress, bool* packed) {
        ConnectionPtr connection = open(temp.file(("boxes" + std::to_string(run++) + ".qvr").c_str()), true);
        EXPECT_TRUE(TriangleRTreeControl::createTable(connection.get()));
        *packed = TriangleRTreeControl::insertIndex(connection.get(), ids, boxes, &progress);
        return static_cast<size_t>(count(connection.get(), "triangleRTree_rowid"));
    };
    Canceller looks(1 << 30);
    bool packed = false;
    EXPECT_EQ(pack(looks, &packed), n);
    EXPECT_TRUE(packed);
    EXPECT_EQ(looks.reports.back(), 50);
    // Counted for these boxes: 3 taking them in; 3 clearing the spare array, 2 MiB of its 24-byte cells at a
    // time; 24 in the sorts' passes, each cell counted and moved three times along x and again along y on
    // every level tiled (n boxes, then 3875 and 76 nodes); 16 for the 3953 nodes below the root, 3 for
    // their links to their parents and 1 before the first row's link.
    EXPECT_EQ(looks.askedBeforeReports, 50);
    // A cancel at any of those looks is heard there (the fourth is the spare array's first): nothing is
    // reported or kept.
    for (int after : { 0, 3, looks.askedBeforeReports / 3, looks.askedBeforeReports - 1 }) {
        SCOPED_TRACE(after);
        Canceller cancel(after);
        EXPECT_EQ(pack(cancel, &packed), 0u);
        EXPECT_FALSE(packed);
        EXPECT_TRUE(cancel.reports.empty());
    }
}

TEST(PackedIndex, FallsBackToPlainInserts)
{
    TempFolder temp;
    std::vector<Triangle3D> random = randomTin(1500, 21);
    const std::string plain = temp.file("plain.qvr");
    writePlain(random, plain);

    // The rows of a model written on a connection prepared first; the tables are not cleared.
    auto fill = [&](const std::string& path, const std::function<void(Connection*)>& prepare) {
        ConnectionPtr connection = open(path, true);
        Connection* c = connection.get();
        ASSERT_TRUE(TriangleRTreeControl::createTable(c));
        prepare(c);
        ASSERT_TRUE(c->beginTransactionWithExclusive());
        struct Recorder : IProgress
        {
            void report(int percent) override { reports.push_back(percent); }
            std::vector<int> reports;
        } recorder;
        ASSERT_TRUE(TriangleRTreeControl::insert(c, random, &recorder));
        ASSERT_EQ(recorder.reports.size(), 2 * random.size());
        EXPECT_EQ(recorder.reports[random.size() - 1], 50);
        EXPECT_TRUE(std::is_sorted(recorder.reports.begin(), recorder.reports.end()));
        ASSERT_TRUE(BorderControl::createTable(c));
        ASSERT_TRUE(BorderControl::insertPolygon(c, BorderExtractor::extract(c)));
        ASSERT_TRUE(c->commit());
    };
    auto nodes = [](const std::string& path) {
        ConnectionPtr connection = open(path);
        return count(connection.get(), "triangleRTree_node");
    };

    // SQLite refusing writes to the R*Tree's own tables: the rows go in one by one, progress as ever.
    const std::string defensive = temp.file("defensive.qvr");
    fill(defensive, [](Connection* c) {
        ASSERT_EQ(sqlite3_db_config(c->handle(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr), SQLITE_OK);
    });
    expectSameAnswers(random, defensive, plain, 5);
    EXPECT_EQ(nodes(defensive), nodes(plain));

    // A node size SQLite never gives a tree it creates itself (the module reads it when it opens a table).
    const std::string wide = temp.file("wide.qvr");
    {
        ConnectionPtr connection = open(wide, true);
        ASSERT_TRUE(TriangleRTreeControl::createTable(connection.get()));
        rows(connection.get(), "update triangleRTree_node set data = zeroblob(2404) where nodeno = 1");
    }
    fill(wide, [](Connection*) {});
    expectSameAnswers(random, wide, plain, 6);
    EXPECT_EQ(rows(open(wide).get(), "select max(length(data)) from triangleRTree_node"),
              (Rows { { 2404 } }));

    // Boxes beyond the 32-bit range and an index already holding rows are left to the module.
    TempFolder more;
    ConnectionPtr connection = open(more.file("far.qvr"), true);
    Connection* c = connection.get();
    ASSERT_TRUE(c->beginTransactionWithExclusive());
    ASSERT_TRUE(TriangleRTreeControl::createTable(c));
    std::vector<Triangle3D> far = gridTin(30, 30);
    far[7] = tri(1e300, 0, 1e300, 1, 1e300, 2);
    ASSERT_TRUE(TriangleRTreeControl::insert(c, far, nullptr));
    EXPECT_TRUE(std::isinf(TriangleRTreeControl::getRect(c, 7).first.getMinX()));
    std::vector<int> ids(random.size());
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = static_cast<int>(5000 + i);
    ASSERT_TRUE(TriangleRTreeControl::insert(c, ids, random));
    EXPECT_EQ(check(c), "ok");
    EXPECT_EQ(count(c, "triangleRTree "), far.size() + random.size());

    // Ids used twice are refused whichever way the rows would go.
    ConnectionPtr twice = open(more.file("twice.qvr"), true);
    ASSERT_TRUE(twice->beginTransactionWithExclusive());
    ASSERT_TRUE(TriangleRTreeControl::createTable(twice.get()));
    std::vector<int> doubled(100, 0);
    for (int i = 0; i < 100; ++i)
        doubled[i] = i == 99 ? 3 : i;
    EXPECT_FALSE(TriangleRTreeControl::insert(twice.get(), doubled, gridTin(10, 5)));
}

TEST(PackedIndex, DxfConvertAnswersAsPlainInserts)
{
    std::string drawing = "0\nSECTION\n2\nENTITIES\n";
    // A grid of shaken vertices, so that few boxes line up.
    std::mt19937 random(8);
    std::uniform_real_distribution<double> jitter(-0.9, 0.9);
    std::vector<std::vector<std::pair<double, double>>> vertex(51,
                                                               std::vector<std::pair<double, double>>(46));
    for (int r = 0; r <= 50; ++r)
        for (int c = 0; c <= 45; ++c)
            vertex[r][c] = { c * 3 + jitter(random), r * 3 + jitter(random) };
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 45; ++c) {
            auto [x0, y0] = vertex[r][c];
            auto [x1, y1] = vertex[r][c + 1];
            auto [x2, y2] = vertex[r + 1][c];
            auto [x3, y3] = vertex[r + 1][c + 1];
            drawing += face(x0, y0, x1, y1, x2, y2, r);
            drawing += face(x1, y1, x3, y3, x2, y2, c);
        }
    drawing += "0\nENDSEC\n0\nEOF\n";

    TempFolder temp;
    const std::string converted = temp.file("converted.qvr");
    MemoryFile file(drawing.data(), static_cast<unsigned>(drawing.size()));
    ASSERT_TRUE(TrianglesWriter::convert(file, converted));

    TriangleDxfAdapter list;
    MemoryFile again(drawing.data(), static_cast<unsigned>(drawing.size()));
    ASSERT_TRUE(readDxf(again, &list));
    ASSERT_EQ(list.getTriangles().size(), 4500u);
    const std::string plain = temp.file("plain.qvr");
    writePlain(list.getTriangles(), plain);
    expectSameAnswers(list.getTriangles(), converted, plain, 7);
}
