#include "check/stationcheckmodel.h"

#include "check/checkstepping.h"

#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectiontemplate.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/stationiterator.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

StationCheckModel::StationCheckModel(Pelko::Road::RoadSurface* road, QObject* parent)
    : StationSteppingModel(road, parent)
{
}

StationCheckModel::~StationCheckModel() = default;

bool StationCheckModel::setStation(const Pelko::Road::Station& station)
{
    beginResetModel();
    const bool moved = moveTo(station);
    recompute();
    endResetModel();
    return moved;
}

void StationCheckModel::previous()
{
    step(false);
}

void StationCheckModel::next()
{
    step(true);
}

void StationCheckModel::step(bool forward)
{
    beginResetModel();
    Pelko::Road::StationIterator& position = iterator();
    const double before = position.getStation();
    if (forward)
        position.next();
    else
        position.previous();
    // The dialog writes the new station with three decimals and reads it back: a step that did not
    // move by a millimetre is pushed on by one so that it does not land where it started.
    if (position.isValid() && (forward ? position.hasNext() : position.hasPrevious())
        && std::fabs(position.getStation() - before) < 0.001)
        position = road()->getIterator(interval(), position.getStation() + (forward ? 0.001 : -0.001), true);
    endResetModel();
}

QString StationCheckModel::stationText() const
{
    if (!isPositioned())
        return QString();
    const Pelko::Road::Stake centre = iterator().getStake(0.0);
    return CheckStepping::stationText(equations(),
                                      centre.isValid() ? centre.getStation() : iterator().getStation());
}

void StationCheckModel::recompute()
{
    m_leftPoints.clear();
    m_rightPoints.clear();
    m_line.clear();
    m_plateMarkers.clear();
    m_slopeMarkers.clear();
    if (!isPositioned() || !road())
        return;

    const Pelko::Road::StationIterator position = iterator();
    const double station = position.getStation();
    StationCheckLayout layout([position](double offset) { return position.getStake(offset); });

    // A side without elements has its edge on the centre line at the profile's height, not at 0.
    double centreElevation = 0.0;
    road()->getElevation(station, 0.0, centreElevation);
    const Pelko::Corvex::Point centre(centreElevation, 0.0);

    const Pelko::Road::CrossSection left
        = road()->getCrossSection(station, Pelko::Road::StandardSection::Left);
    const Pelko::Road::CrossSection right
        = road()->getCrossSection(station, Pelko::Road::StandardSection::Right);
    const Pelko::Corvex::Point leftEnd = layout.addSection(left, left.getPoints(true), true, centre);
    const Pelko::Corvex::Point rightEnd = layout.addSection(right, right.getPoints(false), false, centre);

    if (const Pelko::Road::SlopeSectionConfiguration* slopes = road()->getSlopeSectionConfiguration()) {
        for (const bool isLeft : { true, false }) {
            const Pelko::Road::SlopeSectionSide side
                = isLeft ? Pelko::Road::SlopeSideLeft : Pelko::Road::SlopeSideRight;
            // The slope the road's elevations use, so the drawing and the heights agree.
            const Pelko::Road::SlopeSectionTemplate slope
                = slopes->get(side).getSlopeTemplateByStation(station);
            if (!slope.isValid())
                continue;
            const Pelko::Road::CrossSection& section = isLeft ? left : right;
            layout.addSlope(slope.generateSlope(isLeft ? leftEnd : rightEnd), isLeft,
                            slope.getType() == Pelko::Road::SlopeSectionCut, isLeft ? leftEnd : rightEnd,
                            section.crossSectionElementCount() + 1);
        }
    }
    layout.addCentre(offset());

    m_leftPoints = layout.leftPoints;
    m_rightPoints = layout.rightPoints;
    m_line = layout.line;
    m_plateMarkers = layout.plateMarkers;
    m_slopeMarkers = layout.slopeMarkers;
}

QList<QPointF> StationCheckModel::sectionLine() const
{
    return m_line.toList();
}

QList<PlotPoint> StationCheckModel::plotPoints() const
{
    QList<PlotPoint> points;
    points.reserve(m_leftPoints.size() + m_rightPoints.size());
    for (const QVector<CheckPoint>* side : { &m_leftPoints, &m_rightPoints })
        for (const CheckPoint& point : *side)
            points.append(PlotPoint { point.name, point.offset, point.elevation });
    return points;
}

QList<PlateMarker> StationCheckModel::plateMarkers() const
{
    return m_plateMarkers.toList();
}

QList<SlopeMarker> StationCheckModel::slopeMarkers() const
{
    return m_slopeMarkers.toList();
}

const QVector<CheckPoint>& StationCheckModel::leftPoints() const
{
    return m_leftPoints;
}

const QVector<CheckPoint>& StationCheckModel::rightPoints() const
{
    return m_rightPoints;
}

const QVector<CheckPoint>& StationCheckModel::shown() const
{
    return showLeft ? m_leftPoints : m_rightPoints;
}

int StationCheckModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown().size();
}

int StationCheckModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QString StationCheckModel::cellText(int row, int column) const
{
    const QVector<CheckPoint>& points = shown();
    if (row < 0 || row >= points.size())
        return QString();
    const CheckPoint& point = points.at(row);
    switch (column) {
    case 0:
        return point.name;
    case 1:
        return CheckStepping::metresText(point.north);
    case 2:
        return CheckStepping::metresText(point.east);
    case 3:
        return CheckStepping::metresText(point.elevation);
    default:
        return QString();
    }
}

QString StationCheckModel::columnTitle(int column) const
{
    switch (column) {
    case 0:
        return tr("Poin Name");
    case 1:
        return tr("N");
    case 2:
        return tr("E");
    case 3:
        return tr("H");
    default:
        return QString();
    }
}

} // namespace Trelvin
} // namespace Zemko
