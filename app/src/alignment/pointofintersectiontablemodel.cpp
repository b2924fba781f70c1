#include "alignment/pointofintersectiontablemodel.h"

#include "alignment/typedvalues.h"

#include "document/trelvin.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"

#include <road/horizontalalignment.h>
#include <road/roadsurface.h>
#include <text/stationtext.h>

#include <QBrush>

#include <algorithm>
#include <cmath>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::PointOfIntersection;
using Pelko::Road::PointOfIntersectionConfiguration;

namespace {

// A spiral length: empty is none; anything else must be a length that is not negative.
bool readSpiralLength(const QString& text, double& meters)
{
    meters = 0.0;
    if (text.trimmed().isEmpty())
        return true;
    return readLength(text, meters) && meters >= 0.0;
}

// An outer spiral radius: empty, 0, the infinity sign or an infinite number is the straight (0).
bool readOuterRadius(const QString& text, double& meters)
{
    meters = 0.0;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed == QString(QChar(0x221E)))
        return true;
    bool ok = false;
    const double value = numberLocale().toDouble(trimmed, &ok);
    if (!ok || std::isnan(value))
        return false;
    if (std::isfinite(value))
        meters = MeterToUnit::instance()->toMeters(value);
    return true;
}

bool isCurve(int kind)
{
    return kind >= 1 && kind <= 3;
}

bool isSpiralCurve(int kind)
{
    return kind == 2 || kind == 3;
}

} // namespace

PointOfIntersectionTableModel::PointOfIntersectionTableModel(QObject* parent)
    : TextRowListModel(DataType::PointOfIntersection, 3, 3, parent)
{
    // A table made while a road is open shows it at once.
    loadFromRoad();
}

PointOfIntersectionTableModel::~PointOfIntersectionTableModel() = default;

Qt::ItemFlags PointOfIntersectionTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags readOnly = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const int column = index.column();
    if ((column >= NorthColumn && column <= EndRadiusColumn) || (column == StationColumn && index.row() == 0))
        return readOnly | Qt::ItemIsEditable;
    return readOnly;
}

bool PointOfIntersectionTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    switchToTextRows();
    if (role != Qt::EditRole || index.row() >= m_rows.size())
        return false;
    const int column = index.column();
    if (column == StationColumn && index.row() != 0)
        return false;
    PointOfIntersectionEdit record = m_rows.at(index.row());
    if (!setTextOf(record, column, value.toString()))
        return false;
    m_rows.set(index.row(), record);
    // A typed cell is an edit: the document must know it before a save or an exit.
    emit dataChanged(index, index);
    return true;
}

