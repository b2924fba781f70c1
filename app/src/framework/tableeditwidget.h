#pragma once

#include <plugin/datatype.h>

#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace Ui {
class TableViewWidget;
}

namespace Zemko {
namespace Trelvin {
class BlockTableModel;
}
} // namespace Zemko

// What the PI, element and structure tables share: the table form, the context menu, block copy and
// paste through the clipboard with Control+C and Control+V, and the selected block.
class TableEditWidget : public QWidget
{
    Q_OBJECT

public:
    ~TableEditWidget() override;

    Ui::TableViewWidget* form() const { return ui.get(); }
    QMenu* contextMenu() const { return m_menu; }
    // Enables the menu's actions for the current selection.
    void prepareContextMenu();

public slots:
    void on_appendButton_clicked();
    // One row at the top of the selection.
    void on_insertButton_clicked();
    void on_deleteButton_clicked();
    void onCopyToClipboard();
    void onPasteFromClipboard();

protected:
    // Paste starts from a column firstPaste..lastPaste; the cells up to blankLimit must not all be blank.
    TableEditWidget(QWidget* parent, int firstPaste, int lastPaste, int blankLimit);

    // Whether a paste may start in the column; by default firstPaste..lastPaste.
    virtual bool pastesAt(int column) const;

    // Sets up the form on the derived widget (so its slots connect by name), the view and the menu;
    // the rows are edited, copied and pasted through the model.
    void setUpTable(Zemko::Trelvin::BlockTableModel* model);

    void showContextMenu();
    // Selects the cells of one row from first to last column and scrolls to the first.
    void selectCells(int row, int first, int last);

    // The Apply of typed rows: asks before an empty table empties the road's list, reports (with its
    // line) the first row that does not check and selects its cell, or the first the road refuses
    // and selects its columns up to refusedLast; then writes the rows and saves the road. False when
    // the road was left as it was. The texts are translated, with %1 for the line.
    struct TypedApply
    {
        QString emptyQuestion;
        QString invalidRow;
        QString refusedRow;
        int refusedLast = 0;
        // Fills the row and column of the first cell that does not check.
        std::function<bool(int&, int&)> check;
        // The first refused row, or -1.
        std::function<int()> build;
        // Asked once the rows are built, before anything is written: false keeps the rows as typed.
        std::function<bool()> confirm;
    };
    bool applyTypedRows(const TypedApply& apply);
    // For tables whose write replaces what another table edits: while that table holds edits of its
    // own, which the write would drop, asks first. True when the write may go on.
    bool confirmDroppingEditsOf(DataType::Categories other, const QString& otherTable);
    // Writes the rows into the road and saves it; a failed save is reported, the road keeps the rows.
    void writeRows();

    void keyPressEvent(QKeyEvent* event) override;
    // The view takes Control+C itself; the table's block copy must come first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleShortcut(QKeyEvent* event);
    void selection(int& top, int& left, int& rowCount, int& columnCount) const;

    std::unique_ptr<Ui::TableViewWidget> ui;
    Zemko::Trelvin::BlockTableModel* m_table = nullptr;
    int m_firstPaste;
    int m_lastPaste;
    int m_blankLimit;
    QMenu* m_menu = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_insertAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_pasteAction = nullptr;
};
