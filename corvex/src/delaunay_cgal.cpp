// The only translation unit that sees CGAL: it is slow to compile, so nothing else lives here.

#include "delaunay_cgal.h"

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Constrained_triangulation_face_base_2.h>
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Hilbert_sort_median_2.h>
#include <CGAL/Multiscale_sort.h>
#include <CGAL/Spatial_sort_traits_adapter_2.h>
#include <CGAL/Triangulation_conformer_2.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#include <CGAL/property_map.h>

#include <boost/random/linear_congruential.hpp>
#include <boost/random/random_number_generator.hpp>

#include <limits>

namespace Pelko::Corvex::detail {

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using CgalPoint = Kernel::Point_2;

// Vertices the triangulator creates keep the default and are numbered afterwards.
struct VertexInfo
{
    int index = -1;
};

// Face number in the output; -1 while not numbered or removed.
struct FaceInfo
{
    int id = -1;
};

using Vb = CGAL::Triangulation_vertex_base_with_info_2<VertexInfo, Kernel>;

using DtFb = CGAL::Triangulation_face_base_with_info_2<FaceInfo, Kernel>;
using DtTds = CGAL::Triangulation_data_structure_2<Vb, DtFb>;
using Dt = CGAL::Delaunay_triangulation_2<Kernel, DtTds>;

using CdtFbInfo = CGAL::Triangulation_face_base_with_info_2<FaceInfo, Kernel>;
using CdtFb = CGAL::Constrained_triangulation_face_base_2<Kernel, CdtFbInfo>;
using CdtTds = CGAL::Triangulation_data_structure_2<Vb, CdtFb>;
using Cdt = CGAL::Constrained_Delaunay_triangulation_2<Kernel, CdtTds, CGAL::Exact_predicates_tag>;

using IndexedPoint = std::pair<CgalPoint, unsigned>;

// Insertions (and constraints) between two looks at the cancel flag: a few milliseconds of work.
constexpr std::size_t cancelBatch = 4096;

// Thrown out of the triangulation once the flag is set; caught where the triangulator is called.
struct Cancelled
{
};

using Cancel = std::function<bool()>;

void stopIfCancelled(Cancel const& cancelled)
{
    if (cancelled && cancelled())
        throw Cancelled();
}

// Counts the steps of a pass and looks at the flag once every cancelBatch of them.
class CancelPoll
{
public:
    explicit CancelPoll(Cancel const& cancelled)
        : m_cancelled(cancelled)
    {
    }
    void step()
    {
        if (++m_steps % cancelBatch == 0)
            stopIfCancelled(m_cancelled);
    }

private:
    Cancel const& m_cancelled;
    std::size_t m_steps = 0;
};

using Map = CGAL::First_of_pair_property_map<IndexedPoint>;
using SortTraits = CGAL::Spatial_sort_traits_adapter_2<Kernel, Map>;

// CGAL's median Hilbert sort of plane points (Hilbert_sort_median_2 with its splits and comparisons, so
// the same order), looking at the cancel flag before it splits a large range: a large sort takes a good
// part of a second.
class HilbertSort
{
public:
    using Iterator = std::vector<IndexedPoint>::iterator;

    explicit HilbertSort(Cancel const& cancelled)
        : m_traits(Map())
        , m_cancelled(&cancelled)
    {
    }

    void operator()(Iterator begin, Iterator end) const { sort<0, false, false>(begin, end); }

private:
    // CGAL's own threshold for spatial_sort in the plane.
    static constexpr std::ptrdiff_t smallest = 4;

    template<int x, bool up> using Less = CGAL::internal::Hilbert_cmp_2<SortTraits, x, up>;

    template<int x, bool upx, bool upy> void sort(Iterator begin, Iterator end) const
    {
        constexpr int y = (x + 1) % 2;
        if (end - begin <= smallest)
            return;
        if (end - begin >= static_cast<std::ptrdiff_t>(cancelBatch))
            stopIfCancelled(*m_cancelled);
        Iterator m2 = CGAL::internal::hilbert_split(begin, end, Less<x, upx>(m_traits));
        Iterator m1 = CGAL::internal::hilbert_split(begin, m2, Less<y, upy>(m_traits));
        Iterator m3 = CGAL::internal::hilbert_split(m2, end, Less<y, !upy>(m_traits));
        sort<y, upy, upx>(begin, m1);
        sort<x, upx, upy>(m1, m2);
        sort<x, upx, upy>(m2, m3);
        sort<y, !upy, !upx>(m3, end);
    }

