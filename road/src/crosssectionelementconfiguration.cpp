#include <road/crosssectionelementconfiguration.h>

#include <road/crosssectionconfiguration.h>
#include <road/station.h>

#include "sectionstrips.h"

#include <cmath>

namespace Pelko {
namespace Road {

struct CrossSectionElementConfiguration::CrossSectionElementConfigurationData
{
    CrossSectionElement element;
    SuperelevationConfiguration superelevation;
    WideningConfiguration widening;
};

CrossSectionElementConfiguration::CrossSectionElementConfiguration()
    : d(std::make_shared<CrossSectionElementConfigurationData>())
{
}

CrossSectionElementConfiguration::CrossSectionElementConfiguration(const CrossSectionElement& element)
    : d(std::make_shared<CrossSectionElementConfigurationData>())
{
    d->element = element;
}

CrossSectionElementConfiguration::CrossSectionElementConfiguration(CrossSectionElementConfigurationData* data)
    : d(data)
{
}

CrossSectionElementConfiguration::~CrossSectionElementConfiguration() = default;

bool CrossSectionElementConfiguration::isValid() const
{
    return d && d->element.isValid();
}

CrossSectionElement CrossSectionElementConfiguration::getElement() const
{
    return d ? d->element : CrossSectionElement();
}

void CrossSectionElementConfiguration::setCrossSectionElement(const CrossSectionElement& element)
{
    if (d)
        d->element = element;
}

CrossSectionElement CrossSectionElementConfiguration::elementAt(double station) const
{
    if (!isValid())
        return CrossSectionElement();
    // Widened, then superelevated: the two touch different values, so one copy of the base carries both.
    CrossSectionElement element = d->element.clone();
    element.setWidth(widthAt(station));
    element.setSlopeInPercentage(slopeAt(station));
    return element;
}

double CrossSectionElementConfiguration::widthAt(double station) const
{
    if (!isValid())
        return 0.0;
    return d->widening.interpolator(station).value(station, d->element.getWidth());
}

double CrossSectionElementConfiguration::slopeAt(double station) const
{
    if (!isValid())
        return 0.0;
    return d->superelevation.interpolator(station).value(station, d->element.getSlopeInPercentage());
}

std::vector<WideningSegment> CrossSectionElementConfiguration::getWideningSegments() const
{
    std::vector<WideningSegment> segments;
    if (!d)
        return segments;
    const std::vector<WideningPoint>& p = d->widening.points();
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        const double change = std::fabs(p[i].getWidth() - p[i + 1].getWidth());
        if (change > 0.001)
            segments.emplace_back(p[i].getStation(), p[i + 1].getStation(), change, p[i].getMethod());
    }
    std::vector<WideningSegment> merged;
    for (const WideningSegment& s : segments) {
        if (!merged.empty() && std::fabs(merged.back().endStation - s.beginStation) < StationTolerance
            && merged.back().method == s.method)
            merged.back().endStation = s.endStation;
        else
            merged.push_back(s);
    }
    return merged;
}

bool CrossSectionElementConfiguration::addSuperelevationPoint(const SuperelevationPoint& point)
{
    return d && d->superelevation.add(point);
}

SuperelevationPoint CrossSectionElementConfiguration::getSuperelevationPointAt(unsigned index) const
{
    return d ? d->superelevation.at(index) : SuperelevationPoint();
}

CrossSectionElementConfiguration::Result
CrossSectionElementConfiguration::setSuperelevationPointAt(unsigned index, const SuperelevationPoint& point)
{
    if (!d)
        return { IndexOutOfRange, index };
    return { translatedResult(d->superelevation.setAt(index, point)), index };
}

void CrossSectionElementConfiguration::removeSuperelevationPointAt(unsigned index)
{
    if (d)
        d->superelevation.removeAt(index);
}

unsigned CrossSectionElementConfiguration::superelevationPointSize() const
{
    return d ? d->superelevation.size() : 0u;
}

bool CrossSectionElementConfiguration::addWideningPoint(const WideningPoint& point)
{
    return d && d->widening.add(point);
}

WideningPoint CrossSectionElementConfiguration::getWideningPointAt(unsigned index) const
{
    return d ? d->widening.at(index) : WideningPoint();
}

CrossSectionElementConfiguration::Result
CrossSectionElementConfiguration::setWideningPointAt(unsigned index, const WideningPoint& point)
{
    if (!d)
        return { IndexOutOfRange, index };
    return { translatedResult(d->widening.setAt(index, point)), index };
}

void CrossSectionElementConfiguration::removeWideningPointAt(unsigned index)
{
    if (d)
        d->widening.removeAt(index);
}

unsigned CrossSectionElementConfiguration::wideningPointSize() const
{
    return d ? d->widening.size() : 0u;
}

CrossSectionElementConfiguration CrossSectionElementConfiguration::clone() const
{
    auto* copy = new CrossSectionElementConfigurationData();
    if (d) {
        copy->element = d->element.clone();
        copy->superelevation = d->superelevation;
        copy->widening = d->widening;
    }
    return CrossSectionElementConfiguration(copy);
}

CrossSectionElementConfiguration CrossSectionElementConfiguration::mirror() const
{
    return CrossSectionElementConfiguration(getElement().clone());
}

CrossSectionElementConfiguration::ErrorCode CrossSectionElementConfiguration::translatedResult(int outcome)
{
    switch (outcome) {
    case -2:
        return IndexOutOfRange;
    case -1:
        return NotAbovePrevious;
    case 0:
        return Success;
    case 1:
        return NotBelowNext;
    default:
        return OtherError;
    }
}

bool CrossSectionElementConfiguration::load(const internal::Node<CrossSectionElementConfiguration>& node)
{
    if (!d)
        d = std::make_shared<CrossSectionElementConfigurationData>();
    CrossSectionElement element;
    bool complete = element.load(node.firstChild<CrossSectionElement>("template"));
    d->element = element;
    using SuperelevationList = SectionModificationConfiguration<SuperelevationElement, SuperelevationPoint>;
    using WideningList = SectionModificationConfiguration<WideningElement, WideningPoint>;
    complete = d->superelevation.load(node.firstChild<SuperelevationList>("Superelevation")) && complete;
    complete = d->widening.load(node.firstChild<WideningList>("Widening")) && complete;
    return complete;
}

void CrossSectionElementConfiguration::save(
    const internal::Node<CrossSectionElementConfiguration>& node) const
{
    node.removeChildren();
    getElement().save(node.appendChild<CrossSectionElement>("template"));
    using SuperelevationList = SectionModificationConfiguration<SuperelevationElement, SuperelevationPoint>;
    using WideningList = SectionModificationConfiguration<WideningElement, WideningPoint>;
    if (d) {
        d->superelevation.save(node.appendChild<SuperelevationList>("Superelevation"));
        d->widening.save(node.appendChild<WideningList>("Widening"));
    }
}

namespace internal {

StripList sectionStrips(const CrossSectionConfiguration& configuration, double station, double baseElevation)
{
    StripList strips;
    for (const CrossSectionElementConfiguration& c : *configuration.d) {
        if (c.isValid())
            strips.push_back(
                { c.widthAt(station), c.slopeAt(station), c.d->element.getDeltaElevationToPrevious() });
    }
    if (!strips.empty())
        strips.front().step = strips.front().step + baseElevation;
    return strips;
}

} // namespace internal

} // namespace Road
} // namespace Pelko
