#include "document/trelvin.h"
#include "framework/itemdelegates.h"
#include "profile/stationsequationconfigwidget.h"
#include "profile/stationsequationdialog.h"
#include "profile/stationsequationtablemodel.h"
#include "support/roadfiles.h"
#include "support/scriptedprompter.h"

#include <road/roadsurface.h>
#include <road/station.h>

#include <filewatch.h>
#include <qttestmain.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

using Pelko::Road::StationsEquation;
using Zemko::Trelvin::StationsEquationTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

QByteArray twoEquations()
{
    return "    <StationsEquation>\n"
           "        <equation><before>1200</before><after>1100</after></equation>\n"
           "        <equation><before>2000</before><after>2300</after></equation>\n"
           "    </StationsEquation>\n";
}

QStringList rowTexts(const StationsEquationTableModel& model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}

// Answers the next modal dialog by filling its two fields and pressing Ok (or closing it).
void answerDialog(const QString& before, const QString& after, bool accept = true)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>("leBefore")->setText(before);
        dialog->findChild<QLineEdit*>("leAfter")->setText(after);
        accept ? dialog->accept() : dialog->reject();
    });
}

} // namespace

class TestStationsEquation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void withoutRoad();
    void rowsOfTheRoad();
    void setDataRefusals();
    void appendProposesNextStation();
    void deleteAndEditNeedARow();
    void editThroughTheDialog();
    void dialogStations();
    void saveHandsTheRoadACopy();
    void documentSaveWritesOnlyEdits();
    void applySaysWhyTheFileFailed();
    void pageLayout();

private:
    QString writeRoad(const QByteArray& parts);

    std::unique_ptr<QTemporaryDir> dir;
};

void TestStationsEquation::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestStationsEquation::cleanup()
{
    // A test that failed half-way must not leave the folder failing for the next.
    FileWatch::stop();
    Trelvin::instance()->closeRoad();
}

QString TestStationsEquation::writeRoad(const QByteArray& parts)
{
    const QString path = dir->filePath("road.rod");
    if (!RoadFiles::write(path, RoadFiles::road(parts)))
        return QString();
    return path;
}

void TestStationsEquation::withoutRoad()
{
    StationsEquationTableModel model;
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 4);
    const QStringList titles { "Type", "Before", "After", "Diff" };
    for (int column = 0; column < 4; ++column)
        QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), titles.at(column));
    QVERIFY(!model.headerData(4, Qt::Horizontal).isValid());
    const StationsEquation none = model.equationAt(3);
    QCOMPARE(none.getBefore(), 0.0);
    QCOMPARE(none.getAfter(), 0.0);
    QCOMPARE(model.equationAt(-1).getBefore(), 0.0);
    QVERIFY(!model.index(0, 1).data().isValid());
    QVERIFY(!model.applyChanges());
}

void TestStationsEquation::rowsOfTheRoad()
{
    StationsEquationTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(twoEquations())));
    QCOMPARE(model.rowCount(), 2);
    // The difference is before minus after: a long equation shows a positive one.
    QCOMPARE(rowTexts(model, 0), QStringList({ "Long", "K1+200.000", "K1+100.000", "100.000" }));
    QCOMPARE(rowTexts(model, 1), QStringList({ "Short", "K2+000.000", "K2+300.000", "-300.000" }));
    QCOMPARE(model.cellValue(1, 3, Qt::DisplayRole).toString(), QStringLiteral("300.000"));
    QCOMPARE(model.index(0, 2).data(Qt::EditRole).toString(), QStringLiteral("K1+100.000"));
    QVERIFY(!model.index(0, 0).data(Qt::EditRole).isValid());
    QVERIFY(!model.index(0, 3).data(Qt::EditRole).isValid());
    QVERIFY(!model.index(2, 0).data().isValid());

    const Qt::ItemFlags readOnly = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    QCOMPARE(model.flags(model.index(0, 0)), readOnly);
    QCOMPARE(model.flags(model.index(0, 1)), readOnly | Qt::ItemIsEditable);
    QCOMPARE(model.flags(model.index(0, 2)), readOnly | Qt::ItemIsEditable);
    QCOMPARE(model.flags(model.index(0, 3)), readOnly);
    QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
}

