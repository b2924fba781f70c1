#include "tinhelpers.h"

#include <tinborder.h>

#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/iprogress.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

using namespace Pelko::IO;
using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Polygon;
using Pelko::Corvex::Rect;
using Pelko::Corvex::Triangle3D;
using Zemko::Utility::Connection;
using Pairs = std::vector<std::pair<double, double>>;

namespace {

struct Recorder : IProgress
{
    void report(int percent) override { reports.push_back(percent); }
    std::vector<int> reports;
};

// Unit square split along the diagonal from (0, 0) to (1, 1).
std::vector<Triangle3D> square()
{
    return { tri(0, 0, 1, 0, 1, 1), tri(0, 0, 1, 1, 0, 1) };
}

ConnectionPtr tables(const std::string& path)
{
    ConnectionPtr connection = open(path, true);
    EXPECT_TRUE(TriangleRTreeControl::createTable(connection.get()));
    return connection;
}

} // namespace

TEST(TriangleRTreeControl, RowsIndexAndQueries)
{
    TempFolder temp;
    ConnectionPtr connection = tables(temp.file("q.qvr"));
    Connection* c = connection.get();

    EXPECT_FALSE(TriangleRTreeControl::getTriangle(c, 0).second);
    Point3D zero = TriangleRTreeControl::getTriangle(c, 0).first.getVertex(2);
    EXPECT_EQ(zero, Point3D(0, 0, 0));
    EXPECT_FALSE(TriangleRTreeControl::getRect(c, 0).second);

    // Tables are created again on every write.
    EXPECT_TRUE(TriangleRTreeControl::createTable(c));
    ASSERT_TRUE(TriangleRTreeControl::insert(c, { 7, 9 }, square()));

    EXPECT_EQ(rows(c, "select * from triangle "),
              (std::vector<std::vector<double>> { { 7, 0, 0, 0, 1, 0, 1, 1, 1, 2 },
                                                  { 9, 0, 0, 0, 1, 1, 1, 0, 1, 2 } }));
    std::pair<Rect, bool> box = TriangleRTreeControl::getRect(c, 7);
    ASSERT_TRUE(box.second);
    // The R*Tree keeps 32-bit floats rounded outwards.
    EXPECT_NEAR(box.first.getMinX(), -0.001, 1e-6);
    EXPECT_NEAR(box.first.getMinY(), -0.001, 1e-6);
    EXPECT_NEAR(box.first.getMaxX(), 1.001, 1e-6);
    EXPECT_NEAR(box.first.getMaxY(), 1.001, 1e-6);
    EXPECT_LE(box.first.getMinX(), -0.001);

    std::pair<Triangle3D, bool> row = TriangleRTreeControl::getTriangle(c, 9);
    ASSERT_TRUE(row.second);
    EXPECT_EQ(row.first.getVertex(1), Point3D(1, 1, 1));
    EXPECT_EQ(TriangleRTreeControl::getAllTriangles(c).size(), 2u);

    EXPECT_EQ(TriangleRTreeControl::getBelongedRect(c, Rect(1.0005, 0.5, 2, 2)), (std::vector<int> { 7, 9 }));
    EXPECT_TRUE(TriangleRTreeControl::getBelongedRect(c, Rect(1.01, 0.5, 2, 2)).empty());
    EXPECT_EQ(TriangleRTreeControl::getBelongedRect(c, Point(0.9, 0.1)).size(), 2u);

    // Inside one, on the shared edge, at a shared vertex, outside both.
    EXPECT_EQ(TriangleRTreeControl::getBelongedTriangles(c, Point(0.9, 0.1)).size(), 1u);
    EXPECT_EQ(TriangleRTreeControl::getBelongedTriangles(c, Point(0.5, 0.5)).size(), 2u);
    EXPECT_EQ(TriangleRTreeControl::getBelongedTriangles(c, Point(0, 0)).size(), 2u);
    EXPECT_EQ(TriangleRTreeControl::getBelongedTriangles(c, Point(0, 1)).size(), 1u);
    EXPECT_TRUE(TriangleRTreeControl::getBelongedTriangles(c, Point(2, 2)).empty());
    // Two points: the triangles holding the edge between them.
    EXPECT_EQ(TriangleRTreeControl::getBelongedTriangles(c, Point(0, 0), Point(1, 1)).size(), 2u);
    std::vector<Triangle3D> edge = TriangleRTreeControl::getBelongedTriangles(c, Point(0, 0), Point(1, 0));
    ASSERT_EQ(edge.size(), 1u);
    EXPECT_EQ(edge[0].getVertex(1), Point3D(1, 0, 1));
    EXPECT_TRUE(TriangleRTreeControl::getBelongedTriangles(c, Point(1, 0), Point(0, 1)).empty());

    // A triangle row alone is not found by the window queries.
    EXPECT_TRUE(TriangleRTreeControl::insertTriangle(c, 20, tri(5, 5, 6, 5, 6, 6)));
    EXPECT_FALSE(TriangleRTreeControl::insertTriangle(c, 20, tri(5, 5, 6, 5, 6, 6)));
    EXPECT_TRUE(TriangleRTreeControl::getBelongedTriangles(c, Point(5.9, 5.1)).empty());
    EXPECT_TRUE(TriangleRTreeControl::insertIndex(c, 20, tri(5, 5, 6, 5, 6, 6)));
    EXPECT_EQ(TriangleRTreeControl::getBelongedTriangles(c, Point(5.9, 5.1)).size(), 1u);

    // Lists of different lengths are refused before anything is written.
    EXPECT_FALSE(TriangleRTreeControl::insert(c, { 30 }, square()));
    EXPECT_FALSE(TriangleRTreeControl::insert(c, { 30, 31, 32 }, square()));
    EXPECT_EQ(rows(c, "select count(*) from triangleRTree ")[0][0], 3);
    EXPECT_EQ(rows(c, "select count(*) from triangle ")[0][0], 3);

    EXPECT_TRUE(TriangleRTreeControl::removeRecords(c));
    EXPECT_TRUE(TriangleRTreeControl::getAllTriangles(c).empty());
    EXPECT_TRUE(TriangleRTreeControl::getBelongedRect(c, Point(0.5, 0.5)).empty());

    // Without a connection everything is refused or empty.
    EXPECT_FALSE(TriangleRTreeControl::createTable(nullptr));
    EXPECT_FALSE(TriangleRTreeControl::insert(nullptr, square(), nullptr));
    EXPECT_TRUE(TriangleRTreeControl::getAllTriangles(nullptr).empty());
    EXPECT_TRUE(BorderExtractor::extract(nullptr).getPointCount() == 0);
}

