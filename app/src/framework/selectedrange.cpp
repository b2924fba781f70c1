#include "framework/selectedrange.h"

#include <QItemSelectionModel>

#include <algorithm>

namespace Zemko {
namespace Trelvin {

void selectedRange(const QItemSelectionModel* selection, int& top, int& left, int& rowCount, int& columnCount)
{
    top = -1;
    left = -1;
    rowCount = 0;
    columnCount = 0;
    if (!selection || !selection->hasSelection())
        return;

    const QModelIndexList indexes = selection->selectedIndexes();
    if (indexes.isEmpty())
        return;
    int bottom = indexes.first().row();
    int right = indexes.first().column();
    top = bottom;
    left = right;
    for (const QModelIndex& index : indexes) {
        top = std::min(top, index.row());
        left = std::min(left, index.column());
        bottom = std::max(bottom, index.row());
        right = std::max(right, index.column());
    }
    if (top >= 0 && left >= 0) {
        rowCount = bottom - top + 1;
        columnCount = right - left + 1;
    }
}

} // namespace Trelvin
} // namespace Zemko
