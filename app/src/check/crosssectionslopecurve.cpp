#include "check/crosssectionslopecurve.h"

#include "framework/plotmarkers.h"

#include <qwt_plot.h>

#include <QFontMetricsF>
#include <QVector>
#include <QWidget>

namespace Zemko {
namespace Trelvin {

CrossSectionSlopeCurve::CrossSectionSlopeCurve(const QString& title, const QColor& colour)
    : RoadCurve(title, QwtPlotCurve::Lines, colour, Qt::SolidLine)
    , m_points(new Data::NamedPointsCurve)
    , m_plates(new Data::PlateMarkerCurve)
    , m_slopes(new Data::SlopeMarkerCurve)
{
    m_plates->setZ(1.0);
    m_points->setZ(2.0);
    // The markers' texts keep clear of the names and of each other.
    m_plates->shareRoomWith(m_points, m_slopes);
    m_slopes->shareRoomWith(m_points, m_plates);
}

CrossSectionSlopeCurve::~CrossSectionSlopeCurve()
{
    plotDetached();
    delete m_points;
    delete m_plates;
    delete m_slopes;
}

void CrossSectionSlopeCurve::rebuild(double) { }

QVector<PlotLabel> CrossSectionSlopeCurve::fitLabels() const
{
    // The items draw in the canvas's font.
    const QFontMetricsF metrics(plot() && plot()->canvas() ? plot()->canvas()->font() : QFont());
    return m_points->fitLabels() + m_plates->fitLabels(metrics) + m_slopes->fitLabels(metrics);
}

void CrossSectionSlopeCurve::plotAttached(QwtPlot* plot)
{
    m_points->attach(plot);
    m_plates->attach(plot);
    m_slopes->attach(plot);
}

void CrossSectionSlopeCurve::plotDetached()
{
    m_points->detach();
    m_plates->detach();
    m_slopes->detach();
}

void CrossSectionSlopeCurve::setLine(const QList<QPointF>& line)
{
    const QVector<QPointF> samples = line.toVector();
    setSamples(samples);
    m_points->setLine(samples);
}

void CrossSectionSlopeCurve::setNamedPoints(const QList<PlotPoint>& points)
{
    m_points->setPoints(points.toVector());
}

void CrossSectionSlopeCurve::setPlateMarkers(const QList<PlateMarker>& markers)
{
    m_plates->setMarkers(markers.toVector());
}

void CrossSectionSlopeCurve::setSlopeMarkers(const QList<SlopeMarker>& markers)
{
    m_slopes->setMarkers(markers.toVector());
}

} // namespace Trelvin
} // namespace Zemko
