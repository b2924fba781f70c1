#include "pointfiles.h"
#include "tindatabase.h"

#include <tingenerator.h>
#include <tingeneratorprivate.h>

#include <qttestmain.h>
#include <straightroad.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using Zemko::Trelvin::DatData;
using Zemko::Trelvin::DxfData;
using Zemko::Trelvin::TinGenerator;

namespace {

using Vertex = std::array<double, 3>;
using Triangle = std::array<Vertex, 3>;

// Runs a generation to its end with the event loop turning, as in the dialog.
bool generate(TinGenerator& generator)
{
    QSignalSpy finished(&generator, &QThread::finished);
    generator.start();
    return finished.wait(120000);
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
    // North from the drawing's Y, east from its X; the fourth corner is not used.
    const TinContents tin = readTin(target);
    std::vector<Triangle> expected {
        { Vertex { 200, 100, 5 }, Vertex { 200, 110, 6 }, Vertex { 210, 100, 7 } },
        { Vertex { 200, 110, 6 }, Vertex { 210, 100, 7 }, Vertex { 210, 110, 8 } }
    };
    QCOMPARE(tin.triangles, expected);
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
    QElapsedTimer sinceCancel;
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
        QElapsedTimer run;
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

    // A cancel once every row is written, while the border is walked, ends the run at once.
    TinGenerator generator(data, target);
    generator.start();
    QVERIFY(waitForProgress(generator, *generator.job(), 99));
    QElapsedTimer sinceCancel;
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
    // Cancelled after it succeeded: the output goes all the same.
    QVERIFY(!QFile::exists(target));
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

TRELVIN_TEST_MAIN(TinGeneratorTest)
#include "tingenerator.moc"
