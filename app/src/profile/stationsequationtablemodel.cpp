#include "profile/stationsequationtablemodel.h"

#include "document/trelvin.h"
#include "framework/metertounit.h"

#include <road/roadsurface.h>
#include <text/stationtext.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::StationsEquation;
using Pelko::Road::StationsEquationConfiguration;

namespace {

enum Column { TypeColumn, BeforeColumn, AfterColumn, DiffColumn, ColumnCount };

} // namespace

StationsEquationTableModel::StationsEquationTableModel(QObject* parent)
    : TableModel(DataType::StationsEquation, 3, 3, parent)
{
}

StationsEquationTableModel::~StationsEquationTableModel() = default;

Qt::ItemFlags StationsEquationTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags readOnly = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() == BeforeColumn || index.column() == AfterColumn)
        return readOnly | Qt::ItemIsEditable;
    return readOnly;
}

bool StationsEquationTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row();
    const int column = index.column();
    if (row < 0 || row >= rows() || (column != BeforeColumn && column != AfterColumn))
        return false;
    const QVariant current = cellValue(row, column, role);
    if (!current.isValid() || !value.isValid() || current.toString() == value.toString())
        return false;

    bool ok = false;
    const double typed = stationFromText(value.toString(), nullptr, &ok);
    if (!ok || !std::isfinite(typed))
        return false;
    const double meters = MeterToUnit::instance()->toMeters(typed);

    const StationsEquation old = equationAt(row);
    double before = old.getBefore();
    double after = old.getAfter();
    (column == BeforeColumn ? before : after) = meters;
    // The same station typed another way ("1200" for "K1+200.000") is no change.
    if (before == old.getBefore() && after == old.getAfter())
        return false;
    return setEquationAt(row, StationsEquation(before, after)) == StationsEquationConfiguration::Success;
}

QString StationsEquationTableModel::stationText(double meters) const
{
    return stationToText(MeterToUnit::instance()->fromMeters(meters), false);
}

QString StationsEquationTableModel::cellText(int row, int column) const
{
    const StationsEquation equation = equationAt(row);
    switch (column) {
    case TypeColumn:
        return equation.getEquationType() == StationsEquation::Long ? tr("Long") : tr("Short");
    case BeforeColumn:
        return stationText(equation.getBefore());
    case AfterColumn:
        return stationText(equation.getAfter());
    case DiffColumn:
        return lengthText(equation.getDifference());
    default:
        return QString();
    }
}

QVariant StationsEquationTableModel::cellValue(int row, int column, int role) const
{
    if (role == Qt::DisplayRole) {
        if (column == DiffColumn)
            return lengthText(std::fabs(equationAt(row).getDifference()));
        if (column >= TypeColumn && column <= AfterColumn)
            return cellText(row, column);
        return QVariant();
    }
    if (role == Qt::EditRole && (column == BeforeColumn || column == AfterColumn))
        return cellText(row, column);
    return QVariant();
}

StationsEquation StationsEquationTableModel::equationAt(int row) const
{
    if (row < 0)
        return StationsEquation(0.0, 0.0);
    return m_working.getEquationAt(unsigned(row));
}

int StationsEquationTableModel::appendEquation(const StationsEquation& equation)
{
    const StationsEquationConfiguration::Result result = m_working.appendEquation(equation);
    if (result)
        notifyRowInserted(rows() - 1);
    return result.getCode();
}

void StationsEquationTableModel::removeEquation(int row)
{
    if (row < 0 || row >= rows())
        return;
    // Announced around the change, so that views never ask for a row that is already gone.
    beginRemoveRows(QModelIndex(), row, row);
    m_working.removeEquation(unsigned(row));
    endRemoveRows();
}

int StationsEquationTableModel::setEquationAt(int row, const StationsEquation& equation)
{
    if (row < 0)
        return StationsEquationConfiguration::OutOfRange;
    const StationsEquationConfiguration::Result result = m_working.setEquation(unsigned(row), equation);
    if (result)
        notifyRowsChanged(row, 1);
    return result.getCode();
}

QVariant StationsEquationTableModel::displayData(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows())
        return QVariant();
    return cellText(index.row(), index.column());
}

QVariant StationsEquationTableModel::editData(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows())
        return QVariant();
    return cellValue(index.row(), index.column(), Qt::EditRole);
}

QVariant StationsEquationTableModel::columnTitle(int section) const
{
    switch (section) {
    case TypeColumn:
        return tr("Type");
    case BeforeColumn:
        return tr("Before");
    case AfterColumn:
        return tr("After");
    case DiffColumn:
        return tr("Diff");
    default:
        return QVariant();
    }
}

int StationsEquationTableModel::columns() const
{
    return ColumnCount;
}

int StationsEquationTableModel::rows() const
{
    return int(m_working.getEquationSize());
}

bool StationsEquationTableModel::saveToRoad()
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return false;
    // The road gets its own list: later edits in the table reach it only through the next save.
    road->setStationsEquations(m_working.clone());
    return Trelvin::instance()->writeRoad();
}

void StationsEquationTableModel::loadFromRoad()
{
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    m_working = road ? road->getStationsEquations().clone() : StationsEquationConfiguration();
}

} // namespace Trelvin
} // namespace Zemko
