#pragma once

#include "framework/plotmarkers.h"
#include "framework/roadcurve.h"
#include "framework/stationlabelscurve.h"

#include <corvex/point.h>

#include <QFont>
#include <QPainterPath>
#include <QVector>

#include <vector>

namespace Pelko {
namespace Road {
class HorizontalElementConfiguration;
class RoadSurface;
} // namespace Road
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// The plan of the whole road: PI polygon, centre line, element boundaries, both borders, a station
// label at every element boundary and a symbol for every structure. Everything is read from the open
// road at each rebuild. Plot x is east, plot y north.
class HorizontalCurve : public Data::RoadCurve
{
public:
    // Where a station lies on the element chain.
    struct Location
    {
        bool valid = false;
        double azimuth = 0.0; // degrees
        Pelko::Corvex::Point point { 0.0, 0.0 };
    };

    HorizontalCurve(const QString& name, const QColor& colour);
    ~HorizontalCurve() override;

    void rebuild(double tolerance) override;
    void plotAttached(QwtPlot* plot) override;
    void plotDetached() override;

    QwtPlotCurve* piPolygon() const { return m_piPolygon; }
    QwtPlotCurve* primaryPoints() const { return m_primaryPoints; }
    QwtPlotCurve* leftBorder() const { return m_leftBorder; }
    QwtPlotCurve* rightBorder() const { return m_rightBorder; }
    Data::StationLabelsCurve* labels() const { return m_labels; }
    Data::StructuralObjectCurve* structures() const { return m_structures; }

    static QVector<QPointF> toPlotPoints(const std::vector<Pelko::Corvex::Point>& points);
    // The element holding the station, or the last one (extended) when none does.
    static Location locateOnElements(const Pelko::Road::HorizontalElementConfiguration& elements,
                                     double station);
    // The label text drawn about its anchor.
    static QPainterPath labelPath(const QFont& font, const QString& text);

private:
    QVector<Data::StationMark> stationMarks(const Pelko::Road::RoadSurface& road, const QFont& font) const;
    // Hands the marks to the structure layer; returns their extent in plot coordinates.
    QRectF structureMarks(const Pelko::Road::RoadSurface& road, const QFont& font) const;

    QwtPlotCurve* m_primaryPoints;
    QwtPlotCurve* m_piPolygon;
    QwtPlotCurve* m_leftBorder;
    QwtPlotCurve* m_rightBorder;
    Data::StationLabelsCurve* m_labels;
    Data::StructuralObjectCurve* m_structures;
    QwtPlot* m_plot = nullptr;
};

} // namespace Trelvin
} // namespace Zemko
