#include <road/surfaceupdown.h>

#include <road/crosssection.h>
#include <road/crosssectionelement.h>
#include <road/roadsurface.h>
#include <road/standardsection.h>
#include <road/verticalalignment.h>

#include <algorithm>
#include <cmath>

namespace Pelko {
namespace Road {

SurfaceUpDown::SurfaceUpDown(RoadSurface* road)
    : m_road(road)
{
}

bool SurfaceUpDown::designElevation(double station, double offset, double updown, DoubleResult& result,
                                    double& elevation) const
{
    bool ok = false;
    switch (result.type) {
    case Direct:
        ok = getDesignHeightAfterVerticalUpdown(station, offset, updown, elevation);
        break;
    case Orthogonal:
        ok = getDesignHeightAfterOrthogonalUpDown(station, offset, updown, elevation);
        break;
    default:
        result.type = None;
        ok = getOriginalDesignElevation(station, offset, elevation);
        break;
    }
    // A slope that gives no height can come back as NaN or infinity with ok set.
    return ok && std::isfinite(elevation);
}

SurfaceUpDown::DoubleResult SurfaceUpDown::getDesignHeight(const Corvex::Point& point, double updown,
                                                           UpDownType type) const
{
    DoubleResult result;
    result.type = type;
    double station = 0.0;
    double offset = 0.0;
    if (!m_road || !*m_road || !m_road->getStationOffset(point, station, offset))
        return result;
    double elevation = 0.0;
    result.ok = designElevation(station, offset, updown, result, elevation);
    result.value = elevation;
    return result;
}

SurfaceUpDown::DoubleResult SurfaceUpDown::getCutFill(const Corvex::Point3D& point, double updown,
                                                      double height, UpDownType type) const
{
    DoubleResult result;
    result.type = type;
    double station = 0.0;
    double offset = 0.0;
    if (!m_road || !*m_road
        || !m_road->getStationOffset(Corvex::Point(point.north(), point.east()), station, offset))
        return result;
    double design = 0.0;
    result.ok = designElevation(station, offset, updown, result, design);
    // The unshifted surface has no layer, so the layer height does not apply either.
    result.value = point.height() - design - (result.type == None ? 0.0 : height);
    return result;
}

bool SurfaceUpDown::getDesignHeightAfterOrthogonalUpDown(double station, double offset, double updown,
                                                         double& elevation) const
{
    const double pivot = m_road->getAppliedPivotOffset(offset < 0.0, station);
    const CrossSection section = m_road->getStandardSection()->getCrossSection(station, offset, pivot, 0.0);
    bool found = false;
    const CrossSectionElement element = section.getElementByOffset(offset, &found);
    if (!found)
        return getOriginalDesignElevation(station, offset, elevation);
    const double s = element.getSlopeInPercentage();
    // The section runs outwards on both sides, so the distance into the element is measured from the
    // centre line whatever the side.
    const double distance
        = std::min(std::max(std::fabs(offset) - element.getStartingOffset(), 0.0), element.getWidth());
    const double d = element.getObjectDeltaElevation(distance, nullptr);
    const double shift = updown * std::sqrt(s * s + 10000.0) * 0.01;
    bool ok = false;
    elevation = m_road->getVerticalAligment().calcElevation(station, &ok) + d + shift;
    return ok && std::isfinite(elevation);
}

bool SurfaceUpDown::getDesignHeightAfterVerticalUpdown(double station, double offset, double updown,
                                                       double& elevation) const
{
    bool ok = false;
    elevation = m_road->getElevation(station, offset, updown, true, ok);
    return ok;
}

bool SurfaceUpDown::getOriginalDesignElevation(double station, double offset, double& elevation) const
{
    return m_road->getElevation(station, offset, elevation);
}

} // namespace Road
} // namespace Pelko
