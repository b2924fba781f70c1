#include "profile/verticalalignmenttablemodel.h"

#include "alignment/typedvalues.h"
#include "document/trelvin.h"
#include "framework/metertounit.h"

#include <road/roadsurface.h>
#include <text/stationtext.h>

#include <QBrush>

#include <algorithm>
#include <cmath>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::VerticalAlignment;
using Pelko::Road::VerticalElement;

namespace {

// The radius of a row in metres; the infinity sign the table shows for a PI without a curve (and
// such a PI's own radius) reads as 0. False when no radius is given.
bool readRadius(const VerticalElementEdit& record, double& meters)
{
    meters = 0.0;
    const TextCell& cell = record.cell(VerticalElementEdit::Radius);
    if (cell.isStored()) {
        const double radius = cell.number();
        if (std::isfinite(radius) && std::fabs(radius) >= 1e-5)
            meters = radius;
        return true;
    }
    const QString text = cell.text().trimmed();
    if (text == QString(QChar(0x221E)))
        return true;
    return readLength(text, meters);
}

bool isComputedColumn(int column)
{
    return column > VerticalElementEdit::Radius;
}

} // namespace

VerticalAlignmentTableModel::VerticalAlignmentTableModel(QObject* parent)
    : TextRowListModel(DataType::VerticalAlignment, 3, 3, parent)
{
}

VerticalAlignmentTableModel::~VerticalAlignmentTableModel() = default;

Qt::ItemFlags VerticalAlignmentTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags readOnly = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return isComputedColumn(index.column()) ? readOnly : readOnly | Qt::ItemIsEditable;
}

bool VerticalAlignmentTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    switchToTextRows();
    const int column = index.column();
    if (isComputedColumn(column) || column < 0 || index.row() >= m_rows.size())
        return false;
    VerticalElementEdit record = m_rows.at(index.row());
    record.setText(column, value.toString());
    m_rows.set(index.row(), record);
    // A typed cell is an edit: the document must know of it before a save or an exit.
    emit dataChanged(index, index);
    return true;
}

QVariant VerticalAlignmentTableModel::cellValue(int column, int row, int role) const
{
    if (role == Qt::BackgroundRole)
        return isComputedColumn(column) ? QVariant(QBrush(Qt::lightGray, Qt::SolidPattern)) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    if (isTextRowMode()) {
        if (row < 0 || row >= m_rows.size())
            return QVariant();
        return m_rows.at(row).text(column);
    }
    if (row < 0 || row >= rows())
        return QVariant();
    return roadCell(column, row, role);
}

QVariant VerticalAlignmentTableModel::roadCell(int column, int row, int role) const
{
    const VerticalElement element = m_working.getAt(unsigned(row));
    const VerticalElement::Poi& poi = element.getPoi();
    const bool display = role == Qt::DisplayRole;
    const MeterToUnit* unit = MeterToUnit::instance();
    switch (column) {
    case VerticalElementEdit::Mileage:
        return displayedStation(poi.station);
    case VerticalElementEdit::Height:
        return display ? QVariant(lengthText(poi.elevation)) : QVariant(unit->fromMeters(poi.elevation));
    case VerticalElementEdit::Radius: {
        const double radius = element.getRadius();
        if (display)
            return radiusText(radius);
        // An editor starts empty for a PI without a curve rather than from "inf".
        return std::isfinite(radius) ? QVariant(unit->fromMeters(radius)) : QVariant(QString());
    }
    default:
        break;
    }
    if (!display)
        return QVariant();
    switch (column) {
    case VerticalElementEdit::InGrade:
        return percentText(poi.gradeIn * 100.0);
    case VerticalElementEdit::OutGrade:
        return percentText(poi.gradeOut * 100.0);
    case VerticalElementEdit::InTangent:
        return lengthText(element.getInTangent());
    case VerticalElementEdit::OutTangent:
        return lengthText(element.getOutTagent());
    default:
        return QVariant();
    }
}

VerticalAlignment VerticalAlignmentTableModel::verticalAlignment() const
{
    return m_working;
}

