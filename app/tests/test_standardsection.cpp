#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "framework/roadplot.h"
#include "section/crosssectiondialog.h"
#include "section/standardsectionconfigwidget.h"
#include "section/standardsectioncurve.h"
#include "section/standardsectiontablemodel.h"
#include "section/standardsectionwidget.h"
#include "support/scriptedprompter.h"
#include "test_standardsectionroads.h"

#include <road/roadsurface.h>
#include <road/standardsection.h>

#include <qttestmain.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>

using Pelko::Road::CrossSectionConfiguration;
using Pelko::Road::CrossSectionElement;
using Pelko::Road::StandardSection;
using SectionRoads::child;
using SectionRoads::DialogScript;
using SectionRoads::element;
using SectionRoads::roadSide;
using SectionRoads::rowTexts;
using SectionRoads::section;
using Zemko::Trelvin::CrossSectionEditCache;
using Zemko::Trelvin::StandardSectionCurve;
using Zemko::Trelvin::StandardSectionTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

// Fills the element dialog and presses OK.
DialogScript::Step fillElement(const QString& name, const QString& width, const QString& slope,
                               const QString& step = QString())
{
    return [=](QDialog* dialog) {
        auto* names = child<QComboBox>(dialog, "comboBox");
        names->setCurrentIndex(names->findText(name));
        child<QLineEdit>(dialog, "leWidth")->setText(width);
        child<QLineEdit>(dialog, "leSlope")->setText(slope);
        child<QLineEdit>(dialog, "leHeightDiff")->setText(step);
        static_cast<CrossSectionDialog*>(dialog)->onOk();
    };
}

} // namespace

class TestStandardSection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void elementCells();
    void dialogFieldsAndRefusals();
    void appendEditDeleteThroughTheDialog();
    void pivotLineAndOffset();
    void pivotOffsetOfAnotherRoad();
    void pivotChangeIsKeptByTheDocumentSave();
    void saveWritesBothSidesAndAnnounces();
    void mirrorKeepsTheSideMarkedUnsaved();
    void closeEmptiesBothTables();
    void curveMarkersAndPageUpdates();

private:
    SectionRoads::Folder folder;
};

void TestStandardSection::initTestCase()
{
    // As in the program: the cache reloads before any page or model.
    CrossSectionEditCache::instance();
}

void TestStandardSection::init()
{
    QVERIFY(folder.renew());
}

void TestStandardSection::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestStandardSection::elementCells()
{
    StandardSectionTableModel left(nullptr, 0);
    StandardSectionTableModel right(nullptr, 1);
    QCOMPARE(left.columnCount(), 4);
    const QStringList titles { "Name", "Width", "Slope", "Height Diff" };
    for (int column = 0; column < 4; ++column)
        QCOMPARE(left.headerData(column, Qt::Horizontal).toString(), titles.at(column));
    QVERIFY(!left.headerData(4, Qt::Horizontal).isValid());
    QCOMPARE(left.rowCount(), 0);

    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(
        RoadFiles::road(section(element("Motorway", 3.5, 2.125),
                                element("verge", 0.75, -4.0) + element("Sidewalk", 2, 1.5, 0.15))))));
    QCOMPARE(left.rowCount(), 1);
    QCOMPARE(right.rowCount(), 2);
    QCOMPARE(rowTexts(left, 0), QStringList({ "Motorway", "3.500", "2.13%", "0.000" }));
    QCOMPARE(rowTexts(right, 1), QStringList({ "Sidewalk", "2.000", "1.50%", "0.150" }));
    QCOMPARE(left.cellText(0, 2, false), QStringLiteral("2.13"));
    QCOMPARE(right.cellText(0, 2, false), QStringLiteral("-4.00"));
    QCOMPARE(left.cellText(0, 4, true), QString());
    QCOMPARE(left.cellText(1, 0, true), QString());
    QCOMPARE(left.cellText(-1, 0, true), QString());
    QVERIFY(!left.index(1, 0).data().isValid());
    // The dialog gets the stored numbers, not the rounded ones.
    QCOMPARE(left.editText(0, 2), QStringLiteral("2.125"));
    QCOMPARE(right.editText(0, 1), QStringLiteral("0.75"));
    QCOMPARE(right.editText(1, 3), QStringLiteral("0.15"));
    QCOMPARE(right.editText(1, 0), QStringLiteral("Sidewalk"));

    // The rows are the cache's side itself.
    left.append(CrossSectionElement("Earth Shoulder", 1.0, -3.0, 0.0));
    QCOMPARE(CrossSectionEditCache::instance()->configuration(0).size(), 2u);
    QCOMPARE(rowTexts(left, 1), QStringList({ "Earth Shoulder", "1.000", "-3.00%", "0.000" }));
    QCOMPARE(roadSide(0).size(), 1u);
    // Rows outside the table and invalid elements change nothing.
    QSignalSpy inserted(&left, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&left, &QAbstractItemModel::dataChanged);
    QSignalSpy removed(&left, &QAbstractItemModel::rowsRemoved);
    left.append(CrossSectionElement());
    left.setAt(5, CrossSectionElement("x", 1, 1, 0));
    left.setAt(-1, CrossSectionElement("x", 1, 1, 0));
    left.removeAt(2);
    left.removeAt(-1);
    QCOMPARE(inserted.count() + changed.count() + removed.count(), 0);
    QCOMPARE(left.rowCount(), 2);
}

