#include <road/atomicfile.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

namespace Pelko {
namespace Road {

struct AtomicFile::Data
{
    std::string path;
    std::vector<std::string> companions;
    std::string target;
    // The file at the target when the temporary file was made, where there was one, as it was then.
    bool replacing = false;
    struct stat old = {};
    std::string temporary;
    // Holds the lock on the temporary file.
    int fd = -1;
    // The temporary file's identity, while this process holds it.
    dev_t device = 0;
    ino_t inode = 0;
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

bool sameFile(const struct stat& one, const struct stat& other)
{
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// The temporary files the saves of this process hold. Closing any descriptor of a file drops every
// classic record lock the process holds on it, a database library's transaction lock among them, so the
// leftover scan opens no such file, and opens others only under the mutex: a save registers its file
// before anything else of the process may lock it.
class HeldFiles
{
public:
    static HeldFiles& instance()
    {
        static HeldFiles files;
        return files;
    }
    std::mutex mutex;

    // Under the mutex.
    bool holds(const struct stat& info) const
    {
        // A child of a fork holds none of its parent's record locks.
        if (m_process != ::getpid())
            return false;
        return std::any_of(m_files.begin(), m_files.end(), [&info](const std::pair<dev_t, ino_t>& file) {
            return file.first == info.st_dev && file.second == info.st_ino;
        });
    }
    void add(dev_t device, ino_t inode)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (m_process != ::getpid()) {
            m_files.clear();
            m_process = ::getpid();
        }
        m_files.emplace_back(device, inode);
    }
    void remove(dev_t device, ino_t inode)
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto found = std::find(m_files.begin(), m_files.end(), std::make_pair(device, inode));
        if (found != m_files.end() && m_process == ::getpid())
            m_files.erase(found);
    }

private:
    pid_t m_process = 0;
    std::vector<std::pair<dev_t, ino_t>> m_files;
};

// The same file with the same owner, group and mode, its attributes untouched since (a change of them
// moves its ctime, though perhaps within the clock's tick).
bool unchanged(const struct stat& now, const struct stat& before)
{
    return sameFile(now, before) && now.st_mode == before.st_mode && now.st_uid == before.st_uid
        && now.st_gid == before.st_gid && now.st_ctim.tv_sec == before.st_ctim.tv_sec
        && now.st_ctim.tv_nsec == before.st_ctim.tv_nsec;
}

// A lock on the first byte of a temporary file: a save holds it for writing while the file is in use,
// and a save looking for leftovers takes it for reading. An open file description's lock, so that the
// record locks a database library takes on the file (from byte 2^30 on) and its closing of its own
// descriptors leave it alone, and so that two saves in one process exclude each other as well.
bool lockFirstByte(int fd, short type)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// A temporary file of its own beside the target, locked, so that the rename stays within one file
// system and saves running at once never write into each other's file.
int createTemporary(const std::string& target, mode_t mode, size_t limit, std::string& name,
                    struct stat& opened)
{
    static std::atomic<unsigned> counter { 0 };
    const std::string pid = std::to_string(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName(target, pid, std::to_string(counter.fetch_add(1)), limit);
        // A target at the name limit may be named like one of its temporary files.
        if (name == target)
            continue;
        // Never through a link, never into a file that is there.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return -1;
        if (::fstat(fd, &opened) != 0) {
            const int error = errno;
            ::unlink(name.c_str());
            ::close(fd);
            errno = error;
            return -1;
        }
        HeldFiles::instance().add(opened.st_dev, opened.st_ino);
        // Another save may have taken the new file for a leftover before the lock: it removes it, and
        // the next name is tried. A file system without such locks leaves the file unlocked, and no
        // save then takes it for a leftover either.
        const bool locked = lockFirstByte(fd, F_WRLCK) || (errno != EAGAIN && errno != EACCES);
        struct stat named;
        const bool ours = ::lstat(name.c_str(), &named) == 0 && sameFile(opened, named);
        if (locked && ours)
            return fd;
        if (ours)
            ::unlink(name.c_str());
        ::close(fd);
        HeldFiles::instance().remove(opened.st_dev, opened.st_ino);
    }
    errno = EEXIST;
    return -1;
}

// A number as std::to_string writes a pid or a count: digits, no leading zero.
bool isPlainNumber(const std::string& text)
{
    return !text.empty() && text.size() <= 10 && (text[0] != '0' || text.size() == 1)
        && text.find_first_not_of("0123456789") == std::string::npos;
}

// Whether the name is exactly one a save of the target gives its temporary file, the target's whole name
// in it. A name cut to the limit may be that of a save of any target sharing its first bytes, or a file
// that only looks so: it is never taken for a leftover.
bool isTemporaryName(const std::string& name, const std::string& target, size_t limit)
{
    const size_t dot = name.rfind('.');
    const size_t mark = dot == std::string::npos || dot < 3 ? std::string::npos : name.rfind(".~", dot - 3);
    if (mark == std::string::npos)
        return false;
    const std::string pid = name.substr(mark + 2, dot - mark - 2);
    const std::string count = name.substr(dot + 1);
    if (!isPlainNumber(pid) || !isPlainNumber(count))
        return false;
    const std::string suffix = ".~" + pid + "." + count;
    const std::string expected = temporaryName(target, pid, count, limit);
    return expected == target + suffix && expected.compare(nameStart(expected), std::string::npos, name) == 0;
}

// A regular file of this user, not followed if a link.
bool isOwnFile(int folder, const char* name, struct stat& info)
{
    return ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
        && info.st_uid == ::geteuid();
}

// Removes a temporary file that no save holds: its lock can be taken, and it is a regular file of this
// user and the very file the name gives. A file of a save of this process is not even opened.
void removeUnheld(int folder, const char* name)
{
    HeldFiles& held = HeldFiles::instance();
    std::lock_guard<std::mutex> guard(held.mutex);
    struct stat info;
    if (!isOwnFile(folder, name, info) || held.holds(info))
        return;
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened;
    // The lock is held while the name goes.
    if (lockFirstByte(fd, F_RDLCK) && ::fstat(fd, &opened) == 0 && isOwnFile(folder, name, info)
        && sameFile(opened, info))
        ::unlinkat(folder, name, 0);
    ::close(fd);
}

// Removes what saves of the target that ended mid-way left behind: their temporary files, named
// exactly as a save names them, and the companions of temporary files that are gone.
void removeLeftovers(const std::string& target, size_t limit, const std::vector<std::string>& companions)
{
    DIR* folder = ::opendir(folderOf(target).c_str());
    if (!folder)
        return;
    // A target at the name limit may be named exactly like one of its temporary files; it is none.
    const std::string own = target.substr(nameStart(target));
    // A companion's fate waits on its temporary file's.
    std::vector<std::pair<std::string, std::string>> found;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == own)
            continue;
        if (isTemporaryName(name, target, limit)) {
            removeUnheld(::dirfd(folder), name.c_str());
            continue;
        }
        for (const std::string& suffix : companions) {
            const size_t base = name.size() > suffix.size() ? name.size() - suffix.size() : 0;
            if (base > 0 && name.compare(base, std::string::npos, suffix) == 0
                && name.compare(0, base, own) != 0 && isTemporaryName(name.substr(0, base), target, limit))
                found.emplace_back(name, name.substr(0, base));
        }
    }
    for (const auto& companion : found) {
        struct stat info;
        if (::fstatat(::dirfd(folder), companion.second.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0
            && errno == ENOENT && isOwnFile(::dirfd(folder), companion.first.c_str(), info))
            ::unlinkat(::dirfd(folder), companion.first.c_str(), 0);
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

// Gives the new file what it keeps of the old one: owner and group where the system allows, mode, access
// ACL and user attributes. False, with errno, where not even its mode could be set; lost tells whether
// the ACL or attributes were not all carried over (the file then allows its owner alone), and why.
bool keepAccess(int fd, const std::string& old, const struct stat& oldInfo, bool& lost, int& lostError)
{
    const Kept kept = keepOwner(fd, oldInfo);
    mode_t mode = oldInfo.st_mode & 07777;
    // Rights the old file gave its owner or group must not pass to the saving user or their group.
    if (!kept.owner)
        mode &= ~S_ISUID;
    if (!kept.group)
        mode &= ~(S_IRWXG | S_ISGID);
    // After the owner: a change of owner may clear the set-user and set-group bits. Before the ACL,
    // which settles the permission bits itself.
    lost = false;
    if (::fchmod(fd, mode) != 0)
        return false;
    if (keepAttributes(fd, old, kept.group, lostError))
        return true;
    lost = true;
    // With an ACL in place this also masks what it gives anyone but the owner.
    return ::fchmod(fd, mode & S_IRWXU) == 0;
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

AtomicFile::AtomicFile(const std::string& path, std::vector<std::string> companions)
    : d(new Data)
{
    d->path = path;
    d->companions = std::move(companions);
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
    d->target = resolve(d->path);
    if (d->target.empty()) {
        d->error = d->path.empty() ? ENOENT : ELOOP;
        return SaveError::WriteFailed;
    }
    struct stat old = {};
    const bool replacing = ::stat(d->target.c_str(), &old) == 0;
    // A rename would put a regular file in place of a device, FIFO or socket.
    if (replacing && !S_ISREG(old.st_mode))
        return SaveError::NotRegularFile;
    // Renaming needs only the folder to be writable: a file the user may not write stays as it is.
    if (replacing && ::access(d->target.c_str(), W_OK) != 0) {
        d->error = errno;
        return SaveError::WriteFailed;
    }
    // Room for the longest name a writer derives from the temporary one.
    size_t room = 0;
    for (const std::string& suffix : d->companions)
        room = std::max(room, suffix.size());
    const size_t limit = nameLimit(d->target) - std::min(room, nameLimit(d->target));
    removeLeftovers(d->target, limit, d->companions);
    // A replacement starts private and takes the old file's owner, mode and attributes before any data
    // goes in.
    struct stat created;
    d->fd = createTemporary(d->target, replacing ? 0600 : 0666, limit, d->temporary, created);
    if (d->fd < 0) {
        d->error = errno;
        d->temporary.clear();
        return SaveError::WriteFailed;
    }
    d->device = created.st_dev;
    d->inode = created.st_ino;
    d->replacing = replacing;
    d->old = old;
    if (replacing && !keepAccess(d->fd, d->target, old, d->attributesLost, d->attributeError)) {
        d->error = errno;
        cancel();
        return SaveError::WriteFailed;
    }
    return SaveError::None;
}

const std::string& AtomicFile::temporaryPath() const
{
    return d->temporary;
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

SaveError AtomicFile::commit(const std::function<bool()>& stopped)
{
    if (d->fd < 0)
        return SaveError::WriteFailed;
    int error = d->error;
    bool ok = !d->failed;
    // The file replaced is the one at the path now: one that came or changed since open gives its own.
    struct stat now;
    if (ok && ::stat(d->target.c_str(), &now) == 0 && S_ISREG(now.st_mode)
        && !(d->replacing && unchanged(now, d->old))
        && !keepAccess(d->fd, d->target, now, d->attributesLost, d->attributeError)) {
        error = errno;
        ok = false;
    }
    if (ok && ::fsync(d->fd) != 0) {
        error = errno;
        ok = false;
    }
    // Closing reports what a network file system failed to write; a second descriptor keeps the lock
    // until the rename, so that no other save takes the file for a leftover meanwhile.
    const int held = ::fcntl(d->fd, F_DUPFD_CLOEXEC, 0);
    if (::close(d->fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    d->fd = held;
    if (ok && stopped && stopped()) {
        error = ECANCELED;
        ok = false;
    }
    if (ok && std::rename(d->temporary.c_str(), d->target.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        cancel();
        d->error = error;
        return SaveError::WriteFailed;
    }
    // What a writer left beside the temporary file now belongs to no file.
    for (const std::string& suffix : d->companions)
        std::remove((d->temporary + suffix).c_str());
    release();
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
    if (!d->temporary.empty()) {
        std::remove(d->temporary.c_str());
        for (const std::string& suffix : d->companions)
            std::remove((d->temporary + suffix).c_str());
    }
    // The lock goes last.
    release();
}

void AtomicFile::release()
{
    if (d->fd >= 0)
        ::close(d->fd);
    if (!d->temporary.empty())
        HeldFiles::instance().remove(d->device, d->inode);
    d->fd = -1;
    d->temporary.clear();
}

std::string AtomicFile::resolve(const std::string& path)
{
    return path.empty() ? std::string() : resolvedTarget(path);
}

int AtomicFile::systemError() const
{
    return d->error;
}

} // namespace Road
} // namespace Pelko
