#pragma once

#include "framework/roadcurve.h"

#include <road/slopesectiontemplate.h>

#include <QColor>
#include <QString>

#include <vector>

namespace Zemko {
namespace Trelvin {

namespace Data {
class PlateMarkerCurve;
class SlopeMarkerCurve;
} // namespace Data

// One slope template drawn as a cross-section profile from the origin, with a marker for every slope
// surface and platform. Nothing is drawn until a template is set.
class SlopeCurve : public Data::RoadCurve
{
public:
    SlopeCurve(const QString& title, const QColor& colour);
    ~SlopeCurve() override;

    // Draws the template mirrored to the side.
    void setTemplate(int side, int index, const Pelko::Road::SlopeSectionTemplate& slopeTemplate);
    // Draws a template under edit as it is, without mirroring.
    void setEditable(int side, int index, const Pelko::Road::SlopeSectionTemplateEditable& editable);

    void rebuild(double tolerance) override;
    void plotAttached(QwtPlot* plot) override;
    void plotDetached() override;

    int index() const { return m_index; }
    int side() const { return m_side; }
    const Data::SlopeMarkerCurve* slopeMarkers() const { return m_slopeMarkers; }
    const Data::PlateMarkerCurve* plateMarkers() const { return m_plateMarkers; }

private:
    int m_index = 0;
    int m_side = -1;
    Pelko::Road::SlopeSectionTemplate m_template;
    Pelko::Road::SlopeSectionTemplateEditable m_editable;
    bool m_useEditable = false;
    Data::SlopeMarkerCurve* m_slopeMarkers = nullptr;
    Data::PlateMarkerCurve* m_plateMarkers = nullptr;
    // The curve reads these directly; they are replaced only after the curve has let go of them.
    std::vector<double> m_x;
    std::vector<double> m_y;
};

} // namespace Trelvin
} // namespace Zemko
