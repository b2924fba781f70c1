#pragma once

// The stake points of a straight road, as a CASS point file of a survey gives them: five offsets (-15, -7.5,
// 0, 7.5 and 15 m), a point every 10 m from east 500000, north 3400000, a grade of 1 % and a cross fall of
// 2 %, every coordinate rounded to the millimetre. The rows of nearly collinear points along the hull
// triangulate into slivers.

#include <corvex/point3d.h>

#include <cmath>
#include <vector>

// North first, as the TIN is built; 201 stations make 2 km.
inline std::vector<Pelko::Corvex::Point3D> straightRoadPoints(int azimuthDegrees, int stations = 201)
{
    const double azimuth = azimuthDegrees * M_PI / 180;
    auto millimetres = [](double value) { return std::round(value * 1000) / 1000; };
    std::vector<Pelko::Corvex::Point3D> points;
    for (int i = 0; i < stations; ++i) {
        const double station = 10.0 * i;
        for (double offset : { -15.0, -7.5, 0.0, 7.5, 15.0 }) {
            const double east = 500000 + station * std::sin(azimuth) + offset * std::cos(azimuth);
            const double north = 3400000 + station * std::cos(azimuth) - offset * std::sin(azimuth);
            points.emplace_back(millimetres(north), millimetres(east),
                                millimetres(100 + 0.01 * station - 0.02 * std::fabs(offset)));
        }
    }
    return points;
}
