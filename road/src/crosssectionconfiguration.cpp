#include <road/crosssectionconfiguration.h>

#include <algorithm>
#include <utility>

namespace Pelko {
namespace Road {

CrossSectionConfiguration::CrossSectionConfiguration()
    : d(std::make_shared<CrossSectionConfigurationData>())
{
}

CrossSectionConfiguration::CrossSectionConfiguration(CrossSectionConfigurationData* data)
    : d(data)
{
}

CrossSectionConfiguration::~CrossSectionConfiguration() = default;

unsigned CrossSectionConfiguration::size() const
{
    return static_cast<unsigned>(d->size());
}

unsigned CrossSectionConfiguration::append(const CrossSectionElement& element)
{
    return insertBefore(size(), element);
}

unsigned CrossSectionConfiguration::append(const CrossSectionElementConfiguration& configuration)
{
    return insertBefore(size(), configuration);
}

unsigned CrossSectionConfiguration::insertBefore(unsigned index, const CrossSectionElement& element)
{
    if (!element.isValid())
        return size();
    return insertBefore(index, CrossSectionElementConfiguration(element));
}

unsigned CrossSectionConfiguration::insertBefore(unsigned index,
                                                 const CrossSectionElementConfiguration& configuration)
{
    if (!configuration.isValid())
        return size();
    d->insert(d->begin() + std::min<std::size_t>(index, d->size()), configuration);
    return size();
}

bool CrossSectionConfiguration::removeAt(unsigned index)
{
    if (index >= d->size())
        return false;
    d->erase(d->begin() + index);
    return true;
}

bool CrossSectionConfiguration::setAt(unsigned index, const CrossSectionElement& element)
{
    if (index >= d->size() || !element.isValid())
        return false;
    (*d)[index].setCrossSectionElement(element);
    return true;
}

CrossSectionElement CrossSectionConfiguration::getAt(unsigned index) const
{
    return index < d->size() ? (*d)[index].getElement() : CrossSectionElement();
}

CrossSectionElementConfiguration CrossSectionConfiguration::elementConfigurationAt(unsigned index) const
{
    return index < d->size() ? (*d)[index] : CrossSectionElementConfiguration();
}

CrossSection CrossSectionConfiguration::getCrossSectionByStation(double station, double baseElevation) const
{
    std::vector<CrossSectionElement> elements;
    elements.reserve(d->size());
    for (const CrossSectionElementConfiguration& c : *d)
        elements.push_back(c.elementAt(station));
    return CrossSection::adopt(baseElevation, std::move(elements));
}

CrossSection CrossSectionConfiguration::getTemplate(double baseElevation) const
{
    std::vector<CrossSectionElement> elements;
    elements.reserve(d->size());
    for (const CrossSectionElementConfiguration& c : *d)
        elements.push_back(c.getElement().clone());
    return CrossSection::adopt(baseElevation, std::move(elements));
}

CrossSectionConfiguration CrossSectionConfiguration::clone() const
{
    auto* copy = new CrossSectionConfigurationData();
    copy->reserve(d->size());
    for (const CrossSectionElementConfiguration& c : *d)
        copy->push_back(c.clone());
    return CrossSectionConfiguration(copy);
}

CrossSectionConfiguration CrossSectionConfiguration::mirror() const
{
    auto* copy = new CrossSectionConfigurationData();
    copy->reserve(d->size());
    for (const CrossSectionElementConfiguration& c : *d)
        copy->push_back(c.mirror());
    return CrossSectionConfiguration(copy);
}

bool CrossSectionConfiguration::load(const internal::Node<CrossSectionConfiguration>& node)
{
    CrossSectionConfigurationData loaded;
    bool complete = true;
    for (auto child = node.firstChild<CrossSectionElementConfiguration>("element"); child;
         child.toNextSibling()) {
        CrossSectionElementConfiguration configuration;
        complete = configuration.load(child) && complete;
        loaded.push_back(configuration);
    }
    *d = std::move(loaded);
    return complete;
}

void CrossSectionConfiguration::save(const internal::Node<CrossSectionConfiguration>& node) const
{
    node.removeChildren();
    for (const CrossSectionElementConfiguration& c : *d)
        c.save(node.appendChild<CrossSectionElementConfiguration>("element"));
}

} // namespace Road
} // namespace Pelko
