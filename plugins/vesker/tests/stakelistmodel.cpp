#include "roads.h"

#include <stakelistmodel.h>

#include <asuser.h>
#include <filewatch.h>
#include <qttestmain.h>

#include <text/stationtext.h>

#include <road/stationiterator.h>

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Zemko::Trelvin;
using Pelko::Road::Station;

namespace {

QString number(double value)
{
    return QString::number(value, 'f', 3);
}

// The station text library's azimuth, with the signs of a stake list.
QString azimuth(double degrees)
{
    QString text = angleText(degrees * 3600.0);
    text.replace(text.indexOf(QLatin1Char(':')), 1, QChar(0x00B0));
    text.replace(text.indexOf(QLatin1Char(':')), 1, QChar(0x2032));
    return text + QChar(0x2033);
}

QStringList rows(const StakeListModel& model)
{
    QStringList list;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.data(model.index(row, column)).toString();
        list << cells.join(QLatin1Char(','));
    }
    return list;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The rows the road library itself gives for the walk: its iterator's stops, each with the plan
// point, the design height and the station in the road's own equations.
QStringList expectedRows(const Pelko::Road::RoadSurface& road, double begin, double end, double interval,
                         double offset, int* steps)
{
    QStringList list;
    Pelko::Road::StationIterator it = road.getIterator(interval, begin, end);
    *steps = 0;
    auto add = [&] {
        const double s = it.getStation();
        bool ok = false;
        const Pelko::Corvex::Point plan = road.getNorthEast(s, offset, &ok);
        bool heightOk = false;
        const double height = road.getElevation(s, offset, 0.0, true, heightOk);
        const Station station = road.getStationsEquations().getStationFromContinuous(s);
        const Pelko::Road::HorizontalElement element
            = road.getHorizontalAligment()->getBelongedHorizontalElement(s);
        QVERIFY(ok);
        list << QStringList { stationToText(station.getStation(), station.isAfter()),
                              number(plan.getX()),
                              number(plan.getY()),
                              heightOk ? number(height) : QString(),
                              number(offset),
                              azimuth(element.getAzimuth(s - element.getBeginStation()).toDegree()) }
                    .join(QLatin1Char(','));
    };
    while (it.hasNext()) {
        add();
        it.next();
        ++*steps;
    }
    add();
    return list;
}

} // namespace

class StakeListModelTest : public QObject
{
    Q_OBJECT

private slots:
    // A test that failed half-way must not leave the folder failing for the next.
    void cleanup() { FileWatch::stop(); }
    void straightRoadRows();
    void stakesAreTheRoadLibrarysAnswers_data();
    void stakesAreTheRoadLibrarysAnswers();
    void stationsInTheEquationForm();
    void refusalsKeepThePreviousRows();
    void missingHeightsStayEmpty();
    void invalidStakesAreLeftOut();
    void lastRowOfTheExampleRoadHasItsHeight();
    void tableInterface();
    void exportWritesExactRows();
    void exportRefusesUnknownFormats();
    void failedExportKeepsTheOldFile();
    void exportKeepsOwnerAndSpecialFiles();
    void exportSaysWhyItFailed();
    void exportSyncsTheFolder();
};

