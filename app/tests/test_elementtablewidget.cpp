#include "alignment/horizontalelementtablemodel.h"
#include "alignment/horizontalelementtablewidget.h"
#include "document/trelvin.h"
#include "framework/tableviewform.h"
#include "support/cellfit.h"
#include "support/scriptedprompter.h"
#include "test_horizontalroads.h"
#include "test_horizontaltables.h"
#include "ui_tableviewwidget.h"

#include <road/horizontalalignment.h>
#include <road/roadsurface.h>

#include <qttestmain.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>

using HorizontalTables::enabledActions;
using HorizontalTables::selectBlock;
using Zemko::Trelvin::HorizontalElementTableModel;
using Zemko::Trelvin::Trelvin;
using Model = HorizontalElementTableModel;

namespace {

Pelko::Road::HorizontalElementConfiguration roadElements()
{
    return Trelvin::instance()->road()->getHorizontalAligment()->getElements();
}

} // namespace

class TestElementTableWidget : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

    void openChain() { QVERIFY(!roads.openElements(HorizontalRoads::lineArcLine()).isEmpty()); }

private slots:
    void applyFlowReportsAndWrites()
    {
        openChain();
        HorizontalElementTableWidget widget;
        QCOMPARE(widget.windowTitle(), QStringLiteral("Horizontal Elements"));
        QTableView* view = widget.form()->tableView;
        Model* model = widget.model();
        QSignalSpy applied(&widget, &HorizontalElementTableWidget::currentChange);
        ScriptedPrompter prompter;

        QVERIFY(model->setData(model->index(2, Model::LengthColumn), "0"));
        prompter.answer(ScriptedPrompter::Information, QMessageBox::Ok);
        widget.on_applyButton_clicked();
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Trelvin"));
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Invalid horizontal element on line 3"));
        QCOMPARE(view->selectionModel()->selectedIndexes(),
                 QModelIndexList({ model->index(2, Model::LengthColumn) }));

        QVERIFY(model->setData(model->index(2, Model::LengthColumn), "80"));
        QVERIFY(model->setData(model->index(1, Model::StartRadiusColumn), "-0.0005"));
        QVERIFY(model->setData(model->index(1, Model::EndRadiusColumn), "-0.0005"));
        prompter.answer(ScriptedPrompter::Information, QMessageBox::Ok);
        widget.on_applyButton_clicked();
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Create horizontal element failed on line 2"));
        QCOMPARE(view->selectionModel()->selectedIndexes().size(), 9);
        QVERIFY(view->selectionModel()->isRowSelected(1, QModelIndex()));
        QCOMPARE(roadElements().at(2).getLength(), 50.0);
        QCOMPARE(applied.count(), 0);

        QVERIFY(model->setData(model->index(1, Model::StartRadiusColumn), "-400"));
        QVERIFY(model->setData(model->index(1, Model::EndRadiusColumn), "-400"));
        widget.on_applyButton_clicked();
        QCOMPARE(prompter.calls.size(), 2);
        QCOMPARE(applied.count(), 1);
        QCOMPARE(roadElements().at(1).getBeginRadius(), 400.0);
        QCOMPARE(roadElements().at(1).getRurnDirection(), Pelko::Road::TurnLeft);
        QCOMPARE(roadElements().at(2).getLength(), 80.0);
        QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());

        HorizontalTables::applyEmptied(
            widget, prompter,
            QStringLiteral("No data in Elements table, all elements will be deleted, continue ?"),
            [] { return roadElements().size(); }, 3u, applied, 2);
    }

    // The azimuth shares its cell with the fixed-azimuth check box; its seconds must still show.
    void azimuthsShowWhole()
    {
        openChain();
        HorizontalElementTableWidget widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTableView* view = widget.form()->tableView;
        QVERIFY(widget.model()->index(0, Model::AzimuthColumn).data(Qt::CheckStateRole).isValid());
        QModelIndex cut;
        QVERIFY2(allShownWhole(view, &cut),
                 qPrintable(QStringLiteral("%1 %2").arg(cut.row()).arg(cut.column())));
    }

    // The number columns are fitted from their smallest and largest values, the name columns from the
    // names in use: a sign or a digit more in any row, a straight's infinity sign among radii, a name
    // of either side, must still find room, and no more than that.
    void numberColumnsFitTheirWidestCells()
    {
        const double nan = std::nan("");
        Pelko::Road::HorizontalElementConfiguration elements;
        // From far south of the origin due north past it, then a left arc, a short line, a spiral and a
        // right arc.
        elements.append(Pelko::Road::HorizontalElement::createLine(
            Pelko::Corvex::Angle(0.0), 100000.0, Pelko::Corvex::Point(-99999.5, 5.0), 0.0));
        elements.append(Pelko::Road::HorizontalElement::createArc(Pelko::Corvex::Angle(nan), 40.0, -30.0,
                                                                  Pelko::Corvex::Point::invalid(), nan));
        elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(nan), 7.25,
                                                                   Pelko::Corvex::Point::invalid(), nan));
        elements.append(Pelko::Road::HorizontalElement::createSpiral(
            Pelko::Corvex::Angle(nan), 20.0, std::numeric_limits<double>::infinity(), 250.0,
            Pelko::Corvex::Point::invalid(), nan));
        elements.append(Pelko::Road::HorizontalElement::createArc(Pelko::Corvex::Angle(nan), 3.0, 4567.0,
                                                                  Pelko::Corvex::Point::invalid(), nan));
        QVERIFY(!roads.openElements(elements).isEmpty());
        HorizontalElementTableWidget widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTableView* view = widget.form()->tableView;
        const Model* model = widget.model();
        QCOMPARE(model->rowCount(), 5);
        QVERIFY(model->index(2, Model::EastColumn).data().toString().startsWith(QLatin1Char('-')));

        QModelIndex cut;
        QVERIFY2(allShownWhole(view, &cut),
                 qPrintable(QStringLiteral("%1 %2").arg(cut.row()).arg(cut.column())));
        const QFontMetrics metrics = view->fontMetrics();
        const int slack = 6 * metrics.horizontalAdvance(QLatin1Char('X'))
            + view->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, view);
        for (int column : { Model::TypeColumn, Model::StartRadiusColumn, Model::EndRadiusColumn,
                            Model::LengthColumn, Model::NorthColumn, Model::EastColumn,
                            Model::DeflectionColumn }) {
            int widest = view->horizontalHeader()->sectionSizeHint(column);
            for (int row = 0; row < model->rowCount(); ++row)
                widest = std::max(widest, metrics.horizontalAdvance(model->index(row, column).data().toString()));
            QVERIFY2(view->columnWidth(column) <= widest + slack, qPrintable(QString::number(column)));
        }
    }

    void copyPasteAndTheContextMenu()
    {
        openChain();
        HorizontalElementTableWidget widget;
        QTableView* view = widget.form()->tableView;
        Model* model = widget.model();
        ScriptedPrompter prompter;

        widget.on_insertButton_clicked();
        QCOMPARE(model->rowCount(), 3);
        widget.on_appendButton_clicked();
        QCOMPARE(model->rowCount(), 4);
        widget.prepareContextMenu();
        QList<QAction*> actions = widget.contextMenu()->actions();
        QVERIFY(actions.at(0)->isEnabled() && !actions.at(1)->isEnabled() && !actions.at(4)->isEnabled());

        selectBlock(view, 1, 0, 1, 8);
        QApplication::clipboard()->setText(QStringLiteral("untouched"));
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("untouched"));
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(Zemko::Trelvin::rowsFromClipboard().first(), model->copyCells(1, 0, 1, 9).first());

        for (int column : { 0, 1, 8 }) {
            selectBlock(view, 0, column, 0, column);
            widget.prepareContextMenu();
            QVERIFY(!widget.contextMenu()->actions().at(4)->isEnabled());
            widget.onPasteFromClipboard();
        }
        QCOMPARE(prompter.count(ScriptedPrompter::Question), 0);

        // Blanks in the columns that would be written change nothing, after the question.
        selectBlock(view, 0, 5, 0, 5);
        QApplication::clipboard()->setText(QStringLiteral("   \n  "));
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(prompter.count(ScriptedPrompter::Question), 1);
        QVERIFY(!model->isTextRowMode());

        QApplication::clipboard()->setText(QStringLiteral("70\n80\n90\n100\n110\n"));
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
        widget.onPasteFromClipboard();
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(model->data(model->index(4, Model::LengthColumn)).toString(), QStringLiteral("110"));

        selectBlock(view, 3, 2, 4, 3);
        widget.on_deleteButton_clicked();
        QCOMPARE(model->rowCount(), 3);
    }

    void hints()
    {
        openChain();
        HorizontalElementTableWidget widget;
        widget.onShowToolTip(widget.model()->index(0, 6));
        QCOMPARE(widget.form()->lblTooltip->text(),
                 QStringLiteral("The x coordiante value of the begin point."));
        widget.onShowToolTip(QModelIndex());
        QCOMPARE(widget.form()->lblTooltip->text(), QString());
        QCOMPARE(HorizontalElementTableWidget::columnHint(8),
                 QStringLiteral("The turnning deflection of the curve."));
    }
};

TRELVIN_TEST_MAIN(TestElementTableWidget)
#include "test_elementtablewidget.moc"
