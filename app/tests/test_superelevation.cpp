#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "section/standardsectionconfigwidget.h"
#include "section/standardsectiontablemodel.h"
#include "section/superelevationpointdialog.h"
#include "section/superelevationpointeditwidget.h"
#include "section/superelevationpointwidget.h"
#include "section/superelevationwideningtablemodel.h"
#include "section/wideningpointeditwidget.h"
#include "support/scriptedprompter.h"
#include "test_standardsectionroads.h"

#include <road/roadsurface.h>
#include <road/standardsection.h>

#include <qttestmain.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>

using Pelko::Road::CrossSectionElement;
using Pelko::Road::CrossSectionElementConfiguration;
using Pelko::Road::SuperelevationMethod;
using Pelko::Road::SuperelevationPoint;
using SectionRoads::child;
using SectionRoads::DialogScript;
using SectionRoads::element;
using SectionRoads::roadSide;
using SectionRoads::rowTexts;
using SectionRoads::section;
using Zemko::Trelvin::CrossSectionEditCache;
using Zemko::Trelvin::SuperelevationPointTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

SuperelevationPointTableModel* pointsOf(const SuperelevationPointEditWidget& editor, int side, int tab)
{
    return qobject_cast<SuperelevationPointTableModel*>(editor.tables(side).at(tab).second);
}

CrossSectionElementConfiguration cachedElement(int side, unsigned index)
{
    return CrossSectionEditCache::instance()->configuration(side).elementConfigurationAt(index);
}

// Fills the point dialog and presses OK (or Next).
DialogScript::Step fillPoint(const QString& station, const QString& slope, const QString& method = QString(),
                             bool next = false)
{
    return [=](QDialog* dialog) {
        child<QLineEdit>(dialog, "leDist")->setText(station);
        child<QLineEdit>(dialog, "leSlope")->setText(slope);
        // As a user picks it, not as the editor presets it.
        if (!method.isEmpty()) {
            auto* methods = child<QComboBox>(dialog, "cbMethod");
            methods->setCurrentIndex(methods->findText(method));
        }
        auto* points = static_cast<SuperelevationPointDialog*>(dialog);
        next ? points->onNext() : points->onOk();
    };
}

} // namespace

class TestSuperelevation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void pointCells();
    void addReplaceRemoveCodes();
    void dialogStations();
    void tabPerElement();
    void appendLoop();
    void editKeepsWhatIsNotChanged();
    void editRefusals();
    void stationsEquation();
    void saveWritesTheCache();
    void documentSaveWritesOnlyEdits();
    void updateMask();
    void mirrorReloadsTheEditors();
    void mirrorThenDocumentSaveKeepsTheMirror();

private:
    SectionRoads::Folder folder;
};

void TestSuperelevation::initTestCase()
{
    CrossSectionEditCache::instance();
}

void TestSuperelevation::init()
{
    QVERIFY(folder.renew());
}

void TestSuperelevation::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestSuperelevation::pointCells()
{
    CrossSectionElementConfiguration lane(CrossSectionElement("lane", 3.5, -2.0, 0.0));
    for (int method : { 0, 1, 2, 3, 7 })
        QVERIFY(lane.addSuperelevationPoint(
            SuperelevationPoint(SuperelevationMethod(method), 100.0 * method, 2.125)));
    SuperelevationPointTableModel model(DataType::SuperelevationPoint, nullptr, lane);
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.rowCount(), 5);
    const QStringList titles { "Vary Type", "Station", "Slope" };
    for (int column = 0; column < 3; ++column)
        QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), titles.at(column));
    QVERIFY(!model.headerData(3, Qt::Horizontal).isValid());
    // Without a road there are no station texts.
    QCOMPARE(rowTexts(model, 0), QStringList({ "Linear", "", "2.13%" }));

    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(RoadFiles::road(RoadFiles::equations(250, 150)))));
    // The road interpolates every method but 2 linearly, and so it is shown.
    QCOMPARE(rowTexts(model, 0), QStringList({ "Linear", "K0+000.000", "2.13%" }));
    QCOMPARE(rowTexts(model, 1), QStringList({ "Linear", "K0+100.000", "2.13%" }));
    QCOMPARE(rowTexts(model, 2), QStringList({ "Cubic Parabola Curve", "K0+200.000", "2.13%" }));
    QCOMPARE(model.cellText(3, 0, true), QStringLiteral("Linear"));
    QCOMPARE(model.cellText(4, 0, true), QStringLiteral("Linear"));
    // Past the long equation the stations repeat and carry the after mark.
    QCOMPARE(model.cellText(3, 1, true), QStringLiteral("K0+200.000A"));
    QCOMPARE(model.cellText(4, 1, true), QStringLiteral("K0+600.000"));
    QCOMPARE(model.cellText(0, 2, false), QStringLiteral("2.13"));
    QCOMPARE(model.cellText(0, 3, true), QString());
    QCOMPARE(model.cellText(5, 0, true), QString());
    QVERIFY(!model.index(5, 0).data().isValid());
    // The point dialog gets the station exactly, with more decimals only where three would move it.
    QCOMPARE(SuperelevationPointTableModel::stationEditText(100.0), QStringLiteral("K0+100.000"));
    QCOMPARE(SuperelevationPointTableModel::stationEditText(100.0004), QStringLiteral("K0+100.0004"));
    QCOMPARE(SuperelevationPointTableModel::stationEditText(300.0), QStringLiteral("K0+200.000A"));
}

