#pragma once

#include <cstdint>
#include <vector>

#include "jet/create/page_allocator.h"
#include "jet/format/usage_map.h"

namespace jet {

// A usage map row listing `listed`: inline when the pages fit one 512-page window, otherwise a
// reference map whose bitmap pages are allocated here. Throws std::invalid_argument when the
// pages lie beyond what a 69-byte reference map can reach.
std::vector<std::uint8_t> usageMapRow(PageAllocator& pages, const std::vector<std::uint32_t>& listed);

// The database-wide map (page 1, row 0) for the pages allocated so far: set bits are free pages,
// so pages in the file are clear and pages beyond it set. Call after the last page is allocated.
std::vector<std::uint8_t> globalUsageMapRow(PageAllocator& pages);

}  // namespace jet
