// A TIN from a CASS point file of 1,000,000 points through the generator (its thread, progress timer and
// job), beside the three parts it runs called directly one after the other in the same way: reading the
// points, triangulating them and writing the database. The generator should cost little more than its
// parts. Run both in one process with repetitions interleaved, so that the machine's load falls on both
// alike; the ratio of their medians is the generator's overhead.
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

void BM_Generator(benchmark::State& state)
{
    const QString target = tempPath("tolvin_bench_generator.qvr");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
        bool succeeded = false;
        {
            TinGenerator generator(pointFile(), target);
            QEventLoop loop;
            QObject::connect(&generator, &QThread::finished, &loop, &QEventLoop::quit);
            generator.start();
            loop.exec();
            succeeded = generator.isSucceeded();
        }
        if (!succeeded)
            state.SkipWithError("generation failed");
    }
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_Parts(benchmark::State& state)
{
    const QString target = tempPath("tolvin_bench_parts.qvr");
    const std::string targetName = QFile::encodeName(target).toStdString();
    double read = 0, triangulate = 0, write = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
        Clock::time_point start = Clock::now();
        CassPointReader reader(pointFile());
        if (!reader.read() || reader.points().size() != size_t(pointCount))
            state.SkipWithError("read failed");
        read += secondsSince(start);
        start = Clock::now();
        Delaunay delaunay(reader.points());
        delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
        triangulate += secondsSince(start);
        start = Clock::now();
        if (!Pelko::IO::TrianglesWriter::write(delaunay, targetName, nullptr))
            state.SkipWithError("write failed");
        write += secondsSince(start);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["read_s"] = read / n;
    state.counters["triangulate_s"] = triangulate / n;
    state.counters["write_s"] = write / n;
}

} // namespace

// CPU time of the whole process, since the generator works on its own thread; wall time beside it.
BENCHMARK(BM_Parts)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Generator)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

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
