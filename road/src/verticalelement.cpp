#include <road/station.h>
#include <road/verticalelement.h>

#include "revision.h"

#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {

namespace {
// Gaps between curves below this are rounding, not grade line.
constexpr double gapTolerance = 0.1;

bool fuzzyEqual(double a, double b, double e)
{
    return std::fabs(a - b) < e;
}
} // namespace

struct VerticalElement::VerticalElementData
{
    Poi poi;
    double gap = 0.0;
    std::shared_ptr<VerticalCurve> curve;
};

VerticalElement::VerticalElement()
    : d(std::make_shared<VerticalElementData>())
{
    d->curve = std::make_shared<VerticalNone>();
}

VerticalElement::VerticalElement(Poi const& poi, std::unique_ptr<VerticalCurve> curve)
    : d(std::make_shared<VerticalElementData>())
{
    d->poi = poi;
    d->curve = curve ? std::shared_ptr<VerticalCurve>(std::move(curve)) : std::make_shared<VerticalNone>();
}

VerticalElement::~VerticalElement() = default;

VerticalElement VerticalElement::createSymparabola(Poi const& poi, double radius)
{
    return VerticalElement(poi, std::make_unique<VerticalSymparabola>(radius));
}

VerticalElement VerticalElement::createCircular(Poi const& poi, double radius)
{
    return VerticalElement(poi, std::make_unique<VerticalCircular>(radius));
}

VerticalElement VerticalElement::createAsymparabola(Poi const& poi, double inLength, double outLength)
{
    return VerticalElement(poi, std::make_unique<VerticalAsymparabola>(inLength, outLength));
}

VerticalElement VerticalElement::createSymparabolaByLenght(Poi const& poi, double length)
{
    double const dg = std::fabs(poi.gradeOut - poi.gradeIn);
    double const radius = dg < 0.00001 ? std::numeric_limits<double>::infinity() : std::fabs(length / dg);
    return createSymparabola(poi, radius);
}

VerticalElement VerticalElement::clone() const
{
    VerticalElement copy;
    copy.d->poi = d->poi;
    copy.d->gap = d->gap;
    copy.d->curve = d->curve->clone();
    return copy;
}

VerticalElement::Poi const& VerticalElement::getPoi() const
{
    return d->poi;
}

VerticalElementType VerticalElement::getType() const
{
    return d->curve->getType();
}

double VerticalElement::getRadius() const
{
    return d->curve->getRadius();
}

double VerticalElement::getInTangent() const
{
    return d->curve->getInTangent();
}

double VerticalElement::getOutTagent() const
{
    return d->curve->getOutTangent();
}

double VerticalElement::getStartStation() const
{
    return d->curve->getStartStation() - d->gap;
}

double VerticalElement::getEndStation() const
{
    return d->curve->getEndStation();
}

double VerticalElement::getStartElevation() const
{
    return d->curve->getStartElevation();
}

double VerticalElement::getEndElevation() const
{
    return d->curve->getEndElevation();
}

bool VerticalElement::contains(double s) const
{
    double const start = getStartStation();
    double const end = getEndStation();
    return (s > start || fuzzyEqual(start, s, StationTolerance))
        && (s < end || fuzzyEqual(s, end, StationTolerance));
}

PointCurveRelation VerticalElement::pointRelation(double s) const
{
    if (s < getStartStation())
        return PointBeforeCurve;
    if (s > getEndStation())
        return PointAfterCurve;
    return PointOnCurve;
}

double VerticalElement::calcElevation(double s, bool* ok) const
{
    VerticalCurve const& curve = *d->curve;
    double const s1 = curve.getStartStation();
    double const s2 = curve.getEndStation();
    if (s < s1 - d->gap - StationTolerance || s > s2 + StationTolerance) {
        if (ok)
            *ok = false;
        return 0.0;
    }
    if (s >= s1 || fuzzyEqual(s, s1, StationTolerance)) {
        if (!fuzzyEqual(s1, s2, StationTolerance))
            return curve.calcElevation(d->poi, s, ok);
        if (ok)
            *ok = true;
        return d->poi.elevation;
    }
    // On the grade line between the previous curve and this one.
    if (ok)
        *ok = true;
    return d->poi.elevation + (s - d->poi.station) * d->poi.gradeIn;
}

std::vector<Corvex::Point> VerticalElement::getPoints() const
{
    std::vector<Corvex::Point> points;
    double const s1 = d->curve->getStartStation();
    double const s2 = d->curve->getEndStation();
    if (d->gap > 0.0) {
        double const start = s1 - d->gap;
        points.emplace_back(start, calcElevation(start));
    }
    if (s1 < s2) {
        // Counted rather than accumulated, so rounding never adds a 21st point at S2.
        double const step = (s2 - s1) * 0.05;
        for (int k = 0; k < 20; ++k) {
            double const s = s1 + k * step;
            points.emplace_back(s, calcElevation(s));
        }
    }
    return points;
}

