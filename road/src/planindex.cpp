#include "planindex.h"

#include <road/station.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {
namespace internal {

namespace {
const unsigned kLeafSize = 4;
const unsigned kNone = static_cast<unsigned>(-1);

ElementGeometry::Box everywhere()
{
    const double inf = std::numeric_limits<double>::infinity();
    return ElementGeometry::Box { -inf, -inf, inf, inf };
}

ElementGeometry::Box unite(const ElementGeometry::Box& a, const ElementGeometry::Box& b)
{
    return ElementGeometry::Box { std::min(a.minX, b.minX), std::min(a.minY, b.minY),
                                  std::max(a.maxX, b.maxX), std::max(a.maxY, b.maxY) };
}
} // namespace

PlanIndex::PlanIndex(std::vector<HorizontalElement> elements, std::uint64_t revision)
    : m_elements(std::move(elements))
    , m_revision(revision)
{
    const unsigned n = static_cast<unsigned>(m_elements.size());
    m_boxes.resize(n);
    m_included.resize(n);
    m_beginStations.resize(n);
    m_endStations.resize(n);
    m_positive.resize(n);
    for (unsigned i = 0; i < n; ++i) {
        const HorizontalElement& element = m_elements[i];
        const double length = element.getLength();
        m_beginStations[i] = element.getBeginStation();
        m_endStations[i] = element.getEndStation();
        m_positive[i] = element.isValid() && length > 0.0;
        // Elements the plan-point rule passes over are never visited.
        m_included[i] = element.isValid() && length != 0.0 && !std::isnan(length);
        if (!m_included[i])
            continue;
        ElementGeometry::Box box = ElementAccess::bounds(element);
        if (std::isnan(box.minX) || std::isnan(box.minY) || std::isnan(box.maxX) || std::isnan(box.maxY))
            box = everywhere();
        m_boxes[i] = box;
    }
    if (n > 0) {
        m_nodes.reserve(2 * (n / kLeafSize + 1));
        build(0, n);
    }
}

bool PlanIndex::holds(unsigned index, double station) const
{
    const double b = m_beginStations[index];
    const double e = m_endStations[index];
    return (station > b || std::fabs(station - b) < StationTolerance)
        && (station < e || std::fabs(station - e) < StationTolerance);
}

unsigned PlanIndex::findByStation(double station) const
{
    const unsigned n = static_cast<unsigned>(m_elements.size());
    // The chain is ordered by station: bisect as the element list's findIndex does, then step back over
    // neighbours that also hold the station (joins, zero-length elements) so that the first one in list
    // order still wins.
    if (n > 0 && !std::isnan(station)) {
        const double b = m_beginStations.front();
        const double e = m_endStations.back();
        if ((station > b || std::fabs(station - b) < StationTolerance)
            && (station < e || std::fabs(station - e) < StationTolerance)) {
            unsigned lo = 0;
            unsigned hi = n;
            while (hi - lo > 1) {
                const unsigned mid = (lo + hi) / 2;
                if (m_beginStations[mid] > station)
                    hi = mid;
                else
                    lo = mid;
            }
            unsigned k = lo;
            if (holds(k, station)) {
                while (k > 0 && holds(k - 1, station))
                    --k;
                for (; k < n && holds(k, station); ++k) {
                    if (m_positive[k])
                        return k;
                }
            }
        }
    }
    // Stations out of order along the list: look at every element.
    for (unsigned i = 0; i < n; ++i) {
        if (m_positive[i] && holds(i, station))
            return i;
    }
    return kNone;
}

// Halves of the list order: neighbours along the road are neighbours in the plan, so each node's box
// stays tight around its stretch of road.
unsigned PlanIndex::build(unsigned first, unsigned count)
{
    const unsigned n = static_cast<unsigned>(m_nodes.size());
    m_nodes.push_back(Node {});
    if (count <= kLeafSize) {
        const double inf = std::numeric_limits<double>::infinity();
        ElementGeometry::Box box { inf, inf, -inf, -inf };
        for (unsigned i = first; i < first + count; ++i) {
            if (m_included[i])
                box = unite(box, m_boxes[i]);
        }
        m_nodes[n] = Node { box, first, count, 0, 0 };
        return n;
    }
    const unsigned half = count / 2;
    const unsigned left = build(first, half);
    const unsigned right = build(first + half, count - half);
    m_nodes[n] = Node { unite(m_nodes[left].box, m_nodes[right].box), first, 0, left, right };
    return n;
}

} // namespace internal
} // namespace Road
} // namespace Pelko
