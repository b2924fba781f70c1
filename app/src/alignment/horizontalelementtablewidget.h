#pragma once

#include "framework/tableeditwidget.h"

#include <QModelIndex>

namespace Zemko {
namespace Trelvin {
class HorizontalElementTableModel;
}
} // namespace Zemko

// The element table of the horizontal alignment page: typed rows, block copy and paste, and the Apply
// that checks the rows and writes the element chain into the road.
class HorizontalElementTableWidget : public TableEditWidget
{
    Q_OBJECT

public:
    explicit HorizontalElementTableWidget(QWidget* parent = nullptr);
    ~HorizontalElementTableWidget() override;

    Zemko::Trelvin::HorizontalElementTableModel* model() const { return m_model; }

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
    // Asks before a chain that does not join up is written; true when it may be written.
    bool confirmChain();
    // A document save writes the chain too: the same question, and a No stops the save.
    void onSaveRequested();

    // Edit mode (1) replaces the row's element; new mode (0) inserts (or appends) and goes on with
    // the next row while the dialog closes with Next.
    void runDialog(int mode, int row, bool append);

    Zemko::Trelvin::HorizontalElementTableModel* m_model = nullptr;
};
