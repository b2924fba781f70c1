#pragma once

// Internal to the library: not installed, not exported.

namespace Pelko::Corvex::detail {

// Exact sign of the orientation determinant
//   (b.x - a.x)(c.y - a.y) - (b.y - a.y)(c.x - a.x)
// for the given doubles: +1 when a, b, c turn counterclockwise in the x-y plane, -1 clockwise,
// 0 collinear. Non-finite input yields the sign of the plain floating-point value (NaN gives 0).
int orientationSign(double ax, double ay, double bx, double by, double cx, double cy);

} // namespace Pelko::Corvex::detail
