#pragma once

// The border of a TIN checked by what it must be, not by agreement with another walk.
//
// The triangles: those whose corners (seen from above) are collinear cover nothing and are left out, and a
// triangle whose three corners are another's, in any order, is that triangle again. An edge of one
// triangle only is cut at the corners of others that lie on it strictly between its ends; every edge or
// part of an edge so cut is a piece. Triangles with a point of their pieces in common are one part.
//
// The border must be one ring (at least three points; with no triangle, none) that
//   - runs along pieces of exactly one triangle each, each piece once;
//   - keeps every such triangle on one and the same side, which is the inside of the ring, so that it goes
//     round its triangles and never crosses itself (it may pass a corner where triangles meet only at that
//     corner once for every gap between them);
//   - goes round a part of the largest plan area, and only that part's triangles lie along it;
//   - has every other piece of one triangle only of that part (the rim of a hole) strictly inside it;
//   - encloses the part's area plus the area of its holes (the pieces of the holes' rims, each taken with
//     its triangle on its left, add up to minus that).
// Triangles that overlap are not looked for: their border is not checked beyond the above.
//
//   EXPECT_EQ(tinBorderFault(path), "");                         GoogleTest
//   const std::string fault = tinBorderFault(path);
//   QVERIFY2(fault.empty(), fault.c_str());                      QtTest

#include <io/bordercontrol.h>
#include <io/trianglertreecontrol.h>

#include <corvex/polygon.h>
#include <corvex/triangle.h>

#include <utility/connection.h>

// Its inlined code draws a false warning from GCC.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <boost/multiprecision/cpp_int.hpp>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace TinBorderDetail {

using Place = std::pair<double, double>;

inline Place place(double x, double y)
{
    // 0 and -0 are one place.
    return Place(x + 0.0, y + 0.0);
}

inline std::string text(const Place& p)
{
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "(%.17g, %.17g)", p.first, p.second);
    return buffer;
}

inline size_t root(std::vector<size_t>& parent, size_t i)
{
    while (parent[i] != i)
        i = parent[i] = parent[parent[i]];
    return i;
}

} // namespace TinBorderDetail

