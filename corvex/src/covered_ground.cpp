// The ground under a set of triangles, from the pieces of their boundary: in the arrangement of the pieces
// each edge carries how many more triangles lie on its left than on its right, so a walk over the faces from
// the unbounded one (no triangle) tells every face how many triangles lie over it. Covered faces that meet,
// if only at a point, are one part. The outer boundary of a part is traced with the uncovered ground on its
// left, stepping over edges with uncovered ground on both sides (their counts add up to nothing).

#include "cancelcheck.h"

#include <corvex/coveredground.h>

#include "math_constants.h"

#include <CGAL/Arr_curve_data_traits_2.h>
#include <CGAL/Arr_extended_dcel.h>
#include <CGAL/Arr_segment_traits_2.h>
#include <CGAL/Arrangement_2.h>
#include <CGAL/Exact_predicates_exact_constructions_kernel.h>
#include <CGAL/Surface_sweep_2.h>
#include <CGAL/Surface_sweep_2/Arr_construction_event.h>
#include <CGAL/Surface_sweep_2/Arr_construction_ss_visitor.h>
#include <CGAL/Surface_sweep_2/Arr_construction_subcurve.h>

#include <gmp.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <numeric>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

namespace Pelko::Corvex {

namespace {

using Kernel = CGAL::Exact_predicates_exact_constructions_kernel;
using ExactPoint = Kernel::Point_2;
using SegmentTraits = CGAL::Arr_segment_traits_2<Kernel>;
using Segment = SegmentTraits::X_monotone_curve_2;

// How many more triangles lie on the left of an edge, taken from its lexicographically lower end, than on its
// right; in the check of a rounded ring, the exact boundary (ground) and the rounded ring (ring), each as the
// outline of what it encloses.
// On an edge, ringEdges is the number of the rounded ring's edges along it, whichever way they run; on a
// face it means nothing.
struct Counts
{
    long long ground = 0;
    long long ring = 0;
    long long ringEdges = 0;

    bool operator==(Counts const& o) const { return ground == o.ground && ring == o.ring; }
    Counts operator+(Counts const& o) const
    {
        return { ground + o.ground, ring + o.ring, ringEdges + o.ringEdges };
    }
    Counts operator-(Counts const& o) const
    {
        return { ground - o.ground, ring - o.ring, ringEdges - o.ringEdges };
    }
};

// Pieces along one line add up.
struct AddCounts
{
    Counts operator()(Counts const& a, Counts const& b) const { return a + b; }
};

using Traits = CGAL::Arr_curve_data_traits_2<SegmentTraits, Counts, AddCounts>;
using Curve = Traits::X_monotone_curve_2;

struct VertexData
{
    // The point to within its last unit, for areas.
    double x = 0;
    double y = 0;
};

struct FaceData
{
    Counts winding;
    bool reached = false;
    // Index among the covered faces; -1 for uncovered ground.
    int covered = -1;
    bool enclosed = false;
    double area = 0;
};

struct HalfedgeData
{
    bool onRing = false;
};

using ExtendedDcel = CGAL::Arr_extended_dcel<Traits, VertexData, HalfedgeData, FaceData>;

// CGAL's DCEL makes a new edge's halfedges one after the other: memory running out between them leaves a
// halfedge without its twin, and the arrangement's destructor, taking the halfedges two by two, then frees
// curves twice. Here both are allocated before either joins the list.
class Dcel : public ExtendedDcel
{
public:
    Halfedge* new_edge()
    {
        using Allocator = std::allocator_traits<std::decay_t<decltype(halfedge_alloc)>>;
        Halfedge* h1 = halfedge_alloc.allocate(1);
        Halfedge* h2 = nullptr;
        try {
            h2 = halfedge_alloc.allocate(1);
        } catch (...) {
            halfedge_alloc.deallocate(h1, 1);
            throw;
        }
        Allocator::construct(halfedge_alloc, h1);
        Allocator::construct(halfedge_alloc, h2);
        halfedges.push_back(*h1);
        halfedges.push_back(*h2);
        h1->set_opposite(h2);
        h2->set_opposite(h1);
        return h1;
    }
};

using Arrangement = CGAL::Arrangement_2<Traits, Dcel>;
using Face = Arrangement::Face_handle;
using Halfedge = Arrangement::Halfedge_handle;
using Vertex = Arrangement::Vertex_handle;

using detail::CancelCheck;
using detail::Cancelled;

struct Invalid
{
};

// The arrangement would hold more vertices than allowed.
struct TooLarge
{
};

// CGAL's aggregated construction of an empty arrangement, stopped between events on a cancel or once the
// points handled and those waiting in the queue (curve ends and crossings found so far, each a vertex to be)
// pass the bound. An exception thrown out of the sweep would leave its curves allocated.
using Event = CGAL::Arr_construction_event<Traits, Arrangement, Arrangement::Allocator>;
using Subcurve = CGAL::Arr_construction_subcurve<Traits, Event, Arrangement::Allocator>;
using Helper = Arrangement::Topology_traits::Construction_helper<Event, Subcurve>;

enum class Stop { No, Cancelled, TooLarge };

class Construction : public CGAL::Arr_construction_ss_visitor<Helper, Construction>
{
    using Base = CGAL::Arr_construction_ss_visitor<Helper, Construction>;

public:
    Construction(Arrangement* arrangement, CancelCheck& cancel, std::size_t mostVertices)
        : Base(arrangement)
        , m_cancel(cancel)
        , m_mostVertices(mostVertices)
    {
    }

