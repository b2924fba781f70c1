#include "alignment/horizontalcurve.h"

#include "framework/metertounit.h"
#include "shell/trelvin.h"

#include <road/horizontalalignment.h>
#include <road/roadsurface.h>
#include <road/station.h>
#include <road/structureelementconfiguration.h>
#include <text/stationtext.h>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>

#include <QFontMetrics>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Zemko {
namespace Trelvin {

namespace {

QwtPlotCurve* makeCurve(const QPen& pen, QwtPlotCurve::CurveStyle style, double z)
{
    auto* curve = new QwtPlotCurve(QString());
    curve->setPen(pen);
    curve->setStyle(style);
    curve->setZ(z);
    return curve;
}

QString stationLabel(const Pelko::Road::StationsEquationConfiguration& equations, double continuous)
{
    const Pelko::Road::Station station = equations.getStationFromContinuous(continuous);
    return stationToText(MeterToUnit::instance()->fromMeters(station.getStation()), station.isOverlapped());
}

} // namespace

HorizontalCurve::HorizontalCurve(const QString& name, const QColor& colour)
    : RoadCurve(name, QwtPlotCurve::Lines, colour, Qt::SolidLine)
    , m_primaryPoints(makeCurve(QPen(Qt::blue, 5, Qt::SolidLine), QwtPlotCurve::Dots, 1))
    , m_piPolygon(makeCurve(QPen(Qt::white, 1, Qt::DashLine), QwtPlotCurve::Lines, -1))
    , m_leftBorder(makeCurve(QPen(Qt::yellow, 0, Qt::SolidLine), QwtPlotCurve::Lines, 0))
    , m_rightBorder(makeCurve(QPen(Qt::yellow, 0, Qt::SolidLine), QwtPlotCurve::Lines, 0))
    , m_labels(new Data::StationLabelsCurve(1))
    , m_structures(new Data::StructuralObjectCurve)
{
    m_labels->setZ(2);
    m_structures->setZ(1);
}

HorizontalCurve::~HorizontalCurve()
{
    delete m_primaryPoints;
    delete m_piPolygon;
    delete m_leftBorder;
    delete m_rightBorder;
    delete m_labels;
    delete m_structures;
}

void HorizontalCurve::plotAttached(QwtPlot* plot)
{
    m_piPolygon->attach(plot);
    m_primaryPoints->attach(plot);
    m_labels->attach(plot);
    m_structures->attach(plot);
    m_leftBorder->attach(plot);
    m_rightBorder->attach(plot);
    m_plot = plot;
}

void HorizontalCurve::plotDetached()
{
    m_piPolygon->detach();
    m_primaryPoints->detach();
    m_labels->detach();
    m_structures->detach();
    m_leftBorder->detach();
    m_rightBorder->detach();
}

QVector<QPointF> HorizontalCurve::toPlotPoints(const std::vector<Pelko::Corvex::Point>& points)
{
    QVector<QPointF> samples;
    samples.reserve(int(points.size()));
    // A point the road could not compute is left out rather than handed to the painter.
    for (const Pelko::Corvex::Point& p : points)
        if (std::isfinite(p.getX()) && std::isfinite(p.getY()))
            samples.append(QPointF(p.getY(), p.getX()));
    return samples;
}

void HorizontalCurve::rebuild(double tolerance)
{
    if (!m_plot)
        return;
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road) {
        setRawSamples(nullptr, nullptr, 0);
        return;
    }
    const Pelko::Road::HorizontalAlignment* alignment = road->getHorizontalAligment();

    const Pelko::Road::PointOfIntersectionConfiguration pis = alignment->getPointOfIntersections();
    std::vector<Pelko::Corvex::Point> corners;
    corners.reserve(pis.size());
    for (unsigned i = 0; i < pis.size(); ++i)
        corners.push_back(pis.at(i).getPointOfIntersection());
    m_piPolygon->setSamples(toPlotPoints(corners));
    m_piPolygon->attach(m_plot);

    const double inf = std::numeric_limits<double>::infinity();
    const Pelko::Road::ClippedHorizontalAlignment plan = road->getBorderAndAlign(
        tolerance, -inf, -inf, inf, inf, Pelko::Road::ClippedHorizontalAlignment::AllLines, 1);
    setSamples(toPlotPoints(plan.getCenterLinePoints()));

    std::vector<Pelko::Corvex::Point> boundaries;
    for (const auto& primary : plan.getPrimaryPoints())
        boundaries.push_back(primary.point);
    m_primaryPoints->setSamples(toPlotPoints(boundaries));
    m_labels->setBoundingRect(m_primaryPoints->boundingRect());

    QFont font = m_plot->canvas()->font();
    font.setPointSize(12);
    m_labels->setMarks(stationMarks(*road, font));

