#pragma once

#include "check/stationchecklayout.h"
#include "framework/roadcurve.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

namespace Zemko {
namespace Trelvin {

namespace Data {
class NamedPointsCurve;
class PlateMarkerCurve;
class SlopeMarkerCurve;
} // namespace Data

// The cross section and side slopes of check by station with their named points and markers. The
// dialog hands the data over; rebuild has nothing to read.
class CrossSectionSlopeCurve : public Data::RoadCurve
{
public:
    CrossSectionSlopeCurve(const QString& title, const QColor& colour);
    ~CrossSectionSlopeCurve() override;

    void rebuild(double tolerance) override;
    // The points' names and the markers' texts.
    QVector<PlotLabel> fitLabels() const override;
    void plotAttached(QwtPlot* plot) override;
    void plotDetached() override;

    void setLine(const QList<QPointF>& line);
    void setNamedPoints(const QList<PlotPoint>& points);
    void setPlateMarkers(const QList<PlateMarker>& markers);
    void setSlopeMarkers(const QList<SlopeMarker>& markers);

    const Data::NamedPointsCurve* namedPoints() const { return m_points; }
    const Data::PlateMarkerCurve* plateMarkers() const { return m_plates; }
    const Data::SlopeMarkerCurve* slopeMarkers() const { return m_slopes; }

private:
    Data::NamedPointsCurve* m_points;
    Data::PlateMarkerCurve* m_plates;
    Data::SlopeMarkerCurve* m_slopes;
};

} // namespace Trelvin
} // namespace Zemko
