#include "pointfiles.h"
#include "tindatabase.h"

#include <tingenerator.h>
#include <tingeneratorprivate.h>

#include <road/atomicfile.h>

#include <asuser.h>
#include <attributes.h>
#include <cputimer.h>
#include <filewatch.h>
#include <qttestmain.h>
#include <straightroad.h>

#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <thread>

#include <sqlite3.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SANITIZED_ALLOCATIONS
#endif
#endif
#if !defined(__SANITIZE_ADDRESS__) && !defined(SANITIZED_ALLOCATIONS)
#define STARVES_ALLOCATIONS
namespace {
// While set, every block of 64 KiB or more asked through new fails, as when memory runs out: on every
// thread, or on every thread but the main one.
std::atomic<bool> starved { false };
std::atomic<bool> starvedBeside { false };
const std::thread::id mainThread = std::this_thread::get_id();
}

void* operator new(std::size_t size)
{
    if (size >= 65536
        && (starved.load(std::memory_order_relaxed)
            || (starvedBeside.load(std::memory_order_relaxed) && std::this_thread::get_id() != mainThread)))
        throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
#endif

using Pelko::IO::DxfConversion;
using Zemko::Trelvin::DatData;
using Zemko::Trelvin::DxfData;
using Zemko::Trelvin::TinGenerator;

namespace {

using Attributes::accessAcl;

std::string fileName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// An access ACL of the owner, user 999, the owning group with the rights given, the mask and others.
std::string accessList(unsigned groupRights)
{
    using namespace Attributes;
    return acl({ { Owner, 6, noId },
                 { NamedUser, 6, 999 },
                 { OwningGroup, groupRights, noId },
                 { Mask, 6, noId },
                 { Others, 0, noId } });
}

// The extended attribute of the file, or "<none>".
QByteArray attribute(const QString& path, const char* name)
{
    return QByteArray::fromStdString(Attributes::attribute(fileName(path), name));
}

using Vertex = std::array<double, 3>;
using Triangle = std::array<Vertex, 3>;

// Runs a generation to its end with the event loop turning, as in the dialog.
bool generate(TinGenerator& generator)
{
    QSignalSpy finished(&generator, &QThread::finished);
    generator.start();
    // Not finished.wait(): a run without a job may end before the wait begins, which then waits for a
    // second finish.
    return QTest::qWaitFor([&finished] { return !finished.isEmpty(); }, 120000);
}

// A drawing of small 3DFACEs in rows of 200.
bool writeFaces(const QString& path, int count)
{
    QByteArray drawing("0\nSECTION\n2\nENTITIES\n");
    for (int i = 0; i < count; ++i) {
        const QByteArray x = QByteArray::number(i % 200), y = QByteArray::number(i / 200);
        drawing += "0\n3DFACE\n8\nT\n10\n" + x + "\n20\n" + y + "\n30\n1\n11\n" + x + ".5\n21\n" + y
            + "\n31\n2\n12\n" + x + "\n22\n" + y + ".5\n32\n3\n";
    }
    return writeText(path, drawing + "0\nENDSEC\n0\nEOF\n");
}

// How many bytes longer than its target the temporary name of each of the next runs of this process
// is (their targets in the folder, not cut to the name limit), or -1: the process id and the number of
// the file. A save made here takes a number, and is made again until the next runs' numbers have one
// length.
int temporaryNameGrowth(const QString& folder, int runs)
{
    const std::string target = fileName(folder + QStringLiteral("/growth.qvr"));
    for (int attempt = 0; attempt < 100; ++attempt) {
        Pelko::Road::AtomicFile probe(target, { "-journal", "-wal", "-shm" });
        if (probe.open() != Pelko::Road::SaveError::None)
            return -1;
        const std::string temporary = probe.temporaryPath();
        probe.cancel();
        const unsigned long count = std::stoul(temporary.substr(temporary.rfind('.') + 1));
        if (std::to_string(count + 1).size() == std::to_string(count + runs).size())
            return static_cast<int>(temporary.size() - target.size() + std::to_string(count + 1).size()
                                    - std::to_string(count).size());
    }
    return -1;
}

// A drawing of long thin faces, each through the centre at its own angle: every face crosses every other,
// and the border is the ground they cover together.
bool writeCrossingFaces(const QString& path, int count)
{
    QByteArray drawing("0\nSECTION\n2\nENTITIES\n");
    auto number = [](double value) { return QByteArray::number(value, 'g', 17); };
    for (int i = 0; i < count; ++i) {
        const double angle = 3.14159 * i / count;
        const double c = std::cos(angle), s = std::sin(angle);
        const double x[3] = { 500 + 100 * c, 500 - 100 * c, 500 - 100 * c - 0.5 * s };
        const double y[3] = { 500 + 100 * s, 500 - 100 * s, 500 - 100 * s + 0.5 * c };
        drawing += "0\n3DFACE\n8\nT\n";
        for (int k = 0; k < 3; ++k)
            drawing += QByteArray::number(10 + k) + "\n" + number(x[k]) + "\n" + QByteArray::number(20 + k)
                + "\n" + number(y[k]) + "\n" + QByteArray::number(30 + k) + "\n1\n";
    }
    return writeText(path, drawing + "0\nENDSEC\n0\nEOF\n");
}

// A job that sees every call its writer makes: each report and each look at the cancel flag. What the
// bar would show there, work still remaining, goes into shown, a value once.
template<class Job> class Watched : public Job
{
public:
    using Job::Job;
    mutable std::vector<int> shown;
    mutable int calls = 0;
    // Called with the bar's value at each call; the run is cancelled once it gives true.
    std::function<bool(int)> cancelAt;

protected:
    void writerCalled() const override
    {
        ++calls;
        const int value = this->progress();
        if (shown.empty() || shown.back() != value)
            shown.push_back(value);
        if (cancelAt && cancelAt(value))
            const_cast<Watched*>(this)->cancelled = true;
    }
};

// The share of a drawing's run where its border begins: the lines read weigh 60, the index 4 of the rest.
constexpr int borderBegins = 64;

} // namespace

class TinGeneratorTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void jobFollowsSuffix();
    void pointFileIntoDatabase();
    void failedPointFileLeavesNoTarget_data();
    void failedPointFileLeavesNoTarget();
    void drawingIntoDatabase();
    void drawingWithoutMapping();
    void cancelStopsAtOnce_data();
    void cancelStopsAtOnce();
    void inputCutShortWhileWorkedOn_data();
    void inputCutShortWhileWorkedOn();
    void straightRoad_data();
    void straightRoad();
    void pointsOnALineAndOneOff_data();
    void pointsOnALineAndOneOff();
    void disposeWhenFinished();
    void jobThatNeverRanKeepsTarget();
    void runOntoAnExistingFile_data();
    void runOntoAnExistingFile();
    void cancelWhileWritingKeepsOldTin();
    void newTinIsNoMoreReadableThanTheOld();
    void groupThatCannotBeKeptLosesItsRights();
    void leftoversOfKilledRunsGo();
    void accessListGoesAlong();
    void longTargetNames();
    void pathsTooLongForSqlite();
    void unfinishedWriteKeepsTin_data();
    void unfinishedWriteKeepsTin();
    void journalAndLogBehindLinks();
    void readerOfTheNewTinIsWaitedFor();
    void lookingAtTheTargetLeavesNothing();
    void tinInUseIsNamedSo();
    void fullDiskIsNamed();
    void somethingElseAtTheLogsName();
    void linkedTargetNamesWhereItLeads();
    void barNeverFullWhileWorkRemains();
    void borderMessages();
    void memoryRunOutKeepsOldTin();
    void cancelWhileTheBorderIsWorkedOut();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TinGeneratorTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
}

void TinGeneratorTest::cleanup()
{
    const QString faults = tinBorderFaults(m_folder->path());
    QVERIFY2(faults.isEmpty(), qPrintable(faults));
}

void TinGeneratorTest::jobFollowsSuffix()
{
    const QString target = m_folder->filePath(QStringLiteral("t.qvr"));
    QVERIFY(dynamic_cast<DxfData*>(TinGenerator(QStringLiteral("/x/DATA.DXF"), target).job()));
    QVERIFY(dynamic_cast<DxfData*>(TinGenerator(QStringLiteral("/x/a.b.dxf"), target).job()));
    QVERIFY(dynamic_cast<DatData*>(TinGenerator(QStringLiteral("/x/site.Dat"), target).job()));
    QVERIFY(!TinGenerator(QStringLiteral("/x/site.txt"), target).job());
    QVERIFY(!TinGenerator(QStringLiteral("/x/dat"), target).job());

    // Without a job the run does nothing and fails.
    const QString text = m_folder->filePath(QStringLiteral("site.txt"));
    QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/site.dat"), text));
    TinGenerator generator(text, target);
    QSignalSpy progress(&generator, &TinGenerator::progress);
    QVERIFY(generate(generator));
    QVERIFY(!generator.isSucceeded());
    QCOMPARE(generator.message(),
             QStringLiteral("The data file must be a CASS point file (.dat) or a DXF drawing (.dxf)."));
    QVERIFY(!QFile::exists(target));
    generator.cancel();
    QCoreApplication::processEvents();
    QCOMPARE(progress.count(), 0);
}

