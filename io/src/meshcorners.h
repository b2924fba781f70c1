#pragma once

#include "cancellooks.h"
#include "exactplane.h"
#include "facemesh.h"
#include "largeallocator.h"

#include <corvex/point.h>
#include <corvex/point3d.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace Pelko {
namespace IO {

// Triangles by corner numbers, as the database written from them holds them (triangle i is row i), filed
// round their corners for the walk along their border. Each number names one position in the plane and no
// two numbers the same one, so the triangles that hold a point are those with it as a corner, and an edge
// of one triangle only is a border edge. With outlines, a triangle also holds the corners on its edges,
// and an edge is a part of an outline between two of its points that follow each other. Only the triangles
// filed are seen, and of those, once some are chosen, only the chosen.
class MeshCorners
{
public:
    using Vertex = unsigned;

    // The first count of the triangles; a corner without a height has height 0. Filed are the triangles
    // whose turn is not 0, or without turns those with an area (their turns then taken from their
    // corners). outlines may be null. A cancel through progress leaves the source unusable: cancelled()
    // tells.
    MeshCorners(const std::vector<Corvex::Point>& points, const std::vector<double>& heights,
                const std::vector<std::array<unsigned, 3>>& triangles, size_t count,
                const std::vector<signed char>* turns, const Outlines* outlines, IProgress* progress);

    bool cancelled() const { return m_cancelled; }
    size_t pointCount() const { return m_points.size(); }
    const std::vector<Corvex::Point>& points() const { return m_points; }

    // Only the triangles flagged are walked from now on; null walks all that are filed.
    void choose(const std::vector<char>* chosen)
    {
        m_chosen = chosen;
        m_neighboursOf = ~0u;
    }

    // Triangle 0's corners, or the first walked triangle's.
    bool first(Vertex corners[3]) const;
    void around(const Vertex& point, std::vector<Vertex>& corners) const;
    // The walk asks about the corners around one point in turn: their neighbours are taken at once.
    bool isBorderEdge(const Vertex& from, const Vertex& to);
    // The corners whose edge to the point is an edge of one triangle only.
    void singleEdgesAt(const Vertex& point, std::vector<Vertex>& ends);
    // 1 when the triangle with the edge from one point to the other lies on its left, -1 on its right, 0
    // when no triangle has that edge.
    int side(const Vertex& from, const Vertex& to) const;
    // The least corner of the triangles walked in plane order: it lies on their outer border.
    Vertex leastCorner() const;
    Corvex::Point3D position(const Vertex& v) const
    {
        const Corvex::Point& p = m_points[v];
        return Corvex::Point3D(p.getX(), p.getY(), v < m_heights.size() ? m_heights[v] : 0.0);
    }

    // Calls visit(t, previous, next) for each walked triangle with the point on its outline, previous and
    // next the points before and after it there, until a visit returns false.
    template<class Visit> void eachAround(const Vertex& point, Visit visit) const
    {
        for (size_t i = m_start[point]; i < m_start[point + 1]; ++i) {
            const size_t t = m_around[i];
            if (!walked(t))
                continue;
            const unsigned *b = begin(t), *e = end(t);
            const unsigned* at = b;
            while (*at != point)
                ++at;
            if (!visit(t, at == b ? e[-1] : at[-1], at + 1 == e ? *b : at[1]))
                return;
        }
    }
    // 1 for a triangle whose corners run counterclockwise, as its outline does; -1 clockwise.
    int turnOf(size_t t) const
    {
        if (m_turns)
            return (*m_turns)[t];
        const auto& c = m_triangles[t];
        return turning(m_points[c[0]], m_points[c[1]], m_points[c[2]]);
    }
    // The triangle's outline, from its corner 0.
    const unsigned* begin(size_t t) const
    {
        return m_outlines ? m_outlines->corners.data() + m_outlines->start[t] : m_triangles[t].data();
    }
    const unsigned* end(size_t t) const
    {
        return m_outlines ? m_outlines->corners.data() + m_outlines->start[t + 1] : m_triangles[t].data() + 3;
    }

private:
    // Without turns every triangle is filed, and one without an area is passed over where it is met.
    bool filed(size_t t) const
    {
        return (*m_turns)[t] != 0 && (!m_outlines || m_outlines->start[t] != m_outlines->start[t + 1]);
    }
    bool walked(size_t t) const { return (m_turns ? filed(t) : hasArea(t)) && (!m_chosen || (*m_chosen)[t]); }
    bool hasArea(size_t t) const;
    // The corners next to the point along the outlines of the triangles around it, sorted: both other
    // corners of a triangle.
    void neighboursAround(const Vertex& point);

    const std::vector<Corvex::Point>& m_points;
    const std::vector<double>& m_heights;
    const std::vector<std::array<unsigned, 3>>& m_triangles;
    const std::vector<signed char>* m_turns;
    const Outlines* m_outlines;
    const std::vector<char>* m_chosen = nullptr;
    size_t m_count;
    // Three corners a triangle: a TIN of over 1.4 billion triangles would not fit in memory anyway.
    std::vector<unsigned> m_start;
    std::vector<unsigned, LargeAllocator<unsigned>> m_around;
    unsigned m_neighboursOf = ~0u;
    std::vector<unsigned> m_neighbours;
    bool m_cancelled = false;
};

} // namespace IO
} // namespace Pelko
