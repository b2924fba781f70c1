#pragma once

#include "largeallocator.h"

#include <corvex/envelope.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

class IProgress;

// Bulk loading of an empty two-dimensional SQLite R*Tree. Inserting rows one by one makes the module pick a
// leaf and rewrite nodes for every row, which dominates the writing of a large TIN; here the boxes are
// packed sort-tile-recursive into full nodes and written straight into the table's own _node, _parent and
// _rowid tables, in the node format SQLite reads in every version that has rtreecheck(). The tree is checked
// as it is built (every child box inside its parent's, every node filled within its capacity, one leaf
// entry per row, a parent for every node but the root and a node for every row), and on request read back
// by rtreecheck(); on any refusal or failure the table is left exactly as it was and the caller inserts the
// rows the ordinary way.
class RTreePacker
{
public:
    explicit RTreePacker(size_t expectedRows = 0);

    // Keeps a row for writing, its box rounded outwards to the module's 32-bit floats as an insert would.
    void add(std::int64_t id, const Pelko::Corvex::Rect& box);

    // Writes the rows kept into the R*Tree table `table` (a name without quotes) inside the caller's
    // transaction, reporting (i + 1) * 50 / n per row i. False when the tree was not packed: there were no
    // rows, the table holds rows already, its layout or node size is not the packer's, a box is not finite
    // or inverted, two rows share an id, writing or a check failed, or progress said the work is
    // cancelled. Nothing is changed then. With checkWithSqlite, rtreecheck() reads the tree back too.
    bool write(Zemko::Utility::Connection* connection, const std::string& table, IProgress* progress,
               bool checkWithSqlite);

    struct Cell
    {
        std::int64_t id;
        float box[4]; // minX, maxX, minY, maxY
    };

private:
    std::vector<Cell, LargeAllocator<Cell>> m_cells;
    bool m_packable = true;
};

} // namespace IO
} // namespace Pelko