TEST(TriangleRTreeControl, WindowTextIgnoresLocale)
{
    const std::string expected = "SELECT id FROM triangleRTree  WHERE maxX>=1.2346 AND minX<=-2.5000 AND "
                                 "maxY>=1000000.0000 AND minY<=0.0000";
    Rect window(1.23456, 1e6, -2.5, 0.00004);
    EXPECT_EQ(TriangleRTreeControl::windowQuery(window), expected);

    const char* commaLocales[] = { "de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "ru_RU.UTF-8" };
    std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* found = nullptr;
    for (const char* name : commaLocales)
        if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',') {
            found = name;
            break;
        }
    if (!found) {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    std::string text = TriangleRTreeControl::windowQuery(window);

    TempFolder temp;
    ConnectionPtr connection = tables(temp.file("locale.qvr"));
    EXPECT_TRUE(TriangleRTreeControl::insert(connection.get(), square(), nullptr));
    size_t found3 = TriangleRTreeControl::getBelongedTriangles(connection.get(), Point(0.25, 0.75)).size();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(text, expected) << "under " << found;
    EXPECT_EQ(found3, 1u);
}

TEST(BorderExtractor, Walks)
{
    TempFolder temp;
    auto border = [&](const char* name, const std::vector<Triangle3D>& triangles) {
        ConnectionPtr connection = tables(temp.file(name));
        EXPECT_TRUE(TriangleRTreeControl::insert(connection.get(), triangles, nullptr));
        const Polygon walked = BorderExtractor::extract(connection.get());
        EXPECT_EQ(tinBorderFault(triangles, walked), "") << name;
        return points(walked);
    };

    EXPECT_TRUE(border("empty.qvr", {}).empty());
    EXPECT_EQ(border("single.qvr", { tri(2, 0, 0, 0, 1, 5) }), (Pairs { { 0, 0 }, { 2, 0 }, { 1, 5 } }));
    EXPECT_EQ(border("square.qvr", square()), (Pairs { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }));

    // The descent to the smallest x starts from triangle 0 and follows shared vertices.
    std::vector<Triangle3D> strip { tri(2, 0, 3, 0, 3, 1), tri(2, 0, 3, 1, 2, 1), tri(1, 0, 2, 0, 2, 1),
                                    tri(1, 0, 2, 1, 1, 1) };
    EXPECT_EQ(border("strip.qvr", strip),
              (Pairs { { 1, 0 }, { 2, 0 }, { 3, 0 }, { 3, 1 }, { 2, 1 }, { 1, 1 } }));
    ConnectionPtr stripDb = open(temp.file("strip.qvr"));
    std::pair<Point, bool> start = BorderExtractor::findBorderPoint(stripDb.get());
    EXPECT_TRUE(start.second);
    EXPECT_EQ(start.first.getX(), 1);

    // Two triangles touching at one vertex, either first: the walk passes it once for each gap between
    // them, where it closed early round the first.
    const Pairs bowtie { { 0, 0 }, { 1, 1 }, { 2, 0 }, { 2, 2 }, { 1, 1 }, { 0, 2 } };
    EXPECT_EQ(border("bowtie.qvr", { tri(0, 0, 0, 2, 1, 1), tri(1, 1, 2, 0, 2, 2) }), bowtie);
    EXPECT_EQ(border("bowtie2.qvr", { tri(1, 1, 2, 0, 2, 2), tri(0, 0, 0, 2, 1, 1) }), bowtie);
    // Two 5 x 5 meshes meeting at a corner.
    std::vector<Triangle3D> meshes;
    for (int m = 0; m < 2; ++m)
        for (int i = 0; i < 5; ++i)
            for (int j = 0; j < 5; ++j) {
                const double x = 5 * m + i, y = 5 * m + j;
                meshes.push_back(tri(x, y, x + 1, y, x + 1, y + 1));
                meshes.push_back(tri(x, y, x + 1, y + 1, x, y + 1));
            }
    EXPECT_EQ(border("meshes.qvr", meshes).size(), 40u);

    // Without triangle 0, or without index rows, there is no border.
    ConnectionPtr noZero = tables(temp.file("nozero.qvr"));
    EXPECT_TRUE(TriangleRTreeControl::insert(noZero.get(), { 1, 2 }, square()));
    EXPECT_EQ(BorderExtractor::extract(noZero.get()).getPointCount(), 0u);
    ConnectionPtr noIndex = tables(temp.file("noindex.qvr"));
    EXPECT_TRUE(TriangleRTreeControl::insertTriangle(noIndex.get(), 0, square()[0]));
    EXPECT_FALSE(BorderExtractor::findBorderPoint(noIndex.get()).second);
    EXPECT_EQ(BorderExtractor::extract(noIndex.get()).getPointCount(), 0u);
}

namespace {

// Reports of a list's write: each above the last, the border's rows, the sync and the commit last.
void expectClimbsToCommit(const std::vector<int>& reports)
{
    ASSERT_GE(reports.size(), 4u);
    EXPECT_EQ(std::adjacent_find(reports.begin(), reports.end(), std::greater_equal<int>()), reports.end());
    EXPECT_GE(reports.front(), 0);
    EXPECT_EQ(std::vector<int>(reports.end() - 4, reports.end()), (std::vector<int> { 95, 97, 99, 100 }));
}

} // namespace

TEST(TrianglesWriter, WritesTrianglesIndexAndBorder)
{
    TempFolder temp;
    const std::string path = temp.file("tin.qvr");
    Recorder recorder;
    std::vector<Triangle3D> four
        = { tri(0, 0, 1, 0, 1, 1), tri(0, 0, 1, 1, 0, 1), tri(1, 0, 2, 0, 2, 1), tri(1, 0, 2, 1, 1, 1) };
    ASSERT_TRUE(TrianglesWriter::write(four, path, &recorder));
    EXPECT_EQ(tinBorderFault(path), "");
    // The index and the rows weigh 60, the border 35 (worked out beside the rows, so the two mix as the
    // threads go), the border's rows, the sync and the commit the rest: 100 once committed.
    expectClimbsToCommit(recorder.reports);

    ConnectionPtr connection = open(path);
    ASSERT_TRUE(connection);
    EXPECT_EQ(TriangleRTreeControl::getAllTriangles(connection.get()).size(), 4u);
    EXPECT_EQ(rows(connection.get(), "select id from triangleRTree  order by id"),
              (std::vector<std::vector<double>> { { 0 }, { 1 }, { 2 }, { 3 } }));
    EXPECT_EQ(points(BorderControl::getPolygon(connection.get())),
              (Pairs { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 2, 1 }, { 1, 1 }, { 0, 1 } }));
    connection.reset();

    // Writing again replaces the model; a null callback is allowed.
    ASSERT_TRUE(TrianglesWriter::write(square(), path, nullptr));
    EXPECT_EQ(tinBorderFault(path), "");
    connection = open(path);
    EXPECT_EQ(TriangleRTreeControl::getAllTriangles(connection.get()).size(), 2u);
    EXPECT_EQ(BorderControl::getPolygon(connection.get()).getPointCount(), 4u);
    connection.reset();

    // An empty list leaves empty tables and reports only the commit's share.
    recorder.reports.clear();
    ASSERT_TRUE(TrianglesWriter::write(std::vector<Triangle3D>(), path, &recorder));
    EXPECT_EQ(tinBorderFault(path), "");
    expectClimbsToCommit(recorder.reports);
    connection = open(path);
    EXPECT_TRUE(TriangleRTreeControl::getAllTriangles(connection.get()).empty());
    EXPECT_EQ(BorderControl::getPolygon(connection.get()).getPointCount(), 0u);
    EXPECT_EQ(rows(connection.get(), "select count(*) from triangleRTree ")[0][0], 0);
    connection.reset();

    EXPECT_FALSE(TrianglesWriter::write(square(), temp.file("missing/tin.qvr"), nullptr));
    EXPECT_FALSE(std::filesystem::exists(temp.file("missing")));
}

