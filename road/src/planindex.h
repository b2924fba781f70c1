#pragma once

#include "elementgeometry.h"
#include "revision.h"

#include <road/horizontalelement.h>

#include <corvex/point.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace Pelko {
namespace Road {
namespace internal {

struct ElementAccess
{
    // Every foot point the element's projection can give lies in this box; an element whose answer
    // may come from elsewhere gets the whole plane.
    static ElementGeometry::Box bounds(const HorizontalElement& element);
};

// Boxes of an alignment's elements in a tree over their list order: the elements near a plan point are
// found without looking at every element. Holds the elements it was built from.
class PlanIndex
{
public:
    PlanIndex(std::vector<HorizontalElement> elements, std::uint64_t revision);

    std::uint64_t revision() const { return m_revision; }
    const HorizontalElement& element(unsigned index) const { return m_elements[index]; }

    // The first element in list order of positive length that holds the station (0.001 slack);
    // unsigned(-1) when none does.
    unsigned findByStation(double station) const;

    // Calls visit(index) for each element whose box lies within limit() of (x, y), nearer boxes
    // first. limit() is asked again after every visit, so a visit may narrow the search.
    template<typename Visit, typename Limit> void search(double x, double y, Visit visit, Limit limit) const
    {
        if (!m_nodes.empty())
            searchNode(0, x, y, visit, limit);
    }

private:
    struct Node
    {
        ElementGeometry::Box box;
        // A leaf holds the elements first..first+count; an inner node its two children.
        unsigned first;
        unsigned count;
        unsigned left;
        unsigned right;
    };

    static double distance(const ElementGeometry::Box& box, double x, double y)
    {
        const double dx = std::fmax(std::fmax(box.minX - x, x - box.maxX), 0.0);
        const double dy = std::fmax(std::fmax(box.minY - y, y - box.maxY), 0.0);
        // A box that could not be computed is everywhere.
        return dx == dx && dy == dy ? std::hypot(dx, dy) : 0.0;
    }

    template<typename Visit, typename Limit>
    void searchNode(unsigned n, double x, double y, Visit& visit, Limit& limit) const
    {
        const Node& node = m_nodes[n];
        if (node.count > 0) {
            for (unsigned i = node.first; i < node.first + node.count; ++i) {
                if (m_included[i] && distance(m_boxes[i], x, y) <= limit())
                    visit(i);
            }
            return;
        }
        double near = distance(m_nodes[node.left].box, x, y);
        double far = distance(m_nodes[node.right].box, x, y);
        unsigned first = node.left;
        unsigned second = node.right;
        if (far < near) {
            std::swap(near, far);
            std::swap(first, second);
        }
        if (near <= limit())
            searchNode(first, x, y, visit, limit);
        if (far <= limit())
            searchNode(second, x, y, visit, limit);
    }

    unsigned build(unsigned first, unsigned count);
    bool holds(unsigned index, double station) const;

    std::vector<HorizontalElement> m_elements;
    // The stations side by side, so that a lookup by station reads no element.
    std::vector<double> m_beginStations;
    std::vector<double> m_endStations;
    std::vector<char> m_positive;
    std::vector<ElementGeometry::Box> m_boxes;
    std::vector<char> m_included;
    std::vector<Node> m_nodes;
    std::uint64_t m_revision;
};

} // namespace internal
} // namespace Road
} // namespace Pelko
