// The program offscreen: start of the program to its main window shown, beside a bare Qt program
// showing an empty main window; and opening the large road with the horizontal page's plan drawn,
// beside the road library's load of the same file.
//
// Each start runs this program again as a child process, so it counts process start, linking,
// plug-in loading and the first paint as a user waits for them.
#include "app_largeroad.h"

#include "alignment/horizontalcurve.h"
#include "document/trelvin.h"
#include "framework/editmodewidget.h"
#include "framework/roadcurve.h"
#include "framework/roadplot.h"
#include "shell/fancytabwidget.h"
#include "shell/mainwindow.h"

#include <road/clippedhorizontalalignment.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QWindow>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace {

const char* const childFlag = "--start-child";

// What main() does, until the window has been painted once; then the child exits.
int runChild(int argc, char** argv, bool program)
{
    QApplication application(argc, argv);
    std::unique_ptr<QMainWindow> window;
    if (program) {
        Zemko::Trelvin::prepareApplication(application);
        window = std::make_unique<MainWindow>();
    } else {
        window = std::make_unique<QMainWindow>();
    }
    window->showMaximized();
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window->repaint();
    return 0;
}

void startChild(benchmark::State& state, const char* kind)
{
    const QString self = QCoreApplication::applicationFilePath();
    for (auto _ : state) {
        QProcess child;
        child.start(self, { QString::fromLatin1(childFlag), QString::fromLatin1(kind) });
        if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit
            || child.exitCode() != 0) {
            state.SkipWithError("the child did not start its window");
            return;
        }
    }
}

void BM_ProgramStart(benchmark::State& state)
{
    startChild(state, "program");
}
BENCHMARK(BM_ProgramStart)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: QApplication and an empty QMainWindow in the same kind of child.
void BM_BareQtStart(benchmark::State& state)
{
    startChild(state, "bare");
}
BENCHMARK(BM_BareQtStart)->Unit(benchmark::kMillisecond)->UseRealTime();

const QString& roadFile()
{
    static const QString path = [] {
        // Named after this process: runs side by side must not share (and delete) one file.
        const QString p = QDir::temp().filePath(
            QStringLiteral("bench_app_startup_%1.rod").arg(QCoreApplication::applicationPid()));
        QFile::remove(p);
        Pelko::Road::RoadSurface road(p.toLocal8Bit().toStdString());
        LargeRoad::build(road);
        road.save();
        return p;
    }();
    return path;
}

// The program's window at a common screen size, shown and painted once.
void showWindow(MainWindow& window)
{
    window.resize(1280, 800);
    window.show();
    QCoreApplication::processEvents();
}

void BM_OpenAndDrawPlan(benchmark::State& state)
{
    const QString& path = roadFile();
    MainWindow window;
    showWindow(window);
    Zemko::Trelvin::Trelvin* document = Zemko::Trelvin::Trelvin::instance();
    Core::Internal::FancyTabWidget* tabs = window.tabWidget();
    auto* plan = qobject_cast<EditModeWidget*>(tabs->widget(2));
    for (auto _ : state) {
        state.PauseTiming();
        document->closeRoad();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        if (!document->openRoad(path)) {
            state.SkipWithError("the road did not open");
            return;
        }
        // The plan is built on open; it is drawn when its page shows. A view that needs more detail
        // than the overview asks the road once the page's events are handled, and is drawn then.
        tabs->setCurrentIndex(2);
        plan->repaint();
        QCoreApplication::processEvents();
    }
    state.counters["plan points"]
        = plan && plan->curve() ? double(plan->curve()->plotCurve()->dataSize()) : 0;
    document->closeRoad();
}
BENCHMARK(BM_OpenAndDrawPlan)->Unit(benchmark::kMillisecond)->UseRealTime();

// Where the open-and-draw time goes: the horizontal page's plan alone, rebuilt from the open road and
// drawn at the fitted view of a page-sized plot (the labels render on the thread pool meanwhile).
void BM_PlanRebuild(benchmark::State& state)
{
    Zemko::Trelvin::Trelvin* document = Zemko::Trelvin::Trelvin::instance();
    if (!document->openRoad(roadFile())) {
        state.SkipWithError("the road did not open");
        return;
    }
    Zemko::Trelvin::RoadPlot plot;
    plot.resize(1000, 700);
    plot.show();
    QCoreApplication::processEvents();
    Zemko::Trelvin::HorizontalCurve curve(QStringLiteral("plan"), Qt::green);
    curve.attach(&plot);
    for (auto _ : state) {
        curve.refresh();
        QCoreApplication::processEvents();
    }
    state.counters["plan points"] = double(curve.plotCurve()->dataSize());
    curve.detach();
    document->closeRoad();
}
BENCHMARK(BM_PlanRebuild)->Unit(benchmark::kMillisecond)->UseRealTime();

