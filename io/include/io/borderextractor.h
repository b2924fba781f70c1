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

// What the border of a drawing's faces goes round.
struct IO_EXPORT BorderCoverage
{
    // Separate parts of the faces with an area: faces that meet at a corner, along an edge or at a corner
    // on an edge are one part. A face given again (the same three corners) is the same part of ground.
    int parts = 0;
    // The plan area of the faces the border encloses, as a share of the area of all of them (0 to 1).
    double enclosedShare = 0;
};

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
    // corners, a triangle given again (the same three corners in any order) taken once, a border edge an
    // edge of one triangle only. An edge of one triangle that corners of others lie on (exactly, strictly
    // between its ends) is cut at them, and the border passes those corners. Where triangles meet only at
    // a corner the border passes that corner once for each gap between them, keeping the triangles on one
    // side. Of triangles in separate parts, the border goes round the part of the largest plan area; what
    // it goes round goes into coverage when that is not null.
    // Triangles that overlap have no such border: for the part with an overlap at its border it is the
    // one the stored walk above gives over that part's rows (through the connection when it holds these
    // triangles as rows 0 to n - 1 and the part is all of them, else through a database in memory).
    // progress as above.
    static Pelko::Corvex::Polygon extract(const std::vector<Pelko::Corvex::Triangle3D>& triangles,
                                          Zemko::Utility::Connection* connection, IProgress* progress,
                                          BorderCoverage* coverage = nullptr);
    static std::pair<Pelko::Corvex::Point, bool> findBorderPoint(Zemko::Utility::Connection* connection);
    static std::pair<Pelko::Corvex::Point, bool> findBorderEdge(Zemko::Utility::Connection* connection,
                                                                const Pelko::Corvex::Point& previous,
                                                                const Pelko::Corvex::Point& current);
};

} // namespace IO
} // namespace Pelko