void TestStationsEquation::setDataRefusals()
{
    StationsEquationTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(twoEquations())));
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex before0 = model.index(0, 1);

    // Unchanged: the same text, or the same station typed another way.
    QVERIFY(!model.setData(before0, "K1+200.000"));
    QVERIFY(!model.setData(before0, "1200"));
    // Unreadable.
    QVERIFY(!model.setData(before0, "abc"));
    QVERIFY(!model.setData(before0, ""));
    // Refused by the equations: the second equation would start inside the first.
    QVERIFY(!model.setData(model.index(1, 1), "1150"));
    // Not an edit, or a computed column.
    QVERIFY(!model.setData(before0, "1250", Qt::DisplayRole));
    QVERIFY(!model.setData(model.index(0, 0), "1250"));
    QVERIFY(!model.setData(model.index(0, 3), "1250"));
    QVERIFY(!model.setData(QModelIndex(), "1250"));
    QCOMPARE(changes.count(), 0);
    QVERIFY(!model.hasUnwrittenEdits());
    QCOMPARE(rowTexts(model, 0), QStringList({ "Long", "K1+200.000", "K1+100.000", "100.000" }));
    QCOMPARE(rowTexts(model, 1), QStringList({ "Short", "K2+000.000", "K2+300.000", "-300.000" }));

    // Accepted: a plain number is metres; the "A" of a station text means nothing here.
    QVERIFY(model.setData(before0, "1250"));
    QVERIFY(model.setData(model.index(0, 2), "K1+150A"));
    QCOMPARE(rowTexts(model, 0), QStringList({ "Long", "K1+250.000", "K1+150.000", "100.000" }));
    QCOMPARE(changes.count(), 2);
    QVERIFY(model.hasUnwrittenEdits());
    QVERIFY(Trelvin::instance()->editFlags() & DataType::StationsEquation);
    // Only the working copy changed.
    QCOMPARE(Trelvin::instance()->road()->getStationsEquations().getEquationAt(0).getBefore(), 1200.0);
}

void TestStationsEquation::appendProposesNextStation()
{
    StationsEquationConfigWidget page;
    StationsEquationTableModel* model = page.model();
    auto* append = page.findChild<QPushButton*>("appendButton");

    QVERIFY(Trelvin::instance()->openRoad(writeRoad(QByteArray())));
    append->click();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(rowTexts(*model, 0), QStringList({ "Short", "K0+010.000", "K0+010.000", "0.000" }));
    QVERIFY(model->hasUnwrittenEdits());

    // Beyond the larger station of the last equation.
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(RoadFiles::equations(1200, 1100))));
    QCOMPARE(model->rowCount(), 1);
    append->click();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->equationAt(1).getBefore(), 1210.0);
    QCOMPARE(model->equationAt(1).getAfter(), 1210.0);
    append->click();
    QCOMPARE(model->equationAt(2).getBefore(), 1220.0);

    // An equation the list refuses adds no row and reports its code.
    QCOMPARE(model->appendEquation(StationsEquation(1215, 1300)), 2);
    QCOMPARE(model->appendEquation(StationsEquation(1000, 1005)), 2);
    QCOMPARE(model->rowCount(), 3);
}