void TestSuperelevation::addReplaceRemoveCodes()
{
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(RoadFiles::road(RoadFiles::standardSection()))));
    SuperelevationPointTableModel model(DataType::SuperelevationPoint, nullptr, cachedElement(0, 0));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    const SuperelevationPoint at100(Pelko::Road::SuperelevationLinear, 100.0, -2.0);
    QCOMPARE(model.addPoint(at100), 0);
    QCOMPARE(model.addPoint(SuperelevationPoint(Pelko::Road::SuperelevationLinear, 200.0, 4.0)), 0);
    QVERIFY(Trelvin::instance()->editFlags() & DataType::SuperelevationPoint);
    // A point before the others goes to its sorted place, and is announced there.
    QCOMPARE(model.addPoint(SuperelevationPoint(Pelko::Road::SuperelevationCubicParabola, 50.0, 1.0)), 0);
    QCOMPARE(inserted.last().at(1).toInt(), 0);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.cellText(0, 1, true), QStringLiteral("K0+050.000"));
    // The points are the cache's.
    QCOMPARE(cachedElement(0, 0).superelevationPointSize(), 3u);

    QCOMPARE(model.addPoint(SuperelevationPoint(Pelko::Road::SuperelevationLinear, 100.0004, 9.0)), -1);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(inserted.count(), 3);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QCOMPARE(model.setPointAt(1, SuperelevationPoint(Pelko::Road::SuperelevationLinear, 50.0, 0.0)), 1);
    QCOMPARE(model.setPointAt(1, SuperelevationPoint(Pelko::Road::SuperelevationLinear, 200.0, 0.0)), 2);
    QCOMPARE(model.setPointAt(3, at100), 3);
    QCOMPARE(model.setPointAt(-1, at100), 3);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model.pointAt(1).getSlope(), -2.0);
    QCOMPARE(model.setPointAt(1, SuperelevationPoint(Pelko::Road::SuperelevationLinear, 150.0, 3.0)), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.cellText(1, 1, true), QStringLiteral("K0+150.000"));

    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.removePointAt(3);
    model.removePointAt(-1);
    QCOMPARE(removed.count(), 0);
    model.removePointAt(0);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.cellText(0, 1, true), QStringLiteral("K0+150.000"));
}

