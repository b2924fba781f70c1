#include "check/roadcheckmodel.h"

#include "check/checkstepping.h"

#include <road/roadsurface.h>
#include <road/stake.h>
#include <road/stationiterator.h>
#include <text/stationtext.h>

#include <QSize>

#include <cmath>

namespace Zemko {
namespace Trelvin {

struct RoadCheckModel::Data
{
    Pelko::Road::RoadSurface* road = nullptr;
    double interval = CheckStepping::defaultInterval;
    double offset = 0.0;
    // 0: the last input was a point (its own offset holds), 1: a station (the stored offset holds).
    int mode = 0;
    Pelko::Road::StationIterator iterator;
    Pelko::Road::StationsEquationConfiguration equations;
    // The stakes the cells show, taken after every move: the views read cells far more often.
    Pelko::Road::Stake centre;
    Pelko::Road::Stake offsetStake;

    void restake()
    {
        centre = iterator.getStake(0.0);
        offsetStake = mode == 0 ? iterator.getStake() : iterator.getStake(offset);
    }
};

RoadCheckModel::RoadCheckModel(Pelko::Road::RoadSurface* road, QObject* parent)
    : QAbstractTableModel(parent)
    , d(std::make_unique<Data>())
{
    d->road = road;
    if (road)
        d->equations = road->getStationsEquations();
}

RoadCheckModel::~RoadCheckModel() = default;

bool RoadCheckModel::setPoint(const Pelko::Corvex::Point& point)
{
    beginResetModel();
    d->mode = 0;
    // The road starts an iterator at its start station for a point it cannot place; showing that
    // station would read as an answer, so the values are emptied instead.
    double station = 0.0;
    double offset = 0.0;
    const bool placed = d->road && point.isValid() && d->road->getStationOffset(point, station, offset);
    if (placed)
        d->iterator = d->road->getIterator(d->interval, point, true, true);
    else
        d->iterator = Pelko::Road::StationIterator();
    d->restake();
    endResetModel();
    return placed;
}

bool RoadCheckModel::setStation(const Pelko::Road::Station& station)
{
    beginResetModel();
    d->mode = 1;
    const bool moved = CheckStepping::iteratorAt(d->road, d->equations, d->interval, station, d->iterator);
    d->restake();
    endResetModel();
    return moved;
}

void RoadCheckModel::previous()
{
    beginResetModel();
    d->iterator.previous();
    d->restake();
    endResetModel();
}

void RoadCheckModel::next()
{
    beginResetModel();
    d->iterator.next();
    d->restake();
    endResetModel();
}

bool RoadCheckModel::hasPrevious() const
{
    return d->iterator.hasPrevious();
}

bool RoadCheckModel::hasNext() const
{
    return d->iterator.hasNext();
}

bool RoadCheckModel::isPositioned() const
{
    return d->iterator.isValid();
}

double RoadCheckModel::interval() const
{
    return d->interval;
}

bool RoadCheckModel::setInterval(double interval)
{
    if (!CheckStepping::isUsableInterval(interval))
        return false;
    d->interval = interval;
    return true;
}

double RoadCheckModel::offset() const
{
    return d->offset;
}

void RoadCheckModel::setOffset(double offset)
{
    if (!std::isfinite(offset))
        return;
    d->offset = offset;
    if (d->mode == 1) {
        d->restake();
        if (d->iterator.isValid())
            emit dataChanged(index(0, 1), index(RowCount - 1, 1));
    }
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
    if (column != 1 || !d->iterator.isValid())
        return QString();

    const Pelko::Road::Stake& centre = d->centre;
    // A station off every element of positive length has no stake; zeros would read as a position.
    if (!centre.isValid())
        return QString();
    const Pelko::Road::Stake& offsetStake = d->offsetStake;
    // An elevation the road could not give (no profile there, or past the section without a slope)
    // is left empty rather than shown as 0.
    const auto height = [](const Pelko::Road::Stake& stake) {
        return stake.isElevationValid() ? CheckStepping::metresText(stake.getPoint().z()) : QString();
    };
    switch (row) {
    case StationRow:
        return CheckStepping::stationText(d->equations, centre.getStation());
    case StakeNRow:
        return CheckStepping::metresText(centre.getPoint().x());
    case StakeERow:
        return CheckStepping::metresText(centre.getPoint().y());
    case StakeHRow:
        return height(centre);
    case CalculatedNRow:
        return offsetStake.isValid() ? CheckStepping::metresText(offsetStake.getPoint().x()) : QString();
    case CalculatedERow:
        return offsetStake.isValid() ? CheckStepping::metresText(offsetStake.getPoint().y()) : QString();
    case CalculatedHRow:
        return offsetStake.isValid() ? height(offsetStake) : QString();
    case OffsetRow:
        return offsetStake.isValid() ? CheckStepping::metresText(offsetStake.getOffset().getX()) : QString();
    case AzimuthRow:
        return angleText(centre.getAzimuth().toDegree() * 3600.0);
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

QVariant RoadCheckModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::SizeHintRole)
        return QSize(64, 32);
    return QVariant();
}

QVariant RoadCheckModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case 0:
        return tr("Field");
    case 1:
        return tr("Value");
    default:
        return QString();
    }
}

Qt::ItemFlags RoadCheckModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

} // namespace Trelvin
} // namespace Zemko