void TestStationsEquation::deleteAndEditNeedARow()
{
    ScriptedPrompter prompter;
    QWidget window;
    auto* page = new StationsEquationConfigWidget(&window);
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(twoEquations())));
    QCOMPARE(page->model()->rowCount(), 2);

    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    page->findChild<QPushButton*>("deleteButton")->click();
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    page->onBtnEditClick();
    QCOMPARE(prompter.count(ScriptedPrompter::Warning), 2);
    for (const ScriptedPrompter::Call& call : prompter.calls) {
        QCOMPARE(call.title, QString());
        QCOMPARE(call.text, QStringLiteral("Please Select Data!"));
    }
    QCOMPARE(page->model()->rowCount(), 2);

    // With a row chosen the delete asks nothing.
    auto* view = page->findChild<QTableView*>("tableView");
    view->setCurrentIndex(page->model()->index(0, 1));
    page->findChild<QPushButton*>("deleteButton")->click();
    QCOMPARE(page->model()->rowCount(), 1);
    QCOMPARE(page->model()->cellText(0, 1), QStringLiteral("K2+000.000"));
    QCOMPARE(prompter.calls.size(), 2);
}

void TestStationsEquation::editThroughTheDialog()
{
    ScriptedPrompter prompter;
    StationsEquationConfigWidget page;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(twoEquations())));
    auto* view = page.findChild<QTableView*>("tableView");
    view->setCurrentIndex(page.model()->index(1, 0));

    // Refused: the row keeps its stations and the code's text is shown with an empty caption.
    answerDialog("1150", "2300");
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    page.onBtnEditClick();
    QCOMPARE(prompter.calls.size(), 1);
    QCOMPARE(prompter.calls.at(0).title, QString());
    QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Overlapped"));
    QCOMPARE(page.model()->cellText(1, 1), QStringLiteral("K2+000.000"));

    answerDialog("1100", "1150");
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    page.onTableViewDoubleClick(page.model()->index(1, 2));
    QCOMPARE(prompter.calls.at(1).text, QStringLiteral("Less Than Previous"));

    answerDialog("2100", "2200");
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    page.onTableViewDoubleClick(page.model()->index(0, 2));
    QCOMPARE(prompter.calls.at(2).text, QStringLiteral("Greator Than Next"));

    // Cancelled: nothing changes. Accepted: the row takes the stations, without a message.
    answerDialog("2500", "2600", false);
    page.onBtnEditClick();
    QCOMPARE(page.model()->cellText(1, 1), QStringLiteral("K2+000.000"));
    answerDialog("K2+500", "2600");
    page.onBtnEditClick();
    QCOMPARE(page.model()->cellText(1, 1), QStringLiteral("K2+500.000"));
    QCOMPARE(page.model()->cellText(1, 2), QStringLiteral("K2+600.000"));
    QCOMPARE(prompter.calls.size(), 3);
}

void TestStationsEquation::dialogStations()
{
    StationsEquationDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Stations Equation"));
    auto* before = dialog.findChild<QLineEdit*>("leBefore");
    auto* after = dialog.findChild<QLineEdit*>("leAfter");
    QCOMPARE(before->placeholderText(), QStringLiteral("Enter 1200 for K1+200, default 0"));
    QVERIFY(before->validator());
    QVERIFY(after->validator());

    dialog.setBefore("K1+200.500");
    dialog.setAfter("1100A");
    QCOMPARE(dialog.before(), 1200.5);
    QCOMPARE(dialog.after(), 1100.0);
    // Empty or unreadable counts as station 0.
    dialog.setBefore("");
    dialog.setAfter("K+");
    QCOMPARE(dialog.before(), 0.0);
    QCOMPARE(dialog.after(), 0.0);
}

void TestStationsEquation::saveHandsTheRoadACopy()
{
    StationsEquationConfigWidget page;
    const QString path = writeRoad(twoEquations());
    QVERIFY(Trelvin::instance()->openRoad(path));
    QSignalSpy announced(Trelvin::instance(), &Trelvin::dataChanged);

    QVERIFY(page.model()->setData(page.model()->index(1, 2), "2400"));
    page.findChild<QPushButton*>("applyButton")->click();
    QVERIFY(!page.model()->hasUnwrittenEdits());
    QVERIFY(!(Trelvin::instance()->editFlags() & DataType::StationsEquation));
    QCOMPARE(announced.count(), 0);
    QVERIFY(RoadFiles::read(path).contains("<after>2400</after>"));

    // The table keeps its own list: a later edit reaches the road only by the next save.
    QVERIFY(page.model()->setData(page.model()->index(1, 2), "2450"));
    QCOMPARE(Trelvin::instance()->road()->getStationsEquations().getEquationAt(1).getAfter(), 2400.0);

    // Reopened, the file holds the saved equations.
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    QCOMPARE(page.model()->cellText(1, 2), QStringLiteral("K2+400.000"));
}

