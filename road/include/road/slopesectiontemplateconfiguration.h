#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/slope.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplate.h>
#include <road/slopesectiontemplatelibrary.h>

#include <cstdint>
#include <memory>
#include <string>

namespace Pelko {
namespace Road {

class SlopeSectionConfiguration;
class SlopeSectionTemplateLibrary;

// The slope segments of one side, kept in begin-station order by the edits, and the library through
// which they resolve their templates by name. Copies share the data; clone() copies the segments but
// keeps sharing the library.
class ROAD_EXPORT SlopeSectionTemplateConfiguration
{
public:
    struct SlopeConfigurationData;

    struct Error
    {
        enum Code : std::int32_t {
            Success = 0,
            // A segment of the same type begins at the same station.
            StationExists = 1,
            StationOverlapped = 2,
            StationNotFound = 3,
        };

        std::int32_t index = 0;
        std::int32_t code = Success;
    };

    struct TemplateResult
    {
        SlopeSectionTemplate first;
        SlopeSectionTemplate second;
    };

    SlopeSectionTemplateConfiguration();

    Error addSegment(const SlopeSectionSegment& seg);
    // A refused replacement leaves the list as it was.
    Error setSegmentAt(unsigned int i, const SlopeSectionSegment& seg);
    void removeAt(unsigned int i);
    // The stored segment (shared); an invalid one when i is out of range.
    SlopeSectionSegment getSegmentAt(unsigned int i) const;
    unsigned int size() const;

    SlopeSectionSegment getSegmentByStation(double station) const;
    // The template in force at the station, mirrored to this side.
    SlopeSectionTemplate getInterpolatedByStation(double station) const;
    // The side slope at the station, mirrored to this side: the template in force there, or, where no
    // segment holds the station, the end template of a segment ending there. A segment's end station
    // belongs to the segment after it; where none follows, as at the road's last station, the segment
    // itself still shapes the slope there. Elevations, stakes and the section drawings use this.
    SlopeSectionTemplate getSlopeTemplateByStation(double station) const;
    // Mirrored copies of the segments that contain the station.
    SlopeSectionTemplateConfiguration filteredByStation(double station) const;
    // Mirrored copies of the segments of that type; -1 keeps them all.
    SlopeSectionTemplateConfiguration filteredByType(SlopeSectionType type) const;

    SlopeSectionTemplateConfiguration clone() const;
    SlopeSectionSide getSide() const;
    void setSide(SlopeSectionSide side);
    // Every segment picks up the library's current templates of its names.
    void update();
    // For as long as this configuration's data lives, its library refuses to remove a template that
    // one of its segments uses and carries a template's new name into them, as it does for the road's
    // own configurations. For a working copy of a side's segments that is not yet the road's.
    void followLibrary() const;

protected:
    Error check(const SlopeSectionSegment& seg) const;
    void attach(const SlopeSectionTemplateLibrary& lib);
    void detach();
    void load(const internal::Node<SlopeSectionTemplateConfiguration>& node);
    void save(const internal::Node<SlopeSectionTemplateConfiguration>& node) const;

private:
    friend class SlopeSectionConfiguration;

    // The first segment using the template of that type and name, with this configuration's side.
    SlopeSectionTemplateLibrary::Use findUse(SlopeSectionType type, const std::string& name) const;
    void repoint(const std::string& from, const SlopeSectionTemplate& renamed);

    explicit SlopeSectionTemplateConfiguration(std::shared_ptr<SlopeConfigurationData> data);

    std::shared_ptr<SlopeConfigurationData> d;
};

} // namespace Road
} // namespace Pelko
