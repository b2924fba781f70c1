#pragma once

#include <utility/utility_global.h>

#include <sqlite3.h>

#include <string>

namespace Zemko {
namespace Utility {

// An open SQLite database. Created and closed only through the static pair create/destory, so that a
// failed open never hands out a half-usable object.
class UTILITY_EXPORT Connection
{
public:
    // Opens the database at path (a byte string handed to SQLite unchanged); with createIfMissing a
    // missing file is created. Returns null when the file cannot be opened or created.
    static Connection* create(const std::string& path, bool createIfMissing);
    // Closes and frees the connection; a null connection is ignored.
    static void destory(Connection* connection);

    bool beginTransactionWithExclusive();
    bool commit();
    bool rollback();
    // Also notes the system's reason behind the error, for lastSystemError.
    std::string getLastError() const;
    sqlite3* handle() const;

    // The system's error number (errno) behind the last read or write of a database that failed on this
    // thread since the last create(), as noted by a failed statement of exec or by getLastError: ENOSPC
    // for a full disk. 0 where none is known.
    static int lastSystemError();

    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

private:
    explicit Connection(sqlite3* db);
    ~Connection();

    bool exec(const char* sql);

    sqlite3* m_db = nullptr;
};

} // namespace Utility
} // namespace Zemko
