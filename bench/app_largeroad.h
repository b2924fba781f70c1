#pragma once

// The large road the road-document benchmark and the program's benchmarks measure.
#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelement.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectionelement.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplate.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>
#include <road/standardsection.h>
#include <road/structureelement.h>
#include <road/structureelementconfiguration.h>
#include <road/verticalalignment.h>
#include <road/verticalelement.h>

#include <limits>
#include <string>
#include <vector>

namespace LargeRoad {

// 2,000 horizontal elements (line, spiral, arc, spiral, alternating turns; 150 km), 500 vertical PIs,
// 200 slope segments over 2 templates, 100 structures, a two-strip section on either side.
inline void build(Pelko::Road::RoadSurface& road)
{
    using namespace Pelko;
    using namespace Pelko::Road;
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    const double kInf = std::numeric_limits<double>::infinity();

    HorizontalElementConfiguration elements;
    elements.append(HorizontalElement::createLine(Corvex::Angle(0.0), 100.0, Corvex::Point(0, 0), 0.0));
    for (int i = 1; i < 2000; ++i) {
        const double turn = (i / 4) % 2 == 0 ? 1.0 : -1.0;
        switch (i % 4) {
        case 0:
            elements.append(
                HorizontalElement::createLine(Corvex::Angle(kNaN), 100.0, Corvex::Point::invalid(), kNaN));
            break;
        case 1:
            elements.append(HorizontalElement::createSpiral(Corvex::Angle(kNaN), 50.0, kInf, turn * 500.0,
                                                            Corvex::Point::invalid(), kNaN));
            break;
        case 2:
            elements.append(HorizontalElement::createArc(Corvex::Angle(kNaN), 100.0, turn * 500.0,
                                                         Corvex::Point::invalid(), kNaN));
            break;
        default:
            elements.append(HorizontalElement::createSpiral(Corvex::Angle(kNaN), 50.0, turn * 500.0, kInf,
                                                            Corvex::Point::invalid(), kNaN));
            break;
        }
    }
    road.getHorizontalAligment()->setElements(elements);

    VerticalAlignment profile;
    for (int i = 0; i < 500; ++i) {
        const double elevation = 100.0 + (i % 2 == 0 ? 0.0 : 2.5);
        profile.append(VerticalElement::createSymparabola(
            VerticalElement::Poi { i * 250.0, elevation, 0.0, 0.0 }, i == 0 || i == 499 ? 0.0 : 3000.0));
    }
    road.setVerticalAlignment(profile);

    for (StandardSection::SectionSide side : { StandardSection::Left, StandardSection::Right }) {
        CrossSectionConfiguration c;
        c.append(CrossSectionElement("lane", 3.5, -2.0, 0.0));
        c.append(CrossSectionElement("shoulder", 1.5, -4.0, 0.0));
        road.getStandardSection()->setCrossSectionConfiguration(side, c);
    }

    SlopeSectionTemplateLibrary* library = road.getSlopeSectionTemplateLibrary();
    SlopeSectionTemplateEditable low("low", SlopeSectionFill);
    low.add(SlopeSectionElement::createSlope("slope", 2.0, 1.5));
    SlopeSectionTemplateEditable high("high", SlopeSectionFill);
    high.add(SlopeSectionElement::createSlope("slope", 4.0, 1.5));
    high.add(SlopeSectionElement::createPlatformBySlope("berm", 2.0, 2.0));
    high.add(SlopeSectionElement::createSlope("slope", 4.0, 1.75));
    library->add(low);
    library->add(high);
    for (SlopeSectionSide side : { SlopeSideLeft, SlopeSideRight }) {
        SlopeSectionTemplateConfiguration segments = road.getSlopeSectionConfiguration()->get(side);
        for (int i = 0; i < 100; ++i) {
            const double begin = i * 1000.0;
            segments.addSegment(SlopeSectionSegment::create("s" + std::to_string(i),
                                                            { begin, library->getByName("low") },
                                                            { begin + 900.0, library->getByName("high") })
                                    .first);
        }
    }

    StructureElementConfiguration structures;
    for (int i = 0; i < 100; ++i) {
        StructureElement s;
        s.setStation(500.0 + i * 1000.0);
        s.setElementType(StructureElementType(i % 4));
        s.setForwardWidth(5.0);
        s.setBackwardWidth(5.0);
        s.setLeftWidth(10.0);
        s.setRightWidth(10.0);
        structures.append(s);
    }
    road.setStructures(structures);
}

} // namespace LargeRoad
