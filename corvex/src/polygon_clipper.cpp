#include <corvex/polygonclipper.h>

#include <polyclipping/clipper.hpp>

#include <cmath>

namespace Pelko::Corvex {

namespace {

constexpr double kScale = 1e9;
// Clipper refuses coordinates above hiRange = 2^62 - 1; every double below 2^62 truncates into range.
constexpr double kLimit = 4611686018427387904.0;
// 2^63: doubles below it in magnitude convert to a 64-bit integer without undefined behaviour.
constexpr double kCastLimit = 9223372036854775808.0;

bool onGrid(double scaled)
{
    return std::fabs(scaled) < kLimit; // false for NaN too
}

// Truncates toward zero, as the grid is defined; the caller has checked the range,
// so the cast is always defined.
bool toPath(Polygon const& p, ClipperLib::Path& out)
{
    out.clear();
    out.reserve(p.getPointCount());
    for (unsigned i = 0; i < p.getPointCount(); ++i) {
        Point const& v = p.getPoint(i);
        double const x = v.getX() * kScale;
        double const y = v.getY() * kScale;
        if (!onGrid(x) || !onGrid(y))
            return false;
        out.emplace_back(static_cast<ClipperLib::cInt>(x), static_cast<ClipperLib::cInt>(y));
    }
    return true;
}

bool toPaths(Polygon const& p, ClipperLib::Paths& out)
{
    out.assign(1, ClipperLib::Path());
    return toPath(p, out.front());
}

bool toPaths(MultiPolygon const& mp, ClipperLib::Paths& out)
{
    out.assign(mp.getPolygonCount(), ClipperLib::Path());
    for (unsigned i = 0; i < mp.getPolygonCount(); ++i) {
        if (!toPath(mp.getPolygon(i), out[i]))
            return false;
    }
    return true;
}

MultiPolygon fromPaths(ClipperLib::Paths const& paths)
{
    MultiPolygon result;
    for (ClipperLib::Path const& path : paths) {
        Polygon polygon;
        for (ClipperLib::IntPoint const& ip : path)
            polygon.appendPoint(static_cast<double>(ip.X) / kScale, static_cast<double>(ip.Y) / kScale);
        result.addPolygon(polygon);
    }
    return result;
}

template<typename Subject, typename Clip>
MultiPolygon boolean(ClipperLib::ClipType type, Subject const& a, Clip const& b)
{
    ClipperLib::Paths subject;
    ClipperLib::Paths clip;
    if (!toPaths(a, subject) || !toPaths(b, clip))
        return MultiPolygon();
    try {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(subject, ClipperLib::ptSubject, true);
        clipper.AddPaths(clip, ClipperLib::ptClip, true);
        ClipperLib::Paths solution;
        if (!clipper.Execute(type, solution, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd))
            return MultiPolygon();
        return fromPaths(solution);
    } catch (...) { // Clipper throws clipperException on coordinates it refuses
        return MultiPolygon();
    }
}

} // namespace

MultiPolygon PolygonClipper::intersect(Polygon const& a, Polygon const& b)
{
    // Disjoint boxes cannot overlap; skip Clipper entirely.
    if (!a.getEnvelope().intersect(b.getEnvelope()))
        return MultiPolygon();
    return boolean(ClipperLib::ctIntersection, a, b);
}

MultiPolygon PolygonClipper::intersect(Polygon const& a, MultiPolygon const& b)
{
    return boolean(ClipperLib::ctIntersection, a, b);
}

MultiPolygon PolygonClipper::unionPolygons(Polygon const& a, Polygon const& b)
{
    return boolean(ClipperLib::ctUnion, a, b);
}

MultiPolygon PolygonClipper::unionPolygons(Polygon const& a, MultiPolygon const& b)
{
    return boolean(ClipperLib::ctUnion, a, b);
}

MultiPolygon PolygonClipper::unionPolygons(MultiPolygon const& a, MultiPolygon const& b)
{
    return boolean(ClipperLib::ctUnion, a, b);
}

MultiPolygon PolygonClipper::difference(Polygon const& a, Polygon const& b)
{
    return boolean(ClipperLib::ctDifference, a, b);
}

MultiPolygon PolygonClipper::difference(Polygon const& a, MultiPolygon const& b)
{
    return boolean(ClipperLib::ctDifference, a, b);
}

MultiPolygon PolygonClipper::difference(MultiPolygon const& a, MultiPolygon b)
{
    return boolean(ClipperLib::ctDifference, a, b);
}

MultiPolygon PolygonClipper::XOR(Polygon const& a, Polygon const& b)
{
    return boolean(ClipperLib::ctXor, a, b);
}

MultiPolygon PolygonClipper::XOR(Polygon const& a, MultiPolygon const& b)
{
    return boolean(ClipperLib::ctXor, a, b);
}

bool PolygonClipper::isIntersect(Polygon const& a, Polygon const& b)
{
    return !intersect(a, b).isEmpty();
}

MultiPolygon PolygonClipper::simplify(Polygon const& p)
{
    ClipperLib::Paths in;
    if (!toPaths(p, in))
        return MultiPolygon();
    try {
        ClipperLib::Paths out;
        ClipperLib::SimplifyPolygons(in, out, ClipperLib::pftEvenOdd);
        return fromPaths(out);
    } catch (...) {
        return MultiPolygon();
    }
}

MultiPolygon PolygonClipper::buffer(Polygon const& p, double d)
{
    double const delta = d * kScale;
    ClipperLib::Paths in;
    if (!std::isfinite(delta) || !toPaths(p, in))
        return MultiPolygon();
    // Offset vertices lie at most |delta|·sqrt(2) from their source vertex; keep Clipper's own
    // rounding of them into 64-bit integers defined. Results past its range make it throw.
    double const reach = 1.5 * std::fabs(delta);
    for (ClipperLib::IntPoint const& ip : in.front()) {
        if (!(std::fabs(static_cast<double>(ip.X)) + reach < kCastLimit)
            || !(std::fabs(static_cast<double>(ip.Y)) + reach < kCastLimit))
            return MultiPolygon();
    }
    try {
        ClipperLib::ClipperOffset offset;
        offset.AddPaths(in, ClipperLib::jtSquare, ClipperLib::etClosedPolygon);
        ClipperLib::Paths out;
        offset.Execute(out, delta);
        return fromPaths(out);
    } catch (...) {
        return MultiPolygon();
    }
}

} // namespace Pelko::Corvex
