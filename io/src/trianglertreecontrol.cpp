#include "cancellooks.h"
#include "rtreepacker.h"

#include <io/iprogress.h>
#include <io/trianglertreecontrol.h>

#include <utility/basetablecontrol.h>
#include <utility/connection.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>

using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Rect;
using Pelko::Corvex::Triangle3D;
using Zemko::Utility::BaseTableControl;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

const char* const TriangleRTreeControl::triangleTable = "triangle ";
const char* const TriangleRTreeControl::indexTable = "triangleRTree ";

namespace {

constexpr double boxMargin = 0.001;
std::atomic<bool> sqliteCheck { false };

// Four decimals in the C locale, as "%.4lf" would give without a locale.
std::string fixed4(double value)
{
    char text[400];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
    if (result.ec != std::errc())
        return "nan";
    return std::string(text, result.ptr);
}

// The index table's name as SQLite knows it, without the blank the statement texts carry.
std::string indexName()
{
    std::string name = TriangleRTreeControl::indexTable;
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

void dropError(Connection* connection)
{
    if (connection)
        (void)connection->getLastError();
}

Triangle3D readTriangle(sqlite3_stmt* stmt)
{
    (void)sqlite3_column_int(stmt, 0);
    Point3D vertices[3];
    for (int v = 0; v < 3; ++v)
        vertices[v] = Point3D(sqlite3_column_double(stmt, 1 + v * 3), sqlite3_column_double(stmt, 2 + v * 3),
                              sqlite3_column_double(stmt, 3 + v * 3));
    return Triangle3D(vertices);
}

} // namespace

bool TriangleRTreeControl::isStorable(double coordinate)
{
    return std::isfinite(coordinate) && std::fabs(coordinate) <= largestCoordinate;
}

void TriangleRTreeControl::setSqliteIndexCheck(bool on)
{
    sqliteCheck = on;
}

bool TriangleRTreeControl::sqliteIndexCheck()
{
    return sqliteCheck;
}

bool TriangleRTreeControl::createTable(Connection* connection)
{
    bool triangles = BaseTableControl::createTable(
        std::string(triangleTable)
            + " (id INTEGER PRIMARY KEY,v0X double,v0Y double,v0Z double,v1X double,v1Y double,v1Z double,"
              "v2X double,v2Y double,v2Z double)",
        connection);
    bool index = BaseTableControl::createRTree(indexTable, connection);
    return triangles && index;
}

bool TriangleRTreeControl::removeRecords(Connection* connection)
{
    bool triangles = BaseTableControl::baseRemoveRecord(triangleTable, "", connection);
    // Deleting rows one by one makes the R*Tree module rebalance after each, which takes as long as filling
    // it did; a table made afresh is just as empty.
    bool index = false;
    if (sqlite3_stmt* drop = BaseTableControl::getSqliteStmtByExecQuery(
            connection, std::string("DROP TABLE IF EXISTS ") + indexTable)) {
        index = sqlite3_step(drop) == SQLITE_DONE;
        index = sqlite3_finalize(drop) == SQLITE_OK && index;
    }
    if (!index)
        dropError(connection);
    bool created = index && BaseTableControl::createRTree(indexTable, connection);
    return triangles && created;
}

Rect TriangleRTreeControl::grownRect(const Triangle3D& triangle)
{
    double x[3], y[3];
    for (unsigned i = 0; i < 3; ++i) {
        Point3D v = triangle.getVertex(i);
        x[i] = v.x();
        y[i] = v.y();
    }
    std::sort(x, x + 3);
    std::sort(y, y + 3);
    return Rect(x[0] - boxMargin, y[0] - boxMargin, x[2] + boxMargin, y[2] + boxMargin);
}

sqlite3_stmt* TriangleRTreeControl::stmtForInsertIndex(Connection* connection)
{
    return BaseTableControl::getSqliteStmtByExecQuery(
        connection, std::string("insert into ") + indexTable + " values(?,?,?,?,?);");
}

sqlite3_stmt* TriangleRTreeControl::stmtForInsertTriangle(Connection* connection)
{
    return BaseTableControl::getSqliteStmtByExecQuery(
        connection, std::string("insert into ") + triangleTable + " values(?,?,?,?,?,?,?,?,?,?) ");
}

namespace {

void bindIndex(sqlite3_stmt* stmt, int id, const Rect& rect)
{
    sqlite3_bind_int(stmt, 1, id);
    sqlite3_bind_double(stmt, 2, rect.getMinX());
    sqlite3_bind_double(stmt, 3, rect.getMaxX());
    sqlite3_bind_double(stmt, 4, rect.getMinY());
    sqlite3_bind_double(stmt, 5, rect.getMaxY());
}

void bindTriangle(sqlite3_stmt* stmt, int id, const Triangle3D& triangle)
{
    sqlite3_bind_int(stmt, 1, id);
    for (unsigned v = 0; v < 3; ++v) {
        Point3D p = triangle.getVertex(v);
        sqlite3_bind_double(stmt, 2 + v * 3, p.x());
        sqlite3_bind_double(stmt, 3 + v * 3, p.y());
        sqlite3_bind_double(stmt, 4 + v * 3, p.z());
    }
}

// Steps one bound row; a failed row finalizes the statement.
bool stepRow(sqlite3_stmt* stmt)
{
    if (sqlite3_step(stmt) != SQLITE_DONE) {
        sqlite3_finalize(stmt);
        return false;
    }
    sqlite3_reset(stmt);
    return true;
}

// One index row per call of row(i), which gives its id and box; reports climb to 50.
template<class Row>
bool writeIndexRows(Connection* connection, sqlite3_stmt* stmt, size_t count, Row row, IProgress* progress)
{
    if (!stmt) {
        dropError(connection);
        return false;
    }
    const double n = static_cast<double>(count);
    CancelLooks looks(progress, CancelLooks::rowBatch, true);
    for (size_t i = 0; i < count; ++i) {
        if (looks()) {
            sqlite3_finalize(stmt);
            return false;
        }
        std::pair<int, Rect> index = row(i);
        bindIndex(stmt, index.first, index.second);
        bool ok = stepRow(stmt);
        if (progress)
            progress->report(static_cast<int>((i + 1) * 50.0 / n));
        if (!ok) {
            dropError(connection);
            return false;
        }
    }
    return sqlite3_finalize(stmt) == SQLITE_OK;
}

// The triangles of a list, by position.
class ListRows
{
public:
    explicit ListRows(const std::vector<Triangle3D>& list)
        : m_list(list)
    {
    }
    size_t size() const { return m_list.size(); }
    const Triangle3D& operator[](size_t i) const { return m_list[i]; }

private:
    const std::vector<Triangle3D>& m_list;
};

// The triangles of a triangulation, by position, built from its index arrays as getAllTriangles() builds
// them, without the list.
class TriangulationRows
{
public:
    // cancelled() tells whether progress cancelled the work on the way; the rows are then incomplete.
    TriangulationRows(const Pelko::Corvex::Delaunay::DelaunayTriangulation& triangulation,
                      IProgress* progress)
    {
        // The triangles come in spatial order but name the points in input order, and every triangle is
        // read twice (its box, then its row). Renumbered in the order the triangles first name them, with
        // their heights beside them, the points are read almost in order both times instead of at random.
        const std::vector<Point>& points = triangulation.points;
        const std::vector<double>& heights = triangulation.heights;
        const size_t count = std::min<size_t>(triangulation.triangleCount, triangulation.triangles.size());
        constexpr unsigned unseen = ~0u;
        constexpr size_t ahead = 16;
        std::vector<unsigned> renumbered(points.size(), unseen);
        m_vertices.reserve(points.size());
        m_corners.reserve(count);
        CancelLooks looks(progress);
        for (size_t t = 0; t < count; ++t) {
            if (looks()) {
                m_cancelled = true;
                return;
            }
            if (t + ahead < count)
                for (unsigned v : triangulation.triangles[t + ahead])
                    __builtin_prefetch(&renumbered[v]);
            std::array<unsigned, 3> corners;
            for (int k = 0; k < 3; ++k) {
                const unsigned v = triangulation.triangles[t][k];
                unsigned& number = renumbered[v];
                if (number == unseen) {
                    number = static_cast<unsigned>(m_vertices.size());
                    m_vertices.emplace_back(points[v].getX(), points[v].getY(),
                                            v < heights.size() ? heights[v] : 0.0);
                }
                corners[k] = number;
            }
            m_corners.push_back(corners);
        }
    }
    size_t size() const { return m_corners.size(); }
    Triangle3D operator[](size_t i) const
    {
        const std::array<unsigned, 3>& corner = m_corners[i];
        return Triangle3D(m_vertices[corner[0]], m_vertices[corner[1]], m_vertices[corner[2]]);
    }
    bool cancelled() const { return m_cancelled; }

private:
    std::vector<std::array<unsigned, 3>> m_corners;
    std::vector<Point3D> m_vertices;
    bool m_cancelled = false;
};

template<class Rows>
bool indexRows(Connection* connection, const std::vector<int>* ids, const Rows& rows, IProgress* progress)
{
    auto id = [&](size_t i) { return ids ? (*ids)[i] : static_cast<int>(i); };
    RTreePacker packer(rows.size());
    CancelLooks looks(progress);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (looks())
            return false;
        packer.add(id(i), TriangleRTreeControl::grownRect(rows[i]));
    }
    if (packer.write(connection, indexName(), progress, sqliteCheck))
        return true;
    if (isCancelled(progress))
        return false;
    return writeIndexRows(
        connection,
        BaseTableControl::getSqliteStmtByExecQuery(
            connection,
            std::string("insert into ") + TriangleRTreeControl::indexTable + " values(?,?,?,?,?);"),
        rows.size(),
        [&](size_t i) { return std::make_pair(id(i), TriangleRTreeControl::grownRect(rows[i])); }, progress);
}

template<class Rows>
bool triangleRows(Connection* connection, sqlite3_stmt* stmt, const std::vector<int>* ids, const Rows& rows,
                  IProgress* progress)
{
    if (!stmt) {
        dropError(connection);
        return false;
    }
    const double n = static_cast<double>(rows.size());
    CancelLooks looks(progress, CancelLooks::rowBatch, true);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (looks()) {
            sqlite3_finalize(stmt);
            return false;
        }
        bindTriangle(stmt, ids ? (*ids)[i] : static_cast<int>(i), rows[i]);
        bool ok = stepRow(stmt);
        if (progress)
            progress->report(static_cast<int>((i + 1) * 50.0 / n + 50));
        if (!ok) {
            dropError(connection);
            return false;
        }
    }
    return sqlite3_finalize(stmt) == SQLITE_OK;
}

} // namespace

