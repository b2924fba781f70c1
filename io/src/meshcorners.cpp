#include "meshcorners.h"

#include <corvex/triangle.h>

using Pelko::Corvex::Point;
using Pelko::Corvex::Triangle2D;

namespace Pelko {
namespace IO {

MeshCorners::MeshCorners(const std::vector<Point>& points, const std::vector<double>& heights,
                         const std::vector<std::array<unsigned, 3>>& triangles, size_t count,
                         const std::vector<signed char>* turns, const Outlines* outlines, IProgress* progress)
    : m_points(points)
    , m_heights(heights)
    , m_triangles(triangles)
    , m_turns(turns)
    , m_outlines(outlines)
    , m_count(std::min(count, triangles.size()))
    , m_start(points.size() + 1, 0)
{
    // The triangles around every point, in one array ordered by point: counted, then each put at its
    // point's next place, which leaves every start where the next point's was. Which triangles are filed,
    // and along what, is decided once for a batch of them: the loops run over millions of triangles.
    auto eachCorner = [&](auto take) {
        for (size_t first = 0; first < m_count; first += CancelLooks::batch) {
            const size_t last = std::min(m_count, first + CancelLooks::batch);
            if (m_outlines) {
                for (size_t t = first; t < last; ++t)
                    if (filed(t))
                        for (const unsigned *v = begin(t), *stop = end(t); v != stop; ++v)
                            take(*v, t);
            } else if (m_turns) {
                for (size_t t = first; t < last; ++t)
                    if ((*m_turns)[t] != 0)
                        for (unsigned v : m_triangles[t])
                            take(v, t);
            } else {
                for (size_t t = first; t < last; ++t)
                    for (unsigned v : m_triangles[t])
                        take(v, t);
            }
            if (last - first == CancelLooks::batch && isCancelled(progress))
                return false;
        }
        return true;
    };
    m_cancelled = !eachCorner([&](unsigned v, size_t) { ++m_start[v + 1]; });
    if (m_cancelled)
        return;
    for (size_t v = 1; v < m_start.size(); ++v)
        m_start[v] += m_start[v - 1];
    // Not zeroed first: every place is filled below. Filed at random places, its pages would all be
    // touched at once, each a fault: in huge pages there are few.
    m_around.resize(m_start.back());
    m_cancelled
        = !eachCorner([&](unsigned v, size_t t) { m_around[m_start[v]++] = static_cast<unsigned>(t); });
    std::copy_backward(m_start.begin(), m_start.end() - 1, m_start.end());
    m_start[0] = 0;
}

// As the stored query finds them: a flat triangle holds no point, not even its corners.
bool MeshCorners::hasArea(size_t t) const
{
    const auto& c = m_triangles[t];
    return !Triangle2D(m_points[c[0]], m_points[c[1]], m_points[c[2]]).isDegenerate();
}

bool MeshCorners::first(Vertex corners[3]) const
{
    size_t t = 0;
    while (t < m_count && !walked(t))
        ++t;
    if (t >= m_count)
        return false;
    std::copy(m_triangles[t].begin(), m_triangles[t].end(), corners);
    return true;
}

void MeshCorners::around(const Vertex& point, std::vector<Vertex>& corners) const
{
    corners.clear();
    eachAround(point, [&](size_t t, unsigned, unsigned) {
        corners.insert(corners.end(), begin(t), end(t));
        return true;
    });
}

bool MeshCorners::isBorderEdge(const Vertex& from, const Vertex& to)
{
    neighboursAround(from);
    const auto range = std::equal_range(m_neighbours.begin(), m_neighbours.end(), to);
    return range.second - range.first == 1;
}

void MeshCorners::singleEdgesAt(const Vertex& point, std::vector<Vertex>& ends)
{
    neighboursAround(point);
    ends.clear();
    for (size_t i = 0; i < m_neighbours.size(); ++i)
        if ((i == 0 || m_neighbours[i - 1] != m_neighbours[i])
            && (i + 1 == m_neighbours.size() || m_neighbours[i + 1] != m_neighbours[i]))
            ends.push_back(m_neighbours[i]);
}

int MeshCorners::side(const Vertex& from, const Vertex& to) const
{
    int found = 0;
    eachAround(from, [&](size_t t, unsigned previous, unsigned next) {
        if (next == to)
            found = turnOf(t);
        else if (previous == to)
            found = -turnOf(t);
        return found == 0;
    });
    return found;
}

MeshCorners::Vertex MeshCorners::leastCorner() const
{
    Vertex least = ~0u;
    for (size_t t = 0; t < m_count; ++t)
        if (walked(t))
            for (const unsigned *v = begin(t), *last = end(t); v != last; ++v)
                if (least == ~0u || planeLess(m_points[*v], m_points[least]))
                    least = *v;
    return least;
}

void MeshCorners::neighboursAround(const Vertex& point)
{
    if (m_neighboursOf == point)
        return;
    m_neighboursOf = point;
    m_neighbours.clear();
    eachAround(point, [&](size_t, unsigned previous, unsigned next) {
        m_neighbours.push_back(previous);
        m_neighbours.push_back(next);
        return true;
    });
    std::sort(m_neighbours.begin(), m_neighbours.end());
}

} // namespace IO
} // namespace Pelko
