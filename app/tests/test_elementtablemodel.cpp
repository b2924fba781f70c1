#include "alignment/horizontalelementtablemodel.h"
#include "document/trelvin.h"
#include "test_horizontalroads.h"

#include <road/horizontalalignment.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/roadsurface.h>
#include <text/stationtext.h>

#include <qttestmain.h>

#include <QSignalSpy>

#include <cmath>

using Pelko::Road::HorizontalElement;
using Zemko::Trelvin::HorizontalElementTableModel;
using Zemko::Trelvin::Trelvin;
using Model = HorizontalElementTableModel;

namespace {

const QString infinity(QChar(0x221E));

QString text(const Model& model, int row, int column)
{
    return model.data(model.index(row, column)).toString();
}

void type(Model& model, int row, int column, const QVariant& value)
{
    QVERIFY(model.setData(model.index(row, column), value));
}

void fix(Model& model, int row, int column)
{
    QVERIFY(model.setData(model.index(row, column), Qt::Checked, Qt::CheckStateRole));
}

bool near(double a, double b, double tolerance = 1e-6)
{
    return std::fabs(a - b) < tolerance;
}

Pelko::Road::HorizontalAlignment* alignment()
{
    return Trelvin::instance()->road()->getHorizontalAligment();
}

// Row 0 from (1000, 2000) due north, fixed; the rows after it follow on.
void typeStart(Model& model, int rows)
{
    model.appendElements(rows);
    type(model, 0, Model::MileageColumn, "K0+000");
    fix(model, 0, Model::AzimuthColumn);
    type(model, 0, Model::AzimuthColumn, "0");
    fix(model, 0, Model::NorthColumn);
    type(model, 0, Model::NorthColumn, "1000");
    type(model, 0, Model::EastColumn, "2000");
}

} // namespace

class TestElementTableModel : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

    void open(const QByteArray& parts) { QVERIFY(!roads.open(parts).isEmpty()); }

    void openElements(const Pelko::Road::HorizontalElementConfiguration& elements)
    {
        QVERIFY(!roads.openElements(elements).isEmpty());
    }

