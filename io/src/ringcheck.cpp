#include "ringcheck.h"

#include "exactplane.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <unordered_map>

using Pelko::Corvex::Point;

namespace Pelko {
namespace IO {

namespace {

constexpr char unknown = 2;

std::uint64_t edgeKey(unsigned a, unsigned b)
{
    return static_cast<std::uint64_t>(std::min(a, b)) << 32 | std::max(a, b);
}

// Whether the simple loop turns counterclockwise: told at its least corner, where it cannot go straight.
bool turnsCounterclockwise(const std::vector<Point>& points, const unsigned* loop, size_t n)
{
    size_t least = 0;
    for (size_t i = 1; i < n; ++i)
        if (planeLess(points[loop[i]], points[loop[least]]))
            least = i;
    return turning(points[loop[(least + n - 1) % n]], points[loop[least]], points[loop[(least + 1) % n]]) > 0;
}

// Whether each loop the ring makes between two passes through a corner turns counterclockwise. The ring
// is cut into them at its corners passed more than once, the last loop closed first.
bool loopsTurnCounterclockwise(const std::vector<Point>& points, const std::vector<unsigned>& ring)
{
    std::vector<unsigned> sorted = ring;
    std::sort(sorted.begin(), sorted.end());
    std::unordered_map<unsigned, size_t> at;
    for (size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i] == sorted[i - 1])
            at.emplace(sorted[i], ~size_t(0));
    if (at.empty())
        return turnsCounterclockwise(points, ring.data(), ring.size());
    at.emplace(ring[0], ~size_t(0));
    std::vector<unsigned> stack;
    for (size_t i = 0; i <= ring.size(); ++i) {
        const unsigned v = ring[i % ring.size()];
        const auto found = at.find(v);
        if (found != at.end() && found->second != ~size_t(0)) {
            const size_t from = found->second;
            if (!turnsCounterclockwise(points, stack.data() + from, stack.size() - from))
                return false;
            for (size_t k = from + 1; k < stack.size(); ++k) {
                const auto inside = at.find(stack[k]);
                if (inside != at.end())
                    inside->second = ~size_t(0);
            }
            stack.resize(from + 1);
            continue;
        }
        if (found != at.end())
            found->second = stack.size();
        stack.push_back(v);
    }
    return true;
}

// A sweep from lesser to greater x over the pieces, each as a segment from its least end (in (x, y)
// order) to its greatest, in the order along a vertical line. It stops at the first two pieces that meet
// anywhere but at an end of both, which is always found between two pieces next to each other in that
// order. Each piece that is not vertical carries the number of faces over the ground just above it, and
// the same for the ring (which the ring's pieces change); that number just below a piece is the one above
// the piece next below it.
class Sweep
{
public:
    Sweep(const std::vector<Point>& points, const std::vector<ChainPiece>& chain,
          const std::vector<signed char>& onRing)
        : m_points(points)
        , m_chain(chain)
        , m_onRing(onRing)
        , m_status(Below { this })
        , m_coverAbove(chain.size(), 0)
        , m_ringAbove(chain.size(), 0)
    {
    }

    // False when the pieces meet but at their ends, or some ground is under more than one face or outside
    // the ring twice over; cancelled tells a stop on a cancel.
    bool run(CancelLooks& cancel)
    {
        struct Event
        {
            unsigned point;
            bool insert;
            unsigned piece;
        };
        std::vector<Event> events;
        events.reserve(2 * m_chain.size());
        for (unsigned i = 0; i < m_chain.size(); ++i) {
            events.push_back({ low(i), true, i });
            events.push_back({ high(i), false, i });
        }
        // At one point the pieces that end go first; those that begin go in from the lowest up, so that
        // each finds the one below it in place.
        std::sort(events.begin(), events.end(), [this](const Event& a, const Event& b) {
            if (a.point != b.point)
                return planeLess(m_points[a.point], m_points[b.point]);
            if (a.insert != b.insert)
                return b.insert;
            return a.insert && turning(m_points[a.point], highPoint(a.piece), highPoint(b.piece)) > 0;
        });
        for (const Event& event : events) {
            if (cancel())
                return false;
            if (event.insert ? !insert(event.piece) : !remove(event.piece))
                return false;
        }
        return true;
    }

    // For a piece that is not vertical and not the ring's: 1 when it lies inside the ring, else 0.
    char insideRing(unsigned piece) const { return static_cast<char>(m_ringAbove[piece]); }
    bool vertical(unsigned piece) const
    {
        return m_points[m_chain[piece].from].getX() == m_points[m_chain[piece].to].getX();
    }

private:
    struct Below
    {
        Sweep* sweep;
        bool operator()(unsigned s, unsigned t) const { return sweep->below(s, t); }
    };

    unsigned low(unsigned i) const
    {
        const ChainPiece& p = m_chain[i];
        return planeLess(m_points[p.to], m_points[p.from]) ? p.to : p.from;
    }
    unsigned high(unsigned i) const
    {
        const ChainPiece& p = m_chain[i];
        return planeLess(m_points[p.to], m_points[p.from]) ? p.from : p.to;
    }
    const Point& lowPoint(unsigned i) const { return m_points[low(i)]; }
    const Point& highPoint(unsigned i) const { return m_points[high(i)]; }

