#include "section/standardsectiontablemodel.h"

#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "framework/metertounit.h"
#include "section/sectionnumbers.h"
#include "section/sectionsideevents.h"

#include <road/roadsurface.h>
#include <road/standardsection.h>

namespace Zemko {
namespace Trelvin {

StandardSectionTableModel::StandardSectionTableModel(QObject* parent, int side)
    : TableModel(DataType::StandardSection, 3, 3, parent)
    , m_side(side)
{
}

bool StandardSectionTableModel::hasRow(int row) const
{
    return row >= 0 && unsigned(row) < m_configuration.size();
}

QString StandardSectionTableModel::cellText(int row, int column, bool decorated) const
{
    if (!hasRow(row))
        return QString();
    const Pelko::Road::CrossSectionElement element = m_configuration.getAt(unsigned(row));
    switch (column) {
    case 0:
        return QString::fromStdString(element.getName());
    case 1:
        return lengthText(element.getWidth());
    case 2:
        return decorated ? percentText(element.getSlopeInPercentage())
                         : plainPercentText(element.getSlopeInPercentage());
    case 3:
        return lengthText(element.getDeltaElevationToPrevious());
    default:
        return QString();
    }
}

QString StandardSectionTableModel::editText(int row, int column) const
{
    if (!hasRow(row))
        return QString();
    const Pelko::Road::CrossSectionElement element = m_configuration.getAt(unsigned(row));
    const MeterToUnit* unit = MeterToUnit::instance();
    switch (column) {
    case 0:
        return QString::fromStdString(element.getName());
    case 1:
        return numberEditText(unit->fromMeters(element.getWidth()));
    case 2:
        return numberEditText(element.getSlopeInPercentage());
    case 3:
        return numberEditText(unit->fromMeters(element.getDeltaElevationToPrevious()));
    default:
        return QString();
    }
}

void StandardSectionTableModel::append(const Pelko::Road::CrossSectionElement& element)
{
    const unsigned before = m_configuration.size();
    const unsigned size = m_configuration.append(element);
    if (size > before)
        notifyRowInserted(int(size) - 1);
}

void StandardSectionTableModel::removeAt(int row)
{
    if (row >= 0 && m_configuration.removeAt(unsigned(row)))
        notifyRowRemoved(row);
}

void StandardSectionTableModel::setAt(int row, const Pelko::Road::CrossSectionElement& element)
{
    if (row >= 0 && m_configuration.setAt(unsigned(row), element))
        notifyRowsChanged(row, 1);
}

void StandardSectionTableModel::mirrorFromOtherSide()
{
    const bool open = Trelvin::instance()->road() != nullptr;
    beginResetModel();
    if (open) {
        CrossSectionEditCache* cache = CrossSectionEditCache::instance();
        m_configuration = cache->configuration(1 - m_side).mirror();
        cache->setConfiguration(m_side, m_configuration);
    } else {
        m_configuration = Pelko::Road::CrossSectionConfiguration();
    }
    endResetModel();
    if (!open)
        return;
    // The mirrored side exists only here and in the cache until it is written: keep it marked, or it
    // would be lost on close without a prompt.
    setUnwrittenEdits(true);
    emit SectionSideEvents::instance()->sideReplaced(m_side);
}

QVariant StandardSectionTableModel::displayData(const QModelIndex& index) const
{
    if (!hasRow(index.row()))
        return QVariant();
    return cellText(index.row(), index.column(), true);
}

QVariant StandardSectionTableModel::columnTitle(int section) const
{
    switch (section) {
    case 0:
        return tr("Name");
    case 1:
        return tr("Width");
    case 2:
        return tr("Slope");
    case 3:
        return tr("Height Diff");
    default:
        return QVariant();
    }
}

int StandardSectionTableModel::columns() const
{
    return 4;
}

int StandardSectionTableModel::rows() const
{
    return int(m_configuration.size());
}

bool StandardSectionTableModel::saveToRoad()
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return false;
    road->getStandardSection()->setCrossSectionConfiguration(
        Pelko::Road::StandardSection::SectionSide(m_side), m_configuration);
    return Trelvin::instance()->writeRoad();
}

void StandardSectionTableModel::loadFromRoad()
{
    m_configuration = Trelvin::instance()->road() ? CrossSectionEditCache::instance()->configuration(m_side)
                                                  : Pelko::Road::CrossSectionConfiguration();
}

} // namespace Trelvin
} // namespace Zemko