TEST(TrianglesWriter, WritesDelaunay)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(0, 100);
    std::vector<Point3D> input { { 0, 0, 1 }, { 100, 0, 2 }, { 100, 100, 3 }, { 0, 100, 4 } };
    for (int i = 0; i < 60; ++i)
        input.emplace_back(coordinate(random), coordinate(random), 10);
    Pelko::Corvex::Delaunay delaunay(input);
    delaunay.buildDelaunayTriangulation(0);

    TempFolder temp;
    const std::string path = temp.file("delaunay.qvr");
    ASSERT_TRUE(TrianglesWriter::write(delaunay, path, nullptr));
    EXPECT_EQ(tinBorderFault(path), "");
    ConnectionPtr connection = open(path);
    EXPECT_EQ(TriangleRTreeControl::getAllTriangles(connection.get()).size(),
              delaunay.getAllTriangles().size());
    // The border of a point set's triangulation is its convex hull, here the square's corners and
    // whatever lies on its sides.
    Polygon border = BorderControl::getPolygon(connection.get());
    ASSERT_GE(border.getPointCount(), 4u);
    // The walk starts where the descent to smaller x from triangle 0 ends: a corner of least x, (0, 0) or
    // (0, 100) as the triangulation numbers its triangles.
    EXPECT_EQ(points(border).front().first, 0.0);
    for (const auto& [x, y] : points(border))
        EXPECT_TRUE(x == 0 || x == 100 || y == 0 || y == 100) << x << " " << y;
}

