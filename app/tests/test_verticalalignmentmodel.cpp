#include "document/trelvin.h"
#include "profile/verticalalignmenttablemodel.h"
#include "support/roadfiles.h"
#include "test_verticalroads.h"

#include <road/roadsurface.h>
#include <road/verticalalignment.h>

#include <qttestmain.h>

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

using VerticalRoads::crest;
using VerticalRoads::profile;
using Zemko::Trelvin::Trelvin;
using Zemko::Trelvin::VerticalAlignmentTableModel;
using Result = Zemko::Trelvin::VerticalAlignmentTableModel::EditResult;

namespace {

QStringList rowTexts(const VerticalAlignmentTableModel& model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}

void type(VerticalAlignmentTableModel& model, int row, const QStringList& texts)
{
    for (int column = 0; column < texts.size(); ++column)
        QVERIFY(model.setData(model.index(row, column), texts.at(column)));
}

double elevation(double station)
{
    bool ok = false;
    const double value = Trelvin::instance()->road()->getVerticalAligment().calcElevation(station, &ok);
    return ok ? value : std::nan("");
}

} // namespace

class TestVerticalAlignmentModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowsOfTheRoad();
    void typedRowsBecomeParabolas();
    void checkFailures_data();
    void checkFailures();
    void endRowsNeedNoRadius();
    void appendRefusals();
    void refusedApplyKeepsTheProfile();
    void documentSaveWritesTypedRowsInAReset();
    void roadGetsItsOwnCopy();
    void overlappedStationsRoundTrip();
    void equationsReadAtEachConversion();
    void untouchedRowsKeepTheirNumbers();
    void copyAndPaste();
    void insertAndRemove();
    void setElement();
    void typedRowsDroppedOnRoadChange();

private:
    QString writeRoad(const QByteArray& parts, const QString& name = QStringLiteral("road.rod"))
    {
        return folder.write(parts, name);
    }

    VerticalRoads::Folder folder;
};

void TestVerticalAlignmentModel::init()
{
    folder.renew();
    QVERIFY(folder.isValid());
}

void TestVerticalAlignmentModel::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestVerticalAlignmentModel::rowsOfTheRoad()
{
    VerticalAlignmentTableModel model;
    QAbstractItemModelTester tester(&model);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.isTextRowMode());
    const QStringList titles { "Mileage", "Height", "Radius", "In", "Out", "Tangent In", "Tangent Out" };
    for (int column = 0; column < titles.size(); ++column)
        QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), titles.at(column));
    QVERIFY(!model.headerData(7, Qt::Horizontal).isValid());

    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));
    QCOMPARE(model.rowCount(), 3);
    const QString straight(QChar(0x221E));
    QCOMPARE(rowTexts(model, 0),
             QStringList({ "K0+000.000", "100.000", straight, "0.00%", "2.00%", "0.000", "0.000" }));
    QCOMPARE(rowTexts(model, 1),
             QStringList({ "K0+100.000", "102.000", "3000.000", "2.00%", "-1.00%", "45.000", "45.000" }));
    // Editors start from full numbers; a PI without a curve from an empty radius.
    QCOMPARE(model.index(1, 1).data(Qt::EditRole).toDouble(), 102.0);
    QCOMPARE(model.index(1, 2).data(Qt::EditRole).toDouble(), 3000.0);
    QCOMPARE(model.index(0, 2).data(Qt::EditRole).toString(), QString());
    QVERIFY(!model.index(1, 3).data(Qt::EditRole).isValid());

    const Qt::ItemFlags readOnly = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    for (int column = 0; column < 7; ++column) {
        QCOMPARE(model.flags(model.index(0, column)), column < 3 ? readOnly | Qt::ItemIsEditable : readOnly);
        const QVariant background = model.index(0, column).data(Qt::BackgroundRole);
        QCOMPARE(background.isValid(), column >= 3);
    }
    QCOMPARE(model.index(0, 3).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::lightGray));

    // The computed columns stay grey and closed in text rows too.
    QVERIFY(model.setData(model.index(0, 1), "100.5"));
    QVERIFY(model.isTextRowMode());
    QCOMPARE(model.index(2, 6).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::lightGray));
    QVERIFY(!model.setData(model.index(1, 3), "5%"));
    QCOMPARE(rowTexts(model, 1),
             QStringList({ "K0+100.000", "102.000", "3000.000", "2.00%", "-1.00%", "45.000", "45.000" }));
}