void TestStandardSection::dialogFieldsAndRefusals()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    CrossSectionDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Cross Section Element"));
    auto* names = child<QComboBox>(&dialog, "comboBox");
    QCOMPARE(names->count(), 7);
    QCOMPARE(names->itemText(6), QStringLiteral(" Lateral Zonation"));
    QCOMPARE(dialog.name(), QStringLiteral("Motorway"));
    // Empty fields are 0.
    QCOMPARE(dialog.width(), 0.0);
    QCOMPARE(dialog.slope(), 0.0);
    QCOMPARE(dialog.heightDiff(), 0.0);

    dialog.setName(QStringLiteral("Sidewalk"));
    QCOMPARE(names->currentIndex(), 2);
    // A name of the road that is none of the presets is kept, not replaced by the first preset.
    dialog.setName(QStringLiteral("sidewalk"));
    QCOMPARE(names->count(), 8);
    QCOMPARE(dialog.name(), QStringLiteral("sidewalk"));

    dialog.setWidth(QStringLiteral("3.5"));
    dialog.setSlope(QStringLiteral("2.125"));
    dialog.setHeightDiff(QStringLiteral("-0.2"));
    const CrossSectionElement built = dialog.element();
    QCOMPARE(QString::fromStdString(built.getName()), QStringLiteral("sidewalk"));
    QCOMPARE(built.getWidth(), 3.5);
    QCOMPARE(built.getSlopeInPercentage(), 2.125);
    QCOMPARE(built.getDeltaElevationToPrevious(), -0.2);
    dialog.setHeightDiffEnabled(false);
    QVERIFY(!child<QLineEdit>(&dialog, "leHeightDiff")->isEnabled());

    // Half-typed numbers and negative widths are refused, the dialog stays open with what was typed.
    const struct
    {
        const char* width;
        const char* slope;
        const char* step;
        const char* message;
    } refused[] = {
        { "-", "2", "0", "Width is not a number!" },
        { "-1", "2", "0", "Width cannot be negative!" },
        { "1", "1e", "0", "Slope is not a number!" },
        { "1", "2", "1,5", "Height difference is not a number!" },
    };
    for (const auto& input : refused) {
        dialog.setWidth(input.width);
        dialog.setSlope(input.slope);
        dialog.setHeightDiff(input.step);
        dialog.setResult(-1);
        dialog.onOk();
        QCOMPARE(prompter.calls.last().text, QString::fromLatin1(input.message));
        QCOMPARE(prompter.calls.last().title, QString());
        QCOMPARE(dialog.result(), -1);
        QCOMPARE(child<QLineEdit>(&dialog, "leWidth")->text(), QString::fromLatin1(input.width));
    }
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 4);
    dialog.setWidth(QString());
    dialog.setSlope(QString());
    dialog.setHeightDiff(QString());
    dialog.onOk();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 4);
}

