#include "slopes/slopecurve.h"
#include "slopes/slopedialog.h"
#include "slopes/slopeeditwidget.h"
#include "slopes/slopeitemtablemodel.h"
#include "slopes/slopeitemtablewidget.h"
#include "slopes/slopetablemodel.h"
#include "slopes/slopetablewideget.h"
#include "slopes/slopewidget.h"
#include "support/scriptedprompter.h"
#include "support/terminallines.h"
#include "test_slopesegmentsupport.h"

#include <qttestmain.h>

#include <road/station.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

using namespace Zemko::Trelvin;
using Pelko::Road::SlopeSectionSegment;
using Pelko::Road::SlopeSideLeft;
using Pelko::Road::SlopeSideRight;
using SlopeSegmentRoads::segment;
using SlopeSegmentRoads::warnings;
using SlopeSegmentRoads::whenDialogShows;

namespace {

QString cell(const QAbstractItemModel& model, int row, int column)
{
    return model.data(model.index(row, column)).toString();
}

QStringList names(const SlopeTableModel& model)
{
    QStringList list;
    for (int row = 0; row < model.rowCount(); ++row)
        list << cell(model, row, 0);
    return list;
}

struct Selection
{
    int side = -2;
    int row = -2;
    bool validTemplate = true;
};

} // namespace

class TestSlopeSegment : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void modelWithoutRoad();
    void cellsUseTheCurrentEquations();
    void segmentCodes();
    void refusedSegments();
    void appliedSegmentsSurviveSaveAndReopen();
    void dialogChecks();
    void dialogShowsTheRow();
    void appendRefusesTheDialogsSegment();
    void deleteMovesTheSelection();
    void pageRoutesSelections();
    void selectionKeepsTheEditFlag();
    void applyThatCannotWriteSaysWhy();

private:
    SlopeSegmentRoads::Folder folder;
};

void TestSlopeSegment::init()
{
    folder.renew();
    QVERIFY(folder.isValid());
}

void TestSlopeSegment::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestSlopeSegment::modelWithoutRoad()
{
    SlopeTableModel model(SlopeSideLeft);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Begin"));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("End"));
    QVERIFY(!model.headerData(3, Qt::Horizontal).isValid());
    QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
    QVERIFY(!model.data(model.index(0, 0)).isValid());
    // Nothing to write into: the edits stay marked.
    QVERIFY(!model.applyChanges());
}

void TestSlopeSegment::cellsUseTheCurrentEquations()
{
    // K1+200 is also K1+100 after the equation: the stretch K1+100..K1+200 occurs twice.
    QVERIFY(folder.open(RoadFiles::equations(1200, 1100)));
    SlopeTableModel model(SlopeSideLeft);
    QVERIFY(model.add(segment("bank", 1250, 1400)).ok);
    QCOMPARE(cell(model, 0, 0), QStringLiteral("bank"));
    QCOMPARE(cell(model, 0, 1), QStringLiteral("K1+150.000A"));
    QCOMPARE(cell(model, 0, 2), QStringLiteral("K1+300.000"));
    QVERIFY(!model.data(model.index(0, 3)).isValid());
    QVERIFY(!model.data(model.index(1, 0)).isValid());

    // The equations page replaces the road's equations without a word; the next cell follows.
    Trelvin::instance()->road()->setStationsEquations(Pelko::Road::StationsEquationConfiguration());
    QCOMPARE(cell(model, 0, 1), QStringLiteral("K1+250.000"));
    QCOMPARE(model.displayedStation(1100), QStringLiteral("K1+100.000"));
}

