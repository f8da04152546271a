#include "jet/format/usage_map_writer.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "jet/format/usage_map.h"

namespace jet {

namespace {
constexpr std::uint32_t kInlinePages = kMapBitmapBytes * 8;

std::uint32_t newBitmapPage(PageAllocator& pages, bool allSet) {
    const std::uint32_t number = pages.allocate();
    initBitmapPage(pages.at(number).data(), allSet);
    return number;
}
}  // namespace

// A usage map row: inline when the pages fit one 512-page window, otherwise a reference map
// whose bitmap pages are allocated here.
std::vector<std::uint8_t> usageMapRow(PageAllocator& pages, const std::vector<std::uint32_t>& listed) {
    if (listed.empty()) return encodeInlineUsageMap(0, {});
    const std::uint32_t low = *std::min_element(listed.begin(), listed.end());
    const std::uint32_t high = *std::max_element(listed.begin(), listed.end());
    const std::uint32_t start = high < kInlinePages ? 0 : (low & ~7u);
    if (high - start < kInlinePages) return encodeInlineUsageMap(start, listed);
    std::vector<std::uint32_t> bitmapPages((kMapRowSize - UsageMapLayout::kReferenceSlots) / UsageMapLayout::kSlotSize, 0);
    for (std::uint32_t page : listed) {
        const std::size_t slot = bitmapSlotOf(page);
        if (slot >= bitmapPages.size()) throw std::invalid_argument("database too large for its usage maps");
        if (bitmapPages[slot] == 0) bitmapPages[slot] = newBitmapPage(pages, false);
        setBitmapPageBit(pages.at(bitmapPages[slot]).data(), page, true);
    }
    return encodeReferenceUsageMap(bitmapPages);
}

// The database-wide map on page 1: a set bit means the page is free; every page in the file is
// in use, every page beyond it free. Files of more than 512 pages get a reference map with one
// bitmap page (up to 32,736 pages, 128 MB).
std::vector<std::uint8_t> globalUsageMapRow(PageAllocator& pages) {
    if (pages.count() <= kInlinePages) {
        std::vector<std::uint32_t> free;
        for (std::uint32_t page = pages.count(); page < kInlinePages; ++page) free.push_back(page);
        return encodeInlineUsageMap(0, free);
    }
    if (pages.count() >= UsageMapLayout::kPagesPerBitmapPage) throw std::invalid_argument("databases over 128 MB cannot be created");
    const std::uint32_t bitmapPage = newBitmapPage(pages, false);
    for (std::uint32_t page = pages.count(); page < UsageMapLayout::kPagesPerBitmapPage; ++page)
        setBitmapPageBit(pages.at(bitmapPage).data(), page, true);
    return encodeReferenceUsageMap({bitmapPage});
}

}  // namespace jet
