#pragma once

#include <road/horizontalelement.h>

namespace Pelko {
namespace Road {
namespace internal {

// Closed-form and series geometry of one element, used to project plan points on it. Distances are
// measured from the element's begin.
class ElementGeometry
{
public:
    struct Location
    {
        double x;
        double y;
        double azimuth; // tangent, in [0, 2*pi)
    };

    struct Projection
    {
        double distance; // along the element from its begin
        double offset; // positive to the right
        bool inside;
    };

    ElementGeometry(HorizontalElementType type, const Corvex::Point& begin, double beginAzimuth,
                    double beginRadius, double endRadius, double length, TurnDirection direction);

    Location locate(double d) const;
    Projection project(const Corvex::Point& p) const;

    // Integrals of cos and sin of a*t^2 + k1*t from 0 to d (the spiral's local frame before the
    // turn direction is applied); both 0 when the curvature hardly changes or the length is ~0.
    static void spiralIntegrals(double d, double k1, double k2, double length, double& u, double& v);

private:
    enum class Shape { Line, Arc, Spiral };

    Projection projectLine(double px, double py) const;
    Projection projectArc(double px, double py) const;
    Projection projectSpiral(double px, double py) const;
    void localCoordinates(double d, double& u, double& v, double& turned) const;

    Shape m_shape;
    double m_x0;
    double m_y0;
    double m_a0;
    double m_radius; // arcs
    double m_k1; // spirals, unsigned
    double m_k2;
    double m_length;
    bool m_right;
};

} // namespace internal
} // namespace Road
} // namespace Pelko
