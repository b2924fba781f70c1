#pragma once

#include <road/atomicfile.h>
#include <road/internal/node.h>
#include <road/road_global.h>

#include <memory>
#include <string>

namespace tinyxml2 {
class XMLDocument;
}

namespace Pelko {
namespace Road {

class StationsEquationConfiguration;
class HorizontalAlignment;
class VerticalAlignment;
class StandardSection;
class SlopeSectionTemplateLibrary;
class SlopeSectionConfiguration;
class StructureElementConfiguration;
class StationTable;

namespace internal {
namespace Xml {

// The road file for one load or one save: opens or creates the XML document, hands out the part
// nodes under the root "Road" and writes the document back. Nodes handed out point into the
// document and must not outlive this object.
class ROAD_EXPORT RoadFile
{
public:
    static constexpr int CurrentVersion = 4;
    static constexpr int CurrentFullVersion = 0x04020000;
    // Files from this full version on carry the slope template library.
    static constexpr int SlopeLibraryFullVersion = 0x04010000;

    // A document together with the bytes of the file it stands for, kept between saves so that a
    // save over a file that still holds exactly those bytes updates the document instead of parsing
    // the file again.
    struct ROAD_EXPORT Snapshot
    {
        Snapshot();
        ~Snapshot();
        std::string path;
        std::string bytes;
        std::unique_ptr<tinyxml2::XMLDocument> document;
    };

    explicit RoadFile(const std::string& path);
    ~RoadFile();
    RoadFile(const RoadFile&) = delete;
    RoadFile& operator=(const RoadFile&) = delete;

    // Loads the document; with create, raises an existing road file to the current version or
    // writes a new one holding only the root. The outcome shows in getVersion and the part nodes.
    // A snapshot of this path whose bytes the file still holds stands in for parsing it.
    void open(bool create, std::unique_ptr<Snapshot> previous = nullptr);
    // Opens as open with create, but writes nothing to a path where no file is: there only save
    // writes, so a save that fails or never ends leaves no file behind.
    void openForSave(std::unique_ptr<Snapshot> previous = nullptr);
    // Writes the document to the path through a temporary file (AtomicFile), so a failed write keeps
    // the old file. False unless the save counts as done (isSaved).
    bool save();
    // Why the last save, or the last open with create, failed, or what the user must know about a
    // save that went through; None after a plain success.
    SaveError getSaveError() const;
    // The system's error number behind getSaveError, 0 where there is none.
    int getSystemError() const;
    // The document with the file's bytes after a successful save, or after opening without create
    // when nothing has been added to it since; empty otherwise. The file is left without a document.
    std::unique_ptr<Snapshot> takeSnapshot();

    bool hasDocument() const;
    int getVersion() const;

    int getPivotType() const;
    void setPivotType(int type);
    double getPivotOffset() const;
    void setPivotOffset(double offset);

    Node<StationsEquationConfiguration> getStationsEquation();
    Node<HorizontalAlignment> getHorizontalAlignment();
    Node<VerticalAlignment> getVerticalAlignment();
    Node<StandardSection> getStandardSection();
    // Empty for files older than SlopeLibraryFullVersion: such files neither read nor write it.
    Node<SlopeSectionTemplateLibrary> getSlopeSectionLibrary();
    Node<SlopeSectionConfiguration> getSlopeSection();
    Node<StructureElementConfiguration> getStructureElements();
    Node<StationTable> getStationTable();

    // First root child of that name, appended at the end when missing.
    std::shared_ptr<NodeImpl> getSection(const std::string& name);
    template<typename T> Node<T> getSection(const std::string& name) { return Node<T>(getSection(name)); }

private:
    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace Xml
} // namespace internal
} // namespace Road
} // namespace Pelko
