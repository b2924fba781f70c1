#include "section/superelevationwideningtablemodel.h"

#include "document/trelvin.h"
#include "framework/numberlocale.h"
#include "section/sectionnumbers.h"

#include <road/roadsurface.h>
#include <road/station.h>
#include <text/stationtext.h>

namespace Zemko {
namespace Trelvin {

SuperelevationWideningTableModel::SuperelevationWideningTableModel(
    DataType::Categories category, QObject* parent,
    const Pelko::Road::CrossSectionElementConfiguration& element)
    : TableModel(category, 3, 3, parent)
    , m_element(element)
{
}

QString SuperelevationWideningTableModel::stationText(double station)
{
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return QString();
    const Pelko::Road::Station shown = road->getStationsEquations().getStationFromContinuous(station);
    return stationToText(shown.getStation(), shown.isOverlapped());
}

QString SuperelevationWideningTableModel::stationEditText(double station)
{
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return QString();
    const Pelko::Road::Station shown = road->getStationsEquations().getStationFromContinuous(station);
    const QString text = stationToText(shown.getStation(), shown.isOverlapped());
    if (text.isEmpty() || stationFromText(text) == shown.getStation())
        return text;
    QString digits = numberLocale().toString(shown.getStation(), 'f', 9);
    while (digits.endsWith(QLatin1Char('0')) && digits.indexOf(QLatin1Char('.')) < digits.size() - 4)
        digits.chop(1);
    return normalizeStationText(digits) + (shown.isOverlapped() ? QStringLiteral("A") : QString());
}

bool SuperelevationWideningTableModel::saveToRoad()
{
    return true;
}

void SuperelevationWideningTableModel::loadFromRoad() { }

int SuperelevationWideningTableModel::announceAdded(bool added, double station)
{
    if (!added)
        return -1;
    // The list stays sorted: the new point follows every point of a lower station.
    int row = 0;
    while (row < rows() && stationAt(row) < station)
        ++row;
    notifyRowInserted(row);
    return 0;
}

int SuperelevationWideningTableModel::announceReplaced(
    int row, const Pelko::Road::CrossSectionElementConfiguration::Result& result)
{
    if (result.code == Pelko::Road::CrossSectionElementConfiguration::Success)
        notifyRowsChanged(row, 1);
    return int(result.code);
}

SuperelevationPointTableModel::SuperelevationPointTableModel(
    DataType::Categories category, QObject* parent,
    const Pelko::Road::CrossSectionElementConfiguration& element)
    : PointTableModel(category, parent, element)
{
}

QString SuperelevationPointTableModel::methodText(int method)
{
    return method == Pelko::Road::SuperelevationCubicParabola ? tr("Cubic Parabola Curve") : tr("Linear");
}

QString SuperelevationPointTableModel::cellText(int row, int column, bool decorated) const
{
    if (!hasRow(row))
        return QString();
    const Pelko::Road::SuperelevationPoint point = pointAt(row);
    switch (column) {
    case 0:
        return methodText(point.getMethod());
    case 1:
        return stationText(point.getStation());
    case 2:
        return decorated ? percentText(point.getSlope()) : plainPercentText(point.getSlope());
    default:
        return QString();
    }
}

QVariant SuperelevationPointTableModel::displayData(const QModelIndex& index) const
{
    if (!hasRow(index.row()))
        return QVariant();
    return cellText(index.row(), index.column(), true);
}

QVariant SuperelevationPointTableModel::columnTitle(int section) const
{
    switch (section) {
    case 0:
        return tr("Vary Type");
    case 1:
        return tr("Station");
    case 2:
        return tr("Slope");
    default:
        return QVariant();
    }
}

WideningPointTableModel::WideningPointTableModel(DataType::Categories category, QObject* parent,
                                                 const Pelko::Road::CrossSectionElementConfiguration& element)
    : PointTableModel(category, parent, element)
{
}

QString WideningPointTableModel::methodText(int method)
{
    switch (method) {
    case Pelko::Road::WideningLinear:
        return tr("Linear");
    case Pelko::Road::WideningCubicParabola:
        return tr("Cubic Parabola Curve");
    case Pelko::Road::WideningBiquadraticParabola:
        return tr("Biquadratic Parabola");
    default:
        return QString();
    }
}

QString WideningPointTableModel::cellText(int row, int column) const
{
    if (!hasRow(row))
        return QString();
    const Pelko::Road::WideningPoint point = pointAt(row);
    switch (column) {
    case 0:
        return methodText(point.getMethod());
    case 1:
        return stationText(point.getStation());
    case 2:
        return lengthText(point.getWidth());
    default:
        return QString();
    }
}

QVariant WideningPointTableModel::displayData(const QModelIndex& index) const
{
    if (!hasRow(index.row()))
        return QVariant();
    return cellText(index.row(), index.column());
}

QVariant WideningPointTableModel::columnTitle(int section) const
{
    switch (section) {
    case 0:
        return tr("Vary Type");
    case 1:
        return tr("Station");
    case 2:
        return tr("Width");
    default:
        return QVariant();
    }
}

} // namespace Trelvin
} // namespace Zemko