void StakeListModelTest::straightRoadRows()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("straight.rod"), {});
    QVERIFY(road);
    StakeListModel model(road.get());
    QCOMPARE(model.generate(Station(0.0), Station(100.0), 25.0, 2.5), QString());
    // Heading north: 2.5 m to the right is east; the lane falls 2 % from the 1 % grade.
    const QStringList expected {
        QStringLiteral("K0+000.000,1000.000,2002.500,49.950,2.500,0°00′00.00000″"),
        QStringLiteral("K0+025.000,1025.000,2002.500,50.200,2.500,0°00′00.00000″"),
        QStringLiteral("K0+050.000,1050.000,2002.500,50.450,2.500,0°00′00.00000″"),
        QStringLiteral("K0+075.000,1075.000,2002.500,50.700,2.500,0°00′00.00000″"),
        QStringLiteral("K0+100.000,1100.000,2002.500,50.950,2.500,0°00′00.00000″"),
    };
    QCOMPARE(rows(model), expected);

    // A grid that does not divide the range: the requested end is the last stake, once.
    QCOMPARE(model.generate(Station(10.0), Station(95.0), 20.0, 0.0), QString());
    QStringList stations;
    for (int row = 0; row < model.rowCount(); ++row)
        stations << model.cellText(row, StakeListModel::StationColumn);
    QCOMPARE(stations.join(QLatin1Char(' ')),
             QStringLiteral("K0+010.000 K0+030.000 K0+050.000 K0+070.000 K0+090.000 K0+095.000"));

    // A single station is one stake.
    QCOMPARE(model.generate(Station(40.0), Station(40.0), 20.0, 0.0), QString());
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.cellText(0, StakeListModel::NorthColumn), QStringLiteral("1040.000"));
}

void StakeListModelTest::stakesAreTheRoadLibrarysAnswers_data()
{
    QTest::addColumn<bool>("curve");
    QTest::addColumn<bool>("equation");
    QTest::addColumn<double>("begin");
    QTest::addColumn<double>("end");
    QTest::addColumn<double>("interval");
    QTest::addColumn<double>("offset");
    QTest::newRow("straight") << false << false << 0.0 << 100.0 << 7.5 << 0.0;
    QTest::newRow("spiral-arc-spiral") << true << false << 0.0 << 450.0 << 20.0 << 0.0;
    QTest::newRow("curve, left offset") << true << false << 35.0 << 420.0 << 10.0 << -3.25;
    QTest::newRow("curve, equation, right offset") << true << true << 0.0 << 440.0 << 20.0 << 4.0;
    QTest::newRow("fine interval") << true << true << 120.0 << 330.0 << 0.1 << 1.0;
}

void StakeListModelTest::stakesAreTheRoadLibrarysAnswers()
{
    QFETCH(bool, curve);
    QFETCH(bool, equation);
    QFETCH(double, begin);
    QFETCH(double, end);
    QFETCH(double, interval);
    QFETCH(double, offset);
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("road.rod"), { curve, equation, true });
    QVERIFY(road);
    const auto equations = road->getStationsEquations();

    StakeListModel model(road.get());
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    // The stations as typed: equation-broken, turned into continuous ones by the model.
    const Station first = equations.getStationFromContinuous(begin);
    const Station last = equations.getStationFromContinuous(end);
    QCOMPARE(model.generate(first, last, interval, offset), QString());
    QCOMPARE(resets.count(), 1);

    int steps = 0;
    const QStringList expected = expectedRows(*road, begin, end, interval, offset, &steps);
    // One stake more than the iterator's steps: the stake at its last station.
    QCOMPARE(model.rowCount(), steps + 1);
    const QStringList actual = rows(model);
    for (int row = 0; row < expected.size(); ++row)
        QCOMPARE(actual.value(row), expected.at(row));
}

void StakeListModelTest::stationsInTheEquationForm()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("equation.rod"), { true, true, true });
    QVERIFY(road);
    StakeListModel model(road.get());
    // 140 on the old chainage to 180 on the new one: continuous 140 .. 190.
    QCOMPARE(model.generate(Station(140.0), Station(180.0), 10.0, 0.0), QString());
    QStringList stations;
    for (int row = 0; row < model.rowCount(); ++row)
        stations << model.cellText(row, StakeListModel::StationColumn);
    // Continuous 150 is the arc's begin; 160 is the equation, where 150..160 repeat on the new side.
    QCOMPARE(stations.join(QLatin1Char(' ')),
             QStringLiteral("K0+140.000 K0+150.000 K0+150.000A K0+160.000A K0+170.000 K0+180.000"));

    // The second 155 is typed with "A"; without it, it is the first.
    QCOMPARE(model.generate(Station(155.0, true), Station(155.0, true), 10.0, 0.0), QString());
    QCOMPARE(model.cellText(0, StakeListModel::StationColumn), QStringLiteral("K0+155.000A"));
    const QString after = model.cellText(0, StakeListModel::NorthColumn);
    QCOMPARE(model.generate(Station(155.0), Station(155.0), 10.0, 0.0), QString());
    QCOMPARE(model.cellText(0, StakeListModel::StationColumn), QStringLiteral("K0+155.000"));
    QVERIFY(model.cellText(0, StakeListModel::NorthColumn) != after);
}

