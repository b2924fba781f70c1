// Plan queries on a long alignment against evaluating the element that holds the answer directly:
// the difference is the cost of finding the element.
#include <road/horizontalalignment.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

using Pelko::Corvex::Point;
using namespace Pelko::Road;

namespace {
// 200 PIs zig-zagging east with spiral-arc-spiral curves (R 400, spirals 60 and 80).
HorizontalAlignment makeAlignment()
{
    PointOfIntersectionConfiguration pois;
    pois.append(PointOfIntersection::createPoint(Point(0.0, 0.0), 1000.0).first);
    for (int k = 1; k < 199; ++k) {
        const Point p(k % 2 == 0 ? 0.0 : 300.0, 500.0 * k);
        pois.append(PointOfIntersection::createTransArcTrans(p, 400.0, 60.0, 80.0).first);
    }
    pois.append(PointOfIntersection::createPoint(Point(300.0, 500.0 * 199), 0.0).first);
    HorizontalAlignment alignment;
    alignment.setPointOfIntersections(pois);
    return alignment;
}

struct Query
{
    double station;
    double offset;
    Point point;
    HorizontalElement element;
};

const HorizontalAlignment& alignment()
{
    static const HorizontalAlignment a = makeAlignment();
    return a;
}

// Stations spread over the whole road, each with the element that holds it.
const std::vector<Query>& queries()
{
    static const std::vector<Query> q = [] {
        std::vector<Query> out;
        const HorizontalAlignment& a = alignment();
        const double begin = a.getElements().at(0).getBeginStation();
        const double length = a.getEndStation() - begin;
        std::srand(7);
        for (int i = 0; i < 1024; ++i) {
            Query query;
            query.station = begin + length * (std::rand() / (RAND_MAX + 1.0));
            query.offset = -15.0 + 30.0 * (std::rand() / (RAND_MAX + 1.0));
            query.point = a.getNorthEastByStationOffset(query.station, query.offset);
            query.element = a.getBelongedHorizontalElement(query.station);
            out.push_back(query);
        }
        return out;
    }();
    return q;
}

void BM_NorthEast_Alignment(benchmark::State& state)
{
    const HorizontalAlignment& a = alignment();
    const std::vector<Query>& q = queries();
    std::size_t i = 0;
    for (auto _ : state) {
        const Query& query = q[i++ & 1023];
        benchmark::DoNotOptimize(a.getNorthEastByStationOffset(query.station, query.offset));
    }
    state.counters["elements"] = a.getElements().size();
}

void BM_NorthEast_Element(benchmark::State& state)
{
    const std::vector<Query>& q = queries();
    std::size_t i = 0;
    for (auto _ : state) {
        const Query& query = q[i++ & 1023];
        benchmark::DoNotOptimize(
            query.element.getNorthEast(query.station - query.element.getBeginStation(), query.offset));
    }
}

void BM_StationOffset_Alignment(benchmark::State& state)
{
    const HorizontalAlignment& a = alignment();
    const std::vector<Query>& q = queries();
    std::size_t i = 0;
    double station = 0.0;
    double offset = 0.0;
    for (auto _ : state) {
        const Query& query = q[i++ & 1023];
        benchmark::DoNotOptimize(a.getStationOffsetByNorthEast(query.point, station, offset));
        benchmark::DoNotOptimize(station);
    }
}

void BM_StationOffset_Element(benchmark::State& state)
{
    const std::vector<Query>& q = queries();
    std::size_t i = 0;
    double station = 0.0;
    double offset = 0.0;
    for (auto _ : state) {
        const Query& query = q[i++ & 1023];
        benchmark::DoNotOptimize(query.element.getStationOffset(query.point, station, offset));
        benchmark::DoNotOptimize(station);
    }
}
} // namespace

BENCHMARK(BM_NorthEast_Alignment);
BENCHMARK(BM_NorthEast_Element);
BENCHMARK(BM_StationOffset_Alignment);
BENCHMARK(BM_StationOffset_Element);

BENCHMARK_MAIN();
