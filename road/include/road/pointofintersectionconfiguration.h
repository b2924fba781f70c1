#pragma once

#include <road/elementconfiguration.h>
#include <road/internal/node.h>
#include <road/pointofintersection.h>
#include <road/road_global.h>

namespace Pelko {
namespace Road {

class HorizontalAlignment;

// The PIs of an alignment in order: the start point, the corners with their curves, the end point.
// The hooks keep every PI's deflection and station in step with its neighbours.
class ROAD_EXPORT PointOfIntersectionConfiguration : public ElementConfiguration<PointOfIntersection>
{
public:
    PointOfIntersectionConfiguration();
    PointOfIntersectionConfiguration(const PointOfIntersectionConfiguration& other);
    PointOfIntersectionConfiguration& operator=(const PointOfIntersectionConfiguration& other);
    ~PointOfIntersectionConfiguration() override;

    PointOfIntersectionConfiguration clone() const;

protected:
    void onInserted(unsigned index) override;
    void onAboutToRemove(unsigned index) override;
    void onUpdated(unsigned index) override;

    // Appends the stored PIs, dropping those that cannot be rebuilt, then brings every PI up to
    // date with its neighbours.
    bool load(const internal::Node<PointOfIntersectionConfiguration>& node);
    bool save(const internal::Node<PointOfIntersectionConfiguration>& node) const;

private:
    friend class HorizontalAlignment;
    friend class ElementsToPoiConverter;

    // Updates PI(k) with its current neighbours.
    void updateAt(unsigned k);
    // Updates PIs from..end in order; each station builds on the one just computed before it.
    void updateFrom(unsigned from);
};

} // namespace Road
} // namespace Pelko