void TinGeneratorTest::pointFileIntoDatabase()
{
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    {
        TinGenerator generator(QStringLiteral(TEST_DATA_DIR "/site.dat"), target);
        QSignalSpy progress(&generator, &TinGenerator::progress);
        QVERIFY(generate(generator));
        QVERIFY(generator.isSucceeded());
        // The last report comes after the end and says 100, whatever the timer saw before.
        QTRY_VERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toInt(), 100);
        for (const QList<QVariant>& report : progress)
            QVERIFY(report.at(0).toInt() >= 0 && report.at(0).toInt() <= 100);
    }
    QVERIFY(QFile::exists(target));

    // Four corners and a point inside: four triangles around the inner point.
    const TinContents tin = readTin(target);
    QVERIFY(tin.opened);
    const Vertex p1 { 200, 100, 10 }, p2 { 200, 110, 11 }, p3 { 210, 110, 12 }, p4 { 210, 100, 13 },
        p5 { 205.5, 105, 14.5 };
    std::vector<Triangle> expected { { p1, p2, p5 }, { p2, p3, p5 }, { p3, p4, p5 }, { p4, p1, p5 } };
    for (Triangle& triangle : expected)
        std::sort(triangle.begin(), triangle.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(tin.triangles, expected);
    QCOMPARE(tin.indexed, std::vector<int>({ 0, 1, 2, 3 }));
    // The border runs round the four corners once.
    QCOMPARE(tin.border.size(), size_t(4));
    for (const Vertex& corner : { p1, p2, p3, p4 }) {
        QVERIFY(std::count_if(tin.border.begin(), tin.border.end(),
                              [&](const Pelko::Corvex::Point& p) {
                                  return p.getX() == corner[0] && p.getY() == corner[1];
                              })
                == 1);
    }
}

void TinGeneratorTest::failedPointFileLeavesNoTarget_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("short line") << QByteArray("a,,0,0,1\nb,,1,0\nc,,0,1,1\n");
    QTest::newRow("empty line") << QByteArray("a,,0,0,1\n\nb,,1,0,1\nc,,0,1,1\n");
    QTest::newRow("nan") << QByteArray("a,,0,0,1\nb,,nan,0,1\nc,,0,1,1\n");
    QTest::newRow("collinear") << QByteArray("a,,0,0,1\nb,,1,1,1\nc,,2,2,1\n");
    QTest::newRow("two points") << QByteArray("a,,0,0,1\nb,,1,1,1\na,,0,0,5\n");
}

void TinGeneratorTest::failedPointFileLeavesNoTarget()
{
    QFETCH(QByteArray, text);
    const QString data = m_folder->filePath(QStringLiteral("bad.dat"));
    const QString target = m_folder->filePath(QStringLiteral("bad.qvr"));
    QVERIFY(writeText(data, text));
    {
        TinGenerator generator(data, target);
        QVERIFY(generate(generator));
        QVERIFY(!generator.isSucceeded());
    }
    QVERIFY(!QFile::exists(target));
    QVERIFY(QFile::exists(data));
}

void TinGeneratorTest::drawingIntoDatabase()
{
    const QString data = m_folder->filePath(QStringLiteral("FACES.DXF"));
    const QString target = m_folder->filePath(QStringLiteral("faces.qvr"));
    QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/faces.dxf"), data));
    {
        TinGenerator generator(data, target);
        QCOMPARE(generator.job()->progress(), 0);
        QSignalSpy progress(&generator, &TinGenerator::progress);
        QVERIFY(generate(generator));
        QVERIFY(generator.isSucceeded());
        // Every line of the drawing was consumed.
        QCOMPARE(generator.job()->progress(), 100);
        QTRY_VERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toInt(), 100);
    }
    // North from the drawing's Y, east from its X; each face is a triangle, its fourth corner its third.
    const TinContents tin = readTin(target);
    std::vector<Triangle> expected {
        { Vertex { 200, 100, 5 }, Vertex { 200, 110, 6 }, Vertex { 210, 100, 7 } },
        { Vertex { 200, 110, 6 }, Vertex { 210, 100, 7 }, Vertex { 210, 110, 8 } }
    };
    QCOMPARE(tin.triangles, expected);

    // Two separate parts, face 0 in the smaller: the border goes round the larger, and the run says so.
    std::vector<std::array<double, 6>> faces {
        { 100, 0, 101, 0, 101, 1 }, { 100, 0, 101, 1, 100, 1 }, { 0, 0, 3, 0, 3, 3 }, { 0, 0, 3, 3, 0, 3 }
    };
    const QString partsData = m_folder->filePath(QStringLiteral("parts.dxf"));
    const QString partsTarget = m_folder->filePath(QStringLiteral("parts.qvr"));
    auto run = [&] {
        QByteArray parts("0\nSECTION\n2\nENTITIES\n");
        for (const std::array<double, 6>& c : faces) {
            parts += "0\n3DFACE\n8\nT\n";
            for (int k = 0; k < 3; ++k)
                parts += QByteArray::number(10 + k) + "\n" + QByteArray::number(c[2 * k]) + "\n"
                    + QByteArray::number(20 + k) + "\n" + QByteArray::number(c[2 * k + 1]) + "\n"
                    + QByteArray::number(30 + k) + "\n1\n";
        }
        TinGenerator generator(partsData, partsTarget);
        return writeText(partsData, parts + "0\nENDSEC\n0\nEOF\n") && generate(generator)
                && generator.isSucceeded()
            ? generator.message()
            : QStringLiteral("failed");
    };
    const QString parts
        = QStringLiteral("The drawing has 2 separate parts; the border goes round the largest and "
                         "encloses 90 % of the area of the faces.");
    QCOMPARE(run(), parts);
    QCOMPARE(readTin(partsTarget).border.size(), size_t(4));
    // A face over the larger part, sharing no corner with it, is the same ground: no third part. Its
    // border goes round the ground, and the run says that faces overlap.
    faces.push_back({ 0.5, 0.5, 2.5, 1, 1, 2.5 });
    QCOMPARE(
        run(),
        QStringLiteral("Faces of the drawing overlap: each part is the ground its faces cover together. ")
            + parts);
    QCOMPARE(readTin(partsTarget).border.size(), size_t(4));

    // The overlap in the smaller part, which the border does not go round, and in a drawing of one part.
    faces.pop_back();
    faces.push_back({ 100.2, 0.2, 100.9, 0.3, 100.3, 0.9 });
    QCOMPARE(
        run(),
        QStringLiteral("Faces of the drawing overlap: each part is the ground its faces cover together. ")
            + parts);
    faces.erase(faces.begin() + 2, faces.begin() + 4);
    QCOMPARE(run(),
             QStringLiteral(
                 "Faces of the drawing overlap: the border goes round the ground they cover together."));
}

void TinGeneratorTest::drawingWithoutMapping()
{
    const QString target = m_folder->filePath(QStringLiteral("none.qvr"));
    const QString empty = m_folder->filePath(QStringLiteral("empty.dxf"));
    QVERIFY(writeText(empty, QByteArray()));
    // A sparse file of 4 GiB: too large for the memory file's byte count.
    const QString huge = m_folder->filePath(QStringLiteral("huge.dxf"));
    {
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(1) << 32));
    }
    const QString missing = m_folder->filePath(QStringLiteral("missing.dxf"));
    const std::pair<QString, QString> cases[] = {
        { missing, QStringLiteral("Cannot open the drawing %1: No such file or directory.").arg(missing) },
        { empty, QStringLiteral("The drawing %1 is empty.").arg(empty) },
        { huge, QStringLiteral("The drawing %1 is larger than 4 GB.").arg(huge) },
    };
    for (const auto& [data, message] : cases) {
        TinGenerator generator(data, target);
        QVERIFY(generator.job());
        QCOMPARE(generator.job()->progress(), 0);
        QVERIFY(!generator.job()->generate());
        QCOMPARE(generator.job()->progress(), 0);
        QVERIFY(generate(generator));
        QVERIFY(!generator.isSucceeded());
        QCOMPARE(generator.message(), message);
    }
    QVERIFY(!QFile::exists(target));
}

void TinGeneratorTest::cancelStopsAtOnce_data()
{
    QTest::addColumn<QString>("input");
    // Points of a point file; a drawing has 30,000 faces.
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("cancelAbove");
    // Milliseconds to wait before the cancel once the percent is reached.
    QTest::addColumn<int>("settle");
    // Reading the points weighs 80, writing 20; a drawing's percent is its lines read.
    QTest::newRow("reading points") << "large.dat" << 100000 << 5 << 0;
    // A million points take seconds to triangulate; the reader lets its text go before that begins.
    QTest::newRow("triangulating") << "large.dat" << 1000000 << 79 << 200;
    QTest::newRow("writing") << "large.dat" << 100000 << 80 << 0;
    QTest::newRow("reading a drawing") << "large.dxf" << 0 << 5 << 0;
}

