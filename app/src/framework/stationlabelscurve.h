#pragma once

#include "framework/plotseriesitem.h"
#include "framework/roadplot.h"

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QTransform>

#include <memory>

class QwtPlot;

namespace Zemko {
namespace Trelvin {
namespace Data {

// One station label.
struct StationMark
{
    // Not drawn; the path holds the text.
    QString text;
    // The label outline in pixels about its anchor.
    QPainterPath path;
    // The outline's extent (its control points' bounds); a null rectangle is measured from the path.
    QRectF box;
    // North, through the y map.
    double x = 0.0;
    // East, through the x map.
    double y = 0.0;
    // Degrees, clockwise on screen.
    double angle = 0.0;
    // A structure's label: drawn green, and laid out after every station label, so that it gives way
    // to them.
    bool structure = false;

    bool operator==(const StationMark& o) const
    {
        return text == o.text && path == o.path && box == o.box && x == o.x && y == o.y && angle == o.angle
            && structure == o.structure;
    }
};

// Label outlines drawn about their anchor (a letter's width left of the text, centred on it
// vertically), composed from cached glyph outlines: shaping and hinting each label anew costs tens of
// microseconds, thousands of times per rebuild on a long road, while station texts repeat a dozen
// characters, and the pages and every rebuild after an edit label the same stations. Glyphs are
// placed side by side (no kerning); a text needing more than Latin-1 is shaped as a whole. Main
// thread only, as all drawing setup.
class LabelPaths
{
public:
    explicit LabelPaths(const QFont& font);

    // The outline of the text, and its extent in box when given.
    QPainterPath path(const QString& text, QRectF* box = nullptr);
    // The text shaped anew, without the caches.
    static QPainterPath shaped(const QFont& font, const QString& text);

private:
    struct Glyphs;

    QPainterPath compose(const QString& text, QRectF& box);

    const QFont& font;
    const QString key;
    Glyphs& glyphs;
};

// Station labels of the plan and profile views. The labels are rendered into one transparent image in
// parallel on Qt's global thread pool whenever the view or the marks change; painting only draws that
// image. A newer render cancels the one in progress. Each label is rendered into an image just large
// enough for it, and a label off the canvas not at all.
//
// A label runs along the mark's angle but is turned half round about its own centre where it would
// read upside down. The marks come in station order; for each view the labels are laid out in that
// order and a label whose box would overlap one already laid out, or come within a few pixels of it,
// is left out, except the first and the last station label, which are always drawn. Structure labels
// are laid out after all station labels, by the same rule. A zoom lays them out anew.
class StationLabelsCurve : public RecordSeriesItem<StationMark>
{
public:
    using StationMark = Data::StationMark;

    // One rendered label: its pixels, placed at offset on a canvas of the given size. The image is
    // null when nothing of the label shows on the canvas.
    struct Label
    {
        QImage image;
        QPoint offset;
        QSize canvas;
    };

    // Whether a label along this angle (degrees, clockwise on screen) would read upside down.
    static bool upsideDown(double angle);
    // From the label's outline (about its anchor) to the canvas: at the anchor's pixel, along the
    // mark's angle, turned about the centre of box (the outline's extent) when upside down.
    static QTransform placement(const StationMark& mark, const QRectF& box, const QwtScaleMap& xMap,
                                const QwtScaleMap& yMap);
    // The marks drawn on a canvas of the given size, as indices in station order: those whose box
    // reaches the canvas and overlaps none laid out before it, and the first and last station mark
    // whenever they reach the canvas; structure marks come after every station mark. boxes holds the
    // extent of each mark's outline.
    static QVector<int> layout(const QVector<StationMark>& marks, const QVector<QRectF>& boxes,
                               const QwtScaleMap& xMap, const QwtScaleMap& yMap, QSize size);

    // Renders one label into a transparent image of its own size; runs on pool threads.
    struct Render
    {
        using result_type = Label;

        QwtScaleMap xMap;
        QwtScaleMap yMap;
        QSize size;

        Label operator()(const StationMark& mark) const;
    };

    // Every caller passes 1; the value is not used.
    explicit StationLabelsCurve(int layers = 1);
    ~StationLabelsCurve() override;

    // Replaces the station marks and the structures' labels when they differ and renders them anew
    // when attached.
    void setMarks(const QVector<StationMark>& marks, const QVector<StationMark>& structures = {});
    const QVector<StationMark>& marks() const;
    // The structures' labels, each with structure set.
    const QVector<StationMark>& structureMarks() const;

    // Renders for the plot's current view unless the cached image was made for it.
    void startRender(QwtPlot* plot);
    // The last finished render; null while none is ready.
    QImage image() const;
    // True while the latest render started has not been handed over.
    bool isRendering() const;
    // The marks the latest render draws (indices into marks()).
    QVector<int> drawnMarks() const;
    // The structures' labels it draws (indices into structureMarks()).
    QVector<int> drawnStructureMarks() const;
    // Every label with the room it takes about its anchor, for fitting the view.
    QVector<PlotLabel> fitLabels() const;

    void updateScaleDiv(const QwtScaleDiv& xScaleDiv, const QwtScaleDiv& yScaleDiv) override;
    void drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                    const QRectF& canvasRect, int from, int to) const override;

private:
    struct Private;

    void render(QwtPlot* plot, bool force);

    std::unique_ptr<Private> d;
};

} // namespace Data
} // namespace Trelvin
} // namespace Zemko
