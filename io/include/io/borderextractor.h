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
    // Separate parts of the ground the faces cover: faces that meet at a corner, along an edge, at a corner
    // on an edge, or that overlap or cross are one part. A face given again (the same three corners) is the
    // same ground.
    int parts = 0;
    // The plan area of the ground covered inside the border, as a share of all the ground the faces
    // cover (0 to 1), measured against the border itself; negative where it could not be measured.
    double enclosedShare = 0;
    // Some ground is under more than one face (faces overlap or cross): the border then goes round the
    // ground they cover together.
    bool overlapping = false;
    // Whether every face of the part the border goes round was found, exactly, to lie inside it or on it.
    bool enclosesPart = true;
    // The ground the faces cover would have cost far more to work out exactly than the faces themselves
    // (they cross in many places), or its outer border could not be stored soundly: the border is the
    // convex hull of the corners of every face instead, which encloses them all (enclosedShare 1). parts
    // is then the count found through shared corners, which faces that cross each other may overstate.
    bool hull = false;
    // Memory ran out while the border was worked out: there is none.
    bool outOfMemory = false;
    // Corners taken as one with a corner less than a hundredth of a millimetre away, so that faces written
    // each with its own rounding make one surface. The stored triangles keep their own corners.
    size_t joinedCorners = 0;
};

// Walks the outer border of the triangles stored on the connection, through the R*Tree queries only.
class IO_EXPORT BorderExtractor
{
public:
    // Where triangles meet only at a corner, the walk passes that corner once for each gap between them.
    static Pelko::Corvex::Polygon extract(Zemko::Utility::Connection* connection);
    // The same; a cancel through progress stops the walk and gives an empty polygon. progress may be null.
    // Every extract reports its own work through progress, 0 to 100: a caller that reports more than the
    // border maps it into its own share. Memory running out throws std::bad_alloc, but for a list of
    // triangles, whose coverage tells it.
    static Pelko::Corvex::Polygon extract(Zemko::Utility::Connection* connection, IProgress* progress);
    // The border the database written from the triangulation gives (triangle i stored with id i), walked
    // over the triangulation's corners in memory, a border edge being an edge of one triangle only: each
    // step costs the triangles around one point, where the stored boxes of long thin triangles (a fan
    // around one point) may overlap a query point by the thousand. It is checked against the edges without
    // a neighbour, and found as for a list of triangles where it fails. progress as above.
    static Pelko::Corvex::Polygon extract(const Pelko::Corvex::Delaunay& delaunay, IProgress* progress);
    // The outer border of the ground the triangles cover, as one ring, checked exactly before it is
    // given. The triangles are joined by their exactly equal corners, a triangle given again (the same
    // three corners in any order) is taken once, and an edge that corners of others lie on (exactly,
    // strictly between its ends) is cut at them. The ring is walked in memory along the edges of one
    // triangle only: where triangles meet only at a corner it passes that corner once for each gap
    // between them. It is checked against the boundary of all the triangles; where they overlap or cross,
    // or the walk missed some of them, the ring is the outer border of their union instead. Of separate
    // parts, the ring goes round the one of the largest plan area; what it goes round goes into coverage
    // when that is not null. connection is only walked through for more triangles than can be joined in
    // memory. progress as above.
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
