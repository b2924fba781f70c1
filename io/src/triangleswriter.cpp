#include "cancellooks.h"
#include "writeahead.h"

#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/dxfmemoryreader.h>
#include <io/iprogress.h>
#include <io/memoryfile.h>
#include <io/triangledxfadapter.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <utility/connection.h>

#include <sqlite3.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

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

// Writes the rows through insert(connection), then the border that border(connection) finds, in one
// transaction.
template<class Insert, class Border>
bool writeModel(const std::string& databasePath, IProgress* progress, Insert insert, Border border)
{
    WriteAhead writeAhead;
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
    if (!insert(connection))
        return session.fail();
    // The border and the commit take a while on a large model: a cancel before them leaves nothing.
    if (isCancelled(progress))
        return false;

    const Pelko::Corvex::Polygon outline = border(connection);
    if (isCancelled(progress))
        return false;
    bool created = BorderControl::createTable(connection);
    bool cleared = BorderControl::removeRecords(connection);
    bool inserted = BorderControl::insertPolygon(connection, outline, progress);
    // A border that failed still keeps the triangles; one cancelled keeps nothing.
    if (!inserted && isCancelled(progress))
        return false;
    if (!writeAhead(connection, progress))
        return false;
    bool committed = session.commit();
    return created && cleared && inserted && committed;
}

// A table name as the statements spell it, without their trailing blank.
std::string tableName(const char* spelt)
{
    std::string name(spelt);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

bool isReadable(DxfReadResult result)
{
    return result == DxfReadResult::Read || result == DxfReadResult::NotADrawing;
}

} // namespace

bool TrianglesWriter::write(const std::vector<Triangle3D>& triangles, const std::string& databasePath,
                            IProgress* progress)
{
    return writeModel(
        databasePath, progress,
        [&](Connection* connection) { return TriangleRTreeControl::insert(connection, triangles, progress); },
        [&](Connection* connection) { return BorderExtractor::extract(triangles, connection, progress); });
}

bool TrianglesWriter::write(const Pelko::Corvex::Delaunay& delaunay, const std::string& databasePath,
                            IProgress* progress)
{
    // Straight from the triangulation's index arrays: the list of getAllTriangles() would be a copy of
    // every corner, several hundred megabytes for a large model.
    // The border too comes from the triangulation, the same as the rows just written give.
    return writeModel(
        databasePath, progress,
        [&](Connection* connection) {
            return TriangleRTreeControl::insert(connection, *delaunay.getDelaunayTriangulation(), progress);
        },
        [&](Connection*) { return BorderExtractor::extract(delaunay, progress); });
}

DxfConversion TrianglesWriter::convertDrawing(MemoryFile& dxf, const std::string& databasePath,
                                              IProgress* progress)
{
    DxfConversion result;
    if (!dxf.good())
        return result;
    TriangleDxfAdapter adapter(databasePath);
    if (!adapter.isWritable()) {
        result.outcome = DxfConversion::WriteFailed;
        return result;
    }
    const DxfReadResult read = adapter.read(dxf, progress);
    result.faces = adapter.faces();
    result.facesWithoutArea = adapter.facesWithoutArea();
    result.skippedFaces = adapter.skippedFaces();
    result.firstSkippedLine = adapter.firstSkippedLine();
    switch (read) {
    case DxfReadResult::Read:
        result.outcome = DxfConversion::Converted;
        break;
    case DxfReadResult::NotADrawing:
        result.outcome = DxfConversion::NotADrawing;
        break;
    case DxfReadResult::Binary:
        result.outcome = DxfConversion::BinaryDrawing;
        return result;
    case DxfReadResult::Unreadable:
        result.outcome = DxfConversion::Unreadable;
        return result;
    case DxfReadResult::Cancelled:
        result.outcome = DxfConversion::Cancelled;
        return result;
    }
    if (!adapter.finish(progress))
        result.outcome = isCancelled(progress) ? DxfConversion::Cancelled : DxfConversion::WriteFailed;
    const BorderCoverage& coverage = adapter.borderCoverage();
    result.parts = coverage.parts;
    result.borderShare = coverage.enclosedShare;
    result.overlapping = coverage.overlapping;
    result.borderEnclosesPart = coverage.enclosesPart;
    return result;
}

