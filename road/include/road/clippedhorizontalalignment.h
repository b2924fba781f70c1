#pragma once

#include <road/road_global.h>

#include <corvex/envelope.h>
#include <corvex/point.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Pelko {
namespace Road {

class RoadSurface;

namespace internal {
class LineSegmentClipper;
}

// What the plan view draws for one window: the centre line, the borders, the primary points of the
// alignment and the box of what was drawn. Made only by RoadSurface::getBorderAndAlign; copies share.
class ROAD_EXPORT ClippedHorizontalAlignment
{
public:
    // Bit set; the centre line is always built. CenterLineOnly also keeps the road from widening the
    // window by the section width.
    enum AlignmentLineType : std::int32_t {
        CenterLineOnly = 1,
        LeftBorderLine = 2,
        RightBorderLine = 4,
        AllLines = 7,
    };

    // Boundary codes: begin, end and arc midpoint, or (previous kind) * 16 + (next kind) between two
    // elements with line 1, spiral 2, arc 4.
    enum PrimaryPointType : std::int32_t {
        AlignmentBeginPoint = 0x100,
        AlignmentEndPoint = 0x200,
        ArcMiddlePoint = 0x300,
        UnknownPoint = 0xF000,
    };

    struct ROAD_EXPORT PrimaryPoint
    {
        PrimaryPoint() = default;
        PrimaryPoint(const Corvex::Point& p, std::int32_t code)
            : point(p)
            , type(code)
        {
        }
        PrimaryPoint(const PrimaryPoint&) = default;
        PrimaryPoint(PrimaryPoint&&) = default;
        PrimaryPoint& operator=(const PrimaryPoint&) = default;
        PrimaryPoint& operator=(PrimaryPoint&&) = default;

        Corvex::Point point;
        std::int32_t type = UnknownPoint;
    };

    ClippedHorizontalAlignment(const ClippedHorizontalAlignment&) = default;
    ClippedHorizontalAlignment& operator=(const ClippedHorizontalAlignment&) = default;
    ~ClippedHorizontalAlignment();

    ClippedHorizontalAlignment clone() const;
    explicit operator bool() const { return d != nullptr; }

    // Polylines in drawing order; a (NaN, NaN) point breaks the line where a curve could not be drawn,
    // where the line leaves the window and where elements outside it were left out.
    std::vector<Corvex::Point> getCenterLinePoints() const;
    std::vector<Corvex::Point> getLeftBorder() const;
    std::vector<Corvex::Point> getRightBorder() const;
    std::vector<PrimaryPoint> getPrimaryPoints() const;
    // Box of the drawn segments before clipping; empty when nothing was drawn.
    Corvex::Envelope getEnvelope() const;

protected:
    ClippedHorizontalAlignment();

    // s is the drawing density: the largest sagitta of a chord on curves, and a fifteenth of the
    // border station spacing in mode 0. mode 0 thins the border stations, any other mode adds two
    // stations between neighbours inside a non-linear widening.
    void fromHorizontalAlignment(const RoadSurface& road, double s, AlignmentLineType type,
                                 const internal::LineSegmentClipper& clipper, int mode);

private:
    friend class RoadSurface;
    struct Data;
    std::shared_ptr<Data> d;
};

} // namespace Road
} // namespace Pelko
