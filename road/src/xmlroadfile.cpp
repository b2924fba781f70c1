#include <road/internal/roadfile.h>

#include <tinyxml2.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace Pelko {
namespace Road {
namespace internal {
namespace Xml {

struct RoadFile::Data
{
    std::unique_ptr<tinyxml2::XMLDocument> document;
    std::shared_ptr<NodeImpl> root;
    std::string path;
    // The bytes of the file as last read or written, and whether the document still stands for them.
    std::string bytes;
    bool unchanged = false;
};

RoadFile::Snapshot::Snapshot() = default;
RoadFile::Snapshot::~Snapshot() = default;

namespace {

std::unique_ptr<tinyxml2::XMLDocument> newDocument()
{
    return std::make_unique<tinyxml2::XMLDocument>(true, tinyxml2::PRESERVE_WHITESPACE);
}

// Reads a regular file whole; directories and devices are not road files.
bool readFile(const std::string& path, std::string& content)
{
    struct stat info;
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    // The size is only a hint: read until the end, whatever the file holds by then.
    content.resize(static_cast<size_t>(info.st_size) + 1);
    size_t size = 0;
    for (;;) {
        size += std::fread(&content[size], 1, content.size() - size, file);
        if (size < content.size())
            break;
        content.resize(content.size() * 2);
    }
    const bool ok = !std::ferror(file);
    std::fclose(file);
    content.resize(size);
    return ok;
}

// Whether the regular file at the path holds exactly these bytes, read in pieces to spare a copy.
bool holdsBytes(const std::string& path, const std::string& bytes)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)
        || static_cast<size_t>(info.st_size) != bytes.size())
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char piece[65536];
    size_t compared = 0;
    bool same = true;
    while (same) {
        const size_t read = std::fread(piece, 1, sizeof piece, file);
        same = read <= bytes.size() - compared && std::memcmp(piece, bytes.data() + compared, read) == 0;
        compared += read;
        if (read < sizeof piece)
            break;
    }
    same = same && !std::ferror(file) && compared == bytes.size();
    std::fclose(file);
    return same;
}

bool writeFile(const std::string& path, const char* data, size_t size)
{
    // Renaming needs only the folder to be writable: a file the user may not write stays as it is.
    struct stat old;
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    if (replacing && ::access(path.c_str(), W_OK) != 0)
        return false;
    const std::string temporary = path + ".~" + std::to_string(::getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(data, 1, size, file) == size;
    // The new file keeps the permissions of the one it replaces.
    if (replacing && S_ISREG(old.st_mode))
        ok = ::fchmod(::fileno(file), old.st_mode & 07777) == 0 && ok;
    ok = std::fflush(file) == 0 && ok;
    ok = ::fsync(::fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok)
        ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

// Writes the document and, when given, keeps the bytes written.
bool writeDocument(const tinyxml2::XMLDocument& document, const std::string& path,
                   std::string* bytes = nullptr)
{
    tinyxml2::XMLPrinter printer(nullptr, false);
    document.Print(&printer);
    const int size = printer.CStrSize();
    const size_t length = size > 0 ? static_cast<size_t>(size - 1) : 0;
    if (!writeFile(path, printer.CStr(), length))
        return false;
    if (bytes)
        bytes->assign(printer.CStr(), length);
    return true;
}

} // namespace

RoadFile::RoadFile(const std::string& path)
    : d(new Data)
{
    d->path = path;
}

RoadFile::~RoadFile() = default;

void RoadFile::open(bool create, std::unique_ptr<Snapshot> previous)
{
    auto document = newDocument();
    std::string content;
    bool loaded;
    if (previous && previous->document && previous->path == d->path && holdsBytes(d->path, previous->bytes)) {
        document = std::move(previous->document);
        content = std::move(previous->bytes);
        loaded = true;
    } else {
        loaded = readFile(d->path, content)
            && document->Parse(content.data(), content.size()) == tinyxml2::XML_SUCCESS;
    }
    if (loaded) {
        tinyxml2::XMLElement* element = document->FirstChildElement();
        const char* name = element ? element->Name() : nullptr;
        if (!name || std::string(name) != "Road")
            return;
        auto root = std::make_shared<NodeImpl>(element, 0, 0, create);
        int version;
        int fullVersion;
        if (create) {
            root->setInt("Version", CurrentVersion);
            root->setInt("FullVersion", CurrentFullVersion);
            version = CurrentVersion;
            fullVersion = CurrentFullVersion;
        } else {
            version = root->getInt("Version", 0);
            fullVersion = root->getInt("FullVersion", version);
        }
        d->document = std::move(document);
        d->root = std::make_shared<NodeImpl>(element, version, fullVersion, create);
        d->bytes = std::move(content);
        d->unchanged = !create;
        return;
    }
    if (!create)
        return;

    d->root.reset();
    d->document.reset();
    tinyxml2::XMLElement* element = document->NewElement("Road");
    document->InsertEndChild(element);
    auto root = std::make_shared<NodeImpl>(element, CurrentVersion, CurrentFullVersion, true);
    root->setInt("Version", CurrentVersion);
    root->setInt("FullVersion", CurrentFullVersion);
    // A new file is written at once so an unwritable path fails here. Something unreadable already
    // at the path is only replaced by the final save, so a failed save never leaves less than before.
    struct stat info;
    const bool exists = ::stat(d->path.c_str(), &info) == 0;
    if (!exists && !writeDocument(*document, d->path))
        return;
    d->document = std::move(document);
    d->root = std::move(root);
}

bool RoadFile::save()
{
    if (!d->document)
        return false;
    NodeImpl::settleTree(d->document->RootElement());
    d->unchanged = writeDocument(*d->document, d->path, &d->bytes);
    return d->unchanged;
}

std::unique_ptr<RoadFile::Snapshot> RoadFile::takeSnapshot()
{
    if (!d->document || !d->unchanged)
        return nullptr;
    auto snapshot = std::make_unique<Snapshot>();
    snapshot->path = d->path;
    snapshot->bytes = std::move(d->bytes);
    snapshot->document = std::move(d->document);
    d->root.reset();
    d->unchanged = false;
    return snapshot;
}

bool RoadFile::hasDocument() const
{
    return d->document != nullptr;
}

int RoadFile::getVersion() const
{
    return d->root ? d->root->getVersion() : 0;
}

int RoadFile::getPivotType() const
{
    return d->root ? d->root->getInt("PivotType", 0) : 0;
}

void RoadFile::setPivotType(int type)
{
    d->unchanged = false;
    if (d->root)
        d->root->setInt("PivotType", type);
}

double RoadFile::getPivotOffset() const
{
    return d->root ? d->root->getDouble("PivotOffset", 0.0) : 0.0;
}

void RoadFile::setPivotOffset(double offset)
{
    d->unchanged = false;
    if (d->root)
        d->root->setDouble("PivotOffset", offset);
}

std::shared_ptr<NodeImpl> RoadFile::getSection(const std::string& name)
{
    if (!d->root)
        return nullptr;
    if (auto child = d->root->firstChild(name))
        return child;
    d->unchanged = false;
    return d->root->appendChild(name);
}

Node<StationsEquationConfiguration> RoadFile::getStationsEquation()
{
    return getSection<StationsEquationConfiguration>("StationsEquation");
}

Node<HorizontalAlignment> RoadFile::getHorizontalAlignment()
{
    return getSection<HorizontalAlignment>("HorizontalAlignment");
}

Node<VerticalAlignment> RoadFile::getVerticalAlignment()
{
    return getSection<VerticalAlignment>("VerticalAlignment");
}

Node<StandardSection> RoadFile::getStandardSection()
{
    return getSection<StandardSection>("StandardSection");
}

Node<SlopeSectionTemplateLibrary> RoadFile::getSlopeSectionLibrary()
{
    if (!d->root || d->root->getFullVersion() < SlopeLibraryFullVersion)
        return Node<SlopeSectionTemplateLibrary>();
    return getSection<SlopeSectionTemplateLibrary>("SlopeSectionLibrary");
}

Node<SlopeSectionConfiguration> RoadFile::getSlopeSection()
{
    return getSection<SlopeSectionConfiguration>("SlopeSection");
}

Node<StructureElementConfiguration> RoadFile::getStructureElements()
{
    return getSection<StructureElementConfiguration>("StructureElements");
}

Node<StationTable> RoadFile::getStationTable()
{
    return getSection<StationTable>("StationTable");
}

} // namespace Xml
} // namespace internal
} // namespace Road
} // namespace Pelko
