#include "structures/structuralobjecttablemodel.h"

#include "alignment/typedvalues.h"
#include "document/trelvin.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"
#include "framework/valueformater.h"

#include <road/roadsurface.h>
#include <text/angletext.h>
#include <text/stationtext.h>

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::StructureElement;

StructuralObjectTableModel::StructuralObjectTableModel(QObject* parent)
    : BlockTableModel(DataType::StructuralObject, 3, 3, parent)
{
    // A table made while a road is open shows it at once.
    loadFromRoad();
}

StructuralObjectTableModel::~StructuralObjectTableModel() = default;

Qt::ItemFlags StructuralObjectTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

QVariant StructuralObjectTableModel::cellValue(int row, int column, int mode) const
{
    if (row < 0 || row >= rows() || column < 0 || column >= ColumnCount)
        return QVariant();
    if (mode != Qt::DisplayRole && mode != Qt::EditRole)
        return QVariant();
    const bool edit = mode == Qt::EditRole;
    const StructureElement structure = m_working.at(unsigned(row));
    const MeterToUnit* unit = MeterToUnit::instance();
    auto length = [&](double meters) -> QVariant {
        return edit ? QVariant(unit->fromMeters(meters)) : QVariant(lengthText(meters));
    };

    switch (column) {
    case MileageColumn:
        return displayedStation(structure.getStation());
    case TypeColumn:
        return edit ? QVariant(int(structure.getElementType()))
                    : QVariant(ValueFormater::structureTypeText(structure.getElementType()));
    case BuildTypeColumn:
        return edit ? QVariant(int(structure.getBuildType()))
                    : QVariant(ValueFormater::buildTypeText(structure.getBuildType()));
    case AngleColumn: {
        const Pelko::Corvex::Angle angle = structure.getAngle();
        if (!angle.isValid() || !std::isfinite(angle.toDegree()))
            return QString();
        if (!edit)
            return angleText(angle.toDegree() * 3600.0);
        // Rounded, so that the editor shows 90 and not 90.000000000036.
        return std::round(degreesToDms(normalizeDegrees(angle.toDegree())) * 1e10) / 1e10;
    }
    case ForwardWidthColumn:
        return length(structure.getForwardWidth());
    case BackwardWidthColumn:
        return length(structure.getBackwardWidth());
    case LeftWidthColumn:
        return length(structure.getLeftWidth());
    case RightWidthColumn:
        return length(structure.getRightWidth());
    case CenterHeightColumn:
        return length(structure.getCenterHeight());
    default: {
        const double percent = structure.getCrossSlope() * 100.0;
        return edit ? QVariant(percent) : QVariant(QString::number(percent, 'f', 2));
    }
    }
}

bool StructuralObjectTableModel::writeCell(StructureElement& structure, int column, const QString& text) const
{
    if (column == MileageColumn) {
        double station = 0.0;
        return readStation(text, stationsEquations(), station) == StationReading::Read
            && structure.setStation(station);
    }
    if (column == AngleColumn) {
        double degrees = 0.0;
        return readAngle(text, degrees) && structure.setAngle(Pelko::Corvex::Angle::fromDegree(degrees));
    }
    bool ok = false;
    const double value = numberLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double meters = MeterToUnit::instance()->toMeters(value);
    switch (column) {
    case TypeColumn:
        return value == std::trunc(value)
            && structure.setElementType(Pelko::Road::StructureElementType(int(value)));
    case BuildTypeColumn:
        return value == std::trunc(value)
            && structure.setBuildType(Pelko::Road::StructureBuildType(int(value)));
    case ForwardWidthColumn:
        return structure.setForwardWidth(meters);
    case BackwardWidthColumn:
        return structure.setBackwardWidth(meters);
    case LeftWidthColumn:
        return structure.setLeftWidth(meters);
    case RightWidthColumn:
        return structure.setRightWidth(meters);
    case CenterHeightColumn:
        return structure.setCenterHeight(meters);
    case SlopeColumn:
        return structure.setCrossSlope(value / 100.0);
    default:
        return false;
    }
}

