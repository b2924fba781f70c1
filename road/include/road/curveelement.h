#pragma once

#include <road/road_global.h>

#include <corvex/point.h>

namespace Pelko {
namespace Road {

struct StationOffset
{
    double station = 0.0; // arc length from the curve's begin
    double offset = 0.0; // positive to the right of the direction of travel
};

// A plane curve whose signed curvature runs linearly from k1 to k2 over its length: a line, an arc
// and a spiral go through the same integration. Positive curvature turns right (azimuth increases).
class ROAD_EXPORT CurveElement
{
public:
    CurveElement(double length, double k1, double k2, const Corvex::Point& begin, double beginAzimuth);

    // Radians, not normalised.
    double getAzimuthByArcLenth(double s) const;

    Corvex::Point getCoordinateByArcLength(double s) const;
    void getCoordinateByArcLength(double s, double& x, double& y) const;

    // The point at s moved by offset along the normal to the right.
    Corvex::Point getCoordinate(double s, double offset) const;
    void getCoordinate(double s, double offset, double& x, double& y) const;

    Corvex::Point getEndPoint() const;

    // The station is not clamped to [0, length].
    StationOffset getStationOffset(const Corvex::Point& p) const;
    void getStationOffset(const Corvex::Point& p, double& station, double& offset) const;

private:
    double calc2PointsVerticalInterval(const Corvex::Point& p, const Corvex::Point& q, double s) const;
    double calcOffset(const Corvex::Point& p, const Corvex::Point& q, double s) const;

    double m_x0;
    double m_y0;
    double m_k1;
    double m_azimuth;
    double m_length;
    double m_dk;
    int m_n;
};

} // namespace Road
} // namespace Pelko
