#include <corvex/polygon.h>

#include "orientation.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iostream>
#include <utility>

namespace Pelko::Corvex {

namespace {

bool samePoint(Point const& a, Point const& b)
{
    return a.getX() == b.getX() && a.getY() == b.getY();
}

double squaredDistance(Point const& a, Point const& b)
{
    double const dx = a.getX() - b.getX();
    double const dy = a.getY() - b.getY();
    return dx * dx + dy * dy;
}

// Polar angle about the pivot in degrees, [0, 360).
double polarDegrees(Point const& pivot, Point const& p)
{
    constexpr double kDeg = 57.29577951308232;
    double const dx = p.getX() - pivot.getX();
    double const dy = p.getY() - pivot.getY();
    if (dx > 0 && dy > 0)
        return std::atan(dy / dx) * kDeg;
    if (dx < 0 && dy < 0)
        return std::atan(dy / dx) * kDeg + 180.0;
    if (dx < 0 && dy > 0)
        return std::atan(-dx / dy) * kDeg + 90.0;
    if (dx > 0 && dy < 0)
        return std::atan(-dx / dy) * kDeg + 270.0;
    if (dx == 0 && dy > 0)
        return 90.0;
    if (dx < 0 && dy == 0)
        return 180.0;
    if (dx == 0 && dy < 0)
        return 270.0;
    return 0.0;
}

// Squared distance from p to the segment a-b.
double squaredSegmentDistance(Point const& p, Point const& a, Point const& b)
{
    double x = a.getX();
    double y = a.getY();
    double dx = b.getX() - x;
    double dy = b.getY() - y;
    // A zero-length span (a closed ring's first and last vertex) measures from its end point.
    if (dx != 0 || dy != 0) {
        float const t = static_cast<float>(((p.getX() - x) * dx + (p.getY() - y) * dy) / (dx * dx + dy * dy));
        if (t >= 1) {
            x = b.getX();
            y = b.getY();
        } else if (t > 0) {
            x += dx * t;
            y += dy * t;
        }
    }
    dx = p.getX() - x;
    dy = p.getY() - y;
    return dx * dx + dy * dy;
}

} // namespace

Polygon::Polygon(Polygon&& o) noexcept
    : m_points(std::move(o.m_points))
{
    o.m_points.clear();
}

Polygon& Polygon::operator=(Polygon&& o) noexcept
{
    if (this != &o) {
        m_points = std::move(o.m_points);
        o.m_points.clear();
    }
    return *this;
}

void Polygon::appendPoint(Point const& p)
{
    Point const copy = p; // p may be one of our own vertices
    m_points.push_back(copy);
}

void Polygon::appendPoint(double x, double y)
{
    m_points.emplace_back(x, y);
}

void Polygon::insertPoint(unsigned index, Point const& p)
{
    if (index > m_points.size()) {
        std::cerr << "Polygon::insertPoint: index " << index << " beyond vertex count " << m_points.size()
                  << '\n';
        return;
    }
    Point const copy = p;
    m_points.insert(m_points.begin() + index, copy);
}

void Polygon::popBack()
{
    if (!m_points.empty())
        m_points.pop_back();
}

double Polygon::getAera() const
{
    size_t const n = m_points.size();
    if (n < 3)
        return 0.0;
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        Point const& a = m_points[i];
        Point const& b = m_points[(i + 1) % n];
        sum += a.getX() * b.getY() - a.getY() * b.getX();
    }
    return std::fabs(sum) * 0.5;
}

double Polygon::getCircumference() const
{
    size_t const n = m_points.size();
    double sum = 0.0;
    for (size_t i = 1; i < n; ++i)
        sum += m_points[i - 1].distance(m_points[i]);
    if (n >= 2)
        sum += m_points[n - 1].distance(m_points[0]);
    return sum;
}

bool Polygon::isCounterclockwise() const
{
    size_t const n = m_points.size();
    if (n < 3)
        return false;

    size_t hi = 0;
    for (size_t i = 1; i < n; ++i)
        if (m_points[i].getY() > m_points[hi].getY())
            hi = i;
    Point const& h = m_points[hi];

    size_t prev = hi;
    do {
        prev = (prev == 0) ? n - 1 : prev - 1;
    } while (samePoint(m_points[prev], h) && prev != hi);
    size_t next = hi;
    do {
        next = (next + 1) % n;
    } while (samePoint(m_points[next], h) && next != hi);

    Point const& p = m_points[prev];
    Point const& q = m_points[next];
    if (samePoint(p, h) || samePoint(q, h) || samePoint(p, q))
        return false;

    int const sign = detail::orientationSign(p.getX(), p.getY(), h.getX(), h.getY(), q.getX(), q.getY());
    if (sign != 0)
        return sign > 0;
    return p.getX() > q.getX();
}

Envelope Polygon::getEnvelope() const
{
    Envelope e;
    for (Point const& p : m_points)
        e.expandToInclude(p);
    return e;
}

