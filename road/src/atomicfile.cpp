#include <road/atomicfile.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace Pelko {
namespace Road {

struct AtomicFile::Data
{
    std::string path;
    std::string target;
    std::string temporary;
    int fd = -1;
    bool failed = false;
    // The old file's access ACL or attributes could not all be carried over, and why.
    bool attributesLost = false;
    int attributeError = 0;
    // errno behind the last error given.
    int error = 0;
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

// The longest name the target's folder takes.
size_t nameLimit(const std::string& target)
{
    const long limit = ::pathconf(folderOf(target).c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<size_t>(limit) : NAME_MAX;
}

// The name of the target's temporary file number count of the process pid.
std::string temporaryName(const std::string& target, const std::string& pid, const std::string& count,
                          size_t limit)
{
    return withSuffix(target, ".~" + pid + "." + count, limit);
}

// A temporary file of its own beside the target, so that the rename stays within one file system and
// saves running at once never write into each other's file.
int createTemporary(const std::string& target, mode_t mode, size_t limit, std::string& name)
{
    static std::atomic<unsigned> counter { 0 };
    const std::string pid = std::to_string(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName(target, pid, std::to_string(counter.fetch_add(1)), limit);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A number as std::to_string writes a pid or a count: digits, no leading zero.
bool isPlainNumber(const std::string& text)
{
    return !text.empty() && text.size() <= 10 && (text[0] != '0' || text.size() == 1)
        && text.find_first_not_of("0123456789") == std::string::npos;
}

// Removes the temporary files that saves of the target killed mid-way left behind: only files named
// exactly as a save names them, regular files of this user, whose process no longer runs.
void removeLeftovers(const std::string& target, size_t limit)
{
    DIR* folder = ::opendir(folderOf(target).c_str());
    if (!folder)
        return;
    const pid_t self = ::getpid();
    const uid_t user = ::geteuid();
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        const size_t dot = name.rfind('.');
        const size_t mark
            = dot == std::string::npos || dot < 3 ? std::string::npos : name.rfind(".~", dot - 3);
        if (mark == std::string::npos)
            continue;
        const std::string pid = name.substr(mark + 2, dot - mark - 2);
        const std::string count = name.substr(dot + 1);
        if (!isPlainNumber(pid) || !isPlainNumber(count))
            continue;
        const std::string expected = temporaryName(target, pid, count, limit);
        if (expected.compare(nameStart(expected), std::string::npos, name) != 0)
            continue;
        const long process = std::strtol(pid.c_str(), nullptr, 10);
        if (process <= 0 || process > INT_MAX || static_cast<pid_t>(process) == self)
            continue;
        struct stat info;
        if (::fstatat(::dirfd(folder), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(info.st_mode) || info.st_uid != user)
            continue;
        // A process of another user answers EPERM: it runs.
        if (::kill(static_cast<pid_t>(process), 0) == 0 || errno != ESRCH)
            continue;
        ::unlinkat(::dirfd(folder), name.c_str(), 0);
    }
    ::closedir(folder);
}

struct Kept
{
    bool owner;
    bool group;
};

// The old file's owner and group where the system allows; an ordinary user can still keep a group
// they belong to. A refusal leaves the saving user's. Says which of the two the file now has.
Kept keepOwner(int fd, const struct stat& old)
{
    struct stat now;
    if (::fstat(fd, &now) != 0)
        return { false, false };
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && now.st_gid != old.st_gid) {
            const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
            static_cast<void>(groupOnly);
        }
        if (::fstat(fd, &now) != 0)
            return { false, false };
    }
    return { now.st_uid == old.st_uid, now.st_gid == old.st_gid };
}

const char* const accessAcl = "system.posix_acl_access";

enum class Attribute { Present, Absent, Unreadable };

// An extended attribute of the file at the path. Absent where the file, or its file system, has none;
// Unreadable, with errno in error, where it cannot be read.
Attribute readAttribute(const std::string& file, const char* name, std::string& value, int& error)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t size = ::getxattr(file.c_str(), name, nullptr, 0);
        if (size < 0)
            break;
        value.resize(static_cast<size_t>(size));
        const ssize_t read = size == 0 ? 0 : ::getxattr(file.c_str(), name, &value[0], value.size());
        if (read >= 0) {
            value.resize(static_cast<size_t>(read));
            return Attribute::Present;
        }
        // It grew between the two calls.
        if (errno != ERANGE)
            break;
    }
    if (errno == ENODATA || errno == ENOTSUP)
        return Attribute::Absent;
    error = errno;
    return Attribute::Unreadable;
}

// The names of the extended attributes of the file at the path; false, with errno in error, where
// they cannot be listed.
bool listAttributes(const std::string& file, std::vector<std::string>& names, int& error)
{
    std::string list;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t size = ::listxattr(file.c_str(), nullptr, 0);
        if (size < 0)
            break;
        list.resize(static_cast<size_t>(size));
        const ssize_t read = size == 0 ? 0 : ::listxattr(file.c_str(), &list[0], list.size());
        if (read >= 0) {
            list.resize(static_cast<size_t>(read));
            for (size_t start = 0; start < list.size();) {
                size_t end = list.find('\0', start);
                if (end == std::string::npos)
                    end = list.size();
                names.push_back(list.substr(start, end - start));
                start = end + 1;
            }
            return true;
        }
        if (errno != ERANGE)
            break;
    }
    if (errno == ENOTSUP)
        return true;
    error = errno;
    return false;
}

