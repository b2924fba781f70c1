#include "stakelistmodel.h"

#include "staketext.h"

#include <road/atomicfile.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/stake.h>
#include <road/station.h>
#include <road/stationiterator.h>

#include <text/systemerrortext.h>
#include <text/writtenwarningtext.h>

#include <QFile>
#include <QSize>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace Zemko::Trelvin {

namespace {

constexpr int columns = 6;
constexpr double smallestInterval = 0.1;
constexpr double maxReserved = 1 << 24;

// What stands at the path where a regular file should be.
QString kindOfFile(const QString& path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return systemErrorText(EISDIR);
        if (S_ISFIFO(info.st_mode))
            return StakeListModel::tr("it is a FIFO");
        if (S_ISSOCK(info.st_mode))
            return StakeListModel::tr("it is a socket");
        if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
            return StakeListModel::tr("it is a device");
    }
    return StakeListModel::tr("it is not a regular file");
}

// The failure with the system's reason for it, where there is one.
QString reasonOf(const QString& failure, int error)
{
    return error == 0 ? failure : StakeListModel::tr("%1: %2").arg(failure, systemErrorText(error));
}

} // namespace

struct StakeListModel::Private
{
    std::vector<Pelko::Road::Stake> stakes;
    Pelko::Road::RoadSurface* road = nullptr;
    Pelko::Road::StationsEquationConfiguration equations;

    // Writes the cell's text at out, which has StakeText::cellCapacity bytes free; returns its end.
    char* writeCell(char* out, const Pelko::Road::Stake& stake, int column) const
    {
        switch (column) {
        case StationColumn: {
            const Pelko::Road::Station station = equations.getStationFromContinuous(stake.getStation());
            return StakeText::writeStation(out, station.getStation(), station.isAfter());
        }
        case NorthColumn:
            return StakeText::writeNumber(out, stake.getPoint().x());
        case EastColumn:
            return StakeText::writeNumber(out, stake.getPoint().y());
        case HeightColumn:
            // The library puts 0 where it has no height (no profile, or beyond the section without a
            // slope); a stake list must not show that as a design height.
            return stake.isElevationValid() ? StakeText::writeNumber(out, stake.getPoint().z()) : out;
        case OffsetColumn:
            return StakeText::writeNumber(out, stake.getOffset().getX());
        case AzimuthColumn:
            return StakeText::writeAzimuth(out, stake.getAzimuth().toDegree());
        default:
            return out;
        }
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
    return parent.isValid() ? 0 : int(d->stakes.size());
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
    if (row < 0 || row >= int(d->stakes.size()))
        return QString();
    char text[StakeText::cellCapacity];
    const char* end = d->writeCell(text, d->stakes[std::size_t(row)], column);
    return QString::fromUtf8(text, int(end - text));
}

QString StakeListModel::generate(const Pelko::Road::Station& begin, const Pelko::Road::Station& end,
                                 double interval, double offset)
{
    if (!d->road)
        return tr("Begin Station does not exist");
    const Pelko::Road::HorizontalAlignment* alignment = d->road->getHorizontalAligment();
    // A station off the road would be clamped onto its nearest end, or give no stakes at all, and the
    // list would look like an answer for it.
    const auto onRoad = [&](const Pelko::Road::StationsEquation::Result& station) {
        return station.isValid() && d->road->isOnRoad(station.getStation());
    };
    const Pelko::Road::StationsEquation::Result first = d->equations.getContinuousStation(begin);
    if (!onRoad(first))
        return tr("Begin Station does not exist");
    const Pelko::Road::StationsEquation::Result last = d->equations.getContinuousStation(end);
    if (!onRoad(last))
        return tr("End Station does not exist");
    // Negative and NaN intervals fail here too: the iterator must step forward.
    if (!(interval >= smallestInterval) || !std::isfinite(interval))
        return tr("Interval is too small");
    if (first.getStation() > last.getStation())
        return tr("End Station is before Begin Station");
    if (!std::isfinite(offset))
        return tr("Offset is not a number");

    // Every grid station plus a boundary and a midpoint per element at most; growing a list of
    // tens of thousands of stakes step by step costs as much as computing them.
    const double grid = (last.getStation() - first.getStation()) / interval;
    std::vector<Pelko::Road::Stake> stakes;
    stakes.reserve(std::size_t(std::min(grid, maxReserved)) + 2 * alignment->getElements().size() + 2);
    Pelko::Road::StationIterator it = d->road->getIterator(interval, first.getStation(), last.getStation());
    if (!it.isValid())
        return tr("Interval is too small");
    // Stakes off the alignment are invalid (they would be written as 0,0,0) and are left out.
    auto append = [&] {
        const Pelko::Road::Stake stake = it.getStake(offset);
        if (stake.isValid())
            stakes.push_back(stake);
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

QString StakeListModel::exportFile(const QString& path, QString* warning) const
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

    // Written beside the target and renamed over it only when complete, as the road is saved, so a
    // failed export never replaces a good file nor anything but a regular file. "\n" line ends on
    // every system.
    Pelko::Road::AtomicFile file(QFile::encodeName(path).toStdString());
    const Pelko::Road::SaveError opened = file.open();
    if (opened == Pelko::Road::SaveError::NotRegularFile)
        return tr("Failed to open file: %1").arg(kindOfFile(path));
    if (opened != Pelko::Road::SaveError::None)
        return reasonOf(tr("Failed to open file"), file.systemError());

    // Written in chunks from one buffer, each row straight into room for the longest row.
    constexpr int chunk = 1 << 16;
    const int rowCapacity = count * (StakeText::cellCapacity + 1) + 1;
    std::vector<char> text(std::size_t(chunk + rowCapacity));
    char* const first = text.data();
    char* out = first;
    auto flush = [&] {
        const qint64 size = out - first;
        out = first;
        return file.write(first, static_cast<std::size_t>(size));
    };
    for (const Pelko::Road::Stake& stake : d->stakes) {
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                *out++ = ',';
            out = d->writeCell(out, stake, order[i]);
        }
        *out++ = '\n';
        if (out - first >= chunk && !flush())
            return reasonOf(tr("Failed to write file"), file.systemError());
    }
    const Pelko::Road::SaveError committed = flush() ? file.commit() : Pelko::Road::SaveError::WriteFailed;
    if (!Pelko::Road::isWritten(committed))
        return reasonOf(tr("Failed to write file"), file.systemError());
    // The list is in place, as a road would be: only a warning is left to give.
    if (warning)
        *warning = writtenWarningText(committed, file.systemError(), path);
    return QString();
}

} // namespace Zemko::Trelvin
