#include "alignment/pointofintersectiontablemodel.h"
#include "document/trelvin.h"
#include "test_horizontalroads.h"

#include <road/horizontalalignment.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/roadsurface.h>

#include <qttestmain.h>

#include <QSignalSpy>

#include <cmath>

using Pelko::Road::PointOfIntersection;
using Zemko::Trelvin::ElementCollection;
using Zemko::Trelvin::PointOfIntersectionEdit;
using Zemko::Trelvin::PointOfIntersectionTableModel;
using Zemko::Trelvin::Trelvin;
using Model = PointOfIntersectionTableModel;

namespace {

const QString infinity(QChar(0x221E));

QString text(const Model& model, int row, int column)
{
    return model.data(model.index(row, column)).toString();
}

void type(Model& model, int row, const QList<QPair<int, QString>>& cells)
{
    for (const auto& cell : cells)
        QVERIFY(model.setData(model.index(row, cell.first), cell.second));
}

// Start, one corner of 60 degrees at (400, 0), end: the corner's in and out tangents are 400 long.
void typeCorner(Model& model, const QString& radius, const QString& in, const QString& out)
{
    model.appendElements(3);
    type(model, 0,
         { { Model::StationColumn, "K0+000" }, { Model::NorthColumn, "0" }, { Model::EastColumn, "0" } });
    type(model, 1,
         { { Model::NorthColumn, "400" },
           { Model::EastColumn, "0" },
           { Model::RadiusColumn, radius },
           { Model::InSpiralColumn, in },
           { Model::OutSpiralColumn, out } });
    type(model, 2, { { Model::NorthColumn, "600" }, { Model::EastColumn, "346.41016151377545" } });
}

Pelko::Road::HorizontalAlignment* alignment()
{
    return Trelvin::instance()->road()->getHorizontalAligment();
}

} // namespace

class TestPiTableModel : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

    void open(const QByteArray& parts) { QVERIFY(!roads.open(parts).isEmpty()); }

