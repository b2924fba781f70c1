#pragma once

#include "framework/roadplot.h"

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
