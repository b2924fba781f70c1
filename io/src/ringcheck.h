#pragma once

#include "boundarychain.h"
#include "cancellooks.h"

#include <corvex/point.h>

#include <vector>

namespace Pelko {
namespace IO {

// The ring round a part of the faces, checked exactly against the boundary of all faces. The number of
// faces over a point is the winding number of the boundary pieces round it; where every piece counts once,
// no two meet but at their ends, and every point is under no face or one, the faces do not overlap and the
// pieces are the border of the ground they cover. The ring is then that part's outer border when it runs
// along its part's pieces, each once, all one way, with the faces on its inside; each loop it makes
// between two passes through a corner turns that way too (none goes round a hole); and every other piece
// of its part lies inside it (none outside, as the pieces round a face the walk missed would).
struct RingCheck
{
    // Whether the ring is that border.
    bool sound = false;
    // Where sound, whether each part lies inside the ring (an island in a hole) or outside it; the ring's
    // own part lies inside.
    std::vector<char> partInside;
};

// ring: the ring's corners in order, as point numbers. partOf: each face's part, or null for faces all of
// part 0. False only when cancelled.
bool checkRing(const std::vector<Corvex::Point>& points, const std::vector<ChainPiece>& chain,
               const std::vector<unsigned>* partOf, size_t parts, unsigned part,
               const std::vector<unsigned>& ring, RingCheck& check, CancelLooks& cancel);

} // namespace IO
} // namespace Pelko