void TestVerticalAlignmentModel::typedRowsBecomeParabolas()
{
    VerticalAlignmentTableModel model;
    QAbstractItemModelTester tester(&model);
    const QString path = writeRoad(QByteArray());
    QVERIFY(Trelvin::instance()->openRoad(path));

    model.appendElements(3);
    QVERIFY(model.isTextRowMode());
    QCOMPARE(model.rowCount(), 3);
    type(model, 0, { "0", "100", "" });
    type(model, 1, { "K0+100", "102", "3000" });
    type(model, 2, { "200", "101" });
    QVERIFY(model.hasUnwrittenEdits());

    int row = 0;
    int column = 0;
    Result result = model.checkRows(row, column);
    QVERIFY(result.ok);
    QCOMPARE(row, -1);
    QCOMPARE(column, -1);
    QCOMPARE(model.applyRows(result), -1);
    QVERIFY(result.ok);

    const Pelko::Road::VerticalAlignment working = model.verticalAlignment();
    QCOMPARE(working.size(), 3u);
    const Pelko::Road::VerticalElement middle = working.getAt(1);
    QCOMPARE(middle.getPoi().gradeIn, 0.02);
    QCOMPARE(middle.getPoi().gradeOut, -0.01);
    QVERIFY(std::fabs(middle.getInTangent() - 45.0) < 1e-9);
    QVERIFY(std::fabs(middle.getOutTagent() - 45.0) < 1e-9);
    QCOMPARE(working.getAt(0).getRadius(), 0.0);

    QVERIFY(model.applyChanges());
    QVERIFY(!model.isTextRowMode());
    QVERIFY(!model.hasUnwrittenEdits());
    // On the grade line before the curve, at the PI and on the curve's out side.
    QVERIFY(std::fabs(elevation(50.0) - 101.0) < 1e-9);
    QVERIFY(std::fabs(elevation(100.0) - 101.6625) < 1e-9);
    QVERIFY(std::fabs(elevation(120.0) - (101.8 - 625.0 / 6000.0)) < 1e-9);
    QVERIFY(RoadFiles::read(path).contains("<radius>3000</radius>"));

    model.reload();
    QCOMPARE(rowTexts(model, 1),
             QStringList({ "K0+100.000", "102.000", "3000.000", "2.00%", "-1.00%", "45.000", "45.000" }));
    QCOMPARE(model.index(2, 2).data().toString(), QString(QChar(0x221E)));
}

void TestVerticalAlignmentModel::checkFailures_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<QStringList>("third");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    const QStringList first { "0", "100", "" };
    const QStringList third { "3000", "101", "" };
    QTest::newRow("station not a number")
        << QStringList { "K0+x", "100", "" } << QStringList { "1500", "102", "3000" } << third
        << "Invalid station number!" << 0 << 0;
    QTest::newRow("station empty") << first << QStringList { "", "102", "3000" } << third
                                   << "Invalid station number!" << 1 << 0;
    // The road skips the stations between 1000 and 1200.
    QTest::newRow("station in the gap of a short equation")
        << first << QStringList { "1100", "102", "3000" } << third << "Given station does not exist!" << 1
        << 0;
    QTest::newRow("elevation not a number")
        << first << QStringList { "1500", "high", "3000" } << third << "Invalid elevation number!" << 1 << 1;
    QTest::newRow("elevation with a group separator")
        << first << QStringList { "1500", "1,102", "3000" } << third << "Invalid elevation number!" << 1 << 1;
    QTest::newRow("inner radius empty")
        << first << QStringList { "1500", "102", "" } << third << QString() << 1 << 2;
    QTest::newRow("inner radius not a number")
        << first << QStringList { "1500", "102", "big" } << third << QString() << 1 << 2;
    QTest::newRow("inner radius negative")
        << first << QStringList { "1500", "102", "-3000" } << third << QString() << 1 << 2;
    QTest::newRow("end radius negative") << first << QStringList { "1500", "102", "3000" }
                                         << QStringList { "3000", "101", "-5" } << QString() << 2 << 2;
}

