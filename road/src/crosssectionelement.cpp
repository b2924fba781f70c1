#include <road/crosssectionelement.h>

#include "sectionstrips.h"

#include <cmath>

namespace Pelko {
namespace Road {

struct CrossSectionElement::CrossSectionElementData
{
    std::string name;
    double deltaElevation = 0.0;
    double startingOffset = 0.0;
    double slope = 0.0;
    double width = 0.0;
};

CrossSectionElement::CrossSectionElement(const std::string& name, double width, double slope,
                                         double deltaElevation)
    : d(std::make_shared<CrossSectionElementData>())
{
    d->name = name;
    d->width = width;
    d->slope = slope;
    d->deltaElevation = deltaElevation;
}

CrossSectionElement::CrossSectionElement(CrossSectionElementData* data)
    : d(data)
{
}

CrossSectionElement::~CrossSectionElement() = default;

std::string CrossSectionElement::getName() const
{
    return d ? d->name : std::string();
}

void CrossSectionElement::setName(const std::string& name)
{
    if (d)
        d->name = name;
}

double CrossSectionElement::getSlopeInPercentage() const
{
    return d ? d->slope : 0.0;
}

void CrossSectionElement::setSlopeInPercentage(double slope)
{
    if (d)
        d->slope = slope;
}

double CrossSectionElement::getWidth() const
{
    return d ? d->width : 0.0;
}

void CrossSectionElement::setWidth(double width)
{
    if (d)
        d->width = width;
}

double CrossSectionElement::getElementDeltaElevation() const
{
    return internal::stripRise(getSlopeInPercentage(), getWidth());
}

double CrossSectionElement::getDeltaElevationToPrevious() const
{
    return d ? d->deltaElevation : 0.0;
}

void CrossSectionElement::setDeltaElevationToPrevious(double delta)
{
    if (d)
        d->deltaElevation = delta;
}

double CrossSectionElement::getObjectDeltaElevation(double distance, bool* ok) const
{
    if (!d) {
        if (ok)
            *ok = false;
        return 0.0;
    }
    return internal::heightInStrip(getDeltaElevationToPrevious(), getSlopeInPercentage(), getWidth(),
                                   distance, ok);
}

CrossSectionElement CrossSectionElement::clone() const
{
    if (!d)
        return CrossSectionElement();
    return CrossSectionElement(new CrossSectionElementData(*d));
}

CrossSectionElement CrossSectionElement::specialized(double delta) const
{
    CrossSectionElement result = clone();
    result.setDeltaElevationToPrevious(result.getDeltaElevationToPrevious() + delta);
    return result;
}

double CrossSectionElement::getStartingOffset() const
{
    return d ? d->startingOffset : 0.0;
}

void CrossSectionElement::setStartingOffset(double offset)
{
    if (d)
        d->startingOffset = offset;
}

void CrossSectionElement::initial()
{
    d->name.clear();
    d->width = 0.0;
    d->slope = 0.0;
    d->deltaElevation = 0.0;
    d->startingOffset = 0.0;
}

bool CrossSectionElement::load(const internal::Node<CrossSectionElement>& node)
{
    if (!d) {
        d = std::make_shared<CrossSectionElementData>();
        initial();
    }
    bool complete = true;
    auto finite = [&complete](double value) {
        if (std::isfinite(value))
            return value;
        complete = false;
        return 0.0;
    };
    d->name = node.getString("name");
    d->width = finite(node.getDouble("width"));
    d->slope = finite(node.getDouble("slope"));
    d->deltaElevation = finite(node.getDouble("delta_elevation"));
    return complete;
}

void CrossSectionElement::save(const internal::Node<CrossSectionElement>& node) const
{
    node.setString("name", getName());
    node.setDouble("width", getWidth());
    node.setDouble("slope", getSlopeInPercentage());
    node.setDouble("delta_elevation", getDeltaElevationToPrevious());
}

SuperelevationElement::SuperelevationElement(
    double station,
    const SectionInterpolator<SuperelevationPoint, InterpolatorTraits<SuperelevationPoint>>& interpolator,
    const CrossSectionElement& base)
    : CrossSectionElement(base.clone())
{
    setSlopeInPercentage(interpolator.value(station, base.getSlopeInPercentage()));
}

SuperelevationElement::~SuperelevationElement() = default;

WideningElement::WideningElement(
    double station, const SectionInterpolator<WideningPoint, InterpolatorTraits<WideningPoint>>& interpolator,
    const CrossSectionElement& base)
    : CrossSectionElement(base.clone())
{
    setWidth(interpolator.value(station, base.getWidth()));
}

WideningElement::~WideningElement() = default;

} // namespace Road
} // namespace Pelko
