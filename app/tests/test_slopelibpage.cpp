#include "document/trelvin.h"
#include "framework/roadplot.h"
#include "slopes/slopecurve.h"
#include "slopes/slopelibitemdialog.h"
#include "slopes/slopelibitemtablemodel.h"
#include "slopes/slopelibitemtablewidget.h"
#include "slopes/slopelibraryeditwidget.h"
#include "slopes/slopelibrarywidget.h"
#include "slopes/slopelibtablemodel.h"
#include "slopes/slopelibtablewideget.h"
#include "support/cellfit.h"
#include "support/scriptedprompter.h"
#include "support/terminallines.h"
#include "test_slopelibroads.h"
#include "ui_slopelibitemdialog.h"

#include <road/roadsurface.h>
#include <road/slopesectiontemplatelibrary.h>

#include <qttestmain.h>

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <cstring>
#include <functional>

using Pelko::Road::SlopeSectionTemplateEditable;
using Zemko::Trelvin::SlopeLibTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

// Runs the script on the next modal dialog once it is shown.
template<typename Dialog> void whenShown(std::function<void(Dialog*)> script)
{
    QTimer::singleShot(0, [script] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        script(dialog);
    });
}

// Types a slope surface into the element dialog and leaves it with OK, or with Next after scheduling
// the script of the next dialog.
void surfaceThen(const QString& name, std::function<void(SlopeLibItemDialog*)> next = nullptr)
{
    whenShown<SlopeLibItemDialog>([=](SlopeLibItemDialog* dialog) {
        dialog->form()->edtSurfaceName->setText(name);
        dialog->form()->edtSurfaceHeight->setText(QStringLiteral("1"));
        dialog->form()->edtSurfaceRate->setText(QStringLiteral("2"));
        if (next)
            whenShown<SlopeLibItemDialog>(next);
        (next ? dialog->form()->nextButton : dialog->form()->okButton)->click();
    });
}

void click(SlopeLibTableWideget* list, int row)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->tableView()->setCurrentIndex(index);
    emit list->tableView()->clicked(index);
}

struct Announced
{
    int type = -2;
    int row = -2;
    QString name;
    int count = 0;
};

bool buttonsEnabled(SlopeLibItemTableWidget* widget)
{
    return widget->findChild<QPushButton*>("appendButton")->isEnabled()
        && widget->findChild<QPushButton*>("editButton")->isEnabled()
        && widget->findChild<QPushButton*>("deleteButton")->isEnabled();
}

// Everything an element shows, bit for bit.
QList<quint64> look(const Pelko::Road::SlopeSectionElement& e)
{
    auto bits = [](double v) {
        quint64 b = 0;
        std::memcpy(&b, &v, sizeof b);
        return b;
    };
    QList<quint64> seen { quint64(e.getType()), bits(e.getWidth()), bits(e.getHeight()),
                          bits(e.getSlope().getPercentage()), bits(e.getSlope().getDenominator()) };
    for (double v : e.getParameters().values)
        seen << bits(v);
    return seen;
}

void choose(SlopeLibItemDialog& dialog, int kind)
{
    QComboBox* combo = dialog.form()->cmbType;
    combo->setCurrentIndex(combo->findData(kind));
}

bool libraryFlag()
{
    return Trelvin::instance()->editFlags().testFlag(DataType::SlopeLibrary);
}

} // namespace

class TestSlopeLibPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layout();
    void appendLoopRetriesTakenNames();
    void renameThroughTheDialog();
    void deleteSelectsTheNeighbour();
    void elementAppendWithNext();
    void elementEditAndDelete();
    void tabsAndPlot();
    void elementEditsSurviveSelectionThroughSave();
    void elementTitlesAndNamesShowWhole();
    void everyAcceptedElementLoadsAgain();

private:
    SlopeLibRoads::Folder folder;
};

void TestSlopeLibPage::init()
{
    folder.renew();
    QVERIFY(folder.isValid());
}