void TestSuperelevation::dialogStations()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    SuperelevationPointDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Superelevation Point"));
    auto* methods = child<QComboBox>(&dialog, "cbMethod");
    QCOMPARE(methods->count(), 2);
    QCOMPARE(dialog.method(), 1);
    dialog.setMethodText(QStringLiteral("Cubic Parabola Curve"));
    QCOMPARE(dialog.method(), 2);
    dialog.setMethodText(QStringLiteral("cubic parabola curve"));
    QCOMPARE(methods->currentIndex(), -1);
    QCOMPARE(dialog.method(), 0);

    // Without a road OK and Next do nothing, silently.
    dialog.setResult(-1);
    dialog.onOk();
    dialog.onNext();
    QCOMPARE(dialog.result(), -1);
    QCOMPARE(prompter.calls.size(), 0);

    // A long equation (K1+200 = K1+100) repeats K1+100 .. K1+200 after it.
    QVERIFY(
        Trelvin::instance()->openRoad(folder.writeRoad(RoadFiles::road(RoadFiles::equations(1200, 1100)))));
    dialog.setStationText(QStringLiteral("K1+150A"));
    dialog.setValueText(QStringLiteral("2.5"));
    dialog.onOk();
    QCOMPARE(dialog.result(), 1);
    QCOMPARE(dialog.station(), 1250.0);
    QCOMPARE(dialog.slope(), 2.5);
    dialog.setStationText(QStringLiteral("K1+150"));
    dialog.onNext();
    QCOMPARE(dialog.result(), 2);
    QCOMPARE(dialog.station(), 1150.0);
    // An empty station is station 0.
    dialog.setStationText(QString());
    dialog.onOk();
    QCOMPARE(dialog.station(), 0.0);
    QCOMPARE(prompter.calls.size(), 0);

    // A half-typed station is no station 0, and a half-typed slope no slope 0.
    dialog.setResult(-1);
    dialog.setStationText(QStringLiteral("K1+"));
    dialog.onOk();
    QCOMPARE(prompter.calls.last().text, QStringLiteral("Station Not Exist!"));
    QCOMPARE(dialog.station(), 0.0);
    dialog.setStationText(QStringLiteral("K0+010"));
    dialog.setValueText(QStringLiteral("-"));
    dialog.onNext();
    QCOMPARE(prompter.calls.last().text, QStringLiteral("Slope is not a number!"));
    QCOMPARE(prompter.calls.last().title, QString());
    QCOMPARE(dialog.result(), -1);
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 2);
}

void TestSuperelevation::tabPerElement()
{
    SuperelevationPointEditWidget editor;
    // Before any road: one placeholder per side, Edit and Delete do nothing.
    QCOMPARE(editor.tabWidget(0)->count(), 1);
    QCOMPARE(editor.tabWidget(0)->tabText(0), QStringLiteral("No Section Element"));
    editor.onBtnEditClick();
    editor.onBtnDeletRightClick();
    editor.onBtnAppendClick();

    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(SectionRoads::pointRoad())));
    QCOMPARE(editor.tabWidget(0)->layoutDirection(), Qt::RightToLeft);
    QCOMPARE(editor.tabWidget(0)->count(), 1);
    QCOMPARE(editor.tabWidget(0)->tabText(0), QStringLiteral("lane"));
    QCOMPARE(editor.tabWidget(1)->count(), 2);
    QCOMPARE(editor.tabWidget(1)->tabText(1), QStringLiteral("shoulder"));
    QTableView* view = editor.currentTable(0);
    QVERIFY(view);
    QCOMPARE(view->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(view->model(), static_cast<QAbstractItemModel*>(pointsOf(editor, 0, 0)));
    QCOMPARE(rowTexts(*view->model(), 0), QStringList({ "Linear", "K0+100.000", "-2.00%" }));
    QCOMPARE(rowTexts(*view->model(), 1), QStringList({ "Cubic Parabola Curve", "K0+200.000", "4.00%" }));
    for (const char* name : { "appendButton", "editButton", "deleteButton", "appendButtonRight" })
        QVERIFY(child<QPushButton>(&editor, name)->isEnabled());

    // A side without elements shows the placeholder with its buttons off.
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(
        RoadFiles::road(section("", element("lane", 3.5, -2.0))), QStringLiteral("right.rod"))));
    QCOMPARE(editor.tabWidget(0)->count(), 1);
    QCOMPARE(editor.tabWidget(0)->tabText(0), QStringLiteral("No Section Element"));
    QVERIFY(!editor.currentTable(0));
    QVERIFY(editor.tables(0).isEmpty());
    for (const char* name : { "appendButton", "editButton", "deleteButton" })
        QVERIFY(!child<QPushButton>(&editor, name)->isEnabled());
    for (const char* name : { "appendButtonRight", "editButtonRight", "deleteButtonRight", "applyButton" })
        QVERIFY(child<QPushButton>(&editor, name)->isEnabled());
    QCOMPARE(editor.tabWidget(1)->tabText(0), QStringLiteral("lane"));
}

