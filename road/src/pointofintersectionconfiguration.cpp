#include <road/pointofintersectionconfiguration.h>

namespace Pelko {
namespace Road {

PointOfIntersectionConfiguration::PointOfIntersectionConfiguration() = default;
PointOfIntersectionConfiguration::PointOfIntersectionConfiguration(
    const PointOfIntersectionConfiguration& other)
    = default;
PointOfIntersectionConfiguration&
PointOfIntersectionConfiguration::operator=(const PointOfIntersectionConfiguration& other)
    = default;
PointOfIntersectionConfiguration::~PointOfIntersectionConfiguration() = default;

PointOfIntersectionConfiguration PointOfIntersectionConfiguration::clone() const
{
    PointOfIntersectionConfiguration copy;
    cloneTo(copy.elements());
    return copy;
}

void PointOfIntersectionConfiguration::updateAt(unsigned k)
{
    std::vector<PointOfIntersection>& list = elements();
    if (k >= list.size())
        return;
    const PointOfIntersection* prev = k > 0 ? &list[k - 1] : nullptr;
    const PointOfIntersection* next = k + 1 < list.size() ? &list[k + 1] : nullptr;
    list[k].update(prev, next);
}

void PointOfIntersectionConfiguration::updateFrom(unsigned from)
{
    for (std::size_t k = from; k < elements().size(); ++k)
        updateAt(static_cast<unsigned>(k));
}

void PointOfIntersectionConfiguration::onInserted(unsigned index)
{
    // Stations chain along the whole list, so everything after the change follows it, not only the
    // next PI.
    updateFrom(index > 0 ? index - 1 : 0);
}

void PointOfIntersectionConfiguration::onAboutToRemove(unsigned index)
{
    std::vector<PointOfIntersection>& list = elements();
    const std::size_t n = list.size();
    if (index >= n)
        return;
    // The neighbours of the leaving PI must see each other already.
    auto neighbour = [&](std::size_t k) -> const PointOfIntersection* {
        return k < n && k != index ? &list[k] : nullptr;
    };
    if (index > 0) {
        const PointOfIntersection* prev = index >= 2 ? neighbour(index - 2) : nullptr;
        list[index - 1].update(prev, neighbour(index + 1));
    }
    for (std::size_t k = index + 1; k < n; ++k) {
        const std::size_t p = k - 1 == index ? k - 2 : k - 1;
        const PointOfIntersection* prev = k - 1 == index && index == 0 ? nullptr : neighbour(p);
        list[k].update(prev, neighbour(k + 1));
    }
}

void PointOfIntersectionConfiguration::onUpdated(unsigned index)
{
    onInserted(index);
}

bool PointOfIntersectionConfiguration::load(const internal::Node<PointOfIntersectionConfiguration>& node)
{
    if (node.isEmpty())
        return false;
    std::vector<PointOfIntersection>& list = elements();
    const std::size_t first = list.size();
    for (auto child = node.firstChild<PointOfIntersection>("element"); !child.isEmpty();
         child.toNextSibling()) {
        PointOfIntersection poi;
        if (poi.load(child) && poi.isValid())
            list.push_back(poi);
    }
    // Stored PIs carry neither deflection nor station (but the first): without this every curve
    // would see a straight corner.
    updateFrom(first > 0 ? static_cast<unsigned>(first - 1) : 0);
    return true;
}

bool PointOfIntersectionConfiguration::save(
    const internal::Node<PointOfIntersectionConfiguration>& node) const
{
    if (node.isEmpty())
        return false;
    node.removeChildren();
    node.setInt("type", 1);
    bool ok = true;
    for (const PointOfIntersection& poi : elements()) {
        if (!poi.save(node.appendChild<PointOfIntersection>("element")))
            ok = false;
    }
    return ok;
}

} // namespace Road
} // namespace Pelko
