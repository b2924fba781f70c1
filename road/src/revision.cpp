#include "revision.h"

#include <atomic>

namespace Pelko {
namespace Road {
namespace internal {

namespace {
std::atomic<std::uint64_t> counter { 0 };
} // namespace

std::uint64_t geometryRevision()
{
    return counter.load(std::memory_order_acquire);
}

void touchGeometry()
{
    counter.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace internal
} // namespace Road
} // namespace Pelko
