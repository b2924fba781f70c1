#include "alignment/horizontalelementtablemodel.h"

#include "alignment/typedvalues.h"
#include "document/trelvin.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"
#include "framework/valueformater.h"

#include <road/horizontalalignment.h>
#include <road/roadsurface.h>
#include <text/angletext.h>
#include <text/stationtext.h>

#include <QBrush>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::HorizontalElement;
using Pelko::Road::HorizontalElementConfiguration;

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

// A radius as the table reads it while typing: a stored one as it is, a typed text that is no number
// as straight (0).
double radiusOf(const TextCell& cell)
{
    if (cell.isStored())
        return cell.number();
    bool ok = false;
    const double value = numberLocale().toDouble(cell.text().trimmed(), &ok);
    if (!ok || std::isnan(value) || HorizontalElementEdit::isStraight(value))
        return 0.0;
    return MeterToUnit::instance()->toMeters(value);
}

// Whether the text is a number written with a sign of its own.
bool signedNumber(const QString& trimmed)
{
    if (!trimmed.startsWith(QLatin1Char('-')) && !trimmed.startsWith(QLatin1Char('+')))
        return false;
    bool ok = false;
    numberLocale().toDouble(trimmed, &ok);
    return ok;
}

// A radius as the table shows it: its magnitude, as every radius of the road is shown; the side column
// gives the direction. A text that is no number shows as typed.
QString shownRadius(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.startsWith(QLatin1Char('-')) && signedNumber(trimmed) ? trimmed.mid(1) : text;
}

// A radius as typed into a row: a number without a sign keeps the row's side, which the table shows
// apart from the radius; a sign of its own sets it.
QString sidedRadius(const QString& text, int turnDirection)
{
    const QString trimmed = text.trimmed();
    if (turnDirection != Pelko::Road::TurnLeft || signedNumber(trimmed)
        || radiusOf(TextCell::typed(trimmed)) == 0.0)
        return text;
    return QLatin1Char('-') + trimmed;
}

// A radius cell turned to the side: a stored radius keeps its magnitude to the last bit, a typed one
// gets or loses its minus sign.
void turnRadius(TextCell& cell, double side)
{
    const double r = radiusOf(cell);
    if (r == 0.0 || r * side > 0.0)
        return;
    if (cell.isStored()) {
        cell = TextCell::stored(-r, ValueFormater::radiusText(MeterToUnit::instance()->fromMeters(-r)));
        return;
    }
    const QString trimmed = cell.text().trimmed();
    cell.type(trimmed.startsWith(QLatin1Char('-')) ? trimmed.mid(1) : QLatin1Char('-') + trimmed);
}

// A radius text as Apply reads it: empty, the infinity sign or a straight value is straight; any other
// text must be a number.
bool readRadius(const QString& text, double& meters)
{
    meters = 0.0;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed == QString(QChar(0x221E)))
        return true;
    bool ok = false;
    const double value = numberLocale().toDouble(trimmed, &ok);
    if (!ok || std::isnan(value))
        return false;
    meters = HorizontalElementEdit::isStraight(value) ? 0.0 : MeterToUnit::instance()->toMeters(value);
    return true;
}

} // namespace

HorizontalElementTableModel::HorizontalElementTableModel(QObject* parent)
    : TextRowListModel(DataType::HorizontalElement, 3, 3, parent)
{
    // A table made while a road is open shows it at once.
    loadFromRoad();
}

HorizontalElementTableModel::~HorizontalElementTableModel() = default;

Qt::ItemFlags HorizontalElementTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    switch (index.column()) {
    case TypeColumn:
        return flags;
    case MileageColumn:
        return index.row() == 0 ? flags | Qt::ItemIsEditable : flags;
    case AzimuthColumn:
    case NorthColumn:
        return flags | Qt::ItemIsEditable | Qt::ItemIsUserCheckable;
    default:
        return flags | Qt::ItemIsEditable;
    }
}

