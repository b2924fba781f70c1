// The road document on a large road: load and save beside the bare XML parse and write of the same
// file, the design elevation beside the profile alone, and a stake walk beside plain plan evaluation.
#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelement.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/internal/roadfile.h>
#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectionelement.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplate.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>
#include <road/standardsection.h>
#include <road/stationiterator.h>
#include <road/structureelement.h>
#include <road/structureelementconfiguration.h>
#include <road/verticalalignment.h>
#include <road/verticalelement.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace Pelko;
using namespace Pelko::Road;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

std::string tempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

// 2,000 horizontal elements (line, spiral, arc, spiral, alternating turns; 150 km), 500 vertical PIs,
// 200 slope segments over 2 templates, 100 structures, a two-strip section on either side.
void build(RoadSurface& road)
{
    HorizontalElementConfiguration elements;
    elements.append(HorizontalElement::createLine(Corvex::Angle(0.0), 100.0, Corvex::Point(0, 0), 0.0));
    for (int i = 1; i < 2000; ++i) {
        const double turn = (i / 4) % 2 == 0 ? 1.0 : -1.0;
        switch (i % 4) {
        case 0:
            elements.append(
                HorizontalElement::createLine(Corvex::Angle(kNaN), 100.0, Corvex::Point::invalid(), kNaN));
            break;
        case 1:
            elements.append(HorizontalElement::createSpiral(Corvex::Angle(kNaN), 50.0, kInf, turn * 500.0,
                                                            Corvex::Point::invalid(), kNaN));
            break;
        case 2:
            elements.append(HorizontalElement::createArc(Corvex::Angle(kNaN), 100.0, turn * 500.0,
                                                         Corvex::Point::invalid(), kNaN));
            break;
        default:
            elements.append(HorizontalElement::createSpiral(Corvex::Angle(kNaN), 50.0, turn * 500.0, kInf,
                                                            Corvex::Point::invalid(), kNaN));
            break;
        }
    }
    road.getHorizontalAligment()->setElements(elements);

    VerticalAlignment profile;
    for (int i = 0; i < 500; ++i) {
        const double elevation = 100.0 + (i % 2 == 0 ? 0.0 : 2.5);
        profile.append(VerticalElement::createSymparabola(
            VerticalElement::Poi { i * 250.0, elevation, 0.0, 0.0 }, i == 0 || i == 499 ? 0.0 : 3000.0));
    }
    road.setVerticalAlignment(profile);

    for (StandardSection::SectionSide side : { StandardSection::Left, StandardSection::Right }) {
        CrossSectionConfiguration c;
        c.append(CrossSectionElement("lane", 3.5, -2.0, 0.0));
        c.append(CrossSectionElement("shoulder", 1.5, -4.0, 0.0));
        road.getStandardSection()->setCrossSectionConfiguration(side, c);
    }

    SlopeSectionTemplateLibrary* library = road.getSlopeSectionTemplateLibrary();
    SlopeSectionTemplateEditable low("low", SlopeSectionFill);
    low.add(SlopeSectionElement::createSlope("slope", 2.0, 1.5));
    SlopeSectionTemplateEditable high("high", SlopeSectionFill);
    high.add(SlopeSectionElement::createSlope("slope", 4.0, 1.5));
    high.add(SlopeSectionElement::createPlatformBySlope("berm", 2.0, 2.0));
    high.add(SlopeSectionElement::createSlope("slope", 4.0, 1.75));
    library->add(low);
    library->add(high);
    for (SlopeSectionSide side : { SlopeSideLeft, SlopeSideRight }) {
        SlopeSectionTemplateConfiguration segments = road.getSlopeSectionConfiguration()->get(side);
        for (int i = 0; i < 100; ++i) {
            const double begin = i * 1000.0;
            segments.addSegment(SlopeSectionSegment::create("s" + std::to_string(i),
                                                            { begin, library->getByName("low") },
                                                            { begin + 900.0, library->getByName("high") })
                                    .first);
        }
    }

    StructureElementConfiguration structures;
    for (int i = 0; i < 100; ++i) {
        StructureElement s;
        s.setStation(500.0 + i * 1000.0);
        s.setElementType(StructureElementType(i % 4));
        s.setForwardWidth(5.0);
        s.setBackwardWidth(5.0);
        s.setLeftWidth(10.0);
        s.setRightWidth(10.0);
        structures.append(s);
    }
    road.setStructures(structures);
}

const std::string& roadFile()
{
    static const std::string path = [] {
        const std::string p = tempPath("bench_road_surface.rod");
        std::filesystem::remove(p);
        RoadSurface road(p);
        build(road);
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
