#pragma once

#include "alignment/tableeditwidget.h"

#include <QModelIndex>

namespace Zemko {
namespace Trelvin {
class PointOfIntersectionTableModel;
}
} // namespace Zemko

// The PI table of the horizontal alignment page: typed rows, block copy and paste, and the Apply that
// checks the rows and writes them into the road.
class PointOfIntersectionTableWidget : public TableEditWidget
{
    Q_OBJECT

public:
    explicit PointOfIntersectionTableWidget(QWidget* parent = nullptr);
    ~PointOfIntersectionTableWidget() override;

    Zemko::Trelvin::PointOfIntersectionTableModel* model() const { return m_model; }

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
    void appendRows(int count) override;
    void insertRows(int row, int count) override;
    void removeRows(int row, int count) override;
    QList<QStringList> copyBlock(int top, int left, int rowCount, int columnCount) const override;
    void pasteBlock(int row, int column, const QList<QStringList>& lines) override;

private:
    void editRow(int row);

    Zemko::Trelvin::PointOfIntersectionTableModel* m_model = nullptr;
};
