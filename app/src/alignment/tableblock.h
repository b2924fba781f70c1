#pragma once

#include <QList>
#include <QStringList>

class QAbstractItemModel;

namespace Zemko {
namespace Trelvin {

// The display texts of a block of cells, row by row; empty when the block is empty or leaves the
// model's rows or columns.
QList<QStringList> displayBlock(const QAbstractItemModel& model, int top, int left, int rowCount,
                                int columnCount);

} // namespace Trelvin
} // namespace Zemko
