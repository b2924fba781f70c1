#include "framework/plotmarkers.h"
#include "framework/roadplot.h"
#include "slopes/slopecurve.h"
#include "slopes/slopeuselibdialog.h"
#include "slopes/slopeuselibeditwidget.h"
#include "slopes/slopeuselibtablemodel.h"
#include "slopes/slopeuselibwidget.h"
#include "slopes/slopewidget.h"
#include "support/scriptedprompter.h"
#include "support/terminallines.h"
#include "test_slopesegmentsupport.h"
#include "ui_slopeuselibdialog.h"
#include "ui_slopeuselibeditwidget.h"

#include <qttestmain.h>

#include <QPointer>
#include <QTableView>

#include <qwt_plot_curve.h>

using namespace Zemko::Trelvin;
using Pelko::Road::SlopeSectionSegment;
using Pelko::Road::SlopeSideLeft;
using Pelko::Road::SlopeSideRight;
using SlopeSegmentRoads::segment;
using SlopeSegmentRoads::warnings;
using SlopeSegmentRoads::whenDialogShows;

namespace {

Trelvin* document()
{
    return Trelvin::instance();
}

Pelko::Road::SlopeSectionTemplateLibrary* library()
{
    return document()->road()->getSlopeSectionTemplateLibrary();
}

// "name:begin>end" of each segment of the list.
QStringList segments(const Pelko::Road::SlopeSectionTemplateConfiguration& list)
{
    QStringList names;
    for (unsigned i = 0; i < list.size(); ++i) {
        const SlopeSectionSegment s = list.getSegmentAt(i);
        names << QString::fromStdString(s.getName() + ":" + s.getBeginTemplate().getName() + ">"
                                        + s.getEndTemplate().getName());
    }
    return names;
}

QStringList roadSegments(Pelko::Road::SlopeSectionSide side)
{
    return segments(document()->road()->getSlopeSectionConfiguration()->get(side));
}

void fill(SlopeUseLibDialog* dialog, const QString& name, const QString& start, const QString& end,
          const QString& begin = "Fill A", const QString& finish = "Fill A")
{
    Ui::SlopeUseLibDialog* ui = dialog->form();
    ui->edtName->setText(name);
    ui->edtStart->setText(start);
    ui->edtEnd->setText(end);
    ui->cmbStartSlope->setCurrentText(begin);
    ui->cmbEndSlope->setCurrentText(finish);
}

// The library page's rename: the template gets the new name and the road's segments follow it.
void renameTemplate(const std::string& from, const std::string& to)
{
    for (unsigned i = 0; i < library()->size(Pelko::Road::SlopeSectionFill); ++i) {
        Pelko::Road::SlopeSectionTemplateEditable t = library()->getAt(Pelko::Road::SlopeSectionFill, i);
        if (t.getName() != from)
            continue;
        t.setName(to);
        QCOMPARE(library()->setAt(i, t).code, 0);
    }
    for (const auto side : { SlopeSideLeft, SlopeSideRight }) {
        Pelko::Road::SlopeSectionTemplateConfiguration list
            = document()->road()->getSlopeSectionConfiguration()->get(side);
        for (unsigned i = 0; i < list.size(); ++i) {
            const SlopeSectionSegment s = list.getSegmentAt(i);
            const std::string begin
                = s.getBeginTemplate().getName() == from ? to : s.getBeginTemplate().getName();
            const std::string end = s.getEndTemplate().getName() == from ? to : s.getEndTemplate().getName();
            list.setSegmentAt(i, segment(s.getName(), s.getStart(), s.getEnd(), begin, end));
        }
    }
}

} // namespace

class TestSlopeUseLib : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void libraryLookups();
    void dialogChecks();
    void dialogRefusesMissingTemplates();
    void dialogShowsTheRow();
    void libUpdateReloadsACleanCopy();
    void libUpdateKeepsUnappliedEdits();
    void renameReachesUnappliedEdits();
    void savedSegmentsSurviveFileSave();
    void unsavedSegmentsWrittenByFileSave();
    void editorTables();
    void editorFlows();
    void pageDrawsTheSelectedSegment();
    void drawingFollowsTheTable();

private:
    SlopeSegmentRoads::Folder folder;
};

void TestSlopeUseLib::init()
{
    folder.renew();
    QVERIFY(folder.isValid());
}

void TestSlopeUseLib::cleanup()
{
    document()->closeRoad();
}

