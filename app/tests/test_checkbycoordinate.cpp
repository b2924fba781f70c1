#include "check/roadcheckdialog.h"
#include "check/roadcheckmodel.h"
#include "document/trelvin.h"
#include "support/scriptedprompter.h"
#include "test_checkroads.h"
#include <qttestmain.h>

#include <road/roadsurface.h>
#include <road/station.h>
#include <text/stationtext.h>

#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QtTest>

#include <algorithm>
#include <cmath>

using Zemko::Trelvin::RoadCheckModel;
using Zemko::Trelvin::Trelvin;

namespace {

QString value(const RoadCheckModel& model, int row)
{
    return model.data(model.index(row, 1)).toString();
}

// A cell holds the value to the millimetre as written with three decimals.
bool holds(const RoadCheckModel& model, int row, double expected)
{
    bool ok = false;
    const double shown = value(model, row).toDouble(&ok);
    return ok && std::fabs(shown - expected) <= 0.0005 + 1e-9;
}

QStringList values(const RoadCheckModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << value(model, row);
    return texts;
}

} // namespace

using CheckRoads::child;
using CheckRoads::type;

class TestCheckByCoordinate : public QObject
{
    Q_OBJECT

private:
    CheckRoads::Folder folder;

    Pelko::Road::RoadSurface* open(bool (*write)(const QString&)) const { return folder.open(write); }

private slots:
    void init() { QVERIFY(folder.renew()); }

    void cleanup() { Trelvin::instance()->closeRoad(); }