void TestVerticalAlignmentModel::checkFailures()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QStringList, third);
    QFETCH(QString, message);
    QFETCH(int, row);
    QFETCH(int, column);

    VerticalAlignmentTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(RoadFiles::equations(1000, 1200))));
    model.appendElements(3);
    type(model, 0, first);
    type(model, 1, second);
    type(model, 2, third);

    int failedRow = 0;
    int failedColumn = 0;
    const Result result = model.checkRows(failedRow, failedColumn);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, message);
    QCOMPARE(failedRow, row);
    QCOMPARE(failedColumn, column);
    // The texts stay for correction.
    QCOMPARE(model.index(1, 0).data().toString(), second.at(0));
    QCOMPARE(model.index(1, 2).data().toString(), second.at(2));
}

void TestVerticalAlignmentModel::endRowsNeedNoRadius()
{
    VerticalAlignmentTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(QByteArray())));

    // A road-copy table checks and applies nothing.
    int row = 0;
    int column = 0;
    QVERIFY(model.checkRows(row, column).ok);
    Result result;
    QCOMPARE(model.applyRows(result), -1);

    model.appendElements(2);
    type(model, 0, { "0", "100", "" });
    type(model, 1, { "100", "101", "junk" });
    QVERIFY(model.checkRows(row, column).ok);
    QCOMPARE(model.applyRows(result), -1);
    QCOMPARE(model.verticalAlignment().getAt(0).getRadius(), 0.0);
    QCOMPARE(model.verticalAlignment().getAt(1).getRadius(), 0.0);
    QVERIFY(model.applyChanges());
    model.reload();
    QCOMPARE(model.index(0, 2).data().toString(), QString(QChar(0x221E)));
}

void TestVerticalAlignmentModel::appendRefusals()
{
    QCOMPARE(VerticalAlignmentTableModel::modifyResultText(1), QStringLiteral("Overlap previous!"));
    QCOMPARE(VerticalAlignmentTableModel::modifyResultText(2), QStringLiteral("Overlap next!"));
    QCOMPARE(VerticalAlignmentTableModel::modifyResultText(3), QStringLiteral("Less than previous!"));
    QCOMPARE(VerticalAlignmentTableModel::modifyResultText(4), QStringLiteral("Greater than next!"));
    QCOMPARE(VerticalAlignmentTableModel::modifyResultText(0), QString());
    QCOMPARE(VerticalAlignmentTableModel::modifyResultText(5), QString());

    VerticalAlignmentTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(QByteArray())));
    int row = 0;
    int column = 0;
    Result result;

    // Stations out of order.
    model.appendElements(3);
    type(model, 0, { "0", "100", "" });
    type(model, 1, { "200", "102", "3000" });
    type(model, 2, { "100", "101", "" });
    QVERIFY(model.checkRows(row, column).ok);
    QCOMPARE(model.applyRows(result), 2);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, QStringLiteral("Less than previous!"));

    // A curve so long that it starts before the road does.
    type(model, 1, { "100", "110", "20000" });
    type(model, 2, { "150", "100", "20000" });
    model.appendElements(1);
    type(model, 3, { "300", "100", "" });
    QVERIFY(model.checkRows(row, column).ok);
    QCOMPARE(model.applyRows(result), 2);
    QCOMPARE(result.message, QStringLiteral("Overlap previous!"));
    QCOMPARE(model.verticalAlignment().size(), 0u);
}