void TinGeneratorTest::cancelStopsAtOnce()
{
    QFETCH(QString, input);
    QFETCH(int, points);
    QFETCH(int, cancelAbove);
    QFETCH(int, settle);
    const QString data = m_folder->filePath(input);
    const QString target = m_folder->filePath(QStringLiteral("large.qvr"));
    if (input.endsWith(QLatin1String(".dat"))) {
        QVERIFY(writeRandomPoints(data, points));
    } else {
        QVERIFY(writeFaces(data, 30000));
    }
    QPointer<TinGenerator> generator = new TinGenerator(data, target);
    // A failed check returns early: the generator must not outlive the test.
    auto cleanup = qScopeGuard([&] {
        if (generator) {
            generator->cancel();
            delete generator.data();
        }
    });
    QSignalSpy finished(generator.data(), &QThread::finished);
    generator->start();
    QVERIFY(waitForProgress(*generator, *generator->job(), cancelAbove));
    QThread::msleep(settle);
    QVERIFY(!generator->isFinished());
    CpuTimer sinceCancel;
    sinceCancel.start();
    generator->cancel();
    QVERIFY(generator->wait(60000));
    // The work stops at its next look at the flag: it did not run on to the end.
#if defined(__SANITIZE_ADDRESS__)
    const qint64 bound = 2000;
#else
    const qint64 bound = 500;
#endif
    QVERIFY2(sinceCancel.elapsed() < bound, qPrintable(QString::number(sinceCancel.elapsed())));
    QVERIFY(generator->job()->progress() < 100);
    QVERIFY(!generator->isSucceeded());
    QVERIFY(generator->message().isEmpty());
    generator->disposeWhenFinished();
    QTRY_VERIFY_WITH_TIMEOUT(generator.isNull(), 120000);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!QFile::exists(target));
    QVERIFY(QFile::exists(data));
}

void TinGeneratorTest::inputCutShortWhileWorkedOn_data()
{
    QTest::addColumn<QString>("input");
    // Empty when the run goes on.
    QTest::addColumn<QString>("message");
    // Points are parsed as the file is read: the cut is found.
    QTest::newRow("point file") << "cut.dat"
                                << "The point file %1 changed while it was read.";
    // A drawing is parsed once it is read whole: what was read is whole, and the run goes on with it.
    QTest::newRow("drawing") << "cut.dxf" << QString();
}

void TinGeneratorTest::inputCutShortWhileWorkedOn()
{
    // Another program (a synced folder, an editor saving) cuts the input short while the job parses it.
    // A mapped input killed the whole program here.
    QFETCH(QString, input);
    QFETCH(QString, message);
    const QString data = m_folder->filePath(input);
    const QString target = m_folder->filePath(QStringLiteral("cut.qvr"));
    QVERIFY(input.endsWith(QLatin1String(".dat")) ? writeRandomPoints(data, 40000) : writeFaces(data, 15000));
    {
        TinGenerator generator(data, target);
        generator.start();
        QVERIFY(waitForProgress(generator, *generator.job(), 2));
        QVERIFY(QFile(data).resize(10));
        QVERIFY(generator.wait(120000));
        QCOMPARE(generator.isSucceeded(), message.isEmpty());
        if (!message.isEmpty())
            QCOMPARE(generator.message(), message.arg(data));
    }
    QCOMPARE(QFileInfo(data).size(), qint64(10));
    QCOMPARE(QFile::exists(target), message.isEmpty());
}

void TinGeneratorTest::straightRoad_data()
{
    QTest::addColumn<int>("azimuth");
    // Where the border cut across the TIN past the slivers along its hull: at 69 degrees it enclosed 15,001
    // of 60,002 m².
    for (int azimuth : { 0, 1, 2, 16, 30, 33, 45, 69, 83, 84 })
        QTest::newRow(qPrintable(QStringLiteral("%1 degrees").arg(azimuth))) << azimuth;
}

void TinGeneratorTest::straightRoad()
{
    QFETCH(int, azimuth);
    const QString data = m_folder->filePath(QStringLiteral("road.dat"));
    const QString target = m_folder->filePath(QStringLiteral("road.qvr"));
    QByteArray text;
    int name = 0;
    for (const Pelko::Corvex::Point3D& p : straightRoadPoints(azimuth)) {
        char line[96];
        text.append(line,
                    std::snprintf(line, sizeof line, "P%d,,%.3f,%.3f,%.3f\n", ++name, p.y(), p.x(), p.z()));
    }
    QVERIFY(writeText(data, text));
    TinGenerator generator(data, target);
    QVERIFY(generate(generator));
    QVERIFY2(generator.isSucceeded(), qPrintable(generator.message()));
    const QString faults = tinBorderFaults(m_folder->path());
    QVERIFY2(faults.isEmpty(), qPrintable(faults));
}

void TinGeneratorTest::pointsOnALineAndOneOff_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("points");
    // Their triangles fan out from the one point; the border of 5,001 points took 40 s and more.
    QTest::newRow("2,000 and one") << "line2000_plus_one.dat" << 2001;
    QTest::newRow("5,000 and one") << "line5000_plus_one.dat" << 5001;
}

void TinGeneratorTest::pointsOnALineAndOneOff()
{
    QFETCH(QString, input);
    QFETCH(int, points);
    const QString data = QStringLiteral(TEST_DATA_DIR "/") + input;
    const QString target = m_folder->filePath(QStringLiteral("fan.qvr"));
#if defined(__SANITIZE_ADDRESS__)
    const qint64 bound = 2000;
#else
    const qint64 bound = 500;
#endif
    {
        TinGenerator generator(data, target);
        CpuTimer run;
        run.start();
        QVERIFY(generate(generator));
        QVERIFY(run.elapsed() < 30 * bound);
        QVERIFY2(generator.isSucceeded(), qPrintable(generator.message()));
    }
    // Every point lies on the border.
    const TinContents tin = readTin(target);
    QCOMPARE(tin.triangles.size(), size_t(points - 2));
    QCOMPARE(tin.border.size(), size_t(points));
    // The run below removes this TIN before the test is over.
    const QString faults = tinBorderFaults(m_folder->path());
    QVERIFY2(faults.isEmpty(), qPrintable(faults));

    // A cancel once every row is written, while the border is walked, ends the run at once. Reading
    // weighs 80, the rows and their index 60 of the writer's 20.
    TinGenerator generator(data, target);
    generator.start();
    QVERIFY(waitForProgress(generator, *generator.job(), 91));
    CpuTimer sinceCancel;
    sinceCancel.start();
    generator.cancel();
    QVERIFY(generator.wait(120000));
    QVERIFY2(sinceCancel.elapsed() < bound, qPrintable(QString::number(sinceCancel.elapsed())));
    QVERIFY(!generator.isSucceeded());
}

void TinGeneratorTest::disposeWhenFinished()
{
    const QString target = m_folder->filePath(QStringLiteral("t.qvr"));
    // Never started, and started then ended before the call: both go at once.
    QPointer<TinGenerator> idle = new TinGenerator(QStringLiteral(TEST_DATA_DIR "/site.dat"), target);
    idle->disposeWhenFinished();
    QTRY_VERIFY(idle.isNull());

    QPointer<TinGenerator> ended = new TinGenerator(QStringLiteral(TEST_DATA_DIR "/site.dat"), target);
    ended->start();
    QVERIFY(ended->wait(60000));
    QCoreApplication::processEvents();
    ended->cancel();
    ended->disposeWhenFinished();
    QTRY_VERIFY(ended.isNull());
    // Cancelled after it succeeded: the new TIN was in place by then, and stays (were it removed, a TIN
    // it replaced would be lost as well).
    QVERIFY(Zemko::Trelvin::TinGeneratorPrivate::isTinDatabase(target));
    QVERIFY(beside(target).isEmpty());
}

void TinGeneratorTest::jobThatNeverRanKeepsTarget()
{
    const QString target = m_folder->filePath(QStringLiteral("keep.qvr"));
    QVERIFY(writeText(target, "not ours"));
    {
        TinGenerator generator(QStringLiteral(TEST_DATA_DIR "/site.dat"), target);
        generator.cancel();
    }
    QVERIFY(QFile::exists(target));
}

