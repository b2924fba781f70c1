// The border of a TIN as the writer finds it for a triangulation, walked over the triangulation's
// corners in memory, beside the same walk through the database's R*Tree queries on the rows written from
// it (how the writer found it before, and still finds it for a triangle list). On the triangulation of
// 1,000,000 random points, and on a fan: 2,000 points on a line and one off it, whose triangles' boxes all
// overlap the line.
// The same triangles as the faces of a drawing (a list, corners joined where they are equal), walked in
// memory as a DXF conversion now walks them, beside the stored walk over the same rows; and drawings of
// 20,000 and 200,000 faces fanned round one point, whose stored walk takes minutes, beside the faces of the
// triangulation of 100,000 random points (about 200,000): the cost per face of a fan is that of any other
// drawing. Drawings whose corners lie on other faces' edges are walked over the edges cut there: 200,000
// faces of squares, every other one cut in four, and the fan with a face over every two of its faces along
// its border. With a sliver along a border edge, the squares and the fan of 200,000 faces have their border
// worked out from the ground the faces cover.
// Drawings whose border once cost far more than their faces, each beside a mesh of as many faces with
// shared corners, in time and in the peak of memory taken through operator new during a run: a mesh written
// face by face at survey coordinates (every corner of every face moved on its own by up to a micrometre),
// and long thin faces all crossing at one centre.
#include <io/borderextractor.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include "randompoints.h"

#include <utility/connection.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

// Bytes taken through operator new and not given back, and the most since the last reset.
std::atomic<size_t> liveBytes { 0 }, peakBytes { 0 };
constexpr size_t header = alignof(std::max_align_t);

void* take(size_t size)
{
    void* block = std::malloc(size + header);
    if (!block)
        throw std::bad_alloc();
    *static_cast<size_t*>(block) = size;
    const size_t now = liveBytes += size;
    size_t peak = peakBytes.load(std::memory_order_relaxed);
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now, std::memory_order_relaxed)) { }
    return static_cast<char*>(block) + header;
}

void give(void* p) noexcept
{
    if (!p)
        return;
    char* block = static_cast<char*>(p) - header;
    liveBytes -= *reinterpret_cast<size_t*>(block);
    std::free(block);
}

} // namespace

void* operator new(size_t size)
{
    return take(size);
}
void* operator new[](size_t size)
{
    return take(size);
}
void operator delete(void* p) noexcept
{
    give(p);
}
void operator delete[](void* p) noexcept
{
    give(p);
}
void operator delete(void* p, size_t) noexcept
{
    give(p);
}
void operator delete[](void* p, size_t) noexcept
{
    give(p);
}

using Pelko::Corvex::Delaunay;
using Pelko::Corvex::Point3D;
using Zemko::Utility::Connection;

