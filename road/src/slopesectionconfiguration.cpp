#include <road/slopesectionconfiguration.h>

namespace Pelko {
namespace Road {

struct SlopeSectionConfiguration::SlopeSectionConfigurationData
{
    SlopeSectionTemplateLibrary library;
    SlopeSectionTemplateConfiguration left;
    SlopeSectionTemplateConfiguration right;
};

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
    // The library refuses to remove a template that a segment of either side uses, and carries a
    // template's new name into the segments that name it. The sides are looked up at the time: set()
    // replaces them.
    const std::weak_ptr<SlopeSectionConfigurationData> owner = d;
    d->library.addUser(
        d,
        [owner](SlopeSectionType type, const std::string& name) {
            const auto data = owner.lock();
            if (!data)
                return SlopeSectionTemplateLibrary::Use();
            const SlopeSectionTemplateLibrary::Use left = data->left.findUse(type, name);
            return left ? left : data->right.findUse(type, name);
        },
        [owner](const std::string& from, const SlopeSectionTemplate& renamed) {
            if (const auto data = owner.lock()) {
                data->left.repoint(from, renamed);
                data->right.repoint(from, renamed);
            }
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
