#pragma once

#include <road/road_global.h>
#include <road/slope.h>
#include <road/slopesectiontemplate.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace Pelko {
namespace Road {

class SlopeSectionTemplateLibrary;

enum SlopeInterpolationType : std::int32_t {
    // Both ends hold the same template data.
    SlopeInterpolationNone = 0,
    SlopeInterpolationLinear = 1,
};

// A stretch of one side between a begin and an end station, with a slope template at each end. The
// begin station belongs to the segment, the end station does not. Copies share the data.
class ROAD_EXPORT SlopeSectionSegment
{
public:
    struct SlopeSectionTemplateInfo
    {
        SlopeSectionTemplateInfo() = default;
        SlopeSectionTemplateInfo(double station, const SlopeSectionTemplate& slopeTemplate)
            : station(station)
            , slopeTemplate(slopeTemplate)
        {
        }

        double station = 0.0;
        SlopeSectionTemplate slopeTemplate;
    };

    enum ErrorCode : std::int32_t {
        Success = 0,
        // Begin station not below the end station (or not a number).
        InvalidStation = 1,
        // One end is fill, the other cut.
        TypeMismatch = 2,
        // The road file keeps segments by name; one without a name could not be read back.
        EmptyName = 3,
    };

    SlopeSectionSegment();

    static std::pair<SlopeSectionSegment, ErrorCode> create(const std::string& name,
                                                            const SlopeSectionTemplateInfo& begin,
                                                            const SlopeSectionTemplateInfo& end);

    std::string getName() const;
    double getStart() const;
    double getEnd() const;
    // The begin template's type.
    SlopeSectionType getType() const;
    SlopeInterpolationType getInterpolationType() const;
    SlopeSectionTemplateInfo getBeginInfo() const;
    SlopeSectionTemplateInfo getEndInfo() const;
    SlopeSectionTemplate getBeginTemplate() const;
    SlopeSectionTemplate getEndTemplate() const;

    // Both templates are valid.
    bool isValid() const;
    explicit operator bool() const { return isValid(); }

    // Same begin station (within a millimetre) and type.
    bool operator==(const SlopeSectionSegment& o) const;
    bool operator<(const SlopeSectionSegment& o) const;
    bool operator<(double station) const;
    bool contains(double station) const;
    // Segments that only touch do not overlap.
    bool isOverlappedWith(const SlopeSectionSegment& o) const;
    // An end names the template: the same name, resolved to a template of that type or not resolved.
    bool usesTemplate(SlopeSectionType type, const std::string& name) const;

    SlopeSectionSegment clone() const;
    SlopeSectionSegment mirror(SlopeSectionSide side) const;

protected:
    struct Data;

    SlopeSectionSegment(const std::string& name, const SlopeSectionTemplateInfo& begin,
                        const SlopeSectionTemplateInfo& end);
    explicit SlopeSectionSegment(std::shared_ptr<Data> data);

    // Both ends pick up the library's current template of their name and the segment's type, when
    // there is one.
    void update(const SlopeSectionTemplateLibrary& lib);
    // The ends that name the template from take renamed, a template of the same type under its new
    // name. A template held at both ends stays one, so the segment keeps its interpolation.
    void repoint(const std::string& from, const SlopeSectionTemplate& renamed);

    std::shared_ptr<Data> d;

private:
    friend class SlopeSectionTemplateConfiguration;
};

using SlopeSectionTemplateInfo = SlopeSectionSegment::SlopeSectionTemplateInfo;

// The template in force at a station of a segment.
class ROAD_EXPORT SlopeSectionTemplateInterpolator
{
public:
    SlopeSectionTemplateInterpolator() = default;
    SlopeSectionTemplateInterpolator& operator=(const SlopeSectionTemplateInterpolator&) { return *this; }
    ~SlopeSectionTemplateInterpolator() { }

    // Widths and heights of surfaces and platforms are interpolated element by element up to the first
    // pair of different types; ditches are copied from the begin template. An empty template when the
    // station lies outside the segment or an end template is invalid.
    static SlopeSectionTemplate interpolate(const SlopeSectionSegment& seg, double station);
};

} // namespace Road
} // namespace Pelko
