#pragma once

#include "framework/tableeditwidget.h"

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
    void on_editButton_clicked();
    void onEdit(QModelIndex index);
    void on_applyButton_clicked();
    void onShowToolTip(QModelIndex index);

private:
    void editRow(int row);

    Zemko::Trelvin::PointOfIntersectionTableModel* m_model = nullptr;
};