void TestSlopeLibPage::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestSlopeLibPage::layout()
{
    SlopeLibraryWidget page;
    QCOMPARE(page.windowTitle(), QStringLiteral("SlopeLib"));
    QCOMPARE(page.splitter()->orientation(), Qt::Vertical);
    QCOMPARE(page.splitter()->widget(0), static_cast<QWidget*>(page.editor()));
    QCOMPARE(page.curve(), static_cast<Zemko::Trelvin::Data::RoadCurve*>(page.slopeCurve()));

    SlopeLibraryEditWidget* editor = page.editor();
    QCOMPARE(editor->tabs()->count(), 2);
    QCOMPARE(editor->tabs()->tabText(0), QStringLiteral("Fill"));
    QCOMPARE(editor->tabs()->tabText(1), QStringLiteral("Cut"));
    QCOMPARE(editor->cutList()->model()->type(), Pelko::Road::SlopeSectionCut);
    QVERIFY(editor->fillList()->findChild<QPushButton*>("insertButton")->isHidden());
    QVERIFY(!editor->fillList()->findChild<QPushButton*>("applyButton")->isHidden());
    SlopeLibItemTableWidget* elements = editor->fillElements();
    QCOMPARE(elements->windowTitle(), QStringLiteral("Slope"));
    QCOMPARE(elements->findChild<QLabel*>("titleLabel")->text(), QStringLiteral("Slope Item Table"));
    QVERIFY(elements->findChild<QPushButton*>("applyButton")->isHidden());
    QVERIFY(!buttonsEnabled(elements));
    QVERIFY(editor->cutElements()->isHidden());
    // Before any selection the table shows the first template of its list's type.
    QCOMPARE(elements->templateType(), int(Pelko::Road::SlopeSectionFill));
    QCOMPARE(elements->templateIndex(), 0);
}

void TestSlopeLibPage::appendLoopRetriesTakenNames()
{
    SlopeLibTableWideget list(Pelko::Road::SlopeSectionFill);
    QVERIFY(folder.open(SlopeLibRoads::library()));
    ScriptedPrompter prompter;
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);

    whenShown<QDialog>([](QDialog* dialog) {
        dialog->findChild<QLineEdit*>("edtName")->setText(QStringLiteral("Cut A"));
        whenShown<QDialog>([](QDialog* again) {
            auto* name = again->findChild<QLineEdit*>("edtName");
            // The typed name is still there.
            QCOMPARE(name->text(), QStringLiteral("Cut A"));
            name->setText(QStringLiteral("Fill C"));
            again->findChild<QPushButton*>("okButton")->click();
        });
        dialog->findChild<QPushButton*>("okButton")->click();
    });
    list.findChild<QPushButton*>("appendButton")->click();
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 1);
    QCOMPARE(prompter.calls.at(0).title, QStringLiteral("Trelvin"));
    QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Template already exist"));
    QCOMPARE(list.model()->rowCount(), 3);
    QCOMPARE(list.model()->index(2, 0).data().toString(), QStringLiteral("Fill C"));

    // Cancel changes nothing.
    whenShown<QDialog>([](QDialog* dialog) {
        dialog->findChild<QLineEdit*>("edtName")->setText(QStringLiteral("Fill D"));
        dialog->findChild<QPushButton*>("cancelButton")->click();
    });
    list.findChild<QPushButton*>("appendButton")->click();
    QCOMPARE(list.model()->rowCount(), 3);
}

