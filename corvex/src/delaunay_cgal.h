#pragma once

// The triangulator behind Delaunay; private to the library so that CGAL stays in one translation unit.

#include <corvex/point.h>

#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace Pelko::Corvex::detail {

enum class TriangulationMode {
    Delaunay, // plain Delaunay of the points, segments ignored
    Constrained, // constrained Delaunay, outside of the segments removed
    Conforming, // as Constrained, with points added until every triangle is Delaunay
};

struct TriangulationOutput
{
    std::vector<Point> addedPoints; // numbered after the input points
    std::vector<std::array<unsigned, 3>> triangles; // counter-clockwise
    std::vector<std::array<int, 3>> neighbors; // neighbour k opposite vertex k, -1 for none
    // Empty when no two input points coincide; otherwise, for every input point, the lowest index of the
    // points at its position. Triangles name only such lowest indices.
    std::vector<unsigned> mergedInto;
};

// Segment indices must be below points.size() and the points finite; a segment between coincident points
// is dropped. Returns false when the triangulator failed or cancelled() said true (asked every few
// thousand steps); the output is then empty. An empty cancelled never cancels.
bool triangulate(TriangulationMode mode, std::vector<Point> const& points,
                 std::vector<std::pair<unsigned, unsigned>> const& segments, TriangulationOutput& output,
                 std::function<bool()> const& cancelled = {});

} // namespace Pelko::Corvex::detail
