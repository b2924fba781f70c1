// Memory running out inside the covered ground: every allocation of this program can be made to fail.

#include <corvex/coveredground.h>

#include <gtest/gtest.h>

#include <algorithm>
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
long allocationsLeft = -1;

void* allocate(std::size_t size)
{
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

} // namespace

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
    const long allocations = unbounded - allocationsLeft;
    allocationsLeft = -1;
    ASSERT_EQ(whole.outcome, Outcome::Done);
    ASSERT_TRUE(whole.ringEnclosesPart);
    int done = 0, outOfMemory = 0;
    for (long n = 0; n <= allocations; n = n < allocations ? std::min(allocations, n + 1 + n / 40) : n + 1) {
        allocationsLeft = n;
        const CoveredGround g = coveredGround(points, pieces);
        allocationsLeft = -1;
        ASSERT_TRUE(g.outcome == Outcome::Done || g.outcome == Outcome::OutOfMemory) << n;
        if (g.outcome == Outcome::Done) {
            ++done;
            EXPECT_EQ(g.ring.size(), whole.ring.size());
            EXPECT_EQ(g.area, whole.area);
        } else {
            ++outOfMemory;
            EXPECT_TRUE(g.ring.empty());
        }
    }
    EXPECT_GT(outOfMemory, 0);
    EXPECT_EQ(done, 1);
}

#if !defined(ADDRESS_SANITIZER) && !defined(THREAD_SANITIZER)
TEST(CoveredGroundMemory, UnderAMemoryCap)
{
    // 400 faces crossing each other want some 500 MB; with 100 MB the work ends saying why, in a child
    // whose address space is capped.
    std::vector<Point> points;
    std::vector<BoundaryPiece> pieces;
    crossingFaces(400, 512345.25, 4012345.5, points, pieces);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        if (pages <= 0)
            _exit(2);
        const rlim_t cap = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (100 << 20);
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
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 11);
}
#endif
