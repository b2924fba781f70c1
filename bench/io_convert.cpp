// Converting a DXF drawing of 3DFACE entities held in memory into a TIN database, beside dxflib parsing the
// same drawing alone.
#include <io/memoryfile.h>
#include <io/triangleswriter.h>

#include <benchmark/benchmark.h>
#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int faceCount = 200000;

// A grid of squares, two faces each, with random heights.
const std::string& drawing()
{
    static const std::string text = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> height(100, 200);
        std::string out = "0\nSECTION\n2\nENTITIES\n";
        char line[512];
        const int columns = 250;
        for (int f = 0; f < faceCount; ++f) {
            int cell = f / 2;
            double x = (cell % columns) * 2.0, y = (cell / columns) * 2.0;
            double ax = x, ay = y, bx = x + 2, by = y + (f % 2 ? 2 : 0), cx = f % 2 ? x : x + 2, cy = y + 2;
            std::snprintf(line, sizeof line,
                          "0\n3DFACE\n8\nTIN\n10\n%.3f\n20\n%.3f\n30\n%.3f\n11\n%.3f\n21\n%.3f\n31\n%.3f\n"
                          "12\n%.3f\n22\n%.3f\n32\n%.3f\n13\n%.3f\n23\n%.3f\n33\n%.3f\n",
                          ax, ay, height(random), bx, by, height(random), cx, cy, height(random), cx, cy,
                          height(random));
            out += line;
        }
        out += "0\nENDSEC\n0\nEOF\n";
        return out;
    }();
    return text;
}

const std::string& drawingFile()
{
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "io_bench_faces.dxf").string();
        std::ofstream(p, std::ios::binary) << drawing();
        return p;
    }();
    return path;
}

void BM_Convert(benchmark::State& state)
{
    const std::string& text = drawing();
    std::string database = (std::filesystem::temp_directory_path() / "io_bench_convert.qvr").string();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(database);
        state.ResumeTiming();
        Pelko::IO::MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
        if (!Pelko::IO::TrianglesWriter::convert(file, database))
            state.SkipWithError("convert failed");
    }
    state.counters["faces"] = faceCount;
}

void BM_DxflibParseOnly(benchmark::State& state)
{
    const std::string& path = drawingFile();
    for (auto _ : state) {
        DL_CreationAdapter adapter;
        DL_Dxf reader;
        if (!reader.in(path, &adapter))
            state.SkipWithError("dxflib failed");
    }
    state.counters["faces"] = faceCount;
}

} // namespace

BENCHMARK(BM_DxflibParseOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Convert)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