// Empty when the border is sound, otherwise what is wrong with it.
inline std::string tinBorderFault(const std::vector<Pelko::Corvex::Triangle3D>& triangles,
                                  const Pelko::Corvex::Polygon& border)
{
    using namespace TinBorderDetail;
    using Edge = std::pair<Place, Place>;
    auto edgeOf = [](const Place& a, const Place& b) { return a < b ? Edge(a, b) : Edge(b, a); };
    auto orientation = [](const Place& a, const Place& b, const Place& c) {
        return Pelko::Corvex::Triangle2D(Pelko::Corvex::Point(a.first, a.second),
                                         Pelko::Corvex::Point(b.first, b.second),
                                         Pelko::Corvex::Point(c.first, c.second))
            .orientation();
    };

    // Every triangle with area once, and every edge of one with the triangle's number, sorted by edge.
    std::vector<double> areas;
    std::vector<std::array<Place, 3>> corners;
    std::set<std::array<Place, 3>> seenTriangles;
    std::vector<std::pair<Edge, size_t>> edges;
    for (const Pelko::Corvex::Triangle3D& triangle : triangles) {
        const Pelko::Corvex::Triangle2D plane = triangle.xoyProjection();
        if (plane.isDegenerate())
            continue;
        std::array<Place, 3> these;
        for (unsigned k = 0; k < 3; ++k)
            these[k] = place(plane.getVertex(k).getX(), plane.getVertex(k).getY());
        std::array<Place, 3> key = these;
        std::sort(key.begin(), key.end());
        if (!seenTriangles.insert(key).second)
            continue;
        const size_t index = areas.size();
        areas.push_back(plane.area());
        corners.push_back(these);
        for (unsigned k = 0; k < 3; ++k)
            edges.emplace_back(edgeOf(these[k], these[(k + 1) % 3]), index);
    }
    std::sort(edges.begin(), edges.end());

    // Every corner, by x, and every edge of one triangle only cut at the corners strictly inside it.
    std::vector<Place> points;
    for (const auto& edge : edges) {
        points.push_back(edge.first.first);
        points.push_back(edge.first.second);
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    std::vector<std::pair<Edge, size_t>> pieces;
    for (size_t i = 0; i < edges.size(); ++i) {
        if ((i > 0 && edges[i - 1].first == edges[i].first)
            || (i + 1 < edges.size() && edges[i + 1].first == edges[i].first)) {
            pieces.push_back(edges[i]);
            continue;
        }
        // The edge runs from its least to its greatest corner in (x, y) order, and so do the corners on it.
        const Place a = edges[i].first.first, b = edges[i].first.second;
        std::vector<Place> along { a };
        for (auto c = std::upper_bound(points.begin(), points.end(), a); c != points.end() && *c < b; ++c) {
            const double low = std::min(a.second, b.second), high = std::max(a.second, b.second);
            if (c->second < low || c->second > high)
                continue;
            if (orientation(a, b, *c) == 0)
                along.push_back(*c);
        }
        along.push_back(b);
        for (size_t k = 0; k + 1 < along.size(); ++k)
            pieces.emplace_back(Edge(along[k], along[k + 1]), edges[i].second);
    }
    std::sort(pieces.begin(), pieces.end());
    edges.swap(pieces);

    auto sharing = [&edges](const Edge& edge) {
        return std::equal_range(edges.begin(), edges.end(), std::make_pair(edge, size_t(0)),
                                [](const auto& a, const auto& b) { return a.first < b.first; });
    };
    // Parts: triangles joined at the ends of their pieces.
    std::vector<size_t> parent(areas.size());
    std::iota(parent.begin(), parent.end(), 0);
    std::map<Place, size_t> firstAt;
    for (const auto& piece : edges)
        for (const Place& end : { piece.first.first, piece.first.second }) {
            const auto found = firstAt.emplace(end, piece.second);
            if (!found.second)
                parent[root(parent, piece.second)] = root(parent, found.first->second);
        }

    const unsigned n = border.getPointCount();
    if (areas.empty())
        return n == 0 ? std::string() : "a border of " + std::to_string(n) + " points round no triangle";
    if (n < 3)
        return "a border of " + std::to_string(n) + " points round " + std::to_string(areas.size())
            + " triangles";

    std::vector<Place> ring;
    for (unsigned i = 0; i < n; ++i)
        ring.push_back(place(border.getPoint(i).getX(), border.getPoint(i).getY()));
    // Relative to the first point, so that large coordinates do not cost the sum its digits.
    auto twiceArea = [](const Place& origin, const Place& a, const Place& b) {
        return (a.first - origin.first) * (b.second - origin.second)
            - (b.first - origin.first) * (a.second - origin.second);
    };
    double twice = 0;
    for (unsigned i = 0; i < n; ++i)
        twice += twiceArea(ring[0], ring[i], ring[(i + 1) % n]);
    const int inside = twice > 0 ? 1 : -1;

    size_t part = areas.size();
    std::set<Edge> along;
    for (unsigned i = 0; i < n; ++i) {
        const Place &a = ring[i], &b = ring[(i + 1) % n];
        const auto found = sharing(edgeOf(a, b));
        const size_t count = static_cast<size_t>(found.second - found.first);
        if (count != 1)
            return "the border edge " + text(a) + " - " + text(b)
                + " is an edge or a part of one between corners of " + std::to_string(count) + " triangles";
        if (!along.insert(edgeOf(a, b)).second)
            return "the border runs along " + text(a) + " - " + text(b) + " twice";
        const size_t triangle = found.first->second;
        int side = 0;
        for (const Place& corner : corners[triangle])
            if (side == 0)
                side = orientation(a, b, corner);
        if (side != inside)
            return "the triangle along the border edge " + text(a) + " - " + text(b)
                + " lies outside the border";
        const size_t its = root(parent, triangle);
        if (part == areas.size())
            part = its;
        else if (its != part)
            return "the border goes round two parts of the TIN";
    }

    std::vector<double> partArea(areas.size(), 0);
    for (size_t i = 0; i < areas.size(); ++i)
        partArea[root(parent, i)] += areas[i];
    const double expected = partArea[part];
    if (*std::max_element(partArea.begin(), partArea.end()) > expected) {
        char buffer[160];
        std::snprintf(buffer, sizeof buffer,
                      "the border goes round a part of %.17g, a larger one covers %.17g", expected,
                      *std::max_element(partArea.begin(), partArea.end()));
        return buffer;
    }

    // The rims of holes: the other pieces of one triangle only of the part, each inside the ring, and taken
    // with their triangles on the left.
    double holes = 0;
    for (size_t i = 0; i < edges.size(); ++i) {
        const bool single = (i == 0 || edges[i - 1].first != edges[i].first)
            && (i + 1 == edges.size() || edges[i + 1].first != edges[i].first);
        if (!single || root(parent, edges[i].second) != part || along.count(edges[i].first))
            continue;
        Place a = edges[i].first.first, b = edges[i].first.second;
        int side = 0;
        for (const Place& corner : corners[edges[i].second])
            if (side == 0)
                side = orientation(a, b, corner);
        if (side < 0)
            std::swap(a, b);
        holes -= twiceArea(ring[0], a, b) / 2;
        const Place middle((a.first + b.first) / 2, (a.second + b.second) / 2);
        bool in = false;
        for (unsigned k = 0; k < n; ++k) {
            const Place &p = ring[k], &q = ring[(k + 1) % n];
            if ((p.second > middle.second) != (q.second > middle.second)
                && orientation(p, q, middle) == (q.second > p.second ? 1 : -1))
                in = !in;
        }
        if (!in)
            return "the edge " + text(a) + " - " + text(b) + " of one triangle only lies outside the border";
    }

    const double enclosed = std::fabs(twice) / 2;
    if (!(std::fabs(enclosed - expected - holes) <= 1e-9 * (expected + std::fabs(holes)))) {
        char buffer[200];
        std::snprintf(buffer, sizeof buffer,
                      "the border encloses %.17g, its triangles cover %.17g and their holes %.17g", enclosed,
                      expected, holes);
        return buffer;
    }
    return std::string();
}

namespace TinBorderDetail {

using Exact = boost::multiprecision::cpp_rational;

// 1 inside the ring, 0 on it, -1 outside; exact, also for a point that is no pair of doubles.
inline int where(const Pelko::Corvex::Polygon& border, const Exact& x, const Exact& y)
{
    auto sign = [](const Exact& v) { return v > 0 ? 1 : v < 0 ? -1 : 0; };
    const unsigned n = border.getPointCount();
    bool in = false;
    for (unsigned i = 0; i < n; ++i) {
        const Pelko::Corvex::Point &a = border.getPoint(i), &b = border.getPoint((i + 1) % n);
        const Exact ax(a.getX()), ay(a.getY()), bx(b.getX()), by(b.getY());
        const int o = sign((bx - ax) * (y - ay) - (by - ay) * (x - ax));
        if (o == 0 && std::min(ax, bx) <= x && x <= std::max(ax, bx) && std::min(ay, by) <= y
            && y <= std::max(ay, by))
            return 0;
        if ((ay > y) != (by > y) && o == (by > ay ? 1 : -1))
            in = !in;
    }
    return in ? 1 : -1;
}

} // namespace TinBorderDetail

// Where faces overlap or cross, the border is the outer border of the ground they cover: checked by what
// it encloses. Empty when every triangle given (those of the border's part) lies inside the border or on
// it, otherwise which does not. Exact: a triangle lies so when no border edge meets its inside (no line
// of its edges nor the edge's own line leaves them apart) and a point of its inside is inside the border:
// a corner off the border, or where all lie on it its centroid, which is no pair of doubles.
inline std::string tinFacesOutsideBorder(const std::vector<Pelko::Corvex::Triangle3D>& triangles,
                                         const Pelko::Corvex::Polygon& border)
{
    using Pelko::Corvex::Point;
    using TinBorderDetail::Exact;
    auto orientation = [](const Point& a, const Point& b, const Point& c) {
        return Pelko::Corvex::Triangle2D(a, b, c).orientation();
    };
    const unsigned n = border.getPointCount();
    for (size_t t = 0; t < triangles.size(); ++t) {
        const Pelko::Corvex::Triangle2D plane = triangles[t].xoyProjection();
        if (plane.isDegenerate())
            continue;
        Point c[3] = { plane.getVertex(0), plane.getVertex(1), plane.getVertex(2) };
        if (orientation(c[0], c[1], c[2]) < 0)
            std::swap(c[1], c[2]);
        const std::string name = "triangle " + std::to_string(t);
        for (unsigned i = 0; i < n; ++i) {
            const Point &a = border.getPoint(i), &b = border.getPoint((i + 1) % n);
            bool apart = false;
            // Outside one of the triangle's edges, or the triangle on one side of the border edge's line.
            for (unsigned k = 0; k < 3 && !apart; ++k)
                apart
                    = orientation(c[k], c[(k + 1) % 3], a) <= 0 && orientation(c[k], c[(k + 1) % 3], b) <= 0;
            int sides[3];
            for (unsigned k = 0; k < 3; ++k)
                sides[k] = orientation(a, b, c[k]);
            apart = apart || (sides[0] >= 0 && sides[1] >= 0 && sides[2] >= 0)
                || (sides[0] <= 0 && sides[1] <= 0 && sides[2] <= 0);
            if (!apart)
                return "the border edge " + TinBorderDetail::text({ a.getX(), a.getY() }) + " - "
                    + TinBorderDetail::text({ b.getX(), b.getY() }) + " runs across " + name;
        }
        int side = 0;
        for (const Point& corner : c)
            if (side == 0)
                side = TinBorderDetail::where(border, Exact(corner.getX()), Exact(corner.getY()));
        if (side == 0)
            side = TinBorderDetail::where(border,
                                          (Exact(c[0].getX()) + Exact(c[1].getX()) + Exact(c[2].getX())) / 3,
                                          (Exact(c[0].getY()) + Exact(c[1].getY()) + Exact(c[2].getY())) / 3);
        if (side < 0)
            return name + " lies outside the border";
    }
    return std::string();
}

// A border that goes round the ground and no further: empty when every corner of it and the middle of
// every edge of it lie on a triangle (a corner moved off the ground by a few units in the last place, where
// edges cross at no pair of doubles, counts as on it), otherwise the first that does not. A box round the
// ground fails it, and so does the convex hull of ground that is not convex.
inline std::string tinBorderOffFaces(const std::vector<Pelko::Corvex::Triangle3D>& triangles,
                                     const Pelko::Corvex::Polygon& border)
{
    using Pelko::Corvex::Point;
    auto onFace = [&](const Point& p) {
        const double near = 64 * std::numeric_limits<double>::epsilon()
            * std::max({ 1.0, std::fabs(p.getX()), std::fabs(p.getY()) });
        for (const Pelko::Corvex::Triangle3D& triangle : triangles) {
            const Pelko::Corvex::Triangle2D plane = triangle.xoyProjection();
            if (plane.isDegenerate())
                continue;
            const int turn = plane.orientation();
            bool on = true;
            for (unsigned k = 0; k < 3 && on; ++k) {
                const Point &a = plane.getVertex(k), &b = plane.getVertex((k + 1) % 3);
                if (turn * Pelko::Corvex::Triangle2D(a, b, p).orientation() >= 0)
                    continue;
                // Outside this edge's line: by how much.
                const double dx = b.getX() - a.getX(), dy = b.getY() - a.getY();
                on = std::fabs(dx * (p.getY() - a.getY()) - dy * (p.getX() - a.getX())) / std::hypot(dx, dy)
                    <= near;
            }
            if (on)
                return true;
        }
        return false;
    };
    const unsigned n = border.getPointCount();
    for (unsigned i = 0; i < n; ++i) {
        const Point &p = border.getPoint(i), &q = border.getPoint((i + 1) % n);
        if (!onFace(p))
            return "the border corner " + TinBorderDetail::text({ p.getX(), p.getY() })
                + " lies on no triangle";
        const Point middle(p.getX() + (q.getX() - p.getX()) / 2, p.getY() + (q.getY() - p.getY()) / 2);
        if (!onFace(middle))
            return "the border edge from " + TinBorderDetail::text({ p.getX(), p.getY() })
                + " leaves the triangles";
    }
    return std::string();
}

// The plan area of the ground the triangles cover (each point once) and of that inside the border: in
// slabs between the x of every corner and crossing, where the ground's width along a vertical line is
// linear, so its value at the slab's middle gives the slab's area.
inline std::pair<double, double> tinGroundAreas(const std::vector<Pelko::Corvex::Triangle3D>& triangles,
                                                const Pelko::Corvex::Polygon& border)
{
    using Pelko::Corvex::Point;
    using Segment = std::pair<Point, Point>;
    std::vector<std::array<Point, 3>> faces;
    std::vector<Segment> edges, ring;
    for (const Pelko::Corvex::Triangle3D& triangle : triangles) {
        const Pelko::Corvex::Triangle2D plane = triangle.xoyProjection();
        if (plane.isDegenerate())
            continue;
        faces.push_back({ plane.getVertex(0), plane.getVertex(1), plane.getVertex(2) });
        for (unsigned k = 0; k < 3; ++k)
            edges.emplace_back(plane.getVertex(k), plane.getVertex((k + 1) % 3));
    }
    const unsigned n = border.getPointCount();
    for (unsigned i = 0; i < n; ++i)
        ring.emplace_back(border.getPoint(i), border.getPoint((i + 1) % n));
    std::vector<double> xs;
    std::vector<Segment> all = edges;
    all.insert(all.end(), ring.begin(), ring.end());
    for (size_t i = 0; i < all.size(); ++i) {
        xs.push_back(all[i].first.getX());
        for (size_t j = i + 1; j < all.size(); ++j) {
            const Point &a = all[i].first, &b = all[i].second, &c = all[j].first, &d = all[j].second;
            const double den = (b.getX() - a.getX()) * (d.getY() - c.getY())
                - (b.getY() - a.getY()) * (d.getX() - c.getX());
            if (den == 0)
                continue;
            const double s = ((c.getX() - a.getX()) * (d.getY() - c.getY())
                              - (c.getY() - a.getY()) * (d.getX() - c.getX()))
                / den;
            const double u = ((c.getX() - a.getX()) * (b.getY() - a.getY())
                              - (c.getY() - a.getY()) * (b.getX() - a.getX()))
                / den;
            if (s > 0 && s < 1 && u > 0 && u < 1)
                xs.push_back(a.getX() + s * (b.getX() - a.getX()));
        }
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    auto crossing = [](const Segment& e, double x, double& y) {
        const Point &a = e.first, &b = e.second;
        if ((a.getX() < x) == (b.getX() < x))
            return false;
        y = a.getY() + (x - a.getX()) * (b.getY() - a.getY()) / (b.getX() - a.getX());
        return true;
    };
    double ground = 0, inside = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        const double x = (xs[i] + xs[i + 1]) / 2, width = xs[i + 1] - xs[i];
        std::vector<std::pair<double, double>> covered;
        for (const auto& face : faces) {
            std::vector<double> ys;
            double y;
            for (unsigned k = 0; k < 3; ++k)
                if (crossing({ face[k], face[(k + 1) % 3] }, x, y))
                    ys.push_back(y);
            if (ys.size() == 2)
                covered.emplace_back(std::min(ys[0], ys[1]), std::max(ys[0], ys[1]));
        }
        std::sort(covered.begin(), covered.end());
        std::vector<std::pair<double, double>> merged;
        for (const auto& span : covered)
            if (!merged.empty() && span.first <= merged.back().second)
                merged.back().second = std::max(merged.back().second, span.second);
            else
                merged.push_back(span);
        std::vector<double> cuts;
        double y;
        for (const Segment& e : ring)
            if (crossing(e, x, y))
                cuts.push_back(y);
        std::sort(cuts.begin(), cuts.end());
        for (const auto& span : merged) {
            ground += width * (span.second - span.first);
            for (size_t k = 0; k + 1 < cuts.size(); k += 2)
                inside += width
                    * std::max(0.0, std::min(span.second, cuts[k + 1]) - std::max(span.first, cuts[k]));
        }
    }
    return { ground, inside };
}

// The same for the triangles and the border a TIN database holds.
inline std::string tinBorderFault(const std::string& databasePath)
{
    std::unique_ptr<Zemko::Utility::Connection, void (*)(Zemko::Utility::Connection*)> connection(
        Zemko::Utility::Connection::create(databasePath, false), &Zemko::Utility::Connection::destory);
    if (!connection)
        return "cannot open " + databasePath;
    return tinBorderFault(Pelko::IO::TriangleRTreeControl::getAllTriangles(connection.get()),
                          Pelko::IO::BorderControl::getPolygon(connection.get()));
}