void TestSlopeUseLib::libraryLookups()
{
    SlopeUseLibTableModel model(SlopeSideLeft);
    QVERIFY(model.templateNames().isEmpty());
    QVERIFY(!model.templateByName("Fill A").isValid());

    QVERIFY(folder.open());
    // Fill templates first, then cut templates, each in library order.
    QCOMPARE(model.templateNames(), (QStringList { "Fill A", "Fill B", "Cut A" }));
    QCOMPARE(model.templateByName("Cut A").getType(), Pelko::Road::SlopeSectionCut);
    QCOMPARE(model.templateByName("Fill B").size(), 3u);
    QVERIFY(!model.templateByName("fill a").isValid());

    QVERIFY(model.add(segment("west", 0, 100)).ok);
    QCOMPARE(model.segmentName(0), QStringLiteral("west"));
    QCOMPARE(model.segmentName(1), QString());
    QCOMPARE(model.segmentName(-1), QString());
    QCOMPARE(model.add(segment("again", 0, 50)).message, QStringLiteral("Station already exist"));
}

void TestSlopeUseLib::dialogChecks()
{
    // A short equation: nothing lies between K1+000 and K1+100.
    QVERIFY(folder.open(RoadFiles::equations(1000, 1100)));
    SlopeUseLibTableModel model(SlopeSideLeft);
    SlopeUseLibDialog dialog(0, model.rowCount(), &model);
    Ui::SlopeUseLibDialog* ui = dialog.form();
    QCOMPARE(ui->cmbStartSlope->currentText(), QStringLiteral("Fill A"));
    QCOMPARE(ui->cmbEndSlope->currentText(), QStringLiteral("Fill A"));
    QCOMPARE(ui->cmbEndSlope->count(), 3);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Slope"));

    QCOMPARE(dialog.check(), QStringLiteral("Slope name should not be empty!"));
    fill(&dialog, "bank", "abc", "400");
    QCOMPARE(dialog.check(), QStringLiteral("Station should not be infinite!"));
    fill(&dialog, "bank", "500", "400");
    QCOMPARE(dialog.check(), QStringLiteral("Start station can not be greater than end!"));
    fill(&dialog, "bank", "400", "400");
    QCOMPARE(dialog.check(), QStringLiteral("Start station can not be greater than end!"));
    fill(&dialog, "bank", "K1+050", "K1+200");
    QCOMPARE(dialog.check(), QStringLiteral("Given station does not exist!"));
    fill(&dialog, "bank", "400", "500", "Fill A", "Cut A");
    QCOMPARE(dialog.check(), QStringLiteral("Start Template and end Template should be the same type!"));
    QVERIFY(!dialog.segment().isValid());

    fill(&dialog, "bank", "400", "K1+200", "Fill A", "Fill B");
    QCOMPARE(dialog.check(), QString());
    QCOMPARE(dialog.segment().getName(), std::string("bank"));
    // K1+200 lies 100 m on after the equation's gap.
    QCOMPARE(dialog.segment().getEnd(), 1100.0);
    QCOMPARE(dialog.segment().getEndTemplate().getName(), std::string("Fill B"));

    // Cancel runs the checks too: an unreadable station keeps the dialog open.
    ScriptedPrompter prompter(false);
    QList<int> closed;
    connect(&dialog, &QDialog::finished, this, [&closed](int result) { closed << result; });
    ui->edtStart->setText("x");
    dialog.onCancel();
    QCOMPARE(warnings(prompter), (QStringList { "Station should not be infinite!" }));
    QCOMPARE(prompter.calls.first().title, QStringLiteral("Trelvin"));
    QVERIFY(closed.isEmpty());
    ui->edtStart->setText("400");
    dialog.onAccept();
    QCOMPARE(closed, (QList<int> { 1 }));
    // Every refusal of the segment factory has its message; only success has none.
    QCOMPARE(SlopeUseLibDialog::segmentErrorText(SlopeSectionSegment::Success), QString());
    QStringList texts;
    for (int code : { int(SlopeSectionSegment::InvalidStation), int(SlopeSectionSegment::TypeMismatch),
                      int(SlopeSectionSegment::EmptyName), 4, -1 }) {
        const QString text = SlopeUseLibDialog::segmentErrorText(code);
        QVERIFY2(!text.isEmpty() && !texts.contains(text), qPrintable(QString::number(code)));
        texts << text;
    }
    QCOMPARE(SlopeUseLibDialog::segmentErrorText(SlopeSectionSegment::EmptyName),
             QStringLiteral("Slope name should not be empty!"));
}