void TestSlopeSegment::segmentCodes()
{
    QVERIFY(folder.open());
    SlopeTableModel model(SlopeSideRight);
    QCOMPARE(model.side(), SlopeSideRight);
    QList<int> inserted;
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            [&inserted](const QModelIndex&, int first, int) { inserted << first; });

    QVERIFY(model.add(segment("a", 100, 200)).ok);
    // Touching is no overlap.
    const SlopeTableModel::EditResult touching = model.add(segment("b", 200, 300));
    QVERIFY(touching.ok);
    QVERIFY(touching.message.isEmpty());
    // The list keeps station order and the table announces the row the segment took.
    QVERIFY(model.add(segment("c", 0, 50)).ok);
    QCOMPARE(inserted, (QList<int> { 0, 1, 0 }));
    QCOMPARE(names(model), (QStringList { "c", "a", "b" }));

    const SlopeTableModel::EditResult overlapped = model.add(segment("d", 150, 250));
    QVERIFY(!overlapped.ok);
    QCOMPARE(overlapped.message, QStringLiteral("Station overlapped"));
    QCOMPARE(model.add(segment("e", 100, 150)).message, QStringLiteral("Station already exist"));
    QCOMPARE(model.setAt(7, segment("f", 400, 500)).message, QStringLiteral("Station not found"));
    QCOMPARE(model.setAt(-1, segment("f", 400, 500)).message, QStringLiteral("Station not found"));
    QCOMPARE(model.setAt(0, segment("c", 20, 150)).message, QStringLiteral("Station overlapped"));
    QCOMPARE(names(model), (QStringList { "c", "a", "b" }));
    QCOMPARE(cell(model, 0, 2), QStringLiteral("K0+050.000"));

    // A change that moves the segment past its neighbours keeps the list ordered.
    QVERIFY(model.setAt(0, segment("c", 300, 350)).ok);
    QCOMPARE(names(model), (QStringList { "a", "b", "c" }));

    model.removeAt(1);
    model.removeAt(5);
    model.removeAt(-1);
    QCOMPARE(names(model), (QStringList { "a", "c" }));
    QCOMPARE(SlopeTableModel::errorText(0), QString());
    // Every refusal has a text, one the model does not know too.
    for (int code = 1; code <= 4; ++code)
        QVERIFY(!SlopeTableModel::errorText(code).isEmpty());
}

void TestSlopeSegment::refusedSegments()
{
    QVERIFY(folder.open());
    SlopeTableModel model(SlopeSideLeft);
    QVERIFY(model.add(segment("kept", 0, 100)).ok);
    model.applyChanges();

    // The road file could not bring any of these back.
    QCOMPARE(model.add(SlopeSectionSegment()).message, QStringLiteral("The segment has no slope template!"));
    QCOMPARE(model.add(segment("ghost", 200, 300, "Nowhere", "Nowhere")).message,
             QStringLiteral("The segment has no slope template!"));
    // A nameless segment cannot be made; a blank name is refused here.
    QVERIFY(!segment("", 200, 300));
    QCOMPARE(model.add(segment(" ", 200, 300)).message, QStringLiteral("Slope name should not be empty!"));
    QCOMPARE(model.add(segment("  ", 200, 300)).message, QStringLiteral("Slope name should not be empty!"));
    QCOMPARE(model.setAt(0, SlopeSectionSegment()).message,
             QStringLiteral("The segment has no slope template!"));
    QCOMPARE(model.setAt(0, segment(" ", 0, 100)).message, QStringLiteral("Slope name should not be empty!"));
    QCOMPARE(names(model), (QStringList { "kept" }));
    QVERIFY(!model.hasUnwrittenEdits());
    QVERIFY(!(Trelvin::instance()->editFlags() & DataType::Slope));
}

void TestSlopeSegment::appliedSegmentsSurviveSaveAndReopen()
{
    QVERIFY(folder.open());
    {
        SlopeTableModel left(SlopeSideLeft);
        QVERIFY(left.add(segment("west", 0, 100, "Fill A", "Fill B")).ok);
        QVERIFY(Trelvin::instance()->editFlags() & DataType::Slope);
        // The document's save writes the pending segment itself.
        QVERIFY(Trelvin::instance()->save());
        QVERIFY(!(Trelvin::instance()->editFlags() & DataType::Slope));
    }
    QVERIFY(folder.reopen());
    SlopeTableModel reread(SlopeSideLeft);
    QCOMPARE(names(reread), (QStringList { "west" }));
    const SlopeSectionSegment west = reread.configuration().getSegmentAt(0);
    QCOMPARE(QString::fromStdString(west.getEndTemplate().getName()), QStringLiteral("Fill B"));
    QCOMPARE(west.getEnd(), 100.0);
}

