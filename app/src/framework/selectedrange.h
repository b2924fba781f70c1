#pragma once

class QItemSelectionModel;

namespace Zemko {
namespace Trelvin {

// The block spanned by the selection, unselected cells inside it included: top row, left column and
// its size; -1, -1, 0, 0 without a selection.
void selectedRange(const QItemSelectionModel* selection, int& top, int& left, int& rowCount,
                   int& columnCount);

} // namespace Trelvin
} // namespace Zemko