void StakeListModelTest::refusalsKeepThePreviousRows()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("curve.rod"), { true, false, true });
    QVERIFY(road);
    StakeListModel model(road.get());
    QCOMPARE(model.generate(Station(0.0), Station(450.0), 50.0, 0.0), QString());
    const QStringList before = rows(model);
    QVERIFY(before.size() > 5);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    const double nan = TestRoads::nan;
    const QString noBegin = QStringLiteral("Begin Station does not exist");
    const QString noEnd = QStringLiteral("End Station does not exist");
    const QString tooSmall = QStringLiteral("Interval is too small");
    // The checks run in order: begin, end, interval.
    QCOMPARE(model.generate(Station(nan), Station(nan), -20.0, 0.0), noBegin);
    QCOMPARE(model.generate(Station(TestRoads::inf), Station(100.0), 20.0, 0.0), noBegin);
    QCOMPARE(model.generate(Station(0.0), Station(nan), -20.0, 0.0), noEnd);
    QCOMPARE(model.generate(Station(0.0), Station(-TestRoads::inf), 20.0, 0.0), noEnd);
    // Off the alignment, a station would be clamped onto its end or give no stakes at all.
    QCOMPARE(model.generate(Station(500.0), Station(600.0), 20.0, 0.0), noBegin);
    QCOMPARE(model.generate(Station(-200.0), Station(-100.0), 20.0, 0.0), noBegin);
    QCOMPARE(model.generate(Station(0.0), Station(1000.0), 20.0, 0.0), noEnd);
    // Any interval that is not at least 0.1 (a negative one used to step backwards for ever).
    for (double interval : { 0.05, 0.0, -0.05, -20.0, nan, -TestRoads::inf, TestRoads::inf })
        QCOMPARE(model.generate(Station(0.0), Station(450.0), interval, 0.0), tooSmall);
    QCOMPARE(model.generate(Station(300.0), Station(200.0), 20.0, 0.0),
             QStringLiteral("End Station is before Begin Station"));
    QCOMPARE(model.generate(Station(0.0), Station(450.0), 20.0, nan),
             QStringLiteral("Offset is not a number"));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(rows(model), before);

    // A station in the gap of a short equation does not exist either.
    Pelko::Road::StationsEquationConfiguration gap;
    QVERIFY(gap.appendEquation(Pelko::Road::StationsEquation(100.0, 120.0)));
    road->setStationsEquations(gap);
    StakeListModel gapped(road.get());
    QCOMPARE(gapped.generate(Station(110.0), Station(300.0), 20.0, 0.0), noBegin);
    QCOMPARE(gapped.generate(Station(0.0), Station(119.0), 20.0, 0.0), noEnd);
    QCOMPARE(gapped.generate(Station(0.0), Station(120.0), 20.0, 0.0), QString());
    QCOMPARE(gapped.cellText(gapped.rowCount() - 1, StakeListModel::StationColumn),
             QStringLiteral("K0+120.000"));

    // A stretch partly off the alignment is refused, not cut to it: the list would pass for the one
    // asked for. The road's own ends are on it.
    QCOMPARE(model.generate(Station(-30.0), Station(1000.0), 100.0, 0.0), noBegin);
    QCOMPARE(model.generate(Station(0.0), Station(450.0), 100.0, 0.0), QString());
    QCOMPARE(model.cellText(0, StakeListModel::StationColumn), QStringLiteral("K0+000.000"));
    QCOMPARE(model.cellText(model.rowCount() - 1, StakeListModel::StationColumn),
             QStringLiteral("K0+450.000"));
}

