#include "framework/blocktablemodel.h"

#include "document/trelvin.h"

#include <road/roadsurface.h>

#include <algorithm>

namespace Zemko {
namespace Trelvin {

QList<QStringList> displayBlock(const QAbstractItemModel& model, int top, int left, int rowCount,
                                int columnCount)
{
    QList<QStringList> block;
    if (top < 0 || left < 0 || rowCount < 1 || columnCount < 1 || top + rowCount > model.rowCount()
        || left + columnCount > model.columnCount())
        return block;
    for (int row = top; row < top + rowCount; ++row) {
        QStringList cells;
        for (int column = left; column < left + columnCount; ++column)
            cells.append(model.index(row, column).data(Qt::DisplayRole).toString());
        block.append(cells);
    }
    return block;
}

void BlockTableModel::removeElements(int row, int count)
{
    if (row < 0 || row >= rows())
        return;
    count = std::min(count, rows() - row);
    if (count < 1)
        return;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    for (int i = 0; i < count; ++i)
        removeRowAt(row);
    endRemoveRows();
}

QList<QStringList> BlockTableModel::copyCells(int top, int left, int rowCount, int columnCount) const
{
    return displayBlock(*this, top, left, rowCount, columnCount);
}

void BlockTableModel::pasteCells(int row, int column, const QList<QStringList>& lines)
{
    if (row < 0 || !pastesAt(column) || lines.isEmpty())
        return;
    beginTypedEdit();
    row = std::min(row, rows());
    const int count = lines.size();
    if (row + count > rows())
        appendElements(row + count - rows());
    for (int k = 0; k < count; ++k)
        pasteLine(row + k, column, lines.at(k));
    notifyRowsChanged(row, count);
}

bool BlockTableModel::prepareWrite(QString& reason)
{
    if (commitTypedRows())
        return true;
    reason = typedRowsRefusal();
    return false;
}

QString BlockTableModel::typedRowsRefusal() const
{
    return tr("A typed row is not valid; Apply on the page shows which.");
}

bool BlockTableModel::saveToRoad()
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road || !commitTypedRows())
        return false;
    writeIntoRoad(*road);
    if (Trelvin::instance()->writeRoad())
        return true;
    // Still to be written to the file: keep the mark even when the announcement reloaded the table.
    setUnwrittenEdits(true);
    return false;
}

} // namespace Trelvin
} // namespace Zemko
