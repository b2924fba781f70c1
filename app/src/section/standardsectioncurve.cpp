#include "section/standardsectioncurve.h"

#include "document/trelvin.h"

#include <road/roadsurface.h>
#include <road/standardsection.h>

namespace Zemko {
namespace Trelvin {

StandardSectionCurve::StandardSectionCurve(const QString& title, const QColor& colour)
    : RoadCurve(title, QwtPlotCurve::Lines, colour, Qt::SolidLine)
    , m_markers(new Data::PlateMarkerCurve)
{
    m_markers->setZ(1.0);
}

StandardSectionCurve::~StandardSectionCurve()
{
    m_markers->detach();
    delete m_markers;
}

void StandardSectionCurve::plotAttached(QwtPlot* plot)
{
    m_markers->attach(plot);
}

void StandardSectionCurve::plotDetached()
{
    m_markers->detach();
}

QVector<Data::PlateMarker> StandardSectionCurve::sideMarkers(const Pelko::Road::CrossSection& section,
                                                             bool left)
{
    QVector<Data::PlateMarker> markers;
    double offset = 0.0;
    double height = 0.0;
    const double direction = left ? -1.0 : 1.0;
    for (int i = 0; i < section.crossSectionElementCount(); ++i) {
        bool ok = false;
        const Pelko::Road::CrossSectionElement element = section.crossSectionElementAt(unsigned(i), ok);
        if (!ok)
            continue;
        const double width = element.getWidth();
        const double rise = element.getElementDeltaElevation();
        // The step up from the previous element, so the marker sits on its element as drawn.
        height += element.getDeltaElevationToPrevious();
        Data::PlateMarker marker;
        marker.reversed = left;
        marker.position = QPointF(height + rise * 0.5, offset + direction * width * 0.5);
        marker.length = width;
        marker.grade = element.getSlopeInPercentage() * 0.01;
        markers.append(marker);
        offset += direction * width;
        height += rise;
    }
    return markers;
}

void StandardSectionCurve::rebuild(double)
{
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road) {
        setRawSamples(nullptr, nullptr, 0);
        return;
    }
    // The road's own sides, not the edit cache: the drawing shows what was saved.
    const Pelko::Road::StandardSection* standard = road->getStandardSection();
    const Pelko::Road::CrossSection left
        = standard->getCrossSectionConfiguration(Pelko::Road::StandardSection::Left).getTemplate(0.0);
    const Pelko::Road::CrossSection right
        = standard->getCrossSectionConfiguration(Pelko::Road::StandardSection::Right).getTemplate(0.0);
    const std::vector<Pelko::Road::CrossSection::LineSegment> leftSegments = left.getPoints(true);
    const std::vector<Pelko::Road::CrossSection::LineSegment> rightSegments = right.getPoints(false);

    QVector<QPointF> samples;
    samples.reserve(int(2 * (leftSegments.size() + rightSegments.size())));
    for (const auto* segments : { &leftSegments, &rightSegments }) {
        for (const Pelko::Road::CrossSection::LineSegment& segment : *segments) {
            // Segment points carry (height, offset); the plot draws offset across.
            samples.append(QPointF(segment.getStart().getY(), segment.getStart().getX()));
            samples.append(QPointF(segment.getEnd().getY(), segment.getEnd().getX()));
        }
    }
    setSamples(samples);

    m_markers->setMarkers(sideMarkers(left, true) + sideMarkers(right, false));
}

SuperelevationPointCurve::~SuperelevationPointCurve() = default;

WideningPointCurve::~WideningPointCurve() = default;

} // namespace Trelvin
} // namespace Zemko
