#pragma once

// The border of a TIN checked by what it must be, not by agreement with another walk: each of its edges is
// an edge of exactly one triangle, and it encloses the area of the triangles it goes round. An edge of one
// triangle only is cut at the corners that lie on it (a corner of one triangle on another's edge): then a
// border edge is a part of it between two such points that follow each other, and the border passes every
// corner on its way. Triangles that share an edge, or a part of one, form one piece; a TIN of several
// pieces has the border of one of them.
//
//   EXPECT_EQ(tinBorderFault(path), "");                         GoogleTest
//   const std::string fault = tinBorderFault(path);
//   QVERIFY2(fault.empty(), fault.c_str());                      QtTest

#include <io/bordercontrol.h>
#include <io/trianglertreecontrol.h>

#include <corvex/polygon.h>
#include <corvex/triangle.h>

#include <utility/connection.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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

// Empty when the border is sound, otherwise what is wrong with it. Triangles whose corners are collinear
// cover nothing and are left out; without any other triangle the border must be empty.
inline std::string tinBorderFault(const std::vector<Pelko::Corvex::Triangle3D>& triangles,
                                  const Pelko::Corvex::Polygon& border)
{
    using namespace TinBorderDetail;
    using Edge = std::pair<Place, Place>;
    auto edgeOf = [](const Place& a, const Place& b) { return a < b ? Edge(a, b) : Edge(b, a); };

    // Every edge of a triangle with the triangle's number, sorted by edge.
    std::vector<double> areas;
    std::vector<std::pair<Edge, size_t>> edges;
    for (const Pelko::Corvex::Triangle3D& triangle : triangles) {
        const Pelko::Corvex::Triangle2D plane = triangle.xoyProjection();
        if (plane.isDegenerate())
            continue;
        const size_t index = areas.size();
        areas.push_back(plane.area());
        for (unsigned k = 0; k < 3; ++k) {
            const Pelko::Corvex::Point a = plane.getVertex(k), b = plane.getVertex((k + 1) % 3);
            edges.emplace_back(edgeOf(place(a.getX(), a.getY()), place(b.getX(), b.getY())), index);
        }
    }
    std::sort(edges.begin(), edges.end());

    // Every corner, by x, and every edge of one triangle only cut at the corners strictly inside it.
    std::vector<Place> corners;
    for (const auto& edge : edges) {
        corners.push_back(edge.first.first);
        corners.push_back(edge.first.second);
    }
    std::sort(corners.begin(), corners.end());
    corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
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
        for (auto c = std::upper_bound(corners.begin(), corners.end(), a); c != corners.end() && *c < b; ++c) {
            const double low = std::min(a.second, b.second), high = std::max(a.second, b.second);
            if (c->second < low || c->second > high)
                continue;
            const Pelko::Corvex::Triangle2D line(Pelko::Corvex::Point(a.first, a.second),
                                                 Pelko::Corvex::Point(b.first, b.second),
                                                 Pelko::Corvex::Point(c->first, c->second));
            if (line.orientation() == 0)
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
    std::vector<size_t> parent(areas.size());
    std::iota(parent.begin(), parent.end(), 0);
    for (size_t i = 1; i < edges.size(); ++i)
        if (edges[i].first == edges[i - 1].first)
            parent[root(parent, edges[i].second)] = root(parent, edges[i - 1].second);

    const unsigned n = border.getPointCount();
    if (areas.empty())
        return n == 0 ? std::string() : "a border of " + std::to_string(n) + " points round no triangle";
    if (n < 3)
        return "a border of " + std::to_string(n) + " points round " + std::to_string(areas.size())
            + " triangles";

    std::vector<Place> points;
    std::set<Place> seen;
    for (unsigned i = 0; i < n; ++i) {
        points.push_back(place(border.getPoint(i).getX(), border.getPoint(i).getY()));
        if (!seen.insert(points.back()).second)
            return "the border passes " + text(points.back()) + " twice";
    }

    size_t piece = areas.size();
    for (unsigned i = 0; i < n; ++i) {
        const auto found = sharing(edgeOf(points[i], points[(i + 1) % n]));
        const size_t count = static_cast<size_t>(found.second - found.first);
        if (count != 1)
            return "the border edge " + text(points[i]) + " - " + text(points[(i + 1) % n])
                + " is an edge or a part of one between corners of " + std::to_string(count) + " triangles";
        const size_t its = root(parent, found.first->second);
        if (piece == areas.size())
            piece = its;
        else if (its != piece)
            return "the border goes round two pieces of the TIN";
    }

    double expected = 0;
    for (size_t i = 0; i < areas.size(); ++i)
        if (root(parent, i) == piece)
            expected += areas[i];
    // Relative to the first point, so that large coordinates do not cost the sum its digits.
    double twice = 0;
    const Place origin = points[0];
    for (unsigned i = 0; i < n; ++i) {
        const Place& a = points[i];
        const Place& b = points[(i + 1) % n];
        twice += (a.first - origin.first) * (b.second - origin.second)
            - (b.first - origin.first) * (a.second - origin.second);
    }
    const double enclosed = std::fabs(twice) / 2;
    if (!(std::fabs(enclosed - expected) <= 1e-9 * expected)) {
        char buffer[160];
        std::snprintf(buffer, sizeof buffer, "the border encloses %.17g, its triangles cover %.17g", enclosed,
                      expected);
        return buffer;
    }
    return std::string();
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
