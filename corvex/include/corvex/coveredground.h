#pragma once

#include <corvex/corvex_global.h>
#include <corvex/point.h>

#include <cstddef>
#include <functional>
#include <vector>

namespace Pelko::Corvex {

// A piece of the boundary of a set of triangles: the segment from points[from] to points[to], along which the
// triangles on its left are `count` more than those on its right. The triangles' outlines, each taken
// counterclockwise, summed, with pieces met both ways cancelled, give such pieces; the number of triangles
// over a point off them is the winding number of the pieces round it. Pieces may cross, overlap along a line
// or meet anywhere.
struct BoundaryPiece
{
    unsigned from = 0;
    unsigned to = 0;
    int count = 1;
};

// The ground a set of triangles covers (winding number at least one), told by their boundary pieces.
struct CoveredGround
{
    enum class Outcome {
        Done,
        Cancelled,
        // An index past the points, an end that is not finite, pieces that bound no sum of triangles (a
        // winding number below zero or one that depends on the way round), or the geometry library failing.
        Failed,
        // The arrangement of the pieces would hold more vertices (their ends and the points where they
        // cross) than allowed: given up, nothing kept, as soon as the sweep building it has found that many.
        TooLarge,
        // Memory ran out on the way (in the geometry library or its exact numbers too): given up, nothing
        // kept.
        OutOfMemory,
    };
    Outcome outcome = Outcome::Failed;

    // Separate parts of the ground: ground that meets at a single point, along an edge, or where triangles
    // overlap or cross is one part.
    int parts = 0;
    // Plan area of all the ground, each point once.
    double area = 0;
    // Some ground is covered more than once.
    bool overlapping = false;

    // The part of the largest area; of equal ones, the one whose least corner in (x, y) comes first.
    double largestArea = 0;
    // Its outer boundary, counterclockwise, from its least corner in (x, y), not repeated at the end. It
    // passes a point where ground meets only at that point once for each gap there that opens to the outside.
    // The corners are the pieces' ends on it and the points where pieces cross on it; a crossing that is no
    // pair of doubles is moved to a nearby pair in the uncovered ground next to it, and one where the
    // boundary goes straight is left out.
    std::vector<Point> ring;
    // Every point of the largest part lies inside or on `ring`, and `ring` never crosses itself, meets
    // itself only at a corner it passes twice and winds once round what it encloses: always so where no
    // corner was moved, else checked exactly, moving the corners further out a few times before giving up.
    bool ringEnclosesPart = false;
    // Plan area of the ground inside the outer boundary, islands in the part's holes included. Moved corners
    // add slivers a few units in the last place wide to what `ring` encloses; they are not counted.
    double enclosedArea = 0;
};

// The ground the triangles that the pieces bound cover. Pieces of zero length, or with a count below one,
// are left out. isCancelled, when set, is asked every few thousand steps, the sweep's events among them; once
// it says true the outcome is Cancelled. mostVertices, where not 0, bounds the arrangement's vertices (and
// with them its time and memory, some 1.5 KB a vertex at the peak): the outcome is TooLarge once the points
// the sweep has handled and those it has queued (ends, and crossings found so far) are more; with as many
// vertices as allowed the work is done. The arrangement is freed on a thread of its own after the call (at
// once where memory ran out), so that a cancel returns at once; the program waits for that freeing at exit.
CORVEX_EXPORT CoveredGround coveredGround(std::vector<Point> const& points,
                                          std::vector<BoundaryPiece> const& pieces,
                                          std::function<bool()> const& isCancelled = {},
                                          std::size_t mostVertices = 0);

} // namespace Pelko::Corvex
