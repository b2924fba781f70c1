#include "writeahead.h"

#include "cancellooks.h"

#include <io/iprogress.h>

#include <utility/connection.h>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Pelko {
namespace IO {

namespace {

// Written and waited for between two looks at the cancel flag: milliseconds, tens on a busy disk.
constexpr off_t piece = 1 << 20;
// Databases from this size on are written out ahead.
constexpr off_t smallest = 4 << 20;

} // namespace

WriteAhead::~WriteAhead()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool WriteAhead::operator()(Zemko::Utility::Connection* connection, IProgress* progress)
{
    if (!connection || !connection->handle() || m_fd >= 0)
        return true;
    sqlite3* db = connection->handle();
    const char* name = sqlite3_db_filename(db, "main");
    const int fd = name && *name ? ::open(name, O_RDONLY | O_CLOEXEC) : -1;
    if (fd < 0)
        return true;
    m_fd = fd;
    struct stat file;
    bool cancelled = false;
    // A small database is synced by the commit in moments; a sync more would only cost its own wait.
    if (::fstat(fd, &file) == 0 && file.st_size >= smallest) {
        // A failure here only leaves the work to the commit.
        sqlite3_db_cacheflush(db);
        if (::fstat(fd, &file) != 0)
            file.st_size = 0;
        for (off_t at = 0; at < file.st_size && !cancelled; at += piece) {
#ifdef __linux__
            if (::sync_file_range(fd, at, piece,
                                  SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE
                                      | SYNC_FILE_RANGE_WAIT_AFTER)
                != 0)
                break;
#endif
            cancelled = isCancelled(progress);
        }
        // What is left for the sync is the file's own bookkeeping; done here, the commit's syncs find it
        // done.
        if (!cancelled)
            ::fdatasync(fd);
    }
    return !cancelled;
}

} // namespace IO
} // namespace Pelko
