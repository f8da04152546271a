#include "jet/format/usage_map.h"

#include <string>

namespace jet {

namespace {
constexpr std::uint8_t kInlineMap = 0x00;
constexpr std::uint8_t kReferenceMap = 0x01;
constexpr std::uint32_t kPagesPerBitmapPage = (kPageSize - 4) * 8;

void collectBits(Bytes bitmap, std::uint64_t firstPage, std::uint32_t pageCount, std::vector<std::uint32_t>& out) {
    for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
        if (bitmap[byte] == 0) continue;
        for (int bit = 0; bit < 8; ++bit) {
            if (!(bitmap[byte] & (1u << bit))) continue;
            const std::uint64_t page = firstPage + byte * 8 + bit;
            if (page < pageCount) out.push_back(static_cast<std::uint32_t>(page));
        }
    }
}
}  // namespace

std::vector<std::uint32_t> readUsageMap(const PageFile& file, Bytes mapRow) {
    ByteView row(mapRow);
    std::vector<std::uint32_t> pages;
    const std::uint8_t type = row.u8(0, "usage map type");
    if (type == kInlineMap) {
        const std::uint32_t start = row.u32(1, "usage map start page");
        collectBits(row.bytes().subspan(5), start, file.pageCount(), pages);
    } else if (type == kReferenceMap) {
        const std::size_t slots = (row.size() - 1) / 4;
        for (std::size_t slot = 0; slot < slots; ++slot) {
            const std::uint32_t bitmapPage = row.u32(1 + slot * 4, "usage map reference");
            if (bitmapPage == 0) continue;
            ByteView page = file.page(bitmapPage);
            if (page.u8(0, "page type") != static_cast<std::uint8_t>(PageType::UsageBitmap))
                throw Damage("usage map refers to page " + std::to_string(bitmapPage) + ", which is not a bitmap page");
            collectBits(page.bytes().subspan(4), std::uint64_t(slot) * kPagesPerBitmapPage, file.pageCount(), pages);
        }
    } else {
        throw Damage("unknown usage map type " + std::to_string(type));
    }
    return pages;
}

std::vector<std::uint8_t> buildInlineUsageMap(std::uint32_t startPage, const std::vector<std::uint32_t>& pages,
                                              std::size_t bitmapBytes) {
    std::vector<std::uint8_t> row(5 + bitmapBytes, 0);
    row[0] = kInlineMap;
    putU32(&row[1], startPage);
    for (std::uint32_t page : pages) {
        if (page < startPage || page - startPage >= bitmapBytes * 8)
            throw Damage("page " + std::to_string(page) + " does not fit an inline usage map starting at " +
                         std::to_string(startPage));
        const std::uint32_t bit = page - startPage;
        row[5 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
    return row;
}

}  // namespace jet
