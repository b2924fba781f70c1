#include "document/trelvin.h"
#include "slopes/slopelibdialog.h"
#include "slopes/slopelibitemdialog.h"
#include "slopes/slopelibitemtablemodel.h"
#include "slopes/slopelibtablemodel.h"
#include "support/scriptedprompter.h"
#include "ui_slopelibitemdialog.h"

#include <road/slopesectionelement.h>
#include <road/slopesectiontemplatelibrary.h>

#include <qttestmain.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using Pelko::Road::SlopeSectionElement;
using Pelko::Road::SlopeSectionTemplateEditable;
using Zemko::Trelvin::SlopeLibItemTableModel;
using Zemko::Trelvin::SlopeLibTableModel;

namespace {

// Replaces the field's text the way a user does, so that only textEdited fires.
void type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void choose(SlopeLibItemDialog& dialog, int kind)
{
    QComboBox* combo = dialog.form()->cmbType;
    combo->setCurrentIndex(combo->findData(kind));
}

} // namespace

class TestSlopeLibDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void nameDialog();
    void kindsAndGroups();
    void platformFieldsFollowEachOther();
    void buildsEachKind();
    void refusals();
    void refusals_data();
    void editModeShowsTheElement();

private:
    std::unique_ptr<SlopeLibTableModel> list;
    std::unique_ptr<SlopeLibItemTableModel> items;
};

void TestSlopeLibDialogs::init()
{
    items.reset();
    list = std::make_unique<SlopeLibTableModel>(Pelko::Road::SlopeSectionCut);
    SlopeSectionTemplateEditable t("Cut A", Pelko::Road::SlopeSectionCut);
    t.add(SlopeSectionElement::createSideDitch("gutter", 0.5, 0.25, 0.75, 1.0, 1.25));
    t.add(SlopeSectionElement::createPlatformBySlope("bench", 2, 3));
    t.add(SlopeSectionElement::createSlope("face", 3, 0.75));
    QVERIFY(list->add(t).ok);
    items = std::make_unique<SlopeLibItemTableModel>(list.get(), 0);
}

void TestSlopeLibDialogs::nameDialog()
{
    SlopeLibDialog fresh(0, 1, list.get());
    QCOMPARE(fresh.windowTitle(), QStringLiteral("Slope"));
    auto* name = fresh.findChild<QLineEdit*>("edtName");
    QVERIFY(name->text().isEmpty());
    name->setText(QStringLiteral("Cut B"));
    fresh.onCancel();
    QCOMPARE(fresh.result(), 0);
    QCOMPARE(fresh.slopeTemplate().getName(), std::string("Cut B"));
    QCOMPARE(fresh.slopeTemplate().getType(), Pelko::Road::SlopeSectionCut);
    QCOMPARE(fresh.slopeTemplate().size(), 0u);

    SlopeLibDialog edit(1, 0, list.get());
    name = edit.findChild<QLineEdit*>("edtName");
    QCOMPARE(name->text(), QStringLiteral("Cut A"));
    name->setText(QStringLiteral("Cut \u00e9"));
    edit.findChild<QPushButton*>("okButton")->click();
    QCOMPARE(edit.result(), 1);
    // The renamed copy keeps the elements; the library is untouched until the list stores it.
    QCOMPARE(edit.slopeTemplate().getName(), std::string("Cut \xc3\xa9"));
    QCOMPARE(edit.slopeTemplate().size(), 3u);
    QCOMPARE(list->library().getAt(Pelko::Road::SlopeSectionCut, 0).getName(), std::string("Cut A"));
}

void TestSlopeLibDialogs::kindsAndGroups()
{
    SlopeLibItemDialog dialog(0, 0, items.get());
    Ui::SlopeLibItemDialog* form = dialog.form();
    QCOMPARE(form->cmbType->count(), 4);
    QCOMPARE(form->cmbType->itemText(3), QStringLiteral("Trapezoid Ditch"));
    QCOMPARE(form->cmbType->currentIndex(), 0);
    QVERIFY(!form->groupSurface->isHidden());
    QVERIFY(form->groupPlatform->isHidden() && form->groupDitch->isHidden());
    QVERIFY(form->nextButton->isEnabled());
    QCOMPARE(form->edtPlatformHeight->text(), QStringLiteral("0"));
    QCOMPARE(form->edtPlateformWidth->text(), QStringLiteral("0"));

    choose(dialog, 2);
    QVERIFY(!form->groupDitch->isHidden());
    QVERIFY(form->groupSurface->isHidden() && form->groupPlatform->isHidden());
    QVERIFY(!form->edtInnerW->isEnabled() && !form->edtOuterW->isEnabled());
    choose(dialog, 3);
    QVERIFY(form->edtInnerW->isEnabled() && form->edtOuterW->isEnabled());
    choose(dialog, 1);
    QVERIFY(!form->groupPlatform->isHidden() && form->groupDitch->isHidden());
}

