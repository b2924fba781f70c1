#include <utility/connection.h>

#include <cerrno>

namespace Zemko {
namespace Utility {

namespace {

// Milliseconds a statement waits for a lock another connection holds.
constexpr int busyTimeout = 2000;

thread_local int systemError = 0;

// Notes the system's reason behind the connection's last error, where it has one.
void noteSystemError(sqlite3* db)
{
    const int code = sqlite3_extended_errcode(db) & 0xff;
    // SQLite reports a full disk as such, without the system's number.
    if (code == SQLITE_FULL)
        systemError = ENOSPC;
    else if ((code == SQLITE_IOERR || code == SQLITE_CANTOPEN) && sqlite3_system_errno(db) != 0)
        systemError = sqlite3_system_errno(db);
}

} // namespace

Connection* Connection::create(const std::string& path, bool createIfMissing)
{
    systemError = 0;
    if (path.empty() || path.find('\0') != std::string::npos)
        return nullptr;
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | (createIfMissing ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        // SQLite may hand out a handle even when the open failed; it still has to be closed.
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    // Another program reading the file (an indexer, a viewer) holds its lock for moments: wait for it
    // rather than fail at once.
    sqlite3_busy_timeout(db, busyTimeout);
    return new Connection(db);
}

void Connection::destory(Connection* connection)
{
    delete connection;
}

Connection::Connection(sqlite3* db)
    : m_db(db)
{
}

Connection::~Connection()
{
    // Statements left unfinalized by a caller would keep sqlite3_close from closing the file.
    sqlite3_close_v2(m_db);
}

bool Connection::exec(const char* sql)
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    noteSystemError(m_db);
    return false;
}

bool Connection::beginTransactionWithExclusive()
{
    return exec("BEGIN EXCLUSIVE TRANSACTION;");
}

bool Connection::commit()
{
    return exec("COMMIT TRANSACTION;");
}

bool Connection::rollback()
{
    return exec("ROLLBACK TRANSACTION;");
}

std::string Connection::getLastError() const
{
    noteSystemError(m_db);
    return sqlite3_errmsg(m_db);
}

int Connection::lastSystemError()
{
    return systemError;
}

sqlite3* Connection::handle() const
{
    return m_db;
}

} // namespace Utility
} // namespace Zemko
