#include "profile/verticalcurve.h"

#include "document/trelvin.h"
#include "framework/stationlabelscurve.h"

#include <road/roadsurface.h>
#include <road/station.h>
#include <road/verticalalignment.h>
#include <text/stationtext.h>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>

#include <QPen>
#include <QWidget>

namespace Zemko {
namespace Trelvin {

VerticalCurve::VerticalCurve(const QString& title, const QColor& colour)
    : RoadCurve(title, QwtPlotCurve::Lines, colour, Qt::SolidLine)
    , m_polygon(new QwtPlotCurve)
    , m_labels(new Data::StationLabelsCurve(1))
{
    m_polygon->setZ(-1.0);
    m_polygon->setPen(Qt::white, 1.0, Qt::DashLine);
    m_polygon->setStyle(QwtPlotCurve::Lines);
    m_labels->setZ(1.0);
}

VerticalCurve::~VerticalCurve()
{
    detachItems();
    delete m_labels;
    delete m_polygon;
}

void VerticalCurve::attachItems()
{
    m_polygon->attach(m_plot);
    m_labels->attach(m_plot);
}

void VerticalCurve::detachItems()
{
    m_polygon->detach();
    m_labels->detach();
}

void VerticalCurve::plotAttached(QwtPlot* plot)
{
    m_plot = plot;
    attachItems();
}

void VerticalCurve::plotDetached()
{
    detachItems();
    m_plot = nullptr;
}

QRectF VerticalCurve::boundingRect() const
{
    const QRectF profile = RoadCurve::boundingRect();
    const double margin = profile.width() * 0.04;
    return profile.adjusted(-margin, 0.0, margin, 0.0);
}

QVector<PlotLabel> VerticalCurve::fitLabels() const
{
    return m_labels->fitLabels();
}

void VerticalCurve::rebuild(double)
{
    if (!m_plot)
        return;
    detachItems();
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road) {
        setSamples(QVector<QPointF>());
        return;
    }
    const Pelko::Road::VerticalAlignment profile = road->getVerticalAligment();
    const Pelko::Road::StationsEquationConfiguration equations = road->getStationsEquations();

    QVector<QPointF> line;
    for (const Pelko::Corvex::Point& p : profile.getPoints())
        line.append(QPointF(p.getX(), p.getY()));
    setSamples(line);

    QFont font = m_plot->canvas()->font();
    font.setPointSize(12);
    Data::LabelPaths paths(font);

    QVector<QPointF> polygon;
    QVector<Data::StationMark> marks;
    marks.reserve(int(profile.size()));
    for (unsigned i = 0; i < profile.size(); ++i) {
        const Pelko::Road::VerticalElement::Poi poi = profile.getAt(i).getPoi();
        polygon.append(QPointF(poi.station, poi.elevation));
        const Pelko::Road::Station station = equations.getStationFromContinuous(poi.station);
        Data::StationMark mark;
        mark.text = stationToText(station.getStation(), station.isOverlapped());
        mark.path = paths.path(mark.text, &mark.box);
        // Labels are anchored like plan labels: north on the vertical axis, east on the horizontal.
        mark.x = poi.elevation;
        mark.y = poi.station;
        mark.angle = -90.0;
        marks.append(mark);
    }
    m_polygon->setSamples(polygon);
    m_labels->setMarks(marks);
    m_labels->setBoundingRect(m_polygon->boundingRect());
    attachItems();
}

} // namespace Trelvin
} // namespace Zemko