namespace {

struct Model
{
    std::unique_ptr<Delaunay> delaunay;
    std::string path;
    std::vector<Pelko::Corvex::Triangle3D> faces;
};

Model build(const char* name, const std::vector<Point3D>& points)
{
    Model model { std::make_unique<Delaunay>(points),
                  (std::filesystem::temp_directory_path() / name).string(),
                  {} };
    model.delaunay->buildDelaunayTriangulation(Delaunay::PlainDelaunay);
    std::filesystem::remove(model.path);
    if (!Pelko::IO::TrianglesWriter::write(*model.delaunay, model.path, nullptr))
        model.path.clear();
    model.faces = model.delaunay->getAllTriangles();
    return model;
}

const Model& randomModel()
{
    static const Model model = [] {
        const std::vector<Point3D> points = randomTerrainPoints(1000000);
        return build("io_bench_border_random.qvr", points);
    }();
    return model;
}

const Model& fanModel()
{
    static const Model model = [] {
        std::vector<Point3D> points;
        for (int i = 0; i < 2000; ++i)
            points.emplace_back(i, i, 1);
        points.emplace_back(100, 0, 1);
        return build("io_bench_border_fan.qvr", points);
    }();
    return model;
}

// n faces round (100, 0) over the points of the line x = y, as a drawing gives them (no database).
std::vector<Pelko::Corvex::Triangle3D> fan(int n)
{
    std::vector<Pelko::Corvex::Triangle3D> list;
    for (int i = 0; i < n; ++i)
        list.emplace_back(Point3D(100, 0, 1), Point3D(i, i, 1), Point3D(i + 1, i + 1, 1));
    return list;
}

const std::vector<Pelko::Corvex::Triangle3D>& fanFaces()
{
    static const std::vector<Pelko::Corvex::Triangle3D> faces = fan(20000);
    return faces;
}

const std::vector<Pelko::Corvex::Triangle3D>& largeFanFaces()
{
    static const std::vector<Pelko::Corvex::Triangle3D> faces = fan(200000);
    return faces;
}

// The faces of the triangulation of 100,000 random points.
const std::vector<Pelko::Corvex::Triangle3D>& randomFaces()
{
    static const std::vector<Pelko::Corvex::Triangle3D> faces = [] {
        Delaunay delaunay(randomTerrainPoints(100000));
        delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
        return delaunay.getAllTriangles();
    }();
    return faces;
}

// 2 x 2 blocks in a checkerboard of 200 x 200, one square of two faces or four squares of two faces each:
// each corner in the middle of a block's side lies on the edge of the whole square beside it.
const std::vector<Pelko::Corvex::Triangle3D>& cutSquares()
{
    static const std::vector<Pelko::Corvex::Triangle3D> faces = [] {
        std::vector<Pelko::Corvex::Triangle3D> list;
        auto square = [&list](double x, double y, double side) {
            list.emplace_back(Point3D(x, y, 1), Point3D(x + side, y, 1), Point3D(x + side, y + side, 1));
            list.emplace_back(Point3D(x, y, 1), Point3D(x + side, y + side, 1), Point3D(x, y + side, 1));
        };
        for (int i = 0; i < 200; ++i)
            for (int j = 0; j < 200; ++j)
                if ((i + j) % 2)
                    square(2 * i, 2 * j, 2);
                else
                    for (int k = 0; k < 4; ++k)
                        square(2 * i + k % 2, 2 * j + k / 2, 1);
        return list;
    }();
    return faces;
}

// The 20,000 fanned faces with a face over every two of them across the line.
const std::vector<Pelko::Corvex::Triangle3D>& sawAlongTheFan()
{
    static const std::vector<Pelko::Corvex::Triangle3D> faces = [] {
        std::vector<Pelko::Corvex::Triangle3D> list = fanFaces();
        for (int i = 0; i < 20000; i += 2)
            list.emplace_back(Point3D(i, i, 1), Point3D(i + 2, i + 2, 1), Point3D(i, i + 2, 1));
        return list;
    }();
    return faces;
}

// Faces with one more along a border edge, its third corner just inside: it overlaps the face of that
// edge, as rounding a flat face to millimetres makes it, and the border is worked out from the ground.
std::vector<Pelko::Corvex::Triangle3D> withSliver(std::vector<Pelko::Corvex::Triangle3D> list, Point3D a,
                                                  Point3D b, Point3D inside)
{
    list.emplace_back(a, b, inside);
    return list;
}

const std::vector<Pelko::Corvex::Triangle3D>& sliveredCutSquares()
{
    static const std::vector<Pelko::Corvex::Triangle3D> faces
        = withSliver(cutSquares(), Point3D(0, 0, 1), Point3D(1, 0, 1), Point3D(0.5, 0.001, 1));
    return faces;
}

const std::vector<Pelko::Corvex::Triangle3D>& sliveredLargeFan()
{
    static const std::vector<Pelko::Corvex::Triangle3D> faces
        = withSliver(largeFanFaces(), Point3D(0, 0, 1), Point3D(1, 1, 1), Point3D(0.5, 0.499, 1));
    return faces;
}

void stored(benchmark::State& state, const Model& model)
{
    Connection* connection = Connection::create(model.path, false);
    if (!connection) {
        state.SkipWithError("no database");
        return;
    }
    unsigned points = 0;
    for (auto _ : state)
        points = Pelko::IO::BorderExtractor::extract(connection).getPointCount();
    Connection::destory(connection);
    state.counters["border_points"] = points;
}

void inMemory(benchmark::State& state, const Model& model)
{
    unsigned points = 0;
    for (auto _ : state)
        points = Pelko::IO::BorderExtractor::extract(*model.delaunay, nullptr).getPointCount();
    state.counters["border_points"] = points;
}

// The faces as a list, walked in memory; the rows are there for the walk to fall back on, which these do
// not need.
void drawing(benchmark::State& state, const std::vector<Pelko::Corvex::Triangle3D>& faces,
             const std::string& path)
{
    Connection* connection = path.empty() ? nullptr : Connection::create(path, false);
    unsigned points = 0;
    for (auto _ : state)
        points = Pelko::IO::BorderExtractor::extract(faces, connection, nullptr).getPointCount();
    if (connection)
        Connection::destory(connection);
    state.counters["border_points"] = points;
    state.counters["faces"] = static_cast<double>(faces.size());
}

// An n x n grid of squares of two faces each at survey coordinates; with jitter every corner of every face
// moved on its own by up to that much in x and y, as a drawing written face by face with its own rounding.
std::vector<Pelko::Corvex::Triangle3D> surveyMesh(int n, double jitter)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> move(-jitter, jitter);
    const double x0 = 500000.25, y0 = 4000000.5, side = 2;
    auto corner = [&](int i, int j) {
        return Point3D(x0 + side * i + (jitter > 0 ? move(random) : 0),
                       y0 + side * j + (jitter > 0 ? move(random) : 0), 100);
    };
    std::vector<Pelko::Corvex::Triangle3D> list;
    list.reserve(2 * static_cast<size_t>(n) * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            list.emplace_back(corner(i, j), corner(i + 1, j), corner(i + 1, j + 1));
            list.emplace_back(corner(i, j), corner(i + 1, j + 1), corner(i, j + 1));
        }
    return list;
}

