#include "document/trelvin.h"
#include "structures/structuralobjecttablemodel.h"
#include "test_horizontalroads.h"

#include <road/roadsurface.h>
#include <road/structureelementconfiguration.h>

#include <qttestmain.h>

#include <QSignalSpy>

#include <cmath>

using Zemko::Trelvin::StructuralObjectTableModel;
using Zemko::Trelvin::Trelvin;
using Model = StructuralObjectTableModel;

namespace {

QString text(const Model& model, int row, int column)
{
    return model.data(model.index(row, column)).toString();
}

Pelko::Road::StructureElementConfiguration roadStructures()
{
    return Trelvin::instance()->road()->getStructures();
}

} // namespace

class TestStructureTableModel : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

    void open(const QByteArray& parts) { QVERIFY(!roads.open(parts).isEmpty()); }

    // Two structures on a straight road; a long equation repeats 150..160.
    void openTwo()
    {
        open(RoadFiles::equations(160, 150)
             + HorizontalRoads::piAlignment(HorizontalRoads::pointPi(0, 0) + HorizontalRoads::pointPi(500, 0))
             + HorizontalRoads::structures(
                 HorizontalRoads::structure(50, 1, 0, M_PI / 2, 1, 2, 8, 9, 1.5, 0.02)
                 + HorizontalRoads::structure(165, 3, 1, 1.3, 6, 5, 12, 10)));
    }

