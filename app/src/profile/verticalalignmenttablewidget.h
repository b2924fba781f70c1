#pragma once

#include <QModelIndex>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;
class QTableView;

namespace Ui {
class TableViewWidget;
}

namespace Zemko {
namespace Trelvin {
class VerticalAlignmentTableModel;
}
} // namespace Zemko

// The vertical PI table with its buttons, context menu, keyboard copy and paste, and the Apply that
// checks the typed rows and writes them into the road.
class VerticalAlignmentTableWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VerticalAlignmentTableWidget(QWidget* parent = nullptr);
    ~VerticalAlignmentTableWidget() override;

    Zemko::Trelvin::VerticalAlignmentTableModel* model() const { return m_model; }
    QTableView* tableView() const;
    QMenu* contextMenu() const { return m_menu; }
    // Enables the menu's actions for the current selection.
    void updateContextMenu();

signals:
    void currentChange();

public slots:
    void on_appendButton_clicked();
    void on_insertButton_clicked();
    void on_editButton_clicked();
    void onEdit(const QModelIndex& index);
    void on_deleteButton_clicked();
    void on_applyButton_clicked();
    void onCopyToClipboard();
    void onPasteFromClipboard();
    void displayContextMenu(const QPoint& position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The view copies its current cell on Control+C itself; the block copy must come first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleShortcut(const QKeyEvent* event);
    void selection(int& top, int& left, int& rowCount, int& columnCount) const;
    void editRow(int row);
    void warn(const QString& text);
    void selectCells(int row, int firstColumn, int lastColumn);

    std::unique_ptr<Ui::TableViewWidget> ui;
    Zemko::Trelvin::VerticalAlignmentTableModel* m_model;
    QMenu* m_menu;
    QAction* m_appendAction;
    QAction* m_deleteAction;
    QAction* m_insertAction;
    QAction* m_copyAction;
    QAction* m_pasteAction;
};
