#include "document/trelvin.h"
#include "framework/itemdelegates.h"
#include "framework/roadplot.h"
#include "framework/stationlabelscurve.h"
#include "framework/tableviewform.h"
#include "profile/verticalalignmentdialog.h"
#include "profile/verticalalignmenteditwidget.h"
#include "profile/verticalalignmenttablemodel.h"
#include "profile/verticalalignmenttablewidget.h"
#include "profile/verticalalignmentwidget.h"
#include "profile/verticalcurve.h"
#include "support/roadfiles.h"
#include "support/scriptedprompter.h"
#include "test_verticalroads.h"

#include <road/roadsurface.h>
#include <road/verticalalignment.h>

#include <qttestmain.h>

#include <qwt_plot_curve.h>
#include <qwt_scale_div.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using VerticalRoads::crest;
using VerticalRoads::profile;
using Zemko::Trelvin::Trelvin;
using Zemko::Trelvin::VerticalAlignmentTableModel;
using Zemko::Trelvin::VerticalCurve;

namespace {

QVector<QPointF> samples(const QwtPlotCurve* curve)
{
    QVector<QPointF> points;
    for (size_t i = 0; i < curve->dataSize(); ++i)
        points.append(curve->sample(int(i)));
    return points;
}

QList<QModelIndex> selected(const QTableView* view)
{
    QList<QModelIndex> cells = view->selectionModel()->selectedIndexes();
    std::sort(cells.begin(), cells.end());
    return cells;
}

void select(QTableView* view, int top, int left, int bottom, int right)
{
    QAbstractItemModel* model = view->model();
    view->selectionModel()->select(QItemSelection(model->index(top, left), model->index(bottom, right)),
                                   QItemSelectionModel::ClearAndSelect);
}

// Runs the next modal dialog's script once it is shown.
void whenDialogShows(std::function<void(VerticalAlignmentDialog*)> script)
{
    QTimer::singleShot(0, [script] {
        auto* dialog = qobject_cast<VerticalAlignmentDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        script(dialog);
    });
}

} // namespace

class TestVerticalAlignmentPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void widgetLayout();
    void applyTypedRows();
    void applyReportsTheFailingCell();
    void applyReportsTheRefusedRow();
    void applyWithoutTextRows();
    void contextMenuFollowsSelection();
    void copyAndPasteKeys();
    void dialogShowsTheRow();
    void dialogCommit();
    void editFlowRetriesRefusedElements();
    void curveSamplesAndLabels();
    void curveWithoutRoadOrPis();
    void pageRedrawsAfterApply();

private:
    QString writeRoad(const QByteArray& parts, const QString& name = QStringLiteral("road.rod"))
    {
        return folder.write(parts, name);
    }

    VerticalRoads::Folder folder;
};

void TestVerticalAlignmentPage::init()
{
    folder.renew();
    QVERIFY(folder.isValid());
}

void TestVerticalAlignmentPage::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestVerticalAlignmentPage::widgetLayout()
{
    VerticalAlignmentEditWidget editor;
    VerticalAlignmentTableWidget* widget = editor.tableWidget();
    QCOMPARE(widget->parentWidget(), &editor);
    QCOMPARE(editor.layout()->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(widget->windowTitle(), QStringLiteral("Vertical Elements"));
    QTableView* view = widget->tableView();
    QCOMPARE(view->model(), static_cast<QAbstractItemModel*>(widget->model()));
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectItems);
    QCOMPARE(view->selectionMode(), QAbstractItemView::ContiguousSelection);
    QVERIFY(widget->findChild<QPushButton*>("editButton")->isHidden());
    QVERIFY(qobject_cast<Zemko::Trelvin::StationEditDelegate*>(view->itemDelegateForColumn(0)));
    auto* lineEdit = qobject_cast<Zemko::Trelvin::LineEditDelegate*>(view->itemDelegateForColumn(1));
    QVERIFY(lineEdit && !qobject_cast<Zemko::Trelvin::StationEditDelegate*>(lineEdit));
    QCOMPARE(view->itemDelegateForColumn(2), view->itemDelegateForColumn(1));
    QVERIFY(!view->itemDelegateForColumn(3));
    QCOMPARE(view->contextMenuPolicy(), Qt::CustomContextMenu);
    QStringList texts;
    for (QAction* action : widget->contextMenu()->actions())
        texts << action->text();
    QCOMPARE(texts,
             QStringList(
                 { "Append an element", "Delete selected elements", "Insert an element", "Copy", "Paste" }));
}

