#pragma once

#include <road/crosssectionelement.h>
#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/superelevationpoint.h>
#include <road/wideningpoint.h>

#include <memory>
#include <vector>

namespace Pelko {
namespace Road {

class CrossSectionConfiguration;

namespace internal {
class StripList;
StripList sectionStrips(const CrossSectionConfiguration& configuration, double station, double baseElevation);
} // namespace internal

// One element of a side of the standard section with the superelevation and widening points that
// change it along the road. Copies share; clone() copies.
class ROAD_EXPORT CrossSectionElementConfiguration
{
public:
    enum ErrorCode : int {
        Success = 0,
        NotAbovePrevious = 1,
        NotBelowNext = 2,
        IndexOutOfRange = 3,
        OtherError = -1,
    };

    struct Result
    {
        ErrorCode code;
        unsigned index;
    };

    CrossSectionElementConfiguration();
    explicit CrossSectionElementConfiguration(const CrossSectionElement& element);
    CrossSectionElementConfiguration(const CrossSectionElementConfiguration&) = default;
    CrossSectionElementConfiguration& operator=(const CrossSectionElementConfiguration&) = default;
    ~CrossSectionElementConfiguration();

    // The base element is valid.
    bool isValid() const;
    explicit operator bool() const { return isValid(); }

    CrossSectionElement getElement() const;
    CrossSectionElement getCrossSectionElement() const { return getElement(); }
    void setCrossSectionElement(const CrossSectionElement& element);

    // The element as it applies at the station: widened first, then superelevated. New data on every
    // call; an invalid base gives an invalid element.
    CrossSectionElement elementAt(double station) const;
    // The width and slope of elementAt(station) without building it: 0 for an invalid base.
    double widthAt(double station) const;
    double slopeAt(double station) const;
    std::vector<WideningSegment> getWideningSegments() const;

    // Add refuses a station within 0.001 of a listed one and any number that is not finite. Set keeps
    // the same 0.001 margin to the neighbours and answers OtherError for numbers that are not finite.
    bool addSuperelevationPoint(const SuperelevationPoint& point);
    SuperelevationPoint getSuperelevationPointAt(unsigned index) const;
    Result setSuperelevationPointAt(unsigned index, const SuperelevationPoint& point);
    void removeSuperelevationPointAt(unsigned index);
    unsigned superelevationPointSize() const;

    bool addWideningPoint(const WideningPoint& point);
    WideningPoint getWideningPointAt(unsigned index) const;
    Result setWideningPointAt(unsigned index, const WideningPoint& point);
    void removeWideningPointAt(unsigned index);
    unsigned wideningPointSize() const;

    CrossSectionElementConfiguration clone() const;
    // A clone of the base element without points: slopes and widths of one side do not carry over.
    CrossSectionElementConfiguration mirror() const;

protected:
    struct CrossSectionElementConfigurationData;
    explicit CrossSectionElementConfiguration(CrossSectionElementConfigurationData* data);

    static ErrorCode translatedResult(int outcome);

    // Replaces the contents. False when something in the node was unusable and left out or zeroed.
    bool load(const internal::Node<CrossSectionElementConfiguration>& node);
    void save(const internal::Node<CrossSectionElementConfiguration>& node) const;

private:
    friend class CrossSectionConfiguration;
    friend internal::StripList internal::sectionStrips(const CrossSectionConfiguration&, double, double);

    std::shared_ptr<CrossSectionElementConfigurationData> d;
};

} // namespace Road
} // namespace Pelko