void TinGeneratorTest::runOntoAnExistingFile_data()
{
    // What is at the target before the run: a TIN, or another file.
    QTest::addColumn<bool>("tin");
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("inputText");
    // Empty when the run succeeds.
    QTest::addColumn<QString>("message");
    const QByteArray points("P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n");
    const QByteArray lines(
        "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nT\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n");
    QTest::newRow("TIN replaced by points") << true << QByteArray() << "site.dat" << points << QString();
    QTest::newRow("TIN kept on a failed drawing")
        << true << QByteArray() << "lines.dxf" << lines
        << "The drawing holds no 3DFACE entities in its model space";
    QTest::newRow("TIN kept on failed points")
        << true << QByteArray() << "line.dat" << QByteArray("a,,0,0,1\nb,,1,1,1\nc,,2,2,1\n")
        << "The points of %1 make no triangle: there are fewer than three distinct points, or all lie on one "
           "line.";
    const QString notATin("%2 is not a TIN database and is not replaced.");
    QTest::newRow("text file kept") << false << QByteArray("old model") << "site.dat" << points << notATin;
    QTest::newRow("road file kept") << false
                                    << QByteArray(
                                           "<?xml version=\"1.0\"?>\n<Road><Version>4</Version></Road>\n")
                                    << "site.dat" << points << notATin;
    QTest::newRow("empty file kept") << false << QByteArray() << "site.dat" << points << notATin;
}

void TinGeneratorTest::runOntoAnExistingFile()
{
    QFETCH(bool, tin);
    QFETCH(QByteArray, other);
    QFETCH(QString, input);
    QFETCH(QByteArray, inputText);
    QFETCH(QString, message);
    const QString data = m_folder->filePath(input);
    const QString target = m_folder->filePath(QStringLiteral("old.qvr"));
    QVERIFY(writeText(data, inputText));
    QVERIFY(tin ? writeTin(target) : writeText(target, other));
    const QByteArray before = readAll(target);
    {
        TinGenerator generator(data, target);
        QVERIFY(generate(generator));
        QCOMPARE(generator.isSucceeded(), message.isEmpty());
        QCOMPARE(generator.message(),
                 QString(message).replace(QLatin1String("%1"), data).replace(QLatin1String("%2"), target));
        // Nothing is left beside the target once the run is over.
        QVERIFY(beside(target).isEmpty());
    }
    if (message.isEmpty()) {
        QCOMPARE(readTin(target).triangles.size(), size_t(1));
    } else {
        QCOMPARE(readAll(target), before);
    }
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TinGeneratorTest::cancelWhileWritingKeepsOldTin()
{
    const QString data = m_folder->filePath(QStringLiteral("large.dat"));
    const QString target = m_folder->filePath(QStringLiteral("large.qvr"));
    QVERIFY(writeRandomPoints(data, 100000));
    QVERIFY(writeTin(target));
    const QByteArray before = readAll(target);
    {
        TinGenerator generator(data, target);
        generator.start();
        // Reading weighs 80: the new TIN is being written beside the old one.
        QVERIFY(waitForProgress(generator, *generator.job(), 80));
        QCOMPARE(readAll(target), before);
        generator.cancel();
        QVERIFY(generator.wait(120000));
        QVERIFY(!generator.isSucceeded());
        QVERIFY(beside(target).isEmpty());
    }
    QCOMPARE(readAll(target), before);
}

void TinGeneratorTest::newTinIsNoMoreReadableThanTheOld()
{
    // Every file of a run onto a private TIN is private from its first moment: a reader who opened it
    // before its mode was narrowed would keep reading the whole new TIN.
    const QString folder = QFileInfo(m_folder->path()).canonicalFilePath();
    const QString small = m_folder->filePath(QStringLiteral("site.dat"));
    const QString target = m_folder->filePath(QStringLiteral("private.qvr"));
    const QByteArray path = QFile::encodeName(target);
    QVERIFY(writeText(small, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QVERIFY(writeTin(target));
    QCOMPARE(::chmod(path.constData(), 0600), 0);
    const mode_t mask = ::umask(022);
    FileWatch::start(QFile::encodeName(folder).toStdString());
    DatData job(small, target);
    const bool generated = job.generate();
    const std::vector<FileWatch::Write> creations = FileWatch::creations();
    FileWatch::stop();
    ::umask(mask);
    QVERIFY2(generated, qPrintable(job.message));
    QVERIFY(!creations.empty());
    for (const FileWatch::Write& creation : creations)
        QVERIFY2(creation.mode == 0600, qPrintable(QString::fromStdString(creation.path)));

    if (::geteuid() != 0)
        QSKIP("only root can give the old TIN another owner");
    const QString data = m_folder->filePath(QStringLiteral("large.dat"));
    QVERIFY(writeRandomPoints(data, 100000));
    QCOMPARE(::chown(path.constData(), 1234, 4321), 0);
    QCOMPARE(::chmod(path.constData(), 02640), 0);
    TinGenerator generator(data, target);
    generator.start();
    // While the new TIN is written it already has the old one's owner, group and mode.
    QVERIFY(waitForProgress(generator, *generator.job(), 80));
    // The new TIN (and its journal, where there is one, which takes no set-group bit).
    const QStringList writing = beside(target);
    QVERIFY(!writing.isEmpty());
    struct stat file;
    for (const QString& name : writing) {
        QCOMPARE(::stat(QFile::encodeName(QFileInfo(target).dir().filePath(name)).constData(), &file), 0);
        QCOMPARE(file.st_mode & 0777, mode_t(0640));
        QCOMPARE(file.st_uid, uid_t(1234));
        QCOMPARE(file.st_gid, gid_t(4321));
    }
    QVERIFY(generator.wait(120000));
    QCoreApplication::processEvents();
    QVERIFY(generator.isSucceeded());
    QCOMPARE(::stat(path.constData(), &file), 0);
    QCOMPARE(file.st_mode & 07777, mode_t(02640));
    QCOMPARE(file.st_uid, uid_t(1234));
    QCOMPARE(file.st_gid, gid_t(4321));
}

void TinGeneratorTest::groupThatCannotBeKeptLosesItsRights()
{
    // As a road save: an ordinary user keeps a group they belong to and its set-group bit; where they
    // cannot, the group's bits go and so does what the access list gave the owning group, while a named
    // user keeps their entry and the user attributes go along.
    const QString folder = m_folder->filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkpath(folder));
    const QString data = QDir(folder).filePath(QStringLiteral("site.dat"));
    const QString target = QDir(folder).filePath(QStringLiteral("site.qvr"));
    const QString listed = QDir(folder).filePath(QStringLiteral("listed.qvr"));
    const QString member = QDir(folder).filePath(QStringLiteral("member.qvr"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    // The folder and the old TINs belong to user 1500; only group 4321 may read them.
    if (::geteuid() != 0)
        QSKIP("only root can switch to an ordinary user");
    QCOMPARE(::chmod(QFile::encodeName(m_folder->path()).constData(), 0711), 0);
    QCOMPARE(::chown(QFile::encodeName(folder).constData(), 1500, 1500), 0);
    for (const QString& tin : { target, listed, member }) {
        QVERIFY(writeTin(tin));
        QCOMPARE(::chown(QFile::encodeName(tin).constData(), 1500, 4321), 0);
        QCOMPARE(::chmod(QFile::encodeName(tin).constData(), tin == member ? 02640 : 0640), 0);
    }
    const bool acls = Attributes::setAttribute(fileName(listed), accessAcl, accessList(4));
    QVERIFY(Attributes::setAttribute(fileName(listed), "user.origin", "survey"));
    const auto run = [&data](const QString& tin) {
        DatData job(data, tin);
        return job.generate() ? job.message.toStdString() : "failed: " + job.message.toStdString();
    };
    const std::optional<std::string> outsider
        = AsUser::run(1500, 1500, { 1500 }, [&] { return run(target) + run(listed); });
    if (!outsider)
        QSKIP("cannot run as another user");
    QVERIFY2(outsider->empty(), outsider->c_str());
    QVERIFY(*AsUser::run(1500, 1500, { 1500, 4321 }, [&] { return run(member); }) == "");
    struct stat file;
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &file), 0);
    QCOMPARE(file.st_gid, gid_t(1500));
    QCOMPARE(file.st_mode & 07777, mode_t(0600));
    // The group bits show the access list's mask.
    QCOMPARE(::stat(QFile::encodeName(listed).constData(), &file), 0);
    QCOMPARE(file.st_gid, gid_t(1500));
    QCOMPARE(file.st_mode & 07777, mode_t(acls ? 0660 : 0600));
    if (acls)
        QCOMPARE(attribute(listed, accessAcl), QByteArray::fromStdString(accessList(0)));
    QCOMPARE(attribute(listed, "user.origin"), QByteArray("survey"));
    QCOMPARE(::stat(QFile::encodeName(member).constData(), &file), 0);
    QCOMPARE(file.st_gid, gid_t(4321));
    QCOMPARE(file.st_mode & 07777, mode_t(02640));

    // A folder the user may write but not read cannot be synced: the run counts, and says so.
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0300), 0);
    const std::optional<std::string> unreadable
        = AsUser::run(1500, 1500, { 1500 }, [&] { return run(target); });
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    QCOMPARE(
        QString::fromStdString(*unreadable),
        QStringLiteral("%1 was written, but its folder %2 could not be synced, as it may be written but not "
                       "read: a crash soon after may lose the new file. Saves into this folder go on without "
                       "syncing it.")
            .arg(target, folder));
}