void TestSlopeLibDialogs::platformFieldsFollowEachOther()
{
    SlopeLibItemDialog dialog(0, 0, items.get());
    Ui::SlopeLibItemDialog* form = dialog.form();
    choose(dialog, 1);
    type(form->edtPlateformWidth, QStringLiteral("10"));
    type(form->edtPlatformHeight, QStringLiteral("0.2"));
    QCOMPARE(form->edtPlatformCrossSlope->text(), QStringLiteral("2"));
    type(form->edtPlatformCrossSlope, QStringLiteral("3"));
    QCOMPARE(form->edtPlatformHeight->text(), QStringLiteral("0.3"));

    // Text set by the program does not feed back.
    form->edtPlateformWidth->setText(QStringLiteral("20"));
    QCOMPARE(form->edtPlatformCrossSlope->text(), QStringLiteral("3"));

    // No width: the library's 1:1 stands in.
    type(form->edtPlateformWidth, QStringLiteral("0"));
    type(form->edtPlatformHeight, QStringLiteral("1"));
    QCOMPARE(form->edtPlatformCrossSlope->text(), QStringLiteral("100"));
}

void TestSlopeLibDialogs::buildsEachKind()
{
    {
        SlopeLibItemDialog dialog(0, 0, items.get());
        Ui::SlopeLibItemDialog* form = dialog.form();
        form->edtSurfaceName->setText(QStringLiteral("bank"));
        form->edtSurfaceHeight->setText(QStringLiteral("2"));
        form->edtSurfaceRate->setText(QStringLiteral("1.5"));
        form->nextButton->click();
        QCOMPARE(dialog.result(), 2);
        QCOMPARE(dialog.element().getType(), Pelko::Road::SlopeElementSurface);
        QCOMPARE(dialog.element().getWidth(), 3.0);
        QCOMPARE(dialog.element().getSlope().getDenominator(), 1.5);
    }
    {
        SlopeLibItemDialog dialog(0, 0, items.get());
        Ui::SlopeLibItemDialog* form = dialog.form();
        choose(dialog, 1);
        form->edtPlatformName->setText(QStringLiteral("berm"));
        form->edtPlateformWidth->setText(QStringLiteral("2"));
        form->edtPlatformCrossSlope->setText(QStringLiteral("4"));
        // The height field is not read: the slope decides.
        form->edtPlatformHeight->setText(QStringLiteral("9"));
        dialog.onAccept();
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(dialog.element().getType(), Pelko::Road::SlopeElementPlatform);
        QCOMPARE(dialog.element().getHeight(), 0.08);
    }
    {
        SlopeLibItemDialog dialog(0, 0, items.get());
        Ui::SlopeLibItemDialog* form = dialog.form();
        choose(dialog, 2);
        form->edtDitchName->setText(QStringLiteral("gutter"));
        form->edtInnerH->setText(QStringLiteral("0.5"));
        // A rectangular ditch ignores the widths of its faces.
        form->edtInnerW->setText(QStringLiteral("7"));
        form->edtBottomW->setText(QStringLiteral("0.4"));
        form->edtOuterH->setText(QStringLiteral("0.8"));
        dialog.onAccept();
        QCOMPARE(dialog.result(), 1);
        const SlopeSectionElement::ElementParameters sizes = dialog.element().getParameters();
        QCOMPARE(dialog.element().getType(), Pelko::Road::SlopeElementRectangularDitch);
        QCOMPARE(sizes.values[0], 0.0);
        QCOMPARE(sizes.values[4], 0.4);
    }
}

