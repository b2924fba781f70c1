#include <io/delaunaytrianglebuffer.h>

namespace Pelko {
namespace IO {

struct DelaunayTriangleBufferReader::Data
{
    std::vector<Pelko::Corvex::Point3D> points;
    std::vector<Pelko::Corvex::TrianglePointsIndex> indices;
};

DelaunayTriangleBufferReader::DelaunayTriangleBufferReader()
    : d(std::make_shared<Data>())
{
}

bool DelaunayTriangleBufferReader::read(const std::string&)
{
    return false;
}

std::vector<Pelko::Corvex::Point3D> DelaunayTriangleBufferReader::getPoints() const
{
    return d->points;
}

std::vector<Pelko::Corvex::TrianglePointsIndex> DelaunayTriangleBufferReader::getTrianglePointsIndices() const
{
    return d->indices;
}

DelaunayTriangleBufferWriter::DelaunayTriangleBufferWriter() = default;

DelaunayTriangleBufferWriter::~DelaunayTriangleBufferWriter() = default;

bool DelaunayTriangleBufferWriter::write(const Pelko::Corvex::DelaunayTriangleBuffer*, const std::string&)
{
    return false;
}

} // namespace IO
} // namespace Pelko