void TinGeneratorTest::leftoversOfKilledRunsGo()
{
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QVERIFY(writeTin(target));
    // A process that has ended, and one that runs: neither decides. A run holds the lock of its file
    // until it is done, also where it runs in another PID namespace (a container, another machine).
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    QVERIFY(ended > 0);
    QCOMPARE(::waitpid(ended, nullptr, 0), ended);
    const QString gone = QString::number(ended);
    const QString runs = QString::number(::getppid());
    const QStringList left { "site.qvr.~" + gone + ".0",     "site.qvr.~" + gone + ".17-journal",
                             "site.qvr.~" + runs + ".0",     "site.qvr.~" + gone + ".3",
                             "site.qvr.~" + gone + ".3-wal", "site.qvr.~" + gone + ".3-shm" };
    const QString held = "site.qvr.~" + gone + ".5";
    const QStringList kept { held,
                             held + "-journal",
                             "site.qvr.~" + gone + ".x",
                             "site.qvr.~" + gone + ".01",
                             "other.qvr.~" + gone + ".0",
                             "site.qvr.~" + gone + ".0.bak",
                             "site.qvr.~" + gone + ".3-log" };
    for (const QString& name : left + kept)
        QVERIFY(writeText(m_folder->filePath(name), "left"));
    const int holder = ::open(QFile::encodeName(m_folder->filePath(held)).constData(), O_WRONLY | O_CLOEXEC);
    QVERIFY(holder >= 0);
    auto release = qScopeGuard([holder] { ::close(holder); });
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_len = 1;
    QCOMPARE(::fcntl(holder, F_OFD_SETLK, &lock), 0);
    // A run of this process whose writer has opened and closed its file: SQLite's closing drops the
    // classic record locks of the whole process on that file, but not this lock.
    Pelko::Road::AtomicFile running(QFile::encodeName(target).toStdString(), { "-journal" });
    QCOMPARE(running.open(), Pelko::Road::SaveError::None);
    QVERIFY(writeTin(QFile::decodeName(running.temporaryPath().c_str())));
    {
        TinGenerator generator(data, target);
        QVERIFY(generate(generator));
        QVERIFY(generator.isSucceeded());
    }
    for (const QString& name : left)
        QVERIFY2(!QFile::exists(m_folder->filePath(name)), qPrintable(name));
    for (const QString& name : kept)
        QVERIFY2(QFile::exists(m_folder->filePath(name)), qPrintable(name));
    QCOMPARE(running.commit(), Pelko::Road::SaveError::None);
    QCOMPARE(readTin(target).triangles.size(), size_t(2));
}

void TinGeneratorTest::accessListGoesAlong()
{
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    const QByteArray path = QFile::encodeName(target);
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QVERIFY(writeTin(target));
    // Owner rw, user 999 rw, the owning group nothing: the group bits show the mask, rw.
    QCOMPARE(::chmod(path.constData(), 0600), 0);
    if (!Attributes::setAttribute(fileName(target), accessAcl, accessList(0)))
        QSKIP("no access ACLs here");
    QVERIFY(Attributes::setAttribute(fileName(target), "user.origin", "survey"));
    {
        TinGenerator generator(data, target);
        QVERIFY(generate(generator));
        QVERIFY(generator.isSucceeded());
        QCOMPARE(generator.message(), QString());
    }
    QCOMPARE(attribute(target, accessAcl), QByteArray::fromStdString(accessList(0)));
    QCOMPARE(attribute(target, "user.origin"), QByteArray("survey"));
    struct stat file;
    QCOMPARE(::stat(path.constData(), &file), 0);
    QCOMPARE(file.st_mode & 07777, mode_t(0660));

    // Where they cannot be carried over, the new TIN allows its owner alone, and the run says so.
    FileWatch::start(QFile::encodeName(QFileInfo(m_folder->path()).canonicalFilePath()).toStdString());
    FileWatch::failAttributes(ENOTSUP);
    DatData job(data, target);
    const bool generated = job.generate();
    FileWatch::stop();
    QVERIFY(generated);
    QCOMPARE(
        job.message,
        QStringLiteral("%1 was written, but the access list or extended attributes of the file it "
                       "replaced could not be carried over (operation not supported): the file now allows "
                       "its owner alone.")
            .arg(target));
    QCOMPARE(::stat(path.constData(), &file), 0);
    QCOMPARE(file.st_mode & 07777, mode_t(0600));
}

void TinGeneratorTest::longTargetNames()
{
    // The new TIN's name leaves room for its journal's: names that took a TIN before take one still.
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    for (const int length : { 240, 247, 255 }) {
        const QString target = m_folder->filePath(QString(length - 4, QLatin1Char('t')) + ".qvr");
        for (const char* run : { "new", "replacing" }) {
            DatData job(data, target);
            QVERIFY2(job.generate(),
                     qPrintable(QStringLiteral("%1 bytes, %2: %3").arg(length).arg(run).arg(job.message)));
        }
        QCOMPARE(readTin(target).triangles.size(), size_t(1));
        QVERIFY(beside(target).isEmpty());
    }

    // A name of the longest a temporary name may be that ends like one is still no leftover of its own
    // runs: a run that fails keeps it, one that succeeds keeps its attributes.
    const QString named = m_folder->filePath(QString(241, QLatin1Char('t')) + ".~12.3");
    QCOMPARE(QFileInfo(named).fileName().size(), 247);
    QVERIFY(writeTin(named));
    const QByteArray before = readAll(named);
    QVERIFY(Attributes::setAttribute(fileName(named), "user.origin", "survey"));
    const QString line = m_folder->filePath(QStringLiteral("line.dat"));
    QVERIFY(writeText(line, "a,,0,0,1\nb,,1,1,1\nc,,2,2,1\n"));
    DatData failing(line, named);
    QVERIFY(!failing.generate());
    QCOMPARE(readAll(named), before);
    DatData replacing(data, named);
    QVERIFY2(replacing.generate(), qPrintable(replacing.message));
    QCOMPARE(replacing.message, QString());
    QCOMPARE(attribute(named, "user.origin"), QByteArray("survey"));
    QCOMPARE(readTin(named).triangles.size(), size_t(1));
}

void TinGeneratorTest::pathsTooLongForSqlite()
{
    // SQLite opens a database only where its full path leaves room for its journal's name within 512
    // bytes, and the new TIN is first written under a longer name than the target's: a path over either
    // limit is refused at once, its reason and the limit named, and nothing is changed.
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QString folder = QFileInfo(m_folder->path()).canonicalFilePath();
    while (folder.size() < 380)
        folder += QLatin1Char('/') + QString(std::min<int>(100, 380 - folder.size()), QLatin1Char('d'));
    QVERIFY(QDir().mkpath(folder));
    const QString tooLong("No TIN is written to %1: its path is too long for a TIN database. SQLite opens a "
                          "database only where its full path, links resolved, has at most 504 bytes");
    // Lengths, and below 10 lengths beyond the longest target that fits. The temporary name carries the
    // process id and a number: how much longer it is comes from the names the runs themselves are given,
    // whatever their digits.
    for (const int given : { 480, 0, 1, 504, 505, 509, 600 }) {
        // The run and the one replacing its TIN, each under a name as much longer as measured.
        const int longer = temporaryNameGrowth(folder, 2);
        QVERIFY(longer > 0);
        const int fits = 504 - longer;
        const int length = given < 10 ? fits + given : given;
        const QString target = folder + QLatin1Char('/')
            + QString(length - folder.size() - 5, QLatin1Char('t')) + QStringLiteral(".qvr");
        QCOMPARE(target.size(), length);
        const QString context = QString::number(length);
        DatData onto(data, target);
        const bool generated = onto.generate();
        if (length <= fits) {
            QVERIFY2(generated, qPrintable(context + ": " + onto.message));
            QVERIFY(readTin(target).opened);
            DatData again(data, target);
            QVERIFY2(again.generate(), qPrintable(context + ": " + again.message));
            continue;
        }
        QVERIFY2(!generated, qPrintable(context));
        QVERIFY2(onto.message.startsWith(tooLong.arg(target)), qPrintable(context + ": " + onto.message));
        QVERIFY(onto.message.endsWith(QLatin1String("Nothing was changed.")));
        QCOMPARE(onto.message.contains(QStringLiteral("under a name %1 bytes longer").arg(longer)),
                 length <= 504);
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(beside(target).isEmpty());

        // A TIN that came there by a rename is kept as it is.
        const QString shortTin = m_folder->filePath(QStringLiteral("short.qvr"));
        QVERIFY(writeTin(shortTin));
        const QByteArray before = readAll(shortTin);
        QVERIFY(QFile::rename(shortTin, target));
        DatData replacing(data, target);
        QVERIFY(!replacing.generate());
        QVERIFY2(replacing.message.startsWith(tooLong.arg(target)), qPrintable(replacing.message));
        QCOMPARE(readAll(target), before);
        QVERIFY(beside(target).isEmpty());
        QVERIFY(QFile::remove(target));
    }
}

