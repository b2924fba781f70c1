#include "framework/selectedrange.h"
#include "framework/tableviewform.h"
#include "support/scriptedprompter.h"
#include "ui_tableviewwidget.h"

#include <qttestmain.h>

#include <QClipboard>
#include <QItemSelectionModel>
#include <QStandardItemModel>

using namespace Zemko::Trelvin;

// A table widget built on the shared form, with the column-hint slot.
class HintedTable : public QWidget
{
    Q_OBJECT

public:
    HintedTable() { ui.setupUi(this); }
    Ui_TableViewWidget ui;
    QList<QModelIndex> pressed;
    int appendClicks = 0;

public slots:
    void onShowToolTip(const QModelIndex& index) { pressed.append(index); }
    void on_appendButton_clicked() { ++appendClicks; }
};

// The same form without the hint slot.
class PlainTable : public QWidget
{
    Q_OBJECT

public:
    PlainTable() { ui.setupUi(this); }
    Ui_TableViewWidget ui;
};

class TableFormTest : public QObject
{
    Q_OBJECT

private slots:
    void formLayout()
    {
        HintedTable table;
        QCOMPARE(table.objectName(), QStringLiteral("TableViewWidget"));
        QCOMPARE(table.size(), QSize(498, 576));
        QCOMPARE(table.windowTitle(), QStringLiteral("Table View"));
        QCOMPARE(table.ui.tableView->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(table.ui.tableView->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(table.ui.lblTooltip->textFormat(), Qt::PlainText);
        const QStringList texts
            = { table.ui.appendButton->text(), table.ui.insertButton->text(), table.ui.deleteButton->text(),
                table.ui.editButton->text(), table.ui.applyButton->text() };
        QCOMPARE(texts, QStringList({ "Append", "Insert", "Delete", "Edit", "Apply" }));
        table.ui.appendButton->click();
        QCOMPARE(table.appendClicks, 1);

        QWidget named;
        named.setObjectName(QStringLiteral("structures"));
        Ui_TableViewWidget form;
        form.setupUi(&named);
        QCOMPARE(named.objectName(), QStringLiteral("structures"));
    }

    void columnHintsFollowThePressedCell()
    {
        ScriptedPrompter prompter;
        HintedTable table;
        QStandardItemModel model(3, 4);
        table.ui.tableView->setModel(&model);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));

        // Switching it on twice still reports each press once.
        setTooltipTracking(&table, true);
        setTooltipTracking(&table, true);
        QVERIFY(table.ui.lblTooltip->isVisible());
        QCOMPARE(table.ui.lblTooltip->text(), QStringLiteral(" "));
        QTableView* view = table.ui.tableView;
        const QModelIndex cell = model.index(1, 2);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
        QCOMPARE(table.pressed, QList<QModelIndex>({ cell }));

        setTooltipTracking(&table, false);
        QVERIFY(!table.ui.lblTooltip->isVisible());
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, view->visualRect(model.index(0, 0)).center());
        QCOMPARE(table.pressed.size(), 1);
        QCOMPARE(prompter.calls.size(), 0);

        // A widget without the hint slot cannot be connected, and says so.
        PlainTable plain;
        prompter.answer(ScriptedPrompter::Information, QMessageBox::Ok);
        setTooltipTracking(&plain, true);
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.at(0).kind, ScriptedPrompter::Information);
        QCOMPARE(prompter.calls.at(0).title, QString());
        QCOMPARE(prompter.calls.at(0).text, QStringLiteral("connect error!"));
    }

    void rowsAsAlignedText()
    {
        QCOMPARE(rowsToText({}), QString());
        QCOMPARE(rowsToText({ { "x" } }), QStringLiteral("x\n"));
        QCOMPARE(rowsToText({ { "Line", "12.5" }, { "Arc", "100.25", "7" } }),
                 QStringLiteral("Line    12.5\nArc     100.25    7\n"));
        // A longer row later widens the earlier rows' columns too.
        QCOMPARE(rowsToText({ { "a", "b" }, { "ccc", "d" } }), QStringLiteral("a      b\nccc    d\n"));
    }

    void clipboardBothWays()
    {
        QClipboard* clipboard = QApplication::clipboard();
        const Rows rows = { { "K0+100.000", "25.000", "Arc" }, { "K0+200.000", "-3.5", "Line" } };
        copyToClipboard(rows);
        QCOMPARE(clipboard->text(), rowsToText(rows));
        QCOMPARE(rowsFromClipboard(), rows);

        clipboard->setText(QStringLiteral("\n  1 2\t3 \n\n4\n"));
        QCOMPARE(rowsFromClipboard(), Rows({ { "1", "2", "3" }, { "4" } }));
        clipboard->setText(QStringLiteral("a b\r\nc\r\n"));
        QCOMPARE(rowsFromClipboard(), Rows({ { "a", "b" }, { "c" } }));

        // The filling form appends, and leaves the list alone for an empty clipboard.
        Rows collected = { { "kept" } };
        clipboard->setText(QStringLiteral("   \n \t "));
        rowsFromClipboard(collected);
        QCOMPARE(collected, Rows({ { "kept" } }));
        clipboard->setText(QStringLiteral("x y"));
        rowsFromClipboard(collected);
        QCOMPARE(collected, Rows({ { "kept" }, { "x", "y" } }));
        clipboard->clear();
        QVERIFY(rowsFromClipboard().isEmpty());
    }

    void blankRows()
    {
        QVERIFY(isBlank({}, 3));
        QVERIFY(isBlank({ { " ", "x" } }, 1));
        QVERIFY(!isBlank({ { " ", "x" } }, 0));
        QVERIFY(!isBlank({ { " ", "x" } }, 2));
        QVERIFY(isBlank({ { "", "\t" }, { " " } }, 5));
        QVERIFY(!isBlank({ { "" }, { "", "1" } }, -1));
    }

    void selectionBlock()
    {
        int top = 7, left = 7, rows = 7, columns = 7;
        selectedRange(nullptr, top, left, rows, columns);
        QCOMPARE(QList<int>({ top, left, rows, columns }), QList<int>({ -1, -1, 0, 0 }));

        QStandardItemModel model(10, 6);
        QItemSelectionModel selection(&model);
        selectedRange(&selection, top, left, rows, columns);
        QCOMPARE(QList<int>({ top, left, rows, columns }), QList<int>({ -1, -1, 0, 0 }));

        selection.select(model.index(4, 3), QItemSelectionModel::Select);
        selectedRange(&selection, top, left, rows, columns);
        QCOMPARE(QList<int>({ top, left, rows, columns }), QList<int>({ 4, 3, 1, 1 }));

        // Two cells far apart span the whole block between them.
        selection.select(model.index(8, 0), QItemSelectionModel::Select);
        selection.select(model.index(2, 5), QItemSelectionModel::Select);
        selectedRange(&selection, top, left, rows, columns);
        QCOMPARE(QList<int>({ top, left, rows, columns }), QList<int>({ 2, 0, 7, 6 }));
    }
};

TRELVIN_TEST_MAIN(TableFormTest)
#include "test_tableform.moc"