bool Polygon::contain(double x, double y) const
{
    double minX = DBL_MAX, minY = DBL_MAX, maxX = -DBL_MAX, maxY = -DBL_MAX;
    for (Point const& p : m_points) {
        minX = std::min(minX, p.getX());
        minY = std::min(minY, p.getY());
        maxX = std::max(maxX, p.getX());
        maxY = std::max(maxY, p.getY());
    }
    if (!(x >= minX && x <= maxX && y >= minY && y <= maxY))
        return false;

    for (Point const& p : m_points)
        if (p.getX() == x && p.getY() == y)
            return true;

    bool inside = false;
    size_t const n = m_points.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        double const xi = m_points[i].getX(), yi = m_points[i].getY();
        double const xj = m_points[j].getX(), yj = m_points[j].getY();
        if (((yi < y && y <= yj) || (yj < y && y <= yi)) && x > xi + (y - yi) / (yj - yi) * (xj - xi))
            inside = !inside;
    }
    return inside;
}

bool Polygon::contain(Polygon const& other) const
{
    if (isEmpty() || other.isEmpty())
        return false;
    for (Point const& p : other.m_points)
        if (!contain(p.getX(), p.getY()))
            return false;
    return true;
}

bool Polygon::isSame(Polygon const& other) const
{
    return contain(other) && other.contain(*this);
}

bool Polygon::isIntersect(Segment const& s) const
{
    for (size_t i = 1; i < m_points.size(); ++i)
        if (Segment::intersect(s, Segment(m_points[i - 1], m_points[i])))
            return true;
    return false;
}

Polygon Polygon::getConvexHull() const
{
    if (m_points.size() < 4)
        return *this;

    std::vector<Point> pts = m_points;
    size_t pivot = 0;
    for (size_t i = 1; i < pts.size(); ++i) {
        Point const& p = pts[i];
        Point const& b = pts[pivot];
        if (p.getY() < b.getY() || (p.getY() == b.getY() && p.getX() < b.getX()))
            pivot = i;
    }
    std::swap(pts[0], pts[pivot]);
    Point const origin = pts[0];

    struct Keyed
    {
        Point p;
        double angle;
        double dist2;
    };
    std::vector<Keyed> rest;
    rest.reserve(pts.size() - 1);
    for (size_t i = 1; i < pts.size(); ++i)
        rest.push_back({ pts[i], polarDegrees(origin, pts[i]), squaredDistance(origin, pts[i]) });

    // stable_sort stays within bounds even when NaN coordinates make the order inconsistent.
    std::stable_sort(rest.begin(), rest.end(), [](Keyed const& a, Keyed const& b) {
        if (a.angle != b.angle)
            return a.angle < b.angle;
        if (std::fabs(a.p.getX() - b.p.getX()) < 1e-12 && std::fabs(a.p.getY() - b.p.getY()) < 1e-12)
            return false;
        return a.dist2 < b.dist2;
    });

    std::vector<Point> stack;
    stack.reserve(pts.size());
    stack.push_back(origin);
    stack.push_back(rest[0].p);
    for (size_t i = 1; i < rest.size(); ++i) {
        Point const& v = rest[i].p;
        while (stack.size() >= 2) {
            Point const& top = stack[stack.size() - 1];
            Point const& below = stack[stack.size() - 2];
            double const turn = (top.getX() - below.getX()) * (v.getY() - below.getY())
                - (top.getY() - below.getY()) * (v.getX() - below.getX());
            if (turn > 1e-12)
                break;
            stack.pop_back();
        }
        stack.push_back(v);
    }

    Polygon hull;
    hull.m_points = std::move(stack);
    return hull;
}

Polygon Polygon::simplify(double tolerance) const
{
    size_t const n = m_points.size();
    if (tolerance == 0 || n < 3 || !std::isfinite(tolerance))
        return *this;
    double const sqTol = tolerance * tolerance;

    std::vector<Point> reduced;
    reduced.reserve(n);
    reduced.push_back(m_points[0]);
    for (size_t i = 1; i + 1 < n; ++i)
        if (squaredDistance(m_points[i], reduced.back()) >= sqTol)
            reduced.push_back(m_points[i]);
    reduced.push_back(m_points[n - 1]);

    size_t const m = reduced.size();
    std::vector<char> keep(m, 0);
    keep[0] = keep[m - 1] = 1;
    std::vector<std::pair<size_t, size_t>> spans;
    spans.emplace_back(0, m - 1);
    while (!spans.empty()) {
        auto const [first, last] = spans.back();
        spans.pop_back();
        double maxDist = 0.0;
        size_t index = first;
        for (size_t i = first + 1; i < last; ++i) {
            double const d = squaredSegmentDistance(reduced[i], reduced[first], reduced[last]);
            if (d >= maxDist) {
                maxDist = d;
                index = i;
            }
        }
        if (index != first && maxDist > sqTol) {
            keep[index] = 1;
            spans.emplace_back(index, last);
            spans.emplace_back(first, index);
        }
    }

    Polygon out;
    for (size_t i = 0; i < m; ++i)
        if (keep[i])
            out.m_points.push_back(reduced[i]);
    return out;
}

MultiPolygon::MultiPolygon(MultiPolygon&& o) noexcept
    : m_polygons(std::move(o.m_polygons))
{
    o.m_polygons.clear();
}

MultiPolygon& MultiPolygon::operator=(MultiPolygon&& o) noexcept
{
    if (this != &o) {
        m_polygons = std::move(o.m_polygons);
        o.m_polygons.clear();
    }
    return *this;
}

void MultiPolygon::addPolygon(Polygon const& p)
{
    Polygon copy = p; // p may be one of our own members
    m_polygons.push_back(std::move(copy));
}

} // namespace Pelko::Corvex