TEST(TrianglesWriter, FailedWriteRollsBackAndCloses)
{
    TempFolder temp;
    const std::string path = temp.file("broken.qvr");
    {
        // A check on the triangle table makes the first triangle row fail after the index rows went in.
        ConnectionPtr connection = open(path, true);
        ASSERT_TRUE(Zemko::Utility::BaseTableControl::createTable(
            "triangle  (id INTEGER PRIMARY KEY,v0X double,v0Y double,v0Z double,v1X double CHECK(v1X < 1),"
            "v1Y double,v1Z double,v2X double,v2Y double,v2Z double)",
            connection.get()));
        ASSERT_TRUE(BorderControl::createTable(connection.get()));
        Polygon old;
        old.appendPoint(Point(7, 7));
        ASSERT_TRUE(BorderControl::insertPolygon(connection.get(), old, nullptr));
    }
    Recorder recorder;
    EXPECT_FALSE(TrianglesWriter::write(square(), path, &recorder));
    // The index's two reports and the first row's, each above the last, the border's share mixed in as
    // far as its thread got; none of the border's rows or the commit.
    ASSERT_EQ(recorder.reports.size(), 3u);
    EXPECT_EQ(std::adjacent_find(recorder.reports.begin(), recorder.reports.end(), std::greater_equal<int>()),
              recorder.reports.end());
    EXPECT_GE(recorder.reports.front(), 15);
    EXPECT_LT(recorder.reports.back(), 95);

    // Nothing is left locked and nothing of the failed write is kept.
    ConnectionPtr connection = open(path);
    ASSERT_TRUE(connection);
    EXPECT_TRUE(connection->beginTransactionWithExclusive());
    EXPECT_TRUE(rows(connection.get(), "select * from triangleRTree ").empty());
    EXPECT_EQ(points(BorderControl::getPolygon(connection.get())), (Pairs { { 7, 7 } }));
    EXPECT_TRUE(connection->rollback());
}