    // Whether s runs below t where both are crossed by the sweep line: told at the later of their least
    // ends. Pieces that meet there other than at that shared end are a fault, given some order.
    bool below(unsigned s, unsigned t)
    {
        if (s == t)
            return false;
        const bool sLater = !planeLess(lowPoint(s), lowPoint(t));
        const unsigned later = sLater ? s : t, earlier = sLater ? t : s;
        int o = turning(lowPoint(earlier), highPoint(earlier), lowPoint(later));
        if (o == 0 && low(later) == low(earlier))
            o = turning(lowPoint(earlier), highPoint(earlier), highPoint(later));
        if (o == 0) {
            m_fault = true;
            return s < t;
        }
        // o > 0: the later one runs above the earlier.
        return sLater ? o < 0 : o > 0;
    }

    // Whether two pieces meet at any point that is not an end of both.
    bool meet(unsigned s, unsigned t) const
    {
        const Point &a = lowPoint(s), &b = highPoint(s), &c = lowPoint(t), &d = highPoint(t);
        const int o1 = turning(a, b, c), o2 = turning(a, b, d), o3 = turning(c, d, a), o4 = turning(c, d, b);
        if (o1 * o2 > 0 || o3 * o4 > 0)
            return false;
        if (o1 == 0 && o2 == 0) {
            // On one line, in (x, y) order: they overlap unless one ends where the other begins, or before.
            return planeLess(c, b) && planeLess(a, d);
        }
        const unsigned ends[2][2] = { { low(s), high(s) }, { low(t), high(t) } };
        for (unsigned e : ends[0])
            for (unsigned f : ends[1])
                if (e == f)
                    return false;
        return true;
    }

    bool insert(unsigned piece)
    {
        const auto placed = m_status.insert(piece);
        if (m_fault || !placed.second)
            return false;
        const auto at = placed.first;
        int cover = 0, ring = 0;
        if (at != m_status.begin()) {
            const unsigned next = *std::prev(at);
            // A vertical piece is crossed by the sweep line at one point only: nothing lies above it.
            if (vertical(next) || meet(next, piece))
                return false;
            cover = m_coverAbove[next];
            ring = m_ringAbove[next];
        }
        if (std::next(at) != m_status.end() && meet(piece, *std::next(at)))
            return false;
        if (!vertical(piece)) {
            const ChainPiece& p = m_chain[piece];
            // Its faces lie on its left: above it where it runs towards greater x.
            const int up = low(piece) == p.from ? 1 : -1;
            m_coverAbove[piece] = cover + up * p.count;
            m_ringAbove[piece] = ring + (m_onRing[piece] ? up : 0);
        } else {
            m_coverAbove[piece] = cover;
            m_ringAbove[piece] = ring;
        }
        for (int value : { cover, ring, m_coverAbove[piece], m_ringAbove[piece] })
            if (value < 0 || value > 1)
                return false;
        return true;
    }

    bool remove(unsigned piece)
    {
        const auto at = m_status.find(piece);
        if (m_fault || at == m_status.end())
            return false;
        const auto after = m_status.erase(at);
        if (after != m_status.begin() && after != m_status.end() && meet(*std::prev(after), *after))
            return false;
        return !m_fault;
    }

    const std::vector<Point>& m_points;
    const std::vector<ChainPiece>& m_chain;
    const std::vector<signed char>& m_onRing;
    std::set<unsigned, Below> m_status;
    std::vector<int> m_coverAbove, m_ringAbove;
    bool m_fault = false;
};

} // namespace

bool checkRing(const std::vector<Point>& points, const std::vector<ChainPiece>& chain,
               const std::vector<unsigned>* partOf, size_t parts, unsigned part,
               const std::vector<unsigned>& ring, RingCheck& check, CancelLooks& cancel)
{
    check.sound = false;
    check.partInside.assign(parts, unknown);
    auto partOfPiece = [&](const ChainPiece& piece) { return partOf ? (*partOf)[piece.face] : 0u; };
    if (ring.size() < 3 || part >= parts)
        return true;
    for (const ChainPiece& piece : chain)
        if (piece.count != 1)
            return true;

    // The ring along its part's pieces, each once, all one way.
    std::vector<std::pair<std::uint64_t, unsigned>> keys;
    keys.reserve(chain.size());
    for (unsigned i = 0; i < chain.size(); ++i)
        keys.emplace_back(edgeKey(chain[i].from, chain[i].to), i);
    std::sort(keys.begin(), keys.end());
    std::vector<signed char> onRing(chain.size(), 0);
    int way = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        if (cancel())
            return false;
        const unsigned a = ring[i], b = ring[(i + 1) % ring.size()];
        const auto found = std::lower_bound(keys.begin(), keys.end(), std::make_pair(edgeKey(a, b), 0u));
        if (found == keys.end() || found->first != edgeKey(a, b))
            return true;
        const ChainPiece& piece = chain[found->second];
        const int its = piece.from == a ? 1 : -1;
        if (onRing[found->second] || (way != 0 && its != way) || partOfPiece(piece) != part)
            return true;
        way = its;
        onRing[found->second] = 1;
    }
    std::vector<unsigned> along = ring;
    if (way < 0)
        std::reverse(along.begin(), along.end());
    if (!loopsTurnCounterclockwise(points, along))
        return true;

    Sweep sweep(points, chain, onRing);
    if (!sweep.run(cancel))
        return !cancel.cancelled();
    for (unsigned i = 0; i < chain.size(); ++i) {
        if (onRing[i] || sweep.vertical(i))
            continue;
        const unsigned its = partOfPiece(chain[i]);
        const char inside = sweep.insideRing(i);
        if ((its == part && !inside) || (check.partInside[its] != unknown && check.partInside[its] != inside))
            return true;
        check.partInside[its] = inside;
    }
    check.partInside[part] = 1;
    for (char& inside : check.partInside)
        if (inside == unknown)
            inside = 0;
    check.sound = true;
    return true;
}

} // namespace IO
} // namespace Pelko