void TestSuperelevation::appendLoop()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    SuperelevationPointEditWidget editor;
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(SectionRoads::pointRoad())));

    DialogScript script;
    // A station that has a point already: the same dialog again, with what was typed.
    script.then(fillPoint("100", "1.5", "Cubic Parabola Curve"));
    script.then([&prompter](QDialog* dialog) {
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Station Exist!"));
        QCOMPARE(child<QLineEdit>(dialog, "leSlope")->text(), QStringLiteral("1.5"));
        QVERIFY(child<QPushButton>(dialog, "nextButton")->isEnabled());
        fillPoint("150", "1.5", QString(), true)(dialog);
    });
    // Next stored the point and opened a fresh dialog.
    script.then([](QDialog* dialog) {
        QCOMPARE(child<QLineEdit>(dialog, "leDist")->text(), QString());
        QCOMPARE(child<QComboBox>(dialog, "cbMethod")->currentIndex(), 0);
        fillPoint("K0+250", "3")(dialog);
    });
    script.start();
    editor.onBtnAppendClick();
    QVERIFY(script.done());
    QCOMPARE(script.answered, 3);
    SuperelevationPointTableModel* model = pointsOf(editor, 0, 0);
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(rowTexts(*model, 1), QStringList({ "Cubic Parabola Curve", "K0+150.000", "1.50%" }));
    QCOMPARE(rowTexts(*model, 3), QStringList({ "Linear", "K0+250.000", "3.00%" }));

    // Closing the dialog stores nothing; Append works on the right side's current tab.
    editor.tabWidget(1)->setCurrentIndex(1);
    script.then([](QDialog* dialog) { dialog->reject(); });
    script.then(fillPoint("20", "-4"));
    script.start();
    editor.onBtnAppendRightClick();
    editor.onBtnAppendRightClick();
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(cachedElement(1, 0).superelevationPointSize(), 0u);
    QCOMPARE(cachedElement(1, 1).superelevationPointSize(), 1u);
    QCOMPARE(cachedElement(1, 1).getSuperelevationPointAt(0).getSlope(), -4.0);
}

void TestSuperelevation::editKeepsWhatIsNotChanged()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    SuperelevationPointEditWidget editor;
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(RoadFiles::road(
        section(element("lane", 3.5, -2.0, 0.0, { { 0, 100.0004, 2.125 }, { 2, 200.0, 4.0 } }), "")))));
    SuperelevationPointTableModel* model = pointsOf(editor, 0, 0);

    // Without a selected row: a warning and nothing else.
    editor.onBtnEditClick();
    editor.onBtnDeleteClick();
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 2);
    QCOMPARE(prompter.calls.last().text, QStringLiteral("Please Select Data!"));

    // Method 0 shows as "Linear"; accepted unchanged it stays 0, the slope 2.125 and the station exact.
    DialogScript script;
    script.then([](QDialog* dialog) {
        QVERIFY(!child<QPushButton>(dialog, "nextButton")->isEnabled());
        QCOMPARE(child<QComboBox>(dialog, "cbMethod")->currentText(), QStringLiteral("Linear"));
        QCOMPARE(child<QLineEdit>(dialog, "leDist")->text(), QStringLiteral("K0+100.0004"));
        QCOMPARE(child<QLineEdit>(dialog, "leSlope")->text(), QStringLiteral("2.125"));
        static_cast<SuperelevationPointDialog*>(dialog)->onOk();
    });
    script.start();
    editor.currentTable(0)->setCurrentIndex(model->index(0, 0));
    editor.onBtnEditClick();
    QVERIFY(script.done());
    SuperelevationPoint stored = model->pointAt(0);
    QCOMPARE(int(stored.getMethod()), 0);
    QCOMPARE(stored.getSlope(), 2.125);
    QCOMPARE(stored.getStation(), 100.0004);

    // A method the user picks is stored.
    script.then(fillPoint("K0+100", "2.125", "Cubic Parabola Curve"));
    script.then([](QDialog* dialog) {
        // The cubic point keeps its method when only the slope changes.
        QCOMPARE(child<QComboBox>(dialog, "cbMethod")->currentText(), QStringLiteral("Cubic Parabola Curve"));
        fillPoint("K0+200", "5")(dialog);
    });
    script.start();
    editor.onTableViewDoubleClick(model->index(0, 2));
    editor.onTableViewDoubleClick(model->index(1, 0));
    QVERIFY(script.done());
    QCOMPARE(int(model->pointAt(0).getMethod()), 2);
    QCOMPARE(model->pointAt(0).getStation(), 100.0);
    QCOMPARE(int(model->pointAt(1).getMethod()), 2);
    QCOMPARE(model->pointAt(1).getSlope(), 5.0);
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 2);

    // Delete removes the selected row without asking.
    editor.currentTable(0)->setCurrentIndex(model->index(1, 0));
    editor.onBtnDeleteClick();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 2);
}