void TestSlopeLibDialogs::refusals_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("message");
    QTest::newRow("surface name") << 0 << QStringList({ "", "2", "1.5" })
                                  << "Surface name should not be empty!";
    QTest::newRow("platform name") << 1 << QStringList({ "", "2", "2" })
                                   << "Platform name should not be empty!";
    QTest::newRow("ditch name") << 3 << QStringList({ "", "1", "1", "1", "1", "1" })
                                << "Ditch name should not be empty!";
    QTest::newRow("no number") << 0 << QStringList({ "bank", "2,5", "1.5" })
                               << "Height \"2,5\" is not a number!";
    QTest::newRow("no slope") << 1 << QStringList({ "berm", "2", "2%" }) << "Slope \"2%\" is not a number!";
    // What the road file would not give back, with the field to blame.
    QTest::newRow("no inner depth")
        << 2 << QStringList({ "d", "0", "", "0.4", "", "0.8" })
        << "Inner Height \"0\" is too small: a ditch needs at least a millimetre!";
    QTest::newRow("no bottom")
        << 3 << QStringList({ "d", "0.5", "1", "0.0004", "1", "0.8" })
        << "Bottom Widht \"0.0004\" is too small: a ditch needs at least a millimetre!";
    QTest::newRow("no outer depth") << 3 << QStringList({ "d", "0.5", "1", "0.4", "1", "" })
                                    << "Outer Height \"\" is too small: a ditch needs at least a millimetre!";
    QTest::newRow("too wide a surface") << 0 << QStringList({ "bank", "4", "1.51e308" })
                                        << "Ratio \"1.51e308\" is too large: the element could not be saved!";
    QTest::newRow("too high a platform") << 1 << QStringList({ "berm", "1e307", "1e5" })
                                         << "Width \"1e307\" is too large: the element could not be saved!";
    QTest::newRow("too wide a ditch")
        << 3 << QStringList({ "d", "0.5", "1e308", "1e308", "1", "0.8" })
        << "Bottom Widht \"1e308\" is too large: the element could not be saved!";
}

void TestSlopeLibDialogs::refusals()
{
    QFETCH(int, kind);
    QFETCH(QStringList, fields);
    QFETCH(QString, message);
    SlopeLibItemDialog dialog(0, 0, items.get());
    Ui::SlopeLibItemDialog* form = dialog.form();
    choose(dialog, kind);
    QList<QLineEdit*> edits;
    if (kind == 0)
        edits = { form->edtSurfaceName, form->edtSurfaceHeight, form->edtSurfaceRate };
    else if (kind == 1)
        edits = { form->edtPlatformName, form->edtPlateformWidth, form->edtPlatformCrossSlope };
    else
        edits = { form->edtDitchName, form->edtInnerH, form->edtInnerW,
                  form->edtBottomW,   form->edtOuterW, form->edtOuterH };
    for (int i = 0; i < edits.size(); ++i)
        edits[i]->setText(fields.at(i));

    ScriptedPrompter prompter;
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    dialog.setResult(-1);
    dialog.onAccept();
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 1);
    QCOMPARE(prompter.calls.at(0).title, QStringLiteral("Trelvin"));
    QCOMPARE(prompter.calls.at(0).text, message);
    // Still open, with everything typed.
    QCOMPARE(dialog.result(), -1);
    QCOMPARE(edits.at(0)->text(), fields.at(0));
}

void TestSlopeLibDialogs::editModeShowsTheElement()
{
    const QList<int> kinds = { 3, 1, 0 };
    for (int row = 0; row < 3; ++row) {
        SlopeLibItemDialog dialog(1, row, items.get());
        Ui::SlopeLibItemDialog* form = dialog.form();
        QVERIFY(!form->nextButton->isEnabled());
        QCOMPARE(form->cmbType->currentData().toInt(), kinds.at(row));
        QCOMPARE(form->groupSurface->isHidden(), kinds.at(row) != 0);
        QCOMPARE(form->groupPlatform->isHidden(), kinds.at(row) != 1);
        QCOMPARE(form->groupDitch->isHidden(), kinds.at(row) < 2);
    }
    SlopeLibItemDialog ditch(1, 0, items.get());
    Ui::SlopeLibItemDialog* form = ditch.form();
    QCOMPARE(form->edtDitchName->text(), QStringLiteral("gutter"));
    QCOMPARE(QStringList({ form->edtInnerH->text(), form->edtInnerW->text(), form->edtBottomW->text(),
                           form->edtOuterH->text(), form->edtOuterW->text() }),
             QStringList({ "0.5000", "0.2500", "0.7500", "1.0000", "1.2500" }));
    SlopeLibItemDialog bench(1, 1, items.get());
    QCOMPARE(bench.form()->edtPlatformCrossSlope->text(), QStringLiteral("3"));
    QCOMPARE(bench.form()->edtPlatformHeight->text(), QStringLiteral("0.0600"));
    SlopeLibItemDialog face(1, 2, items.get());
    QCOMPARE(face.form()->edtSurfaceRate->text(), QStringLiteral("0.75"));
    QCOMPARE(face.form()->edtSurfaceHeight->text(), QStringLiteral("3.0000"));

    // Unchanged, the element comes back as it was.
    ditch.onAccept();
    QCOMPARE(ditch.element().getParameters().values, items->cachedTemplate().getAt(0).getParameters().values);
}

TRELVIN_TEST_MAIN(TestSlopeLibDialogs)
#include "test_slopelibdialogs.moc"