bool StructuralObjectTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rows() || index.column() >= ColumnCount)
        return false;
    StructureElement structure = m_working.at(unsigned(index.row()));
    // Numbers from a number editor are written in full, not through a rounded text.
    const QString text
        = value.type() == QVariant::Double ? QString::number(value.toDouble(), 'g', 17) : value.toString();
    if (!writeCell(structure, index.column(), text))
        return false;
    // An edited cell is an edit the document must know before a save or an exit.
    emit dataChanged(index, index);
    return true;
}

void StructuralObjectTableModel::appendElements(int count)
{
    if (count < 1)
        return;
    beginInsertRows(QModelIndex(), rows(), rows() + count - 1);
    for (int i = 0; i < count; ++i)
        m_working.append(StructureElement());
    endInsertRows();
}

void StructuralObjectTableModel::insertElements(int row, int count)
{
    if (count < 1 || row < 0)
        return;
    row = std::min(row, rows());
    beginInsertRows(QModelIndex(), row, row + count - 1);
    for (int i = 0; i < count; ++i)
        m_working.insertBefore(unsigned(row), StructureElement());
    endInsertRows();
}

void StructuralObjectTableModel::removeRowAt(int row)
{
    m_working.removeAt(unsigned(row));
}

QList<QStringList> StructuralObjectTableModel::copyCells(int top, int left, int rowCount,
                                                         int columnCount) const
{
    QList<QStringList> block = BlockTableModel::copyCells(top, left, rowCount, columnCount);
    // The clipboard splits cells at blanks: "Circular Culvert" would push every later cell of its row
    // one column on when pasted back.
    const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (QStringList& cells : block)
        for (QString& cell : cells)
            cell.replace(blanks, QStringLiteral("_"));
    return block;
}

bool StructuralObjectTableModel::pastesAt(int column) const
{
    return column >= 0 && column < ColumnCount && column != TypeColumn && column != BuildTypeColumn;
}

void StructuralObjectTableModel::pasteLine(int row, int column, const QStringList& cells)
{
    StructureElement structure = m_working.at(unsigned(row));
    for (int j = 0; j < cells.size() && column + j < ColumnCount; ++j) {
        const int target = column + j;
        if (target != TypeColumn && target != BuildTypeColumn)
            writeCell(structure, target, cells.at(j));
    }
}

QVariant StructuralObjectTableModel::displayData(const QModelIndex& index) const
{
    return index.isValid() ? cellValue(index.row(), index.column(), Qt::DisplayRole) : QVariant();
}

QVariant StructuralObjectTableModel::editData(const QModelIndex& index) const
{
    return index.isValid() ? cellValue(index.row(), index.column(), Qt::EditRole) : QVariant();
}

QVariant StructuralObjectTableModel::columnTitle(int section) const
{
    switch (section) {
    case MileageColumn:
        return tr("Mileage");
    case TypeColumn:
        return tr("Type");
    case BuildTypeColumn:
        return tr("Build Type");
    case AngleColumn:
        return tr("Intersection Angle");
    case ForwardWidthColumn:
        return tr("Forward Width");
    case BackwardWidthColumn:
        return tr("Backward Width");
    case LeftWidthColumn:
        return tr("Left Length");
    case RightWidthColumn:
        return tr("Right Length");
    case CenterHeightColumn:
        return tr("Center Height");
    case SlopeColumn:
        return tr("Slope(%)");
    default:
        return QVariant();
    }
}

int StructuralObjectTableModel::columns() const
{
    return ColumnCount;
}

int StructuralObjectTableModel::rows() const
{
    return int(m_working.size());
}

void StructuralObjectTableModel::writeIntoRoad(Pelko::Road::RoadSurface& road)
{
    // The road gets its own copy: later edits of the table reach it only when they are applied.
    road.setStructures(m_working.clone());
    // Only the plans change; the alignment tables keep what is typed in them.
    Trelvin::instance()->notifyDataChanged(DataType::StructuralObject);
}

void StructuralObjectTableModel::loadFromRoad()
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    m_working = road ? road->getStructures().clone() : Pelko::Road::StructureElementConfiguration();
}

} // namespace Trelvin
} // namespace Zemko
