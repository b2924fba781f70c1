#include "framework/textrowtablemodel.h"

namespace Zemko {
namespace Trelvin {

void TextRowTableModel::switchToTextRows()
{
    if (m_textRows)
        return;
    makeTextRows();
    m_textRows = true;
}

void TextRowTableModel::leaveTextRows()
{
    if (!m_textRows)
        return;
    beginResetModel();
    m_textRows = false;
    endResetModel();
}

QVariant TextRowTableModel::displayData(const QModelIndex& index) const
{
    return index.isValid() ? cellValue(index.column(), index.row(), Qt::DisplayRole) : QVariant();
}

QVariant TextRowTableModel::editData(const QModelIndex& index) const
{
    return index.isValid() ? cellValue(index.column(), index.row(), Qt::EditRole) : QVariant();
}

QVariant TextRowTableModel::checkStateData(const QModelIndex& index) const
{
    return index.isValid() ? cellValue(index.column(), index.row(), Qt::CheckStateRole) : QVariant();
}

QVariant TextRowTableModel::toolTipData(const QModelIndex& index) const
{
    return index.isValid() ? cellValue(index.column(), index.row(), Qt::ToolTipRole) : QVariant();
}

QVariant TextRowTableModel::backgroundData(const QModelIndex& index) const
{
    return index.isValid() ? cellValue(index.column(), index.row(), Qt::BackgroundRole) : QVariant();
}

void TextRowTableModel::loadFromRoad()
{
    // A reload shows the road; rows typed for the road before it are not carried over.
    m_textRows = false;
    loadWorkingCopy();
}

void TextRowTableModel::beginTypedEdit()
{
    switchToTextRows();
}

bool TextRowTableModel::commitTypedRows()
{
    if (!m_textRows)
        return true;
    if (!buildFromTextRows())
        return false;
    leaveTextRows();
    return true;
}

} // namespace Trelvin
} // namespace Zemko