void TestSlopeLibPage::renameThroughTheDialog()
{
    SlopeLibTableWideget list(Pelko::Road::SlopeSectionFill);
    QVERIFY(folder.open(SlopeLibRoads::library() + SlopeLibRoads::segments()));
    whenShown<QDialog>([](QDialog* dialog) {
        dialog->findChild<QLineEdit*>("edtName")->setText(QStringLiteral("Fill Z"));
        dialog->findChild<QPushButton*>("okButton")->click();
    });
    list.onEdit(list.model()->index(1, 0));
    QCOMPARE(list.model()->index(1, 0).data().toString(), QStringLiteral("Fill Z"));

    // Apply writes the renamed template and the segments that follow it.
    QSignalSpy updates(Trelvin::instance(), &Trelvin::libUpdate);
    list.findChild<QPushButton*>("applyButton")->click();
    QCOMPARE(updates.count(), 1);
    QVERIFY(!libraryFlag());
    QVERIFY(folder.reopen());
    QCOMPARE(SlopeLibRoads::segmentNames(Trelvin::instance()->road(), Pelko::Road::SlopeSideLeft),
             QStringList({ "west:Fill A>Fill Z", "hill:Cut A>Cut A" }));
    QCOMPARE(Trelvin::instance()->road()->getSlopeSectionTemplateLibrary()->getByName("Fill Z").size(), 3u);
}

void TestSlopeLibPage::deleteSelectsTheNeighbour()
{
    SlopeLibTableWideget list(Pelko::Road::SlopeSectionFill);
    QVERIFY(folder.open(SlopeLibRoads::library() + SlopeLibRoads::segments()));
    for (const char* name : { "F1", "F2" })
        QVERIFY(list.model()->add(SlopeSectionTemplateEditable(name, Pelko::Road::SlopeSectionFill)).ok);
    Announced announced;
    connect(&list, &SlopeLibTableWideget::selected, this,
            [&](Pelko::Road::SlopeSectionType type, int row, SlopeSectionTemplateEditable t) {
                announced = { type, row, QString::fromStdString(t.getName()), announced.count + 1 };
            });

    list.tableView()->setCurrentIndex(list.model()->index(3, 0));
    list.findChild<QPushButton*>("deleteButton")->click();
    QCOMPARE(announced.count, 1);
    QCOMPARE(announced.row, 2);
    QCOMPARE(announced.name, QStringLiteral("F1"));
    QCOMPARE(list.tableView()->currentIndex().row(), 2);

    // A template that a segment names stays, with a warning naming the segment.
    ScriptedPrompter prompter;
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    click(&list, 0);
    list.findChild<QPushButton*>("deleteButton")->click();
    QCOMPARE(prompter.calls.at(0).text,
             QStringLiteral("Template \"Fill A\" is used by the left slope segment \"west\""));
    QCOMPARE(list.model()->rowCount(), 3);

    Trelvin::instance()->road()->getSlopeSectionConfiguration()->get(Pelko::Road::SlopeSideLeft).removeAt(0);
    Trelvin::instance()->road()->getSlopeSectionConfiguration()->get(Pelko::Road::SlopeSideRight).removeAt(0);
    list.findChild<QPushButton*>("deleteButton")->click();
    QCOMPARE(announced.row, -1);
    QCOMPARE(announced.type, int(Pelko::Road::SlopeSectionFill));
    QVERIFY(announced.name.isEmpty());
    QCOMPARE(list.model()->rowCount(), 2);
    QVERIFY(!list.tableView()->currentIndex().isValid());
}

void TestSlopeLibPage::elementAppendWithNext()
{
    SlopeLibTableWideget list(Pelko::Road::SlopeSectionCut);
    SlopeLibItemTableWidget elements(list.model(), 0);
    QVERIFY(folder.open(SlopeLibRoads::library()));
    QCOMPARE(elements.model()->rowCount(), 2);
    QVERIFY(!buttonsEnabled(&elements));

    elements.setCurrent(Pelko::Road::SlopeSectionCut, 0);
    QVERIFY(buttonsEnabled(&elements));
    QList<int> sizes;
    connect(&elements, &SlopeLibItemTableWidget::dataSetChange, this,
            [&](Pelko::Road::SlopeSectionType, int row, SlopeSectionTemplateEditable t) {
                QCOMPARE(row, 0);
                sizes << int(t.size());
            });
    surfaceThen(QStringLiteral("a"), [](SlopeLibItemDialog*) {
        surfaceThen(QStringLiteral("b"), [](SlopeLibItemDialog* third) {
            third->form()->edtSurfaceName->setText(QStringLiteral("c"));
            third->form()->okButton->click();
        });
    });
    elements.findChild<QPushButton*>("appendButton")->click();
    QCOMPARE(sizes, QList<int>({ 3, 4, 5 }));

    // Closing the dialog adds nothing.
    whenShown<QDialog>([](QDialog* dialog) { dialog->reject(); });
    elements.findChild<QPushButton*>("appendButton")->click();
    QCOMPARE(sizes.size(), 3);
    QCOMPARE(Trelvin::instance()
                 ->road()
                 ->getSlopeSectionTemplateLibrary()
                 ->getAt(Pelko::Road::SlopeSectionCut, 0)
                 .size(),
             5u);
}

