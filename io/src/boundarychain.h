#pragma once

#include "cancellooks.h"
#include "facemesh.h"

#include <corvex/delaunay.h>

#include <vector>

namespace Pelko {
namespace IO {

class MeshCorners;

// A piece of the boundary of some faces: an edge, or with outlines a part of one between two points that
// follow each other, along which the faces on its left are `count` more than those on its right (each
// face's outline taken counterclockwise, the pieces met both ways cancelled). face is a face that has it.
// The number of faces over a point off the pieces is the winding number of the pieces round it.
struct ChainPiece
{
    unsigned from, to;
    int count;
    unsigned face;
};

// The boundary of the faces that cover ground, along their outlines where given, the faces filed in
// corners; false when cancelled.
bool boundaryChain(const FaceMesh& mesh, const Outlines* outlines, const MeshCorners& corners,
                   std::vector<ChainPiece>& chain, CancelLooks& cancel);

// The boundary of a triangulation: the edges of its triangles without a neighbour. False where it holds
// no neighbours to tell them.
bool boundaryChain(const Corvex::Delaunay::DelaunayTriangulation& triangulation,
                   std::vector<ChainPiece>& chain);

} // namespace IO
} // namespace Pelko
