#pragma once

#include <road/road_global.h>
#include <road/slope.h>

#include <corvex/point.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Pelko {
namespace Road {

struct SlopeSectionPoint
{
    enum Kind : std::int32_t {
        BreakPoint = 0,
        DitchBottomCenter = 1,
    };

    std::int32_t kind = BreakPoint;
    Corvex::Point point;
};

// One element of a slope template: a sloped surface, a platform or a side ditch. Kept neutral in a
// template (positive sizes, start at the origin) and specialized when a section is generated.
// Copies share the data; clone() deep-copies.
class ROAD_EXPORT SlopeSectionElement
{
public:
    struct ElementParameters
    {
        SlopeSectionElementType type = SlopeElementInvalid;
        std::string name;
        // Surface and platform: width, height, width, height, width. Ditch magnitudes: inner width,
        // inner depth, outer width, outer depth, bottom width.
        std::array<double, 5> values {};
        Slope slope;
    };

    struct ContainsResult
    {
        ContainsResult() = default;
        ContainsResult(bool onSegment, bool inElevationRange, bool inOffsetRange)
            : onSegment(onSegment)
            , inElevationRange(inElevationRange)
            , inOffsetRange(inOffsetRange)
        {
        }

        bool onSegment = false;
        bool inElevationRange = false;
        bool inOffsetRange = false;
    };

    explicit SlopeSectionElement(SlopeSectionElementType type = SlopeElementSurface);

    static SlopeSectionElement createSlope(const std::string& name, double height, double denominator);
    static SlopeSectionElement createSlopeByWidthAndHeight(const std::string& name, double width,
                                                           double height);
    static SlopeSectionElement createPlatformBySlope(const std::string& name, double width,
                                                     double percentage);
    static SlopeSectionElement createPlatformByHeight(const std::string& name, double width, double height);
    // Rectangular ditch.
    static SlopeSectionElement createSideDitch(const std::string& name, double innerHeight,
                                               double bottomWidth, double outerHeight);
    // Trapezoid ditch.
    static SlopeSectionElement createSideDitch(const std::string& name, double innerHeight, double innerWidth,
                                               double bottomWidth, double outerHeight, double outerWidth);

    SlopeSectionElementType getType() const;
    std::string getName() const;
    double getWidth() const;
    double getHeight() const;
    Slope getSlope() const;
    Corvex::Point getStartingPoint() const;
    Corvex::Point getEndingPoint() const;
    Corvex::Point getCenterPoint() const;
    bool isValid() const;
    explicit operator bool() const { return isValid(); }

    SlopeSectionElement clone() const;
    ElementParameters getParameters() const;
    std::vector<Corvex::Point> getPoints() const;
    std::vector<SlopeSectionPoint> getSectionPoints() const;
    SlopeNavigationPoint getElevationByOffset(const Corvex::Point& rover, bool extend) const;
    SlopeNavigationPoint getOffsetByElevation(const Corvex::Point& rover, bool extend) const;
    ContainsResult contains(const Corvex::Point& p) const;

    // A placed copy: starting at start, turned downward for fill, mirrored for the left side.
    SlopeSectionElement specialize(const Corvex::Point& start, SlopeSectionType type,
                                   SlopeSectionSide side) const;

private:
    class SlopeElementData;
    class SlopeElementDitchData;

    explicit SlopeSectionElement(std::shared_ptr<SlopeElementData> data);
    static SlopeSectionElement invalid();
    static SlopeSectionElement createSideDitch(SlopeSectionElementType type, const std::string& name,
                                               double innerHeight, double innerWidth, double bottomWidth,
                                               double outerHeight, double outerWidth);

    std::shared_ptr<SlopeElementData> d;
};

} // namespace Road
} // namespace Pelko
