// Arbitrary text to the station-list reader.
#include <road/stationtable.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Memory-backed when available: the road file's save syncs to disk.
std::string scratchDir()
{
    return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = scratchDir() + "/road_fuzz_stations_" + std::to_string(::getpid()) + ".txt";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    Pelko::Road::StationTable table;
    const bool ok = table.read(path);
    if (ok != (table.size() > 0))
        std::abort();
    for (unsigned i = 0; i < table.size(); ++i)
        if (!std::isfinite(table.getAt(i).getStation()))
            std::abort();
    return 0;
}
