#pragma once

#include <road/elementconfiguration.h>
#include <road/horizontalelement.h>
#include <road/internal/node.h>
#include <road/picurve.h>
#include <road/road_global.h>

#include <corvex/angle.h>
#include <corvex/point.h>

#include <memory>
#include <utility>
#include <vector>

namespace Pelko {
namespace Road {

class PointOfIntersectionConfiguration;

// One corner of the tangent polygon with the curve that rounds it. Copies share the data (the PI
// list's neighbour updates reach every copy); clone() makes an independent one.
class ROAD_EXPORT PointOfIntersection
{
public:
    enum ErrorCode : int {
        NoError = 0,
        RadiusNotFinite = 1,
        RadiusTooSmall = 2, // below 0.001
        InSpiralLengthNotFinite = 3,
        OutSpiralLengthNotFinite = 4,
        InRadiusEqualsRadius = 5, // within 0.001
        OutRadiusEqualsRadius = 6,
    };
    using Result = std::pair<PointOfIntersection, ErrorCode>;

    // A point PI at (0, 0), station 0.
    PointOfIntersection();
    PointOfIntersection clone() const;

    bool isValid() const;
    explicit operator bool() const { return isValid(); }

    // Every refusal comes with the null PI.
    static Result createPoint(const Corvex::Point& p, double station);
    static Result createArc(const Corvex::Point& p, double radius);
    // Spirals from and to the straight.
    static Result createTransArcTrans(const Corvex::Point& p, double radius, double inLength,
                                      double outLength);
    // An outer radius that is NaN or below 0.001 means the straight.
    static Result createTransArcTrans(const Corvex::Point& p, double inRadius, double radius,
                                      double outRadius, double inLength, double outLength);
    static Result createTransTrans(const Corvex::Point& p, double radius, double inLength, double outLength);
    static Result createTransTrans(const Corvex::Point& p, double inRadius, double radius, double outRadius,
                                   double inLength, double outLength);

    Corvex::Point getPointOfIntersection() const;
    double getPoiStation() const;
    PointOfIntersectionCurveType getCurveType() const;
    Corvex::Angle getDeflectionAngle() const;
    // Magnitudes; 0 for points and for the null PI.
    double getRadius() const;
    double getStartRadius() const;
    double getEndRadius() const;
    // Left when the factory was given a negative radius. Layout follows the polygon, not this.
    TurnDirection getTurnDirection() const;
    double getInSpiralLength() const;
    double getOutSpiralLength() const;
    double getInTangentLength() const;
    double getOutTangetLength() const;
    double getArcLength() const;

    // Deflection and station from the neighbours; nullptr for a missing one.
    void update(const PointOfIntersection* prev, const PointOfIntersection* next);

    // The elements from the end of prev's curve to the end of this PI's curve, with station 0 and,
    // after the first one, no begin point or azimuth: the element list chains them. Empty when this
    // PI or prev is null.
    std::vector<HorizontalElement> toElements(const PointOfIntersection& prev,
                                              const PointOfIntersection& next) const;

protected:
    // A stored PI that cannot be rebuilt (bad type, missing or non-finite point, values the
    // factories refuse) makes this the null PI and returns false.
    bool load(const internal::Node<PointOfIntersection>& node);
    bool save(const internal::Node<PointOfIntersection>& node) const;

private:
    friend class PointOfIntersectionConfiguration;
    friend struct NullElement<PointOfIntersection>;

    explicit PointOfIntersection(std::shared_ptr<Horizontal::PoiData> data);

    static PointOfIntersection null();
    static bool isValid(double value);
    static Result createTransArcTrans(const Corvex::Point& p, double inRadius, double radius,
                                      double outRadius, double inLength, double outLength,
                                      PointOfIntersectionCurveType type);

    // The point at this PI's out-tangent length on the straight towards other.
    Corvex::Point controlledEndingPoint(const PointOfIntersection& other) const;

    std::shared_ptr<Horizontal::PoiData> d;
};

// A default PI is a valid point PI, so the PI list needs its own null element out of range.
template<> struct ROAD_EXPORT NullElement<PointOfIntersection>
{
    static PointOfIntersection get();
};

} // namespace Road
} // namespace Pelko
