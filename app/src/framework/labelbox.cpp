#include "framework/labelbox.h"

#include <algorithm>

namespace Zemko {
namespace Trelvin {
namespace Data {
namespace Internal {

LabelBox::LabelBox(const QTransform& place, const QRectF& rect)
{
    corner[0] = place.map(rect.topLeft());
    corner[1] = place.map(rect.topRight());
    corner[2] = place.map(rect.bottomRight());
    corner[3] = place.map(rect.bottomLeft());
    bounds = place.mapRect(rect);
}

bool LabelBox::overlaps(const LabelBox& other) const
{
    if (!bounds.intersects(other.bounds))
        return false;
    for (const LabelBox* box : { this, &other })
        for (int edge = 0; edge < 2; ++edge) {
            const QPointF d = box->corner[edge + 1] - box->corner[edge];
            const QPointF axis(-d.y(), d.x());
            double minA = 0.0, maxA = 0.0, minB = 0.0, maxB = 0.0;
            for (int i = 0; i < 4; ++i) {
                const double a = QPointF::dotProduct(corner[i], axis);
                const double b = QPointF::dotProduct(other.corner[i], axis);
                minA = i ? std::min(minA, a) : a;
                maxA = i ? std::max(maxA, a) : a;
                minB = i ? std::min(minB, b) : b;
                maxB = i ? std::max(maxB, b) : b;
            }
            if (maxA <= minB || maxB <= minA)
                return false;
        }
    return true;
}

bool LabelBox::within(const QRectF& area) const
{
    return bounds.left() >= area.left() && bounds.right() <= area.right() && bounds.top() >= area.top()
        && bounds.bottom() <= area.bottom();
}

} // namespace Internal
} // namespace Data
} // namespace Trelvin
} // namespace Zemko
