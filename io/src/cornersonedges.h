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
// edges. Where tooCostly is given, finding the ends on the pieces gives up once it has looked at more
// cells and ends than a few times the pieces' count (many long pieces across many corners, as faces that
// cross all over have): false then, with *tooCostly set and outlines left empty.
bool cutAtCornersOnEdges(const FaceMesh& mesh, const MeshCorners& corners,
                         const std::vector<ChainPiece>& chain, Outlines& outlines, CancelLooks& cancel,
                         bool* tooCostly = nullptr);

} // namespace IO
} // namespace Pelko
