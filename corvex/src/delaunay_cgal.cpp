// The only translation unit that sees CGAL: it is slow to compile, so nothing else lives here.

#include "delaunay_cgal.h"

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Constrained_triangulation_face_base_2.h>
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Spatial_sort_traits_adapter_2.h>
#include <CGAL/Triangulation_conformer_2.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#include <CGAL/property_map.h>
#include <CGAL/spatial_sort.h>

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

// Spatially sorted input, so that each insertion starts next to where it lands.
std::vector<IndexedPoint> sortedInput(std::vector<Point> const& points)
{
    std::vector<IndexedPoint> input;
    input.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        input.emplace_back(CgalPoint(points[i].getX(), points[i].getY()), static_cast<unsigned>(i));
    using Map = CGAL::First_of_pair_property_map<IndexedPoint>;
    using Traits = CGAL::Spatial_sort_traits_adapter_2<Kernel, Map>;
    CGAL::spatial_sort(input.begin(), input.end(), Traits(Map()));
    return input;
}

// Coincident points share one vertex, which carries the lowest of their indices; they are reported in
// mergedInto. Handles by input index are kept only when asked for (segments need them).
template<class Tr>
std::vector<typename Tr::Vertex_handle> insertPoints(Tr& tr, std::vector<Point> const& points,
                                                     bool keepHandles, std::vector<unsigned>& mergedInto)
{
    using Handle = typename Tr::Vertex_handle;
    std::vector<Handle> handles(keepHandles ? points.size() : 0);
    std::vector<std::pair<unsigned, Handle>> repeated;
    typename Tr::Face_handle hint;
    for (IndexedPoint const& p : sortedInput(points)) {
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
void copyResult(Tr& tr, std::size_t inputCount, int count, bool pointsAdded, TriangulationOutput& output)
{
    std::size_t nextIndex = inputCount;
    for (auto v = tr.finite_vertices_begin(); pointsAdded && v != tr.finite_vertices_end(); ++v) {
        if (v->info().index < 0) {
            v->info().index = static_cast<int>(nextIndex++);
            output.addedPoints.emplace_back(v->point().x(), v->point().y());
        }
    }

    output.triangles.resize(count);
    output.neighbors.resize(count);
    for (auto f = tr.finite_faces_begin(); f != tr.finite_faces_end(); ++f) {
        const int id = f->info().id;
        if (id < 0)
            continue;
        auto& triangle = output.triangles[id];
        auto& neighbors = output.neighbors[id];
        for (int k = 0; k < 3; ++k) {
            triangle[k] = static_cast<unsigned>(f->vertex(k)->info().index);
            // Infinite and removed faces carry -1.
            neighbors[k] = f->neighbor(k)->info().id;
        }
    }
}

void triangulateDelaunay(std::vector<Point> const& points, TriangulationOutput& output)
{
    Dt dt;
    insertPoints(dt, points, false, output.mergedInto);
    if (dt.dimension() < 2)
        return;
    int count = 0;
    for (auto f = dt.finite_faces_begin(); f != dt.finite_faces_end(); ++f)
        f->info().id = count++;
    copyResult(dt, points.size(), count, false, output);
}

void triangulateConstrained(std::vector<Point> const& points,
                            std::vector<std::pair<unsigned, unsigned>> const& segments, bool conforming,
                            TriangulationOutput& output)
{
    Cdt cdt;
    auto handles = insertPoints(cdt, points, true, output.mergedInto);
    for (auto const& s : segments) {
        if (handles[s.first] != handles[s.second])
            cdt.insert_constraint(handles[s.first], handles[s.second]);
    }
    if (conforming)
        CGAL::make_conforming_Delaunay_2(cdt);
    if (cdt.dimension() < 2)
        return;

    // Without holes or a convex hull switch, whatever is reachable from the outside without crossing
    // a segment is outside; nested rings therefore keep their inside.
    for (auto f = cdt.all_faces_begin(); f != cdt.all_faces_end(); ++f)
        f->info().id = 0;
    std::vector<Cdt::Face_handle> stack;
    auto infinite = cdt.infinite_vertex();
    auto circulator = cdt.incident_faces(infinite), done = circulator;
    do {
        circulator->info().id = -1;
        stack.push_back(circulator);
    } while (++circulator != done);
    while (!stack.empty()) {
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
        if (f->info().id >= 0)
            f->info().id = count++;
    }
    copyResult(cdt, points.size(), count, true, output);
}

} // namespace

bool triangulate(TriangulationMode mode, std::vector<Point> const& points,
                 std::vector<std::pair<unsigned, unsigned>> const& segments, TriangulationOutput& output)
{
    output = TriangulationOutput();
    if (points.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    try {
        switch (mode) {
        case TriangulationMode::Delaunay:
            triangulateDelaunay(points, output);
            break;
        case TriangulationMode::Constrained:
            triangulateConstrained(points, segments, false, output);
            break;
        case TriangulationMode::Conforming:
            triangulateConstrained(points, segments, true, output);
            break;
        }
    } catch (...) {
        output = TriangulationOutput();
        return false;
    }
    return true;
}

} // namespace Pelko::Corvex::detail