namespace {

// A triangulation of random points large enough for several batches of rows and nodes.
Pelko::Corvex::Delaunay& largeTriangulation()
{
    static Pelko::Corvex::Delaunay delaunay = [] {
        std::mt19937 random(17);
        std::uniform_real_distribution<double> coordinate(0, 1000);
        std::vector<Point3D> input;
        for (int i = 0; i < 6000; ++i)
            input.emplace_back(coordinate(random), coordinate(random), coordinate(random) / 10);
        return Pelko::Corvex::Delaunay(input);
    }();
    if (delaunay.getTriangleCount() == 0)
        delaunay.buildDelaunayTriangulation(0);
    return delaunay;
}

std::vector<std::vector<double>> everything(const std::string& path)
{
    EXPECT_EQ(tinBorderFault(path), "");
    ConnectionPtr connection = open(path);
    std::vector<std::vector<double>> result = rows(connection.get(), "select * from triangle  order by id");
    for (const auto& row : rows(connection.get(), "select * from triangleRTree  order by id"))
        result.push_back(row);
    for (const auto& row : rows(connection.get(), "select * from border  order by id"))
        result.push_back(row);
    return result;
}

} // namespace

TEST(TrianglesWriter, TriangulationWrittenFromItsArraysAsFromItsList)
{
    const Pelko::Corvex::Delaunay& delaunay = largeTriangulation();
    TempFolder temp;
    Recorder fromArrays, fromList;
    ASSERT_TRUE(TrianglesWriter::write(delaunay, temp.file("arrays.qvr"), &fromArrays));
    ASSERT_TRUE(TrianglesWriter::write(delaunay.getAllTriangles(), temp.file("list.qvr"), &fromList));
    // The list's border is worked out beside its rows, which then share the bar: both climb to 100 once
    // committed.
    for (const std::vector<int>& reports : { fromArrays.reports, fromList.reports }) {
        EXPECT_EQ(std::adjacent_find(reports.begin(), reports.end(), std::greater_equal<int>()),
                  reports.end());
        EXPECT_EQ(reports.back(), 100);
    }
    const auto written = everything(temp.file("arrays.qvr"));
    EXPECT_GT(written.size(), 2 * delaunay.getAllTriangles().size());
    EXPECT_EQ(written, everything(temp.file("list.qvr")));

    // Asked for, SQLite reads the packed tree back as well.
    TriangleRTreeControl::setSqliteIndexCheck(true);
    EXPECT_TRUE(TrianglesWriter::write(delaunay, temp.file("checked.qvr"), nullptr));
    TriangleRTreeControl::setSqliteIndexCheck(false);
    EXPECT_EQ(everything(temp.file("checked.qvr")), written);
}