private slots:
    void typeAndApplyOnAnEmptyAlignment()
    {
        open(QByteArray());
        Model model;
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.isTextRowMode());
        model.appendElements(1);
        QVERIFY(!model.isTextRowMode());
        model.removeElements(0, 1);

        typeStart(model, 3);
        QVERIFY(model.isTextRowMode());
        type(model, 1, Model::StartRadiusColumn, "300");
        type(model, 1, Model::EndRadiusColumn, "300");
        QCOMPARE(text(model, 1, Model::TypeColumn), QStringLiteral("Arc"));
        type(model, 2, Model::LengthColumn, "50");
        // Only the first mileage is typed: every row starts where the one before it ends.
        QVERIFY(!model.setData(model.index(2, Model::MileageColumn), "junk"));

        int row = -1, column = -1;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(model.applyRows(), -1);
        QVERIFY(model.applyChanges());
        QVERIFY(!model.isTextRowMode());
        QCOMPARE(alignment()->getDataSourceType(), int(Pelko::Road::ElementsDataSource));

        const auto elements = alignment()->getElements();
        QCOMPARE(elements.size(), 3u);
        QCOMPARE(elements.at(1).getType(), Pelko::Road::ArcElementType);
        QCOMPARE(elements.at(1).getBeginStation(), 100.0);
        QCOMPARE(elements.at(2).getBeginStation(), 200.0);
        QCOMPARE(text(model, 2, Model::MileageColumn), QStringLiteral("K0+200.000"));
        const double turned = 100.0 / 300.0;
        QVERIFY(near(elements.at(2).getBeginAzimuth().toRadian(), turned));
        QCOMPARE(text(model, 2, Model::AzimuthColumn),
                 Zemko::Trelvin::angleText(turned * 180.0 / M_PI * 3600.0));
        const Pelko::Corvex::Point arcEnd(1100.0 + 300.0 * std::sin(turned),
                                          2000.0 + 300.0 * (1 - std::cos(turned)));
        QVERIFY(near(elements.at(2).getBeginPoint().getX(), arcEnd.getX()));
        QVERIFY(near(elements.at(2).getBeginPoint().getY(), arcEnd.getY()));
        QVERIFY(near(elements.at(2).getEndPoint().getX(), arcEnd.getX() + 50.0 * std::cos(turned)));
        QCOMPARE(text(model, 1, Model::DeflectionColumn), QStringLiteral("Right"));

        // The PI form follows: start, the arc's corner, end.
        const auto pis = alignment()->getPointOfIntersections();
        QCOMPARE(pis.size(), 3u);
        QCOMPARE(pis.at(1).getCurveType(), Pelko::Road::ArcPoiType);
        QVERIFY(near(pis.at(1).getRadius(), 300.0));
    }

    void typeAndSideFollowTheRadii_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("side");

        QTest::newRow("both straight") << infinity << "0"
                                       << "Line"
                                       << "Right";
        QTest::newRow("left spiral in") << ""
                                        << "-300"
                                        << "Spiral"
                                        << "Left";
        QTest::newRow("right spiral out") << "250" << infinity << "Spiral"
                                          << "Right";
        QTest::newRow("left arc") << "-300"
                                  << "-300.0005"
                                  << "Arc"
                                  << "Left";
        QTest::newRow("compound spiral") << "300"
                                         << "500"
                                         << "Spiral"
                                         << "Right";
        QTest::newRow("opposite signs") << "200"
                                        << "-300"
                                        << "Spiral"
                                        << "Right";
        QTest::newRow("letters are straight") << "abc"
                                              << "-1e-5"
                                              << "Line"
                                              << "Right";
    }

    void typeAndSideFollowTheRadii()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, type);
        QFETCH(QString, side);
        open(QByteArray());
        Model model;
        typeStart(model, 1);
        ::type(model, 0, Model::StartRadiusColumn, start);
        ::type(model, 0, Model::EndRadiusColumn, end);
        QCOMPARE(text(model, 0, Model::TypeColumn), type);
        QCOMPARE(text(model, 0, Model::DeflectionColumn), side);
    }

    void checkFailuresNameTheCell_data()
    {
        QTest::addColumn<int>("cellRow");
        QTest::addColumn<int>("cellColumn");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("failColumn");

        QTest::newRow("mileage letters") << 0 << 1 << "abc" << 1;
        QTest::newRow("mileage in the gap") << 0 << 1 << "K0+155" << 1;
        QTest::newRow("azimuth empty") << 0 << 4 << " " << 4;
        QTest::newRow("azimuth five runs") << 0 << 4 << "1:2:3:4:5" << 4;
        QTest::newRow("length 0.01") << 1 << 5 << "0.01" << 5;
        QTest::newRow("length letters") << 1 << 5 << "ten" << 5;
        QTest::newRow("north letters") << 0 << 6 << "n" << 6;
        QTest::newRow("east empty") << 0 << 7 << "" << 7;
        QTest::newRow("opposite radii") << 1 << 3 << "-300" << 3;
        QTest::newRow("radius typo") << 1 << 2 << "2OO" << 2;
    }

    void checkFailuresNameTheCell()
    {
        QFETCH(int, cellRow);
        QFETCH(int, cellColumn);
        QFETCH(QString, value);
        QFETCH(int, failColumn);

        open(RoadFiles::equations(150, 160));
        Model model;
        typeStart(model, 2);
        type(model, 1, Model::StartRadiusColumn, "200");
        type(model, 1, Model::EndRadiusColumn, infinity);
        type(model, 1, Model::LengthColumn, "0.011");
        int row = -1, column = -1;
        QVERIFY(model.checkRows(row, column));
        type(model, cellRow, cellColumn, value);
        QVERIFY(!model.checkRows(row, column));
        QCOMPARE(row, cellRow);
        QCOMPARE(column, failColumn);
    }

    void theFirstRowNeedsItsBegin()
    {
        open(QByteArray());
        Model model;
        model.pasteCells(0, Model::LengthColumn, { { "20" }, { "30" } });
        QCOMPARE(model.rowCount(), 2);
        int row = -1, column = -1;
        QVERIFY(!model.checkRows(row, column));
        QCOMPARE(column, int(Model::AzimuthColumn));
        fix(model, 0, Model::AzimuthColumn);
        QVERIFY(!model.checkRows(row, column));
        QCOMPARE(column, int(Model::NorthColumn));
        fix(model, 0, Model::NorthColumn);
        QVERIFY(model.checkRows(row, column));
        QVERIFY(!model.setData(model.index(0, Model::LengthColumn), Qt::Checked, Qt::CheckStateRole));
    }

    void packedAndDmsAzimuths_data()
    {
        QTest::addColumn<QString>("azimuth");
        QTest::addColumn<double>("degrees");

        const double angle = 45.0 + 30.0 / 60.0 + 15.0 / 3600.0;
        QTest::newRow("packed") << "45.3015" << angle;
        QTest::newRow("dms") << "45:30:15.0" << angle;
        QTest::newRow("dms wrapped") << "405:30:15.0" << angle;
        QTest::newRow("packed beyond a turn") << "405.3015" << 360.0 + angle;
        QTest::newRow("negative dms") << "-0:30" << 359.5;
    }

    void packedAndDmsAzimuths()
    {
        QFETCH(QString, azimuth);
        QFETCH(double, degrees);
        open(QByteArray());
        Model model;
        typeStart(model, 1);
        type(model, 0, Model::AzimuthColumn, azimuth);
        int row = -1, column = -1;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(text(model, 0, Model::AzimuthColumn), azimuth);
        QCOMPARE(model.applyRows(), -1);
        QVERIFY(near(model.elements().at(0).getBeginAzimuth().toDegree(), degrees, 1e-9));
    }

    void roadRowsShowTheirSide()
    {
        Pelko::Road::HorizontalElementConfiguration elements = HorizontalRoads::lineArcLine();
        elements.set(0,
                     HorizontalElement::createLine(Pelko::Corvex::Angle(M_PI / 2 + 1e-13), 100.0,
                                                   Pelko::Corvex::Point(1000.0, 2000.0), 0.0));
        openElements(elements);
        Model model;
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.headerData(8, Qt::Horizontal).toString(), QStringLiteral("Deflection"));
        QCOMPARE(text(model, 1, Model::TypeColumn), QStringLiteral("Arc"));
        QCOMPARE(text(model, 1, Model::StartRadiusColumn), QStringLiteral("300.000"));
        QCOMPARE(text(model, 1, Model::DeflectionColumn), QStringLiteral("Left"));
        QCOMPARE(text(model, 0, Model::StartRadiusColumn), infinity);
        QCOMPARE(model.data(model.index(1, Model::StartRadiusColumn), Qt::EditRole), QVariant(-300.0));
        QCOMPARE(model.data(model.index(0, Model::AzimuthColumn), Qt::EditRole).toString(),
                 QStringLiteral("90"));
        QCOMPARE(model.data(model.index(0, Model::AzimuthColumn), Qt::CheckStateRole), QVariant(Qt::Checked));
        QCOMPARE(model.data(model.index(1, Model::NorthColumn), Qt::CheckStateRole), QVariant(Qt::Unchecked));
        QCOMPARE(model.data(model.index(1, Model::LengthColumn), Qt::ToolTipRole).toString(),
                 QStringLiteral("element length"));
        QVERIFY(model.data(model.index(1, Model::MileageColumn), Qt::BackgroundRole).isValid());
        QVERIFY(!(model.flags(model.index(1, Model::MileageColumn)) & Qt::ItemIsEditable));
        QVERIFY(model.flags(model.index(1, Model::NorthColumn)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(model.flags(model.index(1, Model::TypeColumn)) & Qt::ItemIsEditable));

        // Editing one radius of the left arc keeps it turning left.
        type(model, 1, Model::EndRadiusColumn, "-350");
        QVERIFY(model.isTextRowMode());
        QCOMPARE(text(model, 1, Model::StartRadiusColumn), QStringLiteral("300.000"));
        QCOMPARE(model.data(model.index(1, Model::StartRadiusColumn), Qt::EditRole).toString(),
                 QStringLiteral("-300.000"));
        QCOMPARE(text(model, 1, Model::TypeColumn), QStringLiteral("Spiral"));
        QCOMPARE(text(model, 1, Model::DeflectionColumn), QStringLiteral("Left"));
        // Choosing the side turns the radii with it.
        type(model, 1, Model::DeflectionColumn, int(Pelko::Road::TurnRight));
        QCOMPARE(text(model, 1, Model::StartRadiusColumn), QStringLiteral("300.000"));
        // A typed radius keeps the digits typed.
        QCOMPARE(text(model, 1, Model::EndRadiusColumn), QStringLiteral("350"));
        type(model, 1, Model::StartRadiusColumn, "350");
        QCOMPARE(text(model, 1, Model::DeflectionColumn), QStringLiteral("Right"));

        int row = -1, column = -1;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(model.applyRows(), -1);
        QVERIFY(model.applyChanges());
        QCOMPARE(alignment()->getElements().at(0).getBeginPoint().getX(), 1000.0);
        QCOMPARE(alignment()->getElements().at(1).getRurnDirection(), Pelko::Road::TurnRight);
    }

    // A left curve's radius shows as its magnitude whether the table holds the road's rows, an edit
    // waiting for Apply, or the rows applied and read again; the side column says it turns left. A
    // radius typed or pasted without a sign keeps the row's side, with a sign it sets it.
    void leftRadiusShownOneWay()
    {
        openElements(HorizontalRoads::lineArcLine());
        Model model;
        const auto shows = [&](const QString& radius) {
            QCOMPARE(text(model, 1, Model::StartRadiusColumn), radius);
            QCOMPARE(text(model, 1, Model::EndRadiusColumn), radius);
            QCOMPARE(text(model, 1, Model::DeflectionColumn), QStringLiteral("Left"));
        };
        shows(QStringLiteral("300.000"));

        // An edit elsewhere makes every row a text row.
        type(model, 2, Model::LengthColumn, "60");
        QVERIFY(model.isTextRowMode());
        shows(QStringLiteral("300.000"));
        QCOMPARE(model.copyCells(1, Model::StartRadiusColumn, 1, 2).first(),
                 QStringList({ "300.000", "300.000" }));

        type(model, 1, Model::EndRadiusColumn, "450");
        type(model, 1, Model::StartRadiusColumn, " 450");
        shows(QStringLiteral("450"));
        QCOMPARE(text(model, 1, Model::TypeColumn), QStringLiteral("Arc"));
        model.pasteCells(1, Model::StartRadiusColumn, { { "450.0", "450.0" } });
        shows(QStringLiteral("450.0"));

        int row = -1, column = -1;
        QVERIFY(model.checkRows(row, column));
        shows(QStringLiteral("450.0"));
        QCOMPARE(model.applyRows(), -1);
        QVERIFY(model.applyChanges());
        QVERIFY(!model.isTextRowMode());
        shows(QStringLiteral("450.000"));
        QCOMPARE(alignment()->getElements().at(1).getRurnDirection(), Pelko::Road::TurnLeft);
        QVERIFY(near(alignment()->getElements().at(1).getBeginRadius(), 450.0));
        model.reload();
        shows(QStringLiteral("450.000"));

        // A sign of its own: a right row typed with a minus turns left; a left one typed with a plus
        // turns right.
        type(model, 1, Model::DeflectionColumn, int(Pelko::Road::TurnRight));
        QCOMPARE(text(model, 1, Model::StartRadiusColumn), QStringLiteral("450.000"));
        type(model, 1, Model::StartRadiusColumn, "-400");
        type(model, 1, Model::EndRadiusColumn, "-400");
        shows(QStringLiteral("400"));
        type(model, 1, Model::StartRadiusColumn, "+400");
        type(model, 1, Model::EndRadiusColumn, "+400");
        QCOMPARE(text(model, 1, Model::DeflectionColumn), QStringLiteral("Right"));
        QCOMPARE(text(model, 1, Model::StartRadiusColumn), QStringLiteral("+400"));
        // Text that is no number shows as typed.
        type(model, 1, Model::EndRadiusColumn, "-4oo");
        QCOMPARE(text(model, 1, Model::EndRadiusColumn), QStringLiteral("-4oo"));
    }

    // A first element stored without its begin marked as given keeps its place when rows are written.
    void unfixedFirstElementKeepsItsPlace()
    {
        auto element = [](int type, double x1, double y1, double l1, double x2, double y2, double length) {
            return "        <element>\n" + HorizontalRoads::value("type", type)
                + HorizontalRoads::value("x1", x1) + HorizontalRoads::value("y1", y1)
                + HorizontalRoads::value("l1", l1) + HorizontalRoads::value("x2", x2)
                + HorizontalRoads::value("y2", y2) + HorizontalRoads::value("angle1", 0)
                + HorizontalRoads::value("angle2", 0) + HorizontalRoads::value("rou1", 0)
                + HorizontalRoads::value("rou2", 0) + HorizontalRoads::value("length", length)
                + HorizontalRoads::value("mode", 0) + HorizontalRoads::value("pz", 1)
                + "        </element>\n";
        };
        open("    <HorizontalAlignment>\n        <type>0</type>\n" + element(1, 500, 700, 0, 600, 700, 100)
             + element(1, 600, 700, 100, 650, 700, 50) + "    </HorizontalAlignment>\n");
        Model model;
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(0, Model::NorthColumn), Qt::CheckStateRole), QVariant(Qt::Unchecked));
        type(model, 1, Model::LengthColumn, "60");
        // Its tick boxes show what is stored, also once the rows are typed.
        QCOMPARE(model.data(model.index(0, Model::NorthColumn), Qt::CheckStateRole), QVariant(Qt::Unchecked));
        int row = -1, column = -1;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(model.applyRows(), -1);
        QVERIFY(model.applyChanges());
        const auto elements = alignment()->getElements();
        QVERIFY(!elements.at(0).isBeginPointFixed() && !elements.at(0).isBeginAzimuthFixed());
        QCOMPARE(elements.at(0).getBeginPoint().getX(), 500.0);
        QCOMPARE(elements.at(0).getBeginPoint().getY(), 700.0);
        QCOMPARE(elements.at(1).getEndPoint().getX(), 660.0);
    }

    void pasteAndCopyBlocks()
    {
        openElements(HorizontalRoads::lineArcLine());
        Model model;
        QCOMPARE(model.copyCells(1, 0, 1, 9).first(),
                 QStringList({ "Arc", "K0+100.000", "300.000", "300.000", text(model, 1, 4), "100.000",
                               text(model, 1, 6), text(model, 1, 7), "Left" }));
        QVERIFY(model.copyCells(2, 0, 2, 1).isEmpty());
        QVERIFY(model.copyCells(0, 5, 1, 5).isEmpty());

        for (int column : { 0, 1, 8 })
            model.pasteCells(0, column, { { "1", "2" } });
        QVERIFY(!model.isTextRowMode());

        model.pasteCells(
            2, 2,
            { { "-250", "-250", "10", "20", "30", "40", "50", "60" }, { "", "", "", "77" }, { "400" } });
        QVERIFY(model.isTextRowMode());
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(text(model, 2, Model::TypeColumn), QStringLiteral("Arc"));
        QCOMPARE(text(model, 2, Model::DeflectionColumn), QStringLiteral("Left"));
        QCOMPARE(text(model, 2, Model::EastColumn), QStringLiteral("40"));
        QCOMPARE(text(model, 3, Model::LengthColumn), QStringLiteral("77"));
        QCOMPARE(text(model, 4, Model::TypeColumn), QStringLiteral("Spiral"));
        QCOMPARE(text(model, 4, Model::LengthColumn), QStringLiteral("100.000"));

        // Emptied and applied, the road's chain is empty.
        model.removeElements(0, model.rowCount());
        QCOMPARE(model.applyRows(), -1);
        QVERIFY(model.applyChanges());
        QCOMPARE(alignment()->getElements().size(), 0u);
    }

    // A refused Apply leaves the working copy whole; the document save then writes nothing.
    void refusedApplyChangesNothing()
    {
        openElements(HorizontalRoads::lineArcLine());
        const QString path = Trelvin::instance()->path();
        const QByteArray before = RoadFiles::read(path);
        Model model;
        type(model, 0, Model::LengthColumn, "120");
        type(model, 2, Model::StartRadiusColumn, "0.0005");
        type(model, 2, Model::EndRadiusColumn, "0.0005");
        int row = -1, column = -1;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(model.applyRows(), 2);
        QCOMPARE(model.elements().size(), 3u);
        QCOMPARE(model.elements().at(0).getLength(), 100.0);

        QVERIFY(!Trelvin::instance()->save());
        QCOMPARE(RoadFiles::read(path), before);
        QCOMPARE(alignment()->getElements().at(0).getLength(), 100.0);
        QCOMPARE(alignment()->getEndStation(), 250.0);

        type(model, 2, Model::StartRadiusColumn, infinity);
        type(model, 2, Model::EndRadiusColumn, "");
        QVERIFY(Trelvin::instance()->save());
        QCOMPARE(alignment()->getEndStation(), 270.0);
    }

    void typedRowsDoNotFollowIntoAnotherRoad()
    {
        openElements(HorizontalRoads::lineArcLine());
        Model model;
        type(model, 0, Model::LengthColumn, "1");
        model.appendElements(2);
        openElements(HorizontalRoads::chainWithoutPis());
        QVERIFY(!model.isTextRowMode());
        QVERIFY(!model.hasUnwrittenEdits());
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(text(model, 1, Model::TypeColumn), QStringLiteral("Spiral"));

        // Saved untouched, the chain without a PI form stays as it is.
        QVERIFY(Trelvin::instance()->save());
        QCOMPARE(alignment()->getDataSourceType(), int(Pelko::Road::ElementsDataSource));
        QCOMPARE(alignment()->getElements().size(), 3u);
    }

    void dialogElementsGoToTheShownRows()
    {
        openElements(HorizontalRoads::lineArcLine());
        Model model;
        const HorizontalElement line = HorizontalElement::createLine(
            Pelko::Corvex::Angle(std::nan("")), 5.0, Pelko::Corvex::Point::invalid(), std::nan(""));
        model.insertElement(1, line);
        QCOMPARE(model.elements().size(), 4u);
        model.setElement(3, line);
        QCOMPARE(text(model, 3, Model::LengthColumn), QStringLiteral("5.000"));
        model.insertElements(0, 1);
        QCOMPARE(text(model, 0, Model::AzimuthColumn), QStringLiteral("0:00:00.00000"));
        type(model, 1, Model::LengthColumn, "150");
        model.appendElement(line);
        QCOMPARE(model.rowCount(), 6);
        QCOMPARE(text(model, 5, Model::LengthColumn), QStringLiteral("5.000"));
    }
};

TRELVIN_TEST_MAIN(TestElementTableModel)
#include "test_elementtablemodel.moc"
