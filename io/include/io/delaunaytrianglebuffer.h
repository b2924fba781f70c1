#pragma once

#include <io/io_global.h>

#include <corvex/point3d.h>
#include <corvex/trianglebuffer.h>

#include <memory>
#include <string>
#include <vector>

namespace Pelko {
namespace IO {

// Reader of a triangle-buffer file. The file format is not defined yet: reading always fails.
class IO_EXPORT DelaunayTriangleBufferReader
{
public:
    DelaunayTriangleBufferReader();

    bool read(const std::string& path);
    std::vector<Pelko::Corvex::Point3D> getPoints() const;
    std::vector<Pelko::Corvex::TrianglePointsIndex> getTrianglePointsIndices() const;

private:
    struct Data;
    std::shared_ptr<Data> d;
};

// Writer of a triangle-buffer file. The file format is not defined yet: writing always fails.
class IO_EXPORT DelaunayTriangleBufferWriter
{
public:
    static bool write(const Pelko::Corvex::DelaunayTriangleBuffer* buffer, const std::string& path);

private:
    DelaunayTriangleBufferWriter();
    ~DelaunayTriangleBufferWriter();
};

} // namespace IO
} // namespace Pelko