void TestSlopeUseLib::dialogRefusesMissingTemplates()
{
    QVERIFY(folder.open());
    SlopeUseLibTableModel model(SlopeSideRight);
    {
        SlopeUseLibDialog dialog(0, 0, &model);
        fill(&dialog, "bank", "0", "100", "Fill A", "Fill B");
        // The library page deletes a template while the dialog is open.
        library()->removeAt(Pelko::Road::SlopeSectionFill, 1);
        QCOMPARE(dialog.check(), QStringLiteral("End template \"Fill B\" is not in the slope library!"));
        library()->removeAt(Pelko::Road::SlopeSectionFill, 0);
        QCOMPARE(dialog.check(), QStringLiteral("Start template \"Fill A\" is not in the slope library!"));
    }
    library()->removeAt(Pelko::Road::SlopeSectionCut, 0);
    SlopeUseLibDialog empty(0, 0, &model);
    QCOMPARE(empty.form()->cmbStartSlope->count(), 0);
    fill(&empty, "bank", "0", "100");
    QCOMPARE(empty.check(), QStringLiteral("The slope library holds no template!"));
    QVERIFY(!empty.segment().isValid());
}

void TestSlopeUseLib::dialogShowsTheRow()
{
    QVERIFY(folder.open(RoadFiles::equations(1200, 1100)));
    SlopeUseLibTableModel model(SlopeSideLeft);
    QVERIFY(model.add(segment("west", 1250, 1400, "Fill B", "Fill A")).ok);
    SlopeUseLibDialog dialog(1, 0, &model);
    Ui::SlopeUseLibDialog* ui = dialog.form();
    QCOMPARE(ui->edtName->text(), QStringLiteral("west"));
    QCOMPARE(ui->edtStart->text(), QStringLiteral("K1+150.000A"));
    QCOMPARE(ui->edtEnd->text(), QStringLiteral("K1+300.000"));
    QCOMPARE(ui->cmbStartSlope->currentText(), QStringLiteral("Fill B"));
    QCOMPARE(ui->cmbEndSlope->currentText(), QStringLiteral("Fill A"));
    QCOMPARE(dialog.check(), QString());
    QCOMPARE(dialog.segment().getStart(), 1250.0);
}

void TestSlopeUseLib::libUpdateReloadsACleanCopy()
{
    QVERIFY(folder.open());
    SlopeUseLibTableModel model(SlopeSideLeft);
    QVERIFY(model.add(segment("west", 0, 100)).ok);
    QVERIFY(model.applyChanges());

    int resets = 0;
    int inserts = 0;
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, [&resets] { ++resets; });
    connect(&model, &QAbstractItemModel::rowsInserted, this, [&inserts] { ++inserts; });
    // The library page changed the road's segments and announces it.
    Pelko::Road::SlopeSectionTemplateConfiguration list
        = document()->road()->getSlopeSectionConfiguration()->get(SlopeSideLeft);
    QCOMPARE(list.addSegment(segment("more", 100, 200, "Fill B", "Fill B")).code, 0);
    document()->notifyLibUpdate();
    QCOMPARE(resets, 1);
    QCOMPARE(inserts, 0);
    QCOMPARE(segments(model.configuration()), (QStringList { "west:Fill A>Fill A", "more:Fill B>Fill B" }));
    QVERIFY(!model.hasUnwrittenEdits());
    QVERIFY(!(document()->editFlags() & DataType::Slope));
}

void TestSlopeUseLib::libUpdateKeepsUnappliedEdits()
{
    QVERIFY(folder.open());
    SlopeUseLibTableModel model(SlopeSideLeft);
    QVERIFY(model.add(segment("west", 0, 100)).ok);
    int resets = 0;
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, [&resets] { ++resets; });

    // The library page adds an element to Fill A and writes.
    Pelko::Road::SlopeSectionTemplateEditable changed = library()->getAt(Pelko::Road::SlopeSectionFill, 0);
    changed.add(Pelko::Road::SlopeSectionElement::createPlatformBySlope("berm", 1.0, 2.0));
    QCOMPARE(library()->setAt(0, changed).code, 0);
    document()->notifyLibUpdate();

    QCOMPARE(resets, 0);
    QCOMPARE(segments(model.configuration()), (QStringList { "west:Fill A>Fill A" }));
    QCOMPARE(model.configuration().getSegmentAt(0).getBeginTemplate().size(), 2u);
    QVERIFY(model.hasUnwrittenEdits());
    QVERIFY(document()->editFlags() & DataType::Slope);
    // Not written behind the user's back.
    QVERIFY(roadSegments(SlopeSideLeft).isEmpty());
}

