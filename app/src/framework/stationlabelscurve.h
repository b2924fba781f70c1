#pragma once

#include "framework/plotseriesitem.h"

#include <QImage>
#include <QPainterPath>
#include <QSize>
#include <QString>

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
    // North, through the y map.
    double x = 0.0;
    // East, through the x map.
    double y = 0.0;
    // Degrees, clockwise on screen.
    double angle = 0.0;

    bool operator==(const StationMark& o) const
    {
        return text == o.text && path == o.path && x == o.x && y == o.y && angle == o.angle;
    }
};

// Station labels of the plan and profile views. The labels are rendered into one transparent image in
// parallel on Qt's global thread pool whenever the view or the marks change; painting only draws that
// image. A newer render cancels the one in progress.
class StationLabelsCurve : public RecordSeriesItem<StationMark>
{
public:
    using StationMark = Data::StationMark;

    // Renders one label into a canvas-sized transparent image; runs on pool threads.
    struct Render
    {
        using result_type = QImage;

        QwtScaleMap xMap;
        QwtScaleMap yMap;
        QSize size;

        QImage operator()(const StationMark& mark) const;
    };

    // Every caller passes 1; the value is not used.
    explicit StationLabelsCurve(int layers = 1);
    ~StationLabelsCurve() override;

    // Replaces the marks when they differ and renders them anew when attached.
    void setMarks(const QVector<StationMark>& marks);
    const QVector<StationMark>& marks() const;

    // Renders for the plot's current view unless the cached image was made for it.
    void startRender(QwtPlot* plot);
    // The last finished render; null while none is ready.
    QImage image() const;
    // True while the latest render started has not been handed over.
    bool isRendering() const;

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