void TestSuperelevation::editRefusals()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    SuperelevationPointEditWidget editor;
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(SectionRoads::pointRoad())));
    SuperelevationPointTableModel* model = pointsOf(editor, 0, 0);
    DialogScript script;
    script.then(fillPoint("200", "9"));
    script.then(fillPoint("100", "9"));
    script.then(fillPoint("50", "9"));
    script.start();
    editor.onTableViewDoubleClick(model->index(0, 0));
    editor.onTableViewDoubleClick(model->index(1, 0));
    editor.onTableViewDoubleClick(model->index(1, 0));
    QVERIFY(script.done());
    // The refused change is dropped: the edit dialog does not come back.
    QCOMPARE(script.answered, 3);
    QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Greator Than Next"));
    QCOMPARE(prompter.calls.at(1).text, QStringLiteral("Less Than Previous"));
    QCOMPARE(prompter.calls.at(2).text, QStringLiteral("Less Than Previous"));
    QCOMPARE(model->pointAt(0).getSlope(), -2.0);
    QCOMPARE(model->pointAt(1).getSlope(), 4.0);
}

void TestSuperelevation::stationsEquation()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    SuperelevationPointEditWidget editor;
    // A short equation: K1+000 is followed by K1+100; the stations between do not exist.
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(
        RoadFiles::road(RoadFiles::equations(1000, 1100) + section(element("lane", 3.5, -2.0), "")))));
    DialogScript script;
    script.then(fillPoint("K1+050", "2"));
    script.then([&prompter](QDialog* dialog) {
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Station Not Exist!"));
        QCOMPARE(child<QLineEdit>(dialog, "leDist")->text(), QStringLiteral("K1+050"));
        fillPoint("K1+200", "2")(dialog);
    });
    script.start();
    editor.onBtnAppendClick();
    QVERIFY(script.done());
    SuperelevationPointTableModel* model = pointsOf(editor, 0, 0);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->pointAt(0).getStation(), 1100.0);
    QCOMPARE(model->cellText(0, 1, true), QStringLiteral("K1+200.000"));
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 1);
}

void TestSuperelevation::saveWritesTheCache()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    SuperelevationPointEditWidget editor;
    const QString path = folder.writeRoad(SectionRoads::pointRoad());
    QVERIFY(Trelvin::instance()->openRoad(path));
    pointsOf(editor, 1, 1)->addPoint(SuperelevationPoint(Pelko::Road::SuperelevationLinear, 300.0, 2.0));
    QVERIFY(Trelvin::instance()->editFlags() & DataType::SuperelevationPoint);
    QCOMPARE(roadSide(1).elementConfigurationAt(1).superelevationPointSize(), 0u);

    QSignalSpy announced(Trelvin::instance(), &Trelvin::dataChanged);
    editor.onBtnApplyClick();
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());
    // Both editors announce widening points.
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.at(0).at(0).value<DataType::Categories>(),
             DataType::Categories(DataType::WideningPoint));
    QCOMPARE(prompter.calls.size(), 0);
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(roadSide(1).elementConfigurationAt(1).superelevationPointSize(), 1u);
    QCOMPARE(roadSide(1).elementConfigurationAt(1).getSuperelevationPointAt(0).getStation(), 300.0);
    // The left side's points went back as they were.
    QCOMPARE(roadSide(0).elementConfigurationAt(0).superelevationPointSize(), 2u);
    QCOMPARE(int(roadSide(0).elementConfigurationAt(0).getSuperelevationPointAt(0).getMethod()), 0);

    // A road file that cannot be written is reported, and the edits stay marked.
    pointsOf(editor, 0, 0)->removePointAt(0);
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    editor.onBtnApplyClick();
    QCOMPARE(prompter.calls.size(), 1);
    QCOMPARE(prompter.calls.last().text,
             QStringLiteral("Save road failed!\n%1 is not a regular file; the road was not saved over it.")
                 .arg(QDir::toNativeSeparators(path)));
    QVERIFY(Trelvin::instance()->editFlags() & DataType::SuperelevationPoint);
}