    SortTraits m_traits;
    Cancel const* m_cancelled;
};

// Spatially sorted input, so that each insertion starts next to where it lands: CGAL's spatial_sort of
// plane points step by step (the same shuffle, then Hilbert sorts of growing rounds), looking at the cancel
// flag.
std::vector<IndexedPoint> sortedInput(std::vector<Point> const& points, Cancel const& cancelled)
{
    std::vector<IndexedPoint> input;
    input.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i % cancelBatch == 0)
            stopIfCancelled(cancelled);
        input.emplace_back(CgalPoint(points[i].getX(), points[i].getY()), static_cast<unsigned>(i));
    }
    if (input.empty())
        return input;

    using Iterator = std::vector<IndexedPoint>::iterator;
    using Difference = std::iterator_traits<Iterator>::difference_type;
    boost::rand48 random;
    boost::random_number_generator<boost::rand48, Difference> generator(random);
    for (Iterator it = input.begin() + 1; it != input.end(); ++it) {
        const Difference done = it - input.begin();
        if (done % cancelBatch == 0)
            stopIfCancelled(cancelled);
        std::iter_swap(it, input.begin() + generator(done + 1));
    }

    // CGAL's rounds for the plane: the first quarter sorted first, down to 16 points.
    CGAL::Multiscale_sort<HilbertSort>(HilbertSort(cancelled), 16, 0.25)(input.begin(), input.end());
    return input;
}

