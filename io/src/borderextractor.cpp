#include "borderwalk.h"
#include "boundarychain.h"
#include "cancellooks.h"
#include "cornersonedges.h"
#include "facemesh.h"
#include "meshcorners.h"
#include "ringcheck.h"
#include "storedtriangles.h"

#include <io/borderextractor.h>
#include <io/iprogress.h>

#include <corvex/coveredground.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

using Pelko::Corvex::Delaunay;
using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Polygon;
using Pelko::Corvex::Triangle3D;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

namespace {

// Each step of a stored walk is a database query: the flag is cheap beside it. In memory a step costs
// microseconds.
constexpr unsigned storedCheckEvery = 1;
constexpr unsigned memoryCheckEvery = 4096;

// A drawing's faces made ready for the walk and its check: joined at their corners, repeats left out,
// their outlines cut where ends of the boundary lie on it, filed round their corners, their boundary and
// their parts.
struct Faces
{
    FaceMesh mesh;
    Outlines outlines;
    std::unique_ptr<MeshCorners> corners;
    std::vector<ChainPiece> chain;
    FaceParts parts;

    const Outlines* cut() const { return outlines.corners.empty() ? nullptr : &outlines; }
};

const std::vector<double> noHeights;

// False when cancelled.
bool prepare(const std::vector<Triangle3D>& triangles, Faces& faces, IProgress* progress, CancelLooks& cancel)
{
    FaceMesh& mesh = faces.mesh;
    auto fileCorners = [&] {
        faces.corners = std::make_unique<MeshCorners>(
            mesh.points, noHeights, mesh.triangles, mesh.triangles.size(), &mesh.turn, faces.cut(), progress);
        return !faces.corners->cancelled()
            && boundaryChain(mesh, faces.cut(), *faces.corners, faces.chain, cancel);
    };
    if (!joinFaces(triangles, mesh, cancel) || !fileCorners()
        || !cutAtCornersOnEdges(mesh, *faces.corners, faces.chain, faces.outlines, cancel))
        return false;
    if (faces.cut() && !fileCorners())
        return false;
    return findParts(mesh, faces.cut(), faces.parts, cancel);
}

// The ring's corners in order, without those where it goes straight on.
std::vector<Point> corners(const std::vector<Point>& ring)
{
    std::vector<Point> kept;
    const size_t n = ring.size();
    for (size_t i = 0; i < n; ++i) {
        const Point &before = ring[(i + n - 1) % n], &at = ring[i], &after = ring[(i + 1) % n];
        if (turning(before, at, after) != 0 || sameWay(at, before, after))
            kept.push_back(at);
    }
    return kept;
}

// Whether two rings are one: the same corners in the same order, from any start, either way round.
bool sameRing(const std::vector<Point>& a, const std::vector<Point>& b)
{
    const std::vector<Point> p = corners(a), q = corners(b);
    const size_t n = p.size();
    if (n != q.size() || n == 0)
        return false;
    for (size_t start = 0; start < n; ++start) {
        if (!planeEqual(p[start], q[0]))
            continue;
        for (bool forward : { true, false }) {
            size_t i = 0;
            while (i < n && planeEqual(p[forward ? (start + i) % n : (start + n - i) % n], q[i]))
                ++i;
            if (i == n)
                return true;
        }
    }
    return false;
}

std::vector<Point> pointsOf(const std::vector<unsigned>& ring, const std::vector<Point>& points)
{
    std::vector<Point> out;
    out.reserve(ring.size());
    for (unsigned v : ring)
        out.push_back(points[v]);
    return out;
}

Polygon polygonOf(const std::vector<Point>& points)
{
    Polygon polygon;
    for (const Point& p : points)
        polygon.appendPoint(p);
    return polygon;
}

struct Border
{
    Polygon ring;
    BorderCoverage coverage;
};

// The walk's ring was sound: the share enclosed is the parts' inside it.
BorderCoverage checkedCoverage(const FaceParts& parts, const RingCheck& check)
{
    BorderCoverage coverage;
    coverage.parts = static_cast<int>(parts.count());
    coverage.enclosedShare = 1;
    if (parts.count() > 1) {
        double inside = 0, all = 0;
        for (size_t p = 0; p < parts.count(); ++p) {
            all += parts.area[p];
            if (check.partInside[p])
                inside += parts.area[p];
        }
        coverage.enclosedShare = all > 0 ? std::min(1.0, inside / all) : 0;
    }
    return coverage;
}

// The outer border of the ground the faces cover, from their boundary, worked out exactly: where the
// walked ring is that border, it stays (where it starts and which way it runs).
Border groundBorder(const Faces& faces, const std::vector<Point>& walked, IProgress* progress)
{
    std::vector<Corvex::BoundaryPiece> pieces;
    pieces.reserve(faces.chain.size());
    for (const ChainPiece& piece : faces.chain)
        pieces.push_back({ piece.from, piece.to, piece.count });
    const Corvex::CoveredGround ground
        = Corvex::coveredGround(faces.mesh.points, pieces, [progress] { return isCancelled(progress); });
    Border border;
    border.coverage.parts = static_cast<int>(faces.parts.count());
    switch (ground.outcome) {
    case Corvex::CoveredGround::Outcome::Cancelled:
        return Border();
    case Corvex::CoveredGround::Outcome::Failed:
    case Corvex::CoveredGround::Outcome::TooLarge:
    case Corvex::CoveredGround::Outcome::OutOfMemory:
        // Nothing tells whether the walk went right: it is all there is.
        border.ring = polygonOf(walked);
        border.coverage.enclosesPart = false;
        border.coverage.enclosedShare = -1;
        return border;
    case Corvex::CoveredGround::Outcome::Done:
        break;
    }
    border.ring = polygonOf(sameRing(walked, ground.ring) ? walked : ground.ring);
    border.coverage.parts = ground.parts;
    border.coverage.overlapping = ground.overlapping;
    border.coverage.enclosesPart = ground.ringEnclosesPart;
    border.coverage.enclosedShare = ground.area > 0 ? std::min(1.0, ground.enclosedArea / ground.area) : 0;
    return border;
}

// The drawing's border: walked round its largest part, checked, and where the check fails worked out from
// the ground the faces cover. Empty when cancelled.
Border drawingBorder(const std::vector<Triangle3D>& triangles, IProgress* progress)
{
    CancelLooks cancel(progress, memoryCheckEvery);
    Faces faces;
    if (!prepare(triangles, faces, progress, cancel) || faces.parts.count() == 0)
        return Border();
    const unsigned part = faces.parts.largest();
    std::vector<char> chosen(faces.mesh.triangles.size());
    for (size_t t = 0; t < chosen.size(); ++t)
        chosen[t] = faces.parts.of[t] == part;
    faces.corners->choose(&chosen);
    Walk<MeshCorners> walk(*faces.corners, progress, memoryCheckEvery);
    const std::pair<std::vector<unsigned>, bool> ring = walk.ring(faces.chain.size() + 1);
    if (walk.cancelled())
        return Border();
    RingCheck check;
    if (ring.second
        && !checkRing(faces.mesh.points, faces.chain, &faces.parts.of, faces.parts.count(), part, ring.first,
                      check, cancel))
        return Border();
    if (check.sound)
        return { walk.polygonOf(ring.first), checkedCoverage(faces.parts, check) };
    return groundBorder(faces, pointsOf(ring.first, faces.mesh.points), progress);
}

} // namespace

