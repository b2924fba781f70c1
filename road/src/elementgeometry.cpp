#include "elementgeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {
namespace internal {

namespace {
const double kPi = 4.0 * std::atan(1.0);
const double kTwoPi = 2.0 * kPi;

const double kSeriesTolerance = 1e-4;
const int kUTerms = 25;
const int kVTerms = 29;
const int kUMinTerms = 13;
const int kVMinTerms = 15;
const double kMinLength = 0.001;
const double kMinCurvatureChange = 1e-6;
const double kMinSpiralRadius = 1e-6;
const int kMaxBisectionSteps = 1000;
const double kBisectionTolerance = 1e-10;
// Round-off near a full turn at an arc's own begin point.
const double kFullTurnTolerance = 1e-9;
const int kMaxNewtonSteps = 50;
// Below this the distance to the tangent changes too little along the curve for a Newton step: the
// point lies near or beyond the centre of curvature.
const double kMinNewtonSlope = 0.05;
// Relative to the length: a step this small has reached the foot as closely as rounding allows.
const double kNewtonStepTolerance = 1e-13;
const int kBoxSamples = 32;
// Foot points within a millimetre of an end are taken whatever the angles say, and rounding grows with
// the size of the coordinates.
const double kBoxPad = 0.01;
const double kRelativeBoxPad = 1e-9;

double normalize(double a)
{
    if (!std::isfinite(a))
        return a;
    a = std::fmod(a, kTwoPi);
    if (a < 0.0)
        a += kTwoPi;
    if (a >= kTwoPi)
        a -= kTwoPi;
    return a;
}

struct FactorialTable
{
    double value[30];
    FactorialTable()
    {
        value[0] = 1.0;
        for (int i = 1; i < 30; ++i)
            value[i] = value[i - 1] * i;
    }
};

const FactorialTable& factorials()
{
    static const FactorialTable table;
    return table;
}

// Coefficient of t^n in cos (even) or sin (odd) of a*t^2 + k1*t, summed over the powers m of the
// argument that contribute to it.
double seriesCoefficient(int n, bool odd, double a, double k1)
{
    const FactorialTable& f = factorials();
    double sum = 0.0;
    for (int m = (n + 1) / 2; m <= n; ++m) {
        if ((m % 2 == 1) != odd)
            continue;
        const int half = odd ? (m - 1) / 2 : m / 2;
        const double sign = (half % 2 == 0) ? 1.0 : -1.0;
        sum += sign * std::pow(a, n - m) * std::pow(k1, 2 * m - n) / (f.value[n - m] * f.value[2 * m - n]);
    }
    return sum;
}
} // namespace

ElementGeometry::ElementGeometry(HorizontalElementType type, const Corvex::Point& begin, double beginAzimuth,
                                 double beginRadius, double endRadius, double length, TurnDirection direction)
    : m_shape(Shape::Line)
    , m_x0(begin.getX())
    , m_y0(begin.getY())
    , m_a0(normalize(beginAzimuth))
    , m_radius(std::fabs(beginRadius))
    , m_k1(0.0)
    , m_k2(0.0)
    , m_length(length)
    , m_right(type != LineElementType && direction == TurnRight)
{
    if (type == ArcElementType) {
        m_shape = (m_radius > 0.0 && std::isfinite(m_radius)) ? Shape::Arc : Shape::Line;
        if (m_shape == Shape::Arc)
            m_k1 = m_k2 = 1.0 / m_radius;
    } else if (type == SpiralElementType) {
        m_k1 = std::fabs(beginRadius) < kMinSpiralRadius ? 0.0 : 1.0 / std::fabs(beginRadius);
        m_k2 = std::fabs(endRadius) < kMinSpiralRadius ? 0.0 : 1.0 / std::fabs(endRadius);
        if (std::fabs(m_k2 - m_k1) >= kMinCurvatureChange && std::fabs(m_length) >= kMinLength) {
            m_shape = Shape::Spiral;
            const double a = (m_k2 - m_k1) / (2.0 * m_length);
            for (int n = 0; n < kSeriesTerms; ++n) {
                m_cosCoefficients[n] = seriesCoefficient(n, false, a, m_k1);
                m_sinCoefficients[n] = seriesCoefficient(n, true, a, m_k1);
            }
        } else if (m_k1 > 0.0) {
            // The series is zero here: the element is an arc (or a line) of its begin curvature.
            m_shape = Shape::Arc;
            m_radius = 1.0 / m_k1;
        }
    }
}

double ElementGeometry::series(double d, bool odd) const
{
    const double* coefficients = odd ? m_sinCoefficients : m_cosCoefficients;
    const int first = odd ? 1 : 2;
    const int last = odd ? kVTerms : kUTerms;
    const int minTerms = odd ? kVMinTerms : kUMinTerms;
    double previous2 = 0.0;
    double previous1 = odd ? 0.0 : d;
    double sum = previous1;
    double power = d; // d^(n + 1)
    for (int k = 0; k < first; ++k)
        power *= d;
    for (int n = first; n <= last; ++n, power *= d) {
        const double term = power / (n + 1) * coefficients[n];
        sum += term;
        // From the straight (k1 = 0) only every fourth term is non-zero: sums that stand still over
        // a zero term say nothing about convergence.
        if (n > minTerms && term != 0.0 && std::fabs(previous2 - 2.0 * previous1 + sum) < kSeriesTolerance)
            break;
        previous2 = previous1;
        previous1 = sum;
    }
    return sum;
}

void ElementGeometry::spiralIntegrals(double d, double& u, double& v) const
{
    u = series(d, false);
    v = series(d, true);
}

void ElementGeometry::localCoordinates(double d, double& u, double& v, double& turned) const
{
    switch (m_shape) {
    case Shape::Line:
        u = d;
        v = 0.0;
        turned = 0.0;
        break;
    case Shape::Arc: {
        const double t = d / m_radius;
        u = m_radius * std::sin(t);
        v = m_radius * (1.0 - std::cos(t));
        turned = t;
        break;
    }
    case Shape::Spiral:
        spiralIntegrals(d, u, v);
        turned = ((m_k2 - m_k1) / (2.0 * m_length) * d + m_k1) * d;
        break;
    }
    if (!m_right) {
        v = -v;
        turned = -turned;
    }
}

ElementGeometry::Location ElementGeometry::locate(double d) const
{
    double u = 0.0;
    double v = 0.0;
    double turned = 0.0;
    localCoordinates(d, u, v, turned);
    const double c = std::cos(m_a0);
    const double s = std::sin(m_a0);
    return Location { m_x0 + c * u - s * v, m_y0 + s * u + c * v, normalize(m_a0 + turned) };
}

namespace {
// Distance from the foot point to p, negative when p lies left of the tangent there.
double signedOffset(double footX, double footY, double tangent, double px, double py)
{
    const double dx = px - footX;
    const double dy = py - footY;
    const double distance = std::hypot(dx, dy);
    const double direction = normalize(std::atan2(dy, dx) - tangent);
    return direction > kPi ? -distance : distance;
}
} // namespace

ElementGeometry::Projection ElementGeometry::projectLine(double px, double py) const
{
    const double dx = px - m_x0;
    const double dy = py - m_y0;
    const double t = std::cos(std::atan2(dy, dx) - m_a0) * std::hypot(dx, dy);
    const double footX = m_x0 + t * std::cos(m_a0);
    const double footY = m_y0 + t * std::sin(m_a0);
    return Projection { t, signedOffset(footX, footY, m_a0, px, py), t > 0.0 && t < m_length };
}

ElementGeometry::Projection ElementGeometry::projectArc(double px, double py) const
{
    const double toCentre = m_right ? m_a0 + kPi / 2.0 : m_a0 - kPi / 2.0;
    const double cx = m_x0 + m_radius * std::cos(toCentre);
    const double cy = m_y0 + m_radius * std::sin(toCentre);
    const double b = std::atan2(py - cy, px - cx);
    const double footX = cx + m_radius * std::cos(b);
    const double footY = cy + m_radius * std::sin(b);
    const double tangent = normalize(m_right ? b + kPi / 2.0 : b - kPi / 2.0);
    double turned = m_right ? tangent - m_a0 : m_a0 - tangent;
    if (turned < 0.0)
        turned += kTwoPi;
    if (kTwoPi - turned < kFullTurnTolerance)
        turned = 0.0;
    const double distance = turned * m_radius;
    return Projection { distance, signedOffset(footX, footY, tangent, px, py), distance <= m_length };
}

double ElementGeometry::bisectionFoot(double px, double py) const
{
    double s = m_length / 2.0;
    double step = m_length / 2.0;
    for (int i = 0; i < kMaxBisectionSteps; ++i) {
        const Location foot = locate(s);
        const double vx = px - foot.x;
        const double vy = py - foot.y;
        const double length = std::hypot(vx, vy);
        if (length == 0.0 || !std::isfinite(length))
            break;
        const double q = (vy * std::sin(foot.azimuth) + vx * std::cos(foot.azimuth)) / length;
        step /= 2.0;
        if (std::fabs(q) < kBisectionTolerance || s + step == s)
            break;
        s += q > 0.0 ? step : -step;
    }
    return s;
}

// Newton's method on the distance along the tangent from the foot to the point, kept on the element:
// a foot beyond an end stays at that end, as the bisection's does. False when the point lies too near
// the centre of curvature for the step to be trusted, or the steps do not settle.
bool ElementGeometry::newtonFoot(double px, double py, double& s) const
{
    const double c0 = std::cos(m_a0);
    const double s0 = std::sin(m_a0);
    const double a = (m_k2 - m_k1) / (2.0 * m_length);
    const double turn = m_right ? 1.0 : -1.0;
    s = std::min(std::max((px - m_x0) * c0 + (py - m_y0) * s0, 0.0), m_length);
    for (int i = 0; i < kMaxNewtonSteps; ++i) {
        double u = 0.0;
        double v = 0.0;
        double turned = 0.0;
        localCoordinates(s, u, v, turned);
        const double tc = std::cos(m_a0 + turned);
        const double ts = std::sin(m_a0 + turned);
        const double vx = px - (m_x0 + c0 * u - s0 * v);
        const double vy = py - (m_y0 + s0 * u + c0 * v);
        const double length = std::hypot(vx, vy);
        if (length == 0.0)
            return true;
        if (!std::isfinite(length))
            return false;
        const double along = vx * tc + vy * ts;
        if (std::fabs(along / length) < kBisectionTolerance)
            return true;
        const double slope = 1.0 - turn * (2.0 * a * s + m_k1) * (vy * tc - vx * ts);
        if (!(slope > kMinNewtonSlope))
            return false;
        const double next = std::min(std::max(s + along / slope, 0.0), m_length);
        if (std::fabs(next - s) <= kNewtonStepTolerance * m_length) {
            s = next;
            return true;
        }
        s = next;
    }
    return false;
}

ElementGeometry::Projection ElementGeometry::projectSpiral(double px, double py) const
{
    double s = 0.0;
    if (!newtonFoot(px, py, s))
        s = bisectionFoot(px, py);
    const Location foot = locate(s);
    const double vx = px - foot.x;
    const double vy = py - foot.y;
    const double cross = vy * std::cos(foot.azimuth) - vx * std::sin(foot.azimuth);
    const double distance = std::hypot(vx, vy);
    return Projection { s, cross < 0.0 ? -distance : distance, true };
}

ElementGeometry::Box ElementGeometry::bounds() const
{
    const double inf = std::numeric_limits<double>::infinity();
    Box box { inf, inf, -inf, -inf };
    auto add = [&box](double x, double y) {
        box.minX = std::min(box.minX, x);
        box.minY = std::min(box.minY, y);
        box.maxX = std::max(box.maxX, x);
        box.maxY = std::max(box.maxY, y);
    };
    const Location begin = locate(0.0);
    const Location end = locate(m_length);
    add(begin.x, begin.y);
    add(end.x, end.y);
    double margin = 0.0;
    if (m_shape == Shape::Arc) {
        const double toCentre = m_right ? m_a0 + kPi / 2.0 : m_a0 - kPi / 2.0;
        const double cx = m_x0 + m_radius * std::cos(toCentre);
        const double cy = m_y0 + m_radius * std::sin(toCentre);
        const double from = std::atan2(begin.y - cy, begin.x - cx);
        const double turned = m_length / m_radius;
        // The arc reaches a side of its circle's box where it sweeps over that side's direction.
        for (int k = 0; k < 4; ++k) {
            const double direction = k * kPi / 2.0;
            if (normalize(m_right ? direction - from : from - direction) <= turned)
                add(cx + m_radius * std::cos(direction), cy + m_radius * std::sin(direction));
        }
    } else if (m_shape == Shape::Spiral) {
        const double step = m_length / kBoxSamples;
        for (int k = 1; k < kBoxSamples; ++k) {
            const Location p = locate(k * step);
            add(p.x, p.y);
        }
        // Between two samples the curve leaves their chord by at most k h^2 / 8.
        margin = std::max(m_k1, m_k2) * step * step / 8.0;
    }
    const double scale = std::max(std::max(std::fabs(box.minX), std::fabs(box.maxX)),
                                  std::max(std::fabs(box.minY), std::fabs(box.maxY)));
    const double pad = kBoxPad + margin + kRelativeBoxPad * scale;
    return Box { box.minX - pad, box.minY - pad, box.maxX + pad, box.maxY + pad };
}

ElementGeometry::Projection ElementGeometry::project(const Corvex::Point& p) const
{
    switch (m_shape) {
    case Shape::Arc:
        return projectArc(p.getX(), p.getY());
    case Shape::Spiral:
        return projectSpiral(p.getX(), p.getY());
    case Shape::Line:
        break;
    }
    return projectLine(p.getX(), p.getY());
}

} // namespace internal
} // namespace Road
} // namespace Pelko
