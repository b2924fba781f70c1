// Arbitrary bytes as a whole road file: load it, and when it loads, save, load the copy and save again;
// the two saves must be the same bytes. Saved in place, the file must load again, and saving it again
// (through the kept document or a fresh one) must not change it. A few queries run on whatever road
// was read.
#include <road/roadsurface.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace Pelko::Road;

namespace {

// Memory-backed when available: the road file's save syncs to disk.
std::string scratchDir()
{
    return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string base = scratchDir() + "/road_fuzz_surface_" + std::to_string(::getpid());
    const std::string input = base + ".rod";
    const std::string first = base + "_first.rod";
    const std::string second = base + "_second.rod";
    std::FILE* file = std::fopen(input.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    RoadSurface road(input);
    if (!road.load())
        return 0;

    double elevation = 0.0;
    for (double station : { 0.0, 55.5, 1000.0 })
        for (double offset : { -12.0, -1.0, 0.0, 2.0, 30.0 })
            road.getElevation(station, offset, elevation);
    (void)road.getBorder(10.0);
    (void)road.getCrossSection(10.0, StandardSection::Left);

    std::remove(first.c_str());
    std::remove(second.c_str());
    if (!road.saveAs(first))
        return 0;
    RoadSurface copy(first);
    if (!copy.load() || !copy.saveAs(second))
        __builtin_trap();
    if (readAll(first) != readAll(second))
        __builtin_trap();

    if (!road.save())
        __builtin_trap();
    const std::string once = readAll(input);
    RoadSurface reread(input);
    if (!reread.load() || !reread.save() || readAll(input) != once)
        __builtin_trap();
    if (!road.save() || readAll(input) != once)
        __builtin_trap();
    return 0;
}
