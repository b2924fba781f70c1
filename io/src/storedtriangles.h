#pragma once

#include <corvex/point3d.h>

#include <vector>

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

class IProgress;

// The stored triangles as the border's walk sees them, found through the R*Tree window around a point:
// the triangles that hold a point are those that contain it, and a border edge is held by one triangle
// only.
class StoredTriangles
{
public:
    using Vertex = Corvex::Point3D;

    // A cancel through progress, asked for every edge looked at, empties what the source gives (a point
    // at the centre of a fan of thousands of triangles has thousands).
    explicit StoredTriangles(Zemko::Utility::Connection* connection, const IProgress* progress = nullptr)
        : m_connection(connection)
        , m_progress(progress)
    {
    }
    bool first(Vertex corners[3]) const;
    void around(const Vertex& point, std::vector<Vertex>& corners) const;
    bool isBorderEdge(const Vertex& from, const Vertex& to) const;
    void singleEdgesAt(const Vertex& point, std::vector<Vertex>& ends) const;
    int side(const Vertex& from, const Vertex& to) const;
    // Reads every triangle: only asked where the descent ends on the rim of a hole.
    Vertex leastCorner() const;
    Corvex::Point3D position(const Vertex& v) const { return v; }

private:
    Zemko::Utility::Connection* m_connection;
    const IProgress* m_progress;
};

} // namespace IO
} // namespace Pelko
