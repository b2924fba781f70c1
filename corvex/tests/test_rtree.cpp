#include <RTree/RTree>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

using Tree = RTree<int, double, 2, double, 8, 4>;

// Exposes the node structure so the split can be checked.
class InspectTree : public Tree
{
public:
    int rootLevel() const { return root().m_level; }
    int rootCount() const { return root().m_count; }
    int childCount(int i) const { return root().m_branch[i].child->m_count; }
    int childLevel(int i) const { return root().m_branch[i].child->m_level; }

    // Every node but the root holds between MINNODES and MAXNODES entries; returns the leaf depth.
    int checkNodes(const Node& node, bool isRoot, int& leafEntries) const
    {
        if (!isRoot) {
            EXPECT_GE(node.m_count, MINNODES);
        }
        EXPECT_LE(node.m_count, MAXNODES);
        if (node.isLeaf()) {
            leafEntries += node.m_count;
            return 0;
        }
        int depth = -1;
        for (int i = 0; i < node.m_count; ++i) {
            const Node& child = *node.m_branch[i].child;
            EXPECT_EQ(child.m_level, node.m_level - 1);
            // A branch rectangle covers its child's entries.
            for (int k = 0; k < child.m_count; ++k) {
                for (int d = 0; d < 2; ++d) {
                    EXPECT_LE(node.m_branch[i].rect.min[d], child.m_branch[k].rect.min[d]);
                    EXPECT_GE(node.m_branch[i].rect.max[d], child.m_branch[k].rect.max[d]);
                }
            }
            const int childDepth = checkNodes(child, false, leafEntries);
            if (depth >= 0) {
                EXPECT_EQ(depth, childDepth);
            }
            depth = childDepth;
        }
        return depth + 1;
    }
    int entryCount() const
    {
        int entries = 0;
        checkNodes(root(), true, entries);
        return entries;
    }
};

void insertPoint(Tree& tree, double x, double y, int data)
{
    const double p[2] = { x, y };
    tree.insert(p, p, data);
}

std::vector<int> searchBox(Tree& tree, double x0, double y0, double x1, double y1)
{
    const double min[2] = { x0, y0 };
    const double max[2] = { x1, y1 };
    std::vector<int> found = tree.search(min, max);
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

TEST(RTree, EmptyTouchingAndDuplicates)
{
    Tree tree;
    EXPECT_TRUE(searchBox(tree, -1e300, -1e300, 1e300, 1e300).empty());

    insertPoint(tree, 1, 1, 10);
    // The point lies on each edge and on a corner of these boxes: closed intervals find it.
    EXPECT_EQ(searchBox(tree, 1, 0, 2, 2), std::vector<int> { 10 });
    EXPECT_EQ(searchBox(tree, 0, 0, 1, 1), std::vector<int> { 10 });
    EXPECT_EQ(searchBox(tree, 1, 1, 1, 1), std::vector<int> { 10 });
    EXPECT_TRUE(searchBox(tree, 1.0000001, 0, 2, 2).empty());
    EXPECT_TRUE(searchBox(tree, 0, 0, 0.9999999, 5).empty());

    // Same position, different data: both come back.
    insertPoint(tree, 1, 1, 11);
    EXPECT_EQ(searchBox(tree, 1, 1, 1, 1), (std::vector<int> { 10, 11 }));

    // Boxes touching the query only along an edge overlap too.
    const double bmin[2] = { 2, 2 };
    const double bmax[2] = { 3, 3 };
    tree.insert(bmin, bmax, 12);
    EXPECT_EQ(searchBox(tree, 3, 3, 4, 4), std::vector<int> { 12 });
    EXPECT_EQ(searchBox(tree, 0, 2.5, 2, 2.6), std::vector<int> { 12 });

    // The result list is reused but every search starts afresh.
    EXPECT_TRUE(searchBox(tree, 10, 10, 11, 11).empty());

    tree.removeAll();
    EXPECT_TRUE(searchBox(tree, -1e300, -1e300, 1e300, 1e300).empty());
    insertPoint(tree, 5, 5, 7);
    EXPECT_EQ(searchBox(tree, 5, 5, 5, 5), std::vector<int> { 7 });
}

TEST(RTree, FirstSplitAndStructure)
{
    InspectTree tree;
    for (int i = 0; i < 8; ++i)
        insertPoint(tree, i % 3, i / 3, i);
    EXPECT_EQ(tree.rootLevel(), 0);
    EXPECT_EQ(tree.rootCount(), 8);

    insertPoint(tree, 2, 2, 8);
    EXPECT_EQ(tree.rootLevel(), 1);
    ASSERT_EQ(tree.rootCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(tree.childLevel(i), 0);
        EXPECT_GE(tree.childCount(i), 4);
        EXPECT_LE(tree.childCount(i), 5);
    }
    EXPECT_EQ(tree.childCount(0) + tree.childCount(1), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(searchBox(tree, i % 3, i / 3, i % 3, i / 3), std::vector<int> { i }) << i;
    EXPECT_EQ(searchBox(tree, 0, 0, 2, 2).size(), 9u);
}

TEST(RTree, RandomPointsMatchBruteForce)
{
    InspectTree tree;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(0, 100);
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 3000; ++i) {
        // Some exact repeats and a grid line so that ties in the split are exercised.
        double x = i % 10 == 0 ? 50.0 : coord(rng);
        double y = coord(rng);
        if (i % 17 == 0 && !points.empty())
            std::tie(x, y) = points[i / 2];
        points.emplace_back(x, y);
        insertPoint(tree, x, y, i);
    }
    EXPECT_EQ(tree.entryCount(), 3000);
    EXPECT_GE(tree.rootLevel(), 2);

    std::uniform_real_distribution<double> size(0, 20);
    for (int q = 0; q < 200; ++q) {
        const double x0 = coord(rng) - 10, y0 = coord(rng) - 10;
        const double x1 = x0 + size(rng), y1 = y0 + size(rng);
        std::vector<int> expected;
        for (int i = 0; i < 3000; ++i) {
            if (points[i].first >= x0 && points[i].first <= x1 && points[i].second >= y0
                && points[i].second <= y1)
                expected.push_back(i);
        }
        EXPECT_EQ(searchBox(tree, x0, y0, x1, y1), expected);
    }
    // Each stored point is found by its own degenerate box.
    for (int i = 0; i < 3000; i += 37) {
        const auto found
            = searchBox(tree, points[i].first, points[i].second, points[i].first, points[i].second);
        EXPECT_TRUE(std::binary_search(found.begin(), found.end(), i));
    }

    tree.removeAll();
    EXPECT_EQ(tree.rootLevel(), 0);
    EXPECT_EQ(tree.entryCount(), 0);
    EXPECT_TRUE(searchBox(tree, -1, -1, 101, 101).empty());
}

TEST(RTree, PointerData)
{
    // The triangulation's duplicate search stores pointers to its points.
    struct P
    {
        double x, y;
    };
    std::vector<P> pts = { { 0, 0 }, { 1, 0 }, { 0, 1 } };
    RTree<P const*, double, 2, double, 8, 4> tree;
    for (const P& p : pts) {
        const double c[2] = { p.x, p.y };
        tree.insert(c, c, &p);
    }
    const double min[2] = { -0.5, -0.5 };
    const double max[2] = { 0.5, 1 };
    auto found = tree.search(min, max);
    std::set<P const*> hits(found.begin(), found.end());
    EXPECT_EQ(hits, (std::set<P const*> { &pts[0], &pts[2] }));
}