void TestSlopeUseLib::renameReachesUnappliedEdits()
{
    QVERIFY(folder.open());
    SlopeUseLibTableModel model(SlopeSideLeft);
    QVERIFY(model.add(segment("west", 0, 100, "Fill A", "Fill B")).ok);
    QVERIFY(model.applyChanges());
    QVERIFY(model.add(segment("north", 100, 200, "Fill B", "Fill B")).ok);

    renameTemplate("Fill A", "Fill Z");
    document()->notifyLibUpdate();
    QCOMPARE(segments(model.configuration()), (QStringList { "west:Fill Z>Fill B", "north:Fill B>Fill B" }));
    QVERIFY(model.hasUnwrittenEdits());

    QVERIFY(document()->save());
    QVERIFY(folder.reopen());
    QCOMPARE(roadSegments(SlopeSideLeft), (QStringList { "west:Fill Z>Fill B", "north:Fill B>Fill B" }));
}

void TestSlopeUseLib::savedSegmentsSurviveFileSave()
{
    // Both slope pages exist, as in the main window; only one is shown.
    SlopeWidget hidden;
    SlopeUseLibWidget page;
    QVERIFY(folder.open());
    SlopeUseLibTableModel* left = page.editor()->leftModel();
    QVERIFY(left->add(segment("west", 0, 100, "Fill A", "Fill B")).ok);
    page.editor()->onBtnApplyClick();
    QVERIFY(!(document()->editFlags() & DataType::Slope));
    QCOMPARE(roadSegments(SlopeSideLeft), (QStringList { "west:Fill A>Fill B" }));

    // File > Save: the hidden page's copies, taken at open, must not overwrite the segment.
    QVERIFY(document()->save());
    QVERIFY(folder.reopen());
    QCOMPARE(roadSegments(SlopeSideLeft), (QStringList { "west:Fill A>Fill B" }));
    QCOMPARE(segments(left->configuration()), (QStringList { "west:Fill A>Fill B" }));
}

void TestSlopeUseLib::unsavedSegmentsWrittenByFileSave()
{
    SlopeWidget hidden;
    SlopeUseLibWidget page;
    QVERIFY(folder.open());
    QVERIFY(page.editor()->rightModel()->add(segment("east", 50, 150)).ok);
    QVERIFY(document()->editFlags() & DataType::Slope);
    QVERIFY(document()->save());
    QVERIFY(!(document()->editFlags() & DataType::Slope));
    QVERIFY(folder.reopen());
    QCOMPARE(roadSegments(SlopeSideRight), (QStringList { "east:Fill A>Fill A" }));
    QVERIFY(roadSegments(SlopeSideLeft).isEmpty());
}

void TestSlopeUseLib::editorTables()
{
    SlopeUseLibEditWidget editor;
    Ui::SlopeUseLibEditWidget* ui = editor.form();
    QCOMPARE(ui->tabWidgetLeft->count(), 0);
    QCOMPARE(ui->tabWidgetRight->count(), 0);
    QVERIFY(!editor.tableView(SlopeSideLeft));
    QVERIFY(!ui->appendButton->isEnabled());
    QCOMPARE(ui->applyButton->text(), QStringLiteral("Save"));

    QVERIFY(folder.open());
    QCOMPARE(ui->tabWidgetLeft->count(), 1);
    QCOMPARE(ui->tabWidgetLeft->tabText(0), QStringLiteral("Slope elements"));
    QPointer<QTableView> first = editor.tableView(SlopeSideRight);
    QVERIFY(first);
    QCOMPARE(first->model(), editor.rightModel());
    QVERIFY(ui->appendButtonRight->isEnabled());

    QVERIFY(folder.reopen());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);
    QCOMPARE(ui->tabWidgetRight->count(), 1);
    QVERIFY(editor.tableView(SlopeSideRight));

    document()->closeRoad();
    QVERIFY(!ui->appendButton->isEnabled());
    QVERIFY(!ui->applyButton->isEnabled());
}

