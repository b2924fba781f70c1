#pragma once

#include <road/atomicfile.h>
#include <road/clippedhorizontalalignment.h>
#include <road/road_global.h>
#include <road/standardsection.h>
#include <road/stationiterator.h>

#include <corvex/point.h>
#include <corvex/point3d.h>
#include <corvex/polygon.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Pelko {
namespace Road {

class HorizontalAlignment;
class VerticalAlignment;
class StationsEquationConfiguration;
class SlopeSectionTemplateLibrary;
class SlopeSectionConfiguration;
class StructureElementConfiguration;
class StationTable;

// Where the cross section's pivot line lies; the road keeps the profile elevation on that line.
enum PivotType : std::int32_t {
    PivotNone = 0,
    PivotPlan = 1,
    PivotMedialStrip = 2,
    PivotOutsideOfTurn = 3,
    PivotInsideOfTurn = 4,
    PivotRoadLeftSide = 5,
    PivotRoadRightSide = 6,
};

// Centre, left (negative offset) and right (positive offset) design points at one station.
struct StationCoordinate
{
    double station = 0.0;
    Corvex::Point3D center;
    Corvex::Point3D left;
    Corvex::Point3D right;
};

// The road document: owns every part of one road file and answers the plan and elevation questions
// about the whole road. The part objects live as long as the document, so pointers from the pointer
// getters stay valid; loading replaces their contents, never the objects.
class ROAD_EXPORT RoadSurface
{
public:
    class RoadSurfacePrivate;

    RoadSurface();
    explicit RoadSurface(const std::string& path);
    ~RoadSurface();
    RoadSurface(const RoadSurface&) = default;
    RoadSurface& operator=(const RoadSurface&) = default;

    explicit operator bool() const { return d != nullptr; }

    const std::string& getPath() const;

    // False, with the document untouched, when the file cannot be read, its root is not "Road" or
    // its "Version" is 5 or more.
    bool load();
    bool save(SaveError* error = nullptr, int* systemError = nullptr) const;
    // Writes through a temporary file beside the target and renames it over the target (AtomicFile):
    // the file keeps its mode, access ACL and user attributes and, where the system allows, its owner
    // and group; hard links to it keep the old content. False when the save does not count as done
    // (isSaved); error, when given, receives why, or what the user must know of a save that went
    // through, and systemError the system's error number behind it. The previous file stays as it was
    // unless isWritten(error); a save to a new path that fails leaves nothing there. Only regular files
    // are replaced. The document's own path does not change.
    bool saveAs(const std::string& path, SaveError* error = nullptr, int* systemError = nullptr) const;

    HorizontalAlignment* getHorizontalAligment() const;
    StandardSection* getStandardSection() const;
    SlopeSectionTemplateLibrary* getSlopeSectionTemplateLibrary() const;
    SlopeSectionConfiguration* getSlopeSectionConfiguration() const;

    // Handles sharing the road's data.
    StationsEquationConfiguration getStationsEquations() const;
    VerticalAlignment getVerticalAligment() const;
    StructureElementConfiguration getStructures() const;
    StationTable getStationTable() const;

    // The road shares the argument's data.
    void setStationsEquations(const StationsEquationConfiguration& equations);
    void setVerticalAlignment(const VerticalAlignment& alignment);
    void setStructures(const StructureElementConfiguration& structures);

    double getStartStation() const;
    void setStartStation(double station);

    PivotType getPivotType() const;
    double getPivotOffset() const;
    // Types 0 and 1 keep the pivot on the centre line, so their offset is stored as 0.
    void setPivouType(PivotType type, double offset);
    // Signed pivot offset for one side at a station (negative to the left).
    double getAppliedPivotOffset(bool left, double station) const;

    // The continuous stations the centre line covers: the first element's begin station to the last
    // element's end station (the alignment's own begin station reads 0 after a load). False, with
    // begin and end untouched, on a road without elements.
    bool getStationRange(double& begin, double& end) const;
    // Whether the continuous station lies on the road, both ends included within a millimetre. False
    // on a road without elements and for a station that is not a number or not finite.
    bool isOnRoad(double station) const;

    // Design elevation; negative offsets are on the left. Beyond the section the side slope comes from
    // SlopeSectionTemplateConfiguration::getSlopeTemplateByStation, so the road's last station keeps
    // the slope of the segments ending there.
    bool getElevation(double station, double offset, double& elevation) const;
    // updown is subtracted inside the section; beyond it the side slope (useSlope) or the outermost
    // cross-section slope carried on (!useSlope) gives the height.
    double getElevation(double station, double offset, double updown, bool useSlope, bool& ok) const;
    // adjust is added inside the section; beyond it the side slope is always used.
    double getElevation(double station, double offset, double adjust, bool& ok) const;

    // (0, 0) without an alignment; ok receives whether the point is valid.
    Corvex::Point getNorthEast(double station, double offset, bool* ok = nullptr) const;
    bool getStationOffset(const Corvex::Point& point, double& station, double& offset) const;

    CrossSection getCrossSection(double station, StandardSection::SectionSide side) const;

    // Outline of the road: the left edge forward, the right edge back, closed. Curves are sampled at
    // the interval; an interval that is not positive samples element boundaries only. Empty when the
    // outline would take more than a million stations (a curve far too long for the interval).
    Corvex::Polygon getBorder(double interval) const;
    // Empty when begin or end lies on no element, or past the same number of stations.
    Corvex::Polygon getBorder(double begin, double end, double interval) const;

    // The window (x1, y1)-(x2, y2) is widened by twice the wider side unless only the centre line is
    // asked for, so that borders near the window's edge are drawn.
    ClippedHorizontalAlignment getBorderAndAlign(double value, double x1, double y1, double x2, double y2,
                                                 ClippedHorizontalAlignment::AlignmentLineType type,
                                                 int flags) const;

    // An interval that is not positive gives an invalid iterator.
    StationIterator getIterator(double interval, const Corvex::Point3D& point, bool flag,
                                bool keepOffset) const;
    StationIterator getIterator(double interval, const Corvex::Point& point, bool flag,
                                bool keepOffset) const;
    StationIterator getIterator(double interval, double begin, double end) const;
    StationIterator getIterator(double interval, double station, bool flag) const;
    StationIterator getTabledIterator(double value) const;

    // Centre, left (-offset) and right (+offset) points at every station an iterator at the interval stops
    // at, up to but not including the end. Empty when that would take more than a million stations, as
    // for the outline.
    std::vector<StationCoordinate> generateGradualStationCoordinates(double interval, double offset) const;

private:
    double getBaseLineElevation(double station, bool& ok) const;
    StationCoordinate calcaluteCoordinate(double station, double offset) const;

    std::shared_ptr<RoadSurfacePrivate> d;
};

} // namespace Road
} // namespace Pelko
