// A TIN from a CASS point file of 1,000,000 points through the generator (its thread, progress timer and
// job), beside the three parts it runs called directly one after the other in the same way: reading the
// points, triangulating them and writing the database. The generator should cost little more than its
// parts. Each repetition runs both, in turns first, so that the load of a shared machine falls on both
// alike; the counter `ratio` is the generator's time over the parts' (cpu_ratio the same in process CPU
// time), and its median over the repetitions is the figure to quote.
#include <casspointreader.h>
#include <tingenerator.h>

#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>

using Pelko::Corvex::Delaunay;
using Zemko::Trelvin::CassPointReader;
using Zemko::Trelvin::TinGenerator;

namespace {

constexpr int pointCount = 1000000;

QString tempPath(const char* name)
{
    return QDir::temp().filePath(QLatin1String(name));
}

const QString& pointFile()
{
    static const QString path = [] {
        const QString file = tempPath("tolvin_bench_points.dat");
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        std::mt19937_64 random(42);
        std::uniform_real_distribution<double> coordinate(0, 10000);
        std::uniform_real_distribution<double> height(100, 200);
        QByteArray text;
        char line[96];
        for (int i = 0; i < pointCount; ++i) {
            const int n = std::snprintf(line, sizeof line, "P%d,,%.3f,%.3f,%.3f\n", i, coordinate(random),
                                        coordinate(random), height(random));
            text.append(line, n);
        }
        return out.write(text) == text.size() ? file : QString();
    }();
    return path;
}

using Clock = std::chrono::steady_clock;

struct Spent
{
    double wall = 0;
    double cpu = 0;
};

double processCpu()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs work and tells the wall and process CPU time it took.
template<class Work> Spent measure(Work work)
{
    const Clock::time_point start = Clock::now();
    const double cpu = processCpu();
    work();
    return { std::chrono::duration<double>(Clock::now() - start).count(), processCpu() - cpu };
}

bool runGenerator(const QString& target)
{
    TinGenerator generator(pointFile(), target);
    QEventLoop loop;
    QObject::connect(&generator, &QThread::finished, &loop, &QEventLoop::quit);
    generator.start();
    loop.exec();
    return generator.isSucceeded();
}

// The parts, each timed on the way.
bool runPartsTimed(const QString& target, double* read, double* triangulate, double* write)
{
    Clock::time_point start = Clock::now();
    CassPointReader reader(pointFile());
    if (!reader.read() || reader.points().size() != size_t(pointCount))
        return false;
    *read = std::chrono::duration<double>(Clock::now() - start).count();
    start = Clock::now();
    Delaunay delaunay(reader.points());
    delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
    *triangulate = std::chrono::duration<double>(Clock::now() - start).count();
    start = Clock::now();
    const bool written
        = Pelko::IO::TrianglesWriter::write(delaunay, QFile::encodeName(target).toStdString(), nullptr);
    *write = std::chrono::duration<double>(Clock::now() - start).count();
    return written;
}

void BM_GeneratorOverParts(benchmark::State& state)
{
    static int repetition = 0;
    const bool generatorFirst = repetition++ % 2 == 0;
    const QString wholeTarget = tempPath("tolvin_bench_generator.qvr");
    const QString partsTarget = tempPath("tolvin_bench_parts.qvr");
    Spent whole, parts;
    double read = 0, triangulate = 0, write = 0;
    for (auto _ : state) {
        QFile::remove(wholeTarget);
        QFile::remove(partsTarget);
        bool ok = true;
        auto generator = [&] { whole = measure([&] { ok = runGenerator(wholeTarget) && ok; }); };
        auto partsAlone = [&] {
            parts = measure([&] { ok = runPartsTimed(partsTarget, &read, &triangulate, &write) && ok; });
        };
        if (generatorFirst) {
            generator();
            partsAlone();
        } else {
            partsAlone();
            generator();
        }
        if (!ok)
            state.SkipWithError("generation failed");
        state.SetIterationTime(whole.wall + parts.wall);
    }
    state.counters["generator_s"] = whole.wall;
    state.counters["parts_s"] = parts.wall;
    state.counters["ratio"] = whole.wall / parts.wall;
    state.counters["cpu_ratio"] = whole.cpu / parts.cpu;
    state.counters["read_s"] = read;
    state.counters["triangulate_s"] = triangulate;
    state.counters["write_s"] = write;
}

} // namespace

BENCHMARK(BM_GeneratorOverParts)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->UseManualTime();

// The generator's timer needs an application object.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Written before any timing starts.
    if (pointFile().isEmpty())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The point file and the databases take several hundred megabytes.
    for (const char* name :
         { "tolvin_bench_points.dat", "tolvin_bench_generator.qvr", "tolvin_bench_parts.qvr" })
        QFile::remove(tempPath(name));
    return 0;
}
