#pragma once

// Grids of square cells over the plane, and items filed under them: for finding the points near an edge
// among many.

#include "facemesh.h"

#include <corvex/point.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

namespace Pelko {
namespace IO {

using Corvex::Point;

// Square cells over a box, about as many as asked for; a side of the box may be flat.
class CellGrid
{
public:
    CellGrid(double minX, double maxX, double minY, double maxY, size_t cells)
        : m_minX(minX)
        , m_minY(minY)
    {
        const double width = maxX - minX, height = maxY - minY;
        const double count = static_cast<double>(std::max<size_t>(cells, 1));
        m_side = std::sqrt(width * height / count);
        if (!(m_side > 0))
            m_side = std::max(width, height) / count;
        // All in one place, or coordinates that are not finite: one cell.
        if (!(m_side > 0) || !std::isfinite(m_side))
            m_side = 0;
        const size_t limit = 4 * std::max<size_t>(cells, 1);
        auto cellsAlong = [&](double length) {
            return m_side > 0 ? static_cast<size_t>(std::min(length / m_side, static_cast<double>(limit))) + 1
                              : 1;
        };
        m_columns = cellsAlong(width);
        m_rows = cellsAlong(height);
        m_perSide = m_side > 0 ? 1 / m_side : 0;
        // Rounding in finding the cells a shape meets is kept far below this.
        m_slack = 64 * std::numeric_limits<double>::epsilon()
            * std::max({ std::fabs(minX), std::fabs(maxX), std::fabs(minY), std::fabs(maxY), m_side });
    }

    size_t cells() const { return m_columns * m_rows; }
    size_t cellOf(const Point& p) const { return row(p.getY()) * m_columns + column(p.getX()); }

    // Calls visit(cell) for every cell that the triangle or the segment (count 3 or 2 corners) meets, each
    // once, and for a few beside them; stops at the first visit that returns false, and returns false then.
    // A point on the shape is always in a cell visited.
    template<class Visit> bool forCellsMeeting(const Point* corners, int count, Visit visit) const
    {
        double lowY = corners[0].getY(), highY = lowY, scale = 0;
        for (int i = 0; i < count; ++i) {
            lowY = std::min(lowY, corners[i].getY());
            highY = std::max(highY, corners[i].getY());
            scale = std::max({ scale, std::fabs(corners[i].getX()), std::fabs(corners[i].getY()) });
        }
        const double slack = std::max(m_slack, 64 * std::numeric_limits<double>::epsilon() * scale);
        const size_t firstRow = row(lowY), lastRow = row(highY);
        if (lastRow - firstRow < 2) {
            // A shape across one or two rows: the cells of its box are as good, and found at once.
            double lowX = corners[0].getX(), highX = lowX;
            for (int i = 1; i < count; ++i) {
                lowX = std::min(lowX, corners[i].getX());
                highX = std::max(highX, corners[i].getX());
            }
            const size_t firstColumn = column(lowX), lastColumn = column(highX);
            if (lastColumn - firstColumn < 2) {
                for (size_t r = firstRow; r <= lastRow; ++r)
                    for (size_t c = firstColumn; c <= lastColumn; ++c)
                        if (!visit(r * m_columns + c))
                            return false;
                return true;
            }
        }
        for (size_t r = firstRow; r <= lastRow; ++r) {
            // The shape within the row's band, which is widened for rounding: its x range comes from its
            // corners in the band and where its edges cross the band's bounds.
            const double bandLow = std::max(lowY, r == 0 ? lowY : m_minY + r * m_side - m_slack);
            const double bandHigh
                = std::min(highY, r + 1 == m_rows ? highY : m_minY + (r + 1) * m_side + m_slack);
            double lowX = std::numeric_limits<double>::infinity(), highX = -lowX;
            auto take = [&](double x) {
                lowX = std::min(lowX, x);
                highX = std::max(highX, x);
            };
            for (int i = 0; i < count; ++i) {
                const Point& a = corners[i];
                if (a.getY() >= bandLow && a.getY() <= bandHigh)
                    take(a.getX());
                if (count == 2 && i == 1)
                    break;
                const Point& b = corners[(i + 1) % count];
                for (double y : { bandLow, bandHigh })
                    if ((a.getY() < y && y < b.getY()) || (b.getY() < y && y < a.getY())) {
                        const double x
                            = a.getX() + (y - a.getY()) * ((b.getX() - a.getX()) / (b.getY() - a.getY()));
                        take(std::min(std::max(x, std::min(a.getX(), b.getX())),
                                      std::max(a.getX(), b.getX())));
                    }
            }
            if (lowX > highX)
                continue;
            for (size_t c = column(lowX - slack), lastColumn = column(highX + slack); c <= lastColumn; ++c)
                if (!visit(r * m_columns + c))
                    return false;
        }
        return true;
    }

private:
    size_t column(double x) const { return cell((x - m_minX) * m_perSide, m_columns); }
    size_t row(double y) const { return cell((y - m_minY) * m_perSide, m_rows); }
    static size_t cell(double at, size_t count)
    {
        if (!(at > 0))
            return 0;
        return at < static_cast<double>(count - 1) ? static_cast<size_t>(at) : count - 1;
    }

