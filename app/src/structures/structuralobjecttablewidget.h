#pragma once

#include "framework/tableeditwidget.h"

#include <QModelIndex>

namespace Zemko {
namespace Trelvin {
class StructuralObjectTableModel;
}
} // namespace Zemko

// The structure table: cell editors, block copy and paste, and Apply.
class StructuralObjectTableWidget : public TableEditWidget
{
    Q_OBJECT

public:
    explicit StructuralObjectTableWidget(QWidget* parent = nullptr);
    ~StructuralObjectTableWidget() override;

    Zemko::Trelvin::StructuralObjectTableModel* model() const { return m_model; }

    // The hint of a column; empty outside the table.
    static QString columnHint(int column);

signals:
    void currentChange();

public slots:
    void on_editButton_clicked();
    void onEdit(QModelIndex index);
    void on_applyButton_clicked();
    void onShowToolTip(QModelIndex index);

protected:
    // Types are chosen, never pasted.
    bool pastesAt(int column) const override;

private:
    Zemko::Trelvin::StructuralObjectTableModel* m_model = nullptr;
};
