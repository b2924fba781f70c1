// Memory running out inside the covered ground: every allocation of this program can be made to fail.

#include <corvex/coveredground.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ADDRESS_SANITIZER 1
#endif
#endif
#ifdef ADDRESS_SANITIZER
#include <sanitizer/lsan_interface.h>

// The geometry library's shared zero for each type, made by the first run of this program, stays referenced
// by the records it keeps where an allocation fails halfway through making them.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:CGAL::Lazy<*>::zero\n";
}
#endif
#if defined(__SANITIZE_THREAD__)
#define THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define THREAD_SANITIZER 1
#endif
#endif

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Pelko::Corvex;
using Outcome = CoveredGround::Outcome;

namespace {

// Allocations left before operator new throws; negative: unbounded.
std::atomic<long> allocationsLeft { -1 };
// Allocations made.
std::atomic<long> allocationsMade { 0 };

void* allocate(std::size_t size)
{
    ++allocationsMade;
    if (allocationsLeft == 0)
        throw std::bad_alloc();
    if (allocationsLeft > 0)
        --allocationsLeft;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

// n long thin triangles through one centre, every one crossing every other.
void crossingFaces(unsigned n, double x0, double y0, std::vector<Point>& points,
                   std::vector<BoundaryPiece>& pieces)
{
    const double pi = std::acos(-1.0);
    for (unsigned i = 0; i < n; ++i) {
        const double a = pi * i / n;
        const double c = std::cos(a), s = std::sin(a);
        const auto k = static_cast<unsigned>(points.size());
        points.emplace_back(x0 + 100 * c, y0 + 100 * s);
        points.emplace_back(x0 - 100 * c + 0.5 * s, y0 - 100 * s - 0.5 * c);
        points.emplace_back(x0 - 100 * c - 0.5 * s, y0 - 100 * s + 0.5 * c);
        // Counterclockwise: apex, then the base's ends with the turn to the left.
        pieces.push_back({ k, k + 2 });
        pieces.push_back({ k + 2, k + 1 });
        pieces.push_back({ k + 1, k });
    }
}

// k long thin squares across k others, each given by its outline.
void crossingSquares(unsigned k, std::vector<Point>& points, std::vector<BoundaryPiece>& pieces)
{
    auto square = [&](double x0, double y0, double x1, double y1) {
        const auto c = static_cast<unsigned>(points.size());
        points.insert(points.end(), { Point(x0, y0), Point(x1, y0), Point(x1, y1), Point(x0, y1) });
        pieces.insert(pieces.end(), { { c, c + 1 }, { c + 1, c + 2 }, { c + 2, c + 3 }, { c + 3, c } });
    };
    for (unsigned i = 0; i < k; ++i) {
        square(-1, 2 * i + 0.5, 2 * k, 2 * i + 1.5);
        square(2 * i + 0.25, -1, 2 * i + 1.25, 2 * k);
    }
}

} // namespace

TEST(CoveredGroundMemory, TheSweepAsksAndStops)
{
    // Asked for a cancel all through the sweep, not only after it: the allocations between two looks are
    // a small share of the whole run's.
    std::vector<Point> points;
    std::vector<BoundaryPiece> pieces;
    crossingFaces(100, 512345.25, 4012345.5, points, pieces);
    std::vector<long> looks;
    long start = allocationsMade;
    CoveredGround g = coveredGround(points, pieces, [&] {
        looks.push_back(allocationsMade - start);
        return false;
    });
    const long whole = allocationsMade - start;
    ASSERT_EQ(g.outcome, Outcome::Done);
    ASSERT_GE(looks.size(), 10u);
    long previous = 0;
    for (long look : looks) {
        EXPECT_LT(look - previous, whole / 5);
        previous = look;
    }
    // Cancelled at the second look, the sweep stops there.
    int asked = 0;
    long cancelledAt = 0;
    start = allocationsMade;
    g = coveredGround(points, pieces, [&] {
        cancelledAt = allocationsMade - start;
        return ++asked == 2;
    });
    EXPECT_EQ(g.outcome, Outcome::Cancelled);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(g.ring.empty());
    EXPECT_LT(cancelledAt, whole / 2);
    EXPECT_LT(allocationsMade - start - cancelledAt, whole / 5);

    // The bound counts the arrangement's vertices: the squares' corners and their crossings.
    const unsigned k = 20;
    points.clear();
    pieces.clear();
    crossingSquares(k, points, pieces);
    const std::size_t vertices = 8 * k + 4 * k * k;
    const CoveredGround unbounded = coveredGround(points, pieces);
    ASSERT_EQ(unbounded.outcome, Outcome::Done);
    EXPECT_EQ(unbounded.parts, 1);
    g = coveredGround(points, pieces, {}, vertices);
    EXPECT_EQ(g.outcome, Outcome::Done);
    EXPECT_EQ(g.area, unbounded.area);
    EXPECT_EQ(g.ring.size(), unbounded.ring.size());
    for (std::size_t most : { vertices - 1, vertices / 4, std::size_t(8 * k - 1), std::size_t(1) }) {
        start = allocationsMade;
        g = coveredGround(points, pieces, {}, most);
        EXPECT_EQ(g.outcome, Outcome::TooLarge) << most;
        EXPECT_TRUE(g.ring.empty());
        EXPECT_EQ(g.parts, 0);
        if (most == vertices / 4) {
            EXPECT_LT(allocationsMade - start, whole / 2);
        }
    }
}

TEST(CoveredGroundMemory, EveryAllocationMayFail)
{
    std::vector<Point> points;
    std::vector<BoundaryPiece> pieces;
    crossingFaces(12, 512345.25, 4012345.5, points, pieces);
#ifdef ADDRESS_SANITIZER
    // The geometry library keeps a few of its records where an allocation fails halfway through making
    // them, and with them references to records made before.
    struct NoLeakCheck
    {
        NoLeakCheck() { __lsan_disable(); }
        ~NoLeakCheck() { __lsan_enable(); }
    } noLeakCheck;
#endif
    // Run whole, counting its allocations; then failing at the n-th, for n over the whole run.
    const long unbounded = std::numeric_limits<long>::max();
    allocationsLeft = unbounded;
    const CoveredGround whole = coveredGround(points, pieces);
    const long allocations = unbounded - allocationsLeft.load();
    allocationsLeft = -1;
    ASSERT_EQ(whole.outcome, Outcome::Done);
    ASSERT_TRUE(whole.ringEnclosesPart);
    int outOfMemory = 0;
    for (long n = 0; n < allocations; n += 1 + n / 40) {
        allocationsLeft = n;
        const CoveredGround g = coveredGround(points, pieces);
        allocationsLeft = -1;
        ASSERT_TRUE(g.outcome == Outcome::Done || g.outcome == Outcome::OutOfMemory) << n;
        if (g.outcome == Outcome::Done) {
            EXPECT_EQ(g.ring.size(), whole.ring.size());
            EXPECT_EQ(g.area, whole.area);
        } else {
            ++outOfMemory;
            EXPECT_TRUE(g.ring.empty());
            EXPECT_EQ(g.parts, 0);
        }
    }
    EXPECT_GT(outOfMemory, 0);
    // The same work done after all that.
    allocationsLeft = 2 * allocations;
    const CoveredGround again = coveredGround(points, pieces);
    allocationsLeft = -1;
    EXPECT_EQ(again.outcome, Outcome::Done);
    EXPECT_EQ(again.ring.size(), whole.ring.size());
}

#if !defined(ADDRESS_SANITIZER) && !defined(THREAD_SANITIZER)
// Run by UnderAMemoryCap in a process of its own, the exit code telling the outcome.
TEST(CoveredGroundMemory, CappedChild)
{
    const char* extra = std::getenv("COVERED_GROUND_CAP");
    if (!extra)
        GTEST_SKIP() << "run by UnderAMemoryCap";
    std::vector<Point> points;
    std::vector<BoundaryPiece> pieces;
    crossingFaces(400, 512345.25, 4012345.5, points, pieces);
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    if (pages <= 0)
        _exit(2);
    const rlim_t cap = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + std::strtoul(extra, nullptr, 10);
    const rlimit limit { cap, cap };
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        _exit(3);
    switch (coveredGround(points, pieces).outcome) {
    case Outcome::Done:
        _exit(10);
    case Outcome::OutOfMemory:
        _exit(11);
    case Outcome::TooLarge:
        _exit(12);
    default:
        _exit(13);
    }
}

TEST(CoveredGroundMemory, UnderAMemoryCap)
{
    // 400 faces crossing each other want some 500 MB; with 100 MB more than the process has at the start
    // the work ends saying why.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("COVERED_GROUND_CAP", "104857600", 1);
        execl("/proc/self/exe", "/proc/self/exe", "--gtest_filter=CoveredGroundMemory.CappedChild",
              static_cast<char*>(nullptr));
        _exit(4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 11);
}
#endif
