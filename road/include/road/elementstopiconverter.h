#pragma once

#include <road/horizontalelement.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/road_global.h>

#include <corvex/point.h>

#include <vector>

namespace Pelko {
namespace Road {

class ElementsToPoiConverter;
class HorizontalElementConfiguration;

// One state of the element walk. Each handler returns whether the element was accepted; onEnter
// runs whenever the converter switches to the state.
class ROAD_EXPORT IPoiState
{
public:
    virtual ~IPoiState();
    virtual bool onLine(ElementsToPoiConverter& converter, const HorizontalElement& element) = 0;
    virtual bool onArc(ElementsToPoiConverter& converter, const HorizontalElement& element) = 0;
    virtual bool onTransIn(ElementsToPoiConverter& converter, const HorizontalElement& element) = 0;
    virtual bool onTransOut(ElementsToPoiConverter& converter, const HorizontalElement& element) = 0;
    virtual void onEnter(ElementsToPoiConverter& converter) = 0;
};

// Walks an element chain once and groups it into the pieces one PI stands for (tangent, entry
// spiral, arc, exit spiral). Lives for one conversion.
class ROAD_EXPORT ElementsToPoiConverter
{
public:
    ElementsToPoiConverter();

    // The PI list of the chain; empty when any part of it cannot be expressed by PIs.
    static PointOfIntersectionConfiguration convert(const HorizontalElementConfiguration& elements);

    // False when the element cannot follow the ones fed before it.
    bool feed(const HorizontalElement& element);
    // Builds the last group and closes the list with the end point; false on any earlier error.
    bool finish();

    // Complete, with every PI's deflection and station, once finish() has run.
    const PointOfIntersectionConfiguration& getPois() const { return m_pois; }
    bool hasError() const { return m_error; }

    // Used by the states.
    void setState(IPoiState& state);
    void push(const HorizontalElement& element) { m_pending.push_back(element); }
    void clearPending() { m_pending.clear(); }
    void appendPoi(const PointOfIntersection& poi);
    void buildPending();

private:
    IPoiState* m_state;
    std::vector<HorizontalElement> m_pending;
    PointOfIntersectionConfiguration m_pois;
    bool m_error = false;
    Corvex::Point m_lastPoint;
};

} // namespace Road
} // namespace Pelko
