#include "facemesh.h"

#include "exactplane.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Triangle2D;
using Pelko::Corvex::Triangle3D;

namespace Pelko {
namespace IO {

namespace {

// Mixes the bits of both coordinates into all bits of the result.
size_t placeHash(double x, double y)
{
    std::uint64_t bx, by;
    std::memcpy(&bx, &x, sizeof bx);
    std::memcpy(&by, &y, sizeof by);
    std::uint64_t h = bx * 0x9E3779B97F4A7C15ull ^ (by + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<size_t>(h ^ h >> 29 ^ h >> 47);
}

// Numbers are found through an open-addressed table of point numbers: a fraction of the memory of a map
// of positions, which a drawing of millions of faces would feel. A triangulation has about half as many
// points as faces: the table starts at two slots a point of those and doubles as it fills past half, so
// that it stays small enough to be read from the caches. Of the first count faces.
bool joinCorners(const std::vector<Triangle3D>& triangles, size_t count, FaceMesh& mesh, CancelLooks& cancel)
{
    size_t capacity = 16;
    while (capacity < count)
        capacity *= 2;
    constexpr unsigned empty = ~0u;
    std::vector<unsigned> table(capacity, empty);
    auto slotOf = [&](double x, double y) {
        size_t slot = placeHash(x, y) & (capacity - 1);
        while (table[slot] != empty
               && !(mesh.points[table[slot]].getX() == x && mesh.points[table[slot]].getY() == y))
            slot = (slot + 1) & (capacity - 1);
        return slot;
    };
    mesh.points.clear();
    mesh.triangles.resize(count);
    mesh.turn.assign(count, 0);
    for (size_t t = 0; t < count; ++t) {
        if (cancel())
            return false;
        for (unsigned k = 0; k < 3; ++k) {
            const Point3D corner = triangles[t].getVertex(k);
            // 0 and -0 are one place.
            const double x = corner.x() + 0.0, y = corner.y() + 0.0;
            size_t slot = slotOf(x, y);
            if (table[slot] == empty) {
                if (2 * (mesh.points.size() + 1) > capacity) {
                    capacity *= 2;
                    table.assign(capacity, empty);
                    for (unsigned v = 0; v < mesh.points.size(); ++v)
                        table[slotOf(mesh.points[v].getX(), mesh.points[v].getY())] = v;
                    slot = slotOf(x, y);
                }
                table[slot] = static_cast<unsigned>(mesh.points.size());
                mesh.points.emplace_back(x, y);
            }
            mesh.triangles[t][k] = table[slot];
        }
        const auto& c = mesh.triangles[t];
        mesh.turn[t]
            = static_cast<signed char>(areaTurn(mesh.points[c[0]], mesh.points[c[1]], mesh.points[c[2]]));
    }
    return true;
}

std::array<unsigned, 3> sorted(std::array<unsigned, 3> c)
{
    if (c[1] < c[0])
        std::swap(c[0], c[1]);
    if (c[2] < c[1])
        std::swap(c[1], c[2]);
    if (c[1] < c[0])
        std::swap(c[0], c[1]);
    return c;
}

// A face is compared only with the earlier ones listed under the same corner, never a busy one, so that a
// fan is not compared round its centre.
bool leaveOutRepeats(FaceMesh& mesh, CancelLooks& cancel)
{
    const size_t count = mesh.triangles.size();
    std::vector<unsigned> degree(mesh.points.size(), 0);
    for (size_t t = 0; t < count; ++t)
        if (mesh.turn[t] != 0)
            for (unsigned v : mesh.triangles[t])
                ++degree[v];
    constexpr unsigned none = ~0u;
    constexpr unsigned busy = 64;
    // The faces listed under each corner, the latest first.
    std::vector<unsigned> latest(mesh.points.size(), none), before(count, none);
    mesh.repeats = 0;
    for (size_t t = 0; t < count; ++t) {
        if (cancel())
            return false;
        if (mesh.turn[t] == 0)
            continue;
        const std::array<unsigned, 3> corners = sorted(mesh.triangles[t]);
        // Under its least corner, which numbering in the order of the faces keeps near those of the faces
        // before; under its least busy one (ties by number) where that is busy.
        unsigned key = corners[0];
        if (degree[key] > busy)
            key = *std::min_element(corners.begin(), corners.end(), [&](unsigned a, unsigned b) {
                return std::make_pair(degree[a], a) < std::make_pair(degree[b], b);
            });
        unsigned u = latest[key];
        while (u != none && sorted(mesh.triangles[u]) != corners)
            u = before[u];
        if (u != none) {
            mesh.turn[t] = 0;
            ++mesh.repeats;
            continue;
        }
        before[t] = latest[key];
        latest[key] = static_cast<unsigned>(t);
    }
    return true;
}

// A cell of the grid of joined corners, of a side many times the tolerance: a corner then looks into its
// own cell alone, or one or two more where it lies near a side.
struct Cell
{
    std::int64_t x, y;
};

std::int64_t cellIndex(double v, double perSide)
{
    // Far out, cells merge: only the time to find a corner grows.
    constexpr double most = 4e18;
    const double c = std::max(-most, std::min(most, v * perSide));
    const std::int64_t i = static_cast<std::int64_t>(c);
    return i - (c < static_cast<double>(i));
}

std::uint64_t cellHash(const Cell& c)
{
    std::uint64_t h = static_cast<std::uint64_t>(c.x) * 0x9E3779B97F4A7C15ull
        ^ (static_cast<std::uint64_t>(c.y) + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    return h ^ h >> 29 ^ h >> 47;
}

// The corners that stay, by number into points, filed by cell in an open-addressed table of each cell's
// latest, the earlier ones of a cell linked from it; the table grows with them. A cell holds one corner or
// a few in any drawing measured in metres: one with more is crowded.
class NearCorners
{
public:
    static constexpr unsigned none = ~0u;
    static constexpr unsigned mostInCell = 64;

    NearCorners(const std::vector<Point>& points, double tolerance)
        : m_points(points)
        , m_tolerance(tolerance)
        , m_perSide(1 / (16 * tolerance))
        , m_table(16, none)
        , m_tags(16, 0)
    {
    }

    // The nearest corner that stays within the tolerance of (x, y), the least number of equals; none where
    // there is none. crowded tells a cell looked through only so far.
    unsigned find(double x, double y)
    {
        const std::int64_t x0 = cellIndex(x - m_tolerance, m_perSide),
                           x1 = cellIndex(x + m_tolerance, m_perSide);
        const std::int64_t y0 = cellIndex(y - m_tolerance, m_perSide),
                           y1 = cellIndex(y + m_tolerance, m_perSide);
        unsigned best = none;
        double nearest = 0;
        const double most = m_tolerance * m_tolerance;
        for (std::int64_t cx = x0; cx <= x1; ++cx)
            for (std::int64_t cy = y0; cy <= y1; ++cy) {
                unsigned u = m_table[slotOf({ cx, cy })], seen = 0;
                for (; u != none && seen < mostInCell; ++seen, u = m_earlier[u]) {
                    const double dx = m_points[u].getX() - x, dy = m_points[u].getY() - y;
                    const double d = dx * dx + dy * dy;
                    if (d <= most && (best == none || d < nearest || (d == nearest && u < best))) {
                        best = u;
                        nearest = d;
                    }
                }
                crowded = crowded || u != none;
            }
        return best;
    }

    // Point v stays.
    void add(unsigned v)
    {
        if (m_earlier.size() <= v)
            m_earlier.resize(std::max<size_t>(v + 1, 2 * m_earlier.size()), none);
        m_staying.push_back(v);
        // Grown past half full, the table is filled again in the same order: each cell's list stays.
        if (2 * m_staying.size() > m_table.size()) {
            m_table.assign(2 * m_table.size(), none);
            m_tags.assign(m_table.size(), 0);
            for (unsigned u : m_staying)
                file(u);
        } else {
            file(v);
        }
    }

    bool crowded = false;

private:
    Cell cellOf(unsigned v) const
    {
        return { cellIndex(m_points[v].getX(), m_perSide), cellIndex(m_points[v].getY(), m_perSide) };
    }
    // Cells are told apart by the upper half of their hash: two with the same share a list, which only
    // makes it longer.
    size_t slotOf(const Cell& c) const
    {
        const size_t mask = m_table.size() - 1;
        const std::uint64_t hash = cellHash(c);
        const std::uint32_t tag = static_cast<std::uint32_t>(hash >> 32);
        size_t slot = hash & mask;
        while (m_table[slot] != none && m_tags[slot] != tag)
            slot = (slot + 1) & mask;
        return slot;
    }
    void file(unsigned v)
    {
        const Cell c = cellOf(v);
        const size_t slot = slotOf(c);
        m_earlier[v] = m_table[slot];
        m_table[slot] = v;
        m_tags[slot] = static_cast<std::uint32_t>(cellHash(c) >> 32);
    }

    const std::vector<Point>& m_points;
    const double m_tolerance, m_perSide;
    std::vector<unsigned> m_table, m_earlier, m_staying;
    std::vector<std::uint32_t> m_tags;
};

bool finite(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y);
}

} // namespace

bool joinNearCorners(FaceMesh& mesh, double tolerance, size_t& joined, CancelLooks& cancel)
{
    joined = 0;
    const size_t count = mesh.points.size();
    constexpr unsigned none = NearCorners::none;
    std::vector<unsigned> into(count, none);
    {
        NearCorners near(mesh.points, tolerance);
        for (unsigned v = 0; v < count; ++v) {
            if (cancel())
                return false;
            const double x = mesh.points[v].getX(), y = mesh.points[v].getY();
            if (!finite(x, y))
                continue;
            const unsigned to = near.find(x, y);
            if (to == none) {
                near.add(v);
            } else {
                into[v] = to;
                ++joined;
            }
        }
    }
    if (joined == 0)
        return true;
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        if (cancel())
            return false;
        auto& c = mesh.triangles[t];
        for (unsigned& v : c)
            if (into[v] != none)
                v = into[v];
        mesh.turn[t]
            = static_cast<signed char>(areaTurn(mesh.points[c[0]], mesh.points[c[1]], mesh.points[c[2]]));
    }
    return leaveOutRepeats(mesh, cancel);
}

namespace {

// The first count faces joined as joinFacesNear joins them; same counts the corners at the very place of
// the corner that stays.
JoinedNear joinCornersNear(const std::vector<Triangle3D>& triangles, size_t count, FaceMesh& mesh,
                           double tolerance, size_t& joined, size_t& same, CancelLooks& cancel)
{
    joined = same = 0;
    mesh.points.clear();
    mesh.triangles.resize(count);
    mesh.turn.assign(count, 0);
    NearCorners near(mesh.points, tolerance);
    for (size_t t = 0; t < count; ++t) {
        if (cancel())
            return JoinedNear::Cancelled;
        for (unsigned k = 0; k < 3; ++k) {
            const Point3D corner = triangles[t].getVertex(k);
            const double x = corner.x() + 0.0, y = corner.y() + 0.0;
            unsigned v = finite(x, y) ? near.find(x, y) : NearCorners::none;
            // A crowded cell could hide a corner at the same place, which must have the same number.
            if (near.crowded)
                return JoinedNear::Crowded;
            if (v == NearCorners::none) {
                v = static_cast<unsigned>(mesh.points.size());
                mesh.points.emplace_back(x, y);
                if (finite(x, y))
                    near.add(v);
            } else if (mesh.points[v].getX() == x && mesh.points[v].getY() == y) {
                ++same;
            } else {
                ++joined;
            }
            mesh.triangles[t][k] = v;
        }
        const auto& c = mesh.triangles[t];
        mesh.turn[t]
            = static_cast<signed char>(areaTurn(mesh.points[c[0]], mesh.points[c[1]], mesh.points[c[2]]));
    }
    return JoinedNear::Done;
}

} // namespace

bool nearRatherThanShared(const std::vector<Triangle3D>& triangles, double tolerance)
{
    // A drawing of no more is joined exactly first at no cost that matters.
    constexpr size_t sample = 1024;
    if (triangles.size() <= sample)
        return false;
    FaceMesh mesh;
    CancelLooks never(nullptr);
    size_t joined = 0, same = 0;
    return joinCornersNear(triangles, sample, mesh, tolerance, joined, same, never) == JoinedNear::Done
        && joined > same;
}

JoinedNear joinFacesNear(const std::vector<Triangle3D>& triangles, FaceMesh& mesh, double tolerance,
                         size_t& joined, CancelLooks& cancel)
{
    size_t same = 0;
    const JoinedNear done
        = joinCornersNear(triangles, triangles.size(), mesh, tolerance, joined, same, cancel);
    if (done != JoinedNear::Done)
        return done;
    return leaveOutRepeats(mesh, cancel) ? JoinedNear::Done : JoinedNear::Cancelled;
}

bool joinFaces(const std::vector<Triangle3D>& triangles, FaceMesh& mesh, CancelLooks& cancel)
{
    return joinCorners(triangles, triangles.size(), mesh, cancel) && leaveOutRepeats(mesh, cancel);
}

unsigned FaceParts::largest() const
{
    return static_cast<unsigned>(std::max_element(area.begin(), area.end()) - area.begin());
}

bool findParts(const FaceMesh& mesh, const Outlines* outlines, FaceParts& parts, CancelLooks& cancel)
{
    const size_t count = mesh.triangles.size();
    std::vector<unsigned> parent(count);
    for (size_t t = 0; t < count; ++t)
        parent[t] = static_cast<unsigned>(t);
    auto root = [&parent](unsigned t) {
        while (parent[t] != t)
            t = parent[t] = parent[parent[t]];
        return t;
    };
    std::vector<unsigned> faceAt(mesh.points.size(), FaceParts::none);
    const bool joined
        = eachOutline(mesh, outlines, cancel, [&](size_t t, const unsigned* first, const unsigned* last) {
              unsigned own = static_cast<unsigned>(t);
              for (const unsigned* v = first; v != last; ++v) {
                  if (faceAt[*v] == FaceParts::none) {
                      faceAt[*v] = static_cast<unsigned>(t);
                      continue;
                  }
                  // The earlier face's root stays: roots are first faces.
                  const unsigned other = root(faceAt[*v]);
                  if (other < own) {
                      parent[own] = other;
                      own = other;
                  } else if (own < other) {
                      parent[other] = own;
                  }
              }
          });
    if (!joined)
        return false;
    size_t roots = 0;
    for (size_t t = 0; t < count; ++t)
        roots += mesh.turn[t] != 0 && parent[t] == t;
    parts.of.assign(count, FaceParts::none);
    parts.area.clear();
    std::vector<unsigned> number(count, FaceParts::none);
    for (size_t t = 0; t < count; ++t) {
        if (cancel())
            return false;
        if (mesh.turn[t] == 0)
            continue;
        unsigned& part = number[root(static_cast<unsigned>(t))];
        if (part == FaceParts::none) {
            part = static_cast<unsigned>(parts.area.size());
            parts.area.push_back(0);
        }
        parts.of[t] = part;
        // Areas weigh parts against each other: one part needs none.
        if (roots > 1) {
            const auto& c = mesh.triangles[t];
            parts.area[part] += Triangle2D(mesh.points[c[0]], mesh.points[c[1]], mesh.points[c[2]]).area();
        }
    }
    return true;
}

} // namespace IO
} // namespace Pelko