// n long thin faces through one centre, each at its own angle: every two cross.
std::vector<Pelko::Corvex::Triangle3D> crossingFaces(int n)
{
    std::vector<Pelko::Corvex::Triangle3D> list;
    const double pi = std::acos(-1.0), cx = 500000.25, cy = 4000000.5, length = 100, width = 0.5;
    for (int i = 0; i < n; ++i) {
        const double a = pi * (i + 0.5) / n, ux = std::cos(a), uy = std::sin(a);
        list.emplace_back(Point3D(cx + length * ux, cy + length * uy, 100),
                          Point3D(cx - length * ux - width * uy, cy - length * uy + width * ux, 100),
                          Point3D(cx - length * ux + width * uy, cy - length * uy - width * ux, 100));
    }
    return list;
}

// The same long thin faces side by side, none crossing another: as many corners and boundary pieces as
// the crossing ones, each face a part of its own.
std::vector<Pelko::Corvex::Triangle3D> facesApart(int n)
{
    std::vector<Pelko::Corvex::Triangle3D> list;
    const double cx = 500000.25, cy = 4000000.5, length = 100, width = 0.5;
    for (int i = 0; i < n; ++i) {
        const double x = cx + 2 * i;
        list.emplace_back(Point3D(x, cy + length, 100), Point3D(x - width, cy - length, 100),
                          Point3D(x + width, cy - length, 100));
    }
    return list;
}

// The shared-corner mesh of about n faces: the side of the grid rounded up.
int gridSide(size_t faces)
{
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(faces) / 2)));
}

// One run costs seconds at the most: the faces are made outside the timing, each run's peak is measured.
void costly(benchmark::State& state, const std::vector<Pelko::Corvex::Triangle3D>& faces)
{
    unsigned points = 0;
    Pelko::IO::BorderCoverage coverage;
    size_t peak = 0;
    for (auto _ : state) {
        peakBytes = liveBytes.load();
        const size_t before = liveBytes;
        points = Pelko::IO::BorderExtractor::extract(faces, nullptr, nullptr, &coverage).getPointCount();
        peak = std::max(peak, peakBytes.load() - before);
    }
    state.counters["border_points"] = points;
    state.counters["faces"] = static_cast<double>(faces.size());
    state.counters["parts"] = coverage.parts;
    state.counters["hull"] = coverage.hull;
    state.counters["joined"] = static_cast<double>(coverage.joinedCorners);
    state.counters["peak_MB"] = static_cast<double>(peak) / (1 << 20);
}

void BM_FaceByFaceMesh(benchmark::State& state)
{
    const std::vector<Pelko::Corvex::Triangle3D> faces = surveyMesh(static_cast<int>(state.range(0)), 1e-6);
    costly(state, faces);
}

void BM_SharedCornerMesh(benchmark::State& state)
{
    const std::vector<Pelko::Corvex::Triangle3D> faces = surveyMesh(static_cast<int>(state.range(0)), 0);
    costly(state, faces);
}

void BM_CrossingFaces(benchmark::State& state)
{
    const std::vector<Pelko::Corvex::Triangle3D> faces = crossingFaces(static_cast<int>(state.range(0)));
    costly(state, faces);
}

