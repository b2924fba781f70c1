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
// waiting for one long sync. False when cancelled.
bool writeAhead(Zemko::Utility::Connection* connection, IProgress* progress);

} // namespace IO
} // namespace Pelko