private slots:
    void rowCollectionSharesAndCopies()
    {
        ElementCollection<PointOfIntersectionEdit> rows;
        QCOMPARE(rows.size(), 0);
        const PointOfIntersectionEdit beyond = rows.at(3);
        QCOMPARE(beyond.curveType(), 0);
        QCOMPARE(beyond.curveTypeText(), QStringLiteral("Point"));
        QVERIFY(beyond.northText().isEmpty() && beyond.stationText().isEmpty());

        PointOfIntersectionEdit row;
        row.setNorthText("1");
        rows.append(row);
        rows.append(rows.at(0));
        row.setNorthText("2");
        rows.insert(7, row);
        rows.insert(0, row);
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.at(0).northText(), QStringLiteral("2"));
        QCOMPARE(rows.at(2).northText(), QStringLiteral("1"));
        QCOMPARE(rows.at(3).northText(), QStringLiteral("2"));

        ElementCollection<PointOfIntersectionEdit> shared = rows;
        shared.removeAt(0);
        rows.set(9, row);
        QCOMPARE(rows.size(), 3);
        shared.clear();
        QCOMPARE(rows.size(), 0);
    }

    void roadPisAsRowsOfEveryKind()
    {
        open(HorizontalRoads::piAlignment(
            HorizontalRoads::pointPi(1000, 2000, 12.5) + HorizontalRoads::spiralPi(1200, 2010, 200, 40, 30)
            + HorizontalRoads::arcPi(1350, 2200, 300) + HorizontalRoads::spiralPi(1400, 2400, 250, 20, 20, 3)
            + HorizontalRoads::pointPi(1500, 2600)));
        Model model;
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(model.columnCount(), 11);
        QCOMPARE(model.headerData(6, Qt::Horizontal).toString(), QStringLiteral("Begin Radius"));
        QCOMPARE(text(model, 0, 0), QStringLiteral("K0+012.500"));
        QCOMPARE(text(model, 0, 1), QStringLiteral("1000.000"));
        for (int column = 3; column < 11; ++column)
            QVERIFY(text(model, 0, column).isEmpty());
        QCOMPARE(text(model, 1, 3), QStringLiteral("40.000"));
        QCOMPARE(text(model, 1, 4), QStringLiteral("200.000"));
        QCOMPARE(text(model, 1, 5), QStringLiteral("30.000"));
        QCOMPARE(text(model, 1, 6), infinity);
        QCOMPARE(text(model, 2, 3), QString());
        QCOMPARE(text(model, 2, 4), QStringLiteral("300.000"));
        QCOMPARE(text(model, 2, 6), QString());
        QVERIFY(!text(model, 2, 8).isEmpty());
        QCOMPARE(text(model, 3, 3), QStringLiteral("20.000"));

        // Road-copy edit values are full numbers; cells that do not apply stay empty.
        QCOMPARE(model.data(model.index(1, 4), Qt::EditRole), QVariant(200.0));
        QCOMPARE(model.data(model.index(1, 6), Qt::EditRole), QVariant(QString()));
        QCOMPARE(model.data(model.index(1, 9), Qt::EditRole), QVariant(QString()));

        QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
        QVERIFY(!(model.flags(model.index(1, 0)) & Qt::ItemIsEditable));
        QVERIFY(model.flags(model.index(1, 7)) & Qt::ItemIsEditable);
        QVERIFY(!(model.flags(model.index(1, 8)) & Qt::ItemIsEditable));
        QVERIFY(model.data(model.index(1, 0), Qt::BackgroundRole).isValid());
        QVERIFY(!model.data(model.index(0, 0), Qt::BackgroundRole).isValid());
        QVERIFY(model.data(model.index(0, 9), Qt::BackgroundRole).isValid());

        const QString tangentIn = text(model, 2, 9);
        // The first edit turns the rows into text: tangents get two decimals, the rest keeps three.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(!model.setData(model.index(1, 0), "K0+100"));
        QVERIFY(model.isTextRowMode());
        QVERIFY(model.setData(model.index(1, 1), "1201"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(model.hasUnwrittenEdits());
        QCOMPARE(text(model, 1, 1), QStringLiteral("1201"));
        QCOMPARE(text(model, 2, 9), QString::number(tangentIn.toDouble(), 'f', 2));
        QCOMPARE(text(model, 0, 4), QString());
        QCOMPARE(text(model, 1, 6), infinity);
        QCOMPARE(text(model, 2, 5), QString());
        QVERIFY(!model.setData(model.index(1, 8), "5"));
    }

    void appendedRowsAndBlocks()
    {
        open(QByteArray());
        Model model;
        QCOMPARE(model.rowCount(), 0);
        model.appendElements(3);
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(model.hasUnwrittenEdits());

        model.pasteCells(0, 1, { { "10", "20", "30", "40", "50", "60", "70", "80" }, { "1", "2" } });
        QCOMPARE(text(model, 0, 1), QStringLiteral("10"));
        QCOMPARE(text(model, 0, 7), QStringLiteral("70"));
        QCOMPARE(text(model, 0, 8), QString());
        QCOMPARE(text(model, 1, 2), QStringLiteral("2"));

        // Rows are added for lines beyond the end; columns 6 and 7 take no paste.
        model.pasteCells(2, 4, { { "300" }, { "400" } });
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(text(model, 3, 4), QStringLiteral("400"));
        model.pasteCells(0, 6, { { "999" } });
        model.pasteCells(0, 0, { { "999" } });
        QCOMPARE(text(model, 0, 6), QStringLiteral("60"));
        QCOMPARE(text(model, 0, 0), QString());

        QCOMPARE(model.copyCells(0, 1, 2, 2), QList<QStringList>({ { "10", "20" }, { "1", "2" } }));
        QVERIFY(model.copyCells(0, 0, 1, 3).isEmpty());
        QVERIFY(model.copyCells(3, 1, 2, 1).isEmpty());
        QVERIFY(model.copyCells(0, 9, 1, 3).isEmpty());

        model.insertElements(1, 2);
        QCOMPARE(model.rowCount(), 6);
        QCOMPARE(text(model, 1, 1), QString());
        model.removeElements(4, 10);
        QCOMPARE(model.rowCount(), 4);
        model.removeElements(7, 1);
        QCOMPARE(model.rowCount(), 4);
    }

    void newRowsArePointThenSpirals()
    {
        open(QByteArray());
        Model model;
        model.appendElements(3);
        int row = -1, column = -1;
        type(model, 0, { { 0, "0" }, { 1, "0" }, { 2, "0" } });
        type(model, 1, { { 1, "1" }, { 2, "1" }, { 4, "300" } });
        type(model, 2, { { 1, "2" }, { 2, "5" } });
        QVERIFY(model.checkRows(row, column));
        // Road-copy insertion adds a spiral corner at the origin.
        Model copy;
        copy.insertElements(0, 1);
        QCOMPARE(copy.pointOfIntersections().at(0).getCurveType(), Pelko::Road::SpiralArcSpiralPoiType);
    }

    void checkFailuresNameTheCell_data()
    {
        QTest::addColumn<int>("cellRow");
        QTest::addColumn<int>("cellColumn");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("failRow");
        QTest::addColumn<int>("failColumn");

        QTest::newRow("station letters") << 0 << 0 << "abc" << 0 << 0;
        QTest::newRow("station in the gap") << 0 << 0 << "K0+155" << 0 << 0;
        QTest::newRow("north letters") << 2 << 1 << "x" << 2 << 1;
        QTest::newRow("east empty") << 1 << 2 << "" << 1 << 2;
        QTest::newRow("east infinite") << 0 << 2 << "inf" << 0 << 2;
        QTest::newRow("radius one") << 1 << 4 << "1" << 1 << 4;
        QTest::newRow("radius empty") << 1 << 4 << " " << 1 << 4;
        QTest::newRow("in spiral letters") << 1 << 3 << "ab" << 1 << 3;
        QTest::newRow("in spiral negative") << 1 << 3 << "-20" << 1 << 3;
        QTest::newRow("out spiral letters") << 1 << 5 << "z" << 1 << 5;
        QTest::newRow("begin radius equals") << 1 << 6 << "200.0005" << 1 << 6;
        QTest::newRow("begin radius typo") << 1 << 6 << "3OO" << 1 << 6;
        QTest::newRow("end radius equals") << 1 << 7 << "199.9995" << 1 << 7;
    }

    void checkFailuresNameTheCell()
    {
        QFETCH(int, cellRow);
        QFETCH(int, cellColumn);
        QFETCH(QString, value);
        QFETCH(int, failRow);
        QFETCH(int, failColumn);

        // A short stations equation leaves 150..160 without stations.
        open(RoadFiles::equations(150, 160));
        Model model;
        typeCorner(model, "200", "40", "40");
        int row = -1, column = -1;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(row, -1);
        QVERIFY(model.setData(model.index(cellRow, cellColumn), value));
        QVERIFY(!model.checkRows(row, column));
        QCOMPARE(row, failRow);
        QCOMPARE(column, failColumn);
    }

    void checkStoresNumbersAndKeepsTypedStation()
    {
        // A long equation: 150..160 occurs twice; "A" picks the second stretch.
        open(RoadFiles::equations(160, 150));
        Model model;
        typeCorner(model, "200", "", "");
        type(model, 0, { { 0, "K0+155A" } });
        type(model, 1, { { 6, infinity }, { 7, "0" } });
        int row = -1, column = -1;
        for (int pass = 0; pass < 2; ++pass) {
            QVERIFY2(model.checkRows(row, column), qPrintable(QString("%1 %2").arg(row).arg(column)));
            QCOMPARE(text(model, 0, 0), QStringLiteral("K0+155A"));
            int code = -1;
            QCOMPARE(model.applyRows(code), -1);
            QCOMPARE(code, 0);
            QCOMPARE(model.pointOfIntersections().at(0).getPoiStation(), 165.0);
        }
        QCOMPARE(text(model, 1, 4), QStringLiteral("200"));
        QCOMPARE(text(model, 1, 3), QString());
        QCOMPARE(text(model, 1, 7), QStringLiteral("0"));
        QCOMPARE(model.pointOfIntersections().at(1).getCurveType(), Pelko::Road::ArcPoiType);

        // One or two rows are plain points: only station, N and E are read.
        Model two;
        two.appendElements(2);
        type(two, 0, { { 0, "K0+010" }, { 1, "1" }, { 2, "2" }, { 4, "junk" } });
        type(two, 1, { { 1, "3" }, { 2, "4" }, { 3, "junk" } });
        QVERIFY(two.checkRows(row, column));
        int code = 0;
        QCOMPARE(two.applyRows(code), -1);
        QCOMPARE(two.pointOfIntersections().size(), 2u);
        QCOMPARE(two.pointOfIntersections().at(1).getCurveType(), Pelko::Road::PointPoiType);
    }

    void applyArcCorner()
    {
        open(QByteArray());
        Model model;
        typeCorner(model, "200", "", "0");
        int row = -1, column = -1, code = -1;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(model.applyRows(code), -1);
        QVERIFY(model.applyChanges());
        QVERIFY(!model.isTextRowMode());
        QVERIFY(!model.hasUnwrittenEdits());

        QCOMPARE(alignment()->getDataSourceType(), int(Pelko::Road::PoisDataSource));
        const PointOfIntersection corner = alignment()->getPointOfIntersections().at(1);
        QCOMPARE(corner.getCurveType(), Pelko::Road::ArcPoiType);
        const double deflection = M_PI / 3.0;
        const double tangent = 200.0 * std::tan(deflection / 2.0);
        const double length = 200.0 * deflection;
        QVERIFY2(std::fabs(corner.getInTangentLength() - tangent) < 1e-6,
                 qPrintable(QString("%1 %2 %3")
                                .arg(corner.getInTangentLength(), 0, 'g', 17)
                                .arg(tangent, 0, 'g', 17)
                                .arg(corner.getArcLength())));
        QVERIFY(std::fabs(corner.getArcLength() - length) < 1e-6);
        QCOMPARE(text(model, 1, 8), QString::number(length, 'f', 3));
        QCOMPARE(text(model, 1, 9), QString::number(tangent, 'f', 3));

        const auto elements = alignment()->getElements();
        QCOMPARE(elements.size(), 3u);
        QCOMPARE(elements.at(0).getType(), Pelko::Road::LineElementType);
        QCOMPARE(elements.at(1).getType(), Pelko::Road::ArcElementType);
        QVERIFY(std::fabs(elements.at(0).getLength() - (400.0 - tangent)) < 1e-6);
        QVERIFY(std::fabs(elements.at(1).getBeginRadius() - 200.0) < 1e-9);
        QVERIFY(std::fabs(alignment()->getEndStation() - (800.0 - 2.0 * tangent + length)) < 1e-6);
    }

    void applySpiralArcSpiralCorner()
    {
        open(QByteArray());
        Model model;
        typeCorner(model, "200", "40", "40");
        int row = -1, column = -1, code = -1;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(model.applyRows(code), -1);
        QVERIFY(model.applyChanges());

        const PointOfIntersection corner = alignment()->getPointOfIntersections().at(1);
        QCOMPARE(corner.getCurveType(), Pelko::Road::SpiralArcSpiralPoiType);
        const double r = 200.0, ls = 40.0, deflection = M_PI / 3.0;
        const double p = ls * ls / (24.0 * r) - std::pow(ls, 4) / (2688.0 * std::pow(r, 3));
        const double q = ls / 2.0 - std::pow(ls, 3) / (240.0 * r * r);
        const double tangent = (r + p) * std::tan(deflection / 2.0) + q;
        QVERIFY2(std::fabs(corner.getInTangentLength() - tangent) < 1e-4,
                 qPrintable(QString::number(corner.getInTangentLength(), 'f', 6)));
        QVERIFY(std::fabs(corner.getOutTangetLength() - tangent) < 1e-4);
        const double total = corner.getArcLength() + corner.getInSpiralLength() + corner.getOutSpiralLength();
        QVERIFY2(std::fabs(total - (r * deflection + ls)) < 1e-6, qPrintable(QString::number(total, 'f', 9)));

        const auto elements = alignment()->getElements();
        QCOMPARE(elements.size(), 5u);
        QCOMPARE(elements.at(1).getType(), Pelko::Road::SpiralElementType);
        QCOMPARE(elements.at(2).getType(), Pelko::Road::ArcElementType);
        QCOMPARE(elements.at(3).getType(), Pelko::Road::SpiralElementType);
        QVERIFY(std::fabs(elements.at(2).getLength() - (r * deflection - ls)) < 1e-6);
    }

    void savedPisReloadTheSame()
    {
        open(QByteArray());
        const QString path = Trelvin::instance()->path();
        {
            Model model;
            typeCorner(model, "250", "30", "50");
            type(model, 1, { { 6, "900" } });
            int row = -1, column = -1, code = -1;
            QVERIFY(model.checkRows(row, column));
            QCOMPARE(model.applyRows(code), -1);
            QVERIFY(model.applyChanges());
        }
        Trelvin::instance()->closeRoad();
        QVERIFY(Trelvin::instance()->openRoad(path));
        Model model;
        QCOMPARE(alignment()->getDataSourceType(), int(Pelko::Road::PoisDataSource));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(text(model, 1, 4), QStringLiteral("250.000"));
        QCOMPARE(text(model, 1, 3), QStringLiteral("30.000"));
        QCOMPARE(text(model, 1, 5), QStringLiteral("50.000"));
        QCOMPARE(text(model, 1, 6), QStringLiteral("900.000"));
        QCOMPARE(text(model, 1, 7), infinity);
        QCOMPARE(text(model, 2, 2), QStringLiteral("346.410"));
    }

    void unknownKindIsRefused()
    {
        const Model::Creation created
            = Model::createPointOfIntersection(7, Pelko::Corvex::Point(1, 1), 100, 0, 0, 10, 10, 0);
        QVERIFY(!created.first.isValid());
        QCOMPARE(int(created.second), -1);
        QCOMPARE(Model::createPointOfIntersection(3, Pelko::Corvex::Point(1, 1), 100, 0, 0, 10, 10, 0)
                     .first.getCurveType(),
                 Pelko::Road::SpiralSpiralPoiType);
        QCOMPARE(Model::createPointOfIntersection(1, Pelko::Corvex::Point(1, 1), 100, 0, 0, 0, 0, 0).second,
                 PointOfIntersection::NoError);
    }

    // An element road with no PI form, saved without touching the PI table, keeps its elements.
    void documentSaveLeavesAnElementRoadAlone()
    {
        const QString path = roads.openElements(HorizontalRoads::chainWithoutPis());
        QVERIFY(!path.isEmpty());
        QCOMPARE(alignment()->getPointOfIntersections().size(), 0u);
        const double end = alignment()->getEndStation();

        Model model;
        QVERIFY(Trelvin::instance()->save());
        Trelvin::instance()->closeRoad();
        QVERIFY(Trelvin::instance()->openRoad(path));
        QCOMPARE(alignment()->getDataSourceType(), int(Pelko::Road::ElementsDataSource));
        QCOMPARE(alignment()->getElements().size(), 3u);
        QCOMPARE(alignment()->getEndStation(), end);
    }

    // A refused row leaves the PIs as they were, and a document save then refuses to write the rows.
    void refusedApplyChangesNothing()
    {
        open(HorizontalRoads::fourPis());
        const QString path = Trelvin::instance()->path();
        const QByteArray before = RoadFiles::read(path);
        Model model;
        QVERIFY(model.setData(model.index(1, 6), "-200"));
        int row = -1, column = -1, code = 0;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(model.applyRows(code), 1);
        QCOMPARE(code, int(PointOfIntersection::InRadiusEqualsRadius));
        QCOMPARE(model.pointOfIntersections().size(), 4u);
        QCOMPARE(model.pointOfIntersections().at(2).getCurveType(), Pelko::Road::ArcPoiType);

        QVERIFY(!Trelvin::instance()->save());
        QVERIFY(model.isTextRowMode());
        QVERIFY(model.hasUnwrittenEdits());
        QCOMPARE(RoadFiles::read(path), before);
        QCOMPARE(alignment()->getPointOfIntersections().at(1).getCurveType(),
                 Pelko::Road::SpiralArcSpiralPoiType);

        // Fixed, the typed rows are what the save writes.
        QVERIFY(model.setData(model.index(1, 6), "900"));
        QVERIFY(Trelvin::instance()->save());
        QVERIFY(!model.hasUnwrittenEdits());
        QCOMPARE(alignment()->getPointOfIntersections().at(1).getStartRadius(), 900.0);
        QVERIFY(RoadFiles::read(path) != before);
    }

    void typedRowsDoNotFollowIntoAnotherRoad()
    {
        open(HorizontalRoads::fourPis());
        Model model;
        model.appendElements(2);
        QCOMPARE(model.rowCount(), 6);
        open(HorizontalRoads::piAlignment(HorizontalRoads::pointPi(5, 5) + HorizontalRoads::pointPi(50, 50)));
        QVERIFY(!model.isTextRowMode());
        QVERIFY(!model.hasUnwrittenEdits());
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(text(model, 1, 1), QStringLiteral("50.000"));

        // Applying now writes this road's rows, not the ones typed before.
        QVERIFY(model.setData(model.index(1, 2), "60"));
        int row = -1, column = -1, code = 0;
        QVERIFY(model.checkRows(row, column));
        QCOMPARE(model.applyRows(code), -1);
        QVERIFY(model.applyChanges());
        QCOMPARE(alignment()->getPointOfIntersections().size(), 2u);
        QCOMPARE(alignment()->getPointOfIntersections().at(1).getPointOfIntersection().getY(), 60.0);

        model.appendElements(1);
        Trelvin::instance()->closeRoad();
        QVERIFY(!model.isTextRowMode());
        QVERIFY(!model.applyChanges());
    }

    // Road-copy edits go to the model's own copy; the road sees them only when written.
    void workingCopyIsTheModelsOwn()
    {
        open(HorizontalRoads::fourPis());
        Model model;
        model.removeElements(1, 1);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(alignment()->getPointOfIntersections().size(), 4u);
        QVERIFY(model.applyChanges());
        QCOMPARE(alignment()->getPointOfIntersections().size(), 3u);
        model.insertElements(1, 1);
        QCOMPARE(alignment()->getPointOfIntersections().size(), 3u);

        // A PI from the dialog in text-row mode lands among the typed rows.
        model.appendElements(1);
        const int rows = model.rowCount();
        model.appendPointOfIntersection(
            PointOfIntersection::createPoint(Pelko::Corvex::Point(7, 8), 0).first);
        QCOMPARE(model.rowCount(), rows + 1);
        QCOMPARE(text(model, rows, 2), QStringLiteral("8.000"));
        model.setPointOfIntersection(0, PointOfIntersection::createArc(Pelko::Corvex::Point(1, 2), 90).first);
        QCOMPARE(text(model, 0, 4), QStringLiteral("90.000"));
    }
};

TRELVIN_TEST_MAIN(TestPiTableModel)
#include "test_pitablemodel.moc"