TEST(TrianglesWriter, CancelStopsTheWriteAndKeepsNothing)
{
    const Pelko::Corvex::Delaunay& delaunay = largeTriangulation();
    const std::vector<Triangle3D> list = delaunay.getAllTriangles();
    TempFolder temp;
    const std::string path = temp.file("cancelled.qvr");
    ASSERT_TRUE(TrianglesWriter::write(square(), path, nullptr));
    const auto before = everything(path);

    // Every look at the flag: cancelled there, the write stops at once (no row is reported after it).
    Canceller uncancelled(1 << 30);
    ASSERT_TRUE(TrianglesWriter::write(delaunay, temp.file("whole.qvr"), &uncancelled));
    EXPECT_EQ(tinBorderFault(temp.file("whole.qvr")), "");
    const int asks = uncancelled.asked;
    // Between batches of index nodes and links, of rows, and before the border and the commit.
    ASSERT_GE(asks, 10);
    for (int after = 0; after < asks; ++after) {
        SCOPED_TRACE(after);
        Canceller fromArrays(after);
        EXPECT_FALSE(TrianglesWriter::write(delaunay, path, &fromArrays));
        EXPECT_EQ(static_cast<int>(fromArrays.reports.size()), fromArrays.reportsBeforeCancel);
        // The list's border looks at a flag of its own, which the writing thread sets from the callback
        // while it waits for it: a cancel after the list's last look never comes.
        Canceller fromList(after);
        if (TrianglesWriter::write(list, path, &fromList)) {
            EXPECT_LE(fromList.asked, after);
            ASSERT_TRUE(TrianglesWriter::write(square(), path, nullptr));
        } else {
            EXPECT_EQ(static_cast<int>(fromList.reports.size()), fromList.reportsBeforeCancel);
        }
        EXPECT_EQ(everything(path), before);
    }
}