void StakeListModelTest::missingHeightsStayEmpty()
{
    QTemporaryDir folder;
    // Beyond the 3.5 m lane there is no slope to give a height.
    auto road = TestRoads::saved(folder, QStringLiteral("straight.rod"), {});
    QVERIFY(road);
    StakeListModel model(road.get());
    QCOMPARE(model.generate(Station(0.0), Station(50.0), 50.0, 3.5), QString());
    QCOMPARE(model.cellText(0, StakeListModel::HeightColumn), QStringLiteral("49.930"));
    QCOMPARE(model.generate(Station(0.0), Station(50.0), 50.0, 4.0), QString());
    QCOMPARE(rows(model),
             QStringList({ QStringLiteral("K0+000.000,1000.000,2004.000,,4.000,0°00′00.00000″"),
                           QStringLiteral("K0+050.000,1050.000,2004.000,,4.000,0°00′00.00000″") }));
    const QString dat = folder.filePath(QStringLiteral("beyond.dat"));
    QCOMPARE(model.exportFile(dat), QString());
    QCOMPARE(contents(dat),
             QByteArray("K0+000.000,K0+000.000,2004.000,1000.000,\n"
                        "K0+050.000,K0+050.000,2004.000,1050.000,\n"));

    // Without a profile no stake has a height.
    auto flat = TestRoads::saved(folder, QStringLiteral("noprofile.rod"), { false, false, false });
    QVERIFY(flat);
    StakeListModel noProfile(flat.get());
    QCOMPARE(noProfile.generate(Station(0.0), Station(100.0), 25.0, 0.0), QString());
    QCOMPARE(noProfile.rowCount(), 5);
    for (int row = 0; row < noProfile.rowCount(); ++row)
        QCOMPARE(noProfile.cellText(row, StakeListModel::HeightColumn), QString());
}

// The example road's last station ends its last slope segments on both sides: the stake list's last
// row has the side slope's height there, the road's own.
void StakeListModelTest::lastRowOfTheExampleRoadHasItsHeight()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ridge-road.rod"));
    QVERIFY(QFile::copy(QStringLiteral(TRELVIN_EXAMPLES_DIR "/ridge-road.rod"), path));
    Pelko::Road::RoadSurface road(path.toStdString());
    QVERIFY(road.load());
    double begin = 0.0;
    double end = 0.0;
    QVERIFY(road.getStationRange(begin, end));
    const Pelko::Road::StationsEquationConfiguration equations = road.getStationsEquations();
    StakeListModel model(&road);
    for (const double offset : { -12.0, 12.0 }) {
        QCOMPARE(model.generate(equations.getStationFromContinuous(begin),
                                equations.getStationFromContinuous(end), 20.0, offset),
                 QString());
        const int last = model.rowCount() - 1;
        QCOMPARE(model.cellText(last, StakeListModel::StationColumn), QStringLiteral("K5+204.474"));
        double height = 0.0;
        QVERIFY(road.getElevation(end, offset, height));
        QCOMPARE(model.cellText(last, StakeListModel::HeightColumn), number(height));
    }
}

void StakeListModelTest::invalidStakesAreLeftOut()
{
    // A road without elements has no station at all.
    Pelko::Road::RoadSurface empty;
    StakeListModel none(&empty);
    QCOMPARE(none.generate(Station(0.0), Station(0.0), 20.0, 0.0),
             QStringLiteral("Begin Station does not exist"));
    StakeListModel nothing(nullptr);
    QCOMPARE(nothing.generate(Station(0.0), Station(0.0), 20.0, 0.0),
             QStringLiteral("Begin Station does not exist"));
    QCOMPARE(nothing.rowCount(), 0);

    // An alignment of one zero-length line has stations but no element to put a point on: the
    // library's stake there is invalid and would have been written as 0,0,0.
    Pelko::Road::RoadSurface road;
    Pelko::Road::HorizontalElementConfiguration elements;
    elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(0.0), 0.0,
                                                               Pelko::Corvex::Point(10, 20), 0.0));
    road.getHorizontalAligment()->setElements(elements);
    QVERIFY(!road.getIterator(1.0, 0.0, 0.0).getStake(0.0).isValid());
    StakeListModel model(&road);
    QCOMPARE(model.generate(Station(0.0), Station(0.0), 1.0, 0.0), QString());
    QCOMPARE(model.rowCount(), 0);
}

