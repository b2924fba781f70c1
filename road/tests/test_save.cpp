// How a save treats the file it replaces and the folder it lives in.

#include <road/atomicfile.h>
#include <road/internal/roadfile.h>
#include <road/roadsurface.h>

#include <asuser.h>
#include <attributes.h>
#include <filewatch.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using namespace Pelko::Road;
using namespace Attributes;

namespace {

class Save : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "road_save_XXXXXX";
        ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
        folder = std::filesystem::canonical(pattern).string();
        mask = ::umask(022);
    }

    void TearDown() override
    {
        FileWatch::stop();
        ::umask(mask);
        std::filesystem::remove_all(folder);
    }

    std::string path(const std::string& name) const { return folder + "/" + name; }

    // A road saved at the path, with a pivot offset to tell the saves apart.
    bool saveRoad(const std::string& file, double offset, SaveError* error = nullptr) const
    {
        RoadSurface road(file);
        road.setPivouType(PivotMedialStrip, offset);
        return road.save(error);
    }

    static double offsetIn(const std::string& file)
    {
        RoadSurface road(file);
        return road.load() ? road.getPivotOffset() : -1.0;
    }

    static mode_t typeOf(const std::string& file)
    {
        struct stat info;
        return ::lstat(file.c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
    }

    // A folder of the ordinary user the child processes of the tests become.
    std::string userFolder() const
    {
        const std::string own = path("user");
        if (::chmod(folder.c_str(), 0711) != 0 || ::mkdir(own.c_str(), 0700) != 0
            || ::chown(own.c_str(), user, user) != 0)
            return std::string();
        return own;
    }

    static std::string describe(const std::string& what, long long found, long long expected)
    {
        return what + ": " + std::to_string(found) + " instead of " + std::to_string(expected) + "\n";
    }

    std::string folder;
    mode_t mask = 022;
    // An ordinary user with a group of their own, and a group they are not in.
    static constexpr uid_t user = 1500;
    static constexpr gid_t otherGroup = 4321;
};

