#pragma once

#include "boundarychain.h"
#include "cancellooks.h"
#include "facemesh.h"

#include <vector>

namespace Pelko {
namespace IO {

class MeshCorners;

// The outlines of the faces where the ends of boundary pieces lie on other boundary pieces (exactly,
// strictly between their ends): every face with such an edge is cut there, so that pieces meeting that
// way join. Only such ends can lie on a boundary piece without faces overlapping there. False when
// cancelled; outlines.corners stays empty when no end lies on a piece. corners walks the faces' own
// edges.
bool cutAtCornersOnEdges(const FaceMesh& mesh, const MeshCorners& corners,
                         const std::vector<ChainPiece>& chain, Outlines& outlines, CancelLooks& cancel);

} // namespace IO
} // namespace Pelko
