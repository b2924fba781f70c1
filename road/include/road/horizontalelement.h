#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>

#include <corvex/angle.h>
#include <corvex/point.h>

#include <memory>

namespace Pelko {
namespace Road {

namespace internal {
struct ElementAccess;
}

// Element kinds as held in memory. The road file numbers arc and spiral the other way round; that
// mapping lives with load/save only.
enum HorizontalElementType : int {
    NullElementType = -1,
    StartElementType = 0, // only in a freshly loaded list
    LineElementType = 1,
    SpiralElementType = 2,
    ArcElementType = 3,
};

enum TurnDirection : int {
    TurnRight = 0, // azimuth increases along the element
    TurnLeft = 1,
};

// One line, arc or spiral of the horizontal alignment. Radii are never negative (+infinity is a
// straight end); the turn direction says which way the element bends.
class ROAD_EXPORT HorizontalElement
{
public:
    class HorizontalElementPrivate;

    HorizontalElement();
    HorizontalElement(const HorizontalElement& other) = default;
    HorizontalElement& operator=(const HorizontalElement& other) = default;
    virtual ~HorizontalElement();
    virtual HorizontalElement clone() const;

    // A NaN azimuth, an invalid point or a NaN station means "not given": it is taken from the
    // element before when the list chains the elements.
    static HorizontalElement createLine(const Corvex::Angle& beginAzimuth, double length,
                                        const Corvex::Point& beginPoint, double beginStation);
    // A negative radius turns left.
    static HorizontalElement createArc(const Corvex::Angle& beginAzimuth, double length, double radius,
                                       const Corvex::Point& beginPoint, double beginStation);
    // An infinite radius is the straight end; a negative radius turns left.
    static HorizontalElement createSpiral(const Corvex::Angle& beginAzimuth, double length,
                                          double beginRadius, double endRadius,
                                          const Corvex::Point& beginPoint, double beginStation);

    HorizontalElementType getType() const;
    TurnDirection getRurnDirection() const;
    double getLength() const;
    double getBeginStation() const;
    double getEndStation() const;
    double getMiddleStation() const;
    double getBeginRadius() const;
    double getEndRadius() const;
    Corvex::Point getBeginPoint() const;
    Corvex::Point getEndPoint() const;
    Corvex::Angle getBeginAzimuth() const;
    Corvex::Angle getEndAzimuth() const;
    bool isBeginPointFixed() const;
    bool isBeginAzimuthFixed() const;
    // Says which begin values hold against the element before; one not held is taken from it when
    // the list chains the elements (the first element keeps its own either way). Only a value that
    // was given can hold. False for the null element.
    bool setBeginFixed(bool azimuth, bool point);
    bool isValid() const;
    explicit operator bool() const { return isValid(); }

    bool contains(double station, double tolerance) const;

    // s is the distance from the element's begin; the element extends beyond both ends.
    Corvex::Point getNorthEast(double s, double offset = 0.0) const;
    Corvex::Angle getAzimuth(double s) const;

    // Station (begin station plus the distance of the foot point) and signed offset of a plan
    // point; false and NaN for the null element.
    bool getStationOffset(const Corvex::Point& p, double& station, double& offset) const;

    // Chains the element to the one before it (none for the first element) and computes its end
    // point and end azimuth. False for the null element.
    bool update(const HorizontalElement& previous = HorizontalElement());
    bool updateStation(double beginStation);
    bool updateStation(const HorizontalElement& previous);

    // A failed load leaves the element as it was.
    bool load(const internal::Node<HorizontalElement>& node);
    bool save(const internal::Node<HorizontalElement>& node) const;

private:
    friend struct internal::ElementAccess;

    explicit HorizontalElement(std::shared_ptr<HorizontalElementPrivate> d);

    std::shared_ptr<HorizontalElementPrivate> d;
};

} // namespace Road
} // namespace Pelko
