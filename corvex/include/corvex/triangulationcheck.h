#pragma once

#include <corvex/corvex_global.h>
#include <corvex/point.h>

#include <array>
#include <functional>
#include <vector>

namespace Pelko::Corvex {

enum class TriangulationCheck {
    Triangulation,
    NotATriangulation,
    Cancelled,
};

// Whether the triangles, each three indices into points, are triangles of one triangulation of the points:
// no two overlap, none is given twice, and no point lies inside a triangle or on one of its edges unless it
// is one of its corners. A triangle with collinear corners (a corner named twice too) covers nothing and is
// left out, though its corners still count as points. Decided with exact predicates. Points that are not
// finite or not pairwise distinct, and an index past the points, give NotATriangulation.
// isCancelled, when set, is asked every few thousand steps; once it says true the answer is Cancelled.
CORVEX_EXPORT TriangulationCheck checkTriangulation(std::vector<Point> const& points,
                                                    std::vector<std::array<unsigned, 3>> const& triangles,
                                                    std::function<bool()> const& isCancelled = {});

} // namespace Pelko::Corvex
