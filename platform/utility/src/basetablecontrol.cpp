#include <utility/basetablecontrol.h>

namespace Zemko {
namespace Utility {

bool BaseTableControl::exec(Connection* connection, const std::string& sql)
{
    sqlite3_stmt* stmt = getSqliteStmtByExecQuery(connection, sql);
    if (!stmt)
        return false;
    int rc = sqlite3_step(stmt);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(stmt);
    return sqlite3_finalize(stmt) == SQLITE_OK && rc == SQLITE_DONE;
}

bool BaseTableControl::createTable(const std::string& definition, Connection* connection)
{
    if (definition.empty())
        return false;
    return exec(connection, "CREATE TABLE IF NOT EXISTS " + definition + ";");
}

bool BaseTableControl::createRTree(const std::string& name, Connection* connection)
{
    if (name.empty())
        return false;
    return exec(connection,
                "CREATE VIRTUAL TABLE IF NOT EXISTS " + name + " USING rtree(id, minX, maxX, minY, maxY);");
}

bool BaseTableControl::baseRemoveRecord(const std::string& table, const std::string& condition,
                                        Connection* connection)
{
    if (table.empty())
        return false;
    std::string sql = "DELETE FROM " + table;
    if (!condition.empty())
        sql += " WHERE " + condition;
    return exec(connection, sql + ";");
}

sqlite3_stmt* BaseTableControl::getSqliteStmtByExecQuery(Connection* connection, const std::string& sql)
{
    if (!connection || !connection->handle())
        return nullptr;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(connection->handle(), sql.c_str(), static_cast<int>(sql.size() + 1), &stmt,
                                &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    // Blank text prepares to no statement at all; callers treat that as a failure.
    return stmt;
}

} // namespace Utility
} // namespace Zemko