std::pair<Point, bool> BorderExtractor::findBorderPoint(Connection* connection)
{
    StoredTriangles source(connection);
    Walk<StoredTriangles> walk(source, nullptr, storedCheckEvery);
    const std::pair<Point3D, bool> start = walk.borderPoint();
    return { start.second ? plane(start.first) : Point(0, 0), start.second };
}

std::pair<Point, bool> BorderExtractor::findBorderEdge(Connection* connection, const Point& previous,
                                                       const Point& current)
{
    StoredTriangles source(connection);
    Walk<StoredTriangles> walk(source, nullptr, storedCheckEvery);
    const std::pair<Point3D, bool> next = walk.borderEdge(Point3D(previous.getX(), previous.getY(), 0),
                                                          Point3D(current.getX(), current.getY(), 0));
    return { next.second ? plane(next.first) : Point(0, 0), next.second };
}

Polygon BorderExtractor::extract(Connection* connection)
{
    return extract(connection, nullptr);
}

Polygon BorderExtractor::extract(Connection* connection, IProgress* progress)
{
    StoredTriangles source(connection, progress);
    Walk<StoredTriangles> walk(source, progress, storedCheckEvery);
    const std::pair<std::vector<Point3D>, bool> ring = walk.ring(Walk<StoredTriangles>::mostSteps);
    if (walk.cancelled())
        return Polygon();
    if (ring.second)
        return walk.polygonOf(ring.first);
    // Triangles that overlap have no ring of border edges: the plain walk stops where it comes back.
    return Walk<StoredTriangles>(source, progress, storedCheckEvery).border();
}

Polygon BorderExtractor::extract(const Delaunay& delaunay, IProgress* progress)
{
    const Delaunay::DelaunayTriangulation& triangulation = *delaunay.getDelaunayTriangulation();
    MeshCorners source(triangulation.points, triangulation.heights, triangulation.triangles,
                       triangulation.triangleCount, nullptr, nullptr, progress);
    if (source.cancelled())
        return Polygon();
    std::vector<ChainPiece> chain;
    CancelLooks cancel(progress, memoryCheckEvery);
    if (!boundaryChain(triangulation, chain))
        return drawingBorder(delaunay.getAllTriangles(), progress).ring;
    Walk<MeshCorners> walk(source, progress, memoryCheckEvery);
    const std::pair<std::vector<unsigned>, bool> ring = walk.ring(chain.size() + 1);
    if (walk.cancelled())
        return Polygon();
    RingCheck check;
    if (ring.second && !checkRing(triangulation.points, chain, nullptr, 1, 0, ring.first, check, cancel))
        return Polygon();
    if (check.sound)
        return walk.polygonOf(ring.first);
    // A triangulation in parts, or with holes where constraints cut it.
    return drawingBorder(delaunay.getAllTriangles(), progress).ring;
}

Polygon BorderExtractor::extract(const std::vector<Triangle3D>& triangles, Connection* connection,
                                 IProgress* progress, BorderCoverage* coverage)
{
    if (triangles.size() > mostJoinedTriangles) {
        if (coverage) {
            *coverage = BorderCoverage();
            coverage->enclosesPart = false;
            coverage->enclosedShare = -1;
        }
        return extract(connection, progress);
    }
    Border border = drawingBorder(triangles, progress);
    if (coverage)
        *coverage = border.coverage;
    return border.ring;
}

} // namespace IO
} // namespace Pelko
