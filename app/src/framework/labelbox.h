#pragma once

#include <QPointF>
#include <QRectF>
#include <QTransform>

namespace Zemko {
namespace Trelvin {
namespace Data {
namespace Internal {

// A label's rectangle as placed on the canvas: turned and moved by a transform.
struct LabelBox
{
    QPointF corner[4];
    QRectF bounds;

    LabelBox(const QTransform& place, const QRectF& rect);

    // Whether the two share more than an edge (separating axes: the edge directions of both).
    bool overlaps(const LabelBox& other) const;
    // Whether every corner lies within the area.
    bool within(const QRectF& area) const;
};

} // namespace Internal
} // namespace Data
} // namespace Trelvin
} // namespace Zemko
