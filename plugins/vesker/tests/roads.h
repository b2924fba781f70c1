#pragma once

// Road files for the stake-export tests, built with the road library, saved into a temporary folder
// and loaded back as the program would open them.
#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelement.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/standardsection.h>
#include <road/station.h>
#include <road/verticalalignment.h>
#include <road/verticalelement.h>

#include <QString>
#include <QTemporaryDir>

#include <cmath>
#include <limits>
#include <memory>

namespace TestRoads {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

struct Shape
{
    bool curve = false; // a spiral-arc-spiral after the first line
    bool equation = false; // 160 is the same place as 150 on the new chainage (a long equation)
    bool profile = true;
};

// North-heading line of 100 m from (N 1000, E 2000); with a curve, then spiral 50, arc 100 of radius
// 300 to the right, spiral 50 and a line of 150. A 1 % grade from 50 m at station 0, a crest curve (R 5000)
// at 250, then -1 %, and a lane of 3.5 m at -2 % on each side.
inline std::unique_ptr<Pelko::Road::RoadSurface> saved(const QTemporaryDir& folder, const QString& name,
                                                       const Shape& shape)
{
    using namespace Pelko::Road;
    const std::string path = folder.filePath(name).toStdString();
    {
        RoadSurface road(path);
        HorizontalElementConfiguration elements;
        elements.append(HorizontalElement::createLine(Pelko::Corvex::Angle(0.0), 100.0,
                                                      Pelko::Corvex::Point(1000, 2000), 0.0));
        if (shape.curve) {
            const auto chained = Pelko::Corvex::Point::invalid();
            elements.append(
                HorizontalElement::createSpiral(Pelko::Corvex::Angle(nan), 50.0, inf, 300.0, chained, nan));
            elements.append(
                HorizontalElement::createArc(Pelko::Corvex::Angle(nan), 100.0, 300.0, chained, nan));
            elements.append(
                HorizontalElement::createSpiral(Pelko::Corvex::Angle(nan), 50.0, 300.0, inf, chained, nan));
            elements.append(HorizontalElement::createLine(Pelko::Corvex::Angle(nan), 150.0, chained, nan));
        }
        road.getHorizontalAligment()->setElements(elements);

        if (shape.profile) {
            VerticalAlignment profile;
            profile.append(VerticalElement::createSymparabola({ -100.0, 49.0, 0.0, 0.0 }, 0.0));
            profile.append(VerticalElement::createSymparabola({ 250.0, 52.5, 0.0, 0.0 }, 5000.0));
            profile.append(VerticalElement::createSymparabola({ 700.0, 48.0, 0.0, 0.0 }, 0.0));
            road.setVerticalAlignment(profile);
        }
        for (StandardSection::SectionSide side : { StandardSection::Left, StandardSection::Right }) {
            CrossSectionConfiguration lanes;
            lanes.append(CrossSectionElement("lane", 3.5, -2.0, 0.0));
            road.getStandardSection()->setCrossSectionConfiguration(side, lanes);
        }
        if (shape.equation) {
            StationsEquationConfiguration equations;
            equations.appendEquation(StationsEquation(160.0, 150.0));
            road.setStationsEquations(equations);
        }
        if (!road.save())
            return nullptr;
    }
    auto road = std::make_unique<RoadSurface>(path);
    return road->load() ? std::move(road) : nullptr;
}

} // namespace TestRoads