void TestVerticalAlignmentPage::applyTypedRows()
{
    VerticalAlignmentTableWidget widget;
    VerticalAlignmentTableModel* model = widget.model();
    const QString path = writeRoad(QByteArray());
    QVERIFY(Trelvin::instance()->openRoad(path));
    QSignalSpy changed(&widget, &VerticalAlignmentTableWidget::currentChange);

    for (int i = 0; i < 3; ++i)
        widget.findChild<QPushButton*>("appendButton")->click();
    const QStringList texts { "0", "100", "", "100", "102", "3000", "200", "101", "" };
    for (int i = 0; i < texts.size(); ++i)
        QVERIFY(model->setData(model->index(i / 3, i % 3), texts.at(i)));
    widget.findChild<QPushButton*>("applyButton")->click();

    QCOMPARE(changed.count(), 1);
    QVERIFY(!model->isTextRowMode());
    QVERIFY(!model->hasUnwrittenEdits());
    QCOMPARE(model->index(1, 5).data().toString(), QStringLiteral("45.000"));
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 3u);
    QVERIFY(RoadFiles::read(path).contains("<radius>3000</radius>"));
}

void TestVerticalAlignmentPage::applyReportsTheFailingCell()
{
    ScriptedPrompter prompter;
    VerticalAlignmentTableWidget widget;
    VerticalAlignmentTableModel* model = widget.model();
    const QString path = writeRoad(crest());
    QVERIFY(Trelvin::instance()->openRoad(path));
    const QByteArray file = RoadFiles::read(path);
    QSignalSpy changed(&widget, &VerticalAlignmentTableWidget::currentChange);

    // An inner row without a radius: no message of its own, so the line is named.
    QVERIFY(model->setData(model->index(1, 2), ""));
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    widget.on_applyButton_clicked();
    QCOMPARE(prompter.calls.size(), 1);
    QCOMPARE(prompter.calls.at(0).title, QStringLiteral("Trelvin"));
    QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Invalid vertical element on line 2"));
    QCOMPARE(selected(widget.tableView()), QList<QModelIndex>({ model->index(1, 2) }));

    // A message of the check is shown as it is.
    QVERIFY(model->setData(model->index(1, 2), "3000"));
    QVERIFY(model->setData(model->index(2, 1), "up"));
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    widget.on_applyButton_clicked();
    QCOMPARE(prompter.calls.at(1).text, QStringLiteral("Invalid elevation number!"));
    QCOMPARE(selected(widget.tableView()), QList<QModelIndex>({ model->index(2, 1) }));

    QCOMPARE(changed.count(), 0);
    QVERIFY(model->isTextRowMode());
    QCOMPARE(RoadFiles::read(path), file);
}

void TestVerticalAlignmentPage::applyReportsTheRefusedRow()
{
    ScriptedPrompter prompter;
    VerticalAlignmentTableWidget widget;
    VerticalAlignmentTableModel* model = widget.model();
    const QString path = writeRoad(crest());
    QVERIFY(Trelvin::instance()->openRoad(path));
    const QByteArray file = RoadFiles::read(path);

    QVERIFY(model->setData(model->index(2, 0), "80"));
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    widget.on_applyButton_clicked();
    QCOMPARE(prompter.calls.size(), 1);
    QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Less than previous!"));
    QList<QModelIndex> row;
    for (int column = 0; column < 7; ++column)
        row << model->index(2, column);
    QCOMPARE(selected(widget.tableView()), row);

    // Neither the road nor its file took anything; a document save keeps the profile.
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().getAt(2).getPoi().station, 200.0);
    QVERIFY(!Trelvin::instance()->save());
    QCOMPARE(RoadFiles::read(path), file);
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 3u);
    QCOMPARE(model->verticalAlignment().size(), 3u);
}

void TestVerticalAlignmentPage::applyWithoutTextRows()
{
    VerticalAlignmentTableWidget widget;
    VerticalAlignmentTableModel* model = widget.model();
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));
    QSignalSpy changed(&widget, &VerticalAlignmentTableWidget::currentChange);

    select(widget.tableView(), 1, 0, 1, 2);
    widget.on_deleteButton_clicked();
    QVERIFY(!model->isTextRowMode());
    widget.on_applyButton_clicked();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(Trelvin::instance()->road()->getVerticalAligment().size(), 2u);
    QCOMPARE(model->rowCount(), 2);

    // Insert needs a selection; it then adds an empty typed row above it.
    widget.tableView()->clearSelection();
    widget.on_insertButton_clicked();
    widget.on_deleteButton_clicked();
    QCOMPARE(model->rowCount(), 2);
    select(widget.tableView(), 1, 1, 1, 1);
    widget.on_insertButton_clicked();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(1, 0).data().toString(), QString());
}

