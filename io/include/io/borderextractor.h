#pragma once

#include <io/io_global.h>

#include <corvex/delaunay.h>
#include <corvex/point.h>
#include <corvex/polygon.h>
#include <corvex/triangle.h>

#include <utility>
#include <vector>

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

class IProgress;

// Walks the outer border of the triangles stored on the connection, through the R*Tree queries only.
class IO_EXPORT BorderExtractor
{
public:
    static Pelko::Corvex::Polygon extract(Zemko::Utility::Connection* connection);
    // The same; a cancel through progress stops the walk and gives an empty polygon. progress may be null.
    static Pelko::Corvex::Polygon extract(Zemko::Utility::Connection* connection, IProgress* progress);
    // The border the database written from the triangulation gives (triangle i stored with id i), walked
    // over the triangulation's corners in memory, a border edge being an edge of one triangle only: each
    // step costs the triangles around one point, where the stored boxes of long thin triangles (a fan
    // around one point) may overlap a query point by the thousand. progress as above.
    static Pelko::Corvex::Polygon extract(const Pelko::Corvex::Delaunay& delaunay, IProgress* progress);
    // The outer border of the triangles, walked in memory: the triangles joined by their exactly equal
    // corners, a border edge an edge of one triangle only. An edge of one triangle that corners of others
    // lie on (exactly, strictly between its ends) is cut at them, and the border passes those corners: a
    // mesh whose triangles meet so gets its outer border, where the stored rows' containment counts the
    // triangle along the whole edge. Triangles that overlap have no such border; for them it is the one the
    // database on the connection gives when it holds these triangles (triangle i as row i), walked through
    // its rows as above where the walk in memory may differ from it. progress as above.
    static Pelko::Corvex::Polygon extract(const std::vector<Pelko::Corvex::Triangle3D>& triangles,
                                          Zemko::Utility::Connection* connection, IProgress* progress);
    static std::pair<Pelko::Corvex::Point, bool> findBorderPoint(Zemko::Utility::Connection* connection);
    static std::pair<Pelko::Corvex::Point, bool> findBorderEdge(Zemko::Utility::Connection* connection,
                                                                const Pelko::Corvex::Point& previous,
                                                                const Pelko::Corvex::Point& current);
};

} // namespace IO
} // namespace Pelko
