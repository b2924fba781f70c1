#include "check/stationcheckmodel.h"

#include "check/checkstepping.h"

#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectiontemplate.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/stationiterator.h>

#include <QSize>

#include <cmath>

namespace Zemko {
namespace Trelvin {

struct StationCheckModel::Data
{
    Pelko::Road::RoadSurface* road = nullptr;
    double interval = CheckStepping::defaultInterval;
    double offset = 0.0;
    Pelko::Road::StationIterator iterator;
    Pelko::Road::StationsEquationConfiguration equations;
    QVector<CheckPoint> leftPoints;
    QVector<CheckPoint> rightPoints;
    QVector<QPointF> line;
    QVector<PlateMarker> plateMarkers;
    QVector<SlopeMarker> slopeMarkers;
};

StationCheckModel::StationCheckModel(Pelko::Road::RoadSurface* road, QObject* parent)
    : QAbstractTableModel(parent)
    , d(std::make_unique<Data>())
{
    d->road = road;
    if (road)
        d->equations = road->getStationsEquations();
}

StationCheckModel::~StationCheckModel() = default;

bool StationCheckModel::setStation(const Pelko::Road::Station& station)
{
    beginResetModel();
    const bool moved = CheckStepping::iteratorAt(d->road, d->equations, d->interval, station, d->iterator);
    recompute();
    endResetModel();
    return moved;
}

void StationCheckModel::previous()
{
    step(false);
}

void StationCheckModel::next()
{
    step(true);
}

void StationCheckModel::step(bool forward)
{
    beginResetModel();
    const double before = d->iterator.getStation();
    if (forward)
        d->iterator.next();
    else
        d->iterator.previous();
    // The dialog writes the new station with three decimals and reads it back: a step that did not
    // move by a millimetre is pushed on by one so that it does not land where it started.
    if (d->iterator.isValid() && (forward ? d->iterator.hasNext() : d->iterator.hasPrevious())
        && std::fabs(d->iterator.getStation() - before) < 0.001)
        d->iterator
            = d->road->getIterator(d->interval, d->iterator.getStation() + (forward ? 0.001 : -0.001), true);
    endResetModel();
}

QString StationCheckModel::stationText() const
{
    if (!d->iterator.isValid())
        return QString();
    const Pelko::Road::Stake centre = d->iterator.getStake(0.0);
    return CheckStepping::stationText(d->equations,
                                      centre.isValid() ? centre.getStation() : d->iterator.getStation());
}

bool StationCheckModel::hasPrevious() const
{
    return d->iterator.hasPrevious();
}

bool StationCheckModel::hasNext() const
{
    return d->iterator.hasNext();
}

double StationCheckModel::interval() const
{
    return d->interval;
}

bool StationCheckModel::setInterval(double interval)
{
    if (!CheckStepping::isUsableInterval(interval))
        return false;
    d->interval = interval;
    return true;
}

double StationCheckModel::offset() const
{
    return d->offset;
}

void StationCheckModel::setOffset(double offset)
{
    if (std::isfinite(offset))
        d->offset = offset;
}

void StationCheckModel::recompute()
{
    d->leftPoints.clear();
    d->rightPoints.clear();
    d->line.clear();
    d->plateMarkers.clear();
    d->slopeMarkers.clear();
    if (!d->iterator.isValid() || !d->road)
        return;

    const double station = d->iterator.getStation();
    const Pelko::Road::StationIterator iterator = d->iterator;
    StationCheckLayout layout([iterator](double offset) { return iterator.getStake(offset); });

    // A side without elements has its edge on the centre line at the profile's height, not at 0.
    double centreElevation = 0.0;
    d->road->getElevation(station, 0.0, centreElevation);
    const Pelko::Corvex::Point centre(centreElevation, 0.0);

    const Pelko::Road::CrossSection left
        = d->road->getCrossSection(station, Pelko::Road::StandardSection::Left);
    const Pelko::Road::CrossSection right
        = d->road->getCrossSection(station, Pelko::Road::StandardSection::Right);
    const Pelko::Corvex::Point leftEnd = layout.addSection(left, left.getPoints(true), true, centre);
    const Pelko::Corvex::Point rightEnd = layout.addSection(right, right.getPoints(false), false, centre);

    if (const Pelko::Road::SlopeSectionConfiguration* slopes = d->road->getSlopeSectionConfiguration()) {
        for (const bool isLeft : { true, false }) {
            const Pelko::Road::SlopeSectionTemplate slope
                = slopes->get(isLeft ? Pelko::Road::SlopeSideLeft : Pelko::Road::SlopeSideRight)
                      .getInterpolatedByStation(station);
            if (!slope.isValid())
                continue;
            const Pelko::Road::CrossSection& section = isLeft ? left : right;
            layout.addSlope(slope.generateSlope(isLeft ? leftEnd : rightEnd), isLeft,
                            slope.getType() == Pelko::Road::SlopeSectionCut, isLeft ? leftEnd : rightEnd,
                            section.crossSectionElementCount() + 1);
        }
    }
    layout.addCentre(d->offset);

    d->leftPoints = layout.leftPoints;
    d->rightPoints = layout.rightPoints;
    d->line = layout.line;
    d->plateMarkers = layout.plateMarkers;
    d->slopeMarkers = layout.slopeMarkers;
}

QList<QPointF> StationCheckModel::sectionLine() const
{
    return d->line.toList();
}

QList<PlotPoint> StationCheckModel::plotPoints() const
{
    QList<PlotPoint> points;
    points.reserve(d->leftPoints.size() + d->rightPoints.size());
    for (const QVector<CheckPoint>* side : { &d->leftPoints, &d->rightPoints })
        for (const CheckPoint& point : *side)
            points.append(PlotPoint { point.name, point.offset, point.elevation });
    return points;
}

QList<PlateMarker> StationCheckModel::plateMarkers() const
{
    return d->plateMarkers.toList();
}

QList<SlopeMarker> StationCheckModel::slopeMarkers() const
{
    return d->slopeMarkers.toList();
}

const QVector<CheckPoint>& StationCheckModel::leftPoints() const
{
    return d->leftPoints;
}

const QVector<CheckPoint>& StationCheckModel::rightPoints() const
{
    return d->rightPoints;
}

const QVector<CheckPoint>& StationCheckModel::shown() const
{
    return showLeft ? d->leftPoints : d->rightPoints;
}

int StationCheckModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown().size();
}

int StationCheckModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant StationCheckModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::SizeHintRole)
        return QSize(64, 32);
    if (role != Qt::DisplayRole)
        return QVariant();
    const QVector<CheckPoint>& points = shown();
    if (index.row() < 0 || index.row() >= points.size())
        return QString();
    const CheckPoint& point = points.at(index.row());
    switch (index.column()) {
    case 0:
        return point.name;
    case 1:
        return CheckStepping::metresText(point.north);
    case 2:
        return CheckStepping::metresText(point.east);
    case 3:
        return CheckStepping::metresText(point.elevation);
    default:
        return QString();
    }
}

QVariant StationCheckModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case 0:
        return tr("Poin Name");
    case 1:
        return tr("N");
    case 2:
        return tr("E");
    case 3:
        return tr("H");
    default:
        return QString();
    }
}

Qt::ItemFlags StationCheckModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

} // namespace Trelvin
} // namespace Zemko
