#include "slopes/slopeitemdialog.h"
#include "slopes/slopeitemtablemodel.h"
#include "slopes/slopeitemtablewidget.h"
#include "slopes/slopetablemodel.h"
#include "support/scriptedprompter.h"
#include "support/terminallines.h"
#include "test_slopesegmentsupport.h"
#include "ui_slopeitemdialog.h"

#include <qttestmain.h>

#include <QPushButton>

using namespace Zemko::Trelvin;
using Pelko::Road::SlopeSectionElement;
using Pelko::Road::SlopeSectionTemplate;
using Pelko::Road::SlopeSectionTemplateEditable;

namespace {

// Element tables of segments that do carry a template: every row shows the same one.
class TemplateItemModel : public SlopeItemTableModel
{
public:
    TemplateItemModel(SlopeTableModel* segments, const SlopeSectionTemplate& shown)
        : SlopeItemTableModel(segments)
        , shown(shown)
    {
    }

    SlopeSectionTemplate templateOfSegment(int row) const override
    {
        return row < 0 ? SlopeSectionTemplate() : shown;
    }

    SlopeSectionTemplate shown;
};

SlopeSectionTemplateEditable mixed()
{
    SlopeSectionTemplateEditable t("mixed", Pelko::Road::SlopeSectionFill);
    t.add(SlopeSectionElement::createSlope("bank", 1.5, 1.5));
    t.add(SlopeSectionElement::createPlatformByHeight("berm", 2.0, 0.04));
    t.add(SlopeSectionElement::createSideDitch("ditch", 0.6, 0.4, 0.8));
    return t;
}

QStringList row(const QAbstractItemModel& model, int r)
{
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c)
        cells << model.data(model.index(r, c)).toString();
    return cells;
}

} // namespace

class TestSlopeItem : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void cellsOfEachKind();
    void noTemplateNoRows();
    void editsOfAShownTemplate();
    void widgetLocksWithoutTemplate();
    void dialogCouplesPlatformFields();
    void dialogChecksAndResults();
    void dialogShowsTheElement();
    void dialogKeepsWhatWasNotTyped();
};

void TestSlopeItem::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestSlopeItem::cellsOfEachKind()
{
    SlopeTableModel segments(Pelko::Road::SlopeSideLeft);
    TemplateItemModel model(&segments, mixed());
    model.setSegment(0);
    QCOMPARE(model.side(), Pelko::Road::SlopeSideLeft);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 6);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Slope Elevation"));
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Platform Width"));
    QCOMPARE(model.headerData(5, Qt::Horizontal).toString(), QStringLiteral("Height"));
    QVERIFY(!model.headerData(6, Qt::Horizontal).isValid());

    QCOMPARE(row(model, 0), (QStringList { "bank", "1.500", "1:1.5", "None", "None", "None" }));
    QCOMPARE(row(model, 1), (QStringList { "berm", "None", "None", "2.000", "2%", "0.040" }));
    QCOMPARE(row(model, 2), (QStringList { "ditch", "None", "None", "None", "None", "None" }));
    QVERIFY(!model.data(model.index(3, 0)).isValid());
}

void TestSlopeItem::noTemplateNoRows()
{
    SlopeTableModel segments(Pelko::Road::SlopeSideRight);
    SlopeItemTableModel model(&segments);
    QCOMPARE(model.segmentRow(), -1);
    model.setSegment(2);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.hasTemplate());

    // Nothing to add to: no row is announced, least of all row -1.
    int announced = 0;
    connect(&model, &QAbstractItemModel::rowsInserted, this, [&announced] { ++announced; });
    connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, this, [&announced] { ++announced; });
    const SlopeTableModel::EditResult added = model.add(SlopeSectionElement::createSlope("bank", 2, 1.5));
    QVERIFY(!added.ok);
    QCOMPARE(added.message, QStringLiteral("No slope selected!"));
    QVERIFY(!model.setAt(0, SlopeSectionElement::createSlope("bank", 2, 1.5)).ok);
    model.removeAt(0);
    QCOMPARE(announced, 0);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.hasUnwrittenEdits());
}

