// A TIN from a CASS point file of 1,000,000 points through the generator (its thread, progress timer and
// job), beside the three parts it runs, each called directly: reading the points, triangulating them and
// writing the database. The generator should cost little more than the parts' sum.
#include <casspointreader.h>
#include <tingenerator.h>

#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>

#include <cstdio>
#include <random>
#include <vector>

using Pelko::Corvex::Delaunay;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Triangle3D;
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

const std::vector<Point3D>& points()
{
    static const std::vector<Point3D> read = [] {
        CassPointReader reader(pointFile());
        return reader.read() ? reader.points() : std::vector<Point3D>();
    }();
    return read;
}

std::vector<Triangle3D> triangulate(const std::vector<Point3D>& points)
{
    Delaunay delaunay(points);
    delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
    return delaunay.getAllTriangles();
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

void BM_Read(benchmark::State& state)
{
    for (auto _ : state) {
        CassPointReader reader(pointFile());
        if (!reader.read() || reader.points().size() != size_t(pointCount))
            state.SkipWithError("read failed");
    }
}

void BM_Triangulate(benchmark::State& state)
{
    const std::vector<Point3D>& input = points();
    for (auto _ : state) {
        std::vector<Triangle3D> triangles = triangulate(input);
        if (triangles.empty())
            state.SkipWithError("no triangles");
        benchmark::DoNotOptimize(triangles.data());
    }
}

void BM_Write(benchmark::State& state)
{
    const std::vector<Triangle3D> triangles = triangulate(points());
    const std::string target = QFile::encodeName(tempPath("tolvin_bench_write.qvr")).toStdString();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(QFile::decodeName(target.c_str()));
        state.ResumeTiming();
        if (!Pelko::IO::TrianglesWriter::write(triangles, target, nullptr))
            state.SkipWithError("write failed");
    }
    state.counters["triangles"] = static_cast<double>(triangles.size());
}

} // namespace

// CPU time of the whole process, since the generator works on its own thread.
BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(BM_Triangulate)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(BM_Generator)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();

// The generator's timer needs an application object.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The point file and the databases take several hundred megabytes.
    for (const char* name :
         { "tolvin_bench_points.dat", "tolvin_bench_generator.qvr", "tolvin_bench_write.qvr" })
        QFile::remove(tempPath(name));
    return 0;
}