ModifyResult VerticalElement::update(VerticalElement const* prev, VerticalElement const* next)
{
    internal::touchGeometry();
    Poi& poi = d->poi;
    VerticalCurve& curve = *d->curve;
    double const m = poi.station;
    double const h = poi.elevation;

    poi.gradeIn = 0.0;
    poi.gradeOut = 0.0;
    if (prev && !fuzzyEqual(m, prev->getPoi().station, StationTolerance))
        poi.gradeIn = (h - prev->getPoi().elevation) / (m - prev->getPoi().station);
    if (next && !fuzzyEqual(next->getPoi().station, m, StationTolerance))
        poi.gradeOut = (next->getPoi().elevation - h) / (next->getPoi().station - m);

    curve.updateTangentLengths(poi);
    curve.updateStations(poi);
    curve.setElevations(h - (m - curve.getStartStation()) * poi.gradeIn,
                        h + (curve.getEndStation() - m) * poi.gradeOut);
    curve.updateCoefficients(poi);

    if (!prev || !next) {
        // End PIs carry no curve; their curve ends sit on the PI itself.
        curve.setTangentLengths(0.0, 0.0);
        curve.setStations(m, m);
        curve.setElevations(h, h);
    }

    d->gap = 0.0;
    if (prev) {
        double const gap = curve.getStartStation() - prev->getEndStation();
        d->gap = std::fabs(gap) < gapTolerance ? 0.0 : gap;
    }
    // A NaN gap (unusable curve size) counts as an overlap, never as a fit.
    return d->gap >= 0.0 ? ModifySuccess : ModifyOverlapPrevious;
}

bool VerticalElement::isUsable() const
{
    return std::isfinite(d->poi.station) && std::isfinite(d->poi.elevation) && !std::isnan(getRadius());
}

void VerticalElement::restore(VerticalElement const& saved)
{
    internal::touchGeometry();
    *d = *saved.d;
    d->curve = saved.d->curve->clone();
}

bool VerticalElement::load(internal::Node<VerticalElement> const& node)
{
    internal::touchGeometry();
    int const type = node.getInt("type", VerticalSymparabolaType);
    Poi poi;
    poi.station = node.getDouble("mile", 0.0);
    poi.elevation = node.getDouble("height", 0.0);
    if (!std::isfinite(poi.station) || !std::isfinite(poi.elevation))
        return false;

    std::unique_ptr<VerticalCurve> curve;
    if (type == VerticalCircularType || type == VerticalSymparabolaType) {
        double const radius = node.getDouble("radius", 0.0);
        if (std::isnan(radius))
            return false;
        if (std::fabs(radius) < 0.001)
            curve = std::make_unique<VerticalNone>();
        else if (type == VerticalCircularType)
            curve = std::make_unique<VerticalCircular>(radius);
        else
            curve = std::make_unique<VerticalSymparabola>(radius);
    } else if (type == VerticalAsymparabolaType) {
        double const l1 = node.getDouble("length1", 0.0);
        double const l2 = node.getDouble("length2", 0.0);
        if (!std::isfinite(l1) || !std::isfinite(l2))
            return false;
        curve = std::make_unique<VerticalAsymparabola>(l1, l2);
    } else if (type == VerticalNoneType) {
        // Dropping the PI's own numbers here would put a stray PI at station 0 into the profile.
        curve = std::make_unique<VerticalNone>();
    } else {
        return true;
    }
    d->poi = poi;
    d->gap = 0.0;
    d->curve = std::move(curve);
    return true;
}

void VerticalElement::save(internal::Node<VerticalElement> const& node) const
{
    node.setDouble("mile", d->poi.station);
    node.setDouble("height", d->poi.elevation);
    switch (getType()) {
    case VerticalCircularType:
        // Symmetric parabolas stay untyped, as older files have them; other kinds must
        // name themselves or they come back as symmetric parabolas.
        node.setInt("type", VerticalCircularType);
        node.setDouble("radius", getRadius());
        break;
    case VerticalSymparabolaType:
        node.setDouble("radius", getRadius());
        break;
    case VerticalAsymparabolaType: {
        // The given lengths, not T1/T2: an end PI has its tangents zeroed.
        auto const* curve = dynamic_cast<VerticalAsymparabola const*>(d->curve.get());
        node.setInt("type", VerticalAsymparabolaType);
        node.setDouble("length1", curve ? curve->getInLength() : getInTangent());
        node.setDouble("length2", curve ? curve->getOutLength() : getOutTagent());
        break;
    }
    default:
        break;
    }
}

} // namespace Road
} // namespace Pelko
