#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>

#include <corvex/angle.h>
#include <corvex/point3d.h>

#include <memory>
#include <vector>

namespace Pelko {
namespace Road {

enum StructureElementType : int {
    CulvertType = 0,
    CircularCulvertType = 1,
    PassagewayType = 2,
    OverpassType = 3,
};

enum StructureBuildType : int {
    SkewAndSkewBuildType = 0,
    SkewAndOrthotropicBuildType = 1,
};

struct StructElementData
{
    StructureElementType elementType = CulvertType;
    StructureBuildType buildType = SkewAndSkewBuildType;
    Corvex::Angle angle;
    double station = 0.0;
    double forwardWidth = 0.0;
    double backwardWidth = 0.0;
    double leftWidth = 0.0;
    double rightWidth = 0.0;
    double centerHeight = 0.0;
    // A ratio (0.02 is 2 %), not a percentage.
    double crossSlope = 0.0;
};

class StructureElementConfiguration;

// A culvert, passageway or overpass crossing the road at a station. Copies share the data, so a
// setter called through any copy (or through the list's at()) changes the listed structure.
// Setters refuse non-finite numbers and unknown types: they return false and change nothing.
class ROAD_EXPORT StructureElement
{
public:
    StructureElement();
    StructureElement(const StructureElement& other) = default;
    StructureElement& operator=(const StructureElement& other) = default;
    virtual ~StructureElement();

    virtual StructureElement clone() const;
    explicit operator bool() const { return d != nullptr; }

    StructureElementType getElementType() const;
    StructureBuildType getBuildType() const;
    Corvex::Angle getAngle() const;
    double getStation() const;
    double getForwardWidth() const;
    double getBackwardWidth() const;
    double getLeftWidth() const;
    double getRightWidth() const;
    double getCenterHeight() const;
    double getCrossSlope() const;

    bool setElementType(StructureElementType type);
    bool setBuildType(StructureBuildType type);
    bool setAngle(const Corvex::Angle& angle);
    bool setStation(double station);
    bool setForwardWidth(double width);
    bool setBackwardWidth(double width);
    bool setLeftWidth(double width);
    bool setRightWidth(double width);
    bool setCenterHeight(double height);
    bool setCrossSlope(double slope);

    // The nine points for drawing and stake-out, given the centre-line point at the structure's
    // station and the alignment's azimuth there (radians): left edge backward/centre/forward, road
    // axis backward/centre/forward, right edge backward/centre/forward.
    std::vector<Corvex::Point3D> calcPrimaryPoints(double north, double east, double azimuth) const;

protected:
    explicit StructureElement(std::shared_ptr<StructElementData> data);

    // False, leaving the structure as it was, when a stored number is not finite or a type unknown.
    bool load(const internal::Node<StructureElement>& node);
    bool save(const internal::Node<StructureElement>& node) const;

private:
    friend class StructureElementConfiguration;

    std::shared_ptr<StructElementData> d;
};

} // namespace Road
} // namespace Pelko
