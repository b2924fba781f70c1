#include "boundarychain.h"

#include "largeallocator.h"
#include "meshcorners.h"

#include <algorithm>

namespace Pelko {
namespace IO {

namespace {

// An edge is filed at its lesser end as its greater end, with this bit set for an edge that runs from the
// greater end to the lesser counterclockwise round its face. Point numbers stay below it: there are at most
// three a face.
constexpr unsigned arriving = 1u << 31;

// A face of the corners with the edge from one point to the other.
unsigned faceWith(const MeshCorners& corners, unsigned from, unsigned to)
{
    unsigned face = 0;
    corners.eachAround(from, [&](size_t t, unsigned previous, unsigned next) {
        face = static_cast<unsigned>(t);
        return previous != to && next != to;
    });
    return face;
}

} // namespace

bool boundaryChain(const FaceMesh& mesh, const Outlines* outlines, const MeshCorners& corners,
                   std::vector<ChainPiece>& chain, CancelLooks& cancel)
{
    chain.clear();
    // Every edge of every face, counterclockwise, filed at its lesser end: counted, then each put at its
    // point's next place. The sums then read each point's edges in one run, where looking them up through
    // the faces round each point went all over the faces' corners.
    std::vector<size_t> start(mesh.points.size() + 1, 0);
    auto eachEdge = [&](auto take) {
        return eachOutline(mesh, outlines, cancel, [&](size_t t, const unsigned* b, const unsigned* e) {
            for (const unsigned* v = b; v != e; ++v) {
                const unsigned from = *v, to = v + 1 == e ? *b : v[1];
                if (mesh.turn[t] > 0)
                    take(from, to);
                else
                    take(to, from);
            }
        });
    };
    if (!eachEdge([&](unsigned from, unsigned to) { ++start[std::min(from, to) + 1]; }))
        return false;
    for (size_t v = 1; v < start.size(); ++v)
        start[v] += start[v - 1];
    std::vector<unsigned, LargeAllocator<unsigned>> ends(start.back());
    if (!eachEdge([&](unsigned from, unsigned to) {
            if (from < to)
                ends[start[from]++] = to;
            else
                ends[start[to]++] = from | arriving;
        }))
        return false;
    std::copy_backward(start.begin(), start.end() - 1, start.end());
    start[0] = 0;

    // Each point's edges summed by their other end in a scratch array, left all zeros for the next
    // point: no sort, and no branch but for the rare edge left over.
    std::vector<int> net(mesh.points.size(), 0);
    for (unsigned a = 0; a + 1 < start.size(); ++a) {
        if (cancel())
            return false;
        const unsigned* first = ends.data() + start[a];
        const unsigned* last = ends.data() + start[a + 1];
        for (const unsigned* i = first; i != last; ++i)
            net[*i & ~arriving] += *i & arriving ? -1 : 1;
        for (const unsigned* i = first; i != last; ++i) {
            const unsigned other = *i & ~arriving;
            const int sum = net[other];
            if (sum == 0)
                continue;
            net[other] = 0;
            if (sum > 0)
                chain.push_back({ a, other, sum, faceWith(corners, a, other) });
            else
                chain.push_back({ other, a, -sum, faceWith(corners, a, other) });
        }
    }
    return true;
}

bool boundaryChain(const Corvex::Delaunay::DelaunayTriangulation& triangulation,
                   std::vector<ChainPiece>& chain)
{
    chain.clear();
    const size_t count = std::min<size_t>(triangulation.triangleCount, triangulation.triangles.size());
    if (triangulation.neighbors.size() < count)
        return false;
    // Its triangles have an area: where one had none, the ring walked over the others would fail its check.
    // One test a triangle: any neighbour missing sets the sign bit of all three or'ed.
    for (size_t t = 0; t < count; ++t) {
        const std::array<int, 3>& n = triangulation.neighbors[t];
        if ((n[0] | n[1] | n[2]) >= 0)
            continue;
        const auto& c = triangulation.triangles[t];
        for (unsigned k = 0; k < 3; ++k)
            if (n[k] < 0)
                chain.push_back({ c[(k + 1) % 3], c[(k + 2) % 3], 1, static_cast<unsigned>(t) });
    }
    return true;
}

} // namespace IO
} // namespace Pelko
