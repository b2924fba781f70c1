#include <road/internal/roadfile.h>

#include <tinyxml2.h>

#include <sys/stat.h>

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
    SaveError error = SaveError::None;
    int systemError = 0;
    // Whether open with create writes a new file at once.
    bool writeNewAtOnce = true;
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

SaveError writeFile(const std::string& path, const char* data, size_t size, int& systemError)
{
    AtomicFile file(path);
    SaveError error = file.open();
    if (error == SaveError::None)
        error = file.write(data, size) ? file.commit() : SaveError::WriteFailed;
    systemError = file.systemError();
    return error;
}

// Text that the parser would hand back changed is written with character references: a carriage
// return comes back as a line feed (in attribute values too), and a text of blanks alone is not read
// as text at all.
class ExactTextPrinter : public tinyxml2::XMLPrinter
{
public:
    ExactTextPrinter()
        : XMLPrinter(nullptr, false)
    {
    }

    bool VisitEnter(const tinyxml2::XMLElement& element, const tinyxml2::XMLAttribute* attribute) override
    {
        bool plain = true;
        for (const tinyxml2::XMLAttribute* a = attribute; a; a = a->Next())
            plain = plain && !std::strchr(a->Value(), '\r');
        if (plain)
            return XMLPrinter::VisitEnter(element, attribute);
        const tinyxml2::XMLElement* parent = element.Parent() ? element.Parent()->ToElement() : nullptr;
        OpenElement(element.Name(), parent && CompactMode(*parent));
        for (; attribute; attribute = attribute->Next()) {
            Putc(' ');
            Write(attribute->Name());
            Write("=\"");
            for (const char* p = attribute->Value(); *p; ++p) {
                switch (*p) {
                case '&':
                    Write("&amp;");
                    break;
                case '<':
                    Write("&lt;");
                    break;
                case '>':
                    Write("&gt;");
                    break;
                case '"':
                    Write("&quot;");
                    break;
                case '\'':
                    Write("&apos;");
                    break;
                case '\r':
                    Write("&#13;");
                    break;
                default:
                    Putc(*p);
                }
            }
            Putc('"');
        }
        return true;
    }

    bool Visit(const tinyxml2::XMLText& text) override
    {
        const char* value = text.Value();
        // An empty text (a reference to character 0 reads as one) would come back as no text at all,
        // and the element then prints shorter on the next save.
        if (!*value)
            return true;
        const bool blank = *value && std::strspn(value, kBlanks) == std::strlen(value);
        if (!blank && !std::strchr(value, '\r'))
            return XMLPrinter::Visit(text);
        // Runs between references go through PushText, which escapes them and keeps the closing tag
        // on this line.
        PushText("");
        std::string run;
        for (const char* p = value; *p; ++p) {
            if (*p != '\r' && !blank) {
                run += *p;
                continue;
            }
            PushText(run.c_str());
            run.clear();
            char reference[8];
            std::snprintf(reference, sizeof reference, "&#%d;", static_cast<unsigned char>(*p));
            Write(reference);
        }
        PushText(run.c_str());
        return true;
    }

private:
    static constexpr const char* kBlanks = " \t\n\v\f\r";
};

// Text outside the root is no XML. The parser lets it through (up to a stray end tag, where it stops
// reading), but written back it makes a file that does not parse, or one that grows on every save.
void dropTextOutsideRoot(tinyxml2::XMLDocument& document)
{
    for (tinyxml2::XMLNode* node = document.FirstChild(); node;) {
        tinyxml2::XMLNode* next = node->NextSibling();
        if (node->ToText())
            document.DeleteChild(node);
        node = next;
    }
}

// Writes the document and, when given, keeps the bytes written.
SaveError writeDocument(const tinyxml2::XMLDocument& document, const std::string& path, int& systemError,
                        std::string* bytes = nullptr)
{
    ExactTextPrinter printer;
    document.Print(&printer);
    const int size = printer.CStrSize();
    const size_t length = size > 0 ? static_cast<size_t>(size - 1) : 0;
    const SaveError error = writeFile(path, printer.CStr(), length, systemError);
    if (bytes && isWritten(error))
        bytes->assign(printer.CStr(), length);
    return error;
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
        if (loaded)
            dropTextOutsideRoot(*document);
    }
    if (loaded) {
        tinyxml2::XMLElement* element = document->FirstChildElement();
        const char* name = element ? element->Name() : nullptr;
        if (!name || std::string(name) != "Road") {
            d->error = SaveError::NotRoadFile;
            return;
        }
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
    // The final save syncs the folder again, so an unsynced folder does not stop it here.
    struct stat info;
    if (d->writeNewAtOnce && ::stat(d->path.c_str(), &info) != 0) {
        const SaveError error = writeDocument(*document, d->path, d->systemError);
        if (!isWritten(error)) {
            d->error = error;
            return;
        }
    }
    d->document = std::move(document);
    d->root = std::move(root);
}

void RoadFile::openForSave(std::unique_ptr<Snapshot> previous)
{
    d->writeNewAtOnce = false;
    open(true, std::move(previous));
    d->writeNewAtOnce = true;
}

bool RoadFile::save()
{
    if (!d->document) {
        if (d->error == SaveError::None)
            d->error = SaveError::WriteFailed;
        return false;
    }
    NodeImpl::settleTree(d->document->RootElement());
    d->error = writeDocument(*d->document, d->path, d->systemError, &d->bytes);
    d->unchanged = isWritten(d->error);
    return isSaved(d->error);
}

SaveError RoadFile::getSaveError() const
{
    return d->error;
}

int RoadFile::getSystemError() const
{
    return d->systemError;
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
