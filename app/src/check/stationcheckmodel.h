#pragma once

#include "check/stationchecklayout.h"
#include "check/stationsteppingmodel.h"

#include <road/station.h>

#include <QList>
#include <QPointF>
#include <QVector>

namespace Zemko {
namespace Trelvin {

// The cross section with its side slopes at one station: the named break points of one side (left
// unless showLeft is cleared) as "Poin Name"/N/E/H rows, and the drawing of both sides. Every number
// is the road library's.
class StationCheckModel : public StationSteppingModel
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

    QList<QPointF> sectionLine() const;
    QList<PlotPoint> plotPoints() const;
    QList<PlateMarker> plateMarkers() const;
    QList<SlopeMarker> slopeMarkers() const;
    const QVector<CheckPoint>& leftPoints() const;
    const QVector<CheckPoint>& rightPoints() const;

    QString cellText(int row, int column) const override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;

protected:
    QString columnTitle(int column) const override;

private:
    void recompute();
    void step(bool forward);
    const QVector<CheckPoint>& shown() const;

    // Each side ordered from the centre line outward.
    QVector<CheckPoint> m_leftPoints;
    QVector<CheckPoint> m_rightPoints;
    // (offset, elevation) from the far left to the far right.
    QVector<QPointF> m_line;
    QVector<PlateMarker> m_plateMarkers;
    QVector<SlopeMarker> m_slopeMarkers;
};

} // namespace Trelvin
} // namespace Zemko
