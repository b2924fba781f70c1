#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplatelibrary.h>
#include <road/station.h>

#include <algorithm>
#include <cmath>

namespace Pelko {
namespace Road {

namespace {

bool sameStation(double a, double b)
{
    return std::fabs(a - b) < StationTolerance;
}

// A segment end names a template by its name; an end left unresolved counts whatever the type.
bool names(const SlopeSectionTemplate& end, SlopeSectionType type, const std::string& name)
{
    return end.getName() == name && (end.getType() == type || !end.isValid());
}

} // namespace

struct SlopeSectionSegment::Data
{
    std::string name;
    SlopeInterpolationType interpolation = SlopeInterpolationNone;
    double beginStation = 0.0;
    SlopeSectionTemplate beginTemplate;
    double endStation = 0.0;
    SlopeSectionTemplate endTemplate;
};

SlopeSectionSegment::SlopeSectionSegment()
    : d(std::make_shared<Data>())
{
}

SlopeSectionSegment::SlopeSectionSegment(const std::string& name, const SlopeSectionTemplateInfo& begin,
                                         const SlopeSectionTemplateInfo& end)
    : d(std::make_shared<Data>())
{
    d->name = name;
    d->beginStation = begin.station;
    d->beginTemplate = begin.slopeTemplate;
    d->endStation = sameStation(begin.station, end.station) ? begin.station : end.station;
    d->endTemplate = end.slopeTemplate;
    d->interpolation = begin.slopeTemplate.memoryId() == end.slopeTemplate.memoryId()
        ? SlopeInterpolationNone
        : SlopeInterpolationLinear;
}

SlopeSectionSegment::SlopeSectionSegment(std::shared_ptr<Data> data)
    : d(data ? std::move(data) : std::make_shared<Data>())
{
}

std::pair<SlopeSectionSegment, SlopeSectionSegment::ErrorCode>
SlopeSectionSegment::create(const std::string& name, const SlopeSectionTemplateInfo& begin,
                            const SlopeSectionTemplateInfo& end)
{
    if (name.empty())
        return { SlopeSectionSegment(), EmptyName };
    if (begin.slopeTemplate.getType() != end.slopeTemplate.getType())
        return { SlopeSectionSegment(), TypeMismatch };
    // NaN or infinite stations cannot be ordered against anything.
    if (!std::isfinite(begin.station) || !std::isfinite(end.station) || begin.station > end.station
        || sameStation(begin.station, end.station))
        return { SlopeSectionSegment(), InvalidStation };
    return { SlopeSectionSegment(name, begin, end), Success };
}

std::string SlopeSectionSegment::getName() const
{
    return d->name;
}

double SlopeSectionSegment::getStart() const
{
    return d->beginStation;
}

double SlopeSectionSegment::getEnd() const
{
    return d->endStation;
}

SlopeSectionType SlopeSectionSegment::getType() const
{
    return d->beginTemplate.getType();
}

SlopeInterpolationType SlopeSectionSegment::getInterpolationType() const
{
    return d->interpolation;
}

SlopeSectionTemplateInfo SlopeSectionSegment::getBeginInfo() const
{
    return SlopeSectionTemplateInfo(d->beginStation, d->beginTemplate);
}

SlopeSectionTemplateInfo SlopeSectionSegment::getEndInfo() const
{
    return SlopeSectionTemplateInfo(d->endStation, d->endTemplate);
}

SlopeSectionTemplate SlopeSectionSegment::getBeginTemplate() const
{
    return d->beginTemplate;
}

SlopeSectionTemplate SlopeSectionSegment::getEndTemplate() const
{
    return d->endTemplate;
}

bool SlopeSectionSegment::isValid() const
{
    return d->beginTemplate.isValid() && d->endTemplate.isValid();
}

bool SlopeSectionSegment::operator==(const SlopeSectionSegment& o) const
{
    return sameStation(d->beginStation, o.d->beginStation) && getType() == o.getType();
}

bool SlopeSectionSegment::operator<(const SlopeSectionSegment& o) const
{
    return d->beginStation < o.d->beginStation;
}

bool SlopeSectionSegment::operator<(double station) const
{
    return d->beginStation < station;
}

bool SlopeSectionSegment::contains(double station) const
{
    return (station > d->beginStation || sameStation(station, d->beginStation)) && station < d->endStation
        && !sameStation(station, d->endStation);
}

bool SlopeSectionSegment::isOverlappedWith(const SlopeSectionSegment& o) const
{
    return o.d->endStation > d->beginStation && d->endStation > o.d->beginStation;
}

bool SlopeSectionSegment::usesTemplate(SlopeSectionType type, const std::string& name) const
{
    return names(d->beginTemplate, type, name) || names(d->endTemplate, type, name);
}

SlopeSectionSegment SlopeSectionSegment::clone() const
{
    auto copy = std::make_shared<Data>(*d);
    copy->beginTemplate = d->beginTemplate.clone();
    copy->endTemplate = d->endTemplate.clone();
    return SlopeSectionSegment(copy);
}

SlopeSectionSegment SlopeSectionSegment::mirror(SlopeSectionSide side) const
{
    auto copy = std::make_shared<Data>(*d);
    copy->beginTemplate = d->beginTemplate.mirror(side);
    copy->endTemplate = d->endTemplate.mirror(side);
    return SlopeSectionSegment(copy);
}

void SlopeSectionSegment::update(const SlopeSectionTemplateLibrary& lib)
{
    // The ends stay within the segment's type: a library may hold one name in both lists.
    const SlopeSectionType type
        = d->beginTemplate.isValid() ? d->beginTemplate.getType() : d->endTemplate.getType();
    for (SlopeSectionTemplate* t : { &d->beginTemplate, &d->endTemplate }) {
        SlopeSectionTemplate found
            = type == SlopeSectionInvalid ? lib.getByName(t->getName()) : lib.getByName(type, t->getName());
        if (found.isValid())
            *t = found;
    }
}

void SlopeSectionSegment::repoint(const std::string& from, const SlopeSectionTemplate& renamed)
{
    const bool begin = names(d->beginTemplate, renamed.getType(), from);
    const bool end = names(d->endTemplate, renamed.getType(), from);
    if (begin)
        d->beginTemplate = renamed.clone();
    if (end)
        d->endTemplate
            = begin && d->interpolation == SlopeInterpolationNone ? d->beginTemplate : renamed.clone();
}

SlopeSectionTemplate SlopeSectionTemplateInterpolator::interpolate(const SlopeSectionSegment& seg,
                                                                   double station)
{
    const double b = seg.getStart();
    const double e = seg.getEnd();
    const SlopeSectionTemplate begin = seg.getBeginTemplate();
    const SlopeSectionTemplate end = seg.getEndTemplate();
    if (!begin.isValid() || !end.isValid() || !std::isfinite(station) || b > e || sameStation(b, e)
        || (station < b && !sameStation(station, b)) || (station > e && !sameStation(station, e)))
        return SlopeSectionTemplate();
    if (sameStation(station, b) || sameStation(station, e)
        || seg.getInterpolationType() == SlopeInterpolationNone)
        return begin.clone();

    const double t = (station - b) / (e - b);
    SlopeSectionTemplateEditable result(begin.getName(), begin.getType());
    const unsigned int count = std::min(begin.size(), end.size());
    for (unsigned int i = 0; i < count; ++i) {
        const SlopeSectionElement bi = begin.getAt(i);
        const SlopeSectionElement ei = end.getAt(i);
        if (bi.getType() != ei.getType())
            break;
        const double width = (ei.getWidth() - bi.getWidth()) * t + bi.getWidth();
        const double height = (ei.getHeight() - bi.getHeight()) * t + bi.getHeight();
        SlopeSectionElement element;
        switch (bi.getType()) {
        case SlopeElementSurface:
            element = SlopeSectionElement::createSlopeByWidthAndHeight(bi.getName(), width, height);
            break;
        case SlopeElementPlatform:
            element = SlopeSectionElement::createPlatformByHeight(bi.getName(), width, height);
            break;
        default:
            element = bi.clone();
            break;
        }
        // A platform that narrows below a millimetre has no geometry left to place.
        if (element.isValid())
            result.add(element);
    }
    return result.clone();
}

} // namespace Road
} // namespace Pelko