void TestSuperelevation::documentSaveWritesOnlyEdits()
{
    SuperelevationPointEditWidget editor;
    const QString path = folder.writeRoad(SectionRoads::pointRoad());
    QVERIFY(Trelvin::instance()->openRoad(path));
    // A change to the cache that no table made is not this editor's to write.
    CrossSectionEditCache::instance()->configuration(0).removeAt(0);
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(roadSide(0).size(), 1u);

    // A point edit is written by the document's save.
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    pointsOf(editor, 0, 0)->removePointAt(1);
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(roadSide(0).elementConfigurationAt(0).superelevationPointSize(), 1u);
}

void TestSuperelevation::updateMask()
{
    SuperelevationPointWidget page;
    QCOMPARE(page.windowTitle(), QStringLiteral("Superelevation"));
    QCOMPARE(page.splitter()->orientation(), Qt::Vertical);
    QCOMPARE(page.splitter()->widget(0), static_cast<QWidget*>(page.editor()));
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(SectionRoads::pointRoad())));
    const auto firstModel = [&page] { return page.editor()->tables(0).at(0).second; };
    for (const DataType::Categories categories :
         { DataType::Categories(DataType::WideningPoint), DataType::Categories(DataType::VerticalAlignment),
           DataType::Categories(DataType::Slope | DataType::StructuralObject) }) {
        auto* before = firstModel();
        page.updateData(categories);
        QCOMPARE(firstModel(), before);
    }
    for (const DataType::Categories categories : { DataType::Categories(DataType::SuperelevationPoint),
                                                   DataType::Categories(DataType::StandardSection) }) {
        auto* before = firstModel();
        page.updateData(categories);
        QVERIFY(firstModel() != before);
    }
}

void TestSuperelevation::mirrorReloadsTheEditors()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    StandardSectionConfigWidget section;
    SuperelevationPointEditWidget superelevation;
    const QString path = folder.writeRoad(SectionRoads::pointRoad());
    QVERIFY(Trelvin::instance()->openRoad(path));
    section.onBtnMirrorClick();
    // The right side now holds the mirrored lane without points; the editor shows that, not the old side.
    QCOMPARE(superelevation.tabWidget(1)->count(), 1);
    SuperelevationPointTableModel* right = pointsOf(superelevation, 1, 0);
    QCOMPARE(right->rowCount(), 0);
    right->addPoint(SuperelevationPoint(Pelko::Road::SuperelevationLinear, 10.0, 3.0));
    // The point lands in the cache's mirrored side, which the standard-section table shows.
    QCOMPARE(cachedElement(1, 0).superelevationPointSize(), 1u);
    QCOMPARE(section.rightModel()->configuration().elementConfigurationAt(0).superelevationPointSize(), 1u);

    // Save writes the cache as it stands: the mirrored right side with its new point.
    superelevation.onBtnApplyClick();
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(roadSide(1).size(), 1u);
    QCOMPARE(roadSide(1).elementConfigurationAt(0).superelevationPointSize(), 1u);
}

void TestSuperelevation::mirrorThenDocumentSaveKeepsTheMirror()
{
    StandardSectionConfigWidget section;
    WideningPointEditWidget widening;
    SuperelevationPointEditWidget superelevation;
    const QString path = folder.writeRoad(SectionRoads::pointRoad());
    QVERIFY(Trelvin::instance()->openRoad(path));
    // A pending point edit on the left, then the left side mirrored onto the right.
    pointsOf(superelevation, 0, 0)->removePointAt(0);
    section.onBtnMirrorClick();
    QVERIFY(Trelvin::instance()->editFlags() & DataType::StandardSection);
    // The document's save runs the section tables first, then the point editors: neither may bring the
    // old right side back, nor lose the left side's edit.
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(roadSide(1).size(), 1u);
    QCOMPARE(QString::fromStdString(roadSide(1).getAt(0).getName()), QStringLiteral("lane"));
    QCOMPARE(roadSide(1).elementConfigurationAt(0).superelevationPointSize(), 0u);
    QCOMPARE(roadSide(0).elementConfigurationAt(0).superelevationPointSize(), 1u);
    QCOMPARE(roadSide(0).elementConfigurationAt(0).wideningPointSize(), 1u);
}

TRELVIN_TEST_MAIN(TestSuperelevation)

#include "test_superelevation.moc"
