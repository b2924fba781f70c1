#pragma once

#include "framework/plotmarkers.h"

#include <road/crosssection.h>
#include <road/slopesection.h>
#include <road/stake.h>

#include <corvex/point.h>

#include <QPointF>
#include <QString>
#include <QVector>

#include <functional>
#include <vector>

namespace Zemko {
namespace Trelvin {

// One listed point of the section at a station: plan position from the road, elevation and offset
// from the drawn section or slope.
struct CheckPoint
{
    QString name;
    double north = 0.0;
    double east = 0.0;
    double elevation = 0.0;
    double offset = 0.0;
};

// The plot's own records: a named point (x offset, y elevation), a flat part and a side-slope
// surface (position x elevation, y offset).
using PlotPoint = Data::NamedPoint;
using PlateMarker = Data::PlateMarker;
using SlopeMarker = Data::SlopeMarker;

// Lays out the cross section and side slopes of one station: the named break points of each side from
// the centre outward, the drawn line from the far left to the far right, and the markers.
class StationCheckLayout
{
public:
    // The stake at an offset of the station being laid out.
    using StakeAt = std::function<Pelko::Road::Stake(double offset)>;

    explicit StationCheckLayout(StakeAt stakeAt);

    // The section's break points of one side, one segment per element as the section draws them.
    // Returns the side's outer end point (elevation, offset), or start when there is no segment.
    Pelko::Corvex::Point addSection(const Pelko::Road::CrossSection& section,
                                    const std::vector<Pelko::Road::CrossSection::LineSegment>& segments,
                                    bool left, const Pelko::Corvex::Point& start);
    // A slope generated at the side's end point; its named points are numbered on from first.
    void addSlope(const Pelko::Road::SlopeSection& slope, bool left, bool cut,
                  const Pelko::Corvex::Point& end, int first);
    // "ZP" and "YP" at -|offset| and +|offset| when the offset is not nought, then "O" on the centre
    // line, each at the front of its side's list.
    void addCentre(double offset);

    QVector<CheckPoint> leftPoints;
    QVector<CheckPoint> rightPoints;
    QVector<QPointF> line;
    QVector<PlateMarker> plateMarkers;
    QVector<SlopeMarker> slopeMarkers;

private:
    CheckPoint pointAt(const QString& name, const Pelko::Corvex::Point& point) const;
    CheckPoint stakePoint(const QString& name, double offset) const;

    StakeAt stakeAt;
};

} // namespace Trelvin
} // namespace Zemko
