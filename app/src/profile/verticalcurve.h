#pragma once

#include "framework/roadcurve.h"

class QwtPlotCurve;

namespace Zemko {
namespace Trelvin {
namespace Data {
class StationLabelsCurve;
}

// The profile of the open road: the profile line with its vertical curves, the tangent polygon
// through the vertical PIs and the PIs' stations, station along the horizontal axis.
class VerticalCurve : public Data::RoadCurve
{
public:
    VerticalCurve(const QString& title, const QColor& colour);
    ~VerticalCurve() override;

    void rebuild(double tolerance) override;
    // The profile's extent with room at both ends for the first and last PI's labels.
    QRectF boundingRect() const override;
    // The station labels above the vertical PIs.
    QVector<PlotLabel> fitLabels() const override;
    void plotAttached(QwtPlot* plot) override;
    void plotDetached() override;

    QwtPlotCurve* tangentPolygon() const { return m_polygon; }
    Data::StationLabelsCurve* labels() const { return m_labels; }

private:
    void attachItems();
    void detachItems();

    QwtPlotCurve* m_polygon;
    Data::StationLabelsCurve* m_labels;
    QwtPlot* m_plot = nullptr;
};

} // namespace Trelvin
} // namespace Zemko
