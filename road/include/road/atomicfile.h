#pragma once

#include <road/road_global.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Pelko {
namespace Road {

// Why a save did not go through, or what the user must know about one that did.
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
    // The file was written and renamed into place, but its folder could not be opened to be synced
    // (the user may write it but not read it). Saving again cannot change that, so the save counts
    // as done.
    FolderNotReadable,
    // The file was written, but the old file's access ACL or extended attributes could not all be
    // carried over to it; the new file then allows no one but its owner, and only what the owner had.
    AttributesNotKept,
};

// Whether the new file is in place, though perhaps with a warning.
inline bool isWritten(SaveError error)
{
    return error == SaveError::None || error == SaveError::FolderNotSynced
        || error == SaveError::FolderNotReadable || error == SaveError::AttributesNotKept;
}

// Whether a save counts as done: the file is in place and saving again would change nothing. The
// user is still to be told of anything but None.
inline bool isSaved(SaveError error)
{
    return isWritten(error) && error != SaveError::FolderNotSynced;
}

// Replaces a file whole. Writes go to a temporary file beside the target (beside the file a symbolic
// link leads to, keeping the link), which commit renames over it, so a failed or cancelled write
// leaves the old file as it was, and a write to a new path leaves nothing there. The new file keeps
// the old one's mode, access ACL and user extended attributes and, where the system allows, its owner
// and group; where the group cannot be kept its bits are cleared, and where the attributes cannot be
// carried over the file allows its owner alone. All this is settled before the first byte is written
// (again at commit for a file that came to the path meanwhile). Hard links to the old file keep the
// old content.
//
// The temporary file is named after the target, ".~", the process id and a number, and its save holds
// a lock on it until commit or cancel. Opening removes what saves of the target that ended mid-way
// (killed, say) left beside it: temporary files whose lock can be taken, so that a save running in
// another process, container or machine keeps its file, and the companions of such files. Only a name
// holding the target's whole name counts: one cut to the file system's limit may belong to another
// target or to no save at all, and stays. The target
// is never one of them, whatever its name, and the files of this process's own saves are not even
// opened, since closing a descriptor drops the process's record locks on the file.
class ROAD_EXPORT AtomicFile
{
public:
    // companions: the suffixes a writer of the temporary file adds to its name for files of its own
    // beside it (a database's "-journal", say). The temporary name leaves room for the longest, and
    // such files go with their temporary file.
    explicit AtomicFile(const std::string& path, std::vector<std::string> companions = {});
    // Cancels a write that was not committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; refuses a path that holds anything but a regular file, and a file
    // the user may not write.
    SaveError open();
    // The temporary file from a successful open until commit or cancel, else empty. A writer that opens
    // files by name (a database) may write it there instead of through write().
    const std::string& temporaryPath() const;
    // False once any write has failed; commit then fails too.
    bool write(const char* data, std::size_t size);
    // Syncs the data, renames it over the target and syncs the folder. A failure before the rename
    // removes the temporary file; every error for which isWritten holds keeps the new file. stopped,
    // where given, is asked once the data is synced, just before the rename: true cancels the write,
    // which then fails with ECANCELED.
    SaveError commit(const std::function<bool()>& stopped = {});
    // Removes the temporary file; the target stays as it was.
    void cancel();

    // The system's error number (errno) behind the last error that open, write or commit gave; 0 where
    // there is none (a success, or a refusal of what is at the path).
    int systemError() const;

    // The file a save of path replaces or creates: path with every symbolic link followed, also to a
    // file that is not there. Empty for a loop of links and for an empty path. What a writer keeps
    // beside a file (a database's journal) lies beside this one.
    static std::string resolve(const std::string& path);

private:
    // Closes the temporary file, which ends its lock, and forgets it.
    void release();

    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace Road
} // namespace Pelko
