#include <road/slopesection.h>

#include <algorithm>
#include <cmath>

namespace Pelko {
namespace Road {

SlopeSection::SlopeSection()
    : d(std::make_shared<SlopeSectionData>())
{
}

SlopeSection::SlopeSection(std::shared_ptr<SlopeSectionData> data)
    : d(data ? std::move(data) : std::make_shared<SlopeSectionData>())
{
}

unsigned int SlopeSection::size() const
{
    return static_cast<unsigned int>(d->elements.size());
}

SlopeSectionElement SlopeSection::at(unsigned int i) const
{
    if (i >= d->elements.size())
        return SlopeSectionElement(SlopeElementInvalid);
    return d->elements[i];
}

SlopeSectionSide SlopeSection::getSide() const
{
    return d->side;
}

} // namespace Road
} // namespace Pelko

namespace Pelko {
namespace Road {

using Corvex::Point;

namespace {

// Offsets within a millimetre of an element's span belong to it.
constexpr double OffsetTolerance = 0.001;

struct PrimaryPoint
{
    SlopeSectionPoint point;
    SlopeSectionElementType type;
};

std::vector<PrimaryPoint> primaryPoints(const std::vector<SlopeSectionElement>& elements)
{
    std::vector<PrimaryPoint> result;
    // As after a platform, so that the first surface contributes its start (the hinge).
    int previous = SlopeElementPlatform;
    for (const SlopeSectionElement& e : elements) {
        const SlopeSectionElementType type = e.getType();
        if (type == SlopeElementInvalid)
            continue;
        if (type == SlopeElementSurface) {
            std::vector<SlopeSectionPoint> points = e.getSectionPoints();
            if (previous == SlopeElementSurface && !points.empty())
                points.erase(points.begin());
            for (const SlopeSectionPoint& p : points)
                result.push_back({ p, type });
        } else if (type != SlopeElementPlatform) {
            for (const SlopeSectionPoint& p : e.getSectionPoints())
                result.push_back({ p, type });
        }
        previous = type;
    }
    return result;
}

// Elevation on the line through a and b at the offset; false for a piece of constant offset (a vertical
// face has no single elevation).
bool elevationOnLine(const Point& a, const Point& b, double offset, double& elevation)
{
    const double dy = b.getY() - a.getY();
    if (dy == 0.0)
        return false;
    elevation = a.getX() + (b.getX() - a.getX()) / dy * (offset - a.getY());
    return true;
}

// Elevation of an element's outline at the offset when the offset lies on its span or within the
// tolerance of it. Inside the span the piece holding the offset answers; just outside it, the end
// piece nearest the offset answers on its line rather than with its end point.
bool elevationOnOutline(const std::vector<Point>& points, double offset, double& elevation)
{
    double lo = points.front().getY();
    double hi = lo;
    for (const Point& p : points) {
        lo = std::min(lo, p.getY());
        hi = std::max(hi, p.getY());
    }
    if (!(offset >= lo - OffsetTolerance && offset <= hi + OffsetTolerance))
        return false;
    const Point* nearest[2] = { nullptr, nullptr };
    double nearestGap = 0.0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const Point& a = points[i];
        const Point& b = points[i + 1];
        if (a.getY() == b.getY())
            continue;
        if (offset >= std::min(a.getY(), b.getY()) && offset <= std::max(a.getY(), b.getY()))
            return elevationOnLine(a, b, offset, elevation);
        const double gap = std::min(std::fabs(offset - a.getY()), std::fabs(offset - b.getY()));
        if (!nearest[0] || gap < nearestGap) {
            nearest[0] = &a;
            nearest[1] = &b;
            nearestGap = gap;
        }
    }
    return nearest[0] && elevationOnLine(*nearest[0], *nearest[1], offset, elevation);
}

} // namespace

std::vector<Point> SlopeSection::getPoints() const
{
    std::vector<std::vector<Point>> outlines;
    for (const SlopeSectionElement& e : d->elements) {
        std::vector<Point> points = e.getPoints();
        if (points.size() >= 2)
            outlines.push_back(std::move(points));
    }
    std::vector<Point> result;
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        // Each element starts where the previous one ends.
        const std::size_t count = i + 1 < outlines.size() ? outlines[i].size() - 1 : outlines[i].size();
        result.insert(result.end(), outlines[i].begin(), outlines[i].begin() + count);
    }
    return result;
}

