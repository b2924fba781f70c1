#include <road/slopesectionconfiguration.h>

namespace Pelko {
namespace Road {

struct SlopeSectionConfiguration::SlopeSectionConfigurationData
{
    SlopeSectionTemplateLibrary library;
    SlopeSectionTemplateConfiguration left;
    SlopeSectionTemplateConfiguration right;
};

namespace {

// Whether an end of a segment names the template; an end left unresolved counts whatever its type.
bool names(const SlopeSectionTemplate& end, SlopeSectionType type, const std::string& name)
{
    return end.getName() == name && (end.getType() == type || !end.isValid());
}

bool uses(const SlopeSectionTemplateConfiguration& side, SlopeSectionType type, const std::string& name)
{
    for (unsigned int i = 0; i < side.size(); ++i) {
        const SlopeSectionSegment segment = side.getSegmentAt(i);
        if (names(segment.getBeginTemplate(), type, name) || names(segment.getEndTemplate(), type, name))
            return true;
    }
    return false;
}

} // namespace

SlopeSectionConfiguration::SlopeSectionConfiguration()
    : d(std::make_shared<SlopeSectionConfigurationData>())
{
    d->left.setSide(SlopeSideLeft);
    d->right.setSide(SlopeSideRight);
    // Inline templates of older files must land in the library this configuration hands out.
    attach(d->library);
}

void SlopeSectionConfiguration::attach(const SlopeSectionTemplateLibrary& lib)
{
    d->library.removeUser(d);
    d->library = lib;
    d->left.attach(lib);
    d->right.attach(lib);
    // The library refuses to remove a template that a segment of either side uses.
    const std::weak_ptr<SlopeSectionConfigurationData> owner = d;
    d->library.addUser(d, [owner](SlopeSectionType type, const std::string& name) {
        const auto data = owner.lock();
        return data && (uses(data->left, type, name) || uses(data->right, type, name));
    });
}

void SlopeSectionConfiguration::detach()
{
    d->library.removeUser(d);
    d->library = SlopeSectionTemplateLibrary();
    d->left.detach();
    d->right.detach();
}

SlopeSectionTemplateConfiguration SlopeSectionConfiguration::get(SlopeSectionSide side) const
{
    if (side == SlopeSideLeft)
        return d->left;
    if (side == SlopeSideRight)
        return d->right;
    return SlopeSectionTemplateConfiguration();
}

void SlopeSectionConfiguration::set(SlopeSectionSide side, const SlopeSectionTemplateConfiguration& c)
{
    if (side != SlopeSideLeft && side != SlopeSideRight)
        return;
    SlopeSectionTemplateConfiguration& target = side == SlopeSideLeft ? d->left : d->right;
    target = c;
    target.setSide(side);
}

SlopeSectionTemplateConfiguration SlopeSectionConfiguration::getConfiguration(SlopeSectionSide side,
                                                                              SlopeSectionType type) const
{
    return get(side).filteredByType(type);
}

SlopeSectionTemplateConfiguration SlopeSectionConfiguration::getLeftConfigurationAt(double station) const
{
    return d->left.filteredByStation(station);
}

SlopeSectionTemplateConfiguration SlopeSectionConfiguration::getRightConfigurationAt(double station) const
{
    return d->right.filteredByStation(station);
}

void SlopeSectionConfiguration::update()
{
    d->left.update();
    d->right.update();
}

void SlopeSectionConfiguration::load(const internal::Node<SlopeSectionConfiguration>& node)
{
    if (auto left = node.firstChild<SlopeSectionTemplateConfiguration>("left")) {
        d->left.load(left);
        d->left.setSide(SlopeSideLeft);
    }
    if (auto right = node.firstChild<SlopeSectionTemplateConfiguration>("right")) {
        d->right.load(right);
        d->right.setSide(SlopeSideRight);
    }
}

void SlopeSectionConfiguration::save(const internal::Node<SlopeSectionConfiguration>& node) const
{
    node.removeChildren();
    d->left.save(node.appendChild<SlopeSectionTemplateConfiguration>("left"));
    d->right.save(node.appendChild<SlopeSectionTemplateConfiguration>("right"));
}

} // namespace Road
} // namespace Pelko