// Apply when only the folder cannot be synced says so, but the file holds the edit and nothing stays
// marked.
void TestStationsEquation::applySaysWhyTheFileFailed()
{
    ScriptedPrompter prompter;
    StationsEquationConfigWidget page;
    const QString path = writeRoad(twoEquations());
    QVERIFY(Trelvin::instance()->openRoad(path));
    QVERIFY(page.model()->setData(page.model()->index(1, 2), "2400"));
    FileWatch::start(dir->path().toStdString(), true);
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    page.findChild<QPushButton*>("applyButton")->click();
    FileWatch::stop();
    QCOMPARE(prompter.calls.last().text,
             QStringLiteral("Save road failed!\n%1 was written, but its folder could not be synced "
                            "(input/output error): until it is written again, a crash may lose it.")
                 .arg(QDir::toNativeSeparators(path)));
    QVERIFY(!(Trelvin::instance()->editFlags() & DataType::StationsEquation));
    QVERIFY(RoadFiles::read(path).contains("<after>2400</after>"));

    // A full disk names itself.
    QVERIFY(page.model()->setData(page.model()->index(1, 2), "2450"));
    FileWatch::start(dir->path().toStdString());
    FileWatch::setFreeSpace(0);
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    page.findChild<QPushButton*>("applyButton")->click();
    FileWatch::stop();
    QCOMPARE(prompter.calls.last().text,
             QStringLiteral("Save road failed!\n%1 could not be written: no space left on the device.")
                 .arg(QDir::toNativeSeparators(path)));
    QVERIFY(RoadFiles::read(path).contains("<after>2400</after>"));
}

void TestStationsEquation::documentSaveWritesOnlyEdits()
{
    StationsEquationTableModel model;
    const QString path = writeRoad(twoEquations());
    QVERIFY(Trelvin::instance()->openRoad(path));

    // Clean: the document's save leaves what another hand put into the road.
    Pelko::Road::StationsEquationConfiguration other;
    other.appendEquation(StationsEquation(500, 400));
    Trelvin::instance()->road()->setStationsEquations(other);
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(Trelvin::instance()->road()->getStationsEquations().getEquationSize(), 1u);

    model.reload();
    QCOMPARE(model.rowCount(), 1);
    model.removeEquation(0);
    QVERIFY(model.hasUnwrittenEdits());
    QVERIFY(Trelvin::instance()->save());
    QVERIFY(!model.hasUnwrittenEdits());
    QCOMPARE(Trelvin::instance()->road()->getStationsEquations().getEquationSize(), 0u);
    QVERIFY(!RoadFiles::read(path).contains("<equation>"));
}

void TestStationsEquation::pageLayout()
{
    StationsEquationConfigWidget page;
    QCOMPARE(page.windowTitle(), QStringLiteral("Stations Equation"));
    QVERIFY(page.findChild<QPushButton*>("editButton")->isHidden());
    QCOMPARE(page.findChild<QPushButton*>("applyButton")->text(), QStringLiteral("&Save"));
    auto* view = page.findChild<QTableView*>("tableView");
    QCOMPARE(view->model(), static_cast<QAbstractItemModel*>(page.model()));
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(qobject_cast<Zemko::Trelvin::StationEditDelegate*>(view->itemDelegateForColumn(1)));
    QCOMPARE(view->itemDelegateForColumn(2), view->itemDelegateForColumn(1));
    QVERIFY(!view->itemDelegateForColumn(0));
    QVERIFY(!view->itemDelegateForColumn(3));
}

TRELVIN_TEST_MAIN(TestStationsEquation)
#include "test_stationsequation.moc"