// Holds the file's lock as a running save does; the descriptor, or -1.
int holdAsASave(const std::string& file)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_len = 1;
    if (fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The pid of a process that has ended.
pid_t endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST_F(Save, KeepsTheOwnerGroupAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file away";
    const std::string road = path("owned.rod");
    ASSERT_TRUE(saveRoad(road, 1.0));
    ASSERT_EQ(::chown(road.c_str(), 1234, 4321), 0);
    ASSERT_EQ(::chmod(road.c_str(), 02640), 0);
    ASSERT_TRUE(saveRoad(road, 2.0));
    struct stat info;
    ASSERT_EQ(::stat(road.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 1234u);
    EXPECT_EQ(info.st_gid, 4321u);
    EXPECT_EQ(info.st_mode & 07777, 02640u);
    EXPECT_EQ(offsetIn(road), 2.0);
}

// Every byte goes into a file no more readable than the one it replaces; a new file gets the mode
// of any new file.
TEST_F(Save, DataGoesOnlyIntoAFileAsPrivateAsTheOldOne)
{
    const std::string road = path("private.rod");
    FileWatch::start(folder);
    ASSERT_TRUE(saveRoad(road, 1.0));
    struct stat info;
    ASSERT_EQ(::stat(road.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);

    for (const mode_t mode : { 0600u, 0640u }) {
        ASSERT_EQ(::chmod(road.c_str(), mode), 0);
        FileWatch::start(folder);
        ASSERT_TRUE(saveRoad(road, 2.0));
        const auto writes = FileWatch::writes();
        ASSERT_FALSE(writes.empty());
        for (const FileWatch::Write& write : writes) {
            EXPECT_NE(write.path, road);
            EXPECT_EQ(write.mode, mode) << write.path;
        }
        // Private from its creation on: a reader who opened it before its mode was narrowed would keep
        // reading.
        const auto creations = FileWatch::creations();
        ASSERT_FALSE(creations.empty());
        for (const FileWatch::Write& creation : creations)
            EXPECT_EQ(creation.mode, 0600u) << creation.path;
        ASSERT_EQ(::stat(road.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
    }

    // The file at the path at the rename is the one replaced: one that came to a new path, or had its mode
    // changed, while the save wrote gives its own.
    const std::string late = path("late.rod");
    for (const mode_t mode : { 0600u, 0640u }) {
        AtomicFile file(late);
        ASSERT_EQ(file.open(), SaveError::None);
        ASSERT_TRUE(file.write("<Road/>", 7));
        std::ofstream(late, std::ios::app) << "other";
        ASSERT_EQ(::chmod(late.c_str(), mode), 0);
        EXPECT_EQ(file.commit(), SaveError::None);
        ASSERT_EQ(::stat(late.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
    }
}

// A FIFO, a socket, a device or a folder at the path (also behind a link) stays as it was.
TEST_F(Save, RefusesToReplaceWhatIsNotARegularFile)
{
    std::vector<std::string> nodes { path("fifo.rod"), path("socket.rod"), path("folder.rod") };
    ASSERT_EQ(::mkfifo(nodes[0].c_str(), 0644), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(nodes[1].size(), sizeof address.sun_path);
    nodes[1].copy(address.sun_path, nodes[1].size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::mkdir(nodes[2].c_str(), 0755), 0);
    // A device needs root, and a container may refuse even that.
    const std::string device = path("device.rod");
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        nodes.push_back(device);
    const std::string link = path("link.rod");
    ASSERT_EQ(::symlink("fifo.rod", link.c_str()), 0);
    nodes.push_back(link);

    RoadSurface road(path("source.rod"));
    road.setPivouType(PivotMedialStrip, 1.0);
    for (const std::string& node : nodes) {
        const mode_t type = typeOf(node);
        SaveError error = SaveError::None;
        EXPECT_FALSE(road.saveAs(node, &error)) << node;
        EXPECT_EQ(error, SaveError::NotRegularFile) << node;
        EXPECT_EQ(typeOf(node), type) << node;
    }
    EXPECT_EQ(typeOf(path("fifo.rod")), static_cast<mode_t>(S_IFIFO));
    ::close(listener);
    // Nothing is left beside them.
    EXPECT_EQ(FileWatch::entries(folder).size(), nodes.size());

    // The other refusals say why as well.
    const std::string other = path("other.xml");
    std::ofstream(other) << "<Other/>";
    SaveError error = SaveError::None;
    EXPECT_FALSE(road.saveAs(other, &error));
    EXPECT_EQ(error, SaveError::NotRoadFile);
    EXPECT_FALSE(road.saveAs(path("missing/road.rod"), &error));
    EXPECT_EQ(error, SaveError::WriteFailed);
    EXPECT_TRUE(road.saveAs(path("new.rod"), &error));
    EXPECT_EQ(error, SaveError::None);
}

// The temporary file beside a road with a name at the file system's limit is named shorter, and
// never cut inside a character.
TEST_F(Save, NamesAtTheLimitSave)
{
    std::vector<std::string> names;
    for (const size_t length : { 250u, 254u, 255u })
        names.push_back(std::string(length - 4, 'r') + ".rod");
    std::string wide;
    while (wide.size() < 249)
        wide += "\xc3\xa4"; // a-umlaut
    names.push_back(wide + "x.rod");
    for (const std::string& name : names) {
        const std::string road = path(name);
        ASSERT_TRUE(saveRoad(road, 1.0)) << name.size();
        FileWatch::start(folder);
        ASSERT_TRUE(saveRoad(road, 2.0)) << name.size();
        EXPECT_EQ(offsetIn(road), 2.0);
        for (const FileWatch::Write& write : FileWatch::writes()) {
            const std::string temporary = write.path.substr(folder.size() + 1);
            EXPECT_LE(temporary.size(), 255u);
            const size_t kept = temporary.find(".~");
            ASSERT_NE(kept, std::string::npos);
            EXPECT_EQ(temporary.compare(0, kept, name, 0, kept), 0);
            EXPECT_NE(static_cast<unsigned char>(name[kept]) & 0xC0, 0x80u) << "cut inside a character";
        }
        EXPECT_EQ(FileWatch::entries(folder), std::vector<std::string> { name });
        std::remove(road.c_str());
    }
}

// The folder is synced once the new name is in it; a failed sync is reported with the file kept.
TEST_F(Save, SyncsTheFolderAfterTheRename)
{
    const std::string road = path("road.rod");
    FileWatch::start(folder);
    ASSERT_TRUE(saveRoad(road, 1.0));
    auto syncs = FileWatch::folderSyncs();
    ASSERT_FALSE(syncs.empty());
    EXPECT_EQ(syncs.back(), std::vector<std::string> { "road.rod" });

    RoadSurface loaded(road);
    ASSERT_TRUE(loaded.load());
    loaded.setPivouType(PivotMedialStrip, 2.0);
    FileWatch::start(folder);
    ASSERT_TRUE(loaded.save());
    syncs = FileWatch::folderSyncs();
    ASSERT_EQ(syncs.size(), 1u);
    EXPECT_EQ(syncs.back(), std::vector<std::string> { "road.rod" });

    FileWatch::start(folder, true);
    loaded.setPivouType(PivotMedialStrip, 3.0);
    SaveError error = SaveError::None;
    EXPECT_FALSE(loaded.save(&error));
    EXPECT_EQ(error, SaveError::FolderNotSynced);
    EXPECT_EQ(offsetIn(road), 3.0);
    EXPECT_EQ(FileWatch::entries(folder), std::vector<std::string> { "road.rod" });

    // The file layer says the same.
    internal::Xml::RoadFile file(road);
    file.open(true);
    EXPECT_FALSE(file.save());
    EXPECT_EQ(file.getSaveError(), SaveError::FolderNotSynced);
    FileWatch::stop();
    loaded.setPivouType(PivotMedialStrip, 4.0);
    EXPECT_TRUE(loaded.save(&error));
    EXPECT_EQ(error, SaveError::None);
    EXPECT_EQ(offsetIn(road), 4.0);
}

// The saving user keeps the group of the old file only where they belong to it; otherwise no byte goes
// into a file whose group bits would hand the old group's rights to the saving user's group.
TEST_F(Save, AGroupThatCannotBeKeptLosesItsBits)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can switch to an ordinary user";
    const std::string own = userFolder();
    ASSERT_FALSE(own.empty());
    const std::string outside = own + "/outside.rod";
    const std::string member = own + "/member.rod";
    for (const std::string& road : { outside, member }) {
        ASSERT_TRUE(saveRoad(road, 1.0));
        ASSERT_EQ(::chown(road.c_str(), user, otherGroup), 0);
        ASSERT_EQ(::chmod(road.c_str(), 02640), 0);
    }
    auto save = [&](const std::string& road, mode_t expected) {
        return [&, road, expected]() {
            FileWatch::start(own);
            std::string failures;
            if (!saveRoad(road, 2.0))
                failures += "not saved\n";
            for (const FileWatch::Write& write : FileWatch::writes())
                if (write.mode != expected)
                    failures += describe("mode at a write", write.mode, expected);
            return failures;
        };
    };
    const auto outsider = AsUser::run(user, user, {}, save(outside, 0600));
    if (!outsider)
        GTEST_SKIP() << "cannot switch to an ordinary user";
    EXPECT_EQ(*outsider, "");
    EXPECT_EQ(*AsUser::run(user, user, { otherGroup }, save(member, 02640)), "");

    struct stat info;
    ASSERT_EQ(::stat(outside.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, user);
    EXPECT_EQ(info.st_gid, user);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(offsetIn(outside), 2.0);
    ASSERT_EQ(::stat(member.c_str(), &info), 0);
    EXPECT_EQ(info.st_gid, otherGroup);
    EXPECT_EQ(info.st_mode & 07777, 02640u);
    EXPECT_EQ(offsetIn(member), 2.0);
}

// The access ACL and the user attributes are on the new file before its first byte; what the ACL gave
// an owning group that cannot be kept is not passed on.
TEST_F(Save, KeepsTheAccessListAndUserAttributes)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can switch to an ordinary user";
    const std::string own = userFolder();
    ASSERT_FALSE(own.empty());
    const std::string road = own + "/acl.rod";
    const std::string foreign = own + "/foreign.rod";
    const std::string list = acl({ { Owner, 6, noId },
                                   { NamedUser, 6, 999 },
                                   { OwningGroup, 0, noId },
                                   { Mask, 6, noId },
                                   { Others, 0, noId } });
    const std::string readingGroup = acl({ { Owner, 6, noId },
                                           { NamedUser, 6, 999 },
                                           { OwningGroup, 4, noId },
                                           { Mask, 6, noId },
                                           { Others, 0, noId } });
    for (const std::string& file : { road, foreign }) {
        ASSERT_TRUE(saveRoad(file, 1.0));
        ASSERT_EQ(::chown(file.c_str(), user, file == road ? user : otherGroup), 0);
        ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
        if (!setAttribute(file, accessAcl, file == road ? list : readingGroup))
            GTEST_SKIP() << "no access ACLs here: " << std::strerror(errno);
        ASSERT_TRUE(setAttribute(file, "user.origin", "survey"));
    }
    struct stat info;
    ASSERT_EQ(::stat(road.c_str(), &info), 0);
    ASSERT_EQ(info.st_mode & 07777, 0660u) << "the mask shows as the group bits";

    const auto result = AsUser::run(user, user, {}, [&]() {
        std::string failures;
        FileWatch::start(own);
        SaveError error = SaveError::None;
        if (!saveRoad(road, 2.0, &error) || error != SaveError::None)
            failures += describe("save", static_cast<int>(error), 0);
        for (const FileWatch::Write& write : FileWatch::writes())
            if (write.acl != list)
                failures += "a write into a file without the ACL\n";
        if (!saveRoad(foreign, 2.0, &error) || error != SaveError::None)
            failures += describe("save", static_cast<int>(error), 0);
        return failures;
    });
    if (!result)
        GTEST_SKIP() << "cannot switch to an ordinary user";
    EXPECT_EQ(*result, "");
    ASSERT_EQ(::stat(road.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0660u);
    EXPECT_EQ(attribute(road, accessAcl), list);
    EXPECT_EQ(attribute(road, "user.origin"), "survey");
    EXPECT_EQ(offsetIn(road), 2.0);
    // The saving user's group gets nothing; user 999 keeps what they had.
    ASSERT_EQ(::stat(foreign.c_str(), &info), 0);
    EXPECT_EQ(info.st_gid, user);
    EXPECT_EQ(attribute(foreign, accessAcl), list);
    EXPECT_EQ(attribute(foreign, "user.origin"), "survey");
}

// A folder's default ACL goes to new files; a file that had no ACL must not gain one by a save.
TEST_F(Save, AFileWithoutAnAccessListGainsNone)
{
    const std::string road = path("plain.rod");
    ASSERT_TRUE(saveRoad(road, 1.0));
    ASSERT_EQ(::chmod(road.c_str(), 0640), 0);
    const std::string defaults = acl({ { Owner, 7, noId },
                                       { NamedUser, 6, 999 },
                                       { OwningGroup, 5, noId },
                                       { Mask, 7, noId },
                                       { Others, 5, noId } });
    if (!setAttribute(folder, "system.posix_acl_default", defaults))
        GTEST_SKIP() << "no default ACLs here: " << std::strerror(errno);
    ASSERT_TRUE(saveRoad(road, 2.0));
    EXPECT_EQ(attribute(road, accessAcl), "<none>");
    struct stat info;
    ASSERT_EQ(::stat(road.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(offsetIn(road), 2.0);
}

// Where the ACL or the attributes cannot be carried over, the new file allows only what the owner had,
// from before its first byte, and the save says so but counts as done.
TEST_F(Save, AttributesThatCannotBeKeptLeaveTheOwnerAlone)
{
    const std::string road = path("acl.rod");
    const std::string tagged = path("tagged.rod");
    ASSERT_TRUE(saveRoad(road, 1.0));
    ASSERT_TRUE(saveRoad(tagged, 1.0));
    if (!setAttribute(road, accessAcl,
                      acl({ { Owner, 6, noId },
                            { NamedUser, 6, 999 },
                            { OwningGroup, 4, noId },
                            { Mask, 6, noId },
                            { Others, 4, noId } })))
        GTEST_SKIP() << "no access ACLs here: " << std::strerror(errno);
    ASSERT_TRUE(setAttribute(tagged, "user.origin", "survey"));

    for (const std::string& file : { road, tagged }) {
        FileWatch::start(folder);
        FileWatch::failAttributes(ENOTSUP);
        SaveError error = SaveError::None;
        int reason = 0;
        RoadSurface surface(file);
        surface.setPivouType(PivotMedialStrip, 2.0);
        EXPECT_TRUE(surface.save(&error, &reason)) << file;
        EXPECT_EQ(error, SaveError::AttributesNotKept) << file;
        EXPECT_EQ(reason, ENOTSUP) << file;
        const auto writes = FileWatch::writes();
        FileWatch::stop();
        ASSERT_FALSE(writes.empty());
        for (const FileWatch::Write& write : writes)
            EXPECT_EQ(write.mode, 0600u) << file;
        struct stat info;
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u) << file;
        EXPECT_EQ(offsetIn(file), 2.0);
    }
}

// A folder the user may write but not read cannot be opened to be synced: the road is saved all the
// same, and the save says why it was not synced.
TEST_F(Save, AFolderThatCannotBeReadDoesNotFailTheSave)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can switch to an ordinary user";
    const std::string own = userFolder();
    ASSERT_FALSE(own.empty());
    const std::string road = own + "/road.rod";
    ASSERT_TRUE(saveRoad(road, 1.0));
    ASSERT_EQ(::chown(road.c_str(), user, user), 0);
    ASSERT_EQ(::chmod(own.c_str(), 0300), 0);
    const auto result = AsUser::run(user, user, {}, [&]() {
        SaveError error = SaveError::None;
        int reason = 0;
        RoadSurface surface(road);
        surface.setPivouType(PivotMedialStrip, 2.0);
        std::string failures;
        if (!surface.save(&error, &reason))
            failures += "not saved\n";
        if (error != SaveError::FolderNotReadable)
            failures
                += describe("error", static_cast<int>(error), static_cast<int>(SaveError::FolderNotReadable));
        if (reason != EACCES)
            failures += describe("reason", reason, EACCES);
        // What the user saves into a folder they cannot read is theirs to overwrite as well.
        if (!surface.saveAs(own + "/new.rod", &error) || error != SaveError::FolderNotReadable)
            failures += "a new road not saved\n";
        return failures;
    });
    ::chmod(own.c_str(), 0700);
    if (!result)
        GTEST_SKIP() << "cannot switch to an ordinary user";
    EXPECT_EQ(*result, "");
    EXPECT_EQ(offsetIn(road), 2.0);
    EXPECT_EQ(FileWatch::entries(own), (std::vector<std::string> { "new.rod", "road.rod" }));
}

// A failed save names the system's reason.
TEST_F(Save, AFailedSaveGivesTheSystemsReason)
{
    const std::string road = path("road.rod");
    ASSERT_TRUE(saveRoad(road, 1.0));
    RoadSurface surface(road);
    surface.setPivouType(PivotMedialStrip, 2.0);
    SaveError error = SaveError::None;
    int reason = 0;
    auto failsWith = [&](const std::string& file, int expected) {
        error = SaveError::None;
        reason = 0;
        EXPECT_FALSE(surface.saveAs(file, &error, &reason)) << file;
        EXPECT_EQ(error, SaveError::WriteFailed) << file;
        EXPECT_EQ(reason, expected) << file << ": " << std::strerror(reason);
    };

    // A full disk, and a full inode table.
    FileWatch::start(folder);
    FileWatch::setFreeSpace(0);
    failsWith(road, ENOSPC);
    FileWatch::start(folder);
    FileWatch::failCreates(ENOSPC);
    failsWith(road, ENOSPC);
    failsWith(path("new.rod"), ENOSPC);
    FileWatch::stop();
    EXPECT_EQ(offsetIn(road), 1.0);

    failsWith(path("road.rod/inside.rod"), ENOTDIR);
    failsWith(path("missing/road.rod"), ENOENT);
    ASSERT_EQ(::symlink("loop.rod", path("loop.rod").c_str()), 0);
    failsWith(path("loop.rod"), ELOOP);

    // The bytes the folder refuses an ordinary user, also in place of a file they may not write.
    const std::string readOnly = path("readonly.rod");
    ASSERT_TRUE(saveRoad(readOnly, 1.0));
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    const auto result = AsUser::run(user, user, {}, [&]() {
        std::string failures;
        for (const std::string& file : { path("denied.rod"), readOnly }) {
            if (surface.saveAs(file, &error, &reason) || error != SaveError::WriteFailed)
                failures += file + " saved\n";
            if (reason != EACCES)
                failures += describe(file, reason, EACCES);
        }
        return failures;
    });
    if (result) {
        EXPECT_EQ(*result, "");
    }
    EXPECT_EQ(FileWatch::entries(folder),
              (std::vector<std::string> { "loop.rod", "readonly.rod", "road.rod" }));
}

// A save killed mid-way leaves its temporary file; the next save of that file removes it, and only
// what is certainly such a file. A save still running, here or in another PID namespace (a container, a
// machine sharing the folder), holds its file's lock: whatever its process id says here, it stays.
TEST_F(Save, TheNextSaveRemovesWhatKilledSavesLeftBehind)
{
    const std::string road = path("road.rod");
    ASSERT_TRUE(saveRoad(road, 1.0));
    const pid_t killed = ::fork();
    if (killed == 0) {
        AtomicFile file(road);
        if (file.open() == SaveError::None && file.write("<Road>", 6))
            ::kill(::getpid(), SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(killed, &status, 0), killed);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(FileWatch::entries(folder).size(), 2u) << "the killed save left its file";

    const std::string ended = std::to_string(endedProcess());
    auto make = [this](const std::string& name) { std::ofstream(path(name)) << "left"; };
    // Removed: a file named as a save names them, of this user, that no save holds, whether its process
    // id runs here or not.
    make("road.rod.~" + ended + ".7");
    make("road.rod.~" + ended + ".0");
    make("road.rod.~1.7");
    // Kept where the name was cut to the file system's limit: it may be any file of a road sharing the
    // first bytes, or none.
    const std::string longName = std::string(251, 'r') + ".rod";
    const std::string longSuffix = ".~" + ended + ".12";
    const std::string cut = longName.substr(0, 255 - longSuffix.size()) + longSuffix;
    make(cut);
    // Kept: a save elsewhere holds it, the name only looks alike, the file belongs to another road, is no
    // regular file or is another user's.
    const std::string held = "road.rod.~" + ended + ".11";
    make(held);
    const int holder = holdAsASave(path(held));
    ASSERT_GE(holder, 0);
    // A save of the same road in this process, still writing.
    AtomicFile running(road);
    ASSERT_EQ(running.open(), SaveError::None);
    const std::set<std::string> kept = { held,
                                         "road.rod.~" + ended + ".07",
                                         "road.rod.~" + ended + ".7.bak",
                                         "road.rod.~" + ended,
                                         "road.rod~" + ended + ".7",
                                         "other.rod.~" + ended + ".7",
                                         "road.rod.~" + ended + ".8",
                                         "road.rod.~" + ended + ".9",
                                         "road.rod.~" + ended + ".10" };
    for (const std::string& name : kept)
        if (name.substr(name.size() - 2) != ".8" && name.substr(name.size() - 2) != ".9")
            make(name);
    ASSERT_EQ(::mkdir(path("road.rod.~" + ended + ".8").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("road.rod", path("road.rod.~" + ended + ".9").c_str()), 0);
    std::set<std::string> expected = kept;
    if (::geteuid() == 0)
        ASSERT_EQ(::chown(path("road.rod.~" + ended + ".10").c_str(), 1234, 1234), 0);
    else
        expected.erase("road.rod.~" + ended + ".10");

    ASSERT_TRUE(saveRoad(road, 2.0));
    ASSERT_TRUE(saveRoad(path(longName), 2.0));
    ::close(holder);
    expected.insert("road.rod");
    expected.insert(longName);
    expected.insert(cut);
    expected.insert(running.temporaryPath().substr(folder.size() + 1));
    const auto entries = FileWatch::entries(folder);
    EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()), expected);
    EXPECT_TRUE(running.write("<Road/>", 7));
    EXPECT_EQ(running.commit(), SaveError::None);
}

// Where the temporary name is cut to the file system's limit, the first bytes of the road's name are all
// it keeps: another file of the folder may read the same, and a save of the road never takes it for its
// own leftover, whatever process id and number it carries.
TEST_F(Save, ACutTemporaryNameNeverRemovesAnotherFile)
{
    const std::string road = path(std::string(251, 'r') + ".rod");
    ASSERT_TRUE(saveRoad(road, 1.0));
    std::set<std::string> expected = { road.substr(folder.size() + 1) };
    for (const std::string& id : { std::to_string(endedProcess()), std::to_string(::getpid()) })
        for (const char* count : { "0", "1", "12" }) {
            const std::string suffix = ".~" + id + "." + count;
            // As a save names it, and as one whose writer keeps a journal beside it.
            const std::string name = std::string(255 - suffix.size(), 'r') + suffix;
            const std::string journaled = std::string(247 - suffix.size(), 'r') + suffix;
            for (const std::string& file : { name, journaled, journaled + "-journal" }) {
                std::ofstream(path(file)) << "survey";
                expected.insert(file);
            }
        }
    ASSERT_TRUE(saveRoad(road, 2.0));
    EXPECT_EQ(offsetIn(road), 2.0);
    AtomicFile companions(road, { "-journal" });
    ASSERT_EQ(companions.open(), SaveError::None);
    companions.cancel();
    const auto entries = FileWatch::entries(folder);
    EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()), expected);
}

// A save to a new path writes nothing there until the whole road is in place: a failed one leaves
// nothing.
TEST_F(Save, AFailedSaveToANewPathLeavesNothing)
{
    const std::string road = path("new.rod");
    FileWatch::start(folder);
    FileWatch::setFreeSpace(100);
    SaveError error = SaveError::None;
    int reason = 0;
    RoadSurface surface(road);
    surface.setPivouType(PivotMedialStrip, 1.0);
    EXPECT_FALSE(surface.save(&error, &reason));
    EXPECT_EQ(error, SaveError::WriteFailed);
    EXPECT_EQ(reason, ENOSPC);
    EXPECT_TRUE(FileWatch::entries(folder).empty());

    // The road appears once, whole.
    FileWatch::start(folder);
    ASSERT_TRUE(surface.save());
    EXPECT_EQ(FileWatch::folderSyncs().size(), 1u);
    EXPECT_EQ(offsetIn(road), 1.0);

    // A write stopped just before the rename leaves nothing either.
    AtomicFile stopped(path("stopped.rod"));
    ASSERT_EQ(stopped.open(), SaveError::None);
    ASSERT_TRUE(stopped.write("<Road/>", 7));
    EXPECT_EQ(stopped.commit([] { return true; }), SaveError::WriteFailed);
    EXPECT_EQ(stopped.systemError(), ECANCELED);
    EXPECT_EQ(FileWatch::entries(folder), std::vector<std::string> { "new.rod" });
}

// A road whose name is as long as a temporary name may be and ends like one is no leftover of its own
// saves: a save that fails leaves it whole, and one that succeeds keeps its attributes.
TEST_F(Save, ATargetNamedLikeATemporaryFileIsNoLeftover)
{
    const std::string name = std::string(249, 'r') + ".~12.3";
    ASSERT_EQ(name.size(), 255u);
    const std::string road = path(name);
    ASSERT_TRUE(saveRoad(road, 1.0));
    ASSERT_TRUE(setAttribute(road, "user.origin", "survey"));

    FileWatch::start(folder);
    FileWatch::setFreeSpace(0);
    SaveError error = SaveError::None;
    EXPECT_FALSE(saveRoad(road, 2.0, &error));
    EXPECT_EQ(error, SaveError::WriteFailed);
    FileWatch::stop();
    EXPECT_EQ(offsetIn(road), 1.0);

    EXPECT_TRUE(saveRoad(road, 2.0, &error));
    EXPECT_EQ(error, SaveError::None);
    EXPECT_EQ(offsetIn(road), 2.0);
    EXPECT_EQ(attribute(road, "user.origin"), "survey");
    EXPECT_EQ(FileWatch::entries(folder), std::vector<std::string> { name });
}

// The temporary file is a new file of its own: what lies at the next names (a link, a file another
// save holds) is neither followed nor opened, and the save goes on at a name that is free.
TEST_F(Save, ASaveNeverOpensWhatLiesAtItsNextNames)
{
    const std::string road = path("road.rod");
    ASSERT_TRUE(saveRoad(road, 1.0));
    unsigned long next = 0;
    {
        AtomicFile probe(road);
        ASSERT_EQ(probe.open(), SaveError::None);
        const std::string temporary = probe.temporaryPath();
        next = std::stoul(temporary.substr(temporary.rfind('.') + 1)) + 1;
    }
    const std::string prefix = "road.rod.~" + std::to_string(::getpid()) + ".";
    const std::string link = prefix + std::to_string(next);
    const std::string held = prefix + std::to_string(next + 1);
    ASSERT_EQ(::symlink("planted.rod", path(link).c_str()), 0);
    std::ofstream(path(held)) << "held";
    const int holder = holdAsASave(path(held));
    ASSERT_GE(holder, 0);

    ASSERT_TRUE(saveRoad(road, 2.0));
    ::close(holder);
    EXPECT_EQ(offsetIn(road), 2.0);
    EXPECT_EQ(typeOf(path(link)), static_cast<mode_t>(S_IFLNK));
    EXPECT_EQ(typeOf(path("planted.rod")), 0u) << "created through the link";
    std::ifstream kept(path(held));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "held");
    EXPECT_EQ(FileWatch::entries(folder), (std::vector<std::string> { "road.rod", link, held }));
}

// The lock on the temporary file lasts until the rename: a save in another process that looks for
// leftovers just before it leaves the file alone.
TEST_F(Save, TheLockLastsUntilTheRename)
{
    const std::string road = path("road.rod");
    ASSERT_TRUE(saveRoad(road, 1.0));
    AtomicFile file(road);
    ASSERT_EQ(file.open(), SaveError::None);
    const std::string text = "<Road/>";
    ASSERT_TRUE(file.write(text.data(), text.size()));
    int status = -1;
    const SaveError committed = file.commit([&] {
        const pid_t other = ::fork();
        if (other == 0) {
            AtomicFile save(road);
            const bool opened = save.open() == SaveError::None;
            save.cancel();
            ::_exit(opened ? 0 : 1);
        }
        ::waitpid(other, &status, 0);
        return false;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(committed, SaveError::None) << std::strerror(file.systemError());
    std::ifstream written(road);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), text);
    EXPECT_EQ(FileWatch::entries(folder), std::vector<std::string> { "road.rod" });
}

// Looking for leftovers never opens the temporary file of a save of this process: closing that
// descriptor would drop every record lock the process holds on the file, such as the transaction lock a
// database library takes on it.
TEST_F(Save, TheLeftoverScanKeepsTheRecordLocksOfThisProcess)
{
    const std::string road = path("road.rod");
    ASSERT_TRUE(saveRoad(road, 1.0));
    AtomicFile running(road);
    ASSERT_EQ(running.open(), SaveError::None);
    const std::string temporary = running.temporaryPath();
    const int database = ::open(temporary.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(database, 0);
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_start = 1 << 30;
    lock.l_len = 1;
    ASSERT_EQ(::fcntl(database, F_SETLK, &lock), 0);

    ASSERT_TRUE(saveRoad(road, 2.0));
    // Only another process sees the lock.
    const pid_t other = ::fork();
    if (other == 0) {
        const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
        struct flock probe = {};
        probe.l_type = F_RDLCK;
        probe.l_start = 1 << 30;
        probe.l_len = 1;
        ::_exit(fd >= 0 && ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type == F_WRLCK ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the lock was dropped";
    ::close(database);
    EXPECT_TRUE(running.write("<Road/>", 7));
    EXPECT_EQ(running.commit(), SaveError::None);
}

} // namespace
