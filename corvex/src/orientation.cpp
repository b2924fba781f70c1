#include "orientation.h"

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <cmath>

namespace Pelko::Corvex::detail {

int orientationSign(double ax, double ay, double bx, double by, double cx, double cy)
{
    if (!(std::isfinite(ax) && std::isfinite(ay) && std::isfinite(bx) && std::isfinite(by)
          && std::isfinite(cx) && std::isfinite(cy))) {
        double const d = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        return d > 0 ? 1 : (d < 0 ? -1 : 0);
    }
    // Filtered predicate: interval arithmetic first, exact arithmetic only when the filter
    // cannot decide, so the sign is never a rounding artefact.
    using K = CGAL::Exact_predicates_inexact_constructions_kernel;
    try {
        switch (CGAL::orientation(K::Point_2(ax, ay), K::Point_2(bx, by), K::Point_2(cx, cy))) {
        case CGAL::LEFT_TURN:
            return 1;
        case CGAL::RIGHT_TURN:
            return -1;
        default:
            return 0;
        }
    } catch (...) {
        double const d = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        return d > 0 ? 1 : (d < 0 ? -1 : 0);
    }
}

} // namespace Pelko::Corvex::detail
