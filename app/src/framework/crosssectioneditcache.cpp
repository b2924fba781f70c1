#include "framework/crosssectioneditcache.h"

#include "document/trelvin.h"

#include <road/roadsurface.h>
#include <road/standardsection.h>

namespace Zemko {
namespace Trelvin {

CrossSectionEditCache::CrossSectionEditCache()
{
    Trelvin* document = Trelvin::instance();
    connect(document, &Trelvin::onRoadOpen, this, &CrossSectionEditCache::reloadCache);
    connect(document, &Trelvin::onRoadAboutToClose, this, &CrossSectionEditCache::cleanCache);
}

CrossSectionEditCache* CrossSectionEditCache::instance()
{
    static CrossSectionEditCache cache;
    return &cache;
}

Pelko::Road::CrossSectionConfiguration CrossSectionEditCache::configuration(int side) const
{
    switch (side) {
    case Pelko::Road::StandardSection::Left:
        return m_left;
    case Pelko::Road::StandardSection::Right:
        return m_right;
    default:
        return Pelko::Road::CrossSectionConfiguration();
    }
}

void CrossSectionEditCache::setConfiguration(int side,
                                             const Pelko::Road::CrossSectionConfiguration& configuration)
{
    if (side == Pelko::Road::StandardSection::Left)
        m_left = configuration;
    else if (side == Pelko::Road::StandardSection::Right)
        m_right = configuration;
}

void CrossSectionEditCache::reloadCache()
{
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road) {
        cleanCache();
        return;
    }
    // Clones, so that nothing reaches the road before a page writes the cache back.
    const Pelko::Road::StandardSection* section = road->getStandardSection();
    m_left = section->getCrossSectionConfiguration(Pelko::Road::StandardSection::Left).clone();
    m_right = section->getCrossSectionConfiguration(Pelko::Road::StandardSection::Right).clone();
}

void CrossSectionEditCache::cleanCache()
{
    m_left = Pelko::Road::CrossSectionConfiguration();
    m_right = Pelko::Road::CrossSectionConfiguration();
}

} // namespace Trelvin
} // namespace Zemko
