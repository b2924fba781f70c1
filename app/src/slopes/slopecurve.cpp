#include "slopes/slopecurve.h"

#include "framework/plotmarkers.h"

#include <road/slopesection.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

SlopeCurve::SlopeCurve(const QString& title, const QColor& colour)
    : RoadCurve(title, QwtPlotCurve::Lines, colour, Qt::SolidLine)
    , m_slopeMarkers(new Data::SlopeMarkerCurve)
    , m_plateMarkers(new Data::PlateMarkerCurve)
{
    m_slopeMarkers->setZ(1.0);
}

SlopeCurve::~SlopeCurve()
{
    m_slopeMarkers->detach();
    m_plateMarkers->detach();
    delete m_slopeMarkers;
    delete m_plateMarkers;
}

void SlopeCurve::setTemplate(int side, int index, const Pelko::Road::SlopeSectionTemplate& slopeTemplate)
{
    m_index = index;
    m_side = side;
    m_template = slopeTemplate.mirror(static_cast<Pelko::Road::SlopeSectionSide>(side));
    m_useEditable = false;
    update();
    zoomToFit();
}

void SlopeCurve::setEditable(int side, int index, const Pelko::Road::SlopeSectionTemplateEditable& editable)
{
    m_index = index;
    m_side = side;
    m_editable = editable;
    m_useEditable = true;
    update();
    zoomToFit();
}

void SlopeCurve::rebuild(double)
{
    m_slopeMarkers->setMarkers({});
    m_plateMarkers->setMarkers({});
    // The curve lets go of the old arrays before they are replaced.
    setRawSamples(nullptr, nullptr, 0);
    m_x.clear();
    m_y.clear();
    if (m_side == -1)
        return;

    const Pelko::Road::SlopeSectionTemplate& drawn = m_useEditable ? m_editable : m_template;
    const Pelko::Road::SlopeSection section = drawn.generateSlope(Pelko::Corvex::Point(0.0, 0.0));

    // Model points hold (elevation, offset); the plot shows the offset across.
    for (const Pelko::Corvex::Point& p : section.getPoints()) {
        m_x.push_back(p.getY());
        m_y.push_back(p.getX());
    }
    setRawSamples(m_x.data(), m_y.data(), static_cast<int>(m_x.size()));

    const bool cut = drawn.getType() == Pelko::Road::SlopeSectionCut;
    const int direction = m_side == Pelko::Road::SlopeSideLeft ? -1
        : m_side == Pelko::Road::SlopeSideRight                ? 1
                                                               : 0;
    QVector<Data::SlopeMarker> slopes;
    QVector<Data::PlateMarker> plates;
    for (unsigned i = 0; i < section.size(); ++i) {
        const Pelko::Road::SlopeSectionElement element = section.at(i);
        const Pelko::Corvex::Point centre = element.getCenterPoint();
        const QPointF position(centre.getX(), centre.getY());
        switch (element.getType()) {
        case Pelko::Road::SlopeElementSurface: {
            Data::SlopeMarker marker;
            marker.reversed = cut;
            marker.side = direction;
            marker.position = position;
            marker.width = std::fabs(element.getWidth());
            marker.ratio = element.getSlope().getDenominator();
            slopes.append(marker);
            break;
        }
        case Pelko::Road::SlopeElementPlatform: {
            Data::PlateMarker marker;
            marker.reversed = m_side == Pelko::Road::SlopeSideLeft;
            marker.position = position;
            marker.length = std::fabs(element.getWidth());
            marker.grade = element.getSlope().getPercentage() / 100.0;
            plates.append(marker);
            break;
        }
        default:
            // Ditches show in the line only.
            break;
        }
    }
    m_slopeMarkers->setMarkers(slopes);
    m_plateMarkers->setMarkers(plates);
}

void SlopeCurve::plotAttached(QwtPlot* plot)
{
    m_slopeMarkers->attach(plot);
    m_plateMarkers->attach(plot);
}

void SlopeCurve::plotDetached()
{
    m_slopeMarkers->detach();
    m_plateMarkers->detach();
}

} // namespace Trelvin
} // namespace Zemko
