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
    d->left.attach(d->library);
    d->right.attach(d->library);
}

void SlopeSectionConfiguration::attach(const SlopeSectionTemplateLibrary& lib)
{
    d->library = lib;
    d->left.attach(lib);
    d->right.attach(lib);
}

void SlopeSectionConfiguration::detach()
{
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
