// Writes the example road: about 5.3 km through five PIs (three spiral-arc-spiral curves and a plain
// arc), a stations equation, a profile over five vertical curves, two-lane sections with shoulders,
// superelevation through every curve and widening on the sharpest, fill and cut slopes from the
// road's template library on both sides, a culvert and an overpass.
//
//   trelvin_example_road examples/ridge-road.rod
#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelement.h>
#include <road/crosssectionelementconfiguration.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelementconfiguration.h>
#include <road/pointofintersection.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectionelement.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplate.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>
#include <road/standardsection.h>
#include <road/station.h>
#include <road/structureelement.h>
#include <road/structureelementconfiguration.h>
#include <road/superelevationpoint.h>
#include <road/verticalalignment.h>
#include <road/verticalelement.h>
#include <road/wideningpoint.h>

#include <corvex/angle.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace Pelko;
using namespace Pelko::Road;

namespace {

bool fail(const char* what)
{
    std::fprintf(stderr, "trelvin_example_road: %s\n", what);
    return false;
}

bool addPi(PointOfIntersectionConfiguration& pis, const PointOfIntersection::Result& pi)
{
    if (pi.second != PointOfIntersection::NoError)
        return fail("a PI was refused");
    pis.append(pi.first);
    return true;
}

// Coordinates are north, east on a local grid.
bool buildAlignment(RoadSurface& road)
{
    PointOfIntersectionConfiguration pis;
    const bool ok = addPi(pis, PointOfIntersection::createPoint(Corvex::Point(12000.0, 5000.0), 0.0))
        && addPi(pis,
                 PointOfIntersection::createTransArcTrans(Corvex::Point(12900.0, 5400.0), 600.0, 120.0,
                                                          120.0))
        && addPi(pis,
                 PointOfIntersection::createTransArcTrans(Corvex::Point(13500.0, 6500.0), 450.0, 100.0,
                                                          100.0))
        && addPi(pis, PointOfIntersection::createArc(Corvex::Point(14400.0, 6900.0), 1200.0))
        && addPi(pis,
                 PointOfIntersection::createTransArcTrans(Corvex::Point(15000.0, 7900.0), 500.0, 110.0,
                                                          110.0))
        && addPi(pis, PointOfIntersection::createPoint(Corvex::Point(15800.0, 8300.0), 0.0));
    if (!ok)
        return false;
    road.getHorizontalAligment()->setPointOfIntersections(pis);
    return road.getHorizontalAligment()->getElements().size() > 10 || fail("the PIs laid out no curves");
}

// A 20 m overlap where two survey chainages were joined: stations 2580 to 2600 come twice.
bool buildEquation(RoadSurface& road)
{
    StationsEquationConfiguration equations;
    if (!equations.appendEquation(StationsEquation(2600.0, 2580.0)))
        return fail("the stations equation was refused");
    road.setStationsEquations(equations);
    return true;
}

bool buildProfile(RoadSurface& road)
{
    const double end = road.getHorizontalAligment()->getEndStation();
    struct Pvi
    {
        double station, elevation, radius;
    };
    const std::vector<Pvi> pvis
        = { { 0.0, 152.0, 0.0 },       { 800.0, 164.5, 10000.0 }, { 1700.0, 149.0, 8000.0 },
            { 2600.0, 171.0, 9000.0 }, { 3600.0, 158.0, 8000.0 }, { 4500.0, 176.0, 12000.0 },
            { end, 169.5, 0.0 } };
    VerticalAlignment profile;
    for (const Pvi& p : pvis) {
        const VerticalAlignment::Result r = profile.append(
            VerticalElement::createSymparabola({ p.station, p.elevation, 0.0, 0.0 }, p.radius));
        if (r.code != ModifySuccess)
            return fail("a vertical PI was refused");
    }
    road.setVerticalAlignment(profile);
    return true;
}

struct Curve
{
    double ts, sc, cs, st;
    bool right;
};

// Spiral, arc, spiral runs of the laid-out alignment.
std::vector<Curve> spiralCurves(const RoadSurface& road)
{
    std::vector<Curve> curves;
    const HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements();
    for (unsigned i = 1; i + 1 < elements.size(); ++i) {
        const HorizontalElement arc = elements.at(i);
        const HorizontalElement in = elements.at(i - 1);
        const HorizontalElement out = elements.at(i + 1);
        if (arc.getType() == ArcElementType && in.getType() == SpiralElementType
            && out.getType() == SpiralElementType)
            curves.push_back({ in.getBeginStation(), arc.getBeginStation(), arc.getEndStation(),
                               out.getEndStation(), arc.getRurnDirection() == TurnRight });
    }
    return curves;
}

bool buildSection(RoadSurface& road)
{
    const std::vector<Curve> curves = spiralCurves(road);
    if (curves.size() != 3)
        return fail("expected three spiral curves");

    for (StandardSection::SectionSide side : { StandardSection::Left, StandardSection::Right }) {
        CrossSectionElementConfiguration lane(CrossSectionElement("lane", 3.75, -2.0, 0.0));
        CrossSectionElementConfiguration shoulder(CrossSectionElement("shoulder", 1.5, -3.0, 0.0));
        // Banked through each curve: the outer lane rises outwards, the inner one falls harder.
        for (const Curve& c : curves) {
            const bool outer = (side == StandardSection::Left) == c.right;
            const double full = outer ? 5.0 : -5.0;
            const bool ok = lane.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, c.ts, -2.0))
                && lane.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, c.sc, full))
                && lane.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, c.cs, full))
                && lane.addSuperelevationPoint(SuperelevationPoint(SuperelevationLinear, c.st, -2.0));
            if (!ok)
                return fail("a superelevation point was refused");
        }
        // The sharpest curve (R 450, the second) is widened on its inside.
        const Curve& sharp = curves[1];
        if ((side == StandardSection::Right) == sharp.right) {
            const bool ok = lane.addWideningPoint(WideningPoint(sharp.ts, 3.75, WideningLinear))
                && lane.addWideningPoint(WideningPoint(sharp.sc, 4.35, WideningLinear))
                && lane.addWideningPoint(WideningPoint(sharp.cs, 4.35, WideningLinear))
                && lane.addWideningPoint(WideningPoint(sharp.st, 3.75, WideningLinear));
            if (!ok)
                return fail("a widening point was refused");
        }
        CrossSectionConfiguration configuration;
        configuration.append(lane);
        configuration.append(shoulder);
        road.getStandardSection()->setCrossSectionConfiguration(side, configuration);
    }
    return true;
}

