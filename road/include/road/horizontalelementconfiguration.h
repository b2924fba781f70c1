#pragma once

#include <road/elementconfiguration.h>
#include <road/horizontalelement.h>
#include <road/internal/node.h>
#include <road/road_global.h>

namespace Pelko {
namespace Road {

class PointOfIntersectionConfiguration;
class HorizontalElementConfiguration;

// The chain of horizontal elements of an alignment entered element by element. After every change
// each element k > 0 begins at the end station of element k-1 and, where not fixed, at its end point
// and end azimuth.
class ROAD_EXPORT HorizontalElementConfiguration : public ElementConfiguration<HorizontalElement>
{
public:
    HorizontalElementConfiguration();
    HorizontalElementConfiguration(const HorizontalElementConfiguration& other);
    HorizontalElementConfiguration& operator=(const HorizontalElementConfiguration& other);
    // The element chain that rounds the corners of the PI list; empty for fewer than 2 PIs.
    explicit HorizontalElementConfiguration(const PointOfIntersectionConfiguration& pois);
    ~HorizontalElementConfiguration() override;

    // Independent copy; the elements are cloned as they stand, not rechained.
    HorizontalElementConfiguration clone() const;

    // Element 0 takes the station, the others follow on; an empty list ignores it.
    void setBeginStation(double station);

    // Index of the element holding the station (0.001 slack at both ends of the chain), or
    // unsigned(-1) when the station is off the chain. A station at a join belongs to the element
    // that begins there.
    unsigned findIndex(double station) const;
    HorizontalElement findElement(double station) const;

    // The element type an editor should offer for a new element at index.
    HorizontalElementType getPreferedElementType(unsigned index) const;

    // The equivalent PI list; empty when the chain cannot be expressed by PIs.
    PointOfIntersectionConfiguration toPois() const;

    // Appends the stored "element" children to the list; elements that fail to load are dropped.
    bool load(const internal::Node<HorizontalElementConfiguration>& node);
    bool save(const internal::Node<HorizontalElementConfiguration>& node) const;

protected:
    void onInserted(unsigned index) override;
    void onAboutToRemove(unsigned index) override;
    void onUpdated(unsigned index) override;

private:
    // Rechains from..end, starting from the element at previous (none when out of range).
    void rechain(unsigned from, unsigned previous);
};

} // namespace Road
} // namespace Pelko
