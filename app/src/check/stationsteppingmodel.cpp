#include "check/stationsteppingmodel.h"

#include "check/checkstepping.h"
#include "framework/roadstations.h"

#include <road/roadsurface.h>

#include <QSize>

#include <cmath>

namespace Zemko {
namespace Trelvin {

StationSteppingModel::StationSteppingModel(Pelko::Road::RoadSurface* road, QObject* parent)
    : QAbstractTableModel(parent)
    , m_road(road)
    , m_interval(CheckStepping::defaultInterval)
{
    if (road)
        m_equations = road->getStationsEquations();
}

StationSteppingModel::~StationSteppingModel() = default;

bool StationSteppingModel::hasPrevious() const
{
    return m_iterator.hasPrevious();
}

bool StationSteppingModel::hasNext() const
{
    return m_iterator.hasNext();
}

bool StationSteppingModel::isPositioned() const
{
    return m_iterator.isValid();
}

double StationSteppingModel::interval() const
{
    return m_interval;
}

bool StationSteppingModel::setInterval(double interval)
{
    if (!CheckStepping::isUsableInterval(interval))
        return false;
    m_interval = interval;
    return true;
}

double StationSteppingModel::offset() const
{
    return m_offset;
}

void StationSteppingModel::setOffset(double offset)
{
    if (std::isfinite(offset))
        m_offset = offset;
}

bool StationSteppingModel::moveTo(const Pelko::Road::Station& station)
{
    double continuous = 0.0;
    const CheckStepping::Placement placement
        = CheckStepping::iteratorAt(m_road, m_equations, m_interval, station, m_iterator, continuous);
    m_stationMessage.clear();
    if (placement == CheckStepping::Placement::OffRoad)
        m_stationMessage = RoadStations(m_road).offRoadText(
            continuous, [this](double value) { return CheckStepping::stationText(m_equations, value); });
    return placement == CheckStepping::Placement::OnRoad;
}

QVariant StationSteppingModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::SizeHintRole)
        return QSize(64, 32);
    return QVariant();
}

QVariant StationSteppingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    return columnTitle(section);
}

Qt::ItemFlags StationSteppingModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

} // namespace Trelvin
} // namespace Zemko