    // The number of events waiting, told by the sweep.
    void setQueued(std::function<std::size_t()> queued) { m_queued = std::move(queued); }

    bool after_handle_event(Event* event, typename Base::Status_line_iterator iter, bool flag)
    {
        const bool done = Base::after_handle_event(event, iter, flag);
        ++m_handled;
        if (m_stop == Stop::No) {
            if (m_cancel.due())
                m_stop = Stop::Cancelled;
            // The event handled is still queued.
            else if (m_mostVertices > 0 && m_handled + m_queued() - 1 > m_mostVertices)
                m_stop = Stop::TooLarge;
            if (m_stop != Stop::No)
                this->stop_sweep();
        }
        return done;
    }
    Stop stop() const { return m_stop; }

private:
    CancelCheck& m_cancel;
    std::size_t m_mostVertices;
    std::function<std::size_t()> m_queued;
    std::size_t m_handled = 0;
    Stop m_stop = Stop::No;
};

class Sweep : public CGAL::Surface_sweep_2::Surface_sweep_2<Construction>
{
    using Base = CGAL::Surface_sweep_2::Surface_sweep_2<Construction>;

public:
    Sweep(Traits const* traits, Construction* visitor)
        : Base(traits, visitor)
    {
    }

    // The events in the queue, the current one included.
    std::size_t queued() const { return this->m_queue->size(); }

    // As Base::sweep, but looking at the cancel flag while the curves are queued, and at the bound once
    // they are.
    Stop run(std::vector<Curve> const& curves, CancelCheck& cancel, std::size_t mostVertices)
    {
        this->m_visitor->before_sweep();
        const auto n = static_cast<unsigned>(curves.size());
        this->m_num_of_subCurves = n;
        this->_init_structures();
        unsigned i = 0;
        try {
            for (; i < n; ++i) {
                if (cancel.due()) {
                    abandon(i);
                    return Stop::Cancelled;
                }
                this->_init_curve(curves[i], i);
            }
            if (mostVertices > 0 && queued() > mostVertices) {
                abandon(n);
                return Stop::TooLarge;
            }
            this->_sweep();
        } catch (...) {
            // Memory ran out, or the geometry failed: the curves go as on a cancel.
            abandon(i);
            throw;
        }
        const Stop stop = this->m_visitor->stop();
        if (stop == Stop::No) {
            this->_complete_sweep();
            this->m_visitor->after_sweep();
        } else {
            // Stopped: the curves go with the sweep.
            m_stopped = true;
        }
        return stop;
    }

    ~Sweep() override
    {
        if (m_stopped)
            abandon(this->m_num_of_subCurves);
    }

private:
    bool m_stopped = false;