void HorizontalElementTableModel::deriveType(HorizontalElementEdit& record)
{
    const double r1 = radiusOf(record.startRadius);
    const double r2 = radiusOf(record.endRadius);
    const bool straight1 = r1 == 0.0;
    const bool straight2 = r2 == 0.0;
    if (straight1 && straight2)
        record.setType(Pelko::Road::LineElementType);
    else if (straight1 || straight2)
        record.setType(Pelko::Road::SpiralElementType);
    else
        record.setType(std::fabs(r1 - r2) < 0.001 ? Pelko::Road::ArcElementType
                                                  : Pelko::Road::SpiralElementType);
}

void HorizontalElementTableModel::deriveTurnDirection(HorizontalElementEdit& record)
{
    const double r1 = radiusOf(record.startRadius);
    const double r2 = radiusOf(record.endRadius);
    const double decisive = r1 != 0.0 ? r1 : r2;
    record.setTurnDirection(decisive < 0.0 ? Pelko::Road::TurnLeft : Pelko::Road::TurnRight);
}

void HorizontalElementTableModel::setTextOf(HorizontalElementEdit& record, int column, const QString& text)
{
    switch (column) {
    case StartRadiusColumn:
    case EndRadiusColumn: {
        TextCell& radius = column == StartRadiusColumn ? record.startRadius : record.endRadius;
        const QString before = radius.text();
        radius.type(sidedRadius(text, record.turnDirection));
        // The type and the side follow the radii as typed.
        if (radius.text() != before) {
            deriveType(record);
            deriveTurnDirection(record);
        }
        break;
    }
    case AzimuthColumn:
        record.azimuth.type(text);
        break;
    case LengthColumn:
        record.length.type(text);
        break;
    case NorthColumn:
        record.north.type(text);
        break;
    case EastColumn:
        record.east.type(text);
        break;
    default:
        break;
    }
}

bool HorizontalElementTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    switchToTextRows();
    if (index.row() >= m_rows.size())
        return false;
    HorizontalElementEdit record = m_rows.at(index.row());
    const int column = index.column();

    if (role == Qt::CheckStateRole) {
        const bool checked = value.toInt() == Qt::Checked;
        if (column == AzimuthColumn)
            record.azimuthFixed = checked;
        else if (column == NorthColumn)
            record.pointFixed = checked;
        else
            return false;
    } else if (role == Qt::EditRole) {
        const QString text = value.toString();
        switch (column) {
        case TypeColumn:
            // The type follows from the radii.
            return true;
        case MileageColumn:
            if (index.row() != 0)
                return false;
            record.mileage.type(text);
            break;
        case StartRadiusColumn:
        case EndRadiusColumn:
        case AzimuthColumn:
        case LengthColumn:
        case NorthColumn:
        case EastColumn:
            setTextOf(record, column, text);
            break;
        case DeflectionColumn: {
            if (!value.isValid())
                return true;
            const int direction
                = value.toInt() == Pelko::Road::TurnLeft ? Pelko::Road::TurnLeft : Pelko::Road::TurnRight;
            record.setTurnDirection(direction);
            // The radii show the side by their sign; they follow, so a later radius edit keeps it.
            const double side = direction == Pelko::Road::TurnLeft ? -1.0 : 1.0;
            turnRadius(record.startRadius, side);
            turnRadius(record.endRadius, side);
            break;
        }
        default:
            return false;
        }
    } else {
        return false;
    }
    m_rows.set(index.row(), record);
    // A typed cell is an edit: the document must know it before a save or an exit.
    notifyRowsChanged(index.row(), 1);
    return true;
}

QVariant HorizontalElementTableModel::cellValue(int column, int row, int role) const
{
    if (role == Qt::BackgroundRole) {
        if (column == MileageColumn && row != 0)
            return QBrush(Qt::lightGray, Qt::SolidPattern);
        return QVariant();
    }
    if (isTextRowMode() && role != Qt::ToolTipRole)
        return textCell(column, row, role);
    return roadCell(column, row, role);
}

