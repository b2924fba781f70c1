#include "cancellooks.h"

#include <io/bordercontrol.h>

#include <utility/basetablecontrol.h>
#include <utility/connection.h>

#include <string>

using Pelko::Corvex::Point;
using Pelko::Corvex::Polygon;
using Zemko::Utility::BaseTableControl;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

const char* const BorderControl::borderTable = "border ";

bool BorderControl::createTable(Connection* connection)
{
    return BaseTableControl::createTable(
        std::string(borderTable) + " (id INTEGER PRIMARY KEY,X double,Y double)", connection);
}

bool BorderControl::removeRecords(Connection* connection)
{
    return BaseTableControl::baseRemoveRecord(borderTable, "", connection);
}

bool BorderControl::insertPolygon(Connection* connection, const Polygon& polygon)
{
    return insertPolygon(connection, polygon, nullptr);
}

bool BorderControl::insertPolygon(Connection* connection, const Polygon& polygon, IProgress* progress)
{
    sqlite3_stmt* stmt = BaseTableControl::getSqliteStmtByExecQuery(
        connection, std::string("insert into ") + borderTable + " values(?,?,?);");
    if (!stmt) {
        if (connection)
            (void)connection->getLastError();
        return false;
    }
    // A border of millions of points takes a second to write.
    CancelLooks looks(progress, CancelLooks::rowBatch, true);
    for (unsigned i = 0; i < polygon.getPointCount(); ++i) {
        if (looks()) {
            sqlite3_finalize(stmt);
            return false;
        }
        const Point& p = polygon.getPoint(i);
        sqlite3_bind_int(stmt, 1, static_cast<int>(i));
        sqlite3_bind_double(stmt, 2, p.getX());
        sqlite3_bind_double(stmt, 3, p.getY());
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            (void)connection->getLastError();
            sqlite3_finalize(stmt);
            return false;
        }
        sqlite3_reset(stmt);
    }
    return sqlite3_finalize(stmt) == SQLITE_OK;
}

Polygon BorderControl::getPolygon(Connection* connection)
{
    Polygon polygon;
    sqlite3_stmt* stmt = BaseTableControl::getSqliteStmtByExecQuery(
        connection, std::string("SELECT * FROM ") + borderTable + " order by id;");
    if (!stmt) {
        if (connection)
            (void)connection->getLastError();
        return polygon;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW)
        polygon.appendPoint(Point(sqlite3_column_double(stmt, 1), sqlite3_column_double(stmt, 2)));
    sqlite3_finalize(stmt);
    return polygon;
}

} // namespace IO
} // namespace Pelko
