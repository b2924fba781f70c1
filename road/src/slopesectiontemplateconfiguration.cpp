#include <road/internal/roadfile.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>
#include <road/station.h>

#include <cmath>
#include <utility>
#include <vector>

namespace Pelko {
namespace Road {

struct SlopeSectionTemplateConfiguration::SlopeConfigurationData
{
    std::vector<SlopeSectionSegment> segments;
    SlopeSectionSide side = SlopeSideNeutral;
    SlopeSectionTemplateLibrary library;
};

namespace {

// Files before this full version name one template per segment ("start", "end", "reference").
constexpr int SegmentEndsFullVersion = 0x04020000;

// A name the library does not know still travels with the segment, so that saving keeps the reference
// and a later update can resolve it.
SlopeSectionTemplate resolve(const SlopeSectionTemplateLibrary& lib, const std::string& name)
{
    SlopeSectionTemplate t = lib.getByName(name);
    return t.isValid() ? t : SlopeSectionTemplate(name, SlopeSectionInvalid);
}

// A library may hold one name in both lists, so a segment looks its templates up in the list of its
// own type. Where the file does not tell the type, or that list lacks an end, the first list that
// holds both ends is taken, cut before fill. Each end gets a handle of its own.
std::pair<SlopeSectionTemplate, SlopeSectionTemplate> resolveEnds(const SlopeSectionTemplateLibrary& lib,
                                                                  int type, const std::string& begin,
                                                                  const std::string& end)
{
    for (SlopeSectionType list : { static_cast<SlopeSectionType>(type), SlopeSectionCut, SlopeSectionFill }) {
        SlopeSectionTemplate b = lib.getByName(list, begin);
        SlopeSectionTemplate e = lib.getByName(list, end);
        if (b.isValid() && e.isValid())
            return { b, e };
    }
    return { resolve(lib, begin), resolve(lib, end) };
}

} // namespace

SlopeSectionTemplateConfiguration::SlopeSectionTemplateConfiguration()
    : d(std::make_shared<SlopeConfigurationData>())
{
}

SlopeSectionTemplateConfiguration::SlopeSectionTemplateConfiguration(
    std::shared_ptr<SlopeConfigurationData> data)
    : d(data ? std::move(data) : std::make_shared<SlopeConfigurationData>())
{
}

SlopeSectionTemplateConfiguration::Error
SlopeSectionTemplateConfiguration::check(const SlopeSectionSegment& seg) const
{
    const std::vector<SlopeSectionSegment>& list = d->segments;
    std::size_t p = 0;
    while (p < list.size() && !(seg < list[p]) && !(seg == list[p]))
        ++p;
    const auto index = static_cast<std::int32_t>(p);
    if (p < list.size()) {
        if (seg == list[p])
            return { index, Error::StationExists };
        if (seg.isOverlappedWith(list[p]))
            return { index, Error::StationOverlapped };
        if (p + 1 < list.size() && seg.isOverlappedWith(list[p + 1]))
            return { index + 1, Error::StationOverlapped };
    }
    if (p > 0 && seg.isOverlappedWith(list[p - 1]))
        return { index - 1, Error::StationOverlapped };
    return { index, Error::Success };
}

SlopeSectionTemplateConfiguration::Error
SlopeSectionTemplateConfiguration::addSegment(const SlopeSectionSegment& seg)
{
    const Error e = check(seg);
    if (e.code == Error::Success)
        d->segments.insert(d->segments.begin() + e.index, seg);
    return e;
}

SlopeSectionTemplateConfiguration::Error
SlopeSectionTemplateConfiguration::setSegmentAt(unsigned int i, const SlopeSectionSegment& seg)
{
    if (i >= d->segments.size())
        return { static_cast<std::int32_t>(i), Error::StationNotFound };
    const SlopeSectionSegment old = d->segments[i];
    d->segments.erase(d->segments.begin() + i);
    const Error e = check(seg);
    if (e.code == Error::Success)
        d->segments.insert(d->segments.begin() + e.index, seg);
    else
        d->segments.insert(d->segments.begin() + i, old);
    return e;
}

void SlopeSectionTemplateConfiguration::removeAt(unsigned int i)
{
    if (i < d->segments.size())
        d->segments.erase(d->segments.begin() + i);
}

SlopeSectionSegment SlopeSectionTemplateConfiguration::getSegmentAt(unsigned int i) const
{
    return i < d->segments.size() ? d->segments[i] : SlopeSectionSegment();
}

unsigned int SlopeSectionTemplateConfiguration::size() const
{
    return static_cast<unsigned int>(d->segments.size());
}

SlopeSectionSegment SlopeSectionTemplateConfiguration::getSegmentByStation(double station) const
{
    return filteredByStation(station).getSegmentAt(0);
}

SlopeSectionTemplate SlopeSectionTemplateConfiguration::getInterpolatedByStation(double station) const
{
    return SlopeSectionTemplateInterpolator::interpolate(getSegmentByStation(station), station)
        .mirror(d->side);
}

SlopeSectionTemplate SlopeSectionTemplateConfiguration::getSlopeTemplateByStation(double station) const
{
    // The first holding segment, as getSegmentByStation finds it, without copying the list.
    for (const SlopeSectionSegment& seg : d->segments)
        if (seg.contains(station))
            return SlopeSectionTemplateInterpolator::interpolate(seg, station).mirror(d->side);
    for (const SlopeSectionSegment& seg : d->segments)
        if (std::fabs(seg.getEnd() - station) < StationTolerance && seg.getEndTemplate().isValid())
            return seg.getEndTemplate().mirror(d->side);
    return SlopeSectionTemplate();
}

SlopeSectionTemplateConfiguration SlopeSectionTemplateConfiguration::filteredByStation(double station) const
{
    auto data = std::make_shared<SlopeConfigurationData>();
    data->side = d->side;
    data->library = d->library;
    // Loaded lists are not sorted, so every segment is looked at rather than stopping at the first
    // that begins after the station.
    for (const SlopeSectionSegment& seg : d->segments)
        if (seg.contains(station))
            data->segments.push_back(seg.mirror(d->side));
    return SlopeSectionTemplateConfiguration(data);
}

SlopeSectionTemplateConfiguration
SlopeSectionTemplateConfiguration::filteredByType(SlopeSectionType type) const
{
    auto data = std::make_shared<SlopeConfigurationData>();
    data->side = d->side;
    data->library = d->library;
    for (const SlopeSectionSegment& seg : d->segments)
        if (type == SlopeSectionInvalid || seg.getType() == type)
            data->segments.push_back(seg.mirror(d->side));
    return SlopeSectionTemplateConfiguration(data);
}

SlopeSectionTemplateConfiguration SlopeSectionTemplateConfiguration::clone() const
{
    auto data = std::make_shared<SlopeConfigurationData>();
    data->side = d->side;
    data->library = d->library;
    for (const SlopeSectionSegment& seg : d->segments)
        data->segments.push_back(seg.clone());
    return SlopeSectionTemplateConfiguration(data);
}

SlopeSectionSide SlopeSectionTemplateConfiguration::getSide() const
{
    return d->side;
}

void SlopeSectionTemplateConfiguration::setSide(SlopeSectionSide side)
{
    d->side = side;
}

void SlopeSectionTemplateConfiguration::update()
{
    for (SlopeSectionSegment& seg : d->segments)
        seg.update(d->library);
}

void SlopeSectionTemplateConfiguration::followLibrary() const
{
    const std::weak_ptr<SlopeConfigurationData> owner = d;
    d->library.addUser(
        d,
        [owner](SlopeSectionType type, const std::string& name) {
            const auto data = owner.lock();
            return data ? SlopeSectionTemplateConfiguration(data).findUse(type, name)
                        : SlopeSectionTemplateLibrary::Use();
        },
        [owner](const std::string& from, const SlopeSectionTemplate& renamed) {
            if (const auto data = owner.lock())
                SlopeSectionTemplateConfiguration(data).repoint(from, renamed);
        });
}

SlopeSectionTemplateLibrary::Use SlopeSectionTemplateConfiguration::findUse(SlopeSectionType type,
                                                                            const std::string& name) const
{
    for (const SlopeSectionSegment& seg : d->segments)
        if (seg.usesTemplate(type, name))
            return { true, d->side, seg.getName() };
    return {};
}

void SlopeSectionTemplateConfiguration::repoint(const std::string& from, const SlopeSectionTemplate& renamed)
{
    for (SlopeSectionSegment& seg : d->segments)
        seg.repoint(from, renamed);
}

void SlopeSectionTemplateConfiguration::attach(const SlopeSectionTemplateLibrary& lib)
{
    d->library = lib;
}

void SlopeSectionTemplateConfiguration::detach()
{
    d->library = SlopeSectionTemplateLibrary();
}

void SlopeSectionTemplateConfiguration::load(const internal::Node<SlopeSectionTemplateConfiguration>& node)
{
    const int fullVersion = node.getFullVersion();
    for (auto child = node.firstChild("template"); child; child.toNextSibling()) {
        const std::string name = child.getString("name");
        if (name.empty())
            continue;
        std::pair<SlopeSectionSegment, SlopeSectionSegment::ErrorCode> created;
        const int type = child.getInt("type", SlopeSectionInvalid);
        if (fullVersion >= SegmentEndsFullVersion) {
            const auto ends = resolveEnds(d->library, type, child.getString("begin_reference"),
                                          child.getString("end_reference"));
            created = SlopeSectionSegment::create(name, { child.getDouble("begin_station"), ends.first },
                                                  { child.getDouble("end_station"), ends.second });
        } else {
            std::string reference = child.getString("reference");
            if (fullVersion < internal::Xml::RoadFile::SlopeLibraryFullVersion || reference.empty()) {
                // The template is stored inline; it moves into the library under a free name.
                SlopeSectionTemplateEditable stored(d->library.getAvailableName(name),
                                                    static_cast<SlopeSectionType>(type));
                stored.loadElements(child.cast<SlopeSectionTemplate>());
                d->library.add(stored);
                reference = stored.getName();
            }
            // A handle for each end, as the current layout gives them: the segment then interpolates
            // (between equal templates) now and after it is saved and read again.
            const auto ends = resolveEnds(d->library, type, reference, reference);
            created = SlopeSectionSegment::create(name, { child.getDouble("start"), ends.first },
                                                  { child.getDouble("end"), ends.second });
        }
        if (created.second == SlopeSectionSegment::Success)
            d->segments.push_back(created.first);
    }
}

void SlopeSectionTemplateConfiguration::save(
    const internal::Node<SlopeSectionTemplateConfiguration>& node) const
{
    node.removeChildren();
    for (const SlopeSectionSegment& seg : d->segments) {
        auto child = node.appendChild("template");
        child.setString("name", seg.getName());
        child.setInt("type", seg.getType());
        child.setDouble("begin_station", seg.getStart());
        child.setDouble("end_station", seg.getEnd());
        child.setString("begin_reference", seg.getBeginTemplate().getName());
        child.setString("end_reference", seg.getEndTemplate().getName());
    }
}

} // namespace Road
} // namespace Pelko
