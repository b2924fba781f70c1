#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/verticalcurve.h>

#include <corvex/point.h>

#include <memory>
#include <vector>

namespace Pelko {
namespace Road {

enum ModifyResult : int {
    ModifySuccess = 0,
    // The curve of the PI named by the result's index starts before the previous curve ends.
    ModifyOverlapPrevious = 1,
    ModifyOverlapNext = 2,
    // The station is not greater than the previous PI's station by at least 0.001.
    ModifyLessThanPrevious = 3,
    // The station is not smaller than the next PI's station by at least 0.001.
    ModifyGreaterThanNext = 4,
    // Station, elevation or curve size is not a number (or the station not finite).
    ModifyInvalidElement = 5,
    ModifyIndexOutOfRange = 6,
};

enum PointCurveRelation : int {
    PointBeforeCurve = 0,
    PointOnCurve = 1,
    PointAfterCurve = 2,
};

class VerticalAlignment;

// One vertical PI with its curve. Copies share the data, so the alignment's updates
// are seen through every copy; clone() makes an independent element.
class ROAD_EXPORT VerticalElement
{
public:
    using Poi = VerticalPoi;

    VerticalElement();
    VerticalElement(VerticalElement const&) = default;
    VerticalElement& operator=(VerticalElement const&) = default;
    virtual ~VerticalElement();

    static VerticalElement createSymparabola(Poi const& poi, double radius);
    static VerticalElement createCircular(Poi const& poi, double radius);
    static VerticalElement createAsymparabola(Poi const& poi, double inLength, double outLength);
    // Radius |length / |g2 - g1|| from the grades in poi; +infinity for equal grades.
    static VerticalElement createSymparabolaByLenght(Poi const& poi, double length);

    VerticalElement clone() const;
    explicit operator bool() const { return d != nullptr; }

    Poi const& getPoi() const;
    VerticalElementType getType() const;
    double getRadius() const;
    double getInTangent() const;
    double getOutTagent() const;
    // The start includes the grade line from the previous curve's end.
    double getStartStation() const;
    double getEndStation() const;
    double getStartElevation() const;
    double getEndElevation() const;

    bool contains(double station) const;
    PointCurveRelation pointRelation(double station) const;
    double calcElevation(double station, bool* ok = nullptr) const;
    std::vector<Corvex::Point> getPoints() const;

    // Recomputes grades, curve and gap from the neighbours (null for none).
    ModifyResult update(VerticalElement const* prev, VerticalElement const* next);

protected:
    VerticalElement(Poi const& poi, std::unique_ptr<VerticalCurve> curve);

    // False, leaving the element as it was, when the stored numbers are unusable.
    bool load(internal::Node<VerticalElement> const& node);
    void save(internal::Node<VerticalElement> const& node) const;

private:
    friend class VerticalAlignment;

    bool isUsable() const;
    // Back to the state saved, a clone taken of this element before.
    void restore(VerticalElement const& saved);

    struct VerticalElementData;
    std::shared_ptr<VerticalElementData> d;
};

} // namespace Road
} // namespace Pelko
