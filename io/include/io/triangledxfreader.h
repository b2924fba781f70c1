#pragma once

#include <io/io_global.h>

#include <corvex/triangle.h>

#include <memory>
#include <string>
#include <vector>

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

// Reads the triangles of a DXF drawing into a list and mirrors them into a temporary database beside the
// drawing (its path followed by ".db"), which the reader keeps open. Copies share that connection.
class IO_EXPORT TriangleDxfReader
{
public:
    TriangleDxfReader();
    explicit TriangleDxfReader(const std::string& path);
    TriangleDxfReader(const TriangleDxfReader& other);
    ~TriangleDxfReader();
    TriangleDxfReader& operator=(const TriangleDxfReader& other);

    std::vector<Pelko::Corvex::Triangle3D> getTriangles() const;
    // False for an empty path, an unreadable drawing or a failed temporary database; the reader is then
    // left as it was.
    bool loadFile(const std::string& path);

private:
    bool writeTemp(const std::string& path);

    std::vector<Pelko::Corvex::Triangle3D> m_triangles;
    std::shared_ptr<Zemko::Utility::Connection> m_connection;
};

} // namespace IO
} // namespace Pelko
