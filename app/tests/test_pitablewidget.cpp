#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointofintersectiontablewidget.h"
#include "document/trelvin.h"
#include "framework/tableviewform.h"
#include "support/cellfit.h"
#include "support/scriptedprompter.h"
#include "test_horizontalroads.h"
#include "test_horizontaltables.h"
#include "ui_tableviewwidget.h"

#include <road/horizontalalignment.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/roadsurface.h>

#include <qttestmain.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>

#include <cmath>

using HorizontalTables::enabledActions;
using HorizontalTables::selectBlock;
using Zemko::Trelvin::PointOfIntersectionTableModel;
using Zemko::Trelvin::Trelvin;

class TestPiTableWidget : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

    void open(const QByteArray& parts) { QVERIFY(!roads.open(parts).isEmpty()); }

    static Pelko::Road::PointOfIntersectionConfiguration roadPis()
    {
        return Trelvin::instance()->road()->getHorizontalAligment()->getPointOfIntersections();
    }

private slots:
    void applyFlowReportsAndWrites()
    {
        open(HorizontalRoads::fourPis());
        PointOfIntersectionTableWidget widget;
        QTableView* view = widget.form()->tableView;
        PointOfIntersectionTableModel* model = widget.model();
        QSignalSpy applied(&widget, &PointOfIntersectionTableWidget::currentChange);
        ScriptedPrompter prompter;

        QVERIFY(model->setData(model->index(2, 4), "1"));
        prompter.answer(ScriptedPrompter::Information, QMessageBox::Ok);
        widget.on_applyButton_clicked();
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.at(0).kind, ScriptedPrompter::Information);
        QCOMPARE(prompter.calls.at(0).title, QStringLiteral("Trelvin"));
        QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Invalid POI on line 3"));
        QCOMPARE(view->selectionModel()->selectedIndexes(), QModelIndexList({ model->index(2, 4) }));
        QCOMPARE(applied.count(), 0);

        QVERIFY(model->setData(model->index(2, 4), "300"));
        QVERIFY(model->setData(model->index(1, 7), "-200"));
        prompter.answer(ScriptedPrompter::Information, QMessageBox::Ok);
        widget.on_applyButton_clicked();
        QCOMPARE(prompter.calls.at(1).text, QStringLiteral("Create POI failed on line 2"));
        QCOMPARE(view->selectionModel()->selectedIndexes(), QModelIndexList({ model->index(1, 0) }));
        QVERIFY(std::isinf(roadPis().at(1).getEndRadius()));

        QVERIFY(model->setData(model->index(1, 7), "600"));
        widget.on_applyButton_clicked();
        QCOMPARE(prompter.calls.size(), 2);
        QCOMPARE(applied.count(), 1);
        QVERIFY(!model->isTextRowMode());
        QCOMPARE(roadPis().at(1).getEndRadius(), 600.0);
        QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());

        // Emptied: asked first; No keeps the road's PIs, Yes clears them.
        HorizontalTables::applyEmptied(
            widget, prompter,
            QStringLiteral("No data in POI table, all elements will be deleted, continue ?"),
            [] { return roadPis().size(); }, 4u, applied, 2);
    }

    void oneTypedRowIsAPoint()
    {
        open(QByteArray());
        PointOfIntersectionTableWidget widget;
        ScriptedPrompter prompter;
        widget.on_insertButton_clicked();
        QCOMPARE(widget.model()->rowCount(), 0);
        widget.on_appendButton_clicked();
        QCOMPARE(widget.model()->rowCount(), 1);
        PointOfIntersectionTableModel* model = widget.model();
        QVERIFY(model->setData(model->index(0, 0), "K1+000"));
        QVERIFY(model->setData(model->index(0, 1), "10"));
        QVERIFY(model->setData(model->index(0, 2), "20"));
        widget.on_applyButton_clicked();
        QCOMPARE(prompter.calls.size(), 0);
        QCOMPARE(roadPis().size(), 1u);
        QCOMPARE(roadPis().at(0).getCurveType(), Pelko::Road::PointPoiType);
        QCOMPARE(roadPis().at(0).getPoiStation(), 1000.0);
    }

    // On a new road the titles "N" and "E" are narrow; typed, pasted and applied coordinates must
    // still show whole.
    void coordinatesShowWholeOnANewRoad()
    {
        open(QByteArray());
        PointOfIntersectionTableWidget widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTableView* view = widget.form()->tableView;
        PointOfIntersectionTableModel* model = widget.model();
        ScriptedPrompter prompter;

        for (int i = 0; i < 3; ++i)
            widget.on_appendButton_clicked();
        QVERIFY(model->setData(model->index(0, 0), "K0+000"));
        const char* typed[3][5] = { { "3512345.678", "498765.432", "", "", "" },
                                    { "3512845.678", "499265.432", "40", "300", "40" },
                                    { "3512845.678", "499965.432", "", "", "" } };
        for (int row = 0; row < 3; ++row)
            for (int column = 1; column <= 5; ++column) {
                QVERIFY(model->setData(model->index(row, column), typed[row][column - 1]));
                QModelIndex cut;
                QVERIFY2(allShownWhole(view, &cut),
                         qPrintable(QStringLiteral("row %1 column %2").arg(cut.row()).arg(cut.column())));
            }

        // Two lines from the last row on: the second appends a row.
        selectBlock(view, 2, 1, 2, 1);
        QApplication::clipboard()->setText(
            QStringLiteral("3512845.678 499965.432\n-3512845.678901 -499965.432109\n"));
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
        widget.onPasteFromClipboard();
        QCOMPARE(model->rowCount(), 4);
        QVERIFY(allShownWhole(view));

        model->removeElements(3, 1);
        widget.on_applyButton_clicked();
        QCOMPARE(roadPis().size(), 3u);
        QVERIFY(!model->isTextRowMode());
        QVERIFY(allShownWhole(view));
    }

    void copyPasteAndTheContextMenu()
    {
        open(HorizontalRoads::fourPis());
        PointOfIntersectionTableWidget widget;
        QTableView* view = widget.form()->tableView;
        PointOfIntersectionTableModel* model = widget.model();
        ScriptedPrompter prompter;

        widget.prepareContextMenu();
        QCOMPARE(enabledActions(widget.contextMenu()), QList<bool>({ true, false, false, false, false }));
        selectBlock(view, 0, 0, 1, 2);
        widget.prepareContextMenu();
        QCOMPARE(enabledActions(widget.contextMenu()), QList<bool>({ true, true, true, true, false }));

        // The station column is never copied; Control+C reaches the table's copy, not the view's.
        QApplication::clipboard()->setText(QStringLiteral("untouched"));
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("untouched"));
        selectBlock(view, 1, 1, 2, 2);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(Zemko::Trelvin::rowsFromText(copied),
                 Zemko::Trelvin::Rows({ { "1200.000", "2010.000" }, { "1350.000", "2200.000" } }));

        // Paste asks first and writes from the selection's left column.
        selectBlock(view, 0, 1, 0, 1);
        widget.prepareContextMenu();
        QVERIFY(widget.contextMenu()->actions().at(4)->isEnabled());
        QApplication::clipboard()->setText(QStringLiteral("11 22\n33 44\n55 66\n77 88\n99 100\n"));
        prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(model->data(model->index(0, 1)).toString(), QStringLiteral("1000.000"));
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
        widget.onPasteFromClipboard();
        QCOMPARE(prompter.count(ScriptedPrompter::Question), 2);
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Do you want to replace the origin content?"));
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(model->data(model->index(4, 2)).toString(), QStringLiteral("100"));

        for (int column : { 0, 8, 9, 10 }) {
            selectBlock(view, 0, column, 0, column);
            widget.onPasteFromClipboard();
        }
        QCOMPARE(prompter.count(ScriptedPrompter::Question), 2);

        selectBlock(view, 1, 3, 2, 4);
        widget.on_deleteButton_clicked();
        QCOMPARE(model->rowCount(), 3);
        selectBlock(view, 0, 1, 0, 1);
        widget.on_insertButton_clicked();
        QCOMPARE(model->rowCount(), 4);
    }

    void hintsFollowThePressedColumn()
    {
        PointOfIntersectionTableWidget widget;
        QCOMPARE(widget.windowTitle(), QStringLiteral("Point of Intersections"));
        QVERIFY(widget.form()->editButton->isHidden());
        QVERIFY(!widget.form()->lblTooltip->isHidden());
        widget.onShowToolTip(QModelIndex());
        QCOMPARE(widget.form()->lblTooltip->text(), QString());
        open(HorizontalRoads::fourPis());
        widget.onShowToolTip(widget.model()->index(0, 4));
        QCOMPARE(widget.form()->lblTooltip->text(),
                 QStringLiteral("The radius of the arc curve. Zero of empty represents infinity."));
        QCOMPARE(PointOfIntersectionTableWidget::columnHint(10),
                 QStringLiteral("The tangent length of the out spiral curve."));
        QCOMPARE(PointOfIntersectionTableWidget::columnHint(11), QString());
    }
};

TRELVIN_TEST_MAIN(TestPiTableWidget)
#include "test_pitablewidget.moc"
