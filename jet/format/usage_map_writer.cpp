#include "jet/format/usage_map_writer.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "jet/format/usage_map.h"

namespace jet {

namespace {
constexpr std::uint32_t kPagesPerBitmapPage = (kPageSize - 4) * 8;
}  // namespace

// A usage map row: inline when the pages fit one 512-page window, otherwise a reference map
// whose bitmap pages are allocated here.
std::vector<std::uint8_t> usageMapRow(PageAllocator& pages, const std::vector<std::uint32_t>& listed) {
    if (listed.empty()) return buildInlineUsageMap(0, {}, kMapBitmapBytes);
    const std::uint32_t low = *std::min_element(listed.begin(), listed.end());
    const std::uint32_t high = *std::max_element(listed.begin(), listed.end());
    const std::uint32_t start = high < kMapBitmapBytes * 8 ? 0 : (low & ~7u);
    if (high - start < kMapBitmapBytes * 8) return buildInlineUsageMap(start, listed, kMapBitmapBytes);
    std::vector<std::uint8_t> row(kMapRowSize, 0);
    row[0] = 0x01;
    std::map<std::uint32_t, std::uint32_t> bitmapPages;   // slot -> page
    for (std::uint32_t page : listed) {
        const std::uint32_t slot = page / kPagesPerBitmapPage;
        if (1 + 4 * (slot + 1) > row.size()) throw std::invalid_argument("database too large for its usage maps");
        if (!bitmapPages.count(slot)) {
            const std::uint32_t number = pages.allocate();
            pages.at(number)[0] = static_cast<std::uint8_t>(PageType::UsageBitmap);
            pages.at(number)[1] = 0x01;
            bitmapPages[slot] = number;
            putU32(&row[1 + 4 * slot], number);
        }
        const std::uint32_t bit = page % kPagesPerBitmapPage;
        pages.at(bitmapPages[slot])[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
    return row;
}

// The database-wide map on page 1: a set bit means the page is free; every page in the file is
// in use, every page beyond it free. Files of more than 512 pages get a reference map with one
// bitmap page (up to 32,736 pages, 128 MB).
std::vector<std::uint8_t> globalUsageMapRow(PageAllocator& pages) {
    if (pages.count() <= kMapBitmapBytes * 8) {
        std::vector<std::uint32_t> free;
        for (std::uint32_t page = pages.count(); page < kMapBitmapBytes * 8; ++page) free.push_back(page);
        return buildInlineUsageMap(0, free, kMapBitmapBytes);
    }
    if (pages.count() >= kPagesPerBitmapPage) throw std::invalid_argument("databases over 128 MB cannot be created");
    const std::uint32_t bitmapPage = pages.allocate();
    std::vector<std::uint8_t>& bitmap = pages.at(bitmapPage);
    bitmap[0] = static_cast<std::uint8_t>(PageType::UsageBitmap);
    bitmap[1] = 0x01;
    for (std::uint32_t page = pages.count(); page < kPagesPerBitmapPage; ++page)
        bitmap[4 + page / 8] |= static_cast<std::uint8_t>(1u << (page % 8));
    std::vector<std::uint8_t> row(kMapRowSize, 0);
    row[0] = 0x01;
    putU32(&row[1], bitmapPage);
    return row;
}

}  // namespace jet