bool addTemplate(SlopeSectionTemplateLibrary* library, const SlopeSectionTemplateEditable& t)
{
    return library->add(t).code == SlopeSectionTemplateLibrary::Error::Success
        || fail("a slope template was refused");
}

bool buildSlopes(RoadSurface& road)
{
    SlopeSectionTemplateLibrary* library = road.getSlopeSectionTemplateLibrary();
    SlopeSectionTemplateEditable lowFill("Fill 1:1.5", SlopeSectionFill);
    lowFill.add(SlopeSectionElement::createSlope("embankment", 4.0, 1.5));
    SlopeSectionTemplateEditable highFill("Fill with berm", SlopeSectionFill);
    highFill.add(SlopeSectionElement::createSlope("upper embankment", 6.0, 1.5));
    highFill.add(SlopeSectionElement::createPlatformBySlope("berm", 2.0, 4.0));
    highFill.add(SlopeSectionElement::createSlope("lower embankment", 8.0, 1.75));
    SlopeSectionTemplateEditable shallowCut("Cut with ditch", SlopeSectionCut);
    shallowCut.add(SlopeSectionElement::createSideDitch("ditch", 0.6, 0.6, 0.4, 0.6, 0.6));
    shallowCut.add(SlopeSectionElement::createSlope("cutting", 6.0, 1.0));
    SlopeSectionTemplateEditable deepCut("Deep cut", SlopeSectionCut);
    deepCut.add(SlopeSectionElement::createSideDitch("ditch", 0.8, 0.8, 0.6, 0.8, 0.8));
    deepCut.add(SlopeSectionElement::createSlope("lower cutting", 8.0, 0.75));
    deepCut.add(SlopeSectionElement::createPlatformBySlope("bench", 2.0, 4.0));
    deepCut.add(SlopeSectionElement::createSlope("upper cutting", 10.0, 1.0));
    if (!addTemplate(library, lowFill) || !addTemplate(library, highFill) || !addTemplate(library, shallowCut)
        || !addTemplate(library, deepCut))
        return false;

    struct Run
    {
        const char* name;
        double begin, end;
        const char* from;
        const char* to;
    };
    const double end = road.getHorizontalAligment()->getEndStation();
    const std::vector<Run> left = { { "north embankment", 0.0, 1150.0, "Fill 1:1.5", "Fill with berm" },
                                    { "hill cutting", 1150.0, 2350.0, "Cut with ditch", "Deep cut" },
                                    { "valley embankment", 2350.0, 3900.0, "Fill with berm", "Fill 1:1.5" },
                                    { "ridge cutting", 3900.0, end, "Deep cut", "Cut with ditch" } };
    const std::vector<Run> right = { { "north embankment", 0.0, 1300.0, "Fill 1:1.5", "Fill 1:1.5" },
                                     { "hill cutting", 1300.0, 2200.0, "Deep cut", "Cut with ditch" },
                                     { "valley embankment", 2200.0, 4100.0, "Fill 1:1.5", "Fill with berm" },
                                     { "ridge cutting", 4100.0, end, "Cut with ditch", "Cut with ditch" } };
    for (SlopeSectionSide side : { SlopeSideLeft, SlopeSideRight }) {
        SlopeSectionTemplateConfiguration segments = road.getSlopeSectionConfiguration()->get(side);
        for (const Run& run : side == SlopeSideLeft ? left : right) {
            const auto segment
                = SlopeSectionSegment::create(run.name, { run.begin, library->getByName(run.from) },
                                              { run.end, library->getByName(run.to) });
            if (segment.second != SlopeSectionSegment::Success || !segment.first)
                return fail("a slope segment was refused");
            if (segments.addSegment(segment.first).code != SlopeSectionTemplateConfiguration::Error::Success)
                return fail("a slope segment did not fit");
        }
    }
    return true;
}