// The road library's query behind the plan's overview: the whole road at the coarse tolerance of a
// 1000-pixel overview, centre line and both borders.
void BM_PlanOverviewQuery(benchmark::State& state)
{
    const std::string path = roadFile().toLocal8Bit().toStdString();
    Pelko::Road::RoadSurface road(path);
    if (!road.load()) {
        state.SkipWithError("the road did not load");
        return;
    }
    const Pelko::Road::HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements();
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
    for (unsigned i = 0; i < elements.size(); ++i) {
        const Pelko::Corvex::Point p = elements.at(i).getBeginPoint();
        minX = i ? std::min(minX, p.getX()) : p.getX();
        maxX = i ? std::max(maxX, p.getX()) : p.getX();
        minY = i ? std::min(minY, p.getY()) : p.getY();
        maxY = i ? std::max(maxY, p.getY()) : p.getY();
    }
    const double density
        = Zemko::Trelvin::HorizontalCurve::samplingPixels * std::max(maxX - minX, maxY - minY) / 1000.0;
    const double inf = std::numeric_limits<double>::infinity();
    std::size_t points = 0;
    for (auto _ : state) {
        const Pelko::Road::ClippedHorizontalAlignment plan = road.getBorderAndAlign(
            density, -inf, -inf, inf, inf, Pelko::Road::ClippedHorizontalAlignment::AllLines, 1);
        points = plan.getCenterLinePoints().size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = double(points);
}
BENCHMARK(BM_PlanOverviewQuery)->Unit(benchmark::kMillisecond)->UseRealTime();

std::size_t residentBytes()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return std::size_t(resident) * std::size_t(sysconf(_SC_PAGESIZE));
}

// The large road opened through the document with the horizontal page drawn, once its labels are in.
void openAndDraw(MainWindow& window, const QString& path)
{
    Zemko::Trelvin::Trelvin* document = Zemko::Trelvin::Trelvin::instance();
    document->openRoad(path);
    window.tabWidget()->setCurrentIndex(2);
    window.tabWidget()->widget(2)->repaint();
    QCoreApplication::processEvents();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

// Memory held by the open large road: the process's resident size and the heap's bytes in use before,
// after the first open and after each of eight reopens (closed, opened again, drawn again), and the
// heap in use while the road is closed. Run alone, in a fresh process: what ran before would count.
void BM_ReopenMemory(benchmark::State& state)
{
    const QString& path = roadFile();
    MainWindow window;
    showWindow(window);
    Zemko::Trelvin::Trelvin* document = Zemko::Trelvin::Trelvin::instance();
    constexpr double megabyte = 1024.0 * 1024.0;
    auto record = [&state](const std::string& when) {
        state.counters[when + " MB"] = double(residentBytes()) / megabyte;
        state.counters[when + " in use MB"] = double(mallinfo2().uordblks) / megabyte;
    };
    for (auto _ : state) {
        record("before");
        openAndDraw(window, path);
        record("first open");
        for (int i = 1; i <= 8; ++i) {
            document->closeRoad();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            if (i == 1)
                state.counters["closed in use MB"] = double(mallinfo2().uordblks) / megabyte;
            openAndDraw(window, path);
            record("reopen " + std::to_string(i));
        }
        document->closeRoad();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ReopenMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the road library alone loading the same file.
void BM_RoadLoad(benchmark::State& state)
{
    const std::string path = roadFile().toLocal8Bit().toStdString();
    for (auto _ : state) {
        Pelko::Road::RoadSurface road(path);
        benchmark::DoNotOptimize(road.load());
    }
}
BENCHMARK(BM_RoadLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], childFlag) == 0)
        return runChild(argc, argv, std::strcmp(argv[2], "program") == 0);

    // Private settings for this run and its children: the user's recent roads stay as they are.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication application(argc, argv);
    Zemko::Trelvin::prepareApplication(application);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(roadFile());
    return 0;
}
