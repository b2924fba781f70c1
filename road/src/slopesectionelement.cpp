#include <road/slopesectionelement.h>

#include <corvex/line.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace Pelko {
namespace Road {

using Corvex::LineSegment;
using Corvex::Point;

namespace {

// Sizes below a millimetre do not make a ditch or a platform.
constexpr double MinSize = 0.001;

Point minus(const Point& a, const Point& b)
{
    return Point(a.getX() - b.getX(), a.getY() - b.getY());
}

bool between(double v, double a, double b)
{
    return (v - a) * (v - b) <= 0.0;
}

using Field = SlopeSectionElement::Field;
using Refusal = SlopeSectionElement::Refusal;

struct Named
{
    Field field;
    double value;
};

Refusal firstNotFinite(const std::vector<Named>& values)
{
    for (const Named& v : values)
        if (!std::isfinite(v.value))
            return { v.field, Refusal::NotFinite };
    return {};
}

// The value of largest magnitude, the later on a tie: the one to blame for an overflow.
Refusal tooLarge(const std::vector<Named>& values)
{
    const Named* largest = &values.front();
    for (const Named& v : values)
        if (std::fabs(v.value) >= std::fabs(largest->value))
            largest = &v;
    return { largest->field, Refusal::TooLarge };
}

bool sameNumber(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool samePoint(const Point& a, const Point& b)
{
    return sameNumber(a.getX(), b.getX()) && sameNumber(a.getY(), b.getY());
}

} // namespace

class SlopeSectionElement::SlopeElementData
{
public:
    SlopeElementData() = default;
    SlopeElementData(SlopeSectionElementType type, const std::string& name, double width, double height,
                     const Slope& slope)
        : type(type)
        , name(name)
        , width(width)
        , height(height)
        , slope(slope)
    {
    }
    SlopeElementData(const SlopeElementData&) = default;
    virtual ~SlopeElementData() = default;

    Point end() const { return Point(start.getX() + height, start.getY() + width); }

    virtual std::shared_ptr<SlopeElementData> clone() const
    {
        return std::make_shared<SlopeElementData>(*this);
    }

    virtual void specialize(const Point& at, SlopeSectionType sectionType, SlopeSectionSide side)
    {
        start = at;
        if (side == SlopeSideLeft)
            width = -width;
        if (sectionType == SlopeSectionFill) {
            height = -height;
            slope *= -1.0;
        }
    }

    virtual bool update() { return true; }

    virtual std::vector<Point> getPoints() const
    {
        if (type == SlopeElementInvalid)
            return {};
        return { start, end() };
    }

    virtual std::vector<SlopeSectionPoint> getSectionPoints() const
    {
        std::vector<SlopeSectionPoint> points;
        for (const Point& p : getPoints())
            points.push_back(SlopeSectionPoint { SlopeSectionPoint::BreakPoint, p });
        return points;
    }

    virtual ElementParameters getParameters() const
    {
        ElementParameters p;
        p.type = type;
        p.name = name;
        p.values = { width, height, width, height, width };
        p.slope = slope;
        return p;
    }

    // A face of constant offset (physically vertical) has no elevation at an offset: the segment's
    // point query reports that through inRange.
    virtual SlopeNavigationPoint getElevationByOffset(const Point& rover, bool extend) const
    {
        const LineSegment::PointResult r = LineSegment(start, end()).getPointAtY(rover, extend);
        return SlopeNavigationPoint(type, r.point, rover.getX() - r.point.getX(), minus(rover, start),
                                    r.inRange);
    }

    // Likewise a level face has no offset at an elevation.
    virtual SlopeNavigationPoint getOffsetByElevation(const Point& rover, bool extend) const
    {
        const LineSegment::PointResult r = LineSegment(start, end()).getPointAtX(rover, extend);
        return SlopeNavigationPoint(type, r.point, rover.getY() - r.point.getY(), minus(rover, start),
                                    r.inRange);
    }

    virtual ContainsResult contains(const Point& p) const
    {
        const LineSegment::Contains c = LineSegment(start, end()).contains(p);
        return ContainsResult(c.inProjection, c.inXRange, c.inYRange);
    }

    SlopeSectionElementType type = SlopeElementInvalid;
    std::string name;
    Point start;
    double width = 0.0;
    double height = 0.0;
    Slope slope = Slope::fromDenominator(1.0);
};

class SlopeSectionElement::SlopeElementDitchData : public SlopeSectionElement::SlopeElementData
{
public:
    SlopeElementDitchData(SlopeSectionElementType ditchType, const std::string& ditchName)
        : inner(SlopeElementSurface, ditchName, 0.0, 0.0, Slope::fromDenominator(1.0))
        , outer(SlopeElementSurface, ditchName, 0.0, 0.0, Slope::fromDenominator(1.0))
    {
        type = ditchType;
        name = ditchName;
    }

