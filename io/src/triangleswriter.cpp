#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/dxfmemoryreader.h>
#include <io/memoryfile.h>
#include <io/triangledxfadapter.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <utility/connection.h>

using Pelko::Corvex::Triangle3D;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

namespace {

// Rolls back whatever was not committed and closes the connection on every way out.
class Session
{
public:
    explicit Session(Connection* connection)
        : m_connection(connection)
    {
    }
    ~Session()
    {
        if (!m_connection)
            return;
        if (m_open)
            m_connection->rollback();
        Connection::destory(m_connection);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Connection* get() const { return m_connection; }
    bool begin() { return m_open = m_connection->beginTransactionWithExclusive(); }
    bool commit()
    {
        if (!m_connection->commit())
            return false;
        m_open = false;
        return true;
    }
    bool fail()
    {
        (void)m_connection->getLastError();
        return false;
    }

private:
    Connection* m_connection;
    bool m_open = false;
};

} // namespace

bool TrianglesWriter::write(const std::vector<Triangle3D>& triangles, const std::string& databasePath,
                            IProgress* progress)
{
    Session session(Connection::create(databasePath, true));
    Connection* connection = session.get();
    if (!connection)
        return false;
    // Without the exclusive transaction every row would be committed on its own.
    if (!session.begin())
        return session.fail();
    if (!TriangleRTreeControl::createTable(connection))
        return session.fail();
    // Old rows left beside the new ones would corrupt the model.
    if (!TriangleRTreeControl::removeRecords(connection))
        return session.fail();
    if (!TriangleRTreeControl::insert(connection, triangles, progress))
        return session.fail();

    Pelko::Corvex::Polygon border = BorderExtractor::extract(connection);
    bool created = BorderControl::createTable(connection);
    bool cleared = BorderControl::removeRecords(connection);
    bool inserted = BorderControl::insertPolygon(connection, border);
    bool committed = session.commit();
    return created && cleared && inserted && committed;
}

bool TrianglesWriter::write(const Pelko::Corvex::Delaunay& delaunay, const std::string& databasePath,
                            IProgress* progress)
{
    return write(delaunay.getAllTriangles(), databasePath, progress);
}

bool TrianglesWriter::convert(MemoryFile& dxf, const std::string& databasePath)
{
    TriangleDxfAdapter adapter(databasePath);
    if (!readDxf(dxf, &adapter))
        return false;
    return adapter.finish();
}

bool TrianglesWriter::convert(const std::string& dxfPath, const std::string& databasePath)
{
    TriangleDxfAdapter adapter(databasePath);
    if (!readDxf(dxfPath, &adapter))
        return false;
    return adapter.finish();
}

} // namespace IO
} // namespace Pelko