namespace {

// Watches a database being written until the file done exists: 1 when its journal stood at some moment
// while no process held a lock on the database, 0 otherwise. Runs in a child process: system calls only.
int watchLocks(const char* database, const char* journal, const char* done)
{
    bool lost = false;
    while (::access(done, F_OK) != 0) {
        struct stat before;
        struct stat after;
        if (::stat(journal, &before) != 0)
            continue;
        const int fd = ::open(database, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        const bool free = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type == F_UNLCK;
        ::close(fd);
        // The same journal before and after: one transaction, which holds its lock throughout.
        if (free && ::stat(journal, &after) == 0 && after.st_ino == before.st_ino)
            lost = true;
    }
    return lost ? 1 : 0;
}

} // namespace

TEST(TrianglesWriter, CancelAskedInEveryPhase)
{
    // A TIN of 3 million points ran 1.5 s from its start before the first look at the flag (renumbering
    // the corners, the boxes, the index's sort), and up to a second at its end without one (the border's
    // filing of the triangles, the commit's sync). Each pass over the triangles in memory now looks at
    // least once per 65,536 of them, and the file is written out a megabyte at a time before the commit.
    constexpr size_t batch = 65536;
    std::mt19937 random(8);
    std::uniform_real_distribution<double> coordinate(0, 1000);
    std::vector<Point3D> points;
    for (int i = 0; i < 34000; ++i)
        points.emplace_back(coordinate(random), coordinate(random), coordinate(random) / 10);
    Pelko::Corvex::Delaunay delaunay(points);
    delaunay.buildDelaunayTriangulation(0);
    const size_t n = delaunay.getTriangleCount();
    ASSERT_GT(n, batch);
    TempFolder temp;
    const std::string path = temp.file("large.qvr");
    // Meanwhile another process watches the write's locks: the file written out through a descriptor of
    // its own, closing that descriptor before the commit dropped SQLite's lock, and a reader would have
    // rolled the transaction back as that of a crashed write.
    const std::string journal = path + "-journal", done = temp.file("done");
    const pid_t watcher = ::fork();
    if (watcher == 0)
        ::_exit(watchLocks(path.c_str(), journal.c_str(), done.c_str()));
    // Once the rows and their index are written, 60 of the write.
    Canceller looks(1 << 30);
    looks.lastReport = 60;
    const bool written = TrianglesWriter::write(delaunay, path, &looks);
    std::ofstream(done).put('.');
    int status = -1;
    ASSERT_EQ(::waitpid(watcher, &status, 0), watcher);
    ASSERT_TRUE(written);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the journal stood without a lock";
    // Before the first row: the renumbering, the boxes, the sort's count and three moves along x and the
    // same along y.
    EXPECT_GE(static_cast<size_t>(looks.askedBeforeReports), 10 * (n / batch));
    // After the last: the border's two passes over the triangles, and the file written out.
    EXPECT_GE(static_cast<size_t>(looks.askedAfterReports),
              2 * (n / batch) + std::filesystem::file_size(path) / (1 << 20));
    // The border alone: its walk and check round a short border hardly look, its filing of the
    // triangles round their corners looks in both passes.
    Canceller filing(1 << 30);
    ASSERT_GT(BorderExtractor::extract(delaunay, &filing).getPointCount(), 2u);
    EXPECT_GE(static_cast<size_t>(filing.asked), 2 * (n / batch));

    // The border's rows too, once per 4096: a strip two points wide has all its points on its border. Of
    // the looks after the last report, those beyond the border's own (counted alone) grow with its rows.
    std::vector<Point3D> strip;
    for (int i = 0; i < 30000; ++i) {
        strip.emplace_back(i, 0, i % 7);
        strip.emplace_back(i + 0.5, 1, i % 5);
    }
    Pelko::Corvex::Delaunay narrow(strip);
    narrow.buildDelaunayTriangulation(0);
    Canceller walk(1 << 30);
    const size_t border = BorderExtractor::extract(narrow, &walk).getPointCount();
    ASSERT_EQ(border, strip.size());
    Canceller rows(1 << 30);
    rows.lastReport = 60;
    const std::string stripPath = temp.file("strip.qvr");
    ASSERT_TRUE(TrianglesWriter::write(narrow, stripPath, &rows));
    EXPECT_GE(rows.askedAfterReports - walk.asked, static_cast<int>(border / 4096));
}

TEST(TrianglesWriter, TellsATinDatabase)
{
    TempFolder temp;
    const std::string written = temp.file("written.qvr");
    ASSERT_TRUE(TrianglesWriter::write({ tri(0, 0, 1, 0, 0, 1) }, written, nullptr));
    EXPECT_TRUE(TrianglesWriter::isTinDatabase(written));
    // Without any triangle, too.
    const std::string empty = temp.file("empty.qvr");
    ASSERT_TRUE(TrianglesWriter::write(std::vector<Triangle3D>(), empty, nullptr));
    EXPECT_TRUE(TrianglesWriter::isTinDatabase(empty));

    // Another database, a road file, an empty file, a folder and nothing at all are not.
    const std::string other = temp.file("other.db");
    {
        ConnectionPtr connection = open(other, true);
        ASSERT_TRUE(Zemko::Utility::BaseTableControl::createTable("triangle (id INTEGER PRIMARY KEY)",
                                                                  connection.get()));
    }
    EXPECT_FALSE(TrianglesWriter::isTinDatabase(other));
    const std::string road = temp.file("road.rod");
    std::ofstream(road) << "<?xml version=\"1.0\"?>\n<Road><Version>4</Version></Road>\n";
    EXPECT_FALSE(TrianglesWriter::isTinDatabase(road));
    std::ofstream(temp.file("nothing.qvr")).flush();
    EXPECT_FALSE(TrianglesWriter::isTinDatabase(temp.file("nothing.qvr")));
    EXPECT_FALSE(TrianglesWriter::isTinDatabase(temp.path));
    EXPECT_FALSE(TrianglesWriter::isTinDatabase(temp.file("missing.qvr")));
    EXPECT_FALSE(TrianglesWriter::isTinDatabase(""));

    // Looking changes nothing.
    std::ifstream in(road);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              "<?xml version=\"1.0\"?>\n<Road><Version>4</Version></Road>\n");

