#include "framework/blocktablemodel.h"
#include "framework/tableeditwidget.h"
#include "support/cellfit.h"
#include "ui_tableviewwidget.h"

#include <qttestmain.h>

#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>

using Zemko::Trelvin::BlockTableModel;

namespace {

// Rows of texts set by the test; a reload shows the texts set last.
class TextModel : public BlockTableModel
{
public:
    TextModel()
        : BlockTableModel(DataType::StructuralObject, 3, 3)
    {
    }

    QList<QStringList> next;
    // Column 2 shows a check box.
    bool checkBoxes = false;

    // As a typed cell: the text changes and the view hears of that cell alone.
    void type(int row, int column, const QString& text)
    {
        m_rows[row][column] = text;
        emit dataChanged(index(row, column), index(row, column));
    }
    void insert(int row, const QStringList& cells)
    {
        beginInsertRows(QModelIndex(), row, row);
        m_rows.insert(row, cells);
        endInsertRows();
    }

    void appendElements(int) override { }
    void insertElements(int, int) override { }

protected:
    QVariant displayData(const QModelIndex& index) const override
    {
        return m_rows.at(index.row()).value(index.column());
    }
    QVariant checkStateData(const QModelIndex& index) const override
    {
        return checkBoxes && index.column() == 2 ? QVariant(Qt::Checked) : QVariant();
    }
    QVariant columnTitle(int section) const override { return QStringLiteral("Col %1").arg(section); }
    int columns() const override { return 3; }
    int rows() const override { return m_rows.size(); }
    bool saveToRoad() override { return true; }
    void loadFromRoad() override { m_rows = next; }
    void removeRowAt(int) override { }
    bool pastesAt(int) const override { return false; }
    void pasteLine(int, int, const QStringList&) override { }
    void writeIntoRoad(Pelko::Road::RoadSurface&) override { }

private:
    QList<QStringList> m_rows;
};

class Table : public TableEditWidget
{
    Q_OBJECT

public:
    explicit Table(TextModel* model)
        : TableEditWidget(nullptr, 0, 0, 0)
    {
        setUpTable(model);
    }

public slots:
    // The form's hint follows the pressed cell through this slot.
    void onShowToolTip(const QModelIndex&) { }
};

// Station, coordinate and name columns of a long road, every row different.
QList<QStringList> longTable(int rows)
{
    QList<QStringList> table;
    for (int i = 0; i < rows; ++i)
        table.append({ QStringLiteral("K%1+%2.000").arg(i / 1000).arg(i % 1000, 3, 10, QLatin1Char('0')),
                       QString::number(3000000.0 + 7.31 * i, 'f', 3),
                       i % 2 ? QStringLiteral("Arc") : QStringLiteral("Line") });
    return table;
}

// A table shown on its own, on a model of texts.
struct ShownTable
{
    TextModel model;
    Table table { &model };
    QTableView* view = table.form()->tableView;

    bool show()
    {
        table.show();
        return QTest::qWaitForWindowExposed(&table);
    }
};

int textWidth(const QTableView* view, const QString& text)
{
    return view->fontMetrics().horizontalAdvance(text);
}

} // namespace

class TestTableColumns : public QObject
{
    Q_OBJECT

private slots:
    void widestTextInTheMiddleFits();
    void hiddenTableFitsWhenShown();
    void typedAndInsertedCellsWiden();
    void checkBoxTakesRoom();
};

