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

    // What the road file keeps of an element: its kind, its name and the values of its kind. A surface
    // keeps height and ratio, a platform width and slope (in percent), a rectangular ditch inner height,
    // bottom width and outer height, a trapezoid ditch also inner and outer width; the other values are
    // not used. Ditch sizes come back as magnitudes.
    struct StoredValues
    {
        SlopeSectionElementType type = SlopeElementSurface;
        std::string name;
        double height = 0.0;
        double ratio = 0.0;
        double width = 0.0;
        double slope = 0.0;
        double innerHeight = 0.0;
        double innerWidth = 0.0;
        double bottomWidth = 0.0;
        double outerHeight = 0.0;
        double outerWidth = 0.0;
    };

    enum class Field : std::int32_t {
        None = 0,
        Type,
        Name,
        Height,
        Ratio,
        Width,
        Slope,
        InnerHeight,
        InnerWidth,
        BottomWidth,
        OuterHeight,
        OuterWidth,
    };

    // The value that keeps an element out of the road file, and why.
    struct Refusal
    {
        enum Reason : std::int32_t {
            Accepted = 0,
            // Not one of the four kinds.
            UnknownType = 1,
            // The file would end the name at the nul.
            NameWithNul = 2,
            // NaN or infinite.
            NotFinite = 3,
            // With the others it makes the element's width or height infinite (a ratio times a height, a
            // slope times a width, a ditch's widths added up); the larger factor or addend is named.
            TooLarge = 4,
            // A ditch depth or bottom width under a millimetre: no ditch at all.
            TooSmall = 5,
        };

        Field field = Field::None;
        Reason reason = Accepted;

        explicit operator bool() const { return reason != Accepted; }
    };

    // The one rule of what the road file keeps: the reader drops exactly the elements refused here, the
    // template library refuses templates holding one, and the editors check what is typed with it.
    // Fields are looked at in the order the editors show them.
    static Refusal refusal(const StoredValues& values);
    // The element the reader builds from the values, with the factory of the kind; an invalid element
    // when the values are refused.
    static SlopeSectionElement fromStoredValues(const StoredValues& values);

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

    // What a save writes of the element; an invalid element gives its type, -1.
    StoredValues storedValues() const;
    // Whether a save and a load give the element back as it is: its stored values are not refused and
    // build this very element. Not so for a placed element, nor for one built from a width and a height
    // whose stored ratio or slope gives the width or height back only nearly.
    bool isKeptByRoadFile() const;

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
