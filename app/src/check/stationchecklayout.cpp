#include "check/stationchecklayout.h"

#include <road/slopesectionelement.h>

#include <cmath>
#include <limits>
#include <utility>

namespace Zemko {
namespace Trelvin {

namespace {

QPointF plotPoint(const Pelko::Corvex::Point& point)
{
    // Section points hold (elevation, offset); the plot runs the offset across.
    return QPointF(point.getY(), point.getX());
}

QString pointName(bool left, int number)
{
    return (left ? QStringLiteral("L%1") : QStringLiteral("R%1")).arg(number);
}

} // namespace

StationCheckLayout::StationCheckLayout(StakeAt stakeAt)
    : stakeAt(std::move(stakeAt))
{
}

Pelko::Corvex::Point
StationCheckLayout::addSection(const Pelko::Road::CrossSection& section,
                               const std::vector<Pelko::Road::CrossSection::LineSegment>& segments, bool left,
                               const Pelko::Corvex::Point& start)
{
    // The section should give one segment per element, but every access is bounded by what it gave.
    const int count = int(segments.size());
    Pelko::Corvex::Point end = start;
    for (int i = 0; i < count; ++i) {
        const Pelko::Road::CrossSection::LineSegment& segment = segments[size_t(i)];
        line.append(plotPoint(segment.getStart()));
        line.append(plotPoint(segment.getEnd()));
        // Left segments run from the outer edge inward and start at their element's outer point.
        if (left) {
            if (i == 0)
                end = segment.getStart();
            leftPoints.prepend(pointAt(pointName(true, count - i), segment.getStart()));
        } else {
            if (i == count - 1)
                end = segment.getEnd();
            rightPoints.append(pointAt(pointName(false, i + 1), segment.getEnd()));
        }
    }

    const int n = section.crossSectionElementCount();
    for (int i = 0; i < n; ++i) {
        bool ok = false;
        const Pelko::Road::CrossSectionElement element = section.crossSectionElementAt(unsigned(i), ok);
        if (!ok)
            continue;
        const int k = left ? n - 1 - i : i;
        PlateMarker marker;
        marker.reversed = left;
        if (k >= 0 && k < count) {
            const Pelko::Road::CrossSection::LineSegment& segment = segments[size_t(k)];
            marker.position = QPointF((segment.getStart().getX() + segment.getEnd().getX()) * 0.5,
                                      (segment.getStart().getY() + segment.getEnd().getY()) * 0.5);
        }
        marker.length = element.getWidth();
        marker.grade = element.getSlopeInPercentage() * 0.01;
        plateMarkers.append(marker);
    }
    return end;
}

void StationCheckLayout::addSlope(const Pelko::Road::SlopeSection& slope, bool left, bool cut,
                                  const Pelko::Corvex::Point& end, int first)
{
    for (const Pelko::Corvex::Point& point : slope.getPoints()) {
        if (left)
            line.prepend(plotPoint(point));
        else
            line.append(plotPoint(point));
    }

    QVector<CheckPoint>& points = left ? leftPoints : rightPoints;
    Pelko::Corvex::Point current = end;
    int number = first;
    const auto addNamed = [&](const Pelko::Corvex::Point& point) {
        points.append(pointAt(pointName(left, number++), point));
        current = point;
    };
    for (unsigned i = 0; i < slope.size(); ++i) {
        const Pelko::Road::SlopeSectionElement element = slope.at(i);
        const Pelko::Corvex::Point centre = element.getCenterPoint();
        switch (element.getType()) {
        case Pelko::Road::SlopeElementInvalid:
            continue;
        case Pelko::Road::SlopeElementSurface: {
            SlopeMarker marker;
            marker.reversed = cut;
            marker.side = left ? -1 : 1;
            marker.position = QPointF(centre.getX(), centre.getY());
            marker.width = std::fabs(element.getWidth());
            marker.ratio = element.getSlope().getDenominator();
            slopeMarkers.append(marker);
            break;
        }
        case Pelko::Road::SlopeElementPlatform: {
            PlateMarker marker;
            marker.reversed = left;
            marker.position = QPointF(centre.getX(), centre.getY());
            marker.length = std::fabs(element.getWidth());
            marker.grade = element.getSlope().getPercentage() / 100.0;
            plateMarkers.append(marker);
            break;
        }
        default:
            break;
        }

        if (element.getType() == Pelko::Road::SlopeElementRectangularDitch
            || element.getType() == Pelko::Road::SlopeElementTrapezoidDitch) {
            // A ditch is staked at its bottom centre only.
            for (const Pelko::Road::SlopeSectionPoint& point : element.getSectionPoints())
                if (point.kind == Pelko::Road::SlopeSectionPoint::DitchBottomCenter)
                    addNamed(point.point);
            continue;
        }
        const Pelko::Corvex::Point starting = element.getStartingPoint();
        if (starting.getX() != current.getX() || starting.getY() != current.getY())
            addNamed(starting);
        addNamed(element.getEndingPoint());
    }
}

void StationCheckLayout::addCentre(double offset)
{
    const double distance = std::fabs(offset);
    if (distance >= 0.001) {
        rightPoints.prepend(stakePoint(QStringLiteral("YP"), distance));
        leftPoints.prepend(stakePoint(QStringLiteral("ZP"), -distance));
    }
    const CheckPoint centre = stakePoint(QStringLiteral("O"), 0.0);
    leftPoints.prepend(centre);
    rightPoints.prepend(centre);
}

CheckPoint StationCheckLayout::pointAt(const QString& name, const Pelko::Corvex::Point& point) const
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    const Pelko::Road::Stake stake = stakeAt(point.getY());
    CheckPoint checkPoint;
    checkPoint.name = name;
    // Off the alignment there is no plan position; NaN leaves the cells empty instead of 0.
    checkPoint.north = stake.isValid() ? stake.getPoint().x() : none;
    checkPoint.east = stake.isValid() ? stake.getPoint().y() : none;
    checkPoint.elevation = point.getX();
    checkPoint.offset = point.getY();
    return checkPoint;
}

CheckPoint StationCheckLayout::stakePoint(const QString& name, double offset) const
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    const Pelko::Road::Stake stake = stakeAt(offset);
    CheckPoint checkPoint;
    checkPoint.name = name;
    checkPoint.north = stake.isValid() ? stake.getPoint().x() : none;
    checkPoint.east = stake.isValid() ? stake.getPoint().y() : none;
    // An elevation the road could not give is not shown as 0.
    checkPoint.elevation = stake.isValid() && stake.isElevationValid() ? stake.getPoint().z() : none;
    checkPoint.offset = offset;
    return checkPoint;
}

} // namespace Trelvin
} // namespace Zemko
