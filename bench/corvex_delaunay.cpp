// Our terrain triangulation against calling CGAL directly on the same points and reading out what ours
// returns: triangle corner indices and neighbours into flat arrays, and for the TIN path the triangles with
// their corner coordinates and heights.

#include <corvex/delaunay.h>

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <benchmark/benchmark.h>

#include <random>
#include <utility>
#include <vector>

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;

struct FaceNumber
{
    int id = -1; // infinite faces keep -1
};

using Vb = CGAL::Triangulation_vertex_base_with_info_2<unsigned, Kernel>;
using Fb = CGAL::Triangulation_face_base_with_info_2<FaceNumber, Kernel>;
using Dt = CGAL::Delaunay_triangulation_2<Kernel, CGAL::Triangulation_data_structure_2<Vb, Fb>>;

std::vector<Pelko::Corvex::Point3D> const& terrain(std::size_t n)
{
    static std::vector<Pelko::Corvex::Point3D> points;
    if (points.size() != n) {
        std::mt19937_64 rng(20240611);
        std::uniform_real_distribution<double> coord(0, 10000);
        std::uniform_real_distribution<double> height(100, 200);
        points.clear();
        points.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            points.emplace_back(coord(rng), coord(rng), height(rng));
    }
    return points;
}

void corvex(benchmark::State& state, bool triangles3D)
{
    auto const& points = terrain(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Pelko::Corvex::Delaunay delaunay(points);
        delaunay.buildDelaunayTriangulation(Pelko::Corvex::Delaunay::PlainDelaunay);
        benchmark::DoNotOptimize(delaunay.getDelaunayTriangulation()->neighbors.data());
        if (triangles3D) {
            auto triangles = delaunay.getAllTriangles();
            benchmark::DoNotOptimize(triangles.data());
        }
        state.counters["triangles"] = delaunay.getTriangleCount();
    }
}

void cgal(benchmark::State& state, bool triangles3D)
{
    auto const& points = terrain(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::vector<std::pair<Kernel::Point_2, unsigned>> input;
        input.reserve(points.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            input.emplace_back(Kernel::Point_2(points[i].x(), points[i].y()), static_cast<unsigned>(i));
        Dt dt;
        dt.insert(input.begin(), input.end());

        int count = 0;
        for (auto f = dt.finite_faces_begin(); f != dt.finite_faces_end(); ++f)
            f->info().id = count++;
        std::vector<unsigned> corners(3 * static_cast<std::size_t>(count));
        std::vector<int> neighbors(3 * static_cast<std::size_t>(count));
        for (auto f = dt.finite_faces_begin(); f != dt.finite_faces_end(); ++f) {
            const std::size_t at = 3 * static_cast<std::size_t>(f->info().id);
            for (int k = 0; k < 3; ++k) {
                corners[at + k] = f->vertex(k)->info();
                neighbors[at + k] = f->neighbor(k)->info().id;
            }
        }
        benchmark::DoNotOptimize(corners.data());
        benchmark::DoNotOptimize(neighbors.data());
        if (triangles3D) {
            std::vector<double> coordinates;
            coordinates.reserve(corners.size() * 3);
            for (unsigned corner : corners) {
                coordinates.push_back(points[corner].x());
                coordinates.push_back(points[corner].y());
                coordinates.push_back(points[corner].z());
            }
            benchmark::DoNotOptimize(coordinates.data());
        }
        state.counters["triangles"] = count;
    }
}

// Triangles and neighbours, as buildDelaunayTriangulation leaves them.
void BM_CorvexDelaunay(benchmark::State& state)
{
    corvex(state, false);
}

void BM_CgalDirect(benchmark::State& state)
{
    cgal(state, false);
}

// The TIN path: the same, then the triangles with coordinates and heights (getAllTriangles).
void BM_CorvexDelaunayTriangles3D(benchmark::State& state)
{
    corvex(state, true);
}

void BM_CgalDirectTriangles3D(benchmark::State& state)
{
    cgal(state, true);
}

} // namespace

BENCHMARK(BM_CorvexDelaunay)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_CgalDirect)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_CorvexDelaunayTriangles3D)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_CgalDirectTriangles3D)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);

BENCHMARK_MAIN();
