#include "cornersonedges.h"

#include "cellgrid.h"
#include "exactplane.h"
#include "meshcorners.h"

#include <algorithm>
#include <cmath>

using Pelko::Corvex::Point;

namespace Pelko {
namespace IO {

namespace {

struct Split
{
    unsigned face, k, point;
};

// The ends lying strictly inside each piece, as (piece, point). False when cancelled, or past mostLooks
// cells and ends looked at (where not 0), with *over set.
bool endsOnPieces(const FaceMesh& mesh, const std::vector<ChainPiece>& chain,
                  std::vector<std::pair<size_t, unsigned>>& found, CancelLooks& cancel, size_t mostLooks,
                  bool* over)
{
    size_t looks = 0;
    auto overLooks = [&](size_t more) {
        looks += more;
        if (mostLooks == 0 || looks <= mostLooks)
            return false;
        *over = true;
        return true;
    };
    std::vector<unsigned> ends;
    ends.reserve(2 * chain.size());
    for (const ChainPiece& piece : chain) {
        ends.push_back(piece.from);
        ends.push_back(piece.to);
    }
    const PointCells cells(mesh, std::move(ends));
    // The ends also in order of x and of y. A point strictly inside a piece lies strictly between its ends
    // in the coordinate the piece runs along most: where few ends do, they are tested at once. Cells serve
    // the long pieces; ends along a line (a fan's rim) crowd the cells they lie in.
    std::vector<unsigned> byX = cells.points, byY = cells.points;
    std::sort(byX.begin(), byX.end(),
              [&mesh](unsigned p, unsigned q) { return mesh.points[p].getX() < mesh.points[q].getX(); });
    std::sort(byY.begin(), byY.end(),
              [&mesh](unsigned p, unsigned q) { return mesh.points[p].getY() < mesh.points[q].getY(); });
    constexpr ptrdiff_t fewEnds = 64;
    for (size_t i = 0; i < chain.size(); ++i) {
        const unsigned a = chain[i].from, b = chain[i].to;
        const Point segment[2] = { mesh.points[a], mesh.points[b] };
        const bool alongX = std::fabs(segment[1].getX() - segment[0].getX())
            >= std::fabs(segment[1].getY() - segment[0].getY());
        const std::vector<unsigned>& sorted = alongX ? byX : byY;
        auto coordinate
            = [&mesh, alongX](unsigned p) { return alongX ? mesh.points[p].getX() : mesh.points[p].getY(); };
        const double low = std::min(alongX ? segment[0].getX() : segment[0].getY(),
                                    alongX ? segment[1].getX() : segment[1].getY());
        const double high = std::max(alongX ? segment[0].getX() : segment[0].getY(),
                                     alongX ? segment[1].getX() : segment[1].getY());
        const auto first = std::upper_bound(sorted.begin(), sorted.end(), low,
                                            [&](double value, unsigned p) { return value < coordinate(p); });
        const auto last = std::lower_bound(first, sorted.end(), high,
                                           [&](unsigned p, double value) { return coordinate(p) < value; });
        if (last - first <= fewEnds) {
            if (cancel() || overLooks(static_cast<size_t>(last - first) + 1))
                return false;
            for (auto p = first; p != last; ++p)
                if (strictlyBetween(segment[0], segment[1], mesh.points[*p]))
                    found.emplace_back(i, *p);
            continue;
        }
        const bool whole = cells.grid.forCellsMeeting(segment, 2, [&](size_t cell) {
            if (overLooks(1 + static_cast<size_t>(cells.files.end(cell) - cells.files.begin(cell))))
                return false;
            for (const unsigned* p = cells.files.begin(cell); p != cells.files.end(cell); ++p) {
                const unsigned v = cells.points[*p];
                if (v != a && v != b && strictlyBetween(segment[0], segment[1], mesh.points[v]))
                    found.emplace_back(i, v);
            }
            return !cancel();
        });
        if (!whole)
            return false;
    }
    return true;
}

} // namespace

bool cutAtCornersOnEdges(const FaceMesh& mesh, const MeshCorners& corners,
                         const std::vector<ChainPiece>& chain, Outlines& outlines, CancelLooks& cancel,
                         bool* tooCostly)
{
    outlines.start.clear();
    outlines.corners.clear();
    std::vector<std::pair<size_t, unsigned>> found;
    // A boundary piece of a mesh meets a few cells and the ends in them: some tens of looks a piece.
    const size_t mostLooks = tooCostly ? 32 * chain.size() + 4096 : 0;
    bool over = false;
    if (chain.empty() || !endsOnPieces(mesh, chain, found, cancel, mostLooks, &over)) {
        if (over)
            *tooCostly = true;
        return !cancel.cancelled() && !over;
    }
    if (found.empty())
        return true;

    // Every face with the piece's edge is cut, as edge k from its corner k to corner k + 1.
    std::vector<Split> splits;
    for (const auto& [piece, point] : found) {
        const unsigned a = chain[piece].from, b = chain[piece].to;
        const unsigned at = point;
        corners.eachAround(a, [&](size_t t, unsigned previous, unsigned next) {
            const auto& c = mesh.triangles[t];
            const unsigned k = static_cast<unsigned>(std::find(c.begin(), c.end(), a) - c.begin());
            if (next == b)
                splits.push_back({ static_cast<unsigned>(t), k, at });
            else if (previous == b)
                splits.push_back({ static_cast<unsigned>(t), (k + 2) % 3, at });
            return true;
        });
    }

    // In order along each edge, from corner k on.
    std::sort(splits.begin(), splits.end(), [&](const Split& x, const Split& y) {
        if (x.face != y.face || x.k != y.k)
            return std::make_pair(x.face, x.k) < std::make_pair(y.face, y.k);
        const Point& a = mesh.points[mesh.triangles[x.face][x.k]];
        const Point& b = mesh.points[mesh.triangles[x.face][(x.k + 1) % 3]];
        const Point &p = mesh.points[x.point], &q = mesh.points[y.point];
        if (a.getX() != b.getX())
            return a.getX() < b.getX() ? p.getX() < q.getX() : p.getX() > q.getX();
        return a.getY() < b.getY() ? p.getY() < q.getY() : p.getY() > q.getY();
    });
    const size_t count = mesh.triangles.size();
    outlines.start.assign(count + 1, 0);
    outlines.corners.reserve(3 * count + splits.size());
    auto next = splits.begin();
    for (size_t t = 0; t < count; ++t) {
        if (cancel())
            return false;
        if (mesh.turn[t] != 0)
            for (unsigned k = 0; k < 3; ++k) {
                outlines.corners.push_back(mesh.triangles[t][k]);
                for (; next != splits.end() && next->face == t && next->k == k; ++next)
                    outlines.corners.push_back(next->point);
            }
        outlines.start[t + 1] = outlines.corners.size();
    }
    return true;
}

} // namespace IO
} // namespace Pelko
