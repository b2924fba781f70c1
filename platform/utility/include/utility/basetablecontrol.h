#pragma once

#include <utility/connection.h>
#include <utility/utility_global.h>

#include <sqlite3.h>

#include <string>

namespace Zemko {
namespace Utility {

// Table helpers over a caller-owned connection. Every operation refuses a null connection.
class UTILITY_EXPORT BaseTableControl
{
public:
    // definition: the table name followed by its column list, e.g. "t (id INTEGER PRIMARY KEY,v double)".
    static bool createTable(const std::string& definition, Connection* connection);
    // An R*Tree table with the columns id, minX, maxX, minY, maxY.
    static bool createRTree(const std::string& name, Connection* connection);
    // condition: an SQL expression without WHERE; empty deletes every row.
    static bool baseRemoveRecord(const std::string& table, const std::string& condition,
                                 Connection* connection);
    // A prepared statement the caller finalizes, or null when it cannot be prepared.
    static sqlite3_stmt* getSqliteStmtByExecQuery(Connection* connection, const std::string& sql);

private:
    static bool exec(Connection* connection, const std::string& sql);
};

} // namespace Utility
} // namespace Zemko
