// Our terrain triangulation against calling CGAL directly on the same points and reading out what ours
// returns: triangle corner indices and neighbours into flat arrays, and for the TIN path the triangles with
// their corner coordinates and heights.
//
// The baseline is the quickest plain use of CGAL found: the (point, index) pairs spatially sorted
// themselves and inserted one by one, each next to the vertex inserted before. CGAL's range insert of the
// pairs (BM_CgalRangeInsert, for reference) copies them into three vectors and sorts an index array through
// a look-up instead, and is slower.

#include <corvex/delaunay.h>

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Spatial_sort_traits_adapter_2.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#include <CGAL/property_map.h>
#include <CGAL/spatial_sort.h>

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
using IndexedPoint = std::pair<Kernel::Point_2, unsigned>;

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

std::vector<IndexedPoint> indexedPoints(std::vector<Pelko::Corvex::Point3D> const& points)
{
    std::vector<IndexedPoint> input;
    input.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        input.emplace_back(Kernel::Point_2(points[i].x(), points[i].y()), static_cast<unsigned>(i));
    return input;
}

// Sorted pairs inserted one by one with the previous vertex's face as the hint.
void insertSorted(Dt& dt, std::vector<Pelko::Corvex::Point3D> const& points)
{
    std::vector<IndexedPoint> input = indexedPoints(points);
    using Map = CGAL::First_of_pair_property_map<IndexedPoint>;
    CGAL::spatial_sort(input.begin(), input.end(), CGAL::Spatial_sort_traits_adapter_2<Kernel, Map>(Map()));
    Dt::Face_handle hint;
    for (IndexedPoint const& p : input) {
        Dt::Vertex_handle v = dt.insert(p.first, hint);
        v->info() = p.second;
        hint = v->face();
    }
}

void insertRange(Dt& dt, std::vector<Pelko::Corvex::Point3D> const& points)
{
    std::vector<IndexedPoint> input = indexedPoints(points);
    dt.insert(input.begin(), input.end());
}

// Corner indices and neighbours into flat arrays; for the TIN path also the corners with their heights.
int readOut(Dt& dt, std::vector<Pelko::Corvex::Point3D> const& points, bool triangles3D)
{
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
    return count;
}

void cgal(benchmark::State& state, bool triangles3D,
          void (*insert)(Dt&, std::vector<Pelko::Corvex::Point3D> const&))
{
    auto const& points = terrain(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Dt dt;
        insert(dt, points);
        state.counters["triangles"] = readOut(dt, points, triangles3D);
    }
}

// Triangles and neighbours, as buildDelaunayTriangulation leaves them.
void BM_CorvexDelaunay(benchmark::State& state)
{
    corvex(state, false);
}

void BM_CgalDirect(benchmark::State& state)
{
    cgal(state, false, insertSorted);
}

void BM_CgalRangeInsert(benchmark::State& state)
{
    cgal(state, false, insertRange);
}

// The TIN path: the same, then the triangles with coordinates and heights (getAllTriangles).
void BM_CorvexDelaunayTriangles3D(benchmark::State& state)
{
    corvex(state, true);
}

void BM_CgalDirectTriangles3D(benchmark::State& state)
{
    cgal(state, true, insertSorted);
}

} // namespace

BENCHMARK(BM_CorvexDelaunay)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_CgalDirect)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_CgalRangeInsert)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_CorvexDelaunayTriangles3D)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_CgalDirectTriangles3D)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);

BENCHMARK_MAIN();
