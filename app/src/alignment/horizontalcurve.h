#pragma once

#include "framework/plotmarkers.h"
#include "framework/roadcurve.h"
#include "framework/stationlabelscurve.h"

#include <corvex/point.h>

#include <QFont>
#include <QPainterPath>
#include <QTimer>
#include <QVector>

#include <utility>
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
//
// The centre line and the borders are sampled at the view's resolution: an overview of the whole road
// as fine as the fitted view needs, and, when the view shows more detail than that, only the part in
// view as finely as its pixels need. A change of view asks the road again once the events that moved
// it have been handled.
class HorizontalCurve : public Data::RoadCurve
{
public:
    // The road's drawing density in pixels: chords stray from arcs by about half of it, from spirals
    // by at most all of it.
    static constexpr double samplingPixels = 0.25;

    // What the drawn lines were sampled for: a window in plot coordinates (null for the whole road)
    // and the road's drawing density in metres.
    struct Sampling
    {
        bool wholeRoad = true;
        QRectF window;
        double density = 0.0;

        // Whether lines sampled so are good enough for a view that needs `view`.
        bool covers(const Sampling& view) const;
    };

    // Where a station lies on the element chain.
    struct Location
    {
        bool valid = false;
        double azimuth = 0.0; // degrees
        Pelko::Corvex::Point point { 0.0, 0.0 };
    };

    // Finds the element holding a station by halving when the begin and end stations rise along
    // the chain, else by walking it from the first element; the same element either way.
    class ElementSearch
    {
    public:
        explicit ElementSearch(const Pelko::Road::HorizontalElementConfiguration& elements);
        // Begin and end station of each element in chain order.
        explicit ElementSearch(std::vector<std::pair<double, double>> spans);

        // The first element holding the station within a millimetre, or the last one when none
        // does; -1 without elements.
        int find(double station) const;

    private:
        std::vector<std::pair<double, double>> m_spans;
        bool m_rising = true;
    };

    HorizontalCurve(const QString& name, const QColor& colour);
    ~HorizontalCurve() override;

    void rebuild(double tolerance) override;
    // The whole road's centre line, however far the view is zoomed in.
    QRectF boundingRect() const override;
    // The station labels.
    QVector<PlotLabel> fitLabels() const override;
    void plotAttached(QwtPlot* plot) override;
    void plotDetached() override;
    void viewChanged() override;

    const Sampling& sampling() const { return m_shown; }
    // A view change waits for the road to be asked again.
    bool isResampling() const { return m_resample.isActive(); }

    QwtPlotCurve* piPolygon() const { return m_piPolygon; }
    QwtPlotCurve* primaryPoints() const { return m_primaryPoints; }
    QwtPlotCurve* leftBorder() const { return m_leftBorder; }
    QwtPlotCurve* rightBorder() const { return m_rightBorder; }
    Data::StationLabelsCurve* labels() const { return m_labels; }
    Data::StructuralObjectCurve* structures() const { return m_structures; }

    static QVector<QPointF> toPlotPoints(const std::vector<Pelko::Corvex::Point>& points);
    // As toPlotPoints, but a point the road could not compute, or a cut at the window's edge, stays as
    // one (NaN, NaN) break in the line.
    static QVector<QPointF> toPlotLine(const std::vector<Pelko::Corvex::Point>& points);
    // The element holding the station, or the last one (extended) when none does.
    static Location locateOnElements(const Pelko::Road::HorizontalElementConfiguration& elements,
                                     double station);
    static Location locateOnElements(const Pelko::Road::HorizontalElementConfiguration& elements,
                                     const ElementSearch& search, double station);
    // The label text drawn about its anchor.
    static QPainterPath labelPath(const QFont& font, const QString& text);

private:
    struct Lines
    {
        QVector<QPointF> centre;
        QVector<QPointF> left;
        QVector<QPointF> right;
        // Of the whole road, whatever the window.
        QVector<QPointF> primary;
        Sampling sampling;
    };

    // The window and density the current view needs; false while the plot has no view to measure.
    bool viewSampling(Sampling& needed) const;
    Lines query(const Pelko::Road::RoadSurface& road, const Sampling& sampling) const;
    void show(const Lines& lines);
    // Shows lines good enough for the current view, asking the road for them when neither the lines
    // shown nor the overview are.
    void sampleView();

    QVector<Data::StationMark> stationMarks(const Pelko::Road::RoadSurface& road, const QFont& font) const;
    // Hands the marks to the structure layer and appends their labels; returns their extent in plot
    // coordinates.
    QRectF structureMarks(const Pelko::Road::RoadSurface& road, const QFont& font,
                          QVector<Data::StationMark>& labels) const;

    QwtPlotCurve* m_primaryPoints;
    QwtPlotCurve* m_piPolygon;
    QwtPlotCurve* m_leftBorder;
    QwtPlotCurve* m_rightBorder;
    Data::StationLabelsCurve* m_labels;
    Data::StructuralObjectCurve* m_structures;
    QwtPlot* m_plot = nullptr;
    // The finest density any view may ask for: the tolerance of the last rebuild.
    double m_tolerance = defaultTolerance;
    Lines m_overview;
    Sampling m_shown;
    QTimer m_resample;
};

} // namespace Trelvin
} // namespace Zemko
