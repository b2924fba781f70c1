#pragma once

#include "framework/blocktablemodel.h"
#include "framework/elementcollection.h"

#include <algorithm>

namespace Zemko {
namespace Trelvin {

// Base of the tables the user types rows into as free text (the PI, element and profile tables). They
// show a working copy of a list of the road until the first typed edit; from then on they hold the
// rows as texts, which are checked and built into a new list only on Apply or a document save. A save
// writes typed rows only as a whole; a reload shows the road again and drops them.
class TextRowTableModel : public BlockTableModel
{
    Q_OBJECT

public:
    using BlockTableModel::BlockTableModel;

    bool isTextRowMode() const { return m_textRows; }
    // Either mode; the roles the table shows.
    virtual QVariant cellValue(int column, int row, int role) const = 0;

protected:
    void switchToTextRows();
    // The rows show the working copy again; views hear of it as a reset, as the row count may change.
    void leaveTextRows();

    QVariant displayData(const QModelIndex& index) const override;
    QVariant editData(const QModelIndex& index) const override;
    QVariant checkStateData(const QModelIndex& index) const override;
    QVariant toolTipData(const QModelIndex& index) const override;
    QVariant backgroundData(const QModelIndex& index) const override;
    void loadFromRoad() override;
    void beginTypedEdit() override;
    bool commitTypedRows() override;

    // The text rows, from the working copy.
    virtual void makeTextRows() = 0;
    // Checks the typed rows and builds the working copy from them; false, leaving the working copy as
    // it was, when a row does not check or is refused.
    virtual bool buildFromTextRows() = 0;
    // The working copy from the open road (empty without one); the text rows dropped.
    virtual void loadWorkingCopy() = 0;

private:
    bool m_textRows = false;
};

// A text-row table over one list of the road: the working copy (Working, indexed like the road's
// lists) and the typed rows.
template<typename Working, typename Row> class TextRowListModel : public TextRowTableModel
{
public:
    using TextRowTableModel::TextRowTableModel;

protected:
    int rows() const override { return isTextRowMode() ? m_rows.size() : int(m_working.size()); }

    void removeRowAt(int row) override
    {
        if (isTextRowMode())
            m_rows.removeAt(row);
        else
            m_working.removeAt(unsigned(row));
    }

    // In text-row mode the rows shown are the typed ones, so an item from a dialog goes there;
    // otherwise the announced row would not be the one that changed.
    template<typename Item> void replaceItem(int row, const Item& item)
    {
        if (row < 0 || row >= rows())
            return;
        if (isTextRowMode())
            m_rows.set(row, Row(item));
        else
            m_working.set(unsigned(row), item);
        notifyRowsChanged(row, 1);
    }

    // Before the row; past the last row appends.
    template<typename Item> void insertItem(int row, const Item& item)
    {
        row = std::max(0, std::min(row, rows()));
        if (isTextRowMode())
            m_rows.insert(row, Row(item));
        else
            m_working.insertBefore(unsigned(row), item);
        notifyRowInserted(row);
    }

    Working m_working;
    ElementCollection<Row> m_rows;
};

// Builds a new list row by row apart from the working copy (take appends the row's item to the list,
// false when the row is refused) and replaces the working copy only when every row was taken. Returns
// the refused row, or -1.
template<typename List, typename Take> int buildApart(List& working, int rowCount, Take take)
{
    List fresh;
    for (int row = 0; row < rowCount; ++row)
        if (!take(fresh, row))
            return row;
    working = fresh;
    return -1;
}

} // namespace Trelvin
} // namespace Zemko