void TestVerticalAlignmentModel::refusedApplyKeepsTheProfile()
{
    VerticalAlignmentTableModel model;
    const QString path = writeRoad(crest());
    QVERIFY(Trelvin::instance()->openRoad(path));
    const QByteArray file = RoadFiles::read(path);

    QVERIFY(model.setData(model.index(2, 0), "50"));
    int row = 0;
    int column = 0;
    Result result = model.checkRows(row, column);
    QVERIFY(result.ok);
    QCOMPARE(model.applyRows(result), 2);

    // The working copy is whole, not cut at the refused row.
    QCOMPARE(model.verticalAlignment().size(), 3u);
    QCOMPARE(model.verticalAlignment().getAt(2).getPoi().station, 200.0);

    // The rows that do not check keep the document from saving; nothing of the profile is lost.
    QVERIFY(!Trelvin::instance()->save());
    QVERIFY(model.isTextRowMode());
    QVERIFY(model.hasUnwrittenEdits());
    QCOMPARE(RoadFiles::read(path), file);
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 3u);

    // Corrected, the same save goes through.
    QVERIFY(model.setData(model.index(2, 0), "250"));
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().getAt(2).getPoi().station, 250.0);
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("K0+250.000"));
}

void TestVerticalAlignmentModel::documentSaveWritesTypedRowsInAReset()
{
    VerticalAlignmentTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));

    // Four typed rows against a working copy of three: the switch back must be a reset.
    model.appendElements(1);
    type(model, 3, { "300", "99", "" });
    QVERIFY(model.setData(model.index(2, 2), "4000"));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(resets.count(), 1);
    QVERIFY(!model.isTextRowMode());
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 4u);
    QCOMPARE(model.index(3, 0).data().toString(), QStringLiteral("K0+300.000"));
    QCOMPARE(model.index(2, 2).data().toString(), QStringLiteral("4000.000"));

    // A clean model writes nothing on the next save.
    Pelko::Road::VerticalAlignment empty;
    Trelvin::instance()->road()->setVerticalAlignment(empty);
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 0u);
}

void TestVerticalAlignmentModel::roadGetsItsOwnCopy()
{
    VerticalAlignmentTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));
    QSignalSpy announced(Trelvin::instance(), &Trelvin::dataChanged);

    // Rows removed in road-copy mode are written as they stand, without typed rows.
    model.removeElements(1, 1);
    QVERIFY(!model.isTextRowMode());
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 3u);
    QVERIFY(model.applyChanges());
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 2u);
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.at(0).at(0).value<DataType::Categories>(),
             DataType::Categories(DataType::VerticalAlignment));

    // Later removals reach the road only through the next write.
    model.removeElements(0, 5);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 2u);

    // Typed rows all deleted write an empty profile.
    model.appendElements(1);
    model.removeElements(0, 1);
    QVERIFY(model.isTextRowMode());
    QVERIFY(model.applyChanges());
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 0u);

    Trelvin::instance()->closeRoad();
    QVERIFY(!model.applyChanges());
}

void TestVerticalAlignmentModel::overlappedStationsRoundTrip()
{
    VerticalAlignmentTableModel model;
    // Stations 1000 to 1200 occur twice; continuous 1300 is the second 1100.
    QVERIFY(Trelvin::instance()->openRoad(
        writeRoad(RoadFiles::equations(1200, 1000)
                  + profile({ { 900, 50, 0 }, { 1300, 54, 2000 }, { 1600, 52, 0 } }))));
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("K1+100.000A"));
    QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("K1+400.000"));

    QVERIFY(model.setData(model.index(0, 1), "50.5"));
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("K1+100.000A"));
    int row = 0;
    int column = 0;
    Result result = model.checkRows(row, column);
    QVERIFY(result.ok);
    // Checked twice, the typed text reads the same station.
    QVERIFY(model.checkRows(row, column).ok);
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("K1+100.000A"));
    QCOMPARE(model.applyRows(result), -1);
    QCOMPARE(model.verticalAlignment().getAt(1).getPoi().station, 1300.0);
    QCOMPARE(model.verticalAlignment().getAt(2).getPoi().station, 1600.0);

    // Without the "A" the first occurrence is meant.
    QVERIFY(model.setData(model.index(1, 0), "K1+100"));
    QVERIFY(model.checkRows(row, column).ok);
    QCOMPARE(model.applyRows(result), -1);
    QCOMPARE(model.verticalAlignment().getAt(1).getPoi().station, 1100.0);
}

