#include <road/elementstopiconverter.h>

#include <road/horizontalelementconfiguration.h>

#include <corvex/line.h>

#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {

namespace {
const double kInfinity = std::numeric_limits<double>::infinity();
const double kRadiusTolerance = 0.001;
const double kAzimuthTolerance = 1e-9;
const double kPi = 4.0 * std::atan(1.0);
const double kTwoPi = 2.0 * kPi;

double normalized(double radians)
{
    double a = std::fmod(radians, kTwoPi);
    if (a < 0.0)
        a += kTwoPi;
    return a >= kTwoPi ? 0.0 : a;
}

// Azimuths are not wrapped in the elements: -10 degrees and 350 degrees are one direction.
double turnBetween(const Corvex::Angle& from, const Corvex::Angle& to)
{
    return normalized(to.toRadian() - from.toRadian());
}

bool sameDirection(const Corvex::Angle& a, const Corvex::Angle& b)
{
    const double d = turnBetween(a, b);
    return d < kAzimuthTolerance || kTwoPi - d < kAzimuthTolerance;
}

bool oppositeDirection(const Corvex::Angle& a, const Corvex::Angle& b)
{
    return std::fabs(turnBetween(a, b) - kPi) < kAzimuthTolerance;
}

class InitialState;
class NoneState;
class LineState;
class TransInState;
class ArcState;
class ApplyState;

InitialState& initialState();
NoneState& noneState();
LineState& lineState();
TransInState& transInState();
ArcState& arcState();
ApplyState& applyState();

class InitialState : public IPoiState
{
public:
    bool onLine(ElementsToPoiConverter& c, const HorizontalElement& e) override { return start(c, e); }
    bool onArc(ElementsToPoiConverter& c, const HorizontalElement& e) override { return start(c, e); }
    bool onTransIn(ElementsToPoiConverter& c, const HorizontalElement& e) override { return start(c, e); }
    bool onTransOut(ElementsToPoiConverter&, const HorizontalElement&) override { return false; }
    void onEnter(ElementsToPoiConverter&) override { }

private:
    bool start(ElementsToPoiConverter& c, const HorizontalElement& e);
};

class NoneState : public IPoiState
{
public:
    bool onLine(ElementsToPoiConverter& c, const HorizontalElement& e) override;
    bool onArc(ElementsToPoiConverter& c, const HorizontalElement& e) override;
    bool onTransIn(ElementsToPoiConverter& c, const HorizontalElement& e) override;
    bool onTransOut(ElementsToPoiConverter&, const HorizontalElement&) override { return false; }
    void onEnter(ElementsToPoiConverter& c) override { c.clearPending(); }
};

class LineState : public IPoiState
{
public:
    bool onLine(ElementsToPoiConverter& c, const HorizontalElement& e) override;
    bool onArc(ElementsToPoiConverter& c, const HorizontalElement& e) override;
    bool onTransIn(ElementsToPoiConverter& c, const HorizontalElement& e) override;
    bool onTransOut(ElementsToPoiConverter&, const HorizontalElement&) override { return false; }
    void onEnter(ElementsToPoiConverter&) override { }
};

class TransInState : public IPoiState
{
public:
    bool onLine(ElementsToPoiConverter&, const HorizontalElement&) override { return false; }
    bool onArc(ElementsToPoiConverter& c, const HorizontalElement& e) override;
    bool onTransIn(ElementsToPoiConverter&, const HorizontalElement&) override { return false; }
    bool onTransOut(ElementsToPoiConverter& c, const HorizontalElement& e) override;
    void onEnter(ElementsToPoiConverter&) override { }
};

class ArcState : public IPoiState
{
public:
    bool onLine(ElementsToPoiConverter& c, const HorizontalElement& e) override
    {
        return closeAndRefeed(c, e);
    }
    bool onArc(ElementsToPoiConverter& c, const HorizontalElement& e) override
    {
        return closeAndRefeed(c, e);
    }
    bool onTransIn(ElementsToPoiConverter& c, const HorizontalElement& e) override
    {
        return closeAndRefeed(c, e);
    }
    bool onTransOut(ElementsToPoiConverter& c, const HorizontalElement& e) override;
    void onEnter(ElementsToPoiConverter&) override { }

private:
    bool closeAndRefeed(ElementsToPoiConverter& c, const HorizontalElement& e);
};

class ApplyState : public IPoiState
{
public:
    bool onLine(ElementsToPoiConverter&, const HorizontalElement&) override { return false; }
    bool onArc(ElementsToPoiConverter&, const HorizontalElement&) override { return false; }
    bool onTransIn(ElementsToPoiConverter&, const HorizontalElement&) override { return false; }
    bool onTransOut(ElementsToPoiConverter&, const HorizontalElement&) override { return false; }
    void onEnter(ElementsToPoiConverter& c) override
    {
        c.buildPending();
        c.setState(noneState());
    }
};

bool InitialState::start(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.appendPoi(PointOfIntersection::createPoint(e.getBeginPoint(), e.getBeginStation()).first);
    c.setState(noneState());
    return c.feed(e);
}

bool NoneState::onLine(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.push(e);
    c.setState(lineState());
    return true;
}

bool NoneState::onArc(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.push(e);
    c.setState(arcState());
    return true;
}

bool NoneState::onTransIn(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.push(e);
    c.setState(transInState());
    return true;
}

// The closing line of a tangent pair also opens the next group.
bool LineState::onLine(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.push(e);
    c.setState(applyState());
    return c.feed(e);
}

bool LineState::onArc(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.push(e);
    c.setState(arcState());
    return true;
}

bool LineState::onTransIn(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.push(e);
    c.setState(transInState());
    return true;
}

bool TransInState::onArc(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.push(e);
    c.setState(arcState());
    return true;
}

bool TransInState::onTransOut(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.push(e);
    c.setState(applyState());
    return true;
}

bool ArcState::closeAndRefeed(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.setState(applyState());
    return c.feed(e);
}

bool ArcState::onTransOut(ElementsToPoiConverter& c, const HorizontalElement& e)
{
    c.push(e);
    c.setState(applyState());
    return true;
}

InitialState& initialState()
{
    static InitialState state;
    return state;
}
NoneState& noneState()
{
    static NoneState state;
    return state;
}
LineState& lineState()
{
    static LineState state;
    return state;
}
TransInState& transInState()
{
    static TransInState state;
    return state;
}
ArcState& arcState()
{
    static ArcState state;
    return state;
}
ApplyState& applyState()
{
    static ApplyState state;
    return state;
}
} // namespace

