#include "slopes/slopetablemodel.h"

#include "alignment/typedvalues.h"
#include "document/trelvin.h"
#include "framework/metertounit.h"
#include "framework/roadstations.h"

#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <text/stationtext.h>

namespace Zemko {
namespace Trelvin {

SlopeTableModel::SlopeTableModel(Pelko::Road::SlopeSectionSide side, QObject* parent)
    : TableModel(DataType::Slope, 3, 3, parent)
    , m_side(side)
{
    loadFromRoad();
}

SlopeTableModel::~SlopeTableModel() = default;

QString SlopeTableModel::readStationRange(const TextCell& startCell, const TextCell& endCell, double& start,
                                          double& end) const
{
    const Pelko::Road::StationsEquationConfiguration equations = stationsEquations();
    const RoadStations onRoad(Trelvin::instance()->road());
    const auto read = [&equations, &onRoad](const TextCell& cell, double& station) {
        station = cell.number();
        switch (cell.isStored() ? StationReading::Read : readStation(cell.text(), equations, station)) {
        case StationReading::NotANumber:
            return tr("Station should not be infinite!");
        case StationReading::NotFound:
            return tr("Given station does not exist!");
        default:
            // Slopes off the road would never be drawn or staked.
            return onRoad.covers(station) ? QString() : onRoad.offRoadText(station, &displayedStation);
        }
    };
    QString message = read(startCell, start);
    if (message.isEmpty())
        message = read(endCell, end);
    if (message.isEmpty() && start > end)
        message = tr("Start station can not be greater than end!");
    return message;
}

SlopeTableModel::EditResult SlopeTableModel::refusal(const Pelko::Road::SlopeSectionSegment& segment) const
{
    if (!segment.isValid())
        return { false, tr("The segment has no slope template!") };
    if (QString::fromStdString(segment.getName()).trimmed().isEmpty())
        return { false, tr("Slope name should not be empty!") };
    return {};
}

SlopeTableModel::EditResult SlopeTableModel::add(const Pelko::Road::SlopeSectionSegment& segment)
{
    if (const EditResult refused = refusal(segment); !refused.ok)
        return refused;
    const auto error = m_configuration.addSegment(segment);
    if (error.code != 0)
        return { false, errorText(error.code) };
    // The list keeps station order; the row the segment took is announced, not the last one.
    notifyRowInserted(error.index);
    return {};
}

SlopeTableModel::EditResult SlopeTableModel::setAt(int row, const Pelko::Road::SlopeSectionSegment& segment)
{
    if (row < 0)
        return { false, errorText(Pelko::Road::SlopeSectionTemplateConfiguration::Error::StationNotFound) };
    if (const EditResult refused = refusal(segment); !refused.ok)
        return refused;
    const auto error = m_configuration.setSegmentAt(static_cast<unsigned>(row), segment);
    if (error.code != 0)
        return { false, errorText(error.code) };
    // The segment may have moved to keep station order: every row may show another segment now.
    notifyRowsChanged(0, rows());
    return {};
}

void SlopeTableModel::removeAt(int row)
{
    if (row < 0 || row >= rows())
        return;
    m_configuration.removeAt(static_cast<unsigned>(row));
    notifyRowRemoved(row);
}

QString SlopeTableModel::errorText(int code)
{
    switch (code) {
    case 1:
        return tr("Station already exist");
    case 2:
        return tr("Station overlapped");
    case 3:
        return tr("Station not found");
    default:
        // A refusal is never shown without a reason.
        return code == 0 ? QString() : tr("The slope segment is refused (code %1)").arg(code);
    }
}

QVariant SlopeTableModel::displayData(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows())
        return QVariant();
    const Pelko::Road::SlopeSectionSegment segment
        = m_configuration.getSegmentAt(static_cast<unsigned>(index.row()));
    switch (index.column()) {
    case 0:
        return QString::fromStdString(segment.getName());
    case 1:
        return displayedStation(segment.getStart());
    case 2:
        return displayedStation(segment.getEnd());
    default:
        return QVariant();
    }
}

QVariant SlopeTableModel::columnTitle(int section) const
{
    switch (section) {
    case 0:
        return tr("Name");
    case 1:
        return tr("Begin");
    case 2:
        return tr("End");
    default:
        return QVariant();
    }
}

int SlopeTableModel::columns() const
{
    return 3;
}

int SlopeTableModel::rows() const
{
    return static_cast<int>(m_configuration.size());
}

bool SlopeTableModel::saveToRoad()
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return false;
    // The road gets a copy, so later edits stay on this page until they are applied again.
    road->getSlopeSectionConfiguration()->set(m_side, m_configuration.clone());
    return Trelvin::instance()->writeRoad();
}

void SlopeTableModel::loadFromRoad()
{
    if (const Pelko::Road::RoadSurface* road = Trelvin::instance()->road())
        m_configuration = road->getSlopeSectionConfiguration()->get(m_side).clone();
    else
        m_configuration = Pelko::Road::SlopeSectionTemplateConfiguration();
}

} // namespace Trelvin
} // namespace Zemko
