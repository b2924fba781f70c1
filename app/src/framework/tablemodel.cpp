#include "framework/tablemodel.h"

#include "document/trelvin.h"
#include "framework/metertounit.h"

#include <road/roadsurface.h>
#include <text/stationtext.h>

#include <QCoreApplication>
#include <QSize>

#include <algorithm>
#include <cmath>
#include <vector>

namespace Zemko {
namespace Trelvin {

namespace {

// Live models, so that a category shared by several models stays marked while any of them holds
// unwritten edits.
std::vector<TableModel*>& liveModels()
{
    static std::vector<TableModel*> models;
    return models;
}

} // namespace

TableModel::TableModel(DataType::Categories category, int lengthDecimals, int coordinateDecimals,
                       QObject* parent)
    : QAbstractTableModel(parent)
    , m_category(category)
    , m_lengthDecimals(lengthDecimals)
    , m_coordinateDecimals(coordinateDecimals)
{
    liveModels().push_back(this);

    Trelvin* document = Trelvin::instance();
    connect(document, &Trelvin::onRoadOpen, this, &TableModel::reload);
    connect(document, &Trelvin::onRoadAboutToClose, this, &TableModel::reload);
    connect(document, &Trelvin::checkBeforeSave, this, &TableModel::checkOnSave);
    connect(document, &Trelvin::aboutToSaveRoad, this, &TableModel::writeOnSave);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &TableModel::markEdited);
    connect(this, &QAbstractItemModel::rowsInserted, this, &TableModel::markEdited);
    connect(this, &QAbstractItemModel::dataChanged, this, &TableModel::markEdited);
}

TableModel::~TableModel()
{
    auto& models = liveModels();
    models.erase(std::remove(models.begin(), models.end(), this), models.end());
    // Edits of a model that is gone can no longer be written; a mark left for them would block saving.
    setUnwrittenEdits(false);
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows();
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns();
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return displayData(index);
    case Qt::EditRole:
        return editData(index);
    case Qt::ToolTipRole:
        return toolTipData(index);
    case Qt::BackgroundRole:
        return backgroundData(index);
    case Qt::CheckStateRole:
        return checkStateData(index);
    case Qt::SizeHintRole:
        return QSize(64, 32);
    default:
        return QVariant();
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return columnTitle(section);
    if (orientation == Qt::Vertical)
        return section + 1;
    return QVariant();
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

QString TableModel::lengthText(double meters) const
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', m_lengthDecimals);
}

QString TableModel::coordinateText(double meters) const
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', m_coordinateDecimals);
}

QString TableModel::radiusText(double radius) const
{
    if (std::isinf(radius) || std::fabs(radius) < 1e-5)
        return QString(QChar(0x221E));
    return lengthText(std::fabs(radius));
}

QStringList TableModel::widestTextCandidates(int, int, int) const
{
    return QStringList();
}

QString TableModel::percentText(double value)
{
    return QCoreApplication::translate("QAbstractTableModel", "%1%").arg(value, 0, 'f', 2, QLatin1Char(' '));
}

Pelko::Road::StationsEquationConfiguration TableModel::stationsEquations()
{
    // Read at each use: the equations page replaces the road's equations without announcing it.
    if (const Pelko::Road::RoadSurface* road = Trelvin::instance()->road())
        return road->getStationsEquations();
    return Pelko::Road::StationsEquationConfiguration();
}

QString TableModel::displayedStation(double continuous)
{
    const Pelko::Road::Station station = stationsEquations().getStationFromContinuous(continuous);
    return stationToText(MeterToUnit::instance()->fromMeters(station.getStation()), station.isOverlapped());
}

void TableModel::notifyRowInserted(int row)
{
    beginInsertRows(QModelIndex(), row, row);
    endInsertRows();
    notifyRowsChanged(row, 1);
}

void TableModel::notifyRowRemoved(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    endRemoveRows();
}

void TableModel::notifyRowsChanged(int first, int count)
{
    if (count < 1 || columnCount() < 1)
        return;
    emit dataChanged(index(first, 0), index(first + count - 1, columnCount() - 1), {});
}

void TableModel::reload()
{
    beginResetModel();
    loadFromRoad();
    endResetModel();
    setUnwrittenEdits(false);
}

bool TableModel::applyChanges()
{
    if (!saveToRoad())
        return false;
    setUnwrittenEdits(false);
    return true;
}

bool TableModel::writeOnSave()
{
    return !m_unwritten || applyChanges();
}

void TableModel::checkOnSave()
{
    QString reason;
    if (!m_unwritten || prepareWrite(reason))
        return;
    if (reason.isEmpty())
        reason = tr("Its edits cannot be written.");
    Trelvin::instance()->refuseWrite(m_category, reason);
}

bool TableModel::prepareWrite(QString&)
{
    return true;
}

QVariant TableModel::editData(const QModelIndex& index) const
{
    return displayData(index);
}

QVariant TableModel::checkStateData(const QModelIndex&) const
{
    return QVariant();
}

QVariant TableModel::toolTipData(const QModelIndex&) const
{
    return QVariant();
}

QVariant TableModel::backgroundData(const QModelIndex&) const
{
    return QVariant();
}

void TableModel::setUnwrittenEdits(bool unwritten)
{
    Trelvin* document = Trelvin::instance();
    if (unwritten) {
        m_unwritten = true;
        document->setEditFlags(m_category, true);
        return;
    }
    if (!m_unwritten)
        return;
    m_unwritten = false;

    DataType::Categories stillEdited;
    for (const TableModel* model : liveModels())
        if (model->m_unwritten)
            stillEdited |= model->m_category;
    const DataType::Categories cleared = m_category & ~stillEdited;
    if (document->editFlags() & cleared)
        document->setEditFlags(cleared, false);
}

void TableModel::markEdited()
{
    setUnwrittenEdits(true);
}

} // namespace Trelvin
} // namespace Zemko