    m_leftBorder->setSamples(toPlotPoints(plan.getLeftBorder()));
    m_rightBorder->setSamples(toPlotPoints(plan.getRightBorder()));

    m_structures->setBoundingRect(structureMarks(*road, font));
}

QPainterPath HorizontalCurve::labelPath(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    const QPointF origin(metrics.horizontalAdvance(QLatin1Char('X')),
                         metrics.height() * 0.5 - metrics.descent());
    QPainterPath path;
    path.addText(origin, font, text);
    return path;
}

QVector<Data::StationMark> HorizontalCurve::stationMarks(const Pelko::Road::RoadSurface& road,
                                                         const QFont& font) const
{
    QVector<Data::StationMark> marks;
    const Pelko::Road::HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements();
    if (elements.size() == 0)
        return marks;
    const Pelko::Road::StationsEquationConfiguration equations = road.getStationsEquations();

    auto mark = [&](double station, const Pelko::Corvex::Point& point, const Pelko::Corvex::Angle& azimuth) {
        Data::StationMark m;
        m.text = stationLabel(equations, station);
        m.path = labelPath(font, m.text);
        m.x = point.getX();
        m.y = point.getY();
        m.angle = azimuth.toDegree();
        return m;
    };
    marks.reserve(int(elements.size()) + 1);
    for (unsigned i = 0; i < elements.size(); ++i) {
        const Pelko::Road::HorizontalElement element = elements.at(i);
        marks.append(mark(element.getBeginStation(), element.getBeginPoint(), element.getBeginAzimuth()));
    }
    const Pelko::Road::HorizontalElement last = elements.at(elements.size() - 1);
    marks.append(mark(last.getEndStation(), last.getEndPoint(), last.getEndAzimuth()));
    return marks;
}

HorizontalCurve::Location
HorizontalCurve::locateOnElements(const Pelko::Road::HorizontalElementConfiguration& elements, double station)
{
    Location location;
    if (elements.size() == 0)
        return location;
    Pelko::Road::HorizontalElement element = elements.at(elements.size() - 1);
    for (unsigned i = 0; i < elements.size(); ++i)
        if (elements.at(i).contains(station, 0.001)) {
            element = elements.at(i);
            break;
        }
    const double s = station - element.getBeginStation();
    const double azimuth = element.getAzimuth(s).toDegree();
    const Pelko::Corvex::Point point = element.getNorthEast(s);
    if (!std::isfinite(azimuth) || !point.isValid())
        return location;
    location.valid = true;
    location.azimuth = azimuth;
    location.point = point;
    return location;
}

QRectF HorizontalCurve::structureMarks(const Pelko::Road::RoadSurface& road, const QFont& font) const
{
    const Pelko::Road::StructureElementConfiguration structures = road.getStructures();
    if (structures.size() == 0) {
        m_structures->clearObjects();
        return QRectF();
    }
    const Pelko::Road::HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements();
    const Pelko::Road::StationsEquationConfiguration equations = road.getStationsEquations();

    QVector<Data::StructureMark> marks;
    QRectF extent;
    for (unsigned i = 0; i < structures.size(); ++i) {
        const Pelko::Road::StructureElement structure = structures.at(i);
        const double widths[] = { structure.getForwardWidth(), structure.getBackwardWidth(),
                                  structure.getLeftWidth(), structure.getRightWidth() };
        const double skew = structure.getAngle().toDegree();
        // A structure with numbers that cannot be drawn, or off any element, is left out of the plan.
        if (!std::isfinite(skew)
            || !std::all_of(std::begin(widths), std::end(widths), [](double w) { return std::isfinite(w); }))
            continue;

        // Placed by its continuous station; only the label shows the equation form.
        const Location location = locateOnElements(elements, structure.getStation());
        if (!location.valid)
            continue;
        Data::StructureMark mark;
        mark.text = stationLabel(equations, structure.getStation());
        mark.path = labelPath(font, mark.text);
        mark.x = location.point.getX();
        mark.y = location.point.getY();
        mark.angle = location.azimuth;
        mark.skew = skew;
        mark.left = widths[0];
        mark.right = widths[1];
        mark.bottom = widths[2];
        mark.top = widths[3];
        mark.centerHeight = structure.getCenterHeight();
        mark.crossSlope = structure.getCrossSlope();
        mark.skewed = structure.getBuildType() == Pelko::Road::SkewAndSkewBuildType;
        marks.append(mark);

        const double m = *std::max_element(std::begin(widths), std::end(widths));
        extent |= QRectF(mark.y - m, mark.x - m, 2.0 * m, 2.0 * m);
    }
    m_structures->setObjects(marks);
    return extent;
}

} // namespace Trelvin
} // namespace Zemko
