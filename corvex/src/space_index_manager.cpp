#include <corvex/spaceindexmanager.h>

#include <corvex/polygonclipper.h>

#include "math_constants.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace Pelko::Corvex {

using detail::truncToInt;

namespace {

// Largest coordinate the clipper takes after its 1e9 scaling (2^62 / 1e9).
constexpr double kClipperReach = 4.6e9;

bool finite(Envelope const& e)
{
    return std::isfinite(e.getMinX()) && std::isfinite(e.getMinY()) && std::isfinite(e.getMaxX())
        && std::isfinite(e.getMaxY());
}

} // namespace

SpaceIndexManager::SpaceIndexManager(Point const& origin, int cellSize)
    : m_origin(origin)
    , m_cellSize(cellSize)
{
}

SpaceIndexManager::SpaceIndexManager(double x0, double y0, int cellSize)
    : m_origin(x0, y0)
    , m_cellSize(cellSize)
{
}

std::int64_t SpaceIndexManager::calculateSpaceIndex(int row, int column)
{
    // Unsigned arithmetic: row·2^32 + column wraps for the lowest rows with negative columns.
    std::uint64_t const key = (static_cast<std::uint64_t>(static_cast<std::int64_t>(row)) << 32)
        + static_cast<std::uint64_t>(static_cast<std::int64_t>(column));
    return static_cast<std::int64_t>(key);
}

std::pair<int, int> SpaceIndexManager::getRowColumnIndex(std::int64_t key)
{
    auto const bits = static_cast<std::uint64_t>(key);
    auto const column = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
    // A negative column borrowed one from the row when the key was built.
    std::uint64_t const rowBits
        = (bits - static_cast<std::uint64_t>(static_cast<std::int64_t>(column))) >> 32;
    auto const row = static_cast<std::int32_t>(static_cast<std::uint32_t>(rowBits));
    return { row, column };
}

std::int64_t SpaceIndexManager::calculatePointSpaceIndex(Point const& p) const
{
    return calculatePointSpaceIndex(p.getX(), p.getY());
}

std::int64_t SpaceIndexManager::calculatePointSpaceIndex(double x, double y) const
{
    if (m_cellSize < 1 || !std::isfinite(x) || !std::isfinite(y) || !m_origin.isValid())
        return 0;
    int const column = truncToInt(x - m_origin.getX()) / m_cellSize;
    int const row = truncToInt(y - m_origin.getY()) / m_cellSize;
    return calculateSpaceIndex(row, column);
}

Point SpaceIndexManager::calculateSpaceIndexCenterPoint(std::int64_t key) const
{
    auto const rc = getRowColumnIndex(key);
    return Point((rc.second + 0.5) * m_cellSize + m_origin.getX(),
                 (rc.first + 0.5) * m_cellSize + m_origin.getY());
}

Polygon SpaceIndexManager::calculateCellPolygon(std::int64_t key) const
{
    Polygon cell;
    if (m_cellSize < 1)
        return cell;
    auto const rc = getRowColumnIndex(key);
    double const x = static_cast<double>(rc.second) * m_cellSize + m_origin.getX();
    double const y = static_cast<double>(rc.first) * m_cellSize + m_origin.getY();
    cell.appendPoint(x, y);
    cell.appendPoint(x + m_cellSize, y);
    cell.appendPoint(x + m_cellSize, y + m_cellSize);
    cell.appendPoint(x, y + m_cellSize);
    return cell;
}

SpaceInfo SpaceIndexManager::getSpaceInfo(std::int64_t key) const
{
    SpaceInfo info;
    info.index = key;
    info.cellSize = m_cellSize;
    info.rowColumn = getRowColumnIndex(key);
    info.center = calculateSpaceIndexCenterPoint(key);
    return info;
}

std::vector<std::int64_t> SpaceIndexManager::calculateEnvelopeSpaceIndices(Envelope const& e) const
{
    return calculateEnvelopeSpaceIndices(e, 1);
}

