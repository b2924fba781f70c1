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
#include <io/borderextractor.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include "randompoints.h"

#include <utility/connection.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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