void TinGeneratorTest::unfinishedWriteKeepsTin_data()
{
    // The file SQLite keeps beside a database, and what it would do with it to a new TIN in its place.
    QTest::addColumn<QString>("suffix");
    // Beside the TIN, and beside the place where it was; %1 stands for the target.
    QTest::addColumn<QString>("besideTin");
    QTest::addColumn<QString>("besideNothing");
    // Another program was killed while it wrote the TIN: its journal must roll that write back before
    // anything reads the TIN, and would roll it back into a new TIN put in its place.
    QTest::newRow("journal") << "-journal"
                             << "%1 is not replaced: beside it lies %1-journal, the journal of a write to it "
                                "that did not end. Open it once with the program that wrote it, which rolls "
                                "that write back, or remove the journal to replace it all the same."
                             << "%1 is not written: beside it lies %1-journal, the journal of a write that "
                                "did not end to an earlier database of that name, which would be rolled back "
                                "into the new TIN. Remove the journal to write the TIN there.";
    // A program that had the TIN open in write-ahead-log mode was killed, or still has it open: SQLite
    // plays the log over whatever database it finds beside it, and the first writer cuts the file to the
    // log's pages.
    QTest::newRow("write-ahead log")
        << "-wal"
        << "%1 is not replaced: beside it lies %1-wal, the write-ahead log of a program that has it open or "
           "ended without closing it, which would be played over the new TIN. Close that program, or open "
           "the "
           "TIN once with it and close it again, which writes the log into the TIN, or remove the log to "
           "replace the TIN all the same. Nothing was changed."
        << "%1 is not written: beside it lies %1-wal, the write-ahead log of an earlier database of that "
           "name, "
           "which would be played over the new TIN. Remove the log to write the TIN there.";
}

void TinGeneratorTest::unfinishedWriteKeepsTin()
{
    QFETCH(QString, suffix);
    QFETCH(QString, besideTin);
    QFETCH(QString, besideNothing);
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    const QString left = target + suffix;
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QVERIFY(writeTin(target));
    QVERIFY(suffix == QLatin1String("-wal") ? leaveWriteAheadLog(target) : leaveHotJournal(target));
    const QByteArray tin = readAll(target);
    const QByteArray pending = readAll(left);
    DatData job(data, target);
    QVERIFY(!job.generate());
    QCOMPARE(job.message, besideTin.arg(target));
    QCOMPARE(readAll(target), tin);
    QCOMPARE(readAll(left), pending);
    QVERIFY(beside(target).isEmpty());

    // The TIN gone, what it left stays: a new TIN there would take the old one's pages.
    QVERIFY(QFile::remove(target));
    DatData onto(data, target);
    QVERIFY(!onto.generate());
    QCOMPARE(onto.message, besideNothing.arg(target));
    QVERIFY(!QFile::exists(target));
    QCOMPARE(readAll(left), pending);
    QVERIFY(beside(target).isEmpty());

    // Without it the run goes through, and the new TIN reads whole.
    QVERIFY(QFile::remove(left));
    DatData cleared(data, target);
    QVERIFY2(cleared.generate(), qPrintable(cleared.message));
    QCOMPARE(readTin(target).triangles.size(), size_t(1));
}

void TinGeneratorTest::journalAndLogBehindLinks()
{
    // SQLite keeps the journal and the log beside the file the links lead to, over every hop, and that
    // is the file the run writes.
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("real")));
    const QString real = m_folder->filePath(QStringLiteral("real/old.qvr"));
    const QString one = m_folder->filePath(QStringLiteral("one.qvr"));
    const QString two = m_folder->filePath(QStringLiteral("two.qvr"));
    QCOMPARE(::symlink("real/old.qvr", QFile::encodeName(one).constData()), 0);
    QCOMPARE(::symlink("one.qvr", QFile::encodeName(two).constData()), 0);

    QVERIFY(writeTin(real));
    QVERIFY(leaveHotJournal(real));
    const QByteArray journal = readAll(real + "-journal");
    QVERIFY(QFile::remove(real));
    DatData throughJournal(data, two);
    QVERIFY(!throughJournal.generate());
    QCOMPARE(
        throughJournal.message,
        QStringLiteral("%1 is not written: beside it lies %2-journal, the journal of a write that did not "
                       "end to an earlier database of that name, which would be rolled back into the new "
                       "TIN. Remove the journal to write the TIN there.")
            .arg(two, real));
    QCOMPARE(readAll(real + "-journal"), journal);
    QVERIFY(QFile::remove(real + "-journal"));

    QVERIFY(writeTin(real));
    QVERIFY(leaveWriteAheadLog(real));
    // Beside the TIN, and beside the place where it was.
    for (const char* stage : { "there", "gone" }) {
        DatData throughLog(data, two);
        QVERIFY2(!throughLog.generate(), stage);
        QVERIFY2(throughLog.message.contains(real + QStringLiteral("-wal, the write-ahead log")),
                 qPrintable(throughLog.message));
        QVERIFY(QFile::remove(real) || QLatin1String(stage) == QLatin1String("gone"));
    }
    QVERIFY(QFile::remove(real + "-wal"));
    DatData cleared(data, two);
    QVERIFY2(cleared.generate(), qPrintable(cleared.message));
    QCOMPARE(readTin(real).triangles.size(), size_t(1));
    QVERIFY(QFileInfo(two).isSymLink());
    QVERIFY(QFileInfo(one).isSymLink());
}

void TinGeneratorTest::readerOfTheNewTinIsWaitedFor()
{
    // Another program (an indexer, a second look at the folder) reads every database it finds beside the
    // target, the new TIN's file too, while runs write it: the writer waits for its lock a while.
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    const pid_t reader = ::fork();
    if (reader == 0) {
        for (;;) {
            for (const QString& name : beside(target)) {
                if (name.contains(QLatin1Char('-')))
                    continue;
                sqlite3* db = nullptr;
                if (sqlite3_open_v2(QFile::encodeName(m_folder->filePath(name)).constData(), &db,
                                    SQLITE_OPEN_READONLY, nullptr)
                    == SQLITE_OK)
                    sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
                sqlite3_close(db);
            }
        }
    }
    QVERIFY(reader > 0);
    auto stop = qScopeGuard([reader] {
        ::kill(reader, SIGKILL);
        ::waitpid(reader, nullptr, 0);
    });
    for (int run = 0; run < 40; ++run) {
        DatData job(data, target);
        QVERIFY2(job.generate(), qPrintable(QStringLiteral("run %1: %2").arg(run).arg(job.message)));
    }
    QCOMPARE(readTin(target).triangles.size(), size_t(1));
}

void TinGeneratorTest::lookingAtTheTargetLeavesNothing()
{
    // Another program left a database in write-ahead-log mode (its log written back and gone): reading
    // it as SQLite would opens the log and its index beside it, files of whoever looks that a reader
    // cannot remove. A look, and a refusal, create nothing.
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    const QString tin = m_folder->filePath(QStringLiteral("site.qvr"));
    const QString other = m_folder->filePath(QStringLiteral("other.qvr"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QVERIFY(writeTin(tin));
    for (const QString& file : { tin, other }) {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "PRAGMA journal_mode = WAL; CREATE TABLE IF NOT EXISTS notes (x);", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
    }
    const QStringList files = QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QCOMPARE(files, QStringList({ "other.qvr", "site.dat", "site.qvr" }));
    QVERIFY(DatData::isTinDatabase(tin));
    QVERIFY(!DatData::isTinDatabase(other));
    DatData refused(data, other);
    QVERIFY(!refused.generate());
    QCOMPARE(refused.message, QStringLiteral("%1 is not a TIN database and is not replaced.").arg(other));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden | QDir::System), files);
    // An empty file at the log's name, which SQLite takes for none, beside a TIN of the other mode: the
    // look still finds the journal of a write that did not end.
    const QString journaled = m_folder->filePath(QStringLiteral("journaled.qvr"));
    QVERIFY(writeTin(journaled));
    QVERIFY(writeText(journaled + "-wal", QByteArray()));
    QVERIFY(DatData::isTinDatabase(journaled));
    QVERIFY(leaveHotJournal(journaled));
    bool hotJournal = false;
    QVERIFY(!DatData::isTinDatabase(journaled, &hotJournal));
    QVERIFY(hotJournal);
    QVERIFY(!QFileInfo::exists(journaled + "-shm"));
    QVERIFY(QFile::remove(journaled + "-journal"));
    QVERIFY(QFile::remove(journaled + "-wal"));

    // The TIN is replaced all the same, and the new one reads whole.
    DatData replacing(data, tin);
    QVERIFY2(replacing.generate(), qPrintable(replacing.message));
    QCOMPARE(readTin(tin).triangles.size(), size_t(1));
}