void TestSlopeLibPage::elementEditAndDelete()
{
    TerminalLines printed;
    SlopeLibTableWideget list(Pelko::Road::SlopeSectionFill);
    SlopeLibItemTableWidget elements(list.model(), 0);
    QVERIFY(folder.open(SlopeLibRoads::library()));
    elements.setCurrent(Pelko::Road::SlopeSectionFill, 0);
    int announced = 0;
    connect(&elements, &SlopeLibItemTableWidget::dataSetChange, this, [&] { ++announced; });

    whenShown<SlopeLibItemDialog>([](SlopeLibItemDialog* dialog) {
        QCOMPARE(dialog->form()->edtSurfaceName->text(), QStringLiteral("bank"));
        dialog->form()->edtSurfaceHeight->setText(QStringLiteral("2.5"));
        dialog->form()->okButton->click();
    });
    elements.onEdit(elements.model()->index(0, 0));
    QCOMPARE(announced, 1);
    QCOMPARE(elements.currentTemplate().getAt(0).getHeight(), 2.5);

    // Deleting the only element leaves an empty, valid template.
    elements.tableView()->setCurrentIndex(elements.model()->index(0, 0));
    elements.findChild<QPushButton*>("deleteButton")->click();
    QCOMPARE(announced, 2);
    elements.setCurrent(Pelko::Road::SlopeSectionFill, 0);
    QCOMPARE(elements.model()->rowCount(), 0);
    QVERIFY(elements.model()->hasValidTemplate());
    QVERIFY(buttonsEnabled(&elements));

    elements.setCurrent(Pelko::Road::SlopeSectionFill, -1);
    QVERIFY(!buttonsEnabled(&elements));
    QVERIFY(!elements.checkModel());
    QCOMPARE(printed.lines, QStringList());
}

