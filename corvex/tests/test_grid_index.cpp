#include <corvex/spaceindexmanager.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <limits>
#include <vector>

using namespace Pelko::Corvex;

namespace {

constexpr std::int64_t kRow = std::int64_t(1) << 32;

Polygon ring(std::vector<Point> const& points)
{
    Polygon p;
    for (Point const& v : points)
        p.appendPoint(v);
    return p;
}

} // namespace

TEST(SpaceIndexManager, PointCellsCentresAndPolygons)
{
    SpaceIndexManager const grid(Point(0, 0), 10);
    std::int64_t const key = grid.calculatePointSpaceIndex(25, 37);
    EXPECT_EQ(key, 3 * kRow + 2);
    EXPECT_EQ(grid.calculatePointSpaceIndex(Point(25, 37)), key);
    EXPECT_EQ(SpaceIndexManager::getRowColumnIndex(key), std::make_pair(3, 2));

    Polygon const cell = grid.calculateCellPolygon(key);
    ASSERT_EQ(cell.getPointCount(), 4u);
    EXPECT_EQ(cell.getPoint(0).getX(), 20.0);
    EXPECT_EQ(cell.getPoint(0).getY(), 30.0);
    EXPECT_EQ(cell.getPoint(1).getX(), 30.0);
    EXPECT_EQ(cell.getPoint(1).getY(), 30.0);
    EXPECT_EQ(cell.getPoint(2).getX(), 30.0);
    EXPECT_EQ(cell.getPoint(2).getY(), 40.0);
    EXPECT_EQ(cell.getPoint(3).getX(), 20.0);
    EXPECT_EQ(cell.getPoint(3).getY(), 40.0);
    EXPECT_TRUE(cell.contain(25, 37));

    SpaceInfo const info = grid.getSpaceInfo(key);
    EXPECT_EQ(info.index, key);
    EXPECT_EQ(info.cellSize, 10);
    EXPECT_EQ(info.rowColumn, std::make_pair(3, 2));
    EXPECT_EQ(info.center.getX(), 25.0);
    EXPECT_EQ(info.center.getY(), 35.0);

    // Truncation toward zero: both sides of the origin share column 0.
    EXPECT_EQ(grid.calculatePointSpaceIndex(-5, 0), 0);
    EXPECT_EQ(grid.calculatePointSpaceIndex(5, 0), 0);
    EXPECT_EQ(grid.calculatePointSpaceIndex(-15, 0), -1);

    // A shifted origin shifts the grid with it; copies keep it.
    SpaceIndexManager moved(100, 200, 10);
    SpaceIndexManager const copy(moved);
    EXPECT_EQ(copy.calculatePointSpaceIndex(125, 237), key);
    EXPECT_EQ(copy.calculateSpaceIndexCenterPoint(key).getX(), 125.0);
    EXPECT_EQ(copy.calculateSpaceIndexCenterPoint(key).getY(), 235.0);
    moved = grid;
    EXPECT_EQ(moved.calculatePointSpaceIndex(25, 37), key);
}

TEST(SpaceIndexManager, KeysRoundTripForNegativeRowsAndColumns)
{
    EXPECT_EQ(SpaceIndexManager::calculateSpaceIndex(0, -1), -1);
    EXPECT_EQ(SpaceIndexManager::calculateSpaceIndex(-1, 0), -kRow);
    EXPECT_EQ(SpaceIndexManager::calculateSpaceIndex(1, -1), kRow - 1);
    EXPECT_EQ(SpaceIndexManager::calculateSpaceIndex(-2, 5), -2 * kRow + 5);
    int const values[] = { 0, 1, -1, 2, -2, 12345, -98765, INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1 };
    for (int row : values) {
        for (int column : values) {
            std::int64_t const key = SpaceIndexManager::calculateSpaceIndex(row, column);
            EXPECT_EQ(SpaceIndexManager::getRowColumnIndex(key), std::make_pair(row, column))
                << row << ", " << column;
        }
    }
    SpaceIndexManager const grid(0, 0, 10);
    Point const c = grid.calculateSpaceIndexCenterPoint(SpaceIndexManager::calculateSpaceIndex(-2, -3));
    EXPECT_EQ(c.getX(), -25.0);
    EXPECT_EQ(c.getY(), -15.0);
}

