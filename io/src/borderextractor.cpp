#include "arrangementsize.h"
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
#include <new>
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

// Corners of different faces closer than this are one corner of the border: far less than any survey
// measures, and far more than the rounding of coordinates written each face on its own.
constexpr double nearCorners = 1e-5;

// The most vertices the arrangement of a drawing's boundary may hold: every end of its faces' edges and
// about as many crossings as faces, the work of a mesh of the same faces a few times over; and never more
// than half a million (about 800 MB and a few seconds), whatever the drawing.
size_t mostArrangementVertices(size_t faces)
{
    return std::min<size_t>(4 * faces + 4096, size_t(1) << 19);
}

// Reports the border's own progress by phase, 0 to 100 and never back; 100 only once the border is there.
// A part of the work may be told within a range of the whole.
class Phases
{
public:
    explicit Phases(IProgress* progress)
        : m_progress(progress)
    {
    }
    void within(int from, int to)
    {
        m_from = from;
        m_to = to;
    }
    int last() const { return m_last; }
    void at(int percent)
    {
        const int whole = std::min(99, m_from + percent * (m_to - m_from) / 100);
        if (m_progress && whole > m_last)
            m_progress->report(m_last = whole);
    }
    void done()
    {
        if (m_progress && m_last < 100)
            m_progress->report(m_last = 100);
    }

private:
    IProgress* m_progress;
    int m_from = 0, m_to = 100;
    int m_last = -1;
};

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
    // Whether corners less than nearCorners apart were looked for, and how many were joined.
    bool nearJoined = false;
    size_t joined = 0;
    // Cutting the outlines would have cost far more than the faces (long pieces across many corners): not
    // cut, the parts found through shared corners only.
    bool tooCostly = false;

    const Outlines* cut() const { return outlines.corners.empty() ? nullptr : &outlines; }
};

const std::vector<double> noHeights;

// The joined faces filed, their boundary cut and their parts found; false when cancelled.
bool fileFaces(Faces& faces, IProgress* progress, CancelLooks& cancel)
{
    FaceMesh& mesh = faces.mesh;
    faces.outlines = Outlines();
    faces.corners.reset();
    faces.chain.clear();
    faces.parts = FaceParts();
    auto fileCorners = [&] {
        faces.corners.reset();
        faces.corners = std::make_unique<MeshCorners>(
            mesh.points, noHeights, mesh.triangles, mesh.triangles.size(), &mesh.turn, faces.cut(), progress);
        return !faces.corners->cancelled()
            && boundaryChain(mesh, faces.cut(), *faces.corners, faces.chain, cancel);
    };
    faces.tooCostly = false;
    if (!fileCorners())
        return false;
    if (!cutAtCornersOnEdges(mesh, *faces.corners, faces.chain, faces.outlines, cancel, &faces.tooCostly))
        return faces.tooCostly && findParts(mesh, nullptr, faces.parts, cancel);
    if (faces.cut() && !fileCorners())
        return false;
    return findParts(mesh, faces.cut(), faces.parts, cancel);
}

