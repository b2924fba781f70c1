#pragma once

// Watches what a test program writes and syncs in one folder. It stands in for the C library's write
// and fsync, so the libraries under test call it too: include it in one file of a test program only.

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <mutex>
#include <string>
#include <vector>

namespace FileWatch {

struct Write
{
    std::string path;
    mode_t mode; // of the file at the moment of the write
};

struct State
{
    std::atomic<bool> on { false };
    std::atomic<bool> failFolderSync { false };
    std::mutex mutex;
    std::string folder;
    dev_t folderDevice = 0;
    ino_t folderInode = 0;
    std::vector<Write> writes;
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
    s.folderSyncs.clear();
    s.failFolderSync = failFolderSync;
    s.on = true;
}

inline void stop()
{
    state().on = false;
    state().failFolderSync = false;
}

inline std::vector<Write> writes()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().writes;
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
        if (path.compare(0, s.folder.size() + 1, s.folder + "/") == 0)
            s.writes.push_back({ path, info.st_mode & 07777 });
    }
    return next(fd, data, size);
}

extern "C" __attribute__((visibility("default"))) int fsync(int fd)
{
    using Function = int (*)(int);
    static const Function next = FileWatch::real<Function>("fsync");
    FileWatch::State& s = FileWatch::state();
    struct stat info;
    if (s.on && ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_ino == s.folderInode
        && info.st_dev == s.folderDevice) {
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