private slots:
    void rowsShowTheRoadsStructures()
    {
        open(QByteArray());
        Model empty;
        QCOMPARE(empty.rowCount(), 0);
        QCOMPARE(empty.columnCount(), 10);
        QCOMPARE(empty.headerData(9, Qt::Horizontal).toString(), QStringLiteral("Slope(%)"));
        QCOMPARE(empty.headerData(6, Qt::Horizontal).toString(), QStringLiteral("Left Length"));

        openTwo();
        Model model;
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(text(model, 0, 0), QStringLiteral("K0+050.000"));
        QCOMPARE(text(model, 0, 1), QStringLiteral("Circular Culvert"));
        QCOMPARE(text(model, 0, 2), QStringLiteral("SkewAskewBuild"));
        QCOMPARE(text(model, 0, 3), QStringLiteral("90:00:00.00000"));
        QCOMPARE(model.data(model.index(0, 3), Qt::EditRole).toString(), QStringLiteral("90"));
        QCOMPARE(text(model, 0, 6), QStringLiteral("8.000"));
        QCOMPARE(text(model, 0, 8), QStringLiteral("1.500"));
        QCOMPARE(text(model, 0, 9), QStringLiteral("2.00"));
        QCOMPARE(model.data(model.index(0, 9), Qt::EditRole), QVariant(2.0));
        QCOMPARE(text(model, 1, 0), QStringLiteral("K0+155.000A"));
        QCOMPARE(text(model, 1, 2), QStringLiteral("SkewOrthotropicBuild"));
        QCOMPARE(model.data(model.index(1, 1), Qt::EditRole), QVariant(3));
        QVERIFY(!model.cellValue(2, 0, Qt::DisplayRole).isValid());
        QVERIFY(!model.cellValue(0, 10, Qt::DisplayRole).isValid());
        QVERIFY(!model.cellValue(0, 1, Qt::ToolTipRole).isValid());
        QVERIFY(model.flags(model.index(1, 2)) & Qt::ItemIsEditable);
    }

    void cellEditsByColumn()
    {
        openTwo();
        Model model;
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        QVERIFY(!model.setData(model.index(0, 0), "abc"));
        QVERIFY(!model.setData(model.index(0, 0), "K0+050", Qt::DisplayRole));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!model.hasUnwrittenEdits());
        QVERIFY(model.setData(model.index(0, 0), "K0+155A"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(model.hasUnwrittenEdits());
        QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories(DataType::StructuralObject));
        QCOMPARE(model.structures().at(0).getStation(), 165.0);

        QVERIFY(model.setData(model.index(0, 1), 2));
        QVERIFY(!model.setData(model.index(0, 1), 7));
        QCOMPARE(text(model, 0, 1), QStringLiteral("Passageway"));
        QVERIFY(model.setData(model.index(0, 2), 1));
        QVERIFY(model.setData(model.index(0, 3), 45.0));
        QCOMPARE(model.structures().at(0).getAngle().toRadian(), M_PI / 4);
        QVERIFY(model.setData(model.index(1, 3), "45:30:00"));
        QVERIFY(std::fabs(model.structures().at(1).getAngle().toDegree() - 45.5) < 1e-12);
        QVERIFY(!model.setData(model.index(1, 3), "nine"));

        // The slope edits in percent: unchanged it stays 0.02, typed 3 it becomes 0.03.
        QVERIFY(model.setData(model.index(0, 9), model.data(model.index(0, 9), Qt::EditRole)));
        QCOMPARE(model.structures().at(0).getCrossSlope(), 0.02);
        QVERIFY(model.setData(model.index(0, 9), 3.0));
        QCOMPARE(model.structures().at(0).getCrossSlope(), 0.03);
        QVERIFY(model.setData(model.index(0, 4), "2.5"));
        QVERIFY(!model.setData(model.index(0, 5), "wide"));
        QVERIFY(!model.setData(model.index(0, 7), "inf"));
        QCOMPARE(model.structures().at(0).getForwardWidth(), 2.5);
        QCOMPARE(model.structures().at(0).getRightWidth(), 9.0);

        // Nothing reached the road yet.
        QCOMPARE(roadStructures().at(0).getStation(), 50.0);
    }

    void stationsFollowTheRoadsCurrentEquations()
    {
        openTwo();
        Model model;
        Trelvin::instance()->road()->setStationsEquations(Pelko::Road::StationsEquationConfiguration());
        QCOMPARE(text(model, 1, 0), QStringLiteral("K0+165.000"));
        QVERIFY(model.setData(model.index(0, 0), "K0+155"));
        QCOMPARE(model.structures().at(0).getStation(), 155.0);
    }

    void rowsAndBlocks()
    {
        openTwo();
        Model model;
        model.insertElements(1, 1);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(text(model, 1, 0), QStringLiteral("K0+000.000"));
        QCOMPARE(text(model, 1, 1), QStringLiteral("Culvert"));
        QCOMPARE(text(model, 1, 3), QStringLiteral("0:00:00.00000"));
        model.removeElements(1, 1);
        model.appendElements(1);
        QCOMPARE(model.rowCount(), 3);
        model.removeElements(2, 5);
        QCOMPARE(model.rowCount(), 2);

        QVERIFY(model.copyCells(1, 0, 2, 1).isEmpty());
        QVERIFY(model.copyCells(0, 5, 1, 6).isEmpty());
        const QList<QStringList> block = model.copyCells(0, 0, 2, 10);
        QCOMPARE(block.size(), 2);
        QCOMPARE(block.at(1).at(0), QStringLiteral("K0+155.000A"));
        QCOMPARE(block.at(0).at(1), QStringLiteral("Circular_Culvert"));

        // Pasted back one row down: rows are added, the type columns keep their values, the angle's
        // D:M:S text reads as copied, and packed numbers read too.
        model.pasteCells(1, 0, block);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(text(model, 1, 0), QStringLiteral("K0+050.000"));
        QCOMPARE(text(model, 1, 1), QStringLiteral("Overpass"));
        QCOMPARE(text(model, 1, 3), QStringLiteral("90:00:00.00000"));
        QCOMPARE(text(model, 2, 9), QStringLiteral("2.00"));
        QCOMPARE(text(model, 2, 6), QStringLiteral("12.000"));
        QCOMPARE(text(model, 2, 1), QStringLiteral("Culvert"));
        model.pasteCells(2, 3, { { "30.1530", "x", "4", "5", "6", "7", "8", "99", "100" } });
        QCOMPARE(text(model, 2, 3), QStringLiteral("30:15:30.00000"));
        QCOMPARE(text(model, 2, 4), QStringLiteral("6.000"));
        QCOMPARE(text(model, 2, 5), QStringLiteral("4.000"));
        QCOMPARE(text(model, 2, 8), QStringLiteral("7.000"));
        QCOMPARE(text(model, 2, 9), QStringLiteral("8.00"));

        model.pasteCells(0, 1, { { "3" } });
        model.pasteCells(0, 2, { { "1" } });
        QCOMPARE(text(model, 0, 1), QStringLiteral("Circular Culvert"));
        QCOMPARE(model.rowCount(), 3);
    }

    void applyWritesTheRoadAndItsFile()
    {
        openTwo();
        const QString path = Trelvin::instance()->path();
        QSignalSpy announced(Trelvin::instance(), &Trelvin::dataChanged);
        {
            Model model;
            QVERIFY(model.setData(model.index(1, 8), 7.25));
            model.appendElements(1);
            QVERIFY(model.setData(model.index(2, 0), "K0+400"));
            QVERIFY(model.applyChanges());
            QVERIFY(!model.hasUnwrittenEdits());
            // Structures change the plans only: the alignment tables are not told to reload.
            QCOMPARE(announced.count(), 1);
            QCOMPARE(announced.at(0).at(0).value<DataType::Categories>(),
                     DataType::Categories(DataType::StructuralObject));

            // The road has its own copy: a later edit waits for the next Apply.
            QVERIFY(model.setData(model.index(0, 4), 30.0));
            QCOMPARE(roadStructures().at(0).getForwardWidth(), 1.0);
        }
        Trelvin::instance()->closeRoad();
        QVERIFY(Trelvin::instance()->openRoad(path));
        QCOMPARE(roadStructures().size(), 3u);
        QCOMPARE(roadStructures().at(1).getCenterHeight(), 7.25);
        // K0+400 lies after the equation that repeats 10 m.
        QCOMPARE(roadStructures().at(2).getStation(), 410.0);
        QCOMPARE(roadStructures().at(0).getForwardWidth(), 1.0);
    }
};

TRELVIN_TEST_MAIN(TestStructureTableModel)
#include "test_structuretablemodel.moc"