    void startsEmptyWithItsLabels()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
        QVERIFY(road);
        RoadCheckModel model(road);
        QCOMPARE(model.rowCount(), 9);
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
        QStringList labels;
        for (int row = 0; row < 9; ++row)
            labels << model.data(model.index(row, 0)).toString();
        QCOMPARE(labels,
                 (QStringList { "Station", "Stake N", "Stake E", "Stake H", "Calculated N", "Calculated E",
                                "Calculated H", "Offset", "Azimuth" }));
        QCOMPARE(values(model), QStringList(QVector<QString>(9).toList()));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Field"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
        QCOMPARE(model.headerData(4, Qt::Vertical).toInt(), 5);
        QCOMPARE(model.data(model.index(0, 1), Qt::SizeHintRole).toSize(), QSize(64, 32));
        QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
        QVERIFY(!model.hasNext());
        QVERIFY(!model.hasPrevious());
    }

    // Points on both sides of the line and of the arc against the road's own answers and the closed
    // forms of the geometry.
    void pointsBesideLineAndArc_data()
    {
        QTest::addColumn<double>("station");
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("azimuth");
        QTest::addColumn<bool>("hasHeight");
        // Line: north from (1000, 2000), azimuth 0. Arc: left, R 300, centre (1100, 1700).
        QTest::newRow("line left") << 40.0 << -2.0 << 0.0 << true;
        QTest::newRow("line right") << 60.0 << 4.5 << 0.0 << true;
        QTest::newRow("arc left") << 150.0 << -3.0 << 360.0 - 50.0 / 300.0 * 180.0 / M_PI << true;
        QTest::newRow("arc right") << 180.0 << 1.25 << 360.0 - 80.0 / 300.0 * 180.0 / M_PI << true;
        // Past the left lane, with no slope to answer there.
        QTest::newRow("line past the section") << 30.0 << -6.0 << 0.0 << false;
    }

    void pointsBesideLineAndArc()
    {
        QFETCH(double, station);
        QFETCH(double, offset);
        QFETCH(double, azimuth);
        QFETCH(bool, hasHeight);
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
        QVERIFY(road);

        Pelko::Corvex::Point point;
        if (station <= 100.0) {
            point = Pelko::Corvex::Point(1000.0 + station, 2000.0 + offset);
        } else {
            const double turned = (station - 100.0) / 300.0;
            const double radius = 300.0 + offset;
            point = Pelko::Corvex::Point(1100.0 + radius * std::sin(turned),
                                         1700.0 + radius * std::cos(turned));
        }

        RoadCheckModel model(road);
        QVERIFY(model.setPoint(point));
        QVERIFY(model.isPositioned());

        QCOMPARE(value(model, RoadCheckModel::StationRow), Zemko::Trelvin::stationToText(station));
        const Pelko::Corvex::Point centre = road->getNorthEast(station, 0.0);
        QVERIFY(holds(model, RoadCheckModel::StakeNRow, centre.getX()));
        QVERIFY(holds(model, RoadCheckModel::StakeERow, centre.getY()));
        double centreHeight = 0.0;
        QVERIFY(road->getElevation(station, 0.0, centreHeight));
        QVERIFY(holds(model, RoadCheckModel::StakeHRow, centreHeight));
        // The profile's own grade: 2 % up to the crest curve at 77.
        if (station < 77.0)
            QVERIFY(holds(model, RoadCheckModel::StakeHRow, 100.0 + 0.02 * station));

        QVERIFY(holds(model, RoadCheckModel::CalculatedNRow, point.getX()));
        QVERIFY(holds(model, RoadCheckModel::CalculatedERow, point.getY()));
        double height = 0.0;
        QCOMPARE(road->getElevation(station, offset, height), hasHeight);
        if (hasHeight)
            QVERIFY(holds(model, RoadCheckModel::CalculatedHRow, height));
        else
            QCOMPARE(value(model, RoadCheckModel::CalculatedHRow), QString());
        QVERIFY(holds(model, RoadCheckModel::OffsetRow, offset));
        QCOMPARE(value(model, RoadCheckModel::AzimuthRow), Zemko::Trelvin::angleText(azimuth * 3600.0));
    }

    void insideTheLaneTheHeightFollowsItsSlope()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
        QVERIFY(road);
        RoadCheckModel model(road);
        QVERIFY(model.setPoint(Pelko::Corvex::Point(1040.0, 1998.0)));
        // 100.8 on the centre line, the lane falling at 2 % for 2 m.
        QCOMPARE(value(model, RoadCheckModel::StakeHRow), QStringLiteral("100.800"));
        QCOMPARE(value(model, RoadCheckModel::CalculatedHRow), QStringLiteral("100.760"));
        QCOMPARE(value(model, RoadCheckModel::OffsetRow), QStringLiteral("-2.000"));
        QCOMPARE(value(model, RoadCheckModel::AzimuthRow), Zemko::Trelvin::angleText(0.0));
    }

    // The road would start at its first station with offset 0 for a point it cannot place, which would
    // read as an answer.
    void aPointBesideNoElementIsReported()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
        QVERIFY(road);
        RoadCheckModel model(road);
        QVERIFY(model.setPoint(Pelko::Corvex::Point(1040.0, 1998.0)));
        QVERIFY(!model.setPoint(Pelko::Corvex::Point(900.0, 2000.0)));
        QVERIFY(!model.isPositioned());
        QCOMPARE(values(model), QStringList(QVector<QString>(9).toList()));

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        RoadCheckDialog dialog(0, road);
        QCOMPARE(child<QStackedWidget>(&dialog, "stackedWidget")->currentIndex(), 0);
        type(child<QLineEdit>(&dialog, "xEdit"), QStringLiteral("900"));
        type(child<QLineEdit>(&dialog, "yEdit"), QStringLiteral("2000"));
        child<QPushButton>(&dialog, "calculateButton")->click();
        QCOMPARE(prompter.count(ScriptedPrompter::Warning), 1);
        QVERIFY(!dialog.model()->isPositioned());

        // An empty coordinate is no point: nothing is computed.
        type(child<QLineEdit>(&dialog, "xEdit"), QStringLiteral("1040"));
        type(child<QLineEdit>(&dialog, "yEdit"), QString());
        child<QPushButton>(&dialog, "calculateButton")->click();
        QCOMPARE(prompter.count(ScriptedPrompter::Warning), 2);
        QVERIFY(!dialog.model()->isPositioned());

        type(child<QLineEdit>(&dialog, "yEdit"), QStringLiteral("1998"));
        child<QPushButton>(&dialog, "calculateButton")->click();
        QCOMPARE(prompter.calls.size(), 2);
        QCOMPARE(dialog.model()->cellText(RoadCheckModel::StationRow, 1), QStringLiteral("K0+040.000"));
    }

    void stationPageShowsTheOffsetPoint()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
        QVERIFY(road);
        RoadCheckDialog dialog(1, road);
        QCOMPARE(child<QStackedWidget>(&dialog, "stackedWidget")->currentIndex(), 1);
        QCOMPARE(child<QLineEdit>(&dialog, "intervalEdit")->text(), QStringLiteral("20.000"));
        RoadCheckModel& model = *dialog.model();

        type(child<QLineEdit>(&dialog, "offsetEdit"), QStringLiteral("5"));
        type(child<QLineEdit>(&dialog, "stationEdit"), QStringLiteral("K0+100"));
        QCOMPARE(value(model, RoadCheckModel::StationRow), QStringLiteral("K0+100.000"));
        QVERIFY(holds(model, RoadCheckModel::StakeNRow, 1100.0));
        QVERIFY(holds(model, RoadCheckModel::StakeERow, 2000.0));
        QVERIFY(holds(model, RoadCheckModel::CalculatedNRow, 1100.0));
        QVERIFY(holds(model, RoadCheckModel::CalculatedERow, 2005.0));
        // The outer edge of the right shoulder.
        double height = 0.0;
        QVERIFY(road->getElevation(100.0, 5.0, height));
        QVERIFY(holds(model, RoadCheckModel::CalculatedHRow, height));
        QCOMPARE(value(model, RoadCheckModel::OffsetRow), QStringLiteral("5.000"));

        type(child<QLineEdit>(&dialog, "offsetEdit"), QStringLiteral("-2.5"));
        QVERIFY(holds(model, RoadCheckModel::CalculatedERow, 1997.5));
        QVERIFY(road->getElevation(100.0, -2.5, height));
        QVERIFY(holds(model, RoadCheckModel::CalculatedHRow, height));
        QCOMPARE(value(model, RoadCheckModel::OffsetRow), QStringLiteral("-2.500"));

        // An emptied or half-typed offset keeps the last one.
        type(child<QLineEdit>(&dialog, "offsetEdit"), QString());
        QCOMPARE(model.offset(), -2.5);
        type(child<QLineEdit>(&dialog, "offsetEdit"), QStringLiteral("-"));
        QCOMPARE(model.offset(), -2.5);
        // Text that is no station changes nothing.
        type(child<QLineEdit>(&dialog, "stationEdit"), QStringLiteral("K"));
        QCOMPARE(value(model, RoadCheckModel::StationRow), QStringLiteral("K0+100.000"));
    }

    // Return in a field computes at what was typed: at the point on the coordinate page, at the station
    // on the station page, where it presses no stepping button.
    void returnComputesAtTheTypedValues()
    {
        {
            Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
            QVERIFY(road);
            RoadCheckDialog dialog(0, road);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            type(child<QLineEdit>(&dialog, "xEdit"), QStringLiteral("1050"));
            type(child<QLineEdit>(&dialog, "yEdit"), QStringLiteral("2003"));
            QTest::keyClick(child<QLineEdit>(&dialog, "yEdit"), Qt::Key_Return);
            QCOMPARE(value(*dialog.model(), RoadCheckModel::StationRow), QStringLiteral("K0+050.000"));
            QCOMPARE(value(*dialog.model(), RoadCheckModel::OffsetRow), QStringLiteral("3.000"));
            dialog.close();
        }
        QVERIFY(folder.renew());
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeExample);
        QVERIFY(road);
        RoadCheckDialog dialog(1, road);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* station = child<QLineEdit>(&dialog, "stationEdit");
        const QStringList typed { "K0+900", "K5+204.474" };
        const QStringList shown { "K0+900.000", "K5+204.474" };
        for (int i = 0; i < typed.size(); ++i) {
            type(station, typed.at(i));
            QTest::keyClick(station, Qt::Key_Return);
            QCOMPARE(value(*dialog.model(), RoadCheckModel::StationRow), shown.at(i));
            QCOMPARE(station->text(), typed.at(i));
        }
        for (const char* name : { "intervalEdit", "offsetEdit" }) {
            auto* field = child<QLineEdit>(&dialog, name);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Return);
            QCOMPARE(value(*dialog.model(), RoadCheckModel::StationRow), QStringLiteral("K5+204.474"));
        }
        QVERIFY(dialog.isVisible());
        dialog.close();
    }

    void stepsToTheEndsAndStops()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
        QVERIFY(road);
        RoadCheckDialog dialog(1, road);
        auto* backward = child<QPushButton>(&dialog, "backwardButton");
        auto* forward = child<QPushButton>(&dialog, "forwardButton");
        auto* station = child<QLineEdit>(&dialog, "stationEdit");
        type(child<QLineEdit>(&dialog, "intervalEdit"), QStringLiteral("50"));
        type(station, QStringLiteral("K0+180"));
        // The buttons start enabled and follow only a step.
        QVERIFY(backward->isEnabled() && forward->isEnabled());

        QStringList stops;
        for (int i = 0; i < 10 && forward->isEnabled(); ++i) {
            forward->click();
            stops << station->text();
        }
        // 200 ends the arc, 250 the road; the grid keeps the tens of the start (80 + 50 k).
        QCOMPARE(stops, (QStringList { "K0+200.000", "K0+230.000", "K0+250.000" }));
        QVERIFY(!forward->isEnabled());
        QVERIFY(backward->isEnabled());

        stops.clear();
        for (int i = 0; i < 10 && backward->isEnabled(); ++i) {
            backward->click();
            stops << station->text();
        }
        // The arc's end (200), midpoint (150) and begin (100) are stops too.
        QCOMPARE(stops,
                 (QStringList { "K0+230.000", "K0+200.000", "K0+180.000", "K0+150.000", "K0+130.000",
                                "K0+100.000", "K0+080.000", "K0+030.000", "K0+000.000" }));
        QVERIFY(!backward->isEnabled());
        QVERIFY(forward->isEnabled());
    }

    void stepsAcrossTheEquationsBothWays()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeEquations);
        QVERIFY(road);
        RoadCheckDialog dialog(1, road);
        auto* backward = child<QPushButton>(&dialog, "backwardButton");
        auto* forward = child<QPushButton>(&dialog, "forwardButton");
        auto* station = child<QLineEdit>(&dialog, "stationEdit");
        type(station, QStringLiteral("K0+100"));

        QStringList stops;
        for (int i = 0; i < 30 && forward->isEnabled(); ++i) {
            forward->click();
            stops << station->text();
        }
        // 130 is also 110 after the long equation; 200 is also 220 at the short one.
        const QStringList ahead { "K0+120.000", "K0+110.000A", "K0+120.000A", "K0+140.000",
                                  "K0+160.000", "K0+180.000",  "K0+220.000",  "K0+240.000",
                                  "K0+260.000", "K0+280.000",  "K0+300.000" };
        QCOMPARE(stops, ahead);
        QVERIFY(!forward->isEnabled());

        stops.clear();
        for (int i = 0; i < 30 && backward->isEnabled(); ++i) {
            backward->click();
            stops << station->text();
        }
        QStringList behind = ahead;
        std::reverse(behind.begin(), behind.end());
        behind.removeFirst();
        behind << "K0+100.000"
               << "K0+080.000"
               << "K0+060.000"
               << "K0+040.000"
               << "K0+020.000"
               << "K0+000.000";
        QCOMPARE(stops, behind);
        QVERIFY(!backward->isEnabled());
        // Each stop's plan point is that of its continuous station.
        QVERIFY(holds(*dialog.model(), RoadCheckModel::StakeNRow, 1000.0));
    }

    // 110 to 130 come twice; typed with "A" the station is the second one.
    void aRepeatedStationAfterTheEquationShowsItsMark()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeEquations);
        QVERIFY(road);
        RoadCheckModel model(road);
        QVERIFY(model.setStation(Pelko::Road::Station(120.0, false)));
        QCOMPARE(value(model, RoadCheckModel::StationRow), QStringLiteral("K0+120.000"));
        QVERIFY(holds(model, RoadCheckModel::StakeNRow, 1120.0));
        QVERIFY(model.setStation(Pelko::Road::Station(120.0, true)));
        QCOMPARE(value(model, RoadCheckModel::StationRow), QStringLiteral("K0+120.000A"));
        QVERIFY(holds(model, RoadCheckModel::StakeNRow, 1140.0));

        // 210 lies in the gap of the short equation: the position stays, the station mode holds.
        QVERIFY(!model.setStation(Pelko::Road::Station(210.0, false)));
        QCOMPARE(value(model, RoadCheckModel::StationRow), QStringLiteral("K0+120.000A"));
        QVERIFY(model.setStation(Pelko::Road::Station(230.0, false)));
        QVERIFY(holds(model, RoadCheckModel::StakeNRow, 1230.0));
    }

    // Only an interval the field accepts whole reaches the iterator, which divides by it.
    void onlyAnAcceptableIntervalIsTaken()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
        QVERIFY(road);
        RoadCheckDialog dialog(1, road);
        RoadCheckModel& model = *dialog.model();
        auto* interval = child<QLineEdit>(&dialog, "intervalEdit");
        type(child<QLineEdit>(&dialog, "stationEdit"), QStringLiteral("K0+010"));

        for (const char* text : { "0", "0.0004", "0.09", "" }) {
            type(interval, QString::fromLatin1(text));
            QCOMPARE(model.interval(), 20.0);
        }
        QVERIFY(!model.setInterval(0.0));
        QVERIFY(!model.setInterval(-5.0));
        QVERIFY(!model.setInterval(std::nan("")));
        QCOMPARE(model.interval(), 20.0);

        type(interval, QStringLiteral("0.1"));
        QCOMPARE(model.interval(), 0.1);
        child<QPushButton>(&dialog, "forwardButton")->click();
        QCOMPARE(child<QLineEdit>(&dialog, "stationEdit")->text(), QStringLiteral("K0+010.100"));
    }

    // Numbers are typed in the C locale whatever the user's.
    void fieldsReadTheCLocale()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
        QVERIFY(road);
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        {
            RoadCheckDialog dialog(1, road);
            RoadCheckModel& model = *dialog.model();
            for (const char* name : { "xEdit", "yEdit", "intervalEdit", "offsetEdit" })
                QCOMPARE(child<QLineEdit>(&dialog, name)->validator()->locale().name(), QLocale::c().name());
            auto* interval = child<QLineEdit>(&dialog, "intervalEdit");
            interval->clear();
            // The decimal comma is refused as it is typed: what the field shows is what is used.
            QTest::keyClicks(interval, QStringLiteral("2,5"));
            QCOMPARE(interval->text(), QStringLiteral("25"));
            QCOMPARE(model.interval(), 25.0);
            type(interval, QStringLiteral("2.5"));
            QCOMPARE(model.interval(), 2.5);
            type(child<QLineEdit>(&dialog, "offsetEdit"), QStringLiteral("1.5"));
            QCOMPARE(model.offset(), 1.5);
        }
        QLocale::setDefault(previous);
    }
};

TRELVIN_TEST_MAIN(TestCheckByCoordinate)
#include "test_checkbycoordinate.moc"