void TestVerticalAlignmentModel::equationsReadAtEachConversion()
{
    VerticalAlignmentTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));
    QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("K0+200.000"));

    // The equations page hands the road new equations without telling anyone.
    Pelko::Road::StationsEquationConfiguration equations;
    equations.appendEquation(Pelko::Road::StationsEquation(150, 1150));
    Trelvin::instance()->road()->setStationsEquations(equations);
    QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("K1+200.000"));
    QCOMPARE(model.stationsEquations().getEquationSize(), 1u);

    QVERIFY(model.setData(model.index(1, 1), "102.5"));
    int row = 0;
    int column = 0;
    Result result = model.checkRows(row, column);
    QVERIFY(result.ok);
    QCOMPARE(model.applyRows(result), -1);
    QCOMPARE(model.verticalAlignment().getAt(2).getPoi().station, 200.0);
}

void TestVerticalAlignmentModel::untouchedRowsKeepTheirNumbers()
{
    VerticalAlignmentTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(
        writeRoad(profile({ { 0, 100.12345, 0 }, { 100, 102.98765, 3000.4567 }, { 200, 101, 0 } }))));
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("100.123"));

    // One cell typed: the others keep the road's numbers, not their rounded texts.
    QVERIFY(model.setData(model.index(2, 1), "101.0004"));
    int row = 0;
    int column = 0;
    Result result = model.checkRows(row, column);
    QVERIFY(result.ok);
    QCOMPARE(model.applyRows(result), -1);
    const Pelko::Road::VerticalAlignment working = model.verticalAlignment();
    QCOMPARE(working.getAt(0).getPoi().elevation, 100.12345);
    QCOMPARE(working.getAt(1).getPoi().elevation, 102.98765);
    QCOMPARE(working.getAt(1).getRadius(), 3000.4567);
    QCOMPARE(working.getAt(2).getPoi().elevation, 101.0004);
    // The typed text stays as typed.
    QCOMPARE(model.index(2, 1).data().toString(), QStringLiteral("101.0004"));

    // A PI without a curve between two others stays one; its infinity sign reads as no curve.
    QVERIFY(Trelvin::instance()->openRoad(
        writeRoad(profile({ { 0, 100, 0 }, { 100, 102, 0 }, { 200, 101, 0 } }), "corner.rod")));
    QCOMPARE(model.index(1, 2).data().toString(), QString(QChar(0x221E)));
    QVERIFY(model.setData(model.index(2, 1), "101.5"));
    QVERIFY(model.setData(model.index(1, 2), "500"));
    QVERIFY(model.setData(model.index(1, 2), QString(QChar(0x221E))));
    QVERIFY(model.checkRows(row, column).ok);
    QCOMPARE(model.applyRows(result), -1);
    QCOMPARE(model.verticalAlignment().getAt(1).getRadius(), 0.0);
}

