#include "check/roadcheckmodel.h"

#include "check/checkstepping.h"

#include <road/roadsurface.h>
#include <text/stationtext.h>

namespace Zemko {
namespace Trelvin {

RoadCheckModel::RoadCheckModel(Pelko::Road::RoadSurface* road, QObject* parent)
    : StationSteppingModel(road, parent)
{
}

RoadCheckModel::~RoadCheckModel() = default;

bool RoadCheckModel::setPoint(const Pelko::Corvex::Point& point)
{
    beginResetModel();
    stationMode = false;
    // The road starts an iterator at its start station for a point it cannot place; showing that
    // station would read as an answer, so the values are emptied instead.
    double station = 0.0;
    double offset = 0.0;
    const bool placed = road() && point.isValid() && road()->getStationOffset(point, station, offset);
    if (placed)
        iterator() = road()->getIterator(interval(), point, true, true);
    else
        iterator() = Pelko::Road::StationIterator();
    restake();
    endResetModel();
    return placed;
}

bool RoadCheckModel::setStation(const Pelko::Road::Station& station)
{
    beginResetModel();
    stationMode = true;
    const bool moved = moveTo(station);
    restake();
    endResetModel();
    return moved;
}

void RoadCheckModel::previous()
{
    beginResetModel();
    iterator().previous();
    restake();
    endResetModel();
}

void RoadCheckModel::next()
{
    beginResetModel();
    iterator().next();
    restake();
    endResetModel();
}

void RoadCheckModel::setOffset(double offset)
{
    StationSteppingModel::setOffset(offset);
    if (stationMode && isPositioned()) {
        restake();
        emit dataChanged(index(0, 1), index(RowCount - 1, 1));
    }
}

void RoadCheckModel::restake()
{
    centre = iterator().getStake(0.0);
    offsetStake = stationMode ? iterator().getStake(offset()) : iterator().getStake();
}

QString RoadCheckModel::cellText(int row, int column) const
{
    if (column == 0) {
        switch (row) {
        case StationRow:
            return tr("Station");
        case StakeNRow:
            return tr("Stake N");
        case StakeERow:
            return tr("Stake E");
        case StakeHRow:
            return tr("Stake H");
        case CalculatedNRow:
            return tr("Calculated N");
        case CalculatedERow:
            return tr("Calculated E");
        case CalculatedHRow:
            return tr("Calculated H");
        case OffsetRow:
            return tr("Offset");
        case AzimuthRow:
            return tr("Azimuth");
        default:
            return QString();
        }
    }
    // A station off every element of positive length has no stake; zeros would read as a position.
    if (column != 1 || !isPositioned() || !centre.isValid())
        return QString();

    // An elevation the road could not give (no profile there, or past the section without a slope)
    // is left empty rather than shown as 0.
    const auto height = [](const Pelko::Road::Stake& stake) {
        return stake.isElevationValid() ? CheckStepping::metresText(stake.getPoint().z()) : QString();
    };
    switch (row) {
    case StationRow:
        return CheckStepping::stationText(equations(), centre.getStation());
    case StakeNRow:
        return CheckStepping::metresText(centre.getPoint().x());
    case StakeERow:
        return CheckStepping::metresText(centre.getPoint().y());
    case StakeHRow:
        return height(centre);
    default:
        break;
    }
    if (row == AzimuthRow)
        return angleText(centre.getAzimuth().toDegree() * 3600.0);
    if (!offsetStake.isValid())
        return QString();
    switch (row) {
    case CalculatedNRow:
        return CheckStepping::metresText(offsetStake.getPoint().x());
    case CalculatedERow:
        return CheckStepping::metresText(offsetStake.getPoint().y());
    case CalculatedHRow:
        return height(offsetStake);
    case OffsetRow:
        return CheckStepping::metresText(offsetStake.getOffset().getX());
    default:
        return QString();
    }
}

int RoadCheckModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount;
}

int RoadCheckModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QString RoadCheckModel::columnTitle(int column) const
{
    switch (column) {
    case 0:
        return tr("Field");
    case 1:
        return tr("Value");
    default:
        return QString();
    }
}

} // namespace Trelvin
} // namespace Zemko
