#pragma once

#include "framework/roadplot.h"

#include <qwt_plot_canvas.h>
#include <qwt_scale_map.h>

#include <algorithm>

// A plot that counts its replots.
class CountingPlot : public Zemko::Trelvin::RoadPlot
{
public:
    void replot() override
    {
        ++replots;
        RoadPlot::replot();
    }
    int replots = 0;
};

// The pixels the left scale's ticks and texts take inside the canvas.
inline double leftScaleExtent(const Zemko::Trelvin::RoadPlot& plot)
{
    const auto* scale = plot.leftScaleItem();
    return scale->borderDistance() + scale->scaleDraw()->extent(scale->font());
}

// Whether the plot's x range fits left..right, a road wider than tall: with at least the fit's margin
// of its width free on either side, clear of the left scale's texts, and reaching to within a few
// pixels of the right end of the canvas's map.
inline bool fittedAcross(const Zemko::Trelvin::RoadPlot& plot, double left, double right)
{
    const QwtScaleMap x = plot.canvasMap(QwtPlot::xBottom);
    const double margin = Zemko::Trelvin::RoadPlot::fitMargin * (right - left);
    const double start = x.transform(left - margin);
    const double end = x.transform(right + margin);
    const double last = std::max(x.p1(), x.p2());
    return start >= leftScaleExtent(plot) && end <= last + 0.5 && end >= last - 2.0;
}