void TestSlopeUseLib::editorFlows()
{
    SlopeUseLibEditWidget editor;
    QVERIFY(folder.open());
    ScriptedPrompter prompter(false);

    whenDialogShows<SlopeUseLibDialog>([](SlopeUseLibDialog* dialog) {
        fill(dialog, "west", "0", "100", "Fill A", "Fill B");
        dialog->onAccept();
    });
    editor.onBtnAppendClick();
    QCOMPARE(segments(editor.leftModel()->configuration()), (QStringList { "west:Fill A>Fill B" }));

    // An overlapping segment is refused and the same dialog opens again until the user gives up.
    int shown = 0;
    whenDialogShows<SlopeUseLibDialog>([&shown](SlopeUseLibDialog* dialog) {
        ++shown;
        fill(dialog, "over", "50", "150");
        whenDialogShows<SlopeUseLibDialog>([&shown](SlopeUseLibDialog* again) {
            ++shown;
            QCOMPARE(again->form()->edtName->text(), QStringLiteral("over"));
            again->reject();
        });
        dialog->onAccept();
    });
    editor.onBtnAppendClick();
    QCOMPARE(shown, 2);
    QCOMPARE(warnings(prompter), (QStringList { "Station overlapped" }));
    QCOMPARE(editor.leftModel()->rowCount(), 1);

    // Edit and delete need a selected row.
    prompter.calls.clear();
    editor.onBtnEditClick();
    editor.onBtnDeletRightClick();
    QCOMPARE(warnings(prompter), (QStringList { "Please Select Data!", "Please Select Data!" }));
    QCOMPARE(prompter.calls.first().title, QString());

    editor.tableView(SlopeSideLeft)->setCurrentIndex(editor.leftModel()->index(0, 0));
    whenDialogShows<SlopeUseLibDialog>([](SlopeUseLibDialog* dialog) {
        QCOMPARE(dialog->form()->edtName->text(), QStringLiteral("west"));
        dialog->form()->edtEnd->setText("80");
        dialog->onAccept();
    });
    editor.onBtnEditClick();
    QCOMPARE(editor.leftModel()->configuration().getSegmentAt(0).getEnd(), 80.0);

    QVERIFY(editor.rightModel()->add(segment("east", 0, 100)).ok);
    editor.tableView(SlopeSideRight)->setCurrentIndex(editor.rightModel()->index(0, 0));
    editor.onBtnDeletRightClick();
    QCOMPARE(editor.rightModel()->rowCount(), 0);
    QCOMPARE(editor.leftModel()->rowCount(), 1);

    editor.onBtnApplyClick();
    QCOMPARE(roadSegments(SlopeSideLeft), (QStringList { "west:Fill A>Fill B" }));
    QVERIFY(!(document()->editFlags() & DataType::Slope));
}

void TestSlopeUseLib::pageDrawsTheSelectedSegment()
{
    SlopeUseLibWidget page;
    QVERIFY(page.firstCurve() == page.startCurve() && page.secondCurve() == page.endCurve());
    QVERIFY(folder.open());
    QVERIFY(page.editor()->rightModel()->add(segment("east", 0, 100, "Fill A", "Fill B")).ok);

    TerminalLines printed;
    page.editor()->onClicked(page.editor()->rightModel()->index(0, 1));
    QCOMPARE(page.startCurve()->side(), int(SlopeSideRight));
    QCOMPARE(page.endCurve()->index(), 0);
    QCOMPARE(page.startCurve()->plotCurve()->dataSize(), size_t(2));
    QCOMPARE(page.endCurve()->plotCurve()->dataSize(), size_t(4));
    QCOMPARE(page.endCurve()->plateMarkers()->markers().size(), 1);
    QVERIFY(page.firstPlot()->itemList().contains(page.startCurve()->plotCurve()));
    QVERIFY(page.secondPlot()->itemList().contains(page.endCurve()->plotCurve()));

    // Closing hands both curves nothing to draw.
    document()->closeRoad();
    // Drawing prints nothing.
    QCOMPARE(printed.lines, QStringList());
    QCOMPARE(page.startCurve()->side(), -1);
    QCOMPARE(page.endCurve()->plotCurve()->dataSize(), size_t(0));
    QVERIFY(!page.firstPlot()->itemList().contains(page.startCurve()->plotCurve()));
}

