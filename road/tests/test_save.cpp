// How a save treats the file it replaces and the folder it lives in.

#include <road/internal/roadfile.h>
#include <road/roadsurface.h>

#include <filewatch.h>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace Pelko::Road;

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

    std::string folder;
    mode_t mask = 022;
};

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
        ASSERT_EQ(::stat(road.c_str(), &info), 0);
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

} // namespace