IPoiState::~IPoiState() = default;

ElementsToPoiConverter::ElementsToPoiConverter()
    : m_state(&initialState())
    , m_lastPoint(Corvex::Point::invalid())
{
}

void ElementsToPoiConverter::setState(IPoiState& state)
{
    m_state = &state;
    state.onEnter(*this);
}

bool ElementsToPoiConverter::feed(const HorizontalElement& element)
{
    if (m_error)
        return false;
    switch (element.getType()) {
    case LineElementType:
        return m_state->onLine(*this, element);
    case ArcElementType:
        return m_state->onArc(*this, element);
    case SpiralElementType: {
        const double r1 = std::fabs(element.getBeginRadius());
        const double r2 = std::fabs(element.getEndRadius());
        if (r1 > r2)
            return m_state->onTransIn(*this, element);
        if (r2 > r1)
            return m_state->onTransOut(*this, element);
        return m_state->onArc(*this, element);
    }
    default:
        return false;
    }
}

// The PIs are brought up to date with their neighbours once, in finish(): appending each through the
// list would update every PI twice, first without the next one. Each PI's final update sees the same
// neighbours either way.
void ElementsToPoiConverter::appendPoi(const PointOfIntersection& poi)
{
    m_pois.elements().push_back(poi);
}

bool ElementsToPoiConverter::finish()
{
    buildPending();
    if (!m_error && m_lastPoint.isValid())
        appendPoi(PointOfIntersection::createPoint(m_lastPoint, 0.0).first);
    m_pois.updateFrom(0);
    return !m_error;
}

