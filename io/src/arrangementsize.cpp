#include "arrangementsize.h"

#include "exactplane.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

using Pelko::Corvex::Point;

namespace Pelko {
namespace IO {

namespace {

// Rounded: the sign of the turn from a to b to c, and its size for where two pieces cross.
double cross(const Point& a, const Point& b, const Point& c)
{
    return (b.getX() - a.getX()) * (c.getY() - a.getY()) - (b.getY() - a.getY()) * (c.getX() - a.getX());
}

} // namespace

ArrangementSize arrangementSize(const std::vector<Point>& points, const std::vector<ChainPiece>& chain,
                                size_t most, CancelLooks& cancel)
{
    // The pieces the arrangement takes, and their ends.
    std::vector<unsigned> pieces;
    pieces.reserve(chain.size());
    std::vector<char> end(points.size(), 0);
    size_t ends = 0;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (unsigned i = 0; i < chain.size(); ++i) {
        if (cancel())
            return ArrangementSize::Cancelled;
        const ChainPiece& piece = chain[i];
        if (piece.count < 1 || planeEqual(points[piece.from], points[piece.to]))
            continue;
        pieces.push_back(i);
        for (unsigned v : { piece.from, piece.to }) {
            if (end[v])
                continue;
            end[v] = 1;
            const double x = points[v].getX(), y = points[v].getY();
            if (ends++ == 0) {
                minX = maxX = x;
                minY = maxY = y;
            }
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    std::vector<char>().swap(end);
    if (ends > most)
        return ArrangementSize::Over;
    const size_t count = pieces.size();
    if (count < 2)
        return ArrangementSize::Within;

    // About one cell a piece: side at least sqrt(area / count), and at least the longer span / count so
    // that a drawing along a line has as many.
    const double width = maxX - minX, height = maxY - minY;
    double side = std::max(std::sqrt(width / static_cast<double>(count) * height),
                           std::max(width, height) / static_cast<double>(count));
    if (!(side > 0) || !std::isfinite(side))
        return ArrangementSize::Over;
    const size_t columns = std::min(count + 1, static_cast<size_t>(width / side) + 1);
    const size_t rows = std::min(count + 1, static_cast<size_t>(height / side) + 1);
    auto column = [&](double x) {
        const double c = std::floor((x - minX) / side);
        return static_cast<size_t>(std::max(0.0, std::min(static_cast<double>(columns - 1), c)));
    };
    auto row = [&](double y) {
        const double r = std::floor((y - minY) / side);
        return static_cast<size_t>(std::max(0.0, std::min(static_cast<double>(rows - 1), r)));
    };

    // Each piece in the cells it passes through, a column at a time.
    const size_t mostFilings = 8 * count + 4096;
    std::vector<std::pair<std::uint64_t, unsigned>> filed;
    for (unsigned i : pieces) {
        if (cancel())
            return ArrangementSize::Cancelled;
        Point a = points[chain[i].from], b = points[chain[i].to];
        if (b.getX() < a.getX())
            std::swap(a, b);
        const size_t c0 = column(a.getX()), c1 = column(b.getX());
        for (size_t c = c0; c <= c1; ++c) {
            double y0 = a.getY(), y1 = b.getY();
            if (c0 != c1) {
                const double slope = (b.getY() - a.getY()) / (b.getX() - a.getX());
                const double left = std::max(a.getX(), minX + static_cast<double>(c) * side);
                const double right = std::min(b.getX(), minX + static_cast<double>(c + 1) * side);
                y0 = a.getY() + (left - a.getX()) * slope;
                y1 = a.getY() + (right - a.getX()) * slope;
            }
            const size_t r0 = row(std::min(y0, y1)), r1 = row(std::max(y0, y1));
            if (filed.size() + (r1 - r0 + 1) > mostFilings)
                return ArrangementSize::Over;
            for (size_t r = r0; r <= r1; ++r)
                filed.emplace_back(static_cast<std::uint64_t>(c) * rows + r, i);
        }
    }
    auto leastX
        = [&](unsigned i) { return std::min(points[chain[i].from].getX(), points[chain[i].to].getX()); };
    std::sort(filed.begin(), filed.end(), [&](const auto& p, const auto& q) {
        if (p.first != q.first)
            return p.first < q.first;
        const double px = leastX(p.second), qx = leastX(q.second);
        return px != qx ? px < qx : p.second < q.second;
    });

    // Pairs of pieces in one cell whose spans in x overlap.
    const size_t mostTries = 16 * count + 4096;
    size_t tries = 0, crossings = 0;
    for (size_t first = 0; first < filed.size();) {
        size_t last = first;
        while (last < filed.size() && filed[last].first == filed[first].first)
            ++last;
        const std::uint64_t cell = filed[first].first;
        for (size_t i = first; i < last; ++i) {
            const ChainPiece& s = chain[filed[i].second];
            const Point &a = points[s.from], &b = points[s.to];
            const double right = std::max(a.getX(), b.getX());
            for (size_t j = i + 1; j < last && leastX(filed[j].second) <= right; ++j) {
                if (++tries > mostTries)
                    return ArrangementSize::Over;
                if (cancel())
                    return ArrangementSize::Cancelled;
                const ChainPiece& t = chain[filed[j].second];
                if (s.from == t.from || s.from == t.to || s.to == t.from || s.to == t.to)
                    continue;
                const Point &c = points[t.from], &d = points[t.to];
                const double o1 = cross(a, b, c), o2 = cross(a, b, d);
                if (!((o1 < 0 && o2 > 0) || (o1 > 0 && o2 < 0)))
                    continue;
                const double o3 = cross(c, d, a), o4 = cross(c, d, b);
                if (!((o3 < 0 && o4 > 0) || (o3 > 0 && o4 < 0)))
                    continue;
                const double share = o1 / (o1 - o2);
                const double x = c.getX() + share * (d.getX() - c.getX());
                const double y = c.getY() + share * (d.getY() - c.getY());
                if (static_cast<std::uint64_t>(column(x)) * rows + row(y) != cell)
                    continue;
                if (ends + ++crossings > most)
                    return ArrangementSize::Over;
            }
        }
        first = last;
    }
    return ArrangementSize::Within;
}

std::vector<Point> convexHull(const std::vector<Corvex::Triangle3D>& faces, CancelLooks& cancel)
{
    auto eachCorner = [&faces](auto visit) {
        for (const Corvex::Triangle3D& face : faces)
            for (unsigned k = 0; k < 3; ++k) {
                const Point p(face.getVertex(k).x() + 0.0, face.getVertex(k).y() + 0.0);
                if (std::isfinite(p.getX()) && std::isfinite(p.getY()))
                    visit(p);
            }
    };
    // Only corners outside the quadrilateral of the extreme ones can be corners of the hull: in a drawing,
    // few.
    bool any = false;
    Point extreme[4];
    eachCorner([&](const Point& p) {
        if (!any) {
            extreme[0] = extreme[1] = extreme[2] = extreme[3] = p;
            any = true;
            return;
        }
        // Least x, least y, greatest x, greatest y: counterclockwise.
        if (planeLess(p, extreme[0]))
            extreme[0] = p;
        if (std::make_pair(p.getY(), p.getX()) < std::make_pair(extreme[1].getY(), extreme[1].getX()))
            extreme[1] = p;
        if (planeLess(extreme[2], p))
            extreme[2] = p;
        if (std::make_pair(extreme[3].getY(), extreme[3].getX()) < std::make_pair(p.getY(), p.getX()))
            extreme[3] = p;
    });
    std::vector<Point> kept;
    if (!any || cancel.now())
        return kept;
    eachCorner([&](const Point& p) {
        bool inside = true;
        for (unsigned k = 0; k < 4 && inside; ++k)
            inside = turning(extreme[k], extreme[(k + 1) % 4], p) > 0;
        if (!inside)
            kept.push_back(p);
    });
    if (cancel.now())
        return {};
    std::sort(kept.begin(), kept.end(), [](const Point& a, const Point& b) { return planeLess(a, b); });
    kept.erase(std::unique(kept.begin(), kept.end(),
                           [](const Point& a, const Point& b) { return planeEqual(a, b); }),
               kept.end());
    if (kept.size() < 3)
        return kept;
    // The lower chain from the least point to the greatest, then the upper one back.
    std::vector<Point> hull;
    for (int pass = 0; pass < 2; ++pass) {
        const size_t floor = hull.size();
        for (size_t i = 0; i < kept.size(); ++i) {
            const Point& p = pass == 0 ? kept[i] : kept[kept.size() - 1 - i];
            while (hull.size() >= floor + 2 && turning(hull[hull.size() - 2], hull.back(), p) <= 0)
                hull.pop_back();
            hull.push_back(p);
        }
        hull.pop_back();
    }
    return hull;
}

} // namespace IO
} // namespace Pelko