bool TriangleRTreeControl::insertIndex(Connection* connection, const std::vector<int>& ids,
                                       const std::vector<Rect>& boxes, IProgress* progress)
{
    if (ids.size() != boxes.size())
        return false;
    RTreePacker packer(boxes.size());
    CancelLooks looks(progress);
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (looks())
            return false;
        packer.add(ids[i], boxes[i]);
    }
    if (packer.write(connection, indexName(), progress, sqliteCheck))
        return true;
    if (isCancelled(progress))
        return false;
    return writeIndexRows(
        connection, stmtForInsertIndex(connection), boxes.size(),
        [&](size_t i) { return std::make_pair(ids[i], boxes[i]); }, progress);
}

bool TriangleRTreeControl::insertIndex(Connection* connection, const std::vector<int>* ids,
                                       const std::vector<Triangle3D>& triangles, IProgress* progress)
{
    return indexRows(connection, ids, ListRows(triangles), progress);
}

bool TriangleRTreeControl::insertTriangle(Connection* connection, const std::vector<int>* ids,
                                          const std::vector<Triangle3D>& triangles, IProgress* progress)
{
    return triangleRows(connection, stmtForInsertTriangle(connection), ids, ListRows(triangles), progress);
}

bool TriangleRTreeControl::insertTriangles(Connection* connection, const std::vector<int>& ids,
                                           const std::vector<Triangle3D>& triangles)
{
    if (ids.size() != triangles.size())
        return false;
    return insertTriangle(connection, &ids, triangles, nullptr);
}