VerticalElementEdit VerticalAlignmentTableModel::textRow(const VerticalElement& element) const
{
    VerticalElementEdit record(element);
    const Pelko::Road::Station station
        = stationsEquations().getStationFromContinuous(element.getPoi().station);
    if (station.isValid())
        record.setMileage(station.getStation(), station.isOverlapped());
    // The number stays the continuous station the record was built from.
    record.setNumber(VerticalElementEdit::Mileage, element.getPoi().station);
    return record;
}

void VerticalAlignmentTableModel::makeTextRows()
{
    m_rows.clear();
    for (unsigned i = 0; i < m_working.size(); ++i)
        m_rows.append(textRow(m_working.getAt(i)));
}

void VerticalAlignmentTableModel::appendElements(int count)
{
    if (count < 1)
        return;
    switchToTextRows();
    beginInsertRows(QModelIndex(), rows(), rows() + count - 1);
    for (int i = 0; i < count; ++i)
        m_rows.append(VerticalElementEdit());
    endInsertRows();
}

void VerticalAlignmentTableModel::insertElements(int row, int count)
{
    if (row < 0 || count < 1)
        return;
    switchToTextRows();
    row = std::min(row, rows());
    for (int i = 0; i < count; ++i) {
        beginInsertRows(QModelIndex(), row, row);
        m_rows.insert(row, VerticalElementEdit());
        endInsertRows();
    }
}

bool VerticalAlignmentTableModel::pastesAt(int column) const
{
    return column >= 0 && !isComputedColumn(column);
}

void VerticalAlignmentTableModel::pasteLine(int row, int column, const QStringList& cells)
{
    VerticalElementEdit record = m_rows.at(row);
    for (int j = 0; j < cells.size() && !isComputedColumn(column + j); ++j)
        record.setText(column + j, cells.at(j));
    m_rows.set(row, record);
}

VerticalAlignmentTableModel::EditResult VerticalAlignmentTableModel::checkRows(int& row, int& column)
{
    row = -1;
    column = -1;
    if (!isTextRowMode() || m_rows.size() == 0)
        return {};

    auto fail = [&](int r, int c, const QString& message) {
        row = r;
        column = c;
        return EditResult { false, message };
    };

    const Pelko::Road::StationsEquationConfiguration equations = stationsEquations();
    const int count = m_rows.size();
    for (int i = 0; i < count; ++i) {
        VerticalElementEdit record = m_rows.at(i);

        // A cell still showing the road's value keeps the road's number rather than its rounded text.
        if (!record.cell(VerticalElementEdit::Mileage).isStored()) {
            double continuous = 0.0;
            switch (readStation(record.text(VerticalElementEdit::Mileage), equations, continuous)) {
            case StationReading::NotANumber:
                return fail(i, VerticalElementEdit::Mileage, tr("Invalid station number!"));
            case StationReading::NotFound:
                return fail(i, VerticalElementEdit::Mileage, tr("Given station does not exist!"));
            case StationReading::Read:
                break;
            }
            record.setNumber(VerticalElementEdit::Mileage, continuous);
        }

        double height = 0.0;
        if (!record.cell(VerticalElementEdit::Height).read(readLength, height))
            return fail(i, VerticalElementEdit::Height, tr("Invalid elevation number!"));
        record.setNumber(VerticalElementEdit::Height, height);

        // The end PIs carry no curve, so their radius may be left out. A negative radius would give
        // negative tangent lengths and turn the PI into a corner without a word.
        double radius = 0.0;
        const bool given = readRadius(record, radius);
        const bool inner = i > 0 && i < count - 1;
        if ((inner && !given) || (given && radius < 0.0))
            return fail(i, VerticalElementEdit::Radius, QString());
        record.setNumber(VerticalElementEdit::Radius, given ? radius : 0.0);

        m_rows.set(i, record);
    }
    return {};
}