bool buildStructures(RoadSurface& road)
{
    StructureElement culvert;
    StructureElement overpass;
    const bool ok = culvert.setElementType(CircularCulvertType) && culvert.setBuildType(SkewAndSkewBuildType)
        && culvert.setAngle(Corvex::Angle::fromDegree(75.0)) && culvert.setStation(1480.0)
        && culvert.setForwardWidth(1.0) && culvert.setBackwardWidth(1.0) && culvert.setLeftWidth(18.0)
        && culvert.setRightWidth(18.0) && culvert.setCenterHeight(146.2) && culvert.setCrossSlope(0.01)
        && overpass.setElementType(OverpassType) && overpass.setBuildType(SkewAndOrthotropicBuildType)
        && overpass.setAngle(Corvex::Angle::fromDegree(90.0)) && overpass.setStation(3950.0)
        && overpass.setForwardWidth(6.0) && overpass.setBackwardWidth(6.0) && overpass.setLeftWidth(12.0)
        && overpass.setRightWidth(12.0) && overpass.setCenterHeight(171.4) && overpass.setCrossSlope(0.02);
    if (!ok)
        return fail("a structure value was refused");
    StructureElementConfiguration structures;
    structures.append(culvert);
    structures.append(overpass);
    road.setStructures(structures);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.rod\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    // A file already there would keep parts this road does not write.
    std::error_code error;
    std::filesystem::remove(path, error);

    RoadSurface road(path);
    if (!buildAlignment(road) || !buildEquation(road) || !buildProfile(road) || !buildSection(road)
        || !buildSlopes(road) || !buildStructures(road))
        return 1;
    if (!road.save())
        return fail("the road could not be written") ? 0 : 1;
    std::printf("%s: %.3f m, %u elements\n", path.c_str(), road.getHorizontalAligment()->getEndStation(),
                road.getHorizontalAligment()->getElements().size());
    return 0;
}