void TestTableColumns::widestTextInTheMiddleFits()
{
    ShownTable shown;
    QVERIFY(shown.show());
    TextModel& model = shown.model;
    QTableView* view = shown.view;

    model.next = longTable(20000);
    // One row far from both ends outgrows each column: more digits, narrow letters of the same count,
    // wide letters, a text that is not a number.
    const int middle = 12345;
    model.next[middle] = QStringList { QStringLiteral("K1234+567.890A"), QStringLiteral("WWWWWWWWWWW"),
                                       QStringLiteral("Spiral-Arc-Spiral") };
    model.next[middle + 1][1] = QStringLiteral("-13000000.000");
    model.reload();

    const QStringList widest { model.next[middle][0], model.next[middle][1], model.next[middle][2] };
    for (int column = 0; column < 3; ++column) {
        const int needed = textWidth(view, widest[column]);
        QVERIFY2(view->columnWidth(column) > needed, qPrintable(widest[column]));
        // Not much wider than the widest text and its margin.
        QVERIFY(view->columnWidth(column) <= needed + 6 * textWidth(view, QStringLiteral("X")));
    }
    QVERIFY(view->columnWidth(1) > textWidth(view, QStringLiteral("-13000000.000")));

    // A shorter table narrows the columns again, down to their titles.
    model.next = { QStringList { QStringLiteral("1"), QString(), QString() } };
    model.reload();
    for (int column = 0; column < 3; ++column)
        QCOMPARE(view->columnWidth(column), view->horizontalHeader()->sectionSizeHint(column));
}

void TestTableColumns::hiddenTableFitsWhenShown()
{
    // A table on a page that does not show, as the second tab of a tab widget.
    TextModel model;
    QTabWidget tabs;
    tabs.addTab(new QWidget, QStringLiteral("shown"));
    auto* table = new Table(&model);
    tabs.addTab(table, QStringLiteral("hidden"));
    tabs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tabs));
    QTableView* view = table->form()->tableView;
    const int before = view->columnWidth(2);

    model.next = longTable(100);
    model.next[50][2] = QStringLiteral("Spiral-Arc-Spiral-Arc-Spiral");
    model.reload();
    QVERIFY(!view->isVisible());
    QCOMPARE(view->columnWidth(2), before);

    tabs.setCurrentIndex(1);
    QVERIFY(view->isVisible());
    QVERIFY(view->columnWidth(2) > textWidth(view, model.next[50][2]));

    // Shown again without a change: the user's widths stay.
    view->setColumnWidth(2, 40);
    tabs.setCurrentIndex(0);
    tabs.setCurrentIndex(1);
    QCOMPARE(view->columnWidth(2), 40);
}

void TestTableColumns::typedAndInsertedCellsWiden()
{
    ShownTable shown;
    QVERIFY(shown.show());
    TextModel& model = shown.model;
    QTableView* view = shown.view;
    model.next = longTable(3);
    model.reload();
    const int fitted = view->columnWidth(1);

    // A typed coordinate longer than the column's texts widens it at once, without a reload.
    const QString typed = QStringLiteral("3512345.678901");
    QVERIFY(textWidth(view, typed) > fitted);
    model.type(1, 1, typed);
    QVERIFY(view->columnWidth(1) > textWidth(view, typed));
    // A shorter text typed later keeps the width.
    const int widened = view->columnWidth(1);
    model.type(1, 1, QStringLiteral("1"));
    QCOMPARE(view->columnWidth(1), widened);

    // Inserted (or pasted) rows widen the columns they reach.
    const QStringList inserted { QStringLiteral("K9999+999.999A"), QStringLiteral("1"),
                                 QStringLiteral("Spiral-Arc-Spiral-Arc") };
    model.insert(0, inserted);
    QVERIFY(view->columnWidth(0) > textWidth(view, inserted[0]));
    QVERIFY(view->columnWidth(2) > textWidth(view, inserted[2]));
    QCOMPARE(view->columnWidth(1), widened);

    // Edited while hidden: fitted when shown again.
    shown.table.hide();
    const QString hiddenText = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    model.type(2, 1, hiddenText);
    shown.table.show();
    QVERIFY(view->columnWidth(1) > textWidth(view, hiddenText));
}

void TestTableColumns::checkBoxTakesRoom()
{
    ShownTable shown;
    shown.model.checkBoxes = true;
    QVERIFY(shown.show());
    TextModel& model = shown.model;
    QTableView* view = shown.view;
    model.next = { { QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("23:57:44.96") } };
    model.reload();

    // The text must fit beside the box where the style lays it out: elided it would lose its seconds.
    QVERIFY(shownWhole(view, model.index(0, 2)));
    QCOMPARE(view->columnWidth(1), view->horizontalHeader()->sectionSizeHint(1));
}

TRELVIN_TEST_MAIN(TestTableColumns)
#include "test_tablecolumns.moc"
