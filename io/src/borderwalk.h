#pragma once

#include "cancellooks.h"
#include "exactplane.h"

#include <corvex/point3d.h>
#include <corvex/polygon.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <type_traits>
#include <utility>
#include <vector>

namespace Pelko {
namespace IO {

inline bool sameCorner(unsigned a, unsigned b)
{
    return a == b;
}

inline bool sameCorner(const Corvex::Point3D& a, const Corvex::Point3D& b)
{
    return planeEqual(a, b);
}

// The walk along the border, over a source of triangles that names their corners its own way:
//   Vertex                                   a corner
//   bool first(Vertex corners[3])            the corners of triangle 0; false when there is none
//   void around(const Vertex&, vector&)      the corners of every triangle holding the point
//   bool isBorderEdge(from, to)              exactly one triangle holds both points
//   void singleEdgesAt(const Vertex&, vector&)  the corners whose edge to the point is a border edge
//   int side(from, to)                       1 where the triangle with that border edge lies on its left,
//                                            -1 on its right, 0 where there is none
//   Vertex leastCorner()                     the least corner in plane order
//   Point3D position(const Vertex&)
template<class Source> class Walk
{
public:
    using Vertex = typename Source::Vertex;

    // Border steps between two looks at the cancel flag.
    Walk(Source& source, IProgress* progress, size_t checkEvery)
        : m_source(source)
        , m_cancel(progress, checkEvery)
    {
    }

    bool cancelled() const { return m_cancel.cancelled(); }

    Corvex::Point3D position(const Vertex& v) const { return m_source.position(v); }

    // Descends from triangle 0's smallest corner to smaller x through the triangles around it.
    std::pair<Vertex, bool> borderPoint()
    {
        Vertex corners[3];
        if (!m_source.first(corners))
            return { Vertex(), false };
        Vertex current = smallest(corners, corners + 3);
        // x falls strictly with every step, so the descent ends; the cap only guards odd values.
        for (unsigned step = 0; step < mostSteps && !m_cancel(); ++step) {
            m_source.around(current, m_corners);
            if (m_corners.empty())
                return { Vertex(), false };
            const Vertex lowest = smallest(m_corners.begin(), m_corners.end());
            if (!(position(lowest).x() < position(current).x()))
                return { current, true };
            current = lowest;
        }
        return { Vertex(), false };
    }

    // The first corner around current, greatest in plane order first, whose edge to current has a triangle
    // on one side only; previous and current themselves are skipped.
    std::pair<Vertex, bool> borderEdge(const Vertex& previous, const Vertex& current)
    {
        if (m_cancel())
            return { Vertex(), false };
        m_source.around(current, m_corners);
        std::sort(m_corners.begin(), m_corners.end(),
                  [&](const Vertex& a, const Vertex& b) { return planeLess(position(b), position(a)); });
        m_corners.erase(std::unique(m_corners.begin(), m_corners.end(),
                                    [&](const Vertex& a, const Vertex& b) {
                                        return planeEqual(position(a), position(b));
                                    }),
                        m_corners.end());
        const Corvex::Point3D before = position(previous), at = position(current);
        for (const Vertex& candidate : m_corners) {
            const Corvex::Point3D p = position(candidate);
            if (planeEqual(p, before) || planeEqual(p, at))
                continue;
            if (m_cancel())
                return { Vertex(), false };
            if (m_source.isBorderEdge(current, candidate))
                return { candidate, true };
        }
        return { Vertex(), false };
    }

    // The ring round the faces, its corners in order; second says whether it closed within `most` steps.
    // It starts as border() does and keeps the faces on the side the first edge has them. Where faces
    // meet only at a corner several border edges leave it: the walk takes the first one turning from the
    // arriving edge towards the faces' side, across the gap it came by, so the ring passes such a corner
    // once for each gap and never crosses itself.
    std::pair<std::vector<Vertex>, bool> ring(size_t most)
    {
        const std::pair<Vertex, bool> start = borderPoint();
        if (!start.second)
            return { {}, false };
        const std::pair<Vertex, bool> first = borderEdge(start.first, start.first);
        if (!first.second)
            return { {}, false };
        Ring found = ringFrom(start.first, first.first, most);
        if (!found.closed || found.outer || cancelled())
            return { std::move(found.corners), found.closed };
        // The descent ended on the ring of a hole. The least corner lies on the outer ring, which leaves it
        // away from everything, towards smaller x.
        const Vertex least = m_source.leastCorner();
        const Corvex::Point at = plane(position(least));
        const std::pair<Vertex, bool> next
            = turn(Corvex::Point(at.getX() - (std::fabs(at.getX()) + 1), at.getY()), least, 1, nullptr);
        if (!next.second)
            return { {}, false };
        found = ringFrom(least, next.first, most);
        return { std::move(found.corners), found.closed && found.outer };
    }

    // Empty when cancelled: a ring of millions of corners takes a while.
    Corvex::Polygon polygonOf(const std::vector<Vertex>& corners)
    {
        Corvex::Polygon polygon;
        for (const Vertex& v : corners) {
            if (m_cancel())
                return Corvex::Polygon();
            polygon.appendPoint(plane(position(v)));
        }
        return polygon;
    }

    // The plain walk from border point to border point, which stops at the first point it saw before.
    Corvex::Polygon border()
    {
        Corvex::Polygon polygon;
        const std::pair<Vertex, bool> start = borderPoint();
        if (!start.second)
            return polygon;
        const Corvex::Point3D first = position(start.first);
        polygon.appendPoint(plane(first));
        std::set<std::pair<double, double>> visited { { first.x(), first.y() } };

        Vertex previous = start.first;
        Vertex current = start.first;
        std::pair<Vertex, bool> next = borderEdge(previous, current);
        for (unsigned step = 0; next.second && step < mostSteps; ++step) {
            const Corvex::Point3D p = position(next.first);
            // A border touching itself could lead the walk around a loop without the start point: stop at
            // the first point seen before.
            if (!visited.insert({ p.x(), p.y() }).second)
                break;
            previous = current;
            current = next.first;
            polygon.appendPoint(plane(p));
            next = borderEdge(previous, current);
        }
        return cancelled() ? Corvex::Polygon() : polygon;
    }

    // Every step of a stored walk costs database queries; no sound border of a stored model comes near.
    static constexpr unsigned mostSteps = 50000000;

private:
    struct Ring
    {
        std::vector<Vertex> corners;
        bool closed = false;
        // The faces inside it, not round it as round a hole.
        bool outer = false;
    };

    // Around from the first edge until that edge comes again. A ring along every border edge once takes
    // as many steps as there are: faces that overlap could lead the walk round for ever. The stored walk,
    // which does not know how many there are, stops where an edge comes again.
    Ring ringFrom(const Vertex& start, const Vertex& second, size_t most)
    {
        Ring ring;
        const int side = m_source.side(start, second);
        if (side == 0)
            return ring;
        ring.corners.push_back(start);
        Vertex previous = start;
        Vertex current = second;
        std::set<std::array<double, 4>> taken;
        for (size_t step = 0; step < most && !m_cancel(); ++step) {
            const std::pair<Vertex, bool> next = turn(plane(position(previous)), current, side, &previous);
            if (!next.second)
                return ring;
            if (sameCorner(current, start) && sameCorner(next.first, second)) {
                ring.closed = true;
                ring.outer = side * twiceArea(ring.corners) > 0;
                return ring;
            }
            if constexpr (std::is_same_v<Vertex, Corvex::Point3D>) {
                const Corvex::Point3D a = position(current), b = position(next.first);
                if (!taken.insert({ a.x(), a.y(), b.x(), b.y() }).second)
                    return ring;
            }
            ring.corners.push_back(current);
            previous = current;
            current = next.first;
        }
        return ring;
    }

    // Of the border edges at `at` (but the one it was reached by), the first one turning from the
    // direction towards `from` counterclockwise (side 1) or clockwise (side -1) whose face lies on that
    // side of it.
    std::pair<Vertex, bool> turn(const Corvex::Point& from, const Vertex& at, int side, const Vertex* arrived)
    {
        m_source.singleEdgesAt(at, m_ends);
        if (arrived) {
            m_ends.erase(std::remove_if(m_ends.begin(), m_ends.end(),
                                        [&](const Vertex& v) { return sameCorner(v, *arrived); }),
                         m_ends.end());
            if (m_ends.size() == 1)
                return { m_ends[0], true };
        }
        const Corvex::Point centre = plane(position(at));
        std::pair<Vertex, bool> best { Vertex(), false };
        int bestHalf = 0;
        Corvex::Point bestPoint;
        for (const Vertex& candidate : m_ends) {
            if (m_source.side(at, candidate) != side)
                continue;
            const Corvex::Point p = plane(position(candidate));
            const int h = halfTurned(centre, from, p, side);
            if (!best.second || h < bestHalf
                || (h == bestHalf && h < 2 && side * turning(centre, p, bestPoint) > 0)) {
                best = { candidate, true };
                bestHalf = h;
                bestPoint = p;
            }
        }
        return best;
    }

    // Rounded: it only tells the outer ring from a hole's.
    double twiceArea(const std::vector<Vertex>& corners) const
    {
        // From the first point, so that large coordinates keep their digits.
        const size_t n = corners.size();
        double twice = 0;
        if (n < 3)
            return twice;
        const Corvex::Point3D o = position(corners[0]);
        for (size_t i = 1; i + 1 < n; ++i) {
            const Corvex::Point3D a = position(corners[i]), b = position(corners[i + 1]);
            twice += (a.x() - o.x()) * (b.y() - o.y()) - (b.x() - o.x()) * (a.y() - o.y());
        }
        return twice;
    }

    template<class It> Vertex smallest(It begin, It end) const
    {
        return *std::min_element(begin, end, [&](const Vertex& a, const Vertex& b) {
            return spaceLess(position(a), position(b));
        });
    }

    Source& m_source;
    CancelLooks m_cancel;
    std::vector<Vertex> m_corners;
    std::vector<Vertex> m_ends;
};

} // namespace IO
} // namespace Pelko