// Empties the owning group's entry of an access ACL as the system stores it: a 4-byte version, then
// 8-byte entries of a 16-bit tag, 16-bit permissions and a 32-bit id, little-endian.
void clearOwningGroup(std::string& acl)
{
    constexpr unsigned owningGroup = 0x04;
    for (size_t at = 4; at + 8 <= acl.size(); at += 8) {
        const unsigned tag
            = static_cast<unsigned char>(acl[at]) | static_cast<unsigned char>(acl[at + 1]) << 8;
        if (tag == owningGroup)
            acl[at + 2] = acl[at + 3] = 0;
    }
}

// Gives the new file the old one's access ACL (without what it gave the owning group where the group
// could not be kept) and its user attributes; false, with errno in error, where any is not carried
// over. Other attributes belong to the system or need privileges the save does not use.
bool keepAttributes(int fd, const std::string& old, bool groupKept, int& error)
{
    std::string acl;
    switch (readAttribute(old, accessAcl, acl, error)) {
    case Attribute::Unreadable:
        return false;
    case Attribute::Absent:
        // A new file takes the folder's default ACL, which may give more than the old file did.
        if (::fremovexattr(fd, accessAcl) != 0 && errno != ENODATA && errno != ENOTSUP) {
            error = errno;
            return false;
        }
        break;
    case Attribute::Present:
        if (!groupKept)
            clearOwningGroup(acl);
        if (::fsetxattr(fd, accessAcl, acl.data(), acl.size(), 0) != 0) {
            error = errno;
            return false;
        }
        break;
    }
    std::vector<std::string> names;
    if (!listAttributes(old, names, error))
        return false;
    for (const std::string& name : names) {
        if (name.compare(0, 5, "user.") != 0)
            continue;
        std::string value;
        const Attribute found = readAttribute(old, name.c_str(), value, error);
        if (found == Attribute::Unreadable)
            return false;
        if (found == Attribute::Present
            && ::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0) {
            error = errno;
            return false;
        }
    }
    return true;
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Syncs the file's folder, so that the new name survives a crash; errno in error where it cannot. A
// file system that cannot sync folders at all says so with EINVAL; nothing is lost there.
SaveError syncFolder(const std::string& file, int& error)
{
    const int fd = ::open(folderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        // A folder the user may write but not read: no save into it can ever sync it.
        return error == EACCES ? SaveError::FolderNotReadable : SaveError::FolderNotSynced;
    }
    bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    if (!synced)
        error = errno;
    if (::close(fd) != 0 && synced) {
        error = errno;
        synced = false;
    }
    return synced ? SaveError::None : SaveError::FolderNotSynced;
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
    d->attributesLost = false;
    d->error = 0;
    d->target = d->path.empty() ? std::string() : resolvedTarget(d->path);
    if (d->target.empty()) {
        d->error = d->path.empty() ? ENOENT : ELOOP;
        return SaveError::WriteFailed;
    }
    struct stat old;
    const bool replacing = ::stat(d->target.c_str(), &old) == 0;
    // A rename would put a regular file in place of a device, FIFO or socket.
    if (replacing && !S_ISREG(old.st_mode))
        return SaveError::NotRegularFile;
    // Renaming needs only the folder to be writable: a file the user may not write stays as it is.
    if (replacing && ::access(d->target.c_str(), W_OK) != 0) {
        d->error = errno;
        return SaveError::WriteFailed;
    }
    const size_t limit = nameLimit(d->target);
    removeLeftovers(d->target, limit);
    // A replacement starts private and takes the old file's owner, mode and attributes before any data
    // goes in.
    d->fd = createTemporary(d->target, replacing ? 0600 : 0666, limit, d->temporary);
    if (d->fd < 0) {
        d->error = errno;
        d->temporary.clear();
        return SaveError::WriteFailed;
    }
    if (!replacing)
        return SaveError::None;
    const Kept kept = keepOwner(d->fd, old);
    mode_t mode = old.st_mode & 07777;
    // Rights the old file gave its owner or group must not pass to the saving user or their group.
    if (!kept.owner)
        mode &= ~S_ISUID;
    if (!kept.group)
        mode &= ~(S_IRWXG | S_ISGID);
    // After the owner: a change of owner may clear the set-user and set-group bits. Before the ACL,
    // which settles the permission bits itself.
    bool ok = ::fchmod(d->fd, mode) == 0;
    if (ok && !keepAttributes(d->fd, d->target, kept.group, d->attributeError)) {
        d->attributesLost = true;
        // With an ACL in place this also masks what it gives anyone but the owner.
        ok = ::fchmod(d->fd, mode & S_IRWXU) == 0;
    }
    if (!ok) {
        d->error = errno;
        cancel();
        return SaveError::WriteFailed;
    }
    return SaveError::None;
}

bool AtomicFile::write(const char* data, std::size_t size)
{
    if (d->fd < 0 || d->failed)
        return false;
    d->failed = !writeAll(d->fd, data, size);
    if (d->failed)
        d->error = errno;
    return !d->failed;
}

SaveError AtomicFile::commit()
{
    if (d->fd < 0)
        return SaveError::WriteFailed;
    int error = d->error;
    bool ok = !d->failed;
    if (ok && ::fsync(d->fd) != 0) {
        error = errno;
        ok = false;
    }
    if (::close(d->fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    d->fd = -1;
    if (ok && std::rename(d->temporary.c_str(), d->target.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        cancel();
        d->error = error;
        return SaveError::WriteFailed;
    }
    d->temporary.clear();
    // The new name lives in the folder: until the folder is synced a crash may lose it.
    int folderError = 0;
    const SaveError folder = syncFolder(d->target, folderError);
    // Lost attributes first: the next save cannot see them any more, while the folder it meets again.
    if (d->attributesLost) {
        d->error = d->attributeError;
        return SaveError::AttributesNotKept;
    }
    d->error = folderError;
    return folder;
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

int AtomicFile::systemError() const
{
    return d->error;
}

} // namespace Road
} // namespace Pelko