TEST(SpaceIndexManager, EnvelopeCells)
{
    SpaceIndexManager const grid(0, 0, 10);
    Envelope const e(0, 0, 25, 15);
    std::vector<std::int64_t> const six { 0, 1, 2, kRow, kRow + 1, kRow + 2 };
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndices(e), six);
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndicesCount(e), 6);
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndices(e, 2), (std::vector<std::int64_t> { 0, 2 }));

    // Negative keys (rows below 0, negative columns of row 0) are left out; the count is not.
    Envelope const around(-25, -25, 15, 15);
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndices(around),
              (std::vector<std::int64_t> { 0, 1, kRow - 2, kRow - 1, kRow, kRow + 1 }));
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndicesCount(around), 16);
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndices(around, 2), (std::vector<std::int64_t> { 0 }));

    // Stepping past INT_MAX must stop, not wrap around.
    SpaceIndexManager const fine(0, 0, 1);
    EXPECT_EQ(fine.calculateEnvelopeSpaceIndices(Envelope(0, 0, 3e9, 0), 1000000000),
              (std::vector<std::int64_t> { 0, 1000000000, 2000000000 }));
}

TEST(SpaceIndexManager, PolygonCellsFollowTheShape)
{
    SpaceIndexManager const grid(0, 0, 10);
    // A thin triangle along the diagonal touches 7 of the 16 cells of its envelope.
    Polygon const thin = ring({ Point(0.5, 0.5), Point(39.5, 39.5), Point(39.5, 38.5) });
    EXPECT_EQ(
        grid.calculatePolygonSpaceIndices(thin),
        (std::vector<std::int64_t> { 0, 1, kRow + 1, kRow + 2, 2 * kRow + 2, 2 * kRow + 3, 3 * kRow + 3 }));
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndicesCount(thin.getEnvelope()), 16);

    // Two prongs in one band come back as two pieces, each naming its cell.
    Polygon const u = ring({ Point(1, 0), Point(8, 0), Point(8, 30), Point(6, 30), Point(6, 5), Point(3, 5),
                             Point(3, 30), Point(1, 30) });
    EXPECT_EQ(grid.calculatePolygonSpaceIndices(u),
              (std::vector<std::int64_t> { 0, kRow, kRow, 2 * kRow, 2 * kRow }));
}

TEST(SpaceIndexManager, DegenerateInputGivesKeyZeroAndNoCells)
{
    double const nan = std::numeric_limits<double>::quiet_NaN();
    double const inf = std::numeric_limits<double>::infinity();
    Envelope const e(0, 0, 25, 15);
    Polygon const square = ring({ Point(0, 0), Point(20, 0), Point(20, 20), Point(0, 20) });

    // Cell sizes below 1 would divide by zero (or flip the grid).
    for (int size : { 0, -10 }) {
        SpaceIndexManager const bad(0, 0, size);
        EXPECT_EQ(bad.calculatePointSpaceIndex(25, 37), 0);
        EXPECT_TRUE(bad.calculateEnvelopeSpaceIndices(e).empty());
        EXPECT_EQ(bad.calculateEnvelopeSpaceIndicesCount(e), 0);
        EXPECT_TRUE(bad.calculatePolygonSpaceIndices(square).empty());
        EXPECT_TRUE(bad.calculateCellPolygon(3 * kRow + 2).isEmpty());
    }

    SpaceIndexManager const grid(0, 0, 10);
    // The default envelope and an empty polygon hold ±DBL_MAX bounds.
    EXPECT_TRUE(grid.calculateEnvelopeSpaceIndices(Envelope()).empty());
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndicesCount(Envelope()), 0);
    EXPECT_TRUE(grid.calculatePolygonSpaceIndices(Polygon()).empty());
    EXPECT_TRUE(grid.calculateEnvelopeSpaceIndices(e, 0).empty());
    EXPECT_TRUE(grid.calculateEnvelopeSpaceIndices(e, -1).empty());
    EXPECT_TRUE(grid.calculateEnvelopeSpaceIndices(Envelope(0, 0, nan, 15)).empty());
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndicesCount(Envelope(0, 0, inf, 15)), 0);

    EXPECT_EQ(grid.calculatePointSpaceIndex(nan, 5), 0);
    EXPECT_EQ(grid.calculatePointSpaceIndex(5, inf), 0);
    EXPECT_EQ(grid.calculatePointSpaceIndex(Point::invalid()), 0);
    EXPECT_EQ(SpaceIndexManager(nan, 0, 10).calculatePointSpaceIndex(5, 5), 0);

    // Offsets beyond int are clamped, not converted with undefined results.
    EXPECT_EQ(grid.calculatePointSpaceIndex(1e300, -1e300),
              SpaceIndexManager::calculateSpaceIndex(INT_MIN / 10, INT_MAX / 10));
    EXPECT_EQ(grid.calculateEnvelopeSpaceIndicesCount(Envelope(0, 0, 1e300, 1e300)), INT_MAX);

    Polygon withNan = square;
    withNan.appendPoint(nan, 5);
    EXPECT_TRUE(grid.calculatePolygonSpaceIndices(withNan).empty());
    // Beyond the clipper's range no band can be cut.
    EXPECT_TRUE(grid.calculatePolygonSpaceIndices(ring({ Point(0, 0), Point(1e300, 0), Point(1e300, 1e300) }))
                    .empty());
}
