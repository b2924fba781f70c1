#include "alignment/horizontalalignmentwidget.h"
#include "alignment/horizontalcurve.h"
#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointofintersectiontablewidget.h"
#include "document/trelvin.h"
#include "framework/roadplot.h"
#include "framework/tableviewform.h"
#include "structures/structuralobjecttablemodel.h"
#include "structures/structuralobjecttablewidget.h"
#include "structures/structuralobjectwidget.h"
#include "support/scriptedprompter.h"
#include "test_horizontalroads.h"
#include "test_horizontaltables.h"
#include "ui_tableviewwidget.h"

#include <road/roadsurface.h>
#include <road/structureelementconfiguration.h>

#include <qttestmain.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>

using HorizontalTables::enabledActions;
using HorizontalTables::selectBlock;
using Zemko::Trelvin::StructuralObjectTableModel;
using Zemko::Trelvin::Trelvin;

class TestStructurePage : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

    void open()
    {
        QVERIFY(!roads
                     .open(HorizontalRoads::fourPis()
                           + HorizontalRoads::structures(
                               HorizontalRoads::structure(50, 0, 0, M_PI / 2, 1, 1, 8, 8)
                               + HorizontalRoads::structure(150, 1, 0, 1.2, 2, 2, 6, 6)
                               + HorizontalRoads::structure(250, 2, 1, 1.4, 3, 3, 9, 9)
                               + HorizontalRoads::structure(350, 3, 1, 1.5, 4, 4, 12, 12)
                               + HorizontalRoads::structure(450, 0, 0, 1.6, 1, 1, 5, 5)))
                     .isEmpty());
    }

private slots:
    void tableMenuAndClipboard()
    {
        open();
        StructuralObjectTableWidget widget;
        QCOMPARE(widget.windowTitle(), QStringLiteral("Structural Object"));
        QVERIFY(widget.form()->editButton->isHidden());
        QTableView* view = widget.form()->tableView;
        StructuralObjectTableModel* model = widget.model();
        ScriptedPrompter prompter;

        widget.prepareContextMenu();
        QCOMPARE(enabledActions(widget.contextMenu()), QList<bool>({ true, false, false, false, false }));
        selectBlock(view, 1, 2, 1, 3);
        widget.prepareContextMenu();
        QCOMPARE(enabledActions(widget.contextMenu()), QList<bool>({ true, true, true, true, false }));
        selectBlock(view, 1, 3, 1, 3);
        widget.prepareContextMenu();
        QVERIFY(widget.contextMenu()->actions().at(4)->isEnabled());

        // Control alone copies; the view's own single-cell copy does not get the key.
        selectBlock(view, 0, 0, 1, 3);
        QApplication::clipboard()->setText(QStringLiteral("untouched"));
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("untouched"));
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(Zemko::Trelvin::rowsFromClipboard(), model->copyCells(0, 0, 2, 4));

        // Pasted onto the last rows: rows are added, the types stay, both angle forms read.
        selectBlock(view, 4, 0, 4, 0);
        prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(model->rowCount(), 5);
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
        widget.onPasteFromClipboard();
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Do you want to replace the origin content?"));
        QCOMPARE(model->rowCount(), 6);
        QCOMPARE(model->data(model->index(5, 0)).toString(), QStringLiteral("K0+150.000"));
        QCOMPARE(model->data(model->index(5, 1)).toString(), QStringLiteral("Culvert"));
        QCOMPARE(model->data(model->index(4, 3)).toString(), QStringLiteral("90:00:00.00000"));
        QCOMPARE(model->data(model->index(5, 3)), model->data(model->index(1, 3)));

        selectBlock(view, 0, 1, 0, 1);
        widget.onPasteFromClipboard();
        QCOMPARE(prompter.count(ScriptedPrompter::Question), 2);

        selectBlock(view, 2, 0, 4, 5);
        widget.on_deleteButton_clicked();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->data(model->index(2, 0)).toString(), QStringLiteral("K0+150.000"));

        widget.onShowToolTip(model->index(0, 2));
        QCOMPARE(widget.form()->lblTooltip->text(),
                 QStringLiteral("The build modus of the structual object."));
        QCOMPARE(StructuralObjectTableWidget::columnHint(10), QString());
    }

    // A structure Apply redraws every plan but leaves the alignment tables' typed rows alone.
    void applyRedrawsThePlans()
    {
        open();
        StructuralObjectWidget page;
        QCOMPARE(page.windowTitle(), QStringLiteral("Structural Object"));
        QCOMPARE(page.planCurve()->plotCurve()->title().text(), QStringLiteral("Structure"));
        HorizontalAlignmentWidget horizontal;
        page.show();
        horizontal.show();
        connect(Trelvin::instance(), &Trelvin::dataChanged, &page, &StructuralObjectWidget::updateData);
        connect(Trelvin::instance(), &Trelvin::dataChanged, &horizontal,
                &HorizontalAlignmentWidget::updateData);
        Trelvin::instance()->closeRoad();
        open();
        QCOMPARE(page.planCurve()->structures()->objects().size(), 5);

        Zemko::Trelvin::PointOfIntersectionTableModel* pis
            = horizontal.editor()->pointOfIntersectionTable()->model();
        QVERIFY(pis->setData(pis->index(1, 4), "260"));

        StructuralObjectTableWidget* table = page.editor();
        StructuralObjectTableModel* model = table->model();
        QSignalSpy applied(table, &StructuralObjectTableWidget::currentChange);
        model->removeElements(0, 4);
        table->on_applyButton_clicked();
        QCOMPARE(applied.count(), 1);
        QCOMPARE(Trelvin::instance()->road()->getStructures().size(), 1u);
        QCOMPARE(page.planCurve()->structures()->objects().size(), 1);
        QCOMPARE(horizontal.planCurve()->structures()->objects().size(), 1);
        QVERIFY(pis->isTextRowMode());
        QCOMPARE(pis->data(pis->index(1, 4)).toString(), QStringLiteral("260"));
        QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories(DataType::PointOfIntersection));
    }
};

TRELVIN_TEST_MAIN(TestStructurePage)
#include "test_structurepage.moc"
