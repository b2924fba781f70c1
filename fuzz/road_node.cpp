// Arbitrary bytes as a road file: open, every part node, value getters, iteration and a save.
#include <road/internal/roadfile.h>
#include <road/station.h>
#include <road/stationtable.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

using namespace Pelko::Road;
using namespace Pelko::Road::internal;

namespace {

// Memory-backed when available: the road file's save syncs to disk.
std::string scratchDir()
{
    return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

struct Any
{
};

void walk(const Node<Any> &node, int depth)
{
    if (depth > 4)
        return;
    for (const char *name : {"element", "template", "equation", "left", "right"}) {
        int count = 0;
        for (auto child = node.firstChild(name); child && count < 64; child.reset(child.nextSibling()), ++count) {
            (void)child.getName();
            (void)child.getInt("type", -1);
            (void)child.getDouble("station", 0.0);
            (void)child.getString("name", "");
            walk(child, depth + 1);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string pid = std::to_string(::getpid());
    static const std::string path = scratchDir() + "/road_fuzz_node_" + pid + ".rod";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    Xml::RoadFile road(path);
    road.open(false);
    (void)road.getVersion();
    (void)road.getPivotType();
    (void)road.getPivotOffset();

    StationsEquationConfiguration equations;
    equations.load(road.getStationsEquation());
    StationTable table;
    table.load(road.getStationTable());
    for (const Node<Any> &part :
         {road.getHorizontalAlignment().cast<Any>(), road.getVerticalAlignment().cast<Any>(),
          road.getStandardSection().cast<Any>(), road.getSlopeSectionLibrary().cast<Any>(),
          road.getSlopeSection().cast<Any>(), road.getStructureElements().cast<Any>()})
        walk(part, 0);

    // What was read must write and read back.
    static const std::string copyPath = scratchDir() + "/road_fuzz_node_" + pid + "_copy.rod";
    std::remove(copyPath.c_str());
    Xml::RoadFile copy(copyPath);
    copy.open(true);
    equations.save(copy.getStationsEquation());
    table.save(copy.getStationTable());
    copy.save();
    Xml::RoadFile again(copyPath);
    again.open(false);
    StationTable tableBack;
    tableBack.load(again.getStationTable());
    if (tableBack.size() != table.size())
        __builtin_trap();
    StationsEquationConfiguration equationsBack;
    equationsBack.load(again.getStationsEquation());
    if (equationsBack.getEquationSize() != equations.getEquationSize())
        __builtin_trap();
    return 0;
}