    // Frees what queuing the first curves made, as completing the sweep would have; the events go with the
    // sweep.
    void abandon(unsigned queued)
    {
        this->m_statusLine.clear();
        for (unsigned i = 0; i < queued; ++i)
            std::allocator_traits<Subcurve_alloc>::destroy(this->m_subCurveAlloc, this->m_subCurves + i);
        if (this->m_num_of_subCurves > 0)
            this->m_subCurveAlloc.deallocate(this->m_subCurves, this->m_num_of_subCurves);
        this->m_num_of_subCurves = 0;
        for (Subcurve* overlap : this->m_overlap_subCurves) {
            std::allocator_traits<Subcurve_alloc>::destroy(this->m_subCurveAlloc, overlap);
            this->m_subCurveAlloc.deallocate(overlap, 1);
        }
        this->m_overlap_subCurves.clear();
        this->m_queue->clear();
        this->m_visitor->after_sweep();
    }
};

// An arrangement with its traits, and the sweep that built it, which keeps the pairs of curves it
// intersected, as many as the crossings.
struct Built
{
    virtual ~Built() = default;

    Traits traits;
    Arrangement arrangement { &traits };
    std::unique_ptr<Construction> visitor;
    std::unique_ptr<Sweep> sweep;
};

// The sweep of a finished arrangement, apart from it: it touches the arrangement no more.
struct Swept : Built
{
    Swept(Built& built)
    {
        visitor = std::move(built.visitor);
        sweep = std::move(built.sweep);
    }
};

void build(Built& built, std::vector<Curve> const& curves, CancelCheck& cancel, std::size_t mostVertices = 0)
{
    if (curves.size() >= std::numeric_limits<unsigned>::max())
        throw Invalid();
    built.visitor = std::make_unique<Construction>(&built.arrangement, cancel, mostVertices);
    built.sweep = std::make_unique<Sweep>(built.arrangement.geometry_traits(), built.visitor.get());
    Sweep* sweep = built.sweep.get();
    built.visitor->setQueued([sweep] { return sweep->queued(); });
    switch (sweep->run(curves, cancel, mostVertices)) {
    case Stop::Cancelled:
        throw Cancelled();
    case Stop::TooLarge:
        throw TooLarge();
    case Stop::No:
        break;
    }
}

// Frees the arrangements of work that stopped early (a cancel, too large) on a thread of its own: freeing
// millions of records takes seconds, which a cancel does not wait for. One at a time, joined at exit so that
// nothing is still being freed while the program's statics go; where no thread can be had they are freed at
// once. The records hold nothing another thread uses but counted references, which CGAL counts atomically
// once a second thread runs.
class Reaper
{
public:
    static void free(std::unique_ptr<Built> built) noexcept
    {
        try {
            instance().push(built);
        } catch (...) {
            // Freed here, as it goes out of scope.
        }
    }

private:
    static Reaper& instance()
    {
        static Reaper reaper;
        return reaper;
    }
    Reaper() = default;
    ~Reaper()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }
    void push(std::unique_ptr<Built>& built)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        m_queue.push_back(std::move(built));
        m_wake.notify_one();
    }
    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            std::unique_ptr<Built> next = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            next.reset();
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::unique_ptr<Built>> m_queue;
    bool m_stopping = false;
    std::thread m_thread;
};

Counts signedCounts(ExactPoint const& from, ExactPoint const& to, Counts counts)
{
    if (CGAL::compare_xy(from, to) == CGAL::SMALLER)
        return counts;
    return { -counts.ground, -counts.ring, counts.ringEdges };
}

template<class Visit> void forEachHalfedge(Face face, Visit&& visit)
{
    auto ccb = [&](Arrangement::Ccb_halfedge_circulator first) {
        auto h = first;
        do
            visit(Halfedge(h));
        while (++h != first);
    };
    if (face->has_outer_ccb())
        ccb(face->outer_ccb());
    for (auto i = face->inner_ccbs_begin(); i != face->inner_ccbs_end(); ++i)
        ccb(*i);
}