void TestSlopeItem::editsOfAShownTemplate()
{
    SlopeTableModel segments(Pelko::Road::SlopeSideLeft);
    TemplateItemModel model(&segments, SlopeSegmentRoads::fillA());
    model.showSegment(0);
    QVERIFY(model.hasTemplate());
    QList<int> inserted;
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            [&inserted](const QModelIndex&, int first, int) { inserted << first; });

    QVERIFY(model.add(SlopeSectionElement::createPlatformBySlope("berm", 1.0, 4.0)).ok);
    QCOMPARE(inserted, (QList<int> { 1 }));
    QCOMPARE(row(model, 1).mid(0, 5), (QStringList { "berm", "None", "None", "1.000", "4%" }));
    QVERIFY(model.hasUnwrittenEdits());

    QVERIFY(model.setAt(0, SlopeSectionElement::createSlope("steep", 3.0, 1.0)).ok);
    QCOMPARE(row(model, 0).mid(0, 3), (QStringList { "steep", "3.000", "1:1" }));
    QVERIFY(!model.setAt(2, SlopeSectionElement::createSlope("x", 1.0, 1.0)).ok);
    model.removeAt(0);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.currentTemplate().getName(), std::string("Fill A"));

    // Another selection shows another segment without dropping the pending mark.
    model.showSegment(-1);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(model.hasUnwrittenEdits());
    // Its elements belong to the library: the write step has nothing to write and clears the mark.
    QVERIFY(model.applyChanges());
    QVERIFY(!model.hasUnwrittenEdits());
}

void TestSlopeItem::widgetLocksWithoutTemplate()
{
    SlopeTableModel segments(Pelko::Road::SlopeSideLeft);
    SlopeItemTableWidget widget(&segments, 0);
    QCOMPARE(widget.windowTitle(), QStringLiteral("Slope"));
    QVERIFY(widget.findChild<QPushButton*>("applyButton")->isHidden());
    QVERIFY(widget.findChild<QPushButton*>("insertButton")->isHidden());
    {
        TerminalLines printed;
        widget.setSegment(Pelko::Road::SlopeSideLeft, 3);
        QCOMPARE(printed.lines, QStringList());
    }
    QCOMPARE(widget.segmentRow(), 3);
    for (const char* name : { "appendButton", "deleteButton", "editButton" })
        QVERIFY(!widget.findChild<QPushButton*>(name)->isEnabled());
    QVERIFY(!widget.checkModel());
    QVERIFY(!widget.currentTemplate().isValid());

    // The buttons do nothing, and ask nothing.
    ScriptedPrompter prompter;
    widget.on_appendButton_clicked();
    widget.on_editButton_clicked();
    widget.on_deleteButton_clicked();
    QVERIFY(prompter.calls.isEmpty());
}

void TestSlopeItem::dialogCouplesPlatformFields()
{
    SlopeItemDialog dialog(0, 0, nullptr);
    Ui::SlopeItemDialog* ui = dialog.form();
    QCOMPARE(ui->edtPlatformHeight->text(), QStringLiteral("0"));
    QCOMPARE(ui->edtPlateformWidth->text(), QStringLiteral("0"));
    QVERIFY(!ui->groupSurface->isHidden());
    QVERIFY(ui->groupPlatform->isHidden());
    ui->cmbType->setCurrentIndex(dialog.findTypeIndex(Pelko::Road::SlopeElementPlatform));
    QVERIFY(ui->groupSurface->isHidden());
    QVERIFY(!ui->groupPlatform->isHidden());
    QCOMPARE(dialog.findTypeIndex(3), -1);

    ui->edtPlateformWidth->clear();
    QTest::keyClicks(ui->edtPlateformWidth, "2");
    ui->edtPlatformHeight->clear();
    QTest::keyClicks(ui->edtPlatformHeight, "0.04");
    QCOMPARE(ui->edtPlatformCrossSlope->text(), QStringLiteral("2"));

    ui->edtPlatformCrossSlope->clear();
    QTest::keyClicks(ui->edtPlatformCrossSlope, "3");
    QCOMPARE(ui->edtPlatformHeight->text(), QStringLiteral("0.06"));

    // A text set by the program is no typing: it couples nothing.
    ui->edtPlatformHeight->setText("1");
    QCOMPARE(ui->edtPlatformCrossSlope->text(), QStringLiteral("3"));
}

void TestSlopeItem::dialogChecksAndResults()
{
    ScriptedPrompter prompter(false);
    SlopeItemDialog dialog(0, 0, nullptr);
    Ui::SlopeItemDialog* ui = dialog.form();
    QList<int> closed;
    connect(&dialog, &QDialog::finished, this, [&closed](int result) { closed << result; });

    dialog.onNext();
    QCOMPARE(prompter.calls.size(), 1);
    QCOMPARE(prompter.calls.first().text, QStringLiteral("Surface name should not be empty!"));
    QCOMPARE(prompter.calls.first().title, QStringLiteral("Trelvin"));
    QVERIFY(closed.isEmpty());

    // Empty height and ratio count as 0.
    ui->edtSurfaceName->setText("bank");
    dialog.onNext();
    QCOMPARE(closed, (QList<int> { 2 }));
    QCOMPARE(dialog.element().getType(), Pelko::Road::SlopeElementSurface);
    QCOMPARE(dialog.element().getHeight(), 0.0);

    ui->cmbType->setCurrentIndex(1);
    QCOMPARE(dialog.check(), QStringLiteral("Platform name should not be empty!"));
    ui->edtPlatformName->setText("berm");
    ui->edtPlateformWidth->setText("2");
    ui->edtPlatformCrossSlope->setText("2");
    dialog.onAccept();
    QCOMPARE(closed, (QList<int> { 2, 1 }));
    QCOMPARE(dialog.element().getType(), Pelko::Road::SlopeElementPlatform);
    QCOMPARE(dialog.element().getName(), std::string("berm"));
    QCOMPARE(dialog.element().getHeight(), 0.04);

    // Sizes whose element the road file would not keep are refused, naming the field.
    ui->edtPlateformWidth->setText("1e307");
    ui->edtPlatformCrossSlope->setText("1e5");
    QCOMPARE(dialog.check(), QStringLiteral("Width \"1e307\" is too large: the element could not be saved!"));
    ui->cmbType->setCurrentIndex(0);
    ui->edtSurfaceHeight->setText("4");
    ui->edtSurfaceRate->setText("1.51e308");
    QCOMPARE(dialog.check(),
             QStringLiteral("Ratio \"1.51e308\" is too large: the element could not be saved!"));
    QCOMPARE(dialog.element().getName(), std::string("berm"));
}

