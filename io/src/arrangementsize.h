#pragma once

#include "boundarychain.h"
#include "cancellooks.h"

#include <corvex/point.h>
#include <corvex/triangle.h>

#include <cstddef>
#include <vector>

namespace Pelko {
namespace IO {

enum class ArrangementSize { Within, Over, Cancelled };

// Whether the arrangement of the pieces (their ends and the points where they cross) would hold at most
// `most` vertices, told by a count that costs no more than a few passes over the pieces: they are filed in
// the cells of a grid of about one cell a piece, along the cells they pass through, and those of a cell
// are tried in pairs in order of their least x, each crossing counted in the cell it lies in. The count is
// rounded (it only weighs the work); past a budget of filings or of pairs tried, proportional to the
// pieces, it gives up and says Over.
ArrangementSize arrangementSize(const std::vector<Corvex::Point>& points,
                                const std::vector<ChainPiece>& chain, size_t most, CancelLooks& cancel);

// The convex hull of the finite corners of the faces, counterclockwise from the least in (x, y), without
// corners where it goes straight; exact. Fewer than three points where they lie on one line.
std::vector<Corvex::Point> convexHull(const std::vector<Corvex::Triangle3D>& faces, CancelLooks& cancel);

} // namespace IO
} // namespace Pelko