void TestStandardSection::appendEditDeleteThroughTheDialog()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    StandardSectionConfigWidget editor;
    QVERIFY(Trelvin::instance()->openRoad(
        folder.writeRoad(RoadFiles::road(section("", element("lane", 3.5, 2.125))))));
    auto* tabs = child<QTabWidget>(&editor, "tabWidget");
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(editor.sideTitle(), QStringLiteral("Cross Section(Left)"));

    DialogScript script;
    // The first element of a side has no step to a previous one.
    script.then([](QDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Cross Section(Left)"));
        QVERIFY(!child<QLineEdit>(dialog, "leHeightDiff")->isEnabled());
        fillElement("Motorway", "3.75", "-2")(dialog);
    });
    script.start();
    editor.onBtnAppendClick();
    script.then([](QDialog* dialog) {
        QVERIFY(child<QLineEdit>(dialog, "leHeightDiff")->isEnabled());
        fillElement("Earth Shoulder", "0.75", "-4", "0.1")(dialog);
    });
    script.start();
    editor.onBtnAppendClick();
    // Cancel adds nothing.
    script.then([](QDialog* dialog) { dialog->reject(); });
    script.start();
    editor.onBtnAppendClick();
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    StandardSectionTableModel* left = editor.leftModel();
    QCOMPARE(left->rowCount(), 2);
    QCOMPARE(rowTexts(*left, 1), QStringList({ "Earth Shoulder", "0.750", "-4.00%", "0.100" }));
    QVERIFY(Trelvin::instance()->editFlags() & DataType::StandardSection);

    // Edit and Delete need a row.
    editor.onBtnEditClick();
    editor.onBtnDeleteClick();
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 2);
    QCOMPARE(prompter.calls.last().text, QStringLiteral("Please Select Data!"));

    // An unchanged dialog stores the same numbers: 2.125 % must not become 2.13 %.
    tabs->setCurrentIndex(1);
    auto* rightView = child<QTableView>(&editor, "tableViewRight");
    rightView->setCurrentIndex(editor.rightModel()->index(0, 0));
    script.then([](QDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Cross Section(Right)"));
        QCOMPARE(child<QLineEdit>(dialog, "leSlope")->text(), QStringLiteral("2.125"));
        QVERIFY(!child<QLineEdit>(dialog, "leHeightDiff")->isEnabled());
        static_cast<CrossSectionDialog*>(dialog)->onOk();
    });
    script.start();
    editor.onBtnEditClick();
    QCOMPARE(CrossSectionEditCache::instance()->configuration(1).getAt(0).getSlopeInPercentage(), 2.125);
    // The name of the road is kept although no preset has it.
    QCOMPARE(QString::fromStdString(CrossSectionEditCache::instance()->configuration(1).getAt(0).getName()),
             QStringLiteral("lane"));

    // A double click edits too; a changed width replaces only the base element.
    script.then([](QDialog* dialog) {
        child<QLineEdit>(dialog, "leWidth")->setText("4");
        static_cast<CrossSectionDialog*>(dialog)->onOk();
    });
    script.start();
    editor.onTableViewDoubleClick(editor.rightModel()->index(0, 1));
    QCOMPARE(rowTexts(*editor.rightModel(), 0), QStringList({ "lane", "4.000", "2.13%", "0.000" }));

    editor.onBtnDeleteClick();
    QCOMPARE(editor.rightModel()->rowCount(), 0);
    QCOMPARE(CrossSectionEditCache::instance()->configuration(1).size(), 0u);
    QVERIFY(script.done());
}