void TestSlopeItem::dialogShowsTheElement()
{
    SlopeTableModel segments(Pelko::Road::SlopeSideLeft);
    TemplateItemModel model(&segments, mixed());
    model.setSegment(0);

    SlopeItemDialog surface(1, 0, &model);
    QCOMPARE(surface.form()->edtSurfaceName->text(), QStringLiteral("bank"));
    QCOMPARE(surface.form()->edtSurfaceHeight->text(), QStringLiteral("1.5000"));
    QCOMPARE(surface.form()->edtSurfaceRate->text(), QStringLiteral("1.5"));
    QCOMPARE(surface.form()->cmbType->currentIndex(), 0);

    SlopeItemDialog platform(1, 1, &model);
    QCOMPARE(platform.form()->cmbType->currentIndex(), 1);
    QCOMPARE(platform.form()->edtPlatformName->text(), QStringLiteral("berm"));
    QCOMPARE(platform.form()->edtPlateformWidth->text(), QStringLiteral("2.0000"));
    QCOMPARE(platform.form()->edtPlatformCrossSlope->text(), QStringLiteral("2"));
    QCOMPARE(platform.form()->edtPlatformHeight->text(), QStringLiteral("0.0400"));
    QVERIFY(platform.form()->groupSurface->isHidden());

    // A ditch has no fields here; the dialog shows the surface fields empty.
    SlopeItemDialog ditch(1, 2, &model);
    QVERIFY(ditch.form()->edtSurfaceName->text().isEmpty());
    QVERIFY(ditch.form()->edtPlatformName->text().isEmpty());
}

void TestSlopeItem::dialogKeepsWhatWasNotTyped()
{
    SlopeSectionTemplateEditable surveyed("surveyed", Pelko::Road::SlopeSectionFill);
    surveyed.add(SlopeSectionElement::createSlope("bank", 2.3456791234, 1.5345678912));
    surveyed.add(SlopeSectionElement::createPlatformBySlope("berm", 2.3456781234, 3.9876543219));
    SlopeTableModel segments(Pelko::Road::SlopeSideLeft);
    TemplateItemModel model(&segments, surveyed);
    model.setSegment(0);
    const auto stored = [&surveyed](int row) { return surveyed.getAt(unsigned(row)).storedValues(); };

    // OK on fields as they were filled: every value to the last bit.
    for (int r = 0; r < 2; ++r) {
        SlopeItemDialog dialog(1, r, &model);
        QCOMPARE(dialog.check(), QString());
        const SlopeSectionElement::StoredValues values = dialog.element().storedValues();
        // Exact equality: a fuzzy compare would let a last-digit rounding through.
        QVERIFY(values.height == stored(r).height);
        QVERIFY(values.ratio == stored(r).ratio);
        QVERIFY(values.width == stored(r).width);
        QVERIFY(values.slope == stored(r).slope);
    }

    // One field typed: that field takes the typed value, the other keeps its own.
    SlopeItemDialog surface(1, 0, &model);
    surface.form()->edtSurfaceRate->setText(QStringLiteral("1.75"));
    QCOMPARE(surface.check(), QString());
    QCOMPARE(surface.element().storedValues().ratio, 1.75);
    QVERIFY(surface.element().storedValues().height == stored(0).height);

    SlopeItemDialog platform(1, 1, &model);
    platform.form()->edtPlateformWidth->setText(QStringLiteral("2.5"));
    QCOMPARE(platform.check(), QString());
    QCOMPARE(platform.element().storedValues().width, 2.5);
    QVERIFY(platform.element().storedValues().slope == stored(1).slope);
}

TRELVIN_TEST_MAIN(TestSlopeItem)
#include "test_slopeitem.moc"