// Every face's winding, walking from the unbounded face; Invalid where two ways round disagree.
void walkWindings(Arrangement& arrangement, CancelCheck& cancel)
{
    std::vector<Face> queue { arrangement.unbounded_face() };
    queue.front()->data().reached = true;
    for (std::size_t i = 0; i < queue.size(); ++i) {
        cancel();
        const Counts winding = queue[i]->data().winding;
        forEachHalfedge(queue[i], [&](Halfedge h) {
            // The face lies on the left of h: on the left of the curve when h runs left to right.
            Counts const& counts = h->curve().data();
            const Counts across
                = h->direction() == CGAL::ARR_LEFT_TO_RIGHT ? winding - counts : winding + counts;
            FaceData& next = h->twin()->face()->data();
            if (!next.reached) {
                next.reached = true;
                next.winding = across;
                queue.push_back(h->twin()->face());
            } else if (!(next.winding == across)) {
                throw Invalid();
            }
        });
    }
}

double ccbArea(Arrangement::Ccb_halfedge_circulator first)
{
    // Relative to a corner, to keep the digits at survey coordinates.
    VertexData const& r = first->source()->data();
    double twice = 0;
    auto h = first;
    do {
        VertexData const& a = h->source()->data();
        VertexData const& b = h->target()->data();
        twice += (a.x - r.x) * (b.y - r.y) - (a.y - r.y) * (b.x - r.x);
    } while (++h != first);
    return twice / 2;
}

double faceArea(Face face)
{
    double area = face->has_outer_ccb() ? ccbArea(face->outer_ccb()) : 0;
    // Holes run clockwise.
    for (auto i = face->inner_ccbs_begin(); i != face->inner_ccbs_end(); ++i)
        area += ccbArea(*i);
    return area;
}