void StakeListModelTest::tableInterface()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("straight.rod"), {});
    QVERIFY(road);
    StakeListModel model(road.get());
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 6);
    QCOMPARE(model.generate(Station(0.0), Station(100.0), 50.0, 0.0), QString());
    QCOMPARE(model.rowCount(), 3);

    const QModelIndex cell = model.index(1, 1);
    QCOMPARE(model.rowCount(cell), 0);
    QCOMPARE(model.columnCount(cell), 0);
    QCOMPARE(model.data(cell).toString(), QStringLiteral("1050.000"));
    QCOMPARE(model.data(cell, Qt::SizeHintRole).toSize(), QSize(64, 32));
    QVERIFY(!model.data(cell, Qt::EditRole).isValid());
    QVERIFY(!model.data(QModelIndex()).isValid());
    QCOMPARE(model.flags(cell), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
    QCOMPARE(model.cellText(3, 0), QString());
    QCOMPARE(model.cellText(-1, 0), QString());
    QCOMPARE(model.cellText(0, 6), QString());

    QStringList headers;
    for (int column = 0; column < 7; ++column)
        headers << model.headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headers.join(QLatin1Char('|')), QStringLiteral("Station|N|E|H|Offset|Azimuth|"));
    QVERIFY(!model.headerData(6, Qt::Horizontal).isValid());
    QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
    QCOMPARE(model.headerData(2, Qt::Vertical).toInt(), 3);
}

void StakeListModelTest::exportWritesExactRows()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("straight.rod"), {});
    QVERIFY(road);
    StakeListModel model(road.get());

    // An empty list writes an empty file.
    const QString empty = folder.filePath(QStringLiteral("empty.csv"));
    QCOMPARE(model.exportFile(empty), QString());
    QCOMPARE(contents(empty), QByteArray());

    QCOMPARE(model.generate(Station(0.0), Station(100.0), 50.0, -1.5), QString());
    // UTF-8, "\n" line ends, no header; the CASS file has station twice, then E, N, H.
    const QByteArray csv = QStringLiteral("K0+000.000,1000.000,1998.500,49.970,-1.500,0°00′00.00000″\n"
                                          "K0+050.000,1050.000,1998.500,50.470,-1.500,0°00′00.00000″\n"
                                          "K0+100.000,1100.000,1998.500,50.970,-1.500,0°00′00.00000″\n")
                               .toUtf8();
    const QByteArray dat = "K0+000.000,K0+000.000,1998.500,1000.000,49.970\n"
                           "K0+050.000,K0+050.000,1998.500,1050.000,50.470\n"
                           "K0+100.000,K0+100.000,1998.500,1100.000,50.970\n";
    for (const char* name : { "stakes.csv", "STAKES.CSV", "mixed.Csv" }) {
        const QString path = folder.filePath(QLatin1String(name));
        QCOMPARE(model.exportFile(path), QString());
        QCOMPARE(contents(path), csv);
    }
    for (const char* name : { "cass.dat", "CASS.DAT" }) {
        const QString path = folder.filePath(QLatin1String(name));
        QCOMPARE(model.exportFile(path), QString());
        QCOMPARE(contents(path), dat);
    }

    // Exporting again replaces the whole previous content.
    const QString longer = folder.filePath(QStringLiteral("replaced.dat"));
    QVERIFY(writeFile(longer, QByteArray(4096, 'x')));
    QCOMPARE(model.exportFile(longer), QString());
    QCOMPARE(contents(longer), dat);
}