void TestVerticalAlignmentPage::contextMenuFollowsSelection()
{
    VerticalAlignmentTableWidget widget;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));
    const QList<QAction*> actions = widget.contextMenu()->actions();
    auto enabled = [&] {
        QList<bool> states;
        for (QAction* action : actions)
            states << action->isEnabled();
        return states;
    };

    widget.updateContextMenu();
    QCOMPARE(enabled(), QList<bool>({ true, false, false, false, false }));
    select(widget.tableView(), 0, 1, 1, 2);
    widget.updateContextMenu();
    QCOMPARE(enabled(), QList<bool>({ true, true, true, true, true }));
    select(widget.tableView(), 0, 3, 0, 4);
    widget.updateContextMenu();
    QCOMPARE(enabled(), QList<bool>({ true, true, true, true, false }));

    // The actions run the buttons' work.
    actions.at(0)->trigger();
    QCOMPARE(widget.model()->rowCount(), 4);
}

void TestVerticalAlignmentPage::copyAndPasteKeys()
{
    ScriptedPrompter prompter;
    VerticalAlignmentTableWidget widget;
    VerticalAlignmentTableModel* model = widget.model();
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));
    QClipboard* clipboard = QApplication::clipboard();

    // No selection, or not exactly Control: no copy.
    clipboard->setText("untouched");
    QTest::keyClick(&widget, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("untouched"));
    select(widget.tableView(), 1, 1, 2, 2);
    QTest::keyClick(&widget, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("untouched"));
    // Typed into the view, which would otherwise copy its current cell alone.
    widget.tableView()->selectionModel()->setCurrentIndex(model->index(2, 2), QItemSelectionModel::NoUpdate);
    QTest::keyClick(widget.tableView(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Zemko::Trelvin::rowsFromText(clipboard->text()),
             QList<QStringList>({ { "102.000", "3000.000" }, { "101.000", QString(QChar(0x221E)) } }));
    clipboard->setText("untouched");
    QTest::keyClick(&widget, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text().count('\n'), 2);

    // Paste asks first; No changes nothing.
    clipboard->setText("250 103 500 7\n");
    select(widget.tableView(), 2, 0, 2, 0);
    prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
    QTest::keyClick(&widget, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(prompter.calls.size(), 1);
    QCOMPARE(prompter.calls.at(0).title, QStringLiteral("Trelvin"));
    QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Do you want to replace the origin content?"));
    QVERIFY(!model->isTextRowMode());

    prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
    QTest::keyClick(&widget, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("250"));
    QCOMPARE(model->index(2, 2).data().toString(), QStringLiteral("500"));
    QCOMPARE(model->index(2, 3).data().toString(), QStringLiteral("-1.00%"));

    // A blank clipboard, or a selection right of Radius, pastes nothing (and asks only for the first).
    clipboard->setText("  \n ");
    prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
    widget.onPasteFromClipboard();
    QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("250"));
    select(widget.tableView(), 0, 3, 0, 3);
    widget.onPasteFromClipboard();
    QCOMPARE(prompter.calls.size(), 3);
}

void TestVerticalAlignmentPage::dialogShowsTheRow()
{
    VerticalAlignmentTableModel model;
    // The second PI lies in the stretch that the long equation repeats.
    QVERIFY(Trelvin::instance()->openRoad(
        writeRoad(RoadFiles::equations(1200, 1000)
                  + profile({ { 900, 50, 0 }, { 1300, 1234.5678, 2000 }, { 1600, 52, 0 } }))));

    VerticalAlignmentDialog dialog(1, 1, &model);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Vertical Alignment"));
    QCOMPARE(dialog.findChild<QLineEdit*>("edt_mileage")->text(), QStringLiteral("K1+100.000A"));
    QVERIFY(dialog.findChild<QLineEdit*>("edt_mileage")->validator());
    // Millimetres: the six digits of old gave 1234.57 and Ok wrote that back.
    QCOMPARE(dialog.findChild<QLineEdit*>("edt_height")->text(), QStringLiteral("1234.568"));
    QCOMPARE(dialog.findChild<QLineEdit*>("edt_radius")->text(), QStringLiteral("2000.000"));
    QVERIFY(dialog.findChild<QPushButton*>("btn_next")->isHidden());

    VerticalAlignmentDialog end(1, 0, &model);
    QCOMPARE(end.findChild<QLineEdit*>("edt_radius")->text(), QStringLiteral("0.000"));

    VerticalAlignmentDialog fresh(0, 0, &model);
    QCOMPARE(fresh.findChild<QLineEdit*>("edt_mileage")->text(), QString());
    QVERIFY(!fresh.findChild<QPushButton*>("btn_next")->isHidden());
}

