// Converting a DXF drawing of 3DFACE entities held in memory into a TIN database, beside dxflib parsing the
// same drawing alone: a grid of 200,000 faces with random heights, and a fan of thin faces round one point
// (2,000 and 20,000 faces), whose border the stored walk found in seconds to minutes.
#include <io/memoryfile.h>
#include <io/triangleswriter.h>

#include <benchmark/benchmark.h>
#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

namespace {

constexpr int faceCount = 200000;

void appendFace(std::string& out, const double (&corners)[4][3])
{
    char line[512];
    std::snprintf(line, sizeof line,
                  "0\n3DFACE\n8\nTIN\n10\n%.3f\n20\n%.3f\n30\n%.3f\n11\n%.3f\n21\n%.3f\n31\n%.3f\n"
                  "12\n%.3f\n22\n%.3f\n32\n%.3f\n13\n%.3f\n23\n%.3f\n33\n%.3f\n",
                  corners[0][0], corners[0][1], corners[0][2], corners[1][0], corners[1][1], corners[1][2],
                  corners[2][0], corners[2][1], corners[2][2], corners[3][0], corners[3][1], corners[3][2]);
    out += line;
}

// A grid of squares, two faces each, with random heights.
const std::string& drawing()
{
    static const std::string text = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> height(100, 200);
        std::string out = "0\nSECTION\n2\nENTITIES\n";
        const int columns = 250;
        for (int f = 0; f < faceCount; ++f) {
            int cell = f / 2;
            double x = (cell % columns) * 2.0, y = (cell / columns) * 2.0;
            double ax = x, ay = y, bx = x + 2, by = y + (f % 2 ? 2 : 0), cx = f % 2 ? x : x + 2, cy = y + 2;
            const double a = height(random), b = height(random), c = height(random), d = height(random);
            appendFace(out, { { ax, ay, a }, { bx, by, b }, { cx, cy, c }, { cx, cy, d } });
        }
        out += "0\nENDSEC\n0\nEOF\n";
        return out;
    }();
    return text;
}

// n thin faces round one point, over the points of a straight line.
const std::string& fanDrawing(int n)
{
    static std::map<int, std::string> texts;
    std::string& text = texts[n];
    if (text.empty()) {
        text = "0\nSECTION\n2\nENTITIES\n";
        for (int i = 0; i < n; ++i)
            appendFace(text,
                       { { 0, 100, 1 },
                         { double(i), double(i), 1 },
                         { i + 1.0, i + 1.0, 1 },
                         { i + 1.0, i + 1.0, 1 } });
        text += "0\nENDSEC\n0\nEOF\n";
    }
    return text;
}

std::string writeFile(const std::string& text, const char* name)
{
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

void convert(benchmark::State& state, const std::string& text, int faces)
{
    std::string database = (std::filesystem::temp_directory_path() / "io_bench_convert.qvr").string();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(database);
        state.ResumeTiming();
        Pelko::IO::MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
        if (!Pelko::IO::TrianglesWriter::convert(file, database))
            state.SkipWithError("convert failed");
    }
    state.counters["faces"] = faces;
}

void parseOnly(benchmark::State& state, const std::string& path, int faces)
{
    for (auto _ : state) {
        DL_CreationAdapter adapter;
        DL_Dxf reader;
        if (!reader.in(path, &adapter))
            state.SkipWithError("dxflib failed");
    }
    state.counters["faces"] = faces;
}

void BM_Convert(benchmark::State& state)
{
    convert(state, drawing(), faceCount);
}

void BM_DxflibParseOnly(benchmark::State& state)
{
    static const std::string path = writeFile(drawing(), "io_bench_faces.dxf");
    parseOnly(state, path, faceCount);
}

void BM_ConvertFan(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    convert(state, fanDrawing(n), n);
}

void BM_DxflibParseOnlyFan(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::string path = writeFile(fanDrawing(n), "io_bench_fan.dxf");
    parseOnly(state, path, n);
}

} // namespace

BENCHMARK(BM_DxflibParseOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Convert)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DxflibParseOnlyFan)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ConvertFan)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
