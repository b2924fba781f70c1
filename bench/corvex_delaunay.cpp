// Our terrain triangulation path against calling CGAL directly on the same points.

#include <corvex/delaunay.h>

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;

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

void BM_CorvexDelaunay(benchmark::State& state)
{
    auto const& points = terrain(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Pelko::Corvex::Delaunay delaunay(points);
        delaunay.buildDelaunayTriangulation(Pelko::Corvex::Delaunay::PlainDelaunay);
        auto triangles = delaunay.getAllTriangles();
        benchmark::DoNotOptimize(triangles.data());
        state.counters["triangles"] = static_cast<double>(triangles.size());
    }
}

void BM_CgalDirect(benchmark::State& state)
{
    auto const& points = terrain(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::vector<Kernel::Point_2> input;
        input.reserve(points.size());
        for (auto const& p : points)
            input.emplace_back(p.x(), p.y());
        CGAL::Delaunay_triangulation_2<Kernel> dt;
        dt.insert(input.begin(), input.end());
        std::size_t faces = 0;
        double sum = 0;
        for (auto f = dt.finite_faces_begin(); f != dt.finite_faces_end(); ++f) {
            sum += f->vertex(0)->point().x();
            ++faces;
        }
        benchmark::DoNotOptimize(sum);
        state.counters["triangles"] = static_cast<double>(faces);
    }
}

} // namespace

BENCHMARK(BM_CorvexDelaunay)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_CgalDirect)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(3);

BENCHMARK_MAIN();
