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

    // Axis-aligned box around the element's points from its begin to its end.
    struct Box
    {
        double minX;
        double minY;
        double maxX;
        double maxY;
    };

    ElementGeometry(HorizontalElementType type, const Corvex::Point& begin, double beginAzimuth,
                    double beginRadius, double endRadius, double length, TurnDirection direction);

    Location locate(double d) const;
    Projection project(const Corvex::Point& p) const;

    bool isSpiral() const { return m_shape == Shape::Spiral; }
    // Holds every point of the element, and so every foot point its projection gives, with room for
    // rounding.
    Box bounds() const;

private:
    enum class Shape { Line, Arc, Spiral };
    static const int kSeriesTerms = 30;

    Projection projectLine(double px, double py) const;
    Projection projectArc(double px, double py) const;
    Projection projectSpiral(double px, double py) const;
    bool newtonFoot(double px, double py, double& s) const;
    double bisectionFoot(double px, double py) const;
    void localCoordinates(double d, double& u, double& v, double& turned) const;
    // Integrals of cos and sin of a*t^2 + k1*t from 0 to d (the spiral's local frame before the turn
    // direction is applied).
    void spiralIntegrals(double d, double& u, double& v) const;
    double series(double d, bool odd) const;

    Shape m_shape;
    double m_x0;
    double m_y0;
    double m_a0;
    double m_radius; // arcs
    double m_k1; // spirals, unsigned
    double m_k2;
    double m_length;
    bool m_right;
    // The spiral's series coefficients: of t^n in cos (even) and sin (odd) of a*t^2 + k1*t. They
    // depend on the element alone, so every point along it shares them.
    double m_cosCoefficients[kSeriesTerms] = {};
    double m_sinCoefficients[kSeriesTerms] = {};
};

} // namespace internal
} // namespace Road
} // namespace Pelko
