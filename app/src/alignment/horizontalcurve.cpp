#include "alignment/horizontalcurve.h"

#include "document/trelvin.h"
#include "framework/metertounit.h"

#include <road/horizontalalignment.h>
#include <road/roadsurface.h>
#include <road/station.h>
#include <road/structureelementconfiguration.h>
#include <text/stationtext.h>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>

#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Zemko {
namespace Trelvin {

namespace {

template<typename Curve = QwtPlotCurve>
QwtPlotCurve* makeCurve(const QPen& pen, QwtPlotCurve::CurveStyle style, double z)
{
    auto* curve = new Curve(QString());
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

bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The overview is sampled for a canvas at least this wide and high, so that a page shown after the
// rebuild in a larger window, or one not laid out yet, still fits the road without asking again.
constexpr int kOverviewPixels = 1000;

// The density at which the fitted whole road looks as fine as samplingPixels asks: metres per pixel
// from the element ends' extent, which the curves between them exceed only a little.
double overviewDensity(const Pelko::Road::HorizontalElementConfiguration& elements, QSize canvas,
                       double tolerance)
{
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
    bool any = false;
    auto include = [&](const Pelko::Corvex::Point& p) {
        if (!p.isValid())
            return;
        minX = any ? std::min(minX, p.getX()) : p.getX();
        maxX = any ? std::max(maxX, p.getX()) : p.getX();
        minY = any ? std::min(minY, p.getY()) : p.getY();
        maxY = any ? std::max(maxY, p.getY()) : p.getY();
        any = true;
    };
    for (unsigned i = 0; i < elements.size(); ++i)
        include(elements.at(i).getBeginPoint());
    if (elements.size() > 0)
        include(elements.at(elements.size() - 1).getEndPoint());
    canvas = canvas.expandedTo(QSize(kOverviewPixels, kOverviewPixels));
    // Plot x is east (the road's y).
    const double perPixel = std::max((maxY - minY) / canvas.width(), (maxX - minX) / canvas.height());
    const double density = HorizontalCurve::samplingPixels * perPixel;
    return std::isfinite(density) ? std::max(tolerance, density) : tolerance;
}

} // namespace

bool HorizontalCurve::Sampling::covers(const Sampling& view) const
{
    if (!(density <= view.density * (1.0 + 1e-9)))
        return false;
    if (wholeRoad)
        return true;
    if (view.wholeRoad)
        return false;
    return window.left() <= view.window.left() && window.right() >= view.window.right()
        && window.top() <= view.window.top() && window.bottom() >= view.window.bottom();
}

HorizontalCurve::HorizontalCurve(const QString& name, const QColor& colour)
    : RoadCurve(name, QwtPlotCurve::Lines, colour, Qt::SolidLine)
    , m_primaryPoints(makeCurve(QPen(Qt::blue, 5, Qt::SolidLine), QwtPlotCurve::Dots, 1))
    , m_piPolygon(makeCurve(QPen(Qt::white, 1, Qt::DashLine), QwtPlotCurve::Lines, -1))
    , m_leftBorder(makeCurve<Data::GappedCurve>(QPen(Qt::yellow, 0, Qt::SolidLine), QwtPlotCurve::Lines, 0))
    , m_rightBorder(makeCurve<Data::GappedCurve>(QPen(Qt::yellow, 0, Qt::SolidLine), QwtPlotCurve::Lines, 0))
    , m_labels(new Data::StationLabelsCurve(1))
    , m_structures(new Data::StructuralObjectCurve)
{
    m_labels->setZ(2);
    m_structures->setZ(1);
    // A zero-time single shot: the events of one wheel turn or one pan are handled first, then the
    // road is asked once for the view they left.
    m_resample.setSingleShot(true);
    m_resample.setInterval(0);
    QObject::connect(&m_resample, &QTimer::timeout, [this] {
        const Sampling before = m_shown;
        sampleView();
        if (m_plot && plot()
            && (before.wholeRoad != m_shown.wholeRoad || before.window != m_shown.window
                || before.density != m_shown.density))
            m_plot->replot();
    });
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
    m_resample.stop();
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

QVector<QPointF> HorizontalCurve::toPlotLine(const std::vector<Pelko::Corvex::Point>& points)
{
    QVector<QPointF> samples;
    samples.reserve(int(points.size()));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Pelko::Corvex::Point& p : points) {
        if (std::isfinite(p.getX()) && std::isfinite(p.getY()))
            samples.append(QPointF(p.getY(), p.getX()));
        else if (!samples.isEmpty() && isFinite(samples.last()))
            samples.append(QPointF(nan, nan));
    }
    if (!samples.isEmpty() && !isFinite(samples.last()))
        samples.removeLast();
    return samples;
}

void HorizontalCurve::rebuild(double tolerance)
{
    if (!m_plot)
        return;
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road) {
        setRawSamples(nullptr, nullptr, 0);
        m_overview = Lines();
        m_shown = Sampling();
        m_resample.stop();
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

    m_tolerance = std::isfinite(tolerance) && tolerance > 0.0 ? tolerance : defaultTolerance;
    Sampling whole;
    whole.density
        = overviewDensity(alignment->getElements(), m_plot->canvas()->contentsRect().size(), m_tolerance);
    m_overview = query(*road, whole);
    show(m_overview);
    sampleView();

    m_primaryPoints->setSamples(m_overview.primary);
    m_labels->setBoundingRect(m_primaryPoints->boundingRect());

    QFont font = m_plot->canvas()->font();
    font.setPointSize(12);
    // Structure labels are thinned out with the station labels, in one layer.
    QVector<Data::StationMark> structureLabels;
    m_structures->setBoundingRect(structureMarks(*road, font, structureLabels));
    m_labels->setMarks(stationMarks(*road, font), structureLabels);
}

QRectF HorizontalCurve::boundingRect() const
{
    const QwtPointSeriesData overview(m_overview.centre);
    return extentOf(&overview);
}

QVector<PlotLabel> HorizontalCurve::fitLabels() const
{
    return m_labels->fitLabels();
}

void HorizontalCurve::viewChanged()
{
    if (!Trelvin::instance()->road() || m_overview.centre.isEmpty())
        return;
    Sampling view;
    if (!viewSampling(view))
        return;
    // A view that passed on its way here (the rescaler replots on the way) needs nothing any more.
    if (m_shown.covers(view)) {
        m_resample.stop();
        return;
    }
    // Switching to the overview costs nothing and is drawn by the replot under way.
    if (m_overview.sampling.covers(view)) {
        m_resample.stop();
        show(m_overview);
        return;
    }
    m_resample.start();
}

bool HorizontalCurve::viewSampling(Sampling& view) const
{
    if (!m_plot)
        return false;
    const QwtScaleMap x = m_plot->canvasMap(QwtPlot::xBottom);
    const QwtScaleMap y = m_plot->canvasMap(QwtPlot::yLeft);
    const double width = std::abs(x.pDist());
    const double height = std::abs(y.pDist());
    if (!(width >= 1.0) || !(height >= 1.0))
        return false;
    const double perPixel = std::max(std::abs(x.sDist()) / width, std::abs(y.sDist()) / height);
    const QRectF window(QPointF(std::min(x.s1(), x.s2()), std::min(y.s1(), y.s2())),
                        QPointF(std::max(x.s1(), x.s2()), std::max(y.s1(), y.s2())));
    if (!std::isfinite(perPixel) || !std::isfinite(window.left()) || !std::isfinite(window.right())
        || !std::isfinite(window.top()) || !std::isfinite(window.bottom()))
        return false;
    view.wholeRoad = false;
    view.window = window;
    view.density = std::max(m_tolerance, samplingPixels * perPixel);
    return true;
}

HorizontalCurve::Lines HorizontalCurve::query(const Pelko::Road::RoadSurface& road,
                                              const Sampling& sampling) const
{
    const double inf = std::numeric_limits<double>::infinity();
    // The road's window is north (plot y) first, then east (plot x).
    const QRectF& w = sampling.window;
    const Pelko::Road::ClippedHorizontalAlignment plan = sampling.wholeRoad
        ? road.getBorderAndAlign(sampling.density, -inf, -inf, inf, inf,
                                 Pelko::Road::ClippedHorizontalAlignment::AllLines, 1)
        : road.getBorderAndAlign(sampling.density, w.top(), w.left(), w.bottom(), w.right(),
                                 Pelko::Road::ClippedHorizontalAlignment::AllLines, 1);
    Lines lines;
    lines.sampling = sampling;
    lines.centre = toPlotLine(plan.getCenterLinePoints());
    lines.left = toPlotLine(plan.getLeftBorder());
    lines.right = toPlotLine(plan.getRightBorder());
    std::vector<Pelko::Corvex::Point> boundaries;
    for (const auto& primary : plan.getPrimaryPoints())
        boundaries.push_back(primary.point);
    lines.primary = toPlotPoints(boundaries);
    return lines;
}

void HorizontalCurve::show(const Lines& lines)
{
    setSamples(lines.centre);
    m_leftBorder->setSamples(lines.left);
    m_rightBorder->setSamples(lines.right);
    m_shown = lines.sampling;
}

void HorizontalCurve::sampleView()
{
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    Sampling view;
    if (!road || m_overview.centre.isEmpty() || !viewSampling(view) || m_shown.covers(view))
        return;
    if (m_overview.sampling.covers(view)) {
        show(m_overview);
        return;
    }
    // Half a view more on every side: a small pan or zoom out stays within what was sampled.
    const QRectF& w = view.window;
    view.window = w.adjusted(-w.width() / 2.0, -w.height() / 2.0, w.width() / 2.0, w.height() / 2.0);
    show(query(*road, view));
}

QPainterPath HorizontalCurve::labelPath(const QFont& font, const QString& text)
{
    return Data::LabelPaths::shaped(font, text);
}

QVector<Data::StationMark> HorizontalCurve::stationMarks(const Pelko::Road::RoadSurface& road,
                                                         const QFont& font) const
{
    QVector<Data::StationMark> marks;
    const Pelko::Road::HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements();
    if (elements.size() == 0)
        return marks;
    const Pelko::Road::StationsEquationConfiguration equations = road.getStationsEquations();
    Data::LabelPaths paths(font);

    auto mark = [&](double station, const Pelko::Corvex::Point& point, const Pelko::Corvex::Angle& azimuth) {
        Data::StationMark m;
        m.text = stationLabel(equations, station);
        m.path = paths.path(m.text, &m.box);
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

namespace {

// As HorizontalElement::contains.
constexpr double locateTolerance = 0.001;

bool fromBegin(double station, double begin)
{
    return station > begin || std::fabs(station - begin) < locateTolerance;
}

bool toEnd(double station, double end)
{
    return station < end || std::fabs(station - end) < locateTolerance;
}

} // namespace

HorizontalCurve::ElementSearch::ElementSearch(const Pelko::Road::HorizontalElementConfiguration& elements)
    : ElementSearch([&elements] {
        std::vector<std::pair<double, double>> spans;
        spans.reserve(elements.size());
        for (unsigned i = 0; i < elements.size(); ++i) {
            const Pelko::Road::HorizontalElement element = elements.at(i);
            spans.emplace_back(element.getBeginStation(), element.getEndStation());
        }
        return spans;
    }())
{
}

HorizontalCurve::ElementSearch::ElementSearch(std::vector<std::pair<double, double>> spans)
    : m_spans(std::move(spans))
{
    // With both begins and ends rising, the elements a station is past the begin of are a leading
    // run and those it is short of the end of a trailing one, so the first holding it is the first
    // of the trailing run or none. NaN stations fail the comparison and take the walk.
    for (std::size_t i = 1; i < m_spans.size() && m_rising; ++i)
        m_rising = m_spans[i - 1].first <= m_spans[i].first && m_spans[i - 1].second <= m_spans[i].second;
}

int HorizontalCurve::ElementSearch::find(double station) const
{
    const int count = int(m_spans.size());
    if (count == 0)
        return -1;
    if (!m_rising) {
        for (int i = 0; i < count; ++i)
            if (fromBegin(station, m_spans[i].first) && toEnd(station, m_spans[i].second))
                return i;
        return count - 1;
    }
    const auto first = std::partition_point(
        m_spans.begin(), m_spans.end(),
        [station](const std::pair<double, double>& span) { return !toEnd(station, span.second); });
    if (first != m_spans.end() && fromBegin(station, first->first))
        return int(first - m_spans.begin());
    return count - 1;
}

HorizontalCurve::Location
HorizontalCurve::locateOnElements(const Pelko::Road::HorizontalElementConfiguration& elements, double station)
{
    return locateOnElements(elements, ElementSearch(elements), station);
}

HorizontalCurve::Location
HorizontalCurve::locateOnElements(const Pelko::Road::HorizontalElementConfiguration& elements,
                                  const ElementSearch& search, double station)
{
    Location location;
    const int index = search.find(station);
    if (index < 0)
        return location;
    const Pelko::Road::HorizontalElement element = elements.at(unsigned(index));
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

QRectF HorizontalCurve::structureMarks(const Pelko::Road::RoadSurface& road, const QFont& font,
                                       QVector<Data::StationMark>& labels) const
{
    const Pelko::Road::StructureElementConfiguration structures = road.getStructures();
    if (structures.size() == 0) {
        m_structures->clearObjects();
        return QRectF();
    }
    const Pelko::Road::HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements();
    const Pelko::Road::StationsEquationConfiguration equations = road.getStationsEquations();
    const ElementSearch search(elements);
    Data::LabelPaths paths(font);

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
        const Location location = locateOnElements(elements, search, structure.getStation());
        if (!location.valid)
            continue;
        Data::StructureMark mark;
        mark.text = stationLabel(equations, structure.getStation());
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

        Data::StationMark label;
        label.text = mark.text;
        label.path = paths.path(label.text, &label.box);
        label.x = mark.x;
        label.y = mark.y;
        label.angle = mark.angle;
        label.structure = true;
        labels.append(label);

        const double m = *std::max_element(std::begin(widths), std::end(widths));
        extent |= QRectF(mark.y - m, mark.x - m, 2.0 * m, 2.0 * m);
    }
    m_structures->setObjects(marks);
    return extent;
}

} // namespace Trelvin
} // namespace Zemko
