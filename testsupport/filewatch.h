#pragma once

// Watches what a test program creates, writes and syncs in one folder, and makes the folder fail as a
// full disk, a full inode table or a folder that cannot be read would. It stands in for the C library's
// write, fsync, open, open64 and fsetxattr, so the libraries under test call it too: include it in one
// file of a test program only.

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <mutex>
#include <string>
#include <vector>

namespace FileWatch {

struct Write
{
    std::string path;
    // Of the file at the moment of the write: its mode and its access ACL as stored (empty for none).
    mode_t mode;
    std::string acl;
};

struct State
{
    std::atomic<bool> on { false };
    std::atomic<bool> failFolderSync { false };
    // errno for opening the folder itself, creating a file in it, setting an extended attribute of a
    // file in it; 0 lets them through.
    std::atomic<int> failFolderOpen { 0 };
    std::atomic<int> failCreate { 0 };
    std::atomic<int> failAttribute { 0 };
    // Bytes that writes into files of the folder may still add; negative for no limit.
    std::atomic<long long> freeSpace { -1 };
    std::mutex mutex;
    std::string folder;
    dev_t folderDevice = 0;
    ino_t folderInode = 0;
    std::vector<Write> writes;
    // Each opening that may create a file in the folder, with the file as it is right after it.
    std::vector<Write> creations;
    // The folder's entries at each sync of the folder.
    std::vector<std::vector<std::string>> folderSyncs;
};

inline State& state()
{
    static State s;
    return s;
}

inline std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Starts watching the folder (an absolute path), forgetting what was seen before.
inline void start(const std::string& folder, bool failFolderSync = false)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    struct stat info;
    s.folder = folder;
    const bool found = ::stat(folder.c_str(), &info) == 0;
    s.folderDevice = found ? info.st_dev : 0;
    s.folderInode = found ? info.st_ino : 0;
    s.writes.clear();
    s.creations.clear();
    s.folderSyncs.clear();
    s.failFolderSync = failFolderSync;
    s.failFolderOpen = 0;
    s.failCreate = 0;
    s.failAttribute = 0;
    s.freeSpace = -1;
    s.on = true;
}

// After start: opening the folder (to sync it) fails with the error, as for a folder the user may
// write but not read.
inline void failFolderOpen(int error)
{
    state().failFolderOpen = error;
}

// After start: creating a file in the folder fails with the error (ENOSPC: a full inode table).
inline void failCreates(int error)
{
    state().failCreate = error;
}

// After start: setting an extended attribute (an ACL too) of a file in the folder fails.
inline void failAttributes(int error)
{
    state().failAttribute = error;
}

// After start: a disk with this many bytes free; a write that does not fit fails with ENOSPC.
inline void setFreeSpace(long long bytes)
{
    state().freeSpace = bytes;
}

inline void stop()
{
    State& s = state();
    s.on = false;
    s.failFolderSync = false;
    s.failFolderOpen = 0;
    s.failCreate = 0;
    s.failAttribute = 0;
    s.freeSpace = -1;
}

inline std::vector<Write> writes()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().writes;
}

inline std::vector<Write> creations()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().creations;
}

inline std::vector<std::vector<std::string>> folderSyncs()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().folderSyncs;
}

