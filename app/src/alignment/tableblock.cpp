#include "alignment/tableblock.h"

#include <QAbstractItemModel>

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

} // namespace Trelvin
} // namespace Zemko
