#pragma once

#include <io/io_global.h>

#include <corvex/triangle.h>

#include <string>
#include <vector>

namespace Pelko {
namespace Corvex {
class Delaunay;
}
namespace IO {

class IProgress;
class MemoryFile;

// Fills a TIN database (triangles, R*Tree index and border) in one transaction. Each operation is true only
// when everything was written and committed; on failure nothing of it is committed.
class IO_EXPORT TrianglesWriter
{
public:
    // The 3DFACE entities of a DXF drawing held in memory.
    static bool convert(MemoryFile& dxf, const std::string& databasePath);
    // The 3DFACE entities of the DXF drawing at dxfPath.
    static bool convert(const std::string& dxfPath, const std::string& databasePath);
    // progress may be null.
    static bool write(const std::vector<Pelko::Corvex::Triangle3D>& triangles,
                      const std::string& databasePath, IProgress* progress);
    static bool write(const Pelko::Corvex::Delaunay& delaunay, const std::string& databasePath,
                      IProgress* progress);
};

} // namespace IO
} // namespace Pelko
