#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/superelevationpoint.h>
#include <road/wideningpoint.h>

#include <memory>
#include <string>

namespace Pelko {
namespace Road {

class CrossSectionElementConfiguration;

// One strip of a cross section: a lane, a shoulder, a median part. Copies share the data, so a setter
// called through one handle is seen by every copy; clone() makes an independent element. A handle
// without data answers empty values and ignores setters.
class ROAD_EXPORT CrossSectionElement
{
public:
    CrossSectionElement() = default;
    CrossSectionElement(const CrossSectionElement&) = default;
    CrossSectionElement& operator=(const CrossSectionElement&) = default;
    CrossSectionElement(const std::string& name, double width, double slope, double deltaElevation);
    virtual ~CrossSectionElement();

    virtual std::string getName() const;
    virtual void setName(const std::string& name);
    virtual double getSlopeInPercentage() const;
    virtual void setSlopeInPercentage(double slope);
    virtual double getWidth() const;
    virtual void setWidth(double width);
    // Rise across the whole width.
    virtual double getElementDeltaElevation() const;
    virtual double getDeltaElevationToPrevious() const;
    virtual void setDeltaElevationToPrevious(double delta);
    // Height at distance into the element, for 0 <= distance <= width; 0 and ok false elsewhere.
    virtual double getObjectDeltaElevation(double distance, bool* ok = nullptr) const;

    bool isValid() const { return d != nullptr; }
    explicit operator bool() const { return isValid(); }

    CrossSectionElement clone() const;
    // A clone standing delta higher against the previous element.
    CrossSectionElement specialized(double delta) const;

    // Set by an evaluated cross section to where the element begins; 0 otherwise.
    double getStartingOffset() const;
    void setStartingOffset(double offset);

protected:
    struct CrossSectionElementData;
    explicit CrossSectionElement(CrossSectionElementData* data);

    // Values that are not finite load as 0 and make the result false.
    bool load(const internal::Node<CrossSectionElement>& node);
    void save(const internal::Node<CrossSectionElement>& node) const;

private:
    friend class CrossSectionElementConfiguration;

    void initial();

    std::shared_ptr<CrossSectionElementData> d;
};

// The base element with its slope taken from superelevation points at a station.
class ROAD_EXPORT SuperelevationElement : public CrossSectionElement
{
public:
    SuperelevationElement(
        double station,
        const SectionInterpolator<SuperelevationPoint, InterpolatorTraits<SuperelevationPoint>>& interpolator,
        const CrossSectionElement& base);
    SuperelevationElement(const SuperelevationElement&) = default;
    SuperelevationElement& operator=(const SuperelevationElement&) = default;
    ~SuperelevationElement() override;
};

// The base element with its width taken from widening points at a station.
class ROAD_EXPORT WideningElement : public CrossSectionElement
{
public:
    WideningElement(double station,
                    const SectionInterpolator<WideningPoint, InterpolatorTraits<WideningPoint>>& interpolator,
                    const CrossSectionElement& base);
    WideningElement(const WideningElement&) = default;
    WideningElement& operator=(const WideningElement&) = default;
    ~WideningElement() override;
};

} // namespace Road
} // namespace Pelko
