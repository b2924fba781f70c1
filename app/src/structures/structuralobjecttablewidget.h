#pragma once

#include "alignment/tableeditwidget.h"

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
    void on_appendButton_clicked();
    void on_insertButton_clicked();
    void on_editButton_clicked();
    void onEdit(QModelIndex index);
    void on_deleteButton_clicked();
    void on_applyButton_clicked();
    void onCopyToClipboard();
    void onPasteFromClipboard();
    void displayContextMenu(const QPoint& pos);
    void onShowToolTip(QModelIndex index);

protected:
    // Types are chosen, never pasted.
    bool pastesAt(int column) const override;
    void appendRows(int count) override;
    void insertRows(int row, int count) override;
    void removeRows(int row, int count) override;
    QList<QStringList> copyBlock(int top, int left, int rowCount, int columnCount) const override;
    void pasteBlock(int row, int column, const QList<QStringList>& lines) override;

private:
    Zemko::Trelvin::StructuralObjectTableModel* m_model = nullptr;
};
