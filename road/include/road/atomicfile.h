#pragma once

#include <road/road_global.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Pelko {
namespace Road {

// Why a save did not go through.
enum class SaveError : std::int32_t {
    None = 0,
    // The file, or the temporary file beside it, could not be created, written or renamed.
    WriteFailed,
    // Something other than a regular file (a folder, FIFO, socket or device) is at the path; it is
    // left as it was.
    NotRegularFile,
    // The file at the path is XML whose root is not "Road"; it is left as it was.
    NotRoadFile,
    // The file was written and renamed into place, but its folder could not be synced: a crash now
    // may still lose the new file.
    FolderNotSynced,
};

// Replaces a file whole. Writes go to a temporary file beside the target (beside the file a symbolic
// link leads to, keeping the link), which commit renames over it, so a failed or cancelled write
// leaves the old file as it was. The new file keeps the old one's mode and, where the system allows,
// its owner and group; it is never readable by more users than the old one while it is written.
// Hard links to the old file keep the old content.
class ROAD_EXPORT AtomicFile
{
public:
    explicit AtomicFile(const std::string& path);
    // Cancels a write that was not committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; refuses a path that holds anything but a regular file, and a file
    // the user may not write.
    SaveError open();
    // False once any write has failed; commit then fails too.
    bool write(const char* data, std::size_t size);
    // Syncs the data, renames it over the target and syncs the folder. A failure before the rename
    // removes the temporary file; FolderNotSynced keeps the new file.
    SaveError commit();
    // Removes the temporary file; the target stays as it was.
    void cancel();

private:
    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace Road
} // namespace Pelko
