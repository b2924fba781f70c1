#pragma once

#include <road/horizontalelement.h>
#include <road/road_global.h>

#include <corvex/angle.h>
#include <corvex/point.h>

#include <memory>

namespace Pelko {
namespace Road {

// The curve that rounds a point of intersection; also the "type" value of a stored PI.
enum PointOfIntersectionCurveType : int {
    NullPoiType = -1,
    PointPoiType = 0, // a plain corner, or the start or end point
    ArcPoiType = 1,
    SpiralArcSpiralPoiType = 2,
    SpiralSpiralPoiType = 3,
};

namespace Horizontal {

// One PI with its curve: position, station along the tangent polygon, deflection and the curve's
// lengths. Radii are held as magnitudes; the sign a caller gave is kept as the turn direction only,
// because the polygon itself decides which way the road turns.
class ROAD_EXPORT PoiData
{
public:
    virtual ~PoiData();

    virtual double getStartRadius() const;
    virtual double getEndRadius() const;
    virtual double getInSpiralLength() const = 0;
    virtual double getOutSpiralLength() const = 0;
    virtual double getInTangentLength() const = 0;
    virtual double getOutTangentLength() const = 0;
    virtual double getArcLength() const = 0;
    virtual std::shared_ptr<PoiData> clone() const = 0;

    // Recomputes the deflection from both neighbours (0 without both) and the station from the
    // previous PI (kept without one).
    virtual void update(const PoiData* prev, const PoiData* next);

    // False for points and for a corner too flat to hold the curve; such a PI lays out as a
    // straight through its point.
    virtual bool hasCurve() const;
    // The developed length from the curve's start to its end; 0 without a curve.
    double getCurveLength() const;

    PointOfIntersectionCurveType getType() const { return m_type; }
    const Corvex::Point& getPoint() const { return m_point; }
    double getStation() const { return m_station; }
    Corvex::Angle getDeflection() const { return m_deflection; }
    double getRadius() const { return m_radius; }
    TurnDirection getTurnDirection() const { return m_turnDirection; }

protected:
    // radius may be signed: its magnitude is stored, a negative value marks a left turn.
    PoiData(PointOfIntersectionCurveType type, const Corvex::Point& point, double station, double radius);
    PoiData(const PoiData&) = default;
    PoiData& operator=(const PoiData&) = delete;

    PointOfIntersectionCurveType m_type;
    Corvex::Point m_point;
    double m_station;
    Corvex::Angle m_deflection; // [0, pi]
    double m_radius;
    TurnDirection m_turnDirection;
};

class ROAD_EXPORT NullPoi : public PoiData
{
public:
    NullPoi();

    double getInSpiralLength() const override { return 0.0; }
    double getOutSpiralLength() const override { return 0.0; }
    double getInTangentLength() const override { return 0.0; }
    double getOutTangentLength() const override { return 0.0; }
    double getArcLength() const override { return 0.0; }
    std::shared_ptr<PoiData> clone() const override;
};

class ROAD_EXPORT PoiPoint : public PoiData
{
public:
    PoiPoint(const Corvex::Point& point, double station);

    double getInSpiralLength() const override { return 0.0; }
    double getOutSpiralLength() const override { return 0.0; }
    double getInTangentLength() const override { return 0.0; }
    double getOutTangentLength() const override { return 0.0; }
    double getArcLength() const override { return 0.0; }
    std::shared_ptr<PoiData> clone() const override;
};

class ROAD_EXPORT PoiArc : public PoiData
{
public:
    PoiArc(const Corvex::Point& point, double radius);

    double getInSpiralLength() const override { return 0.0; }
    double getOutSpiralLength() const override { return 0.0; }
    double getInTangentLength() const override;
    double getOutTangentLength() const override;
    double getArcLength() const override;
    std::shared_ptr<PoiData> clone() const override;
    bool hasCurve() const override { return true; }
};

// Spiral, arc, spiral. An infinite outer radius starts (ends) the spiral on the straight.
class ROAD_EXPORT PoiSpiralArcSpiral : public PoiData
{
public:
    PoiSpiralArcSpiral(const Corvex::Point& point, double inRadius, double radius, double outRadius,
                       double inLength, double outLength);

    double getStartRadius() const override { return m_inRadius; }
    double getEndRadius() const override { return m_outRadius; }
    double getInSpiralLength() const override { return m_inLength; }
    double getOutSpiralLength() const override { return m_outLength; }
    double getInTangentLength() const override;
    double getOutTangentLength() const override;
    double getArcLength() const override;
    std::shared_ptr<PoiData> clone() const override;
    bool hasCurve() const override;

protected:
    PoiSpiralArcSpiral(PointOfIntersectionCurveType type, const Corvex::Point& point, double inRadius,
                       double radius, double outRadius, double inLength, double outLength);

private:
    double m_inRadius;
    double m_outRadius;
    double m_inLength;
    double m_outLength;
    // Spiral end points in each spiral's own frame (start at the origin, start tangent along x,
    // turning towards +y), the out-spiral taken from its outer end; and the angles they turn.
    double m_x1 = 0.0;
    double m_y1 = 0.0;
    double m_x2 = 0.0;
    double m_y2 = 0.0;
    double m_theta1 = 0.0;
    double m_theta2 = 0.0;
};

// Spiral, spiral: the spirals are meant to meet at the radius; the geometry is the same.
class ROAD_EXPORT PoiSpiralSpiral : public PoiSpiralArcSpiral
{
public:
    PoiSpiralSpiral(const Corvex::Point& point, double inRadius, double radius, double outRadius,
                    double inLength, double outLength);

    std::shared_ptr<PoiData> clone() const override;
};

} // namespace Horizontal
} // namespace Road
} // namespace Pelko