class Parts
{
public:
    explicit Parts(std::size_t n)
        : m_parent(n)
    {
        std::iota(m_parent.begin(), m_parent.end(), 0);
    }
    int find(int i)
    {
        while (m_parent[i] != i)
            i = m_parent[i] = m_parent[m_parent[i]];
        return i;
    }
    void join(int a, int b)
    {
        a = find(a);
        b = find(b);
        if (a != b)
            m_parent[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<int> m_parent;
};

bool isCovered(Face face)
{
    return face->data().covered >= 0;
}

// The outer boundary of the part whose least corner is `least`, with the uncovered ground on its left
// (clockwise round the part), from the edge that leaves `least` furthest counterclockwise: the part lies in
// the half-plane from `least` towards greater (x, y), so the outside is on that edge's left.
std::vector<Halfedge> traceOuterBoundary(Arrangement const& arrangement, Vertex least, CancelCheck& cancel)
{
    std::optional<Halfedge> start;
    auto first = least->incident_halfedges();
    auto in = first;
    do {
        Halfedge out = in->twin();
        if (!isCovered(out->face()) && isCovered(in->face())
            && (!start
                || CGAL::orientation(least->point(), (*start)->target()->point(), out->target()->point())
                    == CGAL::LEFT_TURN))
            start = out;
    } while (++in != first);
    if (!start)
        throw Invalid();

    std::vector<Halfedge> boundary;
    Halfedge h = *start;
    std::size_t steps = 0;
    do {
        boundary.push_back(h);
        Halfedge next = h->next();
        while (!isCovered(next->twin()->face())) {
            if (++steps > arrangement.number_of_halfedges())
                throw Invalid();
            next = next->twin()->next();
        }
        h = next;
        if (++steps > arrangement.number_of_halfedges())
            throw Invalid();
        cancel();
    } while (h != *start);
    return boundary;
}

// The pair of doubles that is the exact point, if there is one.
std::optional<Point> asDoubles(ExactPoint const& p)
{
    auto const& approx = p.approx();
    if (approx.x().is_point() && approx.y().is_point())
        return Point(approx.x().inf() + 0.0, approx.y().inf() + 0.0); // no -0
    const double x = CGAL::to_double(p.x()), y = CGAL::to_double(p.y());
    if (Kernel::FT(x) == p.x() && Kernel::FT(y) == p.y())
        return Point(x, y);
    return std::nullopt;
}

// Whether q lies in the closed sector swept counterclockwise from the ray p->a to the ray p->b.
bool inSector(ExactPoint const& p, ExactPoint const& a, ExactPoint const& b, ExactPoint const& q)
{
    const bool afterA = CGAL::orientation(p, a, q) != CGAL::RIGHT_TURN;
    const bool beforeB = CGAL::orientation(p, b, q) != CGAL::LEFT_TURN;
    switch (CGAL::orientation(p, a, b)) {
    case CGAL::LEFT_TURN:
        return afterA && beforeB;
    case CGAL::RIGHT_TURN:
        return afterA || beforeB;
    default:
        return afterA;
    }
}

// The doubles either side of an exact coordinate, or the coordinate twice.
std::pair<double, double> bracket(Kernel::FT const& v)
{
    const double d = CGAL::to_double(v) + 0.0;
    switch (CGAL::compare(Kernel::FT(d), v)) {
    case CGAL::SMALLER:
        return { d, std::nextafter(d, std::numeric_limits<double>::infinity()) };
    case CGAL::LARGER:
        return { std::nextafter(d, -std::numeric_limits<double>::infinity()), d };
    default:
        return { d, d };
    }
}

// Searches are this many steps along the bisector, each twice as far out as the one before.
constexpr int outwardSteps = 64;

// A pair of doubles in the closed sector at p between the ray to a and, counterclockwise from it, the ray to
// b: from the four round p, then out along the sector's bisector, from `firstStep` (0: those four) on.
std::optional<Point> moveInto(ExactPoint const& p, ExactPoint const& a, ExactPoint const& b, int firstStep)
{
    const double px = CGAL::to_double(p.x()), py = CGAL::to_double(p.y());
    auto pick = [&](std::vector<Point>& candidates) -> std::optional<Point> {
        std::sort(candidates.begin(), candidates.end(), [&](Point const& u, Point const& v) {
            const double du = std::hypot(u.getX() - px, u.getY() - py);
            const double dv = std::hypot(v.getX() - px, v.getY() - py);
            return du < dv
                || (du == dv && (u.getX() < v.getX() || (u.getX() == v.getX() && u.getY() < v.getY())));
        });
        for (Point const& c : candidates)
            if (c.isValid() && inSector(p, a, b, ExactPoint(c.getX(), c.getY())))
                return c;
        return std::nullopt;
    };
    if (firstStep == 0) {
        const auto [x0, x1] = bracket(p.x());
        const auto [y0, y1] = bracket(p.y());
        std::vector<Point> corners { Point(x0, y0), Point(x1, y0), Point(x0, y1), Point(x1, y1) };
        if (auto c = pick(corners))
            return c;
        firstStep = 1;
    }
    const double fromA = std::atan2(CGAL::to_double(a.y()) - py, CGAL::to_double(a.x()) - px);
    double opening = std::atan2(CGAL::to_double(b.y()) - py, CGAL::to_double(b.x()) - px) - fromA;
    if (opening < 0)
        opening += 2 * detail::kPi;
    const double ux = std::cos(fromA + opening / 2), uy = std::sin(fromA + opening / 2);
    const double inf = std::numeric_limits<double>::infinity();
    const double unit = std::max(std::nextafter(std::fabs(px), inf) - std::fabs(px),
                                 std::nextafter(std::fabs(py), inf) - std::fabs(py));
    for (int step = firstStep; step < outwardSteps; ++step) {
        const double t = std::ldexp(unit, step - 1);
        const double cx = px + t * ux, cy = py + t * uy;
        std::vector<Point> around;
        for (double x : { std::nextafter(cx, -inf), cx, std::nextafter(cx, inf) })
            for (double y : { std::nextafter(cy, -inf), cy, std::nextafter(cy, inf) })
                around.emplace_back(x, y);
        if (auto c = pick(around))
            return c;
    }
    return std::nullopt;
}

struct Rounded
{
    std::vector<Point> ring;
    bool moved = false;
    bool complete = true;
};

// The exact ring in doubles: corners that are pairs of doubles as they are, crossings where the ring goes
// straight left out, other crossings moved into the uncovered sector on their right.
Rounded roundRing(std::vector<ExactPoint> const& exact, int firstStep, CancelCheck& cancel)
{
    Rounded rounded;
    const std::size_t n = exact.size();
    for (std::size_t k = 0; k < n; ++k) {
        cancel();
        ExactPoint const& p = exact[k];
        ExactPoint const& a = exact[(k + n - 1) % n];
        ExactPoint const& b = exact[(k + 1) % n];
        std::optional<Point> corner = asDoubles(p);
        if (!corner) {
            if (CGAL::collinear(a, p, b))
                continue;
            rounded.moved = true;
            // The part is on the left of a->p->b: the outside at p turns counterclockwise from a to b.
            corner = moveInto(p, a, b, firstStep);
            if (!corner) {
                rounded.complete = false;
                corner = Point(CGAL::to_double(p.x()), CGAL::to_double(p.y()));
            }
        }
        const bool repeated = !rounded.ring.empty() && rounded.ring.back().getX() == corner->getX()
            && rounded.ring.back().getY() == corner->getY();
        if (!repeated)
            rounded.ring.push_back(*corner);
    }
    while (rounded.ring.size() > 1 && rounded.ring.back().getX() == rounded.ring.front().getX()
           && rounded.ring.back().getY() == rounded.ring.front().getY())
        rounded.ring.pop_back();
    return rounded;
}

// Whether everything inside the exact ring is inside or on the rounded one, and the rounded one never crosses
// or touches itself but where it passes one of its corners twice, winding once round what it encloses: from
// the windings of both rings and the rounded ring's edges at each vertex, in one arrangement.
bool enclosesSimply(std::vector<ExactPoint> const& exact, std::vector<Point> const& rounded,
                    CancelCheck& cancel)
{
    std::vector<Curve> curves;
    auto add = [&](ExactPoint const& a, ExactPoint const& b, Counts counts) {
        if (a != b)
            curves.emplace_back(Segment(a, b), signedCounts(a, b, counts));
    };
    for (std::size_t k = 0; k < exact.size(); ++k)
        add(exact[k], exact[(k + 1) % exact.size()], { 1, 0, 0 });
    for (std::size_t k = 0; k < rounded.size(); ++k) {
        Point const& a = rounded[k];
        Point const& b = rounded[(k + 1) % rounded.size()];
        if (a.getX() == b.getX() && a.getY() == b.getY())
            return false;
        add(ExactPoint(a.getX(), a.getY()), ExactPoint(b.getX(), b.getY()), { 0, 1, 1 });
    }
    Built built;
    Arrangement& check = built.arrangement;
    build(built, curves, cancel);
    walkWindings(check, cancel);
    for (auto f = check.faces_begin(); f != check.faces_end(); ++f) {
        Counts const& w = f->data().winding;
        if (w.ring < 0 || w.ring > 1 || (w.ground >= 1 && w.ring < 1))
            return false;
    }
    for (auto e = check.edges_begin(); e != check.edges_end(); ++e)
        if (e->curve().data().ringEdges > 1)
            return false;

    // Each corner of the rounded ring meets two of its edges for each time the ring passes it; any other
    // point none or two (an edge going through).
    auto less = [](Point const& a, Point const& b) {
        return a.getX() < b.getX() || (a.getX() == b.getX() && a.getY() < b.getY());
    };
    std::vector<Point> corners = rounded;
    std::sort(corners.begin(), corners.end(), less);
    for (auto v = check.vertices_begin(); v != check.vertices_end(); ++v) {
        cancel();
        long long edges = 0;
        auto first = v->incident_halfedges();
        auto h = first;
        do
            edges += h->curve().data().ringEdges;
        while (++h != first);
        std::ptrdiff_t passes = 0;
        if (std::optional<Point> p = asDoubles(v->point())) {
            const auto range = std::equal_range(corners.begin(), corners.end(), *p, less);
            passes = range.second - range.first;
        }
        if (passes > 0 ? edges != 2 * passes : edges != 0 && edges != 2)
            return false;
    }
    return true;
}

// Exact numbers are GMP's, which aborts where memory runs out unless its allocation functions say
// otherwise: these throw instead (unwinding through GMP's C frames, which carry unwind tables). They are
// set once for the process and allocate as GMP's own do, so numbers made before stay valid.
void* gmpAllocate(std::size_t size)
{
    if (void* p = std::malloc(size))
        return p;
    throw std::bad_alloc();
}

void* gmpReallocate(void* p, std::size_t, std::size_t size)
{
    if (void* q = std::realloc(p, size))
        return q;
    throw std::bad_alloc();
}

void gmpFree(void* p, std::size_t)
{
    std::free(p);
}

// Memory an arrangement takes for each piece at the least, asked for at once before the work begins: where
// there is not that much, memory runs out here rather than deep inside the geometry library.
constexpr std::size_t bytesPerPiece = 1024;

// The parts, areas and outer boundary of the largest part, from the arrangement of the boundary pieces.
void describe(Arrangement& arrangement, CoveredGround& result, CancelCheck& cancel)
{

    for (auto v = arrangement.vertices_begin(); v != arrangement.vertices_end(); ++v) {
        cancel();
        auto const& approx = v->point().approx();
        v->set_data({ CGAL::to_double(approx.x()), CGAL::to_double(approx.y()) });
    }
    walkWindings(arrangement, cancel);

    std::vector<Face> covered;
    for (auto f = arrangement.faces_begin(); f != arrangement.faces_end(); ++f) {
        cancel();
        FaceData& data = f->data();
        if (data.winding.ground < 0)
            throw Invalid();
        if (data.winding.ground == 0)
            continue;
        if (covered.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max()))
            throw Invalid();
        data.covered = static_cast<int>(covered.size());
        data.area = faceArea(f);
        covered.push_back(f);
        result.area += data.area;
        if (data.winding.ground >= 2)
            result.overlapping = true;
    }
    if (covered.empty())
        return;

    // Ground that meets at a vertex is one part.
    Parts parts(covered.size());
    for (auto v = arrangement.vertices_begin(); v != arrangement.vertices_end(); ++v) {
        cancel();
        if (v->is_isolated())
            continue;
        int first = -1;
        auto begin = v->incident_halfedges();
        auto h = begin;
        do {
            const int i = h->face()->data().covered;
            if (i >= 0) {
                if (first < 0)
                    first = i;
                else
                    parts.join(first, i);
            }
        } while (++h != begin);
    }

    // Each part's area and least corner, which is on its outer boundary.
    std::vector<double> partArea(covered.size(), 0);
    std::vector<std::optional<Vertex>> least(covered.size());
    for (std::size_t i = 0; i < covered.size(); ++i) {
        cancel();
        const int root = parts.find(static_cast<int>(i));
        if (root == static_cast<int>(i))
            ++result.parts;
        partArea[root] += covered[i]->data().area;
    }
    for (auto h = arrangement.halfedges_begin(); h != arrangement.halfedges_end(); ++h) {
        cancel();
        if (isCovered(h->face()) || !isCovered(h->twin()->face()))
            continue;
        std::optional<Vertex>& l = least[parts.find(h->twin()->face()->data().covered)];
        if (!l || CGAL::compare_xy(h->source()->point(), (*l)->point()) == CGAL::SMALLER)
            l = h->source();
    }
    int best = -1;
    for (std::size_t i = 0; i < covered.size(); ++i) {
        if (!least[i])
            continue;
        if (best < 0 || partArea[i] > partArea[best]
            || (partArea[i] == partArea[best]
                && CGAL::compare_xy((*least[i])->point(), (*least[best])->point()) == CGAL::SMALLER))
            best = static_cast<int>(i);
    }
    if (best < 0)
        throw Invalid();
    result.largestArea = partArea[best];

    const std::vector<Halfedge> boundary = traceOuterBoundary(arrangement, *least[best], cancel);
    std::vector<ExactPoint> exact;
    exact.reserve(boundary.size());
    for (std::size_t k = 0; k < boundary.size(); ++k) {
        // Reversed, to run counterclockwise from the least corner.
        exact.push_back(boundary[(boundary.size() - k) % boundary.size()]->source()->point());
        boundary[k]->data().onRing = true;
        boundary[k]->twin()->data().onRing = true;
    }

    // The ground inside: the faces reached from the part's without crossing its outer boundary.
    std::vector<Face> inside;
    for (Face f : covered)
        if (parts.find(f->data().covered) == best) {
            f->data().enclosed = true;
            inside.push_back(f);
        }
    for (std::size_t i = 0; i < inside.size(); ++i) {
        cancel();
        if (isCovered(inside[i]))
            result.enclosedArea += inside[i]->data().area;
        forEachHalfedge(inside[i], [&](Halfedge h) {
            Face next = h->twin()->face();
            if (!h->data().onRing && !next->data().enclosed) {
                next->data().enclosed = true;
                inside.push_back(next);
            }
        });
    }

    // Corners that had to move are moved further out while the rounded ring misses some of the part.
    for (int firstStep : { 0, 5, 9, 13 }) {
        Rounded rounded = roundRing(exact, firstStep, cancel);
        result.ring = std::move(rounded.ring);
        if (!rounded.moved) {
            result.ringEnclosesPart = true;
            break;
        }
        if (rounded.complete && enclosesSimply(exact, result.ring, cancel)) {
            result.ringEnclosesPart = true;
            break;
        }
    }
}

CoveredGround cover(std::vector<Point> const& points, std::vector<BoundaryPiece> const& pieces,
                    CancelCheck& cancel, std::size_t mostVertices)
{
    {
        std::size_t least = std::max<std::size_t>(pieces.size(), 1);
        if (mostVertices > 0)
            least = std::min(least, mostVertices);
        void* volatile headroom = ::operator new(least* bytesPerPiece);
        ::operator delete(headroom);
    }

    CoveredGround result;
    result.outcome = CoveredGround::Outcome::Done;

    std::vector<std::optional<ExactPoint>> exactPoints(points.size());
    auto exactPoint = [&](unsigned i) -> ExactPoint const& {
        if (!exactPoints[i]) {
            if (!points[i].isValid())
                throw Invalid();
            exactPoints[i] = ExactPoint(points[i].getX(), points[i].getY());
        }
        return *exactPoints[i];
    };
    std::vector<Curve> curves;
    curves.reserve(pieces.size());
    for (BoundaryPiece const& piece : pieces) {
        cancel();
        if (piece.from >= points.size() || piece.to >= points.size())
            throw Invalid();
        if (piece.count <= 0)
            continue;
        ExactPoint const& from = exactPoint(piece.from);
        ExactPoint const& to = exactPoint(piece.to);
        if (from != to)
            curves.emplace_back(Segment(from, to), signedCounts(from, to, { piece.count, 0 }));
    }
    exactPoints = {};
    if (curves.empty())
        return result;

    auto built = std::make_unique<Built>();
    try {
        build(*built, curves, cancel, mostVertices);
        curves = {};
        Reaper::free(std::make_unique<Swept>(*built));
        describe(built->arrangement, result, cancel);
    } catch (std::bad_alloc const&) {
        // Freed at once: the memory is wanted back.
        throw;
    } catch (...) {
        Reaper::free(std::move(built));
        throw;
    }
    Reaper::free(std::move(built));
    return result;
}

} // namespace

CoveredGround coveredGround(std::vector<Point> const& points, std::vector<BoundaryPiece> const& pieces,
                            std::function<bool()> const& isCancelled, std::size_t mostVertices)
{
    static std::once_flag gmpThrows;
    std::call_once(gmpThrows, [] { mp_set_memory_functions(gmpAllocate, gmpReallocate, gmpFree); });
    CancelCheck cancel(isCancelled);
    CoveredGround result;
    try {
        result = cover(points, pieces, cancel, mostVertices);
    } catch (Cancelled const&) {
        result = CoveredGround();
        result.outcome = CoveredGround::Outcome::Cancelled;
    } catch (TooLarge const&) {
        result = CoveredGround();
        result.outcome = CoveredGround::Outcome::TooLarge;
    } catch (std::bad_alloc const&) {
        result = CoveredGround();
        result.outcome = CoveredGround::Outcome::OutOfMemory;
    } catch (...) {
        // Invalid pieces, or CGAL failing on the way.
        result = CoveredGround();
        result.outcome = CoveredGround::Outcome::Failed;
    }
    return result;
}

} // namespace Pelko::Corvex
