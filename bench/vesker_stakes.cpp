// The stake export on a long road: stakes every 1 m over 50 km generated into the stake list and
// written as a .csv file, beside the road library's station iterator walking the same stations alone.
#include <stakelistmodel.h>

#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelement.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/standardsection.h>
#include <road/station.h>
#include <road/stationiterator.h>
#include <road/verticalalignment.h>
#include <road/verticalelement.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <limits>
#include <string>

using namespace Pelko;
using namespace Pelko::Road;

namespace {

constexpr double begin = 1000.0;
constexpr double end = 51000.0;

// The plan, profile and section of the road benchmarks' road (bench/road_surface.cpp): lines of 100 m
// and spiral-arc-spiral curves of radius 500 turning both ways, a rolling profile and two strips a side.
RoadSurface& road()
{
    static RoadSurface surface = [] {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        RoadSurface r;
        HorizontalElementConfiguration elements;
        elements.append(HorizontalElement::createLine(Corvex::Angle(0.0), 100.0, Corvex::Point(0, 0), 0.0));
        const Corvex::Point chained = Corvex::Point::invalid();
        for (int i = 1; i < 2000; ++i) {
            const double radius = ((i / 4) % 2 == 0 ? 1.0 : -1.0) * 500.0;
            if (i % 4 == 0)
                elements.append(HorizontalElement::createLine(Corvex::Angle(nan), 100.0, chained, nan));
            else if (i % 4 == 2)
                elements.append(
                    HorizontalElement::createArc(Corvex::Angle(nan), 100.0, radius, chained, nan));
            else
                elements.append(HorizontalElement::createSpiral(Corvex::Angle(nan), 50.0,
                                                                i % 4 == 1 ? inf : radius,
                                                                i % 4 == 1 ? radius : inf, chained, nan));
        }
        r.getHorizontalAligment()->setElements(elements);

        VerticalAlignment profile;
        for (int i = 0; i < 500; ++i)
            profile.append(VerticalElement::createSymparabola(
                { i * 250.0, i % 2 == 0 ? 100.0 : 102.5, 0.0, 0.0 }, i == 0 || i == 499 ? 0.0 : 3000.0));
        r.setVerticalAlignment(profile);
        for (StandardSection::SectionSide side : { StandardSection::Left, StandardSection::Right }) {
            CrossSectionConfiguration strips;
            strips.append(CrossSectionElement("lane", 3.5, -2.0, 0.0));
            strips.append(CrossSectionElement("shoulder", 1.5, -4.0, 0.0));
            r.getStandardSection()->setCrossSectionConfiguration(side, strips);
        }
        return r;
    }();
    return surface;
}

void BM_StakeListToCsv50km(benchmark::State& state)
{
    RoadSurface& surface = road();
    const QString path
        = QString::fromStdString((std::filesystem::temp_directory_path()
                                  / ("bench_vesker_stakes_" + std::to_string(::getpid()) + ".csv"))
                                     .string());
    int rows = 0;
    for (auto _ : state) {
        Zemko::Trelvin::StakeListModel model(&surface);
        if (!model.generate(Station(begin), Station(end), 1.0, 3.0).isEmpty()
            || !model.exportFile(path).isEmpty()) {
            state.SkipWithError("stake export failed");
            break;
        }
        rows = model.rowCount();
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["rows"] = rows;
    state.counters["bytes"] = QFileInfo(path).size();
    QFile::remove(path);
}
BENCHMARK(BM_StakeListToCsv50km)->Unit(benchmark::kMillisecond);

// Baseline: the same walk and stakes from the road library, kept in memory and not written.
void BM_StationIteratorAlone50km(benchmark::State& state)
{
    const RoadSurface& surface = road();
    int stakes = 0;
    for (auto _ : state) {
        stakes = 0;
        StationIterator it = surface.getIterator(1.0, begin, end);
        for (;;) {
            const Stake stake = it.getStake(3.0);
            benchmark::DoNotOptimize(stake.getPoint());
            ++stakes;
            if (!it.hasNext())
                break;
            it.next();
        }
    }
    state.SetItemsProcessed(state.iterations() * stakes);
    state.counters["stakes"] = stakes;
}
BENCHMARK(BM_StationIteratorAlone50km)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