void StakeListModelTest::exportRefusesUnknownFormats()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("straight.rod"), {});
    QVERIFY(road);
    StakeListModel model(road.get());
    QCOMPARE(model.generate(Station(0.0), Station(100.0), 50.0, 0.0), QString());
    for (const char* name : { "stakes.txt", "stakes", "stakes.csv.bak", "stakes.dat ", "csv" }) {
        const QString path = folder.filePath(QLatin1String(name));
        QCOMPARE(model.exportFile(path), QStringLiteral("Unknown format"));
        QVERIFY2(!QFile::exists(path), name);
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { QStringLiteral("straight.rod") });

    QCOMPARE(model.exportFile(folder.filePath(QStringLiteral("missing/stakes.csv"))),
             QStringLiteral("Failed to open file: no such file or folder"));
    // A folder where the file should be.
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("taken.csv")));
    QCOMPARE(model.exportFile(folder.filePath(QStringLiteral("taken.csv"))),
             QStringLiteral("Failed to open file: it is a folder"));
}

void StakeListModelTest::failedExportKeepsTheOldFile()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("curve.rod"), { true, false, true });
    QVERIFY(road);
    StakeListModel model(road.get());
    QCOMPARE(model.generate(Station(0.0), Station(450.0), 1.0, 0.0), QString());
    const QString path = folder.filePath(QStringLiteral("good.csv"));
    const QByteArray good("a good stake list\n");
    QVERIFY(writeFile(path, good));

    // A disk that fills up mid-file: writes beyond 1 KiB fail.
    rlimit previous {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString message = model.exportFile(path);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(message, QStringLiteral("Failed to write file: the file is too large"));
    QCOMPARE(contents(path), good);
    // Nothing half-written is left beside it.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);

    QCOMPARE(model.exportFile(path), QString());
    QCOMPARE(contents(path).count('\n'), model.rowCount());
}

void StakeListModelTest::exportKeepsOwnerAndSpecialFiles()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("straight.rod"), {});
    QVERIFY(road);
    StakeListModel model(road.get());
    QCOMPARE(model.generate(Station(0.0), Station(100.0), 50.0, 0.0), QString());

    const QString fifo = folder.filePath(QStringLiteral("fifo.csv"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    QCOMPARE(model.exportFile(fifo), QStringLiteral("Failed to open file: it is a FIFO"));
    struct stat info;
    QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode));

    if (::geteuid() != 0)
        QSKIP("only root can give a file away");
    const QString owned = folder.filePath(QStringLiteral("owned.dat"));
    QVERIFY(writeFile(owned, "old\n"));
    const QByteArray name = QFile::encodeName(owned);
    QCOMPARE(::chown(name.constData(), 1234, 4321), 0);
    QCOMPARE(::chmod(name.constData(), 0640), 0);
    QCOMPARE(model.exportFile(owned), QString());
    QCOMPARE(contents(owned).count('\n'), model.rowCount());
    QCOMPARE(::stat(name.constData(), &info), 0);
    QCOMPARE(info.st_uid, uid_t(1234));
    QCOMPARE(info.st_gid, gid_t(4321));
    QCOMPARE(info.st_mode & 07777, mode_t(0640));
}