void TestSlopeSegment::dialogChecks()
{
    // A short equation: K1+000 is followed by K1+100, so K1+050 does not exist.
    QVERIFY(folder.open(RoadFiles::equations(1000, 1100)));
    SlopeTableModel model(SlopeSideLeft);
    SlopeDialog dialog(0, 0, &model);
    auto* start = dialog.findChild<QLineEdit*>("edtStart");
    auto* end = dialog.findChild<QLineEdit*>("edtEnd");
    QVERIFY(start && end);
    QCOMPARE(start->placeholderText(), QStringLiteral("K1 + 200, input 1200"));
    QVERIFY(dialog.findChild<QRadioButton*>("radioFill")->isChecked());

    start->setText("abc");
    end->setText("nonsense");
    QCOMPARE(dialog.check(), QStringLiteral("Station should not be infinite!"));
    start->setText("K0+100");
    QCOMPARE(dialog.check(), QStringLiteral("Station should not be infinite!"));
    end->setText("K1+050");
    QCOMPARE(dialog.check(), QStringLiteral("Given station does not exist!"));
    end->setText("K0+100");
    QCOMPARE(dialog.check(), QString());
    end->setText("99.999");
    QCOMPARE(dialog.check(), QStringLiteral("Start station can not be greater than end!"));

    // Cancel runs the same checks; a failure keeps the dialog open.
    ScriptedPrompter prompter(false);
    QList<int> closed;
    connect(&dialog, &QDialog::finished, this, [&closed](int result) { closed << result; });
    dialog.onCancel();
    QCOMPARE(warnings(prompter), (QStringList { "Start station can not be greater than end!" }));
    QCOMPARE(prompter.calls.first().title, QStringLiteral("Trelvin"));
    QVERIFY(closed.isEmpty());
    end->setText("K1+200");
    dialog.onAccept();
    QCOMPARE(closed, (QList<int> { 1 }));
    // The page offers no template: the segment handed back is the default one.
    QVERIFY(!dialog.segment().isValid());
}

void TestSlopeSegment::dialogShowsTheRow()
{
    QVERIFY(folder.open(RoadFiles::equations(1200, 1100)));
    SlopeTableModel model(SlopeSideLeft);
    QVERIFY(model.add(segment("rock", 1250, 1300, "Cut A", "Cut A")).ok);
    SlopeDialog dialog(1, 0, &model);
    QCOMPARE(dialog.findChild<QLineEdit*>("edtName")->text(), QStringLiteral("rock"));
    QVERIFY(dialog.findChild<QRadioButton*>("radioCut")->isChecked());
    QCOMPARE(dialog.findChild<QLineEdit*>("edtStart")->text(), QStringLiteral("K1+150.000A"));
    QCOMPARE(dialog.findChild<QLineEdit*>("edtEnd")->text(), QStringLiteral("K1+200.000A"));
    // The texts it shows read back as the same stations.
    QCOMPARE(dialog.check(), QString());

    SlopeDialog pastTheEnd(1, 3, &model);
    QVERIFY(pastTheEnd.findChild<QLineEdit*>("edtName")->text().isEmpty());
}

void TestSlopeSegment::appendRefusesTheDialogsSegment()
{
    QVERIFY(folder.open());
    ScriptedPrompter prompter(false);
    SlopeTableWideget table(SlopeSideLeft);
    QCOMPARE(table.windowTitle(), QStringLiteral("Left"));
    int shown = 0;
    whenDialogShows<SlopeDialog>([&shown](SlopeDialog* dialog) {
        ++shown;
        dialog->findChild<QLineEdit*>("edtName")->setText("bank");
        dialog->findChild<QLineEdit*>("edtStart")->setText("100");
        dialog->findChild<QLineEdit*>("edtEnd")->setText("200");
        // The refusal opens the same dialog again; the user gives up.
        whenDialogShows<SlopeDialog>([&shown](SlopeDialog* again) {
            ++shown;
            QCOMPARE(again->findChild<QLineEdit*>("edtName")->text(), QStringLiteral("bank"));
            again->reject();
        });
        dialog->onAccept();
    });
    table.on_appendButton_clicked();
    QCOMPARE(shown, 2);
    QCOMPARE(warnings(prompter), (QStringList { "The segment has no slope template!" }));
    QCOMPARE(table.model()->rowCount(), 0);
    QVERIFY(!table.model()->hasUnwrittenEdits());
}

void TestSlopeSegment::deleteMovesTheSelection()
{
    QVERIFY(folder.open());
    SlopeTableWideget table(SlopeSideRight);
    for (int i = 0; i < 4; ++i)
        QVERIFY(table.model()->add(segment(std::to_string(i), i * 100, i * 100 + 50)).ok);
    Selection last;
    connect(&table, &SlopeTableWideget::selected, this,
            [&last](Pelko::Road::SlopeSectionSide side, int row, Pelko::Road::SlopeSectionTemplate t) {
                last = { side, row, t.isValid() };
            });

    table.on_deleteButton_clicked();
    QCOMPARE(table.model()->rowCount(), 4);

    table.tableView()->setCurrentIndex(table.model()->index(3, 0));
    table.on_deleteButton_clicked();
    QCOMPARE(names(*table.model()), (QStringList { "0", "1", "2" }));
    QCOMPARE(table.tableView()->currentIndex().row(), 2);
    QCOMPARE(last.row, -2);

    table.tableView()->setCurrentIndex(table.model()->index(0, 0));
    table.on_deleteButton_clicked();
    QCOMPARE(names(*table.model()), (QStringList { "1", "2" }));
    QCOMPARE(last.side, int(SlopeSideRight));
    QCOMPARE(last.row, -1);
    QVERIFY(!last.validTemplate);
}