    double m_minX, m_minY;
    double m_side = 0, m_perSide = 0, m_slack = 0;
    size_t m_columns = 1, m_rows = 1;
};

// Numbered items filed under numbered cells (of a grid, or points): place(i, file) calls file(cell) for each
// cell item i is in.
class CellFiles
{
public:
    template<class Place>
    CellFiles(size_t cells, size_t items, Place place)
        : m_start(cells + 1, 0)
    {
        for (size_t i = 0; i < items; ++i)
            place(i, [&](size_t cell) {
                ++m_start[cell + 1];
                return true;
            });
        for (size_t c = 1; c < m_start.size(); ++c)
            m_start[c] += m_start[c - 1];
        m_items.resize(m_start.back());
        for (size_t i = 0; i < items; ++i)
            place(i, [&](size_t cell) {
                m_items[m_start[cell]++] = static_cast<unsigned>(i);
                return true;
            });
        std::copy_backward(m_start.begin(), m_start.end() - 1, m_start.end());
        m_start[0] = 0;
    }
    const unsigned* begin(size_t cell) const { return m_items.data() + m_start[cell]; }
    const unsigned* end(size_t cell) const { return m_items.data() + m_start[cell + 1]; }
    size_t size(size_t cell) const { return m_start[cell + 1] - m_start[cell]; }

private:
    std::vector<size_t> m_start;
    std::vector<unsigned> m_items;
};

// The box of some of the mesh's points.
inline CellGrid gridOver(const FaceMesh& mesh, const std::vector<unsigned>& points, size_t cells)
{
    double minX = mesh.points[points[0]].getX(), maxX = minX;
    double minY = mesh.points[points[0]].getY(), maxY = minY;
    for (unsigned v : points) {
        minX = std::min(minX, mesh.points[v].getX());
        maxX = std::max(maxX, mesh.points[v].getX());
        minY = std::min(minY, mesh.points[v].getY());
        maxY = std::max(maxY, mesh.points[v].getY());
    }
    return CellGrid(minX, maxX, minY, maxY, cells);
}

// Some of the mesh's points, each once, in cells of about one point each.
struct PointCells
{
    PointCells(const FaceMesh& mesh, std::vector<unsigned> numbers)
        : points(unique(std::move(numbers)))
        , grid(gridOver(mesh, points, points.size()))
        , files(grid.cells(), points.size(),
                [&](size_t i, auto file) { file(grid.cellOf(mesh.points[points[i]])); })
    {
    }
    static std::vector<unsigned> unique(std::vector<unsigned> numbers)
    {
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        return numbers;
    }

    std::vector<unsigned> points;
    CellGrid grid;
    CellFiles files;
};
} // namespace IO
} // namespace Pelko
