// The road document on a large road: load and save beside the bare XML parse and write of the same
// file, the design elevation beside the profile alone, and a stake walk beside plain plan evaluation.
#include "app_largeroad.h"

#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/internal/roadfile.h>
#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/stationiterator.h>
#include <road/structureelementconfiguration.h>
#include <road/verticalalignment.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace Pelko;
using namespace Pelko::Road;

namespace {

// Named after this process: runs of the benchmark side by side must not share (and delete) a file.
std::string tempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "_" + name)).string();
}

const std::string& roadFile()
{
    static const std::string path = [] {
        const std::string p = tempPath("bench_road_surface.rod");
        std::filesystem::remove(p);
        RoadSurface road(p);
        LargeRoad::build(road);
        road.save();
        return p;
    }();
    return path;
}

const RoadSurface& loadedRoad()
{
    static const RoadSurface road = [] {
        RoadSurface r(roadFile());
        r.load();
        return r;
    }();
    return road;
}

void BM_RoadLoad(benchmark::State& state)
{
    const std::string& path = roadFile();
    for (auto _ : state) {
        RoadSurface road(path);
        benchmark::DoNotOptimize(road.load());
    }
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(path));
    // What a load brings back, so that a road that lost its parts does not pass for a fast one.
    const RoadSurface& road = loadedRoad();
    state.counters["elements"] = road.getHorizontalAligment()->getElements().size();
    state.counters["pis"] = road.getVerticalAligment().size();
    state.counters["segments"] = road.getSlopeSectionConfiguration()->get(SlopeSideLeft).size()
        + road.getSlopeSectionConfiguration()->get(SlopeSideRight).size();
    state.counters["structures"] = road.getStructures().size();
}
BENCHMARK(BM_RoadLoad)->Unit(benchmark::kMillisecond);

// Baseline: only the XML parse of the same file through the node layer.
void BM_XmlParse(benchmark::State& state)
{
    const std::string& path = roadFile();
    for (auto _ : state) {
        internal::Xml::RoadFile file(path);
        file.open(false);
        benchmark::DoNotOptimize(file.hasDocument());
    }
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(path));
}
BENCHMARK(BM_XmlParse)->Unit(benchmark::kMillisecond);

void BM_RoadSave(benchmark::State& state)
{
    const RoadSurface& road = loadedRoad();
    const std::string path = tempPath("bench_road_surface_save.rod");
    std::filesystem::remove(path);
    for (auto _ : state)
        benchmark::DoNotOptimize(road.saveAs(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_RoadSave)->Unit(benchmark::kMillisecond);

// The same save where the document kept from the last save does not serve: two files in turn, each
// read and parsed again before it is updated.
void BM_RoadSaveOverAnotherFile(benchmark::State& state)
{
    const RoadSurface& road = loadedRoad();
    const std::string paths[2]
        = { tempPath("bench_road_surface_save_a.rod"), tempPath("bench_road_surface_save_b.rod") };
    for (const std::string& path : paths)
        std::filesystem::copy_file(roadFile(), path, std::filesystem::copy_options::overwrite_existing);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(road.saveAs(paths[i++ % 2]));
    for (const std::string& path : paths)
        std::filesystem::remove(path);
}
BENCHMARK(BM_RoadSaveOverAnotherFile)->Unit(benchmark::kMillisecond);

// Baseline: writing back an already parsed document of the same road.
void BM_XmlWrite(benchmark::State& state)
{
    const std::string path = tempPath("bench_road_surface_write.rod");
    std::filesystem::copy_file(roadFile(), path, std::filesystem::copy_options::overwrite_existing);
    internal::Xml::RoadFile file(path);
    file.open(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(file.save());
    std::filesystem::remove(path);
}
BENCHMARK(BM_XmlWrite)->Unit(benchmark::kMillisecond);

std::vector<std::pair<double, double>> randomStationOffsets()
{
    std::mt19937_64 random(7);
    const double end = loadedRoad().getHorizontalAligment()->getEndStation();
    std::uniform_real_distribution<double> station(0.0, std::min(end, 124000.0));
    std::uniform_real_distribution<double> offset(-5.0, 5.0);
    std::vector<std::pair<double, double>> samples(4096);
    for (auto& s : samples)
        s = { station(random), offset(random) };
    return samples;
}

void BM_GetElevation(benchmark::State& state)
{
    const RoadSurface& road = loadedRoad();
    const auto samples = randomStationOffsets();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [station, offset] = samples[i++ % samples.size()];
        double elevation = 0.0;
        benchmark::DoNotOptimize(road.getElevation(station, offset, elevation));
        benchmark::DoNotOptimize(elevation);
    }
}
BENCHMARK(BM_GetElevation);

// Baseline: the profile alone at the same stations.
void BM_ProfileElevation(benchmark::State& state)
{
    const VerticalAlignment profile = loadedRoad().getVerticalAligment();
    const auto samples = randomStationOffsets();
    std::size_t i = 0;
    for (auto _ : state) {
        bool ok = false;
        benchmark::DoNotOptimize(profile.calcElevation(samples[i++ % samples.size()].first, &ok));
    }
}
BENCHMARK(BM_ProfileElevation);

void BM_StakeWalk50km(benchmark::State& state)
{
    const RoadSurface& road = loadedRoad();
    std::size_t stakes = 0;
    for (auto _ : state) {
        StationIterator it = road.getIterator(1.0, 1000.0, 51000.0);
        for (;;) {
            const Stake stake = it.getStake(3.0);
            benchmark::DoNotOptimize(stake.getPoint());
            ++stakes;
            if (!it.hasNext())
                break;
            it.next();
        }
    }
    state.SetItemsProcessed(stakes);
}
BENCHMARK(BM_StakeWalk50km)->Unit(benchmark::kMillisecond);

// Baseline: the element lookup and plan point at the same 1 m stations, no stakes or heights.
void BM_PlanWalk50km(benchmark::State& state)
{
    const HorizontalAlignment* alignment = loadedRoad().getHorizontalAligment();
    std::size_t points = 0;
    for (auto _ : state) {
        for (double station = 1000.0; station <= 51000.0; station += 1.0) {
            const HorizontalElement e = alignment->getBelongedHorizontalElement(station);
            benchmark::DoNotOptimize(e.getNorthEast(station - e.getBeginStation(), 3.0));
            benchmark::DoNotOptimize(e.getAzimuth(station - e.getBeginStation()));
            ++points;
        }
    }
    state.SetItemsProcessed(points);
}
BENCHMARK(BM_PlanWalk50km)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