void TestStandardSection::pivotLineAndOffset()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    StandardSectionConfigWidget editor;
    auto* line = child<QComboBox>(&editor, "cbLineType");
    auto* offset = child<QLineEdit>(&editor, "leOffset");
    const QList<int> types { 1, 2, 5, 6, 3, 4 };
    QCOMPARE(line->count(), types.size());
    for (int i = 0; i < types.size(); ++i)
        QCOMPARE(line->itemData(i).toInt(), types.at(i));
    QCOMPARE(line->itemText(5), QStringLiteral("Inside of tur"));

    const QString path
        = folder.writeRoad(RoadFiles::road(SectionRoads::pivot(5, 2.5) + RoadFiles::standardSection()));
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(line->currentText(), QStringLiteral("Road left side"));
    QVERIFY(offset->isEnabled());
    QCOMPARE(offset->text(), QStringLiteral("2.50000"));

    // "Plan" keeps the pivot on the centre line; the offset typed before comes back after it.
    line->setCurrentIndex(0);
    QVERIFY(!offset->isEnabled());
    QCOMPARE(offset->text(), QStringLiteral("0.00000"));
    line->setCurrentIndex(1);
    QVERIFY(offset->isEnabled());
    QCOMPARE(offset->text(), QStringLiteral("2.50000"));
    // What is typed for one line is not overwritten by the next choice.
    offset->setText(QStringLiteral("1.25"));
    line->setCurrentIndex(3);
    QCOMPARE(offset->text(), QStringLiteral("1.25"));

    QSignalSpy announced(Trelvin::instance(), &Trelvin::dataChanged);
    editor.onBtnApplyClick();
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.at(0).at(0).value<DataType::Categories>(),
             DataType::Categories(DataType::StandardSection));
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(Trelvin::instance()->road()->getPivotType(), Pelko::Road::PivotRoadRightSide);
    QCOMPARE(Trelvin::instance()->road()->getPivotOffset(), 1.25);
    QCOMPARE(line->currentText(), QStringLiteral("Road right side"));

    // "Plan" stores offset 0.
    line->setCurrentIndex(0);
    editor.onBtnApplyClick();
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(Trelvin::instance()->road()->getPivotType(), Pelko::Road::PivotPlan);
    QCOMPARE(Trelvin::instance()->road()->getPivotOffset(), 0.0);
    QVERIFY(!offset->isEnabled());
    QCOMPARE(offset->text(), QStringLiteral("0.00000"));

    // A half-typed offset is refused and nothing is written.
    line->setCurrentIndex(1);
    offset->setText(QStringLiteral("-"));
    editor.onBtnApplyClick();
    QCOMPARE(prompter.calls.last().text, QStringLiteral("Offset is not a number!"));
    QCOMPARE(Trelvin::instance()->road()->getPivotType(), Pelko::Road::PivotPlan);

    // A road without a pivot line (type 0) leaves the choice where it was, with its offset.
    const QString none
        = folder.writeRoad(RoadFiles::road(SectionRoads::pivot(0, 0.75)), QStringLiteral("none.rod"));
    line->setCurrentIndex(2);
    QVERIFY(Trelvin::instance()->openRoad(none));
    QCOMPARE(line->currentIndex(), 2);
    QVERIFY(offset->isEnabled());
    QCOMPARE(offset->text(), QStringLiteral("0.75000"));
}

void TestStandardSection::pivotOffsetOfAnotherRoad()
{
    StandardSectionConfigWidget editor;
    auto* line = child<QComboBox>(&editor, "cbLineType");
    auto* offset = child<QLineEdit>(&editor, "leOffset");
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(RoadFiles::road(SectionRoads::pivot(2, 3.0)))));
    line->setCurrentIndex(0);
    QCOMPARE(offset->text(), QStringLiteral("0.00000"));
    // The 3.00000 remembered for the first road must not turn up as the offset of the second.
    QVERIFY(Trelvin::instance()->openRoad(
        folder.writeRoad(RoadFiles::road(SectionRoads::pivot(1, 0.0)), QStringLiteral("second.rod"))));
    line->setCurrentIndex(1);
    QCOMPARE(offset->text(), QStringLiteral("0.00000"));
}

void TestStandardSection::pivotChangeIsKeptByTheDocumentSave()
{
    StandardSectionConfigWidget editor;
    auto* line = child<QComboBox>(&editor, "cbLineType");
    auto* offset = child<QLineEdit>(&editor, "leOffset");
    const QString path
        = folder.writeRoad(RoadFiles::road(SectionRoads::pivot(5, 2.5) + RoadFiles::standardSection()));
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());

    // A changed pivot line marks the section unsaved, so closing asks, and File > Save writes it.
    line->setCurrentIndex(line->findData(Pelko::Road::PivotRoadRightSide));
    QVERIFY(editor.hasPivotEdits());
    QVERIFY(Trelvin::instance()->editFlags() & DataType::StandardSection);
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(Trelvin::instance()->road()->getPivotType(), Pelko::Road::PivotRoadRightSide);
    QCOMPARE(Trelvin::instance()->road()->getPivotOffset(), 2.5);

    // So does a typed offset; one that is not a number keeps the save from passing.
    offset->clear();
    QTest::keyClicks(offset, QStringLiteral("-"));
    QCOMPARE(offset->text(), QStringLiteral("-"));
    QVERIFY(Trelvin::instance()->editFlags() & DataType::StandardSection);
    QVERIFY(!Trelvin::instance()->save());
    QVERIFY(Trelvin::instance()->editFlags() & DataType::StandardSection);
    offset->clear();
    QTest::keyClicks(offset, QStringLiteral("0.75"));
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(Trelvin::instance()->road()->getPivotOffset(), 0.75);
    QVERIFY(!editor.hasPivotEdits());
}

