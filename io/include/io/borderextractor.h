#pragma once

#include <io/io_global.h>

#include <corvex/point.h>
#include <corvex/polygon.h>

#include <utility>

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

// Walks the outer border of the triangles stored on the connection, through the R*Tree queries only.
class IO_EXPORT BorderExtractor
{
public:
    static Pelko::Corvex::Polygon extract(Zemko::Utility::Connection* connection);
    static std::pair<Pelko::Corvex::Point, bool> findBorderPoint(Zemko::Utility::Connection* connection);
    static std::pair<Pelko::Corvex::Point, bool> findBorderEdge(Zemko::Utility::Connection* connection,
                                                                const Pelko::Corvex::Point& previous,
                                                                const Pelko::Corvex::Point& current);
};

} // namespace IO
} // namespace Pelko