std::vector<SlopeSectionPoint> SlopeSection::getPrimaryPoints() const
{
    std::vector<SlopeSectionPoint> result;
    for (const PrimaryPoint& p : primaryPoints(d->elements))
        result.push_back(p.point);
    return result;
}

double SlopeSection::getElevation(double offset) const
{
    // Every element is walked along its outline, so a ditch answers with the elevation of its wall or
    // bottom rather than a position relative to its bottom centre.
    const std::vector<Point>* last = nullptr;
    std::vector<std::vector<Point>> outlines;
    outlines.reserve(d->elements.size());
    for (const SlopeSectionElement& e : d->elements) {
        outlines.push_back(e.getPoints());
        const std::vector<Point>& points = outlines.back();
        if (points.size() < 2)
            continue;
        last = &points;
        double elevation = 0.0;
        if (elevationOnOutline(points, offset, elevation))
            return elevation;
    }
    if (!last)
        return Slope::infinity();

    // Past the section its outer face carries on; a vertical outer face holds its top elevation.
    const Point& a = (*last)[last->size() - 2];
    const Point& b = last->back();
    double elevation = 0.0;
    return elevationOnLine(a, b, offset, elevation) ? elevation : b.getX();
}

SlopeNavigation SlopeSection::getNavigation(const Point& rover) const
{
    if (d->elements.empty())
        return SlopeNavigation(d->type, SlopeNavigationPoint(), SlopeNavigationPoint(), rover);

    std::vector<SlopeNavigationPoint> elevations;
    std::vector<SlopeNavigationPoint> offsets;
    double width = 0.0;
    for (const SlopeSectionElement& e : d->elements) {
        width += e.getWidth();
        const SlopeSectionElement::ContainsResult c = e.contains(rover);
        if (c.inOffsetRange) {
            const SlopeNavigationPoint p = e.getElevationByOffset(rover, false);
            if (p.isValid())
                elevations.push_back(p);
        }
        if (c.inElevationRange) {
            const SlopeNavigationPoint p = e.getOffsetByElevation(rover, false);
            if (p.isValid())
                offsets.push_back(p);
        }
    }

    const double edge = d->elements.front().getStartingPoint().getY() + width;
    if ((edge < 0.0 && rover.getY() < edge) || (edge > 0.0 && rover.getY() > edge)) {
        const SlopeSectionElement& outer = d->elements.back();
        if (elevations.empty()) {
            const SlopeNavigationPoint p = outer.getElevationByOffset(rover, true);
            if (p.isValid())
                elevations.push_back(p);
        }
        if (offsets.empty()) {
            const SlopeNavigationPoint p = outer.getOffsetByElevation(rover, true);
            if (p.isValid())
                offsets.push_back(p);
        }
    }

    std::sort(elevations.begin(), elevations.end());
    std::sort(offsets.begin(), offsets.end());
    return SlopeNavigation(d->type, offsets.empty() ? SlopeNavigationPoint() : offsets.front(),
                           elevations.empty() ? SlopeNavigationPoint() : elevations.front(), rover);
}

SlopeNavigation SlopeSection::getNavigation(int index, const Point& rover) const
{
    if (index >= 0 && !d->elements.empty()) {
        const std::vector<PrimaryPoint> points = primaryPoints(d->elements);
        if (static_cast<std::size_t>(index) < points.size()) {
            const PrimaryPoint& p = points[static_cast<std::size_t>(index)];
            const Point delta(rover.getX() - p.point.point.getX(), rover.getY() - p.point.point.getY());
            return SlopeNavigation(d->type, SlopeNavigationPoint(p.type, delta, delta.getY(), delta, true),
                                   SlopeNavigationPoint(p.type, delta, delta.getX(), delta, true), rover);
        }
    }
    return getNavigation(rover);
}

} // namespace Road
} // namespace Pelko
