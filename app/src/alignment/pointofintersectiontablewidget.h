#pragma once

#include <QModelIndex>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;

namespace Ui {
class TableViewWidget;
}

namespace Zemko {
namespace Trelvin {
class PointOfIntersectionTableModel;
}
} // namespace Zemko

// The PI table of the horizontal alignment page: typed rows, block copy and paste, and the Apply that
// checks the rows and writes them into the road.
class PointOfIntersectionTableWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PointOfIntersectionTableWidget(QWidget* parent = nullptr);
    ~PointOfIntersectionTableWidget() override;

    Zemko::Trelvin::PointOfIntersectionTableModel* model() const { return m_model; }
    Ui::TableViewWidget* form() const { return ui.get(); }
    QMenu* contextMenu() const { return m_menu; }
    // Enables the menu's actions for the current selection.
    void prepareContextMenu();

    // The hint of a column; empty outside the table.
    static QString columnHint(int column);

signals:
    void currentChange();

public slots:
    void on_appendButton_clicked();
    void on_insertButton_clicked();
    void on_editButton_clicked();
    void onEdit(QModelIndex index);
    void on_deleteButton_clicked();
    void on_applyButton_clicked();
    void onCopyToClipboard();
    void onPasteFromClipboard();
    void onShowContextMenu(QPoint point);
    void onShowToolTip(QModelIndex index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The view takes Control+C itself; the table's block copy must come first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleShortcut(QKeyEvent* event);
    void editRow(int row);
    void selectCell(int row, int column);

    std::unique_ptr<Ui::TableViewWidget> ui;
    Zemko::Trelvin::PointOfIntersectionTableModel* m_model = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_appendAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_insertAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_pasteAction = nullptr;
};