void TestVerticalAlignmentModel::copyAndPaste()
{
    VerticalAlignmentTableModel model;
    QAbstractItemModelTester tester(&model);
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));

    QCOMPARE(model.copyCells(1, 1, 2, 3),
             QList<QStringList>(
                 { { "102.000", "3000.000", "2.00%" }, { "101.000", QString(QChar(0x221E)), "-1.00%" } }));
    QVERIFY(model.copyCells(-1, 0, 1, 1).isEmpty());
    QVERIFY(model.copyCells(0, -1, 1, 1).isEmpty());
    QVERIFY(model.copyCells(2, 0, 2, 1).isEmpty());
    QVERIFY(model.copyCells(0, 5, 1, 3).isEmpty());
    QCOMPARE(model.copyCells(0, 6, 1, 1), QList<QStringList>({ { "0.000" } }));

    // Computed columns take no paste.
    model.pasteCells(0, 3, { { "1", "2" } });
    QVERIFY(!model.isTextRowMode());

    // Texts beyond Radius are dropped; lines beyond the last row add rows.
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    model.pasteCells(2, 0, { { "250", "103", "500", "9%" }, { "400", "104" } });
    QVERIFY(model.isTextRowMode());
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(rowTexts(model, 2), QStringList({ "250", "103", "500", "-1.00%", "0.00%", "0.000", "0.000" }));
    QCOMPARE(rowTexts(model, 3), QStringList({ "400", "104", "", "", "", "", "" }));
    QVERIFY(changes.count() >= 1);
    QVERIFY(model.hasUnwrittenEdits());

    // From the Height column on.
    model.pasteCells(0, 1, { { "99", "", "x" } });
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("99"));
    QCOMPARE(model.index(0, 2).data().toString(), QString());
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("K0+000.000"));
}

void TestVerticalAlignmentModel::insertAndRemove()
{
    VerticalAlignmentTableModel model;
    QAbstractItemModelTester tester(&model);
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));

    model.insertElements(1, 1);
    QVERIFY(model.isTextRowMode());
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.index(1, 0).data().toString(), QString());
    QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("K0+100.000"));
    model.insertElements(9, 2);
    QCOMPARE(model.rowCount(), 6);
    model.insertElements(-1, 1);
    model.removeElements(4, 9);
    QCOMPARE(model.rowCount(), 4);
    model.removeElements(1, 1);
    model.removeElements(7, 1);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("K0+100.000"));
}

void TestVerticalAlignmentModel::setElement()
{
    VerticalAlignmentTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

    Pelko::Road::VerticalElement::Poi poi;
    poi.station = 120.0;
    poi.elevation = 103.0;
    Result result = model.setElement(1, Pelko::Road::VerticalElement::createSymparabola(poi, 2000.0));
    QVERIFY(result.ok);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("K0+120.000"));

    // An element the profile refuses leaves the row as it was.
    poi.station = 250.0;
    result = model.setElement(1, Pelko::Road::VerticalElement::createSymparabola(poi, 2000.0));
    QVERIFY(!result.ok);
    QVERIFY(!result.message.isEmpty());
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("K0+120.000"));
    QVERIFY(!model.setElement(3, Pelko::Road::VerticalElement::createSymparabola(poi, 0.0)).ok);

    // Among typed rows the element replaces the typed row, to be checked with the others.
    QVERIFY(model.setData(model.index(0, 1), "99"));
    poi.station = 130.0;
    QVERIFY(model.setElement(1, Pelko::Road::VerticalElement::createSymparabola(poi, 2500.0)).ok);
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("K0+130.000"));
    QCOMPARE(model.index(1, 2).data().toString(), QStringLiteral("2500.000"));
}

void TestVerticalAlignmentModel::typedRowsDroppedOnRoadChange()
{
    VerticalAlignmentTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest(), "a.rod")));
    model.appendElements(2);
    QVERIFY(model.isTextRowMode());

    const QString other = writeRoad(profile({ { 0, 10, 0 }, { 50, 11, 0 } }), "b.rod");
    QVERIFY(Trelvin::instance()->openRoad(other));
    QVERIFY(!model.isTextRowMode());
    QVERIFY(!model.hasUnwrittenEdits());
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("11.000"));

    model.appendElements(1);
    Trelvin::instance()->closeRoad();
    QVERIFY(!model.isTextRowMode());
}

TRELVIN_TEST_MAIN(TestVerticalAlignmentModel)
#include "test_verticalalignmentmodel.moc"