void BM_FacesApart(benchmark::State& state)
{
    const std::vector<Pelko::Corvex::Triangle3D> faces = facesApart(static_cast<int>(state.range(0)));
    costly(state, faces);
}

void BM_SharedCornerMeshOf(benchmark::State& state)
{
    const std::vector<Pelko::Corvex::Triangle3D> faces
        = surveyMesh(gridSide(static_cast<size_t>(state.range(0))), 0);
    costly(state, faces);
}

void BM_BorderStored(benchmark::State& state)
{
    stored(state, randomModel());
}

void BM_BorderOfTriangulation(benchmark::State& state)
{
    inMemory(state, randomModel());
}

void BM_FanBorderStored(benchmark::State& state)
{
    stored(state, fanModel());
}

void BM_FanBorderOfTriangulation(benchmark::State& state)
{
    inMemory(state, fanModel());
}

void BM_DrawingBorder(benchmark::State& state)
{
    drawing(state, randomModel().faces, randomModel().path);
}

void BM_FanDrawingBorder(benchmark::State& state)
{
    drawing(state, fanModel().faces, fanModel().path);
}

void BM_Fan20000DrawingBorder(benchmark::State& state)
{
    drawing(state, fanFaces(), std::string());
}

void BM_Fan200000DrawingBorder(benchmark::State& state)
{
    drawing(state, largeFanFaces(), std::string());
}

void BM_Random200000DrawingBorder(benchmark::State& state)
{
    drawing(state, randomFaces(), std::string());
}

void BM_CutSquaresDrawingBorder(benchmark::State& state)
{
    drawing(state, cutSquares(), std::string());
}

void BM_SawAlongFan20000DrawingBorder(benchmark::State& state)
{
    drawing(state, sawAlongTheFan(), std::string());
}

void BM_SliveredCutSquaresDrawingBorder(benchmark::State& state)
{
    drawing(state, sliveredCutSquares(), std::string());
}

void BM_SliveredFan200000DrawingBorder(benchmark::State& state)
{
    drawing(state, sliveredLargeFan(), std::string());
}

} // namespace

BENCHMARK(BM_BorderStored)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_BorderOfTriangulation)->Unit(benchmark::kMillisecond)->Repetitions(5);
// Seconds per run.
BENCHMARK(BM_FanBorderStored)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_FanBorderOfTriangulation)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_DrawingBorder)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_FanDrawingBorder)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Fan20000DrawingBorder)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Fan200000DrawingBorder)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Random200000DrawingBorder)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_CutSquaresDrawingBorder)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_SawAlongFan20000DrawingBorder)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_SliveredCutSquaresDrawingBorder)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_SliveredFan200000DrawingBorder)->Unit(benchmark::kMillisecond)->Repetitions(3);
// A run each: the first in a process is what a user's single run meets.
BENCHMARK(BM_SliveredFan200000DrawingBorder)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
// Grid sides of 100, 224 and 1,000 squares: 20,000, 100,352 and 2,000,000 faces. A run each: the first is
// what a user meets; the peak is a run's own.
void eachOnce(benchmark::internal::Benchmark* b, std::initializer_list<int64_t> sizes)
{
    for (const int64_t size : sizes)
        b->Arg(size);
    b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
}

BENCHMARK(BM_FaceByFaceMesh)->Apply([](auto* b) { eachOnce(b, { 100, 224, 1000 }); });
BENCHMARK(BM_SharedCornerMesh)->Apply([](auto* b) { eachOnce(b, { 100, 224, 1000 }); });
BENCHMARK(BM_CrossingFaces)->Apply([](auto* b) { eachOnce(b, { 500, 1000, 2000, 20000 }); });
// As many corners and pieces as the crossing faces, none crossing.
BENCHMARK(BM_FacesApart)->Apply([](auto* b) { eachOnce(b, { 500, 1000, 2000, 20000 }); });
// About as many faces as the crossing ones.
BENCHMARK(BM_SharedCornerMeshOf)->Apply([](auto* b) { eachOnce(b, { 500, 1000, 2000, 20000 }); });

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Built and written before any timing starts.
    if (randomModel().path.empty() || fanModel().path.empty() || randomFaces().empty())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const Model* model : { &randomModel(), &fanModel() })
        std::filesystem::remove(model->path);
    return 0;
}