std::vector<std::int64_t> SpaceIndexManager::calculateEnvelopeSpaceIndices(Envelope const& e,
                                                                           int const& step) const
{
    std::vector<std::int64_t> keys;
    // An inverted box (the default empty envelope included) covers no cell.
    if (m_cellSize < 1 || step < 1 || !m_origin.isValid() || !finite(e) || e.getMinX() > e.getMaxX()
        || e.getMinY() > e.getMaxY())
        return keys;
    std::int64_t const minColumn = truncToInt(e.getMinX() - m_origin.getX()) / m_cellSize;
    std::int64_t const maxColumn = truncToInt(e.getMaxX() - m_origin.getX()) / m_cellSize;
    std::int64_t const minRow = truncToInt(e.getMinY() - m_origin.getY()) / m_cellSize;
    std::int64_t const maxRow = truncToInt(e.getMaxY() - m_origin.getY()) / m_cellSize;

    // Negative keys are skipped: every row below 0, and the negative columns of row 0.
    auto firstAtLeastZero = [step](std::int64_t first) {
        return first >= 0 ? first : first + (-first + step - 1) / step * step;
    };
    // 64-bit counters: stepping past INT_MAX must not overflow.
    for (std::int64_t row = firstAtLeastZero(minRow); row <= maxRow; row += step) {
        std::int64_t const firstColumn = row == 0 ? firstAtLeastZero(minColumn) : minColumn;
        for (std::int64_t column = firstColumn; column <= maxColumn; column += step)
            keys.push_back(calculateSpaceIndex(static_cast<int>(row), static_cast<int>(column)));
    }
    return keys;
}

int SpaceIndexManager::calculateEnvelopeSpaceIndicesCount(Envelope const& e) const
{
    if (m_cellSize < 1 || !m_origin.isValid() || !finite(e) || e.getMinX() > e.getMaxX()
        || e.getMinY() > e.getMaxY())
        return 0;
    std::int64_t const minColumn = truncToInt(e.getMinX() - m_origin.getX()) / m_cellSize;
    std::int64_t const maxColumn = truncToInt(e.getMaxX() - m_origin.getX()) / m_cellSize;
    std::int64_t const minRow = truncToInt(e.getMinY() - m_origin.getY()) / m_cellSize;
    std::int64_t const maxRow = truncToInt(e.getMaxY() - m_origin.getY()) / m_cellSize;
    // Each factor is below 2^32, so the product fits; the int result saturates.
    std::int64_t const count = (maxColumn - minColumn + 1) * (maxRow - minRow + 1);
    return count > INT_MAX ? INT_MAX : static_cast<int>(count);
}

std::vector<std::int64_t> SpaceIndexManager::calculatePolygonSpaceIndices(Polygon const& p) const
{
    std::vector<std::int64_t> keys;
    if (m_cellSize < 1 || !m_origin.isValid() || p.isEmpty())
        return keys;
    for (unsigned i = 0; i < p.getPointCount(); ++i) {
        if (!p.getPoint(i).isValid())
            return keys;
    }
    Envelope const e = p.getEnvelope();
    // Beyond the clipper's coordinate range every band would come back empty; do not walk them.
    double const reach = std::max(std::max(std::fabs(e.getMinX()), std::fabs(e.getMaxX())),
                                  std::max(std::fabs(e.getMinY()), std::fabs(e.getMaxY())));
    if (reach > kClipperReach)
        return keys;
    double const x0 = m_origin.getX();
    double const y0 = m_origin.getY();
    double const size = m_cellSize;

    std::int64_t const firstRow = truncToInt(e.getMinY() - y0) / m_cellSize;
    double const lastEdge = (std::trunc((e.getMaxY() - y0) / size) + 1.0) * size + y0;
    double const firstEdge = static_cast<double>(firstRow) * size + y0;
    for (std::int64_t k = 0;; ++k) {
        std::int64_t const row = firstRow + k;
        double const y = firstEdge + static_cast<double>(k) * size;
        if (y > lastEdge || row > INT_MAX)
            break;
        Polygon strip;
        strip.appendPoint(x0 - 1.0, y);
        strip.appendPoint(1e9, y);
        strip.appendPoint(1e9, y + size);
        strip.appendPoint(x0 - 1.0, y + size);
        MultiPolygon const pieces = PolygonClipper::intersect(p, strip);
        for (unsigned i = 0; i < pieces.getPolygonCount(); ++i) {
            Envelope const pe = pieces.getPolygon(i).getEnvelope();
            int const minColumn = truncToInt(pe.getMinX() - x0) / m_cellSize;
            int const maxColumn = truncToInt(pe.getMaxX() - x0) / m_cellSize;
            for (std::int64_t column = minColumn; column <= maxColumn; ++column)
                keys.push_back(calculateSpaceIndex(static_cast<int>(row), static_cast<int>(column)));
        }
    }
    return keys;
}

} // namespace Pelko::Corvex
