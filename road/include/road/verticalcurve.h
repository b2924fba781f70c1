#pragma once

#include <road/road_global.h>

#include <memory>

namespace Pelko {
namespace Road {

enum VerticalElementType : int {
    VerticalAsymparabolaType = 0,
    VerticalCircularType = 1,
    VerticalNoneType = 3,
    VerticalSymparabolaType = 4,
};

// The PI a curve is built around: continuous station and elevation in metres,
// grades as rise over run.
struct ROAD_EXPORT VerticalPoi
{
    double station = 0.0;
    double elevation = 0.0;
    double gradeIn = 0.0;
    double gradeOut = 0.0;
};

// A vertical curve joining the in grade to the out grade at one PI. The owning
// element calls updateTangentLengths, updateStations, sets the end elevations and
// then calls updateCoefficients.
class ROAD_EXPORT VerticalCurve
{
public:
    virtual ~VerticalCurve();

    virtual VerticalElementType getType() const = 0;
    // ok (may be null) reports whether the station lies on the curve.
    virtual double calcElevation(VerticalPoi const& data, double station, bool* ok) const = 0;
    virtual std::unique_ptr<VerticalCurve> clone() const = 0;
    virtual double getRadius() const;
    virtual void updateTangentLengths(VerticalPoi const& data) = 0;
    virtual void updateStations(VerticalPoi const& data) = 0;
    virtual void updateCoefficients(VerticalPoi const& data) = 0;

    double getInTangent() const { return m_t1; }
    double getOutTangent() const { return m_t2; }
    double getStartStation() const { return m_s1; }
    double getEndStation() const { return m_s2; }
    double getStartElevation() const { return m_h1; }
    double getEndElevation() const { return m_h2; }

    void setTangentLengths(double t1, double t2)
    {
        m_t1 = t1;
        m_t2 = t2;
    }
    void setStations(double s1, double s2)
    {
        m_s1 = s1;
        m_s2 = s2;
    }
    void setElevations(double h1, double h2)
    {
        m_h1 = h1;
        m_h2 = h2;
    }

protected:
    VerticalCurve() = default;
    VerticalCurve(VerticalCurve const&) = default;
    VerticalCurve& operator=(VerticalCurve const&) = default;

    // The range test shared by the real curves: within 0.001 of [S1, S2].
    bool inRange(double station) const;

    double m_t1 = 0.0;
    double m_t2 = 0.0;
    double m_s1 = 0.0;
    double m_s2 = 0.0;
    double m_h1 = 0.0;
    double m_h2 = 0.0;
};

class ROAD_EXPORT VerticalNone : public VerticalCurve
{
public:
    VerticalElementType getType() const override { return VerticalNoneType; }
    double calcElevation(VerticalPoi const& data, double station, bool* ok) const override;
    std::unique_ptr<VerticalCurve> clone() const override;
    void updateTangentLengths(VerticalPoi const& data) override;
    void updateStations(VerticalPoi const& data) override;
    void updateCoefficients(VerticalPoi const& data) override;
};

class ROAD_EXPORT VerticalSymparabola : public VerticalCurve
{
public:
    explicit VerticalSymparabola(double radius);

    VerticalElementType getType() const override { return VerticalSymparabolaType; }
    double calcElevation(VerticalPoi const& data, double station, bool* ok) const override;
    std::unique_ptr<VerticalCurve> clone() const override;
    double getRadius() const override { return m_radius; }
    void updateTangentLengths(VerticalPoi const& data) override;
    void updateStations(VerticalPoi const& data) override;
    void updateCoefficients(VerticalPoi const& data) override;

private:
    double m_radius;
};

class ROAD_EXPORT VerticalCircular : public VerticalCurve
{
public:
    explicit VerticalCircular(double radius);
    ~VerticalCircular() override;

    VerticalElementType getType() const override { return VerticalCircularType; }
    double calcElevation(VerticalPoi const& data, double station, bool* ok) const override;
    std::unique_ptr<VerticalCurve> clone() const override;
    double getRadius() const override { return m_radius; }
    void updateTangentLengths(VerticalPoi const& data) override;
    void updateStations(VerticalPoi const& data) override;
    void updateCoefficients(VerticalPoi const& data) override;

    double getCenterStation() const { return m_xc; }
    double getCenterElevation() const { return m_yc; }

private:
    double m_radius;
    double m_xc = 0.0;
    double m_yc = 0.0;
};

class ROAD_EXPORT VerticalAsymparabola : public VerticalCurve
{
public:
    // The tangent lengths are kept as absolute values.
    VerticalAsymparabola(double inLength, double outLength);

    VerticalElementType getType() const override { return VerticalAsymparabolaType; }
    double calcElevation(VerticalPoi const& data, double station, bool* ok) const override;
    std::unique_ptr<VerticalCurve> clone() const override;
    void updateTangentLengths(VerticalPoi const& data) override;
    void updateStations(VerticalPoi const& data) override;
    void updateCoefficients(VerticalPoi const& data) override;

    double getInLength() const { return m_l1; }
    double getOutLength() const { return m_l2; }

private:
    double m_a1 = 0.0;
    double m_a2 = 0.0;
    double m_b = 0.0;
    double m_c = 0.0;
    double m_l1;
    double m_l2;
};

} // namespace Road
} // namespace Pelko