int VerticalAlignmentTableModel::applyRows(EditResult& result)
{
    result = EditResult();
    if (!isTextRowMode())
        return -1;
    // A refused row leaves the working copy, and so what a save writes, as it was.
    return buildApart(m_working, m_rows.size(), [&](VerticalAlignment& fresh, int i) {
        const VerticalElementEdit record = m_rows.at(i);
        VerticalElement element;
        if (record.isUnchanged()) {
            // A row left as it was is its element, whatever kind of curve it has.
            element = record.source().clone();
        } else {
            VerticalElement::Poi poi;
            poi.station = record.number(VerticalElementEdit::Mileage);
            poi.elevation = record.number(VerticalElementEdit::Height);
            const double radius = record.number(VerticalElementEdit::Radius);
            // A circular curve stays one; every other row is a symmetric parabola of its radius.
            const bool circular
                = record.source() && record.source().getType() == Pelko::Road::VerticalCircularType;
            element = circular ? VerticalElement::createCircular(poi, radius)
                               : VerticalElement::createSymparabola(poi, radius);
        }
        const VerticalAlignment::Result appended = fresh.append(element);
        if (appended.code != Pelko::Road::ModifySuccess) {
            result = { false, modifyResultText(appended.code) };
            return false;
        }
        return true;
    });
}

VerticalAlignmentTableModel::EditResult
VerticalAlignmentTableModel::setElement(int row, const VerticalElement& element)
{
    if (row < 0 || row >= rows())
        return { false, QString() };
    // The table shows the typed rows while there are any: the element goes there, to be checked
    // with them on Apply.
    if (isTextRowMode()) {
        m_rows.set(row, textRow(element));
        notifyRowsChanged(row, 1);
        return {};
    }
    const VerticalAlignment::Result result = m_working.setAt(unsigned(row), element);
    if (result.code != Pelko::Road::ModifySuccess)
        return { false, modifyResultText(result.code) };
    notifyRowsChanged(row, 1);
    return {};
}

QString VerticalAlignmentTableModel::modifyResultText(int code)
{
    switch (code) {
    case 1:
        return tr("Overlap previous!");
    case 2:
        return tr("Overlap next!");
    case 3:
        return tr("Less than previous!");
    case 4:
        return tr("Greater than next!");
    default:
        return QString();
    }
}

QVariant VerticalAlignmentTableModel::columnTitle(int section) const
{
    switch (section) {
    case VerticalElementEdit::Mileage:
        return tr("Mileage");
    case VerticalElementEdit::Height:
        return tr("Height");
    case VerticalElementEdit::Radius:
        return tr("Radius");
    case VerticalElementEdit::InGrade:
        return tr("In");
    case VerticalElementEdit::OutGrade:
        return tr("Out");
    case VerticalElementEdit::InTangent:
        return tr("Tangent In");
    case VerticalElementEdit::OutTangent:
        return tr("Tangent Out");
    default:
        return QVariant();
    }
}

int VerticalAlignmentTableModel::columns() const
{
    return VerticalElementEdit::CellCount;
}

bool VerticalAlignmentTableModel::buildFromTextRows()
{
    int row = -1;
    int column = -1;
    EditResult result = checkRows(row, column);
    if (!result.ok) {
        m_refusal = result.message.isEmpty() ? tr("Invalid vertical element on line %1").arg(row + 1)
                                             : tr("%1 (line %2)").arg(result.message).arg(row + 1);
        return false;
    }
    const int refused = applyRows(result);
    if (refused >= 0) {
        m_refusal = result.message.isEmpty() ? tr("Add vertical element failed on line %1").arg(refused + 1)
                                             : tr("%1 (line %2)").arg(result.message).arg(refused + 1);
        return false;
    }
    return true;
}

QString VerticalAlignmentTableModel::typedRowsRefusal() const
{
    return m_refusal;
}

void VerticalAlignmentTableModel::writeIntoRoad(Pelko::Road::RoadSurface& road)
{
    // The road gets its own copy, so later edits of the table reach it only when they are applied.
    road.setVerticalAlignment(m_working.clone());
    Trelvin::instance()->notifyDataChanged(DataType::VerticalAlignment);
}

void VerticalAlignmentTableModel::loadWorkingCopy()
{
    m_rows.clear();
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    m_working = road ? road->getVerticalAligment().clone() : VerticalAlignment();
}

} // namespace Trelvin
} // namespace Zemko
