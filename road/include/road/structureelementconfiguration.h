#pragma once

#include <road/elementconfiguration.h>
#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/structureelement.h>

namespace Pelko {
namespace Road {

class RoadSurface;

// The road's structures, kept in the order they were added or stored; lookups by station assume
// that order is by station.
class ROAD_EXPORT StructureElementConfiguration : public ElementConfiguration<StructureElement>
{
public:
    StructureElementConfiguration();
    StructureElementConfiguration(const StructureElementConfiguration& other);
    StructureElementConfiguration& operator=(const StructureElementConfiguration& other);
    ~StructureElementConfiguration() override;

    StructureElementConfiguration clone() const;

    // Index of the last structure at or before the station; -1 (all bits) for an empty list, a
    // non-finite station or one more than 0.001 outside the first and last structure.
    unsigned int findIndex(double station) const;

protected:
    void onInserted(unsigned index) override;
    void onAboutToRemove(unsigned index) override;
    void onUpdated(unsigned index) override;

    // Appends the stored structures in file order. A structure with unusable numbers is skipped and
    // the load reports false; the others are still appended.
    bool load(const internal::Node<StructureElementConfiguration>& node);
    bool save(const internal::Node<StructureElementConfiguration>& node) const;

private:
    friend class RoadSurface;
};

} // namespace Road
} // namespace Pelko