    std::shared_ptr<SlopeElementData> clone() const override
    {
        return std::make_shared<SlopeElementDitchData>(*this);
    }

    // A ditch always dips by its inner depth first, so fill and cut place it alike.
    void specialize(const Point& at, SlopeSectionType, SlopeSectionSide side) override
    {
        start = at;
        inner.start = at;
        if (side == SlopeSideLeft) {
            inner.width = -inner.width;
            bottom = -bottom;
            outer.width = -outer.width;
        }
        update();
    }

    bool update() override
    {
        width = inner.width + bottom + outer.width;
        height = outer.height + inner.height;
        slope = Slope::fromFraction(height, width);
        outer.start = Point(inner.start.getX() + inner.height, inner.start.getY() + inner.width + bottom);
        return true;
    }

    std::vector<Point> getPoints() const override
    {
        return { inner.start, inner.end(), outer.start, outer.end() };
    }

    Point bottomCenter() const
    {
        return Point((inner.start.getX() + inner.height + outer.start.getX()) / 2.0,
                     (inner.start.getY() + inner.width + outer.start.getY()) / 2.0);
    }

    std::vector<SlopeSectionPoint> getSectionPoints() const override
    {
        return { SlopeSectionPoint { SlopeSectionPoint::DitchBottomCenter, bottomCenter() } };
    }

    ElementParameters getParameters() const override
    {
        ElementParameters p;
        p.type = type;
        p.name = name;
        p.values = { std::fabs(inner.width), std::fabs(inner.height), std::fabs(outer.width),
                     std::fabs(outer.height), std::fabs(bottom) };
        p.slope = slope;
        return p;
    }

    SlopeNavigationPoint getElevationByOffset(const Point& rover, bool) const override
    {
        const Point c = bottomCenter();
        const Point d = minus(rover, c);
        return SlopeNavigationPoint(type, d, rover.getX() - c.getX(), d, contains(rover).inOffsetRange);
    }

    SlopeNavigationPoint getOffsetByElevation(const Point& rover, bool) const override
    {
        const Point c = bottomCenter();
        const Point d = minus(rover, c);
        return SlopeNavigationPoint(type, d, rover.getY() - c.getY(), d, contains(rover).inElevationRange);
    }

    ContainsResult contains(const Point& p) const override
    {
        const double bottomElevation = inner.start.getX() + inner.height;
        const double rim = std::max(start.getX(), start.getX() + height);
        return ContainsResult(false, bottomElevation <= p.getX() && p.getX() <= rim,
                              between(p.getY(), start.getY(), start.getY() + width));
    }