void TestSlopeLibPage::tabsAndPlot()
{
    // Selecting, drawing and deleting print nothing.
    TerminalLines printed;
    SlopeLibraryWidget page;
    page.show();
    SlopeLibraryEditWidget* editor = page.editor();
    Zemko::Trelvin::SlopeCurve* curve = page.slopeCurve();
    QVERIFY(folder.open(SlopeLibRoads::library()));
    QCOMPARE(editor->tabs()->currentIndex(), 0);
    QCOMPARE(curve->plot(), static_cast<QwtPlot*>(page.plot()));
    // The plot shows the first fill template, whose elements the table shows.
    QCOMPARE(curve->index(), 0);
    QCOMPARE(curve->plotCurve()->dataSize(), size_t(2));
    QVERIFY(!buttonsEnabled(editor->fillElements()));

    // Before any selection the cut tab shows the cut list's first template.
    editor->tabs()->setCurrentIndex(1);
    QVERIFY(editor->fillElements()->isHidden());
    QVERIFY(!editor->cutElements()->isHidden());
    QCOMPARE(curve->index(), 0);
    QCOMPARE(curve->side(), int(Pelko::Road::SlopeSideRight));
    // Ditch (four points) and surface (one more).
    QCOMPARE(curve->plotCurve()->dataSize(), size_t(5));

    editor->tabs()->setCurrentIndex(0);
    click(editor->fillList(), 1);
    QCOMPARE(curve->index(), 1);
    QCOMPARE(curve->plotCurve()->dataSize(), size_t(4));
    QCOMPARE(editor->fillElements()->model()->rowCount(), 3);
    QVERIFY(buttonsEnabled(editor->fillElements()));

    // Deleting the first template empties the plot and disables its element buttons.
    QVERIFY(editor->fillList()
                ->model()
                ->add(SlopeSectionTemplateEditable("F", Pelko::Road::SlopeSectionFill))
                .ok);
    click(editor->fillList(), 0);
    editor->fillList()->findChild<QPushButton*>("deleteButton")->click();
    QCOMPARE(curve->index(), -1);
    QCOMPARE(curve->plotCurve()->dataSize(), size_t(0));
    QVERIFY(!buttonsEnabled(editor->fillElements()));

    click(editor->fillList(), 0);
    QCOMPARE(curve->plotCurve()->dataSize(), size_t(4));
    editor->tabs()->setCurrentIndex(1);
    Trelvin::instance()->closeRoad();
    QCOMPARE(curve->plotCurve()->dataSize(), size_t(0));
    QCOMPARE(curve->plot(), static_cast<QwtPlot*>(page.plot()));
    QVERIFY(folder.reopen());
    QCOMPARE(editor->tabs()->currentIndex(), 0);
    QCOMPARE(curve->plotCurve()->dataSize(), size_t(2));
    QCOMPARE(printed.lines, QStringList());
}

void TestSlopeLibPage::elementEditsSurviveSelectionThroughSave()
{
    SlopeLibraryWidget page;
    SlopeLibraryEditWidget* editor = page.editor();
    QVERIFY(folder.open(SlopeLibRoads::library()));
    click(editor->fillList(), 0);
    surfaceThen(QStringLiteral("toe"));
    editor->fillElements()->findChild<QPushButton*>("appendButton")->click();
    QCOMPARE(editor->fillElements()->model()->rowCount(), 2);
    QVERIFY(libraryFlag());

    // Picking other templates reloads the element tables; Exit must still ask.
    click(editor->fillList(), 1);
    editor->tabs()->setCurrentIndex(1);
    click(editor->cutList(), 0);
    QVERIFY(libraryFlag());

    QVERIFY(Trelvin::instance()->save());
    QVERIFY(!libraryFlag());
    QVERIFY(folder.reopen());
    QCOMPARE(Trelvin::instance()
                 ->road()
                 ->getSlopeSectionTemplateLibrary()
                 ->getAt(Pelko::Road::SlopeSectionFill, 0)
                 .size(),
             2u);
}

void TestSlopeLibPage::elementTitlesAndNamesShowWhole()
{
    SlopeLibraryWidget page;
    page.resize(1200, 700);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    SlopeLibraryEditWidget* editor = page.editor();
    QVERIFY(folder.open(SlopeLibRoads::library()));
    // Long titles such as "Ditch Inner Height" and the element names, on both tabs.
    click(editor->fillList(), 1);
    QCOMPARE(editor->fillElements()->model()->rowCount(), 3);
    QModelIndex cut;
    QVERIFY2(allShownWhole(editor->fillElements()->tableView(), &cut),
             qPrintable(QString::number(cut.column())));
    editor->tabs()->setCurrentIndex(1);
    QVERIFY(allShownWhole(editor->cutElements()->tableView()));
}

TRELVIN_TEST_MAIN(TestSlopeLibPage)
#include "test_slopelibpage.moc"