void TinGeneratorTest::tinInUseIsNamedSo()
{
    // A program that holds the TIN's write lock past the wait: the run names that, not a damaged file.
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QVERIFY(writeTin(target));
    const QByteArray before = readAll(target);
    sqlite3* writer = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(target).constData(), &writer), SQLITE_OK);
    auto close = qScopeGuard([writer] { sqlite3_close(writer); });
    QCOMPARE(sqlite3_exec(writer, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    bool notATin = true;
    const QString inUse
        = QStringLiteral("%1 is not replaced: another program is writing it. Run again once that program is "
                         "done with it. Nothing was changed.")
              .arg(target);
    QCOMPARE(DatData::refusalAt(target, &notATin), inUse);
    QVERIFY(!notATin);
    QCOMPARE(sqlite3_exec(writer, "ROLLBACK;", nullptr, nullptr, nullptr), SQLITE_OK);
    QCOMPARE(readAll(target), before);
    QVERIFY(beside(target).isEmpty());
    QCOMPARE(DatData::refusalAt(target), QString());
}

namespace {

// Writes of SQLite into files under the folder fail as on a full disk.
std::string fullFolder;

template<typename Write, typename... Rest> ssize_t failInFolder(Write next, int fd, Rest... rest)
{
    const std::string path = FileWatch::pathOf(fd);
    if (!fullFolder.empty() && path.compare(0, fullFolder.size() + 1, fullFolder + "/") == 0) {
        errno = ENOSPC;
        return -1;
    }
    return next(fd, rest...);
}

sqlite3_syscall_ptr realPwrite = nullptr;
sqlite3_syscall_ptr realPwrite64 = nullptr;
sqlite3_syscall_ptr realWrite = nullptr;

ssize_t fullPwrite(int fd, const void* data, size_t size, off_t at)
{
    return failInFolder(reinterpret_cast<ssize_t (*)(int, const void*, size_t, off_t)>(realPwrite), fd, data,
                        size, at);
}

ssize_t fullPwrite64(int fd, const void* data, size_t size, off64_t at)
{
    return failInFolder(reinterpret_cast<ssize_t (*)(int, const void*, size_t, off64_t)>(realPwrite64), fd,
                        data, size, at);
}

ssize_t fullWrite(int fd, const void* data, size_t size)
{
    return failInFolder(reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(realWrite), fd, data, size);
}

} // namespace

void TinGeneratorTest::fullDiskIsNamed()
{
    // SQLite writes through its own table of system calls: a full disk, for its writes alone.
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    QVERIFY(vfs && vfs->xSetSystemCall);
    realPwrite = vfs->xGetSystemCall(vfs, "pwrite");
    realPwrite64 = vfs->xGetSystemCall(vfs, "pwrite64");
    realWrite = vfs->xGetSystemCall(vfs, "write");
    auto restore = qScopeGuard([vfs] {
        fullFolder.clear();
        vfs->xSetSystemCall(vfs, nullptr, nullptr);
    });
    if (realPwrite)
        vfs->xSetSystemCall(vfs, "pwrite", reinterpret_cast<sqlite3_syscall_ptr>(&fullPwrite));
    if (realPwrite64)
        vfs->xSetSystemCall(vfs, "pwrite64", reinterpret_cast<sqlite3_syscall_ptr>(&fullPwrite64));
    if (realWrite)
        vfs->xSetSystemCall(vfs, "write", reinterpret_cast<sqlite3_syscall_ptr>(&fullWrite));

    const QString folder = m_folder->filePath(QStringLiteral("full"));
    QVERIFY(QDir().mkpath(folder));
    const QString points = m_folder->filePath(QStringLiteral("site.dat"));
    const QString drawing = m_folder->filePath(QStringLiteral("site.dxf"));
    QVERIFY(writeText(points, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QVERIFY(writeFaces(drawing, 3));
    const QString target = QDir(folder).filePath(QStringLiteral("site.qvr"));
    QVERIFY(writeTin(target));
    const QByteArray before = readAll(target);
    fullFolder = QFile::encodeName(QFileInfo(folder).canonicalFilePath()).toStdString();
    const QString full
        = QStringLiteral("The TIN database %1 could not be written: no space left on the device.");
    for (const QString& data : { points, drawing }) {
        for (const QString& tin : { target, QDir(folder).filePath(QStringLiteral("new.qvr")) }) {
            TinGenerator generator(data, tin);
            QVERIFY(generate(generator));
            QVERIFY(!generator.isSucceeded());
            QCOMPARE(generator.message(), full.arg(tin));
        }
    }
    fullFolder.clear();
    QCOMPARE(readAll(target), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList { "site.qvr" });
}

void TinGeneratorTest::somethingElseAtTheLogsName()
{
    // SQLite takes whatever lies at a database's log name for its log, and then cannot open the new
    // TIN: the run is refused, naming it, beside an absent target and beside a TIN.
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("site.qvr-wal")));
    DatData onto(data, target);
    QVERIFY(!onto.generate());
    QCOMPARE(
        onto.message,
        QStringLiteral("%1 is not written: at %1-wal, where SQLite keeps a database's write-ahead log, lies "
                       "a folder. SQLite would take it for the new TIN's write-ahead log and could not "
                       "open the TIN. Remove or rename it to write the TIN there. Nothing was changed.")
            .arg(target));
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(beside(target).isEmpty());

    QVERIFY(QDir(m_folder->path()).rmdir(QStringLiteral("site.qvr-wal")));
    QVERIFY(writeTin(target));
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("site.qvr-wal")));
    const QByteArray before = readAll(target);
    DatData replacing(data, target);
    QVERIFY(!replacing.generate());
    QCOMPARE(replacing.message,
             QStringLiteral("%1 is not replaced: at %1-wal, where SQLite keeps a database's write-ahead log, "
                            "lies a folder. SQLite would take it for the new TIN's write-ahead log and could "
                            "not open the TIN. Remove or rename it to replace the TIN. Nothing was changed.")
                 .arg(target));
    QCOMPARE(readAll(target), before);
    QVERIFY(QFileInfo(target + "-wal").isDir());

    // A FIFO at the journal's name, reached through a link.
    QVERIFY(QDir(m_folder->path()).rmdir(QStringLiteral("site.qvr-wal")));
    QCOMPARE(::mkfifo(QFile::encodeName(m_folder->filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
    QCOMPARE(::symlink("fifo", QFile::encodeName(target + "-journal").constData()), 0);
    DatData journal(data, target);
    QVERIFY(!journal.generate());
    QVERIFY2(journal.message.startsWith(
                 QStringLiteral("%1 is not replaced: at %1-journal, where SQLite keeps a database's journal, "
                                "lies a FIFO.")
                     .arg(target)),
             qPrintable(journal.message));
    QCOMPARE(readAll(target), before);
    QVERIFY(QFile::remove(target + "-journal"));
    DatData cleared(data, target);
    QVERIFY2(cleared.generate(), qPrintable(cleared.message));
    QCOMPARE(readTin(target).triangles.size(), size_t(1));
}

void TinGeneratorTest::linkedTargetNamesWhereItLeads()
{
    // A target reached through a link is named with the file it leads to, and the folder a warning
    // names is the one written, not the link's.
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    QVERIFY(writeText(data, "P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n"));
    const QString folder = m_folder->filePath(QStringLiteral("real"));
    QVERIFY(QDir().mkpath(folder));
    const QString road = QDir(folder).filePath(QStringLiteral("road.rod"));
    QVERIFY(writeText(road, "<Road/>"));
    const QString link = m_folder->filePath(QStringLiteral("site.qvr"));
    QCOMPARE(::symlink("real/road.rod", QFile::encodeName(link).constData()), 0);
    DatData refused(data, link);
    QVERIFY(!refused.generate());
    QCOMPARE(refused.message,
             QStringLiteral("%1 (a link to %2) is not a TIN database and is not replaced.").arg(link, road));
    QCOMPARE(readAll(road), QByteArray("<Road/>"));

    if (::geteuid() != 0)
        QSKIP("only root can switch to an ordinary user");
    const QString tin = QDir(folder).filePath(QStringLiteral("site.qvr"));
    QVERIFY(writeTin(tin));
    QVERIFY(QFile::remove(link));
    QCOMPARE(::symlink("real/site.qvr", QFile::encodeName(link).constData()), 0);
    QCOMPARE(::chmod(QFile::encodeName(m_folder->path()).constData(), 0711), 0);
    QCOMPARE(::chown(QFile::encodeName(folder).constData(), 1500, 1500), 0);
    QCOMPARE(::chown(QFile::encodeName(tin).constData(), 1500, 1500), 0);
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0300), 0);
    const std::optional<std::string> written = AsUser::run(1500, 1500, { 1500 }, [&] {
        DatData job(data, link);
        return job.generate() ? job.message.toStdString() : "failed: " + job.message.toStdString();
    });
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    if (!written)
        QSKIP("cannot run as another user");
    QCOMPARE(
        QString::fromStdString(*written),
        QStringLiteral("%1 was written, but its folder %2 could not be synced, as it may be written but "
                       "not read: a crash soon after may lose the new file. Saves into this folder go on "
                       "without syncing it.")
            .arg(link, folder));
    QCOMPARE(readTin(tin).triangles.size(), size_t(1));
}