namespace {

QVector<QPointF> points(const Zemko::Trelvin::SlopeCurve* curve)
{
    QVector<QPointF> drawn;
    const QwtSeriesData<QPointF>* data = curve->plotCurve()->data();
    for (size_t i = 0; i < data->size(); ++i)
        drawn << data->sample(i);
    return drawn;
}

// What a curve draws of the named template on the side; nothing without a name.
QVector<QPointF> drawing(Pelko::Road::SlopeSectionSide side, const std::string& name)
{
    Zemko::Trelvin::SlopeCurve curve(QStringLiteral("expected"), Qt::green);
    curve.setTemplate(side, 0,
                      name.empty() ? Pelko::Road::SlopeSectionTemplate()
                                   : document()->road()->getSlopeSectionTemplateLibrary()->getByName(name));
    return points(&curve);
}

} // namespace

// After every change of the table the plots show the segment the table marks: the one that takes a
// deleted row's place, the changed one, or nothing when the side has none left.
void TestSlopeUseLib::drawingFollowsTheTable()
{
    SlopeUseLibWidget page;
    QVERIFY(folder.open());
    ScriptedPrompter prompter;
    SlopeUseLibEditWidget* editor = page.editor();
    SlopeUseLibTableModel* left = editor->leftModel();
    QVERIFY(left->add(segment("west", 0, 100, "Fill A", "Fill A")).ok);
    QVERIFY(left->add(segment("hill", 100, 200, "Cut A", "Cut A")).ok);
    QVERIFY(left->add(segment("toe", 200, 300, "Fill B", "Fill B")).ok);
    QVERIFY(editor->rightModel()->add(segment("east", 0, 100, "Fill A", "Fill B")).ok);
    QTableView* leftView = editor->tableView(SlopeSideLeft);
    QTableView* rightView = editor->tableView(SlopeSideRight);
    const auto click = [editor](QTableView* view, int row) {
        view->setCurrentIndex(view->model()->index(row, 0));
        editor->onClicked(view->currentIndex());
    };
    // Checks the drawing, reporting the line of the call.
    const auto drawnAt
        = [&page](int line, int side, int row, const std::string& begin, const std::string& end) {
              const auto s = static_cast<Pelko::Road::SlopeSectionSide>(side);
              const QByteArray at = "drawing checked at line " + QByteArray::number(line);
              QVERIFY2(page.startCurve()->side() == side && page.endCurve()->side() == side, at);
              QVERIFY2(page.startCurve()->index() == row && page.endCurve()->index() == row, at);
              QVERIFY2(points(page.startCurve()) == drawing(s, begin), at);
              QVERIFY2(points(page.endCurve()) == drawing(s, end), at);
          };

    click(leftView, 1);
    drawnAt(__LINE__, SlopeSideLeft, 1, "Cut A", "Cut A");
    QVERIFY(!points(page.startCurve()).isEmpty());

    // Deleting the drawn segment draws the one marked next, the row above; after the first row none.
    editor->onBtnDeleteClick();
    drawnAt(__LINE__, SlopeSideLeft, 0, "Fill A", "Fill A");
    QCOMPARE(leftView->selectionModel()->selectedRows(), QModelIndexList { left->index(0, 0) });
    editor->onBtnDeleteClick();
    drawnAt(__LINE__, -1, -1, "", "");
    QVERIFY(!leftView->selectionModel()->hasSelection());
    click(leftView, 0);
    drawnAt(__LINE__, SlopeSideLeft, 0, "Fill B", "Fill B");

    // A changed segment is drawn as it is now.
    QVERIFY(left->setAt(0, segment("toe", 200, 300, "Fill B", "Fill A")).ok);
    drawnAt(__LINE__, SlopeSideLeft, 0, "Fill B", "Fill A");

    // A change of the other side leaves the drawing.
    click(rightView, 0);
    drawnAt(__LINE__, SlopeSideRight, 0, "Fill A", "Fill B");
    editor->onBtnDeleteClick();
    QCOMPARE(left->rowCount(), 0);
    drawnAt(__LINE__, SlopeSideRight, 0, "Fill A", "Fill B");

    // The last segment of the side gone, nothing is drawn.
    editor->onBtnDeletRightClick();
    drawnAt(__LINE__, -1, -1, "", "");

    // Nor after the table reloads.
    QVERIFY(editor->rightModel()->add(segment("east", 0, 100)).ok);
    click(rightView, 0);
    drawnAt(__LINE__, SlopeSideRight, 0, "Fill A", "Fill A");
    editor->rightModel()->reload();
    drawnAt(__LINE__, -1, -1, "", "");
}

TRELVIN_TEST_MAIN(TestSlopeUseLib)
#include "test_slopeuselib.moc"