inline std::string pathOf(int fd)
{
    char buffer[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t size = ::readlink(link.c_str(), buffer, sizeof buffer);
    return size > 0 ? std::string(buffer, static_cast<size_t>(size)) : std::string();
}

template<typename F> F real(const char* name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

inline bool inFolder(const std::string& path)
{
    const std::string& folder = state().folder;
    return path.size() > folder.size() + 1 && path.compare(0, folder.size() + 1, folder + "/") == 0;
}

inline bool isFolder(const struct stat& info)
{
    const State& s = state();
    return S_ISDIR(info.st_mode) && info.st_ino == s.folderInode && info.st_dev == s.folderDevice;
}

inline std::string aclOf(int fd)
{
    char buffer[1024];
    const ssize_t size = ::fgetxattr(fd, "system.posix_acl_access", buffer, sizeof buffer);
    return size > 0 ? std::string(buffer, static_cast<size_t>(size)) : std::string();
}

} // namespace FileWatch

extern "C" __attribute__((visibility("default"))) ssize_t write(int fd, const void* data, size_t size)
{
    using Function = ssize_t (*)(int, const void*, size_t);
    static const Function next = FileWatch::real<Function>("write");
    FileWatch::State& s = FileWatch::state();
    struct stat info;
    if (s.on && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const std::string path = FileWatch::pathOf(fd);
        std::lock_guard<std::mutex> lock(s.mutex);
        if (FileWatch::inFolder(path)) {
            s.writes.push_back({ path, info.st_mode & 07777, FileWatch::aclOf(fd) });
            const long long free = s.freeSpace;
            if (free >= 0 && static_cast<long long>(size) > free) {
                errno = ENOSPC;
                return -1;
            }
            if (free >= 0)
                s.freeSpace = free - static_cast<long long>(size);
        }
    }
    return next(fd, data, size);
}

namespace FileWatch {

// open or open64, as next: fails as set, and notes the files it may create.
inline int watchedOpen(int (*next)(const char*, int, ...), const char* path, int flags, va_list arguments)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE)
        mode = static_cast<mode_t>(va_arg(arguments, int));
    State& s = state();
    if (s.on && (s.failCreate || s.failFolderOpen)) {
        std::lock_guard<std::mutex> lock(s.mutex);
        struct stat info;
        if (s.failCreate && (flags & O_CREAT) && inFolder(path)) {
            errno = s.failCreate;
            return -1;
        }
        if (s.failFolderOpen && (flags & O_DIRECTORY) && ::stat(path, &info) == 0 && isFolder(info)) {
            errno = s.failFolderOpen;
            return -1;
        }
    }
    const int fd = next(path, flags, mode);
    struct stat info;
    if (fd >= 0 && s.on && (flags & O_CREAT) && ::fstat(fd, &info) == 0) {
        const int error = errno;
        std::lock_guard<std::mutex> lock(s.mutex);
        if (inFolder(path))
            s.creations.push_back({ path, info.st_mode & 07777, aclOf(fd) });
        errno = error;
    }
    return fd;
}

} // namespace FileWatch

extern "C" __attribute__((visibility("default"))) int open(const char* path, int flags, ...)
{
    using Function = int (*)(const char*, int, ...);
    static const Function next = FileWatch::real<Function>("open");
    va_list arguments;
    va_start(arguments, flags);
    const int fd = FileWatch::watchedOpen(next, path, flags, arguments);
    va_end(arguments);
    return fd;
}

extern "C" __attribute__((visibility("default"))) int open64(const char* path, int flags, ...)
{
    using Function = int (*)(const char*, int, ...);
    static const Function next = FileWatch::real<Function>("open64");
    va_list arguments;
    va_start(arguments, flags);
    const int fd = FileWatch::watchedOpen(next, path, flags, arguments);
    va_end(arguments);
    return fd;
}

extern "C" __attribute__((visibility("default"))) int fsetxattr(int fd, const char* name, const void* value,
                                                                size_t size, int flags)
{
    using Function = int (*)(int, const char*, const void*, size_t, int);
    static const Function next = FileWatch::real<Function>("fsetxattr");
    FileWatch::State& s = FileWatch::state();
    if (s.on && s.failAttribute) {
        const std::string path = FileWatch::pathOf(fd);
        std::lock_guard<std::mutex> lock(s.mutex);
        if (FileWatch::inFolder(path)) {
            errno = s.failAttribute;
            return -1;
        }
    }
    return next(fd, name, value, size, flags);
}

extern "C" __attribute__((visibility("default"))) int fsync(int fd)
{
    using Function = int (*)(int);
    static const Function next = FileWatch::real<Function>("fsync");
    FileWatch::State& s = FileWatch::state();
    struct stat info;
    if (s.on && ::fstat(fd, &info) == 0 && FileWatch::isFolder(info)) {
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            s.folderSyncs.push_back(FileWatch::entries(s.folder));
        }
        if (s.failFolderSync) {
            errno = EIO;
            return -1;
        }
    }
    return next(fd);
}