    SlopeElementData inner;
    double bottom = 0.0;
    SlopeElementData outer;
};

SlopeSectionElement::Refusal SlopeSectionElement::refusal(const StoredValues& v)
{
    if (v.type < SlopeElementSurface || v.type > SlopeElementTrapezoidDitch)
        return { Field::Type, Refusal::UnknownType };
    if (v.name.find('\0') != std::string::npos)
        return { Field::Name, Refusal::NameWithNul };
    // The sizes are worked out as the factories do, so that what passes here builds alike.
    switch (v.type) {
    case SlopeElementSurface: {
        const std::vector<Named> values { { Field::Height, v.height }, { Field::Ratio, v.ratio } };
        if (const Refusal r = firstNotFinite(values))
            return r;
        return std::isfinite(v.height * v.ratio) ? Refusal() : tooLarge(values);
    }
    case SlopeElementPlatform: {
        const std::vector<Named> values { { Field::Width, v.width }, { Field::Slope, v.slope } };
        if (const Refusal r = firstNotFinite(values))
            return r;
        return std::isfinite(v.slope / 100.0 * v.width) ? Refusal() : tooLarge(values);
    }
    default: {
        const bool trapezoid = v.type == SlopeElementTrapezoidDitch;
        std::vector<Named> values { { Field::InnerHeight, v.innerHeight } };
        if (trapezoid)
            values.push_back({ Field::InnerWidth, v.innerWidth });
        values.push_back({ Field::BottomWidth, v.bottomWidth });
        if (trapezoid)
            values.push_back({ Field::OuterWidth, v.outerWidth });
        values.push_back({ Field::OuterHeight, v.outerHeight });
        if (const Refusal r = firstNotFinite(values))
            return r;
        for (const Named& size : values)
            if (size.field != Field::InnerWidth && size.field != Field::OuterWidth
                && !(std::fabs(size.value) >= MinSize))
                return { size.field, Refusal::TooSmall };
        if (!trapezoid)
            return {};
        // The depths only make the height by their difference; the widths add up.
        if (std::isfinite(std::fabs(v.innerWidth) + std::fabs(v.bottomWidth) + std::fabs(v.outerWidth)))
            return {};
        return tooLarge({ { Field::InnerWidth, v.innerWidth },
                          { Field::BottomWidth, v.bottomWidth },
                          { Field::OuterWidth, v.outerWidth } });
    }
    }
}

SlopeSectionElement SlopeSectionElement::fromStoredValues(const StoredValues& v)
{
    if (refusal(v))
        return invalid();
    switch (v.type) {
    case SlopeElementSurface:
        return createSlope(v.name, v.height, v.ratio);
    case SlopeElementPlatform:
        return createPlatformBySlope(v.name, v.width, v.slope);
    case SlopeElementRectangularDitch:
        return createSideDitch(v.name, v.innerHeight, v.bottomWidth, v.outerHeight);
    default:
        return createSideDitch(v.name, v.innerHeight, v.innerWidth, v.bottomWidth, v.outerHeight,
                               v.outerWidth);
    }
}

SlopeSectionElement::SlopeSectionElement(SlopeSectionElementType type)
{
    switch (type) {
    case SlopeElementSurface:
        d = std::make_shared<SlopeElementData>(type, std::string(), 0.0, 0.0, Slope::fromDenominator(1.0));
        break;
    case SlopeElementPlatform:
        d = std::make_shared<SlopeElementData>(type, std::string(), 0.0, 0.0, Slope::fromPercentage(0.0));
        break;
    case SlopeElementRectangularDitch:
    case SlopeElementTrapezoidDitch: {
        auto ditch = std::make_shared<SlopeElementDitchData>(type, std::string());
        ditch->update();
        d = ditch;
        break;
    }
    default:
        d = std::make_shared<SlopeElementData>();
        break;
    }
}

SlopeSectionElement::SlopeSectionElement(std::shared_ptr<SlopeElementData> data)
    : d(std::move(data))
{
}

SlopeSectionElement SlopeSectionElement::invalid()
{
    return SlopeSectionElement(SlopeElementInvalid);
}

SlopeSectionElement SlopeSectionElement::createSlope(const std::string& name, double height,
                                                     double denominator)
{
    return SlopeSectionElement(std::make_shared<SlopeElementData>(
        SlopeElementSurface, name, height * denominator, height, Slope::fromDenominator(denominator)));
}

SlopeSectionElement SlopeSectionElement::createSlopeByWidthAndHeight(const std::string& name, double width,
                                                                     double height)
{
    const Slope slope = std::fabs(height) < MinSize ? Slope::fromDenominator(Slope::infinity())
                                                    : Slope::fromDenominator(width / height);
    return SlopeSectionElement(
        std::make_shared<SlopeElementData>(SlopeElementSurface, name, width, height, slope));
}

SlopeSectionElement SlopeSectionElement::createPlatformBySlope(const std::string& name, double width,
                                                               double percentage)
{
    return SlopeSectionElement(std::make_shared<SlopeElementData>(
        SlopeElementPlatform, name, width, percentage / 100.0 * width, Slope::fromPercentage(percentage)));
}

SlopeSectionElement SlopeSectionElement::createPlatformByHeight(const std::string& name, double width,
                                                                double height)
{
    if (!(std::fabs(width) >= MinSize))
        return invalid();
    return SlopeSectionElement(std::make_shared<SlopeElementData>(
        SlopeElementPlatform, name, width, height, Slope::fromPercentage(height / width * 100.0)));
}

SlopeSectionElement SlopeSectionElement::createSideDitch(const std::string& name, double innerHeight,
                                                         double bottomWidth, double outerHeight)
{
    return createSideDitch(SlopeElementRectangularDitch, name, innerHeight, 0.0, bottomWidth, outerHeight,
                           0.0);
}

SlopeSectionElement SlopeSectionElement::createSideDitch(const std::string& name, double innerHeight,
                                                         double innerWidth, double bottomWidth,
                                                         double outerHeight, double outerWidth)
{
    return createSideDitch(SlopeElementTrapezoidDitch, name, innerHeight, innerWidth, bottomWidth,
                           outerHeight, outerWidth);
}

SlopeSectionElement SlopeSectionElement::createSideDitch(SlopeSectionElementType type,
                                                         const std::string& name, double innerHeight,
                                                         double innerWidth, double bottomWidth,
                                                         double outerHeight, double outerWidth)
{
    // Written as negated comparisons so that NaN sizes are refused too.
    if (!(std::fabs(bottomWidth) >= MinSize) || !(std::fabs(innerHeight) >= MinSize)
        || !(std::fabs(outerHeight) >= MinSize))
        return invalid();
    auto ditch = std::make_shared<SlopeElementDitchData>(type, name);
    ditch->inner.width = std::fabs(innerWidth);
    ditch->inner.height = -std::fabs(innerHeight);
    ditch->inner.slope = Slope::fromFraction(ditch->inner.height, ditch->inner.width);
    ditch->outer.width = std::fabs(outerWidth);
    ditch->outer.height = std::fabs(outerHeight);
    ditch->outer.slope = Slope::fromFraction(ditch->outer.height, ditch->outer.width);
    ditch->bottom = std::fabs(bottomWidth);
    if (!ditch->update())
        return SlopeSectionElement(SlopeElementSurface);
    return SlopeSectionElement(ditch);
}

SlopeSectionElementType SlopeSectionElement::getType() const
{
    return d->type;
}

std::string SlopeSectionElement::getName() const
{
    return d->name;
}

double SlopeSectionElement::getWidth() const
{
    return d->width;
}

double SlopeSectionElement::getHeight() const
{
    return d->height;
}

Slope SlopeSectionElement::getSlope() const
{
    return d->slope;
}

Point SlopeSectionElement::getStartingPoint() const
{
    return d->start;
}

Point SlopeSectionElement::getEndingPoint() const
{
    return d->end();
}

Point SlopeSectionElement::getCenterPoint() const
{
    return Point::midPoint(d->start, d->end());
}

bool SlopeSectionElement::isValid() const
{
    return d->type != SlopeElementInvalid;
}

SlopeSectionElement SlopeSectionElement::clone() const
{
    return SlopeSectionElement(d->clone());
}

SlopeSectionElement::ElementParameters SlopeSectionElement::getParameters() const
{
    return d->getParameters();
}

std::vector<Point> SlopeSectionElement::getPoints() const
{
    return d->getPoints();
}

std::vector<SlopeSectionPoint> SlopeSectionElement::getSectionPoints() const
{
    return d->getSectionPoints();
}

SlopeNavigationPoint SlopeSectionElement::getElevationByOffset(const Point& rover, bool extend) const
{
    return d->getElevationByOffset(rover, extend);
}

SlopeNavigationPoint SlopeSectionElement::getOffsetByElevation(const Point& rover, bool extend) const
{
    return d->getOffsetByElevation(rover, extend);
}

SlopeSectionElement::ContainsResult SlopeSectionElement::contains(const Point& p) const
{
    return d->contains(p);
}

SlopeSectionElement::StoredValues SlopeSectionElement::storedValues() const
{
    StoredValues v;
    v.type = d->type;
    v.name = d->name;
    switch (d->type) {
    case SlopeElementSurface:
        v.height = d->height;
        v.ratio = d->slope.getDenominator();
        break;
    case SlopeElementPlatform:
        v.width = d->width;
        v.slope = d->slope.getPercentage();
        break;
    case SlopeElementRectangularDitch:
    case SlopeElementTrapezoidDitch: {
        const ElementParameters p = d->getParameters();
        v.innerWidth = p.values[0];
        v.innerHeight = p.values[1];
        v.outerWidth = p.values[2];
        v.outerHeight = p.values[3];
        v.bottomWidth = p.values[4];
        break;
    }
    default:
        break;
    }
    return v;
}

bool SlopeSectionElement::isKeptByRoadFile() const
{
    const StoredValues values = storedValues();
    if (refusal(values))
        return false;
    const SlopeSectionElement back = fromStoredValues(values);
    const ElementParameters a = getParameters();
    const ElementParameters b = back.getParameters();
    for (std::size_t i = 0; i < a.values.size(); ++i)
        if (!sameNumber(a.values[i], b.values[i]))
            return false;
    const std::vector<Point> points = getPoints();
    const std::vector<Point> backPoints = back.getPoints();
    if (points.size() != backPoints.size()
        || !std::equal(points.begin(), points.end(), backPoints.begin(), samePoint))
        return false;
    return back.getType() == getType() && back.getName() == getName()
        && samePoint(back.getStartingPoint(), getStartingPoint()) && sameNumber(back.getWidth(), getWidth())
        && sameNumber(back.getHeight(), getHeight())
        && sameNumber(back.getSlope().getPercentage(), getSlope().getPercentage())
        && sameNumber(back.getSlope().getDenominator(), getSlope().getDenominator());
}

SlopeSectionElement SlopeSectionElement::specialize(const Point& start, SlopeSectionType type,
                                                    SlopeSectionSide side) const
{
    std::shared_ptr<SlopeElementData> placed = d->clone();
    placed->specialize(start, type, side);
    return SlopeSectionElement(placed);
}

} // namespace Road
} // namespace Pelko