bool TriangleRTreeControl::insert(Connection* connection, const std::vector<int>& ids,
                                  const std::vector<Triangle3D>& triangles)
{
    if (ids.size() != triangles.size())
        return false;
    bool index = insertIndex(connection, &ids, triangles, nullptr);
    bool rows = insertTriangle(connection, &ids, triangles, nullptr);
    return index && rows;
}

bool TriangleRTreeControl::insert(Connection* connection, const std::vector<Triangle3D>& triangles,
                                  IProgress* progress)
{
    if (!progress)
        progress = NullProgress::instance();
    bool index = insertIndex(connection, nullptr, triangles, progress);
    if (isCancelled(progress))
        return false;
    bool rows = insertTriangle(connection, nullptr, triangles, progress);
    return index && rows;
}

bool TriangleRTreeControl::insert(Connection* connection,
                                  const Pelko::Corvex::Delaunay::DelaunayTriangulation& triangulation,
                                  IProgress* progress)
{
    if (!progress)
        progress = NullProgress::instance();
    const TriangulationRows rows(triangulation, progress);
    if (rows.cancelled())
        return false;
    bool index = indexRows(connection, nullptr, rows, progress);
    if (isCancelled(progress))
        return false;
    bool written = triangleRows(connection, stmtForInsertTriangle(connection), nullptr, rows, progress);
    return index && written;
}

bool TriangleRTreeControl::insertTriangle(Connection* connection, int id, const Triangle3D& triangle)
{
    sqlite3_stmt* stmt = stmtForInsertTriangle(connection);
    if (!stmt) {
        dropError(connection);
        return false;
    }
    bindTriangle(stmt, id, triangle);
    bool ok = sqlite3_step(stmt) == SQLITE_DONE;
    if (!ok)
        dropError(connection);
    return sqlite3_finalize(stmt) == SQLITE_OK && ok;
}