// A FIFO, a folder, a file the user may not write, a full inode table and a full disk each say so; none
// leaves a file behind.
void StakeListModelTest::exportSaysWhyItFailed()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("straight.rod"), {});
    QVERIFY(road);
    StakeListModel model(road.get());
    QCOMPARE(model.generate(Station(0.0), Station(100.0), 50.0, 0.0), QString());
    const std::string watched = QFile::encodeName(QFileInfo(folder.path()).canonicalFilePath()).toStdString();

    const QString fifo = folder.filePath(QStringLiteral("fifo.csv"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    QCOMPARE(model.exportFile(fifo), QStringLiteral("Failed to open file: it is a FIFO"));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder.csv")));
    QCOMPARE(model.exportFile(folder.filePath(QStringLiteral("folder.csv"))),
             QStringLiteral("Failed to open file: it is a folder"));
    QCOMPARE(model.exportFile(folder.filePath(QStringLiteral("straight.rod/stakes.csv"))),
             QStringLiteral("Failed to open file: not a folder"));

    FileWatch::start(watched);
    FileWatch::failCreates(ENOSPC);
    const QString noInode = model.exportFile(folder.filePath(QStringLiteral("inodes.csv")));
    FileWatch::start(watched);
    FileWatch::setFreeSpace(10);
    const QString full = model.exportFile(folder.filePath(QStringLiteral("full.csv")));
    FileWatch::stop();
    QCOMPARE(noInode, QStringLiteral("Failed to open file: no space left on the device"));
    QCOMPARE(full, QStringLiteral("Failed to write file: no space left on the device"));

    const QString readOnly = folder.filePath(QStringLiteral("readonly.csv"));
    QVERIFY(writeFile(readOnly, "old\n"));
    QCOMPARE(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    QCOMPARE(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    const auto denied = AsUser::run(1500, 1500, {}, [&]() {
        return model.exportFile(readOnly).toStdString() + "|"
            + model.exportFile(folder.filePath(QStringLiteral("denied.csv"))).toStdString();
    });
    QCOMPARE(contents(readOnly), QByteArray("old\n"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             (QStringList { QStringLiteral("fifo.csv"), QStringLiteral("folder.csv"),
                            QStringLiteral("readonly.csv"), QStringLiteral("straight.rod") }));
    if (!denied)
        QSKIP("cannot switch to an ordinary user");
    QCOMPARE(QString::fromStdString(*denied),
             QStringLiteral("Failed to open file: permission denied|Failed to open file: permission denied"));
}

// The folder is synced once the new name is in it; a list written into a folder that could not be
// synced is in place, and the export says so as a warning.
void StakeListModelTest::exportSyncsTheFolder()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("straight.rod"), {});
    QVERIFY(road);
    StakeListModel model(road.get());
    QCOMPARE(model.generate(Station(0.0), Station(100.0), 50.0, 0.0), QString());
    const std::string watched = QFile::encodeName(QFileInfo(folder.path()).canonicalFilePath()).toStdString();
    const std::vector<std::string> expected { "stakes.csv", "straight.rod" };
    const QString path = folder.filePath(QStringLiteral("stakes.csv"));

    FileWatch::start(watched);
    QString warning;
    const QString message = model.exportFile(path, &warning);
    const auto syncs = FileWatch::folderSyncs();
    QCOMPARE(message, QString());
    QCOMPARE(warning, QString());
    QVERIFY(!syncs.empty());
    QVERIFY(syncs.back() == expected);

    QVERIFY(QFile::remove(path));
    FileWatch::start(watched, true);
    const QString unsynced = model.exportFile(path, &warning);
    FileWatch::stop();
    QCOMPARE(unsynced, QString());
    QCOMPARE(
        warning,
        QStringLiteral("%1 was written, but its folder could not be synced (input/output error): until it "
                       "is written again, a crash may lose it.")
            .arg(path));
    QCOMPARE(contents(path).count('\n'), model.rowCount());
    QVERIFY(FileWatch::entries(watched) == expected);

    // A folder that may be written but not read can never be synced.
    FileWatch::start(watched);
    FileWatch::failFolderOpen(EACCES);
    const QString unreadable = model.exportFile(path, &warning);
    FileWatch::stop();
    QCOMPARE(unreadable, QString());
    QCOMPARE(
        warning,
        QStringLiteral("%1 was written, but its folder %2 could not be synced, as it may be written but "
                       "not read: a crash soon after may lose the new file. Saves into this folder go on "
                       "without syncing it.")
            .arg(path, QFileInfo(path).absolutePath()));
}

TRELVIN_TEST_MAIN(StakeListModelTest)
#include "stakelistmodel.moc"
