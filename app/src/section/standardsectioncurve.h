#pragma once

#include "framework/plotmarkers.h"
#include "framework/roadcurve.h"

#include <road/crosssection.h>

namespace Zemko {
namespace Trelvin {

// The road's standard section at station 0 as the road holds it: both sides' base elements as one
// polyline (offset across, height up), and a marker with width and slope over each element.
class StandardSectionCurve : public Data::RoadCurve
{
public:
    StandardSectionCurve(const QString& title, const QColor& colour);
    ~StandardSectionCurve() override;

    void rebuild(double tolerance) override;
    void plotAttached(QwtPlot* plot) override;
    void plotDetached() override;

    Data::PlateMarkerCurve* markers() const { return m_markers; }

    // One marker per element of the side, at the element's centre; elements the section does not
    // deliver get none.
    static QVector<Data::PlateMarker> sideMarkers(const Pelko::Road::CrossSection& section, bool left);

private:
    Data::PlateMarkerCurve* m_markers;
};

// The same drawing on the superelevation page.
class SuperelevationPointCurve : public StandardSectionCurve
{
public:
    using StandardSectionCurve::StandardSectionCurve;
    ~SuperelevationPointCurve() override;
};

// The same drawing on the widening page.
class WideningPointCurve : public StandardSectionCurve
{
public:
    using StandardSectionCurve::StandardSectionCurve;
    ~WideningPointCurve() override;
};

} // namespace Trelvin
} // namespace Zemko
