#include <road/atomicfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>

namespace Pelko {
namespace Road {

struct AtomicFile::Data
{
    std::string path;
    std::string target;
    std::string temporary;
    int fd = -1;
    bool failed = false;
};

namespace {

// The file a path names after following symbolic links, also to a file not there yet, so that a save
// replaces that file and keeps the link. Empty for a loop of links.
std::string resolvedTarget(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        char buffer[PATH_MAX];
        const ssize_t size = ::readlink(current.c_str(), buffer, sizeof buffer);
        if (size <= 0 || static_cast<size_t>(size) >= sizeof buffer)
            return std::string();
        std::string target(buffer, static_cast<size_t>(size));
        if (target[0] != '/') {
            const size_t slash = current.rfind('/');
            if (slash != std::string::npos)
                target.insert(0, current, 0, slash + 1);
        }
        current = std::move(target);
    }
    return std::string();
}

// Where the file's own name begins in its path.
size_t nameStart(const std::string& file)
{
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string folderOf(const std::string& file)
{
    const size_t start = nameStart(file);
    return start == 0 ? std::string(".") : start == 1 ? std::string("/") : file.substr(0, start - 1);
}

// The target's path with the suffix added to its name, the name cut short (never inside a UTF-8
// character) where the whole would pass the file system's limit on names.
std::string withSuffix(const std::string& target, const std::string& suffix, size_t limit)
{
    const size_t start = nameStart(target);
    size_t keep = target.size() - start;
    if (keep + suffix.size() > limit) {
        keep = limit > suffix.size() ? limit - suffix.size() : 0;
        while (keep > 0 && (static_cast<unsigned char>(target[start + keep]) & 0xC0) == 0x80)
            --keep;
    }
    return target.substr(0, start + keep) + suffix;
}

// A temporary file of its own beside the target, so that the rename stays within one file system and
// saves running at once never write into each other's file.
int createTemporary(const std::string& target, mode_t mode, std::string& name)
{
    static std::atomic<unsigned> counter { 0 };
    const long limit = ::pathconf(folderOf(target).c_str(), _PC_NAME_MAX);
    const std::string stem = ".~" + std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = withSuffix(target, stem + std::to_string(counter.fetch_add(1)),
                          limit > 0 ? static_cast<size_t>(limit) : NAME_MAX);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The old file's owner and group where the system allows; an ordinary user can still keep a group
// they belong to. A refusal leaves the saving user's.
void keepOwner(int fd, const struct stat& old)
{
    struct stat now;
    if (::fstat(fd, &now) != 0 || (now.st_uid == old.st_uid && now.st_gid == old.st_gid))
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && now.st_gid != old.st_gid) {
        const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        static_cast<void>(groupOnly);
    }
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// A file system that cannot sync folders at all says so with EINVAL; nothing is lost there.
bool syncFolder(const std::string& file)
{
    const int fd = ::open(folderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    return ::close(fd) == 0 && synced;
}

} // namespace

AtomicFile::AtomicFile(const std::string& path)
    : d(new Data)
{
    d->path = path;
}

AtomicFile::~AtomicFile()
{
    cancel();
}

SaveError AtomicFile::open()
{
    cancel();
    d->failed = false;
    d->target = d->path.empty() ? std::string() : resolvedTarget(d->path);
    if (d->target.empty())
        return SaveError::WriteFailed;
    struct stat old;
    const bool replacing = ::stat(d->target.c_str(), &old) == 0;
    // A rename would put a regular file in place of a device, FIFO or socket.
    if (replacing && !S_ISREG(old.st_mode))
        return SaveError::NotRegularFile;
    // Renaming needs only the folder to be writable: a file the user may not write stays as it is.
    if (replacing && ::access(d->target.c_str(), W_OK) != 0)
        return SaveError::WriteFailed;
    // A replacement starts private and takes the old file's owner and mode before any data goes in.
    d->fd = createTemporary(d->target, replacing ? 0600 : 0666, d->temporary);
    if (d->fd < 0) {
        d->temporary.clear();
        return SaveError::WriteFailed;
    }
    if (replacing) {
        keepOwner(d->fd, old);
        // After the owner: a change of owner may clear the set-user and set-group bits.
        if (::fchmod(d->fd, old.st_mode & 07777) != 0) {
            cancel();
            return SaveError::WriteFailed;
        }
    }
    return SaveError::None;
}

bool AtomicFile::write(const char* data, std::size_t size)
{
    if (d->fd < 0 || d->failed)
        return false;
    d->failed = !writeAll(d->fd, data, size);
    return !d->failed;
}

SaveError AtomicFile::commit()
{
    if (d->fd < 0)
        return SaveError::WriteFailed;
    bool ok = !d->failed && ::fsync(d->fd) == 0;
    ok = ::close(d->fd) == 0 && ok;
    d->fd = -1;
    if (ok)
        ok = std::rename(d->temporary.c_str(), d->target.c_str()) == 0;
    if (!ok) {
        cancel();
        return SaveError::WriteFailed;
    }
    d->temporary.clear();
    // The new name lives in the folder: until the folder is synced a crash may lose it.
    return syncFolder(d->target) ? SaveError::None : SaveError::FolderNotSynced;
}

void AtomicFile::cancel()
{
    if (d->fd >= 0)
        ::close(d->fd);
    d->fd = -1;
    if (!d->temporary.empty())
        std::remove(d->temporary.c_str());
    d->temporary.clear();
}

} // namespace Road
} // namespace Pelko
