#include <road/structureelementconfiguration.h>
#include <road/station.h>

#include <cmath>

namespace Pelko {
namespace Road {

namespace {

const unsigned int kNone = static_cast<unsigned int>(-1);

} // namespace

StructureElementConfiguration::StructureElementConfiguration() = default;

StructureElementConfiguration::StructureElementConfiguration(const StructureElementConfiguration& other)
    = default;

StructureElementConfiguration&
StructureElementConfiguration::operator=(const StructureElementConfiguration& other)
    = default;

StructureElementConfiguration::~StructureElementConfiguration() = default;

StructureElementConfiguration StructureElementConfiguration::clone() const
{
    StructureElementConfiguration copy;
    cloneTo(copy.elements());
    return copy;
}

unsigned int StructureElementConfiguration::findIndex(double station) const
{
    const std::vector<StructureElement>& list = elements();
    // A NaN station would satisfy neither branch of the bisection and never end it.
    if (list.empty() || !std::isfinite(station))
        return kNone;
    if (list.front().getStation() - station >= StationTolerance)
        return kNone;
    if (station - list.back().getStation() >= StationTolerance)
        return kNone;
    std::size_t lo = 0;
    std::size_t hi = list.size();
    while (hi - lo > 1) {
        const std::size_t mid = (lo + hi) / 2;
        const double s = list[mid].getStation();
        if (s <= station) {
            lo = mid;
            if (s == station)
                hi = mid;
        } else {
            hi = mid;
        }
    }
    return static_cast<unsigned int>(lo);
}

void StructureElementConfiguration::onInserted(unsigned) { }

void StructureElementConfiguration::onAboutToRemove(unsigned) { }

void StructureElementConfiguration::onUpdated(unsigned) { }

bool StructureElementConfiguration::load(const internal::Node<StructureElementConfiguration>& node)
{
    // No part means no structures, not a damaged file.
    if (node.isEmpty())
        return true;
    bool allRead = true;
    for (auto child = node.firstChild<StructureElement>("element"); !child.isEmpty();
         child.toNextSibling()) {
        StructureElement structure;
        if (structure.load(child))
            elements().push_back(structure);
        else
            allRead = false;
    }
    return allRead;
}

bool StructureElementConfiguration::save(const internal::Node<StructureElementConfiguration>& node) const
{
    if (node.isEmpty())
        return false;
    node.removeChildren();
    bool ok = true;
    for (const StructureElement& structure : elements()) {
        if (!structure.save(node.appendChild<StructureElement>("element")))
            ok = false;
    }
    return ok;
}

} // namespace Road
} // namespace Pelko
