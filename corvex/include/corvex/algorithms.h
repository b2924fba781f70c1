#pragma once

#include <corvex/angle.h>
#include <corvex/corvex_global.h>
#include <corvex/line.h>
#include <corvex/point.h>
#include <corvex/point3d.h>

#include <utility>

namespace Pelko::Corvex {

class CORVEX_EXPORT Utility
{
public:
    // Azimuth from north clockwise towards east, in [0, 2pi); equal points give 0.
    static Angle azimuth(double x1, double y1, double x2, double y2);
    static Angle azimuth(Point const& from, Point const& to);

    static double distance(double x1, double y1, double x2, double y2);
    static double distance(Point const& a, Point const& b);

    // The two tangents from p to the circle of radius r about q. When q is closer to p than r there
    // is no tangent: the failure is reported and both lines come back with A = B = C = 0.
    static std::pair<Line, Line> getLine(Point const& p, Point const& q, double r);

    // (b - a) x (c - a), turned upwards, dotted with d - a: positive when d is above the plane.
    // Not divided by the normal's length.
    static std::pair<double, bool> getDistance(Point3D const& a, Point3D const& b, Point3D const& c,
                                               Point3D const& d);

    // Clockwise as seen on a map (x north, y east); heights ignored.
    static bool isClockwise(Point3D const& a, Point3D const& b, Point3D const& c);
};

class CORVEX_EXPORT CGAlgorithms
{
public:
    static double distance(double x1, double y1, double x2, double y2);
    static double distance(Point const& a, Point const& b);
    static double distance(Point const& p, Line const& l);

    static double azimuth(double x1, double y1, double x2, double y2);
    static double azimuth(Point const& from, Point const& to);
};

} // namespace Pelko::Corvex