QStringList HorizontalElementTableModel::widestTextCandidates(int column, int top, int bottom) const
{
    // Lengths, radii and coordinates are fixed-point numbers: with digits of one width the text of the
    // largest value is the widest of the positive ones and that of the smallest the widest with a sign.
    if (isTextRowMode() || top < 0 || bottom >= rows() || top > bottom)
        return QStringList();
    if (column == TypeColumn || column == DeflectionColumn) {
        // A few names: each one shown.
        QList<int> kinds;
        for (int row = top; row <= bottom; ++row) {
            const HorizontalElement element = m_working.at(unsigned(row));
            const int kind = column == TypeColumn ? int(element.getType()) : int(element.getRurnDirection());
            if (!kinds.contains(kind))
                kinds.append(kind);
        }
        QStringList texts;
        for (int kind : kinds)
            texts.append(column == TypeColumn ? ValueFormater::elementTypeText(kind)
                                              : ValueFormater::sideText(kind));
        return texts;
    }
    const double inf = std::numeric_limits<double>::infinity();
    double low = inf;
    double high = -inf;
    bool straight = false;
    for (int row = top; row <= bottom; ++row) {
        const HorizontalElement element = m_working.at(unsigned(row));
        double value = 0.0;
        switch (column) {
        case StartRadiusColumn:
        case EndRadiusColumn:
            value = column == StartRadiusColumn ? element.getBeginRadius() : element.getEndRadius();
            if (std::isinf(value) || std::fabs(value) < 1e-5) {
                straight = true;
                continue;
            }
            value = std::fabs(value);
            break;
        case LengthColumn:
            value = element.getLength();
            break;
        case NorthColumn:
            value = element.getBeginPoint().getX();
            break;
        case EastColumn:
            value = element.getBeginPoint().getY();
            break;
        default:
            return QStringList();
        }
        if (!std::isfinite(value))
            return QStringList();
        low = std::min(low, value);
        high = std::max(high, value);
    }
    QStringList texts;
    if (straight)
        texts.append(radiusText(inf));
    if (low <= high) {
        const bool coordinate = column == NorthColumn || column == EastColumn;
        texts.append(coordinate ? coordinateText(low) : lengthText(low));
        texts.append(coordinate ? coordinateText(high) : lengthText(high));
    }
    return texts;
}

