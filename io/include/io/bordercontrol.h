#pragma once

#include <io/io_global.h>

#include <corvex/polygon.h>

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

class IProgress;

// The border table on a caller-owned connection: one row per border vertex in walk order.
class IO_EXPORT BorderControl
{
public:
    static const char* const borderTable;

    static bool createTable(Zemko::Utility::Connection* connection);
    static bool removeRecords(Zemko::Utility::Connection* connection);
    static bool insertPolygon(Zemko::Utility::Connection* connection, const Pelko::Corvex::Polygon& polygon);
    // The same, asking progress (which may be null) between batches of rows whether the work is cancelled:
    // a cancel stops the rows and gives false, the rows written so far left to the caller's rollback.
    static bool insertPolygon(Zemko::Utility::Connection* connection, const Pelko::Corvex::Polygon& polygon,
                              IProgress* progress);
    static Pelko::Corvex::Polygon getPolygon(Zemko::Utility::Connection* connection);
};

} // namespace IO
} // namespace Pelko