    // A TIN another program is writing just then is one all the same: the look waits for its lock.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
        ConnectionPtr connection = open(written);
        const bool locked = connection && connection->beginTransactionWithExclusive();
        const char answer = locked ? '1' : '0';
        if (::write(ready[1], &answer, 1) == 1 && locked)
            ::usleep(300000);
        ::_exit(locked && connection->commit() ? 0 : 1);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(answer, '1');
    EXPECT_TRUE(TrianglesWriter::isTinDatabase(written));
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// SQLite opens a database only where its full path leaves room for the journal's name within its limit
// on paths (512 bytes here); links are resolved first.
TEST(TrianglesWriter, KnowsTheLongestDatabasePath)
{
    TempFolder temp;
    std::string folder = temp.path;
    while (folder.size() < 400) {
        folder += "/" + std::string(std::min<size_t>(100, 400 - folder.size()), 'd');
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    auto named
        = [&folder](size_t length) { return folder + "/" + std::string(length - folder.size() - 1, 't'); };
    size_t longest = 0;
    EXPECT_TRUE(TrianglesWriter::fitsDatabasePath(named(504), &longest));
    EXPECT_EQ(longest, 504u);
    EXPECT_FALSE(TrianglesWriter::fitsDatabasePath(named(505)));
    EXPECT_FALSE(TrianglesWriter::fitsDatabasePath(named(600)));
    EXPECT_FALSE(TrianglesWriter::fitsDatabasePath(folder + "/" + std::string(255, 't') + "/"
                                                   + std::string(255, 't')));
    EXPECT_TRUE(TrianglesWriter::write({ tri(0, 0, 1, 0, 0, 1) }, named(504), nullptr));
    EXPECT_FALSE(TrianglesWriter::write({ tri(0, 0, 1, 0, 0, 1) }, named(505), nullptr));
    // A short link to a long path is as long as the path.
    const std::string link = temp.file("short.qvr");
    ASSERT_EQ(::symlink(named(505).c_str(), link.c_str()), 0);
    std::ofstream(named(505)).flush();
    EXPECT_FALSE(TrianglesWriter::fitsDatabasePath(link));
    EXPECT_TRUE(TrianglesWriter::fitsDatabasePath(temp.file("other.qvr")));
}
