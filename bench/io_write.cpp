// Writing a triangulation into a new TIN database, from the triangulation itself and from its list of
// triangles, beside plain SQLite writing the triangle rows alone and writing the same rows with the R*Tree
// filled by ordinary inserts, each in one transaction.
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include "randompoints.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using Pelko::Corvex::Point3D;
using Pelko::Corvex::Triangle3D;

namespace {

const Pelko::Corvex::Delaunay& delaunay()
{
    static const std::unique_ptr<Pelko::Corvex::Delaunay> built = [] {
        const std::vector<Point3D> points = randomTerrainPoints(1000000);
        auto result = std::make_unique<Pelko::Corvex::Delaunay>(points);
        result->buildDelaunayTriangulation(0);
        return result;
    }();
    return *built;
}

const std::vector<Triangle3D>& triangulation()
{
    static const std::vector<Triangle3D> triangles = delaunay().getAllTriangles();
    return triangles;
}

std::string freshPath(const char* name)
{
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::filesystem::remove(path);
    return path;
}

bool exec(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The same tables and rows with nothing but SQLite: grown boxes into the R*Tree (unless rowsOnly), then the
// triangle rows.
bool plainInsert(const std::vector<Triangle3D>& triangles, const std::string& path, bool rowsOnly)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        return false;
    bool ok = exec(db, "BEGIN EXCLUSIVE TRANSACTION;")
        && exec(db,
                "CREATE TABLE t (id INTEGER PRIMARY KEY,v0X double,v0Y double,v0Z double,v1X double,"
                "v1Y double,v1Z double,v2X double,v2Y double,v2Z double);")
        && exec(db, "CREATE VIRTUAL TABLE r USING rtree(id, minX, maxX, minY, maxY);");
    sqlite3_stmt* index = nullptr;
    sqlite3_stmt* rows = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "insert into r values(?,?,?,?,?)", -1, &index, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "insert into t values(?,?,?,?,?,?,?,?,?,?)", -1, &rows, nullptr)
            == SQLITE_OK;
    for (size_t i = 0; ok && !rowsOnly && i < triangles.size(); ++i) {
        double x[3], y[3];
        for (unsigned v = 0; v < 3; ++v) {
            x[v] = triangles[i].getVertex(v).x();
            y[v] = triangles[i].getVertex(v).y();
        }
        sqlite3_bind_int(index, 1, static_cast<int>(i));
        sqlite3_bind_double(index, 2, *std::min_element(x, x + 3) - 0.001);
        sqlite3_bind_double(index, 3, *std::max_element(x, x + 3) + 0.001);
        sqlite3_bind_double(index, 4, *std::min_element(y, y + 3) - 0.001);
        sqlite3_bind_double(index, 5, *std::max_element(y, y + 3) + 0.001);
        ok = sqlite3_step(index) == SQLITE_DONE;
        sqlite3_reset(index);
    }
    for (size_t i = 0; ok && i < triangles.size(); ++i) {
        sqlite3_bind_int(rows, 1, static_cast<int>(i));
        for (unsigned v = 0; v < 3; ++v) {
            Point3D p = triangles[i].getVertex(v);
            sqlite3_bind_double(rows, 2 + v * 3, p.x());
            sqlite3_bind_double(rows, 3 + v * 3, p.y());
            sqlite3_bind_double(rows, 4 + v * 3, p.z());
        }
        ok = sqlite3_step(rows) == SQLITE_DONE;
        sqlite3_reset(rows);
    }
    sqlite3_finalize(index);
    sqlite3_finalize(rows);
    ok = ok && exec(db, "COMMIT;");
    sqlite3_close(db);
    return ok;
}

// The list's border is worked out on a second thread while the rows are written: the real time is the
// measure, the CPU time is the writing thread's alone.
void BM_TrianglesWriter(benchmark::State& state)
{
    const std::vector<Triangle3D>& triangles = triangulation();
    for (auto _ : state) {
        state.PauseTiming();
        std::string path = freshPath("io_bench_write.qvr");
        state.ResumeTiming();
        if (!Pelko::IO::TrianglesWriter::write(triangles, path, nullptr))
            state.SkipWithError("write failed");
    }
    state.counters["triangles"] = static_cast<double>(triangles.size());
}

// The triangulation written as the TIN plug-in writes it, read in place, or through the list of
// getAllTriangles() taken first, as the plug-in did before.
void writeTriangulation(benchmark::State& state, bool throughList)
{
    const Pelko::Corvex::Delaunay& source = delaunay();
    triangulation(); // the baselines' list, built before any timing
    for (auto _ : state) {
        state.PauseTiming();
        std::string path = freshPath("io_bench_write.qvr");
        state.ResumeTiming();
        bool written = throughList
            ? Pelko::IO::TrianglesWriter::write(source.getAllTriangles(), path, nullptr)
            : Pelko::IO::TrianglesWriter::write(source, path, nullptr);
        if (!written)
            state.SkipWithError("write failed");
    }
    state.counters["triangles"] = static_cast<double>(source.getTriangleCount());
}

void BM_TrianglesWriterFromTriangulation(benchmark::State& state)
{
    writeTriangulation(state, false);
}

void BM_TrianglesWriterThroughList(benchmark::State& state)
{
    writeTriangulation(state, true);
}

void plainSqlite(benchmark::State& state, bool rowsOnly)
{
    const std::vector<Triangle3D>& triangles = triangulation();
    for (auto _ : state) {
        state.PauseTiming();
        std::string path = freshPath("io_bench_plain.qvr");
        state.ResumeTiming();
        if (!plainInsert(triangles, path, rowsOnly))
            state.SkipWithError("insert failed");
    }
    state.counters["triangles"] = static_cast<double>(triangles.size());
}

void BM_TriangleRowsOnly(benchmark::State& state)
{
    plainSqlite(state, true);
}

void BM_PlainSqliteWithRTree(benchmark::State& state)
{
    plainSqlite(state, false);
}

} // namespace

BENCHMARK(BM_TriangleRowsOnly)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
BENCHMARK(BM_TrianglesWriter)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
BENCHMARK(BM_TrianglesWriterFromTriangulation)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
BENCHMARK(BM_TrianglesWriterThroughList)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
// Minutes per run: once is enough to show what the packed index saves.
BENCHMARK(BM_PlainSqliteWithRTree)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
