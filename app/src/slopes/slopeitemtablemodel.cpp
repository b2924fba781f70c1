#include "slopes/slopeitemtablemodel.h"

#include <road/slope.h>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::SlopeSectionElement;
using Pelko::Road::SlopeSectionTemplate;
using Pelko::Road::SlopeSectionTemplateEditable;

SlopeItemTableModel::SlopeItemTableModel(SlopeTableModel* segments, int segmentRow, QObject* parent)
    : TableModel(DataType::Slope, 3, 3, parent)
    , m_segments(segments)
    , m_side(segments ? segments->side() : Pelko::Road::SlopeSideNeutral)
{
    setSegment(segmentRow);
}

SlopeItemTableModel::~SlopeItemTableModel() = default;

void SlopeItemTableModel::setSegment(int row)
{
    m_segmentRow = row;
    m_template = row < 0 ? SlopeSectionTemplate() : templateOfSegment(row);
}

void SlopeItemTableModel::showSegment(int row)
{
    beginResetModel();
    setSegment(row);
    endResetModel();
}

bool SlopeItemTableModel::hasTemplate() const
{
    return templateOfSegment(m_segmentRow).isValid();
}

SlopeSectionTemplate SlopeItemTableModel::templateOfSegment(int) const
{
    return SlopeSectionTemplate();
}

SlopeSectionTemplateEditable SlopeItemTableModel::copyWith(int row, const SlopeSectionElement* element) const
{
    SlopeSectionTemplateEditable copy(m_template.getName(), m_template.getType());
    for (int i = 0; i < rows(); ++i) {
        if (i != row)
            copy.add(m_template.getAt(static_cast<unsigned>(i)));
        else if (element)
            copy.add(*element);
    }
    if (row == rows() && element)
        copy.add(*element);
    return copy;
}

SlopeTableModel::EditResult SlopeItemTableModel::add(const SlopeSectionElement& element)
{
    // Without a template there is nothing to add to and no row to announce.
    if (!m_template.isValid())
        return { false, tr("No slope selected!") };
    m_template = copyWith(rows(), &element);
    notifyRowInserted(rows() - 1);
    return {};
}

SlopeTableModel::EditResult SlopeItemTableModel::setAt(int row, const SlopeSectionElement& element)
{
    if (!m_template.isValid() || row < 0 || row >= rows())
        return { false, tr("No slope selected!") };
    m_template = copyWith(row, &element);
    notifyRowsChanged(row, 1);
    return {};
}

void SlopeItemTableModel::removeAt(int row)
{
    if (!m_template.isValid() || row < 0 || row >= rows())
        return;
    m_template = copyWith(row, nullptr);
    notifyRowRemoved(row);
}

QVariant SlopeItemTableModel::displayData(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows())
        return QVariant();
    const SlopeSectionElement element = m_template.getAt(static_cast<unsigned>(index.row()));
    const auto type = element.getType();
    const bool surface = type == Pelko::Road::SlopeElementSurface;
    const bool platform = type == Pelko::Road::SlopeElementPlatform;
    const QString none = tr("None");
    switch (index.column()) {
    case 0:
        return QString::fromStdString(element.getName());
    case 1:
        return surface ? lengthText(element.getHeight()) : none;
    case 2:
        return surface ? QStringLiteral("1:") + QString::number(element.getSlope().getDenominator(), 'g', 6)
                       : none;
    case 3:
        return platform ? lengthText(element.getWidth()) : none;
    case 4:
        return platform ? QString::number(element.getSlope().getPercentage(), 'g', 6) + QStringLiteral("%")
                        : none;
    case 5:
        return platform ? lengthText(element.getHeight()) : none;
    default:
        return QVariant();
    }
}

QVariant SlopeItemTableModel::columnTitle(int section) const
{
    switch (section) {
    case 0:
        return tr("Name");
    case 1:
        return tr("Slope Elevation");
    case 2:
        return tr("Slope Ratio");
    case 3:
        return tr("Platform Width");
    case 4:
        return tr("Slope");
    case 5:
        return tr("Height");
    default:
        return QVariant();
    }
}

int SlopeItemTableModel::columns() const
{
    return 6;
}

int SlopeItemTableModel::rows() const
{
    return static_cast<int>(m_template.size());
}

bool SlopeItemTableModel::saveToRoad()
{
    // The elements belong to library templates, which their own page writes.
    return true;
}

void SlopeItemTableModel::loadFromRoad()
{
    if (!m_segments)
        setSegment(-1);
}

} // namespace Trelvin
} // namespace Zemko
