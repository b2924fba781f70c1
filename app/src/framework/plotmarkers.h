#pragma once

#include "framework/plotseriesitem.h"
#include "framework/roadplot.h"

#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QString>

class QFontMetricsF;

// The marker items of the plots. In plate, slope and structure records x is the north (or vertical)
// model coordinate, drawn through the plot's y map, and y the east (or horizontal) coordinate, drawn
// through the x map. Callers fill the records by position.

namespace Zemko {
namespace Trelvin {
namespace Data {

struct NamedPoint
{
    QString name;
    double x = 0.0;
    double y = 0.0;

    bool operator==(const NamedPoint& o) const { return name == o.name && x == o.x && y == o.y; }
};

struct PlateMarker
{
    bool reversed = false;
    QPointF position;
    // Along the horizontal plot axis, model units.
    double length = 0.0;
    // A ratio: 0.02 is 2 %.
    double grade = 0.0;

    bool operator==(const PlateMarker& o) const
    {
        return reversed == o.reversed && position == o.position && length == o.length && grade == o.grade;
    }
};

struct SlopeMarker
{
    bool reversed = false;
    // Negative on the left side.
    qint32 side = 0;
    QPointF position;
    // Horizontal extent of the slope, model units.
    double width = 0.0;
    // n of the slope 1:n.
    double ratio = 1.0;

    bool operator==(const SlopeMarker& o) const
    {
        return reversed == o.reversed && side == o.side && position == o.position && width == o.width
            && ratio == o.ratio;
    }
};

struct StructureMark
{
    QString text;
    // The symbol in pixels about its origin.
    QPainterPath path;
    double x = 0.0;
    double y = 0.0;
    // Rotation of the symbol, degrees.
    double angle = 0.0;
    double skew = 0.0;
    // Extents in model units from the point: left and right along the horizontal axis, bottom and top
    // along the vertical axis.
    double left = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    double top = 0.0;
    // Carried for the callers; drawing does not use them.
    double centerHeight = 0.0;
    double crossSlope = 0.0;
    bool skewed = false;

    bool operator==(const StructureMark& o) const;
};

// What a plate or slope marker shows: the text and the tilt of its label, and which way its arrow
// points. An empty text with visible false draws nothing.
struct MarkerLabel
{
    bool visible = true;
    QString text;
    double tilt = 0.0;
    bool falling = false;
};

// Where one text of a marker goes: its rectangle in the marker's frame (about the marker's anchor
// pixel, before the tilt) and its corners on the canvas. Not shown when no place was free.
struct MarkerText
{
    bool shown = false;
    QRectF rect;
    QPolygonF box;
};

// The texts of a section's markers laid out together: per plate marker its grade (above the line) and
// its length (below), per slope marker its height and ratio (above), and the boxes the points' names
// and dots take. Entries of markers that draw no such text are not shown.
struct MarkerTexts
{
    QVector<MarkerText> grades;
    QVector<MarkerText> lengths;
    QVector<MarkerText> slopes;
    QVector<QRectF> names;
};

// The arrow under a marker label: head length a and height h for a label span w.
struct MarkerArrow
{
    int length = 0;
    int height = 0;
};

class NamedPointsCurve;
class PlateMarkerCurve;
class SlopeMarkerCurve;

namespace Internal {
MarkerArrow markerArrow(int span);
// The points' names, each whole and within the canvas (when it is not empty), clear of every dot and
// of each other: below its dot when that place is free, else above, left or right of it, else by one
// of its corners, else as much again half a line further out; a place off the drawn line (a polyline
// in plot coordinates) before one on it. The names of crowded points choose first. A name with no
// place free is left out; a name repeated at the same dot is drawn at the place of the first. The
// rectangles are on the canvas.
QVector<MarkerText> layoutNames(const QVector<NamedPoint>& names, const QVector<QPointF>& line,
                                const QwtScaleMap& xMap, const QwtScaleMap& yMap, const QRectF& canvas,
                                const QFontMetricsF& metrics);
// Every text whole and within the canvas (when it is not empty), clear of the names and dots and of
// the texts placed before it; the names are laid out first. A text keeps its place by its marker when
// that is free, else moves away from the line a line or two; with no place free it is left out.
// Markers wider on the screen are placed first, so that the narrow ones give way.
MarkerTexts layoutMarkerTexts(const QVector<NamedPoint>& names, const QVector<PlateMarker>& plates,
                              const QVector<SlopeMarker>& slopes, const QwtScaleMap& xMap,
                              const QwtScaleMap& yMap, const QRectF& canvas, const QFontMetricsF& metrics,
                              const QVector<QPointF>& drawnLine = {});
// Pixel span of a label: 80 % of the screen length from px to the mapped end.
int labelSpan(const QwtScaleMap& xMap, int px, double endY);
} // namespace Internal

class NamedPointsCurve : public RecordSeriesItem<NamedPoint>
{
public:
    void setPoints(const QVector<NamedPoint>& points) { replaceRecords(points); }
    const QVector<NamedPoint>& points() const { return records(); }
    // The line drawn through the points (plot coordinates), which their names keep off where they can.
    void setLine(const QVector<QPointF>& line) { drawnLine = line; }
    const QVector<QPointF>& line() const { return drawnLine; }
    // The dots and the names below them, for fitting the view.
    QVector<PlotLabel> fitLabels() const;

