#include <corvex/trianglebuffer.h>

#include <RTree/RTree>

#include <cmath>

namespace Pelko::Corvex {

struct DelaunayTriangleBuffer::Data
{
    RTree<int, double, 2, double, 8, 4> tree;
    std::vector<TrianglePointsIndex> triangles;
    std::vector<Point3D> points;
    // Points below this index came in through the builder and are not in the tree.
    std::size_t firstIndexed = 0;
};

DelaunayTriangleBuffer::DelaunayTriangleBuffer()
    : d(std::make_shared<Data>())
{
}

DelaunayTriangleBuffer::DelaunayTriangleBuffer(DelaunayTriangleBuffer const&) = default;
DelaunayTriangleBuffer& DelaunayTriangleBuffer::operator=(DelaunayTriangleBuffer const&) = default;
DelaunayTriangleBuffer::~DelaunayTriangleBuffer() = default;

DelaunayTriangleBuffer DelaunayTriangleBuffer::clone() const
{
    DelaunayTriangleBuffer copy;
    copy.d->triangles = d->triangles;
    copy.d->points = d->points;
    copy.d->firstIndexed = d->firstIndexed;
    // Re-inserting in the original order rebuilds the same tree.
    for (std::size_t i = d->firstIndexed; i < d->points.size(); ++i) {
        const double xy[2] = { d->points[i].x(), d->points[i].y() };
        if (std::isnan(xy[0]) || std::isnan(xy[1]))
            continue;
        copy.d->tree.insert(xy, xy, static_cast<int>(i));
    }
    return copy;
}

DelaunayTriangleBuffer::operator bool() const
{
    return d != nullptr;
}

int DelaunayTriangleBuffer::insertPoint(Point3D const& p)
{
    const double xy[2] = { p.x(), p.y() };
    // A NaN position overlaps every rectangle in the tree's comparisons: it would match any stored
    // vertex, and once stored it would match every later one. Such a vertex shares with nothing.
    if (std::isnan(xy[0]) || std::isnan(xy[1])) {
        d->points.push_back(p);
        return static_cast<int>(d->points.size() - 1);
    }
    const std::vector<int> found = d->tree.search(xy, xy);
    if (!found.empty())
        return found.front();
    d->points.push_back(p);
    const int index = static_cast<int>(d->points.size() - 1);
    d->tree.insert(xy, xy, index);
    return index;
}

void DelaunayTriangleBuffer::addTriangle(Triangle3D const& triangle)
{
    TrianglePointsIndex record;
    for (unsigned k = 0; k < 3; ++k)
        record.index[k] = insertPoint(triangle.getVertex(k));
    d->triangles.push_back(record);
}

void DelaunayTriangleBuffer::addTriangles(std::vector<Triangle3D> const& triangles)
{
    d->triangles.reserve(d->triangles.size() + triangles.size());
    for (Triangle3D const& t : triangles)
        addTriangle(t);
}

unsigned DelaunayTriangleBuffer::getTriangleCount() const
{
    return static_cast<unsigned>(d->triangles.size());
}

unsigned DelaunayTriangleBuffer::getPointCount() const
{
    return static_cast<unsigned>(d->points.size());
}

Triangle3D DelaunayTriangleBuffer::getTriangle(unsigned i) const
{
    if (i >= d->triangles.size())
        return Triangle3D();
    TrianglePointsIndex const& record = d->triangles[i];
    return Triangle3D(getPoint(static_cast<unsigned>(record.index[0])),
                      getPoint(static_cast<unsigned>(record.index[1])),
                      getPoint(static_cast<unsigned>(record.index[2])));
}

TrianglePointsIndex DelaunayTriangleBuffer::getTrianglePointIndex(unsigned i) const
{
    return i < d->triangles.size() ? d->triangles[i] : TrianglePointsIndex();
}

Point3D DelaunayTriangleBuffer::getPoint(unsigned i) const
{
    // A negative record index converts to a huge unsigned and lands here too.
    return i < d->points.size() ? d->points[i] : Point3D();
}

DelaunayTriangleBuffer const*
DelaunayTriangleBufferBuilder::build(std::vector<Point3D> const& points,
                                     std::vector<TrianglePointsIndex> const& triangles)
{
    auto* buffer = new DelaunayTriangleBuffer;
    buffer->d->points = points;
    buffer->d->triangles = triangles;
    buffer->d->firstIndexed = points.size();
    return buffer;
}

void DelaunayTriangleBufferBuilder::destory(DelaunayTriangleBuffer const* buffer)
{
    delete buffer;
}

} // namespace Pelko::Corvex
