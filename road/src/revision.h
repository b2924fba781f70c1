#pragma once

#include <cstdint>

namespace Pelko {
namespace Road {
namespace internal {

// Counts changes of the plan and profile geometry (elements and their lists), so that what is derived
// from them for fast queries (the plan search index, the profile station table) knows when it has gone
// stale.
std::uint64_t geometryRevision();
void touchGeometry();

} // namespace internal
} // namespace Road
} // namespace Pelko