void TestStandardSection::saveWritesBothSidesAndAnnounces()
{
    StandardSectionConfigWidget editor;
    const QString path = folder.writeRoad(RoadFiles::road(RoadFiles::standardSection()));
    QVERIFY(Trelvin::instance()->openRoad(path));
    editor.leftModel()->append(CrossSectionElement("Sidewalk", 2.0, 1.5, 0.2));
    editor.rightModel()->removeAt(1);
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories(DataType::StandardSection));
    // Nothing reaches the road before Save.
    QCOMPARE(roadSide(0).size(), 1u);
    QCOMPARE(roadSide(1).size(), 2u);

    editor.onBtnApplyClick();
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());
    QCOMPARE(roadSide(0).size(), 2u);
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(roadSide(0).size(), 2u);
    QCOMPARE(roadSide(0).getAt(1).getDeltaElevationToPrevious(), 0.2);
    QCOMPARE(roadSide(1).size(), 1u);

    // The document's save writes pending element edits as well.
    editor.rightModel()->setAt(0, CrossSectionElement("Motorway", 3.75, -1.5, 0.0));
    QVERIFY(Trelvin::instance()->save());
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(roadSide(1).getAt(0).getWidth(), 3.75);

    // Without a road, Save does nothing.
    Trelvin::instance()->closeRoad();
    QSignalSpy announced(Trelvin::instance(), &Trelvin::dataChanged);
    editor.onBtnApplyClick();
    QCOMPARE(announced.count(), 0);
}

void TestStandardSection::mirrorKeepsTheSideMarkedUnsaved()
{
    StandardSectionConfigWidget editor;
    const QString path = folder.writeRoad(SectionRoads::pointRoad());
    QVERIFY(Trelvin::instance()->openRoad(path));
    // Mirror on the left tab shows the right tab and replaces the right side by the left one.
    editor.onBtnMirrorClick();
    QCOMPARE(child<QTabWidget>(&editor, "tabWidget")->currentIndex(), 1);
    QCOMPARE(editor.rightModel()->rowCount(), 1);
    QCOMPARE(rowTexts(*editor.rightModel(), 0), QStringList({ "lane", "3.500", "-2.00%", "0.000" }));
    const CrossSectionConfiguration right = CrossSectionEditCache::instance()->configuration(1);
    QCOMPARE(right.elementConfigurationAt(0).superelevationPointSize(), 0u);
    QCOMPARE(right.elementConfigurationAt(0).wideningPointSize(), 0u);
    // The left side keeps its points and is not shared with the mirrored copy.
    const CrossSectionConfiguration left = CrossSectionEditCache::instance()->configuration(0);
    QCOMPARE(left.elementConfigurationAt(0).superelevationPointSize(), 2u);
    editor.rightModel()->setAt(0, CrossSectionElement("lane", 3.0, -2.0, 0.0));
    QCOMPARE(left.getAt(0).getWidth(), 3.5);

    // The mirrored side is not written yet, and a close must ask about it.
    QVERIFY(Trelvin::instance()->editFlags() & DataType::StandardSection);
    QCOMPARE(roadSide(1).size(), 2u);
    QVERIFY(Trelvin::instance()->save());
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(roadSide(1).size(), 1u);
    QCOMPARE(roadSide(1).getAt(0).getWidth(), 3.0);

    // And back: the right side mirrored onto the left drops the left side's points, once the user
    // agreed to it.
    ScriptedPrompter prompter;
    prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
    editor.onBtnMirrorClick();
    QCOMPARE(prompter.count(ScriptedPrompter::Question), 1);
    QCOMPARE(child<QTabWidget>(&editor, "tabWidget")->currentIndex(), 0);
    QCOMPARE(CrossSectionEditCache::instance()
                 ->configuration(0)
                 .elementConfigurationAt(0)
                 .superelevationPointSize(),
             0u);

    // Without a road the side is left empty.
    Trelvin::instance()->closeRoad();
    editor.leftModel()->mirrorFromOtherSide();
    QCOMPARE(editor.leftModel()->rowCount(), 0);
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());
}

