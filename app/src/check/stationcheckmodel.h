#pragma once

#include "check/stationchecklayout.h"

#include <road/station.h>

#include <QAbstractTableModel>
#include <QList>
#include <QPointF>

#include <memory>

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// The cross section with its side slopes at one station: the named break points of one side (left
// unless showLeft is cleared) as "Poin Name"/N/E/H rows, and the drawing of both sides. Every number
// is the road library's; the model never watches the road for changes.
class StationCheckModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    StationCheckModel(Pelko::Road::RoadSurface* road, QObject* parent = nullptr);
    ~StationCheckModel() override;

    // Which list the table shows; both sides are computed either way.
    bool showLeft = true;

    // Stands at the station and recomputes. A station in the gap of a short equation keeps the
    // previous position (false), which is recomputed all the same.
    bool setStation(const Pelko::Road::Station& station);
    // Step without recomputing: the dialog applies the stepped station's text next.
    void previous();
    void next();

    QString stationText() const;
    bool hasPrevious() const;
    bool hasNext() const;
    double interval() const;
    // An interval the iterator cannot step by is refused (false) and the previous one kept.
    bool setInterval(double interval);
    double offset() const;
    void setOffset(double offset);

    QList<QPointF> sectionLine() const;
    QList<PlotPoint> plotPoints() const;
    QList<PlateMarker> plateMarkers() const;
    QList<SlopeMarker> slopeMarkers() const;
    const QVector<CheckPoint>& leftPoints() const;
    const QVector<CheckPoint>& rightPoints() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void recompute();
    void step(bool forward);
    const QVector<CheckPoint>& shown() const;

    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace Trelvin
} // namespace Zemko
