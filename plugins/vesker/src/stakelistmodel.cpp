#include "stakelistmodel.h"

#include <text/stationtext.h>

#include <road/horizontalalignment.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/stake.h>
#include <road/station.h>
#include <road/stationiterator.h>

#include <QSaveFile>
#include <QSize>
#include <QStringList>
#include <QVector>

#include <cmath>

namespace Zemko::Trelvin {

namespace {

constexpr int columns = 6;
// Stations closer than this are one station to the road library.
constexpr double stationTolerance = 0.001;
constexpr double smallestInterval = 0.1;

QString number(double value)
{
    return QString::number(value, 'f', 3);
}

} // namespace

struct StakeListModel::Private
{
    QVector<Pelko::Road::Stake> stakes;
    Pelko::Road::RoadSurface* road = nullptr;
    Pelko::Road::StationsEquationConfiguration equations;

    QString stationText(const Pelko::Road::Stake& stake) const
    {
        const Pelko::Road::Station station = equations.getStationFromContinuous(stake.getStation());
        return stationToText(station.getStation(), station.isAfter());
    }
};

StakeListModel::StakeListModel(Pelko::Road::RoadSurface* road, QObject* parent)
    : QAbstractTableModel(parent)
    , d(std::make_unique<Private>())
{
    d->road = road;
    if (road)
        d->equations = road->getStationsEquations();
}

StakeListModel::~StakeListModel() = default;

int StakeListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : d->stakes.size();
}

int StakeListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns;
}

QVariant StakeListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::SizeHintRole)
        return QSize(64, 32);
    return QVariant();
}

QVariant StakeListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case StationColumn:
        return tr("Station");
    case NorthColumn:
        return tr("N");
    case EastColumn:
        return tr("E");
    case HeightColumn:
        return tr("H");
    case OffsetColumn:
        return tr("Offset");
    case AzimuthColumn:
        return tr("Azimuth");
    default:
        return QVariant();
    }
}

Qt::ItemFlags StakeListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

QString StakeListModel::cellText(int row, int column) const
{
    if (row < 0 || row >= d->stakes.size())
        return QString();
    const Pelko::Road::Stake& stake = d->stakes.at(row);
    switch (column) {
    case StationColumn:
        return d->stationText(stake);
    case NorthColumn:
        return number(stake.getPoint().x());
    case EastColumn:
        return number(stake.getPoint().y());
    case HeightColumn:
        // The library puts 0 where it has no height (no profile, or beyond the section without a
        // slope); a stake list must not show that as a design height.
        return stake.isElevationValid() ? number(stake.getPoint().z()) : QString();
    case OffsetColumn:
        return number(stake.getOffset().getX());
    case AzimuthColumn:
        return azimuthText(stake.getAzimuth().toDegree());
    default:
        return QString();
    }
}

QString StakeListModel::azimuthText(double degrees)
{
    // The station text library already splits without ever showing 60 seconds; only the signs differ.
    const QStringList parts = angleText(degrees * 3600.0).split(QLatin1Char(':'));
    if (parts.size() != 3)
        return QString();
    return parts.at(0) + QChar(0x00B0) + parts.at(1) + QChar(0x2032) + parts.at(2) + QChar(0x2033);
}

QString StakeListModel::generate(const Pelko::Road::Station& begin, const Pelko::Road::Station& end,
                                 double interval, double offset)
{
    if (!d->road)
        return tr("Begin Station does not exist");
    const Pelko::Road::HorizontalAlignment* alignment = d->road->getHorizontalAligment();
    const bool hasAlignment = !alignment->getElements().isEmpty();

    // NaN and infinite stations are refused by the equations; a station beyond the alignment's far
    // end would be clamped onto it and give stakes at a station nobody asked for.
    const Pelko::Road::StationsEquation::Result first = d->equations.getContinuousStation(begin);
    if (!first.isValid() || !std::isfinite(first.getStation()) || !hasAlignment
        || first.getStation() > alignment->getEndStation() + stationTolerance)
        return tr("Begin Station does not exist");
    const Pelko::Road::StationsEquation::Result last = d->equations.getContinuousStation(end);
    if (!last.isValid() || !std::isfinite(last.getStation())
        || last.getStation() < alignment->getBeginStation() - stationTolerance)
        return tr("End Station does not exist");
    // Negative and NaN intervals fail here too: the iterator must step forward.
    if (!(interval >= smallestInterval) || !std::isfinite(interval))
        return tr("Interval is too small");
    if (first.getStation() > last.getStation())
        return tr("End Station is before Begin Station");
    if (!std::isfinite(offset))
        return tr("Offset is not a number");

    QVector<Pelko::Road::Stake> stakes;
    Pelko::Road::StationIterator it = d->road->getIterator(interval, first.getStation(), last.getStation());
    if (!it.isValid())
        return tr("Interval is too small");
    // Stakes off the alignment are invalid (they would be written as 0,0,0) and are left out.
    auto append = [&] {
        const Pelko::Road::Stake stake = it.getStake(offset);
        if (stake.isValid())
            stakes.append(stake);
    };
    bool stalled = false;
    while (it.hasNext()) {
        append();
        const double before = it.getStation();
        it.next();
        // A step that does not move forward would repeat this station for ever.
        if (!(it.getStation() > before)) {
            stalled = true;
            break;
        }
    }
    if (!stalled)
        append();

    beginResetModel();
    d->stakes.swap(stakes);
    endResetModel();
    return QString();
}

QString StakeListModel::exportFile(const QString& path) const
{
    static const int stakeList[]
        = { StationColumn, NorthColumn, EastColumn, HeightColumn, OffsetColumn, AzimuthColumn };
    static const int cass[] = { StationColumn, StationColumn, EastColumn, NorthColumn, HeightColumn };
    const int* order = nullptr;
    int count = 0;
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        order = stakeList;
        count = int(std::size(stakeList));
    } else if (path.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive)) {
        order = cass;
        count = int(std::size(cass));
    } else {
        return tr("Unknown format");
    }

    // Written beside the target and renamed over it only when complete, so a failed export never
    // replaces a good file. Binary mode: "\n" line ends on every system.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return tr("Failed to open file");

    QString texts[columns];
    QByteArray line;
    for (int row = 0; row < d->stakes.size(); ++row) {
        for (int column = 0; column < columns; ++column)
            texts[column].clear();
        QString text;
        for (int i = 0; i < count; ++i) {
            QString& cell = texts[order[i]];
            if (cell.isEmpty())
                cell = cellText(row, order[i]);
            if (i > 0)
                text += QLatin1Char(',');
            text += cell;
        }
        text += QLatin1Char('\n');
        line = text.toUtf8();
        if (file.write(line) != line.size()) {
            file.cancelWriting();
            return tr("Failed to write file");
        }
    }
    if (!file.commit())
        return tr("Failed to write file");
    return QString();
}

} // namespace Zemko::Trelvin
