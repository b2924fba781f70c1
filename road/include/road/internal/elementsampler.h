#pragma once

#include <road/horizontalelement.h>
#include <road/road_global.h>

#include <corvex/point.h>

namespace Pelko {
namespace Road {
namespace internal {

// Points along one horizontal element for drawing: the same Simpson sum as the element's own
// getNorthEast, with the directions at its nodes turned on by rotation instead of each taken from a
// sine and a cosine. A plan samples thousands of points; the answers stay within ulps of the element's.
class ROAD_EXPORT ElementSampler
{
public:
    explicit ElementSampler(const HorizontalElement& element);

    double beginStation() const { return m_element.getBeginStation(); }

    // s from the element's begin; offset positive to the right.
    Corvex::Point at(double s, double offset) const;

private:
    HorizontalElement m_element;
    bool m_summed = false;
    double m_x0 = 0.0;
    double m_y0 = 0.0;
    double m_azimuth = 0.0;
    double m_length = 0.0;
    double m_k1 = 0.0;
    double m_dk = 0.0;
    double m_cos0 = 1.0;
    double m_sin0 = 0.0;
};

} // namespace internal
} // namespace Road
} // namespace Pelko