QVariant HorizontalElementTableModel::textCell(int column, int row, int role) const
{
    if (row < 0 || row >= m_rows.size())
        return QVariant();
    const HorizontalElementEdit record = m_rows.at(row);
    if (role == Qt::CheckStateRole) {
        if (column == AzimuthColumn)
            return record.azimuthFixed ? Qt::Checked : Qt::Unchecked;
        if (column == NorthColumn)
            return record.pointFixed ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const bool edit = role == Qt::EditRole;
    switch (column) {
    case TypeColumn:
        return edit ? QVariant(record.type) : QVariant(record.typeText);
    case MileageColumn:
        return record.mileage.text();
    case StartRadiusColumn:
        return edit ? record.startRadius.text() : shownRadius(record.startRadius.text());
    case EndRadiusColumn:
        return edit ? record.endRadius.text() : shownRadius(record.endRadius.text());
    case AzimuthColumn:
        return record.azimuth.text();
    case LengthColumn:
        return record.length.text();
    case NorthColumn:
        return record.north.text();
    case EastColumn:
        return record.east.text();
    case DeflectionColumn:
        return edit ? QVariant(record.turnDirection) : QVariant(record.turnText);
    default:
        return QVariant();
    }
}

QVariant HorizontalElementTableModel::roadCell(int column, int row, int role) const
{
    if (row < 0 || row >= rows())
        return QVariant();
    if (role == Qt::ToolTipRole) {
        static const char* const tips[ColumnCount]
            = { QT_TR_NOOP("element type"), QT_TR_NOOP("begin mile age"), QT_TR_NOOP("begin radius"),
                QT_TR_NOOP("end radius"),   QT_TR_NOOP("begin azimuth"),  QT_TR_NOOP("element length"),
                QT_TR_NOOP("coordiante x"), QT_TR_NOOP("coordiante y"),   " " };
        return column >= 0 && column < ColumnCount ? QVariant(tr(tips[column])) : QVariant();
    }
    // Asked of every cell when the columns are fitted.
    if (role == Qt::CheckStateRole && column != AzimuthColumn && column != NorthColumn)
        return QVariant();

    const HorizontalElement element = m_working.at(unsigned(row));
    const MeterToUnit* unit = MeterToUnit::instance();
    const double side = element.getRurnDirection() == Pelko::Road::TurnLeft ? -1.0 : 1.0;
    // A radius edits with the side as its sign, like the text rows; a straight edits as the sign.
    auto radius = [&](double r) -> QVariant {
        if (role == Qt::DisplayRole)
            return radiusText(r);
        if (HorizontalElementEdit::isStraight(r))
            return QString(QChar(0x221E));
        return unit->fromMeters(side * std::fabs(r));
    };

    if (role == Qt::CheckStateRole) {
        if (column == AzimuthColumn)
            return element.isBeginAzimuthFixed() ? Qt::Checked : Qt::Unchecked;
        if (column == NorthColumn)
            return element.isBeginPointFixed() ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const bool edit = role == Qt::EditRole;

    switch (column) {
    case TypeColumn:
        return edit ? QVariant(int(element.getType()))
                    : QVariant(ValueFormater::elementTypeText(element.getType()));
    case MileageColumn:
        if (edit && row != 0)
            return QVariant();
        return displayedStation(element.getBeginStation());
    case StartRadiusColumn:
        return radius(element.getBeginRadius());
    case EndRadiusColumn:
        return radius(element.getEndRadius());
    case AzimuthColumn: {
        const double degrees = element.getBeginAzimuth().toDegree();
        if (!edit)
            return std::isfinite(degrees) ? angleText(degrees * 3600.0) : QString();
        if (!std::isfinite(degrees))
            return QString();
        // Rounded, so that the editor shows 90 and not 90.000000000036.
        return std::round(degreesToDms(normalizeDegrees(degrees)) * 1e10) / 1e10;
    }
    case LengthColumn:
        return edit ? QVariant(unit->fromMeters(element.getLength()))
                    : QVariant(lengthText(element.getLength()));
    case NorthColumn:
        return edit ? QVariant(unit->fromMeters(element.getBeginPoint().getX()))
                    : QVariant(coordinateText(element.getBeginPoint().getX()));
    case EastColumn:
        return edit ? QVariant(unit->fromMeters(element.getBeginPoint().getY()))
                    : QVariant(coordinateText(element.getBeginPoint().getY()));
    case DeflectionColumn:
        return edit ? QVariant(int(element.getRurnDirection()))
                    : QVariant(ValueFormater::sideText(element.getRurnDirection()));
    default:
        return QVariant();
    }
}

HorizontalElementConfiguration HorizontalElementTableModel::elements() const
{
    return m_working;
}

void HorizontalElementTableModel::makeTextRows()
{
    const Pelko::Road::StationsEquationConfiguration equations = stationsEquations();
    m_rows.clear();
    for (unsigned i = 0; i < m_working.size(); ++i) {
        const HorizontalElement element = m_working.at(i);
        HorizontalElementEdit record(element);
        const Pelko::Road::Station station = equations.getStationFromContinuous(element.getBeginStation());
        if (station.isValid())
            record.mileage.setShownText(stationToText(
                MeterToUnit::instance()->fromMeters(station.getStation()), station.isOverlapped()));
        m_rows.append(record);
    }
}

void HorizontalElementTableModel::appendElements(int count)
{
    if (count < 1)
        return;
    beginInsertRows(QModelIndex(), rows(), rows() + count - 1);
    for (int i = 0; i < count; ++i) {
        if (isTextRowMode())
            m_rows.append(HorizontalElementEdit());
        else
            m_working.append(createElement(Pelko::Road::LineElementType,
                                           Pelko::Corvex::Angle::fromRadian(nan), 100.0, 0.0, 0.0,
                                           Pelko::Corvex::Point::invalid(), nan));
    }
    endInsertRows();
}

void HorizontalElementTableModel::insertElements(int row, int count)
{
    if (count < 1 || row < 0)
        return;
    row = std::min(row, rows());
    beginInsertRows(QModelIndex(), row, row + count - 1);
    for (int i = 0; i < count; ++i) {
        if (isTextRowMode())
            m_rows.insert(row, HorizontalElementEdit());
        else
            m_working.insertBefore(unsigned(row),
                                   createElement(Pelko::Road::LineElementType,
                                                 Pelko::Corvex::Angle::fromDegree(0.0), 100.0, 0.0, 0.0,
                                                 Pelko::Corvex::Point::invalid(), nan));
    }
    endInsertRows();
}

void HorizontalElementTableModel::setElement(int row, const HorizontalElement& element)
{
    replaceItem(row, element);
}

void HorizontalElementTableModel::appendElement(const HorizontalElement& element)
{
    insertItem(rows(), element);
}

void HorizontalElementTableModel::insertElement(int row, const HorizontalElement& element)
{
    insertItem(row, element);
}

bool HorizontalElementTableModel::pastesAt(int column) const
{
    return column >= StartRadiusColumn && column <= EastColumn;
}

void HorizontalElementTableModel::pasteLine(int row, int column, const QStringList& cells)
{
    HorizontalElementEdit record = m_rows.at(row);
    for (int j = 0; j < cells.size() && column + j <= EastColumn; ++j)
        setTextOf(record, column + j, cells.at(j));
    m_rows.set(row, record);
}

namespace {

// Nothing comes before the first element of a row built from the road: its begin is given whatever
// its tick boxes say, and stays where it is when the rows are written back.
bool beginGiven(const HorizontalElementEdit& record, int row)
{
    return row == 0 && record.source.isValid();
}

bool readRadians(const QString& text, double& radians)
{
    double degrees = 0.0;
    if (!readAngle(text, degrees))
        return false;
    radians = Pelko::Corvex::Angle::fromDegree(degrees).toRadian();
    return true;
}

} // namespace

// Only typed cells are read; the numbers are stored beside their texts, which stay as typed, so
// checking twice reads the same.
bool HorizontalElementTableModel::checkRows(int& row, int& column)
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

    const Pelko::Road::StationsEquationConfiguration equations = stationsEquations();
    const auto station = [&equations](const QString& text, double& continuous) {
        return readStation(text, equations, continuous) == StationReading::Read;
    };
    // A cell read into its number; false when its text does not read. A stored value can be no
    // number too: the begin of an element that follows on.
    const auto read = [](TextCell& cell, auto reader) {
        double value = 0.0;
        if (!cell.read(reader, value) || std::isnan(value))
            return false;
        cell.setNumber(value);
        return true;
    };

    // The column of the first cell that does not check, or -1; what was read is kept either way.
    auto check = [&](HorizontalElementEdit& record, int i) {
        const bool given = beginGiven(record, i);
        if (i == 0 && !read(record.mileage, station))
            return int(MileageColumn);
        // The chain has to start somewhere: the first element needs its azimuth and its point.
        if (record.azimuthFixed || given) {
            if (!read(record.azimuth, readRadians))
                return int(AzimuthColumn);
        } else if (i == 0) {
            return int(AzimuthColumn);
        }

        if (!read(record.length, readLength) || record.length.number() <= 0.01)
            return int(LengthColumn);

        if (record.pointFixed || given) {
            if (!read(record.north, readLength))
                return int(NorthColumn);
            if (!read(record.east, readLength))
                return int(EastColumn);
        } else if (i == 0) {
            return int(NorthColumn);
        }

        if (!read(record.startRadius, readRadius))
            return int(StartRadiusColumn);
        if (!read(record.endRadius, readRadius))
            return int(EndRadiusColumn);
        const double r1 = record.startRadius.number();
        const double r2 = record.endRadius.number();
        if (r1 != 0.0 && r2 != 0.0 && r1 * r2 < 0.0)
            return int(EndRadiusColumn);
        return -1;
    };

    for (int i = 0; i < m_rows.size(); ++i) {
        HorizontalElementEdit record = m_rows.at(i);
        const int failed = check(record, i);
        m_rows.set(i, record);
        if (failed >= 0)
            return fail(i, failed);
    }
    return true;
}

int HorizontalElementTableModel::applyRows()
{
    if (!isTextRowMode())
        return -1;
    return buildApart(m_working, m_rows.size(), [this](HorizontalElementConfiguration& fresh, int i) {
        const HorizontalElementEdit record = m_rows.at(i);
        // A row left as it was is its element: rebuilding it would only lose what it holds exactly.
        if (record.isUnchanged()) {
            fresh.append(record.source.clone());
            return true;
        }
        const double sign = record.turnDirection == Pelko::Road::TurnLeft ? -1.0 : 1.0;
        const double r1 = HorizontalElementEdit::isStraight(record.startRadius.number())
            ? inf
            : sign * std::fabs(record.startRadius.number());
        const double r2 = HorizontalElementEdit::isStraight(record.endRadius.number())
            ? inf
            : sign * std::fabs(record.endRadius.number());
        const bool given = beginGiven(record, i);
        const Pelko::Corvex::Point point = record.pointFixed || given
            ? Pelko::Corvex::Point(record.north.number(), record.east.number())
            : Pelko::Corvex::Point::invalid();
        const Pelko::Corvex::Angle azimuth = record.azimuthFixed || given
            ? Pelko::Corvex::Angle::fromRadian(record.azimuth.number())
            : Pelko::Corvex::Angle::fromRadian(nan);
        HorizontalElement element = createElement(record.type, azimuth, record.length.number(), r1, r2, point,
                                                  i == 0 ? record.mileage.number() : nan);
        if (!element.isValid())
            return false;
        // The first element's begin is given either way; its tick boxes stay as the row shows them.
        if (given)
            element.setBeginFixed(record.azimuthFixed, record.pointFixed);
        fresh.append(element);
        return true;
    });
}

HorizontalElement HorizontalElementTableModel::createElement(int type, const Pelko::Corvex::Angle& azimuth,
                                                             double length, double startRadius,
                                                             double endRadius,
                                                             const Pelko::Corvex::Point& point,
                                                             double station)
{
    switch (type) {
    case Pelko::Road::LineElementType:
        return HorizontalElement::createLine(azimuth, length, point, station);
    case Pelko::Road::ArcElementType:
        return HorizontalElement::createArc(azimuth, length, startRadius, point, station);
    case Pelko::Road::SpiralElementType:
        return HorizontalElement::createSpiral(azimuth, length, startRadius, endRadius, point, station);
    default:
        return HorizontalElement::createLine(Pelko::Corvex::Angle::fromRadian(nan), nan,
                                             Pelko::Corvex::Point::invalid(), station);
    }
}

QVariant HorizontalElementTableModel::columnTitle(int section) const
{
    switch (section) {
    case TypeColumn:
        return tr("Type");
    case MileageColumn:
        return tr("Mileage");
    case StartRadiusColumn:
        return tr("Start radius");
    case EndRadiusColumn:
        return tr("End radius");
    case AzimuthColumn:
        return tr("Azimuth");
    case LengthColumn:
        return tr("Length");
    case NorthColumn:
        return tr("N");
    case EastColumn:
        return tr("E");
    case DeflectionColumn:
        return tr("Deflection");
    default:
        return QVariant();
    }
}

int HorizontalElementTableModel::columns() const
{
    return ColumnCount;
}

QVector<HorizontalElementTableModel::ChainJump> HorizontalElementTableModel::chainJumps() const
{
    // The road library joins stations and stakes within a millimetre; beyond that the plan breaks.
    const double tolerance = 0.001;
    QVector<ChainJump> jumps;
    for (unsigned i = 1; i < m_working.size(); ++i) {
        const Pelko::Corvex::Point end = m_working.at(i - 1).getEndPoint();
        const HorizontalElement element = m_working.at(i);
        const Pelko::Corvex::Point begin = element.getBeginPoint();
        if (!end.isValid() || !begin.isValid())
            continue;
        const double size = std::hypot(begin.getX() - end.getX(), begin.getY() - end.getY());
        if (size > tolerance)
            jumps.append({ int(i), element.getBeginStation(), size });
    }
    return jumps;
}

bool HorizontalElementTableModel::buildPendingChain()
{
    return !isTextRowMode() || buildFromTextRows();
}

bool HorizontalElementTableModel::buildFromTextRows()
{
    int row = -1;
    int column = -1;
    return checkRows(row, column) && applyRows() < 0;
}

void HorizontalElementTableModel::writeIntoRoad(Pelko::Road::RoadSurface& road)
{
    // The road gets its own copy, so later edits of the table do not reach it before they are applied.
    road.getHorizontalAligment()->setElements(m_working.clone());
    Trelvin::instance()->notifyDataChanged(DataType::PointOfIntersection);
}

void HorizontalElementTableModel::loadWorkingCopy()
{
    m_rows.clear();
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    m_working
        = road ? road->getHorizontalAligment()->getElements().clone() : HorizontalElementConfiguration();
}

} // namespace Trelvin
} // namespace Zemko