void TinGeneratorTest::barNeverFullWhileWorkRemains()
{
    // Faces that cross: the border is worked out the long way, while the bar once stood at 100 from the
    // last line read on.
    const QString drawing = m_folder->filePath(QStringLiteral("crossing.dxf"));
    const QString points = m_folder->filePath(QStringLiteral("points.dat"));
    QVERIFY(writeCrossingFaces(drawing, 60));
    QVERIFY(writeRandomPoints(points, 20000));
    Watched<DxfData> fromDrawing(drawing, m_folder->filePath(QStringLiteral("crossing.qvr")));
    Watched<DatData> fromPoints(points, m_folder->filePath(QStringLiteral("points.qvr")));
    const std::pair<Zemko::Trelvin::TinGeneratorPrivate*, const std::vector<int>*> jobs[]
        = { { &fromDrawing, &fromDrawing.shown }, { &fromPoints, &fromPoints.shown } };
    for (const auto& [job, shown] : jobs) {
        QCOMPARE(job->progress(), 0);
        QVERIFY2(job->generate(), qPrintable(job->message));
        QVERIFY(shown->size() > 2);
        QVERIFY2(std::is_sorted(shown->begin(), shown->end()), qPrintable(job->inputPath));
        QVERIFY2(shown->back() < 100, qPrintable(QString::number(shown->back())));
        QCOMPARE(job->progress(), 100);
    }
    // The drawing's bar moved past its lines read while the rest was written.
    QVERIFY(fromDrawing.shown.back() > borderBegins);
    // The border of faces that cross goes round crossings, not along their edges only, which the check
    // at the end of the test takes for a fault.
    QVERIFY(QFile::remove(m_folder->filePath(QStringLiteral("crossing.qvr"))));
}

void TinGeneratorTest::borderMessages()
{
    DxfConversion result;
    result.outcome = DxfConversion::Converted;
    result.faces = 3000;
    result.parts = 40;
    result.borderShare = 1;
    result.overlapping = true;
    QCOMPARE(
        DxfData::borderMessage(result),
        QStringLiteral("Faces of the drawing overlap: each part is the ground its faces cover together. "
                       "The drawing has 40 separate parts; the border goes round the largest and encloses "
                       "100 % of the area of the faces."));
    // The hull: parts counted through shared corners say nothing of faces that cross.
    result.borderHull = true;
    QCOMPARE(DxfData::borderMessage(result),
             QStringLiteral("The border is the convex hull of the corners of every face, which encloses them "
                            "all: the ground they cover would have cost far more to work out exactly."));
    result = DxfConversion();
    result.outcome = DxfConversion::Converted;
    result.faces = 2;
    result.parts = 1;
    result.borderShare = 1;
    QVERIFY(DxfData::borderMessage(result).isEmpty());
}

void TinGeneratorTest::memoryRunOutKeepsOldTin()
{
#if !defined(STARVES_ALLOCATIONS)
    QSKIP("The sanitizer's allocator is not replaced here.");
#else
    const QString data = m_folder->filePath(QStringLiteral("large.dxf"));
    const QString target = m_folder->filePath(QStringLiteral("large.qvr"));
    QVERIFY(writeFaces(data, 20000));
    QVERIFY(writeTin(target));
    const QByteArray before = readAll(target);
    {
        // Memory runs out for every large block once the border begins.
        Watched<DxfData> job(data, target);
        job.cancelAt = [](int shown) {
            if (shown >= borderBegins)
                starved = true;
            return false;
        };
        auto fed = qScopeGuard([] { starved = false; });
        QVERIFY(!job.generate());
        starved = false;
        QCOMPARE(
            job.message,
            QStringLiteral("Memory ran out while the TIN of %1 was worked out: nothing was written to %2, "
                           "and a TIN already there is kept as it was.")
                .arg(data, target));
        QVERIFY(job.progress() < 100);
    }
    // The new TIN's file and its journal went with the job.
    QVERIFY(beside(target).isEmpty());
    QCOMPARE(readAll(target), before);

    // A list's border is worked out on a thread of its own while the rows are written: memory running out
    // there fails the write, which keeps nothing.
    std::vector<Pelko::Corvex::Triangle3D> grid;
    for (int i = 0; i < 20000; ++i) {
        using Pelko::Corvex::Point3D;
        const double x = i % 100, y = i / 100;
        grid.emplace_back(Point3D(x, y, 1), Point3D(x + 1, y, 2), Point3D(x, y + 1, 3));
    }
    const std::string file = QFile::encodeName(target).toStdString();
    starvedBeside = true;
    const bool written = Pelko::IO::TrianglesWriter::write(grid, file, nullptr);
    starvedBeside = false;
    QVERIFY(!written);
    QCOMPARE(readAll(target), before);
    QVERIFY(Pelko::IO::TrianglesWriter::write(grid, file, nullptr));
    QCOMPARE(readTin(target).triangles.size(), grid.size());

    // Points read and triangulated on the generator's thread: memory running out there ends the run with
    // the reason, not the program.
    const QString points = m_folder->filePath(QStringLiteral("large.dat"));
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += "P" + QByteArray::number(i) + ",," + QByteArray::number(i % 150) + ","
            + QByteArray::number(i / 150 + (i % 7) * 0.01) + ",1\n";
    QVERIFY(writeText(points, text));
    const QByteArray grown = readAll(target);
    {
        TinGenerator generator(points, target);
        starved = true;
        auto fed = qScopeGuard([] { starved = false; });
        QVERIFY(generate(generator));
        starved = false;
        QVERIFY(!generator.isSucceeded());
        QCOMPARE(
            generator.message(),
            QStringLiteral("Memory ran out while the TIN of %1 was worked out: nothing was written to %2, "
                           "and a TIN already there is kept as it was.")
                .arg(points, target));
    }
    QVERIFY(beside(target).isEmpty());
    QCOMPARE(readAll(target), grown);

    // Memory running out as the triangulation's border is walked: the write stops there, where it once
    // stored the rows with no border and called the run a success.
    {
        Watched<DatData> job(points, target);
        // Rows and index weigh 60 of the writer's 100, the writer a fifth of the bar after the reading.
        job.cancelAt = [](int shown) {
            if (shown >= 80 + 60 / 5)
                starved = true;
            return false;
        };
        auto fed = qScopeGuard([] { starved = false; });
        bool ranOut = false;
        try {
            job.generate();
        } catch (const std::bad_alloc&) {
            ranOut = true;
        }
        starved = false;
        QVERIFY(ranOut);
        job.discardOutput();
    }
    QVERIFY(beside(target).isEmpty());
    QCOMPARE(readAll(target), grown);
#endif
}

void TinGeneratorTest::cancelWhileTheBorderIsWorkedOut()
{
    const QString data = m_folder->filePath(QStringLiteral("crossing.dxf"));
    const QString target = m_folder->filePath(QStringLiteral("crossing.qvr"));
    QVERIFY(writeCrossingFaces(data, 60));
    // The writer's calls while the border is worked out: from its share's start to the rest's, 98.
    int borderStart = -1;
    int borderEnd = -1;
    {
        Watched<DxfData> job(data, m_folder->filePath(QStringLiteral("whole.qvr")));
        job.cancelAt = [&](int shown) {
            if (borderStart < 0 && shown >= borderBegins)
                borderStart = job.calls;
            if (borderEnd < 0 && shown >= 98)
                borderEnd = job.calls;
            return false;
        };
        QVERIFY2(job.generate(), qPrintable(job.message));
    }
    QVERIFY(QFile::remove(m_folder->filePath(QStringLiteral("whole.qvr"))));
    QVERIFY(borderStart > 0 && borderEnd > borderStart);
    QVERIFY(writeTin(target));
    const QByteArray before = readAll(target);
    // At the border's start, amid it and at its last look.
    for (const int cancelAt : { borderStart, (borderStart + borderEnd) / 2, borderEnd - 1 }) {
        int callsAtEnd = -1;
        {
            Watched<DxfData> job(data, target);
            job.cancelAt = [&](int) { return job.calls >= cancelAt; };
            QVERIFY(!job.generate());
            callsAtEnd = job.calls;
            QVERIFY(job.message.isEmpty());
            QVERIFY(job.progress() < 100);
            // The new TIN's file still stands beside the target until the job goes.
        }
        // The border and the rest look at the flag a few times more on their way out, not once per face.
        QVERIFY2(
            callsAtEnd - cancelAt < 100,
            qPrintable(
                QStringLiteral("%1 calls after the cancel at %2").arg(callsAtEnd - cancelAt).arg(cancelAt)));
        QVERIFY(beside(target).isEmpty());
        QCOMPARE(readAll(target), before);
    }
}

TRELVIN_TEST_MAIN(TinGeneratorTest)
#include "tingenerator.moc"
