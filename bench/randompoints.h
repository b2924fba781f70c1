#pragma once

// The benches' terrain: points spread evenly over a 10 km square, heights 100 to 200 m, the same set on
// every run.
#include <corvex/point3d.h>

#include <random>
#include <vector>

inline std::vector<Pelko::Corvex::Point3D> randomTerrainPoints(int count)
{
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> coordinate(0, 10000);
    std::uniform_real_distribution<double> height(100, 200);
    std::vector<Pelko::Corvex::Point3D> points;
    points.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        points.emplace_back(coordinate(random), coordinate(random), height(random));
    return points;
}
