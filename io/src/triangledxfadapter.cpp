#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/triangledxfadapter.h>
#include <io/trianglertreecontrol.h>

#include <utility/connection.h>

#include <climits>
#include <numeric>

using Pelko::Corvex::Point3D;
using Pelko::Corvex::Triangle3D;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

namespace {

// Faces are written in batches so that one prepared statement serves many rows.
constexpr size_t batchSize = 4096;

} // namespace

TriangleDxfAdapter::TriangleDxfAdapter() = default;

TriangleDxfAdapter::TriangleDxfAdapter(const std::string& databasePath)
    : m_databaseMode(true)
{
    m_connection = Connection::create(databasePath, true);
    if (!m_connection) {
        m_failed = true;
        return;
    }
    bool ok = m_connection->beginTransactionWithExclusive() && TriangleRTreeControl::createTable(m_connection)
        && TriangleRTreeControl::removeRecords(m_connection);
    if (!ok) {
        (void)m_connection->getLastError();
        close(false);
        m_failed = true;
    }
}

TriangleDxfAdapter::~TriangleDxfAdapter()
{
    close(false);
}

void TriangleDxfAdapter::close(bool commit)
{
    if (!m_connection)
        return;
    if (!commit)
        m_connection->rollback();
    Connection::destory(m_connection);
    m_connection = nullptr;
}

void TriangleDxfAdapter::addBlock(const DL_BlockData&)
{
    m_inBlock = true;
}

void TriangleDxfAdapter::endBlock()
{
    m_inBlock = false;
}

void TriangleDxfAdapter::add3dFace(const DL_3dFaceData& data)
{
    if (m_inBlock)
        return;
    Point3D corners[3];
    for (int i = 0; i < 3; ++i)
        corners[i] = Point3D(data.y[i], data.x[i], data.z[i]);
    if (m_databaseMode && m_failed)
        return;
    m_triangles.emplace_back(corners);
    if (m_databaseMode && m_triangles.size() >= batchSize && !flush())
        m_failed = true;
}

bool TriangleDxfAdapter::flush()
{
    if (m_triangles.size() > static_cast<size_t>(INT_MAX - m_faceCount))
        return false;
    std::vector<int> ids(m_triangles.size());
    for (int& id : ids)
        id = m_faceCount++;
    // The index is built once at the end, as one packed tree; only the boxes wait for it.
    for (const Triangle3D& triangle : m_triangles)
        m_boxes.push_back(TriangleRTreeControl::grownRect(triangle));
    bool ok = TriangleRTreeControl::insertTriangles(m_connection, ids, m_triangles);
    m_triangles.clear();
    return ok;
}

bool TriangleDxfAdapter::finish()
{
    if (!m_databaseMode)
        return true;
    bool indexed = false;
    if (!m_failed && m_connection && flush()) {
        std::vector<int> ids(m_boxes.size());
        std::iota(ids.begin(), ids.end(), 0);
        // Index rows too, so that the queries and the border see the faces.
        indexed = TriangleRTreeControl::insertIndex(m_connection, ids, m_boxes, nullptr);
    }
    m_boxes = std::vector<Pelko::Corvex::Rect>();
    if (!indexed) {
        m_failed = true;
        close(false);
        return false;
    }
    Pelko::Corvex::Polygon border = BorderExtractor::extract(m_connection);
    // As when writing a triangle list: a border failure still keeps the triangles.
    bool created = BorderControl::createTable(m_connection);
    bool cleared = BorderControl::removeRecords(m_connection);
    bool inserted = BorderControl::insertPolygon(m_connection, border);
    bool committed = m_connection->commit();
    bool ok = created && cleared && inserted && committed;
    if (!ok)
        (void)m_connection->getLastError();
    close(committed);
    m_failed = !ok;
    return ok;
}

const std::vector<Triangle3D>& TriangleDxfAdapter::getTriangles() const
{
    return m_triangles;
}

} // namespace IO
} // namespace Pelko