bool TriangleRTreeControl::insertIndex(Connection* connection, int id, const Triangle3D& triangle)
{
    sqlite3_stmt* stmt = stmtForInsertIndex(connection);
    if (!stmt) {
        dropError(connection);
        return false;
    }
    bindIndex(stmt, id, grownRect(triangle));
    bool ok = sqlite3_step(stmt) == SQLITE_DONE;
    if (!ok)
        dropError(connection);
    return sqlite3_finalize(stmt) == SQLITE_OK && ok;
}

std::vector<Triangle3D> TriangleRTreeControl::commonGetTriangle(Connection* connection,
                                                                const std::string& condition)
{
    std::vector<Triangle3D> result;
    sqlite3_stmt* stmt = BaseTableControl::getSqliteStmtByExecQuery(
        connection, std::string("select * from ") + triangleTable + condition);
    if (!stmt) {
        dropError(connection);
        return result;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW)
        result.push_back(readTriangle(stmt));
    sqlite3_finalize(stmt);
    return result;
}

std::vector<Rect> TriangleRTreeControl::commonGetRect(Connection* connection, const std::string& condition)
{
    std::vector<Rect> result;
    sqlite3_stmt* stmt = BaseTableControl::getSqliteStmtByExecQuery(
        connection, std::string("select * from ") + indexTable + condition);
    if (!stmt) {
        dropError(connection);
        return result;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW)
        result.emplace_back(sqlite3_column_double(stmt, 1), sqlite3_column_double(stmt, 3),
                            sqlite3_column_double(stmt, 2), sqlite3_column_double(stmt, 4));
    sqlite3_finalize(stmt);
    return result;
}

std::vector<Triangle3D> TriangleRTreeControl::commonGetTriangleWhere(Connection* connection,
                                                                     const std::string& condition,
                                                                     const std::vector<Point>& points)
{
    std::vector<Triangle3D> rows = commonGetTriangle(connection, condition);
    std::vector<Triangle3D> result;
    for (const Triangle3D& triangle : rows) {
        auto projection = triangle.xoyProjection();
        bool all = std::all_of(points.begin(), points.end(),
                               [&](const Point& p) { return projection.contain(p); });
        if (all)
            result.push_back(triangle);
    }
    return result;
}

std::vector<Triangle3D> TriangleRTreeControl::getAllTriangles(Connection* connection)
{
    return commonGetTriangle(connection, "");
}

std::pair<Triangle3D, bool> TriangleRTreeControl::getTriangle(Connection* connection, int id)
{
    std::vector<Triangle3D> rows = commonGetTriangle(connection, " where id = " + std::to_string(id));
    if (rows.empty())
        return { Triangle3D(), false };
    return { rows.front(), true };
}

std::pair<Rect, bool> TriangleRTreeControl::getRect(Connection* connection, int id)
{
    std::vector<Rect> rows = commonGetRect(connection, " where id = " + std::to_string(id));
    if (rows.empty())
        return { Rect(), false };
    return { rows.front(), true };
}

std::string TriangleRTreeControl::windowQuery(const Rect& window)
{
    return std::string("SELECT id FROM ") + indexTable + " WHERE maxX>=" + fixed4(window.getMinX())
        + " AND minX<=" + fixed4(window.getMaxX()) + " AND maxY>=" + fixed4(window.getMinY())
        + " AND minY<=" + fixed4(window.getMaxY());
}

std::vector<int> TriangleRTreeControl::getBelongedRect(Connection* connection, const Rect& window)
{
    std::vector<int> result;
    sqlite3_stmt* stmt = BaseTableControl::getSqliteStmtByExecQuery(connection, windowQuery(window));
    if (!stmt) {
        dropError(connection);
        return result;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW)
        result.push_back(sqlite3_column_int(stmt, 0));
    sqlite3_finalize(stmt);
    return result;
}

std::vector<int> TriangleRTreeControl::getBelongedRect(Connection* connection, const Point& point)
{
    return getBelongedRect(connection, Rect(point.getX(), point.getY(), point.getX(), point.getY()));
}

std::vector<Triangle3D> TriangleRTreeControl::getBelongedTriangles(Connection* connection, const Point& point)
{
    Rect window(point.getX(), point.getY(), point.getX(), point.getY());
    return commonGetTriangleWhere(connection, " where id in ( " + windowQuery(window) + " );", { point });
}

std::vector<Triangle3D> TriangleRTreeControl::getBelongedTriangles(Connection* connection, const Point& first,
                                                                   const Point& second)
{
    Rect a(first.getX(), first.getY(), first.getX(), first.getY());
    Rect b(second.getX(), second.getY(), second.getX(), second.getY());
    return commonGetTriangleWhere(connection,
                                  " where id in (" + windowQuery(a) + ") and id in (" + windowQuery(b) + ");",
                                  { first, second });
}

} // namespace IO
} // namespace Pelko