    void drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                    const QRectF& canvasRect, int from, int to) const override;

private:
    QVector<QPointF> drawnLine;
};

class PlateMarkerCurve : public RecordSeriesItem<PlateMarker>
{
public:
    void setMarkers(const QVector<PlateMarker>& markers) { replaceRecords(markers); }
    const QVector<PlateMarker>& markers() const { return records(); }
    // The names and slope markers drawn beside these, whose room the texts share (either may be null;
    // both must outlive this item's drawing).
    void shareRoomWith(const NamedPointsCurve* names, const SlopeMarkerCurve* slopes);
    // The texts as drawn for these maps and canvas.
    MarkerTexts texts(const QwtScaleMap& xMap, const QwtScaleMap& yMap, const QRectF& canvas,
                      const QFontMetricsF& metrics) const;

    // The grade text and tilt; the text is empty for a grade below 0.0001 in magnitude.
    static MarkerLabel label(const PlateMarker& marker);
    // The room the texts above and below each plate take, in the font they are drawn in.
    QVector<PlotLabel> fitLabels(const QFontMetricsF& metrics) const;

    void drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                    const QRectF& canvasRect, int from, int to) const override;

private:
    const NamedPointsCurve* sharedNames = nullptr;
    const SlopeMarkerCurve* sharedSlopes = nullptr;
};

class SlopeMarkerCurve : public RecordSeriesItem<SlopeMarker>
{
public:
    void setMarkers(const QVector<SlopeMarker>& markers) { replaceRecords(markers); }
    const QVector<SlopeMarker>& markers() const { return records(); }
    // As PlateMarkerCurve's.
    void shareRoomWith(const NamedPointsCurve* names, const PlateMarkerCurve* plates);
    MarkerTexts texts(const QwtScaleMap& xMap, const QwtScaleMap& yMap, const QRectF& canvas,
                      const QFontMetricsF& metrics) const;

    // "h=..\n1:.."; not visible for a ratio below 0.0001 in magnitude.
    static MarkerLabel label(const SlopeMarker& marker);
    // The room the texts above each slope take, in the font they are drawn in.
    QVector<PlotLabel> fitLabels(const QFontMetricsF& metrics) const;

    void drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                    const QRectF& canvasRect, int from, int to) const override;

private:
    const NamedPointsCurve* sharedNames = nullptr;
    const PlateMarkerCurve* sharedPlates = nullptr;
};

class StructuralObjectCurve : public RecordSeriesItem<StructureMark>
{
public:
    void setObjects(const QVector<StructureMark>& objects) { replaceRecords(objects); }
    void clearObjects() { replaceRecords({}); }
    const QVector<StructureMark>& objects() const { return records(); }

    // The end offsets (dl, dr) of a skewed outline for pixel extents l and r: zero unless skewed with
    // a skew of at least 0.1 degree once brought into [0, 180).
    static QPoint skewOffsets(const StructureMark& mark, int l, int r);

    void drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                    const QRectF& canvasRect, int from, int to) const override;
};

} // namespace Data
} // namespace Trelvin
} // namespace Zemko
