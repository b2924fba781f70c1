#include "boundarychain.h"

#include "meshcorners.h"

#include <corvex/triangle.h>

#include <algorithm>

namespace Pelko {
namespace IO {

bool boundaryChain(const MeshCorners& corners, std::vector<ChainPiece>& chain, CancelLooks& cancel)
{
    chain.clear();
    // Each edge is counted at its lower end: the other ends with a sign, +1 for an edge that leaves the
    // point counterclockwise round its face, -1 for one that arrives.
    struct End
    {
        unsigned other;
        int sign;
        unsigned face;
    };
    std::vector<End> ends;
    const unsigned n = static_cast<unsigned>(corners.pointCount());
    for (unsigned a = 0; a < n; ++a) {
        if (cancel())
            return false;
        ends.clear();
        corners.eachAround(a, [&](size_t t, unsigned previous, unsigned next) {
            const bool counterclockwise = corners.turnOf(t) > 0;
            const unsigned leaving = counterclockwise ? next : previous;
            const unsigned arriving = counterclockwise ? previous : next;
            if (leaving > a)
                ends.push_back({ leaving, 1, static_cast<unsigned>(t) });
            if (arriving > a)
                ends.push_back({ arriving, -1, static_cast<unsigned>(t) });
            return true;
        });
        // A handful round most points.
        for (size_t i = 1; i < ends.size(); ++i)
            for (size_t j = i; j > 0 && ends[j].other < ends[j - 1].other; --j)
                std::swap(ends[j], ends[j - 1]);
        for (size_t i = 0; i < ends.size();) {
            size_t j = i;
            int net = 0;
            for (; j < ends.size() && ends[j].other == ends[i].other; ++j)
                net += ends[j].sign;
            if (net > 0)
                chain.push_back({ a, ends[i].other, net, ends[i].face });
            else if (net < 0)
                chain.push_back({ ends[i].other, a, -net, ends[i].face });
            i = j;
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
    for (size_t t = 0; t < count; ++t) {
        const auto& c = triangulation.triangles[t];
        if (Corvex::Triangle2D(triangulation.points[c[0]], triangulation.points[c[1]],
                               triangulation.points[c[2]])
                .isDegenerate())
            continue;
        for (unsigned k = 0; k < 3; ++k)
            if (triangulation.neighbors[t][k] < 0)
                chain.push_back({ c[(k + 1) % 3], c[(k + 2) % 3], 1, static_cast<unsigned>(t) });
    }
    return true;
}

} // namespace IO
} // namespace Pelko
