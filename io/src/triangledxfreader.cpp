#include <io/dxfmemoryreader.h>
#include <io/triangledxfadapter.h>
#include <io/triangledxfreader.h>
#include <io/trianglertreecontrol.h>

#include <utility/connection.h>

using Pelko::Corvex::Triangle3D;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

TriangleDxfReader::TriangleDxfReader() = default;

TriangleDxfReader::TriangleDxfReader(const std::string& path)
{
    loadFile(path);
}

TriangleDxfReader::TriangleDxfReader(const TriangleDxfReader& other) = default;

TriangleDxfReader::~TriangleDxfReader() = default;

TriangleDxfReader& TriangleDxfReader::operator=(const TriangleDxfReader& other) = default;

std::vector<Triangle3D> TriangleDxfReader::getTriangles() const
{
    return m_triangles;
}

bool TriangleDxfReader::loadFile(const std::string& path)
{
    if (path.empty())
        return false;
    TriangleDxfAdapter adapter;
    const DxfReadResult read = adapter.read(path, nullptr);
    if (read != DxfReadResult::Read && read != DxfReadResult::NotADrawing)
        return false;

    std::vector<Triangle3D> previous;
    previous.swap(m_triangles);
    m_triangles = adapter.getTriangles();
    const std::string temp = path + ".db";
    std::shared_ptr<Connection> connection;
    if (writeTemp(temp))
        connection.reset(Connection::create(temp, true), &Connection::destory);
    if (!connection) {
        m_triangles.swap(previous);
        return false;
    }
    m_connection = connection;
    return true;
}

bool TriangleDxfReader::writeTemp(const std::string& path)
{
    std::unique_ptr<Connection, void (*)(Connection*)> connection(Connection::create(path, true),
                                                                  &Connection::destory);
    if (!connection || !TriangleRTreeControl::createTable(connection.get()))
        return false;
    std::vector<int> ids(m_triangles.size());
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = static_cast<int>(i);
    if (!connection->beginTransactionWithExclusive())
        return false;
    // A temporary database left by an earlier load would clash on the ids.
    bool ok = TriangleRTreeControl::removeRecords(connection.get())
        && TriangleRTreeControl::insert(connection.get(), ids, m_triangles);
    if (ok && connection->commit())
        return true;
    connection->rollback();
    return false;
}

} // namespace IO
} // namespace Pelko
