#include "check/crosssectionslopecurve.h"
#include "check/stationcheckdialog.h"
#include "check/stationchecklayout.h"
#include "check/stationcheckmodel.h"
#include "document/trelvin.h"
#include "framework/plotmarkers.h"
#include "framework/roadplot.h"
#include "test_checkroads.h"
#include <qttestmain.h>

#include <road/roadsurface.h>
#include <road/stake.h>
#include <road/station.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <cmath>

using Zemko::Trelvin::CheckPoint;
using Zemko::Trelvin::StationCheckModel;
using Zemko::Trelvin::Trelvin;

namespace {

QStringList names(const QVector<CheckPoint>& points)
{
    QStringList list;
    for (const CheckPoint& point : points)
        list << point.name;
    return list;
}

} // namespace

using CheckRoads::child;
using CheckRoads::type;

class TestCheckByStation : public QObject
{
    Q_OBJECT

private:
    CheckRoads::Folder folder;

    Pelko::Road::RoadSurface* open(bool (*write)(const QString&)) const { return folder.open(write); }

private slots:
    void init() { QVERIFY(folder.renew()); }

    void cleanup() { Trelvin::instance()->closeRoad(); }

    // Every listed point against the road's own plan point and design elevation at its offset.
    void listsFollowTheRoad_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("right");
        QTest::newRow("centre only") << 0.0 << QStringList { "O", "L1", "L2", "L3", "L4" }
                                     << QStringList { "O", "R1", "R2", "R3", "R4", "R5" };
        QTest::newRow("offset 2.5") << 2.5 << QStringList { "O", "ZP", "L1", "L2", "L3", "L4" }
                                    << QStringList { "O", "YP", "R1", "R2", "R3", "R4", "R5" };
        QTest::newRow("offset -2.5") << -2.5 << QStringList { "O", "ZP", "L1", "L2", "L3", "L4" }
                                     << QStringList { "O", "YP", "R1", "R2", "R3", "R4", "R5" };
    }

    void listsFollowTheRoad()
    {
        QFETCH(double, offset);
        QFETCH(QStringList, left);
        QFETCH(QStringList, right);
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeSlopes);
        QVERIFY(road);
        StationCheckModel model(road);
        model.setOffset(offset);
        QVERIFY(model.setStation(Pelko::Road::Station(150.0, false)));
        QCOMPARE(model.stationText(), QStringLiteral("K0+150.000"));
        QCOMPARE(names(model.leftPoints()), left);
        QCOMPARE(names(model.rightPoints()), right);

        // Vertical pieces of the drawing: the ditch's faces and the shoulder's step.
        const QList<QPointF> line = model.sectionLine();
        QList<QPointF> faces;
        for (int i = 1; i < line.size(); ++i)
            if (line.at(i).x() == line.at(i - 1).x() && line.at(i).y() != line.at(i - 1).y())
                faces << line.at(i - 1) << line.at(i);
        QCOMPARE(faces.size(), 6);

        for (const QVector<CheckPoint>* side : { &model.leftPoints(), &model.rightPoints() }) {
            const double sign = side == &model.leftPoints() ? -1.0 : 1.0;
            double previousOffset = 0.0;
            for (const CheckPoint& point : *side) {
                const QByteArray what = point.name.toLatin1();
                // Ordered from the centre line outward.
                QVERIFY2(point.offset * sign >= previousOffset * sign, what);
                const Pelko::Corvex::Point plan = road->getNorthEast(150.0, point.offset);
                QVERIFY2(std::fabs(point.north - plan.getX()) < 0.0005, what);
                QVERIFY2(std::fabs(point.east - plan.getY()) < 0.0005, what);
                double height = 0.0;
                QVERIFY2(road->getElevation(150.0, point.offset, height), what);
                // On a vertical face the offset alone does not tell the height; the road answers
                // one end of it.
                QVERIFY2(std::fabs(point.elevation - height) < 0.0005
                             || faces.contains(QPointF(point.offset, point.elevation)),
                         what);
                previousOffset = point.offset;
            }
        }
        if (offset != 0.0) {
            QCOMPARE(model.leftPoints().at(1).offset, -2.5);
            QCOMPARE(model.rightPoints().at(1).offset, 2.5);
        }
    }

    void sectionSlopesAndMarkers()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeSlopes);
        QVERIFY(road);
        StationCheckModel model(road);
        QVERIFY(model.setStation(Pelko::Road::Station(150.0, false)));
        const QVector<CheckPoint>& left = model.leftPoints();
        const QVector<CheckPoint>& right = model.rightPoints();

        // Left, a 1 % lane at 150 (-2 % at 100, 4 % at 200), then cut: the ditch's bottom centre, the
        // top of its outer face (a gap from the bottom, so named) and the end of the 1:1 face.
        QCOMPARE(left.at(1).offset, -3.5);
        QVERIFY(std::fabs(left.at(1).elevation - (left.at(0).elevation + 0.035)) < 1e-9);
        QVERIFY(std::fabs(left.at(2).offset - -3.7) < 1e-9);
        QVERIFY(std::fabs(left.at(2).elevation - (left.at(1).elevation - 0.6)) < 1e-9);
        QVERIFY(std::fabs(left.at(3).offset - -3.9) < 1e-9);
        QVERIFY(std::fabs(left.at(3).elevation - (left.at(2).elevation + 0.8)) < 1e-9);
        QVERIFY(std::fabs(left.at(4).offset - -6.9) < 1e-9);
        QVERIFY(std::fabs(left.at(4).elevation - (left.at(3).elevation + 3.0)) < 1e-9);

        // Right, fill from the shoulder's edge: each element starts where the last ended, so only
        // ends are named: upper bank, berm, lower bank.
        QCOMPARE(right.at(2).offset, 5.0);
        QVERIFY(std::fabs(right.at(3).offset - 11.0) < 1e-9);
        QVERIFY(std::fabs(right.at(4).offset - 13.0) < 1e-9);
        QVERIFY(std::fabs(right.at(5).offset - 23.5) < 1e-9);
        QVERIFY(std::fabs(right.at(5).elevation - (right.at(2).elevation - 4.0 - 0.08 - 6.0)) < 1e-9);

        // The drawing runs from the far left to the far right.
        const QList<QPointF> line = model.sectionLine();
        QCOMPARE(line.first().x(), -6.9);
        QCOMPARE(line.last().x(), 23.5);
        for (int i = 1; i < line.size(); ++i)
            QVERIFY(line.at(i).x() >= line.at(i - 1).x());

        // The centre point comes once per side.
        const QList<Zemko::Trelvin::PlotPoint> points = model.plotPoints();
        QCOMPARE(points.size(), left.size() + right.size());
        QCOMPARE(points.at(0).name, QStringLiteral("O"));
        QCOMPARE(points.at(left.size()).name, QStringLiteral("O"));
        QCOMPARE(points.at(2).x, left.at(2).offset);
        QCOMPARE(points.at(2).y, left.at(2).elevation);

        // A plate per lane, shoulder and berm; a slope marker per bank; none for the ditch.
        const QList<Zemko::Trelvin::PlateMarker> plates = model.plateMarkers();
        QCOMPARE(plates.size(), 4);
        QVERIFY(plates.at(0).reversed);
        QVERIFY(std::fabs(plates.at(0).position.y() - -1.75) < 1e-9);
        QVERIFY(std::fabs(plates.at(0).grade - 0.01) < 1e-9);
        QCOMPARE(plates.at(2).length, 1.5);
        QVERIFY(std::fabs(plates.at(3).position.y() - 12.0) < 1e-9);
        QVERIFY(std::fabs(plates.at(3).length - 2.0) < 1e-9);
        const QList<Zemko::Trelvin::SlopeMarker> slopes = model.slopeMarkers();
        QCOMPARE(slopes.size(), 3);
        QVERIFY(slopes.at(0).reversed); // cut
        QCOMPARE(slopes.at(0).side, -1);
        QVERIFY(std::fabs(slopes.at(0).ratio - 1.0) < 1e-9);
        QVERIFY(!slopes.at(1).reversed);
        QCOMPARE(slopes.at(1).side, 1);
        QVERIFY(std::fabs(slopes.at(1).width - 6.0) < 1e-9);
        // Fill banks fall outward: the ratio carries the sign, the drawing its size.
        QVERIFY(std::fabs(std::fabs(slopes.at(2).ratio) - 1.75) < 1e-9);

        // The table shows its side's list.
        QCOMPARE(model.rowCount(), left.size());
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("L2"));
        QCOMPARE(model.data(model.index(2, 3)).toString(), QString::number(left.at(2).elevation, 'f', 3));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Poin Name"));
        model.showLeft = false;
        QCOMPARE(model.rowCount(), right.size());
        QCOMPARE(model.data(model.index(5, 1)).toString(), QString::number(right.at(5).north, 'f', 3));
    }

    // Without a slope segment at the station, or without elements, a side gets no slope points.
    void sidesWithoutSlopesOrElements()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeLineArc);
        QVERIFY(road);
        StationCheckModel model(road);
        QVERIFY(model.setStation(Pelko::Road::Station(40.0, false)));
        QCOMPARE(names(model.leftPoints()), (QStringList { "O", "L1" }));
        QCOMPARE(names(model.rightPoints()), (QStringList { "O", "R1", "R2" }));
        QVERIFY(model.slopeMarkers().isEmpty());
        QCOMPARE(model.plateMarkers().size(), 3);
        // 2 % up to 40.
        QVERIFY(std::fabs(model.leftPoints().at(0).elevation - 100.8) < 1e-9);
    }

    // A side without elements hinges its slope on the centre line at the profile's height.
    void aSlopeOnASideWithoutElements()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeSlopesWithoutLeftLane);
        QVERIFY(road);
        StationCheckModel model(road);
        QVERIFY(model.setStation(Pelko::Road::Station(50.0, false)));
        const QVector<CheckPoint>& left = model.leftPoints();
        QCOMPARE(names(left), (QStringList { "O", "L1", "L2", "L3" }));
        QVERIFY(std::fabs(left.at(0).elevation - 101.0) < 1e-9);
        QVERIFY(std::fabs(left.at(1).elevation - (101.0 - 0.6)) < 1e-9);
        QVERIFY(std::fabs(left.at(1).offset - -0.2) < 1e-9);
        QCOMPARE(model.sectionLine().first(), QPointF(-3.4, 101.0 + 0.2 + 3.0));
    }

    // The section gives one segment per element; should it give fewer, nothing is read past them and
    // the element still gets its marker.
    void fewerSegmentsThanElements()
    {
        const std::vector<Pelko::Road::CrossSectionElement> elements {
            Pelko::Road::CrossSectionElement("lane", 3.0, -2.0, 0.0),
            Pelko::Road::CrossSectionElement("shoulder", 1.0, -4.0, 0.0),
        };
        const Pelko::Road::CrossSection section(50.0, elements);
        const auto stakeAt = [](double offset) {
            Pelko::Road::Stake::Builder builder;
            return builder.setDesigned(Pelko::Corvex::Point3D(1000.0, 2000.0 + offset, 0.0))
                .setOffset(offset)
                .create();
        };
        for (const bool left : { true, false }) {
            std::vector<Pelko::Road::CrossSection::LineSegment> segments = section.getPoints(left);
            QCOMPARE(segments.size(), size_t(2));
            segments.pop_back();
            Zemko::Trelvin::StationCheckLayout layout(stakeAt);
            const Pelko::Corvex::Point end
                = layout.addSection(section, segments, left, Pelko::Corvex::Point(50.0, 0.0));
            QCOMPARE(layout.line.size(), 2);
            QCOMPARE(layout.plateMarkers.size(), 2);
            const QVector<CheckPoint>& points = left ? layout.leftPoints : layout.rightPoints;
            QCOMPARE(points.size(), 1);
            QCOMPARE(points.at(0).east, 2000.0 + points.at(0).offset);
            if (left) {
                // The one segment left is the outer one: the end is its outer point.
                QCOMPARE(end.getY(), -4.0);
                QCOMPARE(layout.plateMarkers.at(0).position, QPointF());
            } else {
                QCOMPARE(end.getY(), 3.0);
                QCOMPARE(layout.plateMarkers.at(1).position, QPointF());
            }
        }
        Zemko::Trelvin::StationCheckLayout empty(stakeAt);
        const Pelko::Corvex::Point start(50.0, 0.0);
        QCOMPARE(empty.addSection(Pelko::Road::CrossSection(), {}, true, start).getX(), 50.0);
        QVERIFY(empty.leftPoints.isEmpty() && empty.plateMarkers.isEmpty());
    }

    void keepsTheViewWhileTheSectionFits()
    {
        using Rect = QRectF;
        const QList<QPointF> line { { -10.0, 100.0 }, { 10.0, 101.0 } };
        const QRectF fallback(0.0, 0.0, 100.0, 100.0);
        const auto view = [&](double xl, double xr, double yb, double yt) {
            return StationCheckDialog::viewRect(line, QwtInterval(xl, xr), QwtInterval(yb, yt), fallback);
        };
        QCOMPARE(StationCheckDialog::viewRect({}, QwtInterval(0, 1), QwtInterval(0, 1), fallback), fallback);
        // Fits, with less free room than the width across and ten heights up and down.
        QCOMPARE(view(-12.0, 12.0, 95.0, 105.0), Rect(QPointF(-12.0, 95.0), QPointF(12.0, 105.0)));
        // Too much room on the left, and a section that does not reach the top: those sides move.
        QCOMPARE(view(-40.0, 12.0, 95.0, 100.5), Rect(QPointF(-10.5, 95.0), QPointF(12.0, 101.5)));
        // Cut off on the right; too much room below.
        QCOMPARE(view(-12.0, 5.0, 80.0, 105.0), Rect(QPointF(-12.0, 99.5), QPointF(10.5, 105.0)));
        QCOMPARE(view(-12.0, 31.0, 95.0, 112.0), Rect(QPointF(-12.0, 95.0), QPointF(10.5, 101.5)));
    }

    void dialogDrawsAndStepsBothModels()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeSlopes);
        QVERIFY(road);
        StationCheckDialog dialog(road);
        // Titled as its menu entry.
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Check by Station"));
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(child<QLineEdit>(&dialog, "intervalEdit")->text(), QStringLiteral("20.000"));
        QCOMPARE(dialog.leftModel()->rowCount(), 0);
        QCOMPARE(dialog.rightModel()->rowCount(), 0);
        QCOMPARE(child<QTableView>(&dialog, "leftTableView")->model(), dialog.leftModel());
        QCOMPARE(child<QTableView>(&dialog, "rightTableView")->model(), dialog.rightModel());
        dialog.resize(1098, 792);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        auto* station = child<QLineEdit>(&dialog, "stationEdit");
        type(station, QStringLiteral("K0+150"));
        QCOMPARE(dialog.leftModel()->rowCount(), 5);
        QCOMPARE(dialog.rightModel()->rowCount(), 6);
        QCOMPARE(int(dialog.curve()->plotCurve()->dataSize()), dialog.leftModel()->sectionLine().size());
        QCOMPARE(dialog.curve()->namedPoints()->points().size(), 11);
        QCOMPARE(dialog.curve()->plateMarkers()->markers().size(), 4);
        QCOMPARE(dialog.curve()->slopeMarkers()->markers().size(), 3);
        // The drawing is in view.
        const QwtInterval x = dialog.plot()->axisInterval(QwtPlot::xBottom);
        const QwtInterval y = dialog.plot()->axisInterval(QwtPlot::yLeft);
        QVERIFY(x.minValue() <= -6.9 && x.maxValue() >= 23.5);
        QVERIFY(y.minValue() <= 92.0 && y.maxValue() >= 105.3);

        // Every text beside the section shows whole (the slope labels above it above all).
        QVERIFY(dialog.plot()->showsWhole(dialog.curve()->fitLabels()));
        const QwtScaleMap xMap = dialog.plot()->canvasMap(QwtPlot::xBottom);
        const QwtScaleMap yMap = dialog.plot()->canvasMap(QwtPlot::yLeft);
        const QRect canvas = dialog.plot()->canvas()->contentsRect();
        for (const QPointF& p : dialog.leftModel()->sectionLine())
            QVERIFY(canvas.contains(QPoint(int(xMap.transform(p.x())), int(yMap.transform(p.y())))));

        // A neighbouring section (pasted over the station) fits the view: it stays.
        station->selectAll();
        station->insert(QStringLiteral("K0+151"));
        QCOMPARE(dialog.leftModel()->stationText(), QStringLiteral("K0+151.000"));
        QVERIFY(std::fabs(dialog.plot()->axisInterval(QwtPlot::xBottom).minValue() - x.minValue()) < 1e-6);
        QVERIFY(std::fabs(dialog.plot()->axisInterval(QwtPlot::xBottom).maxValue() - x.maxValue()) < 1e-6);
        // Zoomed far out, the view comes back to the section.
        dialog.plot()->setScaleRect(QRectF(QPointF(-5000.0, -5000.0), QPointF(5000.0, 5000.0)));
        type(station, QStringLiteral("K0+150"));
        QVERIFY(dialog.plot()->axisInterval(QwtPlot::xBottom).width() < 1000.0);
        QVERIFY(dialog.plot()->axisInterval(QwtPlot::yLeft).contains(105.3));

        // Offsets: the typed one adds ZP and YP; an emptied field is 0.
        auto* offset = child<QLineEdit>(&dialog, "offsetEdit");
        type(offset, QStringLiteral("2.5"));
        QCOMPARE(names(dialog.leftModel()->leftPoints()).mid(0, 2), (QStringList { "O", "ZP" }));
        QCOMPARE(dialog.rightModel()->data(dialog.rightModel()->index(1, 0)).toString(),
                 QStringLiteral("YP"));
        type(offset, QString());
        QCOMPARE(dialog.leftModel()->offset(), 0.0);
        QCOMPARE(dialog.leftModel()->rowCount(), 5);

        // Steps move both models on the grid of the typed station's tens (50 + 20 k).
        child<QPushButton>(&dialog, "forwardButton")->click();
        QCOMPARE(station->text(), QStringLiteral("K0+170.000"));
        QCOMPARE(dialog.rightModel()->stationText(), QStringLiteral("K0+170.000"));
        child<QPushButton>(&dialog, "backwardButton")->click();
        child<QPushButton>(&dialog, "backwardButton")->click();
        QCOMPARE(station->text(), QStringLiteral("K0+130.000"));
        QCOMPARE(dialog.leftModel()->leftPoints().at(0).north, 1130.0);
        QCOMPARE(dialog.rightModel()->rightPoints().at(0).north, 1130.0);

        auto* backward = child<QPushButton>(&dialog, "backwardButton");
        for (int i = 0; i < 20 && backward->isEnabled(); ++i)
            backward->click();
        QCOMPARE(station->text(), QStringLiteral("K0+000.000"));
        QVERIFY(!backward->isEnabled());
        QVERIFY(child<QPushButton>(&dialog, "forwardButton")->isEnabled());
        dialog.close();
    }

    // Return in a field computes at what the fields hold: it presses no stepping button.
    void returnShowsTheTypedStation()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeExample);
        QVERIFY(road);
        StationCheckDialog dialog(road);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* station = child<QLineEdit>(&dialog, "stationEdit");
        const QStringList typed { "K0+900", "K5+204.474", "K2+000" };
        const QStringList shown { "K0+900.000", "K5+204.474", "K2+000.000" };
        for (int i = 0; i < typed.size(); ++i) {
            type(station, typed.at(i));
            QTest::keyClick(station, i == 2 ? Qt::Key_Enter : Qt::Key_Return,
                            i == 2 ? Qt::KeypadModifier : Qt::NoModifier);
            QCOMPARE(dialog.leftModel()->stationText(), shown.at(i));
            QCOMPARE(dialog.rightModel()->stationText(), shown.at(i));
            QCOMPARE(station->text(), typed.at(i));
        }
        for (const char* name : { "intervalEdit", "offsetEdit" }) {
            auto* field = child<QLineEdit>(&dialog, name);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Return);
            QCOMPARE(dialog.leftModel()->stationText(), QStringLiteral("K2+000.000"));
        }
        // Nor does a stepping button clicked before take Return as its own.
        child<QPushButton>(&dialog, "forwardButton")->click();
        const QString stepped = station->text();
        QTest::keyClick(child<QPushButton>(&dialog, "forwardButton"), Qt::Key_Return);
        QCOMPARE(station->text(), stepped);
        QVERIFY(dialog.isVisible());
        dialog.close();
    }

    // Only an interval the field accepts whole reaches the iterators, which divide by it; the number
    // fields read the C locale.
    void intervalAndLocale()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeSlopes);
        QVERIFY(road);
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        {
            StationCheckDialog dialog(road);
            for (const char* name : { "intervalEdit", "offsetEdit" })
                QCOMPARE(child<QLineEdit>(&dialog, name)->validator()->locale().name(), QLocale::c().name());
            auto* interval = child<QLineEdit>(&dialog, "intervalEdit");
            type(child<QLineEdit>(&dialog, "stationEdit"), QStringLiteral("K0+010"));
            for (const char* text : { "0", "0.0004", "" }) {
                type(interval, QString::fromLatin1(text));
                QCOMPARE(dialog.leftModel()->interval(), 20.0);
                QCOMPARE(dialog.rightModel()->interval(), 20.0);
            }
            type(interval, QStringLiteral("0.5"));
            QCOMPARE(dialog.rightModel()->interval(), 0.5);
            child<QPushButton>(&dialog, "forwardButton")->click();
            QCOMPARE(child<QLineEdit>(&dialog, "stationEdit")->text(), QStringLiteral("K0+010.500"));
            QVERIFY(!dialog.leftModel()->setInterval(0.0));
            QCOMPARE(dialog.leftModel()->interval(), 0.5);
        }
        QLocale::setDefault(previous);
    }

    void aStationInTheGapKeepsThePosition()
    {
        Pelko::Road::RoadSurface* road = open(CheckRoads::writeEquations);
        QVERIFY(road);
        StationCheckModel model(road);
        QVERIFY(model.stationText().isEmpty());
        QVERIFY(model.setStation(Pelko::Road::Station(120.0, true)));
        QCOMPARE(model.stationText(), QStringLiteral("K0+120.000A"));
        QCOMPARE(model.leftPoints().at(0).north, 1140.0);
        QVERIFY(!model.setStation(Pelko::Road::Station(210.0, false)));
        QCOMPARE(model.stationText(), QStringLiteral("K0+120.000A"));
        // Recomputed all the same.
        QCOMPARE(model.leftPoints().at(0).north, 1140.0);
    }
};

TRELVIN_TEST_MAIN(TestCheckByStation)
#include "test_checkbystation.moc"
