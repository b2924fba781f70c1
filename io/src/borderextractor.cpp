#include <io/borderextractor.h>
#include <io/trianglertreecontrol.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Polygon;
using Pelko::Corvex::Triangle3D;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

namespace {

// Every step costs database queries; no sound border of a stored model comes near this.
constexpr unsigned maxSteps = 50000000;

bool planeLess(const Point& a, const Point& b)
{
    return std::make_tuple(a.getX(), a.getY()) < std::make_tuple(b.getX(), b.getY());
}

bool planeEqual(const Point& a, const Point& b)
{
    return a.getX() == b.getX() && a.getY() == b.getY();
}

bool spaceLess(const Point3D& a, const Point3D& b)
{
    return std::make_tuple(a.x(), a.y(), a.z()) < std::make_tuple(b.x(), b.y(), b.z());
}

Point3D smallestVertex(const std::vector<Triangle3D>& triangles)
{
    Point3D smallest = triangles.front().getVertex(0);
    for (const Triangle3D& triangle : triangles)
        for (unsigned i = 0; i < 3; ++i)
            if (spaceLess(triangle.getVertex(i), smallest))
                smallest = triangle.getVertex(i);
    return smallest;
}

} // namespace

std::pair<Point, bool> BorderExtractor::findBorderPoint(Connection* connection)
{
    std::pair<Triangle3D, bool> first = TriangleRTreeControl::getTriangle(connection, 0);
    if (!first.second)
        return { Point(0, 0), false };
    Point3D smallest = smallestVertex({ first.first });
    Point current(smallest.x(), smallest.y());
    // x falls strictly with every step, so the descent ends; the cap only guards odd values.
    for (unsigned step = 0; step < maxSteps; ++step) {
        std::vector<Triangle3D> around = TriangleRTreeControl::getBelongedTriangles(connection, current);
        if (around.empty())
            return { Point(0, 0), false };
        Point3D lowest = smallestVertex(around);
        if (!(lowest.x() < current.getX()))
            return { current, true };
        current = Point(lowest.x(), lowest.y());
    }
    return { Point(0, 0), false };
}

std::pair<Point, bool> BorderExtractor::findBorderEdge(Connection* connection, const Point& previous,
                                                       const Point& current)
{
    std::vector<Triangle3D> around = TriangleRTreeControl::getBelongedTriangles(connection, current);
    std::vector<Point> candidates;
    for (const Triangle3D& triangle : around)
        for (unsigned i = 0; i < 3; ++i)
            candidates.emplace_back(triangle.getVertex(i).x(), triangle.getVertex(i).y());
    std::sort(candidates.begin(), candidates.end(),
              [](const Point& a, const Point& b) { return planeLess(b, a); });
    candidates.erase(std::unique(candidates.begin(), candidates.end(), planeEqual), candidates.end());

    for (const Point& candidate : candidates) {
        if (planeEqual(candidate, previous) || planeEqual(candidate, current))
            continue;
        // An edge with a triangle on one side only lies on the border.
        if (TriangleRTreeControl::getBelongedTriangles(connection, candidate, current).size() == 1)
            return { candidate, true };
    }
    return { Point(0, 0), false };
}

Polygon BorderExtractor::extract(Connection* connection)
{
    Polygon polygon;
    std::pair<Point, bool> start = findBorderPoint(connection);
    if (!start.second)
        return polygon;
    polygon.appendPoint(start.first);
    std::set<std::pair<double, double>> visited { { start.first.getX(), start.first.getY() } };

    Point previous = start.first;
    Point current = start.first;
    std::pair<Point, bool> next = findBorderEdge(connection, previous, current);
    for (unsigned step = 0; next.second && step < maxSteps; ++step) {
        // A border touching itself could lead the walk around a loop without the start point: stop at the
        // first point seen before.
        if (!visited.insert({ next.first.getX(), next.first.getY() }).second)
            break;
        previous = current;
        current = next.first;
        polygon.appendPoint(current);
        next = findBorderEdge(connection, previous, current);
    }
    return polygon;
}

} // namespace IO
} // namespace Pelko
