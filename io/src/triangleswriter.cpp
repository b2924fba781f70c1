#include "cancellooks.h"
#include "facemesh.h"
#include "progressband.h"
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

#include <atomic>
#include <cctype>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>

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

// Shares of a write's progress: the rows and their index up to rowsDone, the border up to borderDone, then
// the border's rows, the sync and the commit; 100 once committed.
constexpr int rowsDone = 60;
constexpr int borderDone = 95;

// The caller's progress, never falling back, while rows and border are worked on side by side.
class Shares
{
public:
    explicit Shares(IProgress* progress)
        : m_progress(progress)
    {
    }
    // Each 0 to 100 of its own work.
    void report(int rows, int border)
    {
        const int percent = (rowsDone * rows + (borderDone - rowsDone) * border) / 100;
        if (m_progress && percent > m_last)
            m_progress->report(m_last = percent);
    }

private:
    IProgress* m_progress;
    int m_last = 0;
};

// Works out the border of triangles held in memory on a thread of its own while the rows are written:
// SQLite writes on one thread, and the border of a list in memory asks no connection. The thread only
// hears of a cancel and reports its percent through atomics; every call of the caller's progress stays on
// the writing thread.
class BorderBeside
{
public:
    template<class Work>
    explicit BorderBeside(Work work)
        : m_relay(*this)
    {
        try {
            m_thread = std::thread([this, work] {
                try {
                    m_border = work(&m_relay);
                } catch (...) {
                    m_error = std::current_exception();
                }
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_finished = true;
                }
                m_wake.notify_all();
            });
        } catch (const std::system_error&) {
            // No thread to be had: the caller works the border out itself.
        }
    }
    // Stops the thread and waits for it on every way out.
    ~BorderBeside()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    BorderBeside(const BorderBeside&) = delete;
    BorderBeside& operator=(const BorderBeside&) = delete;

    // The writing thread's view of the rows' progress: a cancel it hears stops the border too.
    class Rows final : public IProgress
    {
    public:
        Rows(BorderBeside& border, IProgress* progress, Shares& shares)
            : m_border(border)
            , m_progress(progress)
            , m_shares(shares)
        {
        }
        void report(int percent) override
        {
            m_percent = percent;
            m_shares.report(percent, m_border.m_percent);
        }
        bool isCancelled() const override
        {
            if (!IO::isCancelled(m_progress))
                return false;
            m_border.m_stop = true;
            return true;
        }
        int percent() const { return m_percent; }

    private:
        BorderBeside& m_border;
        IProgress* m_progress;
        Shares& m_shares;
        int m_percent = 0;
    };

    bool started() const { return m_thread.joinable(); }

    // Waits for the border of a thread that started, asking progress about a cancel and reporting the
    // shares meanwhile; rethrows what the thread threw.
    Pelko::Corvex::Polygon take(IProgress* progress, Shares& shares, int rowsPercent)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_finished) {
            m_wake.wait_for(lock, std::chrono::milliseconds(10));
            if (m_stop || isCancelled(progress))
                m_stop = true;
            else
                shares.report(rowsPercent, m_percent);
        }
        lock.unlock();
        m_thread.join();
        if (m_error)
            std::rethrow_exception(m_error);
        return std::move(m_border);
    }

private:
    class Relay final : public IProgress
    {
    public:
        explicit Relay(BorderBeside& border)
            : m_border(border)
        {
        }
        void report(int percent) override
        {
            if (percent > m_border.m_percent)
                m_border.m_percent = percent;
        }
        bool isCancelled() const override { return m_border.m_stop; }

    private:
        BorderBeside& m_border;
    };

    Relay m_relay;
    std::atomic<int> m_percent { 0 };
    std::atomic<bool> m_stop { false };
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_finished = false;
    Pelko::Corvex::Polygon m_border;
    std::exception_ptr m_error;
    std::thread m_thread;
};

