#pragma once

#include <road/crosssectionconfiguration.h>

#include <QObject>

namespace Zemko {
namespace Trelvin {

// The working copy of the standard section's two sides that the section, superelevation and widening
// pages edit together before any of them writes it back. Filled with clones of the road's sides when a
// road opens (before any page reloads, being connected first) and emptied when it closes.
class CrossSectionEditCache : public QObject
{
    Q_OBJECT

public:
    static CrossSectionEditCache* instance();

    // Side 0 is left, 1 right. The handle shares the cached data; another side gives an empty one.
    Pelko::Road::CrossSectionConfiguration configuration(int side) const;
    // The cache shares the given data; another side is ignored.
    void setConfiguration(int side, const Pelko::Road::CrossSectionConfiguration& configuration);

public slots:
    void reloadCache();
    void cleanCache();

private:
    CrossSectionEditCache();

    Pelko::Road::CrossSectionConfiguration m_left;
    Pelko::Road::CrossSectionConfiguration m_right;
};

} // namespace Trelvin
} // namespace Zemko