void TestStandardSection::closeEmptiesBothTables()
{
    StandardSectionConfigWidget editor;
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(RoadFiles::road(RoadFiles::standardSection()))));
    QCOMPARE(editor.leftModel()->rowCount(), 1);
    QCOMPARE(editor.rightModel()->rowCount(), 2);
    Trelvin::instance()->closeRoad();
    QCOMPARE(editor.leftModel()->rowCount(), 0);
    QCOMPARE(editor.rightModel()->rowCount(), 0);
}

void TestStandardSection::curveMarkersAndPageUpdates()
{
    StandardSectionWidget page;
    page.show();
    QCOMPARE(page.windowTitle(), QStringLiteral("Standard Section"));
    QCOMPARE(page.splitter()->orientation(), Qt::Vertical);
    QCOMPARE(page.splitter()->widget(0), static_cast<QWidget*>(page.editor()));
    auto* curve = dynamic_cast<StandardSectionCurve*>(page.curve());
    QVERIFY(curve);

    const QString path
        = folder.writeRoad(RoadFiles::road(section(element("a", 3.0, 0.0) + element("b", 2.0, 0.0),
                                                   element("a", 3.0, 0.0) + element("b", 2.0, 2.0, 0.1))));
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(curve->plot(), static_cast<QwtPlot*>(page.plot()));
    QVector<Zemko::Trelvin::Data::PlateMarker> markers = curve->markers()->markers();
    QCOMPARE(markers.size(), 4);
    QCOMPARE(markers.at(0).position, QPointF(0.0, -1.5));
    QCOMPARE(markers.at(1).position, QPointF(0.0, -4.0));
    QVERIFY(markers.at(0).reversed);
    QCOMPARE(markers.at(2).position, QPointF(0.0, 1.5));
    QVERIFY(!markers.at(2).reversed);
    // The marker sits on its element as drawn: above the step, at the middle of the rise.
    QCOMPARE(markers.at(3).position, QPointF(0.12, 4.0));
    QCOMPARE(markers.at(3).length, 2.0);
    QCOMPARE(markers.at(3).grade, 0.02);
    // Offset across, height up, from the left edge to the right one at (5, 0.14).
    const QwtSeriesData<QPointF>* samples = curve->plotCurve()->data();
    QCOMPARE(samples->size(), size_t(8));
    QCOMPARE(samples->sample(0), QPointF(-5.0, 0.0));
    QCOMPARE(samples->sample(7), QPointF(5.0, 0.14));

    // The drawing shows the road, so it follows a save (16) and nothing else.
    page.editor()->rightModel()->removeAt(1);
    Trelvin::instance()->road()->getStandardSection()->setCrossSectionConfiguration(
        StandardSection::Right, CrossSectionEditCache::instance()->configuration(1));
    page.updateData(DataType::WideningPoint | DataType::SuperelevationPoint | DataType::Slope);
    QCOMPARE(curve->markers()->markers().size(), 4);
    page.updateData(DataType::StandardSection);
    QCOMPARE(curve->markers()->markers().size(), 3);

    // A side without elements draws nothing.
    const QString empty
        = folder.writeRoad(RoadFiles::road(section("", element("a", 3.0, 0.0))), QStringLiteral("e.rod"));
    QVERIFY(Trelvin::instance()->openRoad(empty));
    markers = curve->markers()->markers();
    QCOMPARE(markers.size(), 1);
    QVERIFY(!markers.at(0).reversed);
    QCOMPARE(curve->plotCurve()->data()->size(), size_t(2));
    Trelvin::instance()->closeRoad();
    QVERIFY(!curve->plot());
}

TRELVIN_TEST_MAIN(TestStandardSection)

#include "test_standardsection.moc"