void ElementsToPoiConverter::buildPending()
{
    if (m_pending.empty() || m_error)
        return;
    const HorizontalElement first = m_pending.front();
    const HorizontalElement last = m_pending.back();
    if (m_pending.size() == 1 && first.getType() == LineElementType) {
        m_lastPoint = first.getEndPoint();
        return;
    }

    if (sameDirection(first.getBeginAzimuth(), last.getEndAzimuth())) {
        // Tangents that go on straight need no PI; a curve that turns a full circle cannot be one.
        for (const HorizontalElement& e : m_pending) {
            if (e.getType() != LineElementType && e.getLength() > kRadiusTolerance) {
                m_error = true;
                return;
            }
        }
        m_pending.clear();
        return;
    }
    // A hairpin's tangents never meet: a PI "at" their rounding-error crossing would lie far away.
    if (oppositeDirection(first.getBeginAzimuth(), last.getEndAzimuth())) {
        m_error = true;
        return;
    }
    const Corvex::Line in(first.getBeginAzimuth(), first.getBeginPoint());
    const Corvex::Line out(last.getEndAzimuth(), last.getEndPoint());
    const std::pair<Corvex::Point, bool> crossing = in.intersect(out);
    if (!crossing.second || !crossing.first.isValid()) {
        m_error = true;
        return;
    }
    const Corvex::Point position = crossing.first;

    if (m_pending.size() == 2 && first.getType() == LineElementType && last.getType() == LineElementType) {
        appendPoi(PointOfIntersection::createPoint(position, first.getBeginStation()).first);
        m_lastPoint = last.getEndPoint();
        m_pending.clear();
        return;
    }

    double radius = kInfinity;
    double inRadius = kInfinity;
    double outRadius = kInfinity;
    double inLength = 0.0;
    double outLength = 0.0;
    int flags = 0;
    auto matches
        = [&radius](double r) { return std::isinf(radius) || std::fabs(radius - r) < kRadiusTolerance; };
    std::size_t k = 0;
    while (k < m_pending.size() && m_pending[k].getType() == LineElementType)
        ++k;
    for (; k < m_pending.size(); ++k) {
        const HorizontalElement& e = m_pending[k];
        if (e.getType() == SpiralElementType) {
            const double r1 = std::fabs(e.getBeginRadius());
            const double r2 = std::fabs(e.getEndRadius());
            if (r1 > r2 && matches(r2)) {
                inRadius = r1;
                inLength = e.getLength();
                radius = r2;
                flags |= 1;
            } else if (r1 < r2 && matches(r1)) {
                outRadius = r2;
                outLength = e.getLength();
                radius = r1;
                flags |= 4;
            } else {
                m_error = true;
                return;
            }
        } else if (e.getType() == ArcElementType) {
            const double r = std::fabs(e.getBeginRadius());
            if (!matches(r)) {
                m_error = true;
                return;
            }
            radius = r;
            flags |= 2;
        }
    }

    PointOfIntersection::Result made(PointOfIntersection(), PointOfIntersection::RadiusNotFinite);
    switch (flags) {
    case 2:
        made = PointOfIntersection::createArc(position, radius);
        break;
    case 3:
    case 6:
    case 7:
        made = PointOfIntersection::createTransArcTrans(position, inRadius, radius, outRadius, inLength,
                                                        outLength);
        break;
    case 5:
        made = PointOfIntersection::createTransTrans(position, inRadius, radius, outRadius, inLength,
                                                     outLength);
        break;
    default:
        break;
    }
    if (made.second != PointOfIntersection::NoError || !made.first.isValid()) {
        m_error = true;
        return;
    }
    appendPoi(made.first);
    m_lastPoint = last.getEndPoint();
    m_pending.clear();
}

PointOfIntersectionConfiguration
ElementsToPoiConverter::convert(const HorizontalElementConfiguration& elements)
{
    ElementsToPoiConverter converter;
    for (unsigned i = 0; i < elements.size(); ++i) {
        if (!converter.feed(elements.at(i)))
            return PointOfIntersectionConfiguration();
    }
    if (!converter.finish())
        return PointOfIntersectionConfiguration();
    return converter.m_pois;
}

PointOfIntersectionConfiguration HorizontalElementConfiguration::toPois() const
{
    return ElementsToPoiConverter::convert(*this);
}

} // namespace Road
} // namespace Pelko