QVariant PointOfIntersectionTableModel::cellValue(int column, int row, int role) const
{
    if (role == Qt::BackgroundRole) {
        if (column >= CurveLengthColumn || (column == StationColumn && row != 0))
            return QBrush(Qt::lightGray, Qt::SolidPattern);
        return QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    if (isTextRowMode()) {
        if (row < 0 || row >= m_rows.size())
            return QVariant();
        return textOf(m_rows.at(row), column);
    }
    if (row < 0 || row >= rows())
        return QString();
    return roadCell(column, row, role);
}

QVariant PointOfIntersectionTableModel::roadCell(int column, int row, int role) const
{
    const PointOfIntersection pi = m_working.at(unsigned(row));
    const int kind = pi.getCurveType();
    const bool display = role == Qt::DisplayRole;
    const MeterToUnit* unit = MeterToUnit::instance();
    // Edit values are plain numbers in the display unit, so an editor starts from the full value.
    auto length = [&](double meters) -> QVariant {
        return display ? QVariant(lengthText(meters)) : QVariant(unit->fromMeters(meters));
    };
    auto radius = [&](double meters) -> QVariant {
        if (display)
            return radiusText(meters);
        if (std::isinf(meters) || std::fabs(meters) < 1e-5)
            return QString();
        return unit->fromMeters(meters);
    };

    switch (column) {
    case StationColumn:
        return displayedStation(pi.getPoiStation());
    case NorthColumn:
        return display ? QVariant(coordinateText(pi.getPointOfIntersection().getX()))
                       : QVariant(unit->fromMeters(pi.getPointOfIntersection().getX()));
    case EastColumn:
        return display ? QVariant(coordinateText(pi.getPointOfIntersection().getY()))
                       : QVariant(unit->fromMeters(pi.getPointOfIntersection().getY()));
    case InSpiralColumn:
        return isSpiralCurve(kind) ? length(pi.getInSpiralLength()) : QString();
    case RadiusColumn:
        return isCurve(kind) ? radius(pi.getRadius()) : QString();
    case OutSpiralColumn:
        return isSpiralCurve(kind) ? length(pi.getOutSpiralLength()) : QString();
    case StartRadiusColumn:
        return isSpiralCurve(kind) ? radius(pi.getStartRadius()) : QString();
    case EndRadiusColumn:
        return isSpiralCurve(kind) ? radius(pi.getEndRadius()) : QString();
    case CurveLengthColumn:
        if (!display || !isCurve(kind))
            return QString();
        return lengthText(pi.getArcLength() + pi.getInSpiralLength() + pi.getOutSpiralLength());
    case InTangentColumn:
        return display && isCurve(kind) ? lengthText(pi.getInTangentLength()) : QString();
    case OutTangentColumn:
        return display && isCurve(kind) ? lengthText(pi.getOutTangetLength()) : QString();
    default:
        return QString();
    }
}

QString PointOfIntersectionTableModel::textOf(const PointOfIntersectionEdit& record, int column)
{
    switch (column) {
    case StationColumn:
        return record.stationText();
    case NorthColumn:
        return record.northText();
    case EastColumn:
        return record.eastText();
    case InSpiralColumn:
        return record.inSpiralLengthText();
    case RadiusColumn:
        return record.radiusText();
    case OutSpiralColumn:
        return record.outSpiralLengthText();
    case StartRadiusColumn:
        return record.startRadiusText();
    case EndRadiusColumn:
        return record.endRadiusText();
    case CurveLengthColumn:
        return record.curveLengthText();
    case InTangentColumn:
        return record.inTangentLengthText();
    case OutTangentColumn:
        return record.outTangentLengthText();
    default:
        return QString();
    }
}

bool PointOfIntersectionTableModel::setTextOf(PointOfIntersectionEdit& record, int column,
                                              const QString& text)
{
    switch (column) {
    case StationColumn:
        record.setStationText(text);
        return true;
    case NorthColumn:
        record.setNorthText(text);
        return true;
    case EastColumn:
        record.setEastText(text);
        return true;
    case InSpiralColumn:
        record.setInSpiralLengthText(text);
        return true;
    case RadiusColumn:
        record.setRadiusText(text);
        return true;
    case OutSpiralColumn:
        record.setOutSpiralLengthText(text);
        return true;
    case StartRadiusColumn:
        record.setStartRadiusText(text);
        return true;
    case EndRadiusColumn:
        record.setEndRadiusText(text);
        return true;
    default:
        return false;
    }
}

PointOfIntersectionConfiguration PointOfIntersectionTableModel::pointOfIntersections() const
{
    return m_working;
}

void PointOfIntersectionTableModel::makeTextRows()
{
    const Pelko::Road::StationsEquationConfiguration eq = stationsEquations();
    m_rows.clear();
    for (unsigned i = 0; i < m_working.size(); ++i) {
        const PointOfIntersection pi = m_working.at(i);
        PointOfIntersectionEdit record(pi);
        const Pelko::Road::Station station = eq.getStationFromContinuous(pi.getPoiStation());
        if (station.isValid())
            record.setStation(station.getStation(), station.isOverlapped());
        m_rows.append(record);
    }
}

void PointOfIntersectionTableModel::appendElements(int count)
{
    if (count < 1)
        return;
    switchToTextRows();
    beginInsertRows(QModelIndex(), rows(), rows() + count - 1);
    for (int i = 0; i < count; ++i) {
        PointOfIntersectionEdit record;
        if (m_rows.size() > 0)
            record.setCurveType(2);
        m_rows.append(record);
    }
    endInsertRows();
}

void PointOfIntersectionTableModel::insertElements(int row, int count)
{
    if (count < 1 || row < 0)
        return;
    row = std::min(row, rows());
    beginInsertRows(QModelIndex(), row, row + count - 1);
    for (int i = 0; i < count; ++i) {
        if (isTextRowMode())
            m_rows.insert(row, PointOfIntersectionEdit());
        else
            m_working.insertBefore(
                unsigned(row),
                createPointOfIntersection(2, Pelko::Corvex::Point(0.0, 0.0), 100.0, 0.0, 0.0, 50.0, 50.0, 0.0)
                    .first);
    }
    endInsertRows();
}

void PointOfIntersectionTableModel::appendPointOfIntersection(const PointOfIntersection& pi)
{
    insertItem(rows(), pi);
}

void PointOfIntersectionTableModel::insertPointOfIntersection(int row, const PointOfIntersection& pi)
{
    insertItem(row, pi);
}

void PointOfIntersectionTableModel::setPointOfIntersection(int row, const PointOfIntersection& pi)
{
    replaceItem(row, pi);
}

QList<QStringList> PointOfIntersectionTableModel::copyCells(int top, int left, int rowCount,
                                                            int columnCount) const
{
    // The station column is never copied.
    return left < NorthColumn ? QList<QStringList>()
                              : TextRowTableModel::copyCells(top, left, rowCount, columnCount);
}

bool PointOfIntersectionTableModel::pastesAt(int column) const
{
    return column >= NorthColumn && column <= OutSpiralColumn;
}

void PointOfIntersectionTableModel::pasteLine(int row, int column, const QStringList& cells)
{
    PointOfIntersectionEdit record = m_rows.at(row);
    for (int j = 0; j < cells.size() && column + j <= EndRadiusColumn; ++j)
        setTextOf(record, column + j, cells.at(j));
    m_rows.set(row, record);
}

// Numbers are stored beside the typed texts, which stay as they are.
bool PointOfIntersectionTableModel::checkRows(int& row, int& column)
{
    row = -1;
    column = -1;
    if (!isTextRowMode() || m_rows.size() == 0)
        return true;

    auto fail = [&](int r, int c) {
        row = r;
        column = c;
        return false;
    };

    const int count = m_rows.size();
    for (int i = 0; i < count; ++i) {
        PointOfIntersectionEdit record = m_rows.at(i);
        if (i == 0) {
            double station = 0.0;
            if (readStation(record.stationText(), stationsEquations(), station) != StationReading::Read)
                return fail(0, StationColumn);
            record.setStationValue(station);
        }

        double value = 0.0;
        if (!readLength(record.northText(), value))
            return fail(i, NorthColumn);
        record.setNorthValue(value);
        if (!readLength(record.eastText(), value))
            return fail(i, EastColumn);
        record.setEastValue(value);

        if (i == 0 || i == count - 1) {
            m_rows.set(i, record);
            continue;
        }

        double radius = 0.0;
        if (!readLength(record.radiusText(), radius) || radius <= 1.0)
            return fail(i, RadiusColumn);
        record.setRadiusValue(radius);

        double inLength = 0.0;
        if (!readSpiralLength(record.inSpiralLengthText(), inLength))
            return fail(i, InSpiralColumn);
        double outLength = 0.0;
        if (!readSpiralLength(record.outSpiralLengthText(), outLength))
            return fail(i, OutSpiralColumn);
        record.setInSpiralLengthValue(inLength);
        record.setOutSpiralLengthValue(outLength);

        double startRadius = 0.0;
        if (!readOuterRadius(record.startRadiusText(), startRadius)
            || (startRadius != 0.0 && std::fabs(startRadius - radius) < 0.001))
            return fail(i, StartRadiusColumn);
        double endRadius = 0.0;
        if (!readOuterRadius(record.endRadiusText(), endRadius)
            || (endRadius != 0.0 && std::fabs(endRadius - radius) < 0.001))
            return fail(i, EndRadiusColumn);
        record.setStartRadiusValue(startRadius);
        record.setEndRadiusValue(endRadius);

        m_rows.set(i, record);
    }
    return true;
}

int PointOfIntersectionTableModel::applyRows(int& code)
{
    code = 0;
    if (!isTextRowMode())
        return -1;
    const int count = m_rows.size();
    return buildApart(m_working, count, [&](PointOfIntersectionConfiguration& fresh, int i) {
        const PointOfIntersectionEdit record = m_rows.at(i);
        const int kind = i == 0 || i == count - 1 ? 0 : 2;
        const Creation created = createPointOfIntersection(
            kind, Pelko::Corvex::Point(record.north(), record.east()), record.radius(), record.startRadius(),
            record.endRadius(), record.inSpiralLength(), record.outSpiralLength(), record.station());
        code = created.second;
        if (code != 0)
            return false;
        fresh.append(created.first);
        return true;
    });
}

PointOfIntersectionTableModel::Creation PointOfIntersectionTableModel::createPointOfIntersection(
    int kind, const Pelko::Corvex::Point& point, double radius, double startRadius, double endRadius,
    double inSpiralLength, double outSpiralLength, double station)
{
    switch (kind) {
    case 0:
        return PointOfIntersection::createPoint(point, station);
    case 1:
        return PointOfIntersection::createArc(point, radius);
    case 2:
        return PointOfIntersection::createTransArcTrans(point, startRadius, radius, endRadius, inSpiralLength,
                                                        outSpiralLength);
    case 3:
        return PointOfIntersection::createTransTrans(point, startRadius, radius, endRadius, inSpiralLength,
                                                     outSpiralLength);
    default:
        return { PointOfIntersection::createArc(point, 0.0).first, PointOfIntersection::ErrorCode(-1) };
    }
}

QVariant PointOfIntersectionTableModel::columnTitle(int section) const
{
    switch (section) {
    case StationColumn:
        return tr("Station");
    case NorthColumn:
        return tr("N");
    case EastColumn:
        return tr("E");
    case InSpiralColumn:
        return tr("Spiral Length(in)");
    case RadiusColumn:
        return tr("Radius");
    case OutSpiralColumn:
        return tr("Spiral Length(out)");
    case StartRadiusColumn:
        return tr("Begin Radius");
    case EndRadiusColumn:
        return tr("End Radius");
    case CurveLengthColumn:
        return tr("Curve Length");
    case InTangentColumn:
        return tr("Tangent Length(in)");
    case OutTangentColumn:
        return tr("Tangent Length(out)");
    default:
        return QVariant();
    }
}

int PointOfIntersectionTableModel::columns() const
{
    return ColumnCount;
}

bool PointOfIntersectionTableModel::buildFromTextRows()
{
    int row = -1;
    int column = -1;
    int code = 0;
    return checkRows(row, column) && applyRows(code) < 0;
}

void PointOfIntersectionTableModel::writeIntoRoad(Pelko::Road::RoadSurface& road)
{
    // The road gets its own copy, so later edits of the table do not reach it before they are applied.
    road.getHorizontalAligment()->setPointOfIntersections(m_working.clone());
    Trelvin::instance()->notifyDataChanged(DataType::HorizontalElement);
}

void PointOfIntersectionTableModel::loadWorkingCopy()
{
    m_rows.clear();
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    m_working = road ? road->getHorizontalAligment()->getPointOfIntersections().clone()
                     : PointOfIntersectionConfiguration();
}

} // namespace Trelvin
} // namespace Zemko
