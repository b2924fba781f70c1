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

// The typed cells of a row are numbered as the columns they show in.
static_assert(
    int(PointOfIntersectionEdit::Station) == int(PointOfIntersectionTableModel::StationColumn)
        && int(PointOfIntersectionEdit::North) == int(PointOfIntersectionTableModel::NorthColumn)
        && int(PointOfIntersectionEdit::East) == int(PointOfIntersectionTableModel::EastColumn)
        && int(PointOfIntersectionEdit::InSpiralLength) == int(PointOfIntersectionTableModel::InSpiralColumn)
        && int(PointOfIntersectionEdit::Radius) == int(PointOfIntersectionTableModel::RadiusColumn)
        && int(PointOfIntersectionEdit::OutSpiralLength)
            == int(PointOfIntersectionTableModel::OutSpiralColumn)
        && int(PointOfIntersectionEdit::StartRadius) == int(PointOfIntersectionTableModel::StartRadiusColumn)
        && int(PointOfIntersectionEdit::EndRadius) == int(PointOfIntersectionTableModel::EndRadiusColumn),
    "PI cells and columns");

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
    case CurveLengthColumn:
        return record.curveLengthText();
    case InTangentColumn:
        return record.inTangentLengthText();
    case OutTangentColumn:
        return record.outTangentLengthText();
    default:
        // The typed cells are numbered as the columns.
        return record.text(column);
    }
}

bool PointOfIntersectionTableModel::setTextOf(PointOfIntersectionEdit& record, int column,
                                              const QString& text)
{
    if (column < StationColumn || column > EndRadiusColumn)
        return false;
    record.cell(column).type(text);
    return true;
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
            record.cell(PointOfIntersectionEdit::Station)
                .setShownText(stationToText(MeterToUnit::instance()->fromMeters(station.getStation()),
                                            station.isOverlapped()));
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

// Only typed cells are read; the numbers are stored beside their texts, which stay as typed.
bool PointOfIntersectionTableModel::checkRows(int& row, int& column)
{
    row = -1;
    column = -1;
    if (!isTextRowMode() || m_rows.size() == 0)
        return true;

    const Pelko::Road::StationsEquationConfiguration equations = stationsEquations();
    const auto station = [&equations](const QString& text, double& continuous) {
        return readStation(text, equations, continuous) == StationReading::Read;
    };
    // The cell read into its number; false when its text does not read.
    const auto read = [](PointOfIntersectionEdit& record, int cell, auto reader) {
        double value = 0.0;
        if (!record.cell(cell).read(reader, value))
            return false;
        record.cell(cell).setNumber(value);
        return true;
    };
    const auto differs
        = [](double outer, double radius) { return outer == 0.0 || std::fabs(outer - radius) >= 0.001; };

    // The column of the first cell that does not check, or -1; what was read is kept either way.
    const int count = m_rows.size();
    auto check = [&](PointOfIntersectionEdit& record, int i) {
        if (i == 0 && !read(record, StationColumn, station))
            return int(StationColumn);
        if (!read(record, NorthColumn, readLength))
            return int(NorthColumn);
        if (!read(record, EastColumn, readLength))
            return int(EastColumn);
        // The first and the last row are plain points.
        if (i == 0 || i == count - 1)
            return -1;
        if (!read(record, RadiusColumn, readLength) || record.number(RadiusColumn) <= 1.0)
            return int(RadiusColumn);
        if (!read(record, InSpiralColumn, readSpiralLength))
            return int(InSpiralColumn);
        if (!read(record, OutSpiralColumn, readSpiralLength))
            return int(OutSpiralColumn);
        const double radius = record.number(RadiusColumn);
        if (!read(record, StartRadiusColumn, readOuterRadius)
            || !differs(record.number(StartRadiusColumn), radius))
            return int(StartRadiusColumn);
        if (!read(record, EndRadiusColumn, readOuterRadius)
            || !differs(record.number(EndRadiusColumn), radius))
            return int(EndRadiusColumn);
        return -1;
    };

    for (int i = 0; i < count; ++i) {
        PointOfIntersectionEdit record = m_rows.at(i);
        const int failed = check(record, i);
        m_rows.set(i, record);
        if (failed >= 0) {
            row = i;
            column = failed;
            return false;
        }
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
        const int kind = kindOf(record, i == 0 || i == count - 1);
        // A row left as it was, where its kind still fits, is its PI: rebuilding it would only lose
        // what it holds exactly.
        if (record.isUnchanged() && kind == record.curveType()) {
            fresh.append(record.source().clone());
            return true;
        }
        const Creation created = createPointOfIntersection(
            kind, Pelko::Corvex::Point(record.number(NorthColumn), record.number(EastColumn)),
            record.number(RadiusColumn), record.number(StartRadiusColumn), record.number(EndRadiusColumn),
            record.number(InSpiralColumn), record.number(OutSpiralColumn), record.number(StationColumn));
        code = created.second;
        if (code != 0)
            return false;
        fresh.append(created.first);
        return true;
    });
}

int PointOfIntersectionTableModel::kindOf(const PointOfIntersectionEdit& record, bool end)
{
    if (end)
        return 0;
    // An arc or a spiral-spiral corner stays what it is; an arc given spiral values, and every other
    // inner row, is a spiral-arc-spiral corner.
    const int kind = record.curveType();
    if (kind == 3)
        return kind;
    if (kind == 1) {
        bool spirals = false;
        for (int cell : { InSpiralColumn, OutSpiralColumn, StartRadiusColumn, EndRadiusColumn })
            spirals = spirals || !record.cell(cell).isStored();
        if (!spirals)
            return kind;
    }
    return 2;
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