void TestSlopeSegment::pageRoutesSelections()
{
    SlopeWidget page;
    SlopeEditWidget* editor = page.editor();
    QCOMPARE(page.windowTitle(), QStringLiteral("Slope"));
    QCOMPARE(editor->tabs()->count(), 2);
    QCOMPARE(editor->tabs()->tabText(0), QStringLiteral("Left"));
    QCOMPARE(editor->tabs()->tabText(1), QStringLiteral("Right"));
    QVERIFY(!editor->leftItems()->isHidden());
    QVERIFY(editor->rightItems()->isHidden());

    editor->tabs()->setCurrentIndex(1);
    QVERIFY(editor->leftItems()->isHidden());
    QVERIFY(!editor->rightItems()->isHidden());
    editor->onCurrentTabChanged(7);
    QVERIFY(editor->leftItems()->isHidden());
    QVERIFY(editor->rightItems()->isHidden());

    Selection drawn;
    connect(editor, &SlopeEditWidget::currentChanged, this,
            [&drawn](Pelko::Road::SlopeSectionSide side, int row, Pelko::Road::SlopeSectionTemplate t) {
                drawn = { side, row, t.isValid() };
            });
    {
        // Following the selection prints nothing.
        TerminalLines printed;
        editor->notifyDataSetChange(SlopeSideRight, 4, SlopeSegmentRoads::fillA());
        QCOMPARE(printed.lines, QStringList());
    }
    QCOMPARE(drawn.side, int(SlopeSideRight));
    QCOMPARE(drawn.row, 4);
    QCOMPARE(editor->rightItems()->segmentRow(), 4);
    QCOMPARE(int(editor->rightItems()->side()), int(SlopeSideRight));
    QCOMPARE(page.slopeCurve()->side(), int(SlopeSideRight));
    QCOMPARE(page.slopeCurve()->index(), 4);
    // Segments of this page name no template: the element table stays empty and locked.
    QCOMPARE(editor->rightItems()->model()->rowCount(), 0);
    QVERIFY(!editor->rightItems()->findChild<QWidget*>("appendButton")->isEnabled());
}

void TestSlopeSegment::selectionKeepsTheEditFlag()
{
    QVERIFY(folder.open());
    SlopeWidget page;
    SlopeEditWidget* editor = page.editor();
    QVERIFY(editor->leftTable()->model()->add(segment("west", 0, 100)).ok);
    QVERIFY(Trelvin::instance()->editFlags() & DataType::Slope);

    // Following the selection resets the element table, which is no write.
    editor->notifyDataSetChange(SlopeSideLeft, 0, SlopeSegmentRoads::fillA());
    QVERIFY(Trelvin::instance()->editFlags() & DataType::Slope);

    editor->leftTable()->on_applyButton_clicked();
    QVERIFY(!(Trelvin::instance()->editFlags() & DataType::Slope));
    QCOMPARE(Trelvin::instance()->road()->getSlopeSectionConfiguration()->get(SlopeSideLeft).size(), 1u);
}

// A road file replaced by a folder: Apply says why and the segment stays marked as not saved.
void TestSlopeSegment::applyThatCannotWriteSaysWhy()
{
    QVERIFY(folder.open());
    ScriptedPrompter prompter;
    SlopeWidget page;
    SlopeTableWideget* table = page.editor()->leftTable();
    QVERIFY(table->model()->add(segment("west", 0, 100)).ok);
    QVERIFY(QFile::remove(folder.roadPath));
    QVERIFY(QDir().mkdir(folder.roadPath));

    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    table->on_applyButton_clicked();
    QCOMPARE(warnings(prompter),
             QStringList { QStringLiteral("Save road failed!\n%1 is not a regular file; the road was not "
                                          "saved over it.")
                               .arg(QDir::toNativeSeparators(folder.roadPath)) });
    QVERIFY(Trelvin::instance()->editFlags() & DataType::Slope);
    QVERIFY(QFileInfo(folder.roadPath).isDir());
}

TRELVIN_TEST_MAIN(TestSlopeSegment)
#include "test_slopesegment.moc"
