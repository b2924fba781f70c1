#pragma once

#include "framework/tablemodel.h"

#include <QList>
#include <QStringList>

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// The display texts of a block of cells, row by row; empty when the block is empty or leaves the
// model's rows or columns.
QList<QStringList> displayBlock(const QAbstractItemModel& model, int top, int left, int rowCount,
                                int columnCount);

// Base of the tables edited in blocks through the shared table widget: rows appended, inserted and
// removed at the selection, blocks of cells copied to the clipboard and pasted from it as text. The
// rows are a working copy of a list of the road, which a write puts into the road and saves.
class BlockTableModel : public TableModel
{
    Q_OBJECT

public:
    using TableModel::TableModel;

    virtual void appendElements(int count) = 0;
    virtual void insertElements(int row, int count) = 0;
    // The rows row .. row + count - 1, as far as they exist.
    void removeElements(int row, int count);

    // Display texts of the block; empty when it leaves the table.
    virtual QList<QStringList> copyCells(int top, int left, int rowCount, int columnCount) const;
    // Lines of texts from the cell (row, column) on, rows appended where the lines run past the last;
    // nothing where a paste may not start.
    void pasteCells(int row, int column, const QList<QStringList>& lines);

protected:
    // Writes the rows into the open road and saves it; a failed save keeps the edits marked.
    bool saveToRoad() override;
    // Typed rows are checked and built into the working copy here.
    bool prepareWrite(QString& reason) override;

    virtual void removeRowAt(int row) = 0;
    virtual bool pastesAt(int column) const = 0;
    // One line of texts into the row from the column on.
    virtual void pasteLine(int row, int column, const QStringList& cells) = 0;
    // Before a paste changes the rows (tables of typed rows take their texts then).
    virtual void beginTypedEdit() { }
    // Before a write: false keeps the rows from being written.
    virtual bool commitTypedRows() { return true; }
    // Why commitTypedRows() just failed; tables that know the row at fault say so.
    virtual QString typedRowsRefusal() const;
    // Puts the working copy into the road (a copy of its own) and announces what changed.
    virtual void writeIntoRoad(Pelko::Road::RoadSurface& road) = 0;
};

} // namespace Trelvin
} // namespace Zemko
