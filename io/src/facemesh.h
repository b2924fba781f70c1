#pragma once

#include "cancellooks.h"

#include <corvex/point.h>
#include <corvex/triangle.h>

#include <array>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

namespace Pelko {
namespace IO {

// A drawing's faces by corner numbers: corners at exactly the same place in the plane share a number;
// heights are left out.
struct FaceMesh
{
    std::vector<Corvex::Point> points;
    std::vector<std::array<unsigned, 3>> triangles;
    // Each face's turn seen from above: 1 counterclockwise, -1 clockwise, 0 for a face that covers
    // nothing (its corners on one line) or is a face given again (its three corners another's, in any
    // order); repeats counts those.
    std::vector<signed char> turn;
    size_t repeats = 0;
};

// Point numbers, three a face at the most, are unsigned with the top bit to spare (the boundary's edges
// carry a sign there).
constexpr size_t mostJoinedTriangles = std::numeric_limits<unsigned>::max() / 6;

// The faces joined at their equal corners, with their turns; false when cancelled.
bool joinFaces(const std::vector<Corvex::Triangle3D>& triangles, FaceMesh& mesh, CancelLooks& cancel);

// Corners of the faces less than `tolerance` apart (seen from above) taken as one: each corner goes to the
// nearest earlier corner within it that stays, its faces then numbered with that one, their turns and
// repeats told again. joined counts the corners that went; false when cancelled. Points keep
// their places (those that went are left without faces).
bool joinNearCorners(FaceMesh& mesh, double tolerance, size_t& joined, CancelLooks& cancel);

// Whether, of the first thousand faces of more, more corners lie near another (within tolerance) than at
// the very place of another: faces written each on its own with their own rounding. Faces joined at their
// corners, in any order, are not.
bool nearRatherThanShared(const std::vector<Corvex::Triangle3D>& triangles, double tolerance);

enum class JoinedNear { Done, Cancelled, Crowded };

// The faces joined as joinFaces and then joinNearCorners join them, in one pass over their corners (a
// corner at the place of one joined before goes to the nearest corner that stays then, which is that one's
// unless a nearer one stayed since); joined counts the corners of faces given the number of another place.
// Crowded where more corners than can be looked through lie in a cell of the tolerance's grid (a drawing far
// smaller than metres): mesh is then unusable.
JoinedNear joinFacesNear(const std::vector<Corvex::Triangle3D>& triangles, FaceMesh& mesh, double tolerance,
                         size_t& joined, CancelLooks& cancel);

// Each face's outline where corners of others lie on its edges: its corners in turn, with the corners on
// each edge between its ends in order along it. A face that covers nothing has none.
struct Outlines
{
    // Face t's outline is corners[start[t]] up to corners[start[t + 1]].
    std::vector<size_t> start;
    std::vector<unsigned> corners;
};

// Face t's outline: its corners, or with outlines the corners with those on its edges.
inline std::pair<const unsigned*, const unsigned*> outlineOf(const FaceMesh& mesh, const Outlines* outlines,
                                                             size_t t)
{
    if (!outlines)
        return { mesh.triangles[t].data(), mesh.triangles[t].data() + 3 };
    return { outlines->corners.data() + outlines->start[t],
             outlines->corners.data() + outlines->start[t + 1] };
}

// Calls visit(t, first, last) with the outline of every face that covers ground, in order; false when
// cancelled.
template<class Visit>
bool eachOutline(const FaceMesh& mesh, const Outlines* outlines, CancelLooks& cancel, Visit visit)
{
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        if (cancel())
            return false;
        if (mesh.turn[t] == 0)
            continue;
        const auto outline = outlineOf(mesh, outlines, t);
        visit(t, outline.first, outline.second);
    }
    return true;
}

// The separate parts of the faces that cover ground: faces with a point of their outlines in common are
// one part. Parts are numbered in the order of their first faces.
struct FaceParts
{
    static constexpr unsigned none = ~0u;
    // Each face's part; none for a face that covers nothing.
    std::vector<unsigned> of;
    // Each part's plan area, the sum of its faces' (left 0 where there is one part: it needs none).
    std::vector<double> area;

    size_t count() const { return area.size(); }
    // The part of the largest area, the first of equals.
    unsigned largest() const;
};

// False when cancelled.
bool findParts(const FaceMesh& mesh, const Outlines* outlines, FaceParts& parts, CancelLooks& cancel);

} // namespace IO
} // namespace Pelko