void TestVerticalAlignmentPage::dialogCommit()
{
    ScriptedPrompter prompter;
    VerticalAlignmentTableModel model;
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(RoadFiles::equations(1000, 1200) + crest())));
    VerticalAlignmentDialog dialog(0, 0, &model);
    auto* mileage = dialog.findChild<QLineEdit*>("edt_mileage");
    auto* height = dialog.findChild<QLineEdit*>("edt_height");
    auto* radius = dialog.findChild<QLineEdit*>("edt_radius");

    struct Refusal
    {
        QString mileage;
        QString radius;
        QString message;
    };
    for (const Refusal& r : { Refusal { "", "", "Station should not be infinite!" },
                              Refusal { "K1+100", "", "Given station does not exist!" },
                              Refusal { "K0+500", "-300", "Radius should not be negative!" } }) {
        mileage->setText(r.mileage);
        radius->setText(r.radius);
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        dialog.onAccept();
        QCOMPARE(prompter.calls.last().text, r.message);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Trelvin"));
        QCOMPARE(dialog.result(), 0);
    }

    // Ok with an empty radius gives a parabola of radius 0 at the continuous station.
    mileage->setText("K1+300");
    height->setText("98.25");
    radius->setText("");
    dialog.onAccept();
    QCOMPARE(dialog.result(), 1);
    QCOMPARE(dialog.element().getPoi().station, 1100.0);
    QCOMPARE(dialog.element().getPoi().elevation, 98.25);
    QCOMPARE(dialog.element().getRadius(), 0.0);

    radius->setText("2500");
    dialog.onNext();
    QCOMPARE(dialog.result(), 2);
    QCOMPARE(dialog.element().getRadius(), 2500.0);
    QCOMPARE(prompter.calls.size(), 3);
}

void TestVerticalAlignmentPage::editFlowRetriesRefusedElements()
{
    ScriptedPrompter prompter;
    VerticalAlignmentTableWidget widget;
    VerticalAlignmentTableModel* model = widget.model();
    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));

    // Beyond the next PI: refused, shown again with the same values, then corrected.
    int shown = 0;
    std::function<void(VerticalAlignmentDialog*)> second = [&](VerticalAlignmentDialog* dialog) {
        ++shown;
        QCOMPARE(dialog->findChild<QLineEdit*>("edt_mileage")->text(), QStringLiteral("250"));
        dialog->findChild<QLineEdit*>("edt_mileage")->setText("120");
        dialog->onAccept();
    };
    whenDialogShows([&](VerticalAlignmentDialog* dialog) {
        ++shown;
        QCOMPARE(dialog->findChild<QLineEdit*>("edt_mileage")->text(), QStringLiteral("K0+100.000"));
        dialog->findChild<QLineEdit*>("edt_mileage")->setText("250");
        whenDialogShows(second);
        dialog->onAccept();
    });
    prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
    widget.onEdit(model->index(1, 1));
    QCOMPARE(shown, 2);
    QCOMPARE(prompter.calls.size(), 1);
    QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Greater than next!"));
    QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("K0+120.000"));

    // Closed without committing: nothing changes; no row, no dialog.
    whenDialogShows([](VerticalAlignmentDialog* dialog) { dialog->reject(); });
    widget.tableView()->setCurrentIndex(model->index(1, 0));
    widget.on_editButton_clicked();
    QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("K0+120.000"));
    widget.onEdit(QModelIndex());
}

