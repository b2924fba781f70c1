#pragma once

#include <corvex/corvex_global.h>
#include <corvex/envelope.h>
#include <corvex/point.h>
#include <corvex/polygon.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace Pelko::Corvex {

struct CORVEX_EXPORT SpaceInfo
{
    std::int64_t index = 0;
    int cellSize = 0;
    std::pair<int, int> rowColumn { 0, 0 }; // row, column
    Point center;
};

// Square cells of a whole-number size from an origin, each named by one 64-bit key
// row·2^32 + column. Offsets are truncated toward zero, so the grid is meant for
// coordinates at or above the origin. A cell size below 1 or a non-finite or empty
// input yields key 0 and empty lists.
class CORVEX_EXPORT SpaceIndexManager
{
public:
    SpaceIndexManager(Point const& origin, int cellSize);
    SpaceIndexManager(double x0, double y0, int cellSize);
    SpaceIndexManager(SpaceIndexManager const&) = default;
    SpaceIndexManager(SpaceIndexManager&&) = default;
    SpaceIndexManager& operator=(SpaceIndexManager const&) = default;
    SpaceIndexManager& operator=(SpaceIndexManager&&) = default;

    static std::int64_t calculateSpaceIndex(int row, int column);
    static std::pair<int, int> getRowColumnIndex(std::int64_t key);

    std::int64_t calculatePointSpaceIndex(Point const& p) const;
    std::int64_t calculatePointSpaceIndex(double x, double y) const;

    Point calculateSpaceIndexCenterPoint(std::int64_t key) const;
    Polygon calculateCellPolygon(std::int64_t key) const;
    SpaceInfo getSpaceInfo(std::int64_t key) const;

    std::vector<std::int64_t> calculateEnvelopeSpaceIndices(Envelope const& e) const;
    std::vector<std::int64_t> calculateEnvelopeSpaceIndices(Envelope const& e, int const& step) const;
    int calculateEnvelopeSpaceIndicesCount(Envelope const& e) const;

    std::vector<std::int64_t> calculatePolygonSpaceIndices(Polygon const& p) const;

private:
    Point m_origin;
    int m_cellSize;
};

} // namespace Pelko::Corvex