bool TrianglesWriter::convert(MemoryFile& dxf, const std::string& databasePath)
{
    const DxfConversion result = convertDrawing(dxf, databasePath, nullptr);
    return result.outcome == DxfConversion::Converted || result.outcome == DxfConversion::NotADrawing;
}

bool TrianglesWriter::convert(const std::string& dxfPath, const std::string& databasePath)
{
    TriangleDxfAdapter adapter(databasePath);
    if (!isReadable(adapter.read(dxfPath, nullptr)))
        return false;
    return adapter.finish();
}

bool TrianglesWriter::fitsDatabasePath(const std::string& path, std::size_t* longest)
{
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (!vfs || vfs->mxPathname <= 0)
        return true;
    // SQLite refuses to open a database whose journal's name would pass its limit.
    const std::size_t limit = static_cast<std::size_t>(vfs->mxPathname) - std::strlen("-journal");
    if (longest)
        *longest = limit;
    std::string full(static_cast<std::size_t>(vfs->mxPathname) + 1, '\0');
    const int made = vfs->xFullPathname(vfs, path.c_str(), vfs->mxPathname + 1, &full[0]);
    if (made == SQLITE_OK || made == SQLITE_OK_SYMLINK)
        return std::strlen(full.c_str()) <= limit;
    // Too long to be made at all, or a folder that cannot be looked into, which the open reports in its
    // own way.
    std::size_t absolute = path.size();
    if (path.empty() || path[0] != '/') {
        char folder[PATH_MAX];
        absolute += ::getcwd(folder, sizeof folder) ? std::strlen(folder) + 1 : 0;
    }
    return absolute <= limit;
}

bool TrianglesWriter::isTinDatabase(const std::string& path, bool* hotJournal, bool* inUse)
{
    if (hotJournal)
        *hotJournal = false;
    if (inUse)
        *inUse = false;
    static const char header[] = "SQLite format 3";
    // The database header: its bytes 18 and 19 are 2 in write-ahead-log mode.
    unsigned char start[100] = {};
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(start), sizeof start)
        || std::memcmp(start, header, sizeof header) != 0)
        return false;
    file.close();
    // A look changes nothing. In write-ahead-log mode, and wherever SQLite finds a log (anything at its
    // name but an empty regular file), it would create the log's index (and the log) beside the file,
    // owned by whoever looks, which a read-only connection cannot remove: such a file is read as it is,
    // without locks or files beside it. A log with anything in it is for the caller to refuse first.
    struct stat log;
    const bool immutable = start[18] == 2 || start[19] == 2
        || (::stat((path + "-wal").c_str(), &log) == 0 && (!S_ISREG(log.st_mode) || log.st_size > 0));
    // An absolute path goes after an empty authority, so that one starting "//" is no host's.
    std::string uri = path.compare(0, 1, "/") == 0 ? "file://" : "file:";
    for (const char c : path) {
        if (std::isalnum(static_cast<unsigned char>(c)) || std::strchr("/-._~", c)) {
            uri += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        }
    }
    if (immutable)
        uri += "?immutable=1";

    sqlite3* db = nullptr;
    bool tin = false;
    if (sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        // A program writing the TIN just then holds its lock for moments.
        sqlite3_busy_timeout(db, 2000);
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN (?, ?);",
                               -1, &stmt, nullptr)
            == SQLITE_OK) {
            const std::string triangles = tableName(TriangleRTreeControl::triangleTable);
            const std::string index = tableName(TriangleRTreeControl::indexTable);
            sqlite3_bind_text(stmt, 1, triangles.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 2, index.c_str(), -1, SQLITE_TRANSIENT);
            tin = sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int(stmt, 0) == 2;
        }
        const int error = sqlite3_extended_errcode(db);
        if (hotJournal)
            *hotJournal = error == SQLITE_READONLY_ROLLBACK;
        if (inUse)
            *inUse = !tin && (error & 0xff) == SQLITE_BUSY;
        sqlite3_finalize(stmt);
    }
    // SQLite may hand out a handle even when the open failed; it still has to be closed.
    sqlite3_close(db);
    return tin;
}

} // namespace IO
} // namespace Pelko