// Writes the rows through insert(connection, progress), then the border that border(connection, progress)
// finds, in one transaction. With beside, the border is worked out on a thread of its own while the rows are
// written; border is then never given the connection. outOfMemory(), asked once the border is there, says
// that it ran out of memory: nothing is committed then.
template<class Insert, class Border, class OutOfMemory>
bool writeModel(const std::string& databasePath, IProgress* progress, Insert insert, Border border,
                bool beside, OutOfMemory outOfMemory)
{
    // Only reports above the last go on: the phases' bands meet at their ends.
    ProgressBand rising(progress, 0, 100);
    if (progress)
        progress = &rising;
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
    Shares shares(progress);
    Pelko::Corvex::Polygon outline;
    if (beside) {
        BorderBeside work([&border](IProgress* relay) { return border(nullptr, relay); });
        BorderBeside::Rows rows(work, progress, shares);
        if (!insert(connection, &rows))
            return session.fail();
        // The border and the commit take a while on a large model: a cancel before them leaves nothing.
        if (rows.isCancelled())
            return false;
        if (work.started()) {
            outline = work.take(progress, shares, rows.percent());
        } else {
            ProgressBand band(progress, rowsDone, borderDone);
            outline = border(nullptr, &band);
        }
    } else {
        ProgressBand rows(progress, 0, rowsDone);
        if (!insert(connection, &rows))
            return session.fail();
        if (isCancelled(progress))
            return false;
        ProgressBand band(progress, rowsDone, borderDone);
        outline = border(connection, &band);
    }
    if (isCancelled(progress) || outOfMemory())
        return false;
    ProgressBand rest(progress, borderDone, 99);
    rest.begin();
    bool created = BorderControl::createTable(connection);
    bool cleared = BorderControl::removeRecords(connection);
    bool inserted = BorderControl::insertPolygon(connection, outline, progress);
    // A border that failed still keeps the triangles; one cancelled keeps nothing.
    if (!inserted && isCancelled(progress))
        return false;
    rest.report(50);
    if (!writeAhead(connection, progress))
        return false;
    rest.end();
    bool committed = session.commit();
    const bool written = created && cleared && inserted && committed;
    if (written && progress)
        progress->report(100);
    return written;
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

// Shares of a drawing's conversion: its lines read (and the rows written on the way) up to linesDone, then
// the rest of the write.
constexpr int linesDone = 60;

// The drawing's lines read, reported as the reader asks whether the work is cancelled, which it does line
// by line.
class LinesRead final : public IProgress
{
public:
    LinesRead(const MemoryFile& dxf, IProgress* progress)
        : m_dxf(dxf)
        , m_band(progress, 0, linesDone)
    {
    }
    void report(int) override { }
    bool isCancelled() const override
    {
        // A last line without a line feed takes the memory file's count past 100.
        m_band.report(m_dxf.progress());
        return m_band.isCancelled();
    }

private:
    const MemoryFile& m_dxf;
    mutable ProgressBand m_band;
};

} // namespace

bool TrianglesWriter::write(const std::vector<Triangle3D>& triangles, const std::string& databasePath,
                            IProgress* progress)
try {
    BorderCoverage coverage;
    return writeModel(
        databasePath, progress,
        [&](Connection* connection, IProgress* rows) {
            return TriangleRTreeControl::insert(connection, triangles, rows);
        },
        [&](Connection* connection, IProgress* band) {
            return BorderExtractor::extract(triangles, connection, band, &coverage);
        },
        triangles.size() <= mostJoinedTriangles, [&] { return coverage.outOfMemory; });
} catch (const std::bad_alloc&) {
    // Nothing was committed: the session rolled back on the way out.
    return false;
}

bool TrianglesWriter::write(const Pelko::Corvex::Delaunay& delaunay, const std::string& databasePath,
                            IProgress* progress)
{
    // Straight from the triangulation's index arrays: the list of getAllTriangles() would be a copy of
    // every corner, several hundred megabytes for a large model.
    // The border too comes from the triangulation, the same as the rows just written give.
    return writeModel(
        databasePath, progress,
        [&](Connection* connection, IProgress* rows) {
            return TriangleRTreeControl::insert(connection, *delaunay.getDelaunayTriangulation(), rows);
        },
        [&](Connection*, IProgress* band) { return BorderExtractor::extract(delaunay, band); }, false,
        [] { return false; });
}

namespace {

DxfConversion convertInto(MemoryFile& dxf, const std::string& databasePath, IProgress* progress)
{
    DxfConversion result;
    if (!dxf.good())
        return result;
    TriangleDxfAdapter adapter(databasePath);
    if (!adapter.isWritable()) {
        result.outcome = DxfConversion::WriteFailed;
        return result;
    }
    LinesRead lines(dxf, progress);
    const DxfReadResult read = adapter.read(dxf, &lines);
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
    ProgressBand rest(progress, linesDone, 100);
    rest.begin();
    const BorderCoverage& coverage = adapter.borderCoverage();
    if (!adapter.finish(&rest))
        result.outcome = isCancelled(progress) ? DxfConversion::Cancelled
            : coverage.outOfMemory             ? DxfConversion::OutOfMemory
                                               : DxfConversion::WriteFailed;
    result.parts = coverage.parts;
    result.borderShare = coverage.enclosedShare;
    result.overlapping = coverage.overlapping;
    result.borderEnclosesPart = coverage.enclosesPart;
    result.borderHull = coverage.hull;
    return result;
}

} // namespace

DxfConversion TrianglesWriter::convertDrawing(MemoryFile& dxf, const std::string& databasePath,
                                              IProgress* progress)
{
    try {
        return convertInto(dxf, databasePath, progress);
    } catch (const std::bad_alloc&) {
        // The adapter rolled back and closed the database on the way out.
        DxfConversion result;
        result.outcome = DxfConversion::OutOfMemory;
        return result;
    }
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