// False when cancelled.
bool joinNear(Faces& faces, CancelLooks& cancel)
{
    faces.nearJoined = true;
    return joinNearCorners(faces.mesh, nearCorners, faces.joined, cancel);
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

// Empty when cancelled.
Polygon polygonOf(const std::vector<Point>& points, CancelLooks& cancel)
{
    Polygon polygon;
    for (const Point& p : points) {
        if (cancel())
            return Polygon();
        polygon.appendPoint(p);
    }
    return polygon;
}

struct Border
{
    Polygon ring;
    BorderCoverage coverage;
    bool cancelled = false;
};

Border cancelledBorder()
{
    Border border;
    border.cancelled = true;
    return border;
}

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

// The convex hull of the corners of every face as drawn (not joined), those that cover nothing included:
// it encloses them all.
Border hullBorder(const std::vector<Triangle3D>& triangles, const Faces& faces, CancelLooks& cancel)
{
    Border border;
    const std::vector<Point> hull = convexHull(triangles, cancel);
    if (cancel.cancelled())
        return cancelledBorder();
    border.ring = polygonOf(hull, cancel);
    if (cancel.cancelled())
        return cancelledBorder();
    border.coverage.parts = static_cast<int>(faces.parts.count());
    border.coverage.hull = true;
    border.coverage.enclosedShare = 1;
    return border;
}

// The outer border of the ground the faces cover, from their boundary, worked out exactly where that costs
// no more than about the faces themselves: where the walked ring is that border, it stays (where it starts
// and which way it runs). Otherwise, or where the ring found could not be stored soundly, the hull.
Border groundBorder(const std::vector<Triangle3D>& triangles, const Faces& faces,
                    const std::vector<Point>& walked, Phases& phases, IProgress* progress,
                    CancelLooks& cancel)
{
    const size_t most = mostArrangementVertices(triangles.size());
    switch (arrangementSize(faces.mesh.points, faces.chain, most, cancel)) {
    case ArrangementSize::Cancelled:
        return cancelledBorder();
    case ArrangementSize::Over:
        phases.at(90);
        return hullBorder(triangles, faces, cancel);
    case ArrangementSize::Within:
        break;
    }
    phases.at(70);
    std::vector<Corvex::BoundaryPiece> pieces;
    pieces.reserve(faces.chain.size());
    for (const ChainPiece& piece : faces.chain)
        pieces.push_back({ piece.from, piece.to, piece.count });
    const Corvex::CoveredGround ground = Corvex::coveredGround(
        faces.mesh.points, pieces, [progress] { return isCancelled(progress); }, most);
    phases.at(90);
    Border border;
    border.coverage.parts = static_cast<int>(faces.parts.count());
    switch (ground.outcome) {
    case Corvex::CoveredGround::Outcome::Cancelled:
        return cancelledBorder();
    case Corvex::CoveredGround::Outcome::OutOfMemory:
        throw std::bad_alloc();
    case Corvex::CoveredGround::Outcome::TooLarge:
        return hullBorder(triangles, faces, cancel);
    case Corvex::CoveredGround::Outcome::Failed:
        // Nothing tells whether the walk went right: it is all there is.
        border.ring = polygonOf(walked, cancel);
        border.coverage.enclosesPart = false;
        border.coverage.enclosedShare = -1;
        return cancel.cancelled() ? cancelledBorder() : border;
    case Corvex::CoveredGround::Outcome::Done:
        break;
    }
    if (!ground.ringEnclosesPart) {
        Border hull = hullBorder(triangles, faces, cancel);
        hull.coverage.overlapping = ground.overlapping;
        return hull;
    }
    border.ring = polygonOf(sameRing(walked, ground.ring) ? walked : ground.ring, cancel);
    if (cancel.cancelled())
        return cancelledBorder();
    border.coverage.parts = ground.parts;
    border.coverage.overlapping = ground.overlapping;
    border.coverage.enclosesPart = ground.ringEnclosesPart;
    border.coverage.enclosedShare = ground.area > 0 ? std::min(1.0, ground.enclosedArea / ground.area) : 0;
    return border;
}

// The ring walked round the largest part and its check.
struct Walked
{
    unsigned part = 0;
    std::vector<unsigned> ring;
    RingCheck check;
};

// False when cancelled.
bool walkLargestPart(Faces& faces, IProgress* progress, CancelLooks& cancel, Walked& walked)
{
    walked.part = faces.parts.largest();
    std::vector<char> chosen(faces.mesh.triangles.size());
    for (size_t t = 0; t < chosen.size(); ++t)
        chosen[t] = faces.parts.of[t] == walked.part;
    faces.corners->choose(&chosen);
    Walk<MeshCorners> walk(*faces.corners, progress, memoryCheckEvery);
    std::pair<std::vector<unsigned>, bool> ring = walk.ring(faces.chain.size() + 1);
    faces.corners->choose(nullptr);
    if (walk.cancelled())
        return false;
    walked.ring = std::move(ring.first);
    walked.check = RingCheck();
    return !ring.second
        || checkRing(faces.mesh.points, faces.chain, &faces.parts.of, faces.parts.count(), walked.part,
                     walked.ring, walked.check, cancel);
}

// The drawing's border: walked round its largest part, checked, and where the check fails worked out from
// the ground the faces cover. Corners of different faces less than nearCorners apart are joined where the
// faces are apart or the check fails with the corners as they are. Empty when cancelled.
Border drawingBorder(const std::vector<Triangle3D>& triangles, Phases& phases, IProgress* progress)
{
    CancelLooks cancel(progress, memoryCheckEvery);
    Faces faces;
    phases.at(0);
    // Faces written each on its own with their own rounding: joined within nearCorners as they are read,
    // where joining them exactly first would number every corner of every face.
    if (nearRatherThanShared(triangles, nearCorners)) {
        switch (joinFacesNear(triangles, faces.mesh, nearCorners, faces.joined, cancel)) {
        case JoinedNear::Cancelled:
            return cancelledBorder();
        case JoinedNear::Done:
            faces.nearJoined = true;
            break;
        case JoinedNear::Crowded:
            faces.joined = 0;
            break;
        }
    }
    if (!faces.nearJoined && !joinFaces(triangles, faces.mesh, cancel))
        return cancelledBorder();
    // The hull of every face, where working out more would cost far more than the faces.
    auto hull = [&] {
        phases.at(90);
        Border border = hullBorder(triangles, faces, cancel);
        border.coverage.joinedCorners = faces.joined;
        return border;
    };
    // Corners less than nearCorners apart joined and, where any were, the faces filed again; false when
    // cancelled.
    auto joinNearAndFile = [&] {
        return joinNear(faces, cancel) && (faces.joined == 0 || fileFaces(faces, progress, cancel));
    };
    phases.at(10);
    if (!fileFaces(faces, progress, cancel))
        return cancelledBorder();
    // Faces apart cost as many pieces as edges: joined where their corners are near, they may cost few.
    if (faces.tooCostly && !faces.nearJoined && !joinNearAndFile())
        return cancelledBorder();
    if (faces.tooCostly)
        return hull();
    phases.at(25);
    // Faces apart, as faces written each on its own are: joined where their corners are near.
    if (faces.parts.count() > 1 && !faces.nearJoined) {
        if (!joinNearAndFile())
            return cancelledBorder();
        if (faces.tooCostly)
            return hull();
    }
    if (faces.parts.count() == 0)
        return Border();
    phases.at(35);
    Walked walked;
    if (!walkLargestPart(faces, progress, cancel, walked))
        return cancelledBorder();
    phases.at(55);
    if (!walked.check.sound && !faces.nearJoined) {
        if (!joinNear(faces, cancel))
            return cancelledBorder();
        if (faces.joined > 0) {
            if (!fileFaces(faces, progress, cancel))
                return cancelledBorder();
            if (faces.tooCostly)
                return hull();
            if (faces.parts.count() == 0)
                return Border();
            if (!walkLargestPart(faces, progress, cancel, walked))
                return cancelledBorder();
        }
    }
    phases.at(65);
    Border border;
    if (walked.check.sound) {
        Walk<MeshCorners> walk(*faces.corners, progress, memoryCheckEvery);
        border.ring = walk.polygonOf(walked.ring);
        if (walk.cancelled())
            return cancelledBorder();
        border.coverage = checkedCoverage(faces.parts, walked.check);
    } else {
        border = groundBorder(triangles, faces, pointsOf(walked.ring, faces.mesh.points), phases, progress,
                              cancel);
        if (border.cancelled)
            return border;
    }
    border.coverage.joinedCorners = faces.joined;
    return border;
}

// The coverage told where memory ran out.
BorderCoverage outOfMemory()
{
    BorderCoverage coverage;
    coverage.outOfMemory = true;
    coverage.enclosesPart = false;
    coverage.enclosedShare = -1;
    return coverage;
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
    Phases phases(progress);
    phases.at(0);
    StoredTriangles source(connection, progress);
    Walk<StoredTriangles> walk(source, progress, storedCheckEvery);
    const std::pair<std::vector<Point3D>, bool> ring = walk.ring(Walk<StoredTriangles>::mostSteps);
    if (walk.cancelled())
        return Polygon();
    phases.at(50);
    Polygon border;
    if (ring.second)
        border = walk.polygonOf(ring.first);
    else
        // Triangles that overlap have no ring of border edges: the plain walk stops where it comes back.
        border = Walk<StoredTriangles>(source, progress, storedCheckEvery).border();
    if (walk.cancelled())
        return Polygon();
    phases.done();
    return border;
}

Polygon BorderExtractor::extract(const Delaunay& delaunay, IProgress* progress)
{
    Phases phases(progress);
    phases.at(0);
    const Delaunay::DelaunayTriangulation& triangulation = *delaunay.getDelaunayTriangulation();
    MeshCorners source(triangulation.points, triangulation.heights, triangulation.triangles,
                       triangulation.triangleCount, nullptr, nullptr, progress);
    if (source.cancelled())
        return Polygon();
    phases.at(30);
    std::vector<ChainPiece> chain;
    CancelLooks cancel(progress, memoryCheckEvery);
    Polygon border;
    bool sound = false;
    if (boundaryChain(triangulation, chain)) {
        Walk<MeshCorners> walk(source, progress, memoryCheckEvery);
        const std::pair<std::vector<unsigned>, bool> ring = walk.ring(chain.size() + 1);
        if (walk.cancelled())
            return Polygon();
        phases.at(50);
        RingCheck check;
        if (ring.second && !checkRing(triangulation.points, chain, nullptr, 1, 0, ring.first, check, cancel))
            return Polygon();
        phases.at(70);
        if (check.sound) {
            border = walk.polygonOf(ring.first);
            if (walk.cancelled())
                return Polygon();
            sound = true;
        }
    }
    if (!sound) {
        // A triangulation in parts, or with holes where constraints cut it.
        phases.within(phases.last(), 99);
        Border drawn = drawingBorder(delaunay.getAllTriangles(), phases, progress);
        if (drawn.cancelled)
            return Polygon();
        border = std::move(drawn.ring);
    }
    phases.done();
    return border;
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
    Phases phases(progress);
    try {
        Border border = drawingBorder(triangles, phases, progress);
        if (!border.cancelled)
            phases.done();
        if (coverage)
            *coverage = border.coverage;
        return std::move(border.ring);
    } catch (const std::bad_alloc&) {
        // What was built is freed on the way here.
        if (coverage)
            *coverage = outOfMemory();
        return Polygon();
    }
}

} // namespace IO
} // namespace Pelko