// Coincident points share one vertex, which carries the lowest of their indices; they are reported in
// mergedInto. Handles by input index are kept only when asked for (segments need them).
template<class Tr>
std::vector<typename Tr::Vertex_handle> insertPoints(Tr& tr, std::vector<Point> const& points,
                                                     bool keepHandles, std::vector<unsigned>& mergedInto,
                                                     Cancel const& cancelled)
{
    using Handle = typename Tr::Vertex_handle;
    std::vector<Handle> handles(keepHandles ? points.size() : 0);
    std::vector<std::pair<unsigned, Handle>> repeated;
    typename Tr::Face_handle hint;
    const std::vector<IndexedPoint> input = sortedInput(points, cancelled);
    CancelPoll poll(cancelled);
    for (IndexedPoint const& p : input) {
        poll.step();
        Handle v = tr.insert(p.first, hint);
        int& index = v->info().index;
        if (index < 0) {
            index = static_cast<int>(p.second);
        } else if (p.second < static_cast<unsigned>(index)) {
            repeated.emplace_back(static_cast<unsigned>(index), v);
            index = static_cast<int>(p.second);
        } else {
            repeated.emplace_back(p.second, v);
        }
        if (keepHandles)
            handles[p.second] = v;
        hint = v->face();
    }
    if (!repeated.empty()) {
        mergedInto.resize(points.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            mergedInto[i] = static_cast<unsigned>(i);
        for (auto const& [i, v] : repeated)
            mergedInto[i] = static_cast<unsigned>(v->info().index);
    }
    return handles;
}

// Kept faces carry their output number in info().id, the others -1. Numbers the created vertices (a
// plain triangulation creates none, and skips the pass over its vertices) and copies out.
template<class Tr>
void copyResult(Tr& tr, std::size_t inputCount, int count, bool pointsAdded, TriangulationOutput& output,
                Cancel const& cancelled)
{
    std::size_t nextIndex = inputCount;
    CancelPoll vertices(cancelled);
    for (auto v = tr.finite_vertices_begin(); pointsAdded && v != tr.finite_vertices_end(); ++v) {
        vertices.step();
        if (v->info().index < 0) {
            v->info().index = static_cast<int>(nextIndex++);
            output.addedPoints.emplace_back(v->point().x(), v->point().y());
        }
    }

    stopIfCancelled(cancelled);
    // Reserved, not resized: the kept faces come in the order of their numbers, and filling the arrays
    // once with zeros first would take long without a look at the flag.
    output.triangles.reserve(count);
    output.neighbors.reserve(count);
    CancelPoll poll(cancelled);
    for (auto f = tr.finite_faces_begin(); f != tr.finite_faces_end(); ++f) {
        poll.step();
        if (f->info().id < 0)
            continue;
        auto& triangle = output.triangles.emplace_back();
        auto& neighbors = output.neighbors.emplace_back();
        for (int k = 0; k < 3; ++k) {
            triangle[k] = static_cast<unsigned>(f->vertex(k)->info().index);
            // Infinite and removed faces carry -1.
            neighbors[k] = f->neighbor(k)->info().id;
        }
    }
}

void triangulateDelaunay(std::vector<Point> const& points, TriangulationOutput& output,
                         Cancel const& cancelled)
{
    Dt dt;
    insertPoints(dt, points, false, output.mergedInto, cancelled);
    stopIfCancelled(cancelled);
    if (dt.dimension() < 2)
        return;
    // Numbering the faces of a large triangulation takes a good part of a second: it looks at the flag too.
    CancelPoll poll(cancelled);
    int count = 0;
    for (auto f = dt.finite_faces_begin(); f != dt.finite_faces_end(); ++f) {
        poll.step();
        f->info().id = count++;
    }
    copyResult(dt, points.size(), count, false, output, cancelled);
}

void triangulateConstrained(std::vector<Point> const& points,
                            std::vector<std::pair<unsigned, unsigned>> const& segments, bool conforming,
                            TriangulationOutput& output, Cancel const& cancelled)
{
    Cdt cdt;
    auto handles = insertPoints(cdt, points, true, output.mergedInto, cancelled);
    CancelPoll poll(cancelled);
    for (auto const& s : segments) {
        poll.step();
        if (handles[s.first] != handles[s.second])
            cdt.insert_constraint(handles[s.first], handles[s.second]);
    }
    stopIfCancelled(cancelled);
    if (conforming)
        CGAL::make_conforming_Delaunay_2(cdt);
    stopIfCancelled(cancelled);
    if (cdt.dimension() < 2)
        return;

    // Without holes or a convex hull switch, whatever is reachable from the outside without crossing
    // a segment is outside; nested rings therefore keep their inside.
    for (auto f = cdt.all_faces_begin(); f != cdt.all_faces_end(); ++f) {
        poll.step();
        f->info().id = 0;
    }
    std::vector<Cdt::Face_handle> stack;
    auto infinite = cdt.infinite_vertex();
    auto circulator = cdt.incident_faces(infinite), done = circulator;
    do {
        circulator->info().id = -1;
        stack.push_back(circulator);
    } while (++circulator != done);
    while (!stack.empty()) {
        poll.step();
        Cdt::Face_handle f = stack.back();
        stack.pop_back();
        for (int k = 0; k < 3; ++k) {
            if (f->is_constrained(k))
                continue;
            Cdt::Face_handle n = f->neighbor(k);
            if (n->info().id < 0)
                continue;
            n->info().id = -1;
            stack.push_back(n);
        }
    }
    int count = 0;
    for (auto f = cdt.finite_faces_begin(); f != cdt.finite_faces_end(); ++f) {
        poll.step();
        if (f->info().id >= 0)
            f->info().id = count++;
    }
    copyResult(cdt, points.size(), count, true, output, cancelled);
}

} // namespace

bool triangulate(TriangulationMode mode, std::vector<Point> const& points,
                 std::vector<std::pair<unsigned, unsigned>> const& segments, TriangulationOutput& output,
                 Cancel const& cancelled)
{
    output = TriangulationOutput();
    if (points.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    try {
        switch (mode) {
        case TriangulationMode::Delaunay:
            triangulateDelaunay(points, output, cancelled);
            break;
        case TriangulationMode::Constrained:
            triangulateConstrained(points, segments, false, output, cancelled);
            break;
        case TriangulationMode::Conforming:
            triangulateConstrained(points, segments, true, output, cancelled);
            break;
        }
    } catch (...) {
        output = TriangulationOutput();
        return false;
    }
    return true;
}

} // namespace Pelko::Corvex::detail