// Whatever the element dialog takes, a save and a reopen give back bit for bit; what it does not take
// it refuses naming the field. Each field of each kind in turn holds values at the edges of what the
// road file keeps, the others a plain size.
void TestSlopeLibPage::everyAcceptedElementLoadsAgain()
{
    using Form = Ui::SlopeLibItemDialog;
    using Edit = QLineEdit* Form::*;
    struct Field
    {
        Edit edit;
        QString plain;
    };
    struct Kind
    {
        int kind;
        Edit name;
        QList<Field> fields;
    };
    const QList<Kind> kinds {
        { 0, &Form::edtSurfaceName, { { &Form::edtSurfaceHeight, "4" }, { &Form::edtSurfaceRate, "1.5" } } },
        { 1,
          &Form::edtPlatformName,
          { { &Form::edtPlateformWidth, "2" }, { &Form::edtPlatformCrossSlope, "4" } } },
        { 2,
          &Form::edtDitchName,
          { { &Form::edtInnerH, "0.6" }, { &Form::edtBottomW, "0.4" }, { &Form::edtOuterH, "0.8" } } },
        { 3,
          &Form::edtDitchName,
          { { &Form::edtInnerH, "0.6" },
            { &Form::edtInnerW, "0.25" },
            { &Form::edtBottomW, "0.4" },
            { &Form::edtOuterW, "1.25" },
            { &Form::edtOuterH, "0.8" } } },
    };
    const QStringList edges { "0",
                              "-0",
                              "5e-324",
                              "0.000999",
                              "0.001",
                              "-2.75",
                              "1e-300",
                              "1e300",
                              "1.51e308",
                              "-1.51e308",
                              "1.7976931348623157e308",
                              "1e309" };

    QVERIFY(folder.open(SlopeLibRoads::library()));
    const auto fillA = [] {
        return Trelvin::instance()->road()->getSlopeSectionTemplateLibrary()->getAt(
            Pelko::Road::SlopeSectionFill, 0);
    };
    ScriptedPrompter prompter(false);
    int taken = 0;
    int refused = 0;
    for (const Kind& kind : kinds) {
        for (const Field& field : kind.fields) {
            for (const QString& edge : edges) {
                SlopeLibTableWideget list(Pelko::Road::SlopeSectionFill);
                SlopeLibItemTableWidget elements(list.model(), 0);
                elements.setCurrent(Pelko::Road::SlopeSectionFill, 0);
                const unsigned before = fillA().size();
                bool accepted = false;
                Pelko::Road::SlopeSectionElement built;
                QString label;
                whenShown<SlopeLibItemDialog>([&](SlopeLibItemDialog* dialog) {
                    Ui::SlopeLibItemDialog* form = dialog->form();
                    choose(*dialog, kind.kind);
                    (form->*kind.name)->setText(QStringLiteral("element"));
                    for (const Field& other : kind.fields)
                        (form->*other.edit)->setText(other.plain);
                    QLineEdit* typed = form->*field.edit;
                    typed->setText(edge);
                    for (QFormLayout* layout : { form->formLayout, form->formLayout_2, form->formLayout_3 })
                        if (auto* l = qobject_cast<QLabel*>(layout->labelForField(typed)))
                            label = l->text();
                    form->okButton->click();
                    accepted = dialog->isHidden();
                    built = dialog->element();
                    if (!accepted)
                        dialog->reject();
                });
                prompter.calls.clear();
                elements.findChild<QPushButton*>("appendButton")->click();
                const QByteArray what
                    = QStringLiteral("kind %1, %2 %3").arg(kind.kind).arg(label, edge).toUtf8();
                if (!accepted) {
                    ++refused;
                    QVERIFY2(prompter.calls.size() == 1, what);
                    QVERIFY2(prompter.calls.first().text.startsWith(label + " \""), what);
                    QCOMPARE(fillA().size(), before);
                    continue;
                }
                ++taken;
                QCOMPARE(fillA().size(), before + 1);
                QVERIFY(Trelvin::instance()->save());
                QVERIFY(folder.reopen());
                QVERIFY2(fillA().size() == before + 1, what);
                QVERIFY2(look(fillA().getAt(before)) == look(built), what);
                QCOMPARE(fillA().getAt(before).getName(), std::string("element"));
            }
        }
    }
    QVERIFY(taken > 40);
    QVERIFY(refused > 20);
}
