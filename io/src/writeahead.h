#pragma once

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

class IProgress;

// Before a large commit: moves the open transaction's pages from SQLite's cache into the database file and
// has the system write the file out to the disk, a megabyte at a time, asking progress between them
// whether the work is cancelled; a file of a few megabytes is left to the commit. The commit's own syncs
// stay as they are; they then find little left to write, so a cancel is heard throughout instead of
// waiting for one long sync.
//
// The file is written out through a descriptor of its own, which stays open until the object goes:
// closing any descriptor of the file drops every record lock the process holds on it, SQLite's
// transaction lock among them, and another reader would then take the transaction's journal for that of
// a crashed write and roll it back. Declare it before the connection, so that it outlives it.
class WriteAhead
{
public:
    WriteAhead() = default;
    ~WriteAhead();
    WriteAhead(const WriteAhead&) = delete;
    WriteAhead& operator=(const WriteAhead&) = delete;

    // False when cancelled.
    bool operator()(Zemko::Utility::Connection* connection, IProgress* progress);

private:
    int m_fd = -1;
};

} // namespace IO
} // namespace Pelko
