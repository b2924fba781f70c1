#include "storedtriangles.h"

#include "cancellooks.h"
#include "exactplane.h"

#include <io/trianglertreecontrol.h>

#include <algorithm>

using Pelko::Corvex::Point3D;
using Pelko::Corvex::Triangle3D;

namespace Pelko {
namespace IO {

bool StoredTriangles::first(Vertex corners[3]) const
{
    const std::pair<Triangle3D, bool> triangle = TriangleRTreeControl::getTriangle(m_connection, 0);
    for (unsigned i = 0; i < 3; ++i)
        corners[i] = triangle.first.getVertex(i);
    return triangle.second;
}

void StoredTriangles::around(const Vertex& point, std::vector<Vertex>& corners) const
{
    corners.clear();
    for (const Triangle3D& triangle : TriangleRTreeControl::getBelongedTriangles(m_connection, plane(point)))
        for (unsigned i = 0; i < 3; ++i)
            corners.push_back(triangle.getVertex(i));
}

bool StoredTriangles::isBorderEdge(const Vertex& from, const Vertex& to) const
{
    return TriangleRTreeControl::getBelongedTriangles(m_connection, plane(to), plane(from)).size() == 1;
}

void StoredTriangles::singleEdgesAt(const Vertex& point, std::vector<Vertex>& ends) const
{
    ends.clear();
    // The triangles that hold both ends of an edge are among those that hold this one: one query, where
    // one for each edge asked thousands round the centre of a fan.
    const std::vector<Triangle3D> holders
        = TriangleRTreeControl::getBelongedTriangles(m_connection, plane(point));
    std::vector<Pelko::Corvex::Triangle2D> planes;
    planes.reserve(holders.size());
    for (const Triangle3D& triangle : holders) {
        planes.push_back(triangle.xoyProjection());
        for (unsigned i = 0; i < 3; ++i)
            if (planeEqual(triangle.getVertex(i), point)) {
                ends.push_back(triangle.getVertex((i + 1) % 3));
                ends.push_back(triangle.getVertex((i + 2) % 3));
            }
    }
    std::sort(ends.begin(), ends.end(), [](const Point3D& a, const Point3D& b) { return planeLess(a, b); });
    ends.erase(std::unique(ends.begin(), ends.end(),
                           [](const Point3D& a, const Point3D& b) { return planeEqual(a, b); }),
               ends.end());
    size_t kept = 0;
    for (const Point3D& q : ends) {
        if (isCancelled(m_progress)) {
            ends.clear();
            return;
        }
        const Pelko::Corvex::Point end = plane(q);
        if (std::count_if(planes.begin(), planes.end(), [&](const auto& t) { return t.contain(end); }) == 1)
            ends[kept++] = q;
    }
    ends.resize(kept);
}

int StoredTriangles::side(const Vertex& from, const Vertex& to) const
{
    const std::vector<Triangle3D> holders
        = TriangleRTreeControl::getBelongedTriangles(m_connection, plane(to), plane(from));
    if (holders.size() != 1)
        return 0;
    for (unsigned i = 0; i < 3; ++i)
        if (const int o = turning(plane(from), plane(to), plane(holders[0].getVertex(i))))
            return o;
    return 0;
}

StoredTriangles::Vertex StoredTriangles::leastCorner() const
{
    Vertex least;
    bool found = false;
    for (const Triangle3D& triangle : TriangleRTreeControl::getAllTriangles(m_connection)) {
        if (triangle.xoyProjection().isDegenerate())
            continue;
        for (unsigned i = 0; i < 3; ++i)
            if (!found || planeLess(triangle.getVertex(i), least)) {
                least = triangle.getVertex(i);
                found = true;
            }
    }
    return least;
}

} // namespace IO
} // namespace Pelko
