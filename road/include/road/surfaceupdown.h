#pragma once

#include <road/road_global.h>

#include <corvex/point.h>
#include <corvex/point3d.h>

#include <cstdint>

namespace Pelko {
namespace Road {

class RoadSurface;

// Design height of the road surface moved up or down by a layer thickness at a plan point, and the cut
// or fill of a measured point against it. Keeps only the road, which must outlive it.
class ROAD_EXPORT SurfaceUpDown
{
public:
    enum UpDownType : std::int32_t {
        // Vertical shift inside the cross section.
        Direct = 0,
        // Shift square to the cross-section element under the point.
        Orthogonal = 1,
        // The unshifted design surface; any other value is reported as this.
        None = 2,
    };

    struct ROAD_EXPORT DoubleResult
    {
        double value = 0.0;
        bool ok = false;
        UpDownType type = Direct;
    };

    explicit SurfaceUpDown(RoadSurface* road);

    DoubleResult getDesignHeight(const Corvex::Point& point, double updown, UpDownType type) const;
    // Positive when the point lies above the (shifted) design surface raised by height.
    DoubleResult getCutFill(const Corvex::Point3D& point, double updown, double height,
                            UpDownType type) const;

private:
    bool getDesignHeightAfterOrthogonalUpDown(double station, double offset, double updown,
                                              double& elevation) const;
    bool getDesignHeightAfterVerticalUpdown(double station, double offset, double updown,
                                            double& elevation) const;
    bool getOriginalDesignElevation(double station, double offset, double& elevation) const;
    // Design elevation in the chosen mode; result.type is set to the mode used.
    bool designElevation(double station, double offset, double updown, DoubleResult& result,
                         double& elevation) const;

    RoadSurface* m_road;
};

} // namespace Road
} // namespace Pelko
