// Triangles are those of one triangulation exactly when each of them is a face of the constrained
// triangulation of their points with their edges as constraints, and no face is claimed twice: a corner on
// another triangle's edge splits that edge, and crossing edges add a point where they cross.

#include "cancelcheck.h"

#include <corvex/triangulationcheck.h>

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Constrained_triangulation_face_base_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Spatial_sort_traits_adapter_2.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#include <CGAL/property_map.h>
#include <CGAL/spatial_sort.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

namespace Pelko::Corvex {

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using CgalPoint = Kernel::Point_2;

struct VertexInfo
{
    // The point's index; points the triangulation adds where constraints cross keep this.
    std::size_t index = std::numeric_limits<std::size_t>::max();
};

struct FaceInfo
{
    bool claimed = false;
};

using Vb = CGAL::Triangulation_vertex_base_with_info_2<VertexInfo, Kernel>;
using FbInfo = CGAL::Triangulation_face_base_with_info_2<FaceInfo, Kernel>;
using Fb = CGAL::Constrained_triangulation_face_base_2<Kernel, FbInfo>;
using Tds = CGAL::Triangulation_data_structure_2<Vb, Fb>;
using Cdt = CGAL::Constrained_Delaunay_triangulation_2<Kernel, Tds, CGAL::Exact_predicates_tag>;

using detail::CancelCheck;
using detail::Cancelled;

struct NotATriangulation
{
};

void check(std::vector<Point> const& points, std::vector<std::array<unsigned, 3>> const& triangles,
           CancelCheck& cancel)
{
    const std::size_t n = points.size();
    std::vector<std::pair<CgalPoint, std::size_t>> input;
    input.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        cancel();
        const double x = points[i].getX(), y = points[i].getY();
        if (!std::isfinite(x) || !std::isfinite(y))
            throw NotATriangulation();
        input.emplace_back(CgalPoint(x, y), i);
    }

    // The triangles that cover something, and how many of them meet at each point: constraints and faces
    // are looked for around their least busy corner, so that the centre of a fan is not walked round for
    // every triangle of it.
    std::vector<std::array<unsigned, 3>> covering;
    std::vector<std::size_t> degree(n, 0);
    for (auto const& t : triangles) {
        cancel();
        for (unsigned i : t)
            if (i >= n)
                throw NotATriangulation();
        if (CGAL::orientation(input[t[0]].first, input[t[1]].first, input[t[2]].first) == CGAL::COLLINEAR)
            continue;
        covering.push_back(t);
        for (unsigned i : t)
            ++degree[i];
    }

    std::vector<std::pair<CgalPoint, std::size_t>> sorted = input;
    cancel.now();
    CGAL::spatial_sort(sorted.begin(), sorted.end(),
                       CGAL::Spatial_sort_traits_adapter_2<
                           Kernel, CGAL::First_of_pair_property_map<std::pair<CgalPoint, std::size_t>>>());
    cancel.now();

    // Three points not on one line go in first: CGAL inserts into a triangulation of points on one line in
    // time linear in its size, which made a fan of points along a line quadratic.
    std::size_t second = 1;
    while (second < n && sorted[second].first == sorted[0].first)
        ++second;
    std::size_t third = second + 1;
    while (third < n
           && CGAL::orientation(sorted[0].first, sorted[second].first, sorted[third].first)
               == CGAL::COLLINEAR)
        ++third;
    if (third < n) {
        std::swap(sorted[1], sorted[second]);
        std::rotate(sorted.begin() + 2, sorted.begin() + third, sorted.begin() + third + 1);
    }

    Cdt cdt;
    std::vector<Cdt::Vertex_handle> handles(n);
    Cdt::Face_handle hint;
    for (auto const& [point, index] : sorted) {
        cancel();
        Cdt::Vertex_handle v = cdt.insert(point, hint);
        if (v->info().index != VertexInfo().index)
            throw NotATriangulation(); // a second point at the same place
        v->info().index = index;
        handles[index] = v;
        hint = v->face();
    }

    auto lessBusy = [&](unsigned a, unsigned b) { return degree[a] < degree[b]; };
    for (auto const& t : covering) {
        for (int k = 0; k < 3; ++k) {
            cancel();
            unsigned a = t[k], b = t[(k + 1) % 3];
            if (lessBusy(b, a))
                std::swap(a, b);
            cdt.insert_constraint(handles[a], handles[b]);
        }
    }
    if (cdt.number_of_vertices() != n)
        throw NotATriangulation(); // edges crossed

    for (auto const& t : covering) {
        cancel();
        std::array<unsigned, 3> corners = t;
        std::rotate(corners.begin(), std::min_element(corners.begin(), corners.end(), lessBusy),
                    corners.end());
        Cdt::Face_handle face;
        if (!cdt.is_face(handles[corners[0]], handles[corners[1]], handles[corners[2]], face)
            || face->info().claimed)
            throw NotATriangulation();
        face->info().claimed = true;
    }
}

} // namespace

TriangulationCheck checkTriangulation(std::vector<Point> const& points,
                                      std::vector<std::array<unsigned, 3>> const& triangles,
                                      std::function<bool()> const& isCancelled)
{
    CancelCheck cancel(isCancelled);
    try {
        check(points, triangles, cancel);
    } catch (Cancelled const&) {
        return TriangulationCheck::Cancelled;
    } catch (...) {
        // NotATriangulation, or CGAL failing on the way: nothing is shown to be a triangulation.
        return TriangulationCheck::NotATriangulation;
    }
    return TriangulationCheck::Triangulation;
}

} // namespace Pelko::Corvex