void TestVerticalAlignmentPage::curveSamplesAndLabels()
{
    Zemko::Trelvin::RoadPlot plot;
    VerticalCurve curve("Vertical Alignment", Qt::green);
    QVERIFY(Trelvin::instance()->openRoad(
        writeRoad(RoadFiles::equations(1200, 1000)
                  + profile({ { 900, 50, 0 }, { 1300, 54, 2000 }, { 1600, 52, 0 } }))));
    curve.attach(&plot);

    const Pelko::Road::VerticalAlignment road = Trelvin::instance()->road()->getVerticalAligment();
    const std::vector<Pelko::Corvex::Point> points = road.getPoints();
    const QVector<QPointF> line = samples(curve.plotCurve());
    QCOMPARE(line.size(), int(points.size()));
    QVERIFY(line.size() > 20);
    for (int i = 0; i < line.size(); ++i)
        QCOMPARE(line.at(i), QPointF(points[size_t(i)].getX(), points[size_t(i)].getY()));
    QCOMPARE(line.first(), QPointF(900, 50));
    QCOMPARE(line.last(), QPointF(1600, 52));

    QCOMPARE(samples(curve.tangentPolygon()), QVector<QPointF>({ { 900, 50 }, { 1300, 54 }, { 1600, 52 } }));
    QCOMPARE(curve.tangentPolygon()->plot(), static_cast<QwtPlot*>(&plot));
    QCOMPARE(curve.tangentPolygon()->z(), -1.0);
    QCOMPARE(curve.tangentPolygon()->pen().style(), Qt::DashLine);
    QCOMPARE(curve.labels()->plot(), static_cast<QwtPlot*>(&plot));
    QCOMPARE(curve.labels()->z(), 1.0);
    QCOMPARE(curve.plotCurve()->pen().color(), QColor(Qt::green));

    const QVector<Zemko::Trelvin::Data::StationMark> marks = curve.labels()->marks();
    QCOMPARE(marks.size(), 3);
    QCOMPARE(marks.at(0).text, QStringLiteral("K0+900.000"));
    QCOMPARE(marks.at(1).text, QStringLiteral("K1+100.000A"));
    QCOMPARE(marks.at(2).text, QStringLiteral("K1+400.000"));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(marks.at(i).angle, -90.0);
        QVERIFY(!marks.at(i).path.isEmpty());
    }
    QCOMPARE(marks.at(1).x, 54.0);
    QCOMPARE(marks.at(1).y, 1300.0);
    QCOMPARE(curve.labels()->boundingRect(), QRectF(900, 50, 700, 4));
    // The view leaves room for the end labels.
    QCOMPARE(curve.boundingRect().left(), 872.0);
    QCOMPARE(curve.boundingRect().right(), 1628.0);

    curve.detach();
    QVERIFY(!curve.tangentPolygon()->plot());
    QVERIFY(!curve.labels()->plot());
}

void TestVerticalAlignmentPage::curveWithoutRoadOrPis()
{
    Zemko::Trelvin::RoadPlot plot;
    VerticalCurve curve("Vertical Alignment", Qt::green);
    // Not attached: nothing is built.
    curve.update();
    QCOMPARE(curve.plotCurve()->dataSize(), size_t(0));

    curve.attach(&plot);
    QCOMPARE(curve.plotCurve()->dataSize(), size_t(0));
    QVERIFY(!curve.tangentPolygon()->plot());
    QVERIFY(!curve.labels()->plot());

    QVERIFY(Trelvin::instance()->openRoad(writeRoad(QByteArray())));
    curve.refresh();
    QCOMPARE(curve.plotCurve()->dataSize(), size_t(0));
    QCOMPARE(curve.tangentPolygon()->dataSize(), size_t(0));
    QVERIFY(curve.labels()->marks().isEmpty());
    QCOMPARE(curve.tangentPolygon()->plot(), static_cast<QwtPlot*>(&plot));
    curve.detach();
}

void TestVerticalAlignmentPage::pageRedrawsAfterApply()
{
    VerticalAlignmentWidget page;
    page.show();
    page.resize(900, 500);
    QCOMPARE(page.windowTitle(), QStringLiteral("Vertical Alignment"));
    QCOMPARE(page.plot()->aspectRatio(), 20.0);
    QCOMPARE(page.curve(), static_cast<Zemko::Trelvin::Data::RoadCurve*>(page.profileCurve()));
    QCOMPARE(page.profileCurve()->plotCurve()->title().text(), QStringLiteral("Vertical Alignment"));

    QVERIFY(Trelvin::instance()->openRoad(writeRoad(crest())));
    QCOMPARE(page.profileCurve()->plot(), static_cast<QwtPlot*>(page.plot()));
    QCOMPARE(page.profileCurve()->tangentPolygon()->dataSize(), size_t(3));

    VerticalAlignmentTableModel* model = page.editor()->tableWidget()->model();
    model->appendElements(1);
    QVERIFY(model->setData(model->index(3, 0), "1000"));
    QVERIFY(model->setData(model->index(3, 1), "90"));
    QVERIFY(model->setData(model->index(2, 2), "5000"));
    page.editor()->tableWidget()->on_applyButton_clicked();
    QCOMPARE(page.profileCurve()->tangentPolygon()->dataSize(), size_t(4));
    const QwtScaleDiv& x = page.plot()->axisScaleDiv(QwtPlot::xBottom);
    QVERIFY(x.lowerBound() <= 0.0);
    QVERIFY(x.upperBound() >= 1000.0);

    Trelvin::instance()->closeRoad();
    QVERIFY(!page.profileCurve()->plot());
}

TRELVIN_TEST_MAIN(TestVerticalAlignmentPage)
#include "test_verticalalignmentpage.moc"
